#pragma once

#include "device/wire/SysExRequest.h"

// A first-in first-out list of request pointers. It owns nothing: the
// requests belong to their creators. It has no lock of its own; its owner
// guards it.
class SysExRequestQueue
{
public:
    SysExRequestQueue() = default;

    void push (SysExRequest* request);
    // Puts a request taken off the queue back at its front.
    void pushFront (SysExRequest* request);

    // Takes the front request off the queue; nullptr when empty.
    SysExRequest* pop();

    // The front request without taking it; nullptr when empty.
    SysExRequest* front() const;

    // Takes the request out wherever it is; false when it was not queued.
    bool remove (SysExRequest* request);

    bool contains (const SysExRequest* request) const;
    int size() const { return requests.size(); }
    bool isEmpty() const { return requests.isEmpty(); }
    void clear() { requests.clear(); }

private:
    juce::Array<SysExRequest*> requests;

    JUCE_DECLARE_NON_COPYABLE (SysExRequestQueue)
};
