#include "device/link/ZOLMidiProcessing.h"

#include "device/wire/ModelRules.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExParsers.h"
#include "model/Checksum.h"
#include "model/Clock.h"
#include "model/IdTables.h"

#include <utility>

namespace
{
bool isOneOf (int value, std::initializer_list<int> set)
{
    for (auto v : set)
        if (v == value)
            return true;

    return false;
}

bool holdsReplyOf (const SysExRequest& request, int function)
{
    juce::MidiMessage reply;

    for (int i = 0; i < request.getNumReplies(); ++i)
        if (request.getReply (reply, i) && reply.getRawDataSize() > sysExFunctionOffset &&
            reply.getRawData()[sysExFunctionOffset] == function)
            return true;

    return false;
}
} // namespace

ZOLMidiProcessing::ZOLMidiProcessing()
    : juce::Thread (threadName)
    , ports ([this] { notify(); })
{
    // Fill the lists at once, so that ports can open before the first tick.
    ports.refreshDeviceLists();
    startTimer (deviceListIntervalMs);
}

ZOLMidiProcessing::~ZOLMidiProcessing()
{
    stopTimer();
    stopProcessing();

    const juce::ScopedLock sl (outQueueLock);
    for (auto* orphan : orphans)
        delete orphan;
    orphans.clear();
}

//==============================================================================
bool ZOLMidiProcessing::startProcessing (bool startLinkThread)
{
    auto inName = ports.getInputName();
    auto outName = ports.getOutputName();

    {
        const juce::ScopedLock sl (keptNamesLock);
        keptInputName = inName;
        keptOutputName = outName;
    }

    auto inOpen = ports.isInputOpen();
    auto outOpen = ports.isOutputOpen();

    if (! inOpen && ! outOpen)
        return false;

    inputPresent.store (inOpen);
    outputPresent.store (outOpen);
    lastPortCheck.store (Clock::nowMs());

    if (startLinkThread && ! isThreadRunning())
        startThread();

    return true;
}

void ZOLMidiProcessing::stopProcessing()
{
    signalThreadShouldExit();
    stopThread (stopTimeoutMs);
    inputPresent.store (false);
    outputPresent.store (false);
    failAllRequests();
}

bool ZOLMidiProcessing::closePorts()
{
    stopProcessing();
    auto closedIn = ports.closeInput();
    auto closedOut = ports.closeOutput();
    return closedIn || closedOut;
}

void ZOLMidiProcessing::failAllRequests()
{
    // The thread has stopped: the in-flight queue is ours now.
    juce::Array<SysExRequest*> stranded;

    while (auto* request = inFlight.pop())
        if (request != sceneCheck.get())
            stranded.add (request);

    sceneCheck.reset();

    if (auto* held = std::exchange (heldForSceneCheck, nullptr))
        stranded.add (held);

    {
        const juce::ScopedLock sl (outQueueLock);
        while (auto* request = outQueue.pop())
            stranded.add (request);
    }

    for (auto* request : stranded)
    {
        if (request->getState() != SysExRequest::stateComplete)
            request->setState (SysExRequest::stateTimedOut);

        letGo (request);
    }
}

//==============================================================================
bool ZOLMidiProcessing::queueRequest (SysExRequest* request)
{
    if (request == nullptr)
        return false;

    const juce::ScopedLock sl (outQueueLock);

    // Queued twice, it would be let go twice, the second time perhaps after
    // its owner freed it.
    if (request->isBusy())
        return false;

    request->setBusy (true);
    outQueue.push (request);
    notify();
    return true;
}

void ZOLMidiProcessing::releaseRequest (SysExRequest* request)
{
    if (request == nullptr)
        return;

    const juce::ScopedLock sl (outQueueLock);

    if (outQueue.remove (request) || ! request->isBusy())
    {
        delete request;
        return;
    }

    orphans.addIfNotAlreadyThere (request);
}

