#pragma once

#include "device/wire/EditRecords.h"
#include "tests/support/SimulatedPreset.h"
#include "tests/support/SimulatedReplyChannel.h"
#include "tests/support/VirtualMidiBackend.h"

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

// A model 8 Kestrel unit with firmware 6.00 behind a virtual MIDI device, for
// testing the whole protocol stack against.
//
// It keeps 512 presets, an edit buffer (the current preset, its scene and its
// modified flag), cab names, modifiers and layout values, and answers every
// request the program sends with exactly the replies the link waits for: the
// reply of the request's own function, a multi-message answer that announces
// its length in its first message, or a SYSEX_STATUS_MSG echo for a command
// without a reply of its own. Replies carry the unit's model byte and correct
// checksums (the states message carries none, as on the unit).
//
// Requests addressed to another model byte are ignored, except
// SYSEX_WHO_AM_I, which goes to every model (0x7F).
//
// The unit attaches to a VirtualMidiBackend under a device name (an input and
// an output of that name); it answers on the sending thread, through a
// SimulatedReplyChannel that applies the test's faults. Delayed replies wait
// for Clock::nowMs(): move the test clock, then call pump() (or
// startAutoPump() when the link runs on its own thread).
//
// Thread-safe: requests arrive on the link thread while the test reads the
// state and changes faults on its own. The backend must outlive the unit, and
// a link thread that sends to it must be stopped before the unit is deleted.
//
// The class spans SimulatedKestrel.cpp (requests and replies) and one
// SimulatedKestrel<Concern>.cpp per concern.
class SimulatedKestrel
{
public:
    static constexpr juce::uint8 model = 8;
    static constexpr int presetCount = 512;
    static constexpr int scratchpadCabCount = 4;
    static constexpr juce::uint8 statusNoStrings = 27; // SYSEX_GET_PARAM_STRINGS: none

    // Results of the unit's status replies (0 is success).
    enum Result : juce::uint8
    {
        resultOk = 0,
        resultBadValue = 1,    // a field out of range (block, parameter, slot, cell)
        resultBadSequence = 2, // a dump message out of order
        resultBadChecksum = 3  // a dump whose END value or word count does not match
    };

    explicit SimulatedKestrel (VirtualMidiBackend& backend, const juce::String& deviceName = "1- Kestrel MIDI");
    ~SimulatedKestrel();

    juce::String getDeviceName() const { return deviceName; }

    // Handles one message as if it had arrived from the program. The virtual
    // output calls this; tests may too.
    void receive (const juce::MidiMessage& message);

    //==========================================================================
    // Faults, per function code (the request's function byte).

    // Ignores requests of this function altogether (they are still logged).
    void setSilentFor (int function, bool silent = true);

    // Carries out requests of this function but sends nothing for them:
    // neither their reply nor what they make the unit report (a recall's
    // SYSEX_PATCHNUM), as if every answer were lost on the way back.
    void setUnansweredFor (int function, bool unanswered = true);

    // Ignores the next `count` requests of this function as if they had been
    // lost on the way: not carried out, not answered (still logged).
    void ignoreNextRequests (int function, int count = 1);

    // Answers requests of this function with a SYSEX_STATUS_MSG carrying this
    // result instead of their normal reply, and does not carry them out. A
    // result of 0 lifts it.
    void setErrorStatusFor (int function, juce::uint8 result);

    // The same for the requests of this function that name this block: those
    // whose message starts with a block id, as SYSEX_GET_ALL_PARAMS and
    // SYSEX_MODIFIER_DUMP do. A result of 0 lifts it.
    void setErrorStatusForBlock (int function, int blockId, juce::uint8 result);

    // Holds every reply to this function until delayMs have passed on the
    // program's clock (0 lifts it). Later replies queue behind held ones.
    void setReplyDelayFor (int function, juce::uint32 delayMs);

    // Spoils the checksum of the next `count` reply messages to this function.
    void corruptNextReplies (int function, int count = 1);

    // The next request of this function gets only the first `messages`
    // messages of its answer; then the unit falls silent altogether, as
    // goSilentAfterMessages does (setSilent (false) lifts it).
    void goSilentPartWayThrough (int function, int messages);

    // The user selects this preset on the unit right after it has answered
    // the next request of this function: its SYSEX_PATCHNUM report follows
    // the answer at once, in the same burst.
    void selectPresetAfterNextAnswerTo (int function, int presetNumber);

    // The user acts on the unit right after it has answered the next request
    // of this function: what the action sends (one of the unit's own messages
    // below, such as selectSceneOnUnit's report) follows the answer at once,
    // in the same burst. The action runs on the thread that sent the request.
    void actAfterNextAnswerTo (int function, std::function<void()> action);

