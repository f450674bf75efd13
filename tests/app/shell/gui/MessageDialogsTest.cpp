#include "app/editor/EffectEditorContent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "app/update/ProgramUpdateCheck.h"
#include "device/DumpTestData.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/BlockLibraryEntry.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "skin/widgets/LinkButton.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/window/GenericDialogContent.h"
#include "skin/window/ZolLookAndFeel.h"
#include "support/CachedDefinitions.h"
#include "support/NoticeBoxes.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

namespace
{
// The application as the program runs it, shut down however the test ends:
// a failed assertion fails the test plainly instead of leaving the window
// to outlive the managers it uses.
struct RunningApplication
{
    RunningApplication() { app.initialise ({}); }
    ~RunningApplication() { app.shutdown(); }

    KestrelEditApplication app;
};

GenericDialogContent* findShownDialog()
{
    GenericDialogContent* found = nullptr;
    pumpMessagesUntil (
        [&found]
        {
            auto& desktop = juce::Desktop::getInstance();
            for (int i = 0; i < desktop.getNumComponents(); ++i)
                if (auto* dialog = dynamic_cast<juce::DialogWindow*> (desktop.getComponent (i));
                    dialog != nullptr && dialog->isVisible())
                    found = dynamic_cast<GenericDialogContent*> (dialog->getContentComponent());
            return found != nullptr;
        },
        10000);
    return found;
}

// The program's own file chooser on the screen, if one shows.
juce::FileChooserDialogBox* shownChooser()
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* chooser = dynamic_cast<juce::FileChooserDialogBox*> (desktop.getComponent (i));
            chooser != nullptr && chooser->isVisible())
            return chooser;
    return nullptr;
}

// The lines of text a component draws within an area: the bounds of the
// pixels of each run of rows that differ from the area's background.
std::vector<juce::Rectangle<int>> inkedLines (juce::Component& component, juce::Rectangle<int> area)
{
    const auto image = component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    const auto background = image.getPixelAt (area.getX(), area.getY());
    auto inked = [&] (int x, int y)
    {
        const auto p = image.getPixelAt (x, y);
        return std::abs (p.getBrightness() - background.getBrightness()) > 0.25f;
    };

    std::vector<juce::Rectangle<int>> lines;
    bool inLine = false;
    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        juce::Rectangle<int> row;
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (inked (x, y))
                row = row.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : row.getUnion ({ x, y, 1, 1 });
        if (row.isEmpty())
            inLine = false;
        else if (inLine)
            lines.back() = lines.back().getUnion (row);
        else
        {
            lines.push_back (row);
            inLine = true;
        }
    }
    return lines;
}
} // namespace

