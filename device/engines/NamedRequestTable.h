#pragma once

#include <juce_core/juce_core.h>

class PresetStateMachine;

// The preset manager's named requests: the index of each in the request list,
// which is also the order in which a request that is not yet under way is
// picked (the first ones win).
enum NamedRequest : int
{
    muteOutputs = 0,
    editorDisconnect = 1,
    queryDeviceVersion = 2,
    initialization = 3,
    retriggerMidiTraffic = 4,
    queryParamDefinitions = 5,
    blockLibraryLoad = 6,
    refreshConfig = 7,
    refreshPresetNames = 8,
    refreshCabNames = 9,
    refreshCabName = 10,
    vstHeartbeat = 11,
    importPresetCabBundle = 12,
    recallPreset = 13,
    savePreset = 14,
    fileSnapshot = 15,
    savePresetCabBundle = 16,
    pastePreset = 17,
    clearPreset = 18,
    initializePreset = 19,
    queryCurrentPresetNumber = 20,
    changePreset = 21,
    loadPreset = 22,
    fileExportToSysex = 23,
    fileExportBinary = 24,
    fileExportToTemplates = 25,
    getPresetDataFile = 26,
    fileExportCsv = 27,
    resyncPreset = 28,
    exportPresetCabBundle = 29,
    getPresetDataCab = 30,
    changeScene = 31,
    setName = 32,
    blockCopy = 33,
    deleteBlock = 34,
    insertBlock = 35,
    blockPaste = 36,
    editEffect = 37,
    initializeBlock = 38,
    blockConnect = 39,
    blockSwap = 40,
    moveBlock = 41,
    insertAndConnect = 42,
    queryEffectAllParams = 43,
    queryEffectSubsetParams = 44,
    setParamDirect = 45,
    setParam = 46,
    setMultipleParams = 47,
    setXY = 48,
    queryEffectGraph = 49,
    queryEffectGraphIndex = 50,
    scenePaste = 51,
    scenePasteAll = 52,
    sceneSwap = 53,
    sceneBlockBypass = 54,
    sceneBlockSetXY = 55,
    xyClipboard = 56,
    modifierIdQueryAll = 57,
    modifierIdQueryValues = 58,
    setModifier = 59,
    setModifierDirect = 60,
    setTempo = 61,
    setTempoToUse = 62,
    getTempo = 63,
    queryBlockStates = 64,
    blockLibraryQuery = 65,
    blockLibraryQueryAll = 66,
    setFootswitchGrid = 67,
    getFootswitchGrid = 68,
    queryAmpNames = 69,
    bypassBlock = 70,
    bypassAllBlocks = 71,
    ploverSetLayout = 72,
    ploverGetLayout = 73,
    managePreset = 74,
    importUserCab = 75,
    deleteCab = 76,
    numNamedRequests = 77
};

// One row of the table of named requests: the name shown in the time-out
// alert, the begin and end event codes, the script (step ids separated by
// blanks, an "o" behind an id marks an optional step; null for the scripts
// that their starters build), the two display options, and the status text
// and preset name a row sets when it has its own (null: the defaults).
struct NamedRequestRow
{
    const char* name;
    juce::int32 beginCode;
    juce::int32 endCode;
    const char* script;
    juce::uint8 showWaitIndicator;
    juce::uint8 showWaitCursor;
    const char* statusText;
    const char* presetName;
};

// The 77 rows in request-list order.
extern const NamedRequestRow namedRequestRows[numNamedRequests];

// Sets up a machine from its row: codes, script, name, options, status text
// and preset name.
void buildNamedRequest (PresetStateMachine& machine, const NamedRequestRow& row);

// Appends the steps of a script text ("0 4o 5 6 1") to the machine; false
// (the steps read so far kept) for anything but ids and "o" marks.
bool appendScript (PresetStateMachine& machine, const char* script);
