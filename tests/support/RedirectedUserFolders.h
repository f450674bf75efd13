#pragma once

#include "model/UserFolders.h"
#include "support/ScratchFolder.h"

// Keeps the program's files (settings, work folders) below a scratch folder
// for as long as it lives, and puts them back however the test ends.
struct RedirectedUserFolders : ScratchFolder
{
    explicit RedirectedUserFolders (const juce::String& prefix) : ScratchFolder (prefix)
    {
        UserFolders::redirectTo (folder);
    }

    ~RedirectedUserFolders() { UserFolders::redirectTo ({}); }
};
