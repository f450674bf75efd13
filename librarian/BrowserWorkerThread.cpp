#include "librarian/BrowserWorkerThread.h"

#include "model/FileUtils.h"
#include "model/FolderWalk.h"

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
        unreadable.clear();
    }
    return startThread();
}

juce::Array<BrowserWorkerThread::Found> BrowserWorkerThread::getFound() const
{
    const juce::ScopedLock sl (lock);
    return found;
}

juce::StringArray BrowserWorkerThread::getUnreadableNames() const
{
    const juce::ScopedLock sl (lock);
    return unreadable;
}

void BrowserWorkerThread::run()
{
    int count = 0;

    // Below the folder, linked folders are followed but none is entered
    // twice, so a link back up the tree cannot make the walk endless. The
    // extension is matched in any letters: the program keeps ".SYX" as typed.
    FolderWalk walk (folder, "*.syx", recursive, true);
    juce::File file;

    struct KeepUnreadable
    {
        ~KeepUnreadable()
        {
            const juce::ScopedLock sl (worker.lock);
            worker.unreadable = walk.getUnreadableNames();
        }
        BrowserWorkerThread& worker;
        const FolderWalk& walk;
    } keep{ *this, walk };

    while (walk.next (file))
    {
        if (threadShouldExit())
            return;

        if (count++ >= maxFiles)
        {
            limitReached = true;
            return;
        }

        Found item;
        item.file = file;
        juce::MemoryBlock data;

        // Only a regular file is read, so a FIFO or a device with a ".syx"
        // name cannot hold the scan.
        item.readResult = readRegularFile (file, largestClassifiedBytes, data);
        if (item.readResult == FileReadResult::read)
            item.type = getSysExFileType (data);

        const juce::ScopedLock sl (lock);
        found.add (item);
    }
}
