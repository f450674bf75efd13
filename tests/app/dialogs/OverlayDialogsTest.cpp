#include "app/dialogs/CabEasySetupDlg.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace
{
struct BuiltInSkin
{
    BuiltInSkin() { EXPECT_TRUE (skin.loadBuiltInSkin().wasOk()); }
    SkinManager skin;
};

// Records the codes a dialog posts, in order.
struct CodeLog : juce::ChangeListener
{
    explicit CodeLog (SkinnedOverlayDialog& d)
        : dialog (d)
    {
        dialog.addChangeListener (this);
    }
    ~CodeLog() override { dialog.removeChangeListener (this); }
    void changeListenerCallback (juce::ChangeBroadcaster*) override { codes.add (dialog.getChangeCode()); }

    // The code that the dialog's next change message carries.
    int next()
    {
        const auto seen = codes.size();
        return pumpMessagesUntil ([&] { return codes.size() > seen; }) ? codes.getLast() : -1;
    }

    SkinnedOverlayDialog& dialog;
    juce::Array<int> codes;
};

juce::String labelText (const SkinnedOverlayDialog& dialog, const char* name)
{
    auto* label = dialog.findLabel (name);
    return label != nullptr ? label->getText() : "<missing>";
}

juce::String buttonText (const SkinnedOverlayDialog& dialog, const juce::String& name)
{
    auto* button = dialog.findButton (name);
    return button != nullptr ? button->getLabelText() : "<missing>";
}

// The pick list as the user answers it: the dialog opens it, the test picks
// a value or closes it.
struct FakePickList : LocationPickList
{
    void openForPick (const Request& r) override
    {
        request = r;
        open = true;
        result = 0;
    }
    int getPickResult (juce::uint16& v) const override
    {
        v = value;
        return result;
    }
    void closeList() override { open = false; }

    void answer (int newResult, juce::uint16 newValue = 0)
    {
        result = newResult;
        value = newValue;
        sendSynchronousChangeMessage();
    }

    Request request;
    bool open = false;
    int result = 0;
    juce::uint16 value = 0;
};
} // namespace

