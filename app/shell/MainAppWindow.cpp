#include "app/shell/MainAppWindow.h"

#include "app/shell/ControlUnitContent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/KestrelMenuBarModel.h"
#include "app/shell/PreferencesDialogContent.h"
#include "app/dialogs/ModifierDlgContent.h"
#include "app/dialogs/PausedCommContent.h"
#include "app/update/ProgramUpdateCheck.h"
#include "app/dialogs/SequencerContent.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/Clock.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/window/GenericDialogContent.h"
#include "skin/engine/PaintOnceBeforeShown.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/window/ZolLookAndFeel.h"

namespace
{
const juce::Colour background (0xff1c1d20);

// A message of the main window, drawn at the window's own scale: a window
// shrunk to fit the screen shows its messages as small as its own text. It
// reaches the desktop only once it has its size and place (see show).
class NoticeWindow : public juce::DialogWindow
{
public:
    NoticeWindow (const juce::String& title, juce::Colour colour, float windowScale)
        : juce::DialogWindow (title, colour, true, false, windowScale)
    {
    }

    // As the framework's own dialog: closing hides it, which ends it.
    void closeButtonPressed() override { setVisible (false); }

    // What the window tells, for knowing the same message told twice.
    juce::String told;
};

juce::String describeTold (const Notice& notice)
{
    return juce::String ((int) notice.icon) + "\n" + notice.title + "\n" + notice.message;
}

NoticeWindow* findShownNotice (const juce::String& told)
{
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* shown = dynamic_cast<NoticeWindow*> (desktop.getComponent (i));
            shown != nullptr && shown->isVisible() && shown->told == told)
            return shown;

    return nullptr;
}
} // namespace

MainAppWindow::MainAppWindow (const juce::String& title, const SkinManager* skinDocument)
    : juce::DocumentWindow (title, background, juce::DocumentWindow::allButtons, false)
    , skin (skinDocument)
{
    setUsingNativeTitleBar (false);

    auto* zolLook = getZolLookAndFeel();
    if (zolLook != nullptr && zolLook->getTitleBarHeight() > 0)
        setTitleBarHeight (zolLook->getTitleBarHeight());

    auto* content = new KestrelContentComponent (this, skin);
    setContentOwned (content, true);
    content->createPanes();

    // Notices are told in the program's own dialog; those left to the
    // framework's message box stand over this window too, unless they belong
    // to another.
    UserNotifier::setPresenter (
        [safeThis = juce::Component::SafePointer<MainAppWindow> (this)] (Notice& notice)
        {
            if (safeThis == nullptr || safeThis->showMessageDialog (notice))
                return safeThis != nullptr;

            if (notice.over == nullptr || ! notice.over->isShowing())
                notice.over = safeThis.getComponent();
            return false;
        });

    // What the grid selects, the effect editor shows.
    if (auto* grid = dynamic_cast<GridUnitContent*> (content->getPane (ContentPane::grid)))
    {
        juce::Component::SafePointer<EffectEditorContent> editor (
            dynamic_cast<EffectEditorContent*> (content->getPane (ContentPane::effectEditor)));
        grid->onSelectionChanged = [editor] (int blockId, int state)
        {
            if (editor != nullptr)
                editor->showGridSelection (state, blockId);
        };
    }

    // The commands, their keys and the main menu bar.
    if (auto* app = KestrelEditApplication::getApp())
        commandManager = &app->getCommandManager();

    if (commandManager == nullptr)
    {
        ownCommandManager = std::make_unique<juce::ApplicationCommandManager>();
        commandManager = ownCommandManager.get();
    }

    if (auto* overlay = content->getPaneAs<PausedCommContent> (ContentPane::pauseOverlay))
        overlay->setCommandManager (commandManager);

    auto* target = KestrelCommandTarget::getInstance();

    if (target != nullptr)
    {
        target->setMainWindow (this);
        commandManager->registerAllCommandsForTarget (target);
        commandManager->setFirstCommandTarget (target);
        addKeyListener (commandManager->getKeyMappings());
    }

    menuBarModel = std::make_unique<KestrelMenuBarModel> (target, commandManager);
    menuBarModel->setApplicationCommandManagerToWatch (commandManager);
    menuBar = std::make_unique<juce::MenuBarComponent> (menuBarModel.get());
    content->addAndMakeVisible (*menuBar);

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
    fitOnScreen();
    centreWithSize (getWidth(), getHeight());

    // Its native window is made only now, at its size and place, as a box's
    // is: a window manager may take the place a window first comes with.
    addToDesktop();
    paintOnceBeforeShown (*this);

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
            netbook->onClick = [this] { showNormalSize(); };
        }

        // Shown while disconnected: the preferences, on the page where the MIDI ports are chosen.
        if (auto* settings = zolLook->getSettingsButton())
            settings->onClick = [this]
            {
                if (! KestrelCommandTarget::getInstance()->invokeCommand (PreferencesDialogContent::preferencesCommandId))
                    return;
                if (auto* shownContent = getContent())
                    if (auto* preferences = shownContent->getPaneAs<PreferencesDialogContent> (ContentPane::preferences))
                        preferences->showPage (PreferencesDialogContent::Page::general);
            };

        // Shown while connected: pauses or resumes communication.
        if (auto* pause = zolLook->getPauseButton())
            pause->onClick = [] { KestrelCommandTarget::getInstance()->invokeCommand (1404); };
    }
    showConnection (false);
    showUnitState (false);

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

        if (target != nullptr)
            presetManager->addChangeListener (target);

        waker.onWake = [this] { wake(); };
        link->setActivityCallback ([w = &waker] { w->triggerAsyncUpdate(); });
        startTimer (tickIntervalMs);
    }

    if (auto* configuration = KestrelGlobalConfiguration::getInstance())
        updateCheck = std::make_unique<ProgramUpdateCheck> (
            *configuration, this, [this] { closeButtonPressed(); }, skin);

    runUpdateCheck (false);
}

