#include "app/shell/DialogCommands.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/dialogs/ModifierDlgContent.h"
#include "app/dialogs/TunerContent.h"
#include "app/shell/PreferencesDialogContent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLibraryEntry.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/UnitIds.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "skin/widgets/XYToggleComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "tests/support/WidgetTestKit.h"
#include "support/ConnectedProgram.h"
#include "support/FakeDesktopOpener.h"
#include "support/FifoFeeder.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <algorithm>

// The effect editor inside the main window, connected to the unit: its
// header, the grid's bypass gesture, the end of "Initialize Block" and the
// dialogs reach it the way the program wires them.
TEST (EditorInMainWindow, HeaderBypassInitialiseAndDialogsWorkAsTheWindowWiresThem)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-window" };
    constexpr int ampCell = 0, cabCell = 4, ampBlock = 106, cabBlock = 108;
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    auto* content = program.content;
    auto* grid = program.grid;
    auto* editor = program.editor;
    auto* target = program.target;
    auto* presets = program.presets;
    auto settle = [&] { return program.settle(); };

    auto unitBlock = [&unit] (int blockId) { return *unit.getEditBuffer().findBlock (blockId); };
    const int scene = unit.getCurrentScene();

    // The header's X/Y switch toggles the shown block's channel on the unit.
    ASSERT_TRUE (grid->selectCell (ampCell));
    ASSERT_EQ (editor->getShownBlock(), ampBlock);
    ASSERT_TRUE (settle());
    ASSERT_NE (editor->getXYToggle(), nullptr);
    const bool onX = unitBlock (ampBlock).onX[(size_t) scene];
    editor->getXYToggle()->postChangeCode (2);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unitBlock (ampBlock).onX[(size_t) scene] != onX; }));
    ASSERT_TRUE (settle());

    // Showing a block the grid does not select, the switch changes nothing.
    editor->showBlock (cabBlock);
    ASSERT_TRUE (settle());
    const bool ampOnX = unitBlock (ampBlock).onX[(size_t) scene], cabOnX = unitBlock (cabBlock).onX[(size_t) scene];
    editor->getXYToggle()->postChangeCode (2);
    ASSERT_TRUE (pumpPostedMessages()); // the switch's change is in; a send would be under way now
    ASSERT_TRUE (settle());
    EXPECT_EQ (unitBlock (ampBlock).onX[(size_t) scene], ampOnX);
    EXPECT_EQ (unitBlock (cabBlock).onX[(size_t) scene], cabOnX);

    // Alt-click on a tile: the bypass toggles once; on a block with a
    // modifier only after the modifier's values are in.
    auto altClick = [&] (int cell)
    {
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::altModifier);
        grid->buttonClicked (grid->getTile (cell));
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    };

    for (int cell : { ampCell, cabCell })
    {
        const int block = cell == ampCell ? ampBlock : cabBlock;
        const bool engaged = unitBlock (block).engaged[(size_t) scene];
        const int sets = unit.countReceived (SYSEX_PARAM_SET);
        altClick (cell);
        EXPECT_EQ (editor->getShownBlock(), block);
        EXPECT_EQ (editor->isBypassPending(), block == ampBlock) << block;
        ASSERT_TRUE (settle());
        EXPECT_TRUE (pumpMessagesUntil (
            [&] { return unitBlock (block).engaged[(size_t) scene] != engaged && ! presets->hasWork(); }));
        EXPECT_NE (unitBlock (block).engaged[(size_t) scene], engaged) << block;
        EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET) - sets, 1) << block;
        EXPECT_FALSE (editor->isBypassPending());
    }


    // "Initialize Block" works on the grid's selection, which the editor
    // shows once it ends, whatever it showed meanwhile.
    ASSERT_TRUE (grid->selectCell (ampCell));
    editor->showBlock (cabBlock);
    ASSERT_TRUE (settle());
    ASSERT_TRUE (target->invokeCommand (1204));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->getShownBlock() == ampBlock; }));
    ASSERT_TRUE (settle());

    // So do "Scene Paste" and "Scene Swap".
    SceneRecord copied;
    presets->captureScene (copied);
    presets->setSceneClipboard (copied);

    for (bool paste : { true, false })
    {
        editor->showBlock (cabBlock);
        ASSERT_TRUE (settle());
        ASSERT_TRUE (paste ? presets->requestScenePasteAll()
                           : presets->requestSceneSwap ((juce::uint16) (scene + 1)));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->getShownBlock() == ampBlock; })) << paste;
        ASSERT_TRUE (settle());
    }

    // A dropped Controllers entry goes to the Controllers view, which the
    // grid selects first.
    BlockLibraryEntry controllers (EFFECT_CONTROL, 8, 6, 0);
    controllers.name = "Dropped";
    controllers.paramData.setSize (64, true);
    const auto blockFile = program.scratch.folder.getChildFile ("controllers.blk");
    ASSERT_TRUE (controllers.writeToFile (blockFile));
    editor->filesDropped ({ blockFile.getFullPathName() }, 10, 10);
    EXPECT_EQ (grid->getSelectionState(), GridUnitContent::controllersSelected);
    EXPECT_EQ (editor->getShownBlock(), blockIdControllers);
    EXPECT_GT (KestrelBlockLibraryManager::getInstance()->getLinkedEntryId (blockIdControllers), 0);
    ASSERT_TRUE (settle());

    // A dialog keeps the pages where they are.
    ASSERT_GT (editor->getPageNames().size(), 1);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (DialogCommands::tunerCommandId, false));
    EXPECT_FALSE (editor->showPageByIndex (1));
    content->closeAllDialogs();
    EXPECT_TRUE (editor->showPageByIndex (1));
    ASSERT_TRUE (settle());

    // The editor waits while the modifier dialog shows and is usable again once it closes.
    auto* modifierDialog = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    ASSERT_NE (modifierDialog, nullptr);
    ASSERT_TRUE (editor->openModifierDialog (ampBlock, 1));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! editor->areControlsEnabled(); }));
    saveScreenshot (*content, "editor-waits-for-modifier-dialog");
    EXPECT_TRUE (modifierDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->areControlsEnabled(); }));
    settle();
}

