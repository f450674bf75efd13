#include "app/update/ZOLAutoUpdateDownloadThread.h"

#include "model/SafeFileWrite.h"

#include <utility>

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

namespace
{
bool isWebAddress (const juce::URL& address)
{
    const auto scheme = address.getScheme().toLowerCase();
    return scheme == "https" || scheme == "http";
}

bool isRedirect (int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The address a Location header names, read against the address that gave it.
juce::URL redirectTarget (const juce::URL& from, const juce::String& location)
{
    if (location.contains ("://"))
        return juce::URL (location);
    if (location.startsWith ("//"))
        return juce::URL (from.getScheme() + ":" + location);

    const auto rest = from.toString (false).fromFirstOccurrenceOf ("://", false, false);
    const auto origin = from.getScheme() + "://" + rest.upToFirstOccurrenceOf ("/", false, false);
    if (location.startsWithChar ('/'))
        return juce::URL (origin + location);

    const auto path = rest.containsChar ('/') ? rest.fromFirstOccurrenceOf ("/", true, false) : juce::String ("/");
    return juce::URL (origin + path.upToLastOccurrenceOf ("/", true, false) + location);
}
} // namespace

bool ZOLAutoUpdateDownloadThread::mayFollowRedirect (const juce::URL& from, const juce::URL& to)
{
    if (! isWebAddress (to))
        return false;
    return from.getScheme().toLowerCase() != "https" || to.getScheme().toLowerCase() == "https";
}

int ZOLAutoUpdateDownloadThread::open (std::unique_ptr<juce::WebInputStream>& web, const juce::URL& address)
{
    auto next = opener ? opener (address) : std::make_unique<juce::WebInputStream> (address, false);

    if (next == nullptr)
        return resultDownloadError;

    next->withConnectionTimeout (limits.stallTimeoutMs);
    // Each redirect is looked at here before it is followed.
    next->withNumRedirectsToFollow (0);

    {
        const juce::ScopedLock sl (streamLock);
        stream = next.get();
    }
    web = std::move (next);

    if (isCancelled())
        return resultCancelled;

    const bool connected = web->connect (nullptr);

    if (isCancelled())
        return resultCancelled;

    return connected && ! web->isError() ? resultNone : resultDownloadError;
}

int ZOLAutoUpdateDownloadThread::download()
{
    if (! isWebAddress (url))
        return resultDownloadError;

    std::unique_ptr<juce::WebInputStream> opened;

    struct Detach
    {
        ZOLAutoUpdateDownloadThread& owner;
        ~Detach()
        {
            const juce::ScopedLock sl (owner.streamLock);
            owner.stream = nullptr;
        }
    } detach{ *this };

    const auto deadline = juce::Time::currentTimeMillis() + juce::jmax (0, limits.totalTimeoutMs);

    auto address = url;

    for (int redirects = 0;; ++redirects)
    {
        if (const auto outcome = open (opened, address); outcome != resultNone)
            return outcome;

        const auto status = opened->getStatusCode();

        if (! isRedirect (status))
        {
            if (status != 200)
                return resultDownloadError;
            break;
        }

        auto next = redirectTarget (address, opened->getResponseHeaders()["Location"]);

        if (redirects == maxRedirects || ! mayFollowRedirect (address, next))
            return resultDownloadError;

        // Moved, not copied: the framework's copy of an address without a
        // form body hands a null pointer to memcpy.
        address = std::move (next);
    }

    auto& web = *opened;
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
