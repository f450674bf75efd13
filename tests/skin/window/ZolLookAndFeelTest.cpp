#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/window/ZolLookAndFeel.h"
#include "skin/engine/SkinManager.h"
#include "support/PumpMessages.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// The built-in archive's resources with the built-in document, or with a
// document of the test's own in its place.
struct Skin
{
    explicit Skin (const juce::String& document = {})
    {
        EXPECT_TRUE (skin.loadBuiltInSkin().wasOk());
        if (document.isNotEmpty())
        {
            juce::MemoryBlock data (document.toRawUTF8(), document.getNumBytesAsUTF8());
            EXPECT_TRUE (skin.loadFromXml (&data, 2.0).wasOk());
        }
        look.loadFromSkin (&skin);
    }

    ScratchFolder scratch{ "kestrel-look" };
    SkinManager skin{ scratch.folder };
    ZolLookAndFeel look;
};

juce::String document (const juce::String& sections)
{
    return "<SKIN skinEngineVersion=\"2.0\" skin=\"resources.zip\">" + sections + "</SKIN>";
}

class EmptyMenus : public juce::MenuBarModel
{
public:
    juce::StringArray getMenuBarNames() override { return { "Preset" }; }
    juce::PopupMenu getMenuForIndex (int, const juce::String&) override { return {}; }
    void menuItemSelected (int, int) override {}
};

class LibrarianMenus : public BMMenuBarModel
{
public:
    juce::StringArray getMenuBarNames() override { return { "Presets" }; }
    juce::PopupMenu getMenuForIndex (int, const juce::String&) override { return {}; }
    void menuItemSelected (int, int) override {}
};

juce::Image paintMenuBarItem (ZolLookAndFeel& look, juce::MenuBarComponent& bar, bool open)
{
    juce::Image image (juce::Image::ARGB, 80, 25, true);
    juce::Graphics g (image);
    look.drawMenuBarItem (g, 80, 25, 0, "Preset", false, open, false, bar);
    return image;
}

// The window hands its icon to the drawing; null while it has none.
juce::Image paintTitleBar (ZolLookAndFeel& look, juce::DocumentWindow& window, const juce::Image* icon)
{
    juce::Image image (juce::Image::ARGB, 400, 28, true);
    juce::Graphics g (image);
    look.drawDocumentWindowTitleBar (window, g, 400, 28, 0, 400, icon, false);
    return image;
}

bool rowIsUniform (const juce::Image& image, int y, int fromX, int toX)
{
    for (int x = fromX; x < toX; ++x)
        if (image.getPixelAt (x, y) != image.getPixelAt (fromX, y))
            return false;
    return true;
}
} // namespace

TEST (ZolLookAndFeel, TheBuiltInSkinReachesTheFrameworkColoursAndTheStyles)
{
    Skin s;
    auto& look = s.look;
    EXPECT_EQ (look.findColour (juce::PopupMenu::backgroundColourId), juce::Colour (0xff26282c));
    EXPECT_EQ (look.findColour (juce::PopupMenu::headerTextColourId), juce::Colour (0xff8e939a))
        << "headerTextColour is read after fontHeaderColor";
    EXPECT_EQ (look.findColour (juce::AlertWindow::backgroundColourId), juce::Colour (0xff2a2c31));
    EXPECT_EQ (look.findColour (juce::ScrollBar::thumbColourId), juce::Colour (0xff4a4e55));
    EXPECT_EQ (look.getMainMenuBarStyle().getBounds(), juce::Rectangle<int> (212, 0, 330, 25));
    EXPECT_EQ (look.getLibrarianMenuBarStyle().getBounds(), juce::Rectangle<int> (40, 55, 100, 25));
    EXPECT_FLOAT_EQ (look.getPopupMenuFont().getHeight(), 15.0f);
    EXPECT_EQ (look.getTitleBarHeight(), 28);
    EXPECT_EQ (look.getNetbookRightOffset(), -112);

    auto& dialog = look.getGenericDialogStyle();
    EXPECT_TRUE (dialog.valid);
    EXPECT_EQ (dialog.okButtonBounds, juce::Rectangle<int> (0, 0, 96, 28));
    EXPECT_EQ (dialog.logoBounds.getWidth(), dialog.logo.getWidth());
    EXPECT_EQ (dialog.labelTextRect, juce::Rectangle<int> (0, -1, 0, 0));
    EXPECT_EQ (dialog.labelJustification, 36);

    ASSERT_NE (look.getPauseButton(), nullptr);
    ASSERT_NE (look.getSettingsButton(), nullptr);
    ASSERT_NE (look.getNetbookButton(), nullptr);
    EXPECT_EQ (look.getPauseButton()->getBounds(), juce::Rectangle<int> (8, 5, 22, 18)) << "size of its up image";
    EXPECT_EQ (look.getPauseButton()->getTooltip(), "Pause Communications");
}

