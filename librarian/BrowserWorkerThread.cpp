#include "librarian/BrowserWorkerThread.h"

BrowserWorkerThread::BrowserWorkerThread()
    : juce::Thread ("BrowserWorkerThread")
{
}

BrowserWorkerThread::~BrowserWorkerThread()
{
    // Each file is one short read; the scan stops between files.
    stopThread (5000);
}

bool BrowserWorkerThread::startScan (const juce::File& folderToScan, bool subfolders)
{
    if (isThreadRunning())
        return false;

    folder = folderToScan;
    recursive = subfolders;
    limitReached = false;
    {
        const juce::ScopedLock sl (lock);
        found.clear();
    }
    return startThread();
}

juce::Array<BrowserWorkerThread::Found> BrowserWorkerThread::getFound() const
{
    const juce::ScopedLock sl (lock);
    return found;
}

void BrowserWorkerThread::run()
{
    int count = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, recursive, "*.syx", juce::File::findFiles))
    {
        if (threadShouldExit())
            return;

        if (count++ >= maxFiles)
        {
            limitReached = true;
            return;
        }

        Found item;
        item.file = entry.getFile();
        juce::MemoryBlock data;

        if (entry.getFileSize() <= largestClassifiedBytes && item.file.loadFileAsData (data))
            item.type = getSysExFileType (data);

        const juce::ScopedLock sl (lock);
        found.add (item);
    }
}
