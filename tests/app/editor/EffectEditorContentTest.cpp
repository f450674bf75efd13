#include "app/editor/EffectEditorContent.h"
#include "bench/BenchRig.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/EffectParamValue.h"
#include "model/ParamInfo.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLGraphComponent.h"

#include <gtest/gtest.h>

namespace
{
constexpr int ampBlock = 106;

// A page control reduced to its binding: it holds the value the user set and
// records what the unit reported.
class RecordingControl : public ZOLEffectParam
{
public:
    RecordingControl (int block, int param)
    {
        blockId = (juce::uint16) block;
        paramId = (juce::uint16) param;
    }

    int getUnitValue() override { return value; }

    void setFromDevice (juce::uint16 v, juce::uint16, const juce::String& text) override
    {
        reported = v;
        reportedText = text;
        ++reports;
    }

    // The user moves the control.
    void move (int newValue)
    {
        value = newValue;
        postChangeCode (4);
    }

    int value = 0;
    int reported = -1;
    juce::String reportedText;
    int reports = 0;
};

using Reaction = EffectEditorContent::EventReaction;
} // namespace

TEST (EffectEditorContent, EveryRequestThatDisablesTheEditorEnablesItWhenItEndsOrFails)
{
    for (int code = 2; code <= 140; code += 2)
    {
        if (EffectEditorContent::getEventReaction (code) == Reaction::disable)
        {
            EXPECT_EQ (EffectEditorContent::getEventReaction (code + 1), Reaction::enable) << "end code " << code + 1;
        }
    }

    // A failed or timed-out request ends with code 1.
    EXPECT_EQ (EffectEditorContent::getEventReaction (1), Reaction::enable);

    // Cab names, library, X/Y write, tempo and bundle ends enable as well.
    for (int code : { 19, 57, 59, 61, 85, 93, 115, 135, 137 })
        EXPECT_EQ (EffectEditorContent::getEventReaction (code), Reaction::enable) << code;

    // Knobs stay usable while values, edits, graphs, modifiers and tempo run.
    for (int code : { 66, 68, 72, 90, 96 })
        EXPECT_EQ (EffectEditorContent::getEventReaction (code), Reaction::none) << code;

    EXPECT_EQ (EffectEditorContent::getEventReaction (84), Reaction::disable);
    EXPECT_EQ (EffectEditorContent::getEventReaction (0), Reaction::none);
    EXPECT_EQ (EffectEditorContent::getEventReaction (142), Reaction::none);
}

TEST (EffectEditorContent, SynthStepsSnapToWholeStepsAndAFlatRangeIsLeftAlone)
{
    KestrelEffectManager effects;
    EffectEditorContent editor (nullptr, nullptr, &effects, nullptr, nullptr);
    constexpr int synthBlock = 144;

    ParamInfo info;
    info.descriptor = B_INT << 4;
    info.maximum = 10.0f;
    ASSERT_TRUE (effects.storeParamInfo (synthBlock, 14, info));
    EXPECT_EQ (editor.snapToWholeSteps (synthBlock, 14, 30000), 26213);
    EXPECT_EQ (editor.snapToWholeSteps (synthBlock, 15, 30000), 30000); // not a stepped parameter

    info.maximum = 0.0f;
    ASSERT_TRUE (effects.storeParamInfo (synthBlock, 32, info));
    EXPECT_EQ (editor.snapToWholeSteps (synthBlock, 32, 30000), 30000);
}

// The edit road through the real link thread and the simulated unit.
class EffectEditorEditRoad : public ::testing::Test, private juce::ChangeListener
{
protected:
    void SetUp() override
    {
        rig.manager->addChangeListener (this);
        ASSERT_TRUE (rig.connectAndLoad());
        // "Load Preset" shows no block when its end code is seen.
        ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return loadPresetSeen; }, 10000));
        // Made once connected: an editor that sees the connection made asks the
        // unit for all its definitions, which this rig does not keep.
        editor = std::make_unique<EffectEditorContent> (nullptr, rig.manager.get(), &rig.effects, nullptr, nullptr);
    }

    void TearDown() override { rig.manager->removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        loadPresetSeen = loadPresetSeen || rig.manager->getStatus() == 21;
    }

    bool unitHolds (int block, int param, int expected) const
    {
        juce::uint16 value = 0;
        return rig.unit->getParam (block, param, value) && value == expected;
    }

    bool settle()
    {
        return bench::runMessageLoopUntil (
            [this] { return ! rig.manager->getRequest (setParam).isRunning() && editor->getHeldEdit().blockId == 0; },
            10000);
    }

    bench::ProgramRig rig;
    bool loadPresetSeen = false;
    std::unique_ptr<EffectEditorContent> editor;

    // The block's values rebuild its page: controls are added once they are in.
    bool showAndWait (int block)
    {
        editor->showBlock (block);
        return bench::runMessageLoopUntil ([this] { return ! rig.manager->hasWork(); }, 10000);
    }

    // A control of the shown block, owned by the editor's page.
    RecordingControl& addKnob (int param)
    {
        auto* added = editor->addPageControl (std::make_unique<RecordingControl> (0, param));
        return *static_cast<RecordingControl*> (added);
    }
};

