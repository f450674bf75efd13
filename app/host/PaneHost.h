#pragma once

namespace juce
{
class ApplicationCommandManager;
class File;
}
class CommandPerformer;

// What a pane may ask of the program that hosts it, without knowing the
// shell: to perform commands of its own while it exists, to run a command as
// if chosen from a menu, to have the menus and the commands' states brought
// up to date, and to show a folder or document on the desktop. The shell's
// command target is the host; find() is null while there is none (a pane
// built on its own, as in a test).
class PaneHost
{
public:
    virtual ~PaneHost() = default;

    // The performer is asked before the host's own commands; the caller
    // removes it before deleting it.
    virtual void addPerformer (CommandPerformer* performer) = 0;
    virtual void removePerformer (CommandPerformer* performer) = 0;
    // Runs a command at once as if chosen from a menu.
    virtual bool invokeCommand (int commandId) = 0;
    // The main window's command manager, or null while there is no window.
    virtual juce::ApplicationCommandManager* getCommandManager() const = 0;
    // Builds the main window's menus again (their texts follow the panes).
    virtual void rebuildMenus() = 0;
    // Opens a folder or document with the desktop's program for it; when
    // that cannot be done for an existing path, the user is told why.
    virtual bool openInDesktop (const juce::File& folderOrDocument) = 0;

    static PaneHost* find();
};
