#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// Every test executable runs with JUCE initialised, so the message manager
// exists for timers, async notices and change broadcasts.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
