#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"
#include "device/wire/SysExCodec.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <cmath>
#include <cstring>
#include <utility>

using namespace SimulatedKestrelDetail;

namespace
{
using juce::uint16;
using juce::uint32;
using juce::uint8;

constexpr uint8 modelAny = 0x7F; // SYSEX_WHO_AM_I goes to every model
constexpr int sceneQuery = 127;  // SYSEX_SET_SCENE: ask without changing
constexpr int layoutKeysPerLayout = 16;

float bitsToFloat (uint32 bits)
{
    float value = 0.0f;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

bool isCompleteSysEx (const juce::MidiMessage& message)
{
    auto* bytes = message.getRawData();
    const int size = message.getRawDataSize();
    return bytes != nullptr && size >= sysExFrameOverhead && bytes[0] == sysExStartByte &&
           bytes[size - 1] == sysExEndByte && std::memcmp (bytes, sysExHeaderPrefix, 4) == 0;
}
} // namespace

//==============================================================================
class SimulatedKestrel::AutoPump : public juce::Thread
{
public:
    explicit AutoPump (SimulatedKestrel& ownerToPump)
        : juce::Thread ("SimulatedKestrel pump")
        , owner (ownerToPump)
    {
    }

    void run() override
    {
        while (! threadShouldExit())
        {
            owner.pump();
            wait (1);
        }
    }

private:
    SimulatedKestrel& owner;
};

void SimulatedKestrel::pump()
{
    channel.pump();
}

void SimulatedKestrel::startAutoPump()
{
    if (autoPump == nullptr)
    {
        autoPump = std::make_unique<AutoPump> (*this);
        autoPump->startThread();
    }
}

void SimulatedKestrel::stopAutoPump()
{
    if (autoPump != nullptr)
    {
        autoPump->stopThread (2000);
        autoPump.reset();
    }
}

//==============================================================================
SimulatedKestrel::SimulatedKestrel (VirtualMidiBackend& backendToUse, const juce::String& name)
    : backend (backendToUse)
    , deviceName (name)
{
    presets.reserve ((size_t) presetCount);

    for (int i = 0; i < presetCount; ++i)
        presets.push_back (SimulatedPreset::makeFactory (i));

    editBuffer = presets[0];
    setCabCounts (factoryCabs, userCabs);

    buildDispatchTable();

    channel.setDeliver ([this] (const juce::MidiMessage& message) { backend.pushToInput (deviceName, message); });
    backend.addDevice (deviceName);
    backend.setOutputHandler (deviceName, [this] (const juce::MidiMessage& message) { receive (message); });
}

SimulatedKestrel::~SimulatedKestrel()
{
    stopAutoPump();
    backend.setOutputHandler (deviceName, {});
    channel.setDeliver ({});
}

void SimulatedKestrel::buildDispatchTable()
{
    dispatch = {
        { SYSEX_WHO_AM_I, &SimulatedKestrel::handleWhoAmI },
        { SYSEX_PARAM_DUMP, &SimulatedKestrel::handleParamDump },
        { SYSEX_PARAM_SET, &SimulatedKestrel::handleParamSet },
        { SYSEX_PATCH_DUMP, &SimulatedKestrel::handlePatchDump },
        { SYSEX_PLACE_EFFECT, &SimulatedKestrel::handlePlaceEffect },
        { SYSEX_CONNECT_EFFECT, &SimulatedKestrel::handleConnectEffect },
        { SYSEX_MODIFIER_SET, &SimulatedKestrel::handleModifierSet },
        { SYSEX_QUERY_VERSION, &SimulatedKestrel::handleQueryVersion },
        { SYSEX_SET_NAME, &SimulatedKestrel::handleSetName },
        { SYSEX_QUERY_STATES, &SimulatedKestrel::handleQueryStates },
        { SYSEX_QUERY_NAME, &SimulatedKestrel::handleQueryName },
        { SYSEX_XY, &SimulatedKestrel::handleXY },
        { SYSEX_CABNAME, &SimulatedKestrel::handleCabName },
        { SYSEX_CPU_LOAD, &SimulatedKestrel::handleCpuLoad },
        { SYSEX_PATCHNUM, &SimulatedKestrel::handlePatchNumber },
        { SYSEX_QUERY_NAME_BY_NUM, &SimulatedKestrel::handleQueryNameByNumber },
        { SYSEX_GET_PARAM_INFO, &SimulatedKestrel::handleGetParamInfo },
        { SYSEX_GET_MIDI_CHANNEL, &SimulatedKestrel::handleGetMidiChannel },
        { SYSEX_GET_MODIFIER_INFO, &SimulatedKestrel::handleGetModifierInfo },
        { SYSEX_CAB_DUMP, &SimulatedKestrel::handleCabDump },
        { SYSEX_SAVE_PATCH, &SimulatedKestrel::handleSavePatch },
        { SYSEX_GET_ALL_PARAMS, &SimulatedKestrel::handleGetAllParams },
        { SYSEX_GET_GRID, &SimulatedKestrel::handleGetGrid },
        { SYSEX_SET_DEFAULTS, &SimulatedKestrel::handleSetDefaults },
        { SYSEX_LOOPER_STATE, &SimulatedKestrel::handleLooperState },
        { SYSEX_MOVE_EFFECT, &SimulatedKestrel::handleMoveEffect },
        { SYSEX_GET_PARAM_STRINGS, &SimulatedKestrel::handleGetParamStrings },
        { SYSEX_SET_SCENE, &SimulatedKestrel::handleSetScene },
        { SYSEX_GET_FLAGS, &SimulatedKestrel::handleGetFlags },
        { SYSEX_MODIFIER_DUMP, &SimulatedKestrel::handleModifierDump },
        { SYSEX_MODIFIER, &SimulatedKestrel::handleModifier },
        { SYSEX_SET_PARAM_DIRECT, &SimulatedKestrel::handleSetParamDirect },
        { SYSEX_BPM, &SimulatedKestrel::handleBpm },
        { SYSEX_GET_GRAPH, &SimulatedKestrel::handleGetGraph },
        { SYSEX_GET_GRAPHN, &SimulatedKestrel::handleGetGraph },
        { SYSEX_GET_CONFIG, &SimulatedKestrel::handleGetConfig },
        { SYSEX_EDIT_EFFECT, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_BROADCAST_MODIFIER, &SimulatedKestrel::handleBroadcastModifier },
        { SYSEX_BROADCAST_KNOB, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_GET_POSITION, &SimulatedKestrel::handleGetPosition },
        { SYSEX_SET_MODPARAM_DIRECT, &SimulatedKestrel::handleSetModParamDirect },
        { SYSEX_RECALL_PATCH, &SimulatedKestrel::handleRecallPatch },
        { SYSEX_MUTE, &SimulatedKestrel::handleMute },
        { SYSEX_CONTROL_IRCAP, &SimulatedKestrel::handleControlIrCap },
        { SYSEX_DELETE_CABIR, &SimulatedKestrel::handleDeleteCab },
        { SYSEX_EDITOR_DISCONNECT, &SimulatedKestrel::handlePlainCommand },
        { SYSEX_LAYOUT_SET, &SimulatedKestrel::handleLayoutSet },
        { SYSEX_PATCH_PLUS_CAB_DUMP, &SimulatedKestrel::handlePatchPlusCabDump },
        { SYSEX_GET_SYSINFO, &SimulatedKestrel::handleGetSysInfo },
        { SYSEX_FSGRID, &SimulatedKestrel::handleFootswitchGrid },
        { SYSEX_PATCH_START, &SimulatedKestrel::handlePatchStart },
        { SYSEX_PATCH_DATA, &SimulatedKestrel::handlePatchData },
        { SYSEX_PATCH_END, &SimulatedKestrel::handlePatchEnd },
        { SYSEX_EFFECT_START, &SimulatedKestrel::handleEffectDump },
        { SYSEX_EFFECT_DATA, &SimulatedKestrel::handleEffectDump },
        { SYSEX_EFFECT_END, &SimulatedKestrel::handleEffectDump },
        { SYSEX_CABIR_START, &SimulatedKestrel::handleCabIrMessage },
        { SYSEX_CABIR_DATA, &SimulatedKestrel::handleCabIrMessage },
        { SYSEX_CABIR_END, &SimulatedKestrel::handleCabIrMessage },
    };
}

//==============================================================================
void SimulatedKestrel::receive (const juce::MidiMessage& message)
{
    {
        const juce::ScopedLock logging (logLock);
        received.add (message);
    }

    if (message.isController())
    {
        handleControlChange (message);
        return;
    }

    // A frame that is not whole, or whose checksum is wrong, is ignored.
    if (! isCompleteSysEx (message))
        return;

    auto* bytes = message.getRawData();
    const int size = message.getRawDataSize();

    if (calcSysExChecksum (bytes, (size_t) size - 2) != bytes[size - 2])
        return;

    const int function = bytes[sysExFunctionOffset];
    const uint8 addressedModel = bytes[sysExModelOffset];

    const juce::ScopedLock sending (sendLock);
    std::vector<Outgoing> toSend;
    int silentAfter = -1;
    std::function<void()> afterAnswer;
    int actionAfterMessages = -1;
    std::function<void (int)> tellAnswerLost;
    bool answerLost = false;
    const juce::ScopeGuard tellLoss{ [&]
                                     {
                                         if (answerLost && tellAnswerLost)
                                             tellAnswerLost (function);
                                     } };

    {
        const juce::ScopedLock state (stateLock);

        if (addressedModel != reportedModel && ! (function == SYSEX_WHO_AM_I && addressedModel == modelAny))
            return;

        auto& fault = faults[function];
        tellAnswerLost = answerLostListener;

        if (fault.silent)
        {
            answerLost = true;
            return;
        }

        if (fault.ignoreCount > 0)
        {
            --fault.ignoreCount;
            answerLost = true;
            return;
        }

        // The user selects a preset on the unit: it reports the change at once.
        auto selectOnUnit = [this] (int selected)
        {
            if (! juce::isPositiveAndBelow (selected, presetCount))
                return;

            loadPreset (selected);
            handlingFunction = SYSEX_PATCHNUM;
            reply (buildPresetNumberMessage());
        };

        selectOnUnit (std::exchange (fault.presetSelectedOnRequest, -1));

        handlingFunction = function;
        silentAfter = std::exchange (fault.silentAfterMessages, -1);
        const auto answerStart = outbox.size();

        auto refusal = fault.errorResult;

        if (refusal == resultOk && ! fault.blockErrorResults.empty())
            if (auto block = fault.blockErrorResults.find ((int) readField (message, singleWordLayout, 0));
                block != fault.blockErrorResults.end())
                refusal = block->second;

        if (refusal != resultOk)
        {
            replyStatus (refusal);
        }
        else
        {
            auto handler = dispatch.find (function);

            if (handler != dispatch.end())
                (this->*(handler->second)) (message);
        }

        if (std::exchange (fault.reportBeforeAnswer, false))
        {
            Outgoing report;
            report.message = buildPresetNumberMessage();
            outbox.insert (outbox.begin() + (std::ptrdiff_t) answerStart, report);
        }

        selectOnUnit (std::exchange (fault.presetSelectedAfterAnswer, -1));

        handlingFunction = -1;
        toSend.swap (outbox);
        afterAnswer = std::exchange (fault.actionAfterAnswer, {});
        actionAfterMessages = std::exchange (fault.actionAfterMessages, -1);

        if (fault.unanswered)
        {
            toSend.clear();
            answerLost = true;
        }
    }

    if (silentAfter >= 0)
        channel.goSilentAfter (silentAfter);

    const auto beforeAction =
        actionAfterMessages >= 0 ? juce::jmin ((size_t) actionAfterMessages, toSend.size()) : toSend.size();

    // A message the wire loses or spoils never reaches the program.
    const int lostBefore = channel.getNumLost();
    auto send = [&] (const Outgoing& out)
    {
        channel.send (out.message, out.delayMs, out.corrupt);
        answerLost = answerLost || out.corrupt;
    };

    for (size_t i = 0; i < beforeAction; ++i)
        send (toSend[i]);

    // Still under the send lock: nothing else goes out between the answer's
    // messages and what the action sends.
    if (afterAnswer)
        afterAnswer();

    for (size_t i = beforeAction; i < toSend.size(); ++i)
        send (toSend[i]);

    answerLost = answerLost || channel.getNumLost() > lostBefore;
}

juce::MidiMessage SimulatedKestrel::frame (uint8 function, const juce::MemoryBlock& payload) const
{
    juce::MidiMessage message;
    buildSysExMessage (message, function, payload, reportedModel);
    return message;
}

void SimulatedKestrel::reply (const juce::MidiMessage& message)
{
    Outgoing out;
    out.message = message;

    auto fault = faults.find (handlingFunction);

    if (fault != faults.end())
    {
        out.delayMs = fault->second.delayMs;

        if (fault->second.corruptCount > 0)
        {
            out.corrupt = true;
            --fault->second.corruptCount;
        }
    }

    outbox.push_back (std::move (out));
}

void SimulatedKestrel::replyStatus (uint8 result)
{
    juce::MidiMessage message;
    buildStatusMessage (message, (uint8) handlingFunction, result, reportedModel);
    reply (message);
}

// Sends a message of the unit's own accord, with the faults set for its function.
void SimulatedKestrel::queueUnsolicited (const juce::MidiMessage& message)
{
    const juce::ScopedLock sending (sendLock);
    std::vector<Outgoing> toSend;

    {
        const juce::ScopedLock state (stateLock);
        auto* bytes = message.getRawData();
        handlingFunction = message.getRawDataSize() > sysExFunctionOffset ? bytes[sysExFunctionOffset] : -1;
        reply (message);
        handlingFunction = -1;
        toSend.swap (outbox);
    }

    for (auto& out : toSend)
        channel.send (out.message, out.delayMs, out.corrupt);
}

//==============================================================================
// Shared message builders (under stateLock).

SimulatedPreset* SimulatedKestrel::findStoredPreset (int bank, int program)
{
    if (bank == locationCurrent && program == locationCurrent)
        return &editBuffer;

    const int number = bank * 128 + program;

    if (bank > 127 || program > 127 || ! juce::isPositiveAndBelow (number, presetCount))
        return nullptr;

    return &presets[(size_t) number];
}

void SimulatedKestrel::loadPreset (int presetNumber)
{
    currentPreset = presetNumber;
    editBuffer = presets[(size_t) presetNumber];
    parkedBlocks.clear();
    modified = false;
}

juce::MidiMessage SimulatedKestrel::buildPresetNumberMessage() const
{
    return numbers (SYSEX_PATCHNUM, getReplyLayout (SYSEX_PATCHNUM, model),
                    { (uint32) currentPreset >> 7, (uint32) currentPreset & 0x7F }, reportedModel);
}

juce::MidiMessage SimulatedKestrel::buildStatesMessage() const
{
    juce::MidiMessage message;
    buildQueryStatesReply (message, editBuffer.getStateWords(), reportedModel);
    return message;
}

juce::MidiMessage SimulatedKestrel::buildSceneMessage() const
{
    return numbers (SYSEX_SET_SCENE, singleByteLayout, { (uint32) editBuffer.scene }, reportedModel);
}

void SimulatedKestrel::replyPresetDump (const SimulatedPreset& preset, int bank, int program)
{
    const auto words = preset.toWords();
    juce::MidiMessage message;

    buildPatchStart (message, (uint32) bank, (uint32) program, (uint32) words.size(), reportedModel);
    reply (message);

    for (size_t i = 0; i < words.size(); i += patchDataWords)
    {
        buildPatchData (message, words.data() + i, patchDataWords, reportedModel);
        reply (message);
    }

    buildPatchEnd (message, xorWords16 (words.data(), words.size()), reportedModel);
    reply (message);
}

//==============================================================================
// Identity and system.

void SimulatedKestrel::handleWhoAmI (const juce::MidiMessage&)
{
    replyStatus (resultOk);
}

void SimulatedKestrel::handleQueryVersion (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_QUERY_VERSION, queryVersionReplyLayout,
                    { (uint32) firmwareMajor, (uint32) firmwareMinor, 0, 0, 0, 0 }, reportedModel));
}

