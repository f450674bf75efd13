#pragma once

#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/editor/EffectEditorContent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

// What a person does on the front panel of the program's window against the
// simulated unit, and what the unit holds afterwards.
namespace frontPanelRoad
{
constexpr int ampBlock = 106;

inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<int> at)
{
    auto now = juce::Time::getCurrentTime();
    auto p = at.toFloat();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p, {},
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, p, now, 1,
                             false);
}

inline ZOLRotaryKnob* findKnob (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (child); knob != nullptr && knob->isShowing())
            return knob;

        if (auto* found = findKnob (*child))
            return found;
    }

    return nullptr;
}

// The front panel shows preset n ("Preset n" on the simulated unit), loaded
// and settled.
inline bool showsPreset (ConnectedProgram& program, int number)
{
    auto* panel = program.content->getFrontPanel();
    juce::String text, bankText, presetText;
    return formatPresetNumber (number, {}, text, bankText, presetText) && panel->getBankNumber()->getText() == text
           && panel->getPresetName()->getText() == "Preset " + juce::String (number)
           && panel->getPresetButton (number & 7)->getToggleState() && panel->areControlsEnabled()
           && ! program.presets->hasWork();
}

// Drags the amp's first knob in the effect editor as far as it goes, and
// lets go; `value`: what the unit held before.
inline ::testing::AssertionResult dragAmpKnob (ConnectedProgram& program, int& param, juce::uint16& value)
{
    program.editor->showBlock (ampBlock);
    auto* knob = findKnob (*program.editor);
    if (knob == nullptr)
        return ::testing::AssertionFailure() << "no knob";
    param = knob->paramId;
    if (! program.unit.getParam (ampBlock, param, value))
        return ::testing::AssertionFailure() << "no value on the unit";
    const auto to = value > 30000 ? 80 : 0;
    knob->mouseDown (mouseAt (*knob, { 30, 40 }));
    knob->mouseDrag (mouseAt (*knob, { 30, to }));
    knob->mouseUp (mouseAt (*knob, { 30, to }));
    return ::testing::AssertionSuccess();
}

// Turns the amp's first knob in the effect editor as far as it goes; the
// unit's edit buffer takes the new value, which is returned.
inline ::testing::AssertionResult turnAmpKnob (ConnectedProgram& program, int& param, juce::uint16& edited)
{
    juce::uint16 value = 0;
    if (auto dragged = dragAmpKnob (program, param, value); ! dragged)
        return dragged;
    edited = value;
    if (! pumpMessagesUntil ([&] { return program.unit.getParam (ampBlock, param, edited) && edited != value; }))
        return ::testing::AssertionFailure() << "the unit never took the turn";
    auto* panel = program.content->getFrontPanel();
    if (! pumpMessagesUntil ([&] { return ! program.presets->hasWork() && panel->areControlsEnabled(); }))
        return ::testing::AssertionFailure() << "the program never settled";
    return ::testing::AssertionSuccess();
}

// The value of an amp parameter in a preset the unit stores.
inline juce::uint16 storedParam (ConnectedProgram& program, int preset, int param)
{
    juce::uint16 stored = 0;
    program.unit.getPreset (preset).getParam (ampBlock, param, stored);
    return stored;
}

// The values of every SYSEX_MUTE the unit received, in order (0 mutes, 1
// turns the outputs on).
inline juce::Array<int> mutesReceived (const SimulatedKestrel& unit)
{
    juce::Array<int> values;
    for (auto& message : unit.getReceived())
        if (message.getRawData()[5] == SYSEX_MUTE)
            values.add (message.getRawData()[6]);
    return values;
}

// The user chooses a preset on the unit; waits until its report is in the
// link's mailbox, not taken yet (the message loop does not run meanwhile).
inline void turnUnitUntaken (ConnectedProgram& program, int preset)
{
    auto* link = ZOLMidiProcessing::getInstanceWithoutCreating();
    program.unit.selectPresetOnUnit (preset);
    const auto end = juce::Time::currentTimeMillis() + 30000;
    while (link != nullptr && ! link->hasPresetChange() && juce::Time::currentTimeMillis() < end)
        juce::Thread::sleep (1);
}

