#include "WidgetTestKit.h"

#include "skin/WidgetSupport.h"
#include "skin/ZOLCheckBox.h"
#include "skin/ZOLDrawableButton.h"
#include "skin/ZOLPaintedButton.h"
#include "skin/ZOLToggleButton.h"

using namespace WidgetTestKit;

namespace
{
juce::Colour pixel (juce::Component& c, int x, int y)
{
    return snapshot (c).getPixelAt (x, y);
}

std::unique_ptr<ZOLToggleButton> makeToggle()
{
    auto t = std::make_unique<ZOLToggleButton> (juce::Rectangle<int> (0, 0, 60, 40), 10, 5, solid (20, 10, rim),
                                                solid (20, 10, accent));
    return t;
}
} // namespace

TEST (PaintedButton, DefaultLookAndClickKeepsPressedLookUntilTheTimer)
{
    ZOLPaintedButton button (0, 0, 80, 24);
    EXPECT_EQ (button.getLabelText(), "<No Label>");
    auto image = snapshot (button);
    EXPECT_EQ (image.getPixelAt (40, 1), juce::Colour (0xFF00674C));                    // border
    EXPECT_EQ (image.getPixelAt (6, 12), juce::Colour (0xFF113A2F));                    // fill
    EXPECT_GT (countNear (image, { 2, 2, 76, 20 }, juce::Colour (0xFFF5F5F5), 40), 10); // label

    button.setFillColours (juce::Colours::black, juce::Colours::red);
    CodeRecorder codes (button);
    button.mouseDown (mouse (button, { 10, 10 }));
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::red);
    button.mouseUp (mouse (button, { 10, 10 }));
    EXPECT_EQ (codes.take(), std::vector<int> ({ 2 }));
    EXPECT_TRUE (button.isPressed());
    EXPECT_TRUE (button.isTimerRunning());
    button.timerCallback();
    EXPECT_FALSE (button.isPressed());
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::black);

    // A release outside posts nothing and drops the pressed look at once.
    button.mouseDown (mouse (button, { 10, 10 }));
    button.mouseUp (mouse (button, { 200, 10 }));
    EXPECT_TRUE (codes.take().empty());
    EXPECT_FALSE (button.isPressed());
}

TEST (PaintedButton, KeysClickOnlyWhileEnabledAndToggleModeFlipsAndShowsTheState)
{
    ZOLPaintedButton button (0, 0, 80, 24);
    CodeRecorder codes (button);
    for (auto key : { juce::KeyPress::returnKey, juce::KeyPress::spaceKey })
    {
        EXPECT_TRUE (button.keyPressed (juce::KeyPress (key)));
        EXPECT_EQ (codes.take(), std::vector<int> ({ 2 }));
    }
    EXPECT_FALSE (button.keyPressed (juce::KeyPress ('x')));

    button.setEnabled (false);
    EXPECT_FALSE (button.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    button.mouseDown (mouse (button, { 10, 10 }));
    button.mouseUp (mouse (button, { 10, 10 }));
    EXPECT_TRUE (codes.take().empty());
    button.setEnabled (true);

    // In toggle mode "on" shows the normal colours and "off" the pressed ones.
    button.toggleMode = true;
    button.setFillColours (juce::Colours::green, juce::Colours::blue);
    button.timerCallback();
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::blue);
    button.click();
    EXPECT_TRUE (button.isOn());
    EXPECT_EQ (button.getUnitValue(), 1);
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::green);
    button.setFromDevice (0, 0, {});
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::blue);

    // Opacity states draw the normal set, faded while off.
    button.setOpacityStates (true, 0.25f, 1.0f);
    EXPECT_NE (pixel (button, 6, 12), juce::Colours::green);
    button.setOn (true);
    EXPECT_EQ (pixel (button, 6, 12), juce::Colours::green);
}

