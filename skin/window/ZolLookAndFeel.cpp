#include "skin/window/ZolLookAndFeel.h"

#include "skin/window/FocusedCaret.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLDrawableButton.h"

namespace SA = SkinAttributes;
using WidgetSupport::drawableOf;

namespace
{
constexpr int positionLimit = 4096;

// An image button of the title bar, read from its skin Widget like every
// skinned image button; its "on" background stays transparent.
std::unique_ptr<ZOLDrawableButton> readTitleBarButton (const SkinManager& skin, const juce::XmlElement& widget)
{
    auto button =
        SkinWidgetReaders::createDrawableButton (skin, &widget, widget.getStringAttribute ("name"), nullptr, false);
    if (button != nullptr)
        button->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colours::transparentBlack);
    return button;
}

void readWindowButton (const SkinManager& skin, const juce::XmlElement& widget, TitleBarButtonImages& record)
{
    record.up = SA::image (skin, widget, "upImage");
    record.over = SA::image (skin, widget, "overImage");
    record.down = SA::image (skin, widget, "downImage");
    record.upOn = SA::image (skin, widget, "upImageOn");
    record.overOn = SA::image (skin, widget, "overImageOn");
    record.downOn = SA::image (skin, widget, "downImageOn");
    record.name = widget.getStringAttribute ("toolTip");
    record.positionX = SA::clampedInt (widget, "positionX", positionLimit);
    record.positionY = SA::clampedInt (widget, "positionY", positionLimit);
}

juce::Font sized (juce::Font font, float size)
{
    return size > 0.0f ? font.withHeight (size) : font;
}
} // namespace

ZolLookAndFeel::ZolLookAndFeel()
{
    mainMenuBar.selectedTextColour = juce::Colour (0xffffcc00);
    mainMenuBar.textColour = juce::Colour (0xff909090);
    librarianMenuBar.selectedTextColour = juce::Colour (0xffffcc00);
    librarianMenuBar.textColour = juce::Colour (0xff000000);

    // The framework's own controls (alert buttons, text fields) in the
    // program's dark look; the skin sections below set the rest.
    setColour (juce::TextButton::buttonColourId, juce::Colour (0xff3a3e44));
    setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff4a4e55));
    setColour (juce::TextButton::textColourOffId, juce::Colour (0xffe8e6e3));
    setColour (juce::TextButton::textColourOnId, juce::Colour (0xffe8a33d));
    setColour (juce::ComboBox::outlineColourId, juce::Colour (0xff111214));
    setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xff1c1d20));
    setColour (juce::TextEditor::textColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff111214));
    setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xffe8a33d));
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0x66e8a33d));
    setColour (juce::CaretComponent::caretColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::Label::textColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::ListBox::backgroundColourId, juce::Colour (0xff1c1d20));
    setColour (juce::ListBox::textColourId, juce::Colour (0xffe8e6e3));
    // The framework's file and folder choosers list names in the light text too.
    setColour (juce::DirectoryContentsDisplayComponent::textColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::DirectoryContentsDisplayComponent::highlightedTextColourId, juce::Colour (0xff1c1d20));
    setColour (juce::DirectoryContentsDisplayComponent::highlightColourId, juce::Colour (0xffe8a33d));
    setColour (juce::FileBrowserComponent::currentPathBoxTextColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::FileBrowserComponent::currentPathBoxBackgroundColourId, juce::Colour (0xff1c1d20));
    setColour (juce::FileBrowserComponent::currentPathBoxArrowColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::FileBrowserComponent::filenameBoxTextColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::FileBrowserComponent::filenameBoxBackgroundColourId, juce::Colour (0xff1c1d20));
    setColour (juce::FileChooserDialogBox::titleTextColourId, juce::Colour (0xffe8e6e3));
    setColour (juce::TreeView::backgroundColourId, juce::Colour (0xff1c1d20));

    setUsingNativeAlertWindows (true);
}

ZolLookAndFeel::~ZolLookAndFeel()
{
    pauseButton.reset();
    netbookButton.reset();
    settingsButton.reset();
}

