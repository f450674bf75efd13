#pragma once

#include "device/engines/RawPresetJobItem.h"
#include "device/engines/RawPresetThread.h"
#include "librarian/LibrarianDialog.h"
#include "skin/lists/ScrollableListItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class PresetManager;
class SkinManager;
class ZolScrollableListCtrl;

// The raw preset dialog: through the raw preset worker it exports presets of
// the unit to ".dat" records in a folder, exports every block of presets to
// ".blk" files (one subfolder per preset), copies every block's X settings to
// its Y channel in presets of the unit, or imports ".dat" records into preset
// slots. The first three share one queue of the unit's presets and are
// chosen with the job buttons. It lists the queued presets with their states,
// following the one in progress, shows the worker's progress (polled every
// 100 ms), can stop the transfer, and asks before it closes while a transfer
// runs. Before a job starts it asks about what the job overwrites: the slots
// an import replaces, the presets a copy saves, and the current preset's
// unsaved changes.
//
// Change codes (read with getChangeCode after the change message): 1 opened,
// 2 a transfer started, 3 closed. Whoever follows the dialog holds the unit's
// preset reports back from 1 to 3, and after 3 refreshes what a job changed
// (hasChangedUnit).
//
// The job items stay alive until the worker has ended, whatever the user does.
class RawPresetThreadDlg : public LibrarianDialog, private juce::Timer
{
public:
    enum ChangeCode
    {
        codeOpened = 1,
        codeTransferStarted = 2,
        codeClosed = 3
    };

    enum Mode
    {
        exportMode,       // presets to ".dat" records
        importMode,       // ".dat" records into preset slots
        exportBlocksMode, // every block of presets to ".blk" files
        copyXToYMode      // every block's X settings to its Y channel, saved
    };

    // States of a listed item: the worker writes done and failed.
    static constexpr juce::uint32 stateQueued = 1;
    static constexpr int pollIntervalMs = 100;
    // How long the dialog waits for a stopped worker when it is deleted.
    static constexpr int finalWaitMs = 15000;
    // How long a transfer waits for the editor's own requests to end.
    static constexpr juce::uint32 editorWaitLimitMs = 20000;

    static constexpr const char* closeWhileRunningText =
        "A preset transfer is running.\nStop it and close the dialog?";
    static constexpr const char* notConnectedText = "The Kestrel is not connected.";
    static constexpr const char* notARecordText = "This file does not hold a Kestrel-Edit preset record:\n";
    static constexpr const char* nothingStartedText = "Nothing was started.";

    explicit RawPresetThreadDlg (const SkinManager* skin);
    ~RawPresetThreadDlg() override;

    // The unit the dialog works with; by default the process's preset manager
    // and its link, fetched when a transfer starts.
    void setPresetManager (PresetManager* manager) { presets = manager; }

    // Shows the dialog for a job over these preset numbers (the unit's), or
    // for an import into slots from the first of them on. Refused (false)
    // while a transfer runs.
    bool open (Mode mode, const juce::Array<int>& presetNumbers = {});
    Mode getMode() const { return mode; }
    // Switches between the jobs over the unit's presets (what the job buttons
    // do), keeping the queue. Refused (false) while a transfer runs, and
    // between an import and the others.
    bool chooseJob (Mode job);

    void setFolder (const juce::File& folder);
    juce::File getFolder() const { return folder; }
    // The folder as the user last chose it; empty when none was chosen.
    juce::String getFolderText() const { return folderText; }

    // Queues presets for export; numbers outside the unit's presets are left out.
    void queueExport (const juce::Array<int>& presetNumbers);
    // Queues ".dat" records for import into firstSlot, firstSlot + 1, ...; a
    // file that is no preset record is refused with a message and left out.
    // Gives the number of files queued.
    int queueImport (const juce::Array<juce::File>& files, int firstSlot);
    void clearQueue();

    // Refused (false, with a message) while one runs or its questions are
    // open, without items, or when the unit is not connected. Otherwise asks
    // what the job would overwrite (each question answered Yes goes on, No
    // starts nothing), then the worker starts once the editor's own requests
    // to the unit have ended.
    bool startTransfer();
    // Asks the worker to stop after its current step.
    void stopTransfer();
    bool isTransferRunning() const;
    // True once a job has run since the dialog opened: the unit then holds
    // another preset than the one the editor shows.
    bool hasChangedUnit() const { return unitChanged; }

    // Closes at once when nothing runs; otherwise asks, and on OK stops the
    // worker and closes once it has ended.
    void requestClose() override;

    int getNumItems() const { return (int) items.size(); }
    juce::uint32 getItemState (int index) const;
    int getItemPresetNumber (int index) const;
    // The item's row as the list shows it: "004 Name  -  Done".
    juce::String getItemText (int index) const;
    juce::String getStatusText() const { return statusLabel.getText(); }

    void resized() override;

private:
    struct Entry
    {
        std::unique_ptr<RawPresetJobItem> job;
        juce::String name;
        juce::String fileName; // an import's record file
    };

    void timerCallback() override;
    void askInTurn (juce::StringArray questions);
    void waitForEditor();
    bool isEditorIdle() const;
    void beginJob();
    void poll();
    void finished();
    void close();
    void refreshList();
    void updateControls();
    void showMode();
    bool usesFolder() const { return mode != copyXToYMode; }
    void chooseFolder();
    void addFromFields();
    void chooseImportFiles();
    PresetManager* getPresetManager() const;
    int getDisplayOffset() const;
    juce::String slotNumber (int presetNumber) const;
    juce::String describe (const Entry& entry) const;

    PresetManager* presets = nullptr;
    Mode mode = exportMode;
    juce::File folder;
    juce::String folderText;

    std::vector<Entry> items;
    std::vector<ScrollableListItem> listRecords;
    std::unique_ptr<RawPresetThread> worker;
    bool closeWhenStopped = false;
    bool asking = false;
    int questionRound = 0;
    bool unitChanged = false;
    bool stopRequested = false;
    int listWidth = -1;
    bool waitingForEditor = false;
    juce::uint32 waitStartedMs = 0;
    int lastProgressNumber = -1;

    juce::Label titleLabel, jobLabel, folderLabel, rangeLabel, statusLabel;
    juce::TextEditor firstField, lastField;
    juce::TextButton folderButton{ "Folder..." }, addButton{ "Add" }, clearButton{ "Clear" };
    juce::TextButton startButton{ "Start" }, stopButton{ "Stop" }, closeButton{ "Close" };
    juce::TextButton datJobButton{ "Presets to .dat" }, blocksJobButton{ "Blocks to .blk" },
        copyJobButton{ "Copy X to Y" };
    double progress = 0.0;
    juce::ProgressBar progressBar{ progress };
    std::unique_ptr<ZolScrollableListCtrl> list;

    JUCE_DECLARE_NON_COPYABLE (RawPresetThreadDlg)
};
