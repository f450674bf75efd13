#include "model/FileUtils.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "tests/support/FifoFeeder.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{
class ConfigurationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = scratch.folder;
        UserFolders::redirectTo (root);
    }

    void TearDown() override { UserFolders::redirectTo ({}); }

    static juce::String sep() { return juce::File::getSeparatorString(); }
    static juce::File documents() { return UserFolders::getDocumentsFolder(); }
    static juce::File settingsFile() { return GlobalConfiguration::getSettingsFile(); }

    // A settings file as another program (or an older version) left it.
    static void writeSettings (const juce::StringPairArray& values)
    {
        juce::XmlElement doc ("PROPERTIES");
        for (auto& key : values.getAllKeys())
        {
            auto* e = doc.createNewChildElement ("VALUE");
            e->setAttribute ("name", key);
            e->setAttribute ("val", values[key]);
        }
        ASSERT_TRUE (settingsFile().getParentDirectory().createDirectory().wasOk());
        ASSERT_TRUE (doc.writeTo (settingsFile()));
    }

    static std::unique_ptr<juce::PropertiesFile> openWithJuce()
    {
        juce::PropertiesFile::Options options;
        options.millisecondsBeforeSaving = -1;
        return std::make_unique<juce::PropertiesFile> (settingsFile(), options);
    }

    ScratchFolder scratch{ "kestrel-config-test" };
    juce::File root;
    RecordingNotifier notices;
};
} // namespace

TEST_F (ConfigurationTest, FirstRunGivesEveryDefaultAndMakesTheTemplatesFolder)
{
    KestrelGlobalConfiguration config;
    EXPECT_TRUE (config.load());

    const auto docs = documents().getFullPathName();
    const auto work = docs + sep() + "Quillon Audio" + sep() + "Kestrel-Edit" + sep();
    EXPECT_EQ (config.MRU_DIRECTORY, docs);
    EXPECT_EQ (config.MRU_DIR_IMPORT, docs);
    EXPECT_EQ (config.MRU_SYSEX_INFO, docs);
    EXPECT_EQ (config.SNAPSHOTS_DIR, work + "presets" + sep() + "snapshots" + sep());
    EXPECT_EQ (config.TEMPLATES_DIR, work + "presets" + sep() + "templates" + sep());
    EXPECT_EQ (config.BLOCKS_DEFS_DIR, work + "blocks" + sep());
    EXPECT_EQ (config.EFFECT_DEFS_DIR, UserFolders::getSettingsFolder().getFullPathName() + sep());
    EXPECT_TRUE (juce::File (config.TEMPLATES_DIR).isDirectory());
    EXPECT_TRUE (UserFolders::getWorkFolder().getChildFile ("presets/templates").isDirectory());

    EXPECT_EQ (config.MIDI_IN, "Kestrel MIDI");
    EXPECT_EQ (config.MIDI_OUT, "Kestrel MIDI");
    EXPECT_EQ (config.MOUSE_SCROLLING, 1);
    EXPECT_EQ (config.LANGUAGE, 1);
    EXPECT_FALSE (config.ALLOW_MORE_THAN_ONE);
    EXPECT_FALSE (config.CHECK_PAUSE_GOES_HOME);
    EXPECT_TRUE (config.PROMPT_PRESET_BUNDLE_IMPORT);
    EXPECT_TRUE (config.CHECK_AUTO_PAUSE_ON_RESYNC);
    EXPECT_EQ (config.BROWSER_SCRATCHPAD, 0);
    EXPECT_TRUE (config.colorAssignments.groups.isEmpty());

    EXPECT_EQ (notices.count(), 0);
    EXPECT_FALSE (settingsFile().exists()); // loading never writes
}

