#include "app/shell/KestrelContentComponent.h"

#include "app/shell/DialogCommands.h"
#include "app/shell/ControlUnitContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/MainAppWindow.h"
#include "app/dialogs/TunerContent.h"
#include "app/presetlists/PresetListCommands.h"
#include "device/engines/PresetManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLProgressBar.h"

#include <cmath>

namespace
{
constexpr int pauseRefusedMessageId = 89;

using P = ContentPane;

// The orders in which panes are rescaled, searched for a showing dialog and
// asked to close.
constexpr ContentPane rescaleOrder[] = { P::frontPanel,   P::grid,         P::effectEditor, P::presetPicker,
                                         P::modifierDialog, P::preferences, P::tuner,     P::blockLibraryName,
                                         P::librarian,    P::pauseOverlay, P::sequencer,    P::browserChooser,
                                         P::cabEasySetup, P::bundleSave,   P::rawPreset };

constexpr ContentPane dialogSearchOrder[] = { P::presetPicker, P::modifierDialog, P::preferences,  P::tuner,
                                              P::blockLibraryName, P::librarian,  P::sequencer,    P::browserChooser,
                                              P::cabEasySetup, P::bundleSave,     P::rawPreset };

constexpr ContentPane dialogCloseOrder[] = { P::presetPicker, P::modifierDialog, P::preferences,  P::tuner,
                                             P::blockLibraryName, P::librarian,  P::sequencer,    P::browserChooser,
                                             P::cabEasySetup, P::bundleSave,     P::rawPreset,    P::exchangeWindow };

// Who hears whom: each broadcaster pane with the panes that listen to it.
struct PaneWiring
{
    ContentPane broadcaster;
    std::initializer_list<ContentPane> listeners;
};

const PaneWiring paneWiring[] = {
    { P::grid, { P::frontPanel, P::effectEditor } },
    { P::modifierDialog, { P::effectEditor } },
    { P::preferences, { P::effectEditor } },
    { P::tuner, { P::effectEditor } },
    { P::blockLibraryName, { P::effectEditor } },
    { P::sequencer, { P::effectEditor } },
    { P::librarian, { P::grid } },
    { P::cabEasySetup, { P::librarian } },
    { P::bundleSave, { P::frontPanel } },
    { P::browserChooser, { P::librarian } },
    { P::rawPreset, { P::effectEditor } },
};

// The panes that hear the main window's change codes and the preset manager's event codes.
constexpr ContentPane windowListeners[] = { P::frontPanel, P::grid, P::effectEditor, P::modifierDialog,
                                            P::librarian, P::preferences, P::sequencer };
constexpr ContentPane presetListeners[] = { P::frontPanel, P::grid, P::effectEditor, P::modifierDialog,
                                            P::librarian, P::preferences };

bool startsVisible (ContentPane pane)
{
    return pane == P::frontPanel || pane == P::grid || pane == P::effectEditor;
}

std::array<ContentPaneCreator, contentPaneCount>& paneCreators()
{
    static std::array<ContentPaneCreator, contentPaneCount> creators;
    return creators;
}
} // namespace

KestrelContentComponent::KestrelContentComponent (MainAppWindow* ownerWindow, const SkinManager* skinDocument)
    : owner (ownerWindow)
    , skin (skinDocument)
{
    setOpaque (true);
    setSize (designWidth, designHeight);
    loadBubbleMessageSkin();
    loadColorFilterMenuSkin();

    addChildComponent (bubble);
    bubble.setAlwaysOnTop (true);

    progressBar = std::make_unique<ZOLProgressBar>();
    progressBar->setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0x22909090));
    progressBar->setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xff222222));
    defaultProgressBounds = { (int) (designWidth * 0.125), 623, (int) (designWidth * 0.75), 20 };
    addChildComponent (*progressBar);
    setProgressBarBounds (defaultProgressBounds);

    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
        presetManager->setWaitIndicator (this);

    dialogCommands = std::make_unique<DialogCommands> (*this, owner);
}