    // The same, while the unit answers: the first `messages` messages of its
    // answer go out, then what the action sends, then the rest of the answer
    // as the unit had composed it before the action.
    void actPartWayThroughNextAnswerTo (int function, int messages, std::function<void()> action);

    // The user selects this preset on the unit just as the next request of
    // this function reaches it: the unit sends its SYSEX_PATCHNUM report,
    // then handles the request, with the preset selected.
    void selectPresetOnNextRequestOf (int function, int presetNumber);

    // The unit reports the preset it plays (SYSEX_PATCHNUM) after it has
    // carried out the next request of this function and before its answer,
    // as it may after a save into another slot, which leaves it there.
    void reportPresetBeforeNextAnswerTo (int function);

    // Clears every per-function fault above.
    void clearFaults();

    // Told, on the thread that sent it, of each request whose answer the
    // faults above or those of the wire below keep from the program, wholly
    // or in part, once the rest of what it sends has gone: the program can
    // only wait out its time-out (SkippingClock skips that wait). It runs
    // under the unit's send lock: keep it short. Empty for none.
    void setOnAnswerLost (std::function<void (int function)> listener);

    // Faults of the wire, over every message the unit sends.
    void dropEveryNthMessage (int n);     // 0 lifts it
    void goSilentAfterMessages (int k);   // -1 lifts it
    void setSilent (bool shouldBeSilent); // nothing at all goes out

    // Releases held replies whose delay has passed; startAutoPump does so
    // every millisecond on a thread of its own until stopAutoPump (or the
    // destructor).
    void pump();
    void startAutoPump();
    void stopAutoPump();
    int getNumHeldReplies() const { return channel.getNumHeld(); }

    //==========================================================================
    // The unit's identity.

    // The version its SYSEX_QUERY_VERSION reply reports (6.00 by default).
    void setFirmware (int major, int minor);

    // The model byte written into every message it sends (8 by default);
    // requests are still accepted when addressed to model 8.
    void setReportedModel (juce::uint8 newModel);

    // Makes the device vanish from the device lists (its open ports go dead
    // and held replies are lost) and come back.
    void vanish();
    void reappear();

    //==========================================================================
    // Unsolicited messages, as the unit sends them when something changes on it.

    // The user selects a preset on the unit: it is loaded and SYSEX_PATCHNUM sent.
    void selectPresetOnUnit (int presetNumber);
    // The user selects a scene on the unit: it reports its states
    // (SYSEX_QUERY_STATES) as they are in that scene.
    void selectSceneOnUnit (int scene);
    void sendPresetNumber();  // SYSEX_PATCHNUM with the current preset
    void sendResync();        // SYSEX_RESYNC
    void sendStatesChanged(); // SYSEX_QUERY_STATES with the current states
    void sendTempoTick();     // SYSEX_TEMPO
    void sendTunerReading (int note, int string, int cents);

    // The tuner (SimulatedKestrelTuner.cpp): control change 15 on the unit's
    // MIDI channel switches it on (value 127, and the present pitch is sent at
    // once) and off (value 1). While it is on, every new pitch is sent as a
    // SYSEX_TUNER reading; while it is off nothing is.
    bool isTunerOn() const;
    void setTunerPitch (int note, int string, int tuning);
    void sendKnobBroadcast (const std::vector<std::pair<int, int>>& paramsAndValues);
    void sendModifierBroadcast (int value);
    void sendLooperState (int first, int second);
    void sendEditorDisconnectEcho(); // SYSEX_STATUS_MSG echoing SYSEX_EDITOR_DISCONNECT
    void sendRaw (const juce::MidiMessage& message);

    // After a scene change the unit sends SYSEX_RESYNC (default on); after a
    // recall or a pasted preset it reports the preset number (default on).
    void setResyncAfterSceneChange (bool shouldSend);
    void setPresetNumberAfterLoad (bool shouldSend);

    //==========================================================================
    // The unit's state, for arranging and checking tests.

    int getCurrentPresetNumber() const;
    int getCurrentScene() const;
    // Whether its outputs are muted: by the last SYSEX_MUTE it carried out
    // (value 0 mutes, any other turns them on).
    bool areOutputsMuted() const;
    bool isModified() const;
    SimulatedPreset getEditBuffer() const;
    SimulatedPreset getPreset (int presetNumber) const; // a stored slot; empty preset outside 0..511
    void setPreset (int presetNumber, const SimulatedPreset& preset);
    void setEditBuffer (const SimulatedPreset& preset, bool modified = false);
    bool getParam (int blockId, int paramId, juce::uint16& value) const; // edit buffer, current channel

    struct CabName
    {
        juce::String name;
        juce::uint8 format = 0;
    };

