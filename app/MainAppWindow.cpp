#include "app/MainAppWindow.h"

#include "app/ProgramUpdateCheck.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelGlobalConfiguration.h"
#include "skin/ZOLDrawableButton.h"
#include "skin/ZolLookAndFeel.h"

namespace
{
const juce::Colour background (0xff1c1d20);

class EmptyContent : public juce::Component
{
public:
    void paint (juce::Graphics& g) override { g.fillAll (background); }
};
} // namespace

MainAppWindow::MainAppWindow (const juce::String& title, const SkinManager* skinDocument)
    : juce::DocumentWindow (title, background, juce::DocumentWindow::allButtons)
    , skin (skinDocument)
{
    setUsingNativeTitleBar (false);

    auto* zolLook = getZolLookAndFeel();
    if (zolLook != nullptr && zolLook->getTitleBarHeight() > 0)
        setTitleBarHeight (zolLook->getTitleBarHeight());

    auto* content = new EmptyContent();
    content->setSize (contentWidth, contentHeight);
    setContentOwned (content, true);

    // The window keeps the content's design ratio between half and twice its size.
    auto frame = getBorderThickness();
    constrainer.designWidth = contentWidth;
    constrainer.designHeight = contentHeight;
    constrainer.borderTop = frame.getTop();
    constrainer.borderLeft = frame.getLeft();
    constrainer.borderBottom = frame.getBottom();
    constrainer.borderRight = frame.getRight();
    constrainer.titleBarHeight = getTitleBarHeight();
    constrainer.setSizeLimits (
        contentWidth / 2 + frame.getLeftAndRight(), contentHeight / 2 + frame.getTopAndBottom() + getTitleBarHeight(),
        contentWidth * 2 + frame.getLeftAndRight(), contentHeight * 2 + frame.getTopAndBottom() + getTitleBarHeight());
    setConstrainer (&constrainer);
    setResizable (true, false);
    centreWithSize (getWidth(), getHeight());

    if (zolLook != nullptr)
    {
        for (auto* button :
             { (juce::Component*) zolLook->getSettingsButton(), (juce::Component*) zolLook->getNetbookButton(),
               (juce::Component*) zolLook->getPauseButton() })
        {
            if (button != nullptr)
            {
                juce::Component::addChildComponent (button);
                titleBarButtons.add (button);
            }
        }

        if (auto* netbook = zolLook->getNetbookButton())
        {
            netbook->setVisible (true);
            netbook->onClick = [this]
            {
                auto frameNow = getBorderThickness();
                setSize (contentWidth + frameNow.getLeftAndRight(),
                         contentHeight + frameNow.getTopAndBottom() + getTitleBarHeight());
            };
        }
    }
    showConnection (false);

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

    // The title-bar buttons belong to the look-and-feel.
    for (auto& button : titleBarButtons)
        if (button != nullptr)
        {
            if (auto* drawable = dynamic_cast<juce::Button*> (button.getComponent()))
                drawable->onClick = nullptr;
            removeChildComponent (button);
        }
}

ZolLookAndFeel* MainAppWindow::getZolLookAndFeel()
{
    return dynamic_cast<ZolLookAndFeel*> (&getLookAndFeel());
}

double MainAppWindow::getScale() const
{
    auto* content = getContentComponent();
    return content != nullptr ? (double) content->getWidth() / (double) contentWidth : 1.0;
}

void MainAppWindow::resized()
{
    juce::DocumentWindow::resized();

    if (auto* zolLook = getZolLookAndFeel())
        if (auto* netbook = zolLook->getNetbookButton())
            netbook->setTopLeftPosition (getTitleBarArea().getWidth() + zolLook->getNetbookRightOffset(),
                                         netbook->getY());
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
        showConnection (report.linkUp);

    // While the link is down and nothing runs, only the port retry (once a
    // second) needs the timer.
    const auto next = linkTicker->getNextTickIntervalMs (tickIntervalMs);

    if (isTimerRunning() && next != getTimerInterval())
        startTimer (next);
}

void MainAppWindow::showConnection (bool connected)
{
    shownConnected = connected;

    if (auto* zolLook = getZolLookAndFeel())
        zolLook->setTitlebarConnected (this, connected);
    else
        repaint();
}

void MainAppWindow::closeButtonPressed()
{
    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}