KestrelContentComponent::~KestrelContentComponent()
{
    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
        if (presetManager->getWaitIndicator() == this)
            presetManager->setWaitIndicator (nullptr);

    dialogCommands.reset();
    progressBar.reset();
    attachPresetPicker (false);
    connectPanes (false);

    // Deleted in the reverse of their creation order.
    for (auto it = panes.rbegin(); it != panes.rend(); ++it)
        it->reset();
}

void KestrelContentComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff262626));
}

double KestrelContentComponent::getScale() const
{
    return owner != nullptr ? owner->getScale() : (double) getWidth() / (double) designWidth;
}

void KestrelContentComponent::resized()
{
    const auto scale = getScale();

    if (auto* app = KestrelEditApplication::getApp())
        app->setCurrentScale (scale);

    for (auto pane : rescaleOrder)
        scalePane (getPane (pane), scale);

    updateProgressBarBounds();
    placeAbsenceNotice();
}

void KestrelContentComponent::showUnitState (UnitAbsenceNotice::State state)
{
    const bool connected = state == UnitAbsenceNotice::State::connected;

    for (auto pane : { ContentPane::grid, ContentPane::effectEditor })
        if (auto* component = getPane (pane))
        {
            component->setEnabled (connected);
            component->setAlpha (connected ? 1.0f : 0.45f);
        }

    if (absenceNotice.getParentComponent() != this)
        addChildComponent (absenceNotice);

    absenceNotice.setState (state);
    placeAbsenceNotice();

    if (! connected)
        absenceNotice.toFront (false);
}

void KestrelContentComponent::placeAbsenceNotice()
{
    // Centred over the grid, or over the content without one.
    auto area = getLocalBounds();

    if (auto* grid = getPane (ContentPane::grid); grid != nullptr && ! grid->getBounds().isEmpty())
        area = grid->getBoundsInParent(); // where the scaled grid shows

    const auto scale = getScale();
    absenceNotice.setBounds (area.withSizeKeepingCentre (juce::roundToInt (560 * scale), juce::roundToInt (120 * scale)));
}

void KestrelContentComponent::setProgressBarBounds (juce::Rectangle<int> bounds)
{
    progressBounds = bounds;
    updateProgressBarBounds();
}

void KestrelContentComponent::updateProgressBarBounds()
{
    if (progressBar == nullptr)
        return;

    const auto scale = (float) getScale();
    progressBar->setBounds (progressBounds.toFloat().transformedBy (juce::AffineTransform::scale (scale)).toNearestInt());
}

void KestrelContentComponent::fitProgressBarInto (juce::Rectangle<int> area)
{
    const auto width = juce::jmin (area.getWidth(), defaultProgressBounds.getWidth());
    const auto height = juce::jmin (area.getHeight(), defaultProgressBounds.getHeight());
    // Halves go to the even neighbour (the default rounding mode).
    const auto offset = (int) std::nearbyint (area.getHeight() / 2.0 - height / 2.0);
    setProgressBarBounds ({ area.getX(), juce::jmax (area.getY(), area.getY() + offset), width, height });
}

void KestrelContentComponent::loadBubbleMessageSkin()
{
    bubbleFont = juce::Font (bubbleFontHeight);

    auto* section = skin != nullptr ? skin->getSection ("PauseModeBubbleMsgSkin") : nullptr;

    if (section == nullptr)
        return;

    bubbleFontHeight = (float) section->getDoubleAttribute ("fontSize", bubbleFontHeight);
    bubbleFont = SkinAttributes::font (*skin, *section, "font", bubbleFontHeight);

    if (section->getIntAttribute ("fontBold", 0) != 0)
        bubbleFont = bubbleFont.boldened();

    bubbleTextColour = SkinAttributes::colourOr (*section, "fontColor", bubbleTextColour);
    bubbleBackgroundColour = SkinAttributes::colourOr (*section, "backgroundColor", bubbleBackgroundColour);
    bubblePopTimeMs = section->getIntAttribute ("bubblePopTime", 0);
}

