#pragma once

#include "app/host/CommandPerformer.h"
#include "app/host/CommandTables.h"
#include "app/dialogs/PresetBundleInfo.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <functional>

class BrakFxMeter;
class KestrelContentComponent;
class LocationPickList;
class SavePresetBundleDlg;
class BrakFxReadout;
class MainAppWindow;
class PresetManager;
class SkinManager;
class ZOLDrawableButton;
class ZOLLabelComponent;
class ZOLLedComponent;

// The strip across the top of the main window that stands for the unit's own
// front panel: MIDI activity LEDs, tuner, tap tempo with the tempo field and
// its source menu, the CPU load, import, the preset list, bank up and down
// with the bank number, the eight presets of the bank, the preset name with
// the unit's model and the amp names, the eight scenes with their menu, save
// with its options, the edited LED and the snapshot button. A file dropped on
// the name area is imported.
//
// It builds no unit message itself: a button is a command of the command
// target or a named request of the preset manager, and everything it shows is
// refreshed from the preset manager's event codes. It also writes the files
// that the export requests gather (".syx", template, ".dat", snapshot, CSV)
// and performs the commands that need its fields or a file chooser.
//
// Message thread only.
class ControlUnitContent : public juce::Component,
                           public ZOLResizableComponent,
                           public juce::Button::Listener,
                           public juce::ChangeListener,
                           public juce::FileDragAndDropTarget,
                           public CommandPerformer
{
public:
    // The owner (for the command manager and the menu bar) and the preset
    // manager may be null; so may the skin (the panel is then empty).
    ControlUnitContent (MainAppWindow* owner, const SkinManager* skin, PresetManager* presetManager);
    ~ControlUnitContent() override;

    // What an event code of the preset manager does to the panel.
    enum class CodeAction
    {
        nothing,
        disable,
        enable,
        fullRefresh,
        initializationEnded,
        cabNamesEnded,
        presetSaved,
        ampNamesEnded,
        cpuLoad,
        statesEnded,
        tempoEnded,
        exportSysex,
        exportRawPreset,
        exportTemplate,
        saveSnapshot,
        exportCsv,
        reloadPreset,
        bundleImported,
        bundleSaved
    };
    static CodeAction actionForCode (int code);

    // Tapped tempi outside the tempo field's range are limited to it.
    static constexpr int minTempo = 30;
    static constexpr int maxTempo = 250;
    static constexpr double tapWindowMs = 2000.0;
    static constexpr juce::uint32 ledHoldMs = 100;

    void setControlsEnabled (bool enabled);
    // The preset buttons, bank up and down and the preset list button.
    void setPresetChoiceEnabled (bool enabled);
    bool areControlsEnabled() const { return controlsEnabled; }

    // The main window's tick: activity LEDs, edited LED and their expiry.
    void showActivity (bool input, bool output, bool tempo, bool modified);
    // The unit went away or came back.
    void showLinkState (bool up);
    void showCpuLoad (bool connected);
    void cancelEntries();

    void refreshBankNumber();
    void refreshPresetButtons();
    void refreshSceneButtons();
    void refreshPresetName();
    void refreshPresetSource();
    void refreshAmpNames();
    void refreshTempo();
    void refreshAll();

    // A press of the tap-tempo button at the given time (milliseconds).
    void tapTempo (double nowMs);

    // File actions, each run when its export request ended.
    void exportSysex (bool asTemplate);
    void exportRawPreset();
    void saveSnapshot();
    void exportCsv();
    void showBubble (const juce::String& text, juce::Component* anchor);
    // Below the area (the panel's coordinates), never over it.
    void showBubbleBelow (const juce::String& text, juce::Rectangle<int> area);
    // The text of the bubble while it shows, else empty; and its drawn box
    // (less the arrow that points at what it reports on).
    juce::String getBubbleText() const;
    juce::Rectangle<int> getBubbleBody() const;
    // The bubble keeps this margin around its box, in which its arrow stands.
    static constexpr int bubbleMargin = 12, bubbleArrowLength = 8;
    void showPresetSaved();
    void onBundleImported();
    void onBundleSaved();

    // Saving a preset that came from a Preset-Cab bundle: reads the cab
    // names when they are not all known (and comes back here when they are),
    // then fills the bundle save dialog and shows it. mayReadCabNames false
    // uses what is there.
    void prepareBundleSave (bool mayReadCabNames = true);
    // The bundle dialog's OK: saves the bundle where the dialog says.
    void saveBundle();
    // Fresh preset and cab lists for the bundle dialog while it is shown.
    void refreshBundleDialogLists();
    // The bundle dialog and the pick list it borrows; by default those of
    // the main window's content.
    void setBundleSaveParts (SavePresetBundleDlg* dialog, LocationPickList* pickList);

    // The preset list window is not part of this panel: whoever owns it
    // opens it here (mode 0 change preset, 1 save to a preset number) and
    // reports the picked preset number.
    using PresetListOpener = std::function<void (int mode, std::function<void (int presetNumber)> onPicked)>;
    void setPresetListOpener (PresetListOpener opener) { presetListOpener = std::move (opener); }
    // Called when the preset is being saved to another number, which then
    // becomes the current preset (the same blocks, so the one being edited
    // can stay in view).
    std::function<void()> onSavingToAnotherNumber;

    // Widgets, for the main window and for tests; each may be null.
    ZOLLedComponent* getMidiInLed() const { return midiInLed.get(); }
    ZOLLedComponent* getMidiOutLed() const { return midiOutLed.get(); }
    ZOLLedComponent* getEditLed() const { return editLed.get(); }
    BrakFxReadout* getTempoField() const { return tempoField.get(); }
    BrakFxReadout* getCpuField() const { return cpuField.get(); }
    BrakFxReadout* getBankNumber() const { return bankNumber.get(); }
    BrakFxReadout* getPresetName() const { return presetName.get(); }
    ZOLLabelComponent* getPresetAmps() const { return presetAmps.get(); }
    ZOLLabelComponent* getPresetSource() const { return presetSource.get(); }
    BrakFxMeter* getCpuMeter() const { return cpuMeter.get(); }
    ZOLDrawableButton* getPresetButton (int index) const;
    ZOLDrawableButton* getSceneButton (int index) const;
    ZOLDrawableButton* getButtonNamed (const juce::String& skinName) const;
    bool isDropHighlightShown() const { return dropHighlightShown; }
    juce::Rectangle<int> getDropRectangle() const { return dropRectangle; }

    // juce::Component
    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

    // ZOLResizableComponent
    void applyScale (bool apply) override;

    // juce::Button::Listener
    void buttonClicked (juce::Button* button) override;
    void buttonStateChanged (juce::Button*) override {}

    // juce::ChangeListener
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // juce::FileDragAndDropTarget
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragMove (const juce::StringArray&, int, int) override {}
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    // CommandPerformer: import, new from template, rename, preset list, save
    // to a new number, go to bank, tempo source.
    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;

private:
    struct Blink
    {
        bool marked = false;
        juce::uint32 markedAt = 0;
    };

    void loadFromSkin();
    void addWidget (juce::Component* widget);
    void setCommand (juce::Component* widget, int commandId);
    std::unique_ptr<ZOLDrawableButton> makeGroupButton (const juce::XmlElement& node, int group, int commandId);
    void setActivity (bool active, ZOLLedComponent* led, Blink& blink);
    void expireActivity();
    void handleStatus (int code);
    void handleEntry (BrakFxReadout& field);
    // Save to New Preset Number: asks before replacing another preset,
    // then saves there and makes it the current preset.
    void saveToPresetNumber (int number);
    void saveToPresetNumberNow (int number);
    // The save to another number has ended: stored, the window goes there.
    void goToNumberSaved (bool saved);
    void showCommandMenu (const CommandRecord* table, juce::Component* anchor);
    void showSceneMenu();
    void showSnapshotMenu();
    juce::ApplicationCommandManager* getCommandManager() const;
    void rebuildMenus();
    bool invoke (int commandId);
    bool chooseAndImport (const juce::String& title, const juce::String& folder, bool rememberFolder);
    void startTempoToUse (int value);
    KestrelContentComponent* getContent() const;
    SavePresetBundleDlg* getBundleDialog() const;
    LocationPickList* getBundlePickList();
    void fillBundleLists (PresetBundleInfo& info) const;
    void handleBundleDialog (int code);

    // The file-chooser exports: choose a name, append the extension, ask
    // again before replacing another file, write safely. Success is silent
    // (the chosen folder becomes the last one used when asked); a failure
    // is told in a message box.
    void saveWithChooser (const juce::String& title, const juce::String& folder, const juce::String& defaultName,
                          const juce::String& extension, bool rememberFolder,
                          std::function<juce::String (const juce::File&)> write);
    static juce::File withExtension (const juce::File& chosen, const juce::String& extension);
    juce::MemoryBlock takeExportData (bool& usable) const;

    MainAppWindow* owner;
    const SkinManager* skin;
    PresetManager* presetManager;
    PresetListOpener presetListOpener;

    PresetBundleInfo bundleInfo;
    bool bundleSavePending = false; // cab names are read before the bundle dialog opens
    // The preset number a save to another number goes to once the unit has
    // stored it; -1 for none.
    int numberAfterSave = -1;
    int bundleShownPreset = -1;     // the preset shown as the bundle dialog opened, and its name
    juce::String bundleShownName;
    SavePresetBundleDlg* bundleDialog = nullptr;
    LocationPickList* bundlePickList = nullptr;
    std::unique_ptr<LocationPickList> presetListPickList; // the preset list window, lent to the bundle dialog

    int designWidth = 0, designHeight = 0;
    bool controlsEnabled = true;

    bool tapPending = false;
    double lastTapMs = 0.0;

    juce::Font bubbleFont{ 12.0f };
    juce::Colour bubbleTextColour{ 0xff000000 };
    juce::Colour bubbleBackgroundColour{ 0xffffffff };
    int bubblePopTimeMs = 2000;

    Blink midiInBlink, midiOutBlink, tempoBlink;

    bool dropHighlightShown = false;
    juce::Rectangle<int> dropRectangle;
    juce::Colour dropColour{ 0xffffff00 };

    juce::BubbleMessageComponent bubble;
    juce::String shownBubbleText;
    static constexpr int anyPlacement = juce::BubbleComponent::above | juce::BubbleComponent::below
                                        | juce::BubbleComponent::left | juce::BubbleComponent::right;
    juce::AttributedString bubbleText (const juce::String& message);
    juce::Image background;

    std::unique_ptr<ZOLDrawableButton> logoButton;
    std::unique_ptr<ZOLLedComponent> midiInLed, midiOutLed;
    std::unique_ptr<ZOLDrawableButton> tunerButton, tempoButton;
    std::unique_ptr<BrakFxReadout> tempoField;
    std::unique_ptr<ZOLDrawableButton> tempoDropDown;
    std::unique_ptr<ZOLLedComponent> tempoLed;
    std::unique_ptr<BrakFxReadout> cpuField;
    std::unique_ptr<BrakFxMeter> cpuMeter;
    std::unique_ptr<ZOLDrawableButton> importButton, bankButton, bankUpButton, bankDownButton;
    std::unique_ptr<BrakFxReadout> bankNumber, presetName;
    std::unique_ptr<ZOLLabelComponent> presetSource, presetAmps;
    std::unique_ptr<BrakFxReadout> presetLabel;
    std::unique_ptr<ZOLDrawableButton> presetButtons[8];
    std::unique_ptr<BrakFxReadout> sceneLabel;
    std::unique_ptr<ZOLLabelComponent> sceneArrow;
    std::unique_ptr<ZOLDrawableButton> sceneButtons[8];
    std::unique_ptr<ZOLDrawableButton> saveButton, saveMenuButton;
    std::unique_ptr<BrakFxReadout> editLabel;
    std::unique_ptr<ZOLLedComponent> editLed;
    std::unique_ptr<ZOLDrawableButton> snapshotButton;

    JUCE_DECLARE_NON_COPYABLE (ControlUnitContent)
};
