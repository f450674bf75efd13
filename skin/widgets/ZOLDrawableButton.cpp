#include "skin/widgets/ZOLDrawableButton.h"

#include "skin/engine/UserInteraction.h"

#include "skin/widgets/WidgetSupport.h"

ZOLDrawableButton::ZOLDrawableButton (const juce::String& name, int, int)
    : juce::DrawableButton (name, juce::DrawableButton::ImageOnButtonBackgroundOriginalSize)
{
    WidgetSupport::clearButtonBackground (*this);
}

void ZOLDrawableButton::setLabel (juce::Rectangle<int> rect, juce::Justification justification, const juce::Font* font,
                                  juce::Colour colour, float height)
{
    if (label == nullptr)
    {
        label = std::make_unique<juce::Label> ("label", juce::String());
        label->setInterceptsMouseClicks (false, false);
        addAndMakeVisible (*label);
    }
    rect = WidgetSupport::withoutNegativeSize (rect);
    if (rect.getWidth() == 0)
        rect.setWidth (getWidth());
    if (rect.getHeight() == 0)
        rect.setHeight (getHeight());
    labelRect = rect;
    label->setBounds (rect);
    labelHeight = WidgetSupport::usableFontSize (height, 10.0f);
    if (font != nullptr)
        label->setFont (font->withHeight (labelHeight));
    label->setJustificationType (justification);
    labelNormal = labelOver = labelPressed = colour;
    setLabelColour (colour);
}

void ZOLDrawableButton::setLabelColours (juce::Colour normal, juce::Colour over, juce::Colour pressed)
{
    labelNormal = normal;
    labelOver = over;
    labelPressed = pressed;
    repaint();
}

void ZOLDrawableButton::setLabelColour (juce::Colour c)
{
    if (label != nullptr)
        label->setColour (juce::Label::textColourId, c);
}

void ZOLDrawableButton::setLabelText (const juce::String& newText)
{
    if (label == nullptr)
        return;
    label->setText (newText, juce::dontSendNotification);
    repaint();
}

void ZOLDrawableButton::setEnabledWithAlpha (bool enabled, bool withAlpha)
{
    if (withAlpha)
        setAlpha (enabled ? 1.0f : 0.3f);
    setEnabled (enabled);
}

void ZOLDrawableButton::setBlockMenu (CommandMenuBuilder builder, int menuId)
{
    blockMenu = std::move (builder);
    blockMenuId = menuId;
}

void ZOLDrawableButton::setFromDevice (juce::uint16 value, juce::uint16, const juce::String&)
{
    setState (value != 0 ? juce::Button::buttonDown : juce::Button::buttonNormal);
}

bool ZOLDrawableButton::countsAsPress (const juce::MouseEvent& e) const
{
    if (leftButtonPresses)
        return rightButtonPresses || e.mods.isLeftButtonDown();
    return rightButtonPresses && e.mods.isRightButtonDown();
}

void ZOLDrawableButton::mouseEnter (const juce::MouseEvent& e)
{
    setLabelColour (labelOver);
    juce::DrawableButton::mouseEnter (e);
    setState (juce::Button::buttonOver);
}

void ZOLDrawableButton::mouseExit (const juce::MouseEvent& e)
{
    setLabelColour (labelNormal);
    juce::DrawableButton::mouseExit (e);
    setState (juce::Button::buttonNormal);
}

void ZOLDrawableButton::mouseDown (const juce::MouseEvent& e)
{
    setLabelColour (labelPressed);
    lastPressCounted = countsAsPress (e);
    if (lastPressCounted)
        juce::DrawableButton::mouseDown (e);
}

void ZOLDrawableButton::mouseDrag (const juce::MouseEvent& e)
{
    if (countsAsPress (e))
        juce::DrawableButton::mouseDrag (e);
}

void ZOLDrawableButton::mouseUp (const juce::MouseEvent& e)
{
    if (! countsAsPress (e))
        return;
    if (clickPosts2)
        postChangeCode (2);
    juce::DrawableButton::mouseUp (e);
}

void ZOLDrawableButton::focusGained (FocusChangeType cause)
{
    if (cause == focusChangedByMouseClick && ! lastPressCounted)
    {
        setState (juce::Button::buttonNormal);
        repaint();
        return;
    }
    juce::DrawableButton::focusGained (cause);
    repaint();
}

void ZOLDrawableButton::clicked (const juce::ModifierKeys& modifiers)
{
    if (! modifiers.isRightButtonDown() || blockMenu == nullptr)
        return;
    auto menu = blockMenu (blockMenuId);
    ++blockMenuShown;
    UserInteraction::showMenu (menu, juce::PopupMenu::Options().withTargetComponent (this), {});
}

void ZOLDrawableButton::buttonStateChanged()
{
    // The framework puts the picture of the new state in front; the label
    // stays on top of it.
    juce::DrawableButton::buttonStateChanged();
    if (label != nullptr)
        label->toFront (false);
}
