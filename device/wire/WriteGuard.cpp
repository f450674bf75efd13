#include "device/wire/WriteGuard.h"

#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExParsers.h"
#include "device/wire/SysExRequest.h"
#include "model/IdTables.h"

namespace
{
constexpr juce::uint32 sceneQuery = 127;

juce::int32 field (const juce::MidiMessage& message, const PayloadLayout* layout, juce::uint32 id)
{
    return unpackSysExField (message, layout, id);
}

bool asksScene (const juce::MidiMessage& message)
{
    return isSysExOfFunction (message, SYSEX_QUERY_STATES)
           || (isSysExOfFunction (message, SYSEX_SET_SCENE)
               && (juce::uint32) field (message, singleByteLayout, 0) == sceneQuery);
}

// The scene a scene or states answer names; -1 when the answer names none.
juce::int32 sceneOfAnswer (const SysExRequest& request)
{
    juce::uint8 scene = 0;

    if (request.getFunctionCode() == SYSEX_QUERY_STATES)
    {
        juce::Array<juce::uint32> words;
        return collectQueryStates (request, words, scene) ? scene : -1;
    }

    juce::MidiMessage reply;
    return request.getReply (reply, 0) && parseSetScene (reply, scene) ? scene : -1;
}

// The slot a recall or a save addresses; -1 when the message names none.
juce::int32 locationOf (const juce::MidiMessage& message)
{
    const auto bank = field (message, presetLocationRequestLayout, 0);
    const auto program = field (message, presetLocationRequestLayout, 1);
    return bank < 0 || program < 0 ? -1 : bank * 128 + program;
}
} // namespace

WriteGuard::WriteGuard (juce::int32 meantPreset, juce::uint32 reportsSeen, bool keepsEdit)
    : meant (meantPreset)
    , baseline (reportsSeen)
{
    // Reloaded before anything is written to it, the preset is written as
    // the unit holds it now.
    if (! keepsEdit)
    {
        reloadBeforeWrites = allowed.size();
        allowed.add ({ meant, reportsSeen });
    }
}

void WriteGuard::awaitRecall()
{
    const juce::ScopedLock sl (lock);
    awaitingRecall = true;
    meant = -1;
    allowed.clear();
    reloadBeforeWrites = -1;
    recallReportExpected = false;
}

void WriteGuard::addressScene (juce::int32 sceneMeant, juce::uint32 statesSeen)
{
    const juce::ScopedLock sl (lock);
    addressesScene = true;
    scene = sceneMeant;
    statesBaseline = statesSeen;
    sceneReportsSeen = baseline;
}

void WriteGuard::finish()
{
    const juce::ScopedLock sl (lock);
    finished = true;
}

void WriteGuard::allow (juce::int32 preset, juce::uint32 fromReport)
{
    const juce::ScopedLock sl (lock);
    allowed.add ({ preset, fromReport });
}

bool WriteGuard::isAllowed (juce::int32 preset, juce::uint32 reportNumber) const
{
    for (auto& entry : allowed)
        if (entry.preset == preset && reportNumber > entry.fromReport && reportNumber <= entry.toReport)
            return true;

    return false;
}

juce::int32 WriteGuard::findMove (const UnitReportLog& log, juce::uint32 until)
{
    return log.findRefused (baseline, until,
                            [this] (juce::int32 preset, juce::uint32 n)
                            {
                                for (auto& entry : allowed)
                                {
                                    if (entry.preset != preset || n <= entry.fromReport || n > entry.toReport)
                                        continue;

                                    // The recall's own report, come after the first write: no other.
                                    if (entry.firstOnly)
                                    {
                                        entry.firstOnly = false;
                                        entry.toReport = n;
                                    }

                                    return true;
                                }

                                return false;
                            });
}

