#include "app/editor/EditorRequestQueue.h"

#include "device/link/ZOLMidiProcessing.h"

EditorRequestQueue::EditorRequestQueue (ZOLMidiProcessing* linkToUse)
    : link (linkToUse)
{
}

EditorRequestQueue::~EditorRequestQueue()
{
    while (auto* request = queue.pop())
    {
        // One the link still holds is freed by the link when it lets go.
        if (request->isBusy() && link != nullptr)
            link->releaseRequest (request);
        else
            request->destroy();
    }
}

bool EditorRequestQueue::send (std::unique_ptr<SysExRequest> request)
{
    // While the unit is not connected nothing would take the request off the
    // link's queue, so it is not made at all.
    if (request == nullptr || link == nullptr || ! link->isConnected() || ! link->queueRequest (request.get()))
        return false;

    queue.push (request.release());
    return true;
}

EditorRequestQueue::Outcome EditorRequestQueue::finishOldest (const Finished& onFinished)
{
    auto* oldest = queue.front();

    if (oldest == nullptr)
        return Outcome::empty;

    if (oldest->isBusy() || oldest->getState() == SysExRequest::stateWaiting)
        return Outcome::waiting;

    const bool completed = oldest->getState() == SysExRequest::stateComplete;
    queue.pop();

    if (onFinished)
        onFinished (*oldest, completed);

    oldest->setFlags (oldest->getFlags() | SysExRequest::flagDone);

    if ((oldest->getFlags() & SysExRequest::flagKeepOwnership) == 0)
        oldest->destroy();

    return completed ? Outcome::completed : Outcome::timedOut;
}