TEST (ToggleButton, PressesHitTheImageOnlyAndTheModifierTakesOver)
{
    auto t = makeToggle();
    CodeRecorder codes (*t);
    EXPECT_EQ (t->getImageRect(), juce::Rectangle<int> (10, 5, 20, 10));

    t->mouseDown (mouse (*t, { 50, 30 })); // outside the image
    EXPECT_FALSE (t->getToggleState());
    t->mouseDown (mouse (*t, { 15, 8 }));
    EXPECT_TRUE (t->getToggleState());
    EXPECT_EQ (codes.take(), std::vector<int> ({ 2 }));

    t->setHasModifier (true);
    t->modifierActive = true;
    t->mouseDown (mouse (*t, { 15, 8 }));
    EXPECT_TRUE (t->getToggleState());
    t->mouseDown (mouse (*t, { 15, 8 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_EQ (codes.take(), std::vector<int> ({ 3 }));

    // A right button that does not count as a press does nothing at all.
    t->modifierActive = false;
    t->rightButtonPresses = false;
    t->mouseDown (mouse (*t, { 15, 8 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_TRUE (codes.take().empty());
}

TEST (ToggleButton, ArrowKeysInvertedValuesAndLabels)
{
    auto t = makeToggle();
    CodeRecorder codes (*t);
    EXPECT_TRUE (t->keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_TRUE (t->getToggleState());
    EXPECT_EQ (codes.take(), std::vector<int> ({ 2 }));
    EXPECT_FALSE (t->keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_TRUE (t->keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_FALSE (t->getToggleState());
    EXPECT_FALSE (t->keyPressed (juce::KeyPress ('m'))); // no modifier to edit
    EXPECT_EQ (codes.take(), std::vector<int> ({ 2 }));

    t->invertValue = true;
    t->setFromDevice (0, 0, {});
    EXPECT_TRUE (t->getToggleState());
    EXPECT_EQ (t->getUnitValue(), 0);

    // Labels with empty text are not drawn; off and on labels join the main one.
    auto blank = snapshot (*t);
    t->setLabel ({ 0, 20, 0, 20 }, juce::Justification::centred, nullptr, juce::Colours::white, 12.0f, {});
    EXPECT_EQ (t->mainLabel.rect, juce::Rectangle<int> (0, 20, 60, 20));
    EXPECT_EQ (countNear (snapshot (*t), { 0, 20, 60, 20 }, juce::Colours::white), 0);
    t->setLabelText ("Bypass");
    t->setOnLabel ({ 30, 0, 30, 18 }, juce::Justification::centred, nullptr, juce::Colours::yellow, 14.0f, "ON");
    auto labelled = snapshot (*t);
    EXPECT_GT (countNear (labelled, { 0, 20, 60, 20 }, juce::Colours::white), 5);
    EXPECT_GT (countNear (labelled, { 30, 0, 30, 18 }, juce::Colours::yellow, 60), 0);
    EXPECT_EQ (countNear (blank, { 0, 20, 60, 20 }, juce::Colours::white), 0);
}

TEST (CheckBox, WidthFitsTheTextPlusTheTickBox)
{
    ZOLCheckBox box ("Show tooltips");
    box.fontSize = 10;
    box.setSize (10, 20);
    box.fitWidthToText();
    auto textWidth = juce::roundToInt (box.font.withHeight (10.0f).getStringWidthFloat ("Show tooltips"));
    EXPECT_EQ (box.getWidth(), textWidth + 11 + 8);
    EXPECT_EQ (box.getHeight(), 20);
}

TEST (DrawableButton, PressButtonsLabelAndDeviceState)
{
    ZOLDrawableButton button ("block");
    button.setSize (40, 30);
    WidgetSupport::setButtonImages (button, solid (40, 30, rim), solid (40, 30, ink), solid (40, 30, accent), {}, {});
    button.setLabelText ("ignored");
    EXPECT_EQ (button.getLabel(), nullptr);
    button.setLabel ({ 0, 20, 0, 10 }, juce::Justification::centred, nullptr, juce::Colours::white, 10.0f);
    ASSERT_NE (button.getLabel(), nullptr);
    EXPECT_EQ (button.getLabel()->getBounds(), juce::Rectangle<int> (0, 20, 40, 10));

    int shown = 0;
    button.setBlockMenu (
        [&shown] (int id)
        {
            ++shown;
            EXPECT_EQ (id, 7);
            return juce::PopupMenu();
        },
        7);
    button.rightButtonPresses = false;
    auto right = juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier);
    EXPECT_FALSE (button.countsAsPress (mouse (button, { 5, 5 }, right)));
    button.mouseDown (mouse (button, { 5, 5 }, right));
    button.mouseUp (mouse (button, { 5, 5 }, right));
    EXPECT_EQ (shown, 0);
    EXPECT_EQ (button.getBlockMenuShowCount(), 0);

    button.setFromDevice (1, 0, {});
    EXPECT_EQ (button.getState(), juce::Button::buttonDown);
    EXPECT_EQ (button.getChildren().getLast(), button.getLabel()); // in front of the down picture
    EXPECT_EQ (button.getUnitValue(), 1);
    button.setFromDevice (0, 0, {});
    EXPECT_EQ (button.getUnitValue(), 0);

    button.setEnabledWithAlpha (false, true);
    EXPECT_NEAR (button.getAlpha(), 0.3f, 0.01f);
    EXPECT_FALSE (button.isEnabled());
    button.setEnabledWithAlpha (true, false);
    EXPECT_NEAR (button.getAlpha(), 0.3f, 0.01f);
}
