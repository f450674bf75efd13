#include "app/MainAppWindow.h"

namespace
{
class EmptyContent : public juce::Component
{
public:
    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xff202020)); }
};
} // namespace

MainAppWindow::MainAppWindow (const juce::String& title)
    : juce::DocumentWindow (title, juce::Colour (0xff202020), juce::DocumentWindow::allButtons)
{
    setUsingNativeTitleBar (true);
    auto* content = new EmptyContent();
    content->setSize (contentWidth, contentHeight);
    setContentOwned (content, true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());
}

MainAppWindow::~MainAppWindow() = default;

void MainAppWindow::closeButtonPressed()
{
    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}
