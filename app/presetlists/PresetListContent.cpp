#include "app/presetlists/PresetListContent.h"

#include "model/Clock.h"
#include "model/GlobalConfiguration.h"
#include "model/SafeFileWrite.h"
#include "model/UserNotifier.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/ImageDepot.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/engine/UserInteraction.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/lists/ZolScrollableListCtrl.h"

namespace
{
// The characters a search may hold.
const char* const searchCharacters = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                     "~!@#$%^&*()_+-=`{}|[]\\\";:<>?./',";
constexpr int searchMaxLength = 95;
const char* const searchHint = "Type, then Return to search";
constexpr juce::juce_wchar filterGlyph = 0xD6;
constexpr int tabGap = 10;
} // namespace

const char* const PresetListContent::defaultTabLabels[numTabs] = { "All", "Bank A", "B", "C", "D", "E", "F" };

PresetListContent::PresetListContent (const SkinManager* skinDocument, GlobalConfiguration* config,
                                      ImageDepot* imageDepot, juce::Component* owner)
    : skin (skinDocument)
    , configuration (config)
    , depot (imageDepot)
    , ownerWindow (owner)
{
    for (int i = 0; i < numTabs; ++i)
        tabs[(size_t) i] = { 2, defaultTabLabels[i] };

    setWantsKeyboardFocus (false);
    loadFromSkin();
    setSize (changeToBackground.isValid() ? changeToBackground.getWidth() : 1024,
             changeToBackground.isValid() ? changeToBackground.getHeight() : 647);
    setTopLeftPosition (position);
    setVisible (false);
}

PresetListContent::~PresetListContent()
{
    *alive = false;
    removeAllChangeListeners();
}

