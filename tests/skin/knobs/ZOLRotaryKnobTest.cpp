#include "support/WidgetTestKit.h"

#include "skin/knobs/ZOLRotaryKnob.h"

using namespace WidgetTestKit;

namespace
{
struct KnobTest : ::testing::Test
{
    KnobTest()
    {
        knob.blockId = 106;
        knob.paramId = 3;
    }

    void drag (juce::Point<int> from, juce::Point<int> to, juce::ModifierKeys mods = {})
    {
        knob.mouseDown (mouse (knob, from, mods));
        knob.mouseDrag (mouse (knob, to, mods));
    }

    std::unique_ptr<ZOLRotaryKnob> owned = makeKnob();
    ZOLRotaryKnob& knob = *owned;
    CodeRecorder codes{ knob };
};
} // namespace

TEST_F (KnobTest, LinearDragTurnsByPixelsAndFineKeysSlowIt)
{
    drag ({ 30, 28 }, { 40, 28 });
    EXPECT_NEAR (knob.getAngle(), 10 * 1.5 / 180.0, 1.0e-6);
    ASSERT_EQ (codes.seen.size(), 0u);
    codes.param.dispatchPendingMessages();
    ASSERT_EQ (codes.seen.size(), 1u);
    EXPECT_EQ (codes.seen[0].code, 4);
    EXPECT_EQ (codes.seen[0].blockId, 106);
    EXPECT_EQ (codes.seen[0].paramId, 3);
    codes.seen.clear();

    // Moving up turns clockwise as well; with Ctrl held each pixel is finer.
    {
        HeldKeys ctrl (juce::ModifierKeys::ctrlModifier);
        knob.mouseDrag (mouse (knob, { 40, 18 }));
    }
    EXPECT_NEAR (knob.getAngle(), (10 * 1.5 + 10 * 0.1) / 180.0, 1.0e-6);
    knob.mouseUp (mouse (knob, { 40, 18 }));

    // Already at the end: a further step is no change and posts nothing.
    knob.setFromDevice (0, 127, "10.0");
    codes.take();
    drag ({ 30, 28 }, { 50, 28 });
    EXPECT_FLOAT_EQ (knob.getAngle(), 2.4f);
    EXPECT_TRUE (codes.take().empty());
    EXPECT_EQ (knob.getUnitValue(), 65534);
}

TEST_F (KnobTest, RotaryDragFollowsThePointerOutsideTheDeadZone)
{
    knob.dragMode = 1;
    drag ({ 30, 28 }, { 32, 55 }); // within 5 pixels of the middle (30, 53)
    EXPECT_EQ (knob.getAngle(), 0.0f);
    EXPECT_TRUE (codes.take().empty());

    knob.mouseDrag (mouse (knob, { 40, 53 })); // straight right: a quarter turn
    EXPECT_FLOAT_EQ (knob.getAngle(), juce::MathConstants<float>::halfPi);
    knob.mouseDrag (mouse (knob, { 20, 43 })); // up and left: counter-clockwise
    EXPECT_NEAR (knob.getAngle(), -juce::MathConstants<float>::pi / 4.0f, 1.0e-5);
    EXPECT_EQ (codes.take(), std::vector<int>{ 4 });

    // Alt swaps the mode back to linear.
    HeldKeys alt (juce::ModifierKeys::altModifier);
    knob.mouseDrag (mouse (knob, { 21, 43 }));
    EXPECT_NEAR (knob.getAngle(), -juce::MathConstants<float>::pi / 4.0f + 1.5f / 180.0f, 1.0e-5);
}

TEST_F (KnobTest, ValuesFromTheUnitMoveTheKnobWithoutPostingAndWaitForADrag)
{
    knob.setFromDevice (1234, 200, "12.0 dB");
    EXPECT_FLOAT_EQ (knob.getAngle(), 2.4f);
    EXPECT_EQ (knob.getReadout()->getText(), "12.0 dB");
    EXPECT_TRUE (codes.take().empty());

    knob.setFromDevice (0, 0, "0.0");
    drag ({ 30, 28 }, { 40, 28 });
    auto dragged = knob.getAngle();
    knob.setFromDevice (0, 127, "10.0");
    EXPECT_EQ (knob.getAngle(), dragged);
    EXPECT_EQ (knob.getReadout()->getText(), "10.0");
    knob.mouseUp (mouse (knob, { 40, 28 }));
    EXPECT_FLOAT_EQ (knob.getAngle(), 2.4f);

    // An active modifier moves it even during a drag; the owner's hold stops it.
    knob.modifierActive = true;
    drag ({ 30, 28 }, { 40, 28 });
    knob.setFromDevice (0, 0, "0");
    EXPECT_FLOAT_EQ (knob.getAngle(), -2.4f);
    knob.mouseUp (mouse (knob, { 40, 28 }));
    knob.modifierActive = false;
    knob.holdFromDevice = true;
    knob.setFromDevice (0, 127, "10");
    EXPECT_FLOAT_EQ (knob.getAngle(), -2.4f);
}

