#include "skin/lists/ZolScrollableListCtrl.h"

#include <algorithm>
#include <utility>

namespace
{
// Keeps owner-given sizes and counts within what can be laid out: a cell is
// at least one pixel, and no grid holds more than this many fixed columns or
// rows, so that a stray count cannot make millions of empty cells.
constexpr int maxCellSide = ZolScrollableListCtrl::maxCellWidth;
constexpr int maxFixedCount = 4096;
constexpr juce::int64 maxContentSide = 1 << 30;

std::unique_ptr<juce::Font> copyOf (const juce::Font* font, float height)
{
    return font != nullptr ? std::make_unique<juce::Font> (font->withHeight (height)) : nullptr;
}

float usableHeight (float height)
{
    return std::isfinite (height) && height > 0.0f ? juce::jmin (height, 1000.0f) : 12.0f;
}

int divideRoundingUp (int count, int by)
{
    return count / by + (count % by != 0 ? 1 : 0);
}
} // namespace

ZolScrollableListCtrl::ZolScrollableListCtrl (int x, int y, int width, int height)
    : content (std::make_unique<juce::Component>())
{
    auto bounds = juce::Rectangle<int> (x, y, juce::jmax (0, width), juce::jmax (0, height));
    setBounds (bounds);
    rememberUnscaledBounds (bounds);
    viewport.setViewedComponent (content.get(), false);
    viewport.setWantsKeyboardFocus (false);
    viewport.getHorizontalScrollBar().setWantsKeyboardFocus (false);
    viewport.getVerticalScrollBar().setWantsKeyboardFocus (false);
    viewport.setBounds (0, 0, bounds.getWidth(), bounds.getHeight());
    addAndMakeVisible (viewport);
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (true);
    editorOutlineColour = findColour (juce::Label::outlineColourId);
}

ZolScrollableListCtrl::~ZolScrollableListCtrl()
{
    for (auto& cell : cells)
        cell->removeChangeListener (this);
    for (auto& cell : retired)
        cell->removeChangeListener (this);
    viewport.setViewedComponent (nullptr, false);
    cells.clear();
    retired.clear();
}

void ZolScrollableListCtrl::setNumberFont (const juce::Font* font, juce::Colour colour, float height)
{
    numberHeight = usableHeight (height);
    if (font != nullptr)
        numberFont = copyOf (font, numberHeight);
    numberColour = colour;
    for (auto& cell : cells)
        cell->setNumberFont (numberFont.get(), numberColour, numberHeight);
}

void ZolScrollableListCtrl::setNameFonts (const juce::Font* normal, const juce::Font* bold, const juce::Font* italic,
                                          const juce::Font* italicBold, float height, juce::Colour colour)
{
    nameHeight = usableHeight (height);
    for (auto [given, kept] : { std::pair (normal, &nameFont), std::pair (bold, &boldFont),
                                std::pair (italic, &italicFont), std::pair (italicBold, &italicBoldFont) })
        if (given != nullptr)
            *kept = copyOf (given, nameHeight);
        else if (*kept != nullptr)
            *kept = copyOf (kept->get(), nameHeight);
    nameColour = colour;
    for (auto& cell : cells)
        cell->setNameFonts (nameFont.get(), boldFont.get(), italicFont.get(), italicBoldFont.get(), nameHeight,
                            nameColour);
}

void ZolScrollableListCtrl::setCellColours (juce::Colour mouseOver, juce::Colour selection, juce::Colour overlapping)
{
    mouseOverColour = mouseOver;
    selectionColour = selection;
    overlappingColour = overlapping;
    for (auto& cell : cells)
        cell->setCellColours (mouseOver, selection, overlapping);
}

