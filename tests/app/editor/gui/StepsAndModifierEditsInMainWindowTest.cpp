#include "app/dialogs/ModifierDlgContent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "model/IdTables.h"
#include "model/KestrelEffectManager.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "tests/support/WidgetTestKit.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{
constexpr int ampCell = 0, cabCell = 4, geqCell = 2, ampBlock = 106, cabBlock = 108, geqBlock = 102;
constexpr int fullScale = 65534;

ZOLEffectParam* findPageControl (EffectEditorContent& editor, const std::function<bool (ZOLEffectParam&)>& matches)
{
    for (int i = 0; i < editor.getNumPageControls(); ++i)
        if (auto* control = editor.getPageControl (i); control != nullptr && matches (*control))
            return control;
    return nullptr;
}

juce::uint16 unitValue (ConnectedProgram& program, int block, int param)
{
    juce::uint16 value = 0;
    EXPECT_TRUE (program.unit.getParam (block, param, value)) << block << "/" << param;
    return value;
}

// Opens the window with an LFO driving the amp's parameter 3 and shows the amp.
::testing::AssertionResult openOnADrivenAmpKnob (ConnectedProgram& program)
{
    auto buffer = program.unit.getEditBuffer();
    buffer.assignModifier (ampBlock, 3)->settings[0] = 2;
    program.unit.setEditBuffer (buffer);
    if (auto opened = program.open(); ! opened)
        return opened;
    if (! program.grid->selectCell (ampCell) || ! program.settle())
        return ::testing::AssertionFailure() << "the amp is not shown";
    return ::testing::AssertionSuccess();
}

// Opens the modifier dialog from the control the way a user does (M key) and
// waits until it shows the unit's settings.
ModifierDlgContent* openModifierDialogWithKey (ConnectedProgram& program, juce::Component& control)
{
    auto* dialog = program.content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    if (dialog == nullptr || ! control.keyPressed (juce::KeyPress ('m')))
        return nullptr;
    if (! pumpMessagesUntil ([&] { return dialog->isVisible(); }) || ! program.settle())
        return nullptr;
    return dialog;
}

// Opens the modifier dialog on the amp's driven knob and gives its Min knob
// once the unit's settings are in.
ZOLRotaryKnob* openMinimumOfTheDrivenKnob (ConnectedProgram& program, ModifierDlgContent*& dialog)
{
    auto* modulated = dynamic_cast<juce::Component*> (
        findPageControl (*program.editor, [] (ZOLEffectParam& c) { return c.paramId == 3; }));
    dialog = modulated != nullptr ? openModifierDialogWithKey (program, *modulated) : nullptr;
    auto* minimum =
        dialog != nullptr ? dynamic_cast<ZOLRotaryKnob*> (dialog->findControl (ModifierDlgContent::fieldMin)) : nullptr;
    return minimum != nullptr && pumpMessagesUntil ([&] { return minimum->isEnabled(); }) ? minimum : nullptr;
}
} // namespace