MainAppWindow::~MainAppWindow()
{
    stopTimer();
    UserNotifier::setPresenter ({});

    if (linkTicker != nullptr)
        if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
            link->setActivityCallback ({});

    waker.cancelPendingUpdate();

    auto* target = KestrelCommandTarget::getInstanceWithoutCreating();

    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
    {
        if (linkTicker != nullptr)
            presetManager->setRequestStartedCallback ({});

        if (target != nullptr)
            presetManager->removeChangeListener (target);
    }

    if (target != nullptr)
    {
        if (target->getMainWindow() == this)
            target->setMainWindow (nullptr);

        if (commandManager->getFirstCommandTarget (0) == target)
            commandManager->setFirstCommandTarget (nullptr);
    }

    removeKeyListener (commandManager->getKeyMappings());
    menuBar.reset();
    menuBarModel.reset();
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

bool MainAppWindow::showMessageDialog (const Notice& notice)
{
    auto* look = getZolLookAndFeel();

    if (look == nullptr || ! look->getGenericDialogStyle().valid)
        return false;

    // A question taken back before its box came up is not shown.
    auto withdrawal = notice.withdrawal;
    if (withdrawal != nullptr && withdrawal->isWithdrawn())
        return true;

    // A message that is still open is not told a second time (a question is:
    // its answer is awaited); the open one comes to the front instead.
    const auto told = describeTold (notice);

    if (notice.buttons == Notice::Buttons::ok && ! notice.onResult)
        if (auto* shown = findShownNotice (told))
        {
            shown->toFront (true);
            return true;
        }

    auto body = std::make_unique<GenericDialogContent> (look->getGenericDialogStyle());
    body->message = notice.message;
    body->logoMode = notice.icon == Notice::Icon::logo;
    // An information box shows no icon.
    body->iconType = notice.icon == Notice::Icon::error      ? 1
                     : notice.icon == Notice::Icon::question ? 3
                     : notice.icon == Notice::Icon::warning  ? 5
                                                             : 0;

    // A question offers its answers; closing the window any other way
    // declines (result 0), as the caller's Cancel or No.
    switch (notice.buttons)
    {
        case Notice::Buttons::ok: break;
        case Notice::Buttons::okCancel: body->setAnswers ({ { "OK", 1 }, { "Cancel", 0 } }); break;
        case Notice::Buttons::yesNo: body->setAnswers ({ { "Yes", 1 }, { "No", 0 } }); break;
        case Notice::Buttons::yesNoCancel: body->setAnswers ({ { "Yes", 1 }, { "No", 2 }, { "Cancel", 0 } }); break;
    }
    body->updateLayout();

    const auto size = body->getBounds();
    auto* dialog = new NoticeWindow (notice.title, look->getGenericDialogStyle().backgroundColour, (float) getScale());
    dialog->told = told;
    dialog->setUsingNativeTitleBar (false);
    dialog->setContentOwned (body.release(), true);
    dialog->setResizable (false, false);

    // The skin's title bar, tall enough for its close button and the title.
    if (look->getTitleBarHeight() > 0)
    {
        dialog->setTitleBarHeight (look->getTitleBarHeight());
        dialog->setContentComponentSize (size.getWidth(), size.getHeight());
    }

    // Centred over the window or dialog it belongs to, at its final size,
    // before its native window is made: a window manager takes the place a
    // window first comes with, and may keep it whatever is asked later.
    auto* over = notice.over != nullptr && notice.over->isShowing() ? notice.over.get() : this;
    dialog->centreAroundComponent (over, dialog->getWidth(), dialog->getHeight());
    dialog->addToDesktop();
    paintOnceBeforeShown (*dialog);
    dialog->enterModalState (true, nullptr, true);
    // In front of the window it speaks for, wherever the window manager put it.
    dialog->toFront (true);

    // Keys go to the dialog's content, which closes on Return (its first
    // answer, or OK when it has none) as well as on Escape.
    if (auto* shown = dialog->getContentComponent(); shown != nullptr && shown->isShowing())
        shown->grabKeyboardFocus();

    if (auto callback = notice.onResult)
    {
        const bool asks = notice.buttons != Notice::Buttons::ok;
        juce::ModalComponentManager::getInstance()->attachCallback (
            dialog, juce::ModalCallbackFunction::create (
                        [callback, asks, withdrawal] (int result)
                        {
                            if (withdrawal == nullptr || ! withdrawal->isWithdrawn())
                                callback (asks ? result : 1);
                        }));
    }

    // Taken back, the box closes unanswered.
    if (withdrawal != nullptr)
        withdrawal->setCloser (
            [safeDialog = juce::Component::SafePointer<juce::Component> (dialog)]
            {
                if (safeDialog != nullptr)
                    safeDialog->exitModalState (0);
            });

    return true;
}

ZolLookAndFeel* MainAppWindow::getZolLookAndFeel()
{
    return dynamic_cast<ZolLookAndFeel*> (&getLookAndFeel());
}

KestrelContentComponent* MainAppWindow::getContent() const
{
    return dynamic_cast<KestrelContentComponent*> (getContentComponent());
}

double MainAppWindow::getScale() const
{
    auto* content = getContentComponent();
    return content != nullptr ? (double) content->getWidth() / (double) contentWidth : 1.0;
}

void MainAppWindow::placeMenuBar()
{
    if (menuBar == nullptr)
        return;

    juce::Rectangle<int> area (0, 0, contentWidth, 24);

    if (auto* zolLook = getZolLookAndFeel())
        if (! zolLook->getMainMenuBarStyle().getBounds().isEmpty())
            area = zolLook->getMainMenuBarStyle().getBounds();

    // Scaled as a whole, like the panes, so that the menus it opens follow
    // the window's scale too.
    menuBar->setBounds (area);
    menuBar->setTransform (juce::AffineTransform::scale ((float) getScale()));
}

void MainAppWindow::resized()
{
    juce::DocumentWindow::resized();
    placeMenuBar();

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

    if (auto* content = getContent())
    {
        content->tickDialogs();

        // The effect editor's own requests and the unit's live reports.
        if (auto* editor = dynamic_cast<EffectEditorContent*> (content->getEffectEditor()))
            editor->tickLiveUpdates();
    }

    if (report.linkUp != shownConnected)
    {
        showConnection (report.linkUp);

        if (report.linkUp && ! closing)
            if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
            {
                // Outputs left muted when the link dropped are turned on first.
                presetManager->requestOutputsBackOn();
                presetManager->getRequest (queryDeviceVersion).start();
            }

        commandManager->commandStatusChanged();
        showUnitState (report.linkUp);
    }

    if (auto* panel = getContent() != nullptr ? getContent()->getFrontPanel() : nullptr)
        if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
            panel->showActivity (report.inputActivity, report.outputActivity,
                                 report.tempoChanged && ! linkTicker->isPaused(),
                                 report.linkUp && presetManager->isPresetModified());

    if (closing)
    {
        auto* presetManager = PresetManager::getInstanceWithoutCreating();

        if (presetManager != nullptr)
            turnOutputsOnBeforeGoodbye (*presetManager);
        const bool ended =
            presetManager == nullptr || ! presetManager->getRequest (editorDisconnect).isRunning() || ! report.linkUp;

        if (ended || Clock::elapsedSince (closeStartedMs) >= disconnectTimeoutMs)
        {
            finishClosing();
            return;
        }
    }

    // While nothing runs the timer sleeps (see LinkTicker).
    const auto next = linkTicker->getNextTickIntervalMs (tickIntervalMs);

    if (isTimerRunning() && next != getTimerInterval())
        startTimer (next);
}

void MainAppWindow::wake()
{
    if (isTimerRunning() && getTimerInterval() != tickIntervalMs)
        tick();
}

void MainAppWindow::showConnection (bool connected)
{
    shownConnected = connected;

    if (auto* zolLook = getZolLookAndFeel())
        zolLook->setTitlebarConnected (this, connected);
    else
        repaint();
}

void MainAppWindow::fitOnScreen()
{
    // A large desktop scale leaves less room than the design size needs: the
    // window shrinks, keeping its ratio, as far as its smallest size.
    auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();

    if (display == nullptr)
        return;

    const auto area = display->userArea;
    const auto frame = getBorderThickness();
    const auto spareWidth = area.getWidth() - frame.getLeftAndRight();
    const auto spareHeight = area.getHeight() - frame.getTopAndBottom() - getTitleBarHeight();
    const auto scale = juce::jmax (0.5, juce::jmin (1.0, spareWidth / (double) contentWidth,
                                                    spareHeight / (double) contentHeight));

    if (scale < 1.0)
        setSize ((int) (contentWidth * scale) + frame.getLeftAndRight(),
                 (int) (contentHeight * scale) + frame.getTopAndBottom() + getTitleBarHeight());
}

void MainAppWindow::showUnitState (bool linkUp)
{
    everConnected = everConnected || linkUp;

    if (auto* content = getContent())
    {
        if (auto* panel = content->getFrontPanel())
            panel->showLinkState (linkUp);

        using State = UnitAbsenceNotice::State;
        content->showUnitState (linkUp ? State::connected : (everConnected ? State::lost : State::notFound));
    }
}

void MainAppWindow::showNormalSize()
{
    setFullScreen (false);
    auto frame = getBorderThickness();
    setSize (contentWidth + frame.getLeftAndRight(), contentHeight + frame.getTopAndBottom() + getTitleBarHeight());
}

void MainAppWindow::setCommunicationPaused (bool shouldPause)
{
    if (linkTicker == nullptr || linkTicker->isPaused() == shouldPause)
        return;

    linkTicker->setPaused (shouldPause);

    if (auto* content = getContent())
        content->showPauseOverlay (shouldPause);

    // What changed on the unit meanwhile is read again.
    if (! shouldPause && linkTicker->isLinkUp())
        if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
            presetManager->requestResyncPreset();

    commandManager->commandStatusChanged();

    if (auto* content = getContent())
    {
        if (auto* panel = content->getFrontPanel())
            panel->setControlsEnabled (! shouldPause && linkTicker->isLinkUp());
        if (auto* modifier = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog))
            modifier->setCommunicationPaused (shouldPause);
        if (auto* sequencer = content->getPaneAs<SequencerContent> (ContentPane::sequencer))
            sequencer->setCommunicationPaused (shouldPause);
        if (auto* editor = content->getPaneAs<EffectEditorContent> (ContentPane::effectEditor))
            editor->setControlsEnabled (! shouldPause);
    }
}