    // Cab slots as one flat list: factory slots, then user, then scratchpad.
    // The counts are what SYSEX_GET_SYSINFO reports (100 factory, 512 user
    // and 4 scratchpad slots by default).
    void setCabCounts (int factory, int user);
    int getNumFactoryCabs() const;
    int getNumUserCabs() const;
    CabName getCabName (int flatSlot) const;
    void setCabName (int flatSlot, const juce::String& name, juce::uint8 format = 0);

    void setMidiChannel (int zeroBasedChannel);
    void setCpuLoad (int percent);
    // The value of the SYSEX_GET_CONFIG answer (the display offset).
    void setConfigValue (int value);

    // The footswitch assignments the unit holds: three numbers per switch
    // (preset block, global block, mode), eight by default, all zero.
    // Command word 1 stores what it is sent; both commands answer with what
    // is stored. Tests may store any count.
    void setFootswitchAssignments (const juce::Array<FootswitchGridEntry>& entries);
    juce::Array<FootswitchGridEntry> getFootswitchAssignments() const;

    //==========================================================================
    // The log of every message received, in order.
    juce::Array<juce::MidiMessage> getReceived() const;
    int countReceived (int function) const;
    void clearReceived();

    int getNumMessagesSent() const { return channel.getNumDelivered(); }
    juce::int64 getNumBytesSent() const { return channel.getNumBytesDelivered(); }

private:
    struct Faults
    {
        bool silent = false;
        bool unanswered = false;
        int ignoreCount = 0;
        juce::uint8 errorResult = 0;
        std::map<int, juce::uint8> blockErrorResults; // by block id
        juce::uint32 delayMs = 0;
        int corruptCount = 0;
        int silentAfterMessages = -1;
        int presetSelectedAfterAnswer = -1;
        std::function<void()> actionAfterAnswer;
        int actionAfterMessages = -1; // -1: after the whole answer
        int presetSelectedOnRequest = -1;
        bool reportBeforeAnswer = false;
    };

    struct DumpSession
    {
        bool active = false;
        int bank = 0, program = 0;
        int declaredWords = 0;
        std::vector<juce::uint16> words;
    };

    // One reply on its way out, with the faults of the request it answers.
    struct Outgoing
    {
        juce::MidiMessage message;
        juce::uint32 delayMs = 0;
        bool corrupt = false;
    };

    using Handler = void (SimulatedKestrel::*) (const juce::MidiMessage&);

    void buildDispatchTable();

    // Reply helpers: they append to the outbox, which receive() flushes to the
    // channel once the state lock is released.
    void reply (const juce::MidiMessage& message);
    void replyStatus (juce::uint8 result);
    void queueUnsolicited (const juce::MidiMessage& message);
    juce::MidiMessage frame (juce::uint8 function, const juce::MemoryBlock& payload) const;

    SimulatedPreset* findStoredPreset (int bank, int program);
    void loadPreset (int presetNumber);
    juce::MidiMessage buildPresetNumberMessage() const;
    juce::MidiMessage buildStatesMessage() const;
    juce::MidiMessage buildSceneMessage() const;
    juce::MidiMessage buildParamReply (int blockId, int paramId, juce::uint16 value) const;
    juce::MidiMessage buildCabNameReply (int flatSlot) const;
    void replyPresetDump (const SimulatedPreset& preset, int bank, int program);
    void replyCabDump (int cabNumber);
    juce::uint32 cabDumpValue (int cabNumber, int index) const;

