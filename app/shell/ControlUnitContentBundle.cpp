#include "app/shell/ControlUnitContent.h"

#include "app/dialogs/PresetBundleSave.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/presetlists/PanelLocationPickList.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "model/FileUtils.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

// Saving a preset that came from a Preset-Cab bundle: the bundle save dialog
// chooses where the preset and its cabs go for good.

namespace
{
constexpr int cab1Block = 108;
constexpr int cab2Block = 109;
constexpr int bundleGroupSize = 8;
constexpr juce::uint8 bundleColumnCount = 24;
const juce::String labelSuffix ("  ");

const char* const bundleNotSavedText =
    "The Preset-Cab Bundle could not be saved.\nThe unit is busy, or the chosen preset location does not exist.";
} // namespace

void ControlUnitContent::setBundleSaveParts (SavePresetBundleDlg* dialog, LocationPickList* pickList)
{
    bundleDialog = dialog;
    bundlePickList = pickList;
}

KestrelContentComponent* ControlUnitContent::getContent() const
{
    return owner != nullptr ? owner->getContent() : nullptr;
}

SavePresetBundleDlg* ControlUnitContent::getBundleDialog() const
{
    if (bundleDialog != nullptr)
        return bundleDialog;

    auto* content = getContent();
    return content != nullptr ? content->getPaneAs<SavePresetBundleDlg> (ContentPane::bundleSave) : nullptr;
}

LocationPickList* ControlUnitContent::getBundlePickList()
{
    if (bundlePickList != nullptr)
        return bundlePickList;

    if (presetListPickList == nullptr)
        if (auto* content = getContent())
            if (auto* picker = content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker))
                presetListPickList = std::make_unique<PanelLocationPickList> (*picker);

    return presetListPickList.get();
}

void ControlUnitContent::fillBundleLists (PresetBundleInfo& info) const
{
    info.presetNames.clear();
    info.presetNumberLabels.clear();
    info.cabNames.clear();
    info.cabNumberLabels.clear();

    presetManager->getPresetNames (info.presetNames);
    buildPresetNumberList (labelSuffix, info.presetNumberLabels);

    juce::Array<juce::uint16> slots;
    presetManager->getCabNames (true, info.cabNames, slots);
    makeNumberedNames (1, info.cabNames.size(), "U", labelSuffix, info.cabNumberLabels);
}

void ControlUnitContent::prepareBundleSave (bool mayReadCabNames)
{
    auto* dialog = getBundleDialog();

    if (presetManager == nullptr || dialog == nullptr)
        return;

    bool factory = false, user = false, scratchpad = false;
    presetManager->areCabTablesFilled (factory, user, scratchpad);

    // The cab names come first; their end code comes back here. Only once:
    // a unit whose tables stay incomplete still gets the dialog.
    if (mayReadCabNames && ! (factory && user && scratchpad))
    {
        bundleSavePending = presetManager->requestCabNames (true, true, true);

        if (bundleSavePending)
            return;
    }

    bundleSavePending = false;
    const int mask = presetManager->getBundleMask();

    bundleInfo = PresetBundleInfo();
    fillBundleLists (bundleInfo);

    juce::uint16 preset = 0, scene = 0;
    if (presetManager->getCurrentPresetAndScene (preset, scene))
        bundleInfo.presetTarget = preset;

    bundleShownPreset = bundleInfo.presetTarget;
    bundleShownName = presetManager->getCurrentPresetName();

    // The import put the bundle's cabs in consecutive scratchpads from the
    // first, in location order, skipping the locations it holds none for.
    const int firstScratchpad = presetManager->getFirstScratchpadCabIndex();
    int cabIndexes[PresetBundleInfo::locationCount] = { -1, -1, -1, -1 };
    presetManager->getCabBlockCabs (cab1Block, cabIndexes[0], cabIndexes[1], true);
    presetManager->getCabBlockCabs (cab2Block, cabIndexes[2], cabIndexes[3], true);

    for (int location = 0, k = 0; location < PresetBundleInfo::locationCount; ++location)
    {
        if ((mask & (1 << location)) == 0)
            continue;

        juce::String name, label;

        if (cabIndexes[location] == firstScratchpad + k &&
            presetManager->getCabLabel (cabIndexes[location], name, label))
            bundleInfo.cabs[location] = { k, label + ": " + name };

        ++k;
    }

    bundleInfo.groupSize = bundleGroupSize;
    bundleInfo.columnCount = bundleColumnCount;

    if (auto* content = getContent())
        if (auto* picker = content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker))
        {
            bundleInfo.highlightColour = picker->stripeColour.getARGB();

            // The save's progress shows in the list's save status bar.
            const auto statusBar = picker->getStatusBarBounds (1);
            if (statusBar.getWidth() > 0 && statusBar.getHeight() > 0)
                content->fitProgressBarInto (statusBar);
        }

    dialog->setBundleInfo (getBundlePickList(), bundleInfo);
}

void ControlUnitContent::saveBundle()
{
    auto* dialog = getBundleDialog();

    if (dialog == nullptr || presetManager == nullptr)
        return;

    bundleInfo = dialog->getBundleInfo();

    // The unit changed preset (or loaded its own again) while the dialog was
    // open: the bundle's preset is no longer in it.
    const int playing = presetManager->getCurrentPresetNumber();

    if (! presetManager->isBundleImported() && bundleShownPreset >= 0 && playing >= 0)
    {
        // Named as the window shows it once loaded, as the list does before.
        juce::String name;

        if (presetManager->getRequest (loadPreset).isRunning())
            presetManager->getPresetName (playing, name);
        else
            name = presetManager->getCurrentPresetName();

        UserNotifier::warn (playing == bundleShownPreset
                                ? "The Kestrel reloaded " + presetNumberAndName (playing, name) + "; nothing was saved."
                                : "The Kestrel plays " + presetNumberAndName (playing, name) + ", not " +
                                      presetNumberAndName (bundleShownPreset, bundleShownName) +
                                      "; nothing was saved.");
        return;
    }

    if (! startPresetBundleSave (*presetManager, bundleInfo))
        UserNotifier::warn (bundleNotSavedText);
}

void ControlUnitContent::refreshBundleDialogLists()
{
    auto* dialog = getBundleDialog();

    if (dialog == nullptr || presetManager == nullptr || ! dialog->isVisible())
        return;

    PresetBundleInfo fresh;
    fillBundleLists (fresh);
    dialog->replaceLocationLists (fresh);
}

void ControlUnitContent::handleBundleDialog (int code)
{
    if (code == SavePresetBundleDlg::codeConfirmed)
        saveBundle();

    if (code == 0 || code == SavePresetBundleDlg::codeCancelled || code == SavePresetBundleDlg::codeConfirmed)
        if (auto* content = getContent())
            content->setProgressBarBounds (content->getDefaultProgressBarBounds());

    bundleSavePending = false;
}
