// Selection by mouse and keys, and the cells' codes.
#include "skin/lists/ZolScrollableListCtrl.h"

void ZolScrollableListCtrl::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    ScrollableListCell* cell = nullptr;
    for (auto* group : { &cells, &retired })
        for (auto& c : *group)
            if (c.get() == source)
                cell = c.get();
    if (cell == nullptr)
        return;

    // Every code the cell queued, in order; a code may rebuild the cells
    // (8) or reach the owner at once (a rename), so each step checks that
    // the cell and the list are still there. A press or click on a cell
    // that a rebuild replaced meanwhile (as a rename that shows waiting
    // items does) is one on the cell now showing the same entry.
    juce::Component::SafePointer<ScrollableListCell> safeCell (cell);
    juce::Component::SafePointer<ZolScrollableListCtrl> safeThis (this);
    int code = 0, argument = 0;

    while (safeThis != nullptr && safeCell != nullptr && safeCell->takeChangeCode (code, argument))
    {
        const bool replaced = getCellIndex (cell) < 0;
        if (replaced && (code == 4 || code == 5 || code == 8))
            continue;
        auto* target = replaced ? findSuccessor (cell) : cell;
        if (target == nullptr)
            continue;
        switch (code)
        {
            case 1: cellPressed (target, argument != 0); break;
            case 2: cellReleased (target, argument != 0); break;
            case 3: cellActivated (target); break;
            case 4: cellFilesDropped (target); break;
            case 5: cellRenamed (target); break;
            case 6: cellRightPressed (target); break;
            case 7: cellRightReleased (target); break;
            case 8: cellTextTooWide(); break;
            default: break;
        }
    }
}

void ZolScrollableListCtrl::cellPressed (ScrollableListCell* cell, bool onMarker)
{
    const int index = getCellIndex (cell);
    if (index < 0)
        return;
    currentIndex = index;
    const auto mods = juce::ModifierKeys::getCurrentModifiers();
    const bool shift = mods.isShiftDown(), ctrl = mods.isCtrlDown();

    if (! multipleSelection)
    {
        if (cell->isSelected())
            return;
        selectCell (index, true, true, false);
        selectionChangedByPress = true;
        postChangeCode (onMarker && markerPosts12 ? 12 : 1);
        return;
    }

    if (shift)
    {
        if (shiftAnchor >= (int) cells.size())
            shiftAnchor = 0;
        if (! ctrl)
            selectCell (-1, false, false, true);
        for (int i = juce::jmin (index, shiftAnchor); i <= juce::jmax (index, shiftAnchor); ++i)
            selectCell (i, true, false, true);
        selectionChangedByPress = true;
        return;
    }

    if (ctrl)
    {
        if (cell->isSelected())
            return;
        selectCell (index, true, false, true);
        selectionChangedByPress = true;
        shiftAnchor = index;
        return;
    }

    const int selectedCount = getNumSelectedCells();
    if (cell->isSelected() && selectedCount >= 2)
        return;
    if (cell->isSelected() && selectedCount == 1)
    {
        postChangeCode (1);
        return;
    }
    selectCell (-1, false, false, false);
    selectCell (index, true, false, true);
    selectionChangedByPress = true;
    shiftAnchor = index;
}

void ZolScrollableListCtrl::cellReleased (ScrollableListCell* cell, bool onMarker)
{
    const int index = getCellIndex (cell);
    if (index < 0)
        return;
    const auto mods = juce::ModifierKeys::getCurrentModifiers();

    if (multipleSelection && ! mods.isShiftDown())
    {
        const int selectedCount = getNumSelectedCells();
        if (mods.isCtrlDown())
        {
            if (cell->isSelected() && ! selectionChangedByPress)
                selectCell (index, false, false, true);
        }
        else if (onMarker && markerPosts12)
            postChangeCode (12);
        else if (selectedCount == 1 && cell->isSelected() && ! selectionChangedByPress && cell->renamable)
            postChangeCode (8);
        else if (selectedCount >= 2 && cell->isSelected())
        {
            selectCell (-1, false, false, false);
            selectCell (index, true, false, true);
            shiftAnchor = index;
        }
    }
    selectionChangedByPress = false;
}

void ZolScrollableListCtrl::cellRightPressed (ScrollableListCell* cell)
{
    const int index = getCellIndex (cell);
    if (index < 0)
        return;
    currentIndex = index;
    if (! cell->isSelected())
        selectCell (index, true, true, true);
}

void ZolScrollableListCtrl::cellRightReleased (ScrollableListCell*)
{
    postChangeCode (10);
}

void ZolScrollableListCtrl::cellActivated (ScrollableListCell*)
{
    postChangeCode (2);
}

void ZolScrollableListCtrl::cellRenamed (ScrollableListCell* cell)
{
    // Items given while the name was typed are shown before the owner reads
    // the new name, which they keep.
    if (itemsPending && getCellIndex (cell) >= 0)
        applyPendingItems (cell);
    postChangeCode (9);
}

void ZolScrollableListCtrl::focusGained (FocusChangeType cause)
{
    // The keyboard given back to the list (by its window, or as a rebuild
    // ends) goes on to a name being edited.
    if (cause == focusChangedDirectly)
        giveKeyboardToNameEditor();
}

bool ZolScrollableListCtrl::keyPressed (const juce::KeyPress& key)
{
    if (! isEnabled())
        return false;
    const bool ctrl = key.getModifiers().isCtrlDown();

    if (key.isKeyCode (juce::KeyPress::upKey) || key.isKeyCode (juce::KeyPress::downKey))
    {
        moveSelectionVertically (key.isKeyCode (juce::KeyPress::downKey));
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::leftKey) || key.isKeyCode (juce::KeyPress::rightKey))
    {
        if (ctrl)
            return false;
        moveSelectionHorizontally (key.isKeyCode (juce::KeyPress::rightKey));
        return true;
    }
    if (ctrl && (key.getKeyCode() == 'A' || key.getKeyCode() == 'a'))
    {
        if (! multipleSelection)
            return false;
        selectAllOccupied();
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::returnKey))
    {
        if (getNumSelectedCells() != 1)
            return false;
        cellActivated (getFirstSelectedCell());
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::spaceKey))
    {
        if (! spaceKeyPosts12 || getNumSelectedCells() == 0)
            return false;
        postChangeCode (12);
        return true;
    }
    return false;
}

void ZolScrollableListCtrl::moveSelectionHorizontally (bool forward)
{
    moveSelection (true, forward);
}

void ZolScrollableListCtrl::moveSelectionVertically (bool forward)
{
    moveSelection (false, forward);
}

void ZolScrollableListCtrl::moveSelection (bool horizontal, bool forward)
{
    int row = 0, column = 0;
    auto* first = getFirstSelectedCell();
    if (first != nullptr && first->hasText())
    {
        row = first->row;
        column = first->column;
        const int step = forward ? 1 : -1;
        if (horizontal)
            column += step;
        else
        {
            row += step;
            if (row >= rows)
                row = 0, ++column;
            else if (row < 0)
                row = rows - 1, --column;
        }
    }
    else
    {
        auto* start = getCell (juce::jmax (0, getHighlightedCellIndex()));
        if (start != nullptr)
            row = start->row, column = start->column;
    }
    column = juce::jlimit (0, juce::jmax (0, columns - 1), column);

    int index = -1;
    auto* target = getCellIndexAt (row, column, index) ? getCell (index) : nullptr;
    if (target == nullptr || ! target->hasText())
        return;
    currentIndex = index;
    selectCell (index, true, true, true);
    scrollCellIntoView (target);
}