#if JUCE_LINUX || JUCE_BSD
// "Show Folder" of the block library hands the shown entry's folder to the
// desktop's opener as one argument: a shared pack whose folder name holds
// "$(...)" runs nothing.
TEST (EditorInMainWindow, ShowFolderOpensTheShownEntrysFolderWithoutAShell)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-reveal" };
    constexpr int ampCell = 0, ampBlock = 106;
    ASSERT_TRUE (program.open());
    ASSERT_TRUE (program.grid->selectCell (ampCell));
    ASSERT_EQ (program.editor->getShownBlock(), ampBlock);
    ASSERT_TRUE (program.settle());

    const auto pack = KestrelBlockLibraryManager::getInstance()->getLibraryFolder().getChildFile (
        "Shared pack $(touch INJECTED)");
    BlockLibraryEntry shared (effectTypeOfBlock (ampBlock), 8, 6, 0);
    shared.name = "Shared";
    // Two bytes for each of the block's X and Y values, as the unit keeps them.
    const auto unitPreset = program.unit.getEditBuffer();
    const auto& values = unitPreset.findBlock (ampBlock)->values;
    shared.paramData.setSize (2 * (values[0].size() + values[1].size()), true);
    const auto blockFile = pack.getChildFile ("shared.blk");
    ASSERT_TRUE (pack.createDirectory());
    ASSERT_TRUE (shared.writeToFile (blockFile));
    program.editor->filesDropped ({ blockFile.getFullPathName() }, 10, 10);
    ASSERT_TRUE (program.settle());
    ASSERT_NE (program.editor->getShownLibraryEntry(), 0);
    saveScreenshot (*program.content, "editor-shows-entry-of-shared-pack");

    // What the program asks the desktop to open, on its way to the real opener.
    juce::Array<juce::File> opened;
    struct OpenerSeam
    {
        const std::function<bool (const juce::File&)> real = KestrelCommandTarget::openDocument;
        ~OpenerSeam() { KestrelCommandTarget::openDocument = real; }
    } seam;
    KestrelCommandTarget::openDocument = [&] (const juce::File& file)
    {
        opened.add (file);
        return seam.real (file);
    };

    FakeDesktopOpener opener (program.scratch.folder);
    ASSERT_TRUE (opener.isReady());
    EXPECT_TRUE (program.window->getCommandManager().invokeDirectly (1704, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return opener.getRecord().existsAsFile(); }));
    EXPECT_EQ (opener.getRecord().loadFileAsString(), "1\n" + pack.getFullPathName() + "\n");
    EXPECT_TRUE (opener.nothingNamed ("INJECTED"));
    ASSERT_EQ (opened.size(), 1);
    EXPECT_EQ (opened[0].getFullPathName(), pack.getFullPathName());
    EXPECT_EQ (program.notices.count(), 0) << program.notices.lastMessage();
}
#endif

