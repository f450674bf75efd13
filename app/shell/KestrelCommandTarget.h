#pragma once

#include "app/host/CommandPerformer.h"
#include "app/host/CommandTables.h"
#include "app/host/PaneHost.h"
#include "model/Singleton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class MainAppWindow;
class PresetManager;
class ZOLMidiProcessing;

// The program's one command target: every command of the command tables is
// registered here with its texts and default keys, and performed here. It
// also listens to the preset manager for the connection sequence:
//
// - the begin code of "Query device version" (8) sets the link's mark that
//   the next preset change was asked for by the editor, the end code of
//   "Initialization" (11) clears it;
// - the end of "Query device version" (9) checks the unit's firmware: a unit
//   the program cannot edit gets "Incompatible Firmware Version" and both
//   ports are closed and forgotten (the main window's link ticker does not
//   open them again until they are unplugged or other ports are chosen);
//   otherwise "Initialization" starts, whose preset report starts "Load
//   Preset".
//
// Message thread only.
class KestrelCommandTarget : public juce::ApplicationCommandTarget,
                             public juce::ChangeListener,
                             public PaneHost,
                             public Singleton<KestrelCommandTarget>
{
public:
    static constexpr int queryDeviceVersionBegin = 8;
    static constexpr int queryDeviceVersionEnd = 9;
    static constexpr int initializationEnd = 11;
    static constexpr const char* incompatibleFirmwareText = "Incompatible Firmware Version";
    // Save, Revert or an export given up: the unit never said which preset it plays.
    static constexpr const char* presetNumberUnknownText =
        "The Kestrel did not say which preset it plays, so Kestrel-Edit could not tell which preset is meant.";

    // The window whose panes and link ticker the commands reach; null when it goes.
    void setMainWindow (MainAppWindow* window) { mainWindow = window; }

    // Panes that perform commands of their own; the caller removes its
    // performer before deleting it.
    void addPerformer (CommandPerformer* performer) override;
    void removePerformer (CommandPerformer* performer) override;
    MainAppWindow* getMainWindow() const { return mainWindow; }

    // Runs a command at once as if chosen from a menu; an id with a parameter
    // carries it in the high 16 bits (2003: load the snapshot at that index).
    bool invokeCommand (int commandId) override;

    // PaneHost
    juce::ApplicationCommandManager* getCommandManager() const override;
    void rebuildMenus() override;
    // Through openDocument; a path that exists but could not be opened is
    // reported, naming a missing desktop opener as the cause when it is one.
    bool openInDesktop (const juce::File& folderOrDocument) override;

    // While a dialog (the librarian, the preset list, the preferences...)
    // hides the front panel, the grid and the effect editor, the commands
    // that change the current preset, its blocks or their states are
    // inactive, from keys and menus alike; the others stay as they are.
    bool isHomeScreenHidden() const;
    bool waitsForHomeScreen (int commandId) const;

    // The command's description, or its name when it has none, followed by
    // " [key]" for each key bound to it; empty for an unknown command.
    bool getCommandTooltip (int commandId, juce::String& text);

    // Imports a chosen or dropped ".syx" file into the current preset: a
    // preset is pasted, a Preset-Cab bundle imported; any other kind of file,
    // and one that cannot be read, is refused with a message and nothing is
    // sent. With rememberFolder the file's folder becomes MRU_DIR_IMPORT.
    // A file past largestPresetFileBytes is refused before it is read.
    bool importPresetFile (const juce::File& file, bool rememberFolder);

    // No preset, Preset-Cab bundle or snapshot comes near this size.
    static constexpr juce::int64 largestPresetFileBytes = 4 << 20;

    // True when the unit runs a firmware this program can edit.
    static bool isFirmwareCompatible (const PresetManager& presetManager);

    // The end of a time in which the preset manager held preset changes back
    // (both holds are released): a deferred change is caught up by asking the
    // unit for its current preset.
    void releasePresetHolds();

    // Help > "View Release Notes..." opens this PDF, which the build (and an
    // installer) puts beside the program.
    static constexpr const char* releaseNotesFileName = "Kestrel-Edit-Release-Notes.pdf";
    static juce::File getReleaseNotesFile();

    // Help > "About..." and the logo: the program's name and version under
    // the skin's logo.
    static constexpr const char* aboutTitle = "About Kestrel-Edit";

    // What a command or action that needs the unit tells while the user has
    // paused communication: nothing was sent, and how to resume.
    static juce::String communicationsPausedText();
    static juce::String getAboutText();

    // Opens a folder or document with the desktop's program for it (the
    // release notes, the snapshot folder, the block library's folders);
    // never through a shell. Tests replace it.
    static std::function<bool (const juce::File&)> openDocument;

    // ApplicationCommandTarget
    juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
    void getAllCommands (juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo (juce::CommandID commandId, juce::ApplicationCommandInfo& result) override;
    bool perform (const juce::ApplicationCommandTarget::InvocationInfo& info) override;

    // ChangeListener: the preset manager's event codes.
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    friend class Singleton<KestrelCommandTarget>;
    KestrelCommandTarget() = default;
    ~KestrelCommandTarget() override = default;

    bool isConnectedToUnit() const;
    bool isUnitReady() const;
    // isUnitReady, telling the user when communications are paused.
    bool isUnitReadyOrSayPaused() const;
    CommandPerformer* ownerOf (int commandId) const;
    bool worksWithoutUnit (int commandId) const;
    bool performCommand (int commandId);
    // The command once the unit's preset number is settled.
    bool performAnsweredCommand (int commandId);
    void checkFirmware (PresetManager& presetManager);
    bool changeBank (int direction);
    bool showReleaseNotes();
    bool showAbout();
    // Asks for a ".syx" file (starting in MRU_SYSEX_INFO) and describes it.
    bool showSysExFileInfo();
    void loadSnapshot (int index);
    bool readCommandText (int commandId, juce::String& name, juce::String& description, juce::String& category) const;

    MainAppWindow* mainWindow = nullptr;
    juce::Array<CommandPerformer*> performers;

    JUCE_DECLARE_NON_COPYABLE (KestrelCommandTarget)
};
