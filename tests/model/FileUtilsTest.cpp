#include "model/FileUtils.h"
#include "model/UserFolders.h"

#include "support/FifoFeeder.h"
#include "support/FileSizeLimit.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{

juce::String titleCased (const juce::String& name)
{
    auto result = name;
    toTitleCaseName (result);
    return result;
}

juce::MemoryBlock blockOf (const char* text)
{
    return juce::MemoryBlock (text, std::strlen (text));
}
} // namespace

TEST (TitleCase, UnitNamesBecomeReadable)
{
    EXPECT_EQ (titleCased ("PLEXI 100W 4X12"), "Plexi 100W 4x12");
    EXPECT_EQ (titleCased ("STERE0"), "Stereo");
    EXPECT_EQ (titleCased ("STERE0 CHORUS"), "Stereo Chorus");
    EXPECT_EQ (titleCased ("2ND"), "2nd");
    EXPECT_EQ (titleCased ("THE 1ST 3RD 4TH"), "The 1st 3rd 4th");
    EXPECT_EQ (titleCased ("BOOST DB"), "Boost dB");
    EXPECT_EQ (titleCased ("EIGTH NOTE"), "Eighth Note");
    EXPECT_EQ (titleCased ("eigth"), "Eighth");
    EXPECT_EQ (titleCased ("1960 AV"), "1960 Av");
    EXPECT_EQ (titleCased ("JCM-800"), "Jcm-800");
    EXPECT_EQ (titleCased ("AC-30 TB"), "AC-30 TB");
}

TEST (TitleCase, RulesApplyOnlyWhereTheyShould)
{
    // Kept abbreviations match exactly; anything else is title-cased.
    EXPECT_EQ (titleCased ("LFO"), "LFO");
    EXPECT_EQ (titleCased ("Lfo"), "Lfo");
    EXPECT_EQ (titleCased ("lfo"), "Lfo");
    EXPECT_EQ (titleCased ("VIII"), "VIII");

    // "W" is lowered only before a slash.
    EXPECT_EQ (titleCased ("FUZZ W/OCTAVE"), "Fuzz w/Octave");
    EXPECT_EQ (titleCased ("W/ BOOST"), "w/ Boost");
    EXPECT_EQ (titleCased ("100W"), "100W");

    // "S" is lowered only after an apostrophe.
    EXPECT_EQ (titleCased ("MARSHALL'S"), "Marshall's");
    EXPECT_EQ (titleCased ("'S"), "'s");
    EXPECT_EQ (titleCased ("S"), "S");

    // "X" needs digits on both sides; ordinals need a number before them.
    EXPECT_EQ (titleCased ("4X"), "4X");
    EXPECT_EQ (titleCased ("X12"), "X12");
    EXPECT_EQ (titleCased ("4 X 12"), "4 X 12");
    EXPECT_EQ (titleCased ("2x12"), "2x12");
    EXPECT_EQ (titleCased ("ND"), "Nd");
    EXPECT_EQ (titleCased ("10us"), "10us");
    EXPECT_EQ (titleCased ("10US"), "10US"); // US is kept before the ordinal rule is reached

    // "dB" only from exactly "DB"; "0" becomes "o" only after "stere".
    EXPECT_EQ (titleCased ("Db"), "Db");
    EXPECT_EQ (titleCased ("ZERO 0"), "Zero 0");
    EXPECT_EQ (titleCased ("stere0"), "Stereo");
}

TEST (TitleCase, EmptyAndNonAsciiTextIsSafe)
{
    EXPECT_EQ (titleCased (""), "");
    EXPECT_EQ (titleCased (" "), " ");

    // Letters outside ASCII are passed through unchanged and never lowered.
    EXPECT_EQ (titleCased (juce::CharPointer_UTF8 ("CAF\xc3\x89")),
               juce::String (juce::CharPointer_UTF8 ("Caf\xc3\x89")));
    // A leading non-ASCII character is not a letter: the first ASCII letter
    // behind it is the one that goes up.
    EXPECT_EQ (titleCased (juce::CharPointer_UTF8 ("\xc3\x89\x43HO")),
               juce::String (juce::CharPointer_UTF8 ("\xc3\x89\x43ho")));
    EXPECT_EQ (titleCased (juce::CharPointer_UTF8 ("\xc3\x89\x63ho")),
               juce::String (juce::CharPointer_UTF8 ("\xc3\x89\x43ho")));
    EXPECT_EQ (titleCased (juce::CharPointer_UTF8 ("\xe2\x82\xac")),
               juce::String (juce::CharPointer_UTF8 ("\xe2\x82\xac")));
}

