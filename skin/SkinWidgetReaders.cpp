#include "skin/SkinWidgetReaders.h"

#include "skin/SkinAttributes.h"
#include "skin/ZOLLabelComponent.h"
#include "skin/ZOLPaintedButton.h"

namespace SkinWidgetReaders
{
namespace
{
constexpr int positionLimit = 100000;

int integer (const juce::XmlElement& e, const char* name)
{
    return SkinAttributes::clampedInt (e, name, positionLimit);
}

float decimal (const juce::XmlElement& e, const char* name, double fallback)
{
    auto value = (float) e.getDoubleAttribute (name, fallback);
    return std::isfinite (value) ? value : (float) fallback;
}
} // namespace

bool flag (const juce::XmlElement& element, const juce::String& name, bool fallback)
{
    if (! element.hasAttribute (name))
        return fallback;
    auto text = element.getStringAttribute (name).trimStart();
    return text.isNotEmpty() && juce::String ("1tTyY").containsChar (text[0]);
}

std::unique_ptr<ZOLPaintedButton> createPaintedButton (const SkinManager& skin, const juce::XmlElement& w)
{
    using namespace SkinAttributes;
    auto button = std::make_unique<ZOLPaintedButton> (integer (w, "positionX"), integer (w, "positionY"),
                                                      juce::jmax (0, integer (w, "width")),
                                                      juce::jmax (0, integer (w, "height")));
    button->toggleMode = flag (w, "toggleMode");
    button->setOpacityStates (flag (w, "useOpacity"), decimal (w, "opacityNormal", 0.0),
                              decimal (w, "opacityDown", 0.0));
    button->alphaEnabledState = decimal (w, "alphaEnabled", 0.0);
    button->alphaDisabledState = decimal (w, "alphaDisabled", 0.0);
    button->useAlpha = flag (w, "useAlpha");
    button->cornerSize = juce::jlimit (0.0f, 1000.0f, decimal (w, "buttonCornerSize", 0.0));
    button->borderThickness = juce::jlimit (0.0f, 1000.0f, decimal (w, "borderThickness", 0.0));

    auto border = colour (w, "borderNormalColor");
    auto fill1 = colour (w, "fillNormalColor1");
    auto fill2 = colour (w, "fillNormalColor2");
    auto label = colour (w, "labelNormalColor");
    button->setBorderColours (border, colourOr (w, "borderDownColor", border));
    button->setFillColours (fill1, colourOr (w, "fillDownColor1", fill1));
    button->setLabelColours (label, colourOr (w, "labelDownColor", label));

    auto labelFont = font (skin, w, "labelFont");
    button->setLabelFont (&labelFont, justification (w, "labelJustify", 36), decimal (w, "labelFontSize", 0.0));
    button->offFont = labelFont;
    button->hasOffFont = true;
    if (has (w, "labelFontSecondary"))
    {
        button->onFont = font (skin, w, "labelFontSecondary");
        button->hasOnFont = true;
    }
    button->setLabelText (w.getStringAttribute ("labelText"));

    if (has (w, "borderOverColor") || has (w, "fillOverColor1") || has (w, "fillOverColor2") ||
        has (w, "labelOverColor"))
        button->setOverColours (colourOr (w, "borderOverColor", border), colourOr (w, "fillOverColor1", fill1),
                                colourOr (w, "labelOverColor", label));
    if (flag (w, "fillNormalGradient"))
        button->setNormalGradient (fill1, fill2);
    if (flag (w, "fillDownGradient"))
        button->setPressedGradient (colourOr (w, "fillDownColor1", fill1), colourOr (w, "fillDownColor2", fill2));
    if (flag (w, "fillOverGradient"))
        button->setOverGradient (colourOr (w, "fillOverColor1", fill1), colourOr (w, "fillOverColor2", fill2));
    button->showFocusOutline = flag (w, "useFocusRect");
    button->setTooltip (w.getStringAttribute ("toolTip"));
    return button;
}

std::unique_ptr<ZOLLabelComponent> createLabelComponent (const SkinManager& skin, const juce::XmlElement& w)
{
    using namespace SkinAttributes;
    auto textColour = colourOr (w, "normalTextColor", colour (w, "fontColor"));
    auto label = std::make_unique<ZOLLabelComponent> (
        &skin, integer (w, "positionX"), integer (w, "positionY"), juce::jmax (0, integer (w, "width")),
        juce::jmax (0, integer (w, "height")), w.getStringAttribute ("name"), juce::String(),
        w.getStringAttribute ("font"), decimal (w, "fontSize", 0.0), textColour, justification (w, "textJustify"));
    if (has (w, "backgroundColor"))
        label->setColour (juce::Label::backgroundColourId, colour (w, "backgroundColor"));
    label->setText (w.getStringAttribute ("text"), juce::dontSendNotification);
    label->setMinimumHorizontalScale (juce::jlimit (0.1f, 1.0f, decimal (w, "minHorzScale", 0.7)));
    label->setUseAlpha (flag (w, "useAlpha", true));
    if (w.hasAttribute ("alpha"))
        label->alpha = juce::jlimit (0.0f, 1.0f, decimal (w, "alpha", 1.0));

    const char* stateNames[] = { "normalTextColor", "selectedTextColor", "mouseOverTextColor",
                                 "normalBgColor",   "selectedBgColor",   "mouseOverBgColor" };
    bool anyState = false;
    for (auto* name : stateNames)
        anyState = anyState || has (w, name);
    if (anyState)
    {
        auto normalText = colour (w, "normalTextColor");
        auto normalBg = colour (w, "normalBgColor");
        label->setStateColours (normalText, normalBg, colourOr (w, "selectedTextColor", normalText),
                                colourOr (w, "selectedBgColor", normalBg),
                                colourOr (w, "mouseOverTextColor", normalText),
                                colourOr (w, "mouseOverBgColor", normalBg));
    }
    return label;
}
} // namespace SkinWidgetReaders