void ZOLMidiProcessing::letGo (SysExRequest* request)
{
    request->setBusy (false);

    // From here on the owner may delete the request: only its address is
    // compared below.
    const juce::ScopedLock sl (outQueueLock);

    if (orphans.removeAllInstancesOf (request) > 0)
        delete request;
}

void ZOLMidiProcessing::setActivityCallback (std::function<void()> callback)
{
    const juce::ScopedLock sl (activityLock);
    onActivity = std::move (callback);
}

void ZOLMidiProcessing::reportActivity()
{
    const juce::ScopedLock sl (activityLock);

    if (onActivity)
        onActivity();
}

void ZOLMidiProcessing::setHold (bool shouldHold)
{
    if (hold.exchange (shouldHold) && ! shouldHold)
        notify();
}

void ZOLMidiProcessing::setPresetChangeRequested (bool requested)
{
    const juce::ScopedLock sl (presetMailbox.lock);
    presetChangeRequested = requested;
}

void ZOLMidiProcessing::setResyncSkipNext (bool skip)
{
    const juce::ScopedLock sl (resyncLock);
    resyncSkipNext = skip;
}

//==============================================================================
bool ZOLMidiProcessing::takeTunerData (TunerReading* out)
{
    return tunerMailbox.take (out);
}

bool ZOLMidiProcessing::takeLooperState (LooperState* out)
{
    return looperMailbox.take (out);
}

bool ZOLMidiProcessing::takeKnobBroadcast (KnobBroadcast* out)
{
    return knobMailbox.take (out);
}

bool ZOLMidiProcessing::takeModifierBroadcast (ModifierBroadcast* out)
{
    return modifierMailbox.take (out);
}

bool ZOLMidiProcessing::takePresetChange (PresetNumberRecord* out, bool* editorAsked)
{
    if (! presetMailbox.fresh.load())
        return false;

    const juce::ScopedLock sl (presetMailbox.lock);

    if (! presetMailbox.take (out))
        return false;

    if (editorAsked != nullptr)
        *editorAsked = presetChangeRequested;

    presetChangeRequested = false;
    reportsTaken = reportLog.getCount();
    return true;
}

ZOLMidiProcessing::PresetReports ZOLMidiProcessing::getPresetReports() const
{
    const juce::ScopedLock sl (presetMailbox.lock);
    return { reportLog.getCount(), reportLog.getLast(), reportsTaken, reportLog.getStatesCount() };
}

juce::int32 ZOLMidiProcessing::findPresetReportOutside (juce::uint32 since, const juce::Array<juce::int32>& allowed) const
{
    const juce::ScopedLock sl (presetMailbox.lock);
    return reportLog.findRefused (since, reportLog.getCount(),
                                  [&allowed] (juce::int32 preset, juce::uint32) { return allowed.contains (preset); });
}

bool ZOLMidiProcessing::admits (WriteGuard& guard)
{
    const juce::ScopedLock sl (presetMailbox.lock);
    return guard.admit (reportLog);
}

ZOLMidiProcessing::Sending ZOLMidiProcessing::prepareToSend (SysExRequest& request)
{
    const auto message = request.getMessage();

    {
        const juce::ScopedLock sl (presetMailbox.lock);

        if (auto& guard = request.getGuard(); guard != nullptr)
        {
            if (! guard->admit (reportLog, &message))
                return Sending::withheld;

            if (guard->needsSceneCheck (reportLog, message))
                return Sending::afterSceneCheck;
        }

        request.setPresetReportCountAtSend (reportLog.getCount());
    }

    // Whether the answer comes back or not, the unit may have muted.
    if (isSysExOfFunction (message, SYSEX_MUTE) && unpackSysExField (message, singleByteLayout, 0) == 0)
        outputsMuted.store (true);

    return Sending::now;
}