TEST (CabEasySetupDlg, SuggestsScratchpadsForTheLocationsInUseAndReturnsTheUsersChoices)
{
    BuiltInSkin s;
    ScriptedInteraction user;
    CabEasySetupDlg dialog (&s.skin);
    CodeLog log (dialog);
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (dialog.getDialogBounds(), juce::Rectangle<int> (216, 96, 593, 455)) << "centred in the window";

    CabSetupInfo info;
    info.presetNumber = 5;
    info.presetName = "Lead Tone   ";
    info.inUse[2] = true;
    info.cabText[2] = "U012: 4x12 Green";
    info.targets[0] = 2; // came with the record; the row is not in use
    dialog.setSetupInfo (info);
    EXPECT_EQ (log.next(), 1);

    EXPECT_TRUE (dialog.isVisible());
    EXPECT_EQ (labelText (dialog, "labelPresetValue"), "005: Lead Tone");
    EXPECT_EQ (dialog.getSetupInfo().targets[2], 0);
    EXPECT_EQ (buttonText (dialog, "btnScratchpad3"), " Scratchpad 1");
    EXPECT_EQ (labelText (dialog, "labelCab2LValue"), "U012: 4x12 Green");
    for (int row : { 0, 1, 3 })
    {
        EXPECT_FALSE (dialog.findWidget ("btnScratchpad" + juce::String (row + 1))->isEnabled()) << row;
        EXPECT_FALSE (dialog.findWidget ("arrowScratchpad" + juce::String (row + 1))->isEnabled()) << row;
    }
    EXPECT_EQ (labelText (dialog, "labelCab1LValue"), CabEasySetupDlg::notUsedText);
    EXPECT_EQ (dialog.getSetupInfo().targets[0], 2);
    EXPECT_EQ (dialog.getSetupInfo().targets[1], -1);

    // A row not in use cannot be changed; the one in use takes "No Change".
    dialog.chooseScratchpad (0);
    EXPECT_TRUE (user.menus.empty());
    user.answerMenuWithItem ("No Change");
    dialog.chooseScratchpad (2);
    ASSERT_EQ (user.menus.size(), 1u);
    EXPECT_EQ (user.menus[0].itemTexts,
               juce::StringArray ({ "Scratchpad 1", "Scratchpad 2", "Scratchpad 3", "Scratchpad 4", "No Change" }));
    EXPECT_EQ (dialog.getSetupInfo().targets[2], -1);
    EXPECT_EQ (buttonText (dialog, "btnScratchpad3"), " No Change");
    saveScreenshot (dialog, "cab-easy-setup");

    // All four in use: Scratchpad 1 to 4; a dismissed menu changes nothing.
    for (int row = 0; row < 4; ++row)
        info.inUse[row] = true;
    info.presetName = {};
    dialog.setSetupInfo (info);
    EXPECT_EQ (labelText (dialog, "labelPresetValue"), "005:");
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ (buttonText (dialog, "btnScratchpad" + juce::String (row + 1)),
                   " Scratchpad " + juce::String (row + 1));
    dialog.chooseScratchpad (1);
    EXPECT_EQ (dialog.getSetupInfo().targets[1], 1);

    EXPECT_TRUE (dialog.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (log.next(), 2);
    dialog.setSetupInfo (info);
    EXPECT_EQ (log.next(), 1);
    dialog.findButton ("btnOK")->click();
    EXPECT_EQ (log.next(), 3);
    EXPECT_FALSE (dialog.isVisible());
}

TEST (SavePresetBundleDlg, OffersTheBundlesCabsAndStoresThePickedLocations)
{
    BuiltInSkin s;
    RecordingNotifier notices;
    FakePickList list;
    SavePresetBundleDlg dialog (&s.skin);
    CodeLog log (dialog);

    PresetBundleInfo info;
    for (int i = 0; i < 384; ++i)
    {
        info.presetNumberLabels.add (juce::String::formatted ("%03d  ", i));
        info.presetNames.add ("Preset " + juce::String (i) + "  ");
    }
    for (int i = 0; i < 20; ++i)
    {
        info.cabNumberLabels.add (juce::String::formatted ("U%03d  ", i + 1));
        info.cabNames.add ("Cab " + juce::String (i + 1));
    }
    info.presetTarget = 7;
    info.groupSize = 128;
    info.highlightColour = 0xFFD3D3D3;
    info.cabs[0] = { 0, "S001: Bundle Cab A" };
    info.cabs[3] = { 3, "S004: Bundle Cab B" };
    dialog.setBundleInfo (&list, info);
    EXPECT_EQ (log.next(), 1);

    EXPECT_EQ (labelText (dialog, "labelPresetValue"), "007: Preset 7");
    EXPECT_EQ (buttonText (dialog, "btnPreset"), " 007");
    EXPECT_EQ (buttonText (dialog, "btnScratchpad1"), " Scratchpad 1");
    EXPECT_EQ (buttonText (dialog, "btnScratchpad4"), " Scratchpad 4");
    for (int row : { 2, 3 })
    {
        EXPECT_FALSE (dialog.findWidget ("btnScratchpad" + juce::String (row))->isEnabled());
        EXPECT_EQ (buttonText (dialog, "btnScratchpad" + juce::String (row)), " No Change");
    }
    EXPECT_EQ (labelText (dialog, "labelCab1RValue"), SavePresetBundleDlg::notContainedText);

    // The preset list comes in alternating groups of 128.
    dialog.chooseLocation (0);
    ASSERT_TRUE (list.open);
    EXPECT_EQ (list.request.kind, LocationPickList::Kind::presets);
    EXPECT_EQ (list.request.currentValue, 7);
    ASSERT_EQ (list.request.items.size(), 384);
    for (int i : { 0, 127, 256, 383 })
        EXPECT_TRUE (list.request.items[i].hasBackground) << i;
    for (int i : { 128, 255 })
        EXPECT_FALSE (list.request.items[i].hasBackground) << i;
    EXPECT_EQ (list.request.items[5].name, "Preset 5");
    list.answer (LocationPickList::resultPicked, 300);
    EXPECT_FALSE (list.open);
    EXPECT_EQ (dialog.getBundleInfo().presetTarget, 300);
    EXPECT_EQ (labelText (dialog, "labelPresetValue"), "300: Preset 300");

    // A cab location: picking index 11 shows U012; closing the list keeps it.
    dialog.chooseLocation (1);
    EXPECT_EQ (list.request.kind, LocationPickList::Kind::cabs);
    list.answer (LocationPickList::resultPicked, 11);
    EXPECT_EQ (dialog.getBundleInfo().cabTargets[0], 11);
    EXPECT_EQ (buttonText (dialog, "btnScratchpad1"), " U012");
    dialog.chooseLocation (1);
    list.answer (LocationPickList::resultClosed);
    EXPECT_EQ (dialog.getBundleInfo().cabTargets[0], 11);
    dialog.chooseLocation (2); // not in the bundle
    EXPECT_FALSE (list.open);

    // Two cabs on one User Cab location would overwrite one of them: OK is refused.
    dialog.chooseLocation (4);
    list.answer (LocationPickList::resultPicked, 11);
    saveScreenshot (dialog, "preset-cab-bundle-save");
    EXPECT_FALSE (dialog.close (true));
    EXPECT_TRUE (dialog.isVisible());
    EXPECT_EQ (notices.count(), 1);
    dialog.chooseLocation (4);
    list.answer (LocationPickList::resultPicked, 12);

    // Closing while the list is open closes the list too.
    dialog.chooseLocation (0);
    ASSERT_TRUE (list.open);
    EXPECT_TRUE (dialog.close (true));
    EXPECT_FALSE (list.open);
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (dialog.getBundleInfo().cabTargets[3], 12);
    EXPECT_EQ (log.next(), 3);
}
