#pragma once

// A pane or window that performs some of the program's commands itself (the
// grid its block commands, the front panel its file actions, ...). It adds
// itself to the command target while it exists and removes itself when it
// goes; the target asks the performers, newest first, before its own switch.
class CommandPerformer
{
public:
    virtual ~CommandPerformer() = default;

    // True for the commands this performer takes.
    virtual bool ownsCommand (int commandId) const = 0;
    // Performs one of its commands; false when it could not.
    virtual bool performCommand (int commandId) = 0;
    // False while one of its commands has nothing to act on (the menus show it disabled).
    virtual bool canPerform (int commandId) const { (void) commandId; return true; }
    // Commands that work while no unit is connected.
    virtual bool worksWithoutUnit (int commandId) const { (void) commandId; return false; }
};
