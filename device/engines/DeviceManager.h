#pragma once

#include "device/link/SysExRequestQueue.h"
#include "device/wire/EditRecords.h"
#include "device/wire/ModifierRecords.h"
#include "device/wire/SysExRequest.h"
#include "device/wire/TransferRecords.h"
#include "device/wire/UnitReplies.h"
#include "device/wire/WriteGuard.h"
#include "model/EffectManager.h"
#include "model/EffectParamValue.h"
#include "model/ManagerRef.h"
#include "model/ParamInfo.h"
#include "model/PresetGrid.h"
#include "model/RawPreset.h"

class ZOLMidiProcessing;
class GlobalConfiguration;

// The request/reply engine between the editor and one connected unit, and the
// editor's model of that unit: current preset number, scene and name, the
// preset's grid and block states, firmware and system information, the preset
// and cab name tables, the unit's flags and CPU load.
//
// Every request kind has a sender (request...) that builds the message, queues
// it here and with the link, and returns the request. The caller keeps the
// request (flag 1) and deletes it once the dispatcher has marked it done
// (flag 2). A caller that gives up on a request before that hands it back
// with abandonRequest, never deletes it itself.
//
// handleNextReply, called once per tick, takes the oldest pending request once
// the link has finished with it, offers it to handleReplyFirst and otherwise
// parses its replies into the model. Replies are handled strictly in send
// order: while the oldest request is still with the link nothing behind it
// is dispatched.
//
// Message thread only. The unit flags, the CPU load and the preset number with
// the scene each have a lock of their own, held for one copy, never nested.
class DeviceManager
{
public:
    static constexpr juce::uint32 requestTimeoutMs = 3000;
    static constexpr int numModifierDumpRecords = 24;
    static constexpr int graphBufferSize = 512;

    // Cab numbers of SYSEX_CABNAME that ask for a whole table.
    static constexpr juce::uint16 cabNamesAll = 16383;
    static constexpr juce::uint16 cabNamesFactory = 16382;
    static constexpr juce::uint16 cabNamesUser = 16381;

    static constexpr juce::uint8 anyModel = 0x7F;
    static constexpr int lowestTempo = 30;
    static constexpr int highestTempo = 250;

    static constexpr const char* timeOutPrefix = "DeviceManager: Message timed out for opCode: ";

    // None of the three is owned; each may be null (a sender without a link
    // queues nothing and returns null).
    DeviceManager (ZOLMidiProcessing* link, ManagerRef<EffectManager> effectManager,
                   GlobalConfiguration* configuration);
    virtual ~DeviceManager();

    //==========================================================================
    // Virtual operations.

    // False (outputs untouched) until the unit has reported its preset
    // number; else its low 16 bits and the scene.
    virtual bool getCurrentPresetAndScene (juce::uint16& preset, juce::uint16& scene);
    // bank = n / 128, program = n % 128; false until the number is known.
    virtual bool getCurrentBankAndProgram (int& bank, int& program);
    // Clears the grid and fills it from the unit's grid lists; false (grid
    // untouched) when the lists differ in length.
    virtual bool getBlockList (PresetGrid& grid);
    virtual juce::uint16 getNumFactoryCabs();
    virtual juce::uint16 getNumFactoryAndUserCabs();
    virtual int getFirstScratchpadCabIndex();
    // Preset number = high * 128 + low; the scene goes back to 0.
    virtual bool setCurrentPresetNumber (const PresetNumberRecord& number);
    // Called after an amp block was placed.
    virtual bool requestAmpNames() = 0;
    virtual void handleNextReply();
    // Offered every completed request before it is parsed here; true means
    // the request was consumed.
    virtual bool handleReplyFirst (SysExRequest& request) = 0;

    //==========================================================================
    // Requests.

    // The requests sent and not yet dispatched, oldest first.
    int getNumPendingRequests() const { return pending.size(); }
    bool isPending (const SysExRequest* request) const { return pending.contains (request); }