//==============================================================================
void PresetListContent::loadFromSkin()
{
    auto* section = skin != nullptr ? skin->getSection ("PresetList") : nullptr;

    if (section == nullptr)
        return;

    const auto& s = *section;
    position = { s.getIntAttribute ("positionX"), s.getIntAttribute ("positionY") };
    changeToBackground = SkinAttributes::image (*skin, s, "changeToBackground");
    saveToBackground = SkinAttributes::image (*skin, s, "saveToBackground");
    changeToDlgBounds = SkinAttributes::rectangle (s, "changeToDlgBounds");
    saveToDlgBounds = SkinAttributes::rectangle (s, "saveToDlgBounds");
    saveToStatusBarBounds = SkinAttributes::rectangle (s, "saveToStatusBarBounds");
    viewportRect = SkinAttributes::rectangle (s, "viewportRect");
    titleBarBounds = SkinAttributes::rectangle (s, "titleBarBounds");

    if (SkinAttributes::has (s, "numbersFontSize"))
        numbersFontSize = SkinAttributes::fontSize (s, "numbersFontSize");
    if (SkinAttributes::has (s, "namesFontSize"))
        namesFontSize = SkinAttributes::fontSize (s, "namesFontSize");
    if (SkinAttributes::has (s, "titleFontSize"))
        titleFontSize = SkinAttributes::fontSize (s, "titleFontSize");

    numberFont = SkinAttributes::font (*skin, s, "fontNumber", numbersFontSize);
    nameFont = SkinAttributes::font (*skin, s, "fontPresetName", namesFontSize);
    boldFont = SkinAttributes::font (*skin, s, "fontBold", namesFontSize);
    italicFont = SkinAttributes::font (*skin, s, "fontItalic", namesFontSize);
    italicBoldFont = SkinAttributes::font (*skin, s, "fontItalicBold", namesFontSize);
    titleFont = SkinAttributes::font (*skin, s, "titleFont", titleFontSize);
    cellHeight = s.getIntAttribute ("cellHeight", 0);
    cellWidth = s.getIntAttribute ("cellWidth", 0);
    columnSpacer = s.getIntAttribute ("columnWidthSpacer", 0);
    mouseOverColour = SkinAttributes::colourOr (s, "mouseOverColor", mouseOverColour);
    selectionColour = SkinAttributes::colourOr (s, "selectionColor", selectionColour);
    overlappingColour = SkinAttributes::colourOr (s, "overlappingColor", overlappingColour);
    numbersColour = SkinAttributes::colourOr (s, "numbersColor", numbersColour);
    titleColour = SkinAttributes::colourOr (s, "titleFontColor", titleColour);

    cellList = std::make_unique<ZolScrollableListCtrl> (viewportRect.getX(), viewportRect.getY(),
                                                        viewportRect.getWidth(), viewportRect.getHeight());
    cellList->minCellWidth = cellWidth;
    cellList->minCellHeight = cellHeight;
    cellList->columnSpacer = columnSpacer;
    cellList->setNumberFont (&numberFont, numbersColour, numbersFontSize);
    // Names are black unless the skin says otherwise (a dark list wants light names).
    cellList->setNameFonts (&nameFont, &boldFont, &italicFont, &italicBoldFont, namesFontSize,
                            SkinAttributes::colourOr (s, "namesColor", juce::Colour (0xFF000000)));
    cellList->setCellColours (mouseOverColour, selectionColour, overlappingColour);
    cellList->spaceKeyPosts12 = false;
    cellList->addChangeListener (this);
    addAndMakeVisible (*cellList);

    for (auto* widget : SkinAttributes::children (s, "Widget"))
    {
        const auto name = widget->getStringAttribute ("name");

        if (name == "searchClear" || name == "Close" || name == "SaveBtn" || name == "CancelBtn")
        {
            auto button = SkinWidgetReaders::createDrawableButton (*skin, widget, name, this, false);

            if (button == nullptr)
                continue;

            if (widget->hasAttribute ("text"))
                button->setLabelText (widget->getStringAttribute ("text"));

            if (name == "SaveBtn" || name == "CancelBtn")
                addChildComponent (*button);
            else
                addAndMakeVisible (*button);

            (name == "searchClear" ? searchClear
             : name == "Close"     ? closeButton
             : name == "SaveBtn"   ? saveButton
                                   : cancelButton) = std::move (button);
        }
        else if (name == "pushpin")
        {
            pushpin = SkinWidgetReaders::createToggleButton (*skin, widget);

            if (pushpin != nullptr)
            {
                pushpin->addChangeListener (this);
                addAndMakeVisible (*pushpin);
            }
        }
        else if (name == "searchField")
        {
            searchField = skin->createFxReadout (widget, name, this);

            if (searchField != nullptr)
            {
                searchField->setEditorInputRestrictions (searchMaxLength, searchCharacters);
                // The search runs on Return, which the empty field says.
                searchField->setHintText (searchHint);
                addAndMakeVisible (*searchField);
            }
        }
        else if (name == "btnLarge" || name == "btnMedium" || name == "btnSmall")
        {
            tabStyles[name == "btnLarge" ? 0u : name == "btnMedium" ? 1u : 2u] =
                std::make_unique<juce::XmlElement> (*widget);
        }
        else if (name == "labelFilterColor")
        {
            filterLabel = skin->createLabelComponent (widget, name);

            if (filterLabel != nullptr)
            {
                filterLabel->setText (juce::String ("Filter by Color ") + juce::String::charToString (filterGlyph),
                                      juce::dontSendNotification);
                filterLabel->clickable = true;
                filterLabel->addChangeListener (this);
                addAndMakeVisible (*filterLabel);
            }
        }
        else if (name == "btnMultiSelection")
        {
            multiSelection = SkinWidgetReaders::createPaintedButton (*skin, *widget);

            if (multiSelection != nullptr)
            {
                multiSelection->toggleMode = true;
                multiSelection->addChangeListener (this);
                addAndMakeVisible (*multiSelection);
            }
        }
    }
}