void ZolLookAndFeel::loadFromSkin (const SkinManager* skinDocument)
{
    skin = skinDocument;
    if (skin == nullptr || skin->getSkinRoot() == nullptr)
        return;

    const bool loaded = skin->isLoaded();
    auto section = [this] (const char* tag) { return skin->getSection (tag); };

    if (auto* s = section ("PopupMenuSkin"); s != nullptr && loaded)
        readPopupMenu (*s);
    if (auto* s = section ("MenuBarSkin"); s != nullptr && loaded)
        readMenuBar (*s, mainMenuBar);
    if (auto* s = section ("BM-MenuBarSkin"); s != nullptr && loaded)
        readMenuBar (*s, librarianMenuBar);
    if (auto* s = section ("AlertWindowSkin"); s != nullptr && loaded)
        readAlertWindow (*s);
    if (auto* s = section ("TitlebarSkin"))
        readTitleBar (*s);
    if (auto* s = section ("TooltipSkin"))
        readTooltip (*s);
    if (auto* s = section ("ScrollbarSkin"))
        readScrollbar (*s);
    if (auto* s = section ("TableHeaderSkin"))
        readTableHeader (*s);
    if (auto* s = section ("GenericDialog"); s != nullptr && loaded)
        readGenericDialog (*s);
}

void ZolLookAndFeel::readPopupMenu (const juce::XmlElement& s)
{
    setColour (juce::PopupMenu::backgroundColourId, SA::colour (s, "menuBackgroundColor"));
    popupMenuBorderColour = SA::colour (s, "menuBorderColor");
    setColour (juce::PopupMenu::headerTextColourId, SA::colour (s, "fontHeaderColor"));
    setColour (juce::PopupMenu::textColourId, SA::colour (s, "fontColor"));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, SA::colour (s, "itemHighlightedColor"));
    setColour (juce::PopupMenu::highlightedTextColourId, SA::colour (s, "fontHighlightedColor"));
    // Read after "fontHeaderColor", so this one is the header colour in effect.
    setColour (juce::PopupMenu::headerTextColourId, SA::colour (s, "headerTextColour"));
    popupMenuFontSize = SA::fontSize (s, "fontSize");
    popupMenuFont = SA::font (*skin, s, "font", popupMenuFontSize);
}

void ZolLookAndFeel::readMenuBar (const juce::XmlElement& s, MenuBarStyle& style)
{
    style.textColour = SA::colour (s, "topLevelTextColor");
    style.selectedTextColour = SA::colour (s, "topLevelTextColorSelected");
    style.itemHighlightColour = SA::colour (s, "itemHighlightedColor");
    style.fontSize = SA::fontSize (s, "fontSize");
    style.font = SA::font (*skin, s, "font", style.fontSize);
    style.positionX = SA::clampedInt (s, "positionX", positionLimit);
    style.positionY = SA::clampedInt (s, "positionY", positionLimit);
    style.width = juce::jmax (0, SA::clampedInt (s, "width", positionLimit));
    style.height = juce::jmax (0, SA::clampedInt (s, "height", positionLimit));
}

void ZolLookAndFeel::readAlertWindow (const juce::XmlElement& s)
{
    setColour (juce::AlertWindow::backgroundColourId, SA::colour (s, "backgroundColor"));
    setColour (juce::AlertWindow::textColourId, SA::colour (s, "fontColor"));
    setColour (juce::AlertWindow::outlineColourId, SA::colour (s, "borderColor"));
    alertFontSize = SA::fontSize (s, "fontSize");
    alertFont = SA::font (*skin, s, "font", alertFontSize);
    alertMessageFontSize = SA::fontSize (s, "msgFontSize");
    alertMessageFont = SA::font (*skin, s, "msgFont", alertMessageFontSize);
}

