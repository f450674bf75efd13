#include "app/EffectEditorContent.h"
#include "app/KestrelContentComponent.h"
#include "app/KestrelFootswitchGrid.h"
#include "app/ModifierDlgContent.h"
#include "app/SequencerContent.h"
#include "bench/BenchRig.h"
#include "device/wire/SysExCodec.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/ModifierRecord.h"
#include "skin/KestrelControlManager.h"
#include "skin/SkinManager.h"
#include "skin/ZOLEffectParam.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
constexpr int ampBlock = 106, cabBlock = 108;

bool enabled (ZOLEffectParam* control)
{
    auto* component = dynamic_cast<juce::Component*> (control);
    return component != nullptr && component->isEnabled();
}

// The program's skin, layouts and templates, the content with the effect
// editor and its dialogs, and the simulated unit behind the real link.
class EditorDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        controls.loadFromSkin (&skin, skin.getSkinRoot());
        juce::String error;
        ASSERT_TRUE (loadEffectLayouts (layouts, error)) << error;
        int major = 0, minor = 0;
        getRequiredFirmware (8, major, minor);
        rig.effects.setFirmware (major, minor);

        // Made once connected: an editor that sees the connection made asks the
        // unit for all its definitions, which this rig does not keep.
        ASSERT_TRUE (rig.connectAndLoad());
        bench::runMessageLoopFor (100);

        content = std::make_unique<KestrelContentComponent> (nullptr, &skin);
        auto made = std::make_unique<EffectEditorContent> (&skin, rig.manager.get(), &rig.effects, &layouts, &controls);
        editor = made.get();
        editor->connectDialogs();
        content->setEffectEditor (std::move (made));
        content->setPane (ContentPane::sequencer,
                          std::make_unique<SequencerContent> (&skin, &rig.effects, &layouts, &controls), false);
        content->setPane (ContentPane::modifierDialog,
                          std::make_unique<ModifierDlgContent> (&skin, rig.manager.get(), &rig.effects, &layouts,
                                                                &controls),
                          false);
        modifierDialog = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
        sequencerDialog = content->getPaneAs<SequencerContent> (ContentPane::sequencer);
    }

    void TearDown() override { content.reset(); }

    bool waitFor (const std::function<bool()>& done, int ms = 10000) { return bench::runMessageLoopUntil (done, ms); }

    ZOLEffectParam* pageControlOf (int paramId) const
    {
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            if (editor->getPageControl (i)->paramId == paramId)
                return editor->getPageControl (i);

        return nullptr;
    }

    SimulatedPreset::Modifier unitModifier (int block, int param) const
    {
        auto buffer = rig.unit->getEditBuffer();
        auto* found = buffer.findModifier (block, param);
        return found != nullptr ? *found : SimulatedPreset::Modifier{};
    }

    bench::ProgramRig rig;
    SkinManager skin;
    KestrelControlManager controls;
    KestrelEffectLayoutManager layouts;
    std::unique_ptr<KestrelContentComponent> content;
    EffectEditorContent* editor = nullptr;
    ModifierDlgContent* modifierDialog = nullptr;
    SequencerContent* sequencerDialog = nullptr;
};
} // namespace

TEST (ModifierCurve, PassesThroughStartAndEndAndIsFlatWithoutSettings)
{
    float points[ModifierDlgContent::curvePoints];
    ModifierDlgContent::computeCurve (nullptr, points);

    for (float point : points)
        EXPECT_FLOAT_EQ (point, 0.5f);

    ModifierRecord record (100);
    auto set = [&record] (int field, const char* text)
    {
        ModifierValueEntry entry;
        entry.settingIndex = (juce::uint16) field;
        entry.text = text;
        record.setSlot (entry);
    };
    set (ModifierDlgContent::fieldStart, "20");
    set (ModifierDlgContent::fieldMid, "40");
    set (ModifierDlgContent::fieldEnd, "90");
    set (ModifierDlgContent::fieldSlope, "50");
    set (ModifierDlgContent::fieldScale, "1");

    ModifierDlgContent::computeCurve (&record, points);
    EXPECT_NEAR (points[0], 0.2f, 1e-5f);
    EXPECT_NEAR (points[127], 0.9f, 1e-5f);
    // Scale and offset move the whole curve.
    set (ModifierDlgContent::fieldScale, "0.5");
    set (ModifierDlgContent::fieldOffset, "10");
    ModifierDlgContent::computeCurve (&record, points);
    EXPECT_NEAR (points[127], (0.5f * 0.8f + 0.1f + 1.0f) * 0.5f, 1e-5f);
}

