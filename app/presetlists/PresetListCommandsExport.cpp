#include "app/presetlists/PresetListCommands.h"

#include "app/host/ContentPanes.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/presetlists/PresetListContent.h"
#include "device/engines/PresetManager.h"
#include "device/wire/ModelRules.h"
#include "model/GlobalConfiguration.h"
#include "model/UnitIds.h"

namespace
{
constexpr juce::int32 requestFailed = 1, presetNamesEnd = 17, cabNamesEnd = 19;
constexpr juce::uint8 allBanks = 0x7F;

struct ListExport
{
    int commandId;
    const char* title;
    const char* fileName;
    const char* what; // as the message of the written file names it
};

constexpr ListExport listExports[] = {
    { PresetListCommands::exportPresetList, "Export Preset List", "preset names.txt", "Preset list" },
    { PresetListCommands::exportUserCabs, "Export User Cabs List", "user cabs.txt", "User cab list" },
    { PresetListCommands::exportFactoryCabs, "Export Factory Cabs List", "factory cabs.txt", "Factory cab list" },
};

const ListExport* findExport (int commandId)
{
    for (auto& e : listExports)
        if (e.commandId == commandId)
            return &e;

    return nullptr;
}
} // namespace

bool PresetListCommands::exportList (int commandId)
{
    if (findExport (commandId) == nullptr || presetManager == nullptr || pendingExport != 0)
        return false;

    bool loaded = false;
    bool started = false;

    if (commandId == exportPresetList)
    {
        loaded = presetManager->arePresetNamesLoaded (-1, 0);
        started = loaded || presetManager->requestPresetNames (allBanks);
    }
    else
    {
        bool factory = false, user = false, scratchpad = false;
        presetManager->areCabTablesFilled (factory, user, scratchpad);
        loaded = commandId == exportFactoryCabs ? factory : user;
        started = loaded
                  || presetManager->requestCabNames (commandId == exportFactoryCabs, commandId == exportUserCabs, false);
    }

    if (! started)
        return false;

    if (loaded)
    {
        chooseFileAndWrite (commandId);
        return true;
    }

    // The names arrive with the request's end code.
    pendingExport = commandId;
    presetManager->addChangeListener (this);
    return true;
}

void PresetListCommands::onPresetManagerEvent()
{
    const auto code = presetManager->getStatus();
    const auto waitedFor = pendingExport == exportPresetList ? presetNamesEnd : cabNamesEnd;

    if (pendingExport == 0 || (code != waitedFor && code != requestFailed))
        return;

    const auto commandId = pendingExport;
    pendingExport = 0;
    presetManager->removeChangeListener (this);

    // A failed reading has been reported by the preset manager; nothing is exported then.
    if (code != requestFailed)
        chooseFileAndWrite (commandId);
}

void PresetListCommands::collectList (int commandId, juce::OwnedArray<ScrollableListItem>& items) const
{
    if (commandId == exportPresetList)
    {
        juce::StringArray numbers, names;
        buildPresetNumberList ({}, numbers);
        presetManager->getPresetNames (names);

        for (int i = 0; i < names.size(); ++i)
        {
            auto* item = items.add (new ScrollableListItem());
            item->number = numbers[i];
            item->name = names[i].trimEnd();
        }

        return;
    }

    const int factory = presetManager->getNumFactoryCabs();
    const int first = commandId == exportFactoryCabs ? 0 : factory;
    const int end = commandId == exportFactoryCabs ? factory : (int) presetManager->getNumFactoryAndUserCabs();

    for (int index = first; index < end; ++index)
    {
        juce::String name, label;

        if (presetManager->getCabLabel (index, name, label))
        {
            auto* item = items.add (new ScrollableListItem());
            item->number = label;
            item->name = name;
        }
    }
}

void PresetListCommands::chooseFileAndWrite (int commandId)
{
    auto* what = findExport (commandId);
    auto list = std::make_shared<juce::OwnedArray<ScrollableListItem>>();
    collectList (commandId, *list);

    const auto initial =
        configuration != nullptr
            ? juce::File (configuration->getMruDirectory()).getChildFile (what->fileName)
            : juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile (what->fileName);

    std::weak_ptr<bool> living = alive;
    PresetListContent::chooseFileAndWriteItems (what->title, initial, std::move (list), true,
                                                [this, living, what] (const juce::File& file)
                                                {
                                                    if (living.expired())
                                                        return;

                                                    if (configuration != nullptr)
                                                        configuration->MRU_DIRECTORY =
                                                            file.getParentDirectory().getFullPathName();

                                                    if (auto* content = picker.findParentComponentOfClass<ContentHost>())
                                                        content->tellFileWritten (what->what, file);
                                                });
}
