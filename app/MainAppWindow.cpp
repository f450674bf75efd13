#include "app/MainAppWindow.h"

#include "app/ProgramUpdateCheck.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelGlobalConfiguration.h"

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
    , baseTitle (title)
{
    setUsingNativeTitleBar (true);
    auto* content = new EmptyContent();
    content->setSize (contentWidth, contentHeight);
    setContentOwned (content, true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());

    auto* link = ZOLMidiProcessing::getInstance();
    auto* presetManager = PresetManager::getInstance();

    if (link != nullptr && presetManager != nullptr)
    {
        linkTicker = std::make_unique<LinkTicker> (*link, *presetManager, KestrelGlobalConfiguration::getInstance());
        // A request started while the timer ticks slowly is taken up at once.
        presetManager->setRequestStartedCallback (
            [this]
            {
                if (isTimerRunning() && getTimerInterval() != tickIntervalMs)
                    startTimer (tickIntervalMs);
            });
        startTimer (tickIntervalMs);
    }

    if (auto* configuration = KestrelGlobalConfiguration::getInstance())
        updateCheck = std::make_unique<ProgramUpdateCheck> (*configuration, this, [this] { closeButtonPressed(); });

    runUpdateCheck (false);
}

MainAppWindow::~MainAppWindow()
{
    stopTimer();

    if (linkTicker != nullptr)
        if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
            presetManager->setRequestStartedCallback ({});

    updateCheck.reset();
}

void MainAppWindow::runUpdateCheck (bool manual)
{
    if (updateCheck != nullptr)
        updateCheck->run (manual);
}

void MainAppWindow::tick()
{
    if (linkTicker == nullptr)
        return;

    auto report = linkTicker->tick();

    if (report.linkUp != shownConnected)
        updateTitle (report.linkUp);

    // While the link is down and nothing runs, only the port retry (once a
    // second) needs the timer.
    const auto next = linkTicker->getNextTickIntervalMs (tickIntervalMs);

    if (isTimerRunning() && next != getTimerInterval())
        startTimer (next);
}

void MainAppWindow::updateTitle (bool connected)
{
    shownConnected = connected;
    setName (connected ? baseTitle + " Connected!" : baseTitle);
}

void MainAppWindow::closeButtonPressed()
{
    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}