// A wheel step or an arrow key moves the value on the unit by one step of the
// kind asked for, and the control shows what the unit answers.
TEST (StepsInMainWindow, WheelAndArrowKeysStepAKnobAndADropDownOnTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-steps" };
    ASSERT_TRUE (program.open());
    auto& editor = *program.editor;
    ASSERT_TRUE (program.grid->selectCell (ampCell));
    ASSERT_TRUE (program.settle());

    // A level knob that no modifier drives, away from both ends of its travel.
    auto* knob =
        dynamic_cast<ZOLRotaryKnob*> (findPageControl (editor,
                                                       [&] (ZOLEffectParam& c)
                                                       {
                                                           const auto v = unitValue (program, ampBlock, c.paramId);
                                                           return dynamic_cast<ZOLRotaryKnob*> (&c) != nullptr &&
                                                                  ! c.modifierActive && ! c.hasIntegerRange() &&
                                                                  v > 2000 && v < fullScale - 2000;
                                                       }));
    ASSERT_NE (knob, nullptr);
    ASSERT_NE (knob->getReadout(), nullptr);
    ASSERT_FALSE (knob->altState);
    const int param = knob->paramId;

    // A level steps by 0.01 fine and 0.10 coarse; the wheel is fine unless Ctrl flips it.
    constexpr int fine = fullScale / 1000, coarse = fullScale / 100;
    const auto ctrl = juce::ModifierKeys::ctrlModifier;
    struct Step
    {
        const char* gesture;
        int delta;
        std::function<void()> act;
    };
    const std::vector<Step> steps{
        { "wheel up", fine,
          [&] {
              knob->mouseWheelMove (WidgetTestKit::mouse (*knob, { 36, 36 }), WidgetTestKit::wheel (0.5f));
          } },
        { "Ctrl+Down", -coarse,
          [&]
          {
              WidgetTestKit::HeldKeys held (ctrl);
              knob->keyPressed (juce::KeyPress (juce::KeyPress::downKey, ctrl, 0));
          } },
        { "Up", fine, [&] { knob->keyPressed (juce::KeyPress (juce::KeyPress::upKey)); } },
        { "Ctrl+wheel up", coarse,
          [&]
          {
              WidgetTestKit::HeldKeys held (ctrl);
              knob->mouseWheelMove (WidgetTestKit::mouse (*knob, { 36, 36 }, ctrl), WidgetTestKit::wheel (0.5f));
          } },
        { "wheel down", -fine,
          [&] {
              knob->mouseWheelMove (WidgetTestKit::mouse (*knob, { 36, 36 }), WidgetTestKit::wheel (-0.5f));
          } },
    };

    for (auto& step : steps)
    {
        const int before = unitValue (program, ampBlock, param);
        const int expected = before + step.delta;
        step.act();
        EXPECT_TRUE (pumpMessagesUntil ([&] { return unitValue (program, ampBlock, param) != before; }))
            << step.gesture;
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (unitValue (program, ampBlock, param), expected) << step.gesture;
        EXPECT_EQ (knob->getReadout()->getText(), juce::String ((float) expected / fullScale * 10.0f, 2))
            << step.gesture;
        EXPECT_NEAR (knob->getUnitValue(), expected, fullScale / 127 + 1) << step.gesture;
    }

    // A drop-down's arrow keys choose the neighbouring item, which the unit then holds.
    ASSERT_TRUE (program.grid->selectCell (cabCell));
    ASSERT_TRUE (program.settle());
    auto* list = dynamic_cast<ZOLDropDownEx*> (findPageControl (
        editor, [] (ZOLEffectParam& c) { return c.paramId == 0 && dynamic_cast<ZOLDropDownEx*> (&c) != nullptr; }));
    ASSERT_NE (list, nullptr);
    ASSERT_GT (list->getNumItems(), 2);

    for (auto key : { juce::KeyPress::downKey, juce::KeyPress::downKey, juce::KeyPress::upKey })
    {
        const auto before = unitValue (program, cabBlock, 0);
        const int index = list->getSelectedIndex() + (key == juce::KeyPress::downKey ? 1 : -1);
        ASSERT_TRUE (juce::isPositiveAndBelow (index, list->getNumItems()));
        const auto expected = list->getItem (index)->value;
        EXPECT_TRUE (list->keyPressed (juce::KeyPress (key)));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return unitValue (program, cabBlock, 0) != before; }));
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (unitValue (program, cabBlock, 0), expected);
        EXPECT_EQ (list->getSelectedIndex(), index);
    }
    saveScreenshot (*program.content, "editor-after-steps");
}