#if JUCE_LINUX || JUCE_MAC
// A FIFO named like a block file is never opened, whether the library folder
// holding it is chosen in Preferences or it is dropped on the editor: the
// window goes on answering and the block beside it is read.
TEST (EditorInMainWindow, AFifoNamedLikeABlockFileIsNeverOpened)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-fifo-block" };
    ASSERT_TRUE (program.open());
    auto* library = KestrelBlockLibraryManager::getInstance();

    const auto folder = program.scratch.folder.getChildFile ("Shared library");
    BlockLibraryEntry hall (EFFECT_REVERB, 8, 6, 0), drive (EFFECT_DISTORT, 8, 6, 0);
    hall.name = "Hall";
    drive.name = "Lead Drive";
    ASSERT_TRUE (hall.writeToFile (folder.getChildFile ("Reverb/Hall.blk")));
    ASSERT_TRUE (folder.getChildFile ("Drive").createDirectory());
    FifoFeeder fifo (folder.getChildFile ("Drive/Lead Drive.blk"), drive.toFileData());
    ASSERT_TRUE (fifo.made);

    ScriptedInteraction user;
    user.answerWithFile (folder);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1400, false));
    auto* preferences = program.content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
    ASSERT_NE (preferences, nullptr);
    preferences->showPage (PreferencesDialogContent::Page::workspace);
    preferences->getFolderBrowseButton (1).triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return library->getLibraryFolder() == folder; }));
    ASSERT_EQ (library->getNumEntries(), 1);
    EXPECT_EQ (library->getEntry (0)->name, "Hall");
    saveScreenshot (*preferences, "preferences-library-beside-a-fifo");
    preferences->closeDialog();

    program.editor->filesDropped ({ fifo.file.getFullPathName() }, 10, 10);
    ASSERT_EQ (program.notices.count(), 1);
    EXPECT_EQ (program.notices.lastMessage(), BlockLibraryManager::getErrorText (BlockLibraryEntry::invalidFormat, {}));
    EXPECT_EQ (library->getNumEntries(), 1);
    EXPECT_EQ (fifo.readersFed, 0);
    EXPECT_TRUE (program.settle());
}
#endif