    // Takes a request back that its caller no longer waits for: out of the
    // pending queue, and deleted now or, when the link still holds it, by the
    // link once it lets go.
    void abandonRequest (SysExRequest* request);

    // True once the dispatcher has handled the request (flag 2); its caller
    // may then read its status and delete it.
    static bool isRequestDone (const SysExRequest* request);

    SysExRequest* requestIdentity();
    // Also makes the model byte the one every later message is addressed to.
    SysExRequest* requestFirmwareVersion (juce::uint8 model);
    SysExRequest* requestSystemInfo();
    // high = low = 0x7F: every preset (one reply per slot); low = 0x7F alone:
    // one bank. Null while the preset count is unknown (no firmware yet).
    SysExRequest* requestPresetNames (juce::uint8 high, juce::uint8 low);
    SysExRequest* requestPresetNumber();
    SysExRequest* requestCurrentScene();
    // Also makes the link swallow the unit's next SYSEX_RESYNC.
    SysExRequest* requestSetScene (juce::uint32 scene);
    // One cab, or cabNamesAll / cabNamesFactory / cabNamesUser.
    SysExRequest* requestCabNames (juce::uint16 cabNumber);
    SysExRequest* requestGrid();
    SysExRequest* requestPresetName();
    SysExRequest* requestCpuLoad();
    SysExRequest* requestFlags();
    SysExRequest* requestBlockStates();
    SysExRequest* requestMidiChannel();
    SysExRequest* requestConfig();
    // Block id 0 empties the cell.
    SysExRequest* requestPlaceBlock (juce::uint8 cell, juce::uint16 blockId);
    SysExRequest* requestSetDefaults (juce::uint16 blockId);
    SysExRequest* requestMoveBlock (const MoveBlockRecord* record);
    SysExRequest* requestConnectBlocks (const CableConnection* record);
    SysExRequest* requestSetPresetName (const juce::String& name);
    // 127, 127 is the current preset.
    SysExRequest* requestPatchDump (juce::uint8 bank, juce::uint8 program);
    SysExRequest* requestCabDump (juce::uint16 cabNumber);
    SysExRequest* requestPatchPlusCabDump (juce::uint8 bank, juce::uint8 program);
    SysExRequest* requestParamInfo (juce::uint16 effectId, juce::uint16 paramId);
    SysExRequest* requestParamStrings (juce::uint16 effectId, juce::uint16 paramId);
    SysExRequest* requestAllParams (juce::uint16 blockId);
    SysExRequest* requestModifierDump (juce::uint32 id);
    SysExRequest* requestParamDump (juce::uint16 blockId);
    // Mode 1 writes, mode 0 asks.
    SysExRequest* requestSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint32 value, juce::uint8 mode);
    SysExRequest* requestSetParamDirect (juce::uint16 blockId, juce::uint16 paramId, float value);
    // Block 141 parameter 32, the tempo clamped to 30..250.
    SysExRequest* requestSetTempo (int bpm);
    SysExRequest* requestTempo();
    SysExRequest* requestSetXY (juce::uint16 blockId, juce::uint8 first, juce::uint8 second);
    SysExRequest* requestEditEffect (juce::uint16 blockId);
    SysExRequest* requestGraph();
    SysExRequest* requestGraphN (juce::uint8 index);
    // Id 127 asks for all 16 modifiers.
    SysExRequest* requestModifierInfo (juce::uint16 id);
    SysExRequest* requestSetModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                      juce::uint32 value, juce::uint8 mode);
    SysExRequest* requestSetModParamDirect (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                            float value);
    SysExRequest* requestModifier (const ModifierValues& record);
    SysExRequest* requestBroadcastModifier (juce::uint8 first, juce::uint8 second);
    SysExRequest* requestSavePreset (juce::uint8 high, juce::uint8 low);
    // Also marks at the link that the next preset change was the editor's.
    SysExRequest* requestRecallPreset (juce::uint8 high, juce::uint8 low);
    SysExRequest* requestPosition();
    SysExRequest* requestMute (juce::uint8 on);
    SysExRequest* requestDeleteCab (juce::uint16 slot);
    SysExRequest* requestEditorDisconnect();

    //==========================================================================
    // The model.

    bool isPresetModified();
    juce::uint8 getCpuLoad();
    juce::int32 getCurrentPresetNumber();
    juce::String getCurrentPresetName() const;

    // The first block id of the type that the current grid does not hold.
    bool findUnusedBlockId (int effectType, juce::uint16& id) const;
    // Cell c = row + 4 * column: the cells that feed it and the cells it
    // feeds. False for a cell outside the current grid or without cables.
    bool getGridCellConnections (int cell, juce::Array<int>& feeding, juce::Array<int>& fed) const;
    // channel: 0 = X, 1 = Y. False for an unsupported block or one without a state word.
    bool getBlockXYState (int blockId, int& channel) const;
    bool getBlockEngaged (int blockId, juce::uint8& disabled) const;
    void setBlockEngaged (int blockId, bool engaged);

    void resetPresetList();
    void resetCabLists();
    void areCabTablesFilled (bool& factory, bool& user, bool& scratchpad) const;
    bool arePresetNamesLoaded (int first, int count) const;
    bool getPresetName (int index, juce::String& name) const;
    bool setPresetName (int index, const juce::String& name);
    void getPresetNames (juce::StringArray& names);
    int getNumPresetNames() const { return presetNames.size(); }

    // Amp blocks 106 and 107 by the name of their type, "Not Used" when unknown.
    void getAmpNames (juce::String& first, juce::String& second) const;

    void getCabNames (bool userOnly, juce::StringArray& names, juce::Array<juce::uint16>& slots) const;
    void getCabFormats (bool userOnly, juce::Array<juce::uint8>& formats) const;
    void getScratchpadCabs (juce::StringArray& names, juce::Array<juce::uint16>& slots,
                            juce::Array<juce::uint8>& formats) const;
    // One entry of the cab list a user chooses from.
    struct CabChoice
    {
        enum Kind { factory, user, scratchpad };
        juce::String name;
        juce::uint16 slot = 0;
        Kind kind = factory;
        bool italic = false; // a cab the lists show in italics
    };
    static constexpr juce::uint8 cabFormatItalic = 0x20;
    // Factory cabs (their names in title case), user cabs, then the
    // scratchpad cabs ("EMPTY" for a blank one).
    void getCabChoices (juce::Array<CabChoice>& choices);
    // Flat index over factory, user and scratchpad slots: "F001", "U001", "S001".
    bool getCabLabel (int index, juce::String& name, juce::String& label) const;
    // Index over user slots, then scratchpad slots.
    void setCabName (int index, const juce::String& name, juce::uint8 format);
    bool setCabFromFile (int index, const juce::MemoryBlock& cabFileData);
    bool getCabBlockCabs (int blockId, int& firstCab, int& secondCab, bool forceStereo) const;

    void fillRawPreset (RawPreset& preset);

    // Read-only views of what the unit reported.
    bool isFirmwareValid() const { return firmwareValid; }
    const FirmwareInfo& getFirmware() const { return firmware; }
    bool isIdentityValid() const { return identityValid; }
    juce::uint8 getIdentityModel() const { return identityModel; }
    bool isSystemInfoValid() const { return systemInfoValid; }
    const SystemInfo& getSystemInfo() const { return systemInfo; }
    const PresetGrid& getPresetGrid() const { return presetGrid; }
    const GridVectors& getGridVectors() const { return gridVectors; }
    const juce::Array<juce::uint32>& getBlockStates() const { return blockStates; }
    juce::uint32 getSceneWord();
    // How many states reports the unit had sent unasked when the scene word
    // was last read from it (the link's count, see UnitReportLog): a later
    // one may have changed the scene.
    juce::uint32 getStatesReportsFollowed() const { return statesReportsFollowed; }
    juce::uint16 getTempo() const { return tempo; }
    juce::uint16 getTempoToUse() const { return tempoToUse; }
    const EffectParamValue& getLastParamValue() const { return lastParamValue; }
    const XYReply& getXYReply() const { return xyReply; }
    const ModifierValues& getModifierReply() const { return modifierReply; }
    const ModifierSetReply& getModifierSetReply() const { return modifierSetReply; }
    const ModifierInfoReply& getModifierInfoReply() const { return modifierInfoReply; }
    const ModifierBroadcast& getBroadcastModifierReply() const { return broadcastModifierReply; }
    bool isPositionValid() const { return positionValid; }
    juce::uint8 getPosition() const { return position; }
    const GraphData& getGraph() const { return graph; }
    const juce::MemoryBlock& getPatchDumpBuffer() const { return patchDumpBuffer; }
    const juce::MemoryBlock& getCabDumpBuffer() const { return cabDumpBuffer; }
    juce::uint16 getPlaceResult() const { return placeResult; }
    const ParamInfo& getParamInfo() const { return paramInfo; }
    const juce::StringArray& getParamStrings() const { return paramStrings; }
    // The last all-parameters query's answer: its data once read whole (empty
    // otherwise).
    const juce::MemoryBlock& getAllParamsData() const { return allParamsData; }
    const ModifierDumpRecord& getModifierDumpRecord (int index) const;
    // The unit's MIDI channel (1-based, 0 until reported) and display offset.
    juce::uint16 getUnitMidiChannel() const;
    juce::uint16 getDisplayOffset() const;

    // The models the identification step tries while the unit has not named
    // its own; the application appends its list.
    void addSupportedModel (const FirmwareRequirement& requirement);
    const juce::OwnedArray<FirmwareRequirement>& getSupportedModels() const { return supportedModels; }
    juce::int32 getModelCandidateIndex() const { return modelCandidateIndex; }
    void setModelCandidateIndex (juce::int32 index) { modelCandidateIndex = index; }

    ZOLMidiProcessing* getLink() const { return link; }
    EffectManager* getEffectManager() const { return effects; }
    GlobalConfiguration* getConfiguration() const { return configuration; }

