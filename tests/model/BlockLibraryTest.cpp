#include "model/Checksum.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/ModelFirmwareText.h"
#include "model/UserFolders.h"
#include "tests/support/HostileInputs.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{
using Code = BlockLibraryEntry::ErrorCode;

ModifierDumpRecord makeRecord (int blockId, juce::uint8 fill)
{
    ModifierDumpRecord record;
    std::memset (record.bytes, fill, ModifierDumpRecord::size);
    record.bytes[0] = (juce::uint8) blockId;
    record.bytes[1] = 0;
    return record;
}

// A block as the editor would save it: data, two modifiers and both texts.
std::unique_ptr<BlockLibraryEntry> makeEntry (int type, const juce::String& name, int model = 8, int major = 6,
                                              int minor = 5)
{
    auto entry = std::make_unique<BlockLibraryEntry> (type, model, major, minor);
    entry->name = name;
    entry->secondText = "second";
    entry->xyState = 1;
    entry->paramData = juce::MemoryBlock ("\x01\x02\x03\x7f\x80\xff", 6);
    entry->modifierRecords.add (makeRecord (110, 0x11));
    entry->modifierRecords.add (makeRecord (110, 0x22));
    return entry;
}

juce::MemoryBlock withCheckByte (juce::MemoryBlock data)
{
    auto* bytes = static_cast<juce::uint8*> (data.getData());
    bytes[data.getSize() - 1] = calcSysExChecksum (bytes, data.getSize() - 1);
    return data;
}

void putI32 (juce::MemoryBlock& data, size_t offset, juce::int32 value)
{
    std::memcpy (static_cast<char*> (data.getData()) + offset, &value, 4);
}

class BlockLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        config = std::make_unique<KestrelGlobalConfiguration>();
        library = std::make_unique<KestrelBlockLibraryManager> (config.get());
        library->addFirmwareRules (FirmwareRequirements);
        library->addFirmwareRules (KestrelBlockLibraryManager::compatibleModelFirmwareRules);
        library->setConnectedDevice (8, 6, 5);
    }

    void TearDown() override
    {
        library.reset();
        config.reset();
        UserFolders::redirectTo ({});
    }

    juce::File folder() const { return library->getLibraryFolder(); }

    // Writes a file and loads it, giving the load's error code.
    int loadFile (const juce::File& file, const juce::MemoryBlock& data)
    {
        file.getParentDirectory().createDirectory();
        file.replaceWithData (data.getData(), data.getSize());
        int code = -1;
        juce::String name;
        library->loadBlockFile (file, code, name);
        return code;
    }

    int loadEntry (const BlockLibraryEntry& entry, const juce::String& fileName = "x.blk")
    {
        return loadFile (folder().getChildFile (fileName), entry.toFileData());
    }

    ScratchFolder scratch{ "kestrel-blocks" };
    RecordingNotifier notices;
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<KestrelBlockLibraryManager> library;
};

