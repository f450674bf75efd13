#include "device/engines/NamedRequestTable.h"

#include "device/engines/PresetStateMachine.h"

// clang-format off
const NamedRequestRow namedRequestRows[numNamedRequests] = {
    { "Mute Outputs", 120, 121, "0 113 1", 1, 1, nullptr, nullptr },
    { "Editor Disconnect", 122, 123, "0 118o 1", 1, 1, nullptr, nullptr },
    { "Query device version", 8, 9, "0 4o 5 6 1", 1, 1, nullptr, nullptr },
    { "Initialization", 10, 11, "0 13 14 15 1", 1, 1, nullptr, nullptr },
    { "Retrigger Midi Traffic", 130, 131, "0 5 1", 1, 1, nullptr, nullptr },
    { "Query Param Definitions", 62, 63, "0 59 58 1", 1, 1, nullptr, nullptr },
    { "Block Library Load", 60, 61, "0 106 107 1", 1, 1, nullptr, nullptr },
    { "Refresh Config", 14, 15, "0 15 1", 1, 1, nullptr, nullptr },
    { "Refresh Preset Names", 16, 17, "0 7 1", 1, 1, "Reading preset names...", nullptr },
    { "Refresh Cab Names", 18, 19, nullptr, 1, 1, "Reading cabinet names...", nullptr },
    { "Refresh Cab Name", 18, 19, "0 11 1", 1, 1, nullptr, nullptr },
    { "VST Heartbeat", 132, 133, "0 41 29 47 57 17 54 120 74 55 121 74 99 2 76 122 79 80 81 3 82 1", 1, 1, nullptr, nullptr },
    { "Import Preset-Cab Bundle", 134, 135, "0 114 36 32 33 119 25 74 2 37 111 112 3 38 12 115 1", 1, 1, nullptr, nullptr },
    { "Recall Preset", 30, 31, "0 35 1", 1, 1, nullptr, nullptr },
    { "Save Preset", 26, 27, "0 34 26 27 28 1", 1, 1, nullptr, nullptr },
    { "File Snapshot", 106, 107, "0 114 30 115 1", 1, 1, nullptr, nullptr },
    { "Save Preset-Cab Bundle", 136, 137, "0 114 74 34 2 39 111 112 3 115 26 7 10 1", 1, 1, nullptr, nullptr },
    { "Paste Preset", 50, 51, "0 32 33 119 1", 1, 1, nullptr, nullptr },
    { "Clear Preset", 46, 47, "0 76 41 44 45 29 17 26 24 27 96 1", 1, 1, nullptr, "" },
    { "Initialize Preset", 48, 49, "0 76 43 44 45 29 26 25 27 18 20 22 21 23 77 74 96 1", 1, 1, nullptr, "INIT" },
    { "Query Current Preset Number", 12, 13, "0 13 14 1", 1, 1, nullptr, nullptr },
    { "Change Preset", 28, 29, "0 35 119 26 1", 1, 1, nullptr, nullptr },
    { "Load Preset", 20, 21, "0 25 17 18 20 22 21 23 24 26 27 101 103 77 74 96 126 1", 1, 1, nullptr, nullptr },
    { "File Export to Sysex", 98, 99, "0 114 30 115 1", 1, 1, nullptr, nullptr },
    { "File Export Binary", 100, 101, "0 35 25 17 108 2 76 25 81 3 82 96 97 54 25 68 69 55 25 69 109 25 26 1", 1, 1, nullptr, nullptr },
    { "File Export to Templates", 102, 103, "0 114 30 115 1", 1, 1, nullptr, nullptr },
    { "Get Preset Data", 104, 105, "0 114 30 115 1", 1, 1, nullptr, nullptr },
    { "File Export CSV", 108, 109, "0 114 96 97 108 54 25 68 69 55 25 69 109 115 25 26 1", 1, 1, nullptr, nullptr },
    { "Resync Preset", 22, 23, "0 25 17 18 20 22 21 23 24 26 27 101 103 77 74 96 126 105 1", 1, 1, nullptr, nullptr },
    { "Export Preset-Cab Bundle", 98, 99, "0 114 31 115 1", 1, 1, nullptr, nullptr },
    { "Get Preset Data", 116, 117, "0 114 110 115 1", 1, 1, nullptr, nullptr },
    { "Change Scene", 24, 25, "0 76 25 18 20 22 21 23 77 74 24 1", 1, 1, nullptr, nullptr },
    { "Set Name", 32, 33, "0 29 26 27 1", 1, 1, nullptr, nullptr },
    { "Block Copy", 52, 53, "0 60 61 62 1", 1, 1, nullptr, nullptr },
    { "Delete Block", 34, 35, "0 40 17 26 25 24 96 1", 1, 1, nullptr, nullptr },
    { "Insert Block", 36, 37, "0 47 17 26 25 24 1", 1, 1, nullptr, nullptr },
    { "Block Paste", 54, 55, "0 114 63 64 65 66 73 67 73 66 96 116 115 26 25 1", 1, 1, nullptr, nullptr },
    { "Edit Effect", 128, 129, "0 56 1", 1, 1, nullptr, nullptr },
    { "Initialize Block", 6, 7, "0 42 74 26 24 1", 1, 1, nullptr, nullptr },
    { "Block Connect", 42, 43, "0 57 17 26 1", 1, 1, nullptr, nullptr },
    { "Block Swap", 40, 41, "0 114 47 57 115 17 26 25 24 1", 1, 1, nullptr, nullptr },
    { "Move Block", 38, 39, "0 114 48 115 17 26 25 1", 1, 1, nullptr, nullptr },
    { "Insert and Connect", 42, 43, "0 114 46 47 57 115 17 26 25 24 1", 1, 1, nullptr, nullptr },
    { "Query Effect All Params", 64, 65, nullptr, 1, 1, nullptr, nullptr },
    { "Query Effect Subset Params", 66, 67, "0 74 1", 1, 0, nullptr, nullptr },
    { "Set Param Direct", 68, 69, "0 75 26 24 1", 0, 0, nullptr, nullptr },
    { "Set Param", 68, 69, "0 73 26 24 1", 0, 0, nullptr, nullptr },
    { "Set Multiple Params", 70, 71, "0 74 26 24 1", 0, 0, nullptr, nullptr },
    { "Set XY", 80, 81, "0 52 26 24 25 72 20 22 21 23 1", 1, 1, nullptr, nullptr },
    { "Query Effect Graph", 72, 73, "0 50 1", 0, 0, nullptr, nullptr },
    { "Query Effect Graph Index", 72, 73, "0 51 1", 0, 0, nullptr, nullptr },
    { "Scene Paste", 74, 75, "0 114 79 80 78 74 115 25 26 1", 1, 1, nullptr, nullptr },
    { "Scene Paste All", 74, 75, "0 114 2 76 79 80 78 74 81 3 82 115 25 26 1", 1, 1, nullptr, nullptr },
    { "Scene Swap", 76, 77, "0 114 83 87 76 25 77 74 84 85 79 80 78 74 88 76 86 79 80 78 74 115 25 26 18 20 22 21 23 77 74 1", 1, 1, nullptr, nullptr },
    { "Scene Block Bypass", 78, 79, "0 2 76 49 81 3 82 25 26 1", 1, 1, nullptr, nullptr },
    { "Scene Block Set XY", 78, 79, "0 2 76 53 81 3 82 25 26 24 1", 1, 1, nullptr, nullptr },
    { "XY Clipboard", 82, 83, nullptr, 1, 1, nullptr, nullptr },
    { "ModifierId Query All", 86, 87, "0 96 1", 1, 1, nullptr, nullptr },
    { "ModifierId Query Values", 88, 89, "0 98 1", 1, 1, nullptr, nullptr },
    { "Set Modifier", 90, 91, "0 99 26 1", 0, 0, nullptr, nullptr },
    { "Set Modifier Direct", 90, 91, "0 100 26 1", 0, 0, nullptr, nullptr },
    { "Set Tempo", 92, 93, "0 102 26 1", 1, 1, nullptr, nullptr },
    { "Set Tempo To Use", 94, 95, "0 104 26 101 1", 1, 1, nullptr, nullptr },
    { "Get Tempo", 96, 97, "0 101 1", 1, 1, nullptr, nullptr },
    { "Query Block States", 110, 111, "0 24 25 1", 0, 0, nullptr, nullptr },
    { "Block Library Query", 56, 57, "0 60 61 1", 1, 1, nullptr, nullptr },
    { "Block Library Query All", 58, 59, "0 70 71 2 60 61 71 3 1", 1, 1, nullptr, nullptr },
    { "Set Footswitch Grid", 138, 139, "0 123 26 1", 1, 1, nullptr, nullptr },
    { "Get Footswitch Grid", 140, 141, "0 123 1", 1, 1, nullptr, nullptr },
    { "Query Amp Names", 44, 45, "0 25 18 1", 1, 1, nullptr, nullptr },
    { "Bypass Block", 2, 3, "0 49 26 1", 0, 0, nullptr, nullptr },
    { "Bypass All Blocks", 4, 5, "0 74 26 1", 0, 0, nullptr, nullptr },
    { "Plover Set Layout", 142, 143, "0 124 1", 1, 1, nullptr, nullptr },
    { "Plover Get Layout", 144, 145, "0 125 1", 1, 1, nullptr, nullptr },
    { "Manage Preset", 112, 113, nullptr, 1, 1, nullptr, nullptr },
    { "Import User Cab", 114, 115, "0 111 112 1", 1, 1, nullptr, nullptr },
    { "Delete Cab", 118, 119, "0 117 1", 1, 1, nullptr, nullptr },};
// clang-format on

bool appendScript (PresetStateMachine& machine, const char* script)
{
    if (script == nullptr)
        return true;

    auto tokens = juce::StringArray::fromTokens (script, " ", "");

    for (auto& token : tokens)
    {
        if (token.isEmpty())
            continue;

        auto optional = token.endsWithChar ('o');
        auto digits = optional ? token.dropLastCharacters (1) : token;

        if (digits.isEmpty() || ! digits.containsOnly ("0123456789"))
            return false;

        machine.addStep (digits.getIntValue(), optional ? 0 : 1);
    }

    return true;
}

void buildNamedRequest (PresetStateMachine& machine, const NamedRequestRow& row)
{
    machine.name = row.name;
    machine.beginCode = row.beginCode;
    machine.endCode = row.endCode;
    machine.showWaitIndicator = row.showWaitIndicator;
    machine.showWaitCursor = row.showWaitCursor;
    machine.alertOnTimeOut = 1;
    machine.statusText = row.statusText != nullptr ? row.statusText : ZolStateMachine::defaultStatusText;
    machine.presetName = row.presetName != nullptr ? row.presetName : "";

    machine.clearSteps();
    appendScript (machine, row.script);
}