//==============================================================================
void PresetListContent::openWithItems (juce::ChangeListener* listener,
                                       const juce::OwnedArray<ScrollableListItem>& newItems, int value,
                                       int newMode, int newListKind, bool showBank,
                                       const juce::Array<juce::uint16>& newBankSizes)
{
    removeAllChangeListeners();

    if (listener != nullptr)
        addChangeListener (listener);

    openListener = listener;

    {
        const juce::ScopedLock sl (resultLock);
        resultCode = 0;
        resultValue = 0;
    }

    mode = newMode;
    listKind = newListKind;
    showCurrentBank = showBank;
    bankSizes = newBankSizes;
    items.clear();
    itemColours.clearQuick();

    for (auto* item : newItems)
    {
        items.add (new ScrollableListItem (*item));
        itemColours.add (0);
    }

    currentValue = value < items.size() ? value : 0;
    rebuildBankButtons();
    setBankButtonsEnabled (showCurrentBank);

    const bool saving = mode == saveTo;

    if (saveButton != nullptr)
        saveButton->setVisible (saving), saveButton->setEnabled (saving);
    if (cancelButton != nullptr)
        cancelButton->setVisible (saving), cancelButton->setEnabled (saving);
    if (pushpin != nullptr)
        pushpin->setVisible (! saving);

    setPinned (mode == selectFromFile || (mode == changeTo && juce::ModifierKeys::currentModifiers.isCtrlDown()));
    titleVisible = ! showCurrentBank;

    setColorFilter (false, 0);

    selectBank (showCurrentBank ? tabOfItemId (currentValue) : 0);

    setVisible (true);
    toFront (false);
    setWantsKeyboardFocus (true);

    if (cellList != nullptr)
    {
        cellList->multipleSelection = false;

        for (int i = 0; i < cellList->getNumCells(); ++i)
            cellList->selectCell (i, false, false, false);

        if (isShowing())
            cellList->grabKeyboardFocus();
    }

    openedAtMs = Clock::nowMs();
}

void PresetListContent::openWithNames (juce::ChangeListener* listener, const juce::StringArray& numberTexts,
                                       const juce::StringArray& names, int value,
                                       const juce::Array<juce::uint8>& italicFlags, int newMode, int newListKind,
                                       bool showBank, const juce::Array<juce::uint16>& newBankSizes)
{
    juce::OwnedArray<ScrollableListItem> made;

    for (int i = 0; i < names.size(); ++i)
    {
        auto* item = made.add (new ScrollableListItem());
        item->number = numberTexts[i];
        item->name = names[i].trimEnd();
        item->itemId = i;
        item->italic = italicFlags[i] != 0;
    }

    openWithItems (listener, made, value, newMode, newListKind, showBank, newBankSizes);
}

void PresetListContent::close()
{
    if (! isVisible())
        return;

    items.clear();
    itemColours.clearQuick();
    searchText.clear();
    filterColour = 0;
    applySearch ({}, 0);

    if (searchField != nullptr)
        searchField->setText ({});

    removeAllChangeListeners();
    openListener = nullptr;
    setBankButtonsEnabled (false);
    setPinned (false);

    for (int i = 0; i < numTabs; ++i)
        tabs[(size_t) i] = { 2, defaultTabLabels[i] };

    setWantsKeyboardFocus (false);
    setVisible (false);
}

bool PresetListContent::isOpenFor (const juce::ChangeListener* listener) const
{
    return isVisible() && listener != nullptr && openListener == listener;
}

void PresetListContent::setPinned (bool shouldPin)
{
    pinned = shouldPin;

    if (pushpin != nullptr)
        pushpin->setToggleState (shouldPin, false);
}

//==============================================================================
void PresetListContent::setTabEntry (int index, int sizeKind, const juce::String& label)
{
    if (index >= 0 && index < numTabs)
        tabs[(size_t) index] = { juce::jlimit (0, 2, sizeKind), label };
}

juce::String PresetListContent::getDefaultTabLabel (int index) const
{
    return index >= 0 && index < numTabs ? defaultTabLabels[index] : "";
}

