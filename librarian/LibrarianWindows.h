#pragma once

#include "app/host/CommandPerformer.h"
#include "app/host/ContentPanes.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class BankManagerListContent;
class CabEasySetupDlg;
struct CabSetupInfo;
class BrakChangeWindow;
class BrowserChooserDlg;
class KestrelContentComponent;
class MainAppWindow;
class RawPresetDialogFollower;
class RawPresetThreadDlg;
class SkinManager;

// The librarian's windows in the program. The main window's content creates
// and owns them (the librarian, the disk browser and the raw preset dialog
// inside it, the exchange window beside it) from the creators registered
// here; this object then connects them to each other and performs the
// commands that open them.
class LibrarianWindows : public CommandPerformer,
                         private juce::ChangeListener
{
public:
    static constexpr int managePresetsCommand = 1302;
    static constexpr int manageCabsCommand = 1303;
    static constexpr int exchangeCommand = 1310;

    // Gives the content the creators of the librarian's panes; called once,
    // before the main window is made.
    static void registerPanes();
    // One of the librarian's panes; null for the others.
    static std::unique_ptr<juce::Component> createPane (ContentPane pane, MainAppWindow* owner, const SkinManager* skin);

    // Takes the panes the content made (any may be missing) and adds itself
    // to the command target, when there is one.
    explicit LibrarianWindows (KestrelContentComponent& content);
    ~LibrarianWindows() override;

    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;
    bool worksWithoutUnit (int commandId) const override { return commandId == exchangeCommand; }

private:
    // The cab easy-setup dialog's code 3 hands its record to the librarian;
    // code 2 drops it. The raw preset dialog's end of a transfer is told in
    // the librarian's status line once it closes.
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // The content owns them and may delete them first.
    juce::Component::SafePointer<BankManagerListContent> librarian;
    juce::Component::SafePointer<BrowserChooserDlg> browser;
    juce::Component::SafePointer<RawPresetThreadDlg> rawPresets;
    juce::Component::SafePointer<BrakChangeWindow> exchange;
    juce::Component::SafePointer<juce::Component> mainContent; // the exchange opens over its window
    juce::Component::SafePointer<CabEasySetupDlg> cabSetup;
    std::function<void (const CabSetupInfo&)> onCabSetupConfirmed;
    std::unique_ptr<RawPresetDialogFollower> follower;
    bool rawTransferRan = false;

    JUCE_DECLARE_NON_COPYABLE (LibrarianWindows)
};