protected:
    // Parses a completed request by its function byte; false when the
    // function has no parser here or the reply did not decode.
    bool parseReply (SysExRequest& request);

    // True while setCurrentPresetNumber is given the unit's answer to a
    // question of ours, not a report of a change the unit made itself.
    bool isAnsweringPresetQuery() const { return answeringPresetQuery; }

    // Queues a message as a request of this manager: it goes to the link and
    // is dispatched in send order like every sender's request.
    SysExRequest* queueMessage (const juce::MidiMessage& message, int expectedReplies = 1);

    // The guard every request queued from now on carries; null for none.
    void setRequestGuard (std::shared_ptr<WriteGuard> guard) { requestGuard = std::move (guard); }
    const std::shared_ptr<WriteGuard>& getRequestGuard() const { return requestGuard; }

private:
    bool answeringPresetQuery = false;
    std::shared_ptr<WriteGuard> requestGuard;

    // Builds a message with build (given the message to fill, false when it
    // cannot) and queues it expecting one reply; nullptr without a link or
    // when the message cannot be built.
    template <typename Build>
    SysExRequest* queueBuilt (Build&& build)
    {
        if (link == nullptr)
            return nullptr;

        juce::MidiMessage message;
        return build (message) ? queueMessage (message) : nullptr;
    }

    SysExRequest* queueEmpty (juce::uint8 function, juce::uint8 model);
    SysExRequest* queueEmpty (juce::uint8 function);
    void reportTimeOut (juce::uint8 function, int received, int expected, bool alert);

    // Reply parsers, one per function.
    bool parseIdentity (SysExRequest&);
    bool parseFirmwareVersion (SysExRequest&);
    bool parseSystemInfo (SysExRequest&);
    bool parsePresetNames (SysExRequest&);
    bool parsePresetNumber (SysExRequest&);
    bool parseScene (SysExRequest&);
    bool parseCabNames (SysExRequest&);
    bool parseGrid (SysExRequest&);
    bool parsePresetName (SysExRequest&);
    bool parseCpuLoad (SysExRequest&);
    bool parseFlags (SysExRequest&);
    bool parseBlockStates (SysExRequest&);
    bool parseMidiChannel (SysExRequest&);
    bool parseConfig (SysExRequest&);
    bool parsePlaceBlock (SysExRequest&);
    bool parseStatus (SysExRequest&);
    bool parsePatchDump (SysExRequest&);
    bool parseCabDump (SysExRequest&);
    bool parsePatchPlusCabDump (SysExRequest&);
    bool parseParamInfo (SysExRequest&);
    bool parseParamStrings (SysExRequest&);
    bool parseAllParams (SysExRequest&);
    bool parseModifierDump (SysExRequest&);
    bool parseParamDump (SysExRequest&);
    bool parseSetParam (SysExRequest&, bool direct);
    bool parseTempo (SysExRequest&);
    bool parseXY (SysExRequest&);
    bool parseGraph (SysExRequest&);
    bool parseModifierInfo (SysExRequest&);
    bool parseModifierSet (SysExRequest&);
    bool parseModifier (SysExRequest&);
    bool parseBroadcastModifier (SysExRequest&);
    bool parsePosition (SysExRequest&);

    bool storeCabName (const CabNameRecord& record);
    const CabNameRecord* getCabRecord (int flatIndex, int& table, int& row) const;
    int findBlockState (int blockId) const;
    int getCurrentChannel (int blockId) const;

    ZOLMidiProcessing* link = nullptr;
    ManagerRef<EffectManager> effects;
    GlobalConfiguration* configuration = nullptr;

    juce::OwnedArray<FirmwareRequirement> supportedModels;
    juce::int32 modelCandidateIndex = 0;

    SysExRequestQueue pending;

    // Context of the last parameter-info, parameter-strings, all-parameters
    // and modifier-dump queries.
    juce::uint16 paramInfoEffectId = 0, paramInfoParamId = 0;
    ParamInfo paramInfo;
    juce::uint16 paramStringsEffectId = 0, paramStringsParamId = 0;
    juce::StringArray paramStrings;
    juce::uint16 allParamsBlockId = 0;
    juce::MemoryBlock allParamsData;
    juce::uint8 allParamsGlobalBlockNumber = 0;
    juce::uint32 modifierDumpId = 0;
    ModifierDumpRecord modifierDumpRecords[numModifierDumpRecords];

    char currentPresetName[PresetNameRecord::nameSize] = {};
    GridVectors gridVectors;
    juce::Array<juce::uint32> blockStates;
    EffectParamValue lastParamValue;
    juce::uint16 tempo = lowestTempo;
    juce::uint16 tempoToUse = 0;
    juce::uint32 sceneWord = 0;
    juce::uint32 statesReportsFollowed = 0;
    XYReply xyReply;
    ModifierValues modifierReply;
    ModifierSetReply modifierSetReply;
    ModifierInfoReply modifierInfoReply;
    ModifierBroadcast broadcastModifierReply;
    bool positionValid = false;
    juce::uint8 position = 0;
    GraphData graph;
    PresetGrid presetGrid;

    juce::CriticalSection stateLock;
    UnitFlags unitFlags;
    juce::CriticalSection cpuLock;
    juce::uint8 cpuLoad = 0;
    juce::CriticalSection presetNumberLock;
    juce::int32 currentPresetNumber = -1;

    juce::Array<PresetNameRecord> presetNames;
    bool firmwareValid = false;
    FirmwareInfo firmware;
    bool identityValid = false;
    juce::uint8 identityModel = 0;
    bool systemInfoValid = false;
    SystemInfo systemInfo;
    juce::Array<CabNameRecord> factoryCabs, userCabs, scratchpadCabs;
    juce::MemoryBlock patchDumpBuffer;
    juce::MemoryBlock cabDumpBuffer;
    juce::uint16 placeResult = 0;

    JUCE_DECLARE_NON_COPYABLE (DeviceManager)
};