void PresetListContent::rebuildBankButtons()
{
    for (auto& button : tabButtons)
        button.reset();

    if (skin == nullptr || tabStyles[0] == nullptr || tabStyles[2] == nullptr)
        return;

    int x = tabStyles[2]->getIntAttribute ("positionX");
    const int y = tabStyles[2]->getIntAttribute ("positionY");

    for (int i = 0; i < numTabs; ++i)
    {
        const auto& entry = tabs[(size_t) i];
        auto* style = tabStyles[(size_t) entry.sizeKind].get();

        if (entry.label.isEmpty() || style == nullptr)
            continue;

        auto button = SkinWidgetReaders::createPaintedButton (*skin, *style);

        if (button == nullptr)
            continue;

        button->setTopLeftPosition (x, y);
        button->toggleMode = true; // the current tab shows as on
        button->setLabelText (entry.label);
        button->addChangeListener (this);
        addAndMakeVisible (*button);
        x += button->getWidth() + tabGap;
        tabButtons[(size_t) i] = std::move (button);
    }
}

ZOLPaintedButton* PresetListContent::getTabButton (int tab) const
{
    return tab >= 0 && tab < numTabs ? tabButtons[(size_t) tab].get() : nullptr;
}

void PresetListContent::setCurrentTab (int tab)
{
    currentTab = juce::jlimit (0, numTabs - 1, tab);

    for (int i = 0; i < numTabs; ++i)
        if (auto* button = tabButtons[(size_t) i].get())
            button->setOn (i == currentTab);
}

int PresetListContent::tabToBankIndex (int tab) const
{
    return tab >= 1 && tab <= 6 ? tab - 1 : 0xFFFF;
}

int PresetListContent::tabOfItemId (int id) const
{
    int itemIndex = -1;

    for (int i = 0; i < items.size(); ++i)
        if (items.getUnchecked (i)->itemId == id)
        {
            itemIndex = i;
            break;
        }

    if (itemIndex < 0)
        return 0;

    if (bankSizes.isEmpty())
        return juce::jmin (6, itemIndex / bankSizeWithoutSizes + 1);

    int start = 0;

    for (int bank = 0; bank < bankSizes.size() && bank < 6; ++bank)
    {
        if (itemIndex < start + bankSizes[bank])
            return bank + 1;

        start += bankSizes[bank];
    }

    return 0;
}

int PresetListContent::stepBank (int from, bool forward) const
{
    for (int step = 1; step <= numTabs; ++step)
    {
        const int tab = ((from + (forward ? step : -step)) % numTabs + numTabs) % numTabs;

        if (tabButtons[(size_t) tab] != nullptr)
            return tab;
    }

    return from;
}

void PresetListContent::selectBank (int tab)
{
    setCurrentTab (tab);
    allItems = currentTab == 0;
    applySearch (searchText, colourFilterOn ? filterColour : 0);

    // Names that arrive while the user types a search leave the search field focused.
    if (cellList != nullptr && isShowing() && ! (searchField != nullptr && searchField->hasKeyboardFocus (true)))
        cellList->grabKeyboardFocus();
}

void PresetListContent::setBankButtonsEnabled (bool enabled)
{
    for (auto& button : tabButtons)
        if (button != nullptr)
        {
            button->setEnabled (enabled);
            button->setVisible (enabled);
        }
}

void PresetListContent::setControlsEnabled (bool enabled)
{
    forEachControl ([enabled] (juce::Component& c) { c.setEnabled (enabled); });
}

void PresetListContent::forEachControl (const std::function<void (juce::Component&)>& action)
{
    for (auto& button : tabButtons)
        if (button != nullptr)
            action (*button);

    for (juce::Component* c : { (juce::Component*) searchClear.get(), (juce::Component*) closeButton.get(),
                                (juce::Component*) pushpin.get(), (juce::Component*) searchField.get(),
                                (juce::Component*) saveButton.get(), (juce::Component*) cancelButton.get(),
                                (juce::Component*) cellList.get(), (juce::Component*) multiSelection.get(),
                                (juce::Component*) filterLabel.get() })
        if (c != nullptr)
            action (*c);
}

