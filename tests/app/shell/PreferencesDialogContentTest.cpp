#include "app/shell/PreferencesDialogContent.h"

#include "device/link/ZOLMidiProcessing.h"

#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

#include "support/ForgetSingletons.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/ScratchFolder.h"
#include "support/ScriptedInteraction.h"
#include "support/Screenshot.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

namespace
{
struct CodeListener : juce::ChangeListener
{
    juce::Array<int> codes;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override
    {
        codes.add (static_cast<PreferencesDialogContent*> (source)->getChangeCode());
    }
};

struct PreferencesTest : ::testing::Test
{
    PreferencesTest()
    {
        UserFolders::redirectTo (scratch.folder);
        auto* language = LanguageStore::getInstance();
        language->keyTable = PromptKeys;
        language->defaultTextTable = PromptDefaultTexts;
        language->setLanguage (1);
        config = KestrelGlobalConfiguration::getInstance();
        config->load();
        skin.loadBuiltInSkin();
        dialog = std::make_unique<PreferencesDialogContent> (nullptr, &skin);
    }

    ~PreferencesTest() override
    {
        dialog.reset();
        forgetSingletons();
        UserFolders::redirectTo ({});
    }

    ScratchFolder scratch{ "kestrel-prefs-test" };
    RecordingNotifier notices;
    ScriptedInteraction user;
    SkinManager skin;
    KestrelGlobalConfiguration* config = nullptr;
    std::unique_ptr<PreferencesDialogContent> dialog;
};
} // namespace

TEST_F (PreferencesTest, KnobAndWheelChangesAreSavedAndToldWithTheirCodes)
{
    CodeListener listener;
    dialog->addChangeListener (&listener);
    dialog->showDialog();
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (dialog->getKnobTrackingBox().getSelectedId(), 1);

    dialog->getKnobTrackingBox().setSelectedId (2, juce::sendNotificationSync);
    dialog->getMouseWheelBox().setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (listener.codes, juce::Array<int> ({ 1, 2 }));
    EXPECT_EQ (config->KNOB_TRACKING, 2);
    EXPECT_EQ (config->MOUSE_SCROLLING, 2);
    EXPECT_TRUE (dialog->getAlternateState());

    // Saved to the settings file: a fresh store reads them back.
    ASSERT_TRUE (config->writeSettingsNow());
    KestrelGlobalConfiguration reread;
    reread.load();
    EXPECT_EQ (reread.KNOB_TRACKING, 2);
    EXPECT_EQ (reread.MOUSE_SCROLLING, 2);

    // Filling the fields again tells nobody.
    dialog->showDialog();
    EXPECT_EQ (listener.codes.size(), 2);
    dialog->removeChangeListener (&listener);
}

TEST_F (PreferencesTest, SwitchesPortsAndFoldersReachTheConfiguration)
{
    dialog->showDialog();
    dialog->showPage (PreferencesDialogContent::Page::prompts);
    int promptSwitch = -1;
    for (int i = 0; i < dialog->getSwitchCount(); ++i)
        if (dialog->getSwitch (i).getButtonText()
            == LanguageStore::getInstance()->getText (PREFS_CHECK_PROMPT_PRESET_BUNDLE_IMPORT))
            promptSwitch = i;
    ASSERT_GE (promptSwitch, 0);
    EXPECT_TRUE (dialog->getSwitch (promptSwitch).isVisible());
    dialog->getSwitch (promptSwitch).triggerClick();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! config->PROMPT_PRESET_BUNDLE_IMPORT; }));
    EXPECT_FALSE (config->PROMPT_PRESET_BUNDLE_IMPORT);

    dialog->getMidiInBox().setText ("Other MIDI", juce::sendNotificationSync);
    EXPECT_EQ (config->MIDI_IN, "Other MIDI");

    // A folder chosen through the chooser; a typed path that is not absolute is refused.
    auto chosen = scratch.folder.getChildFile ("snaps");
    chosen.createDirectory();
    user.answerWithFile (chosen);
    dialog->showPage (PreferencesDialogContent::Page::workspace);
    dialog->getFolderBrowseButton (0).triggerClick();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return config->SNAPSHOTS_DIR == chosen.getFullPathName(); }));
    ASSERT_EQ (user.fileRequests.size(), 1u);
    EXPECT_EQ (user.fileRequests[0].mode, FileRequest::Mode::folder);
    EXPECT_EQ (config->SNAPSHOTS_DIR, chosen.getFullPathName());

    dialog->getFolderEditor (2).setText ("relative/templates");
    dialog->getFolderEditor (2).onReturnKey();
    EXPECT_NE (config->TEMPLATES_DIR, "relative/templates");
    EXPECT_EQ (dialog->getFolderEditor (2).getText(), config->TEMPLATES_DIR) << "the field shows what is kept";
    EXPECT_EQ (notices.count(), 1);

    dialog->showPage (PreferencesDialogContent::Page::general);
    saveScreenshot (*dialog, "preferences-general");
    dialog->closeDialog();
    EXPECT_FALSE (dialog->isVisible());
}

