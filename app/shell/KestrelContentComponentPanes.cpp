#include "app/shell/KestrelContentComponent.h"

#include "app/dialogs/CabEasySetupDlg.h"
#include "app/shell/ControlUnitContent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/dialogs/ModifierDlgContent.h"
#include "app/dialogs/PausedCommContent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/dialogs/SequencerContent.h"
#include "app/dialogs/TunerContent.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"

// One case per pane the application builds itself; each pane reads its own
// bounds from its skin section.
std::unique_ptr<juce::Component> KestrelContentComponent::createOwnPane (ContentPane pane, MainAppWindow* owner,
                                                                         const SkinManager* skin)
{
    switch (pane)
    {
        case ContentPane::frontPanel:
            return std::make_unique<ControlUnitContent> (owner, skin, PresetManager::getInstance());
        case ContentPane::grid:
            return std::make_unique<GridUnitContent> (skin, PresetManager::getInstance(),
                                                      KestrelImageDepot::getInstance());
        case ContentPane::effectEditor:
        {
            auto editor = std::make_unique<EffectEditorContent> (skin, PresetManager::getInstance(),
                                                                 KestrelEffectManager::getInstance(),
                                                                 KestrelEffectLayoutManager::getInstance(),
                                                                 KestrelControlManager::getInstance());
            editor->setBlockLibrary (KestrelBlockLibraryManager::getInstance());
            editor->connectDialogs();
            return editor;
        }
        case ContentPane::preferences:
            return std::make_unique<PreferencesDialogContent> (owner, skin);
        case ContentPane::tuner:
            // A window always has the link; a content built on its own (tests) uses one if there is one.
            return std::make_unique<TunerContent> (skin, owner != nullptr ? ZOLMidiProcessing::getInstance()
                                                                          : ZOLMidiProcessing::getInstanceWithoutCreating());
        case ContentPane::pauseOverlay:
            return std::make_unique<PausedCommContent> (skin);
        case ContentPane::cabEasySetup:
            return std::make_unique<CabEasySetupDlg> (skin);
        case ContentPane::bundleSave:
            return std::make_unique<SavePresetBundleDlg> (skin);
        case ContentPane::sequencer:
            return std::make_unique<SequencerContent> (skin, KestrelEffectManager::getInstance(),
                                                       KestrelEffectLayoutManager::getInstance(),
                                                       KestrelControlManager::getInstance());
        case ContentPane::modifierDialog:
            return std::make_unique<ModifierDlgContent> (skin, PresetManager::getInstance(),
                                                         KestrelEffectManager::getInstance(),
                                                         KestrelEffectLayoutManager::getInstance(),
                                                         KestrelControlManager::getInstance());
        case ContentPane::presetPicker:
            return std::make_unique<KestrelPresetPicker> (skin, KestrelGlobalConfiguration::getInstanceWithoutCreating(),
                                                          KestrelImageDepot::getInstanceWithoutCreating(), owner,
                                                          PresetManager::getInstanceWithoutCreating());
        default:
            return nullptr;
    }
}

ControlUnitContent* KestrelContentComponent::getFrontPanel() const
{
    return getPaneAs<ControlUnitContent> (ContentPane::frontPanel);
}