TEST_F (EditorDialogs, AModifierOpensFromItsControlIsEditedOnTheUnitAndClosesWithEscape)
{
    editor->showBlock (ampBlock);
    auto* knob = pageControlOf (1);
    ASSERT_NE (knob, nullptr);

    auto* dialog = modifierDialog;
    knob->postChangeCode (3);
    ASSERT_TRUE (waitFor ([dialog] { return dialog->isVisible(); }));
    EXPECT_EQ (content->getShowingDialog(), dialog);
    EXPECT_TRUE (dialog->getTitle().startsWith ("Edit Modifier: ")) << dialog->getTitle();
    ASSERT_NE (dialog->getGraph(), nullptr);

    // Nothing drives the parameter yet: only the source can be chosen.
    auto* source = dialog->findControl (ModifierDlgContent::fieldSource);
    auto* maximum = dialog->findControl (ModifierDlgContent::fieldMax);
    ASSERT_NE (source, nullptr);
    ASSERT_NE (maximum, nullptr);
    EXPECT_FALSE (dialog->hasSource());
    EXPECT_TRUE (enabled (source));
    EXPECT_FALSE (enabled (maximum));

    // Choosing a source assigns a modifier on the unit; every field is read
    // again and the other controls become usable.
    source->setFromDevice (5, 0, "ADSR 1");
    source->postChangeCode (4);
    ASSERT_TRUE (waitFor ([&] { return unitModifier (ampBlock, 1).settings[0] == 5 && enabled (maximum); }));
    EXPECT_TRUE (dialog->hasSource());

    // Two values in quick succession: the one refused while the first was
    // under way reaches the unit after it.
    maximum->setFromDevice (30000, 58, {});
    maximum->postChangeCode (4);
    dialog->changeListenerCallback (maximum);
    maximum->setFromDevice (40000, 77, {});
    const auto last = (juce::uint16) maximum->getUnitValue();
    dialog->changeListenerCallback (maximum);
    EXPECT_EQ (dialog->getHeldEdit().value, last);
    ASSERT_TRUE (waitFor ([&] { return unitModifier (ampBlock, 1).settings[2] == last; }));
    ASSERT_TRUE (waitFor ([&] { return dialog->getHeldEdit().blockId == 0; }));

    saveScreenshot (*content, "modifier-dialog");

    // Showing no block (a preset was loaded) closes it; opened again, it shows the unit's modifier.
    editor->showBlock (0);
    EXPECT_FALSE (dialog->isVisible());
    ASSERT_TRUE (editor->openModifierDialog (ampBlock, 1));
    EXPECT_TRUE (dialog->hasSource());

    const int broadcasts = rig.unit->countReceived (SYSEX_BROADCAST_MODIFIER);
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (content->getShowingDialog(), nullptr);
    EXPECT_EQ (dialog->getNumControls(), 0);
    EXPECT_TRUE (waitFor ([&] { return rig.unit->countReceived (SYSEX_BROADCAST_MODIFIER) > broadcasts; }));
    // Every answer taken in before the rig goes.
    EXPECT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    bench::runMessageLoopFor (100);
}

