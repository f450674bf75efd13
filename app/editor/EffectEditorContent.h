#pragma once

#include "app/host/CommandPerformer.h"
#include "skin/controls/ParamControlUtilities.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class BlockLibNameDialog;
class BlockLibraryManager;
class DropDownLargeList;
class EditorRequestQueue;
struct KnobBroadcast;
struct LooperState;
class ZOLMidiProcessing;
class EffectLayoutManager;
class LanguageStore;
class XYToggleComponent;
class ZOLBorderedImageComponent;
class ZOLGraphComponent;
class ZOLLabelComponent;
class ImageDepot;
struct GraphData;
struct EffectParamValue;
class EffectManager;
class EffectVariant;
class EditorControl;
class KestrelControlManager;
class ContentHost;
class LayoutPage;
class PageLayoutRecord;
class PresetManager;
class SkinManager;
class ZOLEffectParam;
class ZOLToggleButton;

// The effect editor: shows one block of the unit, page by page as the effect
// layouts arrange its parameters, and turns what the user does with the
// controls into requests of the preset manager, and the preset manager's
// event codes into enabling, refreshing and re-sending.
//
// The edit road: a control reports a gesture through its change code; a new
// value becomes a "Set Param" request. While one is under way a further
// value is refused; the latest refused value is held and sent again when
// the running one ends, so a fast drag ends with the unit holding the last
// value. Values the unit reports are applied to the controls of their
// parameter.
//
// Every request whose begin code disabled the editor enables it again when
// it ends or fails, so a lost or refused request never leaves the editor
// disabled. The editor stops listening to every broadcaster it joined before
// it is deleted.
class EffectEditorContent : public juce::Component,
                            public juce::ChangeListener,
                            public juce::FileDragAndDropTarget,
                            public CommandPerformer,
                            public ParamControlUtilities,
                            public ZOLResizableComponent
{
public:
    // The edit the preset manager refused while another was under way.
    struct HeldEdit
    {
        juce::uint16 blockId = 0; // 0: none
        juce::uint16 paramId = 0;
        juce::uint16 value = 0;
    };

    enum class EventReaction
    {
        none,
        disable,
        enable
    };

    // The managers it works with; any may be null (then nothing is sent,
    // read or built from it). Reads its skin section and hands the page
    // layouts to the layout manager.
    EffectEditorContent (const SkinManager* skin, PresetManager* presetManager, EffectManager* effectManager,
                         EffectLayoutManager* layoutManager, KestrelControlManager* controlManager);
    ~EffectEditorContent() override;

    // Blocks ---------------------------------------------------------------------

    // The block whose pages the editor shows; 0 shows none. Another block
    // starts on its first page and drops a held edit. With a preset manager
    // the block's values and the values of its modifiers are asked for, and
    // applied when they arrive. toggleBypass runs "Bypass/Engage" for it,
    // once its modifier values are in when they were asked for.
    void showBlock (int blockId, bool toggleBypass = false);
    bool isBypassPending() const { return pendingBypassBlock != 0; }
    int getShownBlock() const { return shownBlock; }

    // Pages ----------------------------------------------------------------------

    // The pages of the shown block offered for the unit's firmware and the
    // block's type, by name.
    juce::StringArray getPageNames() const;
    int getCurrentPageIndex() const { return pageIndex; }

    // Opens the page at the index among the offered ones; past the end the
    // first, below 0 the last. False when no page is offered. The page left
    // becomes the previous page, where closing the sequencer returns.
    bool showPageByIndex (int index);
    int findPageTabByName (const juce::String& name) const;
    bool isPageTab (const juce::Component* component) const;

    // Builds the current page of the shown block.
    void showPage();

    // Pages drawn by other parts of the program than the editor's controls.
    bool isSpecialPage (const juce::String& pageName) const;

    // The controls of the current page, in layout order. The page builder
    // adds each control it makes (a juce::Component) here; the editor owns it,
    // shows it and listens to it until the page is cleared.
    int getNumPageControls() const { return (int) pageControls.size(); }
    ZOLEffectParam* getPageControl (int index) const;
    ZOLEffectParam* addPageControl (std::unique_ptr<ZOLEffectParam> control);

    void setControlsEnabled (bool enabled);
    bool areControlsEnabled() const { return controlsEnabled; }

    // The edit road ----------------------------------------------------------------

    // Starts "Set Param"; a refused value becomes the held edit, and an
    // accepted one for the held parameter clears the hold.
    void setHeldSetParam (juce::uint16 blockId, juce::uint16 paramId, juce::uint16 value);
    const HeldEdit& getHeldEdit() const { return heldEdit; }

    // What an event code of the preset manager does to the editor's enabled
    // state: begin codes of requests that change what the editor shows
    // disable it; their end codes, and code 1 (a request failed), enable it.
    static EventReaction getEventReaction (int code);

    // One event code of the preset manager.
    void handlePresetEvent (int code);

    // The road of one control's gesture.
    void handleControlChange (ZOLEffectParam& control);

    // Sets every control of (block, parameter) from the effect model's
    // stored value of the block's current X/Y state.
    void applyStoredValue (int blockId, int paramId);
    void applyAllValues();

    // Synth parameters 3, 14 and 32 move in whole steps of their range; v
    // unchanged for others and for a range without width.
    juce::uint16 snapToWholeSteps (int blockId, int paramId, juce::uint16 value) const;

    // The dialogs of the main window (EffectEditorContentDialogs.cpp) ----------

    // Lets the special pages show the content's sequencer dialog and make
    // footswitch grids.
    void connectDialogs();
    // "Edit Modifier": closes every open dialog and opens the modifier
    // dialog for the parameter of the block. False without a modifier dialog.
    bool openModifierDialog (int blockId, int paramId);

    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void paint (juce::Graphics& g) override;

    // The cab choices of a Cab block's cab parameters: the unit's factory
    // cabs ("F" numbers, names in title case), its user cabs ("U" numbers)
    // and its scratchpads ("S00" numbers); every other list as the page
    // builder makes it.
    bool getValueStrings (int blockId, int paramId, juce::StringArray& shortTexts, juce::StringArray& names,
                          juce::Array<juce::uint16>& values, juce::Array<juce::uint8>& flags) override;

    // Typed values, dependent parameters and the connection (EffectEditorContentRoad.cpp) ----

    // The value sent for a typed entry t of (block, parameter): Pitch keys
    // count from 1, the Amp's master volume is converted, a parameter with
    // numeric value texts sends the index of the text at or below t.
    float convertTypedValue (int blockId, int paramId, float typed) const;

    // The parameters of the shown block whose values follow from parameter p
    // and that the page shows; none while p follows an active modifier.
    juce::Array<juce::uint16> findDependentParams (int paramId) const;

    // Starts "Query Effect Subset Params" for parameters of the shown block;
    // their values are applied when it ends.
    bool querySubset (const juce::Array<juce::uint16>& paramIds);
    const juce::Array<juce::uint16>& getPendingSubset() const { return pendingSubset; }

    // The connection is initialised: hands the unit's model and firmware to
    // the block library (reading it again when they changed), reads the
    // definitions cache of the model or asks the unit for its definitions,
    // and loads the controller names.
    void onDefinitionsReady();
    void setBlockLibrary (BlockLibraryManager* library);

    // Own requests and live updates (EffectEditorContentRequests.cpp) ----------------

    bool sendMidiCC (int controller, int value);
    bool requestLooperState (bool on);
    bool requestBroadcastKnob (const juce::Array<juce::uint16>& paramIds);
    // Watches the modulated parameters of the page; stop ends the reports.
    void setLiveUpdates (bool stop);
    // The main window's tick: finishes the oldest own request and applies
    // what the link collected from the unit.
    void onRequestsDone();
    void tickLiveUpdates();
    void applyLooperState (const LooperState& state);
    void applyBroadcastKnob (const KnobBroadcast& record);
    bool isLooperPolling() const { return looperPolling; }
    bool isKnobBroadcastOn() const { return knobBroadcastOn; }
    int getNumOwnRequests() const;

    // Block library, X/Y menu and file drop (EffectEditorContentLibrary.cpp) --------

    bool startLibrarySave (bool saveAs);
    void onLibraryQueryDone();
    void saveAllBlocksToLibrary();
    void renameLibraryEntry();
    void deleteLinkedLibraryEntry();
    void revealLibraryFile();
    // Loads an entry into the shown block; refused (with a message) for an
    // entry of another effect type.
    bool insertLibraryEntry (int entryId);
    // The entry shown for the block (its link), 0 for none.
    int getShownLibraryEntry() const { return shownLibraryEntry; }
    bool hasLibrarySelection() const { return shownLibraryEntry != 0; }
    // The library drop-down's text: the match colour while the shown block
    // still holds what its entry holds, the changed colour once edited.
    void updateLibraryMatchColour();
    // The entries of the shown block's effect type: (entry id, name).
    juce::Array<std::pair<int, juce::String>> getLibraryEntriesForShownBlock() const;
    BlockLibNameDialog* getNameDialog() const { return nameDialog.get(); }
    int getLibrarySaveMode() const { return librarySaveMode; }
    void showXYClipboardMenu();

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;
    bool isDropHovering() const { return dropHover; }

    bool ownsCommand (int commandId) const override;
    bool performCommand (int commandId) override;
    bool worksWithoutUnit (int commandId) const override { return commandId == 1704; }

    static constexpr const char* sectionName = "EffectEditorSkin";

    // Header, special pages, scenes, graph, scale and focus -------------------------
    // (EffectEditorContentHeader.cpp, EffectEditorContentPages.cpp)

    // Work that other panes of the program do for the editor; any may be empty.
    struct PageHooks
    {
        // Shows the sequencer dialog inside the editor for the controllers'
        // "Sequencer" page (true) or takes it out (false). Answers the
        // component shown; null lets the page show its layout's own controls.
        std::function<juce::Component* (EffectEditorContent&, bool show)> embedSequencer;
        // Makes the footswitch grid of the global block's "Preset" page
        // (globalMode false) or "Global" page (true), filled from the unit.
        std::function<std::unique_ptr<juce::Component> (bool globalMode)> makeFootswitchGrid;
        // The X/Y switch or the block library drop-down reported a gesture.
        std::function<void (juce::Component& widget, int changeCode)> headerGesture;
        // Whether a dialog of the main window is showing (pages are then not
        // switched by index).
        std::function<bool()> isDialogShowing;
    };
    PageHooks hooks;

    // The grid's selection state: 0 nothing (no block is shown), 1 its block,
    // 2 its block with bypass toggled, 3 the controllers, 4 the global block's
    // footswitch pages, 5 the layout MIDI block, 6 the global block. Other
    // states change nothing.
    void showGridSelection (int state, int gridBlockId);
    int getGridSelectionState() const { return gridSelectionState; }
    // The global block shown for the grid's footswitch pages, through the
    // layout variant of that name.
    bool showsFootswitchPages() const;
    static constexpr const char* footswitchPagesName = "Footswitches";

    ZOLLabelComponent* getEffectNameLabel() const { return effectName.get(); }
    ZOLBorderedImageComponent* getEffectIcon() const { return effectIcon.get(); }
    XYToggleComponent* getXYToggle() const { return xyToggle.get(); }
    DropDownLargeList* getEffectTypeDropDown() const { return effectTypeDropDown.get(); }
    DropDownLargeList* getLibraryDropDown() const { return libraryDropDown.get(); }
    void updateHeader();
    void updateEffectTypeList();
    // The X/Y switch shows the shown block's X/Y state.
    void updateXYSwitch();
    // Builds the shown block afresh: tabs, header, type list, page (with new
    // controls), values, graph and scene marks.
    void rebuildBlock();

    // Skin colours the library and file drop code draws with.
    juce::Colour getLibraryMatchColour() const { return libraryMatchColour; }
    juce::Colour getLibraryChangedColour() const { return libraryChangedColour; }
    juce::Colour getFileDropColour() const { return fileDropColour; }

    // The component a special page shows instead of (or beside) controls: the
    // footswitch grid or the embedded sequencer; null on other pages.
    juce::Component* getSpecialPageComponent() const;
    bool areFootswitchTextsShown() const;

    // Marks the controls of the current scene on the pages that show one
    // control per scene.
    void highlightSceneControls();
    static constexpr juce::uint32 sceneHighlightColour = 0xFFFFCC00;

    // The monitor graph of pages whose layout has one.
    ZOLGraphComponent* getMonitorGraph() const { return monitorGraph.get(); }
    bool requestGraph();
    void updateGraph (const GraphData& graph);
    // One graph word: its low 14 bits as a signed number, over 8191.
    static float graphWordToValue (juce::int32 word);

    // Scales the panel and everything on it; the unscaled bounds are
    // remembered the first time. The one-argument form takes scaleFactor.
    void applyScale (double factor, bool applyBounds);
    void applyScale (bool applyBounds) override { applyScale (scaleFactor, applyBounds); }
    double getScale() const { return getUsableScale(); }

    void selectControl (juce::Component* control);
    juce::Component* getSelectedControl() const { return selectedControl.getComponent(); }
    void setFocusOrder();

protected:
    EffectManager* getEffectManagerForPage() const override { return effects; }
    EffectLayoutManager* getLayoutManagerForPage() const override { return layouts; }
    DeviceManager* getDeviceManagerForPage() const override;
    KestrelControlManager* getControlManagerForPage() const override { return controls; }

private:
    // Header and special pages.
    std::unique_ptr<ZOLLabelComponent> effectName, footswitchTitle;
    std::unique_ptr<ZOLBorderedImageComponent> effectIcon;
    std::unique_ptr<XYToggleComponent> xyToggle;
    std::unique_ptr<DropDownLargeList> effectTypeDropDown, libraryDropDown;
    std::unique_ptr<juce::TextEditor> footswitchInfo;
    juce::Colour libraryMatchColour{ 0xFFFFFFFF }, libraryChangedColour{ 0xFF808080 };
    std::array<juce::Colour, 6> modifierLabelColours{ juce::Colour (0xFF000000), juce::Colour (0x00FFFFFF),
                                                      juce::Colour (0xFF000000), juce::Colour (0x00FFFFFF),
                                                      juce::Colour (0xFF000000), juce::Colour (0x00FFFFFF) };
    juce::Colour fileDropColour{ 0xFFFFFF00 };
    int gridSelectionState = 0;
    std::unique_ptr<ZOLGraphComponent> monitorGraph;
    std::unique_ptr<juce::Component> footswitchGrid;
    juce::Component::SafePointer<juce::Component> embeddedSequencer; // owned by the main window
    juce::Component::SafePointer<juce::Component> selectedControl;

    void readHeaderWidgets (const juce::XmlElement& section);
    void deleteHeaderWidgets();
    bool handleHeaderChange (juce::ChangeBroadcaster* source);
    bool buildSpecialPage (const juce::String& pageName);
    void buildModifiersPage();
    void clearSpecialPage();
    void addMonitorGraph();
    void scaleChild (juce::Component& child) const;
    void showFootswitchTexts (int titleId, int infoId);
    void paintSelection (juce::Graphics& g) const;

    const SkinManager* skin = nullptr;
    PresetManager* presets = nullptr;
    EffectManager* effects = nullptr;
    EffectLayoutManager* layouts = nullptr;
    KestrelControlManager* controls = nullptr;

    juce::Image background;
    int shownBlock = 0;
    bool controlsEnabled = true;
    HeldEdit heldEdit;

    EffectVariant* variant = nullptr;
    juce::Array<int> offeredPages; // indexes into the variant's pages
    int pageIndex = 0;             // among the offered pages
    int previousPageIndex = 0;     // the page shown before it; closing the sequencer returns there
    const PageLayoutRecord* pageLayout = nullptr;
    std::vector<std::unique_ptr<ZOLToggleButton>> pageTabs;
    std::vector<std::unique_ptr<ZOLEffectParam>> pageControls;

    void readSkin();
    void createPageTabs();
    void updatePageTabs();
    void clearPage();
    void layoutSection (int pageBlock, const juce::OwnedArray<EditorControl>& items, bool inMixer);
    bool isControlOffered (int pageBlock, const EditorControl& item) const;
    juce::String getHeaderText() const;

    int resolveBlock (const ZOLEffectParam& control) const;
    // The channel (0 X, 1 Y) a block plays; X while that is not known.
    int channelOf (int blockId) const;
    // Whether a parameter is one of the Pitch block's scale notes.
    static bool isScaleNote (int blockId, int paramId);
    void afterSetParam();
    void refreshAfterEdit (const EffectParamValue& reply);
    void valueRoad (ZOLEffectParam& control, int blockId);
    // Sets a control from a value of the unit: the value, the display
    // position (0..127) the unit reported with it (-1: taken from the value
    // as a full-scale one) and its text.
    void applyValueRecord (ZOLEffectParam& control, juce::uint16 value, const juce::String& text, int position = -1);
    void typedRoad (ZOLEffectParam& control, int blockId);
    void handleRoadEvent (int code);
    void reloadValues();
    void queryTempoParams();
    void saveDefinitionsCache();
    ZOLEffectParam* findControl (int blockId, int paramId) const;

    // Own requests, live updates and the block library.
    void startRoad();
    void stopRoad();
    void onShownBlockChanged (int previousBlock);
    bool handleLibraryHeaderGesture (juce::ChangeBroadcaster* source);
    ZOLMidiProcessing* getLink() const;
    std::unique_ptr<EditorRequestQueue> ownRequests;
    bool looperPolling = false;
    bool knobBroadcastOn = false;
    juce::Array<juce::uint16> pendingSubset;
    BlockLibraryManager* library = nullptr;
    std::unique_ptr<BlockLibNameDialog> nameDialog;
    int librarySaveMode = 0;
    int shownLibraryEntry = 0;
    bool dropHover = false;
    juce::Rectangle<int> dropRect;
    void updateLibraryList();
    bool storeLibraryEntry (int entryId, int blockId, bool isNew);
    bool onLibraryNameDialog (int code);
    void deleteUnnamedLibraryEntry();
    void handleNameDialogChange();
    void refreshForDialogs();
    void paintDropTarget (juce::Graphics& g);
    bool startLibraryNameDialog (int mode, int entryId);


    // EffectEditorContentDialogs.cpp
    ContentHost* findContent() const;
    bool handleDialogChange (juce::ChangeBroadcaster* source);
    // Code 1 of the preferences: the knob mode changed; code 2: the wheel's direction.
    void applyPreferences (int code);
    void forEachSequencerControl (const std::function<void (ZOLEffectParam&)>& visit) const;
    void closeModifierDialog();
    void editModifierOfLabel (int blockId, int modifierId);
    void openPendingModifierEdit();
    void updateModifierMarks();
    bool requestBlockModifierValues (int blockId);
    void runPendingBypass();
    bool isModifierDialogShowing() const;
    // The grid's selected block; the shown block without a grid.
    int getGridSelectedBlock() const;
    void showGridSelectedBlock();
    bool reopenSequencer = false;
    int pendingBypassBlock = 0; // "Bypass/Engage" waits for this block's modifier values
    bool reopenModifiers = false;

    // The parameter whose modifier dialog opens once its modifier values have
    // been read ("Edit Modifier" from the modifier list).
    struct PendingModifierEdit
    {
        bool pending = false;
        juce::uint16 blockId = 0, paramId = 0;
    };
    PendingModifierEdit pendingModifierEdit;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EffectEditorContent)
};
