#include "skin/controls/ControlManager.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

#include <gtest/gtest.h>

namespace
{
// The label and value-field attributes every reading style shares; the
// justifications carry a bit above the seven that count.
constexpr const char* labelAttributes = R"(labelFont="l.stf" labelFontColor="ff102030" labelFontSize="11"
    labelTextRect="1,2,30,12" labelTextJustify="164")";
constexpr const char* fieldAttributes = R"(fieldBackground="field.png" fieldPositionX="4" fieldPositionY="50"
    fieldWidth="40" fieldHeight="14" fieldFont="f.stf" fieldFontColor="ff405060" fieldFontSize="9"
    fieldTextRect="0,0,40,14" fieldTextJustify="145")";

template <typename Style>
void expectLabel (const Style& s, const char* what)
{
    SCOPED_TRACE (what);
    EXPECT_EQ (s.labelFontName, "l.stf");
    EXPECT_EQ (s.labelColour, juce::Colour (0xff102030));
    EXPECT_FLOAT_EQ (s.labelFontSize, 11.0f);
    EXPECT_EQ (s.labelTextRect, juce::Rectangle<int> (1, 2, 30, 12));
    EXPECT_EQ (s.labelJustification, 36);
}

template <typename Style>
void expectField (const Style& s, const char* what)
{
    SCOPED_TRACE (what);
    EXPECT_EQ (s.fieldBackground.getWidth(), 40);
    EXPECT_EQ (juce::Rectangle<int> (s.fieldX, s.fieldY, s.fieldWidth, s.fieldHeight),
               juce::Rectangle<int> (4, 50, 40, 14));
    EXPECT_EQ (s.fieldFontName, "f.stf");
    EXPECT_EQ (s.fieldColour, juce::Colour (0xff405060));
    EXPECT_EQ (s.fieldColourOver, s.fieldColour) << "no over colour: the plain one";
    EXPECT_FLOAT_EQ (s.fieldFontSize, 9.0f);
    EXPECT_EQ (s.fieldTextRect, juce::Rectangle<int> (0, 0, 40, 14));
    EXPECT_EQ (s.fieldJustification, 17);
}
} // namespace

TEST (ControlManager, ControlStylesReadTheirLabelsAndValueFields)
{
    SkinManager skin;
    skin.addImage ("field.png", juce::Image (juce::Image::ARGB, 40, 14, true));
    const juce::String both = juce::String (labelAttributes) + " " + fieldAttributes;
    auto root = juce::parseXML ("<SKIN><GenericControls>"
                                "<Widget name=\"knob\" fieldMinHorzScaling=\"0.5\" " +
                                both +
                                "/>"
                                "<Widget name=\"slider\" " +
                                both +
                                "/>"
                                "<Widget name=\"pushButton\" " +
                                juce::String (labelAttributes) +
                                "/>"
                                "<Widget name=\"tab\" labelFontColorOver=\"ff0000ff\" " +
                                labelAttributes +
                                "/>"
                                "<Widget name=\"track\" " +
                                labelAttributes +
                                "/>"
                                "</GenericControls></SKIN>");
    ASSERT_NE (root, nullptr);

    ControlManager controls;
    controls.loadFromSkin (&skin, root.get());

    expectLabel (controls.getKnobStyle(), "knob");
    expectField (controls.getKnobStyle(), "knob");
    EXPECT_FLOAT_EQ (controls.getKnobStyle().fieldMinHorzScaling, 0.5f);
    expectLabel (controls.getSliderStyle(), "slider");
    expectField (controls.getSliderStyle(), "slider");
    expectLabel (controls.getPushButtonStyle(), "push button");
    expectLabel (controls.getTabStyle(), "tab");
    EXPECT_EQ (controls.getTabStyle().labelColourOver, juce::Colour (0xff0000ff));

    TrackSliderStyle track;
    controls.readTrackSliderStyle (SkinAttributes::findWidget (*root->getChildByName ("GenericControls"), "track"),
                                   track);
    EXPECT_TRUE (track.hasLabel);
    expectLabel (track, "track slider");
}

TEST (ControlManager, OnlyTheExactSectionAndWidgetTagsAreRead)
{
    SkinManager skin;
    auto root = juce::parseXML ("<SKIN><genericControls><Widget name=\"knob\" controlWidth=\"9\"/></genericControls>"
                                "<GenericControls><widget name=\"slider\" controlWidth=\"9\"/>"
                                "<WIDGET name=\"knob\" controlWidth=\"9\"/></GenericControls></SKIN>");
    ASSERT_NE (root, nullptr);

    ControlManager controls;
    controls.loadFromSkin (&skin, root.get());
    EXPECT_FALSE (controls.getKnobStyle().loaded);
    EXPECT_FALSE (controls.getSliderStyle().loaded);
}
