#pragma once

#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ScrollableListItem.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>
#include <vector>

// The grid list of the preset lists, the librarian and the browsers: equal
// cells filled top to bottom, then left to right, in a scrolled view, with
// single or multiple selection, keyboard movement, a highlighted entry, drag
// and drop between cells and lists, file drops, in-place renaming and
// horizontal auto-scroll while dragging.
//
// The owner listens to it and reads getChangeCode: 1 selected, 2 activated,
// 3/4/5 a drag dropped on a cell (action 2 / 0 or 1 / 3), 6 files dropped on
// a cell, 7 files dropped beside the cells, 8 rename request, 9 renamed in
// place (delivered before postChangeCode returns), 10 right-click released,
// 11 selection changed, 12 Space or marker.
class ZolScrollableListCtrl : public juce::Component,
                              public ZOLResizableComponent,
                              public juce::ChangeListener,
                              public juce::ChangeBroadcaster,
                              public juce::DragAndDropContainer,
                              public juce::FileDragAndDropTarget
{
public:
    ZolScrollableListCtrl (int x, int y, int width, int height);
    ~ZolScrollableListCtrl() override;

    // Layout: 0 rows fit the height (scrolls sideways), 1 fixed columns,
    // 2 fixed rows; fixedCount is the number of those columns or rows.
    int layoutMode = 0;
    int fixedCount = 1;
    int minCellWidth = 0, minCellHeight = 0;
    int columnSpacer = 0;
    juce::Image markerImage;
    bool backgroundFill = false;
    juce::Colour backgroundColour{ 0xFFFFFFFF };
    juce::Colour editorOutlineColour;

    bool dragAndDropEnabled = false;
    bool useOwnDragContainer = false;
    bool multipleSelection = false;
    bool autoScrollOnDrag = false;
    bool growCellsToFitText = false;
    bool renamable = false;
    bool spaceKeyPosts12 = true;
    bool markerPosts12 = false;
    int renameMaxLength = 0;
    juce::String renameAllowedCharacters;

    juce::String dragDescription;
    juce::StringArray acceptedDragDescriptions;

    void setNumberFont (const juce::Font* font, juce::Colour colour, float height);
    void setNameFonts (const juce::Font* normal, const juce::Font* bold, const juce::Font* italic,
                       const juce::Font* italicBold, float height, juce::Colour colour);
    void setCellColours (juce::Colour mouseOver, juce::Colour selection, juce::Colour overlapping);
    void setDragCursors (const juce::MouseCursor* move, const juce::MouseCursor* copy, const juce::MouseCursor* swap,
                         const juce::MouseCursor* notAllowed);
    const juce::MouseCursor* getDragCursor (int index) const;
    void enableDragAndDrop (int unused1, const juce::String& description, int unused2);

    // Rebuilds every cell from the items (the owner keeps the records).
    // While a name is being edited in a cell the list keeps a copy of them
    // and rebuilds once the editor has closed, so that nothing typed is lost:
    // a name accepted there wins over the one the items give its entry. The
    // selection and highlight then stay on the same cells.
    void setItems (const juce::Array<ScrollableListItem*>& items);
    // A cell's name editor has closed: its rename, if any, is taken first,
    // then items that waited for it are shown.
    void cellEditorClosed (ScrollableListCell* cell);
    // Gives the keyboard to a cell's name editor that is open; false when
    // none is. While one is open, the keyboard given back to the list or to
    // one of its cells (by the window, or by the program) goes on to it.
    bool giveKeyboardToNameEditor();
    void layoutCells();
    int measureWidestText (const juce::Array<ScrollableListItem*>& items) const;

    int getNumCells() const { return (int) cells.size(); }
    ScrollableListCell* getCell (int index) const;
    bool getCellIndexAt (int row, int column, int& index) const;
    int getCellIndex (const ScrollableListCell* cell) const;
    // The item id of the empty cells beyond the items.
    static constexpr int noItemId = -1;
    // The first cell in index order with that item id (an empty cell for noItemId), or null.
    ScrollableListCell* findCellByItemId (int id) const;
    int getNumRows() const { return rows; }
    int getNumColumns() const { return columns; }
    int getCellWidth() const { return cellWidth; }
    int getCellHeight() const { return cellHeight; }

    void selectCell (int index, bool selected, bool exclusive, bool notify);
    void selectAllOccupied();
    void invertSelection();
    ScrollableListCell* getFirstSelectedCell() const;
    // The cell the user last pressed, with either button, or moved the
    // selection to with the keys (the same place after a rebuild); null
    // when there is none.
    ScrollableListCell* getCurrentCell() const { return getCell (currentIndex); }
    int getNumSelectedCells() const;
    void getSelectedCells (juce::Array<ScrollableListCell*>& out) const;

    void highlightItemId (int id);
    void clearHighlight();
    int getHighlightedCellIndex() const;
    int getHighlightedItemId() const { return highlightedItemId; }

    void scrollCellIntoView (const ScrollableListCell* cell);
    void setViewPosition (int x, int y);
    juce::Viewport& getViewport() { return viewport; }

    // The drop record.
    bool getInternalDropInfo (juce::Array<int>& indices, int& target) const;
    bool lastDropWasInternal() const { return dropInternal; }
    int getDropZone() const { return dropTargetZone; }
    int getDropTargetIndex() const { return dropTarget; }
    juce::Component* getExternalDragSource() const { return externalSource.getComponent(); }
    const juce::StringArray& getDroppedFiles() const { return droppedFiles; }

    // The container this list's drags run in.
    juce::DragAndDropContainer* getDragContainer();

    int getChangeCode() const;
    void postChangeCode (int code);

    // Hooks the cells call on their list.
    virtual void autoScrollForDrag (ScrollableListCell* cell, juce::Point<int> point, bool fast);
    virtual void markDropRange (ScrollableListCell* cell, int count, bool on);
    virtual bool startDrag (ScrollableListCell* cell);
    virtual void itemDroppedOnCell (ScrollableListCell* target, juce::Component* source, int action, int zone);
    virtual void cellMouseEnter (ScrollableListCell*) {}
    virtual void cellMouseExit (ScrollableListCell*) {}
    virtual void moveSelectionHorizontally (bool forward);
    virtual void moveSelectionVertically (bool forward);
    virtual void cellPressed (ScrollableListCell* cell, bool onMarker);
    virtual void cellReleased (ScrollableListCell* cell, bool onMarker);
    virtual void cellFilesDropped (ScrollableListCell* cell);
    virtual void cellRenamed (ScrollableListCell* cell);
    virtual void cellRightPressed (ScrollableListCell* cell);
    virtual void cellRightReleased (ScrollableListCell* cell);
    virtual void cellActivated (ScrollableListCell* cell);
    virtual void cellTextTooWide();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void moved() override;
    void enablementChanged() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void applyScale (bool apply) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    // The widest a cell is made, however long its text.
    static constexpr int maxCellWidth = 100000;

    // Cells replaced by setItems that have not been deleted yet (they are
    // deleted once the current message has been handled, as one of them may
    // be the caller). A press or click a retired cell took before it went
    // reaches the cell that took its place.
    int getNumRetiredCells() const { return (int) retired.size(); }

protected:
    bool shouldDropFilesWhenDraggedExternally (const juce::DragAndDropTarget::SourceDetails&, juce::StringArray&,
                                               bool&) override
    {
        return false;
    }

private:
    void rebuildCells (const juce::Array<ScrollableListItem*>& items, bool takeKeyboard);
    bool isAnyCellRenaming() const;
    // Shows the items that waited, with the name accepted in the renamed cell
    // (if given) kept for its entry.
    void applyPendingItems (const ScrollableListCell* renamed);
    void computeGrid (int width, int height, int count);
    // Where the cell of (row, column) sits in the content.
    juce::Point<int> cellOrigin (int row, int column) const;
    void configureCell (ScrollableListCell& cell);
    void retireCells();
    // The cell given the place of a retired one (the same entry), or null.
    ScrollableListCell* findSuccessor (const ScrollableListCell* retiredCell) const;
    void clearRetiredCells();
    void clearDropMarks();
    void moveSelection (bool horizontal, bool forward);

    // The view leaves the arrow keys to the list: they move the selection
    // (and scroll to it) rather than scroll the view alone.
    struct ListViewport : juce::Viewport
    {
        bool keyPressed (const juce::KeyPress&) override { return false; }
    };

    ListViewport viewport;
    std::unique_ptr<juce::Component> content;
    std::vector<std::unique_ptr<ScrollableListCell>> cells;
    std::vector<std::unique_ptr<ScrollableListCell>> retired;
    // Copies of the items given while a name was edited (null entries kept).
    std::vector<std::unique_ptr<ScrollableListItem>> pendingItems;
    bool itemsPending = false;

    int cellWidth = 0, cellHeight = 0, rows = 0, columns = 0;
    std::unique_ptr<juce::Font> numberFont, nameFont, boldFont, italicFont, italicBoldFont;
    float numberHeight = 12.0f, nameHeight = 12.0f;
    juce::Colour numberColour{ 0xFF000000 }, nameColour{ 0xFF000000 };
    juce::Colour mouseOverColour{ 0xFFADD8E6 }, selectionColour{ 0xFF00008B }, overlappingColour{ 0xFFEE82EE };
    std::array<std::unique_ptr<juce::MouseCursor>, 4> dragCursors;

    int highlightedItemId = 0;
    int currentIndex = -1;
    int shiftAnchor = 0;
    bool selectionChangedByPress = false;

    bool dropInternal = true;
    juce::Array<int> draggedIndices;
    juce::Component::SafePointer<juce::Component> externalSource;
    int dropTarget = -1;
    int dropTargetZone = 0;
    juce::StringArray droppedFiles;

    int changeCode = 0;
    juce::CriticalSection codeLock;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
};
