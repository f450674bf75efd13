#pragma once

#include "app/update/InstallerSignature.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

// The update check's worker, "Download Thread": fetches one address by HTTP
// GET into memory, bounded in size and time and cancellable, reporting the
// fraction received. It fetches the feed and its notes, and the installer of
// a newer version. An installer is checked against its signature before
// anything is written; only a verified installer is written, through a
// temporary file beside the target, so no unverified byte ever lies on disk
// under the installer's name.
class ZOLAutoUpdateDownloadThread : public juce::Thread
{
public:
    enum Result
    {
        resultNone = 0,          // still running, or never run
        resultDone = 1,          // fetched; for an installer: verified and written
        resultCancelled = 2,     // cancelled by the user or by the owner
        resultDownloadError = 3, // not reachable, not all bytes, too large or too slow
        resultRefused = 4,       // an installer whose signature is missing or wrong; nothing written
        resultWriteFailed = 5    // verified, but the file could not be written
    };

    struct Limits
    {
        juce::int64 maxBytes = 256 * 1024 * 1024;
        int stallTimeoutMs = 15000;          // connecting, or receiving nothing for this long, fails
        int totalTimeoutMs = 30 * 60 * 1000; // the whole transfer
    };

    static constexpr int chunkSize = 1024;

    // Fetches url into memory.
    ZOLAutoUpdateDownloadThread (const juce::URL& url, Limits limits);

    // Downloads the installer of a version and writes it to installerFile
    // once its signature (base64) of the bytes and that version checks out
    // under key.
    ZOLAutoUpdateDownloadThread (const juce::URL& url, const juce::File& installerFile, const juce::String& signature,
                                 InstallerSignature::Version version, const InstallerSignature::PublicKey& key,
                                 Limits limits);

    // Cancels the transfer and waits for the thread to end.
    ~ZOLAutoUpdateDownloadThread() override;

    // May be called from any thread; the transfer ends within one chunk, or
    // at once when it is waiting on the network.
    void cancel();
    bool isCancelled() const { return cancelFlag.load(); }

    double getProgress() const { return progress.load(); }

    // One of Result; final once the thread has stopped running.
    int getResult() const { return result.load(); }

    juce::File getInstallerFile() const { return installerFile; }

    // The fetched bytes of a memory fetch, once the thread has stopped.
    const juce::MemoryBlock& getData() const { return data; }

    void run() override;

    // Redirects are followed up to maxRedirects, each only when this allows
    // it: to an http or https address, and never from https to anything but
    // https, so that what began private stays so.
    static constexpr int maxRedirects = 5;
    static bool mayFollowRedirect (const juce::URL& from, const juce::URL& to);

    // Makes the stream that fetches an address (the first, and each redirect
    // followed). Empty, as the program leaves it, makes a juce::WebInputStream
    // of the address itself. Set before the thread starts.
    using Opener = std::function<std::unique_ptr<juce::WebInputStream> (const juce::URL& address)>;
    void setOpener (Opener streamOpener) { opener = std::move (streamOpener); }

private:
    int download();
    // Opens address into web (replacing what it held, under streamLock);
    // resultNone when it answered 200.
    int open (std::unique_ptr<juce::WebInputStream>& web, const juce::URL& address);
    int finishInstaller();

    const juce::URL url;
    const juce::File installerFile;
    const juce::String signature;
    const InstallerSignature::Version version{};
    const InstallerSignature::PublicKey key{};
    const bool isInstaller;
    const Limits limits;
    Opener opener;

    juce::MemoryBlock data;
    std::atomic<double> progress{ 0.0 };
    std::atomic<bool> cancelFlag{ false };
    std::atomic<int> result{ resultNone };

    juce::CriticalSection streamLock;
    juce::WebInputStream* stream = nullptr; // the open stream, for cancel()

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZOLAutoUpdateDownloadThread)
};
