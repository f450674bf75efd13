#pragma once

#include <juce_core/juce_core.h>

// Starts a program with the arguments given, each handed to it exactly as it
// is: no command interpreter ever reads them, so no character of a path can
// run anything. The first item is the program, found on the PATH unless it
// is a path itself. True when the program really started.
bool startProgramWithoutShell (const juce::StringArray& programAndArguments);

// Opens a folder or a document with the desktop's program for it, the path
// handed over as one argument.
bool openWithoutShell (const juce::File& folderOrDocument);
