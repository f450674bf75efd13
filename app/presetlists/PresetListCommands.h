#pragma once

#include "app/host/CommandPerformer.h"

#include <juce_events/juce_events.h>

#include "skin/lists/ScrollableListItem.h"

#include <functional>
#include <memory>

class GlobalConfiguration;
class KestrelPresetPicker;
class PresetManager;

// The commands of the unit's lists.
//
// The preset list window opened to change preset or to choose where to save
// (the front panel's "P" and "Save to New Preset Number..." come here): every
// preset of the unit by bank, the current one highlighted, tinted by the
// user's colours. A pick is handed to whoever opened it (by default it
// changes to that preset) and closes the window unless it is pinned.
//
// "Export As Text" writes the preset names, the factory cab names or the user
// cab names to a text file, one "number,name" line each, after reading from
// the unit the names not read yet.
class PresetListCommands : public CommandPerformer, private juce::ChangeListener
{
public:
    static constexpr int showPresetList = 1117;
    static constexpr int exportPresetList = 1304;
    static constexpr int exportUserCabs = 1305;
    static constexpr int exportFactoryCabs = 1306;

    // None is owned; each must outlive this. The configuration may be null.
    PresetListCommands (KestrelPresetPicker& picker, PresetManager* presetManager,
                        GlobalConfiguration* configuration = nullptr);
    ~PresetListCommands() override;

    bool ownsCommand (int commandId) const override
    {
        return commandId >= exportPresetList && commandId <= exportFactoryCabs;
    }
    bool performCommand (int commandId) override;

    // mode: PresetListContent::changeTo or saveTo.
    bool openPresetList (int mode = 0, std::function<void (int presetNumber)> onPicked = {});
    // Reads what is missing, then asks for the file and writes the list.
    bool exportList (int commandId);

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void onPresetManagerEvent();
    void chooseFileAndWrite (int commandId);
    // The lines of a list as items: number text and name.
    void collectList (int commandId, juce::OwnedArray<ScrollableListItem>& items) const;

    KestrelPresetPicker& picker;
    PresetManager* presetManager;
    GlobalConfiguration* configuration;
    int pendingExport = 0;
    std::function<void (int)> pickHandler;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
};
