#include "skin/knobs/BrakFxReadout.h"
#include "skin/controls/ControlManager.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLToggleButton.h"

#include <gtest/gtest.h>

namespace
{
juce::Image solid (int w, int h)
{
    juce::Image image (juce::Image::ARGB, w, h, true);
    image.clear (image.getBounds(), juce::Colours::grey);
    return image;
}

struct TemplateSkin
{
    explicit TemplateSkin (const char* genericControls)
    {
        skin.addImage ("on.png", solid (12, 50));
        skin.addImage ("off.png", solid (12, 50));
        skin.addImage ("readout.png", solid (44, 16));
        root = juce::parseXML (juce::String ("<SKIN>") + genericControls + "</SKIN>");
        controls.loadFromSkin (&skin, root.get());
    }

    SkinManager skin;
    std::unique_ptr<juce::XmlElement> root;
    ControlManager controls;
};
} // namespace

TEST (ControlManagerKinds, DisplayTemplatesAreReadAndWithoutThemNothingIsMade)
{
    TemplateSkin none ("<Other/>");
    EXPECT_EQ (none.controls.createMeter ("Level"), nullptr);
    EXPECT_EQ (none.controls.createLabel ("Text"), nullptr);
    EXPECT_EQ (none.controls.createSequencerSlider ("1"), nullptr);
    EXPECT_EQ (none.controls.createSequencerReadout(), nullptr);

    TemplateSkin loaded (R"(<GenericControls>
        <Widget name="meter" controlWidth="40" controlHeight="70" imageOn="on.png" imageOff="off.png"
                vertical="true" direction="7" labelTextRect="0,0,40,12" labelFontSize="10"/>
        <Widget name="Label" width="99"/>
        <Widget name="label" positionX="3" positionY="4" width="0" height="0" labelFontSize="12"/>
        <Widget name="sequencer_slider" controlWidth="36" controlHeight="84" background="off.png" sliderBtn="on.png"/>
        <Widget name="sequencer_readout" background="readout.png" fieldFontSize="11"/>
      </GenericControls>)");
    auto& controls = loaded.controls;

    auto meter = controls.createMeter ("Level");
    ASSERT_NE (meter, nullptr);
    EXPECT_EQ (meter->getBounds(), juce::Rectangle<int> (0, 0, 40, 70));
    EXPECT_EQ (meter->fillDirection, 0); // only 1 to 3 are directions

    // Width from the text in the label font, height from the font size, plus 4 each.
    auto label = controls.createLabel ("Modifier");
    ASSERT_NE (label, nullptr);
    const auto width = juce::roundToInt (juce::Font (12.0f).getStringWidthFloat ("Modifier")) + 4;
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (3, 4, width, 16));
    EXPECT_EQ (label->getText(), "Modifier");

    auto step = controls.createSequencerSlider ("7");
    ASSERT_NE (step, nullptr);
    EXPECT_TRUE (step->isVertical());
    EXPECT_EQ (step->getBounds(), juce::Rectangle<int> (0, 0, 36, 84));

    auto readout = controls.createSequencerReadout();
    ASSERT_NE (readout, nullptr);
    EXPECT_EQ (readout->getBounds(), juce::Rectangle<int> (0, 0, 44, 16)); // its background's size
}

TEST (ControlManagerKinds, PaintedButtonStatesAndOpacityFromItsOwnWidget)
{
    TemplateSkin skin ("<GenericControls/>");
    auto xml = juce::parseXML (R"(<Widgets>
        <Widget name="one" positionX="5" positionY="6" width="80" height="24" borderNormalColor="ff111111"
                labelText="Store" useOpacity="true"/>
        <Widget name="two" width="80" height="24" borderNormalColor="ff111111" borderDownColor="ff999999"/>
      </Widgets>)");
    PaintedButtonStyle style;
    style.loaded = true;
    style.labelJustification = 12;

    // No element: the record is reset and stays unloaded.
    skin.controls.readPaintedButtonStyle (nullptr, style);
    EXPECT_FALSE (style.loaded);
    EXPECT_EQ (style.labelJustification, 36);
    EXPECT_EQ (skin.controls.createPaintedButton (style), nullptr);

    skin.controls.readPaintedButtonStyle (xml->getChildByAttribute ("name", "one"), style);
    auto one = skin.controls.createPaintedButton (style);
    ASSERT_NE (one, nullptr);
    EXPECT_EQ (one->getBounds(), juce::Rectangle<int> (5, 6, 80, 24));
    EXPECT_EQ (one->getLabelText(), "Store");
    EXPECT_EQ (one->getNormalSet().border, juce::Colour (0xff111111));
    EXPECT_EQ (one->getOverSet().border, juce::Colour (0xff111111));
    EXPECT_EQ (one->getPressedSet().border, juce::Colour (0xff111111));
    // Opacity switched on without values keeps the button visible.
    EXPECT_EQ (style.opacityNormal, 1.0f);
    EXPECT_EQ (style.opacityDown, 1.0f);

    skin.controls.readPaintedButtonStyle (xml->getChildByAttribute ("name", "two"), style);
    auto two = skin.controls.createPaintedButton (style);
    EXPECT_EQ (two->getOverSet().border, juce::Colour (0xff111111));
    EXPECT_EQ (two->getPressedSet().border, juce::Colour (0xff999999));
}

TEST (ControlManagerKinds, OnOffButtonLabelsBothStates)
{
    TemplateSkin skin ("<GenericControls/>");
    auto widget = juce::parseXML (R"(<Widget name="switch" controlWidth="60" controlHeight="30" imageOn="on.png"
        imageOff="off.png" positionBtnX="4" labelFontColor="ffeeeeee" labelFontSize="10"
        labelTextRectOff="20,0,40,14" labelOff="Bypass" labelTextRectOn="20,16,40,14" labelOn="Engaged"/>)");
    OnOffButtonStyle style;
    skin.controls.readOnOffButtonStyle (nullptr, style);
    EXPECT_EQ (skin.controls.createOnOffButton (style), nullptr);

    skin.controls.readOnOffButtonStyle (widget.get(), style);
    auto button = skin.controls.createOnOffButton (style);
    ASSERT_NE (button, nullptr);
    EXPECT_EQ (button->getBounds(), juce::Rectangle<int> (0, 0, 60, 30));
    EXPECT_EQ (button->offLabel.text, "Bypass");
    EXPECT_EQ (button->onLabel.text, "Engaged");
    EXPECT_EQ (button->onLabel.rect, juce::Rectangle<int> (20, 16, 40, 14));
    EXPECT_EQ (button->offLabel.colour, juce::Colour (0xffeeeeee));
}
