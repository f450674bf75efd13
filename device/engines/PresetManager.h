#pragma once

#include "device/engines/DeviceManager.h"
#include "device/engines/NamedRequestTable.h"
#include "device/engines/PresetStateMachine.h"
#include "device/link/SysExMultiMsgTimer.h"
#include "device/wire/EditRecords.h"
#include "model/EffectRecord.h"
#include "model/LayoutRecord.h"
#include "model/Singleton.h"

#include <juce_events/juce_events.h>

#include <functional>
#include <vector>

class BlockLibraryManager;
class WaitCursorFlag;
class WaitIndicator;

// The protocol engine for live editing: the device manager (senders, reply
// parsers, the model of the unit) plus the 77 named requests that the panels
// start.
//
// Each named request is a PresetStateMachine whose script of communication
// steps (CommStep) runs one step per tick: the main window's 10 ms timer
// calls processRequests, which runs at most one step of one request and then
// lets the device manager dispatch one completed reply. Only one request is
// under way at a time; a request not yet under way is picked in the fixed
// order of the request list (NamedRequest).
//
// Progress reaches the panels as event codes: step 0 of a request posts its
// even begin code, step 1 its odd end code, a request that failed posts 1.
// The main window broadcasts a posted code (a synchronous change message) and
// each panel reads it with getStatus.
//
// Message thread only; the status record is the one thing read under a lock.
class PresetManager : public DeviceManager, public juce::ChangeBroadcaster, public Singleton<PresetManager>
{
public:
    static constexpr juce::uint32 waitIndicatorDelayMs = 125;
    static constexpr juce::uint32 changePresetGuardMs = 1000;
    static constexpr int maxStepAttempts = 3;
    static constexpr juce::int32 timeOutCode = 1;
    static constexpr juce::uint8 currentPresetLocation = 127;
    // Begin codes of "XY Clipboard": copy to the clipboard; paste, copy or swap.
    static constexpr juce::int32 xyCopyToClipboardCode = 82;
    static constexpr juce::int32 xyWriteCode = 84;

    // The program's preset manager: the link, the effect manager, the
    // configuration and the block library from their singletons. The effect
    // manager and the block library are created after the preset manager, so
    // they are looked up when first used, never created from here.
    PresetManager();

    // Any of them may be null (tests build their own).
    PresetManager (ZOLMidiProcessing* link, ManagerRef<EffectManager> effectManager,
                   GlobalConfiguration* configuration, ManagerRef<BlockLibraryManager> blockLibrary = {});
    ~PresetManager() override;

    //==========================================================================
    // The per-tick processor and the status record.

    // One tick: with cancel set (the link is not up) every running request is
    // cancelled, except one whose message is in flight, which is let finish.
    void processRequests (bool cancel);

    // The program closes while the link is up: every running request ends.
    // One whose message is on its way ends once that is answered or timed
    // out, sending nothing more but the unmute of outputs it muted; the
    // others are cancelled now.
    void endForClose();

    // Whether any request runs other than those named.
    bool isAnyRequestRunningBut (std::initializer_list<NamedRequest> others) const;

    // The last posted event code; the argument bytes through the pointers
    // given. Nothing is cleared.
    juce::int32 getStatus (juce::uint8* arg1 = nullptr, juce::uint8* arg2 = nullptr) const;
    void setStatus (juce::int32 code, juce::uint8 arg1, juce::uint8 arg2);

    // The main window's part: reads and clears the status-changed flag.
    bool readAndClearStatusChanged();

    // The request under way: the first running request past its step 0.
    PresetStateMachine* getActiveRequest() const;

    // Whether the next tick has anything to do: a request running, a preset
    // choice waiting to start, a code waiting to be broadcast or a reply
    // waiting to be dispatched.
    bool hasWork() const;

    // Called whenever a named request starts (on the message thread), so
    // that a slowed-down tick can speed up at once; empty removes it.
    void setRequestStartedCallback (std::function<void()> callback) { requestStarted = std::move (callback); }

    // The machines, for the panels that start requests themselves: take the
    // machine, call start(), then set the parameters its steps read.
    PresetStateMachine& getRequest (NamedRequest which) { return *machines.getUnchecked (which); }
    const PresetStateMachine& getRequest (NamedRequest which) const { return *machines.getUnchecked (which); }
    int getNumRequests() const { return requestList.size(); }
    PresetStateMachine* getRequestAt (int priorityIndex) const { return requestList[priorityIndex]; }

