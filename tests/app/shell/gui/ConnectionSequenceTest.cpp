#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/KestrelMenuBarModel.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/SnapshotList.h"
#include "app/dialogs/PausedCommContent.h"
#include "app/update/ProgramUpdateCheck.h"
#include "device/engines/NamedRequestTable.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/DumpTestData.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/SnapshotMenu.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/window/GenericDialogContent.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/CachedDefinitions.h"
#include "support/ConnectedProgram.h"
#include "support/FakeDesktopOpener.h"
#include "support/FifoFeeder.h"
#include "support/ManualClock.h"
#include "support/NoticeBoxes.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/lists/ZolScrollableListCtrl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{
juce::String hexList (const juce::Array<int>& functions)
{
    juce::StringArray texts;
    for (auto f : functions)
        texts.add (juce::String::toHexString (f).paddedLeft ('0', 2));
    return texts.joinIntoString (" ");
}

struct ShellRig
{
    ShellRig() { UserFolders::redirectTo (scratch.folder); }

    ~ShellRig()
    {
        window.reset();

        if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
            link->closePorts();

        UserFolders::redirectTo ({});
    }

    template <typename Condition>
    bool runUntil (Condition condition, int timeoutMs = 30000)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10)
        {
            if (condition())
                return true;

            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        }

        return condition();
    }

    void open (const SkinManager* skin = nullptr)
    {
        cacheDefinitionsOfTheSimulatedUnit();

        window = std::make_unique<MainAppWindow> ("Kestrel-Edit", skin);
        window->setVisible (true);
    }

    bool connected() const { return window->isShowingConnected(); }

    bool presetLoaded() const
    {
        auto* presetManager = PresetManager::getInstance();
        return presetManager->getCurrentPresetNumber() >= 0 && ! presetManager->getRequest (loadPreset).isRunning()
            && ! presetManager->getRequest (initialization).isRunning() && unit.countReceived (SYSEX_PATCHNUM) > 0;
    }

    // The function bytes the unit received, in order, up to the first
    // message of "Load Preset"; an identification query first is optional.
    juce::String connectFunctions() const
    {
        juce::Array<int> functions;

        for (auto& message : unit.getReceived())
        {
            if (message.getRawDataSize() <= sysExFunctionOffset)
                continue;

            const int function = message.getRawData()[sysExFunctionOffset];

            if (functions.isEmpty() && function == SYSEX_WHO_AM_I)
                continue;

            functions.add (function);

            if (functions.size() == 7)
                break;
        }

        return hexList (functions);
    }

    ScratchFolder scratch{ "kestrel-shell" };
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    SimulatedKestrel unit{ backend };
    std::unique_ptr<MainAppWindow> window;
};

// A whole preset at its head, padded one byte past 4 MB with bytes the
// reader would skip: read whole, it would be pasted.
dumptest::Bytes presetPaddedPastTheLimit()
{
    auto dump = dumptest::makeDump (dumptest::makePresetData (8192, "Huge"), SimulatedKestrel::model);
    dump.resize ((size_t) 4 * 1024 * 1024 + 1, 0);
    return dump;
}
} // namespace

TEST (ConnectionSequence, IdentifiesInitialisesAndLoadsThePresetAndReconnectsAfterAReplug)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();

    ASSERT_TRUE (rig.runUntil ([&] { return rig.connected(); }));
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }))
        << rig.unit.countReceived (SYSEX_QUERY_VERSION) << " " << rig.unit.countReceived (SYSEX_PATCHNUM) << " "
        << PresetManager::getInstance()->getStatus() << " " << PresetManager::getInstance()->getCurrentPresetNumber()
        << " " << rig.notices.lastMessage();
    EXPECT_EQ (rig.unit.countReceived (SYSEX_QUERY_VERSION), 1);
    const auto connectOrder = hexList ({ SYSEX_QUERY_VERSION, SYSEX_GET_SYSINFO, SYSEX_PATCHNUM, SYSEX_SET_SCENE,
                                         SYSEX_GET_MIDI_CHANNEL, SYSEX_QUERY_STATES, SYSEX_GET_GRID });
    EXPECT_EQ (rig.connectFunctions(), connectOrder);
    // The editor took the definitions from the cache and told the block
    // library which unit is connected.
    EXPECT_EQ (rig.unit.countReceived (SYSEX_GET_PARAM_INFO), 0);
    EXPECT_EQ (KestrelBlockLibraryManager::getInstance()->getConnectedModelId(), 8);
    EXPECT_EQ (rig.notices.count(), 0) << rig.notices.lastMessage();
    EXPECT_TRUE (PresetManager::getInstance()->getCurrentPresetName().isNotEmpty());
    saveScreenshot (*rig.window, "shell-connected");

    // Unplugged: the title says so; plugged back in: the sequence runs again.
    rig.backend.removeDevice (rig.unit.getDeviceName());
    ASSERT_TRUE (rig.runUntil ([&] { return ! rig.connected(); }, 8000));

    rig.unit.clearReceived();
    rig.backend.addDevice (rig.unit.getDeviceName());
    ASSERT_TRUE (rig.runUntil ([&] { return rig.connected(); }, 8000));
    EXPECT_TRUE (rig.runUntil ([&] { return rig.unit.countReceived (SYSEX_QUERY_VERSION) == 1 && rig.presetLoaded(); }));
    EXPECT_EQ (rig.connectFunctions(), connectOrder);
}

