#include "app/shell/KestrelEditApplication.h"
#include "model/ExternalPropertiesReader.h"
#include "model/GlobalConfiguration.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/UserFolders.h"
#include "support/HostileInputs.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <chrono>

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

// A start that met one of these files once took from 12 s to minutes; each
// is bounded well above a sound start, which takes about a second.
using Clock = std::chrono::steady_clock;
double secondsSince (Clock::time_point start)
{
    return std::chrono::duration<double> (Clock::now() - start).count();
}
constexpr double startBoundSeconds = 12.0;

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
        const auto start = Clock::now();
        KestrelEditApplication app;
        app.initialise ({});
        EXPECT_LT (secondsSince (start), startBoundSeconds);
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
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
        const auto start = Clock::now();
        KestrelEditApplication app;
        app.initialise ({});
        EXPECT_LT (secondsSince (start), startBoundSeconds);
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";
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
        const auto start = Clock::now();
        KestrelEditApplication app;
        app.initialise ({});
        EXPECT_LT (secondsSince (start), startBoundSeconds);
        ASSERT_NE (app.getMainWindow(), nullptr) << "the program starts";

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
