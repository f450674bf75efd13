#include "skin/SkinWidgetReaders.h"

#include "skin/SkinAttributes.h"
#include "skin/WidgetSupport.h"
#include "skin/ZOLCheckBox.h"
#include "skin/ZOLDrawableButton.h"
#include "skin/ZOLPaintedButton.h"
#include "skin/ZOLToggleButton.h"

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

std::unique_ptr<ZOLDrawableButton> createDrawableButton (const SkinManager& skin, const juce::XmlElement* widget,
                                                         const juce::String& widgetName,
                                                         juce::Button::Listener* listener, bool rightClicks)
{
    using namespace SkinAttributes;
    if (widget == nullptr)
        return nullptr;
    auto& w = *widget;
    auto button = std::make_unique<ZOLDrawableButton> (widgetName);

    const char* names[] = { "upImage",   "overImage",   "downImage",   "disabledImage",
                            "upImageOn", "overImageOn", "downImageOn", "disabledImageOn" };
    std::unique_ptr<juce::Drawable> drawables[8];
    for (int i = 0; i < 8; ++i)
        drawables[i] = WidgetSupport::drawableOf (image (skin, w, names[i]));
    // Without its normal picture the button shows none of them.
    if (drawables[0] != nullptr)
        button->setImages (drawables[0].get(), drawables[1].get(), drawables[2].get(), drawables[3].get(),
                           drawables[4].get(), drawables[5].get(), drawables[6].get(), drawables[7].get());

    if (has (w, "toolTip"))
        button->setTooltip (w.getStringAttribute ("toolTip"));
    auto up = image (skin, w, "upImage");
    int width = juce::jmax (0, integer (w, "width")), height = juce::jmax (0, integer (w, "height"));
    button->setBounds (integer (w, "positionX"), integer (w, "positionY"), width != 0 ? width : up.getWidth(),
                       height != 0 ? height : up.getHeight());
    if (listener != nullptr)
        button->addListener (listener);

    auto labelRect = rectangle (w, "labelTextRect");
    if (! labelRect.isEmpty())
    {
        auto labelColour = colour (w, "labelFontColor");
        auto labelFont = font (skin, w, "labelFont");
        button->setLabel (labelRect, justification (w, "labelTextJustify"), &labelFont, labelColour,
                          fontSize (w, "labelFontSize"));
        button->setLabelColours (labelColour, colourOr (w, "labelFontColorOver", labelColour),
                                 colourOr (w, "labelFontColorDown", labelColour));
    }
    button->leftButtonPresses = true;
    button->rightButtonPresses = rightClicks;
    return button;
}

std::unique_ptr<ZOLToggleButton> createToggleButton (const SkinManager& skin, const juce::XmlElement* widget)
{
    if (widget == nullptr)
        return nullptr;
    auto& w = *widget;
    auto off = SkinAttributes::image (skin, w, "imageOff");
    auto on = SkinAttributes::image (skin, w, "imageOn");
    juce::Rectangle<int> bounds (integer (w, "positionX"), integer (w, "positionY"), off.getWidth(), off.getHeight());
    auto button = std::make_unique<ZOLToggleButton> (bounds, off, on, bounds.withZeroOrigin());
    button->setWantsKeyboardFocus (true);
    return button;
}

std::unique_ptr<ZOLToggleButton> createLabelledToggleButton (const SkinManager& skin, const juce::XmlElement* widget)
{
    using namespace SkinAttributes;
    if (widget == nullptr)
        return nullptr;
    auto& w = *widget;
    auto button = std::make_unique<ZOLToggleButton> (rectangle (w, "ctrlBounds"), integer (w, "positionBtnX"),
                                                     integer (w, "positionBtnY"), image (skin, w, "imageOff"),
                                                     image (skin, w, "imageOn"));
    if (has (w, "labelFont"))
    {
        auto labelFont = font (skin, w, "labelFont");
        button->setLabel (rectangle (w, "labelTextRect"), justification (w, "labelTextJustify"), &labelFont,
                          colour (w, "labelFontColor"), fontSize (w, "labelFontSize"), w.getStringAttribute ("text"));
    }
    if (has (w, "labelFontColorOn") || has (w, "labelFontColorOff") || has (w, "labelFontColorOver") ||
        has (w, "labelFontColorDown"))
    {
        auto onColour = colour (w, "labelFontColorOn");
        button->setLabelColours (colourOr (w, "labelFontColorOff", onColour),
                                 colourOr (w, "labelFontColorOver", onColour),
                                 colourOr (w, "labelFontColorDown", onColour), onColour);
    }
    return button;
}

std::unique_ptr<ZOLCheckBox> createCheckBox (const SkinManager& skin, const juce::XmlElement* widget)
{
    using namespace SkinAttributes;
    if (widget == nullptr)
        return nullptr;
    auto& w = *widget;
    auto box = std::make_unique<ZOLCheckBox> (w.getStringAttribute ("text"));
    box->font = font (skin, w, "font");
    box->fontSize = juce::jlimit (1, 200, w.getIntAttribute ("fontSize", 12));
    auto bounds = juce::Rectangle<int> (integer (w, "positionX"), integer (w, "positionY"),
                                        juce::jmax (0, integer (w, "width")), juce::jmax (0, integer (w, "height")));
    box->setBounds (bounds);
    box->rememberUnscaledBounds (bounds);
    box->setColour (juce::ToggleButton::textColourId, colour (w, "fontColor"));
    box->setColour (juce::TextEditor::focusedOutlineColourId, colour (w, "focusedOutlineColor"));
    box->setColour (juce::TextButton::buttonColourId, colour (w, "buttonColor"));
    box->disabledOpacity = juce::jlimit (0.0f, 1.0f, decimal (w, "disabledOpacity", 0.5));
    return box;
}
} // namespace SkinWidgetReaders