TEST_F (ConfigurationTest, OutOfRangeAndMistypedValuesAreReplaced)
{
    juce::StringPairArray values;
    values.set ("MOUSE_SCROLLING", "0");
    values.set ("KNOB_TRACKING", "abc");
    values.set ("IR_PROCESSING_MODE", "3");
    values.set ("IR_OUTPUT_FORMAT", "4");
    values.set ("LANGUAGE", "2");
    values.set ("MIDI_IN", "   \t ");
    values.set ("MIDI_OUT", "  USB Port 2  ");
    values.set ("BROWSER_SPLITTER_PRESET", "nan");
    values.set ("BROWSER_SPLITTER_CAB", "0.25");
    values.set ("BROWSER_SCRATCHPAD", "-7");
    values.set ("SHOW_TOOLTIPS", "0");
    writeSettings (values);

    KestrelGlobalConfiguration config;
    EXPECT_TRUE (config.load());
    EXPECT_EQ (config.MOUSE_SCROLLING, 1);
    EXPECT_EQ (config.KNOB_TRACKING, 1);
    EXPECT_EQ (config.IR_PROCESSING_MODE, 3);
    EXPECT_EQ (config.IR_OUTPUT_FORMAT, 1);
    EXPECT_EQ (config.LANGUAGE, 1);
    EXPECT_EQ (config.MIDI_IN, "Kestrel MIDI");
    EXPECT_EQ (config.MIDI_OUT, "USB Port 2");
    EXPECT_EQ (config.BROWSER_SPLITTER_PRESET, 0.0);
    EXPECT_EQ (config.BROWSER_SPLITTER_CAB, 0.25);
    EXPECT_EQ (config.BROWSER_SCRATCHPAD, -7);
    EXPECT_FALSE (config.SHOW_TOOLTIPS);

    values.set ("MOUSE_SCROLLING", "3");
    values.set ("KNOB_TRACKING", "2");
    values.set ("IR_PROCESSING_MODE", "4");
    writeSettings (values);
    EXPECT_TRUE (config.load());
    EXPECT_EQ (config.MOUSE_SCROLLING, 1);
    EXPECT_EQ (config.KNOB_TRACKING, 2);
    EXPECT_EQ (config.IR_PROCESSING_MODE, 1);

    // The next save writes the language the program actually uses.
    EXPECT_TRUE (config.save());
    EXPECT_TRUE (config.writeSettingsNow());
    EXPECT_EQ (openWithJuce()->getValue ("LANGUAGE"), "1");
}

