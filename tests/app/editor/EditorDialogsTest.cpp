#include "app/shell/ControlUnitContent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/grid/KestrelFootswitchGrid.h"
#include "app/dialogs/ModifierDlgContent.h"
#include "app/dialogs/SequencerContent.h"
#include "bench/BenchRig.h"
#include "device/wire/SysExCodec.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/ModifierRecord.h"
#include "model/UserFolders.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "support/PumpMessages.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"
#include "support/SkippingClock.h"

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
        ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));

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

    // Generous: the machine may be loaded; a condition that holds ends the wait at once.
    bool waitFor (const std::function<bool()>& done, int ms = 30000) { return bench::runMessageLoopUntil (done, ms); }

    // The block's values build its page again: controls are taken once they are in.
    bool show (int block)
    {
        editor->showBlock (block);
        return waitFor ([this] { return ! rig.manager->hasWork(); });
    }

    // The unit holds the assignments; a footswitch grid of the page reads
    // them, its icons from the depot the effect grid fills.
    std::unique_ptr<KestrelFootswitchGrid> footswitchGridOn (int mode,
                                                             std::initializer_list<std::pair<int, FootswitchGridEntry>> held)
    {
        juce::Array<FootswitchGridEntry> entries;
        entries.resize (8);

        for (auto& [index, entry] : held)
            entries.set (index, entry);

        rig.unit->setFootswitchAssignments (entries);
        effectGrid = std::make_unique<GridUnitContent> (&skin, nullptr, &depot);
        auto grid = std::make_unique<KestrelFootswitchGrid> (&skin, &depot, &controls, rig.manager.get(), mode);
        grid->setTexts (mode == 0 ? "PRESET FOOTSWITCHES" : "GLOBAL FOOTSWITCHES",
                        mode == 0 ? "These assignments are saved with the preset."
                                  : "Global switches keep their block in every preset.");
        grid->requestAssignments();
        return grid;
    }

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

    SkippingClock clock; // the program's clock for as long as the rig runs
    bench::ProgramRig rig;
    SkinManager skin;
    KestrelControlManager controls;
    KestrelEffectLayoutManager layouts;
    std::unique_ptr<KestrelContentComponent> content;
    EffectEditorContent* editor = nullptr;
    KestrelImageDepot depot;
    std::unique_ptr<GridUnitContent> effectGrid;
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
    ASSERT_TRUE (show (ampBlock));
    auto* knob = pageControlOf (1);
    ASSERT_NE (knob, nullptr);

    auto* dialog = modifierDialog;
    knob->postChangeCode (3);
    ASSERT_TRUE (waitFor ([dialog] { return dialog->isVisible(); }));
    // The stop of the page's live reports has reached the unit.
    ASSERT_TRUE (waitFor ([this] { return rig.unit->countReceived (SYSEX_BROADCAST_KNOB) > 0; }));
    const int knobReports = rig.unit->countReceived (SYSEX_BROADCAST_KNOB);
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
    // The dialog's readings do not restart the page's live reports.
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    bench::runMessageLoopFor (100); // idle already: a restart would follow the last reading at once
    EXPECT_EQ (rig.unit->countReceived (SYSEX_BROADCAST_KNOB), knobReports);
    EXPECT_FALSE (editor->isKnobBroadcastOn());

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

    // The controls and the curve fill the box: inside it, with no empty band
    // between its title bar and them or below them.
    const auto box = dialog->getDialogBounds();
    std::vector<juce::Rectangle<int>> parts{ dialog->getGraph()->getBounds() };
    for (int i = 0; i < dialog->getNumControls(); ++i)
        if (auto* shown = dynamic_cast<juce::Component*> (dialog->getControl (i)))
            parts.push_back (shown->getBounds());
    std::sort (parts.begin(), parts.end(), [] (auto a, auto b) { return a.getY() < b.getY(); });
    int reached = box.getY() + 30; // below the title bar
    for (auto part : parts)
    {
        EXPECT_TRUE (box.contains (part)) << part.toString() << " in " << box.toString();
        EXPECT_LE (part.getY() - reached, 24) << "an empty band above " << part.toString();
        reached = juce::jmax (reached, part.getBottom());
    }
    EXPECT_LE (box.getBottom() - reached, 24) << "an empty band below the controls in " << box.toString();

    saveScreenshot (*content, "modifier-dialog");

    // Closed, the knob that now has a modifier is reported live again.
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (waitFor ([this] { return editor->isKnobBroadcastOn(); }));
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    ASSERT_NE (pageControlOf (1), nullptr);
    pageControlOf (1)->postChangeCode (3);
    ASSERT_TRUE (waitFor ([dialog] { return dialog->isVisible(); }));

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
    bench::runMessageLoopFor (100); // idle already; late messages land before the rig goes, nothing is judged
}