void SimulatedKestrel::handleGetSysInfo (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_SYSINFO, sysInfoReplyLayout,
                    { 1, (uint32) factoryCabs, (uint32) userCabs, (uint32) scratchpadCabCount }, reportedModel));
}

void SimulatedKestrel::handleGetMidiChannel (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_MIDI_CHANNEL, singleByteLayout, { (uint32) midiChannel }, reportedModel));
}

void SimulatedKestrel::handleCpuLoad (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_CPU_LOAD, singleByteLayout, { (uint32) cpuLoad }, reportedModel));
}

void SimulatedKestrel::handleGetConfig (const juce::MidiMessage& message)
{
    const auto key = readField (message, singleWordLayout, 0);
    reply (numbers (SYSEX_GET_CONFIG, configReplyLayout, { key, (uint32) configValue }, reportedModel));
}

void SimulatedKestrel::handleGetPosition (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_POSITION, singleByteLayout, { 0 }, reportedModel));
}

void SimulatedKestrel::handleLooperState (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_LOOPER_STATE, twoByteReplyLayout, { (uint32) looperState[0], (uint32) looperState[1] },
                    reportedModel));
}

void SimulatedKestrel::handlePlainCommand (const juce::MidiMessage&)
{
    replyStatus (resultOk);
}

void SimulatedKestrel::handleMute (const juce::MidiMessage& message)
{
    outputsMuted = readField (message, singleByteLayout, 0) == 0;
    replyStatus (resultOk);
}

