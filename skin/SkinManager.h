#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>

// The skin's images and typefaces, looked up by their file names. A name the
// skin lacks gives the skin's stand-in ("missing_image_release.png",
// "_missing_font.stf"); neither lookup ever gives nothing.
class SkinManager
{
public:
    static constexpr const char* missingImageName = "missing_image_release.png";
    static constexpr const char* missingFontName = "_missing_font.stf";

    void addImage (const juce::String& name, const juce::Image& image);
    void addTypeface (const juce::String& name, juce::Typeface::Ptr typeface);

    juce::Image getImage (const juce::String& name) const;
    juce::Typeface::Ptr getTypeface (const juce::String& name) const;

private:
    std::map<juce::String, juce::Image> images;
    std::map<juce::String, juce::Typeface::Ptr> typefaces;
};
