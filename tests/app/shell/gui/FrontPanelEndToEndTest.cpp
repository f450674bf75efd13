#include "app/shell/ControlUnitContent.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/editor/EffectEditorContent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelMenuBarModel.h"
#include "app/shell/MainAppWindow.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/grid/GridUnitContent.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExFiles.h"
#include "device/wire/SysExFraming.h"
#include "model/IdTables.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLProgressBar.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/CachedDefinitions.h"
#include "support/ForgetSingletons.h"
#include "support/NoticeBoxes.h"
#include "support/ConnectedProgram.h"
#include "support/FrontPanelRoad.h"
#include "support/FastTicks.h"
#include "support/PresetDumpFile.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKestrel.h"
#include "support/SkippingClock.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

using namespace frontPanelRoad;

namespace
{
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
} // namespace

// The program's window, skin and command target against the simulated unit
// behind the port layer, used as a person would from the front panel.
TEST (FrontPanelEndToEnd, ConnectsChangesPresetAndSceneEditsSavesExportsAndSaysGoodbye)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-end-to-end" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    ScriptedInteraction interaction;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    SimulatedKestrel unit{ backend };

    forgetProgramSingletons(); // whatever an earlier program of this process left
    KestrelEditApplication app;
    app.initialise ({});
    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    auto* settings = KestrelGlobalConfiguration::getInstance();
    settings->MRU_DIRECTORY = scratch.folder.getFullPathName();
    auto* presetManager = PresetManager::getInstance();
    auto* content = window->getContent();
    ASSERT_NE (content, nullptr);
    auto* panel = content->getFrontPanel();
    ASSERT_NE (panel, nullptr);

    // Connect: the panel shows the unit's preset once it is loaded.
    ASSERT_TRUE (runUntil ([&] { return window->isShowingConnected(); }));
    ASSERT_TRUE (runUntil ([&] {
        return presetManager->getCurrentPresetNumber() >= 0 && panel->areControlsEnabled()
            && panel->getPresetName()->getText() == presetManager->getCurrentPresetName()
            && ! presetManager->getRequest (loadPreset).isRunning() && ! presetManager->hasWork();
    }, 30000)) << notices.lastMessage();
    saveScreenshot (*window, "end-to-end-connected");

    // Another preset of the bank, then another scene, from the panel's buttons.
    const int first = presetManager->getCurrentPresetNumber();
    const int slot = ((first & 7) + 1) % 8;
    panel->getPresetButton (slot)->triggerClick();
    ASSERT_TRUE (runUntil ([&] { return unit.getCurrentPresetNumber() == (first & ~7) + slot; }));
    ASSERT_TRUE (runUntil ([&] {
        return presetManager->getCurrentPresetNumber() == unit.getCurrentPresetNumber()
            && ! presetManager->getRequest (loadPreset).isRunning() && panel->areControlsEnabled();
    }, 15000));

    const int scene = (unit.getCurrentScene() + 2) % 8;
    panel->getSceneButton (scene)->triggerClick();
    ASSERT_TRUE (runUntil ([&] { return unit.getCurrentScene() == scene; }));
    ASSERT_TRUE (runUntil ([&] { return panel->areControlsEnabled() && panel->getSceneButton (scene)->getToggleState(); }));

    // A knob of the amp turned in the effect editor reaches the unit.
    auto* editor = dynamic_cast<EffectEditorContent*> (content->getEffectEditor());
    ASSERT_NE (editor, nullptr);
    editor->showBlock (ampBlock);
    auto* knob = findKnob (*editor);
    ASSERT_NE (knob, nullptr);
    const int param = knob->paramId;
    juce::uint16 before = 0;
    ASSERT_TRUE (unit.getParam (ampBlock, param, before));
    knob->mouseDown (mouseAt (*knob, { 30, 40 }));
    knob->mouseDrag (mouseAt (*knob, { 30, before > 30000 ? 80 : 0 }));
    knob->mouseUp (mouseAt (*knob, { 30, before > 30000 ? 80 : 0 }));
    juce::uint16 after = before;
    ASSERT_TRUE (runUntil ([&] { return unit.getParam (ampBlock, param, after) && after != before; }));
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->getRequest (setParam).isRunning() && panel->areControlsEnabled(); }));
    saveScreenshot (*window, "end-to-end-edited");

    // Save: the unit stores the edited preset in its slot.
    const int current = unit.getCurrentPresetNumber();
    ASSERT_NE (panel->getButtonNamed ("saveButton"), nullptr);
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (runUntil ([&] {
        juce::uint16 stored = 0;
        return unit.getPreset (current).getParam (ampBlock, param, stored) && stored == after;
    })) << notices.lastMessage();
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->getRequest (savePreset).isRunning() && panel->areControlsEnabled(); }));

    // The panel's bubbles stand below the controls they report on, clear of
    // SAVE, its options, the EDITED lamp and SNAPSHOT, and whole inside the panel.
    auto expectBubbleClearOfTheSaveGroup = [&] (const juce::String& text)
    {
        ASSERT_TRUE (runUntil ([&] { return panel->getBubbleText() == text; })) << text << notices.lastMessage();
        const auto bubble = panel->getBubbleBody();
        EXPECT_TRUE (panel->getLocalBounds().contains (bubble)) << text << " " << bubble.toString();
        for (auto* name : { "saveButton", "saveMenuButton", "snapshotButton" })
        {
            ASSERT_NE (panel->getButtonNamed (name), nullptr);
            EXPECT_FALSE (bubble.intersects (panel->getButtonNamed (name)->getBounds())) << text << " over " << name;
        }
        EXPECT_FALSE (bubble.intersects (panel->getEditLed()->getBounds())) << text << " over the EDITED lamp";
    };
    expectBubbleClearOfTheSaveGroup ("Preset saved.");
    saveScreenshot (*window, "end-to-end-preset-saved");

    settings->SNAPSHOTS_DIR = scratch.folder.getChildFile ("snapshots").getFullPathName();
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->hasWork() && panel->areControlsEnabled(); }));
    panel->getButtonNamed ("snapshotButton")->triggerClick();
    expectBubbleClearOfTheSaveGroup ("Snapshot saved.");
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->hasWork() && panel->areControlsEnabled(); }));

    // Export as ".syx": the file is written and reads back as the same whole preset.
    auto target = scratch.folder.getChildFile ("exports").getChildFile ("edited");
    interaction.answerWithFile (target);
    ASSERT_TRUE (window->getCommandManager().invokeDirectly (1002, false));
    auto written = target.withFileExtension ("syx");
    ASSERT_TRUE (runUntil ([&] { return written.existsAsFile(); }, 15000)) << notices.lastMessage();
    juce::MemoryBlock data;
    ASSERT_TRUE (written.loadFileAsData (data));
    EXPECT_EQ (getSysExFileType (data), SYSEX_FILE_PRESET);
    EXPECT_TRUE (PresetManager::isWholePresetDump (data));
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
    // ... silently, and its folder becomes the last one used.
    EXPECT_EQ (content->getBubbleText(), juce::String());
    EXPECT_EQ (settings->MRU_DIRECTORY, written.getParentDirectory().getFullPathName());
    saveScreenshot (*window, "end-to-end-exported");

    // A Preset-Cab bundle is offered under the preset's name in the export's chooser.
    const auto presetName = juce::File::createLegalFileName (presetManager->getCurrentPresetName().trim());
    auto bundle = scratch.folder.getChildFile ("exports").getChildFile ("bundle");
    interaction.answerWithFile (bundle);
    ASSERT_TRUE (window->getCommandManager().invokeDirectly (1005, false));
    bundle = bundle.withFileExtension ("syx");
    ASSERT_TRUE (runUntil ([&] { return bundle.existsAsFile(); }, 15000)) << notices.lastMessage();
    EXPECT_EQ (interaction.fileRequests.back().title, "Export Preset");
    EXPECT_EQ (interaction.fileRequests.back().initial.getFileName(), presetName);
    juce::MemoryBlock bundleData;
    ASSERT_TRUE (bundle.loadFileAsData (bundleData));
    EXPECT_EQ (getSysExFileType (bundleData), SYSEX_FILE_PRESET_CAB);
    EXPECT_EQ (content->getBubbleText(), juce::String());

    // CSV: written without a word, the last folder used left as it was.
    auto csv = scratch.folder.getChildFile ("csv").getChildFile ("edited");
    interaction.answerWithFile (csv);
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->hasWork() && panel->areControlsEnabled(); }));
    ASSERT_TRUE (window->getCommandManager().invokeDirectly (1007, false));
    csv = csv.withFileExtension ("csv");
    ASSERT_TRUE (runUntil ([&] { return csv.existsAsFile(); }, 15000)) << notices.lastMessage();
    EXPECT_EQ (interaction.fileRequests.back().title, "Export Preset as CSV");
    EXPECT_TRUE (csv.loadFileAsString().startsWith ("Effect Name, Param Label, Param Value (X), "));
    EXPECT_EQ (settings->MRU_DIRECTORY, bundle.getParentDirectory().getFullPathName());
    EXPECT_EQ (content->getBubbleText(), juce::String());
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();

    // Export As Text > Preset List... says what it wrote where.
    auto list = scratch.folder.getChildFile ("exports").getChildFile ("names.txt");
    interaction.answerWithFile (list);
    ASSERT_TRUE (window->getCommandManager().invokeDirectly (1304, false));
    ASSERT_TRUE (runUntil ([&] { return list.existsAsFile(); }, 30000)) << notices.lastMessage();
    EXPECT_TRUE (runUntil ([&] { return content->getBubbleText() == "Preset list written to\n" + list.getFullPathName(); }))
        << content->getBubbleText();
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->hasWork() && panel->areControlsEnabled(); }));

    // Importing that file cut short from the panel's import button: refused
    // with a message before anything reaches the unit.
    auto cut = scratch.folder.getChildFile ("cut.syx");
    ASSERT_TRUE (cut.replaceWithData (data.getData(), data.getSize() - 40));
    interaction.answerWithFile (cut);
    unit.clearReceived();
    // The editor's reading of the amp's modifiers may still hold the panel.
    ASSERT_TRUE (runUntil ([&] { return ! presetManager->hasWork() && panel->areControlsEnabled(); }));
    panel->getButtonNamed ("importButton")->triggerClick();
    ASSERT_TRUE (runUntil ([&] { return notices.count() > 0; }));
    EXPECT_EQ (interaction.fileRequests.back().patterns, "*.syx");
    EXPECT_EQ (notices.get (0).icon, Notice::Icon::warning);
    runUntil ([] { return false; }, 200); // refused and told already: nothing may follow
    EXPECT_EQ (unit.countReceived (SYSEX_PATCH_START) + unit.countReceived (SYSEX_PATCH_DATA), 0);

    // The tempo source menu's "Use Global Tempo" reaches the unit's controllers block.
    ASSERT_TRUE (KestrelCommandTarget::getInstance()->invokeCommand (1121));
    EXPECT_TRUE (runUntil ([&] { juce::uint16 v = 0; return unit.getParam (141, 33, v) && v == 1; }));

    // Closing says "Editor Disconnect" to the unit first.
    window->closeButtonPressed();
    ASSERT_TRUE (runUntil ([&] { return ! window->isClosing(); }));
    EXPECT_EQ (unit.countReceived (SYSEX_EDITOR_DISCONNECT), 1);

    app.shutdown();
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// Without a unit the window says why nothing happens and where the ports are
// chosen; a unit that goes away leaves the panes disabled the same way.
TEST (FrontPanelEndToEnd, WithoutAUnitOnlyWhatCanWorkTakesClicksAndTheWindowSaysWhy)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-no-unit" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    SimulatedKestrel unit{ backend };
    backend.removeDevice (unit.getDeviceName());

    forgetProgramSingletons(); // whatever an earlier program of this process left
    KestrelEditApplication app;
    app.initialise ({});
    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    auto* content = window->getContent();
    auto* panel = content->getFrontPanel();
    ASSERT_NE (panel, nullptr);

    auto expectIdle = [&] (const juce::String& firstLine)
    {
        for (int i = 0; i < 8; ++i)
        {
            auto* button = panel->getPresetButton (i);
            ASSERT_NE (button, nullptr);
            EXPECT_FALSE (button->getToggleState()) << "preset button " << i << " lit";
            EXPECT_FALSE (button->isEnabled()) << "preset button " << i;
        }

        for (auto* name : { "tunerButton", "bankButton" })
        {
            auto* button = panel->getButtonNamed (name);
            ASSERT_NE (button, nullptr) << name;
            EXPECT_FALSE (button->isEnabled()) << name;
        }

        for (auto pane : { ContentPane::grid, ContentPane::effectEditor })
        {
            ASSERT_NE (content->getPane (pane), nullptr);
            EXPECT_FALSE (content->getPane (pane)->isEnabled());
            EXPECT_LT (content->getPane (pane)->getAlpha(), 1.0f) << "visibly disabled";
        }

        auto& notice = content->getUnitAbsenceNotice();
        EXPECT_TRUE (notice.isShowing());
        EXPECT_TRUE (notice.getText().startsWith (firstLine)) << notice.getText();
        EXPECT_TRUE (notice.getText().contains ("Preferences")) << "where the ports are chosen";
    };

    EXPECT_TRUE (
        runUntil ([&] { return content->getUnitAbsenceNotice().getText().startsWith ("No Kestrel was found."); }));
    expectIdle ("No Kestrel was found.");
    saveScreenshot (*window, "end-to-end-no-unit");

    auto* presetManager = PresetManager::getInstance();
    backend.addDevice (unit.getDeviceName());
    ASSERT_TRUE (runUntil ([&] {
        return presetManager->getCurrentPresetNumber() >= 0 && panel->areControlsEnabled()
            && ! presetManager->getRequest (loadPreset).isRunning();
    }, 15000)) << notices.lastMessage();
    EXPECT_TRUE (content->getPane (ContentPane::grid)->isEnabled());
    EXPECT_TRUE (content->getPane (ContentPane::effectEditor)->isEnabled());
    EXPECT_FALSE (content->getUnitAbsenceNotice().isVisible());

    // Unplugged: the panes that could not reach it are disabled again, and
    // the user is told.
    backend.removeDevice (unit.getDeviceName());
    ASSERT_TRUE (runUntil ([&] { return ! window->isShowingConnected(); }));
    expectIdle ("Communication lost.");
    saveScreenshot (*window, "end-to-end-unit-lost");

    app.shutdown();
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// A unit whose definitions were never read: the bar at the bottom says what
// is read and moves on with it until the preset can be shown.
TEST (FrontPanelEndToEnd, TheFirstReadOfTheUnitsDefinitionsShowsHowFarItHasComeAndWhat)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-first-connection" };
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };
    SimulatedKestrel unit{ backend };

    forgetProgramSingletons(); // whatever an earlier program of this process left
    KestrelEditApplication app;
    app.initialise ({});
    auto* window = app.getMainWindow();
    ASSERT_NE (window, nullptr);
    auto* bar = window->getContent()->getProgressBar();
    ASSERT_NE (bar, nullptr);

    auto reading = [&] { return bar->isVisible() && bar->caption.startsWith ("Reading Block Definition"); };
    ASSERT_TRUE (runUntil (reading, 15000)) << bar->caption.quoted() << " " << bar->getShownProgress();
    const auto first = bar->getShownProgress();
    EXPECT_LT (first, 0.5);

    // The bar moves on, and the caption stays while the reading goes on.
    ASSERT_TRUE (runUntil ([&] { return bar->getShownProgress() > first + 0.01; }, 15000));
    EXPECT_TRUE (reading()) << bar->caption;
    EXPECT_LT (bar->getShownProgress(), 1.0);
    saveScreenshot (*window, "end-to-end-first-connection");

    // The rest of the reading is not this test's business.
    PresetManager::getInstance()->processRequests (true);
    app.shutdown();
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// Preset buttons clicked faster than presets load: the unit ends on the
// preset clicked last, however many changes the one-a-second guard refused.
TEST (FrontPanelEndToEnd, TheLastOfQuickPresetClicksWins)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-quick-presets" };
    ASSERT_TRUE (program.open());
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    const int bank = program.unit.getCurrentPresetNumber() & ~7;
    ASSERT_EQ (program.unit.getCurrentPresetNumber() - bank, 0) << "starts on the bank's first preset";

    // Clicks a fifth of a second apart, while the first change loads: the
    // panel takes each of them.
    auto clickQuickly = [&] (std::initializer_list<juce::Component*> buttons, int expected)
    {
        for (auto* button : buttons)
        {
            ASSERT_TRUE (clickBackToBack (*button));
            pumpMessagesFor (200);
        }

        // Settled on whichever preset, with no choice left waiting: it must be the last one clicked.
        ASSERT_TRUE (pumpMessagesUntil ([&] {
            return ! program.presets->hasWork()
                && program.presets->getCurrentPresetNumber() == program.unit.getCurrentPresetNumber();
        }, 60000)) << "the unit is on " << program.unit.getCurrentPresetNumber();
        ASSERT_EQ (program.unit.getCurrentPresetNumber(), expected);
        EXPECT_TRUE (panel->getPresetButton (expected & 7)->getToggleState());
        EXPECT_TRUE (panel->areControlsEnabled());
    };

    // Buttons 2, 3, 4 and 5; then bank up three times, each from where the
    // last click leads.
    clickQuickly ({ panel->getPresetButton (1), panel->getPresetButton (2), panel->getPresetButton (3),
                    panel->getPresetButton (4) },
                  bank + 4);
    auto* bankUp = panel->getButtonNamed ("bankUpButton");
    ASSERT_NE (bankUp, nullptr);
    clickQuickly ({ bankUp, bankUp, bankUp }, bank + 24 + 4);
    saveScreenshot (*program.window, "front-panel-last-quick-click");
}