TEST (ConnectionSequence, AnIncompatibleUnitIsToldClosedAndForgottenUntilItIsPluggedInAgain)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.unit.setFirmware (5, 0);
    rig.open();

    ASSERT_TRUE (rig.runUntil ([&] { return rig.notices.count() > 0; }));
    EXPECT_EQ (rig.notices.lastMessage(), "Incompatible Firmware Version");
    auto* link = ZOLMidiProcessing::getInstance();
    EXPECT_FALSE (link->getPorts().isInputOpen());
    EXPECT_FALSE (link->getPorts().isOutputOpen());
    EXPECT_EQ (rig.unit.countReceived (SYSEX_PATCHNUM), 0) << "no Initialization for a unit we cannot edit";

    // The port retry leaves the forgotten ports alone.
    rig.runUntil ([] { return false; }, 2500); // ports closed and told already: time for two retries (once a second)
    EXPECT_FALSE (link->getPorts().isInputOpen());
    EXPECT_EQ (rig.notices.count(), 1);

    // Updated and plugged in again, the unit connects.
    rig.unit.setFirmware (6, 0);
    rig.backend.removeDevice (rig.unit.getDeviceName());
    link->getPorts().refreshDeviceLists();
    // A retry sees the device gone.
    ASSERT_TRUE (rig.runUntil ([&] { return ! rig.window->getLinkTicker()->isForgettingPorts(); }));
    rig.backend.addDevice (rig.unit.getDeviceName());
    link->getPorts().refreshDeviceLists();
    EXPECT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }, 8000));
    EXPECT_EQ (rig.notices.count(), 1);
}

TEST (ConnectionSequence, ClosingWhileConnectedSaysGoodbyeAndEndsEvenWhenTheUnitIsSilent)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));

    {
        // The program's clock stands still: only the unit's answer ends the closing.
        ManualClock still (juce::Time::getMillisecondCounter());
        ManualClock::Installed installed (still);
        rig.window->closeButtonPressed();
        EXPECT_TRUE (rig.window->isClosing());
        ASSERT_TRUE (rig.runUntil ([&] { return ! rig.window->isClosing(); }));
        EXPECT_EQ (rig.unit.countReceived (SYSEX_EDITOR_DISCONNECT), 1);
    }

    // A silent unit: the window still closes once its bound has passed on
    // the program's clock, however long the machine takes.
    rig.window.reset();
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.connected(); }));
    rig.unit.setSilent (true);
    ManualClock clock (juce::Time::getMillisecondCounter());
    ManualClock::Installed installed (clock);
    rig.window->closeButtonPressed();
    EXPECT_TRUE (rig.window->isClosing());
    clock.advance (MainAppWindow::disconnectTimeoutMs);
    EXPECT_TRUE (rig.runUntil ([&] { return ! rig.window->isClosing(); }));
}

TEST (CommandTarget, RegistersEveryCommandWithItsTextsAndKeysAndRunsFrontPanelCommandsOnTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    auto& manager = rig.window->getCommandManager();

    auto* save = manager.getCommandForID (1118);
    ASSERT_NE (save, nullptr);
    EXPECT_EQ (save->shortName, "Save Preset");
    EXPECT_EQ (save->defaultKeypresses[0], juce::KeyPress ('S', juce::ModifierKeys::ctrlModifier, 0));
    ASSERT_NE (manager.getCommandForID (1303), nullptr);
    EXPECT_EQ (manager.getCommandForID (1303)->defaultKeypresses[0], juce::KeyPress ('M', juce::ModifierKeys (3), 0));
    EXPECT_NE (manager.getCommandForID (2229), nullptr) << "the last of the twelve tables";
    EXPECT_NE (manager.getCommandForID (2401), nullptr) << "preset buttons have their keys";

    juce::String tooltip;
    ASSERT_TRUE (KestrelCommandTarget::getInstance()->getCommandTooltip (1301, tooltip));
    EXPECT_TRUE (tooltip.startsWith ("Show Tuner [")) << tooltip;

    auto* menus = rig.window->getMenuBarModel();
    ASSERT_NE (menus, nullptr);
    EXPECT_EQ (menus->getMenuBarNames(), juce::StringArray ({ "Preset", "Block", "Tools", "Settings", "Help" }));

    // Offline, a unit command is refused.
    auto* target = KestrelCommandTarget::getInstance();
    EXPECT_FALSE (target->invokeCommand (1112));

    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* presetManager = PresetManager::getInstance();

    // Scene 4, then preset 3 of the bank.
    ASSERT_TRUE (target->invokeCommand (1112));
    ASSERT_TRUE (rig.runUntil ([&] {
        juce::uint16 preset = 0, scene = 0;
        return presetManager->getCurrentPresetAndScene (preset, scene) && scene == 3;
    }));

    const auto before = presetManager->getCurrentPresetNumber();
    ASSERT_TRUE (target->invokeCommand (2403));
    EXPECT_TRUE (rig.runUntil ([&] { return presetManager->getCurrentPresetNumber() == (before / 8) * 8 + 2; }));
    saveScreenshot (*rig.window, "shell-menus");
}

