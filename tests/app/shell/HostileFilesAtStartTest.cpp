#include "app/shell/KestrelEditApplication.h"
#include "model/ExternalPropertiesReader.h"
#include "model/ExternalXmlReader.h"
#include "model/GlobalConfiguration.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "support/HostileInputs.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// A damaged settings or language file met by a real start of the application
// objects, with the user's folders redirected. Like every test here, each case
// needs a process of its own (the managers exist once per process), which the
// test command gives it.
namespace
{
std::string caseName (const ::testing::TestParamInfo<const char*>& info)
{
    std::string name;
    for (const char* c = info.param; *c != 0 && *c != '.'; ++c)
        name += std::isalnum ((unsigned char) *c) ? *c : '_';
    return name;
}

// A start that met one of these files once took from 12 s to minutes. How
// long a start takes depends on the machine's load, so no test here bounds
// it: the readers' own tests measure the shapes that were slow against an
// easy file's in the same run, and the costliest work of reading, the
// framework names the documents make, is counted here.
constexpr size_t startNamesBound = 30000;

class HostileSettingsFileAtStart : public ::testing::TestWithParam<const char*>
{
};

class HostileLanguageFileAtStart : public ::testing::TestWithParam<const char*>
{
};

class WellFormedHostileSettingsFileAtStart : public ::testing::TestWithParam<const char*>
{
};
} // namespace