TEST (SplitAtCharClassChanges, AppendsRunsOfOneClass)
{
    juce::StringArray pieces{ "existing" };
    splitAtCharClassChanges ("AB12 cd!!\tX", pieces);
    EXPECT_EQ (pieces.joinIntoString ("|"), "existing|AB|12| |cd|!!|\t|X");

    juce::StringArray none;
    splitAtCharClassChanges ({}, none);
    EXPECT_TRUE (none.isEmpty());

    // A character of no class joins whatever follows it.
    juce::StringArray other;
    splitAtCharClassChanges (juce::CharPointer_UTF8 ("A\xc3\xa9\x42\x43 1"), other);
    EXPECT_EQ (other.joinIntoString ("|"), juce::String (juce::CharPointer_UTF8 ("A|\xc3\xa9\x42\x43| |1")));
}

TEST (KeptAbbreviations, MatchExactly)
{
    for (auto* word : { "AA", "ADSR", "ZOL", "LFO", "US", "USA", "USB", "VIII", "IX", "XTC", "BQ", "JVM" })
        EXPECT_TRUE (isKeptAbbreviation (word)) << word;

    for (auto* word : { "", "Lfo", "lfo", "LFOS", "X", "DB", "VIIII", " AA" })
        EXPECT_FALSE (isKeptAbbreviation (word)) << word;
}

TEST (NumericText, SignsAndPointsOnlyWhereAllowed)
{
    EXPECT_FALSE (isNumericText ("", true, true));
    EXPECT_TRUE (isNumericText ("0123", false, false));
    EXPECT_TRUE (isNumericText ("-5", true, false));
    EXPECT_TRUE (isNumericText ("+5", true, false));
    EXPECT_FALSE (isNumericText ("-5", false, false));
    EXPECT_FALSE (isNumericText ("5-", true, false));
    EXPECT_FALSE (isNumericText ("--5", true, false));
    EXPECT_TRUE (isNumericText ("1.2", false, true));
    EXPECT_TRUE (isNumericText ("-1.5", true, true));
    EXPECT_TRUE (isNumericText ("5.", false, true));
    EXPECT_FALSE (isNumericText ("1.2", false, false));
    EXPECT_FALSE (isNumericText ("1.2.3", false, true));
    EXPECT_FALSE (isNumericText (" 5", true, true));
    EXPECT_FALSE (isNumericText ("5 ", true, true));
    EXPECT_FALSE (isNumericText ("1e5", true, true));
    EXPECT_FALSE (isNumericText (juce::CharPointer_UTF8 ("\xd9\xa1\xd9\xa2"), true, true)); // Arabic-Indic digits

    // A sign or point alone holds no number.
    EXPECT_FALSE (isNumericText ("-", true, true));
    EXPECT_FALSE (isNumericText (".", true, true));
    EXPECT_FALSE (isNumericText ("-.", true, true));
}

