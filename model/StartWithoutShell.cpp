#include "model/StartWithoutShell.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

extern char** environ;
#endif

bool startProgramWithoutShell (const juce::StringArray& programAndArguments)
{
    if (programAndArguments.isEmpty() || programAndArguments[0].isEmpty())
        return false;

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    std::vector<std::string> texts;
    for (auto& text : programAndArguments)
        texts.push_back (text.toStdString());

    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back (text.data());
    argv.push_back (nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init (&attributes);
   #ifdef POSIX_SPAWN_SETSID
    // Its own session, so that it outlives this program closing.
    posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETSID);
   #endif
    pid_t child = 0;
    // The spawn reports a failed exec, so true means the program runs.
    const auto started = posix_spawnp (&child, argv[0], nullptr, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy (&attributes);

    // Collected when it ends, so that it leaves no zombie behind.
    if (started)
        std::thread ([child] { waitpid (child, nullptr, 0); }).detach();

    return started;
#else
    // An argument array: the process starts without a command interpreter.
    juce::ChildProcess process;
    return process.start (programAndArguments, 0);
#endif
}

bool openWithoutShell (const juce::File& folderOrDocument)
{
    if (! folderOrDocument.exists())
        return false;

#if JUCE_MAC
    return startProgramWithoutShell ({ "open", folderOrDocument.getFullPathName() });
#elif JUCE_LINUX || JUCE_BSD
    return startProgramWithoutShell ({ "xdg-open", folderOrDocument.getFullPathName() });
#else
    // The desktop's own opener takes the path as data.
    return folderOrDocument.startAsProcess();
#endif
}
