#include "support/LoopbackHttpServer.h"

namespace
{
// Bounds on a request the server reads: tests send small GETs.
constexpr int maxRequestBytes = 16 * 1024;
constexpr int readWaitMs = 5000;
// A held response waits for release at most this long.
constexpr int maxHoldMs = 60000;
} // namespace

LoopbackHttpServer::LoopbackHttpServer()
    : juce::Thread ("Loopback HTTP")
{
    if (listener.createListener (0, "127.0.0.1"))
    {
        port = listener.getBoundPort();
        startThread();
    }
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    signalThreadShouldExit();
    release();
    listener.close();
    stopThread (10000);
}

juce::String LoopbackHttpServer::getBaseUrl() const
{
    return "http://127.0.0.1:" + juce::String (port) + "/";
}

void LoopbackHttpServer::serve (const juce::String& path, Response response)
{
    const juce::ScopedLock sl (lock);
    responses[path] = std::move (response);

    if (responses[path].holdAfter >= 0)
        released.reset();
}

void LoopbackHttpServer::serve (const juce::String& path, const juce::String& text)
{
    Response response;
    response.body.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
    serve (path, std::move (response));
}

void LoopbackHttpServer::release()
{
    released.signal();
}

int LoopbackHttpServer::requestCount (const juce::String& path) const
{
    const juce::ScopedLock sl (lock);
    auto found = counts.find (path);
    return found == counts.end() ? 0 : found->second;
}

void LoopbackHttpServer::run()
{
    while (! threadShouldExit())
    {
        if (listener.waitUntilReady (true, 100) != 1)
            continue;

        std::unique_ptr<juce::StreamingSocket> client (listener.waitForNextConnection());

        if (client != nullptr && ! threadShouldExit())
            handle (*client);
    }
}

bool LoopbackHttpServer::sendAll (juce::StreamingSocket& client, const void* data, int size)
{
    // A socket may take only part of a large write.
    for (int sent = 0; sent < size;)
    {
        if (threadShouldExit() || client.waitUntilReady (false, readWaitMs) != 1)
            return false;

        const auto count = client.write (static_cast<const char*> (data) + sent, size - sent);

        if (count <= 0)
            return false;

        sent += count;
    }

    return true;
}

bool LoopbackHttpServer::holdWhileConnected (juce::StreamingSocket& client)
{
    // Waits for release(), the end of the server, or the client hanging up
    // (readable with nothing to read).
    for (int waited = 0; waited < maxHoldMs && ! threadShouldExit(); waited += 20)
    {
        if (released.wait (0))
            return true;

        if (client.waitUntilReady (true, 20) == 1)
        {
            char byte;
            if (client.read (&byte, 1, false) <= 0)
                return false;
        }
    }

    return false;
}

void LoopbackHttpServer::handle (juce::StreamingSocket& client)
{
    juce::MemoryBlock request;

    while (request.getSize() < (size_t) maxRequestBytes)
    {
        if (client.waitUntilReady (true, readWaitMs) != 1)
            return;

        char buffer[1024];
        const auto count = client.read (buffer, sizeof (buffer), false);

        if (count <= 0)
            return;

        request.append (buffer, (size_t) count);

        if (request.toString().contains ("\r\n\r\n"))
            break;
    }

    const auto firstLine = request.toString().upToFirstOccurrenceOf ("\r\n", false, false);
    const auto path = firstLine.fromFirstOccurrenceOf (" ", false, false)
                          .upToFirstOccurrenceOf (" ", false, false)
                          .upToFirstOccurrenceOf ("?", false, false);

    // Copied by construction: copy-assigning an empty MemoryBlock is not safe.
    const auto response = [&]
    {
        const juce::ScopedLock sl (lock);
        ++counts[path];
        auto found = responses.find (path);

        if (found != responses.end())
            return Response (found->second);

        Response missing;
        missing.status = 404;
        return missing;
    }();

    if (response.holdAfter == 0 && ! holdWhileConnected (client))
        return;

    juce::String head;
    head << "HTTP/1.1 " << response.status << (response.status == 200 ? " OK" : " Error") << "\r\n"
         << "Content-Type: application/octet-stream\r\n"
         << "Connection: close\r\n";

    if (response.location.isNotEmpty())
        head << "Location: " << response.location << "\r\n";

    if (response.sendLength)
        head << "Content-Length: " << (juce::int64) response.body.getSize() << "\r\n";

    head << "\r\n";

    if (! sendAll (client, head.toRawUTF8(), (int) head.getNumBytesAsUTF8()))
        return;

    const auto* bytes = static_cast<const char*> (response.body.getData());
    const auto size = (int) response.body.getSize();
    const auto first = response.holdAfter > 0 ? juce::jmin (response.holdAfter, size) : size;

    if (! sendAll (client, bytes, first))
        return;

    if (first < size)
        if (holdWhileConnected (client))
            sendAll (client, bytes + first, size - first);
}