// Import Preset from the panel's IMPORT button: a preset named with letters
// the unit cannot store is refused with a message naming them, in a box
// titled "Import Preset", the unit's preset left as it was; one whose name
// the unit padded with empty places (0xFFFF) goes in under its name, and the
// window reads it from the unit.
TEST (FrontPanelEndToEnd, ImportRefusesANameTheUnitCannotStoreAndTakesOnePaddedWithEmptyPlaces)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-import-names" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    ScriptedInteraction interaction;

    auto import = [&] (const juce::String& name, juce::uint16 padding, int ampValue)
    {
        auto preset = SimulatedPreset::makeFactory (4);
        preset.name = name;
        preset.namePadding = padding;
        preset.setParam (ampBlock, 1, (juce::uint16) ampValue);
        const auto dump = makePresetDumpFile (preset);
        const auto file = program.scratch.folder.getChildFile ("import.syx");
        ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize()));
        interaction.answerWithFile (file);
        ASSERT_TRUE (program.settle() && panel->areControlsEnabled());
        panel->getButtonNamed ("importButton")->triggerClick();
    };

    const auto before = unit.getEditBuffer().toWords();
    unit.clearReceived();
    {
        // Its box stands over the window, wherever the window is.
        RecordedNoticesShown shown (program.notices, *program.window);
        moveToTheScreensCorner (*program.window);
        import (juce::CharPointer_UTF8 ("Caf\xc3\xa9 \xc3\xbc Lead"), ' ', 1234);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > 0; }));
        EXPECT_TRUE (theBoxStandsCentredOver (*program.window));
    }
    EXPECT_EQ (program.notices.lastMessage(),
               juce::String (juce::CharPointer_UTF8 ("Unable to send \"Caf\xc3\xa9 \xc3\xbc Lead\".\n"
                                                     "Its name holds characters the Kestrel cannot store in a name: "
                                                     "\xc3\xa9 \xc3\xbc.\nNothing was sent to the Kestrel.")));
    EXPECT_EQ (program.notices.get (program.notices.count() - 1).title, "Import Preset");
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (unit.countReceived (SYSEX_PATCH_START) + unit.countReceived (SYSEX_PATCH_DATA), 0);
    EXPECT_TRUE (unit.getEditBuffer().toWords() == before) << "the unit's preset changed";

    auto ampShown = [&]
    {
        EffectParamValue amp;
        return program.presets->getEffectManager()->getParamValue (ampBlock, 1, 0, amp) ? (int) amp.value : -1;
    };
    program.editor->showBlock (ampBlock);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ampShown() >= 0 && ! program.presets->hasWork(); }));
    ASSERT_NE (ampShown(), 2345);

    import ("Clean", 0xFFFF, 2345);
    EXPECT_TRUE (pumpMessagesUntil ([&] {
        juce::uint16 value = 0;
        return unit.getEditBuffer().name.trim() == "Clean" && unit.getParam (ampBlock, 1, value) && value == 2345;
    })) << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.count(), 1) << program.notices.lastMessage();

    // The window reads the imported preset from the unit: its name shows,
    // the editor lets go of the old values, and the amp opened again holds
    // the imported value.
    EXPECT_TRUE (pumpMessagesUntil ([&] {
        return panel->getPresetName()->getText() == "Clean" && program.editor->getShownBlock() == 0
            && ! program.presets->hasWork();
    })) << panel->getPresetName()->getText();
    program.editor->showBlock (ampBlock);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ampShown() == 2345; })) << ampShown();
}

