#pragma once

#include "device/wire/SysExFiles.h"
#include "model/FileUtils.h"

#include <juce_core/juce_core.h>

// The disk browser's folder scanner: walks a folder (and, when asked, the
// folders below it) on a thread of its own for ".syx" files and classifies
// each. The dialog that owns it polls the results and stops it with a
// bounded wait before it goes.
class BrowserWorkerThread : public juce::Thread
{
public:
    struct Found
    {
        juce::File file;
        SysExFileType type = SYSEX_FILE_UNKNOWN;
        FileReadResult readResult = FileReadResult::read; // why a file has no kind
    };

    // A scan lists at most this many files, and classifies only files up to
    // this size (larger ones are listed as too large).
    static constexpr int maxFiles = 5000;
    static constexpr juce::int64 largestClassifiedBytes = 64 << 20;

    BrowserWorkerThread();
    ~BrowserWorkerThread() override;

    // Refused while a scan runs.
    bool startScan (const juce::File& folder, bool subfolders);

    // A copy of what has been found so far, in the order found.
    juce::Array<Found> getFound() const;
    bool reachedLimit() const { return limitReached.load(); }
    // Once a scan has ended: the ".syx" files and folders it met whose names
    // are not UTF-8, which it could neither list nor enter (see FolderWalk).
    juce::StringArray getUnreadableNames() const;

private:
    void run() override;

    juce::File folder;
    bool recursive = false;
    std::atomic<bool> limitReached{ false };

    mutable juce::CriticalSection lock;
    juce::Array<Found> found;
    juce::StringArray unreadable;

    JUCE_DECLARE_NON_COPYABLE (BrowserWorkerThread)
};
