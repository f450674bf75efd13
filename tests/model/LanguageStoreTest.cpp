#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserFolders.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
// A fresh store whose program folder is a private temporary folder. The
// language file, when a test wants one, must be written before open().
class LanguageStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UserFolders::redirectTo (scratch.folder);
        programFolder = UserFolders::getProgramFolder();
        LanguageStore::resetForTests();
    }

    void TearDown() override
    {
        LanguageStore::resetForTests();
        UserFolders::redirectTo ({});
    }

    LanguageStore& open (bool handOverTables = true)
    {
        auto* store = LanguageStore::getInstance();
        if (handOverTables)
        {
            store->keyTable = PromptKeys;
            store->defaultTextTable = PromptDefaultTexts;
        }
        return *store;
    }

    void writeLanguageFile (const juce::String& content, const juce::String& name = "english.lbrakml")
    {
        ASSERT_TRUE (programFolder.createDirectory());
        ASSERT_TRUE (programFolder.getChildFile (name).replaceWithText (content));
    }

    ScratchFolder scratch{ "kestrel-language" };
    juce::File programFolder;
};

juce::String builtIn (juce::int32 id)
{
    return getNameForId (PromptDefaultTexts, (juce::uint32) id);
}
} // namespace

TEST (PromptCatalogue, HoldsEveryIdOnceWithUniqueKeysAndTexts)
{
    EXPECT_EQ (getTableRowCount (PromptKeys), promptCount);
    EXPECT_EQ (getTableRowCount (PromptDefaultTexts), promptCount);

    std::multiset<juce::int32> keyIds, textIds;
    std::set<juce::String> keys;

    for (auto* row = PromptKeys; row->id != idTableEnd; ++row)
    {
        keyIds.insert (row->id);
        ASSERT_NE (row->name, nullptr);
        EXPECT_TRUE (keys.insert (row->name).second) << "duplicate key " << row->name;
    }

    for (auto* row = PromptDefaultTexts; row->id != idTableEnd; ++row)
    {
        textIds.insert (row->id);
        ASSERT_NE (row->name, nullptr);
        EXPECT_GT (std::strlen (row->name), 0u) << "empty text for id " << row->id;
    }

    for (juce::int32 id = firstPromptId; id <= lastPromptId; ++id)
    {
        EXPECT_EQ (keyIds.count (id), 1u) << "key id " << id;
        EXPECT_EQ (textIds.count (id), 1u) << "text id " << id;
    }

    // The constants callers use carry their own key.
    EXPECT_EQ (getNameForId (PromptKeys, PROMT_BYPASS_MODE_TITLE), "PROMT_BYPASS_MODE_TITLE");
    EXPECT_EQ (getIdForName (PromptKeys, "PROMPT_OK"), 8);
    EXPECT_EQ (getIdForName (PromptKeys, "TOOLTIP_BLOCK_DISABLED"), 109);
    EXPECT_EQ (getIdForName (PromptKeys, "PRESET_FOOTSWITCHES_WARN_GLOBAL_MODE"), 110);
    EXPECT_EQ (getIdForName (PromptKeys, "PROMPT_BYPASS_MODE_TITLE"), -1);
}

TEST (PromptCatalogue, QuotedTextsAreExact)
{
    EXPECT_EQ (builtIn (0), "Bypass/Engage");
    EXPECT_EQ (builtIn (5), "Are you sure you want to replace preset (<number>) \"<name>\" with \"<name2>\"?");
    EXPECT_EQ (builtIn (6), "Yes");
    EXPECT_EQ (builtIn (7), "No");
    EXPECT_EQ (builtIn (8), "OK");
    EXPECT_EQ (builtIn (9), "Communication lost.");
    EXPECT_EQ (builtIn (17), "Errors were encountered while reading the Block Library entries.\n\nPlease see the file "
                             "\"block_library.log\" in the Block Library directory for a listing of errors.");
    EXPECT_EQ (builtIn (30), "Unable to import.\nThe selected file contains data for the <ZOLMODEL> and is not "
                             "compatible with this firmware.");
    EXPECT_EQ (builtIn (39), "Snapshot saved.");
    EXPECT_EQ (builtIn (75), "Warn before Brak-Manage operations with more than 10 selected presets or cabs.");
    EXPECT_EQ (builtIn (98), "Banks can contain up to 128 entries. Please delete from the browser all entries except "
                             "those to be included in your bank.");
    EXPECT_EQ (builtIn (109), "The Kestrel has disabled this block due to excessive CPU usage.");

    // Texts the editor panels quote.
    EXPECT_EQ (builtIn (19), "Select an entry from the list");
    EXPECT_EQ (builtIn (21), "User");
    EXPECT_EQ (builtIn (86), "Preset-Cab Bundle : Select a Preset location from the list");
    EXPECT_EQ (builtIn (89), "Communications can only be paused from the Kestrel-Edit home screen.");
    EXPECT_EQ (builtIn (110), "You must disable Global mode before assigning a Per-Preset effect to this footswitch.");
}

