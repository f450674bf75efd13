#include "app/shell/ControlUnitContent.h"
#include "app/dialogs/SavePresetBundleDlg.h"
#include "app/shell/SnapshotList.h"
#include "bench/BenchRig.h"
#include "device/wire/SysExFiles.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "support/BundleImport.h"
#include "support/FileSizeLimit.h"
#include "support/PumpMessages.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace
{
using Action = ControlUnitContent::CodeAction;

juce::MouseEvent rightClickOn (juce::Component& c)
{
    auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {},
                             juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier),
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, {}, now, 1,
                             false);
}

bool isEvenDisablingCode (int code)
{
    return ControlUnitContent::actionForCode (code) == Action::disable;
}
} // namespace

TEST (ControlUnitContent, EveryCodeThatDisablesThePanelIsFollowedByOneThatEnablesIt)
{
    int disabling = 0;

    for (int code = 0; code <= 145; ++code)
    {
        if (! isEvenDisablingCode (code))
            continue;

        ++disabling;
        const auto end = ControlUnitContent::actionForCode (code + 1);
        EXPECT_NE (end, Action::nothing) << "end code " << code + 1;
        EXPECT_NE (end, Action::disable) << "end code " << code + 1;
    }

    EXPECT_GT (disabling, 50);
    // A failed request posts 1 instead of its end code.
    EXPECT_EQ (ControlUnitContent::actionForCode (1), Action::enable);
    EXPECT_EQ (ControlUnitContent::actionForCode (20), Action::disable);
    EXPECT_EQ (ControlUnitContent::actionForCode (21), Action::fullRefresh);

    for (int code : { 0, 12, 13, 68, 70, 72, 73, 90, 91, 96, 97, 110, 116, 117, 120, 121, 124, 127, 142 })
        EXPECT_EQ (ControlUnitContent::actionForCode (code), Action::nothing) << code;
}

TEST (ControlUnitContent, TwoTapsSetTheTempoFromTheirIntervalWithinTheFieldsRange)
{
    PresetManager presets (nullptr, {}, nullptr);
    ControlUnitContent panel (nullptr, nullptr, &presets);
    auto& tempo = presets.getRequest (setTempo);

    panel.tapTempo (1000.0);
    EXPECT_FALSE (tempo.isRunning());
    panel.tapTempo (1500.0);
    ASSERT_TRUE (tempo.isRunning());
    EXPECT_EQ (tempo.value, 120);
    tempo.stop (ZolStateMachine::resultCompleted);

    // Too far apart only restarts the measurement.
    panel.tapTempo (10000.0);
    panel.tapTempo (12500.0);
    EXPECT_FALSE (tempo.isRunning());
    panel.tapTempo (12900.0);
    ASSERT_TRUE (tempo.isRunning());
    EXPECT_EQ (tempo.value, 150);
    tempo.stop (ZolStateMachine::resultCompleted);

    // A double click would be 6000 BPM: the unit gets the field's highest tempo.
    panel.tapTempo (20000.0);
    panel.tapTempo (20010.0);
    ASSERT_TRUE (tempo.isRunning());
    EXPECT_EQ (tempo.value, ControlUnitContent::maxTempo);
}

TEST (ControlUnitContent, AnExportWithoutOneWholePresetWritesNothingAndSaysSo)
{
    PresetManager presets (nullptr, {}, nullptr);
    ControlUnitContent panel (nullptr, nullptr, &presets);
    ScriptedInteraction interaction;
    RecordingNotifier notices;

    // Nothing was read from the unit: no chooser, no snapshot, a warning each.
    panel.exportSysex (false);
    panel.exportSysex (true);
    panel.saveSnapshot();
    EXPECT_TRUE (interaction.fileRequests.empty());
    ASSERT_EQ (notices.count(), 3);
    EXPECT_EQ (notices.get (0).icon, Notice::Icon::warning);
    EXPECT_EQ (SnapshotList::getInstance()->size(), 0);
}

