#include "app/editor/BlockLibNameDialog.h"
#include "app/editor/EditorRequestQueue.h"
#include "app/editor/EffectEditorContent.h"
#include "app/host/PaneHost.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExParsers.h"
#include "model/EffectManager.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "skin/widgets/ZOLToggleButton.h"

namespace
{
constexpr int looperBlock = 169;
constexpr juce::uint16 looperKeyParam = 0xF000;
constexpr int maxWatchedParams = 24;

// The looper's state bits and the parameters they are the values of.
constexpr std::pair<int, int> looperBits[] = { { 1, 16 },  { 2, 17 },  { 4, 18 }, { 8, 19 },
                                               { 16, 21 }, { 32, 22 }, { 64, 20 } };
} // namespace

ZOLMidiProcessing* EffectEditorContent::getLink() const
{
    return presets != nullptr ? presets->getLink() : nullptr;
}

int EffectEditorContent::getNumOwnRequests() const
{
    return ownRequests != nullptr ? ownRequests->size() : 0;
}

bool EffectEditorContent::sendMidiCC (int controller, int value)
{
    auto* configuration = presets != nullptr ? presets->getConfiguration() : nullptr;

    if (ownRequests == nullptr || configuration == nullptr)
        return false;

    auto request = std::make_unique<SysExRequest>();
    const int channel = juce::jlimit (1, 16, (int) configuration->unitMidiChannel);

    if (! request->setControllerMessage (channel, controller, value))
        return false;

    return ownRequests->send (std::move (request));
}

bool EffectEditorContent::requestLooperState (bool on)
{
    looperPolling = on;
    juce::MidiMessage message;

    if (ownRequests == nullptr || ! buildLooperState (message, on ? 1u : 0u))
        return false;

    return ownRequests->send (std::make_unique<SysExRequest> (message));
}

bool EffectEditorContent::requestBroadcastKnob (const juce::Array<juce::uint16>& paramIds)
{
    knobBroadcastOn = ! paramIds.isEmpty();
    juce::MidiMessage message;
    const int count = juce::jmin (paramIds.size(), KnobBroadcast::maxPairs);

    if (ownRequests == nullptr || ! buildBroadcastKnob (message, paramIds.getRawDataPointer(), count))
        return false;

    return ownRequests->send (std::make_unique<SysExRequest> (message));
}

void EffectEditorContent::setLiveUpdates (bool stop)
{
    if (stop)
    {
        requestBroadcastKnob ({});
        return;
    }

    juce::Array<juce::uint16> watched;

    for (auto& control : pageControls)
        if (control->modifierActive && resolveBlock (*control) == shownBlock && watched.size() < maxWatchedParams)
            watched.addIfNotAlreadyThere (control->paramId);

    if (watched.isEmpty() && ! knobBroadcastOn)
        return;

    requestBroadcastKnob (watched);
}

void EffectEditorContent::onRequestsDone()
{
    if (ownRequests == nullptr)
        return;

    ownRequests->finishOldest (
        [this] (SysExRequest& request, bool completed)
        {
            if (! completed)
            {
                if ((request.getFlags() & SysExRequest::flagAlertOnTimeOut) != 0)
                {
                    Notice notice;
                    notice.icon = Notice::Icon::warning;
                    notice.message = "EffectEditorContent: Message timed out for opCode: " +
                                     getNameForId (SysExFunctionNames, request.getFunctionCode()) + ". Recvd " +
                                     juce::String (request.getNumReplies()) + ", expected " +
                                     juce::String (request.getExpectedCount());
                    UserNotifier::show (notice);
                }

                return;
            }

            juce::MidiMessage reply;

            if (! request.getReply (reply, 0))
                return;

            if (request.getFunctionCode() == SYSEX_LOOPER_STATE)
            {
                LooperState state;

                if (parseLooperState (reply, state))
                    applyLooperState (state);
            }
            else if (request.getFunctionCode() == SYSEX_BROADCAST_KNOB)
            {
                KnobBroadcast record;

                if (parseBroadcastKnob (reply, record))
                    applyBroadcastKnob (record);
            }
        });
}