    //==========================================================================
    // DeviceManager

    bool handleReplyFirst (SysExRequest& request) override;
    bool setCurrentPresetNumber (const PresetNumberRecord& number) override;
    bool getBlockList (PresetGrid& grid) override;

    // Starts "Query Amp Names" unless it runs (also called after an amp
    // block was placed).
    bool requestAmpNames() override;

    //==========================================================================
    // Holds, set by windows that drive the unit themselves.

    // While set, requestResyncPreset refuses.
    void setResyncHold (bool hold) { resyncHold = hold ? 1 : 0; }
    bool isResyncHeld() const { return resyncHold != 0; }

    // While set, a preset number reported by the unit does not reload the
    // preset; it is counted instead.
    void setPresetChangeHold (bool hold) { presetChangeHold = hold ? 1 : 0; }
    bool isPresetChangeHeld() const { return presetChangeHold != 0; }
    juce::uint32 getDeferredPresetChanges() const { return deferredPresetChanges; }

    //==========================================================================
    // Whether the shown preset number is the unit's.

    // Set when a request ended on a time-out after a recall that the unit
    // never reported on: it may have carried the recall out, so the number
    // held here may not be the preset it plays. Cleared when the unit's
    // preset number is taken.
    bool isPresetNumberInDoubt() const { return presetNumberInDoubt; }

    // "Refresh Preset": asks the unit which preset it plays; the answer loads
    // it, and a number other than the one held is taken as a preset change.
    // True also while such a question is under way.
    bool requestRefreshPreset();

    // Runs the action at once (with true) while the number held is the
    // unit's. Otherwise the unit is asked first and the action runs once the
    // answer is in: with true when it was taken, with false when the
    // question failed (no time-out alert then: the action tells). A later
    // action runs after a waiting one, on the same answer.
    void whenPresetNumberConfirmed (std::function<void (bool confirmed)> action);

    // What the unit said when asked, before something is written from its
    // preset, which preset it plays.
    struct PresetNumberAnswer
    {
        enum class Kind
        {
            same,    // the preset held: nothing was reloaded
            another, // another preset, now held and loaded
            none     // no answer (no time-out alert: the action tells)
        };

        Kind kind = Kind::none;
        juce::int32 shown = -1;   // the number the window showed when asked
        juce::int32 playing = -1; // the number the unit named
        juce::String shownName;
        juce::String playingName; // as loaded; empty when the load did not end well
        // The unit itself reported a change of preset after it was asked,
        // the window moving to no other preset: with playing == shown, the
        // unit reloaded the preset shown.
        bool reportedByUnit = false;
    };

    // Asks the unit which preset it plays, whether or not the number held is
    // in doubt, and runs the action with the answer: at once for the same
    // preset, after its load for another. A later action runs after a waiting
    // one, on the same answer. The answer is "same" only for the preset the
    // window showed when asked, with the window moving to no other preset
    // then or when the answer came.
    //
    // A save or file export of the preset shown that the action starts on a
    // "same" answer sends nothing more once the unit reports a change of
    // preset after the answer, before the save goes out or the export ends:
    // it unmutes the outputs it muted and ends as failed (code 1, no end
    // code), and the action is run again, told "another" for the preset
    // reported, once the window has loaded it.
    void checkPresetNumber (std::function<void (const PresetNumberAnswer&)> action);

    //==========================================================================
    // Display.

    // The shared progress indicator; null removes it.
    void setWaitIndicator (WaitIndicator* indicator) { waitIndicator = indicator; }
    WaitIndicator* getWaitIndicator() const { return waitIndicator; }

    // The look-and-feel's wait-cursor flag; null removes it.
    void setWaitCursorFlag (WaitCursorFlag* flag) { waitCursor = flag; }

    //==========================================================================
    // Request starters. Each refuses (false, nothing changed) as noted, or
    // starts its request and stores the arguments for its steps (true).
    // "Busy" means the request is running already; a "bad block" is block 0
    // or a shunt.

