#include "skin/widgets/ZOLToggleButton.h"

#include "skin/widgets/WidgetSupport.h"

ZOLToggleButton::ZOLToggleButton (juce::Rectangle<int> bounds, int imageX, int imageY, const juce::Image& off,
                                  const juce::Image& onImg, const juce::String&)
    : offImage (off)
    , onImage (onImg)
{
    if (bounds.getWidth() < 1 || bounds.getHeight() < 1)
        bounds = offImage.isValid() ? bounds.withSize (offImage.getWidth(), offImage.getHeight())
                                    : WidgetSupport::withoutNegativeSize (bounds);
    auto size = offImage.isValid()  ? offImage.getBounds()
                : onImage.isValid() ? onImage.getBounds()
                                    : bounds.withZeroOrigin();
    imageRect = size.withPosition (imageX, imageY);
    init (bounds);
}

ZOLToggleButton::ZOLToggleButton (juce::Rectangle<int> bounds, const juce::Image& off, const juce::Image& onImg,
                                  juce::Rectangle<int> imageRectangle)
    : offImage (off)
    , onImage (onImg)
    , imageRect (WidgetSupport::withoutNegativeSize (imageRectangle))
{
    if (bounds.getWidth() < 1 || bounds.getHeight() < 1)
        bounds = offImage.isValid() ? bounds.withSize (offImage.getWidth(), offImage.getHeight())
                                    : WidgetSupport::withoutNegativeSize (bounds);
    init (bounds);
}

void ZOLToggleButton::init (juce::Rectangle<int> bounds)
{
    setName ("ZOLToggleButton");
    setComponentID ("ZOLToggleButton");
    setBounds (bounds);
    rememberUnscaledBounds (bounds);
    setWantsKeyboardFocus (true);
}

ZOLToggleButton::LabelStyle ZOLToggleButton::makeLabel (juce::Rectangle<int> rect, juce::Justification justification,
                                                        const juce::Font* font, juce::Colour colour, float height,
                                                        const juce::String& text) const
{
    LabelStyle label;
    rect = WidgetSupport::withoutNegativeSize (rect);
    if (rect.getWidth() == 0)
        rect.setWidth (getWidth());
    if (rect.getHeight() == 0)
        rect.setHeight (getHeight());
    label.rect = rect;
    label.justification = justification;
    if (font != nullptr)
        label.font = *font;
    label.colour = colour;
    label.height = WidgetSupport::usableFontSize (height, 12.0f);
    label.text = text;
    return label;
}

void ZOLToggleButton::setLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                                juce::Colour colour, float height, const juce::String& text)
{
    mainLabel = makeLabel (rect, justification, font, colour, height, text);
    repaint();
}

void ZOLToggleButton::setSecondLabelPlace (juce::Rectangle<int> rect, juce::Justification justification)
{
    auto placed = makeLabel (rect, justification, nullptr, mainLabel.colour, mainLabel.height, {});
    secondLabel = mainLabel;
    secondLabel.rect = placed.rect;
    secondLabel.justification = justification;
    repaint();
}

void ZOLToggleButton::setOffLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                                   juce::Colour colour, float height, const juce::String& text)
{
    offLabel = makeLabel (rect, justification, font, colour, height, text);
    repaint();
}

void ZOLToggleButton::setOnLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                                  juce::Colour colour, float height, const juce::String& text)
{
    onLabel = makeLabel (rect, justification, font, colour, height, text);
    repaint();
}

void ZOLToggleButton::setLabelText (const juce::String& text)
{
    if (text == mainLabel.text)
        return;
    mainLabel.text = text;
    repaint();
}

void ZOLToggleButton::setLabelColours (juce::Colour off, juce::Colour over, juce::Colour pressedColour,
                                       juce::Colour onColour)
{
    for (auto* label : { &mainLabel, &secondLabel })
    {
        label->colourOff = off;
        label->colourOver = over;
        label->colourPressed = pressedColour;
        label->colourOn = onColour;
        label->perStateColours = true;
    }
    repaint();
}

void ZOLToggleButton::setModifierImages (int x, int y, const juce::Image& activeImage, const juce::Image& inactiveImage)
{
    modifierActiveImage = activeImage;
    modifierInactiveImage = inactiveImage;
    modifierRect = { x, y, inactiveImage.getWidth(), inactiveImage.getHeight() };
    repaint();
}

void ZOLToggleButton::setToggleState (bool state, bool notify)
{
    if (state == on)
        return;
    on = state;
    repaint();
    if (notify)
        postChangeCode (2);
}