TEST_F (KnobTest, ClicksWheelAndKeysBecomeCodes)
{
    HeldKeys none (0);
    knob.mouseDown (mouse (knob, { 30, 28 }, {}, 2));
    EXPECT_EQ (codes.take(), std::vector<int>{ 9 });
    {
        HeldKeys shift (juce::ModifierKeys::shiftModifier);
        knob.mouseDown (mouse (knob, { 30, 28 }, {}, 2));
    }
    EXPECT_TRUE (knob.isValueEntryActive());
    knob.cancelValueEntry();
    EXPECT_FALSE (knob.isValueEntryActive());

    // Right-click: a drag without a modifier, the modifier editor with one.
    juce::ModifierKeys right (juce::ModifierKeys::rightButtonModifier);
    knob.mouseDown (mouse (knob, { 30, 28 }, right));
    EXPECT_TRUE (knob.isDragging());
    knob.mouseUp (mouse (knob, { 30, 28 }));
    knob.setHasModifier (true);
    knob.mouseDown (mouse (knob, { 30, 28 }, right));
    EXPECT_FALSE (knob.isDragging());
    EXPECT_TRUE (knob.keyPressed (juce::KeyPress ('m')));
    EXPECT_FALSE (knob.keyPressed (juce::KeyPress ('m', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_EQ (codes.take(), std::vector<int>{ 3 });

    knob.mouseWheelMove (mouse (knob, { 30, 28 }), wheel (0.2f));
    EXPECT_EQ (knob.getChangeCode(), 5);
    knob.setAltState (true);
    knob.mouseWheelMove (mouse (knob, { 30, 28 }), wheel (0.2f));
    EXPECT_EQ (knob.getChangeCode(), 7);
    EXPECT_TRUE (knob.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_EQ (knob.getChangeCode(), 5);
    codes.take();

    knob.modifierActive = true;
    knob.mouseWheelMove (mouse (knob, { 30, 28 }), wheel (0.2f));
    knob.setEnabled (false);
    EXPECT_FALSE (knob.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_TRUE (codes.take().empty());
}

TEST_F (KnobTest, TypedValuesPassThroughTheReadoutWithValidation)
{
    knob.clampEntries = true;
    knob.rangeMin = -12.0f;
    knob.rangeMax = 12.0f;
    knob.rangeChanged();
    knob.setUnit (1);
    ASSERT_TRUE (knob.openValueEditor());
    auto* readout = knob.getReadout();
    auto* editor = readout->getEditor();

    // Only the characters of a number can be typed, at most 100 of them.
    editor->setText ({}, false);
    editor->insertTextAtCaret ("-4a0.5" + juce::String::repeatedString ("1", 200));
    EXPECT_TRUE (editor->getText().startsWith ("-40.5"));
    EXPECT_EQ (editor->getText().length(), BrakFxReadout::maxEntryLength);

    readout->keyPressed (juce::KeyPress (juce::KeyPress::returnKey), editor);
    readout->dispatchPendingMessages();
    EXPECT_EQ (knob.getChangeCode(), 10);
    EXPECT_EQ (readout->getText(), "-12 dB");
    EXPECT_DOUBLE_EQ (knob.getValueAsDouble(), -12.0);
    codes.take();

    // Escape from the readout is not passed on.
    knob.openValueEditor();
    readout->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey), editor);
    readout->dispatchPendingMessages();
    EXPECT_EQ (readout->getChangeCode(), 0);
    EXPECT_TRUE (codes.take().empty());
}

TEST_F (KnobTest, ReadoutFollowsTheKnobsOpacityAndEntryPermission)
{
    knob.readoutFadesWithKnob = true;
    knob.readoutAlpha = 0.8f;
    knob.setEnabled (false);
    EXPECT_FLOAT_EQ (knob.getAlpha(), 0.6f);
    EXPECT_FLOAT_EQ (knob.getReadout()->getAlpha(), 1.0f);
    EXPECT_FALSE (knob.getReadout()->editable);
    knob.setEnabled (true);
    EXPECT_FLOAT_EQ (knob.getAlpha(), 1.0f);
    EXPECT_FLOAT_EQ (knob.getReadout()->getAlpha(), 0.8f);
    EXPECT_TRUE (knob.getReadout()->editable);

    knob.disableOnLeadChar = true;
    knob.disableLeadChar = '(';
    knob.setFromDevice (0, 10, "(off)");
    EXPECT_FALSE (knob.isEnabled());
    knob.setFromDevice (0, 10, "5 (x)");
    EXPECT_TRUE (knob.isEnabled());
}

TEST_F (KnobTest, GlobalMixToggleIsTheSecondaryValue)
{
    knob.createGlobalMixButton (solid (14, 14, rim), solid (14, 14, accent), solid (14, 14, ink), { 44, 40, 14, 14 });
    EXPECT_EQ (knob.getSecondaryValue(), 0);
    knob.setSecondaryValue (1);
    EXPECT_EQ (knob.getSecondaryValue(), 1);
    EXPECT_TRUE (codes.take().empty());

    knob.getGlobalMixButton()->setToggleState (false, juce::sendNotificationSync);
    EXPECT_EQ (codes.take(), std::vector<int>{ 11 });
}