    // Refused within 1000 ms of the start of the previous run, when busy, or
    // for a number that is no preset slot. settle waits up to 2000 ms for the
    // unit's preset report.
    bool requestChangePreset (juce::uint16 presetNumber, bool settle);
    // The slot (1..8, as on the unit's preset buttons) of the bank of the
    // chosen preset (getChosenPresetNumber), through choosePreset.
    bool selectPresetInBank (int slot);
    // A preset the user chose (front panel, keys, the preset lists): the last
    // choice wins. What requestChangePreset refuses now (a change runs, or
    // the last one started within the second) is remembered in place of any
    // choice remembered before, and started by the first tick its guard
    // lets through. Choosing the preset a running change goes to, or the
    // current one while none runs, drops a remembered choice. False only for
    // a number that is no preset slot.
    bool choosePreset (juce::uint16 presetNumber);
    // The preset the user's choices lead to: the remembered choice, else the
    // preset a running change goes to, else the current one (-1: unknown).
    juce::int32 getChosenPresetNumber();
    // Never refused: a running one starts again.
    bool requestChangeScene (juce::uint16 scene);
    bool requestRecallPreset (juce::uint8 bank, juce::uint8 program);
    bool requestSavePreset (juce::uint8 bank, juce::uint8 program);
    // kind 0 "File Export to Sysex", 1 "File Export CSV", 2 "Get Preset Data",
    // 3 "File Snapshot", 4 "File Export to Templates", 5 "Export Preset-Cab
    // Bundle"; other kinds are refused.
    bool requestFileOperation (juce::uint8 bank, juce::uint8 program, int kind);
    // Refused while the resync hold is set; true when it runs.
    bool requestResyncPreset();
    // Turns the unit's outputs on again when the program has left them muted
    // (ZOLMidiProcessing::areOutputsMuted): "Mute Outputs" with the value that
    // unmutes, which runs before any request not yet under way. False when
    // they are not left muted or it runs already.
    bool requestOutputsBackOn();
    bool requestCurrentPresetNumber();
    // Never refused: a running one is cancelled and started again.
    bool requestLoadPreset();
    bool requestBypassBlock (juce::uint16 blockId, bool bypass);
    bool requestBypassAllBlocks();
    bool requestDeleteBlock (juce::uint8 cell);
    bool requestInsertBlock (juce::uint8 cell, juce::uint16 blockId);
    // Entries: the cell in the low byte, the block id in the high 16 bits.
    bool requestInsertBlocks (const juce::Array<juce::uint32>& entries);
    bool requestMoveBlock (juce::uint8 cell, int direction, juce::uint8 distance);
    bool requestClearPreset();
    bool requestInitializeBlock (juce::uint16 blockId, bool keepType);
    // Refused when busy or without data; pastes into the current preset. Data
    // that is not one whole, valid preset dump is refused before anything is
    // sent, with the damagedPresetText alert (as for Manage Preset and the
    // preset of a Preset-Cab bundle), in a box with the title given.
    bool requestPastePreset (const juce::MemoryBlock& presetData, bool settle,
                             const juce::String& refusalTitle = "Paste Preset");
    bool requestConnectBlocks (const juce::Array<CableConnection>& connections);
    bool requestParamDefinitions();
    bool requestEffectAllParams (juce::uint16 blockId, bool makeEdited);
    // "Query Effect Graph Index": the block's graph of the given index.
    bool requestEffectGraph (juce::uint16 blockId, juce::uint8 graphIndex);
    bool requestEffectParamSubset (const juce::Array<std::pair<juce::uint16, juce::uint16>>& blockAndParams);
    bool requestSetParamDirect (juce::uint16 blockId, juce::uint16 paramId, float value);
    // A refused value (busy) is the caller's to send again after the next code.
    bool requestSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint16 value);
    bool requestStepParam (juce::uint16 blockId, juce::uint16 paramId, bool a, bool b);
    bool requestParamMode2 (juce::uint16 blockId, juce::uint16 paramId);
    bool requestSetMultipleParams (const juce::Array<ParamWrite>& writes);
    bool requestSetModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2, juce::uint16 value);
    bool requestStepModifier (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2, bool a, bool b);
    bool requestModifierMode2 (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2);
    bool requestSetModifierDirect (juce::uint16 blockId, juce::uint16 selector1, juce::uint16 selector2,
                                   juce::uint32 valueBits);
    bool requestSetXY (juce::uint16 blockId, bool y);
    bool requestSwapBlocks (int cellA, int cellB);
    // Block 0 reads every block of the preset.
    bool requestBlockLibraryQuery (juce::uint16 blockId);
    bool requestBlockCopy (juce::uint16 blockId);
    // Without data the block clipboard is pasted; refused while it is empty.
    bool requestBlockPaste (juce::uint16 blockId, const juce::MemoryBlock* blockData);
    bool requestScenePasteAll();
    bool requestSceneSwap (juce::uint16 otherScene);
    bool requestAllScenesBypass (juce::uint16 blockId, bool bypass);
    bool requestAllScenesXY (juce::uint16 blockId, bool y);
    // channel: 0 X, 1 Y.
    bool requestXYCopyToClipboard (juce::uint16 blockId, int channel);
    bool requestXYPasteClipboard (juce::uint16 blockId, int channel);
    bool requestXYCopy (juce::uint16 blockId, int fromChannel, int toChannel);
    bool requestXYSwap (juce::uint16 blockId);
    bool requestModifierValues (juce::uint16 blockId, const juce::Array<juce::uint16>& modifierIds);
    bool requestSetTempo (juce::uint16 newTempo);
    bool requestPresetNames (juce::uint8 startBank);
    bool requestCabNames (bool factory, bool user, bool scratchpad);
    bool requestCabName (juce::uint16 slot);
    bool requestBlockStates();
    // Refused when busy, for a number that is no preset slot, and for a name
    // the unit's name field would not store as it is. Recalls the slot,
    // pastes the data (when given), renames (when a name is given) and saves.
    bool requestManagePreset (juce::int32 presetNumber, const juce::MemoryBlock* presetData,
                              const juce::String* presetName);
    // A request that recalls a slot to save it waits only for the unit's
    // report of that slot. A report of another preset after the unit took
    // the recall and before the save went out is a move: the request sends
    // nothing more but the unmute of outputs it muted and ends as failed
    // (code 1, no end code). The preset the unit reported that way, for the
    // machine's last run; -1 when no move stopped it before its save.
    juce::int32 getPresetMovedToBeforeSave (const PresetStateMachine& machine) const;
    // The preset the unit reported after the machine's last save went out and
    // before its answer (the location holds that preset now, and the user was
    // told); -1 when none was.
    juce::int32 getPresetMovedToAsSaved (const PresetStateMachine& machine) const;
    bool requestImportUserCab (juce::uint16 slot, const juce::MemoryBlock& cabData);
    bool requestGetPresetData (juce::uint16 slot);
    // Mask bit 0 cab 1 left, bit 1 cab 1 right, bit 2 cab 2 left, bit 3 cab 2
    // right; the data blocks are the preset and then one per cab.
    bool requestImportPresetCabBundle (juce::uint8 cabMask, const juce::Array<juce::MemoryBlock>& dataBlocks);
    struct BundleCabTarget
    {
        juce::uint16 slot = 0;
        juce::uint8 user = 0;
    };
    // Refused unless a bundle was imported, and when busy.
    bool requestSavePresetCabBundle (juce::uint8 bank, juce::uint8 program, const BundleCabTarget (&targets)[4]);
    // A negative layout stands for the current scene.
    bool requestSetLayout (juce::int32 layout, juce::uint16 a, juce::uint16 b);

    //==========================================================================
    // Data preparation and the records kept between requests.

    // True when data parses as one whole preset dump of its own model: a
    // start, every data message and a verified end, nothing else.
    static bool isWholePresetDump (const juce::MemoryBlock& data);

    static constexpr const char* damagedPresetText =
        "Unable to send the preset.\nThe preset file is damaged: it does not hold one whole, valid preset.\n"
        "Nothing was sent to the Kestrel.";

    // Points the dump's SYSEX_PATCH_START at the current preset (127/127).
    bool retargetPatchDump (juce::MemoryBlock& data) const;
    // Converts a preset dump for the connected model where that is possible.
    bool convertPatchDumpForModel (juce::MemoryBlock& data) const;
    bool retargetCabIrDump (juce::uint16 slot, juce::MemoryBlock& data) const;
    bool retargetEffectDump (juce::uint16 blockId, juce::MemoryBlock& data) const;

    // Own senders; null without a link or a record.
    SysExRequest* sendFootswitchGrid (const FootswitchGrid* grid);
    SysExRequest* sendLayoutSet (const LayoutRecord& record);
    bool handleFootswitchGridReply (SysExRequest& request);
    bool handleLayoutSetReply (SysExRequest& request);

    // The current scene's block states and scene parameters.
    void captureScene (SceneRecord& record);

    // The clipboard block's name and "-X" or "-Y"; empty without a complete
    // parameter list.
    juce::String getXYClipboardName() const;

    // Whether a block was copied whole to the block clipboard.
    bool hasBlockClipboard() const { return ! blockClipboardData.isEmpty(); }

    const FootswitchGrid& getFootswitchGrid() const { return footswitchGrid; }
    const SceneRecord& getSceneClipboard() const { return sceneClipboard; }
    void setSceneClipboard (const SceneRecord& record) { sceneClipboard = record; }
    bool isBundleImported() const { return bundleFlag != 0; }
    // The cab locations the imported bundle holds (bit 0 Cab 1 L .. bit 3
    // Cab 2 R); 0 without a bundle.
    juce::uint8 getBundleMask() const { return bundleFlag != 0 ? bundleMask : (juce::uint8) 0; }

    void clearPendingData();

    // Shutdown, once the link has stopped (which ends everything it held):
    // dispatches what is pending and frees the step's request, so that
    // nothing here refers to the link any more when it is deleted.
    void releaseLinkRequests();

    // The sender of the paste and import steps (its timer drives it; tests tick it).
    SysExMultiMsgTimer& getMultiMessageSender() { return sender; }

    // The model that data is prepared for: the unit's, once it has reported.
    juce::uint8 getConnectedModel() const;

    // The bank and program of a slot of the connected unit; false for a number that is no slot.
    bool getPresetLocation (juce::int32 presetNumber, int& bank, int& program) const;

