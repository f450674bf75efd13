#pragma once

#include "app/dialogs/CabSetupInfo.h"
#include "librarian/LibrarianDiskEntry.h"
#include "librarian/LibrarianDialog.h"
#include "skin/lists/ScrollableListItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class MainAppWindow;
class PresetManager;
class SkinManager;
class ZOLWindowSplitter;
class ZolScrollableListCtrl;

// The librarian ("Brak-Manage Presets", "Brak-Manage Cabs"): the unit's
// presets (or user cabs) on the left, the presets (or cabs) of ".syx" files
// from disk on the right, a bar between them that moves their border. Entries chosen on the right are sent to the slots
// chosen on the left, one after another: a preset with "Manage Preset"
// (recall the slot, paste, name, save), a cab with "Import User Cab". While it
// sends, the preset manager's resync and preset-change holds are set, so the
// unit's own preset reports do not reload the editor; they are released when
// the sending ends, and the unit is put back on the editor's preset.
//
// Files dragged from the disk browser onto a slot are sent from that slot on
// as the send button sends them; preset slots dragged onto the browser are
// read from the unit and written into its folder as ".syx" files, the files
// the browser lists and the send road reads (onFilesWritten then tells).
//
// Change codes: 1 opened, 2 closed. It hears the preset manager (the unit's
// names) and the disk browser (the files the user picked there); it opens the
// raw preset dialog and the disk browser through the hooks its owner sets.
class BankManagerListContent : public LibrarianDialog,
                               public juce::ChangeListener,
                               public juce::FileDragAndDropTarget,
                               private juce::Timer
{
public:
    enum ChangeCode
    {
        codeOpened = 1,
        codeClosed = 2
    };

    static constexpr const char* notConnectedText = "The Kestrel is not connected.";
    static constexpr const char* closeWhileSendingText =
        "Presets are being sent to the Kestrel.\nStop after the current one and close Brak-Manage?";
    static constexpr int pollIntervalMs = 50;

    BankManagerListContent (MainAppWindow* owner, const SkinManager* skin);
    ~BankManagerListContent() override;

    // The unit the librarian works with, whose event codes it then hears;
    // by default the process's preset manager, whose codes reach it through
    // the main window's content.
    void setPresetManager (PresetManager* manager);

    // Shows the librarian for presets or for cabs and reads the unit's names.
    void open (bool cabs);
    bool isCabMode() const { return cabMode; }

    // Closes at once when nothing is being sent; otherwise asks first.
    void requestClose() override;

    //==========================================================================
    // The disk side.

    // Reads and classifies the files and lists what they hold.
    void addFiles (const juce::Array<juce::File>& files);
    void clearDiskEntries();
    int getNumDiskEntries() const { return (int) diskEntries.size(); }
    const LibrarianDiskEntry& getDiskEntry (int index) const { return diskEntries[(size_t) index]; }

    //==========================================================================
    // The unit side.

    int getNumUnitEntries() const { return (int) unitRecords.size(); }
    // "004 Name", or "U002" for a slot that holds nothing.
    juce::String getUnitEntryText (int index) const;
    void refreshUnitList();

    //==========================================================================
    // Selection (as the user makes it in the lists) and sending.

    void selectDiskEntries (const juce::Array<int>& indexes);
    void selectUnitEntry (int index);
    juce::Array<int> getSelectedDiskEntries() const;
    juce::Array<int> getSelectedUnitSlots() const;

    // Sends the chosen disk entries to the chosen slot and the ones after it,
    // after the user has agreed to replace them. Their files are read again
    // first: the list then shows what each holds now (all the presets of a
    // file that changed are chosen, as when it was added). Entries that
    // cannot be sent (gone, of the wrong kind or model, damaged, unread) are
    // refused with a message before the question, and nothing is sent.
    void sendSelection();
    // Sends without asking; false (with a message) when nothing can start,
    // and when a file no longer holds what its entries were listed with.
    bool sendEntries (const juce::Array<int>& diskIndexes, int firstSlot);
    bool isSending() const { return sending; }
    juce::String getStatusText() const { return statusLabel.getText(); }
    // The status line of the presets or the cabs window (each keeps its own,
    // with its own selection): the last action of that window, told by it or
    // by the raw preset dialog it opened.
    void showStatus (bool cabs, const juce::String& text);
    ZOLWindowSplitter* getSplitter() const { return splitter.get(); }
    juce::Rectangle<int> getUnitListBounds() const;
    juce::Rectangle<int> getDiskListBounds() const;

    //==========================================================================
    // Hooks the owner sets.

    // Opens the raw preset dialog: export of the given slots, or import into
    // slots from the given one on.
    std::function<void (const juce::Array<int>& slots)> onExportToFiles;
    std::function<void (int firstSlot)> onImportFromFiles;
    // Told the folder into which dragged preset slots were written.
    std::function<void (const juce::File& folder)> onFilesWritten;
    // Opens the disk browser, whose chosen files come back through addFiles.
    std::function<void()> onBrowseFolder;
    // Shows the cab easy-setup dialog with the setup; calls onConfirmed with
    // the edited setup when the user confirms, never when the user cancels.
    std::function<void (const CabSetupInfo& setup, std::function<void (const CabSetupInfo&)> onConfirmed)> onCabSetup;

    // The unit list's context menu (a right click on the list): its commands,
    // those this librarian carries out enabled.
    juce::PopupMenu makeUnitListMenu() const;
    // Load (the chosen preset becomes the current one), Rename (the chosen
    // preset's name is edited in the list), Import..., Export... and Select
    // All; false for the others.
    bool performListCommand (int commandId);

    // Gives the preset in that slot a new name on the unit (recalled, named
    // and saved), first asking when the current preset has unsaved changes;
    // false when nothing could start.
    bool renamePreset (int slot, const juce::String& newName);

    // Makes the preset in that slot the current one, as the window's own
    // preset buttons do: the window then reads and shows it. First asks when
    // the current preset has unsaved changes; false when nothing could start.
    bool loadPreset (int slot);

    // While the user has paused communication nothing that needs the unit
    // starts: true (and the user is told how to resume) when paused.
    bool refuseWhilePaused() const;

    // Preset cells dragged from the unit list (the drag's source) and dropped
    // on a folder are written there, one ".syx" file each, named as Export
    // names its records; false for any other drag, and in cab mode.
    bool exportDraggedCells (const juce::Component* source, const juce::File& folder);

    // Fills the setup record from the current preset's cab blocks.
    CabSetupInfo makeCabSetup() const;
    // Points each cab location in use that has a scratchpad chosen at that
    // scratchpad (the others stay as they are) and keeps the don't-show
    // choice; false when nothing could be sent.
    bool applyCabSetup (const CabSetupInfo& setup);

    void resized() override;

    // ChangeListener: the preset manager's event codes and the disk browser's result.
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // FileDragAndDropTarget: ".syx" files dropped on the librarian.
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

private:
    struct Transfer
    {
        int slot = 0;
        int diskIndex = 0; // -1: only the name changes; -2: the slot is written to a file
        juce::String name;
    };
    static constexpr int renameOnly = -1, writeToFile = -2;
    // The longest preset name the unit gives back (its 32-place name field
    // ends in a zero), as the window's own name field takes it: a rename
    // field types no more, and no longer name is sent.
    static constexpr int presetNameLength = 31;
    // The bank number that asks for the names of every preset at once.
    static constexpr juce::uint8 allPresets = 0x7F;
    // The unit list menu's commands that other roads reach too.
    static constexpr int listRename = 2101, listLoad = 2106;

    // What each window (presets, cabs) keeps while the other is shown.
    struct WindowState
    {
        juce::Array<int> selectedSlots;
        juce::String status;
    };

    void timerCallback() override;
    // Whether every entry can be sent to the connected unit; tells why not.
    bool canSend (const juce::Array<int>& diskIndexes) const;
    // Reads the files of the entries again; a file that no longer holds what
    // was listed for it is listed anew, and the indexes then name all of what
    // it holds now. True when the list changed.
    bool rereadFiles (juce::Array<int>& diskIndexes);
    // Connected and not paused; tells why not.
    bool canReachUnit() const;
    // Runs the action (which loads another preset on the unit) at once when
    // the current preset has no unsaved changes, else only when the user
    // agrees; otherwise runs notDone, as when the action could not start.
    bool whenEditsMayGo (std::function<bool()> action, std::function<void()> notDone);
    bool startTransfers();
    bool startNext();
    // The slot's dump, read from the unit, into a new file of the export folder.
    void writeExportedFile (const Transfer& transfer);
    void takeRenamedCell();
    // The typed name's row shows again what it showed before.
    void forgetTypedRename();
    // Files dragged from the disk browser onto a unit slot: listed on the
    // disk side (once) and sent to that slot as the send button does.
    void sendDroppedFiles();
    void endSending();
    void close();
    void refreshDiskList();
    void refreshUnitListCells();
    void showUnitListMenu();
    void chooseFiles();
    // Released with catchUp, a preset change the unit reported meanwhile is read.
    void setHolds (bool hold, bool catchUp = true);
    PresetManager* getPresetManager() const;
    juce::String slotText (int slot) const;

    MainAppWindow* owner;
    PresetManager* presets = nullptr;
    bool cabMode = false;
    int cabSetupDontShow = 1; // the last confirmed state of the setup dialog's toggle

    std::vector<LibrarianDiskEntry> diskEntries;
    std::vector<ScrollableListItem> diskRecords, unitRecords;
    bool listedCabs = false; // the unit records are cabs
    juce::uint32 namesRunTold = 0; // the names reading whose failure was told
    juce::Array<int> unitSlots;

    std::deque<Transfer> queue;
    Transfer current;
    bool sending = false;
    bool closeWhenSent = false;
    int sentCount = 0;
    int leftOut = 0; // entries past the last slot
    bool presetRecalled = false; // a slot was recalled on the unit for a transfer
    bool recalledBeforeCurrent = false; // one was, for a transfer before the current one
    int loadingSlot = -1; // the slot a Load made current, until the window has read it
    juce::uint32 loadRuns = 0; // the preset changes run before that Load
    juce::String loadingText; // its row's text
    // The name typed for a slot shows in its row while the user is asked
    // about unsaved edits and while it is sent (slot -1: no rename).
    Transfer typedRename{ -1, renameOnly, {} };
    juce::String nameBeforeRename;
    juce::File exportFolder;
    juce::String failure;
    bool failureTold = false; // the preset manager has shown it
    WindowState otherWindow; // the window not shown
    juce::Array<int> pendingSelection; // the shown window's, until its slots are listed

    juce::Label titleLabel, unitLabel, diskLabel, statusLabel;
    std::unique_ptr<ZolScrollableListCtrl> unitList, diskList;
    std::unique_ptr<ZOLWindowSplitter> splitter;
    juce::TextButton refreshButton{ "Refresh" }, exportButton{ "Export..." }, importButton{ "Import..." },
        cabSetupButton{ "Easy Setup..." }, addFilesButton{ "Add Files..." }, browseButton{ "Browse Folder..." },
        clearButton{ "Clear" }, sendButton{ "<< Send to Kestrel" }, closeButton{ "Close" };

    JUCE_DECLARE_NON_COPYABLE (BankManagerListContent)
};