TEST_F (EditorDialogs, TheGlobalMixButtonSetsTheBlocksGlobalMixNeverTheKnobsOwnParameter)
{
    // A reverb in the unit's preset, loaded again.
    constexpr int block = 110;
    const int mixParam = getMixParamId (block), globalMixParam = getGlobalMixParamId (block);
    ASSERT_GE (globalMixParam, 0);
    auto preset = rig.unit->getEditBuffer();
    for (int cell = 47; cell > 0 && ! preset.isInGrid (block); --cell)
        preset.placeBlock (cell, block);
    ASSERT_TRUE (preset.setParam (block, globalMixParam, 0));
    rig.unit->setEditBuffer (preset);
    ASSERT_TRUE (rig.runRequest (loadPreset));
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    ASSERT_TRUE (pumpPostedMessages()); // the load's end reaches the editor, which then shows no block
    editor->showBlock (block);
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    // (The page's controls are made again as the block's values arrive.)
    auto knob = [&] { return dynamic_cast<ZOLRotaryKnob*> (pageControlOf (mixParam)); };
    for (int page = 0; knob() == nullptr && editor->showPageByIndex (page); ++page)
        ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
    ASSERT_NE (knob(), nullptr);
    ASSERT_NE (knob()->getGlobalMixButton(), nullptr);

    auto unitValue = [this, block] (int param)
    {
        juce::uint16 value = 0;
        return rig.unit->getParam (block, param, value) ? (int) value : -1;
    };
    const int mix = unitValue (mixParam);
    ASSERT_EQ (unitValue (globalMixParam), 0);

    for (int expected : { 1, 0 })
    {
        ASSERT_NE (knob(), nullptr);
        knob()->getGlobalMixButton()->triggerClick();
        EXPECT_TRUE (waitFor ([&] { return unitValue (globalMixParam) == expected && ! rig.manager->hasWork(); }))
            << "global mix " << unitValue (globalMixParam) << ", expected " << expected;
        EXPECT_EQ (unitValue (mixParam), mix);
    }
}

TEST_F (EditorDialogs, LoadingAPresetDisablesEveryControlOfTheEditorUntilItEnds)
{
    editor->showBlock (ampBlock);
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));

    // The header's controls, the page's value controls and its tabs, as the editor
    // holds them now: the end of a load may build the page again.
    int headers = 0, tabs = 0;
    auto collect = [&]
    {
        juce::Array<juce::Component*> shownControls;
        shownControls.add (dynamic_cast<juce::Component*> (editor->getXYToggle()),
                           dynamic_cast<juce::Component*> (editor->getEffectTypeDropDown()),
                           dynamic_cast<juce::Component*> (editor->getLibraryDropDown()));
        shownControls.removeAllInstancesOf (nullptr);
        headers = shownControls.size();
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            if (auto* c = dynamic_cast<juce::Component*> (editor->getPageControl (i)))
                if (dynamic_cast<ZOLLabelComponent*> (c) == nullptr)
                    shownControls.add (c);
        tabs = 0;
        for (auto* child : editor->getChildren())
            if (editor->isPageTab (child) && child->isVisible())
            {
                shownControls.add (child);
                ++tabs;
            }
        return shownControls;
    };
    const auto before = collect();
    ASSERT_GE (headers, 2);
    ASSERT_GT (before.size(), headers + 3);
    ASSERT_GT (tabs, 1);

    // The codes reach the editor as the main window broadcasts them.
    rig.manager->addChangeListener (editor);
    auto post = [this] (int code)
    {
        rig.manager->setStatus (code, 0, 0);
        rig.manager->sendSynchronousChangeMessage();
    };
    post (20);
    for (auto* c : collect())
        EXPECT_FALSE (c->isEnabled()) << c->getName();
    post (21);
    rig.manager->removeChangeListener (editor);
    // The end of a load shows the grid's selection again (none in this rig,
    // so the page goes); the header stays and takes clicks again.
    const auto after = collect();
    ASSERT_GE (after.size(), 2);
    for (auto* c : after)
        EXPECT_TRUE (c->isEnabled()) << c->getName();
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->hasWork(); }));
}

