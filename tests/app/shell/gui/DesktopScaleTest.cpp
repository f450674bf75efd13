#include "app/dialogs/ModifierDlgContent.h"
#include "app/dialogs/SequencerContent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/KestrelEditApplication.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "device/link/ZOLMidiProcessing.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/window/GenericDialogContent.h"
#include "support/CachedDefinitions.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

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

// How many screen pixels one unit of the component's drawing covers.
float screenScaleOf (const juce::Component& component)
{
    return juce::Component::getApproximateScaleFactorForComponent (&component) *
           juce::Desktop::getInstance().getGlobalScaleFactor();
}

// The window the program has open on the desktop besides its main window.
juce::Component* otherDesktopWindow (const juce::Component& mainWindow)
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != &mainWindow && c->isVisible())
            return c;
    return nullptr;
}

// The height of an open menu's items in screen pixels: the height most of its
// rows have (headers and separators are fewer).
float menuItemScreenHeight (const juce::Component& menuWindow)
{
    std::map<int, int> rows;
    for (auto* child : menuWindow.getChildren())
        if (child->isVisible() && child->getHeight() > 0)
            ++rows[child->getHeight()];
    if (rows.empty())
        return 0.0f;
    auto most = std::max_element (rows.begin(), rows.end(), [] (auto a, auto b) { return a.second < b.second; });
    return (float) most->first * menuWindow.getDesktopScaleFactor();
}

// A menu row is the height of its text and three tenths.
constexpr float rowPerText = 1.3f;
} // namespace

// At a desktop scale of 2 the window is shrunk to fit the screen; what it
// opens is drawn at the window's own scale: a menu's rows as tall as the menu
// bar's text makes them, a drop-down's list rows as tall as the skin's
// popup-menu text makes them, a message's text at the size of the same text
// in the window.
TEST (DesktopScale, MenusListsAndMessagesFollowTheWindowsScale)
{
    KESTREL_REQUIRE_DISPLAY();
    DesktopScale scale (2.0f);
    ConnectedProgram program ("kestrel-scaled-menus");
    ASSERT_TRUE (program.open());
    auto& window = *program.window;
    ASSERT_LT (window.getScale(), 0.9) << "the window is shrunk to fit the screen";

    auto* bar = window.getMenuBar();
    ASSERT_NE (bar, nullptr);
    const float barText = program.look.getMenuBarFont (*bar, 0, {}).getHeight() * screenScaleOf (*bar);
    bar->showMenu (0);
    auto* menu = otherDesktopWindow (window);
    ASSERT_NE (menu, nullptr) << "the first menu is open";
    saveScreenshot (*menu, "menu-scale-2");
    EXPECT_NEAR (menuItemScreenHeight (*menu), rowPerText * barText, 0.15f * barText);
    juce::PopupMenu::dismissAllActiveMenus();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return otherDesktopWindow (window) == nullptr; }));

    // The amp's Speaker page: its speaker types open as a list.
    ASSERT_TRUE (program.grid->selectCell (0));
    ASSERT_TRUE (program.settle());
    auto* editor = program.editor;
    ASSERT_TRUE (editor->showPageByIndex (editor->findPageTabByName ("Speaker")));
    ASSERT_TRUE (program.settle());
    ZOLDropDownEx* types = nullptr;
    for (int i = 0; i < editor->getNumPageControls() && types == nullptr; ++i)
        if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (editor->getPageControl (i));
            dropDown != nullptr && dropDown->getName() == "Speaker Type")
            types = dropDown;
    ASSERT_NE (types, nullptr);
    ASSERT_LT (types->getNumItems(), 40) << "a list, not the large pick list";
    const float listText = program.look.getPopupMenuFont().getHeight() * screenScaleOf (*types);
    types->showMenu();
    menu = otherDesktopWindow (window);
    ASSERT_NE (menu, nullptr) << "the list is open";
    saveScreenshot (*menu, "speaker-types-scale-2");
    EXPECT_NEAR (menuItemScreenHeight (*menu), rowPerText * listText, 0.15f * listText);
    juce::PopupMenu::dismissAllActiveMenus();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return otherDesktopWindow (window) == nullptr; }));
    saveScreenshot (window, "amp-speaker-page-scale-2");

    // The modifier dialog and the sequencer draw their controls at their
    // own scale, which is the window's.
    auto controlsFollow = [] (ParamDialogFrame& dialog, juce::Component* control)
    {
        ASSERT_NE (control, nullptr);
        EXPECT_NEAR (screenScaleOf (*control), screenScaleOf (dialog), 0.01f);
        EXPECT_NEAR (screenScaleOf (*dialog.getCloseButton()), screenScaleOf (dialog), 0.01f);
    };
    ASSERT_TRUE (editor->openModifierDialog (106, 1));
    ASSERT_TRUE (program.settle());
    auto* modifiers = program.content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
    ASSERT_NE (modifiers, nullptr);
    controlsFollow (*modifiers, dynamic_cast<juce::Component*> (modifiers->getControl (0)));
    saveScreenshot (window, "modifier-dialog-scale-2");
    program.content->closeAllDialogs();
    editor->showBlock (SequencerContent::blockId);
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (editor->showPageByIndex (editor->findPageTabByName ("Sequencer")));
    ASSERT_TRUE (program.settle());
    auto* sequencer = program.content->getPaneAs<SequencerContent> (ContentPane::sequencer);
    ASSERT_NE (sequencer, nullptr);
    controlsFollow (*sequencer, dynamic_cast<juce::Component*> (sequencer->getControl (0)));
    saveScreenshot (window, "sequencer-scale-2");

    // A message.
    int answered = -1;
    ASSERT_TRUE (window.showMessageDialog ({ Notice::Icon::info, "Kestrel-Edit", "Preset exported.",
                                             Notice::Buttons::ok, [&] (int r) { answered = r; } }));
    auto* dialog = dynamic_cast<juce::DialogWindow*> (otherDesktopWindow (window));
    ASSERT_NE (dialog, nullptr);
    auto* body = dynamic_cast<GenericDialogContent*> (dialog->getContentComponent());
    ASSERT_NE (body, nullptr);
    saveScreenshot (*dialog, "message-scale-2");
    const float textSize = program.look.getGenericDialogStyle().textFont.getHeight();
    EXPECT_NEAR (textSize * screenScaleOf (*body), textSize * screenScaleOf (*program.content->getFrontPanel()),
                 0.05f * textSize);
    EXPECT_TRUE (body->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return answered >= 0; }));
}

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
