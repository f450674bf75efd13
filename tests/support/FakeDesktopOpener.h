#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

// Stands in for the desktop's opener while it lives. With an opener, a
// script named "xdg-open" in a folder put first on the PATH writes down the
// number of arguments it was given and the first ("<count>\n<first>\n") in
// getRecord(); without one, the PATH holds only an empty folder. The current
// folder is the scratch folder meanwhile, so that a command that a shell ran
// would leave its file there. PATH and the current folder are put back when
// it goes.
class FakeDesktopOpener
{
public:
    enum class Kind
    {
        recording,
        none
    };

    FakeDesktopOpener (const juce::File& scratchFolder, Kind kind = Kind::recording)
        : scratch (scratchFolder)
        , tools (scratchFolder.getChildFile (kind == Kind::recording ? "opener-bin" : "empty-bin"))
        , record (scratchFolder.getChildFile ("opener-record.txt"))
    {
        tools.createDirectory();

        if (kind == Kind::recording)
        {
            const auto opener = tools.getChildFile ("xdg-open");
            // Written aside and moved, so that the record appears whole.
            ready = opener.replaceWithText ("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"$0.txt\" && mv \"$0.txt\" \""
                                                + record.getFullPathName() + "\"\n",
                                            false, false, "\n")
                 && opener.setExecutePermission (true);
        }

        setenv ("PATH",
                (kind == Kind::recording ? tools.getFullPathName() + ":" + previousPath : tools.getFullPathName())
                    .toRawUTF8(),
                1);
        scratch.setAsCurrentWorkingDirectory();
    }

    ~FakeDesktopOpener()
    {
        setenv ("PATH", previousPath.toRawUTF8(), 1);
        previousFolder.setAsCurrentWorkingDirectory();
    }

    FakeDesktopOpener (const FakeDesktopOpener&) = delete;
    FakeDesktopOpener& operator= (const FakeDesktopOpener&) = delete;

    bool isReady() const { return ready; }
    const juce::File& getRecord() const { return record; }

    // True when no file named name exists below the scratch folder or in the
    // folder that was current before.
    bool nothingNamed (const juce::String& name) const
    {
        return scratch.findChildFiles (juce::File::findFilesAndDirectories, true, name).isEmpty()
            && ! previousFolder.getChildFile (name).exists();
    }

private:
    const juce::String previousPath = juce::SystemStats::getEnvironmentVariable ("PATH", {});
    const juce::File previousFolder = juce::File::getCurrentWorkingDirectory();
    const juce::File scratch, tools, record;
    bool ready = true;
};
