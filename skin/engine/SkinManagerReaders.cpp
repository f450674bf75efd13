#include "skin/engine/SkinManager.h"

#include "skin/knobs/BrakFxMeter.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/window/ZOLWindowSplitter.h"

namespace SA = SkinAttributes;

namespace
{
// Places and sizes beyond this are not a layout but a damaged skin.
constexpr int sizeLimit = 16384;

int coordinate (const juce::XmlElement& e, const char* name)
{
    return SA::clampedInt (e, name, sizeLimit);
}

int extent (const juce::XmlElement& e, const char* name)
{
    return juce::jmax (0, SA::clampedInt (e, name, sizeLimit));
}

juce::Typeface::Ptr typefaceOf (const SkinManager& skin, const juce::XmlElement& e, const char* name)
{
    auto fileName = e.getStringAttribute (name);
    return fileName.isEmpty() ? nullptr : skin.getTypeface (fileName);
}

float decimal (const juce::XmlElement& e, const char* name, double fallback)
{
    auto value = e.getDoubleAttribute (name, fallback);
    return std::isfinite (value) ? (float) value : (float) fallback;
}
} // namespace

std::unique_ptr<ZOLLedComponent> SkinManager::createLedComponent (const juce::XmlElement* e,
                                                                  const juce::String& widgetName) const
{
    if (e == nullptr)
        return nullptr;

    auto led = std::make_unique<ZOLLedComponent> (coordinate (*e, "positionX"), coordinate (*e, "positionY"),
                                                  e->getStringAttribute ("toolTip"), SA::image (*this, *e, "imageOn"),
                                                  SA::image (*this, *e, "imageOff"));
    led->setName (widgetName);
    return led;
}

std::unique_ptr<BrakFxReadout> SkinManager::createFxReadout (const juce::XmlElement* e, const juce::String& widgetName,
                                                             juce::ChangeListener* listener) const
{
    if (e == nullptr)
        return nullptr;

    auto readout = std::make_unique<BrakFxReadout> (
        coordinate (*e, "positionX"), coordinate (*e, "positionY"), extent (*e, "width"), extent (*e, "height"),
        widgetName, SA::image (*this, *e, "background"), typefaceOf (*this, *e, "font"), SA::fontSize (*e, "fontSize"),
        SA::colour (*e, "fontColor"), SA::justification (*e, "textJustify"), SA::rectangle (*e, "textRect"));

    if (listener != nullptr)
        readout->addChangeListener (listener);

    auto tip = e->getStringAttribute ("toolTip");
    if (tip.isNotEmpty())
        readout->setTooltip (tip);

    if (SA::has (*e, "overlay"))
        readout->setOverlay (SA::image (*this, *e, "overlay"), SA::rectangle (*e, "overlayBounds"));

    readout->setMinimumHorizontalScale (decimal (*e, "minHorzScaling", 1.0));
    return readout;
}

std::unique_ptr<BrakFxMeter> SkinManager::createFxMeter (const juce::XmlElement* e,
                                                         const juce::String& widgetName) const
{
    if (e == nullptr)
        return nullptr;

    auto meter = std::make_unique<BrakFxMeter> (coordinate (*e, "positionX"), coordinate (*e, "positionY"), widgetName,
                                                e->getStringAttribute ("text"), SA::image (*this, *e, "imageOn"),
                                                SA::image (*this, *e, "imageOff"));
    auto tip = e->getStringAttribute ("toolTip");
    if (tip.isNotEmpty())
        meter->setTooltip (tip);
    return meter;
}

