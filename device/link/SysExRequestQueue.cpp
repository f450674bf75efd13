#include "device/link/SysExRequestQueue.h"

void SysExRequestQueue::push (SysExRequest* request)
{
    requests.add (request);
}

void SysExRequestQueue::pushFront (SysExRequest* request)
{
    requests.insert (0, request);
}

SysExRequest* SysExRequestQueue::pop()
{
    if (requests.isEmpty())
        return nullptr;

    return requests.removeAndReturn (0);
}

SysExRequest* SysExRequestQueue::front() const
{
    return requests.isEmpty() ? nullptr : requests.getFirst();
}

bool SysExRequestQueue::remove (SysExRequest* request)
{
    auto index = requests.indexOf (request);

    if (index < 0)
        return false;

    requests.remove (index);
    return true;
}

bool SysExRequestQueue::contains (const SysExRequest* request) const
{
    return requests.contains (const_cast<SysExRequest*> (request));
}