// The road a user takes to modifiers, cab choices and the X/Y switch, with
// the window connected to the unit.
TEST (EditorInMainWindow, ModifiersCabChoicesAndTheXYSwitchFollowTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-window-modifiers" };
    auto& unit = program.unit;
    constexpr int ampCell = 0, cabCell = 4, ampBlock = 106;

    // A controller drives the amp's middle.
    auto buffer = unit.getEditBuffer();
    buffer.assignModifier (ampBlock, 3)->settings[0] = 2;
    unit.setEditBuffer (buffer);

    ASSERT_TRUE (program.open());
    auto* content = program.content;
    auto* grid = program.grid;
    auto* editor = program.editor;
    auto* presets = program.presets;
    auto settle = [&] { return program.settle(); };
    auto* modifierDialog = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    ASSERT_NE (modifierDialog, nullptr);

    auto findControl = [&] (const std::function<bool (ZOLEffectParam&)>& matches) -> ZOLEffectParam*
    {
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            if (auto* control = editor->getPageControl (i); control != nullptr && matches (*control))
                return control;
        return nullptr;
    };

    // The amp's parameter 3 follows a modifier the unit holds: it shows the
    // modifier as on, and no wheel step of it reaches the unit.
    ASSERT_TRUE (grid->selectCell (ampCell));
    ASSERT_TRUE (settle());
    auto* modulated = findControl ([] (ZOLEffectParam& c) { return c.paramId == 3; });
    ASSERT_NE (modulated, nullptr);
    EXPECT_TRUE (modulated->modifierActive);
    EXPECT_TRUE (modulated->hasModifier);
    auto* modulatedKnob = dynamic_cast<ZOLRotaryKnob*> (modulated);
    ASSERT_NE (modulatedKnob, nullptr);
    const int sets = unit.countReceived (SYSEX_PARAM_SET);
    modulatedKnob->mouseWheelMove (WidgetTestKit::mouse (*modulatedKnob, { 36, 36 }), WidgetTestKit::wheel (0.5f));
    ASSERT_TRUE (pumpPostedMessages()); // the step is in; a send would be under way now
    ASSERT_TRUE (settle());
    EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET), sets);

    // Another assignable knob edits freely, and M asks for its modifier.
    auto* free = findControl ([] (ZOLEffectParam& c)
                              { return c.hasModifier && ! c.modifierActive && dynamic_cast<ZOLRotaryKnob*> (&c); });
    ASSERT_NE (free, nullptr);
    auto* freeKnob = dynamic_cast<ZOLRotaryKnob*> (free);
    // One step is one message, also while the unit answers late.
    unit.setReplyDelayFor (SYSEX_PARAM_SET, 400);
    unit.startAutoPump();
    freeKnob->mouseWheelMove (WidgetTestKit::mouse (*freeKnob, { 36, 36 }), WidgetTestKit::wheel (0.5f));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_PARAM_SET) > sets; }));
    ASSERT_TRUE (settle());
    pumpMessagesFor (800); // idle already: room for a resend once the late (400 ms) answer is in
    ASSERT_TRUE (settle());
    EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET), sets + 1);
    unit.stopAutoPump();
    unit.setReplyDelayFor (SYSEX_PARAM_SET, 0);
    EXPECT_TRUE (freeKnob->keyPressed (juce::KeyPress ('m')));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return modifierDialog->isVisible(); }));
    EXPECT_TRUE (modifierDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->areControlsEnabled(); }));
    ASSERT_TRUE (settle());

    // The preferences' knob mode and wheel direction reach the shown page at once.
    auto* preferences = content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
    ASSERT_NE (preferences, nullptr);
    preferences->getKnobTrackingBox().setSelectedId (2, juce::sendNotificationSync);
    preferences->getMouseWheelBox().setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (freeKnob->dragMode, 1);
    EXPECT_TRUE (freeKnob->altState);
    preferences->getKnobTrackingBox().setSelectedId (1, juce::sendNotificationSync);
    EXPECT_EQ (freeKnob->dragMode, 0);

    // A value typed into the knob: Return opens its readout for typing, and
    // the level "7.25" of 0..10 reaches the unit as 47512 of 65534, the knob
    // showing the unit's text for it.
    ASSERT_EQ (SimulatedPreset::getParamInfo (ampBlock, free->paramId).getKind(), B_LIN);
    auto* readout = freeKnob->getReadout();
    ASSERT_NE (readout, nullptr);
    ASSERT_TRUE (freeKnob->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    auto* entry = readout->getEditor();
    ASSERT_NE (entry, nullptr);
    entry->setText ({}, false);
    entry->insertTextAtCaret ("7.25");
    readout->keyPressed (juce::KeyPress (juce::KeyPress::returnKey), entry);
    auto unitHolds = [&] (juce::uint16 expected)
    {
        juce::uint16 value = 0;
        return unit.getEditBuffer().getParam (ampBlock, free->paramId, value) && value == expected;
    };
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unitHolds (47512) && readout->getText() == "7.25"; }))
        << readout->getText();
    ASSERT_TRUE (settle());
    saveScreenshot (*editor, "editor-typed-value");

    // While the tuner shows or communication is paused, no widget of the
    // editor takes a click; afterwards every one does again.
    auto widgetsEnabled = [&] (bool enabled)
    {
        juce::Array<juce::Component*> widgets{ editor->getXYToggle(), editor->getEffectTypeDropDown(),
                                               editor->getLibraryDropDown() };
        for (auto* child : editor->getChildren())
            if (editor->isPageTab (child) && child->isVisible())
                widgets.add (child);
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            if (auto* c = dynamic_cast<juce::Component*> (editor->getPageControl (i)))
                if (dynamic_cast<ZOLLabelComponent*> (c) == nullptr)
                    widgets.add (c);
        widgets.removeAllInstancesOf (nullptr);
        return widgets.size() > 6 &&
               std::all_of (widgets.begin(), widgets.end(), [enabled] (auto* w) { return w->isEnabled() == enabled; });
    };
    auto* tuner = content->getPaneAs<TunerContent> (ContentPane::tuner);
    ASSERT_NE (tuner, nullptr);
    ASSERT_TRUE (widgetsEnabled (true));
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (DialogCommands::tunerCommandId, false));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return widgetsEnabled (false); }));
    EXPECT_TRUE (tuner->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return widgetsEnabled (true); }));
    ASSERT_TRUE (settle());
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (DialogCommands::pauseCommandId, false));
    EXPECT_TRUE (widgetsEnabled (false));
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (DialogCommands::pauseCommandId, false));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return widgetsEnabled (true); }));
    ASSERT_TRUE (settle());

    // The unit asks for a resync: an open list of amp types goes.
    auto* types = editor->getEffectTypeDropDown();
    ASSERT_NE (types, nullptr);
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::shiftModifier);
    types->showMenu();
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    ASSERT_TRUE (types->isListOpen());
    unit.sendResync();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! types->isListOpen(); }));
    ASSERT_TRUE (settle());

    // The X/Y switch shows the block's state, also after a Toggle X/Y from the keyboard.
    auto* xySwitch = editor->getXYToggle()->getToggle();
    ASSERT_NE (xySwitch, nullptr);
    const int scene = unit.getCurrentScene();
    auto unitOnX = [&] { return unit.getEditBuffer().findBlock (ampBlock)->onX[(size_t) scene]; };
    EXPECT_EQ (xySwitch->getToggleState(), unitOnX());
    const bool wasOnX = unitOnX();
    ASSERT_TRUE (program.window->getCommandManager().getKeyMappings()->keyPressed (juce::KeyPress ('X'), program.window->getContent()));
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unitOnX() != wasOnX; }));
    ASSERT_TRUE (settle());
    EXPECT_EQ (xySwitch->getToggleState(), unitOnX());

    // The cab choices are the unit's cabs; a renamed user cab shows once the names are read again.
    ASSERT_TRUE (grid->selectCell (cabCell));
    ASSERT_TRUE (settle());
    auto* cabList = dynamic_cast<ZOLDropDownEx*> (findControl ([] (ZOLEffectParam& c) { return c.paramId == 0; }));
    ASSERT_NE (cabList, nullptr);
    const int factory = unit.getNumFactoryCabs(), user = unit.getNumUserCabs();
    ASSERT_EQ (cabList->getNumItems(), factory + user + SimulatedKestrel::scratchpadCabCount);
    EXPECT_EQ (cabList->getItem (0)->shortText, "F001  ");
    EXPECT_EQ (cabList->getItem (factory)->shortText, "U001  ");
    EXPECT_EQ (cabList->getItem (factory + user)->shortText, "S001  ");
    unit.setCabName (factory, "Studio Pair");
    ASSERT_TRUE (presets->requestCabNames (false, true, false));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return cabList->getItem (factory)->text == "Studio Pair"; }));
    ASSERT_TRUE (settle());

    // A click on its field opens the large pick list, whose group tabs read in full.
    cabList->mouseDown (WidgetTestKit::mouse (*cabList, cabList->getFieldRect().getCentre()));
    auto* picker = content->getPresetPicker();
    ASSERT_NE (picker, nullptr);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return picker->isShowing(); }));
    juce::StringArray tabs;
    for (int tab = 0; tab < PresetListContent::numTabs; ++tab)
        if (auto* button = picker->getTabButton (tab); button != nullptr && button->isVisible())
        {
            tabs.add (button->getLabelText());
            const auto font = button->getLabelFont().withHeight (button->getLabelFontHeight());
            EXPECT_LE (font.getStringWidthFloat (button->getLabelText()),
                       (float) button->getWidth() - 2.0f * button->borderThickness)
                << button->getLabelText();
        }
    EXPECT_EQ (tabs.joinIntoString (","), "All,Factory,User,Scratchpad");
    saveScreenshot (*program.window, "cab-picker");
    ASSERT_TRUE (dynamic_cast<DropDownLargeList*> (cabList)->closeList());

    // The header names a block by its display name; neither the global
    // block nor the layout's MIDI page has a picture.
    for (int block : { blockIdGlobal, blockIdLayoutMidi })
    {
        editor->showBlock (block);
        EXPECT_FALSE (editor->getEffectIcon()->isVisible()) << block;
        EXPECT_EQ (editor->getEffectNameLabel()->getText(), getNameForId (BlockDisplayNames, (juce::uint32) block));
    }

    ASSERT_TRUE (settle());

    // A library entry changed but not written when the window closes.
    auto* unsaved = KestrelBlockLibraryManager::getInstance()->createEntry (EFFECT_DISTORT);
    ASSERT_NE (unsaved, nullptr);
    unsaved->name = "Kept";
    unsaved->paramData.setSize (64, true);
    unsaved->modified = 1;
    program.close();

    EXPECT_EQ (unsaved->modified, 0);
    EXPECT_TRUE (unsaved->file.existsAsFile());
}

