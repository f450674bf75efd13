#pragma once

#include <juce_core/juce_core.h>

#include <map>

// A small HTTP/1.1 server for tests, listening on 127.0.0.1 only, on a free
// port, from construction to destruction. It answers GET requests by path
// with canned responses, one connection at a time, and closes each one after
// its answer. A response can be held part-way (or before it starts) until
// the test releases it or the client goes away, which lets tests watch a
// transfer in progress, cancel it, or meet a server that stalls.
class LoopbackHttpServer : private juce::Thread
{
public:
    struct Response
    {
        int status = 200;
        juce::MemoryBlock body;
        bool sendLength = true;
        // Bytes of the body sent before the response waits for release();
        // -1 sends it whole, 0 waits before even the headers are sent.
        int holdAfter = -1;
        // Sent as the Location header when not empty (a redirect).
        juce::String location;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer() override;

    bool isListening() const { return port > 0; }

    // "http://127.0.0.1:<port>/"; requests are matched by path, without the query.
    juce::String getBaseUrl() const;

    void serve (const juce::String& path, Response response);
    void serve (const juce::String& path, const juce::String& text);

    // Lets every held response go on.
    void release();

    int requestCount (const juce::String& path) const;

private:
    void run() override;
    void handle (juce::StreamingSocket& client);
    bool sendAll (juce::StreamingSocket& client, const void* data, int size);
    bool holdWhileConnected (juce::StreamingSocket& client);

    juce::StreamingSocket listener;
    int port = 0;

    mutable juce::CriticalSection lock;
    std::map<juce::String, Response> responses;
    std::map<juce::String, int> counts;
    juce::WaitableEvent released{ true };
};