void KestrelContentComponent::showBubbleMessage (const juce::String& text, int milliseconds)
{
    showBubbleAt (text, milliseconds, { getWidth() / 2, 0, 1, 1 }, juce::BubbleComponent::below);
}

void KestrelContentComponent::tellFileWritten (const juce::String& what, const juce::File& file)
{
    showBubbleAt (fileWrittenText (what, file), fileWrittenMessageMs, { getWidth() / 2, getHeight() - 1, 1, 1 },
                  juce::BubbleComponent::above);
}

void KestrelContentComponent::showBubbleAt (const juce::String& text, int milliseconds, juce::Rectangle<int> target,
                                            int placement)
{
    const auto time = milliseconds >= 0 ? milliseconds : bubblePopTimeMs;

    juce::AttributedString message;
    message.append (text, bubbleFont.withHeight (bubbleFontHeight * (float) getScale()), bubbleTextColour);

    bubble.setColour (juce::BubbleComponent::backgroundColourId, bubbleBackgroundColour);
    bubble.setAllowedPlacement (placement);
    bubble.showAt (target, message, time, true, false);
    shownBubbleText = text;
}

void KestrelContentComponent::showPauseRefusedMessage()
{
    showBubbleMessage (LanguageStore::textOr (pauseRefusedMessageId), -1);
}

juce::Component* KestrelContentComponent::getShowingDialog (const juce::Component* apartFrom) const
{
    for (auto pane : dialogSearchOrder)
        if (auto* dialog = getPane (pane); dialog != nullptr && dialog != apartFrom && dialog->isVisible())
            return dialog;

    return nullptr;
}

juce::Component* KestrelContentComponent::getDialogOverHomeScreen() const
{
    auto* sequencer = getPane (ContentPane::sequencer);
    const bool embedded = sequencer != nullptr && sequencer->getParentComponent() != this;
    return getShowingDialog (embedded ? sequencer : nullptr);
}

void KestrelContentComponent::closeAllDialogs()
{
    for (auto pane : dialogCloseOrder)
    {
        auto* dialog = getPane (pane);

        if (dialog == nullptr || ! dialog->isVisible())
            continue;

        if (auto* closable = dynamic_cast<ContentDialog*> (dialog))
            closable->closeDialog();
        else
            dialog->setVisible (false);
    }
}

void KestrelContentComponent::showPauseOverlay (bool paused)
{
    if (auto* overlay = getPane (ContentPane::pauseOverlay))
    {
        overlay->setVisible (paused);

        if (paused)
            overlay->toFront (true);
    }
}

void KestrelContentComponent::tickDialogs()
{
    if (auto* tuner = getPaneAs<TunerContent> (ContentPane::tuner))
        tuner->update();
}

void KestrelContentComponent::setPaneCreator (ContentPane pane, ContentPaneCreator creator)
{
    paneCreators()[(size_t) pane] = std::move (creator);
}

void KestrelContentComponent::createPanes()
{
    for (int i = 0; i < contentPaneCount; ++i)
    {
        const auto pane = (ContentPane) i;

        if (getPane (pane) != nullptr)
            continue;

        auto& creator = paneCreators()[(size_t) i];
        auto component = creator ? creator (owner, skin) : createOwnPane (pane, owner, skin);

        if (component != nullptr)
            setPane (pane, std::move (component), startsVisible (pane));
    }

    connectPanes (true);
}

void KestrelContentComponent::connectPanes (bool connect)
{
    auto link = [connect] (juce::ChangeBroadcaster* broadcaster, juce::Component* pane)
    {
        auto* listener = dynamic_cast<juce::ChangeListener*> (pane);

        if (broadcaster == nullptr || listener == nullptr)
            return;

        if (connect)
            broadcaster->addChangeListener (listener);
        else
            broadcaster->removeChangeListener (listener);
    };

    for (auto& wiring : paneWiring)
        for (auto listener : wiring.listeners)
            link (dynamic_cast<juce::ChangeBroadcaster*> (getPane (wiring.broadcaster)), getPane (listener));

    if (auto* window = dynamic_cast<juce::ChangeBroadcaster*> (owner))
        for (auto pane : windowListeners)
            link (window, getPane (pane));

    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
        for (auto pane : presetListeners)
            link (presetManager, getPane (pane));
}