TEST_F (EditorDialogs, TheSequencerShowsAllThirtyTwoStepsAndSendsAStepThroughTheEditor)
{
    ASSERT_TRUE (show (SequencerContent::blockId));
    const int tab = editor->findPageTabByName ("Sequencer");
    ASSERT_GE (tab, 0);
    ASSERT_TRUE (editor->showPageByIndex (tab));

    auto* sequencer = sequencerDialog;
    ASSERT_TRUE (sequencer->isVisible());
    EXPECT_TRUE (editor->getLocalBounds().contains (sequencer->getBounds())) << sequencer->getBounds().toString();
    EXPECT_EQ (content->getShowingDialog(), sequencer);

    // The block's values build the page again: the sequencer stays on it.
    editor->handlePresetEvent (65);
    EXPECT_EQ (editor->getCurrentPageIndex(), tab);
    ASSERT_TRUE (sequencer->isVisible());
    EXPECT_EQ (editor->getSpecialPageComponent(), sequencer);

    // A slider and a readout per step; 53 and 54 lie between the two runs.
    // Each stands inside the box, clear of its border lines.
    const auto inside = sequencer->getDialogBounds().reduced (4);
    juce::Array<ZOLEffectParam*> found;
    for (int step = 0; step < SequencerContent::numSteps; ++step)
    {
        found.clearQuick();
        sequencer->findControls (SequencerContent::blockId, SequencerContent::getStepParamId (step), found);
        EXPECT_EQ (found.size(), 2) << "step " << step + 1;
        for (auto* control : found)
            if (auto* shown = dynamic_cast<juce::Component*> (control))
            {
                EXPECT_TRUE (inside.contains (shown->getBounds()))
                    << "step " << step + 1 << ": " << shown->getBounds().toString() << " in " << inside.toString();
            }
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
    EXPECT_TRUE (waitFor ([&] { return std::abs (found[0]->getUnitValue() - (int) sent) <= 65534 / 127; }))
        << found[0]->getUnitValue() << " against " << sent;

    saveScreenshot (*content, "sequencer-dialog");

    EXPECT_TRUE (sequencer->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (sequencer->isVisible());
    EXPECT_EQ (sequencer->getNumControls(), 0);
    EXPECT_EQ (sequencer->getChangeCode(), ParamDialogFrame::codeClosed);
}

TEST_F (EditorDialogs, ClosingTheSequencerReturnsToThePageBeforeItAndLeavingItsPageDoesNot)
{
    editor->showBlock (SequencerContent::blockId);
    const int scenePage = editor->findPageTabByName ("Scene");
    const int sequencerPage = editor->findPageTabByName ("Sequencer");
    ASSERT_TRUE (scenePage >= 0 && sequencerPage >= 0);

    ASSERT_TRUE (editor->showPageByIndex (scenePage));
    ASSERT_TRUE (editor->showPageByIndex (sequencerPage));
    ASSERT_TRUE (sequencerDialog->isVisible());
    EXPECT_TRUE (sequencerDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_EQ (editor->getCurrentPageIndex(), scenePage);
    EXPECT_GT (editor->getNumPageControls(), 0);

    // Another tab closes the sequencer on the way out; the new page stays.
    ASSERT_TRUE (editor->showPageByIndex (sequencerPage));
    ASSERT_TRUE (sequencerDialog->isVisible());
    ASSERT_TRUE (editor->showPageByIndex (0));
    EXPECT_EQ (editor->getCurrentPageIndex(), 0);
    EXPECT_FALSE (sequencerDialog->isVisible());
}

TEST_F (EditorDialogs, ASequencerStepOpensItsModifierAndTheSequencerComesBackAfterIt)
{
    ASSERT_TRUE (show (SequencerContent::blockId));
    const int sequencerPage = editor->findPageTabByName ("Sequencer");
    ASSERT_TRUE (editor->showPageByIndex (sequencerPage));
    juce::Array<ZOLEffectParam*> found;
    sequencerDialog->findControls (SequencerContent::blockId, SequencerContent::getStepParamId (0), found);
    ASSERT_FALSE (found.isEmpty());

    // The step's own gesture closes the sequencer while the step's message is
    // being delivered, whatever order its listeners hear it in: the step
    // outlives the delivery and goes afterwards.
    auto* step = found[0];
    juce::Component::SafePointer<juce::Component> stepWidget (dynamic_cast<juce::Component*> (step));
    step->removeAllChangeListeners();
    step->addChangeListener (sequencerDialog);
    step->addChangeListener (editor);
    step->postChangeCode (3);
    step->sendSynchronousChangeMessage();
    EXPECT_NE (stepWidget.getComponent(), nullptr);
    EXPECT_TRUE (modifierDialog->isVisible());
    EXPECT_FALSE (sequencerDialog->isVisible());
    EXPECT_TRUE (waitFor ([&stepWidget] { return stepWidget == nullptr; }));
    EXPECT_TRUE (modifierDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_EQ (editor->getCurrentPageIndex(), sequencerPage);
    EXPECT_TRUE (sequencerDialog->isVisible());
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    bench::runMessageLoopFor (100); // idle already; late messages land before the rig goes, nothing is judged
}

TEST_F (EditorDialogs, AModifierOfTheModifierListOpensWithItsValuesAndTheListReturnsUpdated)
{
    clock.skipTimeOutsOf (*rig.unit);

    // A modifier on the Amp's gain, as the unit and the program know it.
    auto buffer = rig.unit->getEditBuffer();
    auto* onUnit = buffer.assignModifier (ampBlock, 1);
    ASSERT_NE (onUnit, nullptr);
    onUnit->settings[0] = 5;
    rig.unit->setEditBuffer (buffer);
    ASSERT_TRUE (rig.runRequest (modifierIdQueryAll));
    auto* modifier = rig.effects.findModifierForParam (ampBlock, 1);
    ASSERT_TRUE (modifier != nullptr && modifier->getControllerId() == 5);
    const int modifierId = modifier->modifierId;

    rig.effects.loadControllerNames();
    ASSERT_TRUE (show (blockIdControllers));
    const int listPage = editor->findPageTabByName ("Modifiers");
    ASSERT_TRUE (editor->showPageByIndex (listPage));
    auto* label = dynamic_cast<ZOLLabelComponent*> (pageControlOf (modifierId));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xFFE8A33D)) << "the skin's colour";
    const auto listed = label->getText();

    // A click while another reading of modifier values runs is refused, and
    // that reading's end opens nothing.
    rig.unit->setReplyDelayFor (SYSEX_MODIFIER_SET, 300);
    rig.unit->startAutoPump();
    ASSERT_TRUE (rig.manager->requestModifierValues (ampBlock, { 1 }));
    label->postChangeCode (1);
    ASSERT_TRUE (pumpPostedMessages()); // the click has been handled; the rest of the reading may be quick
    rig.unit->setReplyDelayFor (SYSEX_MODIFIER_SET, 0);
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    bench::runMessageLoopFor (100); // idle already: the reading's end has been handled
    EXPECT_FALSE (modifierDialog->isVisible());

    // A click whose reading is overtaken by showing another block, or is never
    // answered, leaves nothing to open on a later reading's end.
    rig.unit->setReplyDelayFor (SYSEX_MODIFIER_SET, 300);
    label->postChangeCode (1);
    ASSERT_TRUE (waitFor ([this] { return rig.manager->hasWork(); })); // the click's reading is under way
    editor->showBlock (cabBlock);
    rig.unit->setReplyDelayFor (SYSEX_MODIFIER_SET, 0);
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    rig.unit->stopAutoPump();
    EXPECT_FALSE (modifierDialog->isVisible());

    ASSERT_TRUE (show (blockIdControllers));
    ASSERT_TRUE (editor->showPageByIndex (listPage));
    label = dynamic_cast<ZOLLabelComponent*> (pageControlOf (modifierId));
    ASSERT_NE (label, nullptr);
    rig.unit->setSilentFor (SYSEX_MODIFIER_SET);
    label->postChangeCode (1);
    ASSERT_TRUE (waitFor ([this] { return rig.manager->hasWork(); }));
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }, 20000));
    rig.unit->setSilentFor (SYSEX_MODIFIER_SET, false);
    ASSERT_TRUE (rig.manager->requestModifierValues (ampBlock, { 1 }));
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    bench::runMessageLoopFor (100); // idle already: the reading's end has been handled
    EXPECT_FALSE (modifierDialog->isVisible());

    // Nor does the grid's bypass gesture on a block whose reading times out.
    rig.unit->setSilentFor (SYSEX_MODIFIER_SET);
    editor->showBlock (ampBlock, true);
    ASSERT_TRUE (editor->isBypassPending());
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    EXPECT_TRUE (waitFor ([this] { return ! editor->isBypassPending(); }));
    rig.unit->setSilentFor (SYSEX_MODIFIER_SET, false);

    ASSERT_TRUE (show (blockIdControllers));
    ASSERT_TRUE (editor->showPageByIndex (listPage));
    label = dynamic_cast<ZOLLabelComponent*> (pageControlOf (modifierId));
    ASSERT_NE (label, nullptr);

    // A click reads the modifier's values from the unit, then opens it.
    const int queries = rig.unit->countReceived (SYSEX_MODIFIER_SET);
    label->postChangeCode (1);
    ASSERT_TRUE (waitFor ([this] { return modifierDialog->isVisible(); }));
    EXPECT_GT (rig.unit->countReceived (SYSEX_MODIFIER_SET), queries);
    EXPECT_TRUE (modifierDialog->getTitle().startsWith ("Edit Modifier: ")) << modifierDialog->getTitle();

    // The modifier is given another source; the list shows it on return.
    auto* source = modifierDialog->findControl (ModifierDlgContent::fieldSource);
    ASSERT_NE (source, nullptr);
    source->setFromDevice (6, 0, {});
    source->postChangeCode (4);
    ASSERT_TRUE (waitFor ([&] { return unitModifier (ampBlock, 1).settings[0] == 6; }));
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
    EXPECT_TRUE (modifierDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));

    EXPECT_EQ (editor->getCurrentPageIndex(), listPage);
    label = dynamic_cast<ZOLLabelComponent*> (pageControlOf (modifierId));
    ASSERT_NE (label, nullptr);
    EXPECT_NE (label->getText(), listed);
    bench::runMessageLoopFor (100); // idle already; late messages land before the rig goes, nothing is judged
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
    // The block's values build the page, and its grid, again.
    ASSERT_TRUE (waitFor ([this] { return ! rig.manager->hasWork(); }));
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

    KestrelFootswitchGrid grid (&skin, nullptr, &controls, rig.manager.get(), 0);
    grid.requestAssignments();
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->getRequest (getFootswitchGrid).isRunning(); }));
    EXPECT_TRUE (waitFor ([&] { return grid.getAssignments().size() == 8; }));
    EXPECT_EQ (grid.getTile (1, 3)->getBlockId(), 0);

    // The unit stops answering: the send fails, and the tiles are usable again.
    rig.unit->setSilentFor (SYSEX_FSGRID);
    grid.getTile (1, 1)->setBlockId (110);
    grid.commitAssignments();
    ASSERT_TRUE (waitFor ([&] { return ! grid.areTilesEnabled(); }));
    ASSERT_TRUE (waitFor ([&] { return ! rig.manager->getRequest (setFootswitchGrid).isRunning(); }));
    EXPECT_TRUE (waitFor ([&] { return grid.areTilesEnabled(); }));
}

