#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"

// The test's side of the unit: faults, unsolicited messages, the unit's state
// and the log of what it received.

using namespace SimulatedKestrelDetail;
using juce::uint16;
using juce::uint32;
using juce::uint8;

//==============================================================================
// Test controls.

void SimulatedKestrel::setSilentFor (int function, bool silent)
{
    const juce::ScopedLock state (stateLock);
    faults[function].silent = silent;
}

void SimulatedKestrel::setUnansweredFor (int function, bool unanswered)
{
    const juce::ScopedLock state (stateLock);
    faults[function].unanswered = unanswered;
}

void SimulatedKestrel::ignoreNextRequests (int function, int count)
{
    const juce::ScopedLock state (stateLock);
    faults[function].ignoreCount = juce::jmax (0, count);
}

void SimulatedKestrel::selectPresetAfterNextAnswerTo (int function, int presetNumber)
{
    const juce::ScopedLock state (stateLock);
    faults[function].presetSelectedAfterAnswer = presetNumber;
}

void SimulatedKestrel::actAfterNextAnswerTo (int function, std::function<void()> action)
{
    const juce::ScopedLock state (stateLock);
    faults[function].actionAfterAnswer = std::move (action);
    faults[function].actionAfterMessages = -1;
}

void SimulatedKestrel::actPartWayThroughNextAnswerTo (int function, int messages, std::function<void()> action)
{
    const juce::ScopedLock state (stateLock);
    faults[function].actionAfterAnswer = std::move (action);
    faults[function].actionAfterMessages = messages;
}

void SimulatedKestrel::selectPresetOnNextRequestOf (int function, int presetNumber)
{
    const juce::ScopedLock state (stateLock);
    faults[function].presetSelectedOnRequest = presetNumber;
}

void SimulatedKestrel::reportPresetBeforeNextAnswerTo (int function)
{
    const juce::ScopedLock state (stateLock);
    faults[function].reportBeforeAnswer = true;
}

void SimulatedKestrel::setErrorStatusFor (int function, uint8 result)
{
    const juce::ScopedLock state (stateLock);
    faults[function].errorResult = result;
}

void SimulatedKestrel::setErrorStatusForBlock (int function, int blockId, uint8 result)
{
    const juce::ScopedLock state (stateLock);
    auto& results = faults[function].blockErrorResults;

    if (result == resultOk)
        results.erase (blockId);
    else
        results[blockId] = result;
}

void SimulatedKestrel::setReplyDelayFor (int function, uint32 delayMs)
{
    const juce::ScopedLock state (stateLock);
    faults[function].delayMs = delayMs;
}

void SimulatedKestrel::corruptNextReplies (int function, int count)
{
    const juce::ScopedLock state (stateLock);
    faults[function].corruptCount = juce::jmax (0, count);
}

void SimulatedKestrel::goSilentPartWayThrough (int function, int messages)
{
    const juce::ScopedLock state (stateLock);
    faults[function].silentAfterMessages = juce::jmax (0, messages);
}

void SimulatedKestrel::clearFaults()
{
    const juce::ScopedLock state (stateLock);
    faults.clear();
}

void SimulatedKestrel::setOnAnswerLost (std::function<void (int function)> listener)
{
    const juce::ScopedLock state (stateLock);
    answerLostListener = std::move (listener);
}

void SimulatedKestrel::dropEveryNthMessage (int n)
{
    channel.setDropEvery (n);
}

void SimulatedKestrel::goSilentAfterMessages (int k)
{
    channel.goSilentAfter (k);
}

void SimulatedKestrel::setSilent (bool shouldBeSilent)
{
    channel.setSilent (shouldBeSilent);
}

void SimulatedKestrel::setFirmware (int major, int minor)
{
    const juce::ScopedLock state (stateLock);
    firmwareMajor = juce::jlimit (0, 127, major);
    firmwareMinor = juce::jlimit (0, 127, minor);
}

void SimulatedKestrel::setReportedModel (uint8 newModel)
{
    const juce::ScopedLock state (stateLock);
    reportedModel = (uint8) (newModel & 0x7F);
}

void SimulatedKestrel::vanish()
{
    backend.removeDevice (deviceName);
    channel.discardHeld();
}

void SimulatedKestrel::reappear()
{
    backend.addDevice (deviceName);
}

//==============================================================================
// Unsolicited messages.

void SimulatedKestrel::selectPresetOnUnit (int presetNumber)
{
    {
        const juce::ScopedLock state (stateLock);

        if (! juce::isPositiveAndBelow (presetNumber, presetCount))
            return;

        loadPreset (presetNumber);
    }

    sendPresetNumber();
}

void SimulatedKestrel::selectSceneOnUnit (int scene)
{
    {
        const juce::ScopedLock state (stateLock);

        if (! juce::isPositiveAndBelow (scene, SimulatedPreset::sceneCount))
            return;

        editBuffer.scene = scene;
    }

    sendStatesChanged();
}

void SimulatedKestrel::sendPresetNumber()
{
    juce::MidiMessage message;

    {
        const juce::ScopedLock state (stateLock);
        message = buildPresetNumberMessage();
    }

    queueUnsolicited (message);
}

void SimulatedKestrel::sendResync()
{
    queueUnsolicited (frame (SYSEX_RESYNC, {}));
}

