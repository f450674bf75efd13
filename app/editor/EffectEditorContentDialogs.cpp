#include "app/editor/EffectEditorContent.h"
#include "app/host/ContentPanes.h"

#include "app/grid/GridUnitContent.h"
#include "app/host/PaneHost.h"
#include "app/grid/KestrelFootswitchGrid.h"
#include "app/dialogs/ModifierDlgContent.h"
#include "app/shell/PreferencesDialogContent.h"
#include "app/dialogs/TunerContent.h"
#include "app/dialogs/SequencerContent.h"
#include "skin/widgets/XYToggleComponent.h"
#include "device/engines/PresetManager.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/ModifierRecord.h"
#include "model/PromptCatalogue.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "model/GlobalConfiguration.h"

// The editor's part in the dialogs of the main window: the modifier dialog
// ("Edit Modifier"), the sequencer dialog embedded on the controllers'
// "Sequencer" page and the footswitch grids of the global block's "Preset"
// and "Global" pages.

namespace
{
// Where the embedded sequencer sits in the editor: below the page tabs.
const juce::Point<int> sequencerPosition{ 16, 70 };
constexpr int presetTitleId = 103, presetInfoId = 104, globalTitleId = 105, globalInfoId = 106;
constexpr int bypassCommandId = 1206, toggleXYCommandId = 1207;
constexpr int xyToggledCode = 2;
} // namespace

ContentHost* EffectEditorContent::findContent() const
{
    return findParentComponentOfClass<ContentHost>();
}

bool EffectEditorContent::openModifierDialog (int blockId, int paramId)
{
    auto* content = findContent();
    auto* dialog = content != nullptr ? content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog) : nullptr;

    if (dialog == nullptr || blockId == 0 || isShuntBlockId (blockId))
        return false;

    juce::String title ("Edit Modifier");
    const auto blockName = getNameForId (BlockDisplayNames, (juce::uint32) blockId);

    if (blockName.isNotEmpty())
    {
        title << ": " << blockName;

        // The parameter's label: its control's name on the page, or the
        // layout's label when another block's page is shown (the modifier list).
        juce::String label;

        for (auto& control : pageControls)
            if (control->paramId == paramId && resolveBlock (*control) == blockId)
                if (auto* component = dynamic_cast<juce::Component*> (control.get()))
                {
                    label = component->getName();
                    break;
                }

        if (label.isEmpty() && effects != nullptr && layouts != nullptr)
            effects->getParamLabel (blockId, paramId, *layouts, label);

        if (label.isNotEmpty())
            title << " - " << label;
    }

    auto* sequencer = content->getPaneAs<SequencerContent> (ContentPane::sequencer);
    reopenSequencer = sequencer != nullptr && sequencer->isVisible();
    // The unit's live reports wait until the dialog closes.
    setLiveUpdates (true);
    content->closeAllDialogs();

    dialog->addChangeListener (this);
    dialog->open (title, (juce::uint16) blockId, 0, (juce::uint16) paramId);
    return true;
}

void EffectEditorContent::editModifierOfLabel (int blockId, int modifierId)
{
    // Only the labels of the controllers' modifier list edit a modifier.
    if (blockId != blockIdControllers || pageIndex != findPageTabByName ("Modifiers") || effects == nullptr ||
        presets == nullptr)
        return;

    auto* modifier = effects->getModifier (modifierId);

    // A modifier that drives nothing has no parameter to edit it on.
    if (modifier == nullptr || modifier->blockId == 0 || isShuntBlockId (modifier->blockId))
        return;

    // The dialog opens once the unit's values of the modifier have arrived;
    // a refused query leaves nothing to open on another request's answer.
    if (! presets->requestModifierValues (modifier->blockId, { modifier->paramId }))
        return;

    pendingModifierEdit = { true, modifier->blockId, modifier->paramId };
    reopenModifiers = true;
}

void EffectEditorContent::openPendingModifierEdit()
{
    if (! pendingModifierEdit.pending)
        return;

    const auto edit = pendingModifierEdit;
    pendingModifierEdit = {};

    if (! openModifierDialog (edit.blockId, edit.paramId))
        reopenModifiers = false;
}

bool EffectEditorContent::isModifierDialogShowing() const
{
    auto* content = findContent();
    auto* dialog = content != nullptr ? content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog) : nullptr;
    return dialog != nullptr && dialog->isVisible();
}

int EffectEditorContent::getGridSelectedBlock() const
{
    auto* content = findContent();

    if (auto* grid = content != nullptr ? content->getPaneAs<GridUnitContent> (ContentPane::grid) : nullptr)
        return grid->getSelectedBlockId();

    return shownBlock;
}

void EffectEditorContent::showGridSelectedBlock()
{
    const int block = getGridSelectedBlock();

    if (block != 0)
        showBlock (block);
}

bool EffectEditorContent::requestBlockModifierValues (int blockId)
{
    if (presets == nullptr || effects == nullptr)
        return false;

    juce::Array<ModifierRecord*> modifiers;
    effects->getModifiersForBlock (blockId, modifiers);
    juce::Array<juce::uint16> paramIds;

    for (auto* modifier : modifiers)
        paramIds.addIfNotAlreadyThere (modifier->paramId);

    return ! paramIds.isEmpty() && presets->requestModifierValues ((juce::uint16) blockId, paramIds);
}

void EffectEditorContent::runPendingBypass()
{
    const int block = pendingBypassBlock;
    pendingBypassBlock = 0;

    // "Bypass/Engage" works on the grid's selection: only while that is still
    // the block it was asked for.
    if (block == 0 || block != shownBlock || block != getGridSelectedBlock())
        return;

    if (auto* target = PaneHost::find())
        target->invokeCommand (bypassCommandId);
}

