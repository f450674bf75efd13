#include "skin/window/ZOLWindowSplitter.h"

ZOLWindowSplitter::ZOLWindowSplitter() = default;

int ZOLWindowSplitter::travel() const
{
    return vertical ? windowRect.getWidth() - getWidth() : windowRect.getHeight() - getHeight();
}

double ZOLWindowSplitter::getProportionalPosition() const
{
    auto room = travel();
    if (room <= 0)
        return 0.0;
    auto offset = vertical ? getX() - windowRect.getX() : getY() - windowRect.getY();
    return juce::jlimit (0.0, 1.0, (double) offset / (double) room);
}

void ZOLWindowSplitter::setProportionalPosition (bool notify, double position)
{
    if (! (position >= 0.0 && position <= 1.0))
        position = defaultPosition;

    auto offset = juce::roundToInt (juce::jmax (0, travel()) * position);
    if (vertical)
        setTopLeftPosition (windowRect.getX() + offset, getY());
    else
        setTopLeftPosition (getX(), windowRect.getY() + offset);

    if (notify)
        postChangeCode (2);
}

void ZOLWindowSplitter::postChangeCode (int code)
{
    {
        const juce::ScopedLock lock (changeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

int ZOLWindowSplitter::getChangeCode() const
{
    const juce::ScopedLock lock (changeLock);
    return changeCode;
}

void ZOLWindowSplitter::mouseEnter (const juce::MouseEvent&)
{
    mouseOver = true;
    repaint();
}

void ZOLWindowSplitter::mouseExit (const juce::MouseEvent&)
{
    mouseOver = false;
    repaint();
}

void ZOLWindowSplitter::mouseDown (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    if (e.getNumberOfClicks() >= 2)
    {
        setProportionalPosition (true, defaultPosition);
        return;
    }

    if (! dragging)
    {
        repaint();
        dragger.startDraggingComponent (this, e);
        dragging = true;
    }
}

void ZOLWindowSplitter::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    dragger.dragComponent (this, e, nullptr);

    auto x = getX(), y = getY();
    if (vertical)
    {
        x = juce::jlimit (windowRect.getX(), juce::jmax (windowRect.getX(), windowRect.getRight() - getWidth()), x);
        y = windowRect.getY();
    }
    else
    {
        y = juce::jlimit (windowRect.getY(), juce::jmax (windowRect.getY(), windowRect.getBottom() - getHeight()), y);
        x = windowRect.getX();
    }
    setTopLeftPosition (x, y);
    postChangeCode (1);
}

void ZOLWindowSplitter::mouseUp (const juce::MouseEvent&)
{
    repaint();
    if (dragging)
    {
        dragging = false;
        postChangeCode (2);
    }
}

juce::MouseCursor ZOLWindowSplitter::getMouseCursor()
{
    if (mouseOver && isEnabled() && resizeCursorAllowed)
        return vertical ? juce::MouseCursor::LeftRightResizeCursor : juce::MouseCursor::UpDownResizeCursor;
    return juce::MouseCursor::ParentCursor;
}

void ZOLWindowSplitter::paint (juce::Graphics& g)
{
    auto w = (float) getWidth(), h = (float) getHeight();
    g.fillAll (backgroundColour);

    g.setColour (stripeColour);
    if (vertical)
        g.fillRect (w / 2 - (float) stripeWidth / 2, 0.0f, (float) stripeWidth, h);
    else
        g.fillRect (0.0f, h / 2 - (float) stripeWidth / 2, w, (float) stripeWidth);

    g.setColour (dotColour);
    g.fillEllipse (juce::jmax (0.0f, w / 2 - (float) dotWidth / 2), juce::jmax (0.0f, h / 2 - (float) dotHeight / 2),
                   (float) dotWidth, (float) dotHeight);
}