void WriteGuard::endReloadsBeforeWrites (const UnitReportLog& log)
{
    if (reloadBeforeWrites < 0)
        return;

    auto& entry = allowed.getReference (reloadBeforeWrites);
    reloadBeforeWrites = -1;

    // A recall's report that has not come yet is still its own when it does.
    const auto preset = entry.preset;
    const bool recallReported =
        log.findRefused (entry.fromReport, log.getCount(), [preset] (juce::int32 p, juce::uint32) { return p != preset; })
        == preset;

    if (recallReportExpected && ! recallReported)
        entry.firstOnly = true;
    else
        entry.toReport = log.getCount();
}

bool WriteGuard::allows (juce::int32 preset, juce::uint32 reportNumber) const
{
    const juce::ScopedLock sl (lock);
    return awaitingRecall || isAllowed (preset, reportNumber);
}

bool WriteGuard::admit (const UnitReportLog& log, const juce::MidiMessage* goingOut)
{
    const juce::ScopedLock sl (lock);

    if (state.stop != Stop::none)
        return false;

    if (finished || awaitingRecall)
        return true;

    if (const auto other = findMove (log, log.getCount()); other >= 0)
    {
        stopAsMoved (other, 0, false);
        return false;
    }

    // A report the run allows, a reload, puts the unit on the scene the
    // preset stores: the unit is asked its scene before the next request.
    if (addressesScene && log.getCount() > sceneReportsSeen)
    {
        sceneReportsSeen = log.getCount();
        sceneAfterReport = true;
    }

    // From the first write to the edit buffer on, a reload loses what was written.
    if (goingOut != nullptr && isWrite (*goingOut) && ! isSysExOfFunction (*goingOut, SYSEX_MUTE))
        endReloadsBeforeWrites (log);

    return true;
}

bool WriteGuard::needsSceneCheck (const UnitReportLog& log, const juce::MidiMessage& goingOut) const
{
    const juce::ScopedLock sl (lock);

    if (! addressesScene || scene < 0 || finished || awaitingRecall || state.stop != Stop::none)
        return false;

    // A question of the scene or of the states settles it by its own answer.
    if (asksScene (goingOut))
        return false;

    return doubtFunction != 0 || sceneAfterReport || log.getStatesCount() > statesBaseline;
}

void WriteGuard::judgeAnswer (const SysExRequest& request, const UnitReportLog& log)
{
    const auto message = request.getMessage();
    const auto function = request.getFunctionCode();

    const auto refusal = request.getRefusal();

    const juce::ScopedLock sl (lock);

    if (state.stop != Stop::none || finished)
        return;

    if (refusal != 0 && isWrite (message))
    {
        state.stop = Stop::refused;
        state.function = function;
        state.refusal = refusal;
        state.reachedUnit = true;
        return;
    }

    // The recall taken: its slot is the preset meant, whatever the unit
    // reported before it answered; its own report of the slot is no move.
    if (awaitingRecall)
    {
        if (function == SYSEX_RECALL_PATCH && locationOf (message) >= 0)
        {
            awaitingRecall = false;
            meant = locationOf (message);
            // Its report, and reloads of the slot, until the first write.
            reloadBeforeWrites = allowed.size();
            recallReportExpected = true;
            allowed.add ({ meant, request.getPresetReportCountAtSend() });
            baseline = request.getPresetReportCountAtAnswer();
        }

        return;
    }

    if (const auto other = findMove (log, request.getPresetReportCountAtAnswer()); other >= 0)
    {
        stopAsMoved (other, function, true);
        return;
    }

    if (! addressesScene)
        return;

    const auto statesAtAnswer = request.getStatesReportCountAtAnswer();

    // The scene the run sets is its scene from now on; one it asks, or the
    // one its states answer names, settles what a states report left open.
    if (function == SYSEX_SET_SCENE || function == SYSEX_QUERY_STATES)
    {
        if (const auto answered = sceneOfAnswer (request); answered >= 0)
        {
            if (function == SYSEX_SET_SCENE && isWrite (message))
            {
                scene = answered;
                statesBaseline = statesAtAnswer;
                sceneReportsSeen = juce::jmax (sceneReportsSeen, request.getPresetReportCountAtAnswer());
                sceneAfterReport = false;
            }
            else
            {
                settleScene (answered, statesAtAnswer, function);
            }
        }

        return;
    }

    // Answered after a states report, the request may have met another scene.
    if (scene >= 0 && doubtFunction == 0 && statesAtAnswer > statesBaseline)
    {
        doubtFunction = function;
        doubtWrote = isWrite (message);
    }
}