void ZOLMidiProcessing::askSceneFor (SysExRequest& request)
{
    // Asked of the model the request is addressed to.
    const auto message = request.getMessage();
    juce::MidiMessage question;

    if (! buildSetScene (question, sceneQuestion, message.getRawData()[sysExModelOffset]))
    {
        request.setState (SysExRequest::stateTimedOut);
        letGo (&request);
        return;
    }

    heldForSceneCheck = &request;
    sceneCheck = std::make_unique<SysExRequest> (SysExRequest::defaultTimeoutMs);
    sceneCheck->setMessage (question);
    sceneCheck->setBusy (true);
    sceneCheck->restartTimer();
    inFlight.push (sceneCheck.get());
    ports.sendMessageNow (question);
}

void ZOLMidiProcessing::endSceneCheck()
{
    auto* held = std::exchange (heldForSceneCheck, nullptr);
    const auto check = std::move (sceneCheck);

    if (held == nullptr)
        return;

    juce::MidiMessage reply;
    juce::uint8 scene = 0;

    // Answered, the guard judges the scene; the request is then sent or
    // withheld as the guard says. Unanswered, it ends as a lost answer does.
    if (check != nullptr && check->getState() == SysExRequest::stateComplete && check->getReply (reply, 0)
        && parseSetScene (reply, scene))
    {
        held->getGuard()->judgeScene (scene, check->getStatesReportCountAtAnswer());
        const juce::ScopedLock sl (outQueueLock);
        outQueue.pushFront (held);
        return;
    }

    held->setState (SysExRequest::stateTimedOut);
    letGo (held);
}

void ZOLMidiProcessing::noteAnswered (SysExRequest& request)
{
    // The reports filed before the answer are the unit's changes made before it answered.
    {
        const juce::ScopedLock sl (presetMailbox.lock);
        request.setPresetReportsAtAnswer (reportLog.getCount(), reportLog.getLast());
        request.setStatesReportCountAtAnswer (reportLog.getStatesCount());

        if (auto& guard = request.getGuard())
            guard->judgeAnswer (request, reportLog);
    }

    const auto message = request.getMessage();
    juce::uint8 result = 0;

    if (isSysExOfFunction (message, SYSEX_MUTE) && unpackSysExField (message, singleByteLayout, 0) == 1
        && collectEchoedStatus (request, result) && result == 0)
        outputsMuted.store (false);
}

bool ZOLMidiProcessing::takeResyncRequest()
{
    if (! resyncPending.load())
        return false;

    const juce::ScopedLock sl (resyncLock);
    return resyncPending.exchange (false);
}

bool ZOLMidiProcessing::takeStatesChanged()
{
    if (! statesChanged.load())
        return false;

    const juce::ScopedLock sl (statesLock);
    return statesChanged.exchange (false);
}

bool ZOLMidiProcessing::takeTempoChanged()
{
    return tempoChanged.exchange (false);
}

bool ZOLMidiProcessing::takeEditorDisconnected()
{
    return editorDisconnected.exchange (false);
}

//==============================================================================
void ZOLMidiProcessing::run()
{
    juce::Thread::setCurrentThreadName (systemThreadName);

    while (! threadShouldExit())
    {
        processPass();
        checkPorts();
        wait (getIdleWaitMs());
    }
}

int ZOLMidiProcessing::getIdleWaitMs()
{
    if (! inFlight.isEmpty() || heldForSceneCheck != nullptr)
        return 1;

    if (! hold.load())
    {
        const juce::ScopedLock sl (outQueueLock);

        if (! outQueue.isEmpty())
            return 1;
    }

    // The watchdog runs once more than portCheckIntervalMs have passed.
    const auto sinceCheck = Clock::nowMs() - lastPortCheck.load();
    return sinceCheck >= portCheckIntervalMs ? 1 : (int) (portCheckIntervalMs + 1 - sinceCheck);
}

