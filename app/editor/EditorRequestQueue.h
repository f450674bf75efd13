#pragma once

#include "device/link/SysExRequestQueue.h"

#include <functional>
#include <memory>

class ZOLMidiProcessing;

// The effect editor's own requests (MIDI control changes, the looper-state
// and knob-broadcast subscriptions), oldest first, beside the preset
// manager's named requests.
//
// A request joins the queue only when the link took it, and the link ends
// every request it still holds when it stops; so the oldest request always
// completes or times out, and one the link refused never blocks the ones
// after it. Message thread only.
class EditorRequestQueue
{
public:
    enum class Outcome
    {
        empty,     // nothing queued
        waiting,   // the oldest request is still with the link
        completed, // the oldest request was answered (or needed no answer)
        timedOut   // the oldest request timed out, or the link dropped it
    };

    // What the owner does with a finished request before it is freed.
    using Finished = std::function<void (SysExRequest& request, bool completed)>;

    explicit EditorRequestQueue (ZOLMidiProcessing* link);
    ~EditorRequestQueue();

    ZOLMidiProcessing* getLink() const { return link; }

    // Hands the request to the link; true when the link took it (it is then
    // queued here). Refused while the unit is not connected; a refused
    // request is freed at once.
    bool send (std::unique_ptr<SysExRequest> request);

    // Looks at the oldest request only. A finished one is handed to the
    // callback, taken off the queue and freed (unless it is marked as kept
    // by its caller); the next one is looked at on the next call.
    Outcome finishOldest (const Finished& onFinished);

    int size() const { return queue.size(); }

private:
    ZOLMidiProcessing* link = nullptr;
    SysExRequestQueue queue;

    JUCE_DECLARE_NON_COPYABLE (EditorRequestQueue)
};
