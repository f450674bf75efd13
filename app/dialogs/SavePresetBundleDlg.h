#pragma once

#include "app/host/LocationPickList.h"
#include "app/dialogs/PresetBundleInfo.h"
#include "app/dialogs/SkinnedOverlayDialog.h"

class SkinManager;

// Lets the user decide where a Preset-Cab bundle brought into the unit is
// stored for good: the preset location, and for each cab of the bundle a user
// cab location (shown "U" and three digits) or "No Change" (the cab stays in
// its scratchpad). Locations are picked in a borrowed pick list. It sends
// nothing itself: after code 3 the owner copies the record back
// (getBundleInfo) and saves the bundle.
//
// OK is refused, with a message, while two cabs of the bundle are given the
// same user cab location: saving both would overwrite one with the other.
//
// Skin section "SavePresetBundleDlg".
class SavePresetBundleDlg : public SkinnedOverlayDialog
{
public:
    static constexpr int scratchpadCount = 4;
    static constexpr const char* notContainedText = "(Not contained in this bundle)";
    static constexpr const char* sharedTargetText =
        "Two cabs of the bundle are set to the same User Cab location.\n"
        "Choose a different location for one of them, so that neither cab is overwritten.";

    explicit SavePresetBundleDlg (const SkinManager* skin);
    ~SavePresetBundleDlg() override;

    // Keeps the pick list (may be null: the location buttons then do
    // nothing), fills and shows the dialog, posts code 1.
    void setBundleInfo (LocationPickList* pickList, const PresetBundleInfo& info);
    const PresetBundleInfo& getBundleInfo() const { return bundleInfo; }
    // Takes fresh name and number lists of the preset and user cab locations;
    // the choices made so far stay.
    void replaceLocationLists (const PresetBundleInfo& fresh);

    // Closes the pick list when it is open, hides the dialog and posts 3 (ok)
    // or 2. An OK while two cabs share a location is refused (false).
    bool close (bool ok);

    // Opens the pick list for row 0 (preset) or 1..4 (Cab 1 L .. Cab 2 R).
    void chooseLocation (int row);
    bool isPickListOpen() const { return pickListOpen; }

    // Cab button texts: " No Change" below 0, else " Scratchpad n" or " Unnn".
    static juce::String cabButtonText (int value, bool locationForm);
    // Every other group of groupSize items gets the colour flag, the first group set.
    static void highlightGroups (juce::Array<ScrollableListItem>& items, int groupSize, juce::Colour colour);

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void cancel() override { close (false); }
    void closePicker();
    void storeLocation (juce::uint16 value);
    juce::String presetLine() const;

    PresetBundleInfo bundleInfo;
    LocationPickList* pickList = nullptr;
    bool pickListOpen = false;
    int currentRow = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SavePresetBundleDlg)
};