TEST_F (BlockLibraryTest, FileRoundTripsEveryField)
{
    auto entry = makeEntry (EFFECT_REVERB, "Big Hall");
    const auto* uuid = entry->uuid.getRawData();
    EXPECT_EQ (0x40, uuid[6] & 0xf0);
    EXPECT_EQ (0x80, uuid[8] & 0xc0);

    auto file = folder().getChildFile ("Reverb").getChildFile ("hall.blk");
    ASSERT_TRUE (entry->writeToFile (file));
    EXPECT_EQ (file, entry->file);

    juce::MemoryBlock data;
    file.loadFileAsData (data);
    ASSERT_EQ ((size_t) (46 + 8 + 6 + 6 + 2 * 68 + 1), data.getSize());
    auto* bytes = static_cast<const juce::uint8*> (data.getData());
    EXPECT_EQ (1, bytes[0] | (bytes[1] << 8));
    EXPECT_EQ (8, bytes[2] | (bytes[3] << 8));
    EXPECT_EQ (6, bytes[4]);
    EXPECT_EQ (5, bytes[5]);
    EXPECT_EQ (0, std::memcmp (bytes + 6, uuid, 16));
    EXPECT_EQ (EFFECT_REVERB, bytes[22]);
    EXPECT_EQ (1, bytes[26]);
    EXPECT_EQ (8, bytes[30]);
    EXPECT_EQ (0, std::memcmp (bytes + 34, "Big Hall", 8));
    EXPECT_EQ (calcSysExChecksum (bytes, data.getSize() - 1), bytes[data.getSize() - 1]);

    BlockLibraryEntry read;
    ASSERT_EQ (Code::okay, read.read (file));
    EXPECT_EQ (entry->uuid, read.uuid);
    EXPECT_EQ (8, read.modelId);
    EXPECT_EQ (6, read.firmwareMajor);
    EXPECT_EQ (5, read.firmwareMinor);
    EXPECT_EQ (EFFECT_REVERB, read.effectType);
    EXPECT_EQ (1, read.xyState);
    EXPECT_EQ (juce::String ("Big Hall"), read.name);
    EXPECT_EQ (juce::String ("second"), read.secondText);
    EXPECT_EQ (entry->paramData, read.paramData);
    ASSERT_EQ (2, read.modifierRecords.size());
    ModifierDumpRecord record;
    EXPECT_TRUE (read.getModifierRecord (1, record));
    EXPECT_TRUE (record == makeRecord (110, 0x22));
    EXPECT_FALSE (read.getModifierRecord (2, record));
    EXPECT_EQ (file, read.file);

    // A name beyond ASCII keeps its bytes.
    entry->name = juce::CharPointer_UTF8 ("Caf\xc3\xa9");
    ASSERT_TRUE (entry->writeToFile (file));
    ASSERT_EQ (Code::okay, read.read (file));
    EXPECT_EQ (entry->name, read.name);
}

// A ".blk" file put together byte by byte from the documented layout.
const juce::uint8 documentedBlockFile[] = {
    1, 0,                                                 // format 1
    8, 0,                                                 // model 8
    6, 5,                                                 // firmware 6.05
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x46, 0x77,       // uuid
    0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff,
    7, 0, 0, 0,                                           // effect type: Reverb
    1, 0, 0, 0,                                           // XY state: Y
    4, 0, 0, 0, 'H', 'a', 'l', 'l',                       // name
    1, 0, 0, 0, 'x',                                      // second text
    3, 0, 0, 0, 0x01, 0x7f, 0x80,                         // parameter data
    1, 0, 0, 0,                                           // one modifier record:
    110, 0,                                               //   block 110, then 66 bytes
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x10,
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f, 0x20,
    0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x2b, 0x2c, 0x2d, 0x2e, 0x2f, 0x30,
    0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x3b, 0x3c, 0x3d, 0x3e, 0x3f, 0x40,
    0x41, 0x42,
    0x29,                                                 // check byte
};

TEST_F (BlockLibraryTest, FileBytesFollowTheDocumentedLayout)
{
    const juce::MemoryBlock documented (documentedBlockFile, sizeof (documentedBlockFile));
    ModifierDumpRecord record;
    std::memcpy (record.bytes, documentedBlockFile + 54, ModifierDumpRecord::size);

    BlockLibraryEntry entry (EFFECT_REVERB, 8, 6, 5);
    entry.uuid = juce::Uuid (documentedBlockFile + 6);
    entry.xyState = 1;
    entry.name = "Hall";
    entry.secondText = "x";
    entry.paramData = juce::MemoryBlock ("\x01\x7f\x80", 3);
    entry.modifierRecords.add (record);
    EXPECT_EQ (entry.toFileData(), documented);

    BlockLibraryEntry read;
    ASSERT_EQ (Code::okay, read.readFromData (documentedBlockFile, sizeof (documentedBlockFile)));
    EXPECT_EQ (read.format, 1);
    EXPECT_EQ (read.modelId, 8);
    EXPECT_EQ (read.firmwareMajor, 6);
    EXPECT_EQ (read.firmwareMinor, 5);
    EXPECT_EQ (read.uuid, entry.uuid);
    EXPECT_EQ (read.effectType, EFFECT_REVERB);
    EXPECT_EQ (read.xyState, 1);
    EXPECT_EQ (read.name, "Hall");
    EXPECT_EQ (read.secondText, "x");
    EXPECT_EQ (read.paramData, entry.paramData);
    ASSERT_EQ (read.modifierRecords.size(), 1);
    EXPECT_TRUE (read.modifierRecords[0] == record);
}

