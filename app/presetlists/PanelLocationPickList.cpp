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
    auto* livePanel = getPanel();

    if (livePanel == nullptr)
        return;

    livePanel->setTitleText (request.title);

    for (int tab = 0; tab < PickListPanel::numTabs; ++tab)
        livePanel->setTabEntry (tab, smallTabs, tab == 0 ? livePanel->getDefaultTabLabel (0) : juce::String());

    livePanel->setListLayout (request.columnCount > 0 ? layoutFixedColumns : layoutFitted, request.columnCount);

    juce::OwnedArray<ScrollableListItem> items;
    for (const auto& item : request.items)
        items.add (new ScrollableListItem (item));

    livePanel->openWithItems (this, items, request.currentValue, saveMode, (int) request.kind, false, {});
}

int PanelLocationPickList::getPickResult (juce::uint16& value) const
{
    auto* livePanel = getPanel();
    return livePanel != nullptr ? livePanel->getPickResult (value) : 0;
}

void PanelLocationPickList::closeList()
{
    auto* livePanel = getPanel();

    if (livePanel == nullptr)
        return;

    if (livePanel->isOpenFor (this))
        livePanel->close();

    livePanel->getPickBroadcaster().removeChangeListener (this);
}