//==============================================================================
// The panel built from the program's skin, against the simulated unit.
class FrontPanelOnTheUnit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        settings = KestrelGlobalConfiguration::getInstance();
        ASSERT_NE (settings, nullptr);
        settings->SNAPSHOTS_DIR = scratch.folder.getChildFile ("snapshots").getFullPathName();
        settings->MRU_DIRECTORY = scratch.folder.getFullPathName();

        panel = std::make_unique<ControlUnitContent> (nullptr, &skin, rig.manager.get());
        rig.manager->addChangeListener (panel.get());
        ASSERT_TRUE (rig.connectAndLoad());
        ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return panel->areControlsEnabled() && shownName().isNotEmpty(); },
                                                 10000));
    }

    void TearDown() override
    {
        rig.manager->removeChangeListener (panel.get());
        panel.reset();
        UserFolders::redirectTo ({});
    }

    juce::String shownName() const { return panel->getPresetName()->getText(); }

    // Starts an export request and waits until the panel has handled its end.
    bool runExport (int kind)
    {
        const auto chosen = interaction.fileRequests.size();
        if (! rig.manager->requestFileOperation (127, 127, kind))
            return false;
        return bench::runMessageLoopUntil ([&] { return interaction.fileRequests.size() > chosen; }, 10000);
    }

    RecordingNotifier& notices() { return rig.notices; }

    ScratchFolder scratch{ "kestrel-front-panel" };
    bench::ProgramRig rig;
    SkinManager skin;
    KestrelGlobalConfiguration* settings = nullptr;
    ScriptedInteraction interaction;
    std::unique_ptr<ControlUnitContent> panel;
};

// A pick list that answers with the value the test sets.
struct AnsweringPickList : LocationPickList
{
    void openForPick (const Request& request) override { requests.push_back (request); }
    int getPickResult (juce::uint16& value) const override
    {
        value = answer;
        return LocationPickList::resultPicked;
    }
    void closeList() override {}

    bool pick (juce::uint16 value)
    {
        answer = value;
        sendSynchronousChangeMessage();
        return true;
    }

    std::vector<Request> requests;
    juce::uint16 answer = 0;
};

// "Save Preset" of a preset that came from a bundle reads the cab names,
// opens the bundle dialog with the bundle's cabs in their scratchpads, and
// saves preset and cabs where the user picked.
TEST_F (FrontPanelOnTheUnit, SavingABundlesPresetGoesThroughTheBundleDialogToTheChosenLocations)
{
    SavePresetBundleDlg dialog (&skin);
    AnsweringPickList pickList;
    panel->setBundleSaveParts (&dialog, &pickList);
    dialog.addChangeListener (panel.get());
    settings->PROMPT_PRESET_BUNDLE_IMPORT = false;

    EXPECT_FALSE (panel->ownsCommand (1118)) << "a plain preset is saved by the command target";
    ASSERT_TRUE (importTwoCabBundle (rig));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return panel->areControlsEnabled(); }, 10000));
    rig.manager->resetCabLists();

    ASSERT_TRUE (panel->ownsCommand (1118));
    ASSERT_TRUE (panel->performCommand (1118));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return dialog.isVisible(); }, 20000))
        << "the dialog opens once the cab names are read";

    const auto& offered = dialog.getBundleInfo();
    EXPECT_EQ (offered.presetTarget, rig.manager->getCurrentPresetNumber());
    EXPECT_EQ (offered.cabs[0].scratchpad, 0);
    EXPECT_EQ (offered.cabs[0].name, "S001: Cab 0");
    EXPECT_EQ (offered.cabs[1].scratchpad, 1);
    EXPECT_FALSE (offered.holdsCab (2) || offered.holdsCab (3));
    EXPECT_EQ (offered.cabNumberLabels.size(), rig.unit->getNumUserCabs());
    EXPECT_EQ (offered.cabNumberLabels.size(), offered.cabNames.size());
    EXPECT_EQ (offered.presetNumberLabels[0], "1-1  ");

    dialog.chooseLocation (0);
    ASSERT_EQ (pickList.requests.size(), 1u);
    EXPECT_EQ (pickList.requests[0].kind, LocationPickList::Kind::presets);
    EXPECT_EQ (pickList.requests[0].columnCount, 24);
    pickList.pick (20);
    dialog.chooseLocation (1);
    pickList.pick (5);
    saveScreenshot (dialog, "bundle-save-from-front-panel");

    const int factory = rig.unit->getNumFactoryCabs();
    const int firstScratchpad = factory + rig.unit->getNumUserCabs();
    ASSERT_TRUE (dialog.close (true));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return rig.unit->getPreset (20).name.trimEnd() == "Bundled"; }, 20000))
        << notices().lastMessage();
    ASSERT_TRUE (rig.waitForRequest (savePresetCabBundle));
    EXPECT_EQ (rig.unit->getCabName (factory + 5).name, "Cab 0");
    juce::uint16 left = 0, right = 0;
    auto saved = rig.unit->getPreset (20);
    ASSERT_TRUE (saved.getParam (108, 0, left) && saved.getParam (108, 2, right));
    EXPECT_EQ (left, factory + 5);
    EXPECT_EQ (right, firstScratchpad + 1);
    EXPECT_TRUE (bench::runMessageLoopUntil ([&] { return rig.unit->getCurrentPresetNumber() == 20; }, 10000));
    dialog.removeChangeListener (panel.get());
}

