#include "app/editor/BlockLibNameDialog.h"
#include "app/editor/EffectEditorContent.h"
#include "bench/BenchRig.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLEffectParam.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
constexpr int ampBlock = 106;
constexpr int reverbBlock = 110;

// A page control reduced to its binding.
class Control : public ZOLEffectParam
{
public:
    explicit Control (int param) { paramId = (juce::uint16) param; }

    int getUnitValue() override { return value; }
    double getValueAsDouble() override { return typed; }

    void setFromDevice (juce::uint16 v, juce::uint16 live, const juce::String&) override
    {
        reported = v;
        position = live;
    }

    int value = 0;
    double typed = 0.0;
    int reported = -1;
    int position = -1;
};

// The editor on the real link thread and the simulated unit, with a block
// library in a folder of its own.
class EffectEditorRoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        config = std::make_unique<KestrelGlobalConfiguration>();
        library = std::make_unique<KestrelBlockLibraryManager> (config.get());
        library->addFirmwareRules (FirmwareRequirements);
        library->setConnectedDevice (8, 6, 0);
        library->checkLibraryDirectory();

        ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
        ASSERT_TRUE (rig.connectAndLoad());
        editor = std::make_unique<EffectEditorContent> (&skin, rig.manager.get(), &rig.effects, nullptr, nullptr);
        editor->setBlockLibrary (library.get());
        ASSERT_TRUE (idle());
    }

    void TearDown() override
    {
        editor.reset();
        library.reset();
        config.reset();
        UserFolders::redirectTo ({});
    }

    Control& add (int param)
    {
        return *static_cast<Control*> (editor->addPageControl (std::make_unique<Control> (param)));
    }

    bool idle()
    {
        // Until every request has ended and its code has been broadcast.
        return bench::runMessageLoopUntil ([this] { return ! rig.manager->hasWork(); }, 15000);
    }

    bool unitHolds (int block, int param, int expected) const
    {
        juce::uint16 value = 0;
        return rig.unit->getParam (block, param, value) && value == expected;
    }

    void show (int block)
    {
        editor->showBlock (block);
        ASSERT_TRUE (idle());
    }

    SkinManager skin;
    ScratchFolder scratch{ "kestrel-editor-road" };
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<KestrelBlockLibraryManager> library;
    bench::ProgramRig rig;
    std::unique_ptr<EffectEditorContent> editor;
};
} // namespace

TEST_F (EffectEditorRoad, ATypedValueIsConvertedAndReachesTheUnit)
{
    show (ampBlock);
    auto& volume = add (21);

    // 0 dB on the Amp's master volume is about 69.25 on the unit's 0..100
    // scale: 45379 of 65534.
    volume.typed = 0.0;
    volume.postChangeCode (10);

    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return unitHolds (ampBlock, 21, 45379); }, 10000));
    EXPECT_TRUE (idle());
    EXPECT_TRUE (editor->areControlsEnabled());
}

TEST_F (EffectEditorRoad, AKnobMovedByTheUnitsControllerFollowsLive)
{
    show (ampBlock);
    auto& gain = add (1);
    gain.modifierActive = true;
    editor->setLiveUpdates (false);
    EXPECT_TRUE (editor->isKnobBroadcastOn());
    ASSERT_TRUE (
        bench::runMessageLoopUntil ([this] { return rig.unit->countReceived (SYSEX_BROADCAST_KNOB) == 1; }, 5000));

    rig.unit->sendKnobBroadcast ({ { 1, 100 } });
    EXPECT_TRUE (bench::runMessageLoopUntil (
        [&]
        {
            editor->tickLiveUpdates();
            return gain.position == 100;
        },
        5000));

    // The live position is kept with the value: the page shown again keeps it.
    gain.position = -1;
    editor->applyAllValues();
    EXPECT_EQ (gain.position, 100);

    // A page without modulated parameters stops the reports.
    gain.modifierActive = false;
    editor->setLiveUpdates (false);
    EXPECT_FALSE (editor->isKnobBroadcastOn());
    EXPECT_TRUE (
        bench::runMessageLoopUntil ([this] { return rig.unit->countReceived (SYSEX_BROADCAST_KNOB) == 2; }, 5000));
}

