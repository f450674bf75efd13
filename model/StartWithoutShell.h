#pragma once

#include <juce_core/juce_core.h>

// Starts a program with the arguments given, each handed to it exactly as it
// is: no command interpreter ever reads them, so no character of a path can
// run anything. The first item is the program, found on the PATH unless it
// is a path itself. True when the program really started.
//
// This is the program's one way of starting another process; nothing else
// may start one (tools/check_no_shell.sh keeps it so).
bool startProgramWithoutShell (const juce::StringArray& programAndArguments);

// Opens a folder or a document with the desktop's program for it, the path
// handed over as one argument. False when the path does not exist or the
// opener did not start.
bool openWithoutShell (const juce::File& folderOrDocument);

// Opens a web address with the desktop's program for it, the address handed
// over as one argument. False for an empty address, one the opener would
// take as an option, or when the opener did not start.
bool openAddressWithoutShell (const juce::String& address);

// The desktop's program that opens folders and documents ("xdg-open" on
// Linux), and whether it can be found on the PATH.
juce::String desktopOpenerName();
bool hasDesktopOpener();