TEST_F (FrontPanelOnTheUnit, ShowsThePresetAndChangesSceneAndPresetOnlyWhenAnotherIsPressed)
{
    const auto number = rig.manager->getCurrentPresetNumber();
    EXPECT_EQ (shownName(), rig.manager->getCurrentPresetName());
    EXPECT_TRUE (panel->getPresetButton (number & 7)->getToggleState());
    EXPECT_TRUE (panel->getSceneButton (rig.unit->getCurrentScene())->getToggleState());
    EXPECT_TRUE (panel->getPresetAmps()->getText().startsWith ("Amp: ")) << panel->getPresetAmps()->getText();
    EXPECT_TRUE (panel->getPresetSource()->getText().contains (" - FW ")) << panel->getPresetSource()->getText();
    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 1024, 100));
    saveScreenshot (*panel, "front-panel");

    // The current scene and slot send nothing.
    rig.unit->clearReceived();
    panel->getSceneButton (rig.unit->getCurrentScene())->triggerClick();
    panel->getPresetButton (number & 7)->triggerClick();
    // The clicks are in, and whatever they started has ended.
    ASSERT_TRUE (pumpPostedMessages() && bench::runMessageLoopUntil ([&] { return ! rig.manager->hasWork(); }, 10000));
    EXPECT_EQ (rig.unit->getReceived().size(), 0);

    const int otherScene = (rig.unit->getCurrentScene() + 3) % 8;
    panel->getSceneButton (otherScene)->triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return rig.unit->getCurrentScene() == otherScene; }, 10000));
    // The panel is disabled while the change runs.
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return panel->areControlsEnabled(); }, 10000));

    const int otherSlot = ((number & 7) + 2) % 8;
    panel->getPresetButton (otherSlot)->triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil (
        [&] { return rig.unit->getCurrentPresetNumber() == (number & ~7) + otherSlot; }, 10000));
    EXPECT_TRUE (bench::runMessageLoopUntil ([&] { return shownName() == rig.unit->getEditBuffer().name.trimEnd(); }, 10000));
}