// The editor's own queue never jams: a request the link drops when it stops
// ends, and none is made while the unit is not connected.
TEST_F (EffectEditorRoad, OwnRequestsNeverJamWhenTheLinkStopsOrRefuses)
{
    EXPECT_TRUE (editor->requestBroadcastKnob ({ 1 }));
    EXPECT_TRUE (bench::runMessageLoopUntil (
        [this]
        {
            editor->tickLiveUpdates();
            return editor->getNumOwnRequests() == 0;
        },
        5000));

    rig.link->setHold (true);
    EXPECT_TRUE (editor->requestLooperState (true));
    EXPECT_TRUE (editor->requestBroadcastKnob ({}));
    EXPECT_EQ (editor->getNumOwnRequests(), 2);

    rig.link->stopProcessing();
    editor->tickLiveUpdates();
    editor->tickLiveUpdates();
    EXPECT_EQ (editor->getNumOwnRequests(), 0);

    EXPECT_FALSE (editor->requestLooperState (false));
    EXPECT_EQ (editor->getNumOwnRequests(), 0);
}

TEST_F (EffectEditorRoad, ABlockIsSavedNamedAndInsertedThroughTheLibrary)
{
    auto buffer = rig.unit->getEditBuffer();
    ASSERT_TRUE (buffer.setParam (ampBlock, 1, 11111));
    rig.unit->setEditBuffer (buffer);
    show (ampBlock);

    ASSERT_TRUE (editor->startLibrarySave (true));
    auto* dialog = editor->getNameDialog();
    ASSERT_TRUE (bench::runMessageLoopUntil ([dialog] { return dialog->isVisible(); }, 10000));
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return ! editor->areControlsEnabled(); }, 10000));

    // An empty name is refused and the dialog stays.
    dialog->setText ({});
    dialog->accept();
    EXPECT_TRUE (
        bench::runMessageLoopUntil ([this] { return rig.notices.lastMessage() == "Please enter a new name."; }, 10000));
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (rig.notices.lastMessage(), "Please enter a new name.");

    dialog->setText ("Crunch");
    dialog->accept();
    ASSERT_TRUE (bench::runMessageLoopUntil ([dialog] { return ! dialog->isVisible(); }, 5000));
    EXPECT_TRUE (editor->areControlsEnabled());

    const int entryId = editor->getShownLibraryEntry();
    auto* entry = library->findEntryById (entryId);
    ASSERT_NE (entry, nullptr);
    EXPECT_EQ (entry->name, "Crunch");
    EXPECT_TRUE (entry->file.existsAsFile());

    // The unit's value changes; inserting the entry brings the saved one back.
    buffer = rig.unit->getEditBuffer();
    ASSERT_TRUE (buffer.setParam (ampBlock, 1, 222));
    rig.unit->setEditBuffer (buffer);
    ASSERT_TRUE (editor->insertLibraryEntry (entryId));
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return unitHolds (ampBlock, 1, 11111); }, 15000));
    EXPECT_TRUE (idle());
    EXPECT_TRUE (editor->areControlsEnabled());

    // An entry of another effect type is not inserted.
    show (reverbBlock);
    const int messages = rig.notices.count();
    EXPECT_FALSE (editor->insertLibraryEntry (entryId));
    EXPECT_EQ (rig.notices.count(), messages + 1);
}

TEST_F (EffectEditorRoad, ACancelledSaveAsLeavesNoEntryAndNoLink)
{
    show (ampBlock);
    ASSERT_TRUE (editor->startLibrarySave (true));
    auto* dialog = editor->getNameDialog();
    ASSERT_TRUE (bench::runMessageLoopUntil ([dialog] { return dialog->isVisible(); }, 10000));
    ASSERT_EQ (library->getNumEntries(), 1);

    dialog->close (5);
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return library->getNumEntries() == 0; }, 10000));
    EXPECT_EQ (library->getNumEntries(), 0);
    EXPECT_LE (library->getLinkedEntryId (ampBlock), 0);
    EXPECT_FALSE (editor->hasLibrarySelection());
}

