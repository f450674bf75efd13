#include "skin/knobs/ZOLRotaryKnob.h"

#include "skin/widgets/WidgetSupport.h"

#include <cmath>

ZOLRotaryKnob::ZOLRotaryKnob (juce::Rectangle<int> bounds, const juce::Image& knobBase, juce::Rectangle<int> baseRect,
                              const juce::Image& knobTop, juce::Rectangle<int> topRect)
    : knobBaseImage (knobBase)
    , knobTopImage (knobTop)
    , knobBaseRect (WidgetSupport::withoutNegativeSize (baseRect))
    , knobTopRect (WidgetSupport::withoutNegativeSize (topRect))
    , label (juce::Colours::white, juce::Justification::centred, 12.0f)
{
    readoutAlpha = alphaEnabled;
    setBounds (WidgetSupport::withoutNegativeSize (bounds));
    setWantsKeyboardFocus (true);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
}

ZOLRotaryKnob::~ZOLRotaryKnob()
{
    if (globalMixButton != nullptr)
        globalMixButton->removeListener (this);
}

void ZOLRotaryKnob::setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification,
                                   juce::Typeface::Ptr typeface, juce::Colour colour, float fontSize)
{
    label.setStyle (rect, justification, typeface, colour, fontSize, getLocalBounds());
    repaint();
}

void ZOLRotaryKnob::setLabelText (const juce::String& text)
{
    label.text = text;
    repaint();
}

void ZOLRotaryKnob::attachReadout (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                                   juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                                   juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                                   float minimumHorizontalScale)
{
    attachedReadout.attach (fieldRect, fieldBackground, fieldTypeface, fieldFontSize, fieldColour, fieldJustification,
                            fieldTextRect, minimumHorizontalScale);
    if (editorEnabled)
        attachedReadout->editable = isEnabled();
}

bool ZOLRotaryKnob::openValueEditor()
{
    if (! attachedReadout || ! editorEnabled)
        return false;
    attachedReadout->showEditor();
    return true;
}

void ZOLRotaryKnob::createGlobalMixButton (const juce::Image& up, const juce::Image& down, const juce::Image& over,
                                           juce::Rectangle<int> rect)
{
    if (globalMixButton != nullptr)
        globalMixButton->removeListener (this);
    globalMixButton = std::make_unique<juce::DrawableButton> (
        "Global Mix", juce::DrawableButton::ImageOnButtonBackgroundOriginalSize);
    WidgetSupport::setButtonImages (*globalMixButton, up, over, down, up, down);
    WidgetSupport::clearButtonBackground (*globalMixButton);
    globalMixRect = WidgetSupport::withoutNegativeSize (rect);
    globalMixButton->setBounds (globalMixRect);
    globalMixButton->setClickingTogglesState (true);
    globalMixButton->addListener (this);
    addAndMakeVisible (*globalMixButton);
}

float ZOLRotaryKnob::clampAngle (float value) const
{
    auto low = std::isfinite (angleMin) ? angleMin : -2.4f;
    auto high = std::isfinite (angleMax) ? angleMax : 2.4f;
    if (high < low)
        std::swap (low, high);
    return std::isfinite (value) ? juce::jlimit (low, high, value) : low;
}

int ZOLRotaryKnob::getUnitValue()
{
    auto span = (double) angleMax - (double) angleMin;
    auto fraction = span != 0.0 ? ((double) angle - angleMin) / span : 0.0;
    return mapFractionToUnitValue (fraction);
}

int ZOLRotaryKnob::getSecondaryValue()
{
    return globalMixButton != nullptr && globalMixButton->getToggleState() ? 1 : 0;
}

double ZOLRotaryKnob::getValueAsDouble()
{
    return attachedReadout ? WidgetSupport::leadingNumber (attachedReadout->getText()) : 0.0;
}

void ZOLRotaryKnob::setAngleFromPosition (juce::uint16 position)
{
    angle = clampAngle (angleMin + (angleMax - angleMin) * (float) juce::jmin ((int) position, 127) / 127.0f);
    repaint();
}

void ZOLRotaryKnob::setFromDevice (juce::uint16, juce::uint16 position, const juce::String& text)
{
    if (modifierActive || (! dragging && ! holdFromDevice))
    {
        setAngleFromPosition (position);
        heldPositionPending = false;
    }
    else if (dragging && ! holdFromDevice)
    {
        heldPosition = position;
        heldPositionPending = true;
    }

    if (disableOnLeadChar)
        setEnabled (text.indexOfChar (disableLeadChar) != 0);

    attachedReadout.showText (text);
}

void ZOLRotaryKnob::setSecondaryValue (juce::uint16 value)
{
    if (globalMixButton != nullptr)
        globalMixButton->setToggleState (value != 0, juce::dontSendNotification);
}

void ZOLRotaryKnob::unitChanged()
{
    attachedReadout.followUnit (*this);
    repaint();
}

void ZOLRotaryKnob::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
    // The readout and the Global Mix button are drawn inside the knob's own
    // transform; scaling them again would scale them twice.
    attachedReadout.followScale (scaleFactor);
    if (apply && globalMixButton != nullptr)
        globalMixButton->setBounds (globalMixRect);
}

