#include "device/engines/RawPresetThread.h"

#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExParsers.h"
#include "device/wire/WriteGuard.h"
#include "model/Clock.h"
#include "model/FileUtils.h"

RawPresetThread::RawPresetThread (const DeviceDescription& description, ZOLMidiProcessing* linkToUse)
    : juce::Thread ("RawPresetThread")
    , linkOverride (linkToUse)
    , device (description)
{
}

RawPresetThread::~RawPresetThread()
{
    // The owner stops the thread first; should it not, no wait here outlasts
    // the link, so the thread ends on its own shortly.
    signalThreadShouldExit();
    notify();
    waitForThreadToExit (-1);
}

bool RawPresetThread::startJob (int jobKind, const juce::Array<RawPresetJobItem*>& jobItems, juce::uint16 baseNumber,
                                const juce::String& folderPath)
{
    if (isThreadRunning())
        return false;

    kind = jobKind;
    folder = folderPath;
    base = baseNumber;
    items = jobItems;
    return startThread();
}

void RawPresetThread::setProgress (const juce::String& text, int number)
{
    const juce::ScopedLock sl (progressLock);
    progressText = text;
    progressNumber = number;
}

void RawPresetThread::getProgress (juce::String& text, int& number) const
{
    if (! isThreadRunning())
    {
        text = {};
        number = -1;
        return;
    }

    const juce::ScopedLock sl (progressLock);
    text = progressText;
    number = progressNumber;
}

void RawPresetThread::run()
{
    link = linkOverride != nullptr ? linkOverride : ZOLMidiProcessing::getInstanceWithoutCreating();

    // Without a link whose thread runs nothing could be sent: the first item
    // says so instead of the job ending in silence.
    if (link == nullptr || ! link->isProcessing())
    {
        if (! items.isEmpty() && items.getFirst() != nullptr)
            fail (*items.getFirst(), "The unit is not connected.");

        return;
    }

    setProgress ("Initializing...", 0);

    switch (kind)
    {
        case jobImport: importPresets(); break;
        case jobExportPresets: exportPresets(); break;
        case jobExportBlocks: exportBlocks(); break;
        case jobCopyXToY: copyXToY(); break;
        default: break;
    }
}

//==============================================================================
// Request engine.

bool RawPresetThread::exchange (bool built, const juce::MidiMessage& message, int expectedReplies,
                                const std::function<bool (const SysExRequest&)>& parse, bool stopOnExitRequest)
{
    lastProblem.clear();

    if (! built || link == nullptr)
        return false;

    auto* request = new SysExRequest (requestTimeoutMs);
    request->setMessage (message);
    request->setExpectedCount (expectedReplies);
    request->setGuard (guard);
    request->setOnRelease ([this] { notify(); }); // ends the wait below at once

    if (! link->queueRequest (request))
    {
        delete request;
        return false;
    }

    if (waitForReply (request, stopOnExitRequest) == waitAbandoned)
    {
        // The link frees it.
        lastProblem = stopOnExitRequest && threadShouldExit() ? stoppedByUserText : stoppedAnsweringText;
        return false;
    }

    // Once the unit refused one of the item's writes, or played another
    // preset than the item's before its last write went out, the item ends.
    if (guard != nullptr && guard->isStopped())
    {
        const auto stop = guard->getState();

        if (stop.stop == WriteGuard::Stop::refused)
            lastProblem = juce::String::formatted (refusedText, (int) stop.refusal);

        delete request;
        return false;
    }

    // A request the unit refused holds none of its data: the item fails with
    // the unit's result, read or write alike.
    if (request->isRefused())
    {
        lastProblem = juce::String::formatted (refusedText, (int) request->getRefusal());
        delete request;
        return false;
    }

    // A request that timed out before its whole answer holds nothing the
    // parser takes: the unit fell silent, whatever part of it came. Only an
    // answer that came whole and does not read is an unexpected one.
    const bool parsed = parse (*request);

    if (! parsed)
        lastProblem = request->getStatus() == SysExRequest::stateComplete ? unexpectedAnswerText : stoppedAnsweringText;

    delete request;
    return parsed;
}

bool RawPresetThread::exchangeStatus (bool built, const juce::MidiMessage& message, bool stopOnExitRequest)
{
    // Only a status that echoes the request counts (one that refuses it
    // fails the step before): a refused placement, connection, rename or save
    // fails its step.
    return exchange (
        built, message, 1,
        [] (const SysExRequest& request)
        {
            juce::uint8 result = 0;
            return collectEchoedStatus (request, result) && result == 0;
        },
        stopOnExitRequest);
}