//==============================================================================
void PresetListContent::applySearch (const juce::String& text, juce::uint32 colour)
{
    int first = 0, count = items.size();

    if (! allItems)
    {
        auto bank = tabToBankIndex (currentTab);
        bank = bank == 0xFFFF ? 0 : bank;

        if (bankSizes.isEmpty())
        {
            first = bank * bankSizeWithoutSizes;
            count = bankSizeWithoutSizes;
        }
        else if (bank < bankSizes.size())
        {
            first = 0;

            for (int i = 0; i < bank; ++i)
                first += bankSizes[i];

            count = bankSizes[bank];
        }
        else
        {
            count = 0;
        }
    }

    const bool numbersToo = configuration == nullptr || configuration->SEARCH_NUMBER_AND_NAME;
    juce::Array<ScrollableListItem*> shown;

    for (int i = first; i < first + count && i < items.size(); ++i)
    {
        auto* item = items.getUnchecked (i);

        if (colour != 0 && itemColours[i] != colour)
            continue;

        if (text.isNotEmpty() && ! item->name.containsIgnoreCase (text)
            && ! (numbersToo && item->number.containsIgnoreCase (text)))
            continue;

        shown.add (item);
    }

    if (cellList != nullptr)
    {
        cellList->setItems (shown);
        cellList->highlightItemId (currentValue);

        if (auto* cell = cellList->findCellByItemId (currentValue))
            cellList->scrollCellIntoView (cell);
    }
}

void PresetListContent::setCurrentValue (int value)
{
    if (value < 0 || value >= items.size())
        return;

    currentValue = value;
    applySearch (searchText, colourFilterOn ? filterColour : 0);
}

juce::Array<int> PresetListContent::getShownItemIds() const
{
    juce::Array<int> ids;

    if (cellList != nullptr)
        for (int i = 0; i < cellList->getNumCells(); ++i)
            if (auto* cell = cellList->getCell (i); cell != nullptr && cell->hasText())
                ids.add (cell->itemId);

    return ids;
}

void PresetListContent::enterSearchText (const juce::String& text)
{
    searchText = text;

    if (text.isNotEmpty() && currentTab != 0)
        setCurrentTab (0), allItems = true;

    if (text.isNotEmpty())
        searchingEveryItem();

    applySearch (text, colourFilterOn ? filterColour : 0);

    if (searchClear != nullptr)
        searchClear->setVisible (true);
}

void PresetListContent::clearSearch()
{
    searchText.clear();

    if (searchField != nullptr)
        searchField->setText ({});

    applySearch ({}, colourFilterOn ? filterColour : 0);
}

//==============================================================================
void PresetListContent::pickCell (ScrollableListCell* cell, int reason)
{
    if (Clock::elapsedSince (openedAtMs) < pickGuardMs || cell == nullptr || ! cell->hasText())
        return;

    if (mode == saveTo && reason != 3)
        return;

    postPickResult (resultPicked, (juce::uint16) cell->itemId);

    if (cellList != nullptr)
        cellList->highlightItemId (cell->itemId);
}

void PresetListContent::pickFirstSelected (int reason)
{
    if (cellList != nullptr)
        pickCell (cellList->getFirstSelectedCell(), reason);
}

void PresetListContent::postPickResult (int code, juce::uint16 value)
{
    {
        const juce::ScopedLock sl (resultLock);
        resultCode = code;
        resultValue = value;
    }

    if (code == resultPicked)
        currentValue = value;

    // The opener reads the result at once and may close the window.
    sendSynchronousChangeMessage();
}

int PresetListContent::getPickResult (juce::uint16& value) const
{
    const juce::ScopedLock sl (resultLock);
    value = resultValue;
    return resultCode;
}

//==============================================================================
juce::Colour PresetListContent::swatchOf (juce::uint32 colourNumber) const
{
    if (colourNumber == 0 || depot == nullptr || (int) colourNumber >= depot->colouredItems.size())
        return juce::Colours::transparentBlack;

    return depot->colouredItems.getUnchecked ((int) colourNumber)->colour;
}

void PresetListContent::colourItemsFromAssignments()
{
    if (configuration == nullptr)
        return;

    for (int i = 0; i < items.size(); ++i)
    {
        auto* item = items.getUnchecked (i);
        const auto number =
            colourFilterOn ? configuration->colorAssignments.getColorOfName ((juce::uint32) colourKey, item->name) : 0u;
        itemColours.set (i, number);
        item->hasBackground = number != 0;
        item->background = swatchOf (number);
    }
}