void ZolScrollableListCtrl::setDragCursors (const juce::MouseCursor* move, const juce::MouseCursor* copy,
                                            const juce::MouseCursor* swap, const juce::MouseCursor* notAllowed)
{
    const juce::MouseCursor* given[] = { move, copy, swap, notAllowed };
    for (size_t i = 0; i < dragCursors.size(); ++i)
        dragCursors[i] = given[i] != nullptr ? std::make_unique<juce::MouseCursor> (*given[i]) : nullptr;
}

const juce::MouseCursor* ZolScrollableListCtrl::getDragCursor (int index) const
{
    return juce::isPositiveAndBelow (index, (int) dragCursors.size()) ? dragCursors[(size_t) index].get() : nullptr;
}

void ZolScrollableListCtrl::enableDragAndDrop (int, const juce::String& description, int)
{
    dragAndDropEnabled = true;
    dragDescription = description;
    useOwnDragContainer = false;
}

int ZolScrollableListCtrl::measureWidestText (const juce::Array<ScrollableListItem*>& items) const
{
    int widest = 0;
    for (auto* item : items)
        if (item != nullptr)
            widest = juce::jmax (widest, ScrollableListCell::measureText (numberFont.get(), nameFont.get(), nameHeight,
                                                                          item->number, item->name));
    return widest;
}

void ZolScrollableListCtrl::retireCells()
{
    // The keyboard moves to the list at once rather than from cell to cell
    // as they go (the framework would search every cell left for each one
    // removed). The list's own array is emptied first, so whatever the cells
    // are told on the way never meets one half taken out. The list still
    // hears them: a press one of them took just before goes to the cell that
    // takes its place.
    if (content->hasKeyboardFocus (true))
        grabKeyboardFocus();
    for (auto& cell : std::exchange (cells, {}))
    {
        content->removeChildComponent (cell.get());
        retired.push_back (std::move (cell));
    }

    // A cell may be the one whose message led here, so it is deleted only
    // once that message has been handled.
    std::weak_ptr<bool> weak = alive;
    juce::MessageManager::callAsync (
        [weak, this]
        {
            if (! weak.expired())
                clearRetiredCells();
        });
}

void ZolScrollableListCtrl::clearRetiredCells()
{
    for (auto& cell : retired)
        cell->removeChangeListener (this);
    retired.clear();
}

ScrollableListCell* ZolScrollableListCtrl::findSuccessor (const ScrollableListCell* retiredCell) const
{
    if (retiredCell == nullptr || retiredCell->itemId == noItemId)
        return nullptr;
    int index = -1;
    if (getCellIndexAt (retiredCell->row, retiredCell->column, index))
        if (auto* cell = getCell (index); cell != nullptr && cell->itemId == retiredCell->itemId)
            return cell;
    return findCellByItemId (retiredCell->itemId);
}

void ZolScrollableListCtrl::setItems (const juce::Array<ScrollableListItem*>& items)
{
    if (isAnyCellRenaming())
    {
        pendingItems.clear();
        for (auto* item : items)
            pendingItems.push_back (item != nullptr ? std::make_unique<ScrollableListItem> (*item) : nullptr);
        itemsPending = true;
        return;
    }

    pendingItems.clear();
    itemsPending = false;
    rebuildCells (items, true);
}

bool ZolScrollableListCtrl::isAnyCellRenaming() const
{
    return std::any_of (cells.begin(), cells.end(), [] (auto& cell) { return cell->isRenaming(); });
}

void ZolScrollableListCtrl::cellEditorClosed (ScrollableListCell* cell)
{
    if (! itemsPending || getCellIndex (cell) < 0)
        return;

    // A rename the cell queued reaches the owner first (it brings the
    // waiting items in itself).
    juce::Component::SafePointer<ZolScrollableListCtrl> safeThis (this);
    changeListenerCallback (cell);
    if (safeThis != nullptr && itemsPending && ! isAnyCellRenaming())
        applyPendingItems (nullptr);
}