int RawPresetThread::waitForReply (SysExRequest* request, bool stopOnExitRequest)
{
    if (request == nullptr)
        return waitNoRequest;

    const auto queuedAt = Clock::nowMs();
    auto linkRunningAt = queuedAt;

    for (;;)
    {
        const auto status = request->getStatus();

        if (status == SysExRequest::stateComplete)
            return waitComplete;

        if (status == SysExRequest::stateTimedOut)
            return waitTimedOut;

        const auto sentAt = request->getStartTime();

        if (link->isProcessing())
            linkRunningAt = Clock::nowMs();

        // A sent request is left to the link, which ends it within its
        // time-out; one the link does not take is given up.
        const auto unsentFor = sentAt == 0 ? Clock::elapsedSince (queuedAt) : 0;
        const bool givenUp = (stopOnExitRequest && threadShouldExit() && unsentFor > exitGraceMs) ||
                             unsentFor > unsentLimitMs || Clock::elapsedSince (linkRunningAt) > linkStoppedGraceMs ||
                             (sentAt != 0 && Clock::elapsedSince (sentAt) > request->getTimeout() + overdueMarginMs);

        if (givenUp)
        {
            // Taken out of the queue and freed at once when the link has not
            // sent it yet; otherwise the link frees it when it lets go, by
            // then perhaps after this worker is gone.
            request->setOnRelease (nullptr);
            link->releaseRequest (request);
            return waitAbandoned;
        }

        if (! wait (pollIntervalMs))
            ++waitsRunOut;
    }
}

//==============================================================================
// Senders: one request each, true when the unit's answer was the expected one.

namespace
{
bool firstReply (const SysExRequest& request, juce::MidiMessage& reply)
{
    return request.getNumReplies() > 0 && request.getReply (reply, 0);
}
} // namespace

bool RawPresetThread::sendRecallPatch (int presetNumber)
{
    int bank = 0, program = 0;
    juce::MidiMessage message;
    const bool built = presetNumberToBankAndProgram (presetNumber, bank, program) &&
                       buildRecallPatch (message, (juce::uint32) bank, (juce::uint32) program, getModel());
    return exchangeStatus (built, message);
}

bool RawPresetThread::sendQueryNameByNum (int presetNumber, juce::String& name)
{
    int bank = 0, program = 0, expected = 1;
    juce::MidiMessage message;
    const bool built =
        presetNumberToBankAndProgram (presetNumber, bank, program) &&
        buildQueryNameByNum (message, (juce::uint32) bank, (juce::uint32) program, 0, expected, getModel());
    // Program 127 asks for the whole bank: the name is the reply of the preset.
    return exchange (built, message, expected,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         PresetNameRecord record;

                         for (int i = 0; i < request.getNumReplies(); ++i)
                         {
                             if (request.getReply (reply, i) && parseQueryNameByNum (reply, record) &&
                                 record.getNumber() == presetNumber)
                             {
                                 name = record.getName().trimEnd();
                                 return true;
                             }
                         }

                         return false;
                     });
}

bool RawPresetThread::sendGetGrid()
{
    juce::MidiMessage message;
    const bool built = buildGetGrid (message, getModel());
    return exchange (built, message, 1,
                     [this] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         return firstReply (request, reply) && parseGetGrid (reply, gridReply);
                     });
}

bool RawPresetThread::sendSetScene (int scene, juce::uint8& echo)
{
    juce::MidiMessage message;
    const bool built = buildSetScene (message, (juce::uint32) scene, getModel());
    return exchange (built, message, 1,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         return firstReply (request, reply) && parseSetScene (reply, echo);
                     });
}

bool RawPresetThread::sendGetModifierInfo (int modifierId, ModifierInfoReply& info)
{
    juce::MidiMessage message;
    const bool built = buildGetModifierInfo (message, (juce::uint32) modifierId, getModel());
    return exchange (built, message, 1,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         return firstReply (request, reply) && parseGetModifierInfo (reply, info);
                     });
}

bool RawPresetThread::sendModifierSet (const ModifierWrite& write, ModifierSetReply& answer)
{
    juce::MidiMessage message;
    const bool built = buildModifierSet (message, write.blockId, write.selector1, write.selector2, write.value,
                                         write.mode, getModel());
    return exchange (built, message, 1,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         return firstReply (request, reply) && parseModifierSet (reply, answer) &&
                                answer.blockId == write.blockId && answer.selector2 == write.selector2;
                     });
}

bool RawPresetThread::sendXY (int blockId, int channel)
{
    juce::MidiMessage message;
    const bool built = buildXY (message, (juce::uint32) blockId, (juce::uint32) channel, 1, getModel());

    // The unit answers with the channel now selected: anything else would
    // have the next values read from or written to the wrong channel.
    return exchange (built, message, 1,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         XYReply xy;
                         return firstReply (request, reply) && parseXY (reply, xy) && xy.blockId == blockId &&
                                xy.channel == channel;
                     });
}