// Save to New Preset Number, as the user goes: a quick click on the slot in
// the preset list, Save, and the question before another preset is replaced.
TEST (CommandTarget, SaveToNewPresetNumberAsksBeforeReplacingAndSavesWhereAQuickClickPicks)
{
    KESTREL_REQUIRE_DISPLAY();
    SkinManager skin; // the preset list's widgets come from the skin; it outlives the window
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    // The program's own look, whose dialog asks the question.
    struct ProgramLook
    {
        explicit ProgramLook (const SkinManager& from)
        {
            look.loadFromSkin (&from);
            juce::LookAndFeel::setDefaultLookAndFeel (&look);
        }
        ~ProgramLook() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
        ZolLookAndFeel look;
    } programLook (skin);
    ShellRig rig;
    auto old = rig.unit.getPreset (12);
    old.name = "Old Twelve";
    rig.unit.setPreset (12, old);
    rig.open (&skin);
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* presetManager = PresetManager::getInstance();
    const auto name = presetManager->getCurrentPresetName().trim();
    ASSERT_NE (name, "Old Twelve");
    ASSERT_TRUE (rig.runUntil ([&] { return ! presetManager->hasWork(); }));

    // A block is being edited.
    auto* content = rig.window->getContent();
    auto* grid = content->getPaneAs<GridUnitContent> (ContentPane::grid);
    auto* editor = content->getPaneAs<EffectEditorContent> (ContentPane::effectEditor);
    ASSERT_TRUE (grid != nullptr && editor != nullptr);
    ASSERT_TRUE (grid->selectCell (0));
    const int edited = editor->getShownBlock();
    ASSERT_NE (edited, 0);
    ASSERT_TRUE (rig.runUntil ([&] { return ! presetManager->hasWork(); }));

    auto* picker = content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker);
    ASSERT_NE (picker, nullptr);
    auto pickSlotAndSave = [&]() -> ::testing::AssertionResult
    {
        // As the menu and Ctrl+Shift+S run it: through the command manager, which refuses a disabled command.
        if (! rig.window->getCommandManager().invokeDirectly (1119, false))
            return ::testing::AssertionFailure() << "1119 refused";
        // It opens once the unit has said that it plays the preset shown.
        if (! rig.runUntil ([&] { return picker->isVisible() && picker->getMode() == PresetListContent::saveTo; },
                            10000))
            return ::testing::AssertionFailure() << "the preset list is not open to save";
        auto* cells = picker->getCellList();
        if (! rig.runUntil ([&] { return cells->isEnabled() && cells->findCellByItemId (12) != nullptr; }, 10000))
            return ::testing::AssertionFailure() << "slot 12 never listed";
        rig.runUntil ([] { return false; }, (int) PresetListContent::pickGuardMs + 50);
        auto* cell = cells->findCellByItemId (12);
        cells->scrollCellIntoView (cell);
        if (! clickBackToBack (*cell))
            return ::testing::AssertionFailure() << "no window to click in";
        if (! rig.runUntil ([&] { return cell->isSelected(); }, 10000))
            return ::testing::AssertionFailure() << "a quick click selected nothing";
        picker->getSaveButton()->triggerClick();
        return ::testing::AssertionSuccess();
    };

    // The slot holds another preset: the question names it, and No keeps it.
    const int saves = rig.unit.countReceived (SYSEX_SAVE_PATCH);
    ASSERT_TRUE (pickSlotAndSave());
    ASSERT_TRUE (rig.runUntil ([&] { return rig.notices.count() == 1; }, 10000)) << rig.notices.lastMessage();
    const auto question = rig.notices.get (0);
    EXPECT_EQ (question.buttons, Notice::Buttons::yesNo);
    EXPECT_EQ (question.title, "Replace Preset");
    juce::String number, bank, preset;
    ASSERT_TRUE (formatPresetNumber (12, {}, number, bank, preset));
    EXPECT_EQ (question.message, "Are you sure you want to replace preset (" + number.trim() + ") \"Old Twelve\" with \""
                                     + name + "\"?");
    rig.notices.answer (0, 0);
    ASSERT_TRUE (rig.runUntil ([&] { return ! presetManager->hasWork(); }));
    rig.runUntil ([] { return false; }, 300);
    EXPECT_EQ (rig.unit.getPreset (12).name.trim(), "Old Twelve");
    EXPECT_EQ (rig.unit.countReceived (SYSEX_SAVE_PATCH), saves);

    // Yes in the box, which stands over the window wherever the window is,
    // saves there, and the edited block stays in view.
    {
        ShownNotices shown;
        moveToTheScreensCorner (*rig.window);
        ASSERT_TRUE (pickSlotAndSave());
        ASSERT_TRUE (rig.runUntil ([&] { return shownNoticeBoxes().size() == 1; }, 10000));
        auto* box = dynamic_cast<juce::DialogWindow*> (shownNoticeBoxes().getFirst());
        ASSERT_NE (box, nullptr);
        EXPECT_TRUE (standsCentredOver (*box, *rig.window));
        auto* asked = dynamic_cast<GenericDialogContent*> (box->getContentComponent());
        ASSERT_NE (asked, nullptr);
        ASSERT_EQ (asked->getNumAnswers(), 2);
        EXPECT_EQ (asked->getAnswerButton (0)->mainLabel.text, "Yes");
        asked->getAnswerButton (0)->handlePress (true, false, false);
    }
    EXPECT_TRUE (rig.runUntil ([&] { return rig.unit.getPreset (12).name.trim() == name; }, 10000))
        << rig.unit.getPreset (12).name;
    EXPECT_TRUE (rig.runUntil ([&] { return rig.unit.getCurrentPresetNumber() == 12; }, 10000));
    EXPECT_TRUE (rig.runUntil ([&] { return presetManager->getCurrentPresetNumber() == 12 && ! presetManager->hasWork(); }));
    EXPECT_TRUE (rig.runUntil ([&] { return editor->getShownBlock() == edited && grid->getSelectedCell() == 0; }, 10000))
        << editor->getShownBlock() << " shown, cell " << grid->getSelectedCell() << " framed";
    EXPECT_TRUE (grid->getTile (0)->current);
    saveScreenshot (*rig.window, "save-to-new-preset-number");
}

