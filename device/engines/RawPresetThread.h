#pragma once

#include "device/engines/RawPresetJobItem.h"
#include "device/wire/EditRecords.h"
#include "device/wire/ModifierRecords.h"
#include "model/EffectParamValue.h"
#include "model/ModifierDumpRecord.h"
#include "model/PresetGrid.h"
#include "model/RawPreset.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class SysExRequest;
class WriteGuard;
class ZOLMidiProcessing;

// The raw preset worker: batch jobs over presets of the unit that run on a
// thread of their own, outside the preset manager. It exports presets to
// ".dat" records, exports every block of presets to ".blk" files of the block
// library, imports ".dat" records into preset slots, and copies every block's
// X parameters to its Y channel.
//
// The dialog that owns it builds the job items, starts one job, polls the
// progress text and the items' states, and may ask the thread to stop
// (signalThreadShouldExit); it keeps the items alive until the thread has
// ended. The worker talks to the unit through the MIDI link one request at a
// time: it builds a request, queues it on the link and waits until the link
// ends it. No wait outlasts the link: a request that the link will not serve
// (held, stopped, or not sent once the thread is asked to exit) is handed
// back to the link, never freed while the link may hold it.
//
// The worker's lock guards only the progress; each job item has its own lock.
// No two locks are ever held at once.
//
// The jobs and the procedures they use live in RawPresetThreadJobs.cpp and
// RawPresetThreadProcedures.cpp; the request engine and its senders in
// RawPresetThread.cpp.
class RawPresetThread : public juce::Thread
{
public:
    // The connected unit as the dialog describes it: word 0 firmware major,
    // word 1 firmware minor, word 7 the model byte; the others are not read.
    static constexpr int descriptionWords = 8;
    using DeviceDescription = std::array<juce::uint32, descriptionWords>;

    enum JobKind
    {
        jobImport = 0,
        jobExportPresets = 1,
        jobExportBlocks = 2,
        jobCopyXToY = 3
    };

    enum WaitResult
    {
        waitNoRequest = 0,
        waitComplete = 1,
        waitTimedOut = 2,
        waitAbandoned = 3 // given up; the request now belongs to the link
    };

    static constexpr juce::uint32 requestTimeoutMs = 3000;
    // The longest a waiting request goes unlooked at. Its end wakes the
    // worker at once (the request notifies the thread), so this grain only
    // paces the checks for a link that has stopped or an exit request.
    static constexpr int pollIntervalMs = 100;
    // A request the link has not sent after this long is given up (the link
    // is held or its queue is stuck).
    static constexpr juce::uint32 unsentLimitMs = 15000;
    // Once the thread is asked to exit, a request the link has not sent
    // after this long is given up.
    static constexpr juce::uint32 exitGraceMs = 250;
    // A sent request the link has not ended this long after its time-out is given up.
    static constexpr juce::uint32 overdueMarginMs = 2000;
    // A link whose thread is not running is given this long to start again.
    static constexpr juce::uint32 linkStoppedGraceMs = 500;
    // Records of one modifier dump.
    static constexpr int modifierDumpRecords = 24;

    // Why an item failed when no step named a reason of its own.
    static constexpr const char* stoppedAnsweringText = "The unit stopped answering.";
    static constexpr const char* unexpectedAnswerText = "The unit gave an unexpected answer.";
    static constexpr const char* stoppedByUserText = "Stopped by the user.";
    // A write the unit answered with a failure; "%d" is its result code.
    static constexpr const char* refusedText = "The unit refused it (error %d).";

    // The link defaults to the process-wide one, fetched when a job starts.
    explicit RawPresetThread (const DeviceDescription& description, ZOLMidiProcessing* linkToUse = nullptr);
    ~RawPresetThread() override;

    // Refused (false, nothing changed) while a job runs. Otherwise keeps the
    // kind, a copy of the item list (the pointers, in order), the base number
    // (added to preset indexes in export texts and file names) and the folder,
    // and starts the thread.
    bool startJob (int kind, const juce::Array<RawPresetJobItem*>& items, juce::uint16 baseNumber,
                   const juce::String& folderPath);

    // The progress text and number while the thread runs; "" and -1 once it
    // is not running.
    void getProgress (juce::String& text, int& number) const;

    // How often a wait for a request ran its whole poll interval, in this
    // worker's life: an answer that comes ends its wait at once.
    int countWaitsRunOut() const { return waitsRunOut.load(); }

    //==========================================================================
    // Import planning, public for tests.

    // Fills the placement, connection and modifier queues for the record:
    // shunts renumbered 300, 301, ... in cell order; one connection per input
    // bit of a cell past column 0; one modifier write per modifier word, a
    // bypass-mode parameter addressed as 255. False when the record holds
    // more shunts than the unit has shunt ids.
    bool planImport (const RawPreset& record);

