#include "bench/BenchRig.h"
#include "device/DumpTestData.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrowserChooserDlg.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/UserInteraction.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "model/GlobalConfiguration.h"
#include "model/IdTables.h"
#include "support/HostileInputs.h"
#include "support/PresetDumpFile.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#if JUCE_LINUX || JUCE_MAC
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{
constexpr int ampBlock = 106;
constexpr int targetSlot = 9;

class Librarian : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (rig.connectAndLoad());
        librarian.setPresetManager (rig.manager.get());
        librarian.open (false);
        ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return librarian.getUnitEntryText (1).contains ("Preset"); },
                                                 20000))
            << "the unit's preset names are read when the librarian opens";
    }

    juce::File writePresetFile (const juce::String& name, int ampValue)
    {
        auto preset = SimulatedPreset::makeFactory (2);
        preset.name = name;
        preset.setParam (ampBlock, 1, (juce::uint16) ampValue);
        auto file = scratch.folder.getChildFile (name + ".syx");
        file.replaceWithData (makePresetDumpFile (preset).getData(), makePresetDumpFile (preset).getSize());
        return file;
    }

    bench::ProgramRig rig;
    RecordingNotifier notices;
    ScratchFolder scratch;
    BankManagerListContent librarian{ nullptr, nullptr };
};

TEST_F (Librarian, APresetFileFromDiskReplacesTheChosenSlotAfterTheUserAgrees)
{
    librarian.addFiles ({ writePresetFile ("From Disk", 4321) });
    ASSERT_EQ (librarian.getNumDiskEntries(), 1);
    EXPECT_EQ (librarian.getDiskEntry (0).name, "From Disk");

    librarian.selectDiskEntries ({ 0 });
    librarian.selectUnitEntry (targetSlot);
    librarian.sendSelection();
    ASSERT_EQ (notices.count(), 1);
    EXPECT_FALSE (librarian.isSending()) << "nothing is sent before the user agrees";

    notices.answer (0, 1);
    ASSERT_TRUE (librarian.isSending());
    EXPECT_TRUE (rig.manager->isResyncHeld());
    EXPECT_TRUE (rig.manager->isPresetChangeHeld());
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! librarian.isSending(); }, 20000));

    auto stored = rig.unit->getPreset (targetSlot);
    EXPECT_EQ (stored.name.trim(), "From Disk");
    juce::uint16 value = 0;
    ASSERT_TRUE (stored.getParam (ampBlock, 1, value));
    EXPECT_EQ (value, 4321);
    EXPECT_FALSE (rig.manager->isResyncHeld());
    EXPECT_FALSE (rig.manager->isPresetChangeHeld());
    EXPECT_EQ (notices.count(), 1) << notices.lastMessage();

    ASSERT_TRUE (bench::runMessageLoopUntil (
        [this] { return librarian.getUnitEntryText (targetSlot).contains ("From Disk"); }, 20000))
        << "the names are read again";
    saveScreenshot (librarian, "librarian-presets");
}

TEST_F (Librarian, AFileThatHoldsNoPresetIsRefusedBeforeAnythingIsSent)
{
    auto cut = scratch.folder.getChildFile ("cut.syx");
    auto whole = makePresetDumpFile (SimulatedPreset::makeFactory (1));
    cut.replaceWithData (whole.getData(), whole.getSize() / 2);
    auto text = scratch.folder.getChildFile ("readme.syx");
    text.replaceWithText ("hello");

    librarian.addFiles ({ cut, text });
    ASSERT_EQ (librarian.getNumDiskEntries(), 2);
    rig.unit->clearReceived();

    for (int i = 0; i < 2; ++i)
    {
        EXPECT_FALSE (librarian.sendEntries ({ i }, targetSlot));
        EXPECT_TRUE (notices.lastMessage().startsWith ("Unable to send")) << notices.lastMessage();
    }

    EXPECT_FALSE (rig.manager->isResyncHeld());
    EXPECT_EQ (rig.unit->countReceived (SYSEX_RECALL_PATCH), 0);
    EXPECT_EQ (rig.unit->countReceived (SYSEX_PATCH_START), 0);
}