bool SimulatedKestrel::areOutputsMuted() const
{
    const juce::ScopedLock state (stateLock);
    return outputsMuted;
}

//==============================================================================
// The current preset.

void SimulatedKestrel::handlePatchNumber (const juce::MidiMessage&)
{
    reply (buildPresetNumberMessage());
}

void SimulatedKestrel::handleSetScene (const juce::MidiMessage& message)
{
    const int scene = (int) readField (message, singleByteLayout, 0);

    if (scene == sceneQuery)
    {
        reply (buildSceneMessage());
        return;
    }

    if (! juce::isPositiveAndBelow (scene, SimulatedPreset::sceneCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    editBuffer.scene = scene;
    reply (buildSceneMessage());

    if (resyncAfterScene)
        reply (frame (SYSEX_RESYNC, {}));
}

void SimulatedKestrel::handleQueryStates (const juce::MidiMessage&)
{
    reply (buildStatesMessage());
    reply (buildSceneMessage());
}

void SimulatedKestrel::handleGetFlags (const juce::MidiMessage&)
{
    reply (numbers (SYSEX_GET_FLAGS, singleByteLayout, { modified ? 1u : 0u }, reportedModel));
}

void SimulatedKestrel::handleBpm (const juce::MidiMessage&)
{
    uint16 tempo = SimulatedPreset::defaultTempo;
    editBuffer.getParam (blockIdControllers, SimulatedPreset::tempoParamId, tempo);
    reply (numbers (SYSEX_BPM, singleWordLayout, { tempo }, reportedModel));
}

//==============================================================================
// Blocks and parameters.

void SimulatedKestrel::handleParamSet (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, paramSetRequestLayout, 0);
    const int paramId = (int) readField (message, paramSetRequestLayout, 1);
    const auto value = (uint16) readField (message, paramSetRequestLayout, 2);
    const auto mode = readField (message, paramSetRequestLayout, 3);

    // Mode 0 asks; modes 3 to 6 step the value the block holds (3 up and 4
    // down coarse, 5 up and 6 down fine); every other mode writes the value.
    if (mode != 0)
    {
        auto written = value;

        if (mode >= 3 && mode <= 6)
        {
            uint16 current = 0;

            if (! editBuffer.getParam (blockId, paramId, current))
            {
                replyStatus (resultBadValue);
                return;
            }

            written = SimulatedPreset::stepValue (blockId, paramId, current, mode == 3 || mode == 5, mode >= 5);
        }

        if (! editBuffer.setParam (blockId, paramId, written))
        {
            replyStatus (resultBadValue);
            return;
        }

        modified = true;
    }

    uint16 current = 0;

    if (! editBuffer.getParam (blockId, paramId, current))
    {
        replyStatus (resultBadValue);
        return;
    }

    reply (buildParamReply (blockId, paramId, current));
}

void SimulatedKestrel::handleSetParamDirect (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, setParamDirectRequestLayout, 0);
    const int paramId = (int) readField (message, setParamDirectRequestLayout, 1);
    const auto shown = bitsToFloat (readField (message, setParamDirectRequestLayout, 2));

    // The unit takes the value as it displays it, in the parameter's range.
    if (! std::isfinite (shown))
    {
        replyStatus (resultBadValue);
        return;
    }

    const auto value = SimulatedPreset::valueFromDisplay (blockId, paramId, shown);

    if (! editBuffer.setParam (blockId, paramId, value))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    reply (buildParamReply (blockId, paramId, value));
}