void ZOLRotaryKnob::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
    WidgetSupport::drawImageInto (g, backgroundImage, backgroundRect);

    if (hasModifier)
        WidgetSupport::drawImageInto (g, modifierActive ? modifierOnImage : modifierImage, modifierRect);
    else
        WidgetSupport::drawImageInto (g, knobBaseImage, knobBaseRect);

    if (! (hideTopWhenDisabled && ! isEnabled()) && knobTopImage.isValid() && ! knobTopRect.isEmpty())
    {
        auto w = (float) knobTopRect.getWidth(), h = (float) knobTopRect.getHeight();
        auto transform =
            juce::AffineTransform::scale (w / (float) knobTopImage.getWidth(), h / (float) knobTopImage.getHeight())
                .rotated (angle, w / 2.0f, h / 2.0f)
                .translated ((float) knobTopRect.getX(), (float) knobTopRect.getY());
        g.drawImageTransformed (knobTopImage, transform);
    }

    label.paint (g);
}

void ZOLRotaryKnob::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    bool onTop = knobTopRect.contains (e.getPosition());
    if (e.getNumberOfClicks() == 1)
    {
        if (! onTop)
            return;
        if (e.mods.isRightButtonDown() && hasModifier)
        {
            postChangeCode (3);
            return;
        }
        dragging = true;
        lastDragPoint = e.getPosition();
        lastDragAngle = angle;
        return;
    }

    if (! onTop && modifierActive)
        return;
    if (areDoubleClickKeysHeld())
        postChangeCode (9);
    else
        openValueEditor();
}

void ZOLRotaryKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging || ! isEnabled() || modifierActive)
        return;

    auto mode = dragMode;
    if (areDragModeKeysHeld())
        mode = mode == 0 ? 1 : 0;
    auto factor = areFineKeysHeld() ? 0.1f : 1.5f;
    auto p = e.getPosition();

    auto newAngle = lastDragAngle;
    if (mode == 0)
    {
        auto moved = (lastDragPoint.x - p.x) + (p.y - lastDragPoint.y);
        newAngle = lastDragAngle - (float) moved * factor / 180.0f;
    }
    else
    {
        auto dx = p.x - getWidth() / 2, dy = p.y - getHeight() / 2;
        if (dx * dx + dy * dy > 25)
        {
            auto pointer = (float) std::atan2 ((double) dx, (double) -dy);
            while (pointer < 0.0f)
                pointer += juce::MathConstants<float>::twoPi;
            if (std::abs (pointer - lastDragAngle) > juce::MathConstants<float>::pi)
                pointer +=
                    pointer < lastDragAngle ? juce::MathConstants<float>::twoPi : -juce::MathConstants<float>::twoPi;
            newAngle = pointer;
        }
    }

    newAngle = clampAngle (newAngle);
    if (newAngle != angle)
    {
        angle = newAngle;
        lastDragAngle = newAngle;
        lastDragPoint = p;
        postChangeCode (4);
        repaint();
    }
}

void ZOLRotaryKnob::mouseUp (const juce::MouseEvent&)
{
    dragging = false;
    if (heldPositionPending)
    {
        heldPositionPending = false;
        setAngleFromPosition (heldPosition);
    }
}

void ZOLRotaryKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    postWheelStep (isEnabled(), wheel);
    juce::Component::mouseWheelMove (e, wheel);
}

bool ZOLRotaryKnob::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;

    bool consumed = false;
    if (handleStepOrModifierKey (key, consumed))
        return consumed;
    auto c = key.getTextCharacter();
    auto code = key.getKeyCode();
    if (c == 'g' || c == 'G' || code == 'g' || code == 'G')
    {
        if (globalMixButton == nullptr)
            return false;
        globalMixButton->triggerClick();
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::returnKey))
        return openValueEditor();
    return false;
}

void ZOLRotaryKnob::focusGained (FocusChangeType cause)
{
    postSelectionOnFocus (cause);
}

void ZOLRotaryKnob::enablementChanged()
{
    auto enabled = isEnabled();
    if (attachedReadout && editorEnabled)
        attachedReadout->editable = enabled;

    if (enabled)
    {
        setAlpha (WidgetSupport::usableAlpha (alphaEnabled));
        if (readoutFadesWithKnob && attachedReadout)
            attachedReadout->setAlpha (WidgetSupport::usableAlpha (readoutAlpha));
    }
    else
    {
        if (readoutFadesWithKnob && attachedReadout)
            attachedReadout->setAlpha (WidgetSupport::usableAlpha (alphaEnabled));
        setAlpha (WidgetSupport::usableAlpha (alphaDisabled));
    }
    repaint();
}

void ZOLRotaryKnob::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto code = attachedReadout.codeToPassOn (source);
    if (code >= 0)
        postChangeCode (code);
}

void ZOLRotaryKnob::buttonClicked (juce::Button* button)
{
    if (button == globalMixButton.get())
        postChangeCode (11);
}
