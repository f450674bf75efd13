#include "skin/window/ZolBoundsConstrainer.h"

void ZolBoundsConstrainer::checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                                        const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                                        bool isStretchingBottom, bool isStretchingRight)
{
    ComponentBoundsConstrainer::checkBounds (bounds, previousBounds, limits, isStretchingTop, isStretchingLeft,
                                             isStretchingBottom, isStretchingRight);

    if (designWidth <= 0 || designHeight <= 0)
        return;

    const double ratio = (double) designWidth / (double) designHeight;
    const int frameWidth = borderLeft + borderRight;
    const int frameHeight = borderTop + borderBottom + titleBarHeight;

    auto contentHeight = juce::jmax (0, bounds.getHeight() - frameHeight);
    auto contentWidth = juce::jmax (0, bounds.getWidth() - frameWidth);

    if (contentHeight > 0 && (double) contentWidth / (double) contentHeight == ratio)
        return;

    auto width = frameWidth + juce::roundToInt (contentHeight * ratio);

    // The width that follows from the height must respect the size limits
    // too; when it does not, it decides and the height follows instead.
    auto limitedWidth = juce::jlimit (getMinimumWidth(), getMaximumWidth(), width);
    if (limitedWidth != width && limitedWidth > frameWidth)
    {
        width = limitedWidth;
        contentHeight = juce::roundToInt ((width - frameWidth) / ratio);
    }

    bounds.setSize (width, frameHeight + contentHeight);
}