void PresetListContent::setColorFilter (bool on, int key)
{
    const bool changed = on != colourFilterOn || key != colourKey;
    colourFilterOn = on;
    colourKey = key;
    filterColour = 0;

    for (juce::Component* c : { (juce::Component*) filterLabel.get(), (juce::Component*) multiSelection.get() })
        if (c != nullptr)
            c->setVisible (on), c->setEnabled (on);

    if (filterLabel != nullptr)
        filterLabel->setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);

    if (multiSelection != nullptr)
        multiSelection->setOn (false);

    colourItemsFromAssignments();

    if (changed)
        applySearch (searchText, 0);
}

void PresetListContent::setListLayout (int layoutMode, int count)
{
    if (cellList == nullptr)
        return;

    cellList->layoutMode = juce::jlimit (0, 2, layoutMode);
    cellList->fixedCount = juce::jmax (1, count);
    cellList->layoutCells();
}

namespace
{
// A menu entry drawn as one of the colour filter menu's swatches.
struct ColourMenuEntry : juce::PopupMenu::CustomComponent
{
    ColourMenuEntry (const ColoredMenuItem& source, int w, int h)
        : width (w)
        , height (h)
    {
        swatch.text = source.text;
        swatch.colour = source.colour;
        swatch.font = source.font;
        swatch.fontSize = source.fontSize;
        swatch.textColour = source.textColour;
        swatch.setInterceptsMouseClicks (false, false);
        addAndMakeVisible (swatch);
    }

    void getIdealSize (int& w, int& h) override
    {
        w = width > 0 ? width : 100;
        h = height > 0 ? height : 20;
    }

    void resized() override { swatch.setBounds (getLocalBounds()); }

    ColoredMenuItem swatch;
    int width, height;
};
} // namespace

void PresetListContent::showColorFilterMenu()
{
    if (depot == nullptr || depot->colouredItems.isEmpty())
        return;

    juce::PopupMenu menu;

    for (int i = 0; i < depot->colouredItems.size(); ++i)
        menu.addCustomItem (i + 1,
                            std::make_unique<ColourMenuEntry> (*depot->colouredItems.getUnchecked (i),
                                                               depot->colouredItemWidth, depot->colouredItemHeight),
                            nullptr, depot->colouredItems.getUnchecked (i)->text);

    std::weak_ptr<bool> living = alive;
    UserInteraction::showMenu (menu, juce::PopupMenu::Options().withTargetComponent (filterLabel.get()),
                               [this, living] (int result)
                               {
                                   if (! living.expired() && result > 0)
                                       chooseFilterColour ((juce::uint32) (result - 1));
                               });
}

void PresetListContent::chooseFilterColour (juce::uint32 colourNumber)
{
    filterColour = colourNumber;

    if (filterLabel != nullptr)
        filterLabel->setColour (juce::Label::backgroundColourId, swatchOf (colourNumber));

    applySearch (searchText, colourFilterOn ? filterColour : 0);
}

void PresetListContent::showAssignColorMenu()
{
    if (! colourFilterOn || depot == nullptr || depot->colouredItems.isEmpty())
        return;

    juce::PopupMenu colours;

    for (int i = 0; i < depot->colouredItems.size() && assignColourFirstId + i <= assignColourLastId; ++i)
        colours.addCustomItem (assignColourFirstId + i,
                               std::make_unique<ColourMenuEntry> (*depot->colouredItems.getUnchecked (i),
                                                                  depot->colouredItemWidth,
                                                                  depot->colouredItemHeight),
                               nullptr, depot->colouredItems.getUnchecked (i)->text);

    juce::PopupMenu menu;
    menu.addSubMenu ("Assign Color", colours);

    std::weak_ptr<bool> living = alive;
    // At the pointer, at the list's scale.
    UserInteraction::showMenu (menu,
                               juce::PopupMenu::Options().withTargetComponent (cellList.get()).withMousePosition(),
                               [this, living] (int result)
                               {
                                   if (! living.expired() && result >= assignColourFirstId
                                       && result <= assignColourLastId)
                                       assignColorToSelection ((juce::uint32) (result - assignColourFirstId));
                               });
}

