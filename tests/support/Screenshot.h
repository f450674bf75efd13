#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Window tests need an X display; the test command provides one. Without it
// they are skipped rather than crashing.
#define KESTREL_REQUIRE_DISPLAY()                                                                                      \
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())                                           \
    GTEST_SKIP() << "no display"

// True when the picture holds at least two colours: something was painted
// on the background.
inline bool showsMoreThanOneColour (const juce::Image& image)
{
    if (! image.isValid())
        return false;

    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    const auto first = pixels.getPixelColour (0, 0);

    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.getPixelColour (x, y) != first)
                return true;

    return false;
}

// Saves a component's picture as a PNG below the build folder's
// test-output/screenshots, for a person to look at after a run. A picture
// of one colour (an empty or unpainted component) fails the test.
inline juce::File saveScreenshot (juce::Component& component, const juce::String& name)
{
    auto folder = juce::File (KESTREL_TEST_OUTPUT_DIR).getChildFile ("screenshots");
    folder.createDirectory();
    auto file = folder.getChildFile (name + ".png");
    auto image = component.createComponentSnapshot (component.getLocalBounds());
    EXPECT_TRUE (showsMoreThanOneColour (image)) << "the screenshot \"" << name << "\" shows nothing but its background";
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    if (out.openedOk())
        png.writeImageToStream (image, out);
    return file;
}