TEST_F (LanguageStoreTest, WithoutLanguageFileGivesBuiltInTextsAndCreatesNothing)
{
    auto& store = open();

    juce::String text ("unchanged");
    EXPECT_TRUE (store.getText (PROMPT_OK, text));
    EXPECT_EQ (text, "OK");
    EXPECT_EQ (store.getText (PROMT_BYPASS_MODE_TITLE), "Bypass/Engage");
    EXPECT_EQ (store.getLanguage(), 1);

    for (juce::int32 id = firstPromptId; id <= lastPromptId; ++id)
        EXPECT_EQ (store.getText (id), builtIn (id)) << "id " << id;

    LanguageStore::resetForTests();
    EXPECT_EQ (programFolder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (LanguageStoreTest, UnknownIdsAndMissingTablesLeaveTheCallersText)
{
    auto& store = open (false);

    juce::String text ("caller's");
    EXPECT_FALSE (store.getText (PROMPT_OK, text));
    EXPECT_EQ (text, "caller's");

    store.keyTable = PromptKeys;
    EXPECT_FALSE (store.getText (PROMPT_OK, text)) << "default texts still missing";

    store.defaultTextTable = PromptDefaultTexts;
    for (auto id : { -1, 111, 1000, -2147483647 - 1 })
    {
        EXPECT_FALSE (store.getText (id, text)) << "id " << id;
        EXPECT_EQ (text, "caller's");
        EXPECT_TRUE (store.getText (id).isEmpty());
    }

    // Another catalogue handed over is the one asked.
    static const IdNameRow keys[] = { { PROMPT_OK, "MY_OK" }, { idTableEnd, nullptr } };
    static const IdNameRow texts[] = { { PROMPT_OK, "Fine" }, { idTableEnd, nullptr } };
    store.keyTable = keys;
    store.defaultTextTable = texts;
    EXPECT_EQ (store.getText (PROMPT_OK), "Fine");
}

TEST_F (LanguageStoreTest, LanguageFileOverridesByExactKeyAndFallsBackPerKey)
{
    writeLanguageFile ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<PROPERTIES>\n"
                       "  <VALUE name=\"PROMPT_OK\" val=\"Okay\"/>\n"
                       "  <VALUE name=\"PROMT_BYPASS_MODE_TITLE\" val=\"Umgehen\"/>\n"
                       "  <VALUE name=\"prompt_yes\" val=\"Ja\"/>\n"
                       "  <VALUE name=\"PROMPT_NO\" val=\"\"/>\n"
                       "  <VALUE name=\"PROMPT_REPLACE_PRESET\" val=\"Line one&#10;line two\"/>\n"
                       "</PROPERTIES>\n");
    const auto file = programFolder.getChildFile ("english.lbrakml");
    const auto before = file.loadFileAsString();

    auto& store = open();

    EXPECT_EQ (store.getText (PROMPT_OK), "Okay");
    EXPECT_EQ (store.getText (PROMT_BYPASS_MODE_TITLE), "Umgehen");
    EXPECT_EQ (store.getText (PROMPT_YES), "Yes") << "keys are case-sensitive";
    EXPECT_EQ (store.getText (PROMPT_REPLACE_PRESET), "Line one\nline two");

    // An empty value in the file is what the file says: an empty text, and false.
    juce::String text = "kept?";
    EXPECT_FALSE (store.getText (PROMPT_NO, text));
    EXPECT_EQ (text, "");
    EXPECT_EQ (store.getText (PROMPT_COMMUNICATION_LOST), "Communication lost.");
    EXPECT_EQ (LanguageStore::textOr (PROMPT_OK, "fallback"), "Okay");
    EXPECT_EQ (LanguageStore::textOr (PROMPT_NO, "fallback"), "fallback") << "an empty text gives the fallback";

    // The file is read once: a later edit has no effect, and the store never
    // writes it back.
    ASSERT_TRUE (file.replaceWithText ("<PROPERTIES><VALUE name=\"PROMPT_OK\" val=\"Later\"/></PROPERTIES>"));
    store.setLanguage (1);
    EXPECT_EQ (store.getText (PROMPT_OK), "Okay");

    ASSERT_TRUE (file.replaceWithText (before));
    LanguageStore::resetForTests();
    EXPECT_EQ (LanguageStore::textOr (PROMPT_OK, "fallback"), "fallback") << "no store";
    EXPECT_EQ (file.loadFileAsString(), before);
    EXPECT_EQ (programFolder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST_F (LanguageStoreTest, IndexWithoutFileNameReadsDefaultFile)
{
    writeLanguageFile ("<PROPERTIES><VALUE name=\"PROMPT_OK\" val=\"English\"/></PROPERTIES>");
    writeLanguageFile ("<PROPERTIES><VALUE name=\"PROMPT_OK\" val=\"Default\"/></PROPERTIES>", "default.lbrakml");

    auto& store = open();
    EXPECT_EQ (store.getText (PROMPT_OK), "English");

    store.setLanguage (7);
    EXPECT_EQ (store.getLanguage(), 7);
    EXPECT_EQ (store.getText (PROMPT_OK), "Default");

    store.setLanguage (1);
    EXPECT_EQ (store.getText (PROMPT_OK), "English");
}

TEST_F (LanguageStoreTest, DamagedLanguageFilesFallBackToBuiltInTexts)
{
    const auto expectBuiltIn = [this] (const char* what)
    {
        auto& store = open();
        EXPECT_EQ (store.getText (PROMPT_OK), "OK") << what;
        EXPECT_EQ (store.getText (TOOLTIP_BLOCK_DISABLED), builtIn (TOOLTIP_BLOCK_DISABLED)) << what;
        LanguageStore::resetForTests();
    };

    writeLanguageFile ("PROMPT_OK = Okay\nthis is not a properties file");
    expectBuiltIn ("plain text");

    writeLanguageFile ("<PROPERTIES><VALUE name=\"PROMPT_OK\" val=\"Okay\"");
    expectBuiltIn ("truncated xml");

    writeLanguageFile ("<SETTINGS><VALUE name=\"PROMPT_OK\" val=\"Okay\"/></SETTINGS>");
    expectBuiltIn ("wrong root element");

    writeLanguageFile ("");
    expectBuiltIn ("empty file");

    // JUCE's binary form with an absurd value count and nothing behind it.
    {
        juce::MemoryOutputStream data;
        data.writeInt ((int) juce::ByteOrder::makeInt ('P', 'R', 'O', 'P'));
        data.writeInt (0x7FFFFFFF);
        data.write ("PROMPT", 6);
        ASSERT_TRUE (
            programFolder.getChildFile ("english.lbrakml").replaceWithData (data.getData(), data.getDataSize()));
    }
    expectBuiltIn ("binary header only");

    {
        juce::Random random (1234);
        juce::MemoryBlock noise (4096);
        random.fillBitsRandomly (noise.getData(), noise.getSize());
        ASSERT_TRUE (programFolder.getChildFile ("english.lbrakml").replaceWithData (noise.getData(), noise.getSize()));
    }
    expectBuiltIn ("random bytes");

    // Far too large to be a language file: passed over unread.
    {
        juce::String content ("<PROPERTIES><VALUE name=\"PROMPT_OK\" val=\"Okay\"/>");
        content << juce::String::repeatedString ("<!-- padding -->",
                                                 (int) (LanguageStore::maxLanguageFileSize / 16) + 1)
                << "</PROPERTIES>";
        writeLanguageFile (content);
    }
    expectBuiltIn ("oversized file");

    // A directory where the file should be.
    programFolder.getChildFile ("english.lbrakml").deleteFile();
    ASSERT_TRUE (programFolder.getChildFile ("english.lbrakml").createDirectory());
    expectBuiltIn ("directory");
}