TEST_F (PreferencesTest, CheckBoxesAreTheSkinsAndStoreTheirSettings)
{
    dialog->showDialog();
    for (auto* name : { "PreferencesGeneral", "PreferencesPrompts" })
    {
        const auto* widget = SkinAttributes::findWidget (*skin.getSection (name), "checkBox");
        ASSERT_NE (widget, nullptr) << name;
        const auto prompts = juce::String (name) == "PreferencesPrompts";
        dialog->showPage (prompts ? PreferencesDialogContent::Page::prompts : PreferencesDialogContent::Page::general);
        int shown = 0;
        for (int i = 0; i < dialog->getSwitchCount(); ++i)
        {
            auto& box = dialog->getSwitch (i);
            if (! box.isVisible())
                continue;
            ++shown;
            EXPECT_EQ (box.disabledOpacity, (float) widget->getDoubleAttribute ("disabledOpacity")) << name;
            EXPECT_EQ (box.findColour (juce::TextButton::buttonColourId), SkinAttributes::colour (*widget, "buttonColor"));
            EXPECT_EQ (box.findColour (juce::ToggleButton::textColourId), SkinAttributes::colour (*widget, "fontColor"));
        }
        EXPECT_EQ (shown, prompts ? 4 : 5);
    }

    // A general switch flips its setting, which reaches the settings file.
    dialog->showPage (PreferencesDialogContent::Page::general);
    int updateSwitch = -1;
    for (int i = 0; i < dialog->getSwitchCount(); ++i)
        if (dialog->getSwitch (i).getButtonText() == LanguageStore::getInstance()->getText (PREFS_CHECK_FOR_UPDATE))
            updateSwitch = i;
    ASSERT_GE (updateSwitch, 0);
    const auto was = config->CHECK_FOR_UPDATE;
    EXPECT_EQ (dialog->getSwitch (updateSwitch).getToggleState(), was);
    dialog->getSwitch (updateSwitch).triggerClick();
    EXPECT_TRUE (pumpMessagesUntil ([&] { return config->CHECK_FOR_UPDATE == ! was; }));
    EXPECT_EQ (config->CHECK_FOR_UPDATE, ! was);
    ASSERT_TRUE (config->writeSettingsNow());
    KestrelGlobalConfiguration reread;
    reread.load();
    EXPECT_EQ (reread.CHECK_FOR_UPDATE, ! was);
}

TEST_F (PreferencesTest, AConfiguredMidiPortThatIsNotPresentIsMarkedAndKeptByName)
{
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    backend.addDevice ("1- Kestrel MIDI");
    ZOLMidiProcessing::getInstance()->getPorts().refreshDeviceLists();
    config->MIDI_IN = "Kestrel MIDI";
    config->MIDI_OUT = "Gone MIDI";

    dialog->showDialog();
    EXPECT_EQ (dialog->getMidiInBox().getText(), "Kestrel MIDI") << "found within a device's name";
    EXPECT_EQ (dialog->getMidiOutBox().getText(), juce::String ("Gone MIDI") + PreferencesDialogContent::notPresentSuffix);

    // Choosing the other port keeps the missing one's own name.
    dialog->getMidiInBox().setText ("1- Kestrel MIDI", juce::sendNotificationSync);
    EXPECT_EQ (config->MIDI_IN, "1- Kestrel MIDI");
    EXPECT_EQ (config->MIDI_OUT, "Gone MIDI");
    dialog.reset();
    ZOLMidiProcessing::getInstance()->closePorts();
}