void SimulatedKestrel::handleParamDump (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, paramDumpRequestLayout, 0);
    auto* block = editBuffer.findBlock (blockId);

    // The answer announces its length; a block the preset lacks has no values.
    const int count = block != nullptr ? (int) block->values[editBuffer.getChannel (blockId)].size() : 0;
    reply (numbers (SYSEX_MULTIMSG_START, multiMsgStartLayout, { SYSEX_PARAM_DUMP, (uint32) count }, reportedModel));

    for (int i = 0; i < count; ++i)
    {
        uint16 value = 0;
        editBuffer.getParam (blockId, i, value);

        const auto param = SimulatedPreset::describeValue (blockId, i, value);
        juce::MidiMessage out;
        ::buildParamReply (out, SYSEX_PARAM_DUMP, param, reportedModel);
        reply (out);
    }

    reply (frame (SYSEX_MULTIMSG_END, {}));
}

void SimulatedKestrel::handleGetAllParams (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, singleWordLayout, 0);
    auto* block = editBuffer.findBlock (blockId);

    if (block == nullptr)
    {
        replyStatus (resultBadValue);
        return;
    }

    // The X values, then the Y values.
    std::vector<uint16> words (block->values[SimulatedPreset::channelX]);
    words.insert (words.end(), block->values[SimulatedPreset::channelY].begin(),
                  block->values[SimulatedPreset::channelY].end());

    const auto wordCount = (uint32) words.size();
    juce::MidiMessage out;
    buildEffectStart (out, (uint32) blockId, wordCount, 0, reportedModel);
    reply (out);

    // (wordCount >> 6) + 1 data messages: full ones of 64 words, then the rest
    // (which may be none), as the start's count announces.
    const auto dataMessages = (wordCount >> 6) + 1;

    for (uint32 m = 0; m < dataMessages; ++m)
    {
        const auto first = m * (uint32) effectDataMaxWords;
        const auto count = juce::jmin ((uint32) effectDataMaxWords, wordCount - first);
        std::vector<uint32> values{ count };

        for (uint32 i = 0; i < count; ++i)
            values.push_back (words[first + i]);

        reply (numberList (SYSEX_EFFECT_DATA, wordDataLayout, values, reportedModel));
    }

    reply (frame (SYSEX_EFFECT_END, {}));
}