TEST_F (ConfigurationTest, EveryKeyKindRoundTrips)
{
    {
        KestrelGlobalConfiguration config;
        config.load();
        config.MAIN_WINDOW_STATE = "<WINDOW x=\"1\"/>";
        config.BRAKCHANGE_WINDOW_STATE = juce::String::fromUTF8 ("fen\xc3\xaatre 10 20 300 400");
        config.MRU_DIRECTORY = "/mru/general";
        config.MRU_DIR_IMPORT = "/mru/import";
        config.MRU_SYSEX_INFO = "/mru/info";
        config.SNAPSHOTS_DIR = "/work/snapshots/";
        config.EFFECT_DEFS_DIR = "/work/defs/";
        config.BLOCKS_DEFS_DIR = "/work/blocks/";
        config.TEMPLATES_DIR = root.getChildFile ("templates").getFullPathName() + sep();
        config.MIDI_IN = "In A";
        config.MIDI_OUT = "Out B";
        config.MOUSE_SCROLLING = 2;
        config.KNOB_TRACKING = 2;
        config.PROMPT_MANAGER_LOAD = false;
        config.PROMPT_MANAGER_WAIT_TIME = false;
        config.PROMPT_MANAGER_RESYNC = false;
        config.SHOW_TOOLTIPS = false;
        config.ALLOW_MORE_THAN_ONE = true;
        config.SEARCH_NUMBER_AND_NAME = false;
        config.CHECK_FOR_UPDATE = false;
        config.CHECK_AUTO_PAUSE_ON_RESYNC = false;
        config.BROWSER_RECURSE_DIRECTORIES = false;
        config.BROWSER_PRESET_CLEAR_LIST = false;
        config.BROWSER_SPLITTER_PRESET = 0.123456789;
        config.IR_PROCESSING_MODE = 3;
        config.IR_OUTPUT_FORMAT = 2;
        config.PROMPT_PRESET_BUNDLE_IMPORT = false;
        config.CHECK_PAUSE_GOES_HOME = true;
        config.BROWSER_CAB_CLEAR_LIST = false;
        config.BROWSER_SCRATCHPAD = 5;
        config.BROWSER_SPLITTER_CAB = -1.5e-3;
        config.colorAssignments.findOrAddGroup (8).assignColor (4, "Lead");
        EXPECT_TRUE (config.save());
    } // destruction writes the pending settings

    KestrelGlobalConfiguration config;
    EXPECT_TRUE (config.load());
    EXPECT_EQ (config.MAIN_WINDOW_STATE, "<WINDOW x=\"1\"/>");
    EXPECT_EQ (config.BRAKCHANGE_WINDOW_STATE, juce::String::fromUTF8 ("fen\xc3\xaatre 10 20 300 400"));
    EXPECT_EQ (config.MRU_DIRECTORY, "/mru/general");
    EXPECT_EQ (config.MRU_DIR_IMPORT, "/mru/import");
    EXPECT_EQ (config.MRU_SYSEX_INFO, "/mru/info");
    EXPECT_EQ (config.SNAPSHOTS_DIR, "/work/snapshots/");
    EXPECT_EQ (config.EFFECT_DEFS_DIR, "/work/defs/");
    EXPECT_EQ (config.BLOCKS_DEFS_DIR, "/work/blocks/");
    EXPECT_EQ (config.TEMPLATES_DIR, root.getChildFile ("templates").getFullPathName() + sep());
    EXPECT_EQ (config.MIDI_IN, "In A");
    EXPECT_EQ (config.MIDI_OUT, "Out B");
    EXPECT_EQ (config.MOUSE_SCROLLING, 2);
    EXPECT_EQ (config.KNOB_TRACKING, 2);
    EXPECT_FALSE (config.PROMPT_MANAGER_LOAD);
    EXPECT_FALSE (config.PROMPT_MANAGER_WAIT_TIME);
    EXPECT_FALSE (config.PROMPT_MANAGER_RESYNC);
    EXPECT_FALSE (config.SHOW_TOOLTIPS);
    EXPECT_TRUE (config.ALLOW_MORE_THAN_ONE);
    EXPECT_FALSE (config.SEARCH_NUMBER_AND_NAME);
    EXPECT_FALSE (config.CHECK_FOR_UPDATE);
    EXPECT_FALSE (config.CHECK_AUTO_PAUSE_ON_RESYNC);
    EXPECT_FALSE (config.BROWSER_RECURSE_DIRECTORIES);
    EXPECT_FALSE (config.BROWSER_PRESET_CLEAR_LIST);
    EXPECT_EQ (config.BROWSER_SPLITTER_PRESET, 0.123456789);
    EXPECT_EQ (config.IR_PROCESSING_MODE, 3);
    EXPECT_EQ (config.IR_OUTPUT_FORMAT, 2);
    EXPECT_FALSE (config.PROMPT_PRESET_BUNDLE_IMPORT);
    EXPECT_TRUE (config.CHECK_PAUSE_GOES_HOME);
    EXPECT_FALSE (config.BROWSER_CAB_CLEAR_LIST);
    EXPECT_EQ (config.BROWSER_SCRATCHPAD, 5);
    EXPECT_EQ (config.BROWSER_SPLITTER_CAB, -1.5e-3);
    EXPECT_EQ (config.colorAssignments.getColorOfName (8, "Lead"), 4u);
    EXPECT_TRUE (root.getChildFile ("templates").isDirectory());

    // The file is JUCE's own XML properties form.
    auto juceView = openWithJuce();
    EXPECT_TRUE (juceView->isValidFile());
    EXPECT_EQ (juceView->getValue ("MIDI_IN"), "In A");
    EXPECT_EQ (juceView->getIntValue ("BROWSER_SCRATCHPAD"), 5);
}

TEST_F (ConfigurationTest, SettingsAreWrittenThreeSecondsAfterTheLastSave)
{
    ManualClock clock;
    ManualClock::Installed use (clock);

    KestrelGlobalConfiguration config;
    config.load();
    config.MIDI_IN = "First";
    EXPECT_TRUE (config.save());
    EXPECT_TRUE (config.isSettingsWritePending());
    EXPECT_TRUE (GlobalConfiguration::getColorAssignmentsFile().existsAsFile()); // written at once

    clock.advance (2000);
    config.MIDI_IN = "Second";
    config.save(); // restarts the delay
    clock.advance (2999);
    EXPECT_TRUE (config.writeSettingsIfDue());
    EXPECT_FALSE (settingsFile().exists());

    clock.advance (1);
    EXPECT_TRUE (config.writeSettingsIfDue());
    EXPECT_FALSE (config.isSettingsWritePending());
    EXPECT_EQ (openWithJuce()->getValue ("MIDI_IN"), "Second");

    // A later field change alone writes nothing.
    config.MIDI_IN = "Third";
    clock.advance (10000);
    config.writeSettingsIfDue();
    EXPECT_EQ (openWithJuce()->getValue ("MIDI_IN"), "Second");
}