TEST (CommandTarget, BlockCommandsAreDisabledWhileAnEmptyCellIsSelected)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* grid = rig.window->getContent()->getPaneAs<GridUnitContent> (ContentPane::grid);
    ASSERT_NE (grid, nullptr);
    auto& manager = rig.window->getCommandManager();
    const auto active = [&] (int id)
    {
        juce::ApplicationCommandInfo info (id);
        return manager.getTargetForCommand (id, info) != nullptr && (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    };

    int empty = -1, filled = -1;
    for (int cell = 0; cell < 48 && (empty < 0 || filled < 0); ++cell)
    {
        grid->selectCell (cell);
        auto& found = grid->getSelectedBlockId() == 0 ? empty : filled;
        found = found < 0 ? cell : found;
    }
    ASSERT_GE (empty, 0);
    ASSERT_GE (filled, 0);

    grid->selectCell (empty);
    for (int id : { 1200, 1201, 1203, 1204, 1206, 1207, 1208, 1210 })
        EXPECT_FALSE (active (id)) << id;
    EXPECT_FALSE (manager.invokeDirectly (1203, false));

    grid->selectCell (filled);
    for (int id : { 1200, 1201, 1203, 1204, 1206, 1207, 1208, 1210 })
        EXPECT_TRUE (active (id)) << id;
}

TEST (CommandTarget, CatchesUpAPresetChangeHeldBackAndPausesCommunication)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* presetManager = PresetManager::getInstance();
    auto* target = KestrelCommandTarget::getInstance();
    const auto before = presetManager->getCurrentPresetNumber();
    const auto chosen = before == 20 ? 21 : 20;

    // A preset chosen on the unit while the editor holds changes back is
    // counted, and asked for once the hold ends.
    presetManager->setPresetChangeHold (true);
    presetManager->setResyncHold (true);
    rig.unit.selectPresetOnUnit (chosen);
    ASSERT_TRUE (rig.runUntil ([&] { return presetManager->getDeferredPresetChanges() > 0; }));
    EXPECT_EQ (presetManager->getCurrentPresetNumber(), before);

    target->releasePresetHolds();
    EXPECT_FALSE (presetManager->isPresetChangeHeld());
    EXPECT_TRUE (rig.runUntil ([&] { return presetManager->getCurrentPresetNumber() == chosen && rig.presetLoaded(); }));

    // Pause Communications holds the link's queue until it is chosen again.
    ASSERT_TRUE (rig.window->getCommandManager().invokeDirectly (1404, false));
    EXPECT_TRUE (rig.window->isCommunicationPaused());
    rig.window->tick();
    EXPECT_TRUE (ZOLMidiProcessing::getInstance()->isHeld());
    ASSERT_TRUE (rig.window->getCommandManager().invokeDirectly (1404, false));
    rig.window->tick();
    EXPECT_FALSE (ZOLMidiProcessing::getInstance()->isHeld());
}