// A question the program asks after a menu command, answered in the program's
// own dialog; the logo's About in that dialog; and the keys of commands that
// nothing performs, left to the window.
TEST (MessageDialogs, DeletingALibraryEntryAsksInTheProgramsDialogAndFollowsTheAnswer)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-message-dialogs" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);

    {
        RunningApplication running;
        auto& app = running.app;
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr);
        auto* editor = window->getContent()->getPaneAs<EffectEditorContent> (ContentPane::effectEditor);
        auto* panel = window->getContent()->getFrontPanel();
        ASSERT_TRUE (editor != nullptr && panel != nullptr);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return window->isShowingConnected(); }));
        auto* presets = PresetManager::getInstanceWithoutCreating();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! presets->hasWork(); }));

        auto& commands = window->getCommandManager();
        auto isActive = [&commands] (int id)
        {
            juce::ApplicationCommandInfo info (id);
            return commands.getTargetForCommand (id, info) != nullptr &&
                   (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
        };
        // The logo, never disabled, shows About: the skin's logo above the
        // program's name and version, and no link.
        auto* logo = panel->getButtonNamed ("logoButton");
        ASSERT_NE (logo, nullptr);
        EXPECT_TRUE (logo->isEnabled());
        EXPECT_TRUE (isActive (2301));
        ASSERT_TRUE (clickBackToBack (*logo));
        {
            auto* about = findShownDialog();
            ASSERT_NE (about, nullptr);
            EXPECT_EQ (about->getTopLevelComponent()->getName(), "About Kestrel-Edit");
            EXPECT_TRUE (about->logoMode);
            EXPECT_EQ (about->getIcon(), nullptr);
            EXPECT_EQ (about->message, "Kestrel-Edit\nVersion " + ProgramUpdateCheck::installedVersionText());
            auto* look = dynamic_cast<ZolLookAndFeel*> (&window->getLookAndFeel());
            ASSERT_NE (look, nullptr);
            ASSERT_TRUE (look->getGenericDialogStyle().logo.isValid());
            EXPECT_EQ (about->getLogoRect().getWidth(), look->getGenericDialogStyle().logo.getWidth());
            EXPECT_LE (about->getLogoRect().getBottom(), about->getTextRect().getY()) << "the text stands below the logo";
            EXPECT_TRUE (about->getHyperlink() == nullptr || ! about->getHyperlink()->isVisible());
            saveScreenshot (*about->getTopLevelComponent(), "message-dialog-about");
            about->getCloseButton()->handlePress (true, false, false);
            EXPECT_TRUE (pumpMessagesUntil ([] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0; }));
        }

        // F and U (the browser's favourites, whose menus are not built) reach
        // the window as unused keys.
        for (int id : { 2200, 2207, 2208 })
            EXPECT_FALSE (isActive (id)) << id;
        window->toFront (true);
        for (auto key : { 'F', 'U' })
            EXPECT_FALSE (window->getPeer()->handleKeyPress (juce::KeyPress (key, 0, (juce::juce_wchar) key))) << key;

        // The amp, linked to a library entry written to disk.
        constexpr int ampBlock = 106, cabBlock = 108;
        auto* library = KestrelBlockLibraryManager::getInstance();
        auto* entry = library->createEntry (EFFECT_DISTORT);
        ASSERT_NE (entry, nullptr);
        entry->name = "Asked";
        entry->paramData.setSize (64, true);
        entry->modified = 1;
        ASSERT_TRUE (library->saveModifiedEntries());
        const int entryId = entry->entryId;
        const auto entryFile = entry->file;
        ASSERT_TRUE (entryFile.existsAsFile());
        library->linkBlockToEntry (ampBlock, entryId);
        for (int block : { cabBlock, ampBlock })
        {
            editor->showBlock (block);
            ASSERT_TRUE (pumpMessagesUntil ([&] { return ! presets->hasWork(); }));
        }

        // "No" keeps the entry and its file; "Yes" deletes both.
        auto noDialogLeft = [] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0; };
        for (bool yes : { false, true })
        {
            ASSERT_TRUE (isActive (1703));
            ASSERT_TRUE (commands.invokeDirectly (1703, false));
            auto* body = findShownDialog();
            ASSERT_NE (body, nullptr) << "the question is the program's own dialog";
            EXPECT_TRUE (body->message.contains ("Do you want to continue?")) << body->message;
            ASSERT_EQ (body->getNumAnswers(), 2);
            EXPECT_EQ (body->getAnswerButton (0)->mainLabel.text, "Yes");
            EXPECT_EQ (body->getAnswerButton (1)->mainLabel.text, "No");
            if (yes)
                saveScreenshot (*body->getTopLevelComponent(), "message-dialog-library-delete");
            body->getAnswerButton (yes ? 0 : 1)->handlePress (true, false, false);

            EXPECT_TRUE (pumpMessagesUntil (noDialogLeft));
            pumpPostedMessages();
            EXPECT_EQ (library->findEntryById (entryId) != nullptr, ! yes);
            EXPECT_EQ (entryFile.existsAsFile(), ! yes);
        }
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// Without a unit, the title bar's "Midi Settings" opens the preferences on
// the page with the MIDI ports, whichever page was used last. The switches
// nothing acts on are greyed out, and what they hold is kept by a save.
TEST (MessageDialogs, MidiSettingsOpensThePortsPageAndSwitchesWithoutABehaviourAreGreyedButKept)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-midi-settings" };
    VirtualMidiBackend backend; // no unit plugged in
    VirtualMidiBackend::Installed useBackend (backend);

    {
        RunningApplication running;
        auto& app = running.app;
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr);
        auto* config = KestrelGlobalConfiguration::getInstance();
        config->PROMPT_MANAGER_WAIT_TIME = false;
        config->CHECK_AUTO_PAUSE_ON_RESYNC = false;
        auto* preferences = window->getContent()->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
        auto* look = dynamic_cast<ZolLookAndFeel*> (&window->getLookAndFeel());
        ASSERT_TRUE (preferences != nullptr && look != nullptr && look->getSettingsButton() != nullptr);

        // Last used on the prompts page.
        ASSERT_TRUE (window->getCommandManager().invokeDirectly (PreferencesDialogContent::preferencesCommandId, false));
        preferences->showPage (PreferencesDialogContent::Page::prompts);
        preferences->closeDialog();

        auto* settings = look->getSettingsButton();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return settings->isShowing(); }));
        ASSERT_TRUE (clickBackToBack (*settings));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return preferences->isVisible(); }));
        EXPECT_EQ (preferences->getPage(), PreferencesDialogContent::Page::general);
        EXPECT_TRUE (preferences->getMidiInBox().isShowing());
        EXPECT_TRUE (preferences->getMidiOutBox().isShowing());

        auto findSwitch = [&] (int textId) -> ZOLCheckBox*
        {
            for (int i = 0; i < preferences->getSwitchCount(); ++i)
                if (preferences->getSwitch (i).getButtonText() == LanguageStore::textOr (textId))
                    return &preferences->getSwitch (i);
            return nullptr;
        };
        for (int id : { PREFS_CHECK_MANAGER_LOAD, PREFS_CHECK_MANAGER_WAIT_TIME, PREFS_CHECK_MANAGER_RESYNC,
                        PREFS_CHECK_AUTO_PAUSE_ON_RESYNC })
        {
            ASSERT_NE (findSwitch (id), nullptr) << id;
            EXPECT_FALSE (findSwitch (id)->isEnabled()) << id;
        }
        EXPECT_FALSE (findSwitch (PREFS_CHECK_AUTO_PAUSE_ON_RESYNC)->getToggleState()) << "it shows what is stored";
        saveScreenshot (*preferences, "preferences-midi-settings");

        // A switch that acts saves the preferences; the others keep their values.
        auto* update = findSwitch (PREFS_CHECK_FOR_UPDATE);
        ASSERT_NE (update, nullptr);
        const bool was = config->CHECK_FOR_UPDATE;
        update->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return config->CHECK_FOR_UPDATE != was; }));
        ASSERT_TRUE (config->writeSettingsNow());
        KestrelGlobalConfiguration reread;
        reread.load();
        EXPECT_EQ (reread.CHECK_FOR_UPDATE, ! was);
        EXPECT_FALSE (reread.PROMPT_MANAGER_WAIT_TIME);
        EXPECT_FALSE (reread.CHECK_AUTO_PAUSE_ON_RESYNC);
        EXPECT_TRUE (reread.PROMPT_MANAGER_LOAD);
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}