TEST_F (ConfigurationTest, UpdateCheckKeysSurviveOurSave)
{
    KestrelGlobalConfiguration config;
    config.load();

    // The update check writes its keys after we loaded.
    {
        auto other = openWithJuce();
        other->setValue ("AUTO_UPDATE_DIR", "/downloads/kestrel");
        other->setValue ("AUTO_UPDATE_SKIP_CHECK", "1.2.3");
        ASSERT_TRUE (other->save());
    }

    config.MIDI_OUT = "Mine";
    EXPECT_TRUE (config.save());
    EXPECT_TRUE (config.writeSettingsNow());

    auto after = openWithJuce();
    EXPECT_EQ (after->getValue ("AUTO_UPDATE_DIR"), "/downloads/kestrel");
    EXPECT_EQ (after->getValue ("AUTO_UPDATE_SKIP_CHECK"), "1.2.3");
    EXPECT_EQ (after->getValue ("MIDI_OUT"), "Mine");

    // Loading leaves them alone too.
    config.load();
    config.save();
    config.writeSettingsNow();
    EXPECT_EQ (openWithJuce()->getValue ("AUTO_UPDATE_DIR"), "/downloads/kestrel");

    // The keys are written back in key order.
    auto keys = openWithJuce()->getAllProperties().getAllKeys();
    ASSERT_GT (keys.size(), 20);
    auto sorted = keys;
    sorted.sort (false);
    EXPECT_EQ (keys, sorted);
}

TEST_F (ConfigurationTest, UnreadableSettingsFileGivesDefaultsAndIsKeptAside)
{
    ASSERT_TRUE (settingsFile().getParentDirectory().createDirectory().wasOk());
    const juce::String junk = "this is not <xml at all";
    ASSERT_TRUE (settingsFile().replaceWithText (junk));

    KestrelGlobalConfiguration config;
    config.MOUSE_SCROLLING = 2;
    EXPECT_FALSE (config.load());
    EXPECT_EQ (config.MOUSE_SCROLLING, 1);
    EXPECT_EQ (config.MIDI_IN, "Kestrel MIDI");
    EXPECT_EQ (settingsFile().loadFileAsString(), junk); // loading destroyed nothing

    config.KNOB_TRACKING = 2;
    EXPECT_TRUE (config.save());
    EXPECT_TRUE (config.writeSettingsNow());
    EXPECT_EQ (settingsFile().getSiblingFile ("Kestrel-Edit.settings.bad").loadFileAsString(), junk);
    EXPECT_EQ (openWithJuce()->getIntValue ("KNOB_TRACKING"), 2);

    // A settings "file" that is a folder cannot be written; the save says so and stays pending.
    ASSERT_TRUE (settingsFile().deleteFile());
    ASSERT_TRUE (settingsFile().createDirectory().wasOk());
    EXPECT_FALSE (config.load());
    config.save();
    EXPECT_FALSE (config.writeSettingsNow());
    EXPECT_TRUE (config.isSettingsWritePending());
}

#if JUCE_LINUX || JUCE_MAC
// A FIFO where a file should be holds nothing to keep: it is neither read
// (that would wait for a writer) nor copied aside, and the save replaces it.
TEST_F (ConfigurationTest, AFifoInPlaceOfTheSettingsOrColourFileIsNeverOpened)
{
    ASSERT_TRUE (settingsFile().getParentDirectory().createDirectory().wasOk());
    const juce::String settingsText ("<PROPERTIES><VALUE name=\"KNOB_TRACKING\" val=\"2\"/></PROPERTIES>");
    FifoFeeder settings (settingsFile(), juce::MemoryBlock (settingsText.toRawUTF8(), settingsText.getNumBytesAsUTF8()));
    FifoFeeder colours (GlobalConfiguration::getColorAssignmentsFile(), juce::MemoryBlock (16, true));
    ASSERT_TRUE (settings.made && colours.made);

    KestrelGlobalConfiguration config;
    config.load();
    EXPECT_EQ (config.KNOB_TRACKING, 1);
    EXPECT_TRUE (config.save());
    EXPECT_TRUE (config.writeSettingsNow());
    EXPECT_EQ (settings.readersFed + colours.readersFed, 0);
    EXPECT_FALSE (settingsFile().getSiblingFile ("Kestrel-Edit.settings.bad").exists());
    EXPECT_TRUE (isRegularFile (settingsFile()));
    EXPECT_TRUE (isRegularFile (GlobalConfiguration::getColorAssignmentsFile()));
}
#endif