bool RawPresetThread::sendPlaceEffect (int blockId, int cell)
{
    juce::MidiMessage message;
    const bool built = buildPlaceEffect (message, (juce::uint32) blockId, (juce::uint32) cell, getModel());
    return exchangeStatus (built, message);
}

bool RawPresetThread::sendSetName (const juce::String& name)
{
    char field[PresetNameRecord::nameSize];
    juce::MidiMessage message;
    const bool built = copyNameToField (name, field) && buildSetName (message, field, getModel());
    return exchangeStatus (built, message);
}

bool RawPresetThread::sendConnectEffect (const CableConnection& connection)
{
    juce::MidiMessage message;
    const bool built =
        buildConnectEffect (message, connection.sourceCell, connection.destinationCell, connection.connect, getModel());
    return exchangeStatus (built, message);
}

bool RawPresetThread::sendParamSet (int blockId, int paramId, juce::uint16 value)
{
    juce::MidiMessage message;
    const bool built = buildParamSet (message, (juce::uint32) blockId, (juce::uint32) paramId, value, 1, getModel());

    // A status answer is a refusal; the parser does not take it.
    return exchange (built, message, 1,
                     [&] (const SysExRequest& request)
                     {
                         juce::MidiMessage reply;
                         EffectParamValue answer;
                         return firstReply (request, reply) && parseParamSet (reply, answer) &&
                                answer.blockId == blockId && answer.paramId == paramId;
                     });
}

bool RawPresetThread::sendSavePatch (int presetNumber)
{
    int bank = 0, program = 0;
    juce::MidiMessage message;
    const bool built = presetNumberToBankAndProgram (presetNumber, bank, program) &&
                       buildSavePatch (message, (juce::uint32) bank, (juce::uint32) program, getModel());

    // The unit may report the slot it saved into: from the save's send on,
    // that report is the save's own, not a reload.
    if (built && guard != nullptr && link != nullptr)
        guard->allow (presetNumber, link->getPresetReports().count);

    return exchangeStatus (built, message);
}

bool RawPresetThread::sendGetAllParams (int blockId, juce::MemoryBlock& data)
{
    int expected = 1;
    juce::MidiMessage message;
    const bool built = buildGetAllParams (message, (juce::uint32) blockId, expected, getModel());
    return exchange (built, message, expected,
                     [&] (const SysExRequest& request)
                     {
                         EffectStartRecord start;
                         juce::Array<juce::uint16> words;

                         if (! collectEffectDump (request, start, words))
                             return false;

                         data.reset();
                         appendEffectDumpBytes (words, data);
                         return true;
                     });
}

bool RawPresetThread::sendModifierDump (int blockId, juce::Array<ModifierDumpRecord>& records)
{
    int expected = 1;
    juce::MidiMessage message;
    const bool built = buildModifierDump (message, (juce::uint32) blockId, expected, getModel());

    // A fresh table per dump: nothing of an earlier block's dump can remain.
    records.clearQuick();

    return exchange (built, message, expected,
                     [&] (const SysExRequest& request)
                     {
                         juce::Array<ModifierValues> values;

                         if (! collectModifierDump (request, values, modifierDumpRecords))
                             return false;

                         for (auto& value : values)
                         {
                             const auto record = toModifierDumpRecord (value);

                             if (record.getBlockId() != 0)
                                 records.add (record);
                         }

                         return true;
                     });
}

bool RawPresetThread::sendMute (bool mute)
{
    juce::MidiMessage message;
    const bool built = buildMute (message, mute ? 0u : 1u, getModel());

    // The unmute goes out even when the thread is asked to stop: the
    // processor must not stay muted.
    return exchangeStatus (built, message, mute);
}

bool RawPresetThread::sendParamDump (int blockId, juce::Array<EffectParamValue>& values)
{
    int expected = 1;
    juce::MidiMessage message;
    const bool built = buildParamDump (message, (juce::uint32) blockId, expected, getModel());
    return exchange (built, message, expected,
                     [&] (const SysExRequest& request)
                     {
                         if (! collectParamDump (request, values))
                             return false;

                         for (auto& value : values)
                             if (value.blockId != blockId)
                                 return false;

                         return true;
                     });
}

bool RawPresetThread::settleScene()
{
    juce::uint8 scene = 0;
    return guard == nullptr || ! guard->isSceneInDoubt() || sendSetScene (ZOLMidiProcessing::sceneQuestion, scene);
}

bool RawPresetThread::sendQueryStates (juce::Array<juce::uint32>& words)
{
    int expected = 1;
    juce::MidiMessage message;
    const bool built = buildQueryStates (message, expected, getModel());
    return exchange (built, message, expected,
                     [&] (const SysExRequest& request)
                     {
                         juce::uint8 scene = 0;
                         return collectQueryStates (request, words, scene);
                     });
}