TEST_F (Librarian, ADamagedPresetOfABankIsListedButNeverSent)
{
    // A bank of three presets, the middle one with a data message damaged.
    juce::MemoryBlock bank;
    for (int i = 1; i <= 3; ++i)
    {
        auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (i));
        if (i == 2)
            static_cast<char*> (dump.getData())[300] ^= 0x01;
        bank.append (dump.getData(), dump.getSize());
    }
    auto bankFile = scratch.folder.getChildFile ("bank.syx");
    bankFile.replaceWithData (bank.getData(), bank.getSize());

    librarian.addFiles ({ bankFile, getHostileInput ("bank-file-with-damaged-preset.syx") });
    ASSERT_EQ (librarian.getNumDiskEntries(), 4);
    EXPECT_TRUE (librarian.getDiskEntry (0).isPreset());
    EXPECT_FALSE (librarian.getDiskEntry (1).isPreset());
    EXPECT_TRUE (librarian.getDiskEntry (1).describe().startsWith ("Preset-Bank File, #2 (damaged) - "));
    EXPECT_TRUE (librarian.getDiskEntry (2).isPreset());
    EXPECT_FALSE (librarian.getDiskEntry (3).isPreset()) << "one preset with a stray byte and a damaged message";
    rig.unit->clearReceived();

    EXPECT_FALSE (librarian.sendEntries ({ 0, 1 }, targetSlot));
    EXPECT_TRUE (notices.lastMessage().contains ("is damaged in the file bank.syx")) << notices.lastMessage();
    EXPECT_FALSE (librarian.sendEntries ({ 3 }, targetSlot));
    EXPECT_TRUE (notices.lastMessage().startsWith ("Unable to send")) << notices.lastMessage();
    EXPECT_FALSE (rig.manager->isResyncHeld());
    EXPECT_EQ (rig.unit->countReceived (SYSEX_PATCH_START), 0);
}

TEST_F (Librarian, ACabFileGoesToTheChosenUserCabSlotAndAPresetFileIsNotACab)
{
    librarian.open (true);
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return librarian.getNumUnitEntries() > 2; }, 20000));
    EXPECT_TRUE (librarian.getUnitEntryText (0).startsWith ("U001 User Cab 1")) << librarian.getUnitEntryText (0);

    auto cab = dumptest::blockOf (dumptest::makeCabDump (8, 0, "Disk Cab", 0));
    auto cabFile = scratch.folder.getChildFile ("cab.syx");
    ASSERT_TRUE (cabFile.replaceWithData (cab.getData(), cab.getSize()));
    librarian.addFiles ({ cabFile, writePresetFile ("Not A Cab", 1) });
    ASSERT_EQ (librarian.getNumDiskEntries(), 2);
    EXPECT_EQ (librarian.getDiskEntry (0).name, "Disk Cab");

    rig.unit->clearReceived();
    EXPECT_FALSE (librarian.sendEntries ({ 1 }, 1)) << "a preset is refused in cabs mode";
    EXPECT_EQ (rig.unit->countReceived (SYSEX_CABIR_START), 0);

    juce::Array<juce::uint16> slots;
    juce::StringArray names;
    rig.manager->getCabNames (true, names, slots);
    ASSERT_TRUE (librarian.sendEntries ({ 0 }, slots[1]));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! librarian.isSending(); }, 20000));
    EXPECT_EQ (rig.unit->countReceived (SYSEX_CABIR_START), 1);
    EXPECT_EQ (librarian.getStatusText(), "Sent to the Kestrel: 1");
}

// Each cab file lands in its own user slot from the chosen one on; the
// factory cabs and the slots around stay as they were, and a send that
// reaches the end of the user slots stops there instead of wrapping.
TEST_F (Librarian, CabsLandEachInItsUserSlotAndASendNearTheEndStopsThere)
{
    librarian.open (true);
    const int factory = rig.unit->getNumFactoryCabs(), user = rig.unit->getNumUserCabs();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return librarian.getNumUnitEntries() == user; }, 20000));

    juce::Array<juce::File> files;
    for (auto name : { "Disk Cab A", "Disk Cab B", "Disk Cab C" })
    {
        auto cab = dumptest::blockOf (dumptest::makeCabDump (8, 0, name, 0));
        files.add (scratch.folder.getChildFile (juce::String (name) + ".syx"));
        ASSERT_TRUE (files.getLast().replaceWithData (cab.getData(), cab.getSize()));
    }
    librarian.addFiles (files);
    ASSERT_EQ (librarian.getNumDiskEntries(), 3);

    juce::StringArray before;
    for (int flat = 0; flat < factory + user + SimulatedKestrel::scratchpadCabCount; ++flat)
        before.add (rig.unit->getCabName (flat).name);
    auto nameAt = [&] (int flat) { return rig.unit->getCabName (flat).name.trimEnd(); };

    juce::Array<juce::uint16> slots;
    juce::StringArray names;
    rig.manager->getCabNames (true, names, slots);
    ASSERT_EQ (slots.size(), user);

    ASSERT_TRUE (librarian.sendEntries ({ 0, 1, 2 }, slots[4]));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! librarian.isSending(); }, 60000));
    EXPECT_EQ (librarian.getStatusText(), "Sent to the Kestrel: 3");
    EXPECT_EQ (nameAt (factory + 4), "Disk Cab A");
    EXPECT_EQ (nameAt (factory + 5), "Disk Cab B");
    EXPECT_EQ (nameAt (factory + 6), "Disk Cab C");

    ASSERT_TRUE (librarian.sendEntries ({ 0, 1, 2 }, slots[user - 2]));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! librarian.isSending(); }, 60000));
    EXPECT_EQ (librarian.getStatusText(), "Sent to the Kestrel: 2, left out: 1");
    EXPECT_EQ (nameAt (factory + user - 2), "Disk Cab A");
    EXPECT_EQ (nameAt (factory + user - 1), "Disk Cab B");

    for (int flat = 0; flat < before.size(); ++flat)
        if (! juce::Array<int> { factory + 4, factory + 5, factory + 6, factory + user - 2, factory + user - 1 }
                  .contains (flat))
        {
            EXPECT_EQ (rig.unit->getCabName (flat).name, before[flat]) << "cab slot " << flat;
        }
}