TEST_F (EffectEditorEditRoad, ADraggedKnobChangesTheUnitAndAFastDragEndsWithTheLastValue)
{
    ASSERT_TRUE (showAndWait (ampBlock));
    auto& knob = addKnob (1);

    knob.move (12345);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return unitHolds (ampBlock, 1, 12345); }, 10000));
    ASSERT_TRUE (settle());

    // Many values in one go: each after the first finds "Set Param" busy and
    // replaces the held one; the last is sent when the running one ends.
    for (int v = 1000; v <= 20000; v += 1000)
    {
        knob.move (v);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }

    ASSERT_TRUE (settle());
    EXPECT_TRUE (unitHolds (ampBlock, 1, 20000));
    // The knob shows what the unit answered to the last value.
    EXPECT_TRUE (bench::runMessageLoopUntil ([&knob] { return knob.reported == 20000; }, 10000));
}

// The block's values build its page again; a gesture the editor has not
// seen yet still reaches the unit before its control goes.
TEST_F (EffectEditorEditRoad, APageRebuiltByTheBlocksValuesKeepsTheGestureUnderWay)
{
    ASSERT_TRUE (showAndWait (ampBlock));
    auto& knob = addKnob (1);
    knob.move (23456);
    editor->handlePresetEvent (65);
    EXPECT_EQ (editor->getNumPageControls(), 0); // this rig has no layouts: the page is empty
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return unitHolds (ampBlock, 1, 23456); }, 10000));
    ASSERT_TRUE (settle());
}

TEST_F (EffectEditorEditRoad, AValueSetOnTheUnitAppearsInTheEditor)
{
    auto buffer = rig.unit->getEditBuffer();
    ASSERT_TRUE (buffer.setParam (ampBlock, 2, 4242));
    rig.unit->setEditBuffer (buffer);

    ASSERT_TRUE (showAndWait (ampBlock));
    auto& knob = addKnob (2);
    editor->applyAllValues();

    EXPECT_EQ (knob.reported, 4242);
    EXPECT_TRUE (editor->areControlsEnabled());

    // The preset manager outlives the editor and goes on broadcasting.
    editor.reset();
    rig.manager->setStatus (69, 0, 0);
    rig.manager->sendSynchronousChangeMessage();
}

TEST_F (EffectEditorEditRoad, AMonitorPageShowsTheGraphTheUnitSends)
{
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelControlManager controls;
    controls.loadFromSkin (&skin, skin.getSkinRoot());
    KestrelEffectLayoutManager layouts;
    juce::String error;
    ASSERT_TRUE (loadEffectLayouts (layouts, error)) << error;
    // The amp's pages ask for the unit's graph 3.
    auto* ampLayout = layouts.findEffectLayout (layouts.getEffectTypeOfBlock (ampBlock));
    ASSERT_NE (ampLayout, nullptr);
    for (auto* variant : ampLayout->variants)
        for (auto* page : variant->pages)
            page->graphIndex = 3;
    editor = std::make_unique<EffectEditorContent> (&skin, rig.manager.get(), &rig.effects, &layouts, &controls);

    editor->showBlock (ampBlock);
    bool monitor = false;

    for (int p = 0; p < editor->getPageNames().size() && ! monitor; ++p)
        monitor = editor->showPageByIndex (p) && editor->getMonitorGraph() != nullptr;

    ASSERT_TRUE (monitor);

    // The simulated unit's graph 3 rises by 103 a point. (The block's values
    // build the page, and its graph, again.)
    auto values = [this]
    {
        auto* graph = editor->getMonitorGraph();
        return graph != nullptr ? graph->getDisplay().getValues() : nullptr;
    };
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return values() != nullptr && values()[10] > 0.1f; }, 10000));
    EXPECT_FLOAT_EQ (values()[10], 1030.0f / 8191.0f);
    EXPECT_TRUE (editor->areControlsEnabled());
    editor.reset();
}

TEST_F (EffectEditorEditRoad, OneChangeIsOneMessageWhenTheUnitAnswersLate)
{
    ASSERT_TRUE (showAndWait (ampBlock));
    auto& knob = addKnob (1);
    ASSERT_TRUE (settle());
    // The showing's readings end before the count starts.
    ASSERT_TRUE (bench::runMessageLoopUntil (
        [this] { return ! rig.manager->hasWork() && editor->getNumOwnRequests() == 0; }, 10000));
    rig.unit->setReplyDelayFor (SYSEX_PARAM_SET, 400);
    rig.unit->startAutoPump();
    rig.unit->clearReceived();

    for (int v : { 11111, 22222 })
    {
        knob.move (v);
        ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return unitHolds (ampBlock, 1, v); }, 10000));
        ASSERT_TRUE (settle());
        bench::runMessageLoopFor (600); // settled already: room for a resend once the late (400 ms) answer is in
    }

    EXPECT_EQ (rig.unit->countReceived (SYSEX_PARAM_SET), 2);
    rig.unit->stopAutoPump();
    rig.unit->setReplyDelayFor (SYSEX_PARAM_SET, 0);
}