    const std::deque<BlockInsert>& getPlacementQueue() const { return placementQueue; }
    const std::deque<CableConnection>& getConnectionQueue() const { return connectionQueue; }
    const std::deque<ModifierWrite>& getModifierQueue() const { return modifierQueue; }

private:
    void run() override;
    void setProgress (const juce::String& text, int number);

    //==========================================================================
    // Request engine.

    // Queues the message (expecting that many replies), waits for its end and
    // gives what `parse` makes of the ended request. False when there is no
    // link, the message was not built, or the wait was given up.
    bool exchange (bool built, const juce::MidiMessage& message, int expectedReplies,
                   const std::function<bool (const SysExRequest&)>& parse, bool stopOnExitRequest = true);
    bool exchangeStatus (bool built, const juce::MidiMessage& message, bool stopOnExitRequest = true);

    // Waits until the link ends the request: waitComplete or waitTimedOut,
    // or waitAbandoned when the link stops, does not send the request in time
    // (sooner once the thread is asked to exit, unless told not to heed it)
    // or does not end it in time; the request has then been handed to the link.
    int waitForReply (SysExRequest* request, bool stopOnExitRequest);

    juce::uint8 getModel() const { return (juce::uint8) device[7]; }

    // The guard of the item under way (see WriteGuard): what it writes is
    // meant for its slot once the unit has taken the item's recall, and a
    // refusal or a move of the unit ends it. Every exchange of the item
    // carries it.
    std::shared_ptr<WriteGuard> guard;

    // What went wrong with the last exchange that failed (one of the texts
    // above); empty when it succeeded.
    juce::String lastProblem;
    std::atomic<int> waitsRunOut{ 0 };

    bool sendRecallPatch (int presetNumber);
    bool sendQueryNameByNum (int presetNumber, juce::String& name);
    bool sendGetGrid();
    bool sendSetScene (int scene, juce::uint8& echo);
    bool sendGetModifierInfo (int modifierId, ModifierInfoReply& reply);
    bool sendModifierSet (const ModifierWrite& write, ModifierSetReply& reply);
    bool sendXY (int blockId, int channel);
    bool sendPlaceEffect (int blockId, int cell);
    bool sendSetName (const juce::String& name);
    bool sendConnectEffect (const CableConnection& connection);
    bool sendParamSet (int blockId, int paramId, juce::uint16 value);
    bool sendSavePatch (int presetNumber);
    bool sendGetAllParams (int blockId, juce::MemoryBlock& data);
    bool sendModifierDump (int blockId, juce::Array<ModifierDumpRecord>& records);
    bool sendMute (bool mute);
    bool sendParamDump (int blockId, juce::Array<EffectParamValue>& values);
    bool sendQueryStates (juce::Array<juce::uint32>& words);

    // Asks the unit its scene when an answer of the item came after a states
    // report the unit sent: false when the unit is in another scene than the
    // one the item set (the item's guard then says so), or did not answer.
    bool settleScene();

    //==========================================================================
    // Read and write procedures over the preset loaded on the unit.

    void gridFromReply (PresetGrid& grid) const;
    bool readSceneStates (RawPreset& record);
    bool readParamValues (int channel, RawPreset& record);
    bool readModifiers (RawPreset& record);
    bool writeParamValues (int channel, int listIndex, const PresetGrid& unitGrid, const RawPreset& record);
    bool writeSceneStates (const RawPreset& record);

    //==========================================================================
    // Jobs.

    // Walks the items in order: an item that starts with the exit request
    // set is left as it is and ends the job; otherwise `perform` runs it and
    // it is marked done or failed, and a failure ends the job. Gives the
    // number of items handled.
    int forEachItem (const std::function<bool (int position, RawPresetJobItem& item)>& perform);
    void fillHeader (int presetNumber);
    static bool fail (RawPresetJobItem& item, const juce::String& reason);

    void importPresets();
    void exportPresets();
    void exportBlocks();
    void copyXToY();

    bool importOne (int position, RawPresetJobItem& item);
    bool exportOne (int position, RawPresetJobItem& item);
    bool exportBlocksOf (int position, RawPresetJobItem& item);
    bool copyOne (int position, RawPresetJobItem& item);

    //==========================================================================
    ZOLMidiProcessing* const linkOverride;
    ZOLMidiProcessing* link = nullptr;
    const DeviceDescription device;

    int kind = jobImport;
    juce::String folder;
    juce::uint16 base = 0;
    juce::Array<RawPresetJobItem*> items;

    mutable juce::CriticalSection progressLock;
    juce::String progressText;
    int progressNumber = 0;

    GridVectors gridReply;
    RawPreset work;
    PresetGrid unitGrid;

    std::deque<BlockInsert> placementQueue;
    std::deque<CableConnection> connectionQueue;
    std::deque<ModifierWrite> modifierQueue;

    JUCE_DECLARE_NON_COPYABLE (RawPresetThread)
};