TEST_F (Librarian, TheListMenuOffersWhatTheLibrarianDoesAndLoadMakesThePresetCurrent)
{
    librarian.selectUnitEntry (5);
    juce::StringArray enabled;
    auto menu = librarian.makeUnitListMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu, true); it.next();)
        if (it.getItem().isEnabled && it.getItem().itemID != 0)
            enabled.add (it.getItem().text);
    EXPECT_EQ (enabled.joinIntoString (","), "Rename,Import...,Export...,Load,Select All");

    juce::Array<int> exported;
    librarian.onExportToFiles = [&exported] (const juce::Array<int>& slots) { exported = slots; };
    EXPECT_TRUE (librarian.performListCommand (2108));
    EXPECT_EQ (exported, juce::Array<int> ({ 5 }));

    ASSERT_TRUE (librarian.performListCommand (2106));
    EXPECT_TRUE (bench::runMessageLoopUntil ([this] { return rig.unit->getCurrentPresetNumber() == 5; }, 10000));
}

TEST_F (Librarian, ARenamedPresetKeepsWhatItHoldsUnderItsNewName)
{
    auto before = rig.unit->getPreset (6);
    ASSERT_TRUE (librarian.renamePreset (6, "Renamed Six"));
    ASSERT_TRUE (bench::runMessageLoopUntil ([this] { return ! librarian.isSending(); }, 20000));

    auto after = rig.unit->getPreset (6);
    EXPECT_EQ (after.name.trim(), "Renamed Six");
    EXPECT_EQ (librarian.getStatusText(), "Renamed on the Kestrel: 1");
    EXPECT_EQ (after.toWords().size(), before.toWords().size());
    juce::uint16 was = 0, is = 0;
    ASSERT_TRUE (before.getParam (ampBlock, 1, was) && after.getParam (ampBlock, 1, is));
    EXPECT_EQ (is, was);
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
}

TEST (BrowserChooser, ScansTheFolderAndItsSubfoldersAndHandsOverTheChosenFiles)
{
    ScratchFolder scratch;
    auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (1));
    auto top = scratch.folder.getChildFile ("top.syx");
    auto deep = scratch.folder.getChildFile ("more/deep.syx");
    deep.getParentDirectory().createDirectory();
    top.replaceWithData (dump.getData(), dump.getSize());
    deep.replaceWithData (dump.getData(), dump.getSize());
    scratch.folder.getChildFile ("other.txt").replaceWithText ("not listed");

    GlobalConfiguration configuration ("Kestrel MIDI", "Kestrel MIDI");
    SkinManager skin;
    skin.loadBuiltInSkin();
    BrowserChooserDlg browser (nullptr, &configuration, &skin);
    auto scanned = [&browser] { return bench::runMessageLoopUntil ([&browser] { return ! browser.isScanning(); }, 10000); };

    browser.scan (scratch.folder, false);
    ASSERT_TRUE (scanned());
    EXPECT_EQ (browser.getNumFound(), 1);

    browser.scan (scratch.folder, true);
    ASSERT_TRUE (scanned());
    ASSERT_EQ (browser.getNumFound(), 2);
    EXPECT_TRUE (browser.getFoundText (0).contains ("Preset File"));
    EXPECT_EQ (configuration.MRU_DIRECTORY, scratch.folder.getFullPathName());

    // The subfolder check box is the skin's, and still decides the scan.
    auto& toggle = browser.getSubfoldersToggle();
    const auto* widget = SkinAttributes::findWidget (*skin.getSection ("BrowserDialog"), "subfolders");
    ASSERT_NE (widget, nullptr);
    EXPECT_EQ (toggle.disabledOpacity, (float) widget->getDoubleAttribute ("disabledOpacity"));
    EXPECT_EQ (toggle.findColour (juce::TextButton::buttonColourId), SkinAttributes::colour (*widget, "buttonColor"));
    EXPECT_TRUE (toggle.getToggleState());
    toggle.triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&browser] { return browser.getNumFound() == 1 && ! browser.isScanning(); },
                                             10000));
    toggle.triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&browser] { return browser.getNumFound() == 2 && ! browser.isScanning(); },
                                             10000));
    saveScreenshot (browser, "librarian-browser");

    // The librarian hears the browser and lists what was picked there.
    BankManagerListContent librarian (nullptr, nullptr);
    browser.addChangeListener (&librarian);
    browser.selectFound ({ 1 });
    browser.closeWithResult (BrowserChooserDlg::resultChosen);
    EXPECT_EQ (browser.getChangeCode(), BrowserChooserDlg::resultChosen);
    ASSERT_EQ (browser.getChosenFiles().size(), 1);
    browser.dispatchPendingMessages();
    ASSERT_EQ (librarian.getNumDiskEntries(), 1);
    EXPECT_EQ (librarian.getDiskEntry (0).file, browser.getChosenFiles()[0]);
    browser.removeChangeListener (&librarian);

    browser.closeWithResult (BrowserChooserDlg::resultCancelled);
    EXPECT_EQ (browser.getChangeCode(), BrowserChooserDlg::resultCancelled);
    EXPECT_TRUE (browser.getChosenFiles().isEmpty());
}