void SimulatedKestrel::sendStatesChanged()
{
    juce::MidiMessage message;

    {
        const juce::ScopedLock state (stateLock);
        message = buildStatesMessage();
    }

    queueUnsolicited (message);
}

void SimulatedKestrel::sendTempoTick()
{
    queueUnsolicited (frame (SYSEX_TEMPO, {}));
}

void SimulatedKestrel::sendTunerReading (int note, int string, int cents)
{
    queueUnsolicited (numbers (SYSEX_TUNER, tunerReplyLayout,
                               { (uint32) note & 0x7F, (uint32) string & 0x7F, (uint32) cents & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendKnobBroadcast (const std::vector<std::pair<int, int>>& paramsAndValues)
{
    std::vector<uint32> values;

    for (int i = 0; i < juce::jmin ((int) paramsAndValues.size(), broadcastKnobMaxIds); ++i)
    {
        values.push_back ((uint32) paramsAndValues[(size_t) i].first & 0x3FFF);
        values.push_back ((uint32) paramsAndValues[(size_t) i].second & 0x7F);
    }

    queueUnsolicited (numberList (SYSEX_BROADCAST_KNOB, broadcastKnobReplyLayout, values, reportedModel));
}

void SimulatedKestrel::sendModifierBroadcast (int value)
{
    queueUnsolicited (numbers (SYSEX_BROADCAST_MODIFIER, getReplyLayout (SYSEX_BROADCAST_MODIFIER, model),
                               { (uint32) value & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendLooperState (int first, int second)
{
    {
        const juce::ScopedLock state (stateLock);
        looperState[0] = first & 0x7F;
        looperState[1] = second & 0x7F;
    }

    queueUnsolicited (numbers (SYSEX_LOOPER_STATE, twoByteReplyLayout,
                               { (uint32) first & 0x7F, (uint32) second & 0x7F }, reportedModel));
}

void SimulatedKestrel::sendEditorDisconnectEcho()
{
    juce::MidiMessage message;
    buildStatusMessage (message, SYSEX_EDITOR_DISCONNECT, resultOk, reportedModel);
    queueUnsolicited (message);
}

void SimulatedKestrel::sendRaw (const juce::MidiMessage& message)
{
    queueUnsolicited (message);
}

void SimulatedKestrel::setResyncAfterSceneChange (bool shouldSend)
{
    const juce::ScopedLock state (stateLock);
    resyncAfterScene = shouldSend;
}

void SimulatedKestrel::setPresetNumberAfterLoad (bool shouldSend)
{
    const juce::ScopedLock state (stateLock);
    presetNumberAfterLoad = shouldSend;
}

//==============================================================================
// State access.

int SimulatedKestrel::getCurrentPresetNumber() const
{
    const juce::ScopedLock state (stateLock);
    return currentPreset;
}

int SimulatedKestrel::getCurrentScene() const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer.scene;
}

bool SimulatedKestrel::isModified() const
{
    const juce::ScopedLock state (stateLock);
    return modified;
}

SimulatedPreset SimulatedKestrel::getEditBuffer() const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer;
}

SimulatedPreset SimulatedKestrel::getPreset (int presetNumber) const
{
    const juce::ScopedLock state (stateLock);
    return juce::isPositiveAndBelow (presetNumber, presetCount) ? presets[(size_t) presetNumber] : SimulatedPreset{};
}

void SimulatedKestrel::setPreset (int presetNumber, const SimulatedPreset& preset)
{
    const juce::ScopedLock state (stateLock);

    if (juce::isPositiveAndBelow (presetNumber, presetCount))
        presets[(size_t) presetNumber] = preset;
}

void SimulatedKestrel::setEditBuffer (const SimulatedPreset& preset, bool isModifiedNow)
{
    const juce::ScopedLock state (stateLock);
    editBuffer = preset;
    parkedBlocks.clear();
    modified = isModifiedNow;
}

bool SimulatedKestrel::getParam (int blockId, int paramId, uint16& value) const
{
    const juce::ScopedLock state (stateLock);
    return editBuffer.getParam (blockId, paramId, value);
}

void SimulatedKestrel::setMidiChannel (int zeroBasedChannel)
{
    const juce::ScopedLock state (stateLock);
    midiChannel = juce::jlimit (0, 15, zeroBasedChannel);
}

void SimulatedKestrel::setCpuLoad (int percent)
{
    const juce::ScopedLock state (stateLock);
    cpuLoad = juce::jlimit (0, 100, percent);
}

void SimulatedKestrel::setConfigValue (int value)
{
    const juce::ScopedLock state (stateLock);
    configValue = juce::jlimit (0, 0xFFFF, value);
}

//==============================================================================
juce::Array<juce::MidiMessage> SimulatedKestrel::getReceived() const
{
    const juce::ScopedLock logging (logLock);
    return received;
}

int SimulatedKestrel::countReceived (int function) const
{
    const juce::ScopedLock logging (logLock);
    int count = 0;

    for (auto& message : received)
        if (message.getRawDataSize() > sysExFunctionOffset && message.getRawData()[sysExFunctionOffset] == function)
            ++count;

    return count;
}

void SimulatedKestrel::clearReceived()
{
    const juce::ScopedLock logging (logLock);
    received.clear();
}
