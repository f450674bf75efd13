#include "app/update/ZOLAutoUpdate.h"
#include "support/BareXServer.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// Every test executable runs with JUCE initialised, so the message manager
// exists for timers, async notices and change broadcasts.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Every main window checks for updates at start; in tests that check
    // meets a closed port on this machine.
    ZOLAutoUpdate::setDefaultFeedBase ("http://127.0.0.1:9/");
    BareXServer xServer;
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