TEST_F (EditorDialogs, OnTheGlobalPageTheGlobalButtonAndItsSwitchSetTheModeTheUnitKeeps)
{
    auto made = footswitchGridOn (1, { { 3, { ampBlock, cabBlock, 0x100 } }, // switch 4: per-preset, momentary
                                       { 4, { 0, 110, 1 } },                 // switch 5: global, latching
                                       { 6, { 0, 112, 2 } } });              // switch 7: global, momentary
    auto& grid = *made;
    ASSERT_TRUE (waitFor ([&] { return grid.getTile (1, 3)->getBlockId() == cabBlock; }));
    EXPECT_FALSE (grid.getGlobalButton (1, 3)->getToggleState());
    EXPECT_FALSE (grid.getGlobalModeSwitch (1, 3)->isVisible());

    auto unitMode = [this] { return rig.unit->getFootswitchAssignments()[3].c; };

    // Global on: latching, the per-preset half of the mode kept.
    grid.getGlobalButton (1, 3)->triggerClick();
    ASSERT_TRUE (waitFor ([&] { return unitMode() == 0x101; }));

    // Its switch off: momentary.
    ASSERT_TRUE (waitFor ([&] { return grid.getGlobalModeSwitch (1, 3)->isVisible() && grid.areTilesEnabled(); }));
    grid.getGlobalModeSwitch (1, 3)->handlePress (true, false, false);
    ASSERT_TRUE (waitFor ([&] { return unitMode() == 0x102; }));
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[3].b, cabBlock);
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[3].a, ampBlock);
    ASSERT_TRUE (waitFor ([&] { return grid.areTilesEnabled() && ! rig.manager->getRequest (getFootswitchGrid).isRunning(); }));
    saveScreenshot (grid, "footswitch-grid-global-page");
}