TEST_F (EffectEditorRoad, ADroppedBlockFileGoesOnlyWhereItsTypeBelongs)
{
    BlockLibraryEntry amp (EFFECT_DISTORT, 8, 6, 0);
    amp.name = "Dropped";
    amp.paramData.setSize (64, true);
    const auto file = scratch.folder.getChildFile ("dropped.blk");
    ASSERT_TRUE (amp.writeToFile (file));

    // An amp entry has no place in the controllers' view.
    show (blockIdControllers);
    EXPECT_FALSE (editor->isInterestedInFileDrag ({ file.getFullPathName(), file.getFullPathName() }));
    ASSERT_TRUE (editor->isInterestedInFileDrag ({ file.getFullPathName() }));
    const int messages = rig.notices.count();
    editor->filesDropped ({ file.getFullPathName() }, 10, 10);
    ASSERT_EQ (rig.notices.count(), messages + 1);
    EXPECT_TRUE (rig.notices.lastMessage().startsWith (file.getFullPathName() + ": Selected block is a Grid block"));
    EXPECT_EQ (rig.manager->getRequest (blockPaste).getResult(), ZolStateMachine::resultIdle);
}

TEST_F (EffectEditorRoad, AFailedLibraryQueryLeavesTheEditorEnabledAndNoEntry)
{
    show (ampBlock);
    rig.unit->setSilentFor (SYSEX_GET_ALL_PARAMS);

    ASSERT_TRUE (editor->startLibrarySave (false));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! editor->areControlsEnabled(); }, 5000));
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return editor->areControlsEnabled(); }, 20000));
    EXPECT_TRUE (idle());
    EXPECT_EQ (rig.manager->getRequest (blockLibraryQuery).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_FALSE (editor->getNameDialog()->isVisible());
    EXPECT_EQ (library->getNumEntries(), 0);
}

TEST (BlockLibNameDialog, TitlesPrefillCharactersAndKeys)
{
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    BlockLibNameDialog dialog (&skin);
    ASSERT_GT (dialog.getWidth(), 0);

    BlockLibraryManager library (nullptr);
    auto* entry = library.addEntry (std::make_unique<BlockLibraryEntry> (EFFECT_REVERB, 8, 6, 0));

    dialog.open (BlockLibNameDialog::modeSaveAs, entry->uuid, {}, &library);
    EXPECT_EQ (dialog.getShownTitle(), "Block Library: Save As");
    EXPECT_EQ (dialog.getText(), getNameForId (EffectTypeFileNames, EFFECT_REVERB));
    EXPECT_EQ (dialog.getChangeCode(), 1);

    // Only printable ASCII, at most 31 characters.
    auto* box = dialog.getEditBox();
    ASSERT_NE (box, nullptr);
    box->setText ({});
    box->insertTextAtCaret (juce::String::repeatedString ("a", 40) + juce::String::charToString (0x00e9));
    EXPECT_EQ (box->getText(), juce::String::repeatedString ("a", 31));
    saveScreenshot (dialog, "block-library-name-dialog");

    // Return in the edit box accepts and leaves the dialog open; Escape cancels.
    box->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    // The edit box reports its keys asynchronously.
    EXPECT_TRUE (bench::runMessageLoopUntil ([&dialog] { return dialog.getChangeCode() == 3; }, 10000));
    EXPECT_EQ (dialog.getChangeCode(), 3);
    EXPECT_TRUE (dialog.isVisible());
    box->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    EXPECT_TRUE (bench::runMessageLoopUntil ([&dialog] { return dialog.getChangeCode() == 5; }, 10000));
    EXPECT_EQ (dialog.getChangeCode(), 5);
    EXPECT_FALSE (dialog.isVisible());

    dialog.open (BlockLibNameDialog::modeRename, entry->uuid, "Hall", &library);
    EXPECT_EQ (dialog.getShownTitle(), "Block Library: Rename");
    EXPECT_EQ (dialog.getText(), "Hall");
}