TEST (CommandTarget, ImportsAPresetFileAndRefusesWhatTheUnitCannotTake)
{
    KESTREL_REQUIRE_DISPLAY();
    using namespace dumptest;
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* target = KestrelCommandTarget::getInstance();

    auto write = [&] (const juce::String& name, const Bytes& bytes)
    {
        auto file = rig.scratch.folder.getChildFile (name);
        file.replaceWithData (bytes.data(), bytes.size());
        return file;
    };

    const auto dump = makeDump (makePresetData (8192, "Imported"), SimulatedKestrel::model);
    const auto whole = write ("whole.syx", dump);
    const auto truncated = write ("truncated.syx", Bytes (dump.begin(), dump.begin() + (long) dump.size() / 2));
    const auto cab = write ("cab.syx", makeCabDump (SimulatedKestrel::model, 1, "Cab", 0));
    rig.unit.clearReceived();

    // Refused before anything is sent.
    EXPECT_FALSE (target->importPresetFile (truncated, false));
    EXPECT_EQ (rig.notices.lastMessage(), juce::String (PresetManager::damagedPresetText));
    EXPECT_FALSE (target->importPresetFile (cab, false));
    EXPECT_EQ (rig.notices.lastMessage(), "Unable to import.\nThe selected file is a User Cab.");
    EXPECT_FALSE (target->importPresetFile (rig.scratch.folder.getChildFile ("vanished.syx"), false));
    EXPECT_TRUE (rig.notices.lastMessage().startsWith ("Unable to import.\nThe selected file could not be read"));
    rig.runUntil ([] { return false; }, 200); // refused and told already: nothing may follow
    EXPECT_EQ (rig.unit.countReceived (SYSEX_PATCH_START), 0);
    EXPECT_EQ (rig.notices.count(), 3);

    // A whole preset is pasted, and its folder remembered.
    ASSERT_TRUE (target->importPresetFile (whole, true));
    EXPECT_EQ (KestrelGlobalConfiguration::getInstance()->MRU_DIR_IMPORT, rig.scratch.folder.getFullPathName());
    EXPECT_TRUE (rig.runUntil ([&] { return rig.unit.countReceived (SYSEX_PATCH_START) == 1
                                            && ! PresetManager::getInstance()->getRequest (pastePreset).isRunning(); },
                               10000));
    EXPECT_EQ (rig.notices.count(), 3) << rig.notices.lastMessage();
}

TEST (CommandTarget, AFileTooLargeForAPresetIsRefusedOnEveryRoadWithAMessage)
{
    KESTREL_REQUIRE_DISPLAY();
    using namespace dumptest;
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* target = KestrelCommandTarget::getInstance();

    const auto dump = presetPaddedPastTheLimit();
    const auto huge = rig.scratch.folder.getChildFile ("huge.syx");
    ASSERT_TRUE (huge.replaceWithData (dump.data(), dump.size()));
    rig.unit.clearReceived();

    EXPECT_FALSE (target->importPresetFile (huge, false));
    EXPECT_EQ (rig.notices.lastMessage(),
               "Unable to import.\nThe selected file is too large to be a preset file:\n" + huge.getFullPathName());

    rig.window->getContent()->getFrontPanel()->filesDropped ({ huge.getFullPathName() }, 10, 10);
    EXPECT_EQ (rig.notices.count(), 2);

    // The snapshot's box shows the path's control characters escaped.
    const auto hugeSnapshot = rig.scratch.folder.getChildFile ("huge\x1b[2J\n.syx");
    ASSERT_TRUE (huge.copyFileTo (hugeSnapshot));
    auto* snapshots = SnapshotList::getInstance();
    snapshots->destroyElements();
    snapshots->insertAtStart ({ "huge", hugeSnapshot.getFullPathName() });
    EXPECT_TRUE (target->invokeCommand (0 * 65536 + 2003));
    ASSERT_EQ (rig.notices.count(), 3);
    EXPECT_EQ (rig.notices.get (2).title, "Load Snapshot");
    EXPECT_EQ (rig.notices.lastMessage(), "The snapshot file is too large to be a preset:\n"
                                              + rig.scratch.folder.getFullPathName() + "/huge\\x1B[2J\\x0A.syx");

    rig.runUntil ([] { return false; }, 200); // refused and told already: nothing may follow
    EXPECT_EQ (rig.unit.countReceived (SYSEX_PATCH_START), 0);
    snapshots->destroyElements();
}