// A Preset-Cab bundle exported from the unit and imported again: SAVE opens
// the bundle dialog, whose rows name the bundle's cabs in their scratchpads.
// A cab that held no name (a control character where its name belongs) is
// shown as "EMPTY", as the cab lists show it.
TEST (FrontPanelEndToEnd, TheBundleSaveDialogNamesTheBundlesCabsOrEmpty)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-bundle-names" };
    ASSERT_TRUE (program.open());
    int left = -1, right = -1;
    ASSERT_TRUE (program.presets->getCabBlockCabs (108, left, right, true) && left >= 0 && right > left);
    program.unit.setCabName (left, "Warm Room");
    program.unit.setCabName (right, juce::String::charToString (1));
    KestrelGlobalConfiguration::getInstanceWithoutCreating()->PROMPT_PRESET_BUNDLE_IMPORT = false;
    ScriptedInteraction interaction;
    auto& commands = program.window->getCommandManager();

    const auto bundle = program.scratch.folder.getChildFile ("bundle.syx");
    interaction.answerWithFile (bundle);
    ASSERT_TRUE (commands.invokeDirectly (1005, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return bundle.existsAsFile(); })) << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());
    interaction.answerWithFile (bundle);
    ASSERT_TRUE (commands.invokeDirectly (1001, false));
    auto& presets = *program.presets;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return presets.getBundleMask() == 3 && ! presets.hasWork(); }))
        << program.notices.lastMessage();

    ASSERT_TRUE (commands.invokeDirectly (1118, false));
    auto* dialog = program.content->getPaneAs<SavePresetBundleDlg> (ContentPane::bundleSave);
    ASSERT_NE (dialog, nullptr);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->isShowing(); }));
    auto row = [&] (const char* name) { return dialog->findLabel (name)->getText(); };
    EXPECT_EQ (row ("labelCab1LValue"), "S001: Warm Room");
    EXPECT_EQ (row ("labelCab1RValue"), "S002: EMPTY");
    EXPECT_EQ (row ("labelCab2LValue"), SavePresetBundleDlg::notContainedText);
    saveScreenshot (*program.window, "bundle-save-dialog-names");
    EXPECT_EQ (program.notices.count(), 0) << program.notices.lastMessage();
}


