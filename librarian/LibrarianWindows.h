#pragma once

#include "app/CommandPerformer.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class BankManagerListContent;
class BrakChangeWindow;
class BrowserChooserDlg;
class KestrelContentComponent;
class RawPresetDialogFollower;
class RawPresetThreadDlg;
class SkinManager;

// The librarian's windows in the program: the librarian, the disk browser and
// the raw preset dialog inside the main window's content, and the exchange
// window beside it. It creates them once, wires them to each other, tells the
// content about them (so that they count as showing dialogs, close with the
// others, and the librarian keeps the program from closing while it shows),
// and performs the commands that open them.
class LibrarianWindows : public CommandPerformer, private juce::ChangeListener
{
public:
    static constexpr int managePresetsCommand = 1302;
    static constexpr int manageCabsCommand = 1303;
    static constexpr int exchangeCommand = 1310;

    // Adds itself to the command target, when there is one.
    LibrarianWindows (KestrelContentComponent& content, const SkinManager* skin);
    ~LibrarianWindows() override;

    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;
    bool worksWithoutUnit (int commandId) const override { return commandId == exchangeCommand; }

    BankManagerListContent& getLibrarian() { return *librarian; }
    BrowserChooserDlg& getBrowser() { return *browser; }
    RawPresetThreadDlg& getRawPresetDialog() { return *rawPresets; }
    BrakChangeWindow& getExchangeWindow() { return *exchange; }

private:
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    juce::Component::SafePointer<KestrelContentComponent> content;
    std::unique_ptr<BankManagerListContent> librarian;
    std::unique_ptr<BrowserChooserDlg> browser;
    std::unique_ptr<RawPresetThreadDlg> rawPresets;
    std::unique_ptr<RawPresetDialogFollower> follower;
    std::unique_ptr<BrakChangeWindow> exchange;

    JUCE_DECLARE_NON_COPYABLE (LibrarianWindows)
};