void EffectEditorContent::tickLiveUpdates()
{
    onRequestsDone();

    auto* link = getLink();

    if (link == nullptr)
        return;

    LooperState looper;

    if (link->takeLooperState (&looper))
        applyLooperState (looper);

    KnobBroadcast knobs;

    if (link->takeKnobBroadcast (&knobs))
    {
        if (knobBroadcastOn)
            applyBroadcastKnob (knobs);
        else
            setLiveUpdates (true); // reports nobody asked for any more
    }
}

void EffectEditorContent::applyLooperState (const LooperState& state)
{
    if (! looperPolling || effects == nullptr)
        return;

    const bool hadRecord = effects->findEffect (looperBlock) != nullptr;
    const int xy = channelOf (looperBlock);

    auto store = [this, xy] (int paramId, int value)
    {
        EffectParamValue entry;

        if (! effects->getParamValue (looperBlock, paramId, xy, entry))
        {
            entry.blockId = (juce::uint16) looperBlock;
            entry.paramId = (juce::uint16) paramId;
        }

        entry.value = (juce::uint16) value;
        effects->storeParamValue (xy, entry);
    };

    for (auto& [bit, paramId] : looperBits)
        store (paramId, state.state & bit);

    store (looperKeyParam, state.position);

    if (! hadRecord)
        if (auto* record = effects->findEffect (looperBlock))
            (xy == 0 ? record->xRefresh : record->yRefresh) = 1;

    // Only the looper's state bits and its position changed.
    for (auto& [bit, paramId] : looperBits)
        applyStoredValue (looperBlock, paramId);

    applyStoredValue (looperBlock, looperKeyParam);
}

void EffectEditorContent::applyBroadcastKnob (const KnobBroadcast& record)
{
    if (effects == nullptr || shownBlock == 0)
        return;

    const int xy = channelOf (shownBlock);

    juce::Array<juce::uint16> dependent;
    const int count = juce::jmin ((int) record.count, KnobBroadcast::maxPairs);

    for (int i = 0; i < count; ++i)
    {
        EffectParamValue entry;

        if (! effects->getParamValue (shownBlock, record.paramIds[i], xy, entry))
            continue;

        // The live position is the entry's display position; its bounds stay.
        const int live = record.values[i];
        entry.flag = (juce::uint8) live;
        auto* control = findControl (shownBlock, record.paramIds[i]);

        if (dynamic_cast<ZOLToggleButton*> (control) != nullptr)
        {
            entry.value = live >= 63 ? 1 : 0;
        }
        else if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (control))
        {
            const int items = dropDown->getNumItems();

            if (items > 0)
            {
                const int step = juce::jmax (1, (int) (127.0 / items + 0.5));
                entry.value = (juce::uint16) juce::jmin (live / step, items - 1);
            }
            else
            {
                entry.value = 0;
            }
        }

        if (control != nullptr)
            control->setFromDevice (entry.value, (juce::uint16) live, entry.text);

        effects->storeParamValue (xy, entry);

        for (auto id : findDependentParams (record.paramIds[i]))
            dependent.addIfNotAlreadyThere (id);
    }

    if (! dependent.isEmpty())
        querySubset (dependent);
}

//==============================================================================
void EffectEditorContent::startRoad()
{
    ownRequests = std::make_unique<EditorRequestQueue> (getLink());
    nameDialog = std::make_unique<BlockLibNameDialog> (skin);
    nameDialog->addChangeListener (this);

    if (auto* target = PaneHost::find())
        target->addPerformer (this);
}

void EffectEditorContent::stopRoad()
{
    if (auto* target = PaneHost::find())
        target->removePerformer (this);

    if (nameDialog != nullptr)
    {
        nameDialog->removeChangeListener (this);

        if (auto* parent = nameDialog->getParentComponent())
            parent->removeChildComponent (nameDialog.get());
    }

    nameDialog.reset();
    ownRequests.reset();
}

void EffectEditorContent::onShownBlockChanged (int previousBlock)
{
    // The looper reports its state only while its block is shown.
    if (shownBlock == looperBlock && ! looperPolling)
        requestLooperState (true);
    else if (shownBlock != looperBlock && looperPolling)
        requestLooperState (false);

    if (previousBlock != shownBlock)
        pendingSubset.clear();

    updateLibraryList();
}