// A bundle whose cab the unit refuses, brought in with Import and saved
// through SAVE's dialog: each failure is told once, the outputs the
// transfer muted are on again, the window takes clicks, and nothing says
// that the bundle was imported or saved.
TEST (FrontPanelEndToEnd, ABundleCabTheUnitRefusesIsToldOnceAndLeavesTheOutputsOn)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-bundle-refused" };
    ASSERT_TRUE (program.open());
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    auto* save = panel->getButtonNamed ("saveButton");
    ASSERT_NE (save, nullptr);
    const auto bundle = program.scratch.folder.getChildFile ("bundle.syx");
    ASSERT_TRUE (exportBundle (program, interaction, bundle));
    ASSERT_EQ (program.notices.count(), 0) << program.notices.lastMessage();

    unit.setErrorStatusFor (SYSEX_CABIR_START, SimulatedKestrel::resultBadValue);
    unit.clearReceived();
    ASSERT_TRUE (importBundle (program, interaction, bundle));
    EXPECT_EQ (program.notices.count(), 1) << program.notices.lastMessage();
    EXPECT_EQ (program.notices.get (0).title, "Import Cab Ir");
    // An import saves nothing: the cab refused, nothing of the bundle is stored.
    EXPECT_TRUE (program.notices.lastMessage().endsWith (".\nNothing was stored.")) << program.notices.lastMessage();
    EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1 }));
    EXPECT_TRUE (save->isEnabled());

    // Imported whole (told in its box), then saved: the unit refuses the cab
    // the save sends.
    unit.setErrorStatusFor (SYSEX_CABIR_START, SimulatedKestrel::resultOk);
    ASSERT_TRUE (importBundle (program, interaction, bundle));
    ASSERT_EQ (program.presets->getBundleMask(), 3);
    ASSERT_EQ (program.notices.count(), 2) << program.notices.lastMessage();
    auto* dialog = openBundleSave (program);
    ASSERT_NE (dialog, nullptr);
    unit.setErrorStatusFor (SYSEX_CABIR_START, SimulatedKestrel::resultBadValue);
    unit.clearReceived();
    dialog->findButton ("btnOK")->click();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > 2; }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.count(), 3) << program.notices.lastMessage();
    EXPECT_EQ (program.notices.get (2).title, "Import Cab Ir");
    EXPECT_TRUE (program.notices.lastMessage().endsWith ("\nThe preset was saved; the data of this transfer was not stored."))
        << program.notices.lastMessage();
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 1);
    EXPECT_EQ (mutesReceived (unit), juce::Array<int> ({ 0, 1 }));
    EXPECT_FALSE (dialog->isShowing());
    EXPECT_TRUE (save->isEnabled());
    EXPECT_EQ (panel->getBubbleText(), "");
}

// The unit changes preset while SAVE's bundle dialog is open: OK saves
// nothing, and says what the unit plays instead of the bundle's preset.
TEST (FrontPanelEndToEnd, ABundleSavedAfterTheUnitChangedPresetIsNotSavedAndSaysWhatItPlays)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-bundle-moved" };
    ASSERT_TRUE (program.open());
    ASSERT_TRUE (showsPreset (program, 0));
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    const auto bundle = program.scratch.folder.getChildFile ("bundle.syx");
    KestrelGlobalConfiguration::getInstanceWithoutCreating()->PROMPT_PRESET_BUNDLE_IMPORT = false;
    ASSERT_TRUE (exportBundle (program, interaction, bundle));
    ASSERT_TRUE (importBundle (program, interaction, bundle));
    ASSERT_EQ (program.presets->getBundleMask(), 3);
    auto* dialog = openBundleSave (program);
    ASSERT_NE (dialog, nullptr);
    const auto stored0 = unit.getPreset (0).toWords();
    const auto stored1 = unit.getPreset (1).toWords();
    const int before = program.notices.count();

    unit.selectPresetOnUnit (1);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return showsPreset (program, 1); }));
    unit.clearReceived();
    dialog->findButton ("btnOK")->click();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before; }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.lastMessage(), "The Kestrel plays 1-2 \"Preset 1\", not 1-1 \"Preset 0\"; nothing was saved.");
    EXPECT_EQ (program.notices.count(), before + 1);
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH) + unit.countReceived (SYSEX_MUTE), 0);
    EXPECT_TRUE (unit.getPreset (0).toWords() == stored0);
    EXPECT_TRUE (unit.getPreset (1).toWords() == stored1);
}

namespace
{
struct MenuEntry
{
    juce::String text;
    int id = 0;
    bool enabled = false;
};

// The entries of the "Load Snapshot" submenu of a menu.
std::vector<MenuEntry> loadSnapshotEntries (const juce::PopupMenu& menu)
{
    std::vector<MenuEntry> entries;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == "Load Snapshot" && it.getItem().subMenu != nullptr)
            for (juce::PopupMenu::MenuItemIterator item (*it.getItem().subMenu); item.next();)
                entries.push_back ({ item.getItem().text, item.getItem().itemID, item.getItem().isEnabled });
    return entries;
}

// Changes a parameter of a block (the amp's unless named) in the unit's edit
// buffer, behind the program's back.
void moveOnTheUnit (SimulatedKestrel& unit, int param, int block = ampBlock)
{
    auto buffer = unit.getEditBuffer();
    juce::uint16 value = 0;
    ASSERT_TRUE (buffer.getParam (block, param, value));
    ASSERT_TRUE (buffer.setParam (block, param, value > 30000 ? 1000 : 60000));
    unit.setEditBuffer (buffer, true);
}
} // namespace