TEST_F (BlockLibraryTest, DamagedAndHostileFilesGiveTheirCodes)
{
    const auto good = makeEntry (EFFECT_REVERB, "ok")->toFileData();
    auto file = scratch.folder.getChildFile ("test.blk");

    auto readBack = [&] (const juce::MemoryBlock& data)
    {
        file.replaceWithData (data.getData(), data.getSize());
        BlockLibraryEntry entry (EFFECT_DELAY);
        entry.name = "untouched";
        const auto code = entry.read (file);
        if (code != Code::okay)
        {
            EXPECT_TRUE (entry.name == "untouched" && entry.effectType == EFFECT_DELAY && entry.file == juce::File());
        }
        return code;
    };

    EXPECT_EQ (Code::okay, readBack (good));
    EXPECT_EQ (Code::invalidFormat, BlockLibraryEntry().read (scratch.folder.getChildFile ("missing.blk")));
    EXPECT_EQ (Code::invalidFormat, readBack ({}));

    // Any changed byte but the last breaks the check byte.
    for (size_t i = 0; i + 1 < good.getSize(); i += 7)
    {
        auto changed = good;
        changed[i] = (char) (changed[i] ^ 0x01);
        EXPECT_EQ (Code::badChecksum, readBack (changed)) << i;
    }

    auto patched = [&] (size_t offset, juce::int32 value)
    {
        auto data = good;
        putI32 (data, offset, value);
        return withCheckByte (data);
    };

    auto formatTwo = good;
    formatTwo[0] = 2;
    EXPECT_EQ (Code::incompatibleVersion, readBack (withCheckByte (formatTwo)));
    EXPECT_EQ (Code::invalidFormat, readBack (patched (22, 43)));         // effect type
    EXPECT_EQ (Code::invalidFormat, readBack (patched (22, -1)));         // effect type
    EXPECT_EQ (Code::invalidFormat, readBack (patched (26, 2)));          // XY state
    EXPECT_EQ (Code::invalidFormat, readBack (patched (30, -1)));         // name length
    EXPECT_EQ (Code::invalidFormat, readBack (patched (30, 0x7fffffff))); // name length
    EXPECT_EQ (Code::invalidFormat, readBack (patched (46, -6)));         // data size
    EXPECT_EQ (Code::invalidFormat, readBack (patched (46, 0x7ffffff0))); // data size
    EXPECT_EQ (Code::invalidFormat, readBack (patched (56, 3)));          // one record more than held
    EXPECT_EQ (Code::invalidFormat, readBack (patched (56, 0x7fffffff))); // records

    // Cut short anywhere, with a matching check byte: refused.
    for (size_t size = 2; size < good.getSize(); size += 5)
        EXPECT_EQ (Code::invalidFormat, readBack (withCheckByte (juce::MemoryBlock (good.getData(), size)))) << size;
}