TEST_F (EditorDialogs, OnThePresetPageAGlobalSwitchIsLockedAndKeepsItsOwnBlock)
{
    // Switch 5: global, latching, its per-preset block kept aside; switch 6: per-preset.
    auto made = footswitchGridOn (0, { { 4, { ampBlock, cabBlock, 1 } }, { 5, { 110, 0, 0 } } });
    auto& grid = *made;
    ASSERT_TRUE (waitFor ([&] { return grid.getTile (0, 0)->getBlockId() == cabBlock; }));

    auto& locked = *grid.getTile (0, 0);
    auto& reverb = *grid.getTile (0, 1);
    auto details = [] (juce::Component& source)
    { return juce::DragAndDropTarget::SourceDetails (BlockComponent::dragDescription, &source, {}); };
    EXPECT_TRUE (locked.isGlobalLocked);
    EXPECT_FALSE (locked.isInterestedInDragSource (details (reverb)));
    EXPECT_FALSE (grid.getTile (1, 0)->isInterestedInDragSource (details (locked)));
    EXPECT_TRUE (grid.getTile (1, 0)->isInterestedInDragSource (details (reverb)));
    saveScreenshot (grid, "footswitch-grid-preset-page");

    // The cab, the global switch's block, dropped from the effect grid onto switch 1.
    auto& cabOnGrid = *effectGrid->getTile (3);
    cabOnGrid.setBlockId (cabBlock);
    EXPECT_FALSE (locked.isInterestedInDragSource (details (cabOnGrid)));
    grid.getTile (1, 0)->itemDragEnter (details (cabOnGrid));
    grid.getTile (1, 0)->itemDropped (details (cabOnGrid));

    ASSERT_TRUE (waitFor ([&] { return rig.unit->getFootswitchAssignments()[0].a == cabBlock; }));
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[4].a, ampBlock);
    EXPECT_EQ (rig.unit->getFootswitchAssignments()[4].b, cabBlock);
    EXPECT_EQ (locked.getBlockId(), cabBlock);
}