// SNAPSHOT while connected: Preset > Load Snapshot and the snapshot button's
// menu offer the snapshot enabled, and choosing it from either puts it back
// into the unit. Clear Snapshot List empties the submenu.
TEST (FrontPanelEndToEnd, ASnapshotIsOfferedEnabledInBothMenusAndChoosingItLoadsItIntoTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-load-snapshot" };
    ASSERT_TRUE (program.open());
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto* bar = program.window->getMenuBarModel();
    ASSERT_NE (bar, nullptr);
    KestrelGlobalConfiguration::getInstance()->SNAPSHOTS_DIR =
        program.scratch.folder.getChildFile ("snapshots").getFullPathName();

    constexpr int param = 1;
    juce::uint16 kept = 0;
    ASSERT_TRUE (unit.getParam (ampBlock, param, kept));
    panel->getButtonNamed ("snapshotButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return panel->getBubbleText() == "Snapshot saved."; }))
        << program.notices.lastMessage();
    ASSERT_TRUE (program.settle());

    auto presetMenu = [&]
    { return loadSnapshotEntries (bar->getMenuForIndex (KestrelMenuBarModel::presetMenu, "Preset")); };
    auto entries = presetMenu();
    ASSERT_EQ (entries.size(), 1u);
    EXPECT_TRUE (entries[0].text.startsWith ("1: Preset ")) << entries[0].text;
    EXPECT_TRUE (entries[0].enabled) << "greyed in the Preset menu";

    // Chosen from the Preset menu: the unit holds the snapshot's value again.
    auto unitHolds = [&] (juce::uint16 expected)
    {
        juce::uint16 value = 0;
        return pumpMessagesUntil ([&] { return unit.getParam (ampBlock, param, value) && value == expected; }) &&
               program.settle();
    };
    moveOnTheUnit (unit, param);
    juce::uint16 moved = kept;
    ASSERT_TRUE (unit.getParam (ampBlock, param, moved) && moved != kept);
    bar->menuItemSelected (entries[0].id, KestrelMenuBarModel::presetMenu);
    EXPECT_TRUE (unitHolds (kept));

    // The snapshot button's menu offers it enabled (only enabled items can be
    // picked), and it loads from there too.
    moveOnTheUnit (unit, param);
    interaction.answerMenuWithItem (entries[0].text);
    ASSERT_TRUE (clickWithPause (*panel->getButtonNamed ("snapshotButton"), true));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! interaction.menus.empty(); }));
    EXPECT_TRUE (interaction.menus.back().itemTexts.contains (entries[0].text)) << "greyed in the button's menu";
    EXPECT_TRUE (unitHolds (kept));

    // Clear Snapshot List leaves the submenu empty.
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1901, false));
    EXPECT_TRUE (presetMenu().empty());
    EXPECT_EQ (program.notices.count(), 0) << program.notices.lastMessage();
}

// An open block editor shows what the unit holds after the preset is read
// again: after Initialize Preset (Ctrl+Shift+I) and after Revert Preset, and
// after Clear Preset (Ctrl+Shift+Delete) for the controllers, which the
// preset keeps.
TEST (FrontPanelEndToEnd, AnOpenBlockEditorShowsTheUnitsValuesAfterThePresetIsInitializedRevertedOrCleared)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-editor-after-reload" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    ASSERT_TRUE (program.grid->selectBlockById (ampBlock));
    ASSERT_TRUE (program.settle());

    // The block's values build its page anew: the knob is looked up each time.
    auto knobNamed = [&] (const juce::String& label) -> ZOLRotaryKnob*
    {
        for (int i = 0; i < program.editor->getNumPageControls(); ++i)
            if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (program.editor->getPageControl (i));
                knob != nullptr && knob->getLabelText() == label && knob->getReadout() != nullptr)
                return knob;
        return nullptr;
    };
    auto findGain = [&] { return knobNamed ("Gain"); };
    auto unitText = [&] (int param, int block = ampBlock)
    {
        juce::uint16 value = 0;
        return unit.getParam (block, param, value) ? SimulatedPreset::describeValue (block, param, value).text
                                                   : juce::String ("(none)");
    };

    const auto ctrlShift = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
    const std::pair<const char*, juce::KeyPress> reloads[] = {
        { "Initialize Preset", juce::KeyPress ('I', ctrlShift, 0) },
        { "Revert Preset", juce::KeyPress (juce::KeyPress::F12Key, ctrlShift, 0) },
    };

    for (const auto& [name, key] : reloads)
    {
        SCOPED_TRACE (name);
        // Gain turned in the editor: the unit and the editor agree.
        auto* gain = findGain();
        ASSERT_NE (gain, nullptr);
        const int param = gain->paramId;
        const auto before = unitText (param);
        gain->mouseDown (mouseAt (*gain, { 30, 40 }));
        gain->mouseDrag (mouseAt (*gain, { 30, 0 }));
        gain->mouseUp (mouseAt (*gain, { 30, 0 }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return unitText (param) != before; }));
        ASSERT_TRUE (program.settle());
        const auto edited = unitText (param);
        ASSERT_NE (findGain(), nullptr);
        ASSERT_EQ (findGain()->getReadout()->getText(), edited);

        ASSERT_TRUE (program.window->getCommandManager().getKeyMappings()->keyPressed (key, program.content));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return unitText (param) != edited; })) << edited;
        ASSERT_TRUE (program.settle());
        if (juce::String (name) == "Initialize Preset")
        {
            // The unit names the initialized preset "INIT", and so does the panel.
            EXPECT_EQ (unit.getEditBuffer().name, "INIT");
            EXPECT_EQ (program.content->getFrontPanel()->getPresetName()->getText(), "INIT");
        }
        gain = findGain();
        ASSERT_NE (gain, nullptr);
        EXPECT_EQ (gain->getReadout()->getText(), unitText (param));
        EXPECT_EQ (program.editor->getShownBlock(), ampBlock);
    }

    // Clear Preset takes the amp away; the controllers shown stay, and are
    // read anew too: a rate changed on the unit meanwhile shows.
    ASSERT_TRUE (program.grid->selectBlockById (blockIdControllers));
    ASSERT_TRUE (program.settle());
    ASSERT_NE (knobNamed ("LFO 1 Rate"), nullptr);
    const int rate = knobNamed ("LFO 1 Rate")->paramId;
    moveOnTheUnit (unit, rate, blockIdControllers);
    const auto moved = unitText (rate, blockIdControllers);
    ASSERT_NE (knobNamed ("LFO 1 Rate")->getReadout()->getText(), moved);
    const auto clear = juce::KeyPress (juce::KeyPress::deleteKey, ctrlShift, 0);
    ASSERT_TRUE (program.window->getCommandManager().getKeyMappings()->keyPressed (clear, program.content));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! unit.getEditBuffer().isInGrid (ampBlock); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.editor->getShownBlock(), blockIdControllers);
    ASSERT_NE (knobNamed ("LFO 1 Rate"), nullptr);
    EXPECT_EQ (knobNamed ("LFO 1 Rate")->getReadout()->getText(), moved);
}

