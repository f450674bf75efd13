#include "app/update/ZOLAutoUpdate.h"
#include "support/BareXServer.h"
#include "support/ForgetSingletons.h"
#include "support/PlaceOnScreen.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

namespace
{
// Whatever process-wide managers a test left, the next test of the same
// process starts without them, however many run in one process.
class ForgetAfterEachTest : public ::testing::EmptyTestEventListener
{
    void OnTestEnd (const ::testing::TestInfo&) override { forgetProgramSingletons(); }
};
} // namespace

// Every test executable runs with JUCE initialised, so the message manager
// exists for timers, async notices and change broadcasts.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Every main window checks for updates at start; in tests that check
    // meets a closed port on this machine.
    ZOLAutoUpdate::setDefaultFeedBase ("http://127.0.0.1:9/");
    BareXServer xServer;
    watchWindowsMade();
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    ::testing::UnitTest::GetInstance()->listeners().Append (new ForgetAfterEachTest);
    return RUN_ALL_TESTS();
}