TEST (ZolLookAndFeel, MissingSectionsAndAttributesGiveTransparentAndZeroValues)
{
    Skin s (document (
        "<PopupMenuSkin fontHeaderColor=\"ff006010\" fontSize=\"15\"/><TitlebarSkin gradientTop=\"ff000000\"/>"));
    EXPECT_EQ (s.look.findColour (juce::PopupMenu::headerTextColourId), juce::Colours::transparentBlack);
    EXPECT_EQ (s.look.getTitleBarHeight(), 0);

    // No table-header section: nothing visible is drawn for a header column.
    juce::TableHeaderComponent header;
    header.setSize (120, 20);
    juce::Image image (juce::Image::ARGB, 120, 20, true);
    {
        juce::Graphics g (image);
        s.look.drawTableHeaderBackground (g, header);
        s.look.drawTableHeaderColumn (g, header, "Name", 1, 120, 20, false, false, 0);
    }
    for (int x = 0; x < 120; x += 3)
        for (int y = 0; y < 20; y += 3)
            ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << x << "," << y;

    // A header too short for its sort arrow still draws.
    juce::Graphics g (image);
    s.look.drawTableHeaderColumn (g, header, "Name", 1, 120, 3, false, false,
                                  juce::TableHeaderComponent::sortedForwards);
}

TEST (ZolLookAndFeel, MissingPicturesAndFontsGiveTheStandInsAndAbsurdSizesAreBounded)
{
    Skin s (document ("<TitlebarSkin height=\"100000\"><Widget name=\"pauseButton\" upImage=\"gone.png\" "
                      "width=\"99999999\"/></TitlebarSkin><PopupMenuSkin font=\"gone.stf\" fontSize=\"1e9\"/>"));
    EXPECT_LE (s.look.getTitleBarHeight(), 200);
    ASSERT_NE (s.look.getPauseButton(), nullptr);
    EXPECT_LE (s.look.getPauseButton()->getWidth(), 100000);
    EXPECT_EQ (s.look.getPauseButton()->getHeight(), s.skin.getImage (SkinManager::missingImageName).getHeight());
    EXPECT_EQ (s.look.getPopupMenuFont().getTypefacePtr(), s.skin.findTypeface (SkinManager::missingFontName));
    EXPECT_LE (s.look.getPopupMenuFont().getHeight(), 200.0f);
}

TEST (ZolLookAndFeel, ASkinWhoseLastLoadFailedKeepsTheDefaultsOfTheGuardedSections)
{
    ScratchFolder scratch{ "kestrel-look" };
    SkinManager skin (scratch.folder);
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    juce::MemoryBlock refused (juce::String ("<SKIN skinEngineVersion=\"9\" skin=\"x.zip\"/>").toRawUTF8(), 43);
    ASSERT_TRUE (skin.loadFromXml (&refused, 2.0).failed());
    ASSERT_NE (skin.getSkinRoot(), nullptr);

    ZolLookAndFeel look;
    look.loadFromSkin (&skin);
    EXPECT_EQ (look.getTitleBarHeight(), 28) << "the title bar is read whenever a document is held";
    EXPECT_FALSE (look.getGenericDialogStyle().valid);
    EXPECT_EQ (look.getMainMenuBarStyle().textColour, juce::Colour (0xff909090));
    EXPECT_EQ (look.getLibrarianMenuBarStyle().textColour, juce::Colour (0xff000000));
}