// Save to New Number (as the menu and Ctrl+Shift+S run it) onto a slot,
// answering Yes to the question whether to replace what the slot holds when
// it holds a preset.
inline ::testing::AssertionResult saveToNewNumber (ConnectedProgram& program, int slot, bool slotHoldsAPreset = true)
{
    auto* picker = program.content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker);
    if (picker == nullptr || ! program.window->getCommandManager().invokeDirectly (1119, false))
        return ::testing::AssertionFailure() << "Save to New Number refused";
    // It opens once the unit has said that it plays the preset shown.
    if (! pumpMessagesUntil ([&] { return picker->isVisible() && picker->getMode() == PresetListContent::saveTo; }))
        return ::testing::AssertionFailure() << "the preset list is not open to save";
    auto* cells = picker->getCellList();
    if (! pumpMessagesUntil ([&] { return cells->isEnabled() && cells->findCellByItemId (slot) != nullptr; }))
        return ::testing::AssertionFailure() << "slot " << slot << " never listed";
    pumpMessagesFor ((int) PresetListContent::pickGuardMs + 50);
    auto* cell = cells->findCellByItemId (slot);
    cells->scrollCellIntoView (cell);
    if (! clickBackToBack (*cell) || ! pumpMessagesUntil ([&] { return cell->isSelected(); }))
        return ::testing::AssertionFailure() << "the slot was not selected";
    const int before = program.notices.count();
    picker->getSaveButton()->triggerClick();
    if (! slotHoldsAPreset)
        return ::testing::AssertionSuccess();
    if (! pumpMessagesUntil ([&] { return program.notices.count() > before; })
        || program.notices.get (before).buttons != Notice::Buttons::yesNo)
        return ::testing::AssertionFailure() << "no question before replacing the slot";
    program.notices.answer (before, 1);
    return ::testing::AssertionSuccess();
}
// Export Preset-Cab Bundle of the preset shown, into the file.
inline ::testing::AssertionResult exportBundle (ConnectedProgram& program, ScriptedInteraction& interaction,
                                                const juce::File& bundle)
{
    interaction.answerWithFile (bundle);
    if (! program.window->getCommandManager().invokeDirectly (1005, false))
        return ::testing::AssertionFailure() << "Export Preset-Cab Bundle refused";
    if (! pumpMessagesUntil ([&] { return bundle.existsAsFile(); }) || ! program.settle())
        return ::testing::AssertionFailure() << "no bundle written: " << program.notices.lastMessage();
    return ::testing::AssertionSuccess();
}

// Import of the bundle file, as Preset > Import runs it; waits until the
// program has no work left.
inline ::testing::AssertionResult importBundle (ConnectedProgram& program, ScriptedInteraction& interaction,
                                                const juce::File& bundle)
{
    interaction.answerWithFile (bundle);
    const auto runs = program.presets->getRequest (importPresetCabBundle).getRunCount();
    if (! program.window->getCommandManager().invokeDirectly (1001, false))
        return ::testing::AssertionFailure() << "Import refused";
    if (! pumpMessagesUntil ([&] { return program.presets->getRequest (importPresetCabBundle).getRunCount() > runs; })
        || ! program.settle())
        return ::testing::AssertionFailure() << "the import never ended: " << program.notices.lastMessage();
    return ::testing::AssertionSuccess();
}

// SAVE on a bundle's preset: its dialog, once shown.
inline SavePresetBundleDlg* openBundleSave (ConnectedProgram& program)
{
    auto* dialog = program.content->getPaneAs<SavePresetBundleDlg> (ContentPane::bundleSave);
    if (dialog == nullptr || ! program.window->getCommandManager().invokeDirectly (1118, false)
        || ! pumpMessagesUntil ([&] { return dialog->isShowing() && ! program.presets->hasWork(); }))
        return nullptr;
    return dialog;
}
} // namespace frontPanelRoad