bool ZolScrollableListCtrl::giveKeyboardToNameEditor()
{
    for (auto& cell : cells)
        if (auto* editor = cell->isEditingName() ? cell->getRenameLabel()->getCurrentTextEditor() : nullptr)
        {
            if (editor->isShowing() && ! editor->hasKeyboardFocus (false))
                editor->grabKeyboardFocus();
            return true;
        }
    return false;
}

void ZolScrollableListCtrl::applyPendingItems (const ScrollableListCell* renamed)
{
    auto waiting = std::exchange (pendingItems, {});
    itemsPending = false;

    if (renamed != nullptr)
        for (auto& item : waiting)
            if (item != nullptr && item->itemId == renamed->itemId)
                item->name = renamed->getNameText();

    std::vector<std::pair<bool, bool>> marks;
    for (auto& cell : cells)
        marks.emplace_back (cell->isSelected(), cell->highlighted);

    juce::Array<ScrollableListItem*> items;
    for (auto& item : waiting)
        items.add (item.get());
    // When the editing ended with a press elsewhere (a button, say), the
    // keyboard stays where that press put it: taking it would undo the press.
    rebuildCells (items, hasKeyboardFocus (true) || juce::Component::getCurrentlyFocusedComponent() == nullptr);

    for (size_t i = 0; i < marks.size() && i < cells.size(); ++i)
    {
        cells[i]->setSelected (marks[i].first);
        cells[i]->highlighted = marks[i].second;
    }
}

void ZolScrollableListCtrl::rebuildCells (const juce::Array<ScrollableListItem*>& items, bool takeKeyboard)
{
    retireCells();

    cellWidth = juce::jlimit (1, maxCellSide, juce::jmax (minCellWidth, measureWidestText (items)));
    cellHeight = juce::jlimit (1, maxCellSide,
                               juce::jmax (minCellHeight, juce::roundToInt (juce::jmax (numberHeight, nameHeight))));
    cellWidth = juce::jlimit (1, maxCellSide, cellWidth + juce::jlimit (0, maxCellSide, columnSpacer));

    computeGrid (cellWidth, cellHeight, items.size());

    cells.reserve ((size_t) rows * (size_t) columns);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
        {
            auto cell = std::make_unique<ScrollableListCell> (r, c);
            cell->setBounds (juce::Rectangle<int> (cellWidth, cellHeight).withPosition (cellOrigin (r, c)));
            cell->addChangeListener (this);
            cell->scaleFactor = scaleFactor;
            cell->applyScale (false);
            configureCell (*cell);
            content->addAndMakeVisible (*cell);
            cells.push_back (std::move (cell));
        }

    for (size_t i = 0; i < cells.size(); ++i)
    {
        auto& cell = *cells[i];
        auto* item = (int) i < items.size() ? items[(int) i] : nullptr;
        if (item == nullptr)
        {
            cell.itemId = noItemId;
            continue;
        }
        cell.setNumberAndName (item->number, item->name);
        cell.itemId = item->itemId;
        cell.setItalic (item->italic);
        cell.setTooltip (item->tooltip);
        cell.showMarker = item->showMarker;
        cell.dragEnabled = item->dragEnabled;
        cell.plainDropFlag = item->plainDropFlag;
        cell.shiftDropFlag = item->shiftDropFlag;
        cell.positionalDropFlag = item->positionalDropFlag;
        cell.showDropPosition = item->showDropPosition;
        cell.acceptsFiles = item->acceptsFiles;
        if (item->hasRenameSettings)
        {
            cell.renamable = item->renamable;
            cell.setNameRestrictions (item->maxNameLength, item->allowedNameCharacters);
        }
        if (item->hasBackground)
        {
            cell.hasBackground = true;
            cell.background = item->background;
        }
        cell.hasNumberBox = item->hasNumberBox;
        cell.numberBoxColour = item->numberBoxColour;
    }

    viewport.setViewPosition (0, 0);
    shiftAnchor = 0;
    selectionChangedByPress = false;
    if (takeKeyboard && isShowing())
        grabKeyboardFocus();
}

