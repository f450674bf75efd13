#include "app/dialogs/CabEasySetupDlg.h"
#include "app/shell/DialogCommands.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/dialogs/PausedCommContent.h"
#include "app/dialogs/TunerContent.h"
#include "device/engines/NamedRequestTable.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserFolders.h"
#include "skin/engine/SkinManager.h"
#include "support/PumpMessages.h"
#include "support/CachedDefinitions.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

namespace
{
// The control changes the unit received, each as its three bytes.
juce::String controlChangesTo (const SimulatedKestrel& unit)
{
    juce::StringArray changes;
    for (auto& message : unit.getReceived())
        if (message.isController())
            changes.add (juce::String::toHexString (message.getRawData(), message.getRawDataSize()));
    return changes.joinIntoString (", ");
}

juce::BubbleMessageComponent* findBubble (juce::Component& content)
{
    for (auto* child : content.getChildren())
        if (auto* bubble = dynamic_cast<juce::BubbleMessageComponent*> (child))
            return bubble;
    return nullptr;
}

bool bubbleShows (juce::Component& content)
{
    auto* bubble = findBubble (content);
    return bubble != nullptr && bubble->isVisible();
}
} // namespace

TEST (PausedCommContent, PausingHoldsTheLinkUnderTheOverlayAndResumingReadsThePresetAgain)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-pause" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);
    unit.setMidiChannel (15); // the last channel: its tuner switch must still go out, on channel 16
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    auto* language = LanguageStore::getInstance();
    language->keyTable = PromptKeys;
    language->defaultTextTable = PromptDefaultTexts;

    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        window.setVisible (true);
        auto* content = window.getContent();
        auto* link = ZOLMidiProcessing::getInstance();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return window.isShowingConnected(); }));
        // The device model holds the channel the unit reported, 1..16.
        ASSERT_TRUE (pumpMessagesUntil ([&] { return PresetManager::getInstance()->getUnitMidiChannel() == 16; }));

        // The tuner opens from its key; while it shows, pausing is refused with the bubble.
        auto& commands = window.getCommandManager();
        ASSERT_TRUE (commands.getKeyMappings()->keyPressed (juce::KeyPress ('T', juce::ModifierKeys::ctrlModifier, 0), content));
        ASSERT_TRUE (pumpPostedMessages());
        EXPECT_EQ (content->getShowingDialog(), content->getPane (ContentPane::tuner));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return unit.isTunerOn(); }));
        EXPECT_EQ (controlChangesTo (unit), juce::String ("bf 0f 7f")) << "CC 15 = 127 on channel 16";
        EXPECT_FALSE (commands.invokeDirectly (DialogCommands::pauseCommandId, false));
        const auto refusedAt = juce::Time::getMillisecondCounter();
        EXPECT_FALSE (window.isCommunicationPaused());
        ASSERT_TRUE (bubbleShows (*content));

        // The bubble in the skin's style: the program's font at 20, dark grey
        // on light grey, for 3 seconds.
        auto* bubble = findBubble (*content);
        EXPECT_EQ (content->getBubbleFont().getTypefacePtr(), skin.findTypeface ("sans.stf"));
        EXPECT_FLOAT_EQ (content->getBubbleFont().getHeight(), 20.0f);
        EXPECT_EQ (bubble->findColour (juce::BubbleComponent::backgroundColourId), juce::Colour (0xffbbbbbb));
        saveScreenshot (*content, "pause-refused-bubble");
        const auto shot = content->createComponentSnapshot (content->getLocalBounds());
        juce::Colour darkest (0xffffffff);
        const auto area = bubble->getBounds().reduced (16); // inside its border and arrow
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (const auto c = shot.getPixelAt (x, y); c.getBrightness() < darkest.getBrightness())
                    darkest = c;
        EXPECT_EQ (darkest.getARGB(), 0xff222222u) << "the text's colour, at its darkest";
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! bubbleShows (*content); }, 10000));
        EXPECT_GE (juce::Time::getMillisecondCounter() - refusedAt, 3000u);

        // The tuner comes before the cab dialog; closing all closes both, the tuner switched off.
        CabSetupInfo info;
        content->getPaneAs<CabEasySetupDlg> (ContentPane::cabEasySetup)->setSetupInfo (info);
        EXPECT_EQ (content->getShowingDialog(), content->getPane (ContentPane::tuner));
        content->closeAllDialogs();
        EXPECT_EQ (content->getShowingDialog(), nullptr);
        EXPECT_FALSE (content->getPaneAs<CabEasySetupDlg> (ContentPane::cabEasySetup)->isVisible());
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! unit.isTunerOn(); }));
        EXPECT_EQ (controlChangesTo (unit), juce::String ("bf 0f 7f, bf 0f 01")) << "then 1: off";

        // Pausing: the overlay covers the window and the link holds its queue.
        auto* overlay = content->getPaneAs<PausedCommContent> (ContentPane::pauseOverlay);
        ASSERT_TRUE (commands.invokeDirectly (DialogCommands::pauseCommandId, false));
        EXPECT_TRUE (window.isCommunicationPaused());
        EXPECT_TRUE (overlay->isVisible());
        EXPECT_EQ (overlay->getBoxBounds(), juce::Rectangle<int> (232, 224, 560, 200)) << "centred";
        EXPECT_TRUE (pumpMessagesUntil ([&] { return link->isHeld(); }));
        saveScreenshot (*content, "pause-communication");

        // A click outside the box does nothing; the space bar resumes, and the preset is read again.
        overlay->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), { 5.0f, 5.0f },
                                              {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, overlay, overlay,
                                              juce::Time::getCurrentTime(), { 5.0f, 5.0f },
                                              juce::Time::getCurrentTime(), 1, false));
        ASSERT_TRUE (pumpPostedMessages()); // whatever the click posted has been delivered
        EXPECT_TRUE (window.isCommunicationPaused());
        EXPECT_TRUE (overlay->keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! window.isCommunicationPaused(); }));
        EXPECT_FALSE (overlay->isVisible());
        auto& resync = PresetManager::getInstance()->getRequest (resyncPreset);
        EXPECT_NE (resync.getResult(), ZolStateMachine::resultIdle);
        EXPECT_TRUE (pumpMessagesUntil ([&] { return resync.getResult() == ZolStateMachine::resultCompleted; }));
        EXPECT_FALSE (link->isHeld());
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
    LanguageStore::resetForTests();
}