void EffectEditorContent::connectDialogs()
{
    hooks.headerGesture = [this] (juce::Component& widget, int changeCode)
    {
        if (&widget != static_cast<juce::Component*> (xyToggle.get()) || changeCode != xyToggledCode)
            return;

        // The command works on the grid's selection, which may be another block.
        if (shownBlock == 0 || shownBlock != getGridSelectedBlock())
            return;

        if (auto* target = PaneHost::find())
            target->invokeCommand (toggleXYCommandId);

        requestGraph();
    };

    // The sequencer shows inside the editor as one of its pages: it is no
    // dialog that keeps the editor waiting.
    hooks.isDialogShowing = [this]
    {
        auto* content = findContent();
        return content != nullptr && content->getShowingDialog (embeddedSequencer.getComponent()) != nullptr;
    };

    // The sequencer dialog, owned by the content, shows inside the editor
    // below the page tabs while the "Sequencer" page is open.
    hooks.embedSequencer = [] (EffectEditorContent& editor, bool show) -> juce::Component*
    {
        auto* content = editor.findContent();
        auto* sequencer = content != nullptr ? content->getPaneAs<SequencerContent> (ContentPane::sequencer) : nullptr;

        if (sequencer == nullptr)
            return nullptr;

        if (! show)
        {
            if (sequencer->isVisible())
                sequencer->close();

            return nullptr;
        }

        sequencer->addChangeListener (&editor);
        sequencer->setTopLeftPosition (sequencerPosition);
        sequencer->open (&editor);
        editor.applyAllValues();
        return sequencer;
    };

    hooks.makeFootswitchGrid = [this] (bool globalMode) -> std::unique_ptr<juce::Component>
    {
        auto grid = std::make_unique<KestrelFootswitchGrid> (skin, KestrelImageDepot::getInstanceWithoutCreating(), controls,
                                                            presets, globalMode ? 1 : 0);
        grid->setTexts (promptText (globalMode ? globalTitleId : presetTitleId),
                        promptText (globalMode ? globalInfoId : presetInfoId));
        grid->requestAssignments();
        return grid;
    };
}

void EffectEditorContent::closeModifierDialog()
{
    auto* content = findContent();

    if (auto* dialog = content != nullptr ? content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog) : nullptr;
        dialog != nullptr && dialog->isVisible())
        dialog->close();
}

void EffectEditorContent::forEachSequencerControl (const std::function<void (ZOLEffectParam&)>& visit) const
{
    auto* content = findContent();
    auto* sequencer = content != nullptr ? content->getPaneAs<SequencerContent> (ContentPane::sequencer) : nullptr;

    if (sequencer == nullptr || ! sequencer->isVisible())
        return;

    juce::Array<ZOLEffectParam*> found;
    sequencer->findControls (SequencerContent::blockId, 65535, found);

    for (auto* control : found)
        visit (*control);
}

bool EffectEditorContent::handleDialogChange (juce::ChangeBroadcaster* source)
{
    auto* content = findContent();

    if (content == nullptr)
        return false;

    if (auto* modifier = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog); modifier != nullptr && source == modifier)
    {
        if (modifier->getChangeCode() == ParamDialogFrame::codeOpened)
            refreshForDialogs();

        if (modifier->getChangeCode() == ParamDialogFrame::codeClosed)
        {
            updateModifierMarks();
            // The editor waited while the dialog showed.
            refreshForDialogs();

            if (presets != nullptr)
                presets->requestBlockStates();

            requestGraph();

            // Back to the page the dialog was opened from.
            const char* returnPage = reopenSequencer ? "Sequencer" : (reopenModifiers ? "Modifiers" : nullptr);
            reopenSequencer = reopenModifiers = false;

            if (returnPage != nullptr)
                if (const int tab = findPageTabByName (returnPage); tab >= 0)
                    showPageByIndex (tab);
        }

        return true;
    }

    if (auto* preferences = content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
        preferences != nullptr && source == preferences)
    {
        applyPreferences (preferences->getChangeCode());
        return true;
    }

    // The editor waits while the tuner shows.
    if (auto* tuner = content->getPaneAs<TunerContent> (ContentPane::tuner); tuner != nullptr && source == tuner)
    {
        if (tuner->getChangeCode() == 1 || tuner->getChangeCode() == 2)
            refreshForDialogs();

        return true;
    }

    auto* sequencer = content->getPaneAs<SequencerContent> (ContentPane::sequencer);

    if (sequencer == nullptr)
        return false;

    if (source == sequencer)
    {
        // Closed by the user on its page (a page change closes it after
        // taking it out): the page shown before it comes back.
        if (sequencer->getChangeCode() == ParamDialogFrame::codeClosed && embeddedSequencer != nullptr &&
            previousPageIndex != pageIndex)
            showPageByIndex (previousPageIndex);

        return true;
    }

    // A control of the sequencer travels the ordinary road.
    juce::Array<ZOLEffectParam*> sequencerControls;
    sequencer->findControls (SequencerContent::blockId, 65535, sequencerControls);

    for (auto* control : sequencerControls)
    {
        if (static_cast<juce::ChangeBroadcaster*> (control) == source)
        {
            handleControlChange (*control);
            return true;
        }
    }

    return false;
}

void EffectEditorContent::applyPreferences (int code)
{
    auto* settings = getConfigurationForPage();

    if (settings == nullptr)
        return;

    // The knob mode and the wheel's direction reach the shown page at once.
    for (auto& control : pageControls)
    {
        if (code == 1)
        {
            if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (control.get()))
                knob->dragMode = knobDragModeOf (*settings);
        }
        else if (code == 2)
        {
            control->setAltState (isWheelReversed (*settings));
        }
    }
}