// A reported value is shown as the unit means it: the Pitch block's scale
// notes count from the key the user picked, and a note the scale lacks comes
// without text and cannot be chosen; a list whose choices follow other
// values is built again before its value is shown.
TEST_F (EffectEditorEditRoad, ScaleNotesFollowTheKeyAndDependentListsAreBuiltAgain)
{
    const int pitch = firstBlockIdOfType (EFFECT_PITCH), taps = firstBlockIdOfType (EFFECT_MULTITAP);
    ASSERT_TRUE (pitch > 0 && taps > 0);
    constexpr int key = 0xF000, note2 = 46, note3 = 47, feedbackSend = 76, feedbackReturn = 77;

    auto store = [this] (int block, int param, int value, const juce::String& text, int lower = 0, int upper = 0)
    {
        int xy = 0;
        if (! rig.manager->getBlockXYState (block, xy))
            xy = 0;
        EffectParamValue v;
        v.blockId = (juce::uint16) block;
        v.paramId = (juce::uint16) param;
        v.value = (juce::uint16) value;
        v.text = text;
        v.extraA = (juce::uint16) lower;
        v.extraB = (juce::uint16) upper;
        return rig.effects.storeParamValue (xy, v);
    };
    auto addList = [this] (int block, int param) -> ZOLDropDownEx&
    {
        auto list = std::make_unique<ZOLDropDownEx> (DropDownStyle(), nullptr, nullptr, nullptr);
        list->blockId = (juce::uint16) block;
        list->paramId = (juce::uint16) param;
        return *static_cast<ZOLDropDownEx*> (editor->addPageControl (std::move (list)));
    };
    auto choices = [] (ZOLDropDownEx& list)
    {
        juce::Array<int> values;
        for (int i = 0; i < list.getNumItems(); ++i)
            values.add (list.getItem (i)->value);
        return values;
    };

    // A block met for the first time has its key stored as C.
    auto& second = addList (pitch, note2);
    ASSERT_TRUE (store (pitch, note2, 4, "E", 3, 5));
    editor->applyStoredValue (pitch, note2);
    int xy = 0;
    EffectParamValue storedKey;
    storedKey.value = 99;
    EXPECT_TRUE (rig.effects.getParamValue (pitch, key, rig.manager->getBlockXYState (pitch, xy) ? xy : 0, storedKey));
    EXPECT_EQ (storedKey.value, 0);

    // Key D#; the second note may be 3 to 5 semitones up and is 4 (G); the
    // scale has no third note.
    auto& keyList = addList (pitch, key);
    auto& third = addList (pitch, note3);
    ASSERT_TRUE (store (pitch, key, 3, {}) && store (pitch, note2, 4, "G", 3, 5) && store (pitch, note3, 0, {}));
    editor->applyStoredValue (pitch, key);
    editor->applyStoredValue (pitch, note2);
    editor->applyStoredValue (pitch, note3);
    EXPECT_EQ (choices (second), juce::Array<int> ({ 6, 7, 8 }));
    EXPECT_EQ (second.getUnitValue(), 7);
    EXPECT_TRUE (second.isEnabled());
    EXPECT_FALSE (third.isEnabled());
    // Also once the modifier values that follow every block's values are in.
    editor->handlePresetEvent (89);
    EXPECT_TRUE (second.isEnabled());
    EXPECT_FALSE (third.isEnabled());

    // The user picks the key A: the notes move with it.
    keyList.handleMenuResult (10);
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return second.getUnitValue() == 1; }, 10000));
    EXPECT_EQ (choices (second), juce::Array<int> ({ 0, 1, 2 }));

    // The feedback send starts at the return tap, whichever the unit last reported.
    ParamInfo eightTaps;
    eightTaps.maximum = 7.0f;
    ASSERT_TRUE (rig.effects.storeParamInfo (taps, feedbackSend, eightTaps));
    auto& send = addList (taps, feedbackSend);

    for (int returnTap : { 2, 5 })
    {
        ASSERT_TRUE (store (taps, feedbackReturn, returnTap, "x") && store (taps, feedbackSend, 6, "x"));
        editor->applyStoredValue (taps, feedbackSend);
        EXPECT_EQ (choices (send).getFirst(), returnTap);
        EXPECT_EQ (choices (send).getLast(), 7);
        EXPECT_EQ (send.getUnitValue(), 6);
    }
}
