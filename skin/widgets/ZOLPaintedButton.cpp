#include "skin/widgets/ZOLPaintedButton.h"

#include "skin/widgets/WidgetSupport.h"

ZOLPaintedButton::ZOLPaintedButton (int x, int y, int width, int height, const juce::String&)
{
    auto bounds = WidgetSupport::withoutNegativeSize ({ x, y, width, height });
    setBounds (bounds);
    rememberUnscaledBounds (bounds);
    setWantsKeyboardFocus (true);
}

ZOLPaintedButton::~ZOLPaintedButton()
{
    stopTimer();
}

void ZOLPaintedButton::setBorderColours (juce::Colour normal, juce::Colour pressedColour)
{
    if (normalSet.border == normal && pressedSet.border == pressedColour)
        return;
    normalSet.border = normal;
    pressedSet.border = pressedColour;
    repaint();
}

void ZOLPaintedButton::setFillColours (juce::Colour normal, juce::Colour pressedColour)
{
    if (normalSet.fill1 == normal && pressedSet.fill1 == pressedColour && ! normalSet.gradient && ! pressedSet.gradient)
        return;
    normalSet.fill1 = normal;
    pressedSet.fill1 = pressedColour;
    normalSet.gradient = pressedSet.gradient = false;
    repaint();
}

void ZOLPaintedButton::setLabelColours (juce::Colour normal, juce::Colour pressedColour)
{
    if (normalSet.label == normal && pressedSet.label == pressedColour)
        return;
    normalSet.label = normal;
    pressedSet.label = pressedColour;
    repaint();
}

void ZOLPaintedButton::setOverColours (juce::Colour border, juce::Colour fill, juce::Colour label)
{
    if (hasOverColours && ! overSet.gradient && overSet.border == border && overSet.fill1 == fill &&
        overSet.label == label)
        return;
    overSet.border = border;
    overSet.fill1 = fill;
    overSet.label = label;
    overSet.gradient = false;
    hasOverColours = true;
    repaint();
}

static void setGradient (ZOLPaintedButton::ColourSet& set, juce::Colour top, juce::Colour bottom)
{
    set.gradient = true;
    set.fill1 = top;
    set.fill2 = bottom;
}

void ZOLPaintedButton::setNormalGradient (juce::Colour top, juce::Colour bottom)
{
    setGradient (normalSet, top, bottom);
    repaint();
}

void ZOLPaintedButton::setPressedGradient (juce::Colour top, juce::Colour bottom)
{
    setGradient (pressedSet, top, bottom);
    repaint();
}

void ZOLPaintedButton::setOverGradient (juce::Colour top, juce::Colour bottom)
{
    setGradient (overSet, top, bottom);
    repaint();
}

void ZOLPaintedButton::setLabelFont (const juce::Font* font, juce::Justification justification, float height)
{
    labelFont = font != nullptr ? *font : juce::Font();
    labelJustification = justification;
    labelHeight = WidgetSupport::usableFontSize (height, 12.0f);
    repaint();
}

void ZOLPaintedButton::useOnFont (bool useOn)
{
    if (useOn ? hasOnFont : hasOffFont)
        labelFont = useOn ? onFont : offFont;
    repaint();
}

void ZOLPaintedButton::setLabelText (const juce::String& text)
{
    if (text == labelText)
        return;
    labelText = text;
    repaint();
}

void ZOLPaintedButton::setOn (bool state)
{
    if (state == on)
        return;
    on = state;
    if (toggleMode)
        repaint();
}

void ZOLPaintedButton::setOpacityStates (bool use, float offOpacity, float onOpacity)
{
    offOpacity = WidgetSupport::usableAlpha (offOpacity);
    onOpacity = WidgetSupport::usableAlpha (onOpacity);
    if (use == useOpacityStates && offOpacity == opacityOff && onOpacity == opacityOn)
        return;
    useOpacityStates = use;
    opacityOff = offOpacity;
    opacityOn = onOpacity;
    repaint();
}

void ZOLPaintedButton::click()
{
    if (toggleMode)
        on = ! on;
    postChangeCode (2);
    startTimer (pressedLookMs);
    repaint();
}

void ZOLPaintedButton::setFromDevice (juce::uint16 value, juce::uint16, const juce::String&)
{
    setOn (value != 0);
}

void ZOLPaintedButton::paint (juce::Graphics& g)
{
    const ColourSet* set = &normalSet;
    bool gradient = false;
    float opacity = 1.0f;

    if (useOpacityStates)
    {
        gradient = normalSet.gradient;
        opacity = (toggleMode ? on : pressed) ? opacityOn : opacityOff;
    }
    else if (! toggleMode)
    {
        if (pressed)
            set = &pressedSet;
        else if (mouseOver && hasOverColours)
            set = &overSet;
        gradient = set->gradient;
    }
    else
    {
        if (mouseOver && hasOverColours)
            set = &overSet;
        else if (! on)
            set = &pressedSet;
        gradient = normalSet.gradient;
    }

    auto outer = getLocalBounds().toFloat();
    auto inner = outer.reduced (juce::jmin (borderThickness, outer.getWidth() / 2.0f, outer.getHeight() / 2.0f));

    g.setColour (set->border);
    g.fillRoundedRectangle (outer, cornerSize);

    if (gradient)
        g.setGradientFill (juce::ColourGradient::vertical (set->fill1, inner.getY(), set->fill2, inner.getBottom()));
    else
        g.setColour (set->fill1);
    if (useOpacityStates)
        g.setOpacity (opacity);
    g.fillRoundedRectangle (inner, cornerSize);

    g.setOpacity (1.0f);
    g.setColour (set->label);
    g.setFont (labelFont.withHeight (labelHeight));
    g.drawText (labelText, inner, labelJustification, true);

    if (showFocusOutline && hasKeyboardFocus (true))
    {
        g.setColour (set->border.contrasting (1.0f));
        g.drawRoundedRectangle (inner.getX() + 1.0f, inner.getY() + 1.0f, juce::jmax (0.0f, inner.getWidth() - 2.0f),
                                juce::jmax (0.0f, inner.getHeight() - 2.0f), cornerSize, 0.75f);
    }
}

void ZOLPaintedButton::mouseEnter (const juce::MouseEvent&)
{
    if (! isEnabled())
        return;
    mouseOver = true;
    repaint();
}

void ZOLPaintedButton::mouseExit (const juce::MouseEvent&)
{
    mouseOver = false;
    if (isEnabled())
        repaint();
}

void ZOLPaintedButton::mouseDown (const juce::MouseEvent&)
{
    if (! isEnabled())
        return;
    pressed = true;
    repaint();
}

void ZOLPaintedButton::mouseUp (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;
    if (getLocalBounds().contains (e.getPosition()))
    {
        click();
        return;
    }
    pressed = false;
    repaint();
}

bool ZOLPaintedButton::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;
    if (key == juce::KeyPress::returnKey || key == juce::KeyPress::spaceKey)
    {
        pressed = true;
        click();
        return true;
    }
    return false;
}

void ZOLPaintedButton::enablementChanged()
{
    if (useAlpha)
        setAlpha (WidgetSupport::usableAlpha (isEnabled() ? alphaEnabledState : alphaDisabledState));
    if (! isEnabled())
        mouseOver = false;
    repaint();
}

void ZOLPaintedButton::timerCallback()
{
    pressed = false;
    repaint();
    stopTimer();
}