#if JUCE_LINUX || JUCE_MAC
TEST (CommandTarget, AFifoOrADeviceIsRefusedOnEveryRoadWithoutWaiting)
{
    KESTREL_REQUIRE_DISPLAY();
    using namespace dumptest;
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* target = KestrelCommandTarget::getInstance();

    // A FIFO reports no size: fed a preset padded past the limit, it would be
    // read to its end; one nobody feeds, and a device, would keep the
    // program waiting or reading for ever.
    const auto dump = presetPaddedPastTheLimit();
    FifoFeeder fifo (rig.scratch.folder.getChildFile ("fed.syx"), juce::MemoryBlock (dump.data(), dump.size()));
    ASSERT_TRUE (fifo.made);
    rig.unit.clearReceived();

    rig.window->getContent()->getFrontPanel()->filesDropped ({ fifo.file.getFullPathName() }, 10, 10);
    ASSERT_EQ (fifo.readersFed, 0) << "never opened";
    ASSERT_EQ (rig.notices.count(), 1);
    ASSERT_EQ (rig.notices.lastMessage(),
               "Unable to import.\nThe selected file could not be read:\n" + fifo.file.getFullPathName());

    // A link to the device, named with control characters, is told with
    // them escaped.
    const auto link = rig.scratch.folder.getChildFile ("zero\x1b[2J\n.syx");
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (link, false));
    auto* snapshots = SnapshotList::getInstance();
    snapshots->destroyElements();
    for (const auto& [path, shown] : { std::pair (fifo.file.getFullPathName(), fifo.file.getFullPathName()),
                                       std::pair (juce::String ("/dev/zero"), juce::String ("/dev/zero")),
                                       std::pair (link.getFullPathName(), rig.scratch.folder.getFullPathName()
                                                                              + "/zero\\x1B[2J\\x0A.syx") })
    {
        snapshots->insertAtStart ({ "odd", path });
        EXPECT_TRUE (target->invokeCommand (0 * 65536 + 2003));
        ASSERT_EQ (rig.notices.get (rig.notices.count() - 1).title, "Load Snapshot");
        ASSERT_EQ (rig.notices.lastMessage(), "Unable to read snapshot file:\n" + shown);
    }

    rig.runUntil ([] { return false; }, 200); // refused and told already: nothing may follow
    EXPECT_EQ (rig.notices.count(), 4);
    EXPECT_EQ (rig.unit.countReceived (SYSEX_PATCH_START), 0);
    EXPECT_EQ (fifo.readersFed, 0);
    snapshots->destroyElements();
}
#endif

TEST (CommandTarget, LoadsAndForgetsSnapshots)
{
    KESTREL_REQUIRE_DISPLAY();
    using namespace dumptest;
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* target = KestrelCommandTarget::getInstance();
    auto* snapshots = SnapshotList::getInstance();
    snapshots->destroyElements();

    const auto dump = makeDump (makePresetData (8192, "Snap"), SimulatedKestrel::model);
    auto kept = rig.scratch.folder.getChildFile ("kept.syx");
    kept.replaceWithData (dump.data(), dump.size());
    auto empty = rig.scratch.folder.getChildFile ("empty\x1b[2J.syx");
    ASSERT_TRUE (empty.create().wasOk() && empty.getSize() == 0);
    auto gone = rig.scratch.folder.getChildFile ("gone\x1b[2J\n.syx");
    snapshots->insertAtStart ({ "kept", kept.getFullPathName() });
    snapshots->insertAtStart ({ "empty", empty.getFullPathName() });
    snapshots->insertAtStart ({ "gone", gone.getFullPathName() });
    rig.unit.clearReceived();

    // The newest, whose file vanished, is reported, its path's control
    // characters escaped, and forgotten.
    EXPECT_TRUE (target->invokeCommand (0 * 65536 + 2003));
    ASSERT_EQ (rig.notices.count(), 1);
    EXPECT_EQ (rig.notices.get (0).title, "Load Snapshot");
    EXPECT_EQ (rig.notices.lastMessage(), "Unable to locate snapshot file:\n" + rig.scratch.folder.getFullPathName()
                                              + "/gone\\x1B[2J\\x0A.syx");
    ASSERT_EQ (snapshots->size(), 2);
    EXPECT_EQ (snapshots->getPair (0).first, "empty");

    // An empty file holds no preset: refused under the same title, naming
    // the file, and nothing reaches the unit.
    EXPECT_TRUE (target->invokeCommand (0 * 65536 + 2003));
    rig.runUntil ([] { return false; }, 200); // refused and told already: nothing may follow
    ASSERT_EQ (rig.notices.count(), 2);
    EXPECT_EQ (rig.notices.get (1).title, "Load Snapshot");
    EXPECT_EQ (rig.notices.lastMessage(), "The snapshot file is empty and holds no preset:\n"
                                              + rig.scratch.folder.getFullPathName() + "/empty\\x1B[2J.syx");
    EXPECT_EQ (rig.unit.countReceived (SYSEX_PATCH_START), 0);

    // The other is sent to the unit.
    EXPECT_TRUE (target->invokeCommand (1 * 65536 + 2003));
    EXPECT_TRUE (rig.runUntil ([&] { return rig.unit.countReceived (SYSEX_PATCH_START) == 1; }));

    EXPECT_TRUE (rig.window->getCommandManager().invokeDirectly (1901, false));
    EXPECT_TRUE (snapshots->isEmpty());
}

