#include "support/WidgetTestKit.h"

#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLToggleButton.h"

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

TEST (ButtonReaders, SkinWidgetsBuildStyledButtons)
{
    SkinManager skin;
    skin.addImage ("up.png", solid (40, 24, rim));
    skin.addImage ("down.png", solid (40, 24, accent));
    skin.addImage (SkinManager::missingImageName, solid (8, 8, juce::Colours::magenta));
    auto xml = juce::parseXML (R"(<Widgets>
        <Widget name="drawable" upImage="up.png" downImage="down.png" overImage="gone.png" positionX="5" positionY="6"
                labelTextRect="0,0,0,0" labelFontColor="ff102030" toolTip="Tuner"/>
        <Widget name="labelled" upImage="up.png" height="30" labelTextRect="0,24,40,10" labelFontSize="9"
                labelFontColor="ff102030" labelFontColorOver="ff405060"/>
        <Widget name="toggle" positionX="3" positionY="4" imageOn="down.png" imageOff="up.png"/>
        <Widget name="labelledToggle" ctrlBounds="0,0,90,24" positionBtnX="50" positionBtnY="0" imageOn="down.png"
                imageOff="up.png" labelFont="sans.stf" labelFontColor="ffeeeeee" labelTextRect="0,0,48,0" text="Mute"
                labelFontColorOn="ff00ff00"/>
        <Widget name="check" positionX="1" positionY="2" width="0" height="18" text="Snap" fontSize="11"
                fontColor="ffd0d0d0"/>
        <Widget name="painted" positionX="10" width="60" height="20" borderNormalColor="ff111111"
                fillNormalColor1="ff222222" fillNormalColor2="ff333333" fillNormalGradient="true"
                labelNormalColor="ffeeeeee" fillOverColor1="ff444444" labelText="Store" toggleMode="yes"
                useAlpha="1" alphaEnabled="1" alphaDisabled="0.5"/>
        <Widget name="paintedBare" width="60" height="20" borderNormalColor="ff111111" useAlpha="1" toggleMode="1"/>
      </Widgets>)");
    ASSERT_NE (xml, nullptr);
    auto widget = [&xml] (const char* name) { return xml->getChildByAttribute ("name", name); };

    auto drawable = SkinWidgetReaders::createDrawableButton (skin, widget ("drawable"), "tuner", nullptr, false);
    EXPECT_EQ (drawable->getBounds(), juce::Rectangle<int> (5, 6, 40, 24));
    EXPECT_EQ (drawable->getLabel(), nullptr); // an empty label rectangle means no label
    EXPECT_FALSE (drawable->rightButtonPresses);
    EXPECT_EQ (drawable->getTooltip(), "Tuner");
    auto labelled = SkinWidgetReaders::createDrawableButton (skin, widget ("labelled"), "b", nullptr, true);
    ASSERT_NE (labelled->getLabel(), nullptr);
    EXPECT_EQ (labelled->getHeight(), 30);
    labelled->mouseEnter (mouse (*labelled, { 2, 2 }));
    EXPECT_EQ (labelled->getLabel()->findColour (juce::Label::textColourId), juce::Colour (0xFF405060));
    EXPECT_EQ (SkinWidgetReaders::createDrawableButton (skin, nullptr, "x", nullptr, true), nullptr);

    auto toggle = SkinWidgetReaders::createToggleButton (skin, widget ("toggle"));
    EXPECT_EQ (toggle->getBounds(), juce::Rectangle<int> (3, 4, 40, 24));
    EXPECT_EQ (toggle->getImageRect(), juce::Rectangle<int> (0, 0, 40, 24));

    auto labelledToggle = SkinWidgetReaders::createLabelledToggleButton (skin, widget ("labelledToggle"));
    EXPECT_EQ (labelledToggle->getImageRect(), juce::Rectangle<int> (50, 0, 40, 24));
    EXPECT_EQ (labelledToggle->mainLabel.rect, juce::Rectangle<int> (0, 0, 48, 24));
    EXPECT_EQ (labelledToggle->mainLabel.text, "Mute");
    EXPECT_TRUE (labelledToggle->mainLabel.perStateColours);
    EXPECT_EQ (labelledToggle->mainLabel.colourOff, juce::Colour (0xFF00FF00)); // falls back to the on colour

    auto check = SkinWidgetReaders::createCheckBox (skin, widget ("check"));
    EXPECT_EQ (check->getButtonText(), "Snap");
    EXPECT_EQ (check->fontSize, 11);
    EXPECT_FLOAT_EQ (check->disabledOpacity, 0.5f);
    EXPECT_EQ (check->findColour (juce::ToggleButton::textColourId), juce::Colour (0xFFD0D0D0));
    EXPECT_EQ (check->findColour (juce::TextButton::buttonColourId), juce::Colours::transparentBlack);

    auto painted = SkinWidgetReaders::createPaintedButton (skin, *widget ("painted"));
    EXPECT_EQ (painted->getBounds(), juce::Rectangle<int> (10, 0, 60, 20));
    EXPECT_TRUE (painted->toggleMode);
    EXPECT_TRUE (painted->hasOverColours);
    EXPECT_EQ (painted->getOverSet().fill1, juce::Colour (0xFF444444));
    EXPECT_EQ (painted->getOverSet().border, juce::Colour (0xFF111111)); // over falls back to normal
    EXPECT_TRUE (painted->getNormalSet().gradient);
    EXPECT_EQ (painted->getNormalSet().fill2, juce::Colour (0xFF333333));
    EXPECT_EQ (painted->getPressedSet().fill1, juce::Colour (0xFF222222));
    EXPECT_EQ (painted->getLabelText(), "Store");
    painted->setEnabled (false);
    EXPECT_NEAR (painted->getAlpha(), 0.5f, 0.01f);

    // Alpha switched on without its values leaves the button visible; with no
    // over colours of its own it keeps its plain hover look.
    auto bare = SkinWidgetReaders::createPaintedButton (skin, *widget ("paintedBare"));
    bare->setEnabled (false);
    bare->setEnabled (true);
    EXPECT_NEAR (bare->getAlpha(), 1.0f, 0.01f);
    EXPECT_FALSE (bare->hasOverColours);
}