void ZolLookAndFeel::readTitleBar (const juce::XmlElement& s)
{
    titleGradientTop = SA::colour (s, "gradientTop");
    titleGradientBottom = SA::colour (s, "gradientBtm");
    titleBarHeight = juce::jlimit (0, 200, s.getIntAttribute ("height"));

    for (auto* widget : SkinAttributes::children (s, "Widget"))
    {
        auto name = widget->getStringAttribute ("name");

        if (name == "connectedIcon")
        {
            connectedIcon = SA::image (*skin, *widget, "iconConnected");
            disconnectedIcon = SA::image (*skin, *widget, "iconDisconnected");
            statusX = SA::clampedInt (*widget, "positionX", positionLimit);
            statusY = SA::clampedInt (*widget, "positionY", positionLimit);
            hasStatusFont = SA::has (*widget, "font");
            statusFont = SA::font (*skin, *widget, "font");
            statusFontColour = SA::colour (*widget, "fontColor");
            statusFontSize = SA::fontSize (*widget, "fontSize");
        }
        else if (name == "pauseButton")
        {
            pauseButton = readTitleBarButton (*skin, *widget);
        }
        else if (name == "settingsButton")
        {
            settingsButton = readTitleBarButton (*skin, *widget);
        }
        else if (name == "netbookButton")
        {
            netbookButton = readTitleBarButton (*skin, *widget);
            netbookRightOffset = SA::clampedInt (*widget, "positionX", positionLimit);
        }
        else if (name == "closeButton")
        {
            readWindowButton (*skin, *widget, closeButtonImages);
        }
        else if (name == "maximizeButton")
        {
            readWindowButton (*skin, *widget, maximiseButtonImages);
        }
        else if (name == "minimizeButton")
        {
            readWindowButton (*skin, *widget, minimiseButtonImages);
        }
    }
}

void ZolLookAndFeel::readTooltip (const juce::XmlElement& s)
{
    setColour (juce::TooltipWindow::backgroundColourId, SA::colour (s, "backgroundColor"));
    setColour (juce::TooltipWindow::outlineColourId, SA::colour (s, "outlineColor"));
    setColour (juce::TooltipWindow::textColourId, SA::colour (s, "textColor"));
    if (SA::has (s, "font"))
    {
        tooltipFont = SA::font (*skin, s, "font");
        hasTooltipFont = true;
    }
}

void ZolLookAndFeel::readScrollbar (const juce::XmlElement& s)
{
    setColour (juce::ScrollBar::backgroundColourId, SA::colour (s, "backgroundColor"));
    setColour (juce::ScrollBar::thumbColourId, SA::colour (s, "thumbColor"));
    setColour (juce::ScrollBar::trackColourId, SA::colour (s, "trackColor"));
}

void ZolLookAndFeel::readTableHeader (const juce::XmlElement& s)
{
    tableGradientTop = SA::colour (s, "gradientTop");
    tableGradientBottom = SA::colour (s, "gradientBtm");
    if (SA::has (s, "font") && skin->getTypeface (s.getStringAttribute ("font")) != nullptr)
    {
        tableFont = SA::font (*skin, s, "font");
        hasTableFont = true;
    }
    tableFontColour = SA::colour (s, "fontColor");
    tableFontSize = SA::fontSize (s, "fontSize");
    columnDividerColour = SA::colour (s, "columnDividerColor");
    columnDividerWidth = juce::jlimit (0, 100, s.getIntAttribute ("columnDividerWidth"));
}

void ZolLookAndFeel::readGenericDialog (const juce::XmlElement& s)
{
    auto& d = dialogStyle;
    auto imageIfNamed = [this, &s] (const char* name, juce::Image& target)
    {
        if (SA::has (s, name))
            target = SA::image (*skin, s, name);
    };
    imageIfNamed ("iconStop", d.stopIcon);
    imageIfNamed ("iconStopSmall", d.stopIconSmall);
    imageIfNamed ("iconQuestion", d.questionIcon);
    imageIfNamed ("iconQuestionSmall", d.questionIconSmall);
    imageIfNamed ("iconWarning", d.warningIcon);
    imageIfNamed ("iconWarningSmall", d.warningIconSmall);
    imageIfNamed ("imageLogo", d.logo);
    d.logoBounds = d.logo.getBounds();

    d.backgroundColour = SA::colour (s, "backgroundColor");
    d.imageYOffset = SA::clampedInt (s, "yOffsetImage", positionLimit);
    d.textFontSize = SA::fontSize (s, "textFontSize");
    d.textFont = SA::font (*skin, s, "textFont", d.textFontSize);
    d.textColour = SA::colour (s, "textFontColor");

    if (auto* ok = SA::findWidget (s, "okButton"))
    {
        d.okButtonUp = SA::image (*skin, *ok, "imageUp");
        d.okButtonBounds = d.okButtonUp.getBounds();
        d.okButtonDown = SA::image (*skin, *ok, "imageDown");
        d.labelFontSize = SA::fontSize (*ok, "labelFontSize");
        d.labelFont = SA::font (*skin, *ok, "labelFont", d.labelFontSize);
        d.labelColourNormal = SA::colour (*ok, "labelFontColor");
        d.labelColourOver = SA::colour (*ok, "labelFontColorOver");
        d.labelColourDown = SA::colour (*ok, "labelFontColorDown");
        d.labelColourActive = SA::colour (*ok, "labelFontColorActive");
        d.labelTextRect = SA::rectangle (*ok, "labelTextRect");
        d.labelJustification = SA::justification (*ok, "labelTextJustify").getFlags();
    }
    d.valid = true;
}