namespace
{
constexpr int eqTypeParam = 92;

// The same with the front panel and a block library of its own.
class EditorAfterEdit : public EditorDialogs
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        EditorDialogs::SetUp();
        config = std::make_unique<KestrelGlobalConfiguration>();
        library = std::make_unique<KestrelBlockLibraryManager> (config.get());
        library->setConnectedDevice (8, 6, 0);
        library->checkLibraryDirectory();
        editor->setBlockLibrary (library.get());
        content->setPane (ContentPane::frontPanel,
                          std::make_unique<ControlUnitContent> (nullptr, &skin, rig.manager.get()), true);

        // What the unit's definitions say of the Amp's type and EQ type.
        defineChoices (getTypeParamId (ampBlock), SimulatedPreset::getValueTexts (ampBlock, getTypeParamId (ampBlock)));
        defineChoices (eqTypeParam, { "8 BAND", "10 BAND", "5 BAND PASSIVE" });
    }

    void TearDown() override
    {
        EditorDialogs::TearDown();
        library.reset();
        config.reset();
        UserFolders::redirectTo ({});
    }

    void defineChoices (int paramId, const juce::StringArray& texts)
    {
        ParamInfo info;
        info.descriptor = B_INT << 4;
        info.maximum = (float) (texts.size() - 1);
        info.displayMultiplier = 1.0f;
        ASSERT_TRUE (rig.effects.storeParamInfo (ampBlock, paramId, info));
        ASSERT_TRUE (rig.effects.storeParamStrings (ampBlock, paramId, texts));
    }

    bool idle() { return waitFor ([this] { return ! rig.manager->hasWork(); }, 15000); }

    // Picks another choice of the drop-down as the user does.
    static juce::String chooseAnother (ZOLDropDownEx& dropDown)
    {
        const int other = (dropDown.getSelectedIndex() + 1) % dropDown.getNumItems();
        dropDown.handleMenuResult (other + 1);
        return dropDown.getItem (other)->text.trim();
    }

    ScratchFolder scratch{ "kestrel-editor-after-edit" };
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<KestrelBlockLibraryManager> library;
};
} // namespace

