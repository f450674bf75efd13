#include "app/dialogs/SavePresetBundleDlg.h"

#include "model/LanguageStore.h"
#include "model/UserNotifier.h"
#include "skin/widgets/ZOLPaintedButton.h"

namespace
{
const char* const rowSuffixes[] = { "Cab1L", "Cab1R", "Cab2L", "Cab2R" };
constexpr int cabTitleMessageId = 85;
constexpr int presetTitleMessageId = 86;

// Row 0 is the preset, rows 1..4 the cab locations.
juce::String rowButton (int row) { return row == 0 ? "btnPreset" : "btnScratchpad" + juce::String (row); }
juce::String rowArrow (int row) { return row == 0 ? "arrowPreset" : "arrowScratchpad" + juce::String (row); }

juce::String entryOf (const juce::StringArray& array, int index)
{
    return juce::isPositiveAndBelow (index, array.size()) ? array[index].trimEnd() : juce::String();
}
} // namespace

SavePresetBundleDlg::SavePresetBundleDlg (const SkinManager* skin)
{
    juce::StringArray labels{ "labelTitle",     "labelDescription1",   "labelDescription2", "labelDescription3",
                              "labelReview",    "labelHeaderLocation", "labelHeaderCab",    "labelHeaderChangeTo",
                              "swatchHeaderTop", "swatchHeaderBtm",    "swatchFooter",      "swatchPreset",
                              "labelPreset",    "labelPresetValue" };
    for (auto* suffix : rowSuffixes)
        labels.addArray ({ juce::String ("swatch") + suffix, juce::String ("label") + suffix,
                           juce::String ("label") + suffix + "Value" });

    juce::StringArray buttons{ "btnCancel", "btnOK" }, arrows;
    for (int row = 0; row <= PresetBundleInfo::locationCount; ++row)
    {
        buttons.add (rowButton (row));
        arrows.add (rowArrow (row));
    }

    buildFrom (skin, "SavePresetBundleDlg", labels, buttons, arrows);
}

SavePresetBundleDlg::~SavePresetBundleDlg()
{
    closePicker();
}

juce::String SavePresetBundleDlg::cabButtonText (int value, bool locationForm)
{
    if (value < 0)
        return " No Change";

    return locationForm ? " " + juce::String::formatted ("%s%0.3d", "U", value + 1)
                        : " Scratchpad " + juce::String (value + 1);
}

juce::String SavePresetBundleDlg::presetLine() const
{
    return entryOf (bundleInfo.presetNumberLabels, bundleInfo.presetTarget) + ": "
         + entryOf (bundleInfo.presetNames, bundleInfo.presetTarget);
}

void SavePresetBundleDlg::setBundleInfo (LocationPickList* list, const PresetBundleInfo& info)
{
    closePicker();
    bundleInfo = info;
    pickList = list;

    setLabelText ("labelPresetValue", presetLine());
    setButtonText ("btnPreset", " " + entryOf (bundleInfo.presetNumberLabels, bundleInfo.presetTarget));

    for (int i = 0; i < PresetBundleInfo::locationCount; ++i)
    {
        const bool held = bundleInfo.holdsCab (i);
        setLabelText (juce::String ("label") + rowSuffixes[i] + "Value", held ? bundleInfo.cabs[i].name : notContainedText);
        setWidgetEnabled (rowButton (i + 1), held);
        setWidgetEnabled (rowArrow (i + 1), held);
        setButtonText (rowButton (i + 1), cabButtonText (bundleInfo.cabs[i].scratchpad, false));
    }

    showAndPostShown();
}

void SavePresetBundleDlg::replaceLocationLists (const PresetBundleInfo& fresh)
{
    bundleInfo.presetNames = fresh.presetNames;
    bundleInfo.presetNumberLabels = fresh.presetNumberLabels;
    bundleInfo.cabNames = fresh.cabNames;
    bundleInfo.cabNumberLabels = fresh.cabNumberLabels;
}

void SavePresetBundleDlg::highlightGroups (juce::Array<ScrollableListItem>& items, int groupSize, juce::Colour colour)
{
    if (groupSize <= 0)
        return;

    for (int i = 0; i < items.size(); ++i)
    {
        items.getReference (i).background = colour;
        items.getReference (i).hasBackground = (i / groupSize) % 2 == 0;
    }
}

void SavePresetBundleDlg::chooseLocation (int row)
{
    if (pickList == nullptr || ! juce::isPositiveAndBelow (row, PresetBundleInfo::locationCount + 1))
        return;

    if (row > 0 && ! bundleInfo.holdsCab (row - 1))
        return;

    currentRow = row;
    const bool presetRow = row == 0;

    LocationPickList::Request request;
    request.currentValue = (juce::uint16) (presetRow ? bundleInfo.presetTarget : bundleInfo.cabTargets[row - 1]);
    request.kind = presetRow ? LocationPickList::Kind::presets : LocationPickList::Kind::cabs;
    request.title = LanguageStore::textOr (presetRow ? presetTitleMessageId : cabTitleMessageId);
    request.columnCount = bundleInfo.columnCount;

    const auto& labels = presetRow ? bundleInfo.presetNumberLabels : bundleInfo.cabNumberLabels;
    const auto& names = presetRow ? bundleInfo.presetNames : bundleInfo.cabNames;

    for (int i = 0; i < labels.size(); ++i)
    {
        ScrollableListItem item;
        item.itemId = i;
        item.number = labels[i];
        item.name = entryOf (names, i);
        request.items.add (item);
    }

    if (presetRow)
        highlightGroups (request.items, bundleInfo.groupSize, juce::Colour (bundleInfo.highlightColour));

    pickList->addChangeListener (this);
    pickListOpen = true;
    pickList->openForPick (request);
}

void SavePresetBundleDlg::storeLocation (juce::uint16 value)
{
    if (currentRow == 0)
    {
        bundleInfo.presetTarget = value;
        setButtonText ("btnPreset", " " + entryOf (bundleInfo.presetNumberLabels, value));
        setLabelText ("labelPresetValue", presetLine());
    }
    else
    {
        bundleInfo.cabTargets[currentRow - 1] = value;
        setButtonText (rowButton (currentRow), cabButtonText (value, true));
    }
}

void SavePresetBundleDlg::closePicker()
{
    if (pickList == nullptr || ! pickListOpen)
        return;

    pickListOpen = false;
    pickList->removeChangeListener (this);
    pickList->closeList();
}

bool SavePresetBundleDlg::close (bool ok)
{
    if (ok && bundleInfo.findSharedCabTarget() >= 0)
    {
        UserNotifier::warn (sharedTargetText);
        return false;
    }

    closePicker();
    hideWithCode (ok ? codeConfirmed : codeCancelled);
    return true;
}

void SavePresetBundleDlg::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (pickList != nullptr && source == pickList)
    {
        if (! pickListOpen)
            return;

        juce::uint16 value = 0;
        const auto result = pickList->getPickResult (value);

        if (result == LocationPickList::resultPicked)
            storeLocation (value);

        if (result == LocationPickList::resultPicked || result == LocationPickList::resultClosed)
            closePicker();
        return;
    }

    const auto name = nameOf (source);

    if (name == "btnCancel")
        close (false);
    else if (name == "btnOK")
        close (true);
    else
        for (int row = 0; row <= PresetBundleInfo::locationCount; ++row)
            if (name == rowButton (row) || name == rowArrow (row))
                chooseLocation (row);
}