void ZOLToggleButton::clearUseAlpha()
{
    if (! useAlpha)
        return;
    useAlpha = false;
    repaint();
}

bool ZOLToggleButton::handlePress (bool hit, bool rightClick, bool doubleClick)
{
    if (! isEnabled() || ! pressEnabled)
        return false;

    if (modifierActive)
    {
        if (rightClick && hasModifier)
            postChangeCode (3);
        return true;
    }

    if (doubleClick)
        postChangeCode (9);
    else if (rightClick)
    {
        if (hasModifier)
            postChangeCode (3);
    }
    else if (hit)
    {
        on = ! on;
        repaint();
        postChangeCode (2);
    }
    return true;
}

void ZOLToggleButton::setFromDevice (juce::uint16 value, juce::uint16, const juce::String&)
{
    bool state = invertValue ? value == 0 : value != 0;
    if (state == on)
        return;
    on = state;
    repaint();
}

bool ZOLToggleButton::countsAsPress (const juce::MouseEvent& e) const
{
    if (leftButtonPresses)
        return rightButtonPresses || e.mods.isLeftButtonDown();
    return rightButtonPresses && e.mods.isRightButtonDown();
}

bool ZOLToggleButton::anyStateColours() const
{
    return mainLabel.perStateColours || secondLabel.perStateColours || offLabel.perStateColours ||
           onLabel.perStateColours;
}

void ZOLToggleButton::mouseEnter (const juce::MouseEvent&)
{
    mouseOver = true;
    if (anyStateColours())
        repaint();
}

void ZOLToggleButton::mouseExit (const juce::MouseEvent&)
{
    mouseOver = false;
    if (anyStateColours())
        repaint();
}

void ZOLToggleButton::mouseDown (const juce::MouseEvent& e)
{
    if (! countsAsPress (e))
        return;
    pressed = true;
    if (anyStateColours())
        repaint();
    auto p = e.getPosition();
    bool hit = imageRect.contains (p) || modifierRect.contains (p);
    handlePress (hit, e.mods.isRightButtonDown(), e.getNumberOfClicks() >= 2 && areDoubleClickKeysHeld());
}

void ZOLToggleButton::mouseUp (const juce::MouseEvent& e)
{
    if (! countsAsPress (e))
        return;
    pressed = false;
    if (anyStateColours())
        repaint();
}

bool ZOLToggleButton::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;
    if (arrowKeysToggle &&
        ((key.isKeyCode (juce::KeyPress::upKey) && ! on) || (key.isKeyCode (juce::KeyPress::downKey) && on)))
    {
        handlePress (true, false, false);
        return true;
    }
    if (isModifierEditKey (key))
    {
        if (! hasModifier)
            return false;
        handlePress (false, true, false);
        return true;
    }
    if ((spaceToggles && key.isKeyCode (juce::KeyPress::spaceKey)) ||
        (returnToggles && key.isKeyCode (juce::KeyPress::returnKey)))
    {
        handlePress (true, false, false);
        return true;
    }
    return false;
}

void ZOLToggleButton::enablementChanged()
{
    if (useAlpha)
        setAlpha (WidgetSupport::usableAlpha (isEnabled() ? alphaEnabled : alphaDisabled));
    repaint();
}

void ZOLToggleButton::paintLabel (juce::Graphics& g, const LabelStyle& label) const
{
    if (label.text.isEmpty())
        return;
    auto colour = label.colour;
    if (label.perStateColours)
        colour = pressed ? label.colourPressed : mouseOver ? label.colourOver : on ? label.colourOn : label.colourOff;
    g.setColour (colour);
    g.setFont (label.font.withHeight (label.height));
    g.drawFittedText (label.text, label.rect, label.justification, 2, 1.0f);
}

void ZOLToggleButton::paint (juce::Graphics& g)
{
    if (fillBackground)
    {
        g.setColour (backgroundColour);
        g.fillRoundedRectangle (getLocalBounds().toFloat(), 8.0f);
    }
    if (pressEnabled)
    {
        if (hasModifier)
            WidgetSupport::drawImageInto (g, modifierActive ? modifierActiveImage : modifierInactiveImage,
                                          modifierRect);
        WidgetSupport::drawImageInto (g, on ? onImage : offImage, imageRect);
    }
    for (auto* label : { &mainLabel, &secondLabel, &offLabel, &onLabel })
        paintLabel (g, *label);
}
