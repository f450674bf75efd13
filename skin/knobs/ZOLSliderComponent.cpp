#include "skin/knobs/ZOLSliderComponent.h"

#include "skin/widgets/WidgetSupport.h"

#include <cmath>

ZOLSliderComponent::ZOLSliderComponent (juce::Rectangle<int> withUnit, juce::Rectangle<int> withoutUnit,
                                        int positionBackgroundX, int positionBackgroundY, int thumbX, int thumbY,
                                        int minPosition, int maxPosition, const juce::String& tooltip, bool isVertical,
                                        const juce::Image& backgroundImage, const juce::Image& thumbImg,
                                        const juce::Image& thumbDownImg)
    : juce::Component ("Slider")
    , background (backgroundImage)
    , thumbImage (thumbImg)
    , thumbDownImage (thumbDownImg)
    , vertical (isVertical)
    , sizeWithUnit (WidgetSupport::withoutNegativeSize (withUnit))
    , sizeWithoutUnit (WidgetSupport::withoutNegativeSize (withoutUnit))
    , knobMinPosition (minPosition)
    , knobMaxPosition (maxPosition)
    , knobX (thumbX)
    , knobY (thumbY)
    , backgroundRect (positionBackgroundX, positionBackgroundY, background.getWidth(), background.getHeight())
    , label (juce::Colours::white, juce::Justification::centred, 12.0f)
{
    setBounds (sizeWithoutUnit);
    thumb = std::make_unique<ZOLSliderButton> (*this, vertical, thumbImage, thumbDownImage);
    thumb->setTopLeftPosition (knobX, knobY);
    thumb->setTooltip (tooltip);
    addAndMakeVisible (*thumb);
    setWantsKeyboardFocus (true);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
}

ZOLSliderComponent::~ZOLSliderComponent() = default;

void ZOLSliderComponent::setLabelStyle (juce::Rectangle<int> rect, juce::Justification justification,
                                        juce::Typeface::Ptr typeface, juce::Colour colour, float fontSize)
{
    label.setStyle (rect, justification, typeface, colour, fontSize, getLocalBounds());
    repaint();
}

void ZOLSliderComponent::setLabelText (const juce::String& text)
{
    label.text = text;
    repaint();
}

void ZOLSliderComponent::attachReadout (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                                        juce::Typeface::Ptr fieldTypeface, float fieldFontSize,
                                        juce::Colour fieldColour, juce::Justification fieldJustification,
                                        juce::Rectangle<int> fieldTextRect, float minimumHorizontalScale)
{
    attachedReadout.attach (fieldRect, fieldBackground, fieldTypeface, fieldFontSize, fieldColour, fieldJustification,
                            fieldTextRect, minimumHorizontalScale);
    attachedReadout->setEnabled (isEnabled());
}

double ZOLSliderComponent::quantiseFraction (double fraction) const
{
    auto f = std::isfinite (fraction) ? juce::jlimit (0.0, 1.0, fraction) : 0.0;
    if (steps == 0)
        return f;
    if (steps == 1)
        return 0.0;
    return (double) detentIndex (f) / (double) (steps - 1);
}

int ZOLSliderComponent::detentIndex (double fraction) const
{
    // The smallest i with fraction <= (i + 1) / n; the last detent takes the rest.
    int n = steps;
    for (int i = 0; i < n - 1; ++i)
        if (fraction <= (double) (i + 1) / (double) n)
            return i;
    return n - 1;
}

void ZOLSliderComponent::setFraction (double fraction)
{
    auto f = quantiseFraction (fraction);
    auto offset = f * (double) (knobMaxPosition - knobMinPosition);
    if (vertical)
        thumb->setTopLeftPosition (thumb->getX(), (int) ((double) knobMaxPosition - offset));
    else
        thumb->setTopLeftPosition ((int) ((double) knobMinPosition + offset), thumb->getY());
    shownFraction = f;
    shownFractionAt = thumb->getPosition();
}

double ZOLSliderComponent::getFraction() const
{
    // The thumb stands on whole pixels; where it still stands where the last
    // fraction put it, that fraction is exact.
    if (shownFractionAt == thumb->getPosition() && shownFraction >= 0.0)
        return shownFraction;

    auto range = knobMaxPosition - knobMinPosition;
    if (range <= 0)
        return 0.0;
    auto travelled = vertical ? knobMaxPosition - thumb->getY() : thumb->getX() - knobMinPosition;
    auto raw = juce::jlimit (0.0, 1.0, (double) travelled / (double) range);
    if (steps < 2)
        return quantiseFraction (raw);
    // The thumb stands on a whole pixel near its detent: take the nearest detent
    // (the snapping thresholds are not centred on the detents, so snapping the
    // pixel position again could reach the next one).
    return (double) nearestDetent (raw) / (double) (steps - 1);
}

int ZOLSliderComponent::nearestDetent (double fraction) const
{
    return juce::jlimit (0, juce::jmax (0, steps - 1), juce::roundToInt (fraction * (steps - 1)));
}