void KestrelContentComponent::setPane (ContentPane pane, std::unique_ptr<juce::Component> component, bool visible)
{
    auto& slot = panes[(size_t) pane];

    if (pane == ContentPane::presetPicker)
        attachPresetPicker (false);

    if (slot != nullptr && slot->getParentComponent() == this)
        removeChildComponent (slot.get());

    slot = std::move (component);

    if (slot == nullptr || pane == ContentPane::exchangeWindow)
        return;

    addChildComponent (*slot);
    slot->setVisible (visible);
    scalePane (slot.get(), getScale());

    if (pane == ContentPane::presetPicker)
        attachPresetPicker (true);
    else if (pane == ContentPane::frontPanel)
        connectPresetListOpener();

    bubble.toFront (false);
    if (progressBar != nullptr)
        progressBar->toFront (false);
}

void KestrelContentComponent::scalePane (juce::Component* pane, double scale)
{
    if (auto* resizable = dynamic_cast<ZOLResizableComponent*> (pane))
    {
        resizable->rememberUnscaledBounds (pane->getBounds());
        resizable->scaleFactor = scale;
        resizable->applyScale (true);
    }
}

void KestrelContentComponent::showWaitProgress (double progress, const juce::String& text)
{
    if (progressBar == nullptr)
        return;

    progressBar->progress = progress;
    // A request that can tell how far it has come says what it is doing.
    progressBar->caption = progress < 1.0 ? text : juce::String();
    progressBar->setVisible (true);
    progressBar->toFront (false);
    progressBar->repaint();
}

void KestrelContentComponent::hideWaitProgress()
{
    if (progressBar != nullptr)
        progressBar->setVisible (false);
}

KestrelPresetPicker* KestrelContentComponent::getPresetPicker() const
{
    return getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker);
}

void KestrelContentComponent::attachPresetPicker (bool attach)
{
    auto* target = KestrelCommandTarget::getInstanceWithoutCreating();

    if (presetListCommands != nullptr)
    {
        if (target != nullptr)
            target->removePerformer (presetListCommands.get());

        presetListCommands.reset();
        DropDownLargeList::setPanelLocator ({});
        connectPresetListOpener();
    }

    auto* picker = getPresetPicker();

    if (! attach || picker == nullptr)
        return;

    presetListCommands = std::make_unique<PresetListCommands> (*picker, PresetManager::getInstanceWithoutCreating(),
                                                              KestrelGlobalConfiguration::getInstanceWithoutCreating());

    if (target != nullptr)
        target->addPerformer (presetListCommands.get());

    DropDownLargeList::setPanelLocator ([picker]() -> PickListPanel* { return picker; });
    connectPresetListOpener();
}

void KestrelContentComponent::connectPresetListOpener()
{
    auto* front = getPaneAs<ControlUnitContent> (ContentPane::frontPanel);

    if (front == nullptr)
        return;

    if (presetListCommands == nullptr)
    {
        front->setPresetListOpener ({});
        return;
    }

    front->setPresetListOpener ([commands = presetListCommands.get()] (int mode, std::function<void (int)> onPicked)
                                { commands->openPresetList (mode, std::move (onPicked)); });

    // A preset saved to another number comes back as the current preset with
    // the same blocks: the block being edited stays framed and shown.
    front->onSavingToAnotherNumber = [safeThis = juce::Component::SafePointer<KestrelContentComponent> (this)]
    {
        if (safeThis != nullptr)
            if (auto* grid = safeThis->getPaneAs<GridUnitContent> (ContentPane::grid))
                grid->keepSelectionThroughNextLoad();
    };
}

void KestrelContentComponent::loadColorFilterMenuSkin()
{
    auto* depot = KestrelImageDepot::getInstanceWithoutCreating();

    if (skin == nullptr || depot == nullptr)
        return;

    if (auto* section = skin->getSection ("ColorFilterMenu"))
        depot->readColourMenuSection (*skin, *section);
}