// The grid's frame and the editor's header tell the same story after another
// preset, a scene change and a reconnection; the block's values and a switch
// to its other channel build the page anew from the unit.
TEST (EditorInMainWindow, TheGridsFrameAndTheEditorAgreeAndTheBlocksValuesBuildItsPage)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-window-agree" };
    auto& unit = program.unit;
    constexpr int ampCell = 0, ampBlock = 106, otherPreset = 5;

    // The amp's Y channel holds other values than its X channel; the other
    // preset holds the same blocks in the same cells.
    auto buffer = unit.getEditBuffer();
    auto& amp = *buffer.findBlock (ampBlock);
    const int scene = unit.getCurrentScene();
    amp.onX[(size_t) scene] = true;
    for (auto& value : amp.values[SimulatedPreset::channelX])
        value = 10000;
    for (auto& value : amp.values[SimulatedPreset::channelY])
        value = 50000;
    unit.setEditBuffer (buffer);
    unit.setPreset (otherPreset, buffer);

    ASSERT_TRUE (program.open());
    auto& window = *program.window;
    auto* content = program.content;
    auto* grid = program.grid;
    auto* editor = program.editor;
    auto* presets = program.presets;
    auto settle = [&] { return program.settle(); };

    // Either the framed tile's block is the one the editor shows, or no tile
    // is framed and the editor shows nothing.
    auto agree = [&]() -> ::testing::AssertionResult
    {
        int framed = -1;
        for (int cell = 0; cell < gridCellCount; ++cell)
            if (grid->getTile (cell)->current)
                framed = cell;
        const int shown = editor->getShownBlock();
        const auto header = editor->getEffectNameLabel()->getText();
        if (framed < 0 ? shown == 0 && header == "(Nothing Selected)" : grid->getTile (framed)->getBlockId() == shown)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "framed cell " << framed << ", editor shows " << shown << " "
                                             << header.quoted();
    };

    using Controls = std::vector<juce::Component::SafePointer<juce::Component>>;
    auto pageControls = [&]
    {
        Controls found;
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            found.emplace_back (dynamic_cast<juce::Component*> (editor->getPageControl (i)));
        return found;
    };
    auto allGone = [] (const Controls& controls)
    { return std::all_of (controls.begin(), controls.end(), [] (auto& c) { return c == nullptr; }); };
    auto knobShowing = [&] (int value)
    {
        for (int i = 0; i < editor->getNumPageControls(); ++i)
            if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (editor->getPageControl (i)))
                return std::abs (knob->getUnitValue() - value) < 1000;
        return false;
    };

    // The block's values build its page again, showing the unit's X values.
    ASSERT_TRUE (grid->selectCell (ampCell));
    const auto first = pageControls();
    ASSERT_FALSE (first.empty());
    ASSERT_TRUE (settle());
    EXPECT_GT (editor->getNumPageControls(), 0);
    EXPECT_TRUE (allGone (first));
    EXPECT_TRUE (knobShowing (10000));

    // Switched to Y: new controls show Y's values.
    const auto onX = pageControls();
    editor->getXYToggle()->postChangeCode (2);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! unit.getEditBuffer().findBlock (ampBlock)->onX[(size_t) scene]; }));
    ASSERT_TRUE (settle());
    EXPECT_TRUE (allGone (onX));
    EXPECT_TRUE (knobShowing (50000));
    EXPECT_TRUE (agree());

    // Another preset chosen on the unit: nothing is framed, nothing shown.
    unit.selectPresetOnUnit (otherPreset);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return presets->getCurrentPresetNumber() == otherPreset; }));
    ASSERT_TRUE (settle());
    EXPECT_TRUE (agree());
    EXPECT_EQ (editor->getShownBlock(), 0);

    // A scene change keeps the block shown.
    ASSERT_TRUE (grid->selectCell (ampCell));
    ASSERT_TRUE (settle());
    ASSERT_TRUE (presets->requestChangeScene ((juce::uint16) ((scene + 1) % SimulatedPreset::sceneCount)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return unit.getCurrentScene() != scene; }));
    ASSERT_TRUE (settle());
    EXPECT_TRUE (agree());
    EXPECT_EQ (editor->getShownBlock(), ampBlock);

    // So does losing the unit and finding it again.
    unit.vanish();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! window.isShowingConnected(); }));
    unit.reappear();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return window.isShowingConnected(); }));
    ASSERT_TRUE (settle());
    EXPECT_TRUE (agree());
    saveScreenshot (*content, "editor-agrees-with-grid");
}