void SimulatedKestrel::handleSetDefaults (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, singleWordLayout, 0);

    if (! editBuffer.resetToDefaults (blockId))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleXY (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, xyRequestLayout, 0);
    const int channelWanted = (int) readField (message, xyRequestLayout, 1);
    const bool isSet = readField (message, xyRequestLayout, 2) != 0;

    if (editBuffer.findBlock (blockId) == nullptr || channelWanted > SimulatedPreset::channelY)
    {
        replyStatus (resultBadValue);
        return;
    }

    if (isSet)
    {
        editBuffer.setChannel (blockId, channelWanted);
        modified = true;
    }

    reply (numbers (SYSEX_XY, xyReplyLayout, { (uint32) blockId, (uint32) editBuffer.getChannel (blockId) },
                    reportedModel));
}

void SimulatedKestrel::handleGetGraph (const juce::MidiMessage& message)
{
    // Each graph of a block is a curve of its own: graph n (SYSEX_GET_GRAPHN)
    // rises by 100 + n a point, the plain SYSEX_GET_GRAPH as graph 0.
    const auto index = handlingFunction == SYSEX_GET_GRAPHN ? readField (message, singleByteLayout, 0) : 0;
    std::vector<uint32> values;

    for (int i = 0; i < graphReplyValues; ++i)
        values.push_back ((uint32) i * (100 + index));

    reply (numberList ((uint8) handlingFunction, graphReplyLayout, values, reportedModel));
}

