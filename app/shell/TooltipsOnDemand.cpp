#include "TooltipsOnDemand.h"

TooltipsOnDemand::TooltipsOnDemand (int millisecondsBeforeTipAppears)
    : delayMs (millisecondsBeforeTipAppears)
{
    watchOurWindows();
    juce::Desktop::getInstance().addFocusChangeListener (this);
}

TooltipsOnDemand::~TooltipsOnDemand()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);

    for (auto& window : watched)
        if (window != nullptr)
            window->removeMouseListener (this);
}

void TooltipsOnDemand::wake()
{
    if (tooltipWindow == nullptr)
        tooltipWindow = std::make_unique<juce::TooltipWindow> (nullptr, delayMs);

    // Past the delay and a few of the tooltip window's polls, a tip that was
    // due has appeared.
    startTimer (delayMs + 1000);
}

void TooltipsOnDemand::mouseExit (const juce::MouseEvent&)
{
    watchOurWindows();
    wake();
}

void TooltipsOnDemand::timerCallback()
{
    // A tip shown stays until the pointer moves, clicks or leaves; the tooltip
    // window hides it then.
    if (tooltipWindow != nullptr && tooltipWindow->isVisible())
        return;

    stopTimer();
    tooltipWindow.reset();
}

void TooltipsOnDemand::watchOurWindows()
{
    watched.removeIf ([] (const auto& window) { return window == nullptr; });
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
    {
        auto* window = desktop.getComponent (i);

        if (window != tooltipWindow.get() && ! watched.contains (window))
        {
            window->addMouseListener (this, true);
            watched.add (window);
        }
    }
}