TEST_P (HostileSettingsFileAtStart, StartsWithDefaultsAndKeepsTheFileAside)
{
    KESTREL_REQUIRE_DISPLAY();
    ScratchFolder scratch{ "kestrel-hostile-settings" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;

    const auto hostile = loadHostileInput (GetParam());
    ASSERT_GT (hostile.getSize(), 0u);
    const auto settings = GlobalConfiguration::getSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (settings.replaceWithData (hostile.getData(), hostile.getSize()));

    {
        KestrelEditApplication app;
        app.initialise ({});
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
        EXPECT_LT (ExternalXmlReader::countNamesMade(), startNamesBound);
        ASSERT_EQ (notices.count(), 1);
        EXPECT_EQ (notices.lastMessage(), KestrelEditApplication::unreadableSettingsText);

        auto* configuration = KestrelGlobalConfiguration::getInstance();
        ASSERT_NE (configuration, nullptr);
        EXPECT_EQ (configuration->MIDI_IN, "Kestrel MIDI");
        app.shutdown();
    }

    // The damaged file is kept as it was, and the new one reads at the next start.
    juce::MemoryBlock kept;
    ASSERT_TRUE (settings.getSiblingFile (settings.getFileName() + ".bad").loadFileAsData (kept));
    EXPECT_EQ (kept, hostile);
    PropertyList values;
    EXPECT_EQ (ExternalPropertiesReader::readFile (settings, values), ExternalPropertiesReader::Result::read);
    EXPECT_EQ (values["MIDI_IN"], "Kestrel MIDI");
    UserFolders::redirectTo ({});
}

INSTANTIATE_TEST_SUITE_P (HostileFiles, HostileSettingsFileAtStart,
                          ::testing::Values ("settings-text-around-processing-instruction.xml",
                                             "settings-invalid-utf8-lead-bytes.xml",
                                             "settings-invalid-utf8-lead-byte-at-end.xml",
                                             "settings-cut-off-element-inside-value.xml",
                                             "settings-100k-attribute-names-descending.xml"),
                          caseName);

// Well-formed files that once crashed the start or held it back for minutes:
// read as they are, nothing set aside, the program's keys written beside
// theirs at the end.
TEST_P (WellFormedHostileSettingsFileAtStart, AreReadAndKeptWithoutAWarning)
{
    KESTREL_REQUIRE_DISPLAY();
    ScratchFolder scratch{ "kestrel-hostile-settings" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;

    const auto settings = GlobalConfiguration::getSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (getHostileInput (GetParam()).copyFileTo (settings));
    PropertyList before;
    ASSERT_EQ (ExternalPropertiesReader::readFile (settings, before), ExternalPropertiesReader::Result::read);

    {
        KestrelEditApplication app;
        app.initialise ({});
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
        EXPECT_LT (ExternalXmlReader::countNamesMade(), startNamesBound);
        EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
        app.shutdown();
    }

    EXPECT_FALSE (settings.getSiblingFile (settings.getFileName() + ".bad").exists());
    PropertyList after;
    ASSERT_EQ (ExternalPropertiesReader::readFile (settings, after), ExternalPropertiesReader::Result::read);
    EXPECT_EQ (after["MIDI_IN"], "Kestrel MIDI");
    for (int i = 0; i < before.size(); ++i)
        ASSERT_EQ (after[before.getAllKeys()[i]], before.getAllValues()[i]) << before.getAllKeys()[i];
    UserFolders::redirectTo ({});
}

INSTANTIATE_TEST_SUITE_P (HostileFiles, WellFormedHostileSettingsFileAtStart,
                          ::testing::Values ("settings-value-text-then-element.xml", "settings-25k-siblings.xml",
                                             "settings-25k-values.xml", "settings-16k-keys-of-one-hash.xml",
                                             "settings-text-split-2mb.xml"),
                          caseName);

TEST_P (HostileLanguageFileAtStart, GivesTheBuiltInTexts)
{
    KESTREL_REQUIRE_DISPLAY();
    ScratchFolder scratch{ "kestrel-hostile-language" };
    UserFolders::redirectTo (scratch.folder);
    RecordingNotifier notices;

    const auto languageFile = UserFolders::getProgramFolder().getChildFile ("english.lbrakml");
    ASSERT_TRUE (languageFile.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (getHostileInput (GetParam()).copyFileTo (languageFile));

    {
        KestrelEditApplication app;
        app.initialise ({});
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
        EXPECT_LT (ExternalXmlReader::countNamesMade(), startNamesBound);

        auto* language = LanguageStore::getInstance();
        ASSERT_NE (language, nullptr);
        juce::String text;
        EXPECT_TRUE (language->getText (8, text));
        EXPECT_EQ (text, "OK");
        EXPECT_EQ (language->getText (0), "Bypass/Engage") << "not the damaged file's \"Text 0\"";
        EXPECT_EQ (notices.count(), 0);
        app.shutdown();
    }

    EXPECT_TRUE (languageFile.existsAsFile()) << "never written or removed";
    UserFolders::redirectTo ({});
}

INSTANTIATE_TEST_SUITE_P (HostileFiles, HostileLanguageFileAtStart,
                          ::testing::Values ("language-cut-off-element-inside-value.xml",
                                             "language-processing-instruction-inside-text.xml",
                                             "language-invalid-utf8-and-processing-instruction.xml",
                                             "language-binary-negative-count.bin",
                                             "settings-value-text-then-element.xml",
                                             "language-50k-binary-values.bin", "settings-16k-keys-of-one-hash.xml"),
                          caseName);

// Forty skin documents of 8,000 names each that no other document holds
// (3 MB) in the Skins folder: the framework keeps every name for the whole
// run and each new one cost more than the last, so that the folder's scan
// held the first window for minutes. The start makes only a bounded share
// of those names, whatever the machine's load; the settings and the
// program's own skin, read after them, keep every one of their names.
TEST (SkinsFolderAtStart, DocumentsOfManyNewNamesDoNotHoldTheFirstWindow)
{
    KESTREL_REQUIRE_DISPLAY();
    ScratchFolder scratch{ "kestrel-hostile-skins" };
    UserFolders::redirectTo (scratch.folder);
    const auto skins = UserFolders::getProgramFolder().getChildFile (SkinManager::skinFolderName);
    ASSERT_TRUE (skins.createDirectory().wasOk());
    const auto settings = GlobalConfiguration::getSettingsFile();
    ASSERT_TRUE (settings.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (settings.replaceWithText ("<PROPERTIES><VALUE name=\"MIDI_IN\" val=\"Other MIDI\"/></PROPERTIES>"));

    for (int i = 0; i < 40; ++i)
    {
        const auto document = skinWithNewNames ("Skin " + juce::String (i), 8000, i, 40, true);
        ASSERT_TRUE (skins.getChildFile ("skin" + juce::String (i) + ".sbraky")
                         .replaceWithData (document.getData(), document.getSize()));
    }

    {
        KestrelEditApplication app;
        app.initialise ({});
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
        EXPECT_LT (ExternalXmlReader::countNamesMade(), startNamesBound) << "of the documents' 320,000 names";

        auto* configuration = KestrelGlobalConfiguration::getInstance();
        ASSERT_NE (configuration, nullptr);
        EXPECT_EQ (configuration->MIDI_IN, "Other MIDI");

        auto* skin = app.getSkin();
        ASSERT_NE (skin, nullptr);
        EXPECT_EQ (skin->foundSkinNames.size(), 40);
        ASSERT_NE (skin->getSkinRoot(), nullptr);
        EXPECT_EQ (skin->getSkinRoot()->getStringAttribute ("name"), "Kestrel-Edit Default");
        auto* titleBar = skin->getSection ("TitlebarSkin");
        ASSERT_NE (titleBar, nullptr);
        EXPECT_EQ (titleBar->getStringAttribute ("gradientTop"), "FF2C2F34");
        EXPECT_EQ (titleBar->getIntAttribute ("height"), 28);
        app.shutdown();
    }

    UserFolders::redirectTo ({});
}
