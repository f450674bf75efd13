#include "app/update/ZOLAutoUpdateDownloadThread.h"

#include "model/SafeFileWrite.h"

ZOLAutoUpdateDownloadThread::ZOLAutoUpdateDownloadThread (const juce::URL& urlToFetch, Limits fetchLimits)
    : juce::Thread ("Download Thread")
    , url (urlToFetch)
    , isInstaller (false)
    , limits (fetchLimits)
{
}

ZOLAutoUpdateDownloadThread::ZOLAutoUpdateDownloadThread (const juce::URL& urlToFetch, const juce::File& target,
                                                          const juce::String& installerSignature,
                                                          InstallerSignature::Version installerVersion,
                                                          const InstallerSignature::PublicKey& publicKey,
                                                          Limits fetchLimits)
    : juce::Thread ("Download Thread")
    , url (urlToFetch)
    , installerFile (target)
    , signature (installerSignature)
    , version (installerVersion)
    , key (publicKey)
    , isInstaller (true)
    , limits (fetchLimits)
{
}

ZOLAutoUpdateDownloadThread::~ZOLAutoUpdateDownloadThread()
{
    // Cancelling closes the connection, so the thread is never left blocked
    // on the network and never has to be killed.
    cancel();
    stopThread (limits.stallTimeoutMs + 5000);
}

void ZOLAutoUpdateDownloadThread::cancel()
{
    cancelFlag = true;
    signalThreadShouldExit();

    const juce::ScopedLock sl (streamLock);

    if (stream != nullptr)
        stream->cancel();
}

void ZOLAutoUpdateDownloadThread::run()
{
    const auto outcome = download();

    if (outcome != resultDone)
        data.reset();

    result = outcome;
}

int ZOLAutoUpdateDownloadThread::download()
{
    const auto scheme = url.getScheme();

    if (scheme != "https" && scheme != "http")
        return resultDownloadError;

    juce::WebInputStream web (url, false);
    web.withConnectionTimeout (limits.stallTimeoutMs);
    web.withNumRedirectsToFollow (5);

    {
        const juce::ScopedLock sl (streamLock);
        stream = &web;
    }

    struct Detach
    {
        ZOLAutoUpdateDownloadThread& owner;
        ~Detach()
        {
            const juce::ScopedLock sl (owner.streamLock);
            owner.stream = nullptr;
        }
    } detach{ *this };

    if (isCancelled())
        return resultCancelled;

    const auto deadline = juce::Time::currentTimeMillis() + juce::jmax (0, limits.totalTimeoutMs);
    const bool connected = web.connect (nullptr);

    if (isCancelled())
        return resultCancelled;

    if (! connected || web.isError() || web.getStatusCode() != 200)
        return resultDownloadError;

    const auto total = web.getTotalLength();

    // An installer must say how long it is, so that its progress means
    // something; a feed or notes may not.
    if ((isInstaller && total <= 0) || total > limits.maxBytes)
        return resultDownloadError;

    juce::int64 received = 0;
    char chunk[chunkSize];

    while (! threadShouldExit() && ! isCancelled())
    {
        const auto count = web.read (chunk, chunkSize);

        if (count <= 0)
            break;

        received += count;

        if (received > limits.maxBytes)
            return resultDownloadError;

        data.append (chunk, (size_t) count);

        if (total > 0)
            progress = juce::jmin (1.0, (double) received / (double) total);

        if (juce::Time::currentTimeMillis() > deadline)
            return resultDownloadError;
    }

    if (isCancelled() || threadShouldExit())
        return resultCancelled;

    if (web.isError() || (total >= 0 && received != total))
        return resultDownloadError;

    progress = 1.0;
    return isInstaller ? finishInstaller() : resultDone;
}

int ZOLAutoUpdateDownloadThread::finishInstaller()
{
    if (! InstallerSignature::verifyInstaller (data, version, signature, key))
        return resultRefused;

    // Cancelled after the last byte but before the write: nothing is written.
    if (isCancelled())
        return resultCancelled;

    if (writeFileSafely (installerFile, data).isNotEmpty())
        return resultWriteFailed;

    return resultDone;
}