// Paused, a snapshot chosen from the menu is not loaded: the user is told
// how to resume, the way the text names resumes, and nothing reaches the unit.
TEST (CommandTarget, WhilePausedLoadSnapshotSaysHowToResumeAndTheUnitKeepsItsPreset)
{
    KESTREL_REQUIRE_DISPLAY();
    using namespace dumptest;
    ConnectedProgram program{ "kestrel-paused-snapshot" };
    ASSERT_TRUE (program.open());
    auto* snapshots = SnapshotList::getInstance();
    snapshots->destroyElements();
    const auto dump = makeDump (makePresetData (8192, "Snap"), SimulatedKestrel::model);
    const auto file = program.scratch.folder.getChildFile ("snap.syx");
    ASSERT_TRUE (file.replaceWithData (dump.data(), dump.size()));
    snapshots->insertAtStart ({ "snap", file.getFullPathName() });
    snapshots->insertAtStart ({ "newer", file.getFullPathName() });

    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1404, false));
    ASSERT_TRUE (program.window->isCommunicationPaused());
    const auto words = program.unit.getEditBuffer().toWords();
    program.unit.clearReceived();
    const int before = program.notices.count();

    program.window->getMenuBarModel()->menuItemSelected (1 * 65536 + loadSnapshotCommandId, 0);
    pumpPostedMessages();
    ASSERT_EQ (program.notices.count(), before + 1);
    EXPECT_EQ (program.notices.lastMessage(), KestrelCommandTarget::communicationsPausedText());
    // It names only what resumes while paused: the menu bar opens nothing then.
    const auto told = program.notices.lastMessage();
    EXPECT_TRUE (told.contains ("press F8, click the box in the middle of the paused window or the pause button in "
                                "the title bar")) << told;
    EXPECT_FALSE (told.contains ("Settings")) << told;

    // Each of them resumes: F8, the title bar's pause button, and the box below.
    auto resumed = [&]
    { return pumpMessagesUntil ([&] { return ! program.window->isCommunicationPaused(); }) && program.settle(); };
    ASSERT_NE (program.window->getPeer(), nullptr);
    program.window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::F8Key));
    ASSERT_TRUE (resumed());
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1404, false));
    ASSERT_NE (program.look.getPauseButton(), nullptr);
    ASSERT_TRUE (program.look.getPauseButton()->isShowing());
    program.look.getPauseButton()->triggerClick();
    ASSERT_TRUE (resumed());
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1404, false));
    ASSERT_TRUE (program.window->isCommunicationPaused());

    auto* overlay = program.content->getPaneAs<PausedCommContent> (ContentPane::pauseOverlay);
    ASSERT_NE (overlay, nullptr);
    ASSERT_TRUE (overlay->getBoxBounds().contains (overlay->getLocalBounds().getCentre()));
    ASSERT_TRUE (clickBackToBack (*overlay));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! program.window->isCommunicationPaused(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0);
    EXPECT_TRUE (program.unit.getEditBuffer().toWords() == words) << "the unit's preset changed";
    EXPECT_EQ (snapshots->size(), 2);
    snapshots->destroyElements();
}

TEST (CommandTarget, GreysOutCommandsWithoutABehaviourAndOpensTheReleaseNotesBesideTheProgram)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    auto* target = KestrelCommandTarget::getInstance();

    auto isActive = [&] (int id)
    {
        juce::ApplicationCommandInfo info (id);
        target->getCommandInfo (id, info);
        return (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    };

    EXPECT_TRUE (isActive (1301)) << "a connected unit's commands stay enabled";
    EXPECT_TRUE (isActive (2301));
    // The librarian's browser menus are not built: nothing performs their commands.
    for (int id : { 1300, 1405, 2200, 2207, 2208, 2209, 2229 })
        EXPECT_FALSE (isActive (id)) << id;

    // The notes are the PDF installed beside the program, never a copy: the
    // program that an update installs shows its own notes.
    juce::File opened;
    const auto realOpener = KestrelCommandTarget::openDocument;
    KestrelCommandTarget::openDocument = [&] (const juce::File& file) { opened = file; return true; };
    EXPECT_TRUE (isActive (2302));
    EXPECT_TRUE (rig.window->getCommandManager().invokeDirectly (2302, false));
    KestrelCommandTarget::openDocument = realOpener;

    EXPECT_EQ (opened.getFullPathName(), juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                                             .getSiblingFile ("Kestrel-Edit-Release-Notes.pdf")
                                             .getFullPathName());
    juce::MemoryBlock pdf;
    ASSERT_TRUE (opened.loadFileAsData (pdf));
    const std::string bytes (static_cast<const char*> (pdf.getData()), pdf.getSize());
    EXPECT_EQ (bytes.rfind ("%PDF-", 0), 0u);
    const auto title = "/Title (Kestrel-Edit " + ProgramUpdateCheck::installedVersionText() + " - Release Notes)";
    EXPECT_NE (bytes.find (title.toStdString()), std::string::npos) << "the notes of this version";
    EXPECT_EQ (rig.notices.count(), 0) << rig.notices.lastMessage();
    EXPECT_EQ (UserFolders::getWorkFolder().getNumberOfChildFiles (juce::File::findFiles, "*Release*"), 0);
}