std::unique_ptr<juce::TextEditor> SkinManager::createTextEditor (const juce::XmlElement* e,
                                                                 const juce::String& componentName) const
{
    if (e == nullptr)
        return nullptr;

    auto editor = std::make_unique<juce::TextEditor> (componentName, 0);
    editor->setMultiLine (false);
    editor->setCaretVisible (true);

    auto size = SA::fontSize (*e, "fontSize");
    editor->setFont (SA::font (*this, *e, "font", size));
    editor->setBounds (SA::rectangle (*e, "bounds"));

    const std::pair<const char*, int> colours[] = {
        { "colorBackground", juce::TextEditor::backgroundColourId },
        { "colorText", juce::TextEditor::textColourId },
        { "colorHighlight", juce::TextEditor::highlightColourId },
        { "colorHighlightText", juce::TextEditor::highlightedTextColourId },
        { "colorBoxOutline", juce::TextEditor::outlineColourId },
        { "colorFocusOutline", juce::TextEditor::focusedOutlineColourId },
        { "colorBoxShadow", juce::TextEditor::shadowColourId },
    };
    for (auto& [attribute, id] : colours)
        if (SA::has (*e, attribute))
            editor->setColour (id, SA::colour (*e, attribute));

    return editor;
}

std::unique_ptr<ZOLLabelComponent> SkinManager::createLabelComponent (const juce::XmlElement* e,
                                                                      const juce::String& widgetName) const
{
    if (e == nullptr)
        return nullptr;

    auto normalText = SA::colourOr (*e, "normalTextColor", SA::colour (*e, "fontColor"));
    auto label = std::make_unique<ZOLLabelComponent> (
        this, coordinate (*e, "positionX"), coordinate (*e, "positionY"), extent (*e, "width"), extent (*e, "height"),
        widgetName, juce::String(), e->getStringAttribute ("font"), SA::fontSize (*e, "fontSize"), normalText,
        SA::justification (*e, "textJustify"));

    if (SA::has (*e, "backgroundColor"))
        label->setColour (juce::Label::backgroundColourId, SA::colour (*e, "backgroundColor"));

    label->setText (e->getStringAttribute ("text"), juce::dontSendNotification);
    label->setMinimumHorizontalScale (juce::jlimit (0.1f, 1.0f, decimal (*e, "minHorzScale", 0.7)));
    label->setUseAlpha (e->getBoolAttribute ("useAlpha", true));
    // "alpha" is the label's own opacity; how a disabled label dims stays the label's.
    label->setAlpha (juce::jlimit (0.0f, 1.0f, decimal (*e, "alpha", 1.0)));

    const char* stateColours[] = { "normalTextColor", "selectedTextColor", "mouseOverTextColor",
                                   "normalBgColor",   "selectedBgColor",   "mouseOverBgColor" };
    bool anyStateColour = false;
    for (auto* name : stateColours)
        anyStateColour = anyStateColour || SA::has (*e, name);

    if (anyStateColour)
    {
        auto normalBackground = SA::colour (*e, "normalBgColor");
        label->setStateColours (normalText, normalBackground, SA::colourOr (*e, "selectedTextColor", normalText),
                                SA::colourOr (*e, "selectedBgColor", normalBackground),
                                SA::colourOr (*e, "mouseOverTextColor", normalText),
                                SA::colourOr (*e, "mouseOverBgColor", normalBackground));
    }
    return label;
}

std::unique_ptr<ZOLWindowSplitter> SkinManager::createWindowSplitter (const juce::XmlElement* e) const
{
    if (e == nullptr)
        return nullptr;

    auto splitter = std::make_unique<ZOLWindowSplitter>();
    splitter->windowRect = SA::rectangle (*e, "windowBounds");
    splitter->setBounds (splitter->windowRect.getX(), splitter->windowRect.getY(), extent (*e, "width"),
                         extent (*e, "height"));
    splitter->stripeWidth = extent (*e, "centerStripeWidth");
    splitter->dotWidth = extent (*e, "centerDotWidth");
    splitter->dotHeight = extent (*e, "centerDotHeight");
    splitter->vertical = e->getBoolAttribute ("vertical");
    splitter->defaultPosition = juce::jlimit (0.0, 1.0, (double) decimal (*e, "defaultPosition", 0.0));
    splitter->backgroundColour = SA::colour (*e, "clrBackground");
    splitter->stripeColour = SA::colour (*e, "clrCenterStripe");
    splitter->dotColour = SA::colour (*e, "clrCenterDot");
    splitter->repaint();
    return splitter;
}