TEST_F (EditorDialogs, TheSequencerShowsAllThirtyTwoStepsAndSendsAStepThroughTheEditor)
{
    editor->showBlock (SequencerContent::blockId);
    const int tab = editor->findPageTabByName ("Sequencer");
    ASSERT_GE (tab, 0);
    ASSERT_TRUE (editor->showPageByIndex (tab));

    auto* sequencer = sequencerDialog;
    ASSERT_TRUE (sequencer->isVisible());
    EXPECT_TRUE (editor->getLocalBounds().contains (sequencer->getBounds())) << sequencer->getBounds().toString();
    EXPECT_EQ (content->getShowingDialog(), sequencer);

    // A slider and a readout per step; 53 and 54 lie between the two runs.
    juce::Array<ZOLEffectParam*> found;
    for (int step = 0; step < SequencerContent::numSteps; ++step)
    {
        found.clearQuick();
        sequencer->findControls (SequencerContent::blockId, SequencerContent::getStepParamId (step), found);
        EXPECT_EQ (found.size(), 2) << "step " << step + 1;
    }

    EXPECT_EQ (SequencerContent::getStepParamId (16), 55);
    EXPECT_GT (sequencer->getNumControls(), 64); // the page's other controls too

    found.clearQuick();
    sequencer->findControls (SequencerContent::blockId, 55, found);
    auto* step17 = dynamic_cast<juce::Component*> (found[0]);
    ASSERT_NE (step17, nullptr);
    EXPECT_EQ (step17->getName(), "17");

    found[0]->setFromDevice (30000, 58, {});
    const int sent = found[0]->getUnitValue();
    found[0]->postChangeCode (4);
    ASSERT_TRUE (waitFor (
        [&]
        {
            juce::uint16 value = 0;
            return rig.unit->getParam (SequencerContent::blockId, 55, value) && value == sent;
        }));

    // The unit's answer comes back to the step through the editor.
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->getRequest (setParam).isRunning(); }));
    bench::runMessageLoopFor (100);
    EXPECT_NEAR (found[0]->getUnitValue(), sent, 65534 / 127);

    saveScreenshot (*content, "sequencer-dialog");

    EXPECT_TRUE (sequencer->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (sequencer->isVisible());
    EXPECT_EQ (sequencer->getNumControls(), 0);
    EXPECT_EQ (sequencer->getChangeCode(), ParamDialogFrame::codeClosed);
}

TEST_F (EditorDialogs, TheFootswitchGridShowsAndSendsTheUnitsAssignmentsAndKeepsAChangeMadeWhileSending)
{
    juce::Array<FootswitchGridEntry> held;
    held.resize (8);
    held.set (0, { ampBlock, 0, 0x100 });      // switch 1: per-preset, momentary
    held.set (4, { 0, cabBlock, 1 });       // switch 5: global, latching
    rig.unit->setFootswitchAssignments (held);

    // The grid's footswitch button opens the global block's per-preset page.
    editor->showGridSelection (4, 0);
    auto* shown = dynamic_cast<KestrelFootswitchGrid*> (editor->getSpecialPageComponent());
    ASSERT_NE (shown, nullptr);
    auto& grid = *shown;
    EXPECT_EQ (grid.getMode(), 0);
    EXPECT_TRUE (editor->getLocalBounds().contains (grid.getBounds())) << grid.getBounds().toString();
    ASSERT_TRUE (waitFor ([&] { return grid.getTile (1, 0)->getBlockId() == ampBlock; }));

    EXPECT_FALSE (grid.getTile (1, 0)->isGlobalLocked);
    EXPECT_TRUE (grid.getPresetModeSwitch (1, 0)->isVisible());
    EXPECT_FALSE (grid.getPresetModeSwitch (1, 0)->getToggleState());
    EXPECT_EQ (grid.getTile (0, 0)->getBlockId(), cabBlock);
    EXPECT_TRUE (grid.getTile (0, 0)->isGlobalLocked);
    EXPECT_EQ (grid.getGlobalLabel (0, 0)->getText(), "(Global)\n(Latching)");

    // A global switch takes no per-preset assignment: a warning, no menu.
    EXPECT_EQ (grid.createBlockMenu (0, 0), nullptr);
    EXPECT_EQ (rig.notices.lastMessage(),
               "You must disable Global mode before assigning a Per-Preset effect to this footswitch.");

    // Two changes, the second while the first is being sent: both reach the unit.
    grid.getTile (1, 1)->setBlockId (110);
    grid.commitAssignments();
    grid.getTile (1, 2)->setBlockId (112);
    grid.commitAssignments();
    ASSERT_TRUE (waitFor (
        [&]
        {
            auto now = rig.unit->getFootswitchAssignments();
            return now[1].a == 110 && now[2].a == 112 && grid.areTilesEnabled() &&
                   ! rig.manager->getRequest (setFootswitchGrid).isRunning() &&
                   ! rig.manager->getRequest (getFootswitchGrid).isRunning();
        }));
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[0].c, 0x100); // the mode survived the round trip
    EXPECT_EQ (grid.getTile (1, 2)->getBlockId(), 112);

    saveScreenshot (grid, "footswitch-grid");
}

