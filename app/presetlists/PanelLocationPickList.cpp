#include "app/presetlists/PanelLocationPickList.h"

namespace
{
constexpr int saveMode = 1;
constexpr int smallTabs = 2;
constexpr int layoutFitted = 0;
constexpr int layoutFixedColumns = 2;
} // namespace

PanelLocationPickList::~PanelLocationPickList()
{
    closeList();
}

void PanelLocationPickList::openForPick (const Request& request)
{
    auto* panel = getPanel();

    if (panel == nullptr)
        return;

    panel->setTitleText (request.title);

    for (int tab = 0; tab < PickListPanel::numTabs; ++tab)
        panel->setTabEntry (tab, smallTabs, tab == 0 ? panel->getDefaultTabLabel (0) : juce::String());

    panel->setListLayout (request.columnCount > 0 ? layoutFixedColumns : layoutFitted, request.columnCount);

    juce::OwnedArray<ScrollableListItem> items;
    for (const auto& item : request.items)
        items.add (new ScrollableListItem (item));

    panel->openWithItems (this, items, request.currentValue, saveMode, (int) request.kind, false, {});
}

int PanelLocationPickList::getPickResult (juce::uint16& value) const
{
    auto* panel = getPanel();
    return panel != nullptr ? panel->getPickResult (value) : 0;
}

void PanelLocationPickList::closeList()
{
    auto* panel = getPanel();

    if (panel == nullptr)
        return;

    if (panel->isOpenFor (this))
        panel->close();

    panel->getPickBroadcaster().removeChangeListener (this);
}