TEST_F (EditorAfterEdit, AnEditDimsTheLibraryEntryAsksForTheGraphAndATypeChangeRenamesTheAmpLine)
{
    auto* entry = library->createEntry (EFFECT_DISTORT);
    ASSERT_NE (entry, nullptr);
    entry->name = "Crunch";
    library->linkBlockToEntry (ampBlock, entry->entryId);

    editor->showBlock (ampBlock);
    ASSERT_TRUE (idle());
    auto* libraryList = editor->getLibraryDropDown();
    ASSERT_NE (libraryList, nullptr);
    EXPECT_EQ (libraryList->getFieldText(), "Crunch");
    EXPECT_EQ (libraryList->getFieldColour(), editor->getLibraryMatchColour());
    // The built-in skin's own colours, not the defaults.
    EXPECT_EQ (editor->getLibraryMatchColour(), juce::Colour (0xFFE8E6E3));
    EXPECT_EQ (editor->getLibraryChangedColour(), juce::Colour (0xFF8A8E94));
    ASSERT_NE (editor->getMonitorGraph(), nullptr);

    // A turned knob: the entry no longer matches the block, and the graph is read again.
    const int graphs = rig.unit->countReceived (SYSEX_GET_GRAPHN);
    auto* gain = pageControlOf (1);
    ASSERT_NE (gain, nullptr);
    gain->setFromDevice (30000, 58, {});
    gain->postChangeCode (4);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return rig.manager->getRequest (setParam).isRunning(); }, 5000));
    ASSERT_TRUE (idle());
    EXPECT_EQ (libraryList->getFieldColour(), editor->getLibraryChangedColour());
    EXPECT_GT (rig.unit->countReceived (SYSEX_GET_GRAPHN), graphs);
    saveScreenshot (*editor, "effect-editor-library-changed");

    // Another amp type: the front panel names it.
    auto* amps = content->getPaneAs<ControlUnitContent> (ContentPane::frontPanel)->getPresetAmps();
    ASSERT_NE (amps, nullptr);
    auto* typeList = editor->getEffectTypeDropDown();
    ASSERT_TRUE (typeList != nullptr && typeList->getNumItems() > 1);
    const auto chosen = chooseAnother (*typeList);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return rig.manager->getRequest (setParam).isRunning(); }, 5000));
    ASSERT_TRUE (idle());
    EXPECT_TRUE (amps->getText().startsWith ("Amp: ")) << amps->getText();
    EXPECT_TRUE (amps->getText().containsIgnoreCase (chosen)) << amps->getText() << " / " << chosen;
}