private:
    friend class Singleton<PresetManager>;

    //==========================================================================
    void initRequests();
    void executeStep (PresetStateMachine& machine);

    // Runs the work of the machine's current step; false while a step waits
    // for something other than its own request (the multi-message sender).
    bool runStep (PresetStateMachine& machine);

    // The step's request; the commit runs once it has completed, so an entry
    // or a counter moves on only for a message the unit took. A request the
    // unit refuses ends the run, told once (endAfterRefusal), unless the step
    // takes the refusal itself (onRefused, with the unit's result; the step
    // then moves on) or it is the step's normal answer (refusalAnswersStep).
    void setStepRequest (PresetStateMachine& machine, SysExRequest* request,
                         std::function<void (PresetStateMachine&)> commit = {},
                         std::function<void (PresetStateMachine&, juce::uint8)> onRefused = {});
    void deleteStepRequest();
    void dropStaleStepRequest();
    bool ownsStepRequest (const PresetStateMachine& machine) const;

    void finishStopped (PresetStateMachine& machine);
    // "Query Current Preset Number" as a check of the number held; a quiet
    // one's time-out shows no alert.
    bool startPresetNumberCheck (bool quiet);
    void endPresetNumberCheck (const PresetStateMachine& machine);
    // Runs the action when the running load has ended, after any action
    // already waiting for it, with whether the load completed.
    void whenLoadEnds (std::function<void (bool loaded)> action);
    // The window is about to show the preset the unit plays: its load runs,
    // or the unit's report that starts it waits to be taken.
    bool isLoadComing() const;
    // A save or export that an action told "same" starts is told to that
    // action when the unit moves under it; a run of another request, or
    // started otherwise, is not.
    void bindWriteToAnswer (const PresetStateMachine& machine, NamedRequest which);
    // The run has stopped: a write the unit moved under before its save went
    // out is told to its action, as "another" preset.
    void endAnsweredWrite (const PresetStateMachine& machine);
    void waitForPresetNumber (std::function<void (const PresetNumberAnswer&)> action, bool beforeWrite);

    //==========================================================================
    // Runs of writes (PresetManagerWrites.cpp). Every request that writes to
    // the unit's preset (or reads the preset shown into a file) runs under a
    // WriteGuard: its requests go out only while the unit plays the preset
    // they are meant for, and a write the unit refuses ends the run.

    // At every start: the guard of a request that writes, meant for the
    // preset the window shows (or, once the unit has answered it, the slot
    // the run recalls).
    void armGuard (PresetStateMachine& machine);
    // At the start of a run that addresses a scene, and again as its first
    // step goes out: the scene the window shows is the run's (a request
    // before it may have set another), and the one it goes back to.
    void takeSceneShown (PresetStateMachine& machine);
    // The guard the requests of the step about to run carry: none for the
    // unmute, nor once the run has stopped writing or ends early.
    std::shared_ptr<WriteGuard> guardForStep (const PresetStateMachine& machine) const;
    // Before each step: once no write of the run is left and its last one
    // was answered, a move of the unit no longer stops it (but for saves and
    // exports, which keep their guard to their end).
    void finishGuardAfterLastWrite (PresetStateMachine& machine);
    // Before each step: once the guard has stopped the run, tells the user
    // once and leads the run to the unmute of outputs it muted (false), or
    // ends it as failed, without its end code (true).
    bool endsAfterGuardStop (PresetStateMachine& machine);
    void tellRefusal (PresetStateMachine& machine, const WriteGuard::State& state);
    // The unit refused the message of the step at the cursor, which neither
    // takes the refusal itself nor has it as its normal answer: the run is
    // told once, as a refused write is, sends nothing more but the unmute of
    // outputs it muted, and acts on nothing the reading would have brought.
    // A reading refused after the run's last write leaves what was written
    // done: the run ends with its end code. Either way a run that wrote has
    // the preset read again once it ends. A run told of a failure before
    // just ends.
    void endAfterRefusal (PresetStateMachine& machine, const juce::MidiMessage& message, juce::uint8 refusal);
    // Whether the message changes the unit's preset or scene once taken.
    static bool writesToUnit (const juce::MidiMessage& message);
    // Whether the unit's refusal of the message is the step's normal answer:
    // an optional step is skipped, the system information is then unknown,
    // a block the preset lacks has no value or channel to ask, and a cab
    // slot the unit lacks no name.
    bool refusalAnswersStep (const PresetStateMachine& machine, const juce::MidiMessage& message);
    // The block library's readings of whole blocks note a reading the unit
    // refused as the block's, and go on to the next block: they tell which
    // blocks were not saved, and why, once they end. Other runs take no
    // refusal (an empty function).
    std::function<void (PresetStateMachine&, juce::uint8)> noteRefusedBlockRead (const PresetStateMachine& machine);
    // The request's starter tells what the unit refused (its writeStop).
    bool startersTellRefusals (const PresetStateMachine& machine) const;
    void tellMove (const PresetStateMachine& machine, const WriteGuard::State& state);
    // Whether the unit's report of this preset ends the wait of the active
    // request for the slot it loads: only a preset it is meant for does; any
    // other is a move.
    bool endsWaitOfActiveRequest (PresetStateMachine& active, juce::int32 number) const;

    // A save the unit moved under: once it has reported another preset
    // after the save went out and before its answer (or before the save went
    // out again after a time-out), the location holds that preset, not the
    // edit. The location's name is read back, the user is told, the unit is
    // asked which preset it plays, and the run ends without its end code once
    // any outputs it muted are on again. Called before each step of such a
    // run: true when it sent something or ended the run.
    bool endsSaveAfterMove (PresetStateMachine& machine);
    void tellSaveAfterMove (const PresetStateMachine& machine);
    // Called as the save step queues its message.
    void watchSave (PresetStateMachine& machine);
    // The unit has reported another preset than the location since the
    // machine's save went out: the name it plays now is not the one saved.
    bool presetReportedSinceSave (const PresetStateMachine& machine) const;

    // The window moves to another preset: the unit's number was taken and
    // the preset's load has not ended and been told yet.
    bool isPresetMoveUnderWay();
    // A step met a failure: told under title (not at all without a message:
    // the starter tells), then the request ends (or, when it muted the
    // outputs, goes on to unmute them first: see EarlyEnd).
    void failRequest (PresetStateMachine& machine, const juce::String& title, const juce::String& message);
    // A required step failed its last attempt: the request ends as timed
    // out, once the outputs it muted are on again.
    void endAfterTimeOut (PresetStateMachine& machine);
    // The outputs are muted by the steps before the cursor, and an unmute
    // step follows.
    static bool canUnmute (const PresetStateMachine& machine);
    // Leads a run that ends early to its unmute step (true) while the
    // outputs are muted by its steps before the cursor, or by the mute at
    // the cursor that went out.
    bool leadToUnmute (PresetStateMachine& machine);
    // Leads a run that saved the X/Y states of its blocks to read both
    // channels to the step that puts them back (true), until it has run.
    bool leadToXYRestore (PresetStateMachine& machine);
    // Before each step of a run ending early: leads it back to the scene
    // shown, to the restore of X/Y states it changed (after a refused
    // reading) and to its unmute step while muted; then ends a timed-out run
    // (true).
    bool endsEarly (PresetStateMachine& machine);
    // As a run that addresses a scene ends early, refused or timed out:
    // whether the unit, as it last answered, is on another scene than the
    // window showed and the script's way back is still ahead (the way back
    // is then due).
    bool takesUnitBackToSceneShown (PresetStateMachine& machine);
    // Leads a run whose way back is due to it, and keeps it there until its
    // scene set is answered (true).
    bool leadsBackToSceneShown (PresetStateMachine& machine);
    // False, with an alert under title, unless the data is a whole preset dump
    // whose name holds only characters the unit stores.
    bool acceptPresetData (const juce::MemoryBlock& data, const juce::String& title) const;
    void showTimeOutAlert (const PresetStateMachine& machine);
    void setWaitCursor (bool on);

    bool isBusy (NamedRequest which) const { return machines.getUnchecked (which)->isRunning(); }
    static bool isBadBlock (juce::uint16 blockId);
    PresetStateMachine& startRequest (NamedRequest which);
    void invalidateEffectModel (bool alsoQueryStates);
    void markBlockStale (juce::uint16 blockId);
    juce::uint16 getCurrentScene();
    int getSceneCountForModel() const;

    // Step helpers.
    bool waitForSender() const;
    bool checkSenderResult (PresetStateMachine& machine, const juce::String& title);
    bool startSender (PresetStateMachine& machine, const juce::MemoryBlock& data);
    bool ownsSender (const PresetStateMachine& machine) const;
    int findNextEffectCell (int from) const;
    void appendSceneQueries (PresetStateMachine& machine);
    void appendSceneWrites (PresetStateMachine& machine);
    void appendXYPaste (PresetStateMachine& machine, const EffectRecord& record, int listChannel, bool fromState);
    void addSwitchSteps (PresetStateMachine& machine, int channel);
    // The "XY Clipboard" script: step 0 under the codes (begin, begin + 1),
    // and the end of a write to a channel (back to the current channel, then
    // states, flags and the channel's resync).
    PresetStateMachine& beginXYScript (juce::int32 beginCode);
    void endXYWriteScript (PresetStateMachine& machine, int written, int current);

    //==========================================================================
    WaitIndicator* waitIndicator = nullptr;
    WaitCursorFlag* waitCursor = nullptr;
    ManagerRef<BlockLibraryManager> blockLibrary;

    mutable juce::CriticalSection statusLock;
    juce::uint8 statusChanged = 0;
    juce::int32 eventCode = 0;
    juce::uint8 statusArg1 = 0;
    juce::uint8 statusArg2 = 0;

    SysExMultiMsgTimer sender;
    // The run whose data the sender took; its check step reads the outcome.
    const PresetStateMachine* senderOwner = nullptr;
    juce::uint32 senderOwnerRun = 0;

    SceneRecord sceneClipboard;
    SceneRecord swapA, swapB;
    juce::uint16 swapDestination = 0;

    // XY clipboard: the copied channel's parameters (in listChannel's list),
    // the block and channel it now names, and the block's modifier dumps.
    EffectRecord xyRecord;
    juce::uint16 xyBlockId = 0;
    juce::uint8 xyChannel = 0;
    juce::uint8 xyListChannel = 0;
    juce::Array<ModifierDumpRecord> xyModifiers;

    juce::uint16 blockClipboardId = 0;
    juce::MemoryBlock blockClipboardData;
    juce::Array<ModifierDumpRecord> blockClipboardModifiers;

    FootswitchGrid footswitchGrid;

    juce::uint8 resyncHold = 0;
    juce::uint8 presetChangeHold = 0;
    juce::uint32 deferredPresetChanges = 0;
    // The user's last choice of preset not yet started; -1: none.
    juce::int32 waitingPresetChoice = -1;

    // A recall went out and no preset number came from the unit since.
    bool recallAwaitingReport = false;
    bool presetNumberInDoubt = false;
    // The running "Query Current Preset Number" checks the number held.
    bool checkingPresetNumber = false;
    bool quietPresetNumberCheck = false;
    // The question was asked before a write: the preset held, found again,
    // is not read again.
    bool keepPresetIfSame = false;
    // An action waiting for the answer, with what the window showed when it was given.
    struct PresetNumberWaiter
    {
        PresetNumberAnswer answer;
        bool givenWhileMoving = false;
        bool beforeWrite = false;
        std::function<void (const PresetNumberAnswer&)> action;
    };
    std::vector<PresetNumberWaiter> presetNumberWaiters;
    // While an action told "same" before a write runs: its waiter.
    const PresetNumberWaiter* sameAnswerTold = nullptr;
    // The saves and exports started on a "same" answer and not ended yet.
    struct AnsweredWrite
    {
        const PresetStateMachine* machine = nullptr;
        juce::uint32 run = 0;
        PresetNumberWaiter waiter;
    };
    std::vector<AnsweredWrite> answeredWrites;
    // The entry of the machine's run; end() for none.
    std::vector<AnsweredWrite>::iterator findAnsweredWrite (const PresetStateMachine& machine);
    // The link's count of the unit's reports before the first one the window
    // did not follow (held, or ending a request's wait); -1 while it follows
    // every one. A guard armed meanwhile judges those reports too.
    juce::int64 reportsFollowed = -1;
    // The last save that went out.
    struct SaveWatch
    {
        const PresetStateMachine* machine = nullptr;
        juce::uint32 run = 0;
        juce::int32 location = -1;
        juce::uint32 reportsAtSave = 0;   // the link's count as the save was queued
        juce::int32 movedTo = -1;         // another preset, reported before the answer
        bool told = false;
        bool asked = false;               // which preset the unit plays after it
        bool nameAsked = false;           // refused: the location's name read back
    };
    SaveWatch saveWatch;
    // The number the unit named in answer to the running question, or in a
    // report of a change while it ran; -1: none yet.
    juce::int32 answeredPresetNumber = -1;
    // The unit reported a change of preset while the question ran.
    bool reportedWhileChecking = false;
    // The waiting actions are told of another preset once it is loaded.
    bool answerAfterLoad = false;
    std::function<void (bool loaded)> afterAnsweredLoad;
    // While the window moves to another preset, the one it still shows; -1: none.
    juce::int32 presetMovedFrom = -1;
    juce::String presetMovedFromName;

    // The request the running step sent, and the run it belongs to.
    SysExRequest* currentStepRequest = nullptr;
    PresetStateMachine* stepOwner = nullptr;
    juce::uint32 stepOwnerRun = 0;
    std::function<void (PresetStateMachine&)> stepCommit;
    std::function<void (PresetStateMachine&, juce::uint8)> stepRefusal;
    bool failureReported = false;
    std::function<void()> requestStarted;

    // Operation data of the paste and bundle requests.
    juce::uint8 bundleFlag = 0;
    juce::uint8 bundleMask = 0;
    int bundleCabIndex = 0;
    int bundleUserCabCount = 0;
    juce::MemoryBlock operationData;                    // the bundle's preset
    juce::OwnedArray<juce::MemoryBlock> pendingEntries; // the bundle's cabs
    struct BundleSave
    {
        int cabIndex = 0;
        juce::uint16 slot = 0;
    };
    juce::Array<BundleSave> bundleSaves;
    int bundleSaveIndex = 0;

    PresetGrid walkGrid; // the grid the cursor steps walk, fixed blocks included

    juce::OwnedArray<PresetStateMachine> machines;
    juce::Array<PresetStateMachine*> requestList;

    JUCE_DECLARE_NON_COPYABLE (PresetManager)
};