void ZolLookAndFeel::setTitlebarConnected (juce::DocumentWindow* window, bool isConnected)
{
    if (window == nullptr)
        return;

    connected = isConnected;
    window->setIcon (connected ? connectedIcon : disconnectedIcon);

    if (settingsButton != nullptr)
    {
        settingsButton->setEnabledWithAlpha (! connected, false);
        settingsButton->setVisible (! connected);
    }
    if (pauseButton != nullptr)
    {
        pauseButton->setEnabledWithAlpha (connected, false);
        pauseButton->setVisible (connected);
    }
    window->repaint();
}

void ZolLookAndFeel::setWaitCursorFlag (juce::uint8 on)
{
    auto wasBusy = busy;
    busy = on != 0;

    // Show the new cursor at once rather than at the next mouse move.
    if (busy != wasBusy && juce::MessageManager::existsAndIsCurrentThread())
        juce::Desktop::getInstance().getMainMouseSource().forceMouseCursorUpdate();
}

juce::String ZolLookAndFeel::trimShortcutText (const juce::String& shortcutText)
{
    // Several keys come joined by ", "; each single-key part loses its
    // wording, whatever its key (a comma included).
    static const juce::String prefix ("shortcut: '");
    juce::String result;
    const int length = shortcutText.length();
    const int prefixLength = prefix.length();

    for (int i = 0; i < length;)
    {
        if (i + prefixLength + 1 < length && shortcutText.substring (i, i + prefixLength) == prefix &&
            shortcutText[i + prefixLength + 1] == '\'')
        {
            result << shortcutText[i + prefixLength];
            i += prefixLength + 2;
        }
        else
        {
            result << shortcutText[i++];
        }
    }
    return result;
}

juce::MouseCursor ZolLookAndFeel::getMouseCursorFor (juce::Component& component)
{
    if (busy)
        return juce::MouseCursor::WaitCursor;
    return LookAndFeel_V3::getMouseCursorFor (component);
}

juce::Font ZolLookAndFeel::getAlertWindowMessageFont()
{
    return alertMessageFont;
}

juce::Font ZolLookAndFeel::getAlertWindowFont()
{
    return alertFont;
}

juce::Font ZolLookAndFeel::getPopupMenuFont()
{
    return popupMenuFont;
}

void ZolLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
    g.setColour (popupMenuBorderColour);
    g.drawRect (0, 0, width, height, 1);
    g.setColour (findColour (juce::PopupMenu::textColourId).withMultipliedAlpha (0.6f));
    g.drawRect (0, 0, width, height, 1);
}

void ZolLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                        bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                                        const juce::String& text, const juce::String& shortcutKeyText,
                                        const juce::Drawable* icon, const juce::Colour* textColour)
{
    LookAndFeel_V3::drawPopupMenuItem (g, area, isSeparator, isActive, isHighlighted, isTicked, hasSubMenu, text,
                                       trimShortcutText (shortcutKeyText), icon, textColour);
}

void ZolLookAndFeel::drawMenuBarBackground (juce::Graphics& g, int, int, bool, juce::MenuBarComponent&)
{
    g.fillAll (juce::Colours::transparentBlack);
}

const MenuBarStyle& ZolLookAndFeel::styleFor (juce::MenuBarComponent& menuBar) const
{
    return dynamic_cast<BMMenuBarModel*> (menuBar.getModel()) != nullptr ? librarianMenuBar : mainMenuBar;
}

juce::Font ZolLookAndFeel::getMenuBarFont (juce::MenuBarComponent& menuBar, int, const juce::String&)
{
    auto& style = styleFor (menuBar);
    auto font = sized (style.font, style.fontSize);

    // The bar is scaled with its window; its text follows, so that every
    // menu still fits a small window.
    if (style.height > 0 && menuBar.getHeight() > 0)
        font = font.withHeight (font.getHeight() * (float) menuBar.getHeight() / (float) style.height);

    return font;
}

