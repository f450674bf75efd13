#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "device/link/ZOLMidiProcessing.h"
#include "support/CachedDefinitions.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The desktop scale for one test, put back however it ends.
struct DesktopScale
{
    explicit DesktopScale (float scale) { juce::Desktop::getInstance().setGlobalScaleFactor (scale); }
    ~DesktopScale() { juce::Desktop::getInstance().setGlobalScaleFactor (1.0f); }
};

// The text a drop-down shows is drawn by its label.
juce::Label* labelOf (juce::ComboBox& box)
{
    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            return label;
    return nullptr;
}

// The caption beside a field: the label on the same row, left of it.
juce::Label* captionOf (juce::Component& field)
{
    for (auto* child : field.getParentComponent()->getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->isVisible()
                                                               && std::abs (label->getBounds().getCentreY() - field.getBounds().getCentreY()) <= 1
                                                               && label->getRight() <= field.getX() + 1)
            return label;
    return nullptr;
}

// Opens Preferences the way a user does, by its command in the main window.
PreferencesDialogContent* openPreferences (ConnectedProgram& program)
{
    if (! program.window->getCommandManager().invokeDirectly (1400, false))
        return nullptr;
    auto* preferences = program.content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
    return preferences != nullptr && pumpMessagesUntil ([&] { return preferences->isShowing(); }) ? preferences
                                                                                                     : nullptr;
}

// Connected, the ports in use are named in the boxes in the skin's field
// text colour, and every drop-down's text is as tall as its caption.
void checkConnectedPreferences (float desktopScale, const juce::String& shotName)
{
    DesktopScale scale (desktopScale);
    ConnectedProgram program ("kestrel-preferences-scale");
    ASSERT_TRUE (program.open());
    auto* preferences = openPreferences (program);
    ASSERT_NE (preferences, nullptr);

    const auto fieldText = preferences->getKnobTrackingBox().findColour (juce::ComboBox::textColourId);
    for (auto* box : { &preferences->getMidiInBox(), &preferences->getMidiOutBox() })
    {
        ASSERT_FALSE (box->getText().endsWith (PreferencesDialogContent::notPresentSuffix)) << box->getText();
        auto* shown = labelOf (*box);
        ASSERT_NE (shown, nullptr);
        EXPECT_EQ (shown->findColour (juce::Label::textColourId), fieldText) << box->getText();
    }

    for (auto* box : { &preferences->getKnobTrackingBox(), &preferences->getMidiInBox() })
    {
        auto* caption = captionOf (*box);
        ASSERT_NE (caption, nullptr);
        EXPECT_NEAR (labelOf (*box)->getFont().getHeight(), caption->getFont().getHeight(), 1.0f)
            << caption->getText() << " at desktop scale " << desktopScale;
    }

    saveScreenshot (*program.window, shotName);
}
} // namespace

TEST (DesktopScale, ConnectedPreferencesShowThePortsInFieldColoursAndTextsAsTallAsTheirCaptions)
{
    KESTREL_REQUIRE_DISPLAY();
    checkConnectedPreferences (1.0f, "preferences-connected");
    checkConnectedPreferences (2.0f, "preferences-connected-scale-2");
}

// The program started without a unit at desktop scale 2: the notice sits in
// the middle of the grid it covers, within it.
TEST (DesktopScale, TheNoUnitNoticeIsCentredOnTheGrid)
{
    KESTREL_REQUIRE_DISPLAY();
    DesktopScale scale (2.0f);
    RedirectedUserFolders scratch{ "kestrel-no-unit-scale" };
    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend{ backend };

    {
        KestrelEditApplication app;
        app.initialise ({});
        auto* window = app.getMainWindow();
        ASSERT_NE (window, nullptr) << notices.lastMessage();
        auto* content = window->getContent();
        auto& notice = content->getUnitAbsenceNotice();
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notice.isShowing(); }));

        const auto grid = content->getPane (ContentPane::grid)->getBoundsInParent();
        const auto shown = notice.getBoundsInParent();
        EXPECT_NEAR (shown.getCentreX(), grid.getCentreX(), 1) << shown.toString() << " over " << grid.toString();
        EXPECT_NEAR (shown.getCentreY(), grid.getCentreY(), 1) << shown.toString() << " over " << grid.toString();
        EXPECT_TRUE (grid.contains (shown)) << shown.toString() << " over " << grid.toString();
        saveScreenshot (*window, "no-unit-scale-2");
        app.shutdown();
    }

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();
}