// What "Get Sysex File Information..." cannot read gets a warning under the
// box's title; an empty file, or one of another kind, is described as unknown.
TEST (CommandTarget, SysExFileInformationAnswersAFileItCannotDescribe)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ScriptedInteraction chooser;
    auto& commands = rig.window->getCommandManager();
    const auto folder = rig.scratch.folder;

    auto huge = dumptest::makeDump (dumptest::makePresetData (8192, "Huge"), SimulatedKestrel::model);
    huge.resize ((size_t) KestrelCommandTarget::largestPresetFileBytes + 1, 0);
    ASSERT_TRUE (folder.getChildFile ("huge.syx").replaceWithData (huge.data(), huge.size()));
    ASSERT_TRUE (folder.getChildFile ("empty.syx").create());
    ASSERT_TRUE (folder.getChildFile ("notes.syx").replaceWithText ("not a dump"));
    const auto pipe = folder.getChildFile ("pipe.syx");
    ASSERT_EQ (mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0) << "a pipe would never end";

    const juce::String unknown = "Device:        <unknown device>\nFile Type:    <unknown file type>";
    const std::pair<const char*, juce::String> cases[] = {
        { "huge.syx", "The file is too large to be a SysEx file of the Kestrel:\n" },
        { "pipe.syx", "The file could not be read:\n" },
        { "vanished.syx", "The file could not be read:\n" },
        { "empty.syx", unknown },
        { "notes.syx", unknown },
    };

    for (auto& [name, answer] : cases)
    {
        SCOPED_TRACE (name);
        const int before = rig.notices.count();
        const auto path = folder.getChildFile (name).getFullPathName();
        chooser.answerWithFile (folder.getChildFile (name));
        ASSERT_TRUE (commands.invokeDirectly (1316, false));
        ASSERT_EQ (rig.notices.count(), before + 1);
        const auto notice = rig.notices.get (before);
        EXPECT_EQ (notice.title, "Sysex Information");
        EXPECT_EQ (notice.message, answer.endsWith (":\n") ? answer + path : answer);
    }
}

#if JUCE_LINUX || JUCE_BSD
// The snapshot folder is handed, as it is, to the desktop's opener: a "$(...)"
// in the setting is never run by a shell. A desktop without an opener is
// named as the cause.
TEST (CommandTarget, OpensTheSnapshotFolderWithoutAShellOrSaysNothingCanOpenIt)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();

    const auto folder = rig.scratch.folder.getChildFile ("snaps $(touch x)");
    ASSERT_TRUE (folder.createDirectory());
    KestrelGlobalConfiguration::getInstance()->SNAPSHOTS_DIR = folder.getFullPathName();

    {
        FakeDesktopOpener opener (rig.scratch.folder);
        ASSERT_TRUE (opener.isReady());
        EXPECT_TRUE (rig.window->getCommandManager().invokeDirectly (1900, false));
        ASSERT_TRUE (rig.runUntil ([&] { return opener.getRecord().existsAsFile(); }, 10000));
        EXPECT_EQ (opener.getRecord().loadFileAsString(), "1\n" + folder.getFullPathName() + "\n");
        EXPECT_TRUE (opener.nothingNamed ("x"));
        EXPECT_EQ (rig.notices.count(), 0) << rig.notices.lastMessage();
    }

    // The box shows the path's control characters escaped.
    const auto odd = rig.scratch.folder.getChildFile ("snaps\x1b[2J\n");
    ASSERT_TRUE (odd.createDirectory());
    KestrelGlobalConfiguration::getInstance()->SNAPSHOTS_DIR = odd.getFullPathName();
    FakeDesktopOpener noOpener (rig.scratch.folder, FakeDesktopOpener::Kind::none);
    EXPECT_TRUE (rig.window->getCommandManager().invokeDirectly (1900, false));
    ASSERT_EQ (rig.notices.count(), 1);
    EXPECT_EQ (rig.notices.get (0).icon, Notice::Icon::warning);
    EXPECT_EQ (rig.notices.lastMessage(), "This computer has no program to open folders and documents with "
                                          "(\"xdg-open\" was not found).\nPlease open this yourself:\n"
                                              + rig.scratch.folder.getFullPathName() + "/snaps\\x1B[2J\\x0A");
}
#endif

// Without the unit a command shows enabled exactly when it would run: the
// block library's "Reveal" works offline.
TEST (CommandTarget, ACommandIsEnabledWithoutTheUnitExactlyWhenItRunsWithoutIt)
{
    KESTREL_REQUIRE_DISPLAY();
    ShellRig rig;
    rig.open();
    ASSERT_TRUE (rig.runUntil ([&] { return rig.presetLoaded(); }));
    rig.backend.removeDevice (rig.unit.getDeviceName());
    ASSERT_TRUE (rig.runUntil ([&] { return ! rig.connected(); }, 8000));

    auto* target = KestrelCommandTarget::getInstance();
    juce::ApplicationCommandInfo info (1704);
    target->getCommandInfo (1704, info);
    const bool enabled = (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    EXPECT_TRUE (enabled);
    EXPECT_EQ (target->invokeCommand (1704), enabled);
}