TEST (ZolLookAndFeel, ShortcutTextsShowOnlyTheirKey)
{
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText ("shortcut: 'S'"), "S");
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText ("shortcut: 'a', shortcut: 'b'"), "a, b");
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText ("Ctrl + S, shortcut: ','"), "Ctrl + S, ,");
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText ("shortcut: '"), "shortcut: '");
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText ("Ctrl + S"), "Ctrl + S");
    EXPECT_EQ (ZolLookAndFeel::trimShortcutText (""), "");
}

TEST (ZolLookAndFeel, EachKindOfMenuBarIsDrawnInItsOwnStyle)
{
    Skin s;
    EmptyMenus mainMenus;
    LibrarianMenus librarianMenus;
    juce::MenuBarComponent mainBar (&mainMenus), librarianBar (&librarianMenus);

    EXPECT_EQ (paintMenuBarItem (s.look, mainBar, true).getPixelAt (1, 1), juce::Colour (0xff2c2f34));
    EXPECT_EQ (paintMenuBarItem (s.look, librarianBar, true).getPixelAt (1, 1), juce::Colour (0xff3a3e44));
    EXPECT_EQ (paintMenuBarItem (s.look, mainBar, false).getPixelAt (1, 1).getAlpha(), 0);

    mainBar.setEnabled (false);
    EXPECT_EQ (paintMenuBarItem (s.look, mainBar, true).getPixelAt (1, 1).getAlpha(), 0) << "a disabled bar is not "
                                                                                            "highlighted";
    EXPECT_EQ (s.look.getMenuBarFont (librarianBar, 0, "Presets").getTypefacePtr(),
               s.skin.findTypeface ("symbols.stf"));
    EXPECT_EQ (s.look.getMenuBarFont (mainBar, 0, "Preset").getTypefacePtr(), s.skin.findTypeface ("sans.stf"));
}

TEST (ZolLookAndFeel, TheMainWindowsTitleBarShowsTheConnectionAndOtherWindowsTheirName)
{
    Skin s;
    juce::DocumentWindow main (ZolLookAndFeel::mainWindowName, juce::Colours::black, 0);
    juce::DocumentWindow other ("Brak-Manage Presets", juce::Colours::black, 0);

    // No icon yet: only the gradient.
    auto bare = paintTitleBar (s.look, main, nullptr);
    EXPECT_TRUE (rowIsUniform (bare, 14, 0, 400));

    s.look.setTitlebarConnected (&main, true);
    auto icon = s.skin.getImage ("status-connected.png");
    auto connected = paintTitleBar (s.look, main, &icon);
    EXPECT_FALSE (rowIsUniform (connected, 14, 36, 56)) << "icon drawn";
    EXPECT_FALSE (rowIsUniform (connected, 16, 56, 150)) << "state text drawn";
    EXPECT_TRUE (rowIsUniform (connected, 14, 200, 400)) << "the window's name is not drawn";

    s.look.setTitlebarConnected (&other, false);
    auto named = paintTitleBar (s.look, other, &icon);
    EXPECT_TRUE (rowIsUniform (named, 14, 0, 100)) << "no icon or state";
    EXPECT_FALSE (rowIsUniform (named, 16, 100, 300)) << "name centred";
}