void WriteGuard::judgeScene (juce::int32 answered, juce::uint32 statesAtAnswer)
{
    const juce::ScopedLock sl (lock);

    if (state.stop == Stop::none && ! finished)
        settleScene (answered, statesAtAnswer, 0);
}

void WriteGuard::settleScene (juce::int32 answered, juce::uint32 statesAtAnswer, juce::uint8 function)
{
    if (scene >= 0 && answered != scene)
    {
        state.stop = Stop::sceneMoved;
        state.scene = scene;
        state.sceneMovedTo = answered;
        // The request that may have met the other scene; otherwise the one that found it.
        state.function = doubtFunction != 0 ? doubtFunction : function;
        state.reachedUnit = doubtFunction != 0 && doubtWrote;
        return;
    }

    statesBaseline = statesAtAnswer;
    doubtFunction = 0;
    doubtWrote = false;
    sceneAfterReport = false;
}

void WriteGuard::stopAsMoved (juce::int32 movedTo, juce::uint8 function, bool reachedUnit)
{
    state.stop = Stop::moved;
    state.movedTo = movedTo;
    state.function = function;
    state.reachedUnit = reachedUnit;
}

WriteGuard::State WriteGuard::getState() const
{
    const juce::ScopedLock sl (lock);
    return state;
}

bool WriteGuard::isStopped() const
{
    const juce::ScopedLock sl (lock);
    return state.stop != Stop::none;
}

bool WriteGuard::isAwaitingRecall() const
{
    const juce::ScopedLock sl (lock);
    return awaitingRecall;
}

bool WriteGuard::isFinished() const
{
    const juce::ScopedLock sl (lock);
    return finished;
}

bool WriteGuard::isSceneInDoubt() const
{
    const juce::ScopedLock sl (lock);
    return addressesScene && ! finished && state.stop == Stop::none && doubtFunction != 0;
}

juce::int32 WriteGuard::getMeant() const
{
    const juce::ScopedLock sl (lock);
    return meant;
}

bool WriteGuard::isWrite (const juce::MidiMessage& message)
{
    if (message.getRawDataSize() <= sysExFunctionOffset)
        return false;

    switch (message.getRawData()[sysExFunctionOffset])
    {
        // Mode 0 asks.
        case SYSEX_PARAM_SET: return field (message, paramSetRequestLayout, 3) != 0;
        case SYSEX_MODIFIER_SET: return field (message, modifierSetRequestLayout, 4) != 0;
        case SYSEX_XY: return field (message, xyRequestLayout, 2) != 0;
        case SYSEX_SET_SCENE: return (juce::uint32) field (message, singleByteLayout, 0) != sceneQuery;
        case SYSEX_LAYOUT_SET: return field (message, layoutSetRequestLayout, 0) == 1;
        case SYSEX_FSGRID: return field (message, footswitchGridLayout, 0) == 1;

        case SYSEX_PLACE_EFFECT:
        case SYSEX_CONNECT_EFFECT:
        case SYSEX_SET_NAME:
        case SYSEX_SAVE_PATCH:
        case SYSEX_SET_DEFAULTS:
        case SYSEX_MOVE_EFFECT:
        case SYSEX_MODIFIER:
        case SYSEX_SET_PARAM_DIRECT:
        case SYSEX_SET_MODPARAM_DIRECT:
        case SYSEX_RECALL_PATCH:
        case SYSEX_MUTE:
        case SYSEX_DELETE_CABIR:
        case SYSEX_EFFECT_START:
        case SYSEX_EFFECT_DATA:
        case SYSEX_EFFECT_END:
        case SYSEX_PATCH_START:
        case SYSEX_PATCH_DATA:
        case SYSEX_PATCH_END:
        case SYSEX_CABIR_START:
        case SYSEX_CABIR_DATA:
        case SYSEX_CABIR_END: return true;

        default: return false;
    }
}