// The unit's late answer to a value the user has already turned past leaves
// the modifier dialog's knob where the user put it.
TEST (ModifierDialogInMainWindow, AConfirmedEditDoesNotMoveTheKnobBackWhileANewerValueWaits)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-modifier-held" };
    auto& unit = program.unit;
    ASSERT_TRUE (openOnADrivenAmpKnob (program));
    ModifierDlgContent* dialog = nullptr;
    auto* minimum = openMinimumOfTheDrivenKnob (program, dialog);
    ASSERT_NE (minimum, nullptr);

    // The user drags the knob up twice while the unit answers late.
    unit.setReplyDelayFor (SYSEX_MODIFIER_SET, 1500);
    unit.startAutoPump();
    const int sets = unit.countReceived (SYSEX_MODIFIER_SET);
    const juce::Point<int> top{ minimum->getWidth() / 2, 30 };
    minimum->mouseDown (WidgetTestKit::mouse (*minimum, top));
    minimum->mouseDrag (WidgetTestKit::mouse (*minimum, top.translated (0, -30)));
    ASSERT_TRUE (pumpPostedMessages());
    const int first = minimum->getUnitValue();
    minimum->mouseDrag (WidgetTestKit::mouse (*minimum, top.translated (0, -90)));
    ASSERT_TRUE (pumpPostedMessages());
    minimum->mouseUp (WidgetTestKit::mouse (*minimum, top.translated (0, -90)));
    const int newest = minimum->getUnitValue();
    ASSERT_GT (newest - first, 2 * fullScale / 127);
    EXPECT_EQ (dialog->getHeldEdit().value, newest);

    // The first answer is in once the newer value goes out: the knob stays put.
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_MODIFIER_SET) == sets + 2; }));
    EXPECT_EQ (minimum->getUnitValue(), newest);
    saveScreenshot (*dialog, "modifier-dialog-held-edit");

    EXPECT_TRUE (
        pumpMessagesUntil ([&] { return unit.getEditBuffer().findModifier (ampBlock, 3)->settings[1] == newest; }));
    ASSERT_TRUE (program.settle());
    EXPECT_NEAR (minimum->getUnitValue(), newest, fullScale / 127 + 1);
    unit.stopAutoPump();
    unit.setReplyDelayFor (SYSEX_MODIFIER_SET, 0);
}

// A wheel step on a modifier knob moves its field on the unit by one step,
// fine unless Ctrl flips it, up or down as the wheel turns.
TEST (ModifierDialogInMainWindow, AWheelStepMovesTheFieldOnTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-modifier-steps" };
    ASSERT_TRUE (openOnADrivenAmpKnob (program));
    ModifierDlgContent* dialog = nullptr;
    auto* minimum = openMinimumOfTheDrivenKnob (program, dialog);
    ASSERT_NE (minimum, nullptr);

    auto held = [&program] { return (int) program.unit.getEditBuffer().findModifier (ampBlock, 3)->settings[1]; };
    constexpr int fine = fullScale / 1000, coarse = 10 * fine;
    const int ctrl = juce::ModifierKeys::ctrlModifier;
    const juce::Point<int> centre{ minimum->getWidth() / 2, minimum->getHeight() / 2 };

    for (auto [keys, turn, delta] : { std::tuple (0, 0.5f, fine), std::tuple (ctrl, 0.5f, coarse),
                                      std::tuple (0, -0.5f, -fine) })
    {
        const int before = held();
        {
            WidgetTestKit::HeldKeys pressed (keys);
            minimum->mouseWheelMove (WidgetTestKit::mouse (*minimum, centre, keys), WidgetTestKit::wheel (turn));
        }
        EXPECT_TRUE (pumpMessagesUntil ([&] { return held() != before; })) << keys << " " << turn;
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (held(), before + delta) << keys << " " << turn;
    }
}

