#include "skin/widgets/SkinWidgetReaders.h"

#include "skin/engine/ControlStyles.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLToggleButton.h"

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

namespace
{
// A fraction of the skin (opacity, alpha); an absent or unreadable one keeps
// the fallback.
float fractionOr (const juce::XmlElement& w, const char* name, float fallback)
{
    if (! SkinAttributes::has (w, name))
        return fallback;

    const auto value = (float) w.getDoubleAttribute (name, fallback);
    return std::isfinite (value) ? juce::jlimit (0.0f, 1.0f, value) : fallback;
}

void readStates (const juce::XmlElement& w, const juce::String& normal, const juce::String& over,
                 const juce::String& down, PaintedButtonStyle::States& states)
{
    using namespace SkinAttributes;

    if (has (w, normal))
        states.normal = states.over = states.down = colour (w, normal);

    if (has (w, over))
        states.over = colour (w, over);

    if (has (w, down))
        states.down = colour (w, down);
}
} // namespace

void readPaintedButtonStyle (const SkinManager& skin, const juce::XmlElement& w, PaintedButtonStyle& p)
{
    using namespace SkinAttributes;
    p.positionX = integer (w, "positionX");
    p.positionY = integer (w, "positionY");
    p.width = juce::jmax (0, integer (w, "width"));
    p.height = juce::jmax (0, integer (w, "height"));
    p.toggleMode = flag (w, "toggleMode");
    p.cornerSize = juce::jlimit (0.0f, 1000.0f, decimal (w, "buttonCornerSize", 0.0));
    p.borderThickness = juce::jlimit (0.0f, 1000.0f, decimal (w, "borderThickness", 0.0));
    readStates (w, "borderNormalColor", "borderOverColor", "borderDownColor", p.border);
    p.gradientNormal = flag (w, "fillNormalGradient");
    p.gradientDown = flag (w, "fillDownGradient");
    p.gradientOver = flag (w, "fillOverGradient");
    readStates (w, "fillNormalColor1", "fillOverColor1", "fillDownColor1", p.fill1);
    readStates (w, "fillNormalColor2", "fillOverColor2", "fillDownColor2", p.fill2);
    readStates (w, "labelNormalColor", "labelOverColor", "labelDownColor", p.label);
    p.overColoursGiven = p.overColoursGiven || has (w, "borderOverColor") || has (w, "fillOverColor1") ||
                         has (w, "fillOverColor2") || has (w, "labelOverColor");
    p.labelText = w.getStringAttribute ("labelText");

    if (has (w, "labelFont"))
    {
        p.labelFont = font (skin, w, "labelFont");
        p.hasLabelFont = true;
    }

    if (has (w, "labelJustify"))
        p.labelJustification = justification (w, "labelJustify").getFlags();

    p.labelFontSize = decimal (w, "labelFontSize", 0.0);
    p.useOpacity = flag (w, "useOpacity");
    p.opacityNormal = fractionOr (w, "opacityNormal", p.opacityNormal);
    p.opacityDown = fractionOr (w, "opacityDown", p.opacityDown);
    p.useAlpha = flag (w, "useAlpha");
    p.alphaEnabled = fractionOr (w, "alphaEnabled", p.alphaEnabled);
    p.alphaDisabled = fractionOr (w, "alphaDisabled", p.alphaDisabled);
    p.useFocusRect = flag (w, "useFocusRect");
}

std::unique_ptr<ZOLPaintedButton> makePaintedButton (const PaintedButtonStyle& p)
{
    auto button = std::make_unique<ZOLPaintedButton> (p.positionX, p.positionY, p.width, p.height);
    button->toggleMode = p.toggleMode;
    button->cornerSize = p.cornerSize;
    button->borderThickness = p.borderThickness;
    button->setBorderColours (p.border.normal, p.border.down);
    button->setFillColours (p.fill1.normal, p.fill1.down);
    button->setLabelColours (p.label.normal, p.label.down);

    // Without over colours of its own the button keeps its plain hover look.
    button->setOverColours (p.border.over, p.fill1.over, p.label.over);
    button->hasOverColours = p.overColoursGiven;

    if (p.gradientNormal)
        button->setNormalGradient (p.fill1.normal, p.fill2.normal);

    if (p.gradientDown)
        button->setPressedGradient (p.fill1.down, p.fill2.down);

    if (p.gradientOver)
        button->setOverGradient (p.fill1.over, p.fill2.over);

    button->setOpacityStates (p.useOpacity, p.opacityNormal, p.opacityDown);
    button->useAlpha = p.useAlpha;
    button->alphaEnabledState = p.alphaEnabled;
    button->alphaDisabledState = p.alphaDisabled;

    const juce::Font labelFont = p.hasLabelFont ? p.labelFont : juce::Font();
    button->setLabelFont (&labelFont, juce::Justification (p.labelJustification), p.labelFontSize);
    button->setLabelText (p.labelText);
    button->showFocusOutline = p.useFocusRect;
    return button;
}

std::unique_ptr<ZOLPaintedButton> createPaintedButton (const SkinManager& skin, const juce::XmlElement& w)
{
    using namespace SkinAttributes;
    PaintedButtonStyle style;
    readPaintedButtonStyle (skin, w, style);
    auto button = makePaintedButton (style);

    button->offFont = style.hasLabelFont ? style.labelFont : juce::Font();
    button->hasOffFont = true;
    if (has (w, "labelFontSecondary"))
    {
        button->onFont = font (skin, w, "labelFontSecondary");
        button->hasOnFont = true;
    }
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

std::unique_ptr<ZOLCheckBox> createCheckBox (const SkinManager* skin, const juce::XmlElement* section,
                                             const juce::String& widgetName, const juce::String& text)
{
    const auto* widget = section != nullptr ? SkinAttributes::findWidget (*section, widgetName) : nullptr;
    if (skin == nullptr || widget == nullptr)
        return std::make_unique<ZOLCheckBox> (text);

    juce::XmlElement withText (*widget);
    withText.setAttribute ("text", text);
    return createCheckBox (*skin, &withText);
}
} // namespace SkinWidgetReaders
