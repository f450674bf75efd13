#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Window tests need an X display; the test command provides one. Without it
// they are skipped rather than crashing.
#define KESTREL_REQUIRE_DISPLAY()                                                                                      \
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())                                           \
    GTEST_SKIP() << "no display"

// Saves a component's picture as a PNG below the build folder's
// test-output/screenshots, for a person to look at after a run.
inline juce::File saveScreenshot (juce::Component& component, const juce::String& name)
{
    auto folder = juce::File (KESTREL_TEST_OUTPUT_DIR).getChildFile ("screenshots");
    folder.createDirectory();
    auto file = folder.getChildFile (name + ".png");
    auto image = component.createComponentSnapshot (component.getLocalBounds());
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    if (out.openedOk())
        png.writeImageToStream (image, out);
    return file;
}
