#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <map>

// The pictures of the program's own skin, drawn in code: a dark, calm studio
// look with charcoal panels, light text and one warm accent for active states.
namespace SkinArt
{
namespace Palette
{
const juce::Colour panelDeep (0xff1c1d20);
const juce::Colour panel (0xff232529);
const juce::Colour raised (0xff2c2f34);
const juce::Colour raisedHigh (0xff3a3e44);
const juce::Colour edge (0xff111214);
const juce::Colour text (0xffe8e6e3);
const juce::Colour textQuiet (0xffa7abb1);
const juce::Colour accent (0xffe8a33d);
const juce::Colour alarm (0xffc0504d);
} // namespace Palette

// Every image by its archive file name. The typefaces draw the few words the
// pictures carry (the logo, the X/Y switch, the dialog icons).
std::map<juce::String, juce::Image> drawAll (juce::Typeface::Ptr sans, juce::Typeface::Ptr sansBold);

// The front panel strip's pictures, added to the map.
void drawFrontPanel (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr sans, juce::Typeface::Ptr bold);

// The effect grid's block tiles, badges and drag cursors (GridArt.cpp).
void addGridArt (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr sans, juce::Typeface::Ptr sansBold);

// The footswitch grid's slot, badges, Global button and mode switch (FootswitchArt.cpp).
void addFootswitchArt (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr sansBold);

// The preset list window's pictures (SkinArtPresetList.cpp).
void drawPresetList (std::map<juce::String, juce::Image>& images);
} // namespace SkinArt