// The unit holds an amp type and a cab the program's cached choices do not
// list (a unit with newer types): each field shows the unit's own text for
// it, the cab's before its list was ever opened, and nothing is written back.
TEST (EditorInMainWindow, AValueOutsideTheCachedChoicesShowsAsTheUnitNamesIt)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-window-newer-values" };
    auto& unit = program.unit;
    constexpr int ampCell = 0, cabCell = 4, ampBlock = 106, cabBlock = 108;
    const auto newerType = (juce::uint16) (SimulatedPreset::getValueTexts (ampBlock, 0).size() + 3);
    const auto unknownCab = (juce::uint16) 900;
    auto buffer = unit.getEditBuffer();
    ASSERT_TRUE (buffer.setParam (ampBlock, 0, newerType));
    ASSERT_TRUE (buffer.setParam (cabBlock, 0, unknownCab));
    unit.setEditBuffer (buffer);

    ASSERT_TRUE (program.open());
    auto* grid = program.grid;
    auto* editor = program.editor;
    const int sets = unit.countReceived (SYSEX_PARAM_SET);

    ASSERT_TRUE (grid->selectCell (ampCell));
    ASSERT_TRUE (program.settle());
    auto* types = editor->getEffectTypeDropDown();
    ASSERT_NE (types, nullptr);
    ASSERT_GT (types->getNumItems(), 0);
    EXPECT_EQ (types->getFieldText(), SimulatedPreset::getValueText (ampBlock, 0, newerType));
    EXPECT_EQ (types->getSelectedIndex(), -1) << "no other type is chosen";

    ASSERT_TRUE (grid->selectCell (cabCell));
    ASSERT_TRUE (program.settle());
    ZOLDropDownEx* cab = nullptr;
    for (int i = 0; i < editor->getNumPageControls(); ++i)
        if (auto* control = editor->getPageControl (i); control != nullptr && control->paramId == 0)
            cab = dynamic_cast<ZOLDropDownEx*> (control);
    ASSERT_NE (cab, nullptr);
    for (int i = 0; i < cab->getNumItems(); ++i)
        ASSERT_NE (cab->getItem (i)->value, unknownCab);
    EXPECT_EQ (cab->getFieldText(), SimulatedPreset::getValueText (cabBlock, 0, unknownCab));
    saveScreenshot (*program.window, "editor-cab-outside-the-list");

    // Its large pick list marks no cab as the current one either.
    cab->mouseDown (WidgetTestKit::mouse (*cab, cab->getFieldRect().getCentre()));
    auto* picker = program.content->getPresetPicker();
    ASSERT_NE (picker, nullptr);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return picker->isShowing() && ! picker->getShownItemIds().isEmpty(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (picker->getCellList()->getHighlightedCellIndex(), -1);
    saveScreenshot (*program.window, "cab-picker-no-current");
    ASSERT_TRUE (dynamic_cast<DropDownLargeList*> (cab)->closeList());

    pumpMessagesFor (300);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET), sets);
    juce::uint16 type = 0, cabNumber = 0;
    ASSERT_TRUE (unit.getEditBuffer().getParam (ampBlock, 0, type));
    ASSERT_TRUE (unit.getEditBuffer().getParam (cabBlock, 0, cabNumber));
    EXPECT_EQ (type, newerType);
    EXPECT_EQ (cabNumber, unknownCab);
}

