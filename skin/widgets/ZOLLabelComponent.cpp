#include "skin/widgets/ZOLLabelComponent.h"

#include "skin/engine/SkinManager.h"
#include "skin/widgets/WidgetSupport.h"

namespace
{
juce::Font skinFont (const SkinManager* skin, const juce::String& fontName)
{
    if (skin != nullptr && fontName.isNotEmpty())
        return juce::Font (skin->getTypeface (fontName));
    return {};
}
} // namespace

ZOLLabelComponent::ZOLLabelComponent (const SkinManager* skin, int x, int y, int width, int height,
                                      const juce::String& name, const juce::String& text, const juce::String& fontName,
                                      float size, juce::Colour textColour, juce::Justification textJustification)
{
    init (name, text, skinFont (skin, fontName), size, width, height, textColour, textJustification, x, y);
}

ZOLLabelComponent::ZOLLabelComponent (int x, int y, int width, int height, const juce::Font& labelFont, float size,
                                      juce::Colour textColour, juce::Justification textJustification)
{
    init ({}, {}, labelFont, size, width, height, textColour, textJustification, x, y);
}

void ZOLLabelComponent::init (const juce::String& name, const juce::String& text, juce::Font labelFont, float size,
                              int width, int height, juce::Colour textColour, juce::Justification textJustification,
                              int x, int y)
{
    setName (name);
    setText (text, juce::dontSendNotification);
    fontSize = WidgetSupport::usableFontSize (size, 14.0f);
    initialWidth = juce::jmax (0, width);
    initialHeight = juce::jmax (0, height);
    editRestriction = {};
    mouseOver = false;
    clickable = false;

    setColour (juce::Label::textColourId, textColour);
    normalText = selectedText = overText = findColour (juce::Label::textColourId);
    normalBackground = selectedBackground = overBackground = findColour (juce::Label::backgroundColourId);
    perStateColours = false;
    useAlpha = true;
    alpha = 0.5f;
    sideLines = false;

    setFont (labelFont.withHeight (fontSize));
    setJustificationType (textJustification);
    setSize (initialWidth, initialHeight);
    setTopLeftPosition (x, y);
}

void ZOLLabelComponent::setStateColours (juce::Colour nText, juce::Colour nBackground, juce::Colour sText,
                                         juce::Colour sBackground, juce::Colour oText, juce::Colour oBackground)
{
    normalText = nText;
    normalBackground = nBackground;
    selectedText = sText;
    selectedBackground = sBackground;
    overText = oText;
    overBackground = oBackground;
    perStateColours = true;
    applyStateColours();
    repaint();
}

void ZOLLabelComponent::applyStateColours()
{
    if (! perStateColours)
        return;
    auto text = selected ? selectedText : (mouseOver ? overText : normalText);
    auto background = selected ? selectedBackground : (mouseOver ? overBackground : normalBackground);
    setColour (juce::Label::textColourId, text);
    setColour (juce::Label::backgroundColourId, background);
}

void ZOLLabelComponent::setUseAlpha (bool use)
{
    if (use == useAlpha)
        return;
    useAlpha = use;
    repaint();
}

void ZOLLabelComponent::setBackgroundImage (const juce::Image& image, juce::Rectangle<int> rect)
{
    backgroundImage = image;
    rect = WidgetSupport::withoutNegativeSize (rect);
    if (rect.getWidth() == 0)
        rect.setWidth (image.getWidth());
    if (rect.getHeight() == 0)
        rect.setHeight (image.getHeight());
    backgroundRect = rect;
    repaint();
}

void ZOLLabelComponent::fitWidthToText()
{
    auto width = getFont().getStringWidthFloat (getText() + "   ");
    setSize (juce::roundToInt (width), getHeight());
}

void ZOLLabelComponent::paint (juce::Graphics& g)
{
    g.fillAll (findColour (juce::Label::backgroundColourId));
    WidgetSupport::drawImageInto (g, backgroundImage, backgroundRect);

    auto outline = findColour (juce::Label::outlineColourId);
    if (! isBeingEdited())
    {
        auto a = (! isEnabled() && useAlpha) ? WidgetSupport::usableAlpha (alpha) : 1.0f;
        auto textColour = findColour (juce::Label::textColourId);
        auto area = getBorderSize().subtractedFrom (getLocalBounds());
        auto labelFont = getFont();
        auto lines = juce::jmax (1, (int) ((float) area.getHeight() / labelFont.getHeight()));
        g.setColour (textColour.withMultipliedAlpha (a));
        g.setFont (labelFont);
        g.drawFittedText (getText(), area, getJustificationType(), lines, getMinimumHorizontalScale());
        g.setColour (outline.withMultipliedAlpha (a));
    }
    else if (isEnabled())
    {
        g.setColour (outline);
    }
    g.drawRect (getLocalBounds());

    if (sideLines && getJustificationType().testFlags (juce::Justification::horizontallyCentred))
    {
        auto w = (float) getWidth(), h = (float) getHeight();
        auto t = (float) juce::roundToInt (getFont().getStringWidthFloat (getText() + "  "));
        auto left = w / 2.0f - t / 2.0f, right = w / 2.0f + t / 2.0f, middle = h / 2.0f;
        auto endY = ticksUp ? 0.0f : h;
        g.setColour (sideLineColour);
        g.drawLine (0.0f, endY, 0.0f, middle);
        g.drawLine (0.0f, middle, left, middle);
        g.drawLine (right, middle, w, middle);
        g.drawLine (w, endY, w, middle);
    }
}

void ZOLLabelComponent::mouseEnter (const juce::MouseEvent& e)
{
    if (isEnabled())
    {
        mouseOver = true;
        applyStateColours();
    }
    juce::Label::mouseEnter (e);
}

void ZOLLabelComponent::mouseExit (const juce::MouseEvent& e)
{
    mouseOver = false;
    applyStateColours();
    juce::Label::mouseExit (e);
}

void ZOLLabelComponent::mouseDown (const juce::MouseEvent& e)
{
    if (isEnabled() && clickable)
        postChangeCode (1);
    juce::Label::mouseDown (e);
}

void ZOLLabelComponent::enablementChanged()
{
    juce::Label::enablementChanged();
    repaint();
}

juce::TextEditor* ZOLLabelComponent::createEditorComponent()
{
    auto* textEditor = juce::Label::createEditorComponent();
    if (textEditor != nullptr && editRestriction.on)
        textEditor->setInputRestrictions (juce::jmax (0, editRestriction.maximumLength),
                                          editRestriction.allowedCharacters);
    return textEditor;
}
