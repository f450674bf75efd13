#pragma once

#include "app/dialogs/CabSetupInfo.h"
#include "app/dialogs/SkinnedOverlayDialog.h"

class SkinManager;

// Proposes and edits which scratchpad each cab location of the current preset
// points at before cabs are auditioned. It lists the four locations with the
// cab each uses now, suggests Scratchpad 1, 2, ... for the locations in use
// and lets the user pick another scratchpad or "No Change" for each. It sends
// nothing itself: after code 3 the owner copies the record back (getSetupInfo)
// and applies it; after code 2 it drops it.
//
// Skin section "CabEasySetupDialog".
class CabEasySetupDlg : public SkinnedOverlayDialog
{
public:
    static constexpr int scratchpadCount = 4;
    static constexpr const char* notUsedText = "(Not used in this preset)";

    explicit CabEasySetupDlg (const SkinManager* skin);
    ~CabEasySetupDlg() override;

    // Copies the record in, suggests the targets, fills and shows the dialog
    // and posts code 1.
    void setSetupInfo (const CabSetupInfo& info);
    const CabSetupInfo& getSetupInfo() const { return setupInfo; }

    // OK (3) or Cancel (2): hides the dialog and posts the code.
    void close (bool ok);

    // Shows the scratchpad menu for a row (0..3) when that row can change.
    void chooseScratchpad (int row);

    // " Scratchpad n" for a target 0..3, else " No Change".
    static juce::String scratchpadButtonText (int target);

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void cancel() override { close (false); }
    void storeTarget (int row, int menuId);
    juce::PopupMenu buildScratchpadMenu() const;

    CabSetupInfo setupInfo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CabEasySetupDlg)
};