// The unit carries out a preset change but no answer comes back. The failure
// is told once. Save to New Number asks the unit which preset it plays, and
// unanswered saves nothing; SAVE asks too, hears of the other preset, writes
// nothing and shows it, and the next SAVE stores the edit there. Refresh
// Preset asks as well. The preset the window showed before is never written over.
TEST (FrontPanelEndToEnd, AChangeTheUnitNeverAnsweredIsToldOnceAndSaveWritesOnlyWhereTheWindowShows)
{
    KESTREL_REQUIRE_DISPLAY();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-unanswered-change" };
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (program.unit);
    FastTicks ticks{ *program.window };
    auto& unit = program.unit;
    auto& presets = *program.presets;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto shows = [&] (int number) { return showsPreset (program, number); };
    unit.selectPresetOnUnit (15);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (15); }));
    const auto stored15 = unit.getPreset (15).toWords();
    const auto stored11 = unit.getPreset (11).toWords();

    // Silent through the time-out of the change and of the question after
    // it: one notice, for the change.
    const int before = program.notices.count();
    unit.clearReceived();
    unit.setSilent (true);
    panel->getPresetButton (3)->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.getCurrentPresetNumber() == 11; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! presets.hasWork(); }, 60000));
    ASSERT_EQ (program.notices.count(), before + 1) << program.notices.messages().joinIntoString ("\n---\n");
    EXPECT_TRUE (program.notices.lastMessage().endsWith ("Change Preset : preset_recall"))
        << program.notices.lastMessage();
    EXPECT_GT (unit.countReceived (SYSEX_PATCHNUM), 0) << "the unit was asked which preset it plays";
    ASSERT_TRUE (presets.isPresetNumberInDoubt());

    // Save to New Number asks again, unanswered: no list to choose from, and
    // the user is told once.
    auto* picker = program.content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker);
    ASSERT_NE (picker, nullptr);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1119, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 1 && ! presets.hasWork(); }, 60000))
        << "the list is " << (picker->isVisible() ? "open" : "closed");
    EXPECT_EQ (program.notices.lastMessage(),
               juce::String ("The preset was not saved.\n") + KestrelCommandTarget::presetNumberUnknownText);
    EXPECT_FALSE (picker->isVisible());
    pumpMessagesFor (300);
    EXPECT_EQ (program.notices.count(), before + 2);

    // Answering again: a parameter changed (on the unit's preset 11), then
    // SAVE, which asks first and writes nothing under "Preset 15".
    unit.setSilent (false);
    int param = 0;
    juce::uint16 edited = 0;
    ASSERT_TRUE (turnAmpKnob (program, param, edited));
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 2 && shows (11); }))
        << program.notices.lastMessage();
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel plays 2-4 \"Preset 11\", not 2-8 \"Preset 15\"; nothing was saved.");
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
    EXPECT_TRUE (unit.getPreset (15).toWords() == stored15) << "preset 15 written over";
    EXPECT_TRUE (unit.getPreset (11).toWords() == stored11) << "preset 11 written over";

    // The edit is still the unit's: the next SAVE stores it where the window shows.
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return storedParam (program, 11, param) == edited && ! presets.hasWork(); }))
        << program.notices.lastMessage();
    EXPECT_TRUE (unit.getPreset (15).toWords() == stored15) << "preset 15 written over";
    EXPECT_TRUE (shows (11));
    EXPECT_EQ (program.notices.count(), before + 3) << program.notices.lastMessage();

    // Only the change goes unanswered: the question after it puts the window right.
    unit.setUnansweredFor (SYSEX_RECALL_PATCH);
    panel->getPresetButton (7)->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.getCurrentPresetNumber() == 15; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() == before + 4 && shows (15); }, 60000))
        << program.notices.count() - before << " notices; shows " << panel->getBankNumber()->getText() << " "
        << panel->getPresetName()->getText();
    unit.setUnansweredFor (SYSEX_RECALL_PATCH, false);

    // A preset chosen on the unit whose report is lost: Refresh Preset asks.
    unit.setSilent (true);
    unit.selectPresetOnUnit (20);
    unit.setSilent (false);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1104, false));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return shows (20); }))
        << panel->getBankNumber()->getText() << " " << panel->getPresetName()->getText();
    EXPECT_EQ (program.notices.count(), before + 4) << program.notices.lastMessage();
    saveScreenshot (*program.window, "front-panel-unanswered-change");
}

// The user turns to another preset on the unit and its report is lost: the
// window still shows the preset before, and edits go to the one the unit
// plays. SAVE and Export Preset ask the unit first, write nothing, and show
// the preset it plays; the next SAVE stores the edit there, without reading
// the preset again.
TEST (FrontPanelEndToEnd, SaveAndExportWriteNothingWhileTheUnitPlaysAnotherPreset)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-lost-report" };
    ASSERT_TRUE (program.open());
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    auto& presets = *program.presets;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto shows = [&] (int number) { return showsPreset (program, number); };
    auto loseTheReportOf = [&] (int number)
    {
        unit.setSilent (true);
        unit.selectPresetOnUnit (number);
        unit.setSilent (false);
    };
    unit.selectPresetOnUnit (13);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (13); }));
    const auto stored13 = unit.getPreset (13).toWords();
    const auto stored14 = unit.getPreset (14).toWords();

    loseTheReportOf (14);
    int param = 0;
    juce::uint16 edited = 0;
    ASSERT_TRUE (turnAmpKnob (program, param, edited));
    ASSERT_TRUE (shows (13));
    const int before = program.notices.count();
    unit.clearReceived();
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before && shows (14); }))
        << program.notices.lastMessage();
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel plays 2-7 \"Preset 14\", not 2-6 \"Preset 13\"; nothing was saved.");
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
    EXPECT_TRUE (unit.getPreset (13).toWords() == stored13) << "preset 13 written over";
    EXPECT_TRUE (unit.getPreset (14).toWords() == stored14) << "preset 14 written over";

    // The window now shows 14 with the edit the unit holds: SAVE stores it
    // there, asking once (preset and scene) and reading nothing of the
    // preset again.
    unit.clearReceived();
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return storedParam (program, 14, param) == edited && ! presets.hasWork(); }))
        << program.notices.lastMessage();
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 1);
    EXPECT_EQ (unit.countReceived (SYSEX_PATCHNUM), 1);
    EXPECT_EQ (unit.countReceived (SYSEX_SET_SCENE), 1);
    EXPECT_EQ (unit.countReceived (SYSEX_GET_GRID), 0) << "the preset shown was read again";
    EXPECT_TRUE (unit.getPreset (13).toWords() == stored13) << "preset 13 written over";
    EXPECT_TRUE (shows (14));
    EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();

    // Export Preset asks the same way: no file is offered or written under
    // the name shown.
    // Its box stands over the window, wherever the window is.
    loseTheReportOf (15);
    const auto exported = program.scratch.folder.getChildFile ("exported");
    interaction.answerWithFile (exported);
    {
        RecordedNoticesShown shown (program.notices, *program.window);
        moveToTheScreensCorner (*program.window);
        ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1002, false));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 1 && shows (15); }))
            << program.notices.lastMessage();
        EXPECT_TRUE (theBoxStandsCentredOver (*program.window));
    }
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel plays 2-8 \"Preset 15\", not 2-7 \"Preset 14\"; nothing was exported.");
    EXPECT_TRUE (interaction.fileRequests.empty());
    EXPECT_FALSE (exported.withFileExtension ("syx").exists());

    // Asked again, the unit plays the preset shown: it is exported under its name.
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1002, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return exported.withFileExtension ("syx").existsAsFile(); }))
        << program.notices.lastMessage();
    ASSERT_EQ (interaction.fileRequests.size(), 1u);
    EXPECT_EQ (interaction.fileRequests.back().initial.getFileName(), "Preset 15");
    juce::MemoryBlock data;
    ASSERT_TRUE (exported.withFileExtension ("syx").loadFileAsData (data));
    juce::uint8 model = 0;
    PatchDump dump;
    juce::String name;
    ASSERT_TRUE (getSysExModel (data, model) && dump.parse (data, model));
    dump.getPresetName (name);
    EXPECT_EQ (name.trimEnd(), "Preset 15");
    EXPECT_EQ (program.notices.count(), before + 2) << program.notices.lastMessage();

    // Export CSV names its file after the preset shown as well: it asks too.
    loseTheReportOf (17);
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (1007, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 2 && shows (17); }))
        << program.notices.lastMessage();
    EXPECT_EQ (program.notices.lastMessage(),
               "The Kestrel plays 3-2 \"Preset 17\", not 2-8 \"Preset 15\"; nothing was exported.");
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (interaction.fileRequests.size(), 1u);
    EXPECT_FALSE (exported.withFileExtension ("csv").exists());
    EXPECT_EQ (program.notices.count(), before + 3) << program.notices.lastMessage();

    // So do Save Snapshot, Export as Template and Export Preset-Cab Bundle:
    // nothing is read out of the unit for the file.
    const std::pair<int, const char*> others[] = {
        { 1000, "The Kestrel plays 3-3 \"Preset 18\", not 3-2 \"Preset 17\"; nothing was saved." },
        { 1004, "The Kestrel plays 3-4 \"Preset 19\", not 3-3 \"Preset 18\"; nothing was exported." },
        { 1005, "The Kestrel plays 3-5 \"Preset 20\", not 3-4 \"Preset 19\"; nothing was exported." },
    };
    int playing = 17;

    for (const auto& [id, told] : others)
    {
        SCOPED_TRACE (id);
        const int notices = program.notices.count();
        loseTheReportOf (++playing);
        unit.clearReceived();
        ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (id, false));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > notices && shows (playing); }))
            << program.notices.lastMessage();
        EXPECT_EQ (program.notices.lastMessage(), told);
        EXPECT_EQ (unit.countReceived (SYSEX_PATCH_DUMP) + unit.countReceived (SYSEX_PATCH_PLUS_CAB_DUMP), 0);
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.notices.count(), notices + 1) << program.notices.lastMessage();
    }

    EXPECT_EQ (interaction.fileRequests.size(), 1u);
}