// Preset > Save as Blocks in Library keeps an entry of each block of the grid
// that the unit let the program read in that run, and says it completed only
// when every one was read and kept. Blocks whose reading the unit refused or
// answered short are named in one box and get no entry, not even from an
// earlier reading. The shown block's Save goes by its own reading alone.
TEST (EditorInMainWindow, SaveAsBlocksInLibraryNamesTheBlocksTheUnitDidNotLetBeRead)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-save-all-blocks" };
    constexpr int ampBlock = 106, cabBlock = 108;
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    auto* library = KestrelBlockLibraryManager::getInstance();
    const juce::String completed ("Save all Blocks completed.");

    // The entries of the block's type, each of which its ".blk" file must hold.
    auto kept = [&] (int blockId)
    {
        int count = 0;
        for (int i = 0; i < library->getNumEntries(); ++i)
            if (auto* entry = library->getEntry (i); entry->effectType == effectTypeOfBlock (blockId))
            {
                BlockLibraryEntry written;
                EXPECT_TRUE (written.read (entry->file) == BlockLibraryEntry::okay && ! written.paramData.isEmpty()
                             && written.paramData == entry->paramData)
                    << entry->name;
                ++count;
            }
        return count;
    };
    auto saveAll = [&]
    {
        return program.window->getCommandManager().invokeDirectly (1102, false) && program.settle();
    };

    // Every block read: an entry each, holding the block's values.
    ASSERT_TRUE (saveAll());
    EXPECT_EQ (program.content->getBubbleText(), completed);
    EXPECT_EQ (program.notices.count(), 0) << program.notices.lastMessage();
    EXPECT_EQ (kept (ampBlock), 1);
    EXPECT_EQ (kept (cabBlock), 1);
    const auto unitPreset = unit.getEditBuffer();
    const auto& values = unitPreset.findBlock (ampBlock)->values;
    auto* amp = library->findEntryById (library->getLinkedEntryId (ampBlock));
    ASSERT_NE (amp, nullptr);
    EXPECT_EQ (amp->paramData.getSize(), 2 * (values[0].size() + values[1].size()));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.content->getBubbleText().isEmpty(); }));

    // Every reading refused: nothing kept, though both blocks were read before.
    unit.setErrorStatusFor (SYSEX_GET_ALL_PARAMS, SimulatedKestrel::resultBadValue);
    ASSERT_TRUE (saveAll());
    EXPECT_EQ (program.content->getBubbleText(), juce::String());
    ASSERT_EQ (program.notices.count(), 1);
    EXPECT_EQ (program.notices.lastMessage(), "Save as Blocks in Library: these blocks were not saved:\n"
                                              "The Kestrel refused the reading of Amp (error 1).\n"
                                              "The Kestrel refused the reading of Cab (error 1).\n"
                                              "No other block was saved.");
    EXPECT_EQ (kept (ampBlock), 1);
    EXPECT_EQ (kept (cabBlock), 1);

    // Only the amp's reading refused: the cab is kept, the box names the amp.
    unit.setErrorStatusFor (SYSEX_GET_ALL_PARAMS, 0);
    unit.setErrorStatusForBlock (SYSEX_GET_ALL_PARAMS, ampBlock, SimulatedKestrel::resultBadValue);
    ASSERT_TRUE (saveAll());
    EXPECT_EQ (program.content->getBubbleText(), juce::String());
    ASSERT_EQ (program.notices.count(), 2);
    EXPECT_EQ (program.notices.lastMessage(),
               "Save as Blocks in Library: the Kestrel refused the reading of Amp (error 1); it was not saved.\n"
               "1 other block was saved.");
    EXPECT_EQ (kept (ampBlock), 1);
    EXPECT_EQ (kept (cabBlock), 2);

    // The shown amp saved to its entry, its reading refused: said so, nothing stored.
    program.editor->showBlock (ampBlock);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1700, false) && program.settle());
    ASSERT_EQ (program.notices.count(), 3);
    EXPECT_EQ (program.notices.lastMessage(),
               "Save to Blocks Library: the Kestrel refused the reading of Amp (error 1); it was not saved.");
    EXPECT_EQ (kept (ampBlock), 1);

    // The amp's reading answered short (the amp is read first; the start of
    // its answer is lost on the way): not kept, though read whole before.
    unit.clearFaults();
    unit.corruptNextReplies (SYSEX_GET_ALL_PARAMS, 1);
    ASSERT_TRUE (saveAll());
    EXPECT_EQ (kept (ampBlock), 1) << "an earlier reading kept";
    EXPECT_EQ (kept (cabBlock), 3);
    ASSERT_EQ (program.notices.count(), 4) << program.content->getBubbleText();
    const juce::String shortAnswer ("the Kestrel did not answer the reading of Amp; it was not saved.");
    EXPECT_EQ (program.notices.lastMessage(),
               "Save as Blocks in Library: " + shortAnswer + "\n1 other block was saved.");

    // The shown amp's Save goes by its own reading, whole this time, not by
    // Save as Blocks': its entry takes the amp as the unit has it now.
    const auto before = library->findEntryById (library->getLinkedEntryId (ampBlock))->paramData;
    auto changed = unit.getEditBuffer();
    juce::uint16 value = 0;
    ASSERT_TRUE (changed.getParam (ampBlock, 1, value) && changed.setParam (ampBlock, 1, value == 0 ? 1 : value - 1));
    unit.setEditBuffer (changed, true);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1700, false) && program.settle());
    EXPECT_EQ (program.notices.count(), 4) << program.notices.lastMessage();
    EXPECT_EQ (kept (ampBlock), 1);
    amp = library->findEntryById (library->getLinkedEntryId (ampBlock));
    ASSERT_NE (amp, nullptr);
    juce::MemoryBlock unitAmp;
    for (auto& channel : changed.findBlock (ampBlock)->values)
        for (auto word : channel)
        {
            const juce::uint8 bytes[] = { (juce::uint8) (word & 0xff), (juce::uint8) (word >> 8) };
            unitAmp.append (bytes, sizeof (bytes));
        }
    EXPECT_TRUE (amp->paramData == unitAmp && amp->paramData != before);

    // Save as Blocks reads the amp whole; then the shown amp's Save As has
    // its own reading answered short: no new entry from the earlier reading.
    ASSERT_TRUE (saveAll());
    EXPECT_EQ (program.content->getBubbleText(), completed);
    EXPECT_EQ (kept (ampBlock), 2);
    unit.corruptNextReplies (SYSEX_GET_ALL_PARAMS, 1);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1701, false) && program.settle());
    EXPECT_EQ (kept (ampBlock), 2) << "an earlier reading kept";
    ASSERT_EQ (program.notices.count(), 5);
    EXPECT_EQ (program.notices.lastMessage(), "Save to Blocks Library: " + shortAnswer);
}