TEST (ZolLookAndFeel, TheConnectionStateSwapsTheSettingsAndPauseButtons)
{
    Skin s;
    s.look.setTitlebarConnected (nullptr, true);
    EXPECT_FALSE (s.look.isTitlebarConnected());

    juce::DocumentWindow window (ZolLookAndFeel::mainWindowName, juce::Colours::black, 0);
    s.look.setTitlebarConnected (&window, true);
    EXPECT_TRUE (s.look.getPauseButton()->isVisible() && s.look.getPauseButton()->isEnabled());
    EXPECT_FALSE (s.look.getSettingsButton()->isVisible() || s.look.getSettingsButton()->isEnabled());

    s.look.setTitlebarConnected (&window, false);
    EXPECT_FALSE (s.look.getPauseButton()->isVisible() || s.look.getPauseButton()->isEnabled());
    EXPECT_TRUE (s.look.getSettingsButton()->isVisible() && s.look.getSettingsButton()->isEnabled());
}

TEST (ZolLookAndFeel, WindowButtonsAreTheSkinsImagesAtTheirRightEdgeOffsets)
{
    Skin s;
    std::unique_ptr<juce::Button> close (s.look.createDocumentWindowButton (juce::DocumentWindow::closeButton));
    std::unique_ptr<juce::Button> maximise (s.look.createDocumentWindowButton (juce::DocumentWindow::maximiseButton));
    ASSERT_NE (dynamic_cast<juce::DrawableButton*> (close.get()), nullptr);
    EXPECT_EQ (close->getName(), "close");
    ASSERT_NE (dynamic_cast<juce::DrawableButton*> (maximise.get()), nullptr);
    EXPECT_EQ (maximise->getName(), "Maximize");

    juce::DocumentWindow window ("w", juce::Colours::black, 0);
    s.look.positionDocumentWindowButtons (window, 4, 4, 600, 28, nullptr, maximise.get(), close.get(), false);
    EXPECT_EQ (close->getBounds(), juce::Rectangle<int> (570, 6, 22, 16));
    EXPECT_EQ (maximise->getBounds(), juce::Rectangle<int> (543, 6, 22, 16));
}