// The unit plays 44 while the window shows 43 (its report was lost), and the
// edit went to 44. SAVE or Export Preset finds that out and the window moves
// to 44; a SAVE given while it still shows 43 writes nothing either. Once it
// shows 44, SAVE stores the edit there.
TEST (FrontPanelEndToEnd, ASaveGivenWhileTheWindowMovesToThePresetPlayedWritesNothing)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-save-while-moving" };
    ASSERT_TRUE (program.open());
    FastTicks ticks{ *program.window };
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    auto& presets = *program.presets;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto& commands = program.window->getCommandManager();
    auto shows = [&] (int number) { return showsPreset (program, number); };
    const char* saved = "The Kestrel plays 6-5 \"Preset 44\", not 6-4 \"Preset 43\"; nothing was saved.";
    const char* exported = "The Kestrel plays 6-5 \"Preset 44\", not 6-4 \"Preset 43\"; nothing was exported.";
    auto pressCtrlS = [&]
    {
        return commands.getKeyMappings()->keyPressed (juce::KeyPress ('S', juce::ModifierKeys::ctrlModifier, 0),
                                                      program.content);
    };
    // Ctrl+S pressed as the end of the first question is told: the second
    // question runs before the load of 44 begins and is answered while that
    // load still waits to tell its end.
    struct AtQuestionsEnd : juce::ChangeListener
    {
        std::function<bool()> press;
        PresetManager* presets = nullptr;
        bool pressed = false;
        void changeListenerCallback (juce::ChangeBroadcaster*) override
        {
            if (! pressed && presets->getStatus() == 13)
                pressed = press();
        }
    } atQuestionsEnd;
    atQuestionsEnd.press = pressCtrlS;
    atQuestionsEnd.presets = program.presets;
    const struct
    {
        std::function<void()> giveFirst;
        const char* firstTold;
        bool secondAtQuestionsEnd;
    } firsts[] = {
        { [&] { panel->getButtonNamed ("saveButton")->triggerClick(); }, saved, false },
        { [&] { commands.invokeDirectly (1002, false); }, exported, false },
        { [&] { panel->getButtonNamed ("saveButton")->triggerClick(); }, saved, true },
    };

    for (const auto& [giveFirst, firstTold, secondAtQuestionsEnd] : firsts)
    {
        SCOPED_TRACE (firstTold);
        unit.selectPresetOnUnit (43);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (43); }));
        const auto stored43 = unit.getPreset (43).toWords();
        const auto stored44 = unit.getPreset (44).toWords();
        unit.setSilent (true);
        unit.selectPresetOnUnit (44);
        unit.setSilent (false);
        int param = 0;
        juce::uint16 edited = 0;
        ASSERT_TRUE (turnAmpKnob (program, param, edited));
        ASSERT_TRUE (shows (43));

        // Ctrl+S once the answer has the window load 44, which it does not show yet.
        const int before = program.notices.count();
        unit.clearReceived();

        if (secondAtQuestionsEnd)
        {
            atQuestionsEnd.pressed = false;
            program.presets->addChangeListener (&atQuestionsEnd);
            giveFirst();
            ASSERT_TRUE (pumpMessagesUntil ([&] { return atQuestionsEnd.pressed; }));
            program.presets->removeChangeListener (&atQuestionsEnd);
        }
        else
        {
            giveFirst();
            ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_GET_GRID) > 0; }));
            juce::String number43, bankText, presetText;
            ASSERT_TRUE (formatPresetNumber (43, {}, number43, bankText, presetText));
            ASSERT_EQ (panel->getBankNumber()->getText() + panel->getPresetName()->getText(), number43 + "Preset 43");
            ASSERT_TRUE (pressCtrlS());
        }

        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 1 && shows (44); }));
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
        auto told = program.notices.messages();
        told.removeRange (0, before);
        EXPECT_EQ (told.joinIntoString ("\n"), juce::String (firstTold) + "\n" + saved) << "one box for each command";
        EXPECT_TRUE (unit.getPreset (43).toWords() == stored43) << "preset 43 written over";
        EXPECT_TRUE (unit.getPreset (44).toWords() == stored44) << "preset 44 written over";
        EXPECT_TRUE (interaction.fileRequests.empty());

        // The window shows 44 and the edit: SAVE stores it there.
        panel->getButtonNamed ("saveButton")->triggerClick();
        ASSERT_TRUE (
            pumpMessagesUntil ([&] { return storedParam (program, 44, param) == edited && ! presets.hasWork(); }))
            << program.notices.lastMessage();
        EXPECT_TRUE (unit.getPreset (43).toWords() == stored43) << "preset 43 written over";
        EXPECT_TRUE (shows (44));
        EXPECT_EQ (program.notices.count(), before + 2) << program.notices.lastMessage();
    }

    // As Ctrl+S is pressed the unit goes back to 43, unheard: the second
    // question finds the preset the window still showed, but the window was
    // moving when Ctrl+S was given, so nothing is saved.
    unit.selectPresetOnUnit (43);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (43); }));
    unit.setSilent (true);
    unit.selectPresetOnUnit (44);
    unit.setSilent (false);
    int param = 0;
    juce::uint16 edited = 0;
    ASSERT_TRUE (turnAmpKnob (program, param, edited));
    const int before = program.notices.count();
    unit.clearReceived();
    atQuestionsEnd.pressed = false;
    atQuestionsEnd.press = [&]
    {
        unit.setSilent (true);
        unit.selectPresetOnUnit (43);
        unit.setSilent (false);
        return pressCtrlS();
    };
    program.presets->addChangeListener (&atQuestionsEnd);
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return atQuestionsEnd.pressed; }));
    program.presets->removeChangeListener (&atQuestionsEnd);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before + 1 && shows (43); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.notices.lastMessage(), "Kestrel-Edit was still changing presets; nothing was saved.");
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
}