TEST (NameFields, ThirtyTwoBlankPaddedSevenBitCharacters)
{
    char field[40];
    std::memset (field, '#', sizeof (field));

    EXPECT_TRUE (copyNameToField ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?", field));
    EXPECT_EQ (std::string (field, 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    EXPECT_EQ (std::string (field + 32, 8), "########") << "wrote past the 32-byte field";

    EXPECT_TRUE (copyNameToField ("AB", field));
    EXPECT_EQ (std::string (field, 32), "AB" + std::string (30, ' ')) << "no terminator, blank padded";

    EXPECT_TRUE (copyNameToField (juce::CharPointer_UTF8 ("Caf\xc3\xa9"), field)); // U+00E9 masks to 'i'
    EXPECT_EQ (std::string (field, 4), "Cafi");
    for (int i = 0; i < 32; ++i)
        EXPECT_LT ((unsigned char) field[i], 0x80) << i;

    EXPECT_FALSE (copyNameToField ("AB", nullptr));

    // What a name from a file may hold: what the name fields take, blank to tilde.
    EXPECT_TRUE (nameFieldKeepsCharacters (" Az~"));
    for (auto c : { 0x1f, 0x7f, 0xe9, 0xffff })
        EXPECT_FALSE (nameFieldKeepsCharacters ("A" + juce::String::charToString ((juce::juce_wchar) c))) << c;
    EXPECT_EQ (unstorableNameText (juce::String ("\x1f~\x7f") + juce::String::charToString (0xffff) + "\x1f"),
               "Its name holds characters the Kestrel cannot store in a name: \\x1F \\x7F \\uFFFF.");

    char shortField[20];
    std::memset (shortField, '#', sizeof (shortField));
    clearName16 (shortField);
    EXPECT_EQ (std::string (shortField, 16), std::string (16, '\0'));
    EXPECT_EQ (std::string (shortField + 16, 4), "####");
    clearName16 (nullptr);
}

TEST (NumberedNames, PaddedToTheDigitsOfTheCount)
{
    juce::StringArray names{ "kept" };
    makeNumberedNames (1, 100, "U", "  ", names);
    ASSERT_EQ (names.size(), 101);
    EXPECT_EQ (names[1], "U001  ");
    EXPECT_EQ (names[100], "U100  ");

    juce::StringArray nine;
    makeNumberedNames (1, 9, "P", {}, nine);
    EXPECT_EQ (nine, juce::StringArray ({ "P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9" }));

    juce::StringArray ten;
    makeNumberedNames (5, 10, {}, "-", ten);
    EXPECT_EQ (ten[0], "05-");
    EXPECT_EQ (ten[9], "14-");

    juce::StringArray thousand;
    makeNumberedNames (0, 1000, {}, {}, thousand);
    EXPECT_EQ (thousand[0], "0000");

    juce::StringArray untouched{ "kept" };
    makeNumberedNames (1, 0, "U", {}, untouched);
    makeNumberedNames (1, -3, "U", {}, untouched);
    EXPECT_EQ (untouched, juce::StringArray ({ "kept" }));
}

TEST (UniqueFilePath, CountsUpPastExistingFiles)
{
    ScratchFolder scratch;
    const auto& folder = scratch.folder;
    juce::String path;

    ASSERT_TRUE (makeUniqueFilePath (folder, "name", ".ext", false, path));
    EXPECT_EQ (juce::File (path), folder.getChildFile ("name.ext"));

    folder.getChildFile ("name.ext").create();
    folder.getChildFile ("name(1).ext").create();
    ASSERT_TRUE (makeUniqueFilePath (folder, "name", ".ext", false, path));
    EXPECT_EQ (juce::File (path), folder.getChildFile ("name(2).ext"));

    // An existing folder of that name counts as taken too.
    folder.getChildFile ("name(2).ext").createDirectory();
    ASSERT_TRUE (makeUniqueFilePath (folder, "name", ".ext", false, path));
    EXPECT_EQ (juce::File (path), folder.getChildFile ("name(3).ext"));

    // A path in the folder itself, whether or not it was given with a separator.
    ASSERT_TRUE (makeUniqueFilePath (juce::File (folder.getFullPathName() + "/"), "other", ".syx", false, path));
    EXPECT_EQ (path, folder.getFullPathName() + juce::File::getSeparatorString() + "other.syx");
}

TEST (UniqueFilePath, GivesUpCleanly)
{
    ScratchFolder scratch;
    juce::String path = "untouched";

    EXPECT_FALSE (makeUniqueFilePath (scratch.folder, {}, {}, false, path));
    EXPECT_FALSE (makeUniqueFilePath (juce::File(), "name", ".ext", false, path));
    EXPECT_EQ (path, "untouched");

    // The plain name and (1) .. (999) make 1000 tries; none left gives false.
    scratch.folder.getChildFile ("full.dat").create();
    for (int i = 1; i <= 999; ++i)
        scratch.folder.getChildFile ("full(" + juce::String (i) + ").dat").create();

    EXPECT_FALSE (makeUniqueFilePath (scratch.folder, "full", ".dat", false, path));
    EXPECT_EQ (path, "untouched");

    scratch.folder.getChildFile ("full(999).dat").deleteFile();
    ASSERT_TRUE (makeUniqueFilePath (scratch.folder, "full", ".dat", false, path));
    EXPECT_EQ (juce::File (path).getFileName(), "full(999).dat");

    // An extension alone is a usable name.
    ASSERT_TRUE (makeUniqueFilePath (scratch.folder, {}, ".syx", false, path));
    EXPECT_EQ (juce::File (path).getFileName(), ".syx");
}

TEST (UniqueFilePath, TimeStampBeforeTheCounter)
{
    ScratchFolder scratch;
    juce::String path;

    const auto before = juce::Time::getCurrentTime().formatted ("%Y%m%d");
    ASSERT_TRUE (makeUniqueFilePath (scratch.folder, "snap", ".syx", true, path));
    const auto after = juce::Time::getCurrentTime().formatted ("%Y%m%d");

    // snap_YYYYMMDD_HHMMSS.syx
    const auto name = juce::File (path).getFileName();
    const auto digitsAt = [&name] (int start, int count)
    { return name.substring (start, start + count).containsOnly ("0123456789"); };
    ASSERT_TRUE (name.length() == 24 && name.startsWith ("snap_") && digitsAt (5, 8) && name[13] == '_' &&
                 digitsAt (14, 6) && name.endsWith (".syx"))
        << name;
    const auto date = name.substring (5, 13);
    EXPECT_TRUE (date == before || date == after);

    juce::File (path).create();
    juce::String second;
    ASSERT_TRUE (makeUniqueFilePath (scratch.folder, "snap", ".syx", true, second));
    // Unless the second ticked over, the same stamp gets a counter before the extension.
    if (juce::File (second).getFileName().substring (0, 20) == juce::File (path).getFileName().substring (0, 20))
    {
        EXPECT_EQ (juce::File (second).getFileName(), juce::File (path).getFileNameWithoutExtension() + "(1).syx");
    }
    EXPECT_NE (second, path);
}

TEST (SaveDataToFile, CreatesFoldersAndReplacesFiles)
{
    ScratchFolder scratch;
    const auto target = scratch.folder.getChildFile ("a/b/data.bin");

    EXPECT_EQ (saveDataToFile (target.getFullPathName(), blockOf ("first")), "");
    EXPECT_EQ (target.loadFileAsString(), "first");

    EXPECT_EQ (saveDataToFile (target.getFullPathName(), blockOf ("second, longer")), "");
    EXPECT_EQ (target.loadFileAsString(), "second, longer");

    EXPECT_EQ (saveDataToFile (target.getFullPathName(), {}), "");
    EXPECT_TRUE (target.existsAsFile());
    EXPECT_EQ (target.getSize(), 0);

    // Nothing but the target is left in its folder.
    EXPECT_EQ (target.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1);
}

TEST (SaveDataToFile, FailureIsReportedAndLosesNothing)
{
    ScratchFolder scratch;

    // Tests run as root, so permissions cannot make a write fail; a regular
    // file standing where a folder is needed does.
    const auto blocker = scratch.folder.getChildFile ("blocker");
    ASSERT_TRUE (blocker.replaceWithText ("precious"));
    EXPECT_NE (saveDataToFile (blocker.getFullPathName() + "/sub/data.bin", blockOf ("new")), "");
    EXPECT_EQ (blocker.loadFileAsString(), "precious");

    // A folder where the file should be stays a folder, with its contents.
    const auto folderTarget = scratch.folder.getChildFile ("folder");
    ASSERT_TRUE (folderTarget.createDirectory());
    ASSERT_TRUE (folderTarget.getChildFile ("inside.txt").replaceWithText ("kept"));
    EXPECT_NE (saveDataToFile (folderTarget.getFullPathName(), blockOf ("new")), "");
    EXPECT_EQ (folderTarget.getChildFile ("inside.txt").loadFileAsString(), "kept");

#if JUCE_LINUX || JUCE_MAC
    // The old file survives a write that fails half-way.
    const auto existing = scratch.folder.getChildFile ("colours.xml");
    ASSERT_EQ (saveDataToFile (existing.getFullPathName(), blockOf ("old colours")), "");
    {
        FileSizeLimit limit (1000);
        ASSERT_TRUE (limit.active);
        EXPECT_NE (saveDataToFile (existing.getFullPathName(), juce::MemoryBlock (64 * 1024, true)), "");
    }
    EXPECT_EQ (existing.loadFileAsString(), "old colours");
#endif

    // Names that are not full paths are refused rather than written somewhere.
    EXPECT_NE (saveDataToFile ({}, blockOf ("new")), "");
    EXPECT_NE (saveDataToFile ("relative/data.bin", blockOf ("new")), "");
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("relative").exists());
}

TEST (ReadRegularFile, ReadsOnlyRegularFilesAndNeverPastTheLimit)
{
    ScratchFolder scratch;
    juce::MemoryBlock data;
    const auto file = scratch.folder.getChildFile ("preset.syx");
    ASSERT_TRUE (file.replaceWithText ("12345678"));
    EXPECT_EQ (readRegularFile (file, 8, data), FileReadResult::read);
    EXPECT_EQ (data, blockOf ("12345678"));
    EXPECT_EQ (readRegularFile (file, 7, data), FileReadResult::tooLarge);
    EXPECT_EQ (data.getSize(), 0u);
    EXPECT_EQ (readRegularFile (scratch.folder.getChildFile ("gone.syx"), 8, data), FileReadResult::missing);
    EXPECT_EQ (readRegularFile (scratch.folder, 8, data), FileReadResult::notAFile);

#if JUCE_LINUX || JUCE_MAC
    // A FIFO and a device report no size; neither is opened, so neither a
    // FIFO nobody writes nor one fed past the limit holds the reader.
    FifoFeeder fifo (scratch.folder.getChildFile ("fifo.syx"), juce::MemoryBlock (64 * 1024, true));
    ASSERT_TRUE (fifo.made);
    ASSERT_EQ (readRegularFile (fifo.file, 1024, data), FileReadResult::notAFile);
    EXPECT_EQ (fifo.readersFed, 0);
    EXPECT_EQ (readRegularFile (juce::File ("/dev/zero"), 1024, data), FileReadResult::notAFile);
    EXPECT_FALSE (isRegularFile (fifo.file));
    EXPECT_TRUE (isRegularFile (file));
#endif
#if JUCE_LINUX
    // A regular file that reports no size yet holds more: the limit stops it.
    const juce::File maps ("/proc/self/maps");
    ASSERT_EQ (maps.getSize(), 0);
    EXPECT_EQ (readRegularFile (maps, 16, data), FileReadResult::tooLarge);
    EXPECT_EQ (readRegularFile (maps, 1 << 24, data), FileReadResult::read);
    EXPECT_GT (data.getSize(), 16u);
#endif
}

TEST (ExecutableFolder, FollowsTheProgramFolder)
{
    ScratchFolder scratch;
    UserFolders::redirectTo (scratch.folder);
    const auto redirected = getExecutableFolder();
    UserFolders::redirectTo ({});

    EXPECT_EQ (redirected, scratch.folder.getChildFile ("program").getFullPathName());
    EXPECT_FALSE (redirected.endsWith (juce::File::getSeparatorString()));

    EXPECT_EQ (juce::File (getExecutableFolder()),
               juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory());
}
