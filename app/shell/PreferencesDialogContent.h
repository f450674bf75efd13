#pragma once

#include "app/host/CommandPerformer.h"
#include "app/host/ContentPanes.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class KestrelGlobalConfiguration;
class MainAppWindow;
class SkinManager;

// The preferences dialog ("Preferences..."): four pages over the settings.
//
// - General: knob tracking (linear or rotary drag), mouse-wheel direction,
//   the MIDI ports by name, and the program's own switches (tooltips, more
//   than one instance, number search, update check, pause while resyncing).
// - Workspace: the snapshot, block library, template and effect definition
//   folders, each typed or chosen.
// - Cache: reads the unit's cab names, preset names or block definitions
//   again.
// - Prompts: which messages are shown.
//
// Every change is written to the configuration and saved at once, and takes
// effect without a restart: change code 1 tells the listeners (the effect
// editor) that the knob tracking changed, change code 2 that the wheel
// direction (the knobs' alternate state) changed; other settings are read
// where they are used. Port names that differ from the open ports close the
// link, which reopens on the new names at its next retry.
class PreferencesDialogContent : public juce::Component,
                                 public ZOLResizableComponent,
                                 public juce::ChangeBroadcaster,
                                 public juce::ChangeListener,
                                 public ContentDialog,
                                 public CommandPerformer
{
public:
    static constexpr int preferencesCommandId = 1400;
    static constexpr int codeSettingsChanged = 1;
    static constexpr int codeAlternateStateChanged = 2;

    enum class Page
    {
        general,
        workspace,
        cache,
        prompts
    };

    PreferencesDialogContent (MainAppWindow* owner, const SkinManager* skin);
    ~PreferencesDialogContent() override;

    // Fills every field from the configuration and shows the dialog in front.
    void showDialog();
    void closeDialog() override;

    void showPage (Page page);
    Page getPage() const { return page; }

    int getChangeCode() const { return changeCode; }
    // The knobs' alternate state: true when the wheel direction is reversed.
    bool getAlternateState() const;

    // The fields, for the dialog's own tests.
    juce::ComboBox& getKnobTrackingBox() { return knobTracking; }
    juce::ComboBox& getMouseWheelBox() { return mouseWheel; }
    // The tip of a switch that is stored but greyed, having no behaviour yet.
    static constexpr const char* noBehaviourTip = "Stored, but has no effect in this version.";
    // Follows a configured MIDI port that no device of the system offers.
    static constexpr const char* notPresentSuffix = " (not present)";
    juce::ComboBox& getMidiInBox() { return midiIn; }
    juce::ComboBox& getMidiOutBox() { return midiOut; }
    juce::TextEditor& getFolderEditor (int index) { return folders[(size_t) index].editor; }
    juce::Button& getFolderBrowseButton (int index) { return *folders[(size_t) index].browse; }
    ZOLCheckBox& getSwitch (int index) { return *switches[(size_t) index].button; }
    int getSwitchCount() const { return (int) switches.size(); }
    juce::Button& getRefreshButton (int index) { return *refreshes[(size_t) index].button; }

    // Names of the folder fields and switches, in their order.
    static constexpr int folderCount = 4;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void applyScale (bool apply) override;

    // ChangeListener: the main window and the preset manager.
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // CommandPerformer
    bool ownsCommand (int commandId) const override { return commandId == preferencesCommandId; }
    bool performCommand (int commandId) override;
    bool worksWithoutUnit (int) const override { return true; }

private:
    // A drop-down whose text takes the dialog's font at the dialog's scale,
    // like the captions beside it; the look-and-feel's font follows the box's
    // height instead.
    struct FieldBox : juce::ComboBox
    {
        void setTextFont (const juce::Font& newFont);
        void resized() override;

        juce::Font textFont;
    };

    struct FolderField
    {
        juce::Label label;
        juce::TextEditor editor;
        std::unique_ptr<juce::TextButton> browse;
    };

    struct Switch
    {
        std::unique_ptr<ZOLCheckBox> button;
        Page page;
        bool KestrelGlobalConfiguration::*setting;
        int fontSize; // unscaled
    };

    struct Refresh
    {
        std::unique_ptr<juce::TextButton> button;
        juce::Label description;
        const char* requestName;
        int doneTextId;
    };

    void loadSkin (const SkinManager* skinManager);
    void buildGeneralPage();
    void buildWorkspacePage();
    void buildCachePage();
    // A switch without a behaviour is stored and shown like the others, but
    // greyed out so that nobody expects it to change anything.
    void addSwitch (Page onPage, int textId, bool KestrelGlobalConfiguration::*setting, bool hasBehaviour = true);
    void fillFromConfiguration();
    void fillPortLists();
    void layOutPage();

    void knobTrackingChanged();
    void mouseWheelChanged();
    void portChanged();
    void folderEdited (int index);
    void chooseFolder (int index);
    void applyFolder (int index, const juce::String& path);
    void switchChanged (Switch& item);
    void refreshFromUnit (Refresh& item);

    void saveAndTell (int code);

    MainAppWindow* owner;
    const SkinManager* skin;
    Page page = Page::general;
    int changeCode = 0;
    bool filling = false;

    juce::Colour backgroundColour{ 0xff2a2c31 }, borderColour{ 0xff111214 }, textColour{ 0xffe8e6e3 },
        accentColour{ 0xffe8a33d }, dimTextColour{ 0xffa7abb1 };
    juce::Font font{ 14.0f };

    std::array<std::unique_ptr<juce::TextButton>, 4> tabs;
    juce::Label title;
    std::unique_ptr<juce::TextButton> closeButton;

    juce::Label knobTrackingLabel, mouseWheelLabel, midiInLabel, midiOutLabel, promptsLabel;
    FieldBox knobTracking, mouseWheel, midiIn, midiOut;
    std::array<FolderField, folderCount> folders;
    std::vector<Switch> switches;
    std::array<Refresh, 3> refreshes;
    Refresh* refreshRunning = nullptr;

    JUCE_DECLARE_NON_COPYABLE (PreferencesDialogContent)
};
