#pragma once

#include <juce_core/juce_core.h>

// Where the program keeps the user's files, resolved in one place.
//   documents:        the user's documents folder (work folders live below it)
//   application data: the per-user settings folder (XDG config folder on Linux)
//   program folder:   the folder that holds the running program
// Tests redirect all three below a temporary folder.
class UserFolders
{
public:
    static const char* companyFolderName() { return "Quillon Audio"; }
    static const char* programFolderName() { return "Kestrel-Edit"; }

    static juce::File getDocumentsFolder();
    static juce::File getApplicationDataFolder();
    static juce::File getProgramFolder();

    // <application data>/Quillon Audio/Kestrel-Edit: settings, colour
    // assignments and the effect definitions cache.
    static juce::File getSettingsFolder();

    // <documents>/Quillon Audio/Kestrel-Edit: presets, snapshots, templates, blocks.
    static juce::File getWorkFolder();

    // Puts documents, application data and the program folder below root
    // ("documents", "appdata", "program"); an empty File restores the real ones.
    static void redirectTo (const juce::File& root);
    static juce::File getRedirectRoot();
};