void ZolScrollableListCtrl::configureCell (ScrollableListCell& cell)
{
    cell.setMarkerImage (markerImage, columnSpacer);
    cell.setNumberFont (numberFont.get(), numberColour, numberHeight);
    cell.setNameFonts (nameFont.get(), boldFont.get(), italicFont.get(), italicBoldFont.get(), nameHeight, nameColour);
    cell.setCellColours (mouseOverColour, selectionColour, overlappingColour);
    cell.setEditorColours (backgroundColour, editorOutlineColour);
    cell.renamable = renamable;
    cell.setNameRestrictions (renameMaxLength, renameAllowedCharacters);
}

void ZolScrollableListCtrl::computeGrid (int width, int height, int count)
{
    width = juce::jmax (1, width);
    height = juce::jmax (1, height);
    count = juce::jmax (0, count);
    const int fixed = juce::jlimit (1, maxFixedCount, fixedCount);
    rows = columns = 0;

    switch (layoutMode)
    {
        case 0:
            rows = juce::jmax (1, juce::jmax (0, viewport.getHeight() - viewport.getScrollBarThickness()) / height);
            columns = divideRoundingUp (count, rows);
            break;
        case 1:
            columns = fixed;
            rows = divideRoundingUp (count, fixed);
            break;
        case 2:
            rows = fixed;
            columns = divideRoundingUp (count, fixed);
            break;
        default: break;
    }
    if (rows == 0 || columns == 0)
        rows = columns = 0;

    auto contentWidth = (int) juce::jmin (maxContentSide, (juce::int64) columns * width);
    auto contentHeight = (int) juce::jmin (maxContentSide, (juce::int64) rows * height);
    content->setBounds (0, 0, contentWidth, contentHeight);
    viewport.getHorizontalScrollBar().setWantsKeyboardFocus (false);
    viewport.getVerticalScrollBar().setWantsKeyboardFocus (false);
}

void ZolScrollableListCtrl::layoutCells()
{
    computeGrid (cellWidth, cellHeight, (int) cells.size());
    for (size_t i = 0; i < cells.size(); ++i)
    {
        auto& cell = *cells[i];
        cell.row = rows > 0 ? (int) i % rows : 0;
        cell.column = rows > 0 ? (int) i / rows : 0;
        cell.setTopLeftPosition (cellOrigin (cell.row, cell.column));
    }
}

juce::Point<int> ZolScrollableListCtrl::cellOrigin (int row, int column) const
{
    auto x = juce::jmin (maxContentSide, (juce::int64) cellWidth * column);
    auto y = juce::jmin (maxContentSide, (juce::int64) cellHeight * row + 1);
    return { (int) x, (int) y };
}

ScrollableListCell* ZolScrollableListCtrl::getCell (int index) const
{
    return juce::isPositiveAndBelow (index, (int) cells.size()) ? cells[(size_t) index].get() : nullptr;
}

bool ZolScrollableListCtrl::getCellIndexAt (int row, int column, int& index) const
{
    if (! juce::isPositiveAndBelow (row, rows) || ! juce::isPositiveAndBelow (column, columns))
        return false;
    index = column * rows + row;
    return true;
}

int ZolScrollableListCtrl::getCellIndex (const ScrollableListCell* cell) const
{
    int index = -1;
    if (cell == nullptr || ! getCellIndexAt (cell->row, cell->column, index) || getCell (index) != cell)
        return -1;
    return index;
}

ScrollableListCell* ZolScrollableListCtrl::findCellByItemId (int id) const
{
    for (auto& cell : cells)
        if (cell->itemId == id)
            return cell.get();
    return nullptr;
}

void ZolScrollableListCtrl::selectCell (int index, bool selected, bool exclusive, bool notify)
{
    if (index == -1)
        for (auto& cell : cells)
            cell->setSelected (selected);
    else if (auto* target = getCell (index))
    {
        target->setSelected (selected);
        if (exclusive)
            for (auto& cell : cells)
                if (cell.get() != target)
                    cell->setSelected (false);
    }
    if (notify)
        postChangeCode (11);
}

