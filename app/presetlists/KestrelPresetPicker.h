#pragma once

#include "app/host/ContentPanes.h"
#include "app/presetlists/PresetListContent.h"

class PresetManager;

// The main window's one preset list: a PresetListContent that knows the unit.
// Before it shows a tab of the unit's presets (list kind 1) or cabs (kind 2)
// it makes sure the unit's names for that tab have been read, and asks the
// preset manager to read them when they have not; its controls are disabled
// while they are read and the tab is shown again with the fresh names. While
// it is open it follows the unit's current preset, also when the user changes
// it on the unit itself.
class KestrelPresetPicker : public PresetListContent, public ContentDialog
{
public:
    static constexpr juce::uint32 defaultStripeColour = 0xFFD3D3D3;
    static constexpr int presetList = 1;
    static constexpr int cabList = 2;
    static constexpr juce::uint8 allBanks = 0x7F;

    KestrelPresetPicker (const SkinManager* skin, GlobalConfiguration* configuration, ImageDepot* depot,
                         juce::Component* ownerWindow, PresetManager* presetManager);
    ~KestrelPresetPicker() override;

    juce::Colour stripeColour{ defaultStripeColour };

    void openWithItems (juce::ChangeListener* listener, const juce::OwnedArray<ScrollableListItem>& items,
                        int currentValue, int mode, int listKind, bool showCurrentBank,
                        const juce::Array<juce::uint16>& bankSizes) override;
    void openWithNames (juce::ChangeListener* listener, const juce::StringArray& numberTexts,
                        const juce::StringArray& names, int currentValue, const juce::Array<juce::uint8>& italicFlags,
                        int mode, int listKind, bool showCurrentBank,
                        const juce::Array<juce::uint16>& bankSizes) override;
    void close() override;
    void closeDialog() override { close(); }
    void selectBank (int tab) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    int getRequestedTab() const { return requestedTab; }

    // Puts the unit's names into the items and shows the requested tab again.
    void refreshPresetNames();
    void refreshCabNames();

protected:
    void searchingEveryItem() override;

private:
    void startListening();
    // True when the tab's names are known; otherwise starts reading them.
    bool readMissingNames (int tab);
    // Highlights the unit's current preset and shows its live name.
    void followCurrentPreset();
    void askAgainIfRefused();

    PresetManager* presetManager;
    int requestedTab = 0;
    bool listening = false;
    bool askAgainWhenRead = false;
    bool opening = false;
};