TEST_F (BlockLibraryTest, CompatibilityRules)
{
    EXPECT_EQ (6, library->getNumFirmwareRules());

    auto check = [&] (int model, int major, int minor, int type = EFFECT_REVERB)
    {
        FirmwareStamp stamp{ (juce::uint16) model, (juce::uint8) major, (juce::uint8) minor };
        return library->checkFirmware (&stamp, type);
    };

    // The connected unit is model 8 at 6.05.
    EXPECT_EQ (Code::okay, check (8, 6, 4));
    EXPECT_EQ (Code::okay, check (8, 6, 5));
    EXPECT_EQ (Code::firmwareIncompatible, check (8, 6, 6));
    EXPECT_EQ (Code::firmwareIncompatible, check (8, 7, 0));
    EXPECT_EQ (Code::firmwareIncompatible, check (3, 18, 3));
    EXPECT_EQ (Code::okay, check (3, 18, 4));
    EXPECT_EQ (Code::okay, check (7, 19, 0));
    EXPECT_EQ (Code::deviceMismatch, check (4, 30, 0));
    EXPECT_EQ (Code::effectTypeIncompatible, check (5, 2, 0, EFFECT_OUTPUT));
    EXPECT_EQ (Code::okay, check (10, 1, 0, EFFECT_OUTPUT));
    EXPECT_EQ (Code::deviceMismatch, library->checkFirmware (nullptr, EFFECT_REVERB));

    // Without the connected model's override the unit's own rule applies.
    BlockLibraryManager plain (config.get());
    plain.addFirmwareRules (FirmwareRequirements);
    FirmwareStamp old{ 8, 5, 99 };
    FirmwareStamp newer{ 8, 9, 0 };
    EXPECT_EQ (Code::firmwareIncompatible, plain.checkFirmware (&old, EFFECT_REVERB));
    EXPECT_EQ (Code::okay, plain.checkFirmware (&newer, EFFECT_REVERB));

    // Loading applies every check in turn; a later one never clears an earlier.
    EXPECT_EQ (Code::okay, loadEntry (*makeEntry (EFFECT_REVERB, "a", 3, 18, 4)));
    EXPECT_EQ (Code::effectTypeIncompatible, loadEntry (*makeEntry (EFFECT_MIXER, "b", 3, 18, 4)));
    EXPECT_EQ (Code::firmwareIncompatible, loadEntry (*makeEntry (EFFECT_REVERB, "c", 3, 18, 3)));
    EXPECT_EQ (Code::deviceMismatch, loadEntry (*makeEntry (EFFECT_REVERB, "d", 4, 1, 0)));

    // The text of code 8 names the last file's model and firmware.
    juce::String text;
    library->getErrorText (Code::firmwareIncompatible, text);
    EXPECT_EQ (text, BlockLibraryManager::getErrorText (8, { 4, 1, 0 }));
    EXPECT_EQ (juce::String ("The block was saved using Model 4 firmware version 1.00 and is not compatible with the "
                             "connected device's firmware."),
               BlockLibraryManager::getErrorText (8, { 4, 1, 0 }));
    EXPECT_EQ (juce::String ("Okay"), BlockLibraryManager::getErrorText (0, {}));
    EXPECT_EQ (juce::String ("Invalid XY state value"), BlockLibraryManager::getErrorText (6, {}));
    EXPECT_EQ (juce::String ("Unknown error (0x1f)"), BlockLibraryManager::getErrorText (31, {}));

    juce::String model, version;
    EXPECT_TRUE (getModelAndFirmwareText (6, 21, 5, model, version));
    EXPECT_EQ (juce::String ("Calyx 1.05"), version);
    EXPECT_TRUE (getModelAndFirmwareText (8, 21, 5, model, version));
    EXPECT_EQ (juce::String ("21.05"), version);
    EXPECT_FALSE (getModelAndFirmwareText (11, 1, 0, model, version));
}