TEST_F (FrontPanelOnTheUnit, ExportsAWholePresetAddingTheExtensionAndAsksBeforeReplacingAnotherFile)
{
    // Typed without the extension: ".syx" is added, the file reads back as one preset.
    auto typed = scratch.folder.getChildFile ("out").getChildFile ("my preset");
    interaction.answerWithFile (typed);
    ASSERT_TRUE (runExport (0));
    ASSERT_EQ (interaction.fileRequests.back().mode, FileRequest::Mode::save);
    EXPECT_EQ (interaction.fileRequests.back().initial.getFileName(),
               juce::File::createLegalFileName (rig.manager->getCurrentPresetName().trim()));

    auto written = typed.withFileExtension ("syx");
    ASSERT_TRUE (written.existsAsFile()) << notices().lastMessage();
    juce::MemoryBlock data;
    ASSERT_TRUE (written.loadFileAsData (data));
    EXPECT_EQ (getSysExFileType (data), SYSEX_FILE_PRESET);
    EXPECT_TRUE (PresetManager::isWholePresetDump (data));
    EXPECT_EQ (settings->MRU_DIRECTORY, written.getParentDirectory().getFullPathName());

    // The same name again: the chooser could not warn about "my preset.syx";
    // the panel asks, and a refusal leaves the file as it was.
    ASSERT_TRUE (written.replaceWithText ("keep me"));
    interaction.answerWithFile (typed);
    const auto before = notices().count();
    ASSERT_TRUE (runExport (0));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return notices().count() > before; }, 5000));
    EXPECT_EQ (notices().get (before).buttons, Notice::Buttons::okCancel);
    notices().answer (before, 0);
    EXPECT_EQ (written.loadFileAsString(), "keep me");
    notices().answer (before, 1);
    juce::MemoryBlock replaced;
    EXPECT_TRUE (written.loadFileAsData (replaced) && PresetManager::isWholePresetDump (replaced));

    // A name typed with the extension in other letters keeps it.
    auto upper = scratch.folder.getChildFile ("LOUD.SYX");
    interaction.answerWithFile (upper);
    ASSERT_TRUE (runExport (0));
    EXPECT_TRUE (upper.existsAsFile());
    EXPECT_FALSE (upper.withFileExtension ("SYX.syx").existsAsFile());
}

TEST_F (FrontPanelOnTheUnit, AFailedWriteIsToldAndChangesNothingElse)
{
    // A folder that cannot be made: its parent is a file.
    auto blocker = scratch.folder.getChildFile ("blocker");
    ASSERT_TRUE (blocker.replaceWithText ("x"));
    const auto mruBefore = settings->MRU_DIRECTORY;

    interaction.answerWithFile (blocker.getChildFile ("x.syx"));
    ASSERT_TRUE (runExport (0));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return notices().count() > 0; }, 5000));
    EXPECT_EQ (notices().get (0).icon, Notice::Icon::warning);
    EXPECT_EQ (settings->MRU_DIRECTORY, mruBefore);

    // The snapshot folder likewise: the list is not extended.
    settings->SNAPSHOTS_DIR = blocker.getChildFile ("snaps").getFullPathName();
    ASSERT_TRUE (rig.manager->requestFileOperation (127, 127, 3));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return notices().count() > 1; }, 10000));
    EXPECT_EQ (SnapshotList::getInstance()->size(), 0);

    // Cancelling a chooser is silent.
    ASSERT_TRUE (runExport (0));
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return ! rig.manager->hasWork(); }, 10000)); // the export has ended
    EXPECT_EQ (notices().count(), 2);
}

#if JUCE_LINUX || JUCE_MAC
// A full disk: the snapshot leaves no piece of itself beside the older
// ones, is not listed, and the user is told.
TEST_F (FrontPanelOnTheUnit, ASnapshotOnAFullDiskLeavesTheFolderAsItWasAndSaysSo)
{
    const auto snapshotFolder = juce::File (settings->SNAPSHOTS_DIR);
    ASSERT_TRUE (snapshotFolder.createDirectory());
    const auto olderSnapshot = snapshotFolder.getChildFile ("older.syx");
    ASSERT_TRUE (olderSnapshot.replaceWithText ("an older snapshot"));

    {
        FileSizeLimit fullDisk (1000);
        ASSERT_TRUE (fullDisk.active);
        ASSERT_TRUE (rig.manager->requestFileOperation (127, 127, 3));
        ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return notices().count() > 0; }, 10000));
    }

    EXPECT_EQ (notices().get (0).icon, Notice::Icon::warning);
    EXPECT_TRUE (notices().get (0).message.startsWith ("Unable to write " + snapshotFolder.getFullPathName()))
        << notices().get (0).message;
    EXPECT_EQ (SnapshotList::getInstance()->size(), 0);
    EXPECT_EQ (olderSnapshot.loadFileAsString(), "an older snapshot");
    EXPECT_EQ (snapshotFolder.findChildFiles (juce::File::findFiles, false, "*").size(), 1);
}
#endif