// Tools > "Get Sysex File Information..." needs no unit: the chosen file is
// described in the program's own dialog, and the next choice starts in its folder.
TEST (MessageDialogs, SysExFileInformationDescribesTheChosenFileWithoutTheUnit)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-sysex-information" };
    VirtualMidiBackend backend; // no unit behind it
    VirtualMidiBackend::Installed useBackend (backend);
    ScriptedInteraction chooser;
    const auto folder = scratch.folder.getChildFile ("dumps");
    ASSERT_TRUE (folder.createDirectory());
    const auto dump = dumptest::makeDump (dumptest::makePresetData (8192, "Described"), SimulatedKestrel::model);
    const auto file = folder.getChildFile ("described.syx");
    ASSERT_TRUE (file.replaceWithData (dump.data(), dump.size()));

    {
        RunningApplication running;
        auto& app = running.app;
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr);
        EXPECT_FALSE (window->isShowingConnected());
        auto& commands = window->getCommandManager();
        juce::ApplicationCommandInfo info (1316);
        ASSERT_NE (commands.getTargetForCommand (1316, info), nullptr);
        EXPECT_EQ (info.flags & juce::ApplicationCommandInfo::isDisabled, 0);

        chooser.answerWithFile (file);
        ASSERT_TRUE (commands.invokeDirectly (1316, false));
        ASSERT_EQ (chooser.fileRequests.size(), 1u);
        EXPECT_EQ (chooser.fileRequests[0].initial, UserFolders::getDocumentsFolder());
        EXPECT_EQ (chooser.fileRequests[0].patterns, "*.syx");

        auto* body = findShownDialog();
        ASSERT_NE (body, nullptr);
        EXPECT_EQ (body->getTopLevelComponent()->getName(), "Sysex Information");
        EXPECT_EQ (body->message, "Device:        Kestrel\nFile Type:    Preset File");
        EXPECT_EQ (body->getIcon(), nullptr) << "an information box shows no icon";
        EXPECT_EQ (body->getTextRect().getX(), 0);
        // Each line stands in the middle of the text's area, and the two
        // lines together halfway down it.
        const auto lines = inkedLines (*body, body->getTextRect());
        ASSERT_EQ (lines.size(), 2u);
        const auto area = body->getTextRect();
        for (auto line : lines)
            EXPECT_NEAR (line.getCentreX(), area.getCentreX(), 2) << line.toString() << " in " << area.toString();
        EXPECT_NE (lines[0].getWidth(), lines[1].getWidth());
        EXPECT_NEAR ((lines[0].getY() + lines[1].getBottom()) / 2, area.getCentreY(), 2);
        saveScreenshot (*body->getTopLevelComponent(), "message-dialog-sysex-information");
        ASSERT_NE (body->getCloseButton(), nullptr);
        body->getCloseButton()->handlePress (true, false, false);
        EXPECT_TRUE (pumpMessagesUntil ([] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0; }));

        // Cancelled this time, in the folder of the file described.
        ASSERT_TRUE (commands.invokeDirectly (1316, false));
        ASSERT_EQ (chooser.fileRequests.size(), 2u);
        EXPECT_EQ (chooser.fileRequests[1].initial, folder);
        EXPECT_EQ (KestrelGlobalConfiguration::getInstance()->MRU_SYSEX_INFO, folder.getFullPathName());
    }
}