void MainAppWindow::forgetPorts()
{
    if (linkTicker != nullptr)
        linkTicker->forgetPorts();
    else if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

void MainAppWindow::closeButtonPressed()
{
    if (closing)
        return;

    if (auto* content = getContent())
    {
        // The librarian's transfers must end first: the user closes it.
        if (auto* librarian = content->getPane (ContentPane::librarian); librarian != nullptr && librarian->isVisible())
        {
            UserNotifier::warn (LanguageStore::textOr (PROMPT_APP_EXIT_MANAGER_OPEN, closeLibrarianFirstText));
            return;
        }

        content->closeAllDialogs();
    }

    auto* presetManager = PresetManager::getInstanceWithoutCreating();

    if (linkTicker != nullptr && linkTicker->isLinkUp() && presetManager != nullptr)
    {
        // The unit is told that the editor goes; the timer closes the window
        // once that has ended.
        closing = true;
        closeStartedMs = Clock::nowMs();
        presetManager->endForClose();
        presetManager->getRequest (editorDisconnect).start();
        outputsAskedOn = false;
        turnOutputsOnBeforeGoodbye (*presetManager);

        if (! isTimerRunning() || getTimerInterval() != tickIntervalMs)
            startTimer (tickIntervalMs);
        return;
    }

    finishClosing();
}

void MainAppWindow::turnOutputsOnBeforeGoodbye (PresetManager& presetManager)
{
    // A request still ending turns on the outputs it muted itself; a request
    // cancelled between its mute and its unmute left them muted: they are
    // turned on before the editor goes, once.
    if (outputsAskedOn || presetManager.isAnyRequestRunningBut ({ editorDisconnect })
        || presetManager.getRequest (editorDisconnect).getCurrentState() != ZolStateMachine::stepBegin)
        return;

    outputsAskedOn = true;
    presetManager.requestOutputsBackOn();
}

void MainAppWindow::finishClosing()
{
    closing = false;

    if (auto* app = juce::JUCEApplicationBase::getInstance())
        app->systemRequestedQuit();
}
