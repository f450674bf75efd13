#pragma once

#include "skin/lists/PickListPanel.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class BrakFxReadout;
class GlobalConfiguration;
class ImageDepot;
class ScrollableListCell;
class SkinManager;
class ZOLDrawableButton;
class ZOLLabelComponent;
class ZOLPaintedButton;
class ZOLToggleButton;
class ZolScrollableListCtrl;

// The large pick list drawn over the whole main window: a grid of cells, each
// an item's number and name, up to seven tabs that cut the list into banks, a
// search field, a colour filter with colour assignment, a pin, and Save and
// Cancel for the save mode. It is used to change preset, to choose where to
// save, to pick a preset out of a bank file and, borrowed by a large
// drop-down, to choose among long lists. It does not talk to the unit (the
// preset picker does).
//
// Colours: a colour is a position in the skin's colour filter menu (1 and up;
// 0 is none); items show that entry's swatch. Assignments are kept by item
// name in the configuration's colour assignments, one group per list kind's
// colour key, and saved at once.
class PresetListContent : public juce::Component,
                          public juce::ChangeListener,
                          public juce::ChangeBroadcaster,
                          public juce::Button::Listener,
                          public ZOLResizableComponent,
                          public PickListPanel
{
public:
    static constexpr juce::uint32 pickGuardMs = 500;
    static constexpr int bankSizeWithoutSizes = 128;
    static constexpr int assignColourFirstId = 1317;
    static constexpr int assignColourLastId = 1326;
    static constexpr int cabColourKey = 6;
    static constexpr const char* exportTitle = "Export List Items";
    static const char* const defaultTabLabels[numTabs];

    enum Mode
    {
        changeTo = 0,
        saveTo = 1,
        selectFromFile = 2
    };

    struct TabEntry
    {
        int sizeKind = 2;
        juce::String label;
    };

    // Any argument may be null; the window starts hidden.
    PresetListContent (const SkinManager* skin, GlobalConfiguration* configuration, ImageDepot* depot,
                       juce::Component* ownerWindow);
    ~PresetListContent() override;

    //==========================================================================
    // Opening and closing.

    void openWithItems (juce::ChangeListener* listener, const juce::OwnedArray<ScrollableListItem>& items,
                        int currentValue, int mode, int listKind, bool showCurrentBank,
                        const juce::Array<juce::uint16>& bankSizes) override;
    // One item per name: number text of the same index, the name less its
    // trailing white space, id = index, italic from the flags.
    virtual void openWithNames (juce::ChangeListener* listener, const juce::StringArray& numberTexts,
                                const juce::StringArray& names, int currentValue,
                                const juce::Array<juce::uint8>& italicFlags, int mode, int listKind,
                                bool showCurrentBank, const juce::Array<juce::uint16>& bankSizes);
    void close() override;
    bool isOpenFor (const juce::ChangeListener* listener) const override;

    virtual void loadFromSkin();
    // Shows a tab (0: every item) and searches it again.
    virtual void selectBank (int tab);

    void setColorFilter (bool on, int colourKey) override;
    void setListLayout (int layoutMode, int count) override;
    int getPickResult (juce::uint16& value) const override;
    bool isPinned() const override { return pinned; }
    void setPinned (bool shouldPin);

    // The save mode's status bar, where the progress of a save is shown.
    juce::Rectangle<int> getStatusBarBounds (int mode) const;

    void setControlsEnabled (bool enabled);
    void setBankButtonsEnabled (bool enabled);

    // PickListPanel
    juce::Component& getPanelComponent() override { return *this; }
    juce::ChangeBroadcaster& getPickBroadcaster() override { return *this; }
    void setTitleText (const juce::String& text) override { titleText = text; }
    void setTabEntry (int index, int sizeKind, const juce::String& label) override;
    juce::String getDefaultTabLabel (int index) const override;

    //==========================================================================
    // What the user does; the widgets call these, and so may tests.

    // The search text entered (an entered text on a bank tab searches every item).
    void enterSearchText (const juce::String& text);
    void clearSearch();
    juce::String getSearchText() const { return searchText; }
    void applySearch (const juce::String& text, juce::uint32 filterColour);

    // A cell was clicked (reason: its code) or Save pressed (reason 3).
    void pickCell (ScrollableListCell* cell, int reason);
    void pickFirstSelected (int reason);

    void showColorFilterMenu();
    void chooseFilterColour (juce::uint32 colourNumber);
    juce::uint32 getFilterColour() const { return filterColour; }
    void showAssignColorMenu();
    void assignColorToSelection (juce::uint32 colourNumber);
    void syncMultiSelection();

    // Asks for a file and writes the items to it.
    void exportListItems();
    // One line per item, "number,name", UTF-8; an error text, empty on success.
    static juce::String writeListItems (const juce::File& file, const juce::OwnedArray<ScrollableListItem>& items);
    // Asks where to save the items as a text file and writes them there, warning
    // when that fails. With appendTxt a chosen name without ".txt" gets it;
    // onWritten, when given, hears of each file written.
    static void chooseFileAndWriteItems (const juce::String& title, const juce::File& initial,
                                         std::shared_ptr<const juce::OwnedArray<ScrollableListItem>> items,
                                         bool appendTxt, std::function<void (const juce::File&)> onWritten = {});

    //==========================================================================
    // State, for the subclass and tests.

    int getMode() const { return mode; }
    int getListKind() const { return listKind; }
    int getCurrentTab() const { return currentTab; }
    // The id of the item marked as current.
    int getCurrentValue() const { return currentValue; }
    // Highlights another item (an id outside the items is ignored) and shows the tab again.
    void setCurrentValue (int value);
    int getColourKey() const { return colourKey; }
    bool isShowingAllItems() const { return allItems; }
    const juce::OwnedArray<ScrollableListItem>& getItems() const { return items; }
    const juce::Array<juce::uint16>& getBankSizes() const { return bankSizes; }
    const TabEntry& getTabEntry (int index) const { return tabs[(size_t) juce::jlimit (0, numTabs - 1, index)]; }
    const juce::String& getTitleText() const { return titleText; }
    bool isTitleVisible() const { return titleVisible; }
    bool isColourFilterOn() const { return colourFilterOn; }
    juce::uint32 getItemColour (int index) const { return itemColours[index]; }
    // The ids of the items the cells show, in order.
    juce::Array<int> getShownItemIds() const;

    ZolScrollableListCtrl* getCellList() const { return cellList.get(); }
    ZOLPaintedButton* getTabButton (int tab) const;
    ZOLDrawableButton* getSaveButton() const { return saveButton.get(); }
    ZOLDrawableButton* getCancelButton() const { return cancelButton.get(); }
    ZOLToggleButton* getPushpin() const { return pushpin.get(); }
    ZOLPaintedButton* getMultiSelectionButton() const { return multiSelection.get(); }
    ZOLLabelComponent* getFilterLabel() const { return filterLabel.get(); }
    BrakFxReadout* getSearchField() const { return searchField.get(); }

    int tabToBankIndex (int tab) const;
    int tabOfItemId (int id) const;
    // The next (or previous) tab that has a button, wrapping around.
    int stepBank (int from, bool forward) const;
    // The swatch of a colour number, transparent for 0 or an unknown one.
    juce::Colour swatchOf (juce::uint32 colourNumber) const;

    //==========================================================================
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void buttonClicked (juce::Button* button) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void applyScale (bool apply) override;

protected:
    // A search over every item starts; a list that reads its names on demand
    // reads the missing ones here.
    virtual void searchingEveryItem() {}
    void postPickResult (int code, juce::uint16 value);
    void setCurrentTab (int tab);
    void rebuildBankButtons();
    // Gives every item the colour its name carries in the filter key's group.
    void colourItemsFromAssignments();

    const SkinManager* skin;
    GlobalConfiguration* configuration;
    ImageDepot* depot;
    juce::Component* ownerWindow;

    juce::OwnedArray<ScrollableListItem> items;
    juce::Array<juce::uint32> itemColours; // colour number per item
    juce::Array<juce::uint16> bankSizes;

private:
    void forEachControl (const std::function<void (juce::Component&)>& action);
    juce::Rectangle<int> dialogBounds() const;

    // Skin geometry (unscaled).
    juce::Point<int> position;
    juce::Rectangle<int> changeToDlgBounds, saveToDlgBounds, saveToStatusBarBounds, viewportRect, titleBarBounds;
    juce::Image changeToBackground, saveToBackground;
    int cellHeight = 0, cellWidth = 0, columnSpacer = 0;
    juce::Font numberFont, nameFont, boldFont, italicFont, italicBoldFont, titleFont;
    float numbersFontSize = 12.0f, namesFontSize = 12.0f, titleFontSize = 14.0f;
    juce::Colour mouseOverColour{ 0xFF0000FF }, selectionColour{ 0xFFADD8E6 }, numbersColour{ 0xFF808080 },
        overlappingColour{ 0xFF800080 }, titleColour{ 0xFF000000 };
    std::array<std::unique_ptr<juce::XmlElement>, 3> tabStyles; // large, medium, small

    // Opening parameters.
    int mode = changeTo;
    int listKind = 0;
    bool showCurrentBank = false;
    juce::String titleText;
    bool titleVisible = true;

    int currentValue = 0;
    int currentTab = 0;
    bool allItems = true;
    std::array<TabEntry, numTabs> tabs;

    bool colourFilterOn = false;
    int colourKey = 0;
    juce::uint32 filterColour = 0;
    juce::String searchText;

    bool pinned = false;
    juce::uint32 openedAtMs = 0;
    const juce::ChangeListener* openListener = nullptr;

    mutable juce::CriticalSection resultLock;
    int resultCode = 0;
    juce::uint16 resultValue = 0;

    std::array<std::unique_ptr<ZOLPaintedButton>, numTabs> tabButtons;
    std::unique_ptr<ZOLDrawableButton> searchClear, closeButton, saveButton, cancelButton;
    std::unique_ptr<ZOLToggleButton> pushpin;
    std::unique_ptr<BrakFxReadout> searchField;
    std::unique_ptr<ZolScrollableListCtrl> cellList;
    std::unique_ptr<ZOLPaintedButton> multiSelection;
    std::unique_ptr<ZOLLabelComponent> filterLabel;

    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE (PresetListContent)
};