TEST_F (ConfigurationTest, ColourFileIsKeptWhenItCannotBeRead)
{
    {
        KestrelGlobalConfiguration config;
        config.load();
        config.colorAssignments.findOrAddGroup (3).assignColor (6, "Solo");
        ASSERT_TRUE (config.save());
    }

    auto colourFile = GlobalConfiguration::getColorAssignmentsFile();
    juce::MemoryBlock original;
    ASSERT_TRUE (colourFile.loadFileAsData (original));
    juce::MemoryBlock damaged (original);
    static_cast<juce::uint8*> (damaged.getData())[8] ^= 0x02;
    ASSERT_TRUE (colourFile.replaceWithData (damaged.getData(), damaged.getSize()));

    KestrelGlobalConfiguration config;
    EXPECT_FALSE (config.load());
    EXPECT_TRUE (config.colorAssignments.groups.isEmpty());
    EXPECT_EQ (notices.count(), 0); // silently

    juce::MemoryBlock afterLoad;
    colourFile.loadFileAsData (afterLoad);
    EXPECT_EQ (afterLoad, damaged);

    EXPECT_TRUE (config.save());
    juce::MemoryBlock kept;
    colourFile.getSiblingFile ("color-assignments.dat.bad").loadFileAsData (kept);
    EXPECT_EQ (kept, damaged);

    // A colour file that cannot be written is reported through the result.
    ASSERT_TRUE (colourFile.deleteFile());
    ASSERT_TRUE (colourFile.createDirectory().wasOk());
    EXPECT_FALSE (config.save());
}

TEST_F (ConfigurationTest, TemplatesFolderThatCannotBeMadeWarnsOncePerLoad)
{
    auto blocker = root.getChildFile ("plainfile");
    ASSERT_TRUE (blocker.replaceWithText ("x"));
    const auto impossible = blocker.getChildFile ("sub").getFullPathName() + sep();

    juce::StringPairArray values;
    values.set ("TEMPLATES_DIR", impossible);
    writeSettings (values);

    KestrelGlobalConfiguration config;
    config.load();
    ASSERT_EQ (notices.count(), 1);
    auto notice = notices.get (0);
    EXPECT_EQ (notice.title, "Preset Templates");
    EXPECT_EQ (notice.icon, Notice::Icon::warning);
    EXPECT_TRUE (notice.message.startsWith ("Unable to create Templates directory: "));
    EXPECT_TRUE (notice.message.endsWith ("\nPlease correct the Preset Templates path in the Preferences::Workpsace."));
    EXPECT_EQ (config.TEMPLATES_DIR, impossible);

    config.load();
    EXPECT_EQ (notices.count(), 2);

    values.set ("TEMPLATES_DIR", "relative/templates");
    writeSettings (values);
    config.load();
    EXPECT_EQ (notices.count(), 3);
}

TEST_F (ConfigurationTest, FoldersThatAreGoneBecomeTheDocumentsFolder)
{
    KestrelGlobalConfiguration config;
    auto mru = root.getChildFile ("mru");
    ASSERT_TRUE (mru.createDirectory().wasOk());
    config.MRU_DIRECTORY = mru.getFullPathName();
    EXPECT_EQ (config.getMruDirectory(), mru.getFullPathName());

    ASSERT_TRUE (mru.deleteRecursively());
    EXPECT_EQ (config.getMruDirectory(), documents().getFullPathName());
    EXPECT_EQ (config.MRU_DIRECTORY, documents().getFullPathName());

    for (juce::String path : { juce::String(), juce::String ("relative/folder"), juce::String ("/no/such/folder") })
    {
        GlobalConfiguration::validateFolder (path);
        EXPECT_EQ (path, documents().getFullPathName());
    }
}

TEST_F (ConfigurationTest, TheSingletonIsTheKestrelStore)
{
    auto* config = KestrelGlobalConfiguration::getInstance();
    ASSERT_NE (config, nullptr);
    EXPECT_EQ (config, KestrelGlobalConfiguration::getInstance());
    EXPECT_EQ (config->defaultMidiOut, "Kestrel MIDI");
    KestrelGlobalConfiguration::resetForTests();
}
