#pragma once

#include "librarian/BrowserWorkerThread.h"
#include "librarian/LibrarianDialog.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/lists/ScrollableListItem.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

class GlobalConfiguration;
class MainAppWindow;
class SkinManager;
class ZolScrollableListCtrl;

// The disk browser: scans a folder (and the folders below it, when asked) for
// ".syx" files with its worker thread, lists them with their kind, and hands
// the files the user picks to its listener.
//
// It closes with a result code, which is also its change code: 1 cancelled,
// 2 files chosen (getChosenFiles). The last folder scanned becomes the
// configuration's MRU_DIRECTORY.
//
// Its files are dragged out to the librarian's slots; the librarian's preset
// cells dropped on it (on a file of its list, or anywhere else on it, as on
// a folder that lists no file) go to onCellsDropped, which writes them here
// as ".syx" files.
class BrowserChooserDlg : public LibrarianDialog,
                          public juce::DragAndDropTarget,
                          private juce::ChangeListener,
                          private juce::Timer
{
public:
    enum Result
    {
        resultCancelled = 1,
        resultChosen = 2
    };

    static constexpr int pollIntervalMs = 50;
    // What the browser's drags say, and what the librarian's preset cells say.
    static constexpr const char* dragDescription = "Brak-Manage Browser";
    static constexpr const char* cellDragDescription = "Brak-Manage Cell";

    BrowserChooserDlg (MainAppWindow* owner, GlobalConfiguration* configuration, const SkinManager* skin = nullptr);
    ~BrowserChooserDlg() override;

    // Shows the dialog on the configuration's last folder and scans it.
    void open();

    void scan (const juce::File& folder, bool subfolders);
    // Scans the shown folder again (files were written into it).
    void rescan() { scan (folder, subfoldersToggle->getToggleState()); }
    bool isScanning() const;
    juce::File getFolder() const { return folder; }

    int getNumFound() const { return (int) found.size(); }
    juce::String getFoundText (int index) const;
    void selectFound (const juce::Array<int>& indexes);

    // Hides the dialog and posts the result; with resultChosen the selected
    // files (all of them when none is selected) become the chosen ones.
    void closeWithResult (int result);
    void requestClose() override { closeWithResult (resultCancelled); }
    juce::Array<juce::File> getChosenFiles() const { return chosen; }

    // The files of the drag when it started in this browser's list (its
    // selected files, in list order); none for any other drag source.
    juce::Array<juce::File> getDraggedFiles (const juce::Component* source) const;
    // Told the source of cells dropped on the browser.
    std::function<void (juce::Component* source)> onCellsDropped;

    // DragAndDropTarget: cells dropped beside the list's cells.
    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    // Whether the scan goes into the folders below.
    ZOLCheckBox& getSubfoldersToggle() { return *subfoldersToggle; }

    void resized() override;

private:
    void timerCallback() override;
    // The list's drops.
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    // Takes what the worker found; the list is rebuilt only when that grew,
    // or when asked.
    void takeFound (bool rebuild = false);
    void chooseFolder();

    MainAppWindow* owner;
    GlobalConfiguration* configuration;
    juce::File folder;
    BrowserWorkerThread worker;
    juce::Array<BrowserWorkerThread::Found> found;
    std::vector<ScrollableListItem> records;
    juce::Array<juce::File> chosen;

    juce::Label titleLabel, folderLabel, statusLabel;
    std::unique_ptr<ZOLCheckBox> subfoldersToggle;
    juce::TextButton folderButton{ "Folder..." }, addButton{ "Add to Brak-Manage" }, cancelButton{ "Cancel" };
    std::unique_ptr<ZolScrollableListCtrl> list;

    JUCE_DECLARE_NON_COPYABLE (BrowserChooserDlg)
};