TEST_F (EditorDialogs, TheFootswitchGridKeepsEightSwitchesOfAnOddAnswerAndIsUsableAfterAFailedSend)
{
    // An answer with twelve entries and a block the unit cannot have.
    juce::Array<FootswitchGridEntry> odd;
    odd.resize (12);
    odd.set (3, { 999, 0, 0 });
    odd.set (11, { ampBlock, 0, 0 });
    rig.unit->setFootswitchAssignments (odd);

    KestrelFootswitchGrid grid (&skin, rig.manager.get(), 0);
    grid.requestAssignments();
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->getRequest (getFootswitchGrid).isRunning(); }));
    bench::runMessageLoopFor (50);
    EXPECT_EQ (grid.getAssignments().size(), 8);
    EXPECT_EQ (grid.getTile (1, 3)->getBlockId(), 0);

    // The unit stops answering: the send fails, and the tiles are usable again.
    rig.unit->setSilentFor (SYSEX_FSGRID);
    grid.getTile (1, 1)->setBlockId (110);
    grid.commitAssignments();
    ASSERT_TRUE (waitFor ([&] { return ! grid.areTilesEnabled(); }, 2000));
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->getRequest (setFootswitchGrid).isRunning(); }, 20000));
    bench::runMessageLoopFor (50);
    EXPECT_TRUE (grid.areTilesEnabled());
}

TEST_F (EditorDialogs, OnTheGlobalPageTheGlobalButtonAndItsSwitchSetTheModeTheUnitKeeps)
{
    juce::Array<FootswitchGridEntry> held;
    held.resize (8);
    held.set (3, { ampBlock, cabBlock, 0x100 }); // switch 4: per-preset, momentary
    rig.unit->setFootswitchAssignments (held);

    KestrelFootswitchGrid grid (&skin, rig.manager.get(), 1);
    grid.requestAssignments();
    ASSERT_TRUE (waitFor ([&] { return grid.getTile (1, 3)->getBlockId() == cabBlock; }));
    EXPECT_FALSE (grid.getGlobalButton (1, 3)->getToggleState());
    EXPECT_FALSE (grid.getGlobalModeSwitch (1, 3)->isVisible());

    auto unitMode = [this] { return rig.unit->getFootswitchAssignments()[3].c; };

    // Global on: latching, the per-preset half of the mode kept.
    grid.getGlobalButton (1, 3)->triggerClick();
    ASSERT_TRUE (waitFor ([&] { return unitMode() == 0x101; }));

    // Its switch off: momentary.
    ASSERT_TRUE (waitFor ([&] { return grid.getGlobalModeSwitch (1, 3)->isVisible() && grid.areTilesEnabled(); }));
    grid.getGlobalModeSwitch (1, 3)->triggerClick();
    ASSERT_TRUE (waitFor ([&] { return unitMode() == 0x102; }));
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[3].b, cabBlock);
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[3].a, ampBlock);
}

TEST (FootswitchGridKeys, ArrowsStartAtTheTopLeftSwitchAndStopAtTheEdges)
{
    KestrelFootswitchGrid grid (nullptr, nullptr, 0);
    auto press = [&grid] (int key)
    {
        EXPECT_TRUE (grid.keyPressed (juce::KeyPress (key)));
        bench::runMessageLoopFor (30); // the click is delivered as a message
    };
    auto selected = [&grid]
    {
        for (int row = 0; row < FootswitchGridPanel::rows; ++row)
            for (int column = 0; column < FootswitchGridPanel::columns; ++column)
                if (grid.getTile (row, column)->getToggleState())
                    return juce::Point<int> (column, row);

        return juce::Point<int> (-1, -1);
    };

    press (juce::KeyPress::downKey);
    EXPECT_EQ (selected(), juce::Point<int> (0, 0)); // switch 5
    EXPECT_TRUE (grid.getTile (0, 0)->isSelected());
    press (juce::KeyPress::leftKey);
    press (juce::KeyPress::upKey);
    EXPECT_EQ (selected(), juce::Point<int> (0, 0));
    press (juce::KeyPress::downKey);
    press (juce::KeyPress::downKey);
    for (int i = 0; i < 5; ++i)
        press (juce::KeyPress::rightKey);
    EXPECT_EQ (selected(), juce::Point<int> (3, 1)); // switch 4
    EXPECT_FALSE (grid.keyPressed (juce::KeyPress ('a')));
}
