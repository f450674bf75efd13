#include "app/presetlists/KestrelPresetPicker.h"

#include "device/engines/PresetManager.h"
#include "model/FileUtils.h"
#include "model/GlobalConfiguration.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
// Event codes of the preset manager's requests that concern the lists.
enum EventCode
{
    requestFailed = 1,
    presetNamesBegin = 16,
    presetNamesEnd = 17,
    cabNamesBegin = 18,
    cabNamesEnd = 19,
    loadPresetEnd = 21,
    savePresetEnd = 27,
    changePresetBegin = 28,
    changePresetEnd = 29,
    setNameEnd = 33,
    pastePresetBegin = 50,
    pastePresetEnd = 51
};

constexpr int namesPerBank = 128;
constexpr int highestLoadedBank = 3;
} // namespace

KestrelPresetPicker::KestrelPresetPicker (const SkinManager* skinDocument, GlobalConfiguration* config,
                                          ImageDepot* imageDepot, juce::Component* owner, PresetManager* manager)
    : PresetListContent (skinDocument, config, imageDepot, owner)
    , presetManager (manager)
{
}

KestrelPresetPicker::~KestrelPresetPicker()
{
    if (listening && presetManager != nullptr)
        presetManager->removeChangeListener (this);
}

void KestrelPresetPicker::startListening()
{
    if (presetManager != nullptr && ! listening)
    {
        presetManager->addChangeListener (this);
        listening = true;
    }

    setControlsEnabled (true);
}

void KestrelPresetPicker::openWithItems (juce::ChangeListener* listener,
                                         const juce::OwnedArray<ScrollableListItem>& newItems, int value,
                                         int newMode, int newListKind, bool showBank,
                                         const juce::Array<juce::uint16>& sizes)
{
    startListening();
    const juce::ScopedValueSetter<bool> whileOpening (opening, true);
    PresetListContent::openWithItems (listener, newItems, value, newMode, newListKind, showBank, sizes);
}

void KestrelPresetPicker::openWithNames (juce::ChangeListener* listener, const juce::StringArray& numberTexts,
                                         const juce::StringArray& names, int value,
                                         const juce::Array<juce::uint8>& italicFlags, int newMode, int newListKind,
                                         bool showBank, const juce::Array<juce::uint16>& sizes)
{
    startListening();
    const juce::ScopedValueSetter<bool> whileOpening (opening, true);
    PresetListContent::openWithNames (listener, numberTexts, names, value, italicFlags, newMode, newListKind, showBank,
                                      sizes);
}

void KestrelPresetPicker::close()
{
    if (listening && presetManager != nullptr)
        presetManager->removeChangeListener (this);

    listening = false;
    PresetListContent::close();
}

void KestrelPresetPicker::selectBank (int tab)
{
    const auto kind = getListKind();

    if (kind != presetList && kind != cabList)
    {
        PresetListContent::selectBank (tab);
        return;
    }

    requestedTab = tab;

    // Nothing to read the names from: the tab is remembered, not shown.
    if (presetManager == nullptr)
        return;

    // A tab the user picks changes once its names have arrived; the tab a
    // list opens on shows at once, disabled while its names are read.
    if (readMissingNames (tab) || opening)
        PresetListContent::selectBank (tab);
}

