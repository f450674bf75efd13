#include "model/StartWithoutShell.h"

#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
#include <spawn.h>
#include <unistd.h>
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

juce::String desktopOpenerName()
{
#if JUCE_MAC
    return "open";
#elif JUCE_WINDOWS
    return "explorer.exe";
#else
    return "xdg-open";
#endif
}

bool hasDesktopOpener()
{
#if JUCE_LINUX || JUCE_MAC || JUCE_BSD
    // Looked for as the spawn looks for it: each folder of the PATH in turn,
    // an empty entry meaning the current folder.
    const auto name = desktopOpenerName();
    const auto path = juce::SystemStats::getEnvironmentVariable ("PATH", "/usr/bin:/bin");

    for (auto& folder : juce::StringArray::fromTokens (path, ":", {}))
    {
        const auto candidate = (folder.isEmpty() ? juce::String (".") : folder) + "/" + name;

        if (access (candidate.toRawUTF8(), X_OK) == 0 && ! juce::File (candidate).isDirectory())
            return true;
    }

    return false;
#else
    return true;
#endif
}

bool openWithoutShell (const juce::File& folderOrDocument)
{
    if (! folderOrDocument.exists())
        return false;

    // The desktop's opener takes the path as data.
    return startProgramWithoutShell ({ desktopOpenerName(), folderOrDocument.getFullPathName() });
}

bool openAddressWithoutShell (const juce::String& address)
{
    if (address.isEmpty() || address.startsWithChar ('-'))
        return false;

    return startProgramWithoutShell ({ desktopOpenerName(), address });
}