// A failure told a second time while its box is still open shows no second
// box behind or over the first; another message still shows, and so does a
// question asked twice: each awaits its answer. Every box stands over the
// window, wherever the window is, and so does the program's own file chooser.
// Once answered, the next failure is told again.
TEST (MessageDialogs, AMessageToldAgainWhileItsBoxIsOpenShowsNoSecondBoxButAQuestionAlwaysShows)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-one-box" };
    VirtualMidiBackend backend; // no unit behind it
    VirtualMidiBackend::Installed useBackend (backend);

    RunningApplication running;
    auto* window = running.app.getMainWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (standsCentredOnItsScreen (*window));
    moveToTheScreensCorner (*window);

    const juce::String failure ("Communication time-out:\n\nKestrel-Edit was unable to complete the following "
                                "communication request: Change Preset : preset_recall");
    auto noBoxLeft = [] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0; };

    UserNotifier::warn (failure);
    auto* body = findShownDialog();
    ASSERT_NE (body, nullptr);
    EXPECT_TRUE (standsCentredOver (*body->getTopLevelComponent(), *window));
    UserNotifier::warn ("Another message.");
    UserNotifier::warn (failure);
    ASSERT_TRUE (pumpPostedMessages());
    auto boxes = shownNoticeBoxes();
    EXPECT_EQ (boxes.size(), 2) << "the failure once, and the other message";
    EXPECT_TRUE (boxes.contains (body->getTopLevelComponent()));

    for (auto* box : boxes)
        box->setVisible (false);
    ASSERT_TRUE (pumpMessagesUntil (noBoxLeft));
    UserNotifier::warn (failure);
    EXPECT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().size() == 1; }));
    for (auto* box : shownNoticeBoxes())
        box->setVisible (false);
    ASSERT_TRUE (pumpMessagesUntil (noBoxLeft));

    // The same question twice: two boxes, and each answer comes.
    juce::Array<bool> answers;
    for (int i = 0; i < 2; ++i)
        UserNotifier::askOkCancel ("Replace it?", [&answers] (bool ok) { answers.add (ok); });
    EXPECT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().size() == 2; }))
        << shownNoticeBoxes().size() << " shown";
    for (auto* box : shownNoticeBoxes())
        if (auto* question = dynamic_cast<GenericDialogContent*> (dynamic_cast<juce::DialogWindow*> (box)->getContentComponent());
            question != nullptr && question->getNumAnswers() == 2)
        {
            EXPECT_TRUE (standsCentredOver (*box, *window));
            question->getAnswerButton (0)->handlePress (true, false, false);
        }
    EXPECT_TRUE (pumpMessagesUntil ([&] { return answers.size() == 2; })) << answers.size() << " answered";
    EXPECT_FALSE (answers.contains (false));

    // Tools > "Get Sysex File Information..." opens the program's own chooser.
    if (juce::FileChooser::isPlatformDialogAvailable())
        GTEST_SKIP() << "the desktop's own file chooser (zenity or kdialog) opens here, not the program's";
    ASSERT_TRUE (window->getCommandManager().invokeDirectly (1316, false));
    auto* chooser = shownChooser();
    ASSERT_NE (chooser, nullptr);
    watchPlacesAsked (*chooser);
    EXPECT_TRUE (standsCentredOver (*chooser, *window));
    // Closed, it answers and goes.
    chooser->setVisible (false);
    EXPECT_TRUE (pumpMessagesUntil (
        []
        {
            auto& desktop = juce::Desktop::getInstance();
            for (int i = 0; i < desktop.getNumComponents(); ++i)
                if (dynamic_cast<juce::FileChooserDialogBox*> (desktop.getComponent (i)) != nullptr)
                    return false;
            return true;
        }));
}