// Only the preset buttons, bank up and down and the preset list button go on
// taking clicks: another preset chosen meanwhile loads next.
TEST_F (FrontPanelOnTheUnit, LoadingAPresetDisablesEveryControlButThoseChoosingAPresetUntilItEnds)
{
    juce::Array<juce::Component*> controls{ panel->getBankNumber(), panel->getPresetName(), panel->getTempoField() };
    for (auto* name : { "saveButton", "saveMenuButton", "snapshotButton", "importButton", "tunerButton", "tempoButton",
                        "tempoDropDown" })
        controls.add (panel->getButtonNamed (name));
    juce::Array<juce::Component*> presetChoice;
    for (auto* name : { "bankButton", "bankUpButton", "bankDownButton" })
        presetChoice.add (panel->getButtonNamed (name));
    for (int i = 0; i < 8; ++i)
    {
        controls.add (panel->getSceneButton (i));
        presetChoice.add (panel->getPresetButton (i));
    }
    controls.removeAllInstancesOf (nullptr); // what the skin leaves out
    presetChoice.removeAllInstancesOf (nullptr);
    ASSERT_GE (controls.size(), 11);
    ASSERT_EQ (presetChoice.size(), 11);
    // (An LED's enabled state is whether it is lit.)
    const juce::Array<juce::Component*> neverDisabled{ panel->getCpuField(), panel->getPresetAmps(),
                                                       panel->getButtonNamed ("logoButton") };

    auto post = [this] (int code)
    {
        rig.manager->setStatus (code, 0, 0);
        rig.manager->sendSynchronousChangeMessage();
    };

    // "Load Preset" and "Change Preset".
    for (int begin : { 20, 28 })
    {
        post (begin);
        for (auto* c : controls)
            EXPECT_FALSE (c->isEnabled()) << c->getName() << " " << begin;
        for (auto* c : presetChoice)
            EXPECT_TRUE (c->isEnabled()) << c->getName() << " " << begin;
        for (auto* c : neverDisabled)
            if (c != nullptr)
            {
                EXPECT_TRUE (c->isEnabled()) << c->getName();
            }

        post (begin + 1);
        for (auto* c : controls)
            EXPECT_TRUE (c->isEnabled()) << c->getName() << " " << begin + 1;
    }

    // Any other request leaves none of them enabled.
    post (30);
    for (auto* c : presetChoice)
        EXPECT_FALSE (c->isEnabled()) << c->getName();
    post (31);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! rig.manager->hasWork(); }, 30000));
}

TEST_F (FrontPanelOnTheUnit, SnapshotsOfTheSameSecondGetNumberedNamesAndAreListedNewestFirst)
{
    auto* snapshots = SnapshotList::getInstance();

    for (int i = 1; i <= 2; ++i)
    {
        ASSERT_TRUE (rig.manager->requestFileOperation (127, 127, 3));
        ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return snapshots->size() == i; }, 10000)) << notices().lastMessage();
    }

    juce::String newest, oldest;
    ASSERT_TRUE (snapshots->getSecond (0, newest));
    ASSERT_TRUE (snapshots->getSecond (1, oldest));
    EXPECT_TRUE (juce::File (oldest).existsAsFile());
    EXPECT_TRUE (juce::File (newest).existsAsFile());
    EXPECT_NE (newest, oldest);
    EXPECT_TRUE (juce::File (oldest).getParentDirectory() == juce::File (settings->SNAPSHOTS_DIR));

    // Within one second the second name carries "(1)"; across a second boundary it is just later.
    if (juce::File (newest).getFileNameWithoutExtension().dropLastCharacters (3)
        == juce::File (oldest).getFileNameWithoutExtension())
    {
        EXPECT_TRUE (newest.endsWith ("(1).syx")) << newest;
    }
}

TEST_F (FrontPanelOnTheUnit, ARightClickOnAnySceneButtonOpensTheSceneMenu)
{
    panel->mouseDown (rightClickOn (*panel->getSceneButton (5)));
    ASSERT_EQ (interaction.menus.size(), 1u);
    EXPECT_TRUE (interaction.menus[0].itemTexts.contains ("Copy Current Scene"));
    EXPECT_TRUE (interaction.menus[0].itemTexts.contains ("Swap current scene with Scene 8"));
}
