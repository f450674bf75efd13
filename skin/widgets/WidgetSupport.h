#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Small drawing and input-guarding helpers shared by the widgets.
namespace WidgetSupport
{
// The value when finite, else the fallback.
double finiteOr (double value, double fallback);

// An opacity limited to 0..1 (a non-finite one is 1).
float usableAlpha (float alpha);

// A font height limited to 1..1000 (non-finite or non-positive: the fallback).
float usableFontSize (float size, float fallback);

// The rectangle with a negative width or height made 0.
juce::Rectangle<int> withoutNegativeSize (juce::Rectangle<int> r);

// The skin typeface at the size, or the framework's default font when none.
juce::Font makeFont (juce::Typeface::Ptr typeface, float size);

// Draws the whole image stretched into the area; nothing for a missing image
// or an empty area.
void drawImageInto (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area);

// Draws the source part of the image into the area, unscaled when both have
// the same size; nothing when either is empty.
void drawImagePart (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area,
                    juce::Rectangle<int> source);

// Makes the button draw only its images, at their own size, with no
// background or outline of the look-and-feel behind them.
void clearButtonBackground (juce::DrawableButton& button);

// The image as a drawable for a button; nullptr for a missing image.
std::unique_ptr<juce::Drawable> drawableOf (const juce::Image& image);

// Gives the button its images; invalid images are left out. The on-state
// images are used while the button is toggled on.
void setButtonImages (juce::DrawableButton& button, const juce::Image& normal, const juce::Image& over,
                      const juce::Image& down, const juce::Image& disabled, const juce::Image& onImage);

// The leading number of a text ("12.5 dB" gives 12.5), 0 when there is none
// or it is not finite.
double leadingNumber (const juce::String& text);
} // namespace WidgetSupport
