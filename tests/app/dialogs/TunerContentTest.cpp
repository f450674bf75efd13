#include "app/dialogs/TunerContent.h"
#include "bench/BenchRig.h"
#include "skin/engine/SkinManager.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// The tuner on the program's skin and link stack, against the simulated unit
// on MIDI channel 3.
struct TunerOnTheUnit
{
    TunerOnTheUnit()
    {
        EXPECT_TRUE (skin.loadBuiltInSkin().wasOk());
        rig.unit->setMidiChannel (2);
        tuner = std::make_unique<TunerContent> (&skin, rig.link.get());
    }

    ~TunerOnTheUnit() { tuner.reset(); }

    // Runs the loop with the window's tick of the tuner until done() holds.
    template <typename Condition>
    bool tickUntil (Condition done)
    {
        return bench::runMessageLoopUntil (
            [&]
            {
                tuner->update();
                return done();
            },
            5000);
    }

    SkinManager skin;
    bench::ProgramRig rig;
    std::unique_ptr<TunerContent> tuner;
};
} // namespace

TEST (TunerContent, SwitchesTheUnitsTunerOnShowsItsReadingsAndSwitchesItOffWhenClosed)
{
    TunerOnTheUnit t;
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return t.rig.ticker->isLinkUp(); }, 5000));
    t.rig.unit->setTunerPitch (7, 5, 40); // before opening: the unit's first reading

    t.tuner->show (3);
    EXPECT_TRUE (t.tuner->isVisible());
    EXPECT_EQ (t.tuner->getChangeCode(), 1);
    ASSERT_TRUE (t.tickUntil ([&] { return t.rig.unit->isTunerOn() && t.tuner->getNoteText() == "E"; }));
    EXPECT_EQ (t.tuner->getStringText(), "6");
    EXPECT_EQ (t.tuner->getTuningValue(), 40);

    t.rig.unit->setTunerPitch (1, 0, 64);
    ASSERT_TRUE (t.tickUntil ([&] { return t.tuner->getTuningValue() == 64; }));
    EXPECT_EQ (t.tuner->getNoteText(), "Bb");
    EXPECT_EQ (t.tuner->getStringText(), "1");
    saveScreenshot (*t.tuner, "tuner-reading");

    // While communication is paused the display keeps its last reading.
    t.rig.ticker->setPaused (true);
    t.rig.ticker->tick();
    t.rig.unit->setTunerPitch (3, 2, 70);
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return t.rig.link->hasTunerData(); }, 30000)); // the reading is in
    t.tuner->update();
    EXPECT_EQ (t.tuner->getTuningValue(), 64);
    t.rig.ticker->setPaused (false);
    t.rig.ticker->tick();
    ASSERT_TRUE (t.tickUntil ([&] { return t.tuner->getTuningValue() == 70; }));

    // Escape closes it; other keys pass on.
    EXPECT_FALSE (t.tuner->keyPressed (juce::KeyPress ('a')));
    EXPECT_TRUE (t.tuner->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (t.tuner->isVisible());
    EXPECT_EQ (t.tuner->getChangeCode(), 2);
    ASSERT_TRUE (t.tickUntil ([&] { return ! t.rig.unit->isTunerOn() && t.tuner->getQueuedRequestCount() == 0; }));

    // Both switches went out as control change 15 on channel 3.
    int switches = 0;
    for (auto& m : t.rig.unit->getReceived())
        if (m.isController())
        {
            EXPECT_EQ (m.getChannel(), 3);
            EXPECT_EQ (m.getControllerNumber(), 15);
            EXPECT_EQ (m.getControllerValue(), switches++ == 0 ? 127 : 1);
        }
    EXPECT_EQ (switches, 2);
}

TEST (TunerContent, ItsOwnQueueNeverJamsWhenTheLinkIsDownOrStops)
{
    TunerOnTheUnit t;

    // The link is not up yet: nothing would ever send the request.
    t.tuner->show (3);
    t.tuner->hide();
    t.tuner->update();
    t.tuner->update();
    EXPECT_EQ (t.tuner->getQueuedRequestCount(), 0);

    // The link comes up but holds its queue; then it stops with both requests in it.
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return t.rig.ticker->isLinkUp(); }, 5000));
    t.rig.link->setHold (true);
    t.tuner->show (3);
    t.tuner->hide();
    t.tuner->update();
    EXPECT_EQ (t.tuner->getQueuedRequestCount(), 2);
    t.rig.link->stopProcessing();
    t.rig.link->setHold (false);
    t.tuner->update();
    t.tuner->update();
    EXPECT_EQ (t.tuner->getQueuedRequestCount(), 0);
    EXPECT_FALSE (t.rig.unit->isTunerOn());

    // Once the link is back the tuner switches the unit's tuner on again.
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return t.rig.ticker->isLinkUp(); }, 5000));
    t.tuner->show (3);
    EXPECT_TRUE (t.tickUntil ([&] { return t.rig.unit->isTunerOn(); }));
    t.tuner->hide();
    EXPECT_TRUE (t.tickUntil ([&] { return t.tuner->getQueuedRequestCount() == 0; }));
}

TEST (TunerContent, PlacesTheCentMarkerAndArrowsAndShowsGarbageReadingsAsBlanks)
{
    TunerOnTheUnit t;

    // The skin's centre box spans x 534 to 544; a step is one 4-pixel cent and 2 of spacing.
    EXPECT_EQ (t.tuner->getCentMarker (63), juce::Rectangle<int> (534, 232, 10, 15));
    EXPECT_EQ (t.tuner->getCentMarker (62).getX(), 528);
    EXPECT_EQ (t.tuner->getCentMarker (64).getX(), 546);
    EXPECT_EQ (t.tuner->getCentMarker (0).getX(), 534 - 50 * 6);
    EXPECT_EQ (t.tuner->getCentMarker (13), t.tuner->getCentMarker (0));
    EXPECT_EQ (t.tuner->getCentMarker (127).getX(), 544 + 50 * 2 + 49 * 4);

    for (int value : { 61, 63, 65 })
        EXPECT_TRUE (TunerContent::isFlatLit (value) && TunerContent::isSharpLit (value)) << value;
    EXPECT_TRUE (TunerContent::isFlatLit (60) && ! TunerContent::isSharpLit (60));
    EXPECT_TRUE (! TunerContent::isFlatLit (66) && TunerContent::isSharpLit (66));

    // Indexes the name tables lack, and a reading cut short.
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return t.rig.ticker->isLinkUp(); }, 5000));
    t.tuner->show (3);
    t.rig.unit->setTunerPitch (12, 9, 127);
    ASSERT_TRUE (t.tickUntil ([&] { return t.tuner->getTuningValue() == 127; }));
    EXPECT_EQ (t.tuner->getNoteText(), "");
    EXPECT_EQ (t.tuner->getStringText(), "");

    const juce::uint8 shortReading[] = { 0xF0, 0x00, 0x02, 0x6B, 0x08, 0x0D, 0x05, 0xF7 };
    t.rig.unit->sendRaw (juce::MidiMessage (shortReading, (int) sizeof (shortReading)));
    ASSERT_TRUE (t.rig.runRequest (queryDeviceVersion)); // read, as the unit sent it before this answer
    t.tuner->update();
    EXPECT_EQ (t.tuner->getTuningValue(), 127);

    juce::Image image (juce::Image::ARGB, t.tuner->getWidth(), t.tuner->getHeight(), true);
    juce::Graphics g (image);
    t.tuner->paintEntireComponent (g, false);
    t.tuner->hide();
}