void ZolLookAndFeel::drawMenuBarItem (juce::Graphics& g, int width, int height, int itemIndex,
                                      const juce::String& itemText, bool isMouseOverItem, bool isMenuOpen, bool,
                                      juce::MenuBarComponent& menuBar)
{
    auto& style = styleFor (menuBar);

    if (! menuBar.isEnabled())
    {
        g.setColour (style.textColour.withMultipliedAlpha (0.5f));
    }
    else if (isMenuOpen || isMouseOverItem)
    {
        g.fillAll (style.itemHighlightColour);
        g.setColour (style.selectedTextColour);
    }
    else
    {
        g.setColour (style.textColour);
    }

    g.setFont (getMenuBarFont (menuBar, itemIndex, itemText));
    g.drawFittedText (itemText, 0, 0, width, height, juce::Justification::centred, 1, 0.7f);
}

void ZolLookAndFeel::drawCornerResizer (juce::Graphics& g, int, int, bool, bool)
{
    for (float i = 0.0f; i < 1.0f; i += 0.3f)
    {
        g.setColour (juce::Colour (0x99909090));
        g.drawLine (12.0f * i, 13.0f, 13.0f, 12.0f * i, 0.9f);
        g.setColour (juce::Colour (0xff222222));
        g.drawLine (12.0f * i + 0.9f, 13.0f, 13.0f, 12.0f * i + 0.9f, 0.9f);
    }
}

void ZolLookAndFeel::drawDocumentWindowTitleBar (juce::DocumentWindow& window, juce::Graphics& g, int w, int h, int,
                                                 int, const juce::Image* icon, bool)
{
    const bool active = window.isActiveWindow();
    auto top = active ? titleGradientTop : titleGradientTop.contrasting (0.15f);
    auto bottom = active ? titleGradientBottom : titleGradientBottom.contrasting (0.15f);
    g.setGradientFill (juce::ColourGradient (top, 0.0f, 0.0f, bottom, 0.0f, (float) h, false));
    g.fillAll();

    g.setColour (statusFontColour);
    auto font = hasStatusFont ? statusFont : juce::Font();

    // A message dialog may carry the program's name as its title; only the
    // main window shows the connection instead of its name.
    if (window.getName() == mainWindowName && dynamic_cast<juce::DialogWindow*> (&window) == nullptr)
    {
        font = sized (font, statusFontSize);
        if (icon == nullptr || ! icon->isValid())
            return;

        g.setOpacity (active ? 1.0f : 0.6f);
        g.drawImageWithin (*icon, statusX, statusY, icon->getWidth(), icon->getHeight(),
                           juce::RectanglePlacement::centred);

        const juce::String text (connected ? connectedText : disconnectedText);
        g.setColour (statusFontColour);
        g.setFont (font);
        g.drawText (text, statusX + icon->getWidth(), 1, juce::roundToInt (font.getStringWidthFloat (text)), h,
                    juce::Justification::centredLeft, true);
        return;
    }

    g.setFont (font.withHeight (0.65f * (float) h));
    g.drawText (window.getName(), 0, 0, w, h, juce::Justification::centred, true);
}

juce::Button* ZolLookAndFeel::createDocumentWindowButton (int buttonType)
{
    const TitleBarButtonImages* record = nullptr;
    if (buttonType == juce::DocumentWindow::closeButton)
        record = &closeButtonImages;
    else if (buttonType == juce::DocumentWindow::maximiseButton)
        record = &maximiseButtonImages;
    else if (buttonType == juce::DocumentWindow::minimiseButton)
        record = &minimiseButtonImages;

    if (record == nullptr || ! record->up.isValid())
        return LookAndFeel_V3::createDocumentWindowButton (buttonType);

    auto* button = new juce::DrawableButton (record->name, juce::DrawableButton::ImageRaw);
    const bool maximise = record == &maximiseButtonImages;
    auto up = drawableOf (record->up), over = drawableOf (record->over), down = drawableOf (record->down);
    auto upOn = drawableOf (maximise ? record->upOn : record->up);
    auto overOn = drawableOf (maximise ? record->overOn : record->over);
    auto downOn = drawableOf (maximise ? record->downOn : record->down);
    button->setImages (up.get(), over.get(), down.get(), down.get(), upOn.get(), overOn.get(), downOn.get(), nullptr);
    WidgetSupport::clearButtonBackground (*button);
    return button;
}