void ZOLMidiProcessing::processPass()
{
    // The message thread is told after a pass that took input or let go of a
    // request, however the pass ends.
    struct ActivityReport
    {
        ZOLMidiProcessing& link;
        bool active = false;
        ~ActivityReport()
        {
            if (active)
                link.reportActivity();
        }
    } report{ *this };

    auto* current = inFlight.front();

    // The swap hands the shared buffer this pass's emptied storage, so the
    // driver's callback seldom has to allocate while it holds the lock.
    ports.takeIncoming (incoming);
    report.active = ! incoming.isEmpty();

    for (const auto metadata : incoming)
    {
        auto message = metadata.getMessage();

        if (message.isSysEx())
            matchReply (message, current);
    }

    if (current != nullptr)
    {
        // A plain MIDI message expects no answer: it is done once sent.
        if (current->getExpectedCount() == 0)
            current->setState (SysExRequest::stateComplete);

        // Replies matched above count before the time-out test.
        if (current->getState() == SysExRequest::stateComplete || current->checkTimeOut())
        {
            inFlight.pop();

            if (current == sceneCheck.get())
                endSceneCheck();
            else
                letGo (current);

            report.active = true;
        }
    }

    if (! inFlight.isEmpty() || hold.load())
        return;

    SysExRequest* next = nullptr;
    {
        const juce::ScopedLock sl (outQueueLock);
        next = outQueue.pop();
    }

    if (next == nullptr)
        return;

    if (! outputPresent.load())
    {
        next->setState (SysExRequest::stateTimedOut);
        letGo (next);
        report.active = true;
        return;
    }

    switch (prepareToSend (*next))
    {
        case Sending::now: break;

        // A run of writes the unit has moved away from sends nothing more.
        case Sending::withheld:
            next->setWithheld();
            next->setState (SysExRequest::stateTimedOut);
            letGo (next);
            report.active = true;
            return;

        case Sending::afterSceneCheck: askSceneFor (*next); return;
    }

    next->restartTimer();
    inFlight.push (next);
    // With no output open nothing goes out and the request times out.
    ports.sendMessageNow (next->getMessage());
}