// A Graphic EQ band takes a modifier: a right-click offers to edit it.
TEST (ModifierDialogInMainWindow, ARightClickOnAGraphicEqBandEditsItsModifier)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-geq-modifier" };
    auto buffer = program.unit.getEditBuffer();
    ASSERT_TRUE (buffer.placeBlock (geqCell, geqBlock));
    program.unit.setEditBuffer (buffer);
    ASSERT_TRUE (program.open());
    ASSERT_TRUE (program.grid->selectCell (geqCell));
    ASSERT_TRUE (program.settle());

    auto* band = dynamic_cast<ZOLSliderComponent*> (findPageControl (
        *program.editor, [] (ZOLEffectParam& c) { return dynamic_cast<ZOLSliderComponent*> (&c) != nullptr; }));
    ASSERT_NE (band, nullptr);
    auto* dialog = program.content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    ASSERT_NE (dialog, nullptr);
    band->mouseDown (WidgetTestKit::mouse (*band, band->getLocalBounds().getCentre(),
                                           juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return dialog->isVisible(); }));
    EXPECT_TRUE (dialog->getTitle().startsWith ("Edit Modifier")) << dialog->getTitle();
    EXPECT_EQ (dialog->getBlockId(), geqBlock);
    EXPECT_EQ (dialog->getParamId(), band->paramId);
    saveScreenshot (*dialog, "geq-band-modifier-dialog");
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (program.settle());
}

// A modifier released on the unit leaves its knob free once the program has
// read the modifier values again.
TEST (ModifierDialogInMainWindow, AModifierReleasedOnTheUnitFreesItsKnob)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-modifier-released" };
    auto& unit = program.unit;
    ASSERT_TRUE (openOnADrivenAmpKnob (program));
    auto driven = [&]
    {
        return dynamic_cast<ZOLRotaryKnob*> (
            findPageControl (*program.editor, [] (ZOLEffectParam& c) { return c.paramId == 3; }));
    };
    ASSERT_NE (driven(), nullptr);
    ASSERT_TRUE (driven()->modifierActive);

    // Released on the unit; the user picks the amp again.
    auto buffer = unit.getEditBuffer();
    *buffer.findModifier (ampBlock, 3) = {};
    unit.setEditBuffer (buffer);
    ASSERT_TRUE (program.grid->selectCell (cabCell));
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (program.grid->selectCell (ampCell));
    ASSERT_TRUE (program.settle());

    auto* knob = driven();
    ASSERT_NE (knob, nullptr);
    EXPECT_FALSE (knob->modifierActive);
    const auto before = unitValue (program, ampBlock, 3);
    const juce::Point<int> top{ knob->getWidth() / 2, 30 };
    knob->mouseDown (WidgetTestKit::mouse (*knob, top));
    knob->mouseDrag (WidgetTestKit::mouse (*knob, top.translated (0, before > fullScale / 2 ? 40 : -40)));
    knob->mouseUp (WidgetTestKit::mouse (*knob, top));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unitValue (program, ampBlock, 3) != before; }));
    ASSERT_TRUE (program.settle());
    saveScreenshot (*program.content, "amp-knob-free-after-modifier-released");
}