//==============================================================================
// Modifiers and layouts.

void SimulatedKestrel::handleBroadcastModifier (const juce::MidiMessage& message)
{
    const auto second = readField (message, broadcastModifierRequestLayout, 1);
    reply (numbers (SYSEX_BROADCAST_MODIFIER, getReplyLayout (SYSEX_BROADCAST_MODIFIER, model), { second & 0x7F },
                    reportedModel));
}

void SimulatedKestrel::handleLayoutSet (const juce::MidiMessage& message)
{
    const auto operation = readField (message, layoutSetRequestLayout, 0);
    const auto layout = readField (message, layoutSetRequestLayout, 1);
    const auto key = readField (message, layoutSetRequestLayout, 2);
    const auto value = readField (message, layoutSetRequestLayout, 3);

    auto replyFor = [&] (uint32 k)
    {
        reply (numbers (SYSEX_LAYOUT_SET, layoutSetReplyLayout,
                        { layout, k, (uint32) layoutValues[{ (int) layout, (int) k }] }, reportedModel));
    };

    if (key == layoutKeyAll)
    {
        for (int k = 0; k < layoutKeysPerLayout; ++k)
            replyFor ((uint32) k);

        return;
    }

    if (operation == 1)
        layoutValues[{ (int) layout, (int) key }] = (int) value;

    replyFor (key);
}