    // Handlers, one per function code.
    void handleWhoAmI (const juce::MidiMessage&);
    void handleControlChange (const juce::MidiMessage&);
    // Collects a cab upload; at its end a whole one gives its user or
    // scratchpad slot the uploaded name (SimulatedKestrelCabUpload.cpp).
    void storeCabUpload (const juce::MidiMessage&);
    void handleParamDump (const juce::MidiMessage&);
    void handleParamSet (const juce::MidiMessage&);
    void handlePatchDump (const juce::MidiMessage&);
    void handlePlaceEffect (const juce::MidiMessage&);
    void handleConnectEffect (const juce::MidiMessage&);
    void handleModifierSet (const juce::MidiMessage&);
    void handleQueryVersion (const juce::MidiMessage&);
    void handleSetName (const juce::MidiMessage&);
    void handleQueryStates (const juce::MidiMessage&);
    void handleQueryName (const juce::MidiMessage&);
    void handleXY (const juce::MidiMessage&);
    void handleCabName (const juce::MidiMessage&);
    void handleCpuLoad (const juce::MidiMessage&);
    void handlePatchNumber (const juce::MidiMessage&);
    void handleQueryNameByNumber (const juce::MidiMessage&);
    void handleGetParamInfo (const juce::MidiMessage&);
    void handleGetMidiChannel (const juce::MidiMessage&);
    void handleGetModifierInfo (const juce::MidiMessage&);
    void handleCabDump (const juce::MidiMessage&);
    void handleSavePatch (const juce::MidiMessage&);
    void handleGetAllParams (const juce::MidiMessage&);
    void handleGetGrid (const juce::MidiMessage&);
    void handleSetDefaults (const juce::MidiMessage&);
    void handleLooperState (const juce::MidiMessage&);
    void handleMoveEffect (const juce::MidiMessage&);
    void handleGetParamStrings (const juce::MidiMessage&);
    void handleSetScene (const juce::MidiMessage&);
    void handleGetFlags (const juce::MidiMessage&);
    void handleModifierDump (const juce::MidiMessage&);
    void handleModifier (const juce::MidiMessage&);
    void handleSetParamDirect (const juce::MidiMessage&);
    void handleBpm (const juce::MidiMessage&);
    void handleGetGraph (const juce::MidiMessage&);
    void handleGetConfig (const juce::MidiMessage&);
    void handleBroadcastModifier (const juce::MidiMessage&);
    void handleGetPosition (const juce::MidiMessage&);
    void handleSetModParamDirect (const juce::MidiMessage&);
    void handleRecallPatch (const juce::MidiMessage&);
    void handlePlainCommand (const juce::MidiMessage&); // status 0, nothing kept
    void handleMute (const juce::MidiMessage&);
    void handleDeleteCab (const juce::MidiMessage&);
    void handleEffectDump (const juce::MidiMessage&); // a block's words written back (block paste)
    void handleLayoutSet (const juce::MidiMessage&);
    void handlePatchPlusCabDump (const juce::MidiMessage&);
    void handleGetSysInfo (const juce::MidiMessage&);
    void handleFootswitchGrid (const juce::MidiMessage&);
    void handlePatchStart (const juce::MidiMessage&);
    void handlePatchData (const juce::MidiMessage&);
    void handlePatchEnd (const juce::MidiMessage&);
    void handleCabIrMessage (const juce::MidiMessage&);
    void handleControlIrCap (const juce::MidiMessage&);

    // Modifiers (SimulatedKestrelModifiers.cpp): one setting of the edit
    // buffer's modifier that drives (block, parameter selector), read or
    // written, answered as SYSEX_MODIFIER_SET does.
    // Write modes: 0 asks, 3 to 6 step the field (up coarse, down coarse, up
    // fine, down fine), any other writes the value.
    void answerModifierSetting (int blockId, int paramSelector, int field, juce::uint16 value, juce::uint32 mode);

    VirtualMidiBackend& backend;
    const juce::String deviceName;
    SimulatedReplyChannel channel;

    std::map<int, Handler> dispatch;

    // Unit state, under stateLock.
    mutable juce::CriticalSection stateLock;
    int firmwareMajor = 6, firmwareMinor = 0;
    juce::uint8 reportedModel = model;
    std::vector<SimulatedPreset> presets;
    SimulatedPreset editBuffer;
    // Blocks pushed out of the edit buffer's grid keep their settings until
    // another preset is loaded, and get them back when placed again.
    std::map<int, SimulatedPreset::Block> parkedBlocks;
    int currentPreset = 0;
    bool modified = false;
    std::vector<CabName> cabs;
    int factoryCabs = 100, userCabs = 512;
    int midiChannel = 0;
    juce::MemoryBlock cabUpload;
    bool tunerOn = false;
    bool outputsMuted = false;
    int tunerPitch[3] = { 0, 0, 63 };
    int cpuLoad = 23;
    int configValue = 0;
    int looperState[2] = { 0, 0 };
    std::map<std::pair<int, int>, int> layoutValues; // (layout, key)
    juce::Array<FootswitchGridEntry> footswitchEntries{ FootswitchGridEntry(), FootswitchGridEntry(), FootswitchGridEntry(),
                                                        FootswitchGridEntry(), FootswitchGridEntry(), FootswitchGridEntry(),
                                                        FootswitchGridEntry(), FootswitchGridEntry() };
    DumpSession pasteSession;
    int effectDumpBlock = 0; // the block of the effect dump under way, 0 for none
    std::vector<juce::uint16> effectDumpWords;
    bool resyncAfterScene = true;
    bool presetNumberAfterLoad = true;
    std::map<int, Faults> faults;
    std::function<void (int)> answerLostListener;

    // The function of the request being handled, and what it will send.
    int handlingFunction = -1;
    std::vector<Outgoing> outbox;
    juce::CriticalSection sendLock; // keeps one request's replies together on the wire

    mutable juce::CriticalSection logLock;
    juce::Array<juce::MidiMessage> received;

    class AutoPump;
    std::unique_ptr<AutoPump> autoPump;

    JUCE_DECLARE_NON_COPYABLE (SimulatedKestrel)
};