// The user turns the unit to another preset just as it answers the question
// before a write: its report comes right after the answer, or once the
// question has ended, before the write goes out. Nothing is written, the
// command says why, and the window follows the unit. Turned to the preset
// shown, the unit reloads it: nothing is written either, and the box says
// the unit reloaded it.
TEST (FrontPanelEndToEnd, APresetChangeReportedJustAfterTheAnswerStopsTheWrite)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-report-after-answer" };
    ASSERT_TRUE (program.open());
    FastTicks ticks{ *program.window };
    ScriptedInteraction interaction;
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto shows = [&] (int number) { return showsPreset (program, number); };
    const auto exported = program.scratch.folder.getChildFile ("exported");
    interaction.answerWithFile (exported);
    const auto stored0 = unit.getPreset (0).toWords();
    const auto stored1 = unit.getPreset (1).toWords();
    const char* notSaved = "The Kestrel plays 1-2 \"Preset 1\", not 1-1 \"Preset 0\"; nothing was saved.";
    const char* notExported = "The Kestrel plays 1-2 \"Preset 1\", not 1-1 \"Preset 0\"; nothing was exported.";
    const char* reloaded = "The Kestrel reloaded 1-1 \"Preset 0\"; nothing was saved.";
    auto save = [&] { panel->getButtonNamed ("saveButton")->triggerClick(); };
    auto exportPreset = [&] { program.window->getCommandManager().invokeDirectly (1002, false); };
    // The unit is turned with its answer, or as a code is told: the
    // question's end (13), the export's begin (98, the outputs then muted).
    const struct
    {
        std::function<void()> give;
        int turnedTo;
        int turnedAtCode;
        const char* told;
    } cases[] = {
        { save, 1, 0, notSaved },
        { exportPreset, 1, 0, notExported },
        { save, 0, 0, reloaded },
        { save, 1, 13, notSaved },
        { save, 0, 13, reloaded },
        { exportPreset, 1, 13, notExported },
        { exportPreset, 1, 98, notExported },
    };

    // Turned as the code is told, the unit's report waits in the link's
    // mailbox for the next tick, which comes before the write.
    struct AtCode : juce::ChangeListener
    {
        std::function<void()> turn;
        PresetManager* presets = nullptr;
        int code = 0;
        bool turned = false;
        void changeListenerCallback (juce::ChangeBroadcaster*) override
        {
            if (! turned && presets->getStatus() == code)
            {
                turned = true;
                turn();
            }
        }
    } atCode;
    atCode.presets = program.presets;
    const juce::ScopeGuard unlisten{ [&] { program.presets->removeChangeListener (&atCode); } };
    auto* link = ZOLMidiProcessing::getInstanceWithoutCreating();
    ASSERT_NE (link, nullptr);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.told);
        SCOPED_TRACE (c.turnedAtCode);
        unit.selectPresetOnUnit (0);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (0); }));
        int param = 0;
        juce::uint16 edited = 0;
        ASSERT_TRUE (turnAmpKnob (program, param, edited));
        const int before = program.notices.count();
        unit.clearReceived();

        if (c.turnedAtCode != 0)
        {
            atCode.turned = false;
            atCode.code = c.turnedAtCode;
            atCode.turn = [&, to = c.turnedTo]
            {
                unit.selectPresetOnUnit (to);
                const auto end = juce::Time::currentTimeMillis() + 30000;

                while (! link->hasPresetChange() && juce::Time::currentTimeMillis() < end)
                    juce::Thread::sleep (1);
            };
            program.presets->addChangeListener (&atCode);
        }
        else
        {
            unit.selectPresetAfterNextAnswerTo (SYSEX_PATCHNUM, c.turnedTo);
        }

        c.give();
        EXPECT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() > before && shows (c.turnedTo); }))
            << program.notices.lastMessage();
        ASSERT_TRUE (program.settle());
        program.presets->removeChangeListener (&atCode);
        EXPECT_EQ (atCode.turned, c.turnedAtCode != 0);
        EXPECT_EQ (program.notices.lastMessage(), c.told);
        EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
        EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
        EXPECT_EQ (unit.countReceived (SYSEX_MUTE) % 2, 0) << "the outputs left muted";
        EXPECT_TRUE (unit.getPreset (0).toWords() == stored0) << "preset 0 written over";
        EXPECT_TRUE (unit.getPreset (1).toWords() == stored1) << "preset 1 written over";
        EXPECT_TRUE (interaction.fileRequests.empty());
        EXPECT_FALSE (exported.withFileExtension ("syx").exists());
    }
}

// The user turns the unit to another preset as SAVE's save reaches it: the
// unit reports the change, then stores what it now plays in the shown
// location. One box says so, the list names the location as the unit stores
// it, and the window follows the unit. Turned once the save, or the flags'
// question after it, is answered, the edit was saved: nothing is told, and
// the location keeps the saved name.
TEST (FrontPanelEndToEnd, APresetChangeAsTheSaveGoesOutIsToldAndTheListNamesTheLocationAsStored)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-change-on-save" };
    ASSERT_TRUE (program.open());
    auto& unit = program.unit;
    auto* panel = program.content->getFrontPanel();
    ASSERT_NE (panel, nullptr);
    auto* picker = program.content->getPaneAs<KestrelPresetPicker> (ContentPane::presetPicker);
    ASSERT_NE (picker, nullptr);
    auto shows = [&] (int number) { return showsPreset (program, number); };
    // The name LIST shows for a slot.
    auto listed = [&] (int slot) -> juce::String
    {
        panel->getButtonNamed ("bankButton")->triggerClick();
        if (! pumpMessagesUntil ([&] { return picker->isShowing() && ! picker->getShownItemIds().isEmpty(); }))
            return "<no list>";
        auto* cell = picker->getCellList()->findCellByItemId (slot);
        const auto name = cell != nullptr ? cell->getNameText().trim() : juce::String ("<no cell>");
        picker->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        return pumpMessagesUntil ([&] { return ! picker->isVisible(); }) ? name : "<list left open>";
    };
    // The unit is turned as the request of the function reaches it, or
    // right after its answer.
    const struct
    {
        int shown;
        int function;
        bool onRequest;
        int turnedTo;
        const char* told;
    } cases[] = {
        { 2, SYSEX_SAVE_PATCH, true, 5,
          "The Kestrel changed to 1-6 \"Preset 5\" as the save went out: 1-3 now holds \"Preset 5\"; the edit was "
          "not saved." },
        { 10, SYSEX_SAVE_PATCH, false, 12, nullptr },
        { 11, SYSEX_GET_FLAGS, false, 12, nullptr },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.shown);
        unit.selectPresetOnUnit (c.shown);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return shows (c.shown); }));
        const auto storedTurnedTo = unit.getPreset (c.turnedTo).toWords();
        int param = 0;
        juce::uint16 edited = 0;
        ASSERT_TRUE (turnAmpKnob (program, param, edited));
        const int before = program.notices.count();
        unit.clearReceived();

        if (c.onRequest)
            unit.selectPresetOnNextRequestOf (c.function, c.turnedTo);
        else
            unit.selectPresetAfterNextAnswerTo (c.function, c.turnedTo);

        panel->getButtonNamed ("saveButton")->triggerClick();
        // The window follows the unit, which plays the preset turned to or,
        // turned as the save reached it, the location it saved into, which
        // holds the preset turned to now.
        const int playing = c.onRequest ? c.shown : c.turnedTo;
        auto followed = [&]
        {
            return program.presets->getCurrentPresetNumber() == playing && ! program.presets->hasWork()
                   && panel->getPresetName()->getText() == "Preset " + juce::String (c.turnedTo);
        };
        ASSERT_TRUE (pumpMessagesUntil ([&] { return unit.countReceived (SYSEX_SAVE_PATCH) > 0 && followed(); }))
            << program.notices.lastMessage();
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (unit.getCurrentPresetNumber(), playing);
        EXPECT_TRUE (followed());
        EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 1);
        EXPECT_TRUE (unit.getPreset (c.turnedTo).toWords() == storedTurnedTo) << "the preset turned to written over";

        if (c.told != nullptr)
        {
            EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
            EXPECT_EQ (program.notices.lastMessage(), juce::String (c.told));
            EXPECT_TRUE (unit.getPreset (c.shown).toWords() == storedTurnedTo) << "not what the unit stores";
            EXPECT_EQ (listed (c.shown), "Preset " + juce::String (c.turnedTo));
        }
        else
        {
            EXPECT_EQ (program.notices.count(), before) << program.notices.lastMessage();
            EXPECT_EQ (storedParam (program, c.shown, param), edited) << "the edit was not saved";
            EXPECT_EQ (listed (c.shown), "Preset " + juce::String (c.shown));
        }
    }
}