// The unit names a modifier of the compressor's bypass-mode parameter by the
// parameter's own id; the program keeps it as one record under 255. Showing
// the compressor fills the record with the unit's settings, and again with
// the settings the unit holds later; the modifier dialog shows them, and a
// setting turned there lands in that one record.
TEST (ModifierDialogInMainWindow, ABypassModeModifierIsOneRecordHoldingTheUnitsSettings)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-bypass-mode-modifier" };
    auto& unit = program.unit;
    constexpr int compCell = 0, compBlock = 100, showcaseAmpCell = 4;
    const int bypassMode = getBypassModeParamId (compBlock);
    auto showcase = SimulatedPreset::makeShowcase();
    ASSERT_NE (showcase.findModifier (compBlock, bypassMode), nullptr);
    unit.setPreset (0, showcase);
    unit.setEditBuffer (showcase);
    ASSERT_TRUE (program.open());
    auto* effects = KestrelEffectManager::getInstanceWithoutCreating();
    ASSERT_NE (effects, nullptr);

    auto onUnit = [&unit, bypassMode] { return unit.getEditBuffer().findModifier (compBlock, bypassMode)->settings; };
    auto heldAsOnUnit = [&]() -> ::testing::AssertionResult
    {
        juce::Array<ModifierRecord*> records;
        effects->getModifiersForBlock (compBlock, records);
        if (records.size() != 1)
            return ::testing::AssertionFailure() << records.size() << " records";
        if (records[0]->paramId != ModifierRecord::bypassModeParamId)
            return ::testing::AssertionFailure() << "kept under " << records[0]->paramId;
        const auto settings = onUnit();
        for (int k = 0; k < ModifierRecord::numSettings; ++k)
            if (records[0]->settings[k].value != settings[(size_t) k])
                return ::testing::AssertionFailure()
                       << "setting " << k << ": " << records[0]->settings[k].value << ", unit " << settings[(size_t) k];
        return ::testing::AssertionSuccess();
    };

    ASSERT_TRUE (program.grid->selectCell (compCell));
    ASSERT_TRUE (program.settle());
    EXPECT_TRUE (heldAsOnUnit());

    // The unit's settings change; the compressor shown again reads them.
    auto buffer = unit.getEditBuffer();
    for (int k = 1; k < SimulatedPreset::modifierSettings; ++k)
        buffer.findModifier (compBlock, bypassMode)->settings[(size_t) k] += 100;
    unit.setEditBuffer (buffer);
    ASSERT_TRUE (program.grid->selectCell (showcaseAmpCell));
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (program.grid->selectCell (compCell));
    ASSERT_TRUE (program.settle());
    EXPECT_TRUE (heldAsOnUnit());

    // A click on the modifier in the Controllers' list reads its settings
    // again and opens it.
    program.grid->selectPage (GridUnitContent::controllersSelected);
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (program.editor->showPageByIndex (program.editor->findPageTabByName ("Modifiers")));
    juce::Array<ModifierRecord*> records;
    effects->getModifiersForBlock (compBlock, records);
    ASSERT_FALSE (records.isEmpty());
    const int modifierId = records[0]->modifierId;
    auto* label = dynamic_cast<juce::Component*> (
        findPageControl (*program.editor, [modifierId] (ZOLEffectParam& c) { return c.paramId == modifierId; }));
    ASSERT_NE (label, nullptr);
    auto* dialog = program.content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    ASSERT_NE (dialog, nullptr);
    buffer = unit.getEditBuffer();
    buffer.findModifier (compBlock, bypassMode)->settings[ModifierDlgContent::fieldMin] += 100;
    unit.setEditBuffer (buffer);
    label->mouseDown (WidgetTestKit::mouse (*label, label->getLocalBounds().getCentre()));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->isVisible(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_TRUE (heldAsOnUnit());
    EXPECT_EQ (dialog->getParamId(), ModifierRecord::bypassModeParamId);
    auto* minimum = dynamic_cast<ZOLRotaryKnob*> (dialog->findControl (ModifierDlgContent::fieldMin));
    ASSERT_NE (minimum, nullptr);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return minimum->isEnabled(); }));
    EXPECT_NEAR (minimum->getUnitValue(), onUnit()[ModifierDlgContent::fieldMin], fullScale / 127 + 1);

    // "Set Modifier": the unit takes the step and the one record holds it.
    const auto before = onUnit()[ModifierDlgContent::fieldMin];
    minimum->mouseWheelMove (WidgetTestKit::mouse (*minimum, minimum->getLocalBounds().getCentre()),
                             WidgetTestKit::wheel (0.5f));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return onUnit()[ModifierDlgContent::fieldMin] != before; }));
    ASSERT_TRUE (program.settle());
    EXPECT_TRUE (heldAsOnUnit());
    EXPECT_NEAR (minimum->getUnitValue(), onUnit()[ModifierDlgContent::fieldMin], fullScale / 127 + 1);
    EXPECT_TRUE (dialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (program.settle());
}