//==============================================================================
// Preset names and slots.

void SimulatedKestrel::handleSavePatch (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    const int number = bank * 128 + program;

    if (! juce::isPositiveAndBelow (number, presetCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    presets[(size_t) number] = editBuffer;
    currentPreset = number;
    modified = false;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleRecallPatch (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    const int number = bank * 128 + program;

    if (! juce::isPositiveAndBelow (number, presetCount))
    {
        replyStatus (resultBadValue);
        return;
    }

    loadPreset (number);
    replyStatus (resultOk);

    if (presetNumberAfterLoad)
        reply (buildPresetNumberMessage());
}

//==============================================================================
// Dumps out.

void SimulatedKestrel::handlePatchDump (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);

    if (auto* preset = findStoredPreset (bank, program))
        replyPresetDump (*preset, bank, program);
    else
        replyStatus (resultBadValue);
}

void SimulatedKestrel::handlePatchPlusCabDump (const juce::MidiMessage& message)
{
    const int bank = (int) readField (message, presetLocationRequestLayout, 0);
    const int program = (int) readField (message, presetLocationRequestLayout, 1);
    auto* preset = findStoredPreset (bank, program);

    if (preset == nullptr)
    {
        replyStatus (resultBadValue);
        return;
    }

    // Bits 0-3: the left and right cabs of cab blocks 108 and 109 when placed.
    uint32 flags = 0;
    int cabNumbers[4] = {};
    const int positions[4][2] = { { 108, 0 }, { 108, 2 }, { 109, 0 }, { 109, 2 } };

    for (int i = 0; i < 4; ++i)
    {
        uint16 value = 0;

        if (preset->isInGrid (positions[i][0]) && preset->getParam (positions[i][0], positions[i][1], value) &&
            (size_t) value < cabs.size())
        {
            flags |= 1u << i;
            cabNumbers[i] = value;
        }
    }

    reply (numbers (SYSEX_PATCH_PLUS_CAB_DUMP, twoByteReplyLayout, { flags, 0 }, reportedModel));
    replyPresetDump (*preset, bank, program);

    for (int i = 0; i < 4; ++i)
        if ((flags & (1u << i)) != 0)
            replyCabDump (cabNumbers[i]);
}

//==============================================================================
// Dumps in: a pasted preset, one status per message.

void SimulatedKestrel::handlePatchStart (const juce::MidiMessage& message)
{
    PatchStartRecord start;

    if (! parsePatchStart (message, start) || start.wordCount != SimulatedPreset::wordCount ||
        (findStoredPreset (start.bank, start.program) == nullptr))
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadValue);
        return;
    }

    pasteSession = DumpSession{};
    pasteSession.active = true;
    pasteSession.bank = start.bank;
    pasteSession.program = start.program;
    pasteSession.declaredWords = start.wordCount;
    replyStatus (resultOk);
}

void SimulatedKestrel::handlePatchData (const juce::MidiMessage& message)
{
    juce::Array<uint16> words;

    if (! pasteSession.active || ! parsePatchData (message, words) ||
        (int) pasteSession.words.size() + words.size() > pasteSession.declaredWords)
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadSequence);
        return;
    }

    pasteSession.words.insert (pasteSession.words.end(), words.begin(), words.end());
    replyStatus (resultOk);
}

void SimulatedKestrel::handlePatchEnd (const juce::MidiMessage& message)
{
    uint32 check = 0;

    if (! pasteSession.active || ! parsePatchEnd (message, check))
    {
        pasteSession = DumpSession{};
        replyStatus (resultBadSequence);
        return;
    }

    auto session = std::move (pasteSession);
    pasteSession = DumpSession{};

    if ((int) session.words.size() != session.declaredWords ||
        check != xorWords16 (session.words.data(), session.words.size()))
    {
        replyStatus (resultBadChecksum);
        return;
    }

    auto* target = findStoredPreset (session.bank, session.program);
    *target = SimulatedPreset::fromWords (session.words.data(), (int) session.words.size());

    const bool intoEditBuffer = target == &editBuffer;

    if (intoEditBuffer)
        modified = true;

    replyStatus (resultOk);

    if (intoEditBuffer && presetNumberAfterLoad)
        reply (buildPresetNumberMessage());
}
