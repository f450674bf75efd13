#include "skin/lists/DropDownLargeList.h"

#include "model/LanguageStore.h"

namespace
{
std::function<PickListPanel*()>& panelLocator()
{
    static std::function<PickListPanel*()> locator;
    return locator;
}
} // namespace

void DropDownLargeList::setPanelLocator (std::function<PickListPanel*()> locator)
{
    panelLocator() = std::move (locator);
}

DropDownLargeList::DropDownLargeList (const DropDownStyle& dropDownStyle, const juce::Font* label,
                                      const juce::Font* field, const juce::Font* italicField)
    : ZOLDropDownEx (dropDownStyle, label, field, italicField)
    , language (LanguageStore::getInstanceWithoutCreating())
{
    updateLayout();
}

DropDownLargeList::~DropDownLargeList()
{
    closeList();

    if (panelComponent != nullptr && panel != nullptr)
        panel->getPickBroadcaster().removeChangeListener (this);
}

PickListPanel* DropDownLargeList::getListPanel()
{
    // The panel may go before the drop-downs do (the window's panes are
    // deleted in turn); a gone panel is looked up afresh.
    if (panelComponent == nullptr)
        panel = nullptr;

    if (panel == nullptr && panelLocator())
    {
        panel = panelLocator()();
        panelComponent = panel != nullptr ? &panel->getPanelComponent() : nullptr;
    }

    return panel;
}

bool DropDownLargeList::ownsPanel()
{
    // Another drop-down may have taken the panel since this one opened it.
    if (listOpen && (getListPanel() == nullptr || ! panel->isOpenFor (this)))
        listOpen = false;

    return listOpen;
}

void DropDownLargeList::showMenu()
{
    juce::String title = getLabelText() + " : ";

    if (language != nullptr)
        title += language->getText (titleMessageId);

    if (items.size() < panelThreshold && ! juce::ModifierKeys::currentModifiers.isShiftDown())
    {
        ZOLDropDownEx::showMenu();
        return;
    }

    auto* list = getListPanel();

    if (list == nullptr)
    {
        ZOLDropDownEx::showMenu();
        return;
    }

    juce::OwnedArray<ScrollableListItem> entries;

    for (int i = 0; i < items.size(); ++i)
    {
        const auto& item = items.getReference (i);
        auto* entry = entries.add (new ScrollableListItem());
        entry->number = item.shortText;
        entry->name = item.text.trim();
        entry->itemId = i;
        entry->italic = item.italic;
    }

    list->setTitleText (title);
    list->setTabEntry (0, 2, list->getDefaultTabLabel (0));

    for (int tab = 1; tab < PickListPanel::numTabs; ++tab)
        list->setTabEntry (tab, 2, tab - 1 < (int) groupTitles.size() ? groupTitles[(size_t) (tab - 1)] : juce::String());

    list->setListLayout (0, 1);
    // A field that shows a value none of the choices has (the unit's own,
    // newer one) hands the list an id that no cell carries - neither a
    // choice nor the empty cells after them (-1) - so no cell is marked.
    const int current = selected >= 0 && selected < items.size() ? selected : noChoiceShown;
    list->openWithItems (this, entries, current, 0, listKind, showCurrentBank, bankSizes);
    list->setColorFilter (colourFilterOn, colourKey);
    listOpen = true;
}

bool DropDownLargeList::closeList()
{
    if (! ownsPanel())
        return false;

    listOpen = false;
    panel->close();
    return true;
}

void DropDownLargeList::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (panelComponent == nullptr || panel == nullptr || source != &panel->getPickBroadcaster() || ! ownsPanel())
        return;

    juce::uint16 value = 0;
    const auto result = panel->getPickResult (value);

    if (result == PickListPanel::resultPicked)
    {
        handleMenuResult ((int) value + 1);

        if (! panel->isPinned())
            closeList();
    }
    else if (result == PickListPanel::resultClosed)
    {
        closeList();
        postChangeCode (1);
    }
}
