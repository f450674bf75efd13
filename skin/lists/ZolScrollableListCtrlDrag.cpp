// Dragging cells, drops on cells and files dropped on the list.
#include "skin/lists/ZolScrollableListCtrl.h"

juce::DragAndDropContainer* ZolScrollableListCtrl::getDragContainer()
{
    if (useOwnDragContainer)
        return this;
    if (auto* enclosing = juce::DragAndDropContainer::findParentDragContainerFor (this))
        return enclosing;
    return this;
}

bool ZolScrollableListCtrl::startDrag (ScrollableListCell* cell)
{
    if (! dragAndDropEnabled)
        return false;
    draggedIndices.clearQuick();
    dropTarget = -1;
    externalSource = nullptr;
    dropTargetZone = 0;
    dropInternal = true;

    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i]->isSelected())
            draggedIndices.add ((int) i);
    if (draggedIndices.isEmpty())
        return true;

    juce::ignoreUnused (cell);
    auto* source = getCell (draggedIndices.getFirst());
    // A drag needs a mouse that is being dragged; without one there is
    // nothing to start.
    if (juce::Desktop::getInstance().getDraggingMouseSource (0) == nullptr)
        return true;
    getDragContainer()->startDragging (dragDescription, source, juce::ScaledImage(), false);
    return true;
}

void ZolScrollableListCtrl::markDropRange (ScrollableListCell* cell, int count, bool on)
{
    if (cell == nullptr)
        return;
    if (! on)
    {
        clearDropMarks();
        return;
    }
    if (count < 2)
        return;
    const int start = getCellIndex (cell);
    if (start < 0)
        return;
    const juce::int64 end = (juce::int64) start + count - 1;
    if (end >= (juce::int64) cells.size())
        return;
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i]->setDropMark ((int) i >= start && (juce::int64) i <= end);
}

void ZolScrollableListCtrl::clearDropMarks()
{
    for (auto& c : cells)
        c->setDropMark (false);
}

void ZolScrollableListCtrl::autoScrollForDrag (ScrollableListCell* cell, juce::Point<int> point, bool fast)
{
    if (! autoScrollOnDrag || cell == nullptr || content == nullptr)
        return;
    const int zone = juce::roundToInt (20.0 * getUsableScale());
    int step = content->getWidth() / 100;
    if (step == 0)
        step = 10;
    if (fast)
        step *= 4;

    auto p = viewport.getLocalPoint (cell, point);
    int x = 0;
    if (p.x < zone)
        x = content->getX() + step;
    else if (p.x >= viewport.getWidth() - zone)
        x = content->getX() - step;
    else
        return;

    const int newX = x < 1 ? juce::jmax (x, viewport.getWidth() - content->getWidth()) : 0;
    viewport.setViewPosition (-newX, -content->getY());
}

void ZolScrollableListCtrl::itemDroppedOnCell (ScrollableListCell* target, juce::Component* source, int action,
                                               int zone)
{
    if (! dragAndDropEnabled || target == nullptr || source == nullptr)
        return;
    const int index = getCellIndex (target);
    if (index < 0)
        return;
    dropTarget = index;

    auto* sourceCell = dynamic_cast<ScrollableListCell*> (source);
    dropInternal = sourceCell != nullptr && findParentScrollableListCtrl (sourceCell) == this;
    if (! dropInternal)
    {
        draggedIndices.clearQuick();
        externalSource = source;
    }
    else
        dropTargetZone = zone;

    postChangeCode (action == 2 ? 3 : action == 3 ? 5 : 4);
    clearDropMarks();
}

bool ZolScrollableListCtrl::getInternalDropInfo (juce::Array<int>& indices, int& target) const
{
    if (! dragAndDropEnabled || ! dropInternal || dropTarget == -1)
        return false;
    indices = draggedIndices;
    target = dropTarget;
    return true;
}

void ZolScrollableListCtrl::cellFilesDropped (ScrollableListCell* cell)
{
    if (! dragAndDropEnabled)
        return;
    dropTarget = getCellIndex (cell);
    postChangeCode (6);
    clearDropMarks();
}

bool ZolScrollableListCtrl::isInterestedInFileDrag (const juce::StringArray& files)
{
    return dragAndDropEnabled && isEnabled() && ! files.isEmpty();
}

void ZolScrollableListCtrl::filesDropped (const juce::StringArray& files, int, int)
{
    if (files.isEmpty())
        return;
    droppedFiles = files;
    dropTarget = -1;
    externalSource = nullptr;
    postChangeCode (7);
}

void ZolScrollableListCtrl::cellTextTooWide()
{
    // Cells already as wide as a cell may be cannot grow: rebuilding would
    // only report the same text again.
    if (! growCellsToFitText || cellWidth >= maxCellWidth)
        return;
    auto* firstSelected = getFirstSelectedCell();
    const int selectedIndex = getCellIndex (firstSelected);

    std::vector<ScrollableListItem> records (cells.size());
    juce::Array<ScrollableListItem*> items;
    for (size_t i = 0; i < cells.size(); ++i)
    {
        cells[i]->getItemInfo (records[i]);
        items.add (&records[i]);
    }
    setItems (items);

    if (selectedIndex >= 0)
    {
        selectCell (selectedIndex, true, true, false);
        scrollCellIntoView (getFirstSelectedCell());
    }
}