#if JUCE_LINUX || JUCE_MAC
// A link back up the tree is walked once, and a FIFO with a ".syx" name is
// listed without being read: the scan ends.
TEST (BrowserChooser, AScanEndsThroughALinkBackUpTheTreeAndPastAFifo)
{
    ScratchFolder scratch;
    auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (1));
    scratch.folder.getChildFile ("top.syx").replaceWithData (dump.getData(), dump.getSize());
    const auto sub = scratch.folder.getChildFile ("sub");
    ASSERT_TRUE (sub.createDirectory());
    ASSERT_EQ (::symlink ("..", sub.getChildFile ("up").getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ (::mkfifo (scratch.folder.getChildFile ("pipe.syx").getFullPathName().toRawUTF8(), 0600), 0);

    GlobalConfiguration configuration ("Kestrel MIDI", "Kestrel MIDI");
    SkinManager skin;
    skin.loadBuiltInSkin();
    BrowserChooserDlg browser (nullptr, &configuration, &skin);
    browser.scan (scratch.folder, true);
    ASSERT_TRUE (bench::runMessageLoopUntil ([&browser] { return ! browser.isScanning(); }, 20000));
    ASSERT_EQ (browser.getNumFound(), 2);
    EXPECT_NE (browser.getFoundText (0).contains ("Preset File"), browser.getFoundText (1).contains ("Preset File"));
    EXPECT_TRUE ((browser.getFoundText (0) + browser.getFoundText (1)).contains ("pipe.syx (unreadable)"))
        << "a file it cannot read says so";
}
#endif
} // namespace

namespace
{
// Keeps where each menu was asked to open, and chooses nothing.
struct MenuPlaces : UserInteraction::Sink
{
    MenuPlaces() : previous (UserInteraction::getSink()) { UserInteraction::setSink (this); }
    ~MenuPlaces() override { UserInteraction::setSink (previous); }

    void chooseFiles (const FileRequest&, UserInteraction::FilesChosen onChosen) override
    {
        if (onChosen)
            onChosen ({});
    }

    void showMenu (const juce::PopupMenu&, const juce::PopupMenu::Options& options,
                   UserInteraction::MenuChosen onChosen) override
    {
        places.add (options.getTargetScreenArea());
        targets.add (options.getTargetComponent());
        if (onChosen)
            onChosen (0);
    }

    UserInteraction::Sink* previous;
    juce::Array<juce::Rectangle<int>> places;
    juce::Array<juce::Component*> targets;
};
} // namespace

TEST_F (Librarian, TheListMenuOpensAtThePointer)
{
    MenuPlaces menus;

    std::function<void (juce::Component&)> rightClickLists = [&] (juce::Component& parent)
    {
        for (auto* child : parent.getChildren())
        {
            if (auto* list = dynamic_cast<ZolScrollableListCtrl*> (child))
                list->cellRightReleased (nullptr);
            rightClickLists (*child);
        }
    };
    rightClickLists (librarian);
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return ! menus.places.isEmpty(); }, 30000));

    ASSERT_EQ (menus.places.size(), 1) << "only the unit's list has this menu";
    EXPECT_EQ (menus.targets[0], nullptr);
    EXPECT_EQ (menus.places[0].getPosition(), juce::Desktop::getMousePosition());
    EXPECT_LE (menus.places[0].getWidth(), 1) << "a point, not the list";
}