//==============================================================================
void ZOLMidiProcessing::matchReply (const juce::MidiMessage& message, SysExRequest* current)
{
    auto* bytes = message.getRawData();
    auto length = message.getRawDataSize();

    if (bytes == nullptr || length < sysExHeaderSize)
        return;

    const int f = bytes[sysExFunctionOffset];

    // The unit sends these without a valid checksum.
    if (f != SYSEX_TUNER && f != SYSEX_QUERY_STATES && f != SYSEX_TEMPO)
        if (bytes[length - 2] != calcSysExChecksum (bytes, (size_t) (length - 2)))
            return;

    // A request whose answer is whole takes nothing more: whatever follows it
    // in the same burst is the unit's own report, however much it looks like
    // another answer, and goes to its mailbox as if nothing were in flight.
    const bool awaitingReplies = current != nullptr && current->getState() != SysExRequest::stateComplete;
    const int r = awaitingReplies ? current->getFunctionCode() : 0;

    if (f < 1 || f > 124)
        return;

    bool answers = false;

    switch (f)
    {
        case SYSEX_PARAM_DUMP:
        case SYSEX_QUERY_VERSION:
        case SYSEX_QUERY_NAME:
        case SYSEX_XY:
        case SYSEX_CABNAME:
        case SYSEX_CPU_LOAD:
        case SYSEX_QUERY_NAME_BY_NUM:
        case SYSEX_GET_PARAM_INFO:
        case SYSEX_GET_MIDI_CHANNEL:
        case SYSEX_GET_MODIFIER_INFO:
        case SYSEX_GLOBAL_BLOCK_USED:
        case SYSEX_BANK_DUMP:
        case SYSEX_GET_GRID:
        case SYSEX_GET_PARAM_STRINGS:
        case SYSEX_GET_FLAGS:
        case SYSEX_BPM:
        case SYSEX_GET_GRAPH:
        case SYSEX_SIM_DATA:
        case SYSEX_GET_CONFIG:
        case SYSEX_GET_GRAPHN:
        case SYSEX_GET_POSITION:
        case SYSEX_CAB_BANK_DUMP:
        case SYSEX_LAYOUT_SET:
        case SYSEX_GET_SYSINFO:
        case SYSEX_FSGRID: answers = (r == f); break;

        case SYSEX_PARAM_SET: answers = isOneOf (r, { SYSEX_PARAM_SET, SYSEX_SET_PARAM_DIRECT }); break;
        case SYSEX_MODIFIER_SET: answers = isOneOf (r, { SYSEX_MODIFIER_SET, SYSEX_SET_MODPARAM_DIRECT }); break;

        case SYSEX_TUNER:
        {
            TunerReading reading;
            if (parseTuner (message, reading))
                tunerMailbox.post (reading);
            break;
        }

        case SYSEX_QUERY_STATES:
            // The answer is one states message and its scene: a second states
            // message before the scene is the unit's own report, sent while
            // it answered.
            answers = (r == f) && ! holdsReplyOf (*current, SYSEX_QUERY_STATES);
            if (! answers)
            {
                {
                    const juce::ScopedLock sl (presetMailbox.lock);
                    reportLog.fileStates();
                }

                const juce::ScopedLock sl (statesLock);
                statesChanged.store (true);
            }
            break;

        case SYSEX_TEMPO: tempoChanged.store (true); break;

        case SYSEX_PATCHNUM:
            answers = (r == f);
            if (! answers)
            {
                PresetNumberRecord number;
                if (parsePatchNum (message, number))
                {
                    const juce::ScopedLock sl (presetMailbox.lock);
                    presetMailbox.post (number);
                    reportLog.file (number.getNumber());
                }
            }
            break;

        case SYSEX_RESYNC:
        {
            const juce::ScopedLock sl (resyncLock);
            if (resyncSkipNext)
                resyncSkipNext = false;
            else
                resyncPending.store (true);
            break;
        }

        case SYSEX_LOOPER_STATE:
        {
            answers = (r == f);
            LooperState state;
            if (parseLooperState (message, state))
                looperMailbox.post (state);
            break;
        }

        case SYSEX_SET_SCENE: answers = isOneOf (r, { SYSEX_SET_SCENE, SYSEX_QUERY_STATES }); break;
        case SYSEX_MODIFIER: answers = isOneOf (r, { SYSEX_MODIFIER, SYSEX_MODIFIER_DUMP }); break;

        case SYSEX_MULTIMSG_START:
        {
            answers = isOneOf (r, { SYSEX_CABNAME, SYSEX_MODIFIER_DUMP, SYSEX_PARAM_DUMP });
            MultiMessageStart start;
            if (answers && current != nullptr && parseMultiMsgStart (message, start))
                current->setExpectedCount (start.count + 2);
            break;
        }

        case SYSEX_MULTIMSG_END: answers = isOneOf (r, { SYSEX_CABNAME, SYSEX_MODIFIER_DUMP, SYSEX_PARAM_DUMP }); break;

        case SYSEX_BROADCAST_KNOB:
        {
            answers = (r == f);
            KnobBroadcast record;
            if (parseBroadcastKnob (message, record))
                knobMailbox.post (record);
            break;
        }

        case SYSEX_BROADCAST_MODIFIER:
        {
            answers = (r == f);
            const juce::ScopedLock sl (modifierMailbox.lock);
            // The report sets only part of the record; the rest stays as it was.
            auto record = modifierMailbox.content;
            if (parseBroadcastModifier (message, record))
                modifierMailbox.post (record);
            break;
        }

        case SYSEX_PATCH_PLUS_CAB_DUMP:
        {
            answers = (r == f);
            PatchPlusCabHeader header;
            // The dump's own model byte decides its length, not the shared
            // default; a model without a known dump length leaves the count.
            const auto presetMessages = getPatchDumpMessageCount (bytes[sysExModelOffset]);
            if (answers && current != nullptr && presetMessages > 0 && parsePatchPlusCabDump (message, header))
                current->setExpectedCount (presetMessages + 1 + cabDumpMessageCount * header.countCabs());
            break;
        }

        case SYSEX_SYSTEM_DATA_START:
        {
            answers = (r == SYSEX_DUMP_SYSTEM);
            juce::uint32 size = 0;
            if (answers && current != nullptr && parseSystemDataStart (message, size))
                current->setExpectedCount ((int) (size >> 6) + 2);
            break;
        }

        case SYSEX_SYSTEM_DATA:
        case SYSEX_SYSTEM_DATA_END: answers = (r == SYSEX_DUMP_SYSTEM); break;

        case SYSEX_STATUS_MSG:
        {
            StatusReply status;
            if (parseStatusMessage (message, status))
            {
                answers = (status.function == r);

                if (status.function == SYSEX_EDITOR_DISCONNECT && (current == nullptr || r != SYSEX_EDITOR_DISCONNECT))
                    editorDisconnected.store (true);

                // The unit refused the request in flight: it ends here, as
                // refused, whatever else it awaited; its owner sees the result.
                if (answers && awaitingReplies && isRefusal (status, (juce::uint8) r))
                {
                    if (current->addRefusal (message, status.result))
                        noteAnswered (*current);

                    return;
                }

                if (answers && current != nullptr && r == SYSEX_GET_ALL_PARAMS)
                    current->setExpectedCount (1);
            }
            break;
        }

        case SYSEX_RAWIR_START:
        case SYSEX_RAWIR_DATA:
        case SYSEX_RAWIR_END: answers = (r == SYSEX_CONTROL_IRCAP); break;

        case SYSEX_EFFECT_START:
        {
            answers = (r == SYSEX_GET_ALL_PARAMS);
            EffectStartRecord start;
            if (answers && current != nullptr && parseEffectStart (message, start))
                current->setExpectedCount ((start.wordCount >> 6) + 3);
            break;
        }

        case SYSEX_EFFECT_DATA:
        case SYSEX_EFFECT_END: answers = (r == SYSEX_GET_ALL_PARAMS); break;

        case SYSEX_PATCH_START:
        case SYSEX_PATCH_DATA:
        case SYSEX_PATCH_END:
            answers = isOneOf (r, { SYSEX_PATCH_DUMP, SYSEX_PATCH_PLUS_CAB_DUMP, SYSEX_BANK_DUMP });
            break;

        case SYSEX_CABIR_START:
        case SYSEX_CABIR_DATA:
        case SYSEX_CABIR_END:
            answers =
                isOneOf (r, { SYSEX_CAB_DUMP, SYSEX_CAB_BANK_DUMP, SYSEX_PATCH_PLUS_CAB_DUMP, SYSEX_CONTROL_IRCAP });
            break;

        default: break;
    }

    if (answers && awaitingReplies && current->addReply (message))
        noteAnswered (*current);
}

//==============================================================================
void ZOLMidiProcessing::checkPorts()
{
    auto now = Clock::nowMs();

    if (now - lastPortCheck.load() <= portCheckIntervalMs)
        return;

    auto inName = ports.getInputName();
    auto outName = ports.getOutputName();
    auto inPresent = ports.isInputOpen() && ports.getInputNames().contains (inName);
    auto outPresent = ports.isOutputOpen() && ports.getOutputNames().contains (outName);
    const bool inChanged = inputPresent.exchange (inPresent) != inPresent;
    const bool outChanged = outputPresent.exchange (outPresent) != outPresent;

    if (inChanged || outChanged)
        reportActivity();

    juce::String keptIn, keptOut;
    {
        const juce::ScopedLock sl (keptNamesLock);
        keptIn = keptInputName;
        keptOut = keptOutputName;
    }

    if (keptIn.isNotEmpty() && ! inPresent)
    {
        ports.closeInput();
        ports.openInputByName (keptIn);
    }

    if (keptOut.isNotEmpty() && ! outPresent)
    {
        ports.closeOutput();
        ports.openOutputByName (keptOut);
    }

    lastPortCheck.store (now);
}

void ZOLMidiProcessing::timerCallback()
{
    ports.refreshDeviceLists();
}