bool ZOLSliderComponent::setPositionFromPixel (int pixel)
{
    auto grab = vertical ? thumb->grabOffsetY : thumb->grabOffsetX;
    auto half = grab != -1 ? grab : (vertical ? thumb->getHeight() / 2 : thumb->getWidth() / 2);

    int low, high;
    if (trackMin != -1 && trackMax != -1)
    {
        auto origin = vertical ? backgroundRect.getY() : backgroundRect.getX();
        low = trackMin + origin;
        high = trackMax + origin;
    }
    else
    {
        low = knobMinPosition + half;
        high = knobMaxPosition + half;
    }

    double fraction = 0.0;
    if (high > low)
    {
        auto p = juce::jlimit (low, high, pixel);
        fraction = vertical ? (double) (high - p) / (double) (high - low) : (double) (p - low) / (double) (high - low);
    }

    auto before = thumb->getPosition();
    setFraction (fraction);
    return thumb->getPosition() != before;
}

int ZOLSliderComponent::getUnitValue()
{
    auto fraction = getFraction();
    if (valueType == 1 && rangeMin >= 0.0f && steps >= 2 && std::isfinite (rangeMin))
        // Counted from the detent itself: fraction * (steps - 1) can fall just short of it.
        return (int) juce::jmin (rangeMin, 2.0e9f) + nearestDetent (fraction);
    return mapFractionToUnitValue (fraction);
}

void ZOLSliderComponent::setFromDevice (juce::uint16, juce::uint16 position, const juce::String& text)
{
    if (! thumb->isDragging() && ! holdFromDevice)
    {
        setFraction ((double) juce::jmin ((int) position, 127) / 127.0);
        heldPositionPending = false;
    }
    else if (thumb->isDragging() && ! holdFromDevice)
    {
        heldPosition = position;
        heldPositionPending = true;
    }

    if (attachedReadout)
    {
        lastShownValue = (float) WidgetSupport::leadingNumber (text);
        attachedReadout->setText (text);
    }
}

void ZOLSliderComponent::unitChanged()
{
    auto size = unit != 0 ? sizeWithUnit : sizeWithoutUnit;
    // A slider of one size keeps its (possibly scaled) bounds.
    if (sizeWithUnit.getWidth() != sizeWithoutUnit.getWidth() || sizeWithUnit.getHeight() != sizeWithoutUnit.getHeight())
    {
        setSize (size.getWidth(), size.getHeight());
        if (hasUnscaledBounds())
            unscaledBounds.setSize (size.getWidth(), size.getHeight());
    }
    attachedReadout.followUnit (*this);
    repaint();
}

void ZOLSliderComponent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
    // The readout and the thumb are drawn inside the slider's own transform.
    attachedReadout.followScale (scaleFactor);
    thumb->followOwner (scaleFactor);
}

void ZOLSliderComponent::paint (juce::Graphics& g)
{
    if (hasModifier)
    {
        auto area = modifierRect.isEmpty() ? backgroundRect : modifierRect;
        auto& image = modifierActive ? modifierOnImage : modifierImage;
        WidgetSupport::drawImageInto (g, image.isValid() ? image : background, area);
    }
    else
    {
        WidgetSupport::drawImageInto (g, background, backgroundRect);
    }
    label.paint (g);
}

void ZOLSliderComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;
    if (e.mods.isRightButtonDown())
    {
        if (hasModifier)
            postChangeCode (3);
        return;
    }
    if (modifierActive)
        return;
    if (e.getNumberOfClicks() >= 2)
    {
        postChangeCode (9);
        return;
    }
    auto p = e.getPosition();
    if (backgroundRect.contains (p) || thumb->getBounds().contains (p))
        if (setPositionFromPixel (vertical ? p.y : p.x))
            postChangeCode (4);
}

void ZOLSliderComponent::thumbDragged (const juce::MouseEvent& e)
{
    auto p = e.getPosition();
    if (setPositionFromPixel (vertical ? p.y : p.x))
        postChangeCode (4);
}

void ZOLSliderComponent::thumbReleased (const juce::MouseEvent& e, bool afterDrag)
{
    if (afterDrag && isEnabled() && ! modifierActive)
        thumbDragged (e);
    if (heldPositionPending)
    {
        heldPositionPending = false;
        setFraction ((double) juce::jmin ((int) heldPosition, 127) / 127.0);
    }
}

void ZOLSliderComponent::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    postWheelStep (isEnabled(), wheel);
    juce::Component::mouseWheelMove (e, wheel);
}

bool ZOLSliderComponent::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;
    bool consumed = false;
    if (handleStepOrModifierKey (key, consumed))
        return consumed;
    if (key.isKeyCode (juce::KeyPress::returnKey))
    {
        if (! attachedReadout)
            return false;
        attachedReadout->showEditor();
        return true;
    }
    return false;
}

void ZOLSliderComponent::focusGained (FocusChangeType cause)
{
    postSelectionOnFocus (cause);
}

void ZOLSliderComponent::enablementChanged()
{
    if (attachedReadout)
        attachedReadout->setEnabled (isEnabled());
    setAlpha (WidgetSupport::usableAlpha (isEnabled() ? alphaEnabled : alphaDisabled));
    repaint();
}

void ZOLSliderComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    auto code = attachedReadout.codeToPassOn (source);
    if (code == 10)
        lastShownValue = (float) attachedReadout->getValueAsDouble();
    if (code >= 0)
        postChangeCode (code);
}