TEST_F (BlockLibraryTest, HostileBlockFileIsRefusedAndLogged)
{
    // A data size of 2^31 under a right check byte.
    const auto file = folder().getChildFile ("Delay/huge.blk");
    ASSERT_TRUE (file.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (getHostileInput ("block-huge-data-size.blk").copyFileTo (file));

    library->startScan();
    juce::String fileName;
    int code = -1;
    ASSERT_TRUE (library->scanNext (fileName, code));
    EXPECT_EQ (code, (int) Code::invalidFormat);
    EXPECT_FALSE (library->scanNext (fileName, code));

    EXPECT_EQ (library->getNumEntries(), 0);
    EXPECT_TRUE (library->hasLoggedErrors()) << "the flag the editor's warning reads";
    EXPECT_TRUE (library->getLogFile().loadFileAsString().contains (file.getFullPathName() + ": "));
}

TEST_F (BlockLibraryTest, ScanLoadsEveryFileAndLogsTheBadOnes)
{
    ASSERT_TRUE (library->checkLibraryDirectory());
    EXPECT_TRUE (folder().isDirectory());

    auto first = makeEntry (EFFECT_REVERB, "Hall");
    auto twin = makeEntry (EFFECT_REVERB, "Hall");
    twin->uuid = first->uuid;
    ASSERT_TRUE (first->writeToFile (folder().getChildFile ("Reverb/a.blk")));
    ASSERT_TRUE (twin->writeToFile (folder().getChildFile ("Reverb/b.blk")));
    ASSERT_TRUE (folder().getChildFile ("Reverb/bad.blk").replaceWithText ("garbage"));
    ASSERT_TRUE (folder().getChildFile ("Reverb/dir.blk/inner.txt").create());

    library->startScan();
    juce::StringArray files;
    juce::Array<int> codes;
    int code = -1;
    for (juce::String fileName; library->scanNext (fileName, code); fileName.clear())
    {
        files.add (fileName);
        codes.add (code);
    }

    ASSERT_EQ (3, files.size());
    EXPECT_TRUE (files.contains (folder().getChildFile ("Reverb/a.blk").getFullPathName()));
    EXPECT_FALSE (files.contains (folder().getChildFile ("Reverb/bad.blk").getFullPathName()));
    EXPECT_EQ (1, (int) std::count (codes.begin(), codes.end(), (int) Code::badChecksum));
    EXPECT_EQ (2, (int) std::count (codes.begin(), codes.end(), (int) Code::okay));
    EXPECT_EQ (2, library->getNumEntries());
    juce::Array<juce::Uuid> uuids;
    EXPECT_TRUE (library->getEntryUuidsForType (EFFECT_REVERB, uuids));
    ASSERT_EQ (2, uuids.size());
    EXPECT_NE (uuids[0], uuids[1]);
    EXPECT_TRUE (library->getEntry (1)->name == "Hall(1)");

    EXPECT_TRUE (library->hasLoggedErrors());
    const auto log = library->getLogFile().loadFileAsString();
    EXPECT_TRUE (log.startsWith ("Log started: "));
    EXPECT_TRUE (log.contains (folder().getChildFile ("Reverb/bad.blk").getFullPathName() +
                               ": Not a valid block file (bad checksum)\n"));

    // Loading a file again replaces its entry; a new scan clears the flag.
    juce::String name;
    const auto id = library->loadBlockFile (folder().getChildFile ("Reverb/a.blk"), code, name);
    EXPECT_EQ (Code::okay, code);
    EXPECT_EQ (2, library->getNumEntries());
    EXPECT_EQ (id, library->findEntryById (id)->entryId);
    library->startScan();
    EXPECT_FALSE (library->hasLoggedErrors());
}

TEST_F (BlockLibraryTest, UniqueNamesFollowEveryChangeToTheEntries)
{
    auto load = [this] (const juce::String& fileName)
    {
        int code = -1;
        juce::String given;
        library->loadBlockFile (folder().getChildFile (fileName), code, given);
        return given;
    };

    for (auto fileName : { "a.blk", "b.blk", "c.blk", "d.blk" })
        makeEntry (EFFECT_REVERB, "Hall")->writeToFile (folder().getChildFile (fileName));

    // An entry named by its creator after it joined the library.
    library->createEntry (EFFECT_REVERB)->name = "Hall";
    EXPECT_EQ (load ("a.blk"), "Hall(1)");
    EXPECT_EQ (load ("b.blk"), "Hall(2)");

    // A removed name and a renamed entry's old name are free again; the
    // lowest free suffix is taken, as the first free one is found in turn.
    auto* second = library->findEntryById (3);
    ASSERT_TRUE (second != nullptr && second->name == "Hall(2)");
    library->findEntryById (2)->name = "Chamber";
    EXPECT_EQ (load ("c.blk"), "Hall(1)");
    ASSERT_TRUE (library->removeEntry (second->uuid, false));
    EXPECT_EQ (load ("d.blk"), "Hall(2)");
    EXPECT_TRUE (library->isTextUniqueForType (EFFECT_REVERB, "Hall(3)"));
    EXPECT_FALSE (library->isTextUniqueForType (EFFECT_REVERB, "Chamber"));

    // Loading a file again replaces the first entry that holds it now (here
    // the first "Hall", moved onto the file), whose name is then free.
    library->findEntryById (1)->file = folder().getChildFile ("a.blk");
    EXPECT_EQ (load ("a.blk"), "Hall");
    EXPECT_EQ (library->findEntryById (1), nullptr);
    EXPECT_EQ (library->findEntryById (2)->name, "Chamber");
    EXPECT_EQ (library->getNumEntries(), 4);

    // Entries sharing a uuid: the first in the list is the one found.
    auto* last = library->getEntry (3);
    last->uuid = library->getEntry (0)->uuid;
    EXPECT_EQ (library->findEntryByUuid (last->uuid), library->getEntry (0));
}

#if JUCE_LINUX || JUCE_MAC
TEST_F (BlockLibraryTest, ScanFollowsALinkWithinTheLibraryOnceAndNoneOutOfIt)
{
    ASSERT_TRUE (library->checkLibraryDirectory());
    ASSERT_TRUE (makeEntry (EFFECT_REVERB, "Hall")->writeToFile (folder().getChildFile ("Reverb/a.blk")));
    ASSERT_TRUE (makeEntry (EFFECT_DELAY, "Echo")->writeToFile (folder().getChildFile ("Shared/e.blk")));
    // A link that leads back up would otherwise load the same file once per
    // level of "again/again/...", until the path grows too long.
    ASSERT_TRUE (folder().getChildFile ("Reverb").createSymbolicLink (folder().getChildFile ("Reverb/again"), false));
    ASSERT_TRUE (folder().getChildFile ("Shared").createSymbolicLink (folder().getChildFile ("Reverb/shared"), false));

    // Links to a folder and to a block elsewhere on the disk (a link to "/"
    // had the scan read the whole disk).
    ScratchFolder elsewhere{ "kestrel-blocks-elsewhere" };
    ASSERT_TRUE (makeEntry (EFFECT_CHORUS, "Outside")->writeToFile (elsewhere.folder.getChildFile ("pack/o.blk")));
    ASSERT_TRUE (elsewhere.folder.getChildFile ("pack").createSymbolicLink (folder().getChildFile ("pack"), false));
    ASSERT_TRUE (elsewhere.folder.getChildFile ("pack/o.blk").createSymbolicLink (folder().getChildFile ("o.blk"), false));

    library->startScan();
    int files = 0;
    int code = -1;
    for (juce::String fileName; files < 50 && library->scanNext (fileName, code);)
        ++files;

    EXPECT_EQ (files, 2);
    juce::StringArray names;
    for (int i = 0; i < library->getNumEntries(); ++i)
        names.add (library->getEntry (i)->name);
    names.sort (false);
    EXPECT_EQ (names, juce::StringArray ("Echo", "Hall"));
}
#endif

TEST_F (BlockLibraryTest, SavingWritesModifiedEntriesUnderUniqueNames)
{
    auto* blank = library->createEntry (EFFECT_REVERB);
    ASSERT_NE (nullptr, blank);
    blank->name = "   ";
    auto* slash = library->createEntry (EFFECT_DELAY);
    slash->name = "A/B";
    slash->addTimestamp = 0;
    auto* plain = library->createEntry (EFFECT_DELAY);
    plain->name = "AB";
    plain->addTimestamp = 0;
    auto* sub = library->createEntry (EFFECT_DELAY);
    sub->name = "x";
    sub->folderText = "Mine";
    sub->addTimestamp = 0;
    EXPECT_EQ (nullptr, library->createEntry (0));
    EXPECT_EQ (1, blank->entryId);
    EXPECT_EQ (8, blank->modelId);

    ASSERT_TRUE (library->saveModifiedEntries());
    EXPECT_EQ (0, notices.count());

    for (auto* entry : { blank, slash, plain, sub })
    {
        EXPECT_EQ (0, entry->modified);
        EXPECT_TRUE (entry->file.existsAsFile());
    }

    EXPECT_EQ (folder().getChildFile ("Reverb"), blank->file.getParentDirectory());
    EXPECT_TRUE (blank->file.getFileName().matchesWildcard ("unnamed_????????_??????.blk", false));
    EXPECT_EQ (juce::String ("AB.blk"), slash->file.getFileName());
    EXPECT_EQ (juce::String ("AB(1).blk"), plain->file.getFileName());
    EXPECT_EQ (folder().getChildFile ("Mine/x.blk"), sub->file);

    // A changed entry is written over its own file.
    const auto before = slash->file;
    slash->secondText = "changed";
    slash->modified = 1;
    ASSERT_TRUE (library->saveModifiedEntries());
    EXPECT_EQ (before, slash->file);
    BlockLibraryEntry read;
    ASSERT_EQ (Code::okay, read.read (before));
    EXPECT_EQ (juce::String ("changed"), read.secondText);

    juce::Array<int> types;
    EXPECT_TRUE (library->getEffectTypes (types));
    EXPECT_EQ (juce::Array<int> ({ EFFECT_REVERB, EFFECT_DELAY }), types);
    juce::String unique;
    EXPECT_TRUE (library->makeUniqueText (EFFECT_DELAY, "AB", unique));
    EXPECT_EQ (juce::String ("AB(1)"), unique);
    EXPECT_TRUE (library->isTextUniqueForType (EFFECT_REVERB, "AB"));
}

TEST_F (BlockLibraryTest, FailedWritesKeepTheOldDataAndTheModifiedFlag)
{
    auto plainFile = scratch.folder.getChildFile ("plain");
    ASSERT_TRUE (plainFile.replaceWithText ("x"));
    config->BLOCKS_DEFS_DIR = plainFile.getChildFile ("blocks").getFullPathName();

    EXPECT_FALSE (library->checkLibraryDirectory());
    ASSERT_EQ (1, notices.count());
    EXPECT_EQ (juce::String ("Block Library"), notices.get (0).title);
    EXPECT_TRUE (notices.lastMessage().startsWith ("Unable to create Block Library directory: "));
    EXPECT_TRUE (
        notices.lastMessage().endsWith ("\nPlease correct the Block Library path in the Preferences::Workpsace."));

    auto* entry = library->createEntry (EFFECT_REVERB);
    entry->name = "Lost";
    EXPECT_FALSE (library->saveModifiedEntries());
    EXPECT_EQ (1, entry->modified);
    ASSERT_EQ (2, notices.count());
    EXPECT_EQ (juce::String ("Block Library Write"), notices.get (1).title);

    // A folder where the file should go: nothing in it is lost.
    auto taken = scratch.folder.getChildFile ("taken.blk");
    ASSERT_TRUE (taken.createDirectory().wasOk());
    ASSERT_TRUE (taken.getChildFile ("keep.txt").replaceWithText ("kept"));
    EXPECT_FALSE (entry->writeToFile (taken));
    EXPECT_EQ (juce::String ("kept"), taken.getChildFile ("keep.txt").loadFileAsString());
    EXPECT_EQ (juce::File(), entry->file);
    // The box names the path and what the writer found.
    EXPECT_EQ (notices.lastMessage(), "Unable to write " + taken.getFullPathName() + ": a folder of that name exists.");
}

TEST_F (BlockLibraryTest, RemovingEntriesAndTheirFiles)
{
    auto* entry = library->createEntry (EFFECT_REVERB);
    entry->name = "gone";
    ASSERT_TRUE (library->saveModifiedEntries());
    const auto file = entry->file;
    EXPECT_TRUE (library->removeEntry (entry->uuid, true));
    EXPECT_FALSE (file.exists());
    EXPECT_EQ (0, library->getNumEntries());
    EXPECT_FALSE (library->removeEntry (juce::Uuid(), true));

    // A file that cannot be deleted (here a non-empty folder) keeps its entry.
    auto* stuck = library->createEntry (EFFECT_REVERB);
    stuck->file = folder().getChildFile ("x.blk");
    ASSERT_TRUE (stuck->file.getChildFile ("inner").createDirectory());
    EXPECT_FALSE (library->removeEntry (stuck->uuid, true));
    EXPECT_EQ (1, library->getNumEntries());
    ASSERT_EQ (1, notices.count());
    EXPECT_EQ (juce::String ("Block Library"), notices.get (0).title);
    EXPECT_EQ ("Failed deleting file:" + stuck->file.getFullPathName() + "\n\nwriteAccess(1), hidden(0).",
               notices.lastMessage());

    // Without deleting, the entry goes and the folder stays.
    EXPECT_TRUE (library->removeEntry (stuck->uuid, false));
    EXPECT_TRUE (folder().getChildFile ("x.blk").isDirectory());
}

TEST_F (BlockLibraryTest, LinksFollowTheirBlocks)
{
    EXPECT_EQ (-1, library->getLinkedEntryId (110));
    EXPECT_EQ (0, library->getLinkMatchState (110));
    EXPECT_FALSE (library->clearLinkMatch (110));

    library->linkBlockToEntry (110, 3);
    library->linkBlockToEntry (112, 3);
    library->linkBlockToEntry (110, 4); // relinking replaces the block's link
    EXPECT_EQ (4, library->getLinkedEntryId (110));
    EXPECT_EQ (1, library->getLinkMatchState (110));
    EXPECT_TRUE (library->clearLinkMatch (110));
    EXPECT_EQ (0, library->getLinkMatchState (110));

    library->unlinkEntry (3);
    EXPECT_EQ (-1, library->getLinkedEntryId (112));
    EXPECT_EQ (4, library->getLinkedEntryId (110));
    library->clearLinks();
    EXPECT_EQ (-1, library->getLinkedEntryId (110));
}
} // namespace