void ZolScrollableListCtrl::selectAllOccupied()
{
    for (auto& cell : cells)
        cell->setSelected (cell->hasText());
    postChangeCode (11);
}

void ZolScrollableListCtrl::invertSelection()
{
    for (auto& cell : cells)
        cell->setSelected (cell->hasText() && ! cell->isSelected());
}

ScrollableListCell* ZolScrollableListCtrl::getFirstSelectedCell() const
{
    for (auto& cell : cells)
        if (cell->isSelected())
            return cell.get();
    return nullptr;
}

int ZolScrollableListCtrl::getNumSelectedCells() const
{
    int count = 0;
    for (auto& cell : cells)
        count += cell->isSelected() ? 1 : 0;
    return count;
}

void ZolScrollableListCtrl::getSelectedCells (juce::Array<ScrollableListCell*>& out) const
{
    for (auto& cell : cells)
        if (cell->isSelected())
            out.add (cell.get());
}

void ZolScrollableListCtrl::highlightItemId (int id)
{
    highlightedItemId = id;
    ScrollableListCell* marked = nullptr;
    for (auto& cell : cells)
    {
        bool mark = marked == nullptr && cell->itemId == id;
        if (mark)
            marked = cell.get();
        cell->highlighted = mark;
        cell->repaint();
    }
    if (marked != nullptr)
        scrollCellIntoView (marked);
}

void ZolScrollableListCtrl::clearHighlight()
{
    for (auto& cell : cells)
    {
        cell->highlighted = false;
        cell->repaint();
    }
}

int ZolScrollableListCtrl::getHighlightedCellIndex() const
{
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i]->highlighted)
            return (int) i;
    return -1;
}

void ZolScrollableListCtrl::scrollCellIntoView (const ScrollableListCell* cell)
{
    if (cell == nullptr)
        return;
    auto cx = content->getX(), cy = content->getY();
    const auto bounds = cell->getBounds();
    const int vw = viewport.getViewWidth(), vh = viewport.getViewHeight();

    auto place = [] (int c, int start, int size, int visible)
    {
        int edge = c + start;
        if (edge < 0)
            return c - edge;
        if (edge + size > visible)
            return size > visible ? c - edge : c - (edge + size - visible);
        return c;
    };
    auto nx = place (cx, bounds.getX(), bounds.getWidth(), vw);
    auto ny = place (cy, bounds.getY(), bounds.getHeight(), vh);
    if (nx != cx || ny != cy)
        viewport.setViewPosition (-nx, -ny);
}

void ZolScrollableListCtrl::setViewPosition (int x, int y)
{
    viewport.setViewPosition (x, y);
}

int ZolScrollableListCtrl::getChangeCode() const
{
    const juce::ScopedLock sl (codeLock);
    return changeCode;
}

void ZolScrollableListCtrl::postChangeCode (int code)
{
    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
    }
    if (code == 9)
        sendSynchronousChangeMessage();
    else
        sendChangeMessage();
}

void ZolScrollableListCtrl::paint (juce::Graphics& g)
{
    if (backgroundFill)
        g.fillAll (backgroundColour);
}

void ZolScrollableListCtrl::resized()
{
    viewport.setBounds (0, 0, getWidth(), getHeight());
}

void ZolScrollableListCtrl::moved()
{
    viewport.setBounds (0, 0, getWidth(), getHeight());
}

void ZolScrollableListCtrl::enablementChanged()
{
    for (auto& cell : cells)
        cell->setEnabled (isEnabled());
}

void ZolScrollableListCtrl::applyScale (bool apply)
{
    applyCommonScale (*this, apply);
    for (auto& cell : cells)
    {
        cell->scaleFactor = scaleFactor;
        cell->applyScale (apply);
    }
}