void PresetListContent::assignColorToSelection (juce::uint32 colourNumber)
{
    if (cellList == nullptr)
        return;

    juce::Array<ScrollableListCell*> selected;
    cellList->getSelectedCells (selected);
    bool assignmentsChanged = false;

    for (auto* cell : selected)
    {
        const auto name = cell->getNameText();

        if (colourKey == cabColourKey && name == "EMPTY")
            continue;

        cell->hasBackground = colourNumber != 0;
        cell->background = swatchOf (colourNumber);
        cell->setSelected (false);
        cell->repaint();

        for (int i = 0; i < items.size(); ++i)
            if (items.getUnchecked (i)->itemId == cell->itemId)
            {
                itemColours.set (i, colourNumber);
                items.getUnchecked (i)->hasBackground = colourNumber != 0;
                items.getUnchecked (i)->background = swatchOf (colourNumber);
            }

        if (configuration != nullptr && name.isNotEmpty())
        {
            configuration->colorAssignments.findOrAddGroup ((juce::uint32) colourKey).assignColor (colourNumber, name);
            assignmentsChanged = true;
        }
    }

    // Kept at once: the user's colours must outlive a crash or a lost session.
    if (assignmentsChanged && ! configuration->saveColorAssignments())
        UserNotifier::warn ("Unable to save the colours given to the list's entries in\n"
                            + GlobalConfiguration::getColorAssignmentsFile().getFullPathName());
}

void PresetListContent::syncMultiSelection()
{
    if (! colourFilterOn || cellList == nullptr || pushpin == nullptr || multiSelection == nullptr)
        return;

    const bool on = multiSelection->isOn();
    cellList->multipleSelection = on;
    setPinned (on);
}

//==============================================================================
void PresetListContent::exportListItems()
{
    // The items as they are now: the window may close or change before the answer.
    auto snapshot = std::make_shared<juce::OwnedArray<ScrollableListItem>>();

    for (auto* item : items)
        snapshot->add (new ScrollableListItem (*item));

    chooseFileAndWriteItems (exportTitle,
                             configuration != nullptr ? juce::File (configuration->getMruDirectory()) : juce::File(),
                             std::move (snapshot), false);
}

void PresetListContent::chooseFileAndWriteItems (const juce::String& title, const juce::File& initial,
                                                 std::shared_ptr<const juce::OwnedArray<ScrollableListItem>> listItems,
                                                 bool appendTxt, std::function<void (const juce::File&)> onWritten)
{
    FileRequest request;
    request.mode = FileRequest::Mode::save;
    request.title = title;
    request.initial = initial;
    request.patterns = "*.txt";

    UserInteraction::chooseFile (request,
                                 [listItems, appendTxt, onWritten] (juce::File file)
                                 {
                                     if (file == juce::File())
                                         return;

                                     if (appendTxt && ! file.hasFileExtension ("txt"))
                                         file = file.withFileExtension (file.getFileExtension() + ".txt");

                                     const auto error = writeListItems (file, *listItems);

                                     if (error.isNotEmpty())
                                     {
                                         UserNotifier::warn ("Unable to export the list to\n" + file.getFullPathName()
                                                             + "\n\n" + error);
                                         return;
                                     }

                                     if (onWritten)
                                         onWritten (file);
                                 });
}

juce::String PresetListContent::writeListItems (const juce::File& file,
                                                const juce::OwnedArray<ScrollableListItem>& listItems)
{
    juce::String text;
    text.preallocateBytes (16384);

    for (auto* item : listItems)
        text << item->number << "," << item->name << "\n";

    // Written beside the target and then moved over it: a failed export leaves the old file as it was.
    return writeFileSafely (file, text);
}

