#include "bench/BenchRig.h"
#include "librarian/RawPresetDialogFollower.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/GlobalConfiguration.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
constexpr int ampBlock = 106;

// The raw preset dialog over the program's link stack and the simulated unit.
class RawPresetDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int slot = 3; slot <= 5; ++slot)
        {
            auto preset = SimulatedPreset::makeFactory (slot);
            preset.name = "Exported " + juce::String (slot);
            preset.setParam (ampBlock, 1, (juce::uint16) (1000 * slot));
            rig.unit->setPreset (slot, preset);
        }

        ASSERT_TRUE (rig.connectAndLoad());
        dialog.setPresetManager (rig.manager.get());
        dialog.setFolder (scratch.folder);
    }

    bool runToEnd()
    {
        return bench::runMessageLoopUntil ([this] { return ! dialog.isTransferRunning(); }, 60000);
    }

    bench::ProgramRig rig;
    RecordingNotifier notices;
    ScratchFolder scratch;
    RawPresetThreadDlg dialog{ nullptr };
};

TEST_F (RawPresetDialog, ThreePresetsGoToFilesAndComeBackIntoOtherSlots)
{
    GlobalConfiguration configuration ("Kestrel MIDI", "Kestrel MIDI");
    RawPresetDialogFollower follower (dialog, rig.manager.get(), &configuration);

    ASSERT_TRUE (dialog.open (RawPresetThreadDlg::exportMode, { 3, 4, 5 }));
    ASSERT_EQ (dialog.getNumItems(), 3);
    dialog.dispatchPendingMessages();
    EXPECT_TRUE (rig.manager->isPresetChangeHeld()) << "held from the opening";
    ASSERT_TRUE (dialog.startTransfer());
    ASSERT_TRUE (runToEnd());

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (dialog.getItemState (i), RawPresetJobItem::stateDone) << dialog.getItemText (i);

    auto files = scratch.folder.findChildFiles (juce::File::findFiles, false, "*.dat");
    files.sort();
    ASSERT_EQ (files.size(), 3);
    EXPECT_TRUE (files[0].getFileName().endsWith ("_Exported 3.dat")) << files[0].getFileName();

    dialog.requestClose();
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (dialog.getChangeCode(), RawPresetThreadDlg::codeClosed);
    dialog.dispatchPendingMessages();
    EXPECT_FALSE (rig.manager->isResyncHeld());
    EXPECT_EQ (configuration.MRU_DIRECTORY, scratch.folder.getFullPathName());

    ASSERT_TRUE (dialog.open (RawPresetThreadDlg::importMode));
    ASSERT_EQ (dialog.queueImport (files, 40), 3);
    ASSERT_TRUE (dialog.startTransfer());
    ASSERT_EQ (notices.count(), 1) << "the slots are replaced only when the user says so";
    EXPECT_TRUE (notices.lastMessage().startsWith ("Replace 3 presets on the Kestrel, from "))
        << notices.lastMessage();
    notices.answer (0, 1);
    ASSERT_TRUE (runToEnd());
    saveScreenshot (dialog, "librarian-raw-preset-dialog");

    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (dialog.getItemState (i), RawPresetJobItem::stateDone) << dialog.getItemText (i);
        auto stored = rig.unit->getPreset (40 + i);
        EXPECT_EQ (stored.name.trim(), "Exported " + juce::String (3 + i));
        juce::uint16 value = 0;
        ASSERT_TRUE (stored.getParam (ampBlock, 1, value));
        EXPECT_EQ (value, 1000 * (3 + i));
    }

    EXPECT_EQ (notices.count(), 1) << notices.lastMessage();
}

TEST_F (RawPresetDialog, ClosingWhileATransferRunsAsksStopsTheWorkerAndKeepsItsItemsUntilItEnds)
{
    juce::Array<int> many;
    for (int slot = 0; slot < 30; ++slot)
        many.add (slot);

    ASSERT_TRUE (dialog.open (RawPresetThreadDlg::exportMode, many));
    ASSERT_TRUE (dialog.startTransfer());
    EXPECT_FALSE (dialog.startTransfer()) << "one transfer at a time";

    dialog.requestClose();
    ASSERT_EQ (notices.count(), 1);
    EXPECT_EQ (notices.get (0).message, RawPresetThreadDlg::closeWhileRunningText);
    EXPECT_TRUE (dialog.isVisible()) << "nothing happens before the answer";

    notices.answer (0, 0);
    EXPECT_TRUE (dialog.isTransferRunning()) << "Cancel keeps the transfer going";

    notices.answer (0, 1);
    ASSERT_TRUE (runToEnd());
    EXPECT_FALSE (dialog.isVisible());
    EXPECT_EQ (dialog.getChangeCode(), RawPresetThreadDlg::codeClosed);
    EXPECT_NE (dialog.getItemState (29), RawPresetJobItem::stateDone) << "the worker stopped early";
}

TEST_F (RawPresetDialog, AFileThatIsNoPresetRecordIsRefusedAndNothingStartsWithoutItems)
{
    auto bad = scratch.folder.getChildFile ("notes.dat");
    ASSERT_TRUE (bad.replaceWithText ("not a preset record"));

    ASSERT_TRUE (dialog.open (RawPresetThreadDlg::importMode));
    EXPECT_EQ (dialog.queueImport ({ bad }, 40), 0);
    ASSERT_EQ (notices.count(), 1);
    EXPECT_TRUE (notices.lastMessage().contains (bad.getFullPathName()));
    EXPECT_FALSE (dialog.startTransfer());
}
} // namespace
