#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// What the program asks of a file chooser.
struct FileRequest
{
    enum class Mode
    {
        open,         // one existing file
        openMultiple, // one or more existing files
        save,         // a file to write (the chooser asks before overwriting)
        folder        // an existing folder
    };

    Mode mode = Mode::open;
    juce::String title;
    juce::File initial;   // a folder to start in, or a file to propose
    juce::String patterns; // "*.syx;*.dat"; empty for every file
};

// The choosers and menus the program shows go through here; message boxes go
// through UserNotifier. Nothing here blocks: each answer arrives through its
// callback on the message thread, so no modal loop ever runs. Tests install a
// sink that records each request and answers it.
class UserInteraction
{
public:
    using FilesChosen = std::function<void (juce::Array<juce::File>)>; // empty when cancelled
    using MenuChosen = std::function<void (int)>;                      // 0 when dismissed

    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void chooseFiles (const FileRequest& request, FilesChosen onChosen) = 0;
        virtual void showMenu (const juce::PopupMenu& menu, const juce::PopupMenu::Options& options,
                               MenuChosen onChosen) = 0;
    };

    static void chooseFiles (const FileRequest& request, FilesChosen onChosen);
    // The first chosen file, or a default File when cancelled.
    static void chooseFile (const FileRequest& request, std::function<void (juce::File)> onChosen);
    static void showMenu (const juce::PopupMenu& menu, const juce::PopupMenu::Options& options, MenuChosen onChosen);

    // Installs a sink (nullptr restores the program's own choosers and menus).
    // The caller keeps ownership and uninstalls it before deleting it.
    static void setSink (Sink* sink);
    static Sink* getSink();
};