//==============================================================================
void PresetListContent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    bool refocus = true;

    if (cellList != nullptr && source == cellList.get())
    {
        const auto code = cellList->getChangeCode();

        if (code == 1 || code == 2)
        {
            if (auto* cell = cellList->getFirstSelectedCell())
                pickCell (cell, cell->getChangeCode());
        }
        else if (code == 10)
        {
            showAssignColorMenu();
        }
    }
    else if (searchField != nullptr && source == static_cast<juce::ChangeBroadcaster*> (searchField.get()))
    {
        const auto code = searchField->getChangeCode();

        if (code == 10)
            enterSearchText (searchField->getText());
        else if (code != 1 && searchClear != nullptr)
            searchClear->setVisible (true);

        refocus = code != 1;
    }
    else if (pushpin != nullptr && source == static_cast<juce::ChangeBroadcaster*> (pushpin.get()))
    {
        if (pushpin->getChangeCode() != 1)
            pinned = pushpin->getToggleState();
    }
    else if (filterLabel != nullptr && source == static_cast<juce::ChangeBroadcaster*> (filterLabel.get()))
    {
        if (filterLabel->getChangeCode() == 1)
            showColorFilterMenu();
    }
    else if (multiSelection != nullptr && source == static_cast<juce::ChangeBroadcaster*> (multiSelection.get()))
    {
        if (multiSelection->getChangeCode() == 2)
            syncMultiSelection();
    }
    else
    {
        for (int i = 0; i < numTabs; ++i)
            if (auto* tab = tabButtons[(size_t) i].get(); tab != nullptr && source == static_cast<juce::ChangeBroadcaster*> (tab))
            {
                selectBank (i);
                break;
            }
    }

    if (refocus && cellList != nullptr && cellList->isShowing())
        cellList->grabKeyboardFocus();
}

void PresetListContent::buttonClicked (juce::Button* button)
{
    if (button == nullptr)
        return;

    if (button == closeButton.get() || button == cancelButton.get())
        postPickResult (resultClosed, 0);
    else if (button == saveButton.get())
        pickFirstSelected (3);
    else if (button == searchClear.get())
        clearSearch();
}

bool PresetListContent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        postPickResult (resultClosed, 0);
        return true;
    }

    if (key.getModifiers().isCtrlDown()
        && (key.getKeyCode() == juce::KeyPress::leftKey || key.getKeyCode() == juce::KeyPress::rightKey))
    {
        selectBank (stepBank (currentTab, key.getKeyCode() == juce::KeyPress::rightKey));
        return true;
    }

    if (key.getKeyCode() == juce::KeyPress::F3Key)
    {
        if (searchField != nullptr)
            searchField->showEditor();
        if (searchClear != nullptr)
            searchClear->setVisible (false);
        return true;
    }

    return false;
}

juce::Rectangle<int> PresetListContent::dialogBounds() const
{
    return mode == saveTo ? saveToDlgBounds : changeToDlgBounds;
}

void PresetListContent::mouseDown (const juce::MouseEvent& e)
{
    const auto point = e.getPosition();
    const auto mods = e.mods;

    if (titleBarBounds.contains (point) && mods.isShiftDown() && mods.isCtrlDown() && mods.isAltDown())
    {
        exportListItems();
        return;
    }

    if (! dialogBounds().isEmpty() && ! dialogBounds().contains (point))
        postPickResult (resultClosed, 0);
}

juce::Rectangle<int> PresetListContent::getStatusBarBounds (int forMode) const
{
    return forMode == saveTo ? saveToStatusBarBounds : juce::Rectangle<int>();
}

void PresetListContent::paint (juce::Graphics& g)
{
    const auto& background = mode == saveTo && saveToBackground.isValid() ? saveToBackground : changeToBackground;

    if (background.isValid())
        g.drawImage (background, getLocalBounds().toFloat());
    else
        g.fillAll (juce::Colour (0xF0202124));

    if (titleVisible && titleText.isNotEmpty())
    {
        g.setColour (titleColour);
        g.setFont (titleFont);
        g.drawText (titleText, titleBarBounds, juce::Justification::centredLeft, true);
    }
}

void PresetListContent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
}