void ZolLookAndFeel::positionDocumentWindowButtons (juce::DocumentWindow&, int, int, int titleBarW, int,
                                                    juce::Button* minimiseButton, juce::Button* maximiseButton,
                                                    juce::Button* closeButton, bool)
{
    auto place = [titleBarW] (juce::Button* button, const TitleBarButtonImages& record)
    {
        if (button != nullptr)
            button->setBounds (titleBarW + record.positionX, record.positionY, record.up.getWidth(),
                               record.up.getHeight());
    };
    place (minimiseButton, minimiseButtonImages);
    place (maximiseButton, maximiseButtonImages);
    place (closeButton, closeButtonImages);
}

juce::Font ZolLookAndFeel::tooltipFontForText() const
{
    return hasTooltipFont ? tooltipFont : juce::Font (13.0f, juce::Font::bold);
}

namespace
{
juce::TextLayout layoutTooltip (const juce::String& text, juce::Font font, juce::Colour colour)
{
    juce::AttributedString s;
    s.setJustification (juce::Justification::centred);
    s.append (text, font, colour);
    juce::TextLayout layout;
    layout.createLayoutWithBalancedLineLengths (s, 400.0f);
    return layout;
}
} // namespace

juce::Rectangle<int> ZolLookAndFeel::getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                                       juce::Rectangle<int> parentArea)
{
    auto layout = layoutTooltip (tipText, tooltipFontForText(), juce::Colours::black);
    auto w = (int) (layout.getWidth() + 14.0f);
    auto h = (int) (layout.getHeight() + 6.0f);
    return juce::Rectangle<int> (screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
                                 screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6, w, h)
        .constrainedWithin (parentArea);
}

void ZolLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.setFont (tooltipFontForText());
    g.fillAll (findColour (juce::TooltipWindow::backgroundColourId));
    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    g.drawRect (0, 0, width, height, 1);
    layoutTooltip (text, tooltipFontForText(), findColour (juce::TooltipWindow::textColourId))
        .draw (g, juce::Rectangle<float> ((float) width, (float) height));
}

void ZolLookAndFeel::drawTableHeaderBackground (juce::Graphics& g, juce::TableHeaderComponent& header)
{
    g.setGradientFill (juce::ColourGradient (tableGradientTop, 0.0f, 0.0f, tableGradientBottom, 0.0f,
                                             (float) header.getHeight(), false));
    g.fillRect (0, 0, header.getWidth(), header.getHeight());
}

void ZolLookAndFeel::drawTableHeaderColumn (juce::Graphics& g, juce::TableHeaderComponent&,
                                            const juce::String& columnName, int, int width, int height, bool, bool,
                                            int columnFlags)
{
    g.setColour (columnDividerColour);
    g.fillRect (width - columnDividerWidth, 0, columnDividerWidth, height);

    juce::Rectangle<int> area (width, height);
    area.reduce (4, 0);

    const bool forwards = (columnFlags & juce::TableHeaderComponent::sortedForwards) != 0;
    const bool backwards = (columnFlags & juce::TableHeaderComponent::sortedBackwards) != 0;
    if (forwards || backwards)
    {
        juce::Path arrow;
        arrow.addTriangle (0.0f, 0.0f, 0.5f, forwards ? -0.8f : 0.8f, 1.0f, 0.0f);
        auto strip = area.removeFromRight (height / 2).reduced (2);
        // A header too short for the arrow draws none.
        if (! strip.isEmpty())
        {
            g.setColour (juce::Colour (0x99000000));
            g.fillPath (arrow, arrow.getTransformToScaleToFit (strip.toFloat(), true));
        }
    }

    g.setColour (tableFontColour);
    g.setFont (hasTableFont ? sized (tableFont, tableFontSize) : juce::Font());
    g.drawFittedText (columnName, area, juce::Justification::centredLeft, 1, 0.7f);
}

juce::CaretComponent* ZolLookAndFeel::createCaretComponent (juce::Component* keyFocusOwner)
{
    return new FocusedCaret (keyFocusOwner);
}