TEST_F (EditorAfterEdit, AChoiceThatReshapesThePageKeepsItsControlSelected)
{
    editor->showBlock (ampBlock);
    ASSERT_TRUE (idle());

    // The Amp's EQ type decides which EQ controls its page shows.
    ZOLDropDownEx* eqType = nullptr;

    for (int page = 0; page < editor->getPageNames().size() && eqType == nullptr; ++page)
    {
        ASSERT_TRUE (editor->showPageByIndex (page));
        eqType = dynamic_cast<ZOLDropDownEx*> (pageControlOf (eqTypeParam));
    }

    ASSERT_TRUE (eqType != nullptr && eqType->getNumItems() > 1);
    ASSERT_TRUE (idle());
    ASSERT_NE (editor->getSelectedControl(), eqType) << "the page starts on its first control";

    chooseAnother (*eqType);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return rig.manager->getRequest (setParam).isRunning(); }, 5000));
    ASSERT_TRUE (idle());

    auto* selected = dynamic_cast<ZOLEffectParam*> (editor->getSelectedControl());
    ASSERT_NE (selected, nullptr);
    EXPECT_EQ (selected->paramId, eqTypeParam);
}

TEST_F (EditorAfterEdit, OneFileDraggedOverTheEditorOutlinesTheLibraryUntilItIsDropped)
{
    editor->showBlock (ampBlock);
    ASSERT_TRUE (idle());
    auto* libraryList = editor->getLibraryDropDown();
    ASSERT_TRUE (libraryList != nullptr && libraryList->isVisible());

    const auto file = scratch.folder.getChildFile ("not-a-block.blk");
    ASSERT_TRUE (file.replaceWithText ("not a block"));
    const juce::StringArray one{ file.getFullPathName() };
    EXPECT_FALSE (editor->isInterestedInFileDrag ({ file.getFullPathName(), file.getFullPathName() }));
    ASSERT_TRUE (editor->isInterestedInFileDrag (one));

    // The outline sits 2 pixels outside the library drop-down, in the skin's
    // colour three quarters opaque.
    const auto outline = libraryList->getBounds().expanded (2);
    const juce::Point<int> onOutline (outline.getX(), outline.getCentreY());
    const auto before = editor->createComponentSnapshot (editor->getLocalBounds()).getPixelAt (onOutline.x, onOutline.y);
    editor->fileDragEnter (one, onOutline.x, onOutline.y);
    EXPECT_TRUE (editor->isDropHovering());
    const auto during = editor->createComponentSnapshot (editor->getLocalBounds()).getPixelAt (onOutline.x, onOutline.y);
    const auto expected = before.overlaidWith (editor->getFileDropColour().withAlpha (0.75f));
    EXPECT_NEAR (during.getRed(), expected.getRed(), 3);
    EXPECT_NEAR (during.getGreen(), expected.getGreen(), 3);
    EXPECT_NEAR (during.getBlue(), expected.getBlue(), 3);
    saveScreenshot (*editor, "effect-editor-file-drop");

    editor->fileDragExit (one);
    EXPECT_FALSE (editor->isDropHovering());

    // A file that is no block is refused with a message, and the outline goes.
    editor->fileDragEnter (one, onOutline.x, onOutline.y);
    const int messages = rig.notices.count();
    editor->filesDropped (one, onOutline.x, onOutline.y);
    EXPECT_FALSE (editor->isDropHovering());
    EXPECT_EQ (rig.notices.count(), messages + 1);
}

TEST (FootswitchGridKeys, ArrowsStartAtTheTopLeftSwitchAndStopAtTheEdges)
{
    KestrelFootswitchGrid grid (nullptr, nullptr, nullptr, nullptr, 0);
    auto press = [&grid] (int key)
    {
        EXPECT_TRUE (grid.keyPressed (juce::KeyPress (key)));
        EXPECT_TRUE (pumpPostedMessages()); // the click is delivered as a message
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