bool KestrelPresetPicker::readMissingNames (int tab)
{
    // A reading already under way (another tab's) refuses a second one; the
    // tab asks again once that one has ended.
    bool refused = false, loaded = true;

    if (getListKind() == presetList)
    {
        const juce::uint8 bank = tab == 0 ? allBanks : tab >= 1 && tab <= 6 ? (juce::uint8) (tab - 1) : 0;
        const auto capped = (juce::uint8) juce::jmin ((int) bank, highestLoadedBank);
        loaded = getMode() == selectFromFile
              || (bank == allBanks ? presetManager->arePresetNamesLoaded (0, 4 * namesPerBank)
                                   : presetManager->arePresetNamesLoaded (capped * namesPerBank, namesPerBank));

        if (! loaded)
            refused = ! presetManager->requestPresetNames (bank == allBanks ? allBanks : capped);
    }
    else
    {
        bool factory = false, user = false, scratchpad = false;
        presetManager->areCabTablesFilled (factory, user, scratchpad);
        const bool wantFactory = tab != 2 && tab != 3;
        const bool wantUser = tab != 1 && tab != 3;
        const bool wantScratchpad = tab != 1 && tab != 2;
        const bool missingFactory = wantFactory && ! factory;
        const bool missingUser = wantUser && ! user;
        const bool missingScratchpad = wantScratchpad && ! scratchpad;
        loaded = ! (missingFactory || missingUser || missingScratchpad);

        if (! loaded)
            refused = ! presetManager->requestCabNames (missingFactory, missingUser, missingScratchpad);
    }

    askAgainWhenRead = refused;
    return loaded;
}

void KestrelPresetPicker::searchingEveryItem()
{
    const auto kind = getListKind();

    if ((kind != presetList && kind != cabList) || presetManager == nullptr)
        return;

    // Names not read yet are read; the search runs again when they arrive.
    requestedTab = 0;
    readMissingNames (0);
}

void KestrelPresetPicker::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (presetManager != nullptr && source == presetManager)
    {
        switch (presetManager->getStatus())
        {
            case presetNamesBegin:
            case cabNamesBegin:
            case changePresetBegin:
            case pastePresetBegin: setControlsEnabled (false); break;

            // A request that failed or timed out ends with this code alone.
            case requestFailed:
            case pastePresetEnd: setControlsEnabled (true); break;

            case changePresetEnd:
            case loadPresetEnd:
            case savePresetEnd:
            case setNameEnd:
                setControlsEnabled (true);
                followCurrentPreset();
                break;

            case presetNamesEnd:
                setControlsEnabled (true);
                refreshPresetNames();
                askAgainIfRefused();
                break;

            case cabNamesEnd:
                setControlsEnabled (true);
                refreshCabNames();
                askAgainIfRefused();
                break;

            default: break;
        }
    }

    PresetListContent::changeListenerCallback (source);
}

void KestrelPresetPicker::askAgainIfRefused()
{
    if (askAgainWhenRead && isVisible())
    {
        askAgainWhenRead = false;
        selectBank (requestedTab);
    }
}

void KestrelPresetPicker::followCurrentPreset()
{
    if (getListKind() != presetList || getMode() == selectFromFile || presetManager == nullptr || ! isVisible())
        return;

    const auto current = presetManager->getCurrentPresetNumber();

    if (current < 0 || current >= items.size())
        return;

    // The live name: the slot's stored name may be older (a rename not saved yet).
    const auto name = presetManager->getCurrentPresetName().trimEnd();

    if (name.isNotEmpty())
        items.getUnchecked (current)->name = name;

    setCurrentValue (current);
}

void KestrelPresetPicker::refreshPresetNames()
{
    if (presetManager == nullptr || getListKind() != presetList)
        return;

    juce::StringArray names;
    presetManager->getPresetNames (names);

    for (int k = 0; k < items.size() && k < names.size(); ++k)
        items.getUnchecked (k)->name = names[k].trimEnd();

    PresetListContent::selectBank (requestedTab);
}

void KestrelPresetPicker::refreshCabNames()
{
    if (presetManager == nullptr || getListKind() != cabList)
        return;

    juce::Array<DeviceManager::CabChoice> cabs;
    presetManager->getCabChoices (cabs);

    for (int k = 0; k < cabs.size() && k < items.size(); ++k)
    {
        const auto& cab = cabs.getReference (k);
        auto* item = items.getUnchecked (k);
        item->name = cab.name.trimEnd();
        item->italic = cab.italic;
        const auto number = configuration != nullptr && isColourFilterOn()
                                ? configuration->colorAssignments.getColorOfName ((juce::uint32) getColourKey(), item->name)
                                : 0u;
        itemColours.set (k, number);
        item->hasBackground = number != 0;
        item->background = swatchOf (number);
    }

    PresetListContent::selectBank (requestedTab);
}