TEST (ZolLookAndFeel, WhileBusyEveryComponentShowsTheWaitCursor)
{
    ZolLookAndFeel look;
    juce::Component component;
    component.setMouseCursor (juce::MouseCursor::PointingHandCursor);

    EXPECT_TRUE (look.getMouseCursorFor (component) == juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
    look.setWaitCursorFlag (1);
    EXPECT_TRUE (look.getMouseCursorFor (component) == juce::MouseCursor (juce::MouseCursor::WaitCursor));
    EXPECT_EQ (look.getWaitCursorFlag(), 1);
    look.setBusyCursor (false);
    EXPECT_TRUE (look.getMouseCursorFor (component) == juce::MouseCursor (juce::MouseCursor::PointingHandCursor));
}

namespace
{
class MainMenus : public juce::MenuBarModel
{
public:
    juce::StringArray getMenuBarNames() override { return { "Preset", "Block", "Tools", "Settings", "Help" }; }
    juce::PopupMenu getMenuForIndex (int, const juce::String&) override { return {}; }
    void menuItemSelected (int, int) override {}
};
} // namespace

TEST (ZolLookAndFeel, TheMainMenuBarsTextShrinksWithTheBarSoEveryMenuFits)
{
    Skin s;
    MainMenus menus;
    juce::MenuBarComponent bar (&menus);
    bar.setLookAndFeel (&s.look);
    const auto design = s.look.getMainMenuBarStyle().getBounds();

    for (const double scale : { 1.0, 0.5 })
    {
        bar.setSize (juce::roundToInt (design.getWidth() * scale), juce::roundToInt (design.getHeight() * scale));
        int total = 0;

        for (int i = 0; i < menus.getMenuBarNames().size(); ++i)
            total += s.look.getMenuBarItemWidth (bar, i, menus.getMenuBarNames()[i]);

        EXPECT_LE (total, bar.getWidth()) << "scale " << scale;
    }

    bar.setLookAndFeel (nullptr);
}

TEST (ZolLookAndFeel, FileChoosersListNamesInLightTextOnTheDarkDialog)
{
    Skin s;
    ScratchFolder files{ "kestrel-chooser" };
    files.folder.getChildFile ("Clean Lead.syx").replaceWithText ("x");
    files.folder.getChildFile ("Presets").createDirectory();

    juce::FileBrowserComponent browser (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                                        files.folder, nullptr, nullptr);
    const auto background = s.look.findColour (juce::AlertWindow::backgroundColourId);
    juce::FileChooserDialogBox box ("Import Preset", {}, browser, false, background);
    box.setLookAndFeel (&s.look);

    for (auto id : { (int) juce::DirectoryContentsDisplayComponent::textColourId,
                     (int) juce::FileBrowserComponent::filenameBoxTextColourId,
                     (int) juce::FileBrowserComponent::currentPathBoxTextColourId })
        EXPECT_GT (browser.findColour (id).getPerceivedBrightness() - background.getPerceivedBrightness(), 0.5f)
            << "colour " << juce::String::toHexString (id);

    box.setSize (600, 420);
    // The folder is listed on a thread; the picture waits for its two entries.
    pumpMessagesUntil (
        [&browser]
        {
            for (auto* child : browser.getChildren())
                if (auto* list = dynamic_cast<juce::ListBox*> (child); list != nullptr && list->getModel() != nullptr)
                    return list->getModel()->getNumRows() >= 2;
            return false;
        });
    saveScreenshot (box, "file-chooser");
    box.setLookAndFeel (nullptr);
}

// The alert windows the program builds itself are the framework's own, in the
// skin's colours and fonts: no picture of the skin stands in for the
// framework's icon.
TEST (ZolLookAndFeel, AnAlertWindowIsTheFrameworksOwnInTheSkinsColoursAndFonts)
{
    KESTREL_REQUIRE_DISPLAY(); // an alert window is a desktop window
    Skin s;
    struct FrameworkLook : juce::LookAndFeel_V3
    {
        explicit FrameworkLook (ZolLookAndFeel& skinned) : zol (skinned)
        {
            for (int id : { (int) juce::AlertWindow::backgroundColourId, (int) juce::AlertWindow::textColourId,
                            (int) juce::AlertWindow::outlineColourId })
                setColour (id, zol.findColour (id));
        }
        juce::Font getAlertWindowMessageFont() override { return zol.getAlertWindowMessageFont(); }
        juce::Font getAlertWindowFont() override { return zol.getAlertWindowFont(); }
        ZolLookAndFeel& zol;
    } framework (s.look);
    ASSERT_TRUE (s.look.getGenericDialogStyle().warningIcon.isValid()) << "the skin has pictures it could use";

    auto paintAlert = [] (juce::LookAndFeel& look, juce::MessageBoxIconType type)
    {
        juce::AlertWindow alert ("Kestrel-Edit", "The unit did not answer in time.", type);
        alert.setLookAndFeel (&look);
        alert.setSize (420, 140);
        auto picture = alert.createComponentSnapshot (alert.getLocalBounds());
        alert.setLookAndFeel (nullptr);
        return picture;
    };
    for (auto type : { juce::MessageBoxIconType::WarningIcon, juce::MessageBoxIconType::QuestionIcon,
                       juce::MessageBoxIconType::NoIcon })
    {
        const auto skinned = paintAlert (s.look, type), plain = paintAlert (framework, type);
        ASSERT_EQ (skinned.getBounds(), plain.getBounds());
        int differing = 0;
        for (int y = 0; y < plain.getHeight(); ++y)
            for (int x = 0; x < plain.getWidth(); ++x)
                differing += skinned.getPixelAt (x, y) != plain.getPixelAt (x, y) ? 1 : 0;
        EXPECT_EQ (differing, 0) << "icon type " << (int) type;
    }
}
