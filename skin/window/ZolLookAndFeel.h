#pragma once

#include "device/engines/WaitCursorFlag.h"
#include "skin/window/BMMenuBarModel.h"
#include "skin/window/GenericDialogStyle.h"
#include "skin/window/MenuBarStyle.h"
#include "skin/window/TitleBarButtonImages.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;
class ZOLDrawableButton;

// The application's one look-and-feel. It takes its colours, fonts, images
// and title-bar buttons from the skin, draws the main window's title bar with
// the connection state, and gives every component the wait cursor while the
// preset manager is busy.
class ZolLookAndFeel : public juce::LookAndFeel_V3, public WaitCursorFlag
{
public:
    static constexpr const char* mainWindowName = "Kestrel-Edit";
    static constexpr const char* connectedText = " Connected!";
    static constexpr const char* disconnectedText = " Disconnected!";

    ZolLookAndFeel();
    ~ZolLookAndFeel() override;

    // Reads the skin's look-and-feel sections; a missing section keeps its
    // defaults.
    void loadFromSkin (const SkinManager* skin);

    // Shows the connection state in the window's title bar: its icon, and
    // the settings button while disconnected or the pause button while
    // connected.
    void setTitlebarConnected (juce::DocumentWindow* window, bool connected);
    bool isTitlebarConnected() const { return connected; }

    // The busy flag (the wait cursor everywhere while it is set).
    void setWaitCursorFlag (juce::uint8 on) override;
    juce::uint8 getWaitCursorFlag() const override { return busy ? 1 : 0; }
    void setBusyCursor (bool on) { setWaitCursorFlag (on ? 1 : 0); }
    bool isBusy() const { return busy; }

    const GenericDialogStyle& getGenericDialogStyle() const { return dialogStyle; }
    const MenuBarStyle& getMainMenuBarStyle() const { return mainMenuBar; }
    const MenuBarStyle& getLibrarianMenuBarStyle() const { return librarianMenuBar; }
    int getTitleBarHeight() const { return titleBarHeight; }
    int getNetbookRightOffset() const { return netbookRightOffset; }
    ZOLDrawableButton* getSettingsButton() const { return settingsButton.get(); }
    ZOLDrawableButton* getNetbookButton() const { return netbookButton.get(); }
    ZOLDrawableButton* getPauseButton() const { return pauseButton.get(); }

    // The key of a shortcut text as the framework words it ("shortcut: 'S'"
    // gives "S"); any other text unchanged.
    static juce::String trimShortcutText (const juce::String& shortcutText);

    // LookAndFeel
    juce::MouseCursor getMouseCursorFor (juce::Component& component) override;
    juce::Font getAlertWindowMessageFont() override;
    juce::Font getAlertWindowFont() override;
    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;
    juce::Font getPopupMenuFont() override;
    void drawMenuBarBackground (juce::Graphics& g, int width, int height, bool isMouseOverBar,
                                juce::MenuBarComponent& menuBar) override;
    juce::Font getMenuBarFont (juce::MenuBarComponent& menuBar, int itemIndex, const juce::String& itemText) override;
    void drawMenuBarItem (juce::Graphics& g, int width, int height, int itemIndex, const juce::String& itemText,
                          bool isMouseOverItem, bool isMenuOpen, bool isMouseOverBar,
                          juce::MenuBarComponent& menuBar) override;
    void drawCornerResizer (juce::Graphics& g, int w, int h, bool isMouseOver, bool isMouseDragging) override;
    void drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h, int titleSpaceX,
                                     int titleSpaceW, const juce::Image* icon, bool drawTitleTextOnLeft) override;
    juce::Button* createDocumentWindowButton (int buttonType) override;
    void positionDocumentWindowButtons (juce::DocumentWindow& window, int titleBarX, int titleBarY, int titleBarW,
                                        int titleBarH, juce::Button* minimiseButton, juce::Button* maximiseButton,
                                        juce::Button* closeButton, bool positionTitleBarButtonsOnLeft) override;
    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height) override;
    void drawTableHeaderBackground (juce::Graphics& g, juce::TableHeaderComponent& header) override;
    void drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent& header, const juce::String& columnName,
                                int columnId, int width, int height, bool isMouseOver, bool isMouseDown,
                                int columnFlags) override;
    // A caret that blinks only in the focused field (FocusedCaret).
    juce::CaretComponent* createCaretComponent (juce::Component* keyFocusOwner) override;

private:
    void readPopupMenu (const juce::XmlElement& section);
    void readMenuBar (const juce::XmlElement& section, MenuBarStyle& style);
    void readAlertWindow (const juce::XmlElement& section);
    void readTitleBar (const juce::XmlElement& section);
    void readTooltip (const juce::XmlElement& section);
    void readScrollbar (const juce::XmlElement& section);
    void readTableHeader (const juce::XmlElement& section);
    void readGenericDialog (const juce::XmlElement& section);
    const MenuBarStyle& styleFor (juce::MenuBarComponent& menuBar) const;
    juce::Font tooltipFontForText() const;

    GenericDialogStyle dialogStyle;
    bool connected = false;
    bool busy = false;
    const SkinManager* skin = nullptr;

    juce::Font popupMenuFont;
    float popupMenuFontSize = 0.0f;
    juce::Colour popupMenuBorderColour;

    MenuBarStyle mainMenuBar;
    MenuBarStyle librarianMenuBar;

    juce::Font alertFont;
    float alertFontSize = 0.0f;
    juce::Font alertMessageFont;
    float alertMessageFontSize = 0.0f;

    TitleBarButtonImages closeButtonImages, maximiseButtonImages, minimiseButtonImages;

    juce::Colour titleGradientTop, titleGradientBottom;
    int titleBarHeight = 26;
    juce::Image connectedIcon, disconnectedIcon;
    int statusX = 0, statusY = 0;
    juce::Font statusFont;
    bool hasStatusFont = false;
    juce::Colour statusFontColour;
    float statusFontSize = 0.0f;

    juce::Font tooltipFont;
    bool hasTooltipFont = false;

    std::unique_ptr<ZOLDrawableButton> settingsButton;
    std::unique_ptr<ZOLDrawableButton> netbookButton;
    int netbookRightOffset = 0;
    std::unique_ptr<ZOLDrawableButton> pauseButton;

    juce::Colour tableGradientTop, tableGradientBottom;
    juce::Font tableFont;
    bool hasTableFont = false;
    juce::Colour tableFontColour;
    float tableFontSize = 0.0f;
    juce::Colour columnDividerColour;
    int columnDividerWidth = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZolLookAndFeel)
};
