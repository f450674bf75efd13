#include "support/WidgetTestKit.h"

#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/RecordingNotifier.h"

#include <deque>
#include <functional>
#include <vector>

using namespace WidgetTestKit;

namespace
{
// A list of n numbered presets in a 300 x 120 view with 20-pixel rows.
struct ListFixture
{
    explicit ListFixture (int n, int mode = 2, int fixed = 4)
    {
        list.layoutMode = mode;
        list.fixedCount = fixed;
        list.minCellWidth = 80;
        list.minCellHeight = 20;
        fill (n);
        list.addChangeListener (&recorder);
    }

    void fill (int n)
    {
        records.clear();
        juce::Array<ScrollableListItem*> items;
        for (int i = 0; i < n; ++i)
        {
            auto& r = records.emplace_back();
            r.number = juce::String (i + 1);
            r.name = "Preset " + juce::String (i + 1);
            r.itemId = 100 + i;
            items.add (&r);
        }
        list.setItems (items);
    }

    ScrollableListCell& cell (int i) { return *list.getCell (i); }

    // A press and release as the user makes them, each delivered to the list.
    void press (int i, int mods = 0, int clicks = 1)
    {
        HeldKeys held (mods);
        cell (i).mouseDown (mouse (cell (i), { 30, 10 }, juce::ModifierKeys (mods), clicks));
        cell (i).dispatchPendingMessages();
    }
    void release (int i, int mods = 0, int clicks = 1)
    {
        HeldKeys held (mods);
        cell (i).mouseUp (mouse (cell (i), { 30, 10 }, juce::ModifierKeys (mods), clicks));
        cell (i).dispatchPendingMessages();
    }
    void click (int i, int mods = 0)
    {
        press (i, mods);
        release (i, mods);
    }

    std::vector<int> selected()
    {
        std::vector<int> out;
        for (int i = 0; i < list.getNumCells(); ++i)
            if (cell (i).isSelected())
                out.push_back (i);
        return out;
    }

    int lastCode()
    {
        list.dispatchPendingMessages();
        return recorder.last;
    }

    struct Recorder : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster* source) override
        {
            last = static_cast<ZolScrollableListCtrl*> (source)->getChangeCode();
            ++count;
        }
        int last = 0, count = 0;
    } recorder;

    std::deque<ScrollableListItem> records;
    ZolScrollableListCtrl list{ 0, 0, 300, 120 };
};

bool key (ZolScrollableListCtrl& list, int code, int mods = 0)
{
    return list.keyPressed (juce::KeyPress (code, juce::ModifierKeys (mods), 0));
}
} // namespace

TEST (ScrollableList, GridFillsColumnsTopToBottomWhateverTheCounts)
{
    ListFixture f (10);
    EXPECT_EQ (f.list.getNumRows(), 4);
    EXPECT_EQ (f.list.getNumColumns(), 3);
    ASSERT_EQ (f.list.getNumCells(), 12);
    EXPECT_EQ (f.cell (5).row, 1);
    EXPECT_EQ (f.cell (5).column, 1);
    EXPECT_EQ (f.cell (5).getY(), 21);
    EXPECT_EQ (f.cell (10).itemId, -1);
    EXPECT_EQ (f.cell (11).itemId, -1);
    EXPECT_FALSE (f.cell (11).hasText());
    int index = -1;
    EXPECT_FALSE (f.list.getCellIndexAt (4, 0, index));
    EXPECT_TRUE (f.list.getCellIndexAt (3, 2, index));
    EXPECT_EQ (index, 11);
    EXPECT_EQ (f.list.getCell (12), nullptr);
    EXPECT_EQ (f.list.findCellByItemId (103), &f.cell (3));
    // The empty cells carry -1 and are found and marked by it like any other id.
    EXPECT_EQ (f.list.findCellByItemId (-1), &f.cell (10));
    f.list.highlightItemId (-1);
    EXPECT_EQ (f.list.getHighlightedCellIndex(), 10);

    // A fixed count of 0 (or far too many) never divides by zero or floods
    // the list with empty cells; a view lower than a cell still has a row.
    for (int mode : { 1, 2 })
        for (int fixed : { 0, -5, 1 << 30 })
        {
            f.list.layoutMode = mode;
            f.list.fixedCount = fixed;
            f.fill (10);
            EXPECT_GE (f.list.getNumCells(), 10);
            EXPECT_LE (f.list.getNumCells(), 4096);
        }
    f.list.layoutMode = 0;
    f.list.setSize (300, 5);
    f.fill (3);
    EXPECT_EQ (f.list.getNumRows(), 1);
    EXPECT_EQ (f.list.getNumColumns(), 3);

    // No items: no cells, and keys, drops and selection calls change nothing.
    f.fill (0);
    EXPECT_EQ (f.list.getNumCells(), 0);
    f.list.selectCell (3, true, true, false);
    f.list.highlightItemId (100);
    EXPECT_TRUE (key (f.list, juce::KeyPress::downKey));
    EXPECT_FALSE (key (f.list, juce::KeyPress::returnKey));
    f.list.markDropRange (nullptr, 3, true);
    EXPECT_EQ (f.list.getFirstSelectedCell(), nullptr);
    EXPECT_EQ (f.list.getHighlightedCellIndex(), -1);
}

TEST (ScrollableList, WidestNameWidensEveryCell)
{
    ListFixture f (0);
    juce::Font font (14.0f);
    f.list.setNumberFont (&font, juce::Colours::white, 14.0f);
    f.list.setNameFonts (&font, nullptr, nullptr, nullptr, 14.0f, juce::Colours::white);
    f.list.columnSpacer = 12;
    ScrollableListItem a, b;
    a.number = "1";
    a.name = "A";
    b.number = "512";
    b.name = juce::String::repeatedString ("Very long preset name ", 4) +
             juce::String (juce::CharPointer_UTF8 ("\xc3\xa9\xe2\x82\xac"));
    f.list.setItems ({ &a, &b });
    auto expected = juce::roundToInt (font.getStringWidthFloat ("512")) +
                    juce::roundToInt (font.getStringWidthFloat (b.name + "W")) + 12;
    EXPECT_EQ (f.list.getCellWidth(), expected);
    EXPECT_EQ (f.cell (0).getWidth(), expected);
}

TEST (ScrollableList, MultipleSelectionByMouse)
{
    ListFixture f (10);
    f.list.multipleSelection = true;
    auto shift = juce::ModifierKeys::shiftModifier, ctrl = juce::ModifierKeys::ctrlModifier;

    f.click (2);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 2 }));
    EXPECT_EQ (f.lastCode(), 11);
    f.press (2); // the only selected cell again
    EXPECT_EQ (f.lastCode(), 1);
    f.release (2);

    f.click (5, shift);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 2, 3, 4, 5 }));
    f.click (4, ctrl); // a selected cell untouched by this press is dropped
    EXPECT_EQ (f.selected(), std::vector<int> ({ 2, 3, 5 }));
    f.click (8, ctrl);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 2, 3, 5, 8 }));
    f.click (3); // one of several: the release makes it the only one
    EXPECT_EQ (f.selected(), std::vector<int> ({ 3 }));

    // After the list shrank below the anchor, Shift selects from cell 0,
    // empty cells included.
    f.click (9);
    f.fill (6);
    f.click (5, shift);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 0, 1, 2, 3, 4, 5 }));

    // A release on the only selected, renamable cell asks for a rename.
    f.click (1);
    f.cell (1).renamable = true;
    f.press (1);
    f.release (1);
    EXPECT_EQ (f.lastCode(), 8);

    // Empty cells and the right button: 10 on release, never a selection of an empty cell.
    f.click (7);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 1 }));
    f.press (3, juce::ModifierKeys::rightButtonModifier);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 3 }));
    f.release (3, juce::ModifierKeys::rightButtonModifier);
    EXPECT_EQ (f.lastCode(), 10);
}

TEST (ScrollableList, SingleSelectionAndTheMarker)
{
    ListFixture f (6);
    f.click (2);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 2 }));
    EXPECT_EQ (f.lastCode(), 1); // single selection reports the press, not a change
    f.click (4, juce::ModifierKeys::shiftModifier);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 4 }));
    f.click (1, juce::ModifierKeys::ctrlModifier);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 1 }));

    f.list.markerImage = solid (8, 8, accent);
    f.list.columnSpacer = 12;
    f.list.markerPosts12 = true;
    f.fill (6);
    HeldKeys none (0);
    f.cell (3).mouseDown (mouse (f.cell (3), { 3, 10 }));
    f.cell (3).dispatchPendingMessages();
    EXPECT_EQ (f.lastCode(), 12);
    EXPECT_EQ (f.selected(), std::vector<int> ({ 3 }));
}

TEST (ScrollableList, CellCodesOfClicksAndTheMarker)
{
    ListFixture f (4);
    f.list.markerImage = solid (8, 8, accent);
    f.list.columnSpacer = 12;
    f.fill (4);
    auto& c = f.cell (1);
    int arg = -1;
    c.mouseDown (mouse (c, { 40, 10 }));
    EXPECT_EQ (c.getChangeCode (&arg), 1);
    c.mouseUp (mouse (c, { 40, 10 }));
    EXPECT_EQ (c.getChangeCode(), 2);
    c.mouseDown (mouse (c, { 40, 10 }, {}, 2));
    EXPECT_EQ (c.getChangeCode(), 3);
    c.mouseUp (mouse (c, { 40, 10 }, {}, 2));
    EXPECT_EQ (c.getChangeCode(), 3);
    c.mouseDown (mouse (c, { 4, 10 }));
    EXPECT_EQ (c.getChangeCode (&arg), 1);
    EXPECT_EQ (arg, 1); // on the marker strip

    // Without a marker image the strip is not a marker.
    f.list.markerImage = {};
    f.fill (4);
    f.cell (1).mouseDown (mouse (f.cell (1), { 4, 10 }));
    EXPECT_EQ (f.cell (1).getChangeCode (&arg), 1);
    EXPECT_EQ (arg, 0);

    // Empty cells post nothing.
    f.fill (5);
    f.cell (6).mouseDown (mouse (f.cell (6), { 4, 10 }));
    EXPECT_EQ (f.cell (6).getChangeCode(), 0);
}

TEST (ScrollableList, ArrowKeysMoveAndWrapWithinTheGrid)
{
    ListFixture f (12); // 4 rows x 3 columns, all occupied
    f.list.selectCell (11, true, true, false);
    EXPECT_TRUE (key (f.list, juce::KeyPress::downKey)); // last row of the last column
    EXPECT_EQ (f.selected(), std::vector<int> ({ 8 }));
    f.list.selectCell (0, true, true, false);
    EXPECT_TRUE (key (f.list, juce::KeyPress::upKey));
    EXPECT_EQ (f.selected(), std::vector<int> ({ 3 }));
    EXPECT_TRUE (key (f.list, juce::KeyPress::rightKey));
    EXPECT_EQ (f.selected(), std::vector<int> ({ 7 }));
    EXPECT_FALSE (key (f.list, juce::KeyPress::leftKey, juce::ModifierKeys::ctrlModifier));
    EXPECT_TRUE (key (f.list, juce::KeyPress::downKey, juce::ModifierKeys::ctrlModifier));
    EXPECT_EQ (f.selected(), std::vector<int> ({ 8 })); // past the last row: top of the next column

    // Towards an empty cell: consumed, nothing changes.
    f.fill (10);
    f.list.selectCell (6, true, true, false);
    EXPECT_TRUE (key (f.list, juce::KeyPress::rightKey));
    EXPECT_EQ (f.selected(), std::vector<int> ({ 6 }));

    EXPECT_FALSE (key (f.list, 'A', juce::ModifierKeys::ctrlModifier));
    f.list.multipleSelection = true;
    EXPECT_TRUE (key (f.list, 'a', juce::ModifierKeys::ctrlModifier));
    EXPECT_EQ (f.list.getNumSelectedCells(), 10);
    EXPECT_FALSE (key (f.list, juce::KeyPress::returnKey));
    f.list.selectCell (2, true, true, false);
    EXPECT_TRUE (key (f.list, juce::KeyPress::returnKey));
    EXPECT_EQ (f.lastCode(), 2);
    EXPECT_TRUE (key (f.list, juce::KeyPress::spaceKey));
    EXPECT_EQ (f.lastCode(), 12);
    f.list.setEnabled (false);
    EXPECT_FALSE (key (f.list, juce::KeyPress::downKey));
}

TEST (ScrollableList, DropsAreRecordedAndReported)
{
    ListFixture f (10);
    f.list.enableDragAndDrop (0, "Brak-Manage Cell", 0);
    f.list.multipleSelection = true;
    EXPECT_EQ (f.list.getDragContainer(), &f.list); // no enclosing container

    f.list.selectCell (2, true, true, false);
    f.list.selectCell (3, true, false, false);
    EXPECT_TRUE (f.list.startDrag (&f.cell (2)));
    f.list.markDropRange (&f.cell (7), 2, true);
    EXPECT_TRUE (f.cell (7).hasDropMark() && f.cell (8).hasDropMark());
    EXPECT_FALSE (f.cell (9).hasDropMark());
    f.list.markDropRange (&f.cell (11), 2, true); // would run past the end
    EXPECT_FALSE (f.cell (11).hasDropMark());
    f.list.itemDroppedOnCell (&f.cell (7), &f.cell (2), 1, 2);
    EXPECT_EQ (f.lastCode(), 4);
    juce::Array<int> indices;
    int target = -1;
    ASSERT_TRUE (f.list.getInternalDropInfo (indices, target));
    EXPECT_EQ (indices, juce::Array<int> ({ 2, 3 }));
    EXPECT_EQ (target, 7);
    EXPECT_EQ (f.list.getDropZone(), 2);
    EXPECT_FALSE (f.cell (7).hasDropMark());

    // From another list: external, with its source.
    ListFixture other (3);
    f.list.itemDroppedOnCell (&f.cell (1), &other.cell (0), 2, 0);
    EXPECT_EQ (f.lastCode(), 3);
    EXPECT_FALSE (f.list.getInternalDropInfo (indices, target));
    EXPECT_EQ (f.list.getExternalDragSource(), &other.cell (0));

    // Files: on a cell 6, in natural order; beside the cells 7 with no target.
    f.cell (4).filesDropped ({ "/tmp/Take10.syx", "/tmp/take2.syx" }, 0, 0);
    f.cell (4).dispatchPendingMessages();
    EXPECT_EQ (f.lastCode(), 6);
    EXPECT_EQ (f.list.getDropTargetIndex(), 4);
    juce::StringArray files;
    f.cell (4).getDroppedFiles (files);
    EXPECT_EQ (files, juce::StringArray ({ "/tmp/take2.syx", "/tmp/Take10.syx" }));
    EXPECT_FALSE (f.list.isInterestedInFileDrag ({}));
    f.list.filesDropped ({ "/tmp/a.syx" }, 0, 0);
    EXPECT_EQ (f.lastCode(), 7);
    EXPECT_EQ (f.list.getDropTargetIndex(), -1);
}

TEST (ScrollableList, DraggedCellShowsTheCursorOfItsDropAction)
{
    ListFixture f (6);
    juce::MouseCursor move (solid (8, 8, rim), 0, 0), copy (solid (8, 8, ink), 0, 0), swap (solid (8, 8, accent), 0, 0);
    f.list.setDragCursors (&move, &copy, &swap, nullptr);
    EXPECT_EQ (f.list.getDragCursor (3), nullptr);
    auto& c = f.cell (2);
    c.mouseDown (mouse (c, { 20, 10 }));
    c.mouseDrag (mouse (c, { 25, 10 }));
    EXPECT_FALSE (c.isDragging()); // the list does not drag yet
    f.list.enableDragAndDrop (0, "Brak-Manage Cell", 0);
    f.list.selectCell (2, true, true, false);
    c.mouseDown (mouse (c, { 20, 10 }));
    c.mouseDrag (mouse (c, { 25, 10 }));
    ASSERT_TRUE (c.isDragging());
    std::pair<int, juce::MouseCursor*> expected[] = { { 0, &copy },
                                                      { juce::ModifierKeys::shiftModifier, &swap },
                                                      { juce::ModifierKeys::ctrlModifier, &move } };
    for (auto [mods, cursor] : expected)
    {
        HeldKeys held (mods);
        c.mouseDrag (mouse (c, { 30, 10 }, juce::ModifierKeys (mods)));
        EXPECT_TRUE (c.getMouseCursor() == *cursor) << mods;
    }
    c.mouseUp (mouse (c, { 30, 10 }));
    EXPECT_FALSE (c.isDragging());
    EXPECT_TRUE (c.getMouseCursor() == juce::MouseCursor());
    EXPECT_EQ (c.getChangeCode(), 1); // the release after a drag posts nothing

    // The right button never drags.
    c.mouseDown (mouse (c, { 20, 10 }, juce::ModifierKeys::rightButtonModifier));
    c.mouseDrag (mouse (c, { 25, 10 }, juce::ModifierKeys::rightButtonModifier));
    c.mouseDrag (mouse (c, { 30, 10 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_FALSE (c.isDragging());
}

TEST (ScrollableList, DropActionFollowsFlagsAndKeys)
{
    ScrollableListCell cell (0, 0);
    auto actionWith = [&cell] (int mods)
    {
        HeldKeys held (mods);
        return cell.getDropAction();
    };
    const int shift = juce::ModifierKeys::shiftModifier, ctrl = juce::ModifierKeys::ctrlModifier;
    EXPECT_EQ (actionWith (0), 3);
    EXPECT_EQ (actionWith (shift), 2);
    EXPECT_EQ (actionWith (ctrl), 1);
    EXPECT_EQ (actionWith (shift | ctrl), 3);
    cell.plainDropFlag = false;
    EXPECT_EQ (actionWith (0), 1);
    EXPECT_EQ (actionWith (shift), 2);
    cell.shiftDropFlag = false;
    EXPECT_EQ (actionWith (shift), 1);
    cell.positionalDropFlag = false;
    EXPECT_EQ (actionWith (ctrl), 0);
}

TEST (ScrollableList, RenameInPlaceRestoresOnEscapeAndRefusesReservedNames)
{
    RecordingNotifier notices;
    ListFixture f (4);
    auto& c = f.cell (1);
    c.renamable = true;
    c.setNameRestrictions (8, {});
    c.reservedNames.add ("<EMPTY>");
    std::vector<juce::String> renamed;
    struct Owner : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override
        {
            if (list->getChangeCode() == 9)
                names->push_back (list->getCell (1)->getNameText());
        }
        ZolScrollableListCtrl* list;
        std::vector<juce::String>* names;
    } owner;
    owner.list = &f.list;
    owner.names = &renamed;
    f.list.addChangeListener (&owner);

    ASSERT_TRUE (c.showNameEditor());
    EXPECT_FALSE (c.showNameEditor()); // already open
    auto* editor = c.getRenameLabel()->getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);
    editor->setText ("Something else");
    editor->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    static_cast<juce::Component*> (editor)->handleCommandMessage (0x10003003); // the editor's own escape message
    EXPECT_FALSE (c.isEditingName());
    EXPECT_EQ (c.getNameText(), "Preset 2");

    c.showNameEditor();
    c.getRenameLabel()->getCurrentTextEditor()->insertTextAtCaret (
        juce::CharPointer_UTF8 ("Cr\xc3\xa8me br\xc3\xbbl\xc3\xa9"
                                "e"));
    c.getRenameLabel()->hideEditor (false);
    c.dispatchPendingMessages();
    EXPECT_EQ (c.getNameText(), juce::String (juce::CharPointer_UTF8 ("Cr\xc3\xa8me br")));
    ASSERT_EQ (renamed.size(), 1u); // delivered synchronously on code 9
    EXPECT_EQ (renamed[0], c.getNameText());

    c.showNameEditor();
    c.getRenameLabel()->getCurrentTextEditor()->setText ("<empty>");
    c.getRenameLabel()->hideEditor (false);
    EXPECT_EQ (notices.count(), 1);
    EXPECT_EQ (notices.get (0).title, "Warning");
    EXPECT_EQ (notices.lastMessage(), "This name is reserved.\nPlease enter a different name.");
    EXPECT_EQ (c.getNameText(), juce::String (juce::CharPointer_UTF8 ("Cr\xc3\xa8me br")));
    notices.answer (0, 1);
    ASSERT_TRUE (c.isEditingName());
    EXPECT_EQ (c.getRenameLabel()->getCurrentTextEditor()->getText(), "<empty>");

    // Text that reaches the label past the editor's limit is cut to the unit's length.
    c.getRenameLabel()->getCurrentTextEditor()->setText ("A name far too long");
    c.getRenameLabel()->hideEditor (false);
    EXPECT_EQ (c.getNameText(), "A name f");
    f.list.removeChangeListener (&owner);
}

TEST (ScrollableList, CellsGrowToFitAndTheCallingCellOutlivesTheRebuild)
{
    ListFixture f (6);
    f.list.growCellsToFitText = true;
    f.list.selectCell (4, true, true, false);
    auto width = f.list.getCellWidth();
    auto* old = &f.cell (2);
    old->setNumberAndName ("3", juce::String::repeatedString ("W", 40));
    old->dispatchPendingMessages(); // the list rebuilds inside this cell's own message
    EXPECT_GT (f.list.getCellWidth(), width);
    EXPECT_EQ (f.list.getNumRetiredCells(), 6 + 2); // kept until the message is over
    EXPECT_EQ (f.selected(), std::vector<int> ({ 4 }));
    EXPECT_EQ (f.cell (2).getNameText(), juce::String::repeatedString ("W", 40));
    EXPECT_EQ (f.cell (4).itemId, 104);

    // A name wider than any cell may be is cut off instead of rebuilding forever.
    f.cell (3).setNumberAndName ("4", juce::String::repeatedString ("W", 20000));
    f.cell (3).dispatchPendingMessages();
    EXPECT_EQ (f.list.getCellWidth(), ZolScrollableListCtrl::maxCellWidth);
    auto retired = f.list.getNumRetiredCells();
    f.cell (3).setNumberAndName ("4", juce::String::repeatedString ("W", 20001));
    f.cell (3).dispatchPendingMessages();
    EXPECT_EQ (f.list.getNumRetiredCells(), retired);
}

TEST (ScrollableList, HighlightAndScrollingShowOnlyWhatIsVisible)
{
    ListFixture f (1000, 0);
    EXPECT_GT (f.list.getNumColumns(), 100);
    f.list.highlightItemId (100 + 640);
    EXPECT_EQ (f.list.getHighlightedCellIndex(), 640);
    auto& target = f.cell (640);
    auto inView = target.getBounds() + f.list.getViewport().getViewedComponent()->getPosition();
    EXPECT_TRUE (f.list.getViewport().getLocalBounds().contains (inView));

    for (int i = 0; i < f.list.getNumCells(); ++i)
        f.cell (i).paintCount = 0;
    snapshot (f.list);
    int painted = 0;
    for (int i = 0; i < f.list.getNumCells(); ++i)
        painted += f.cell (i).paintCount > 0 ? 1 : 0;
    EXPECT_GT (painted, 0);
    EXPECT_LE (painted, 5 * f.list.getNumRows());
    EXPECT_GT (f.cell (640).paintCount, 0);
    EXPECT_EQ (f.cell (0).paintCount, 0);

    // Keys a cell leaves unused reach the list, not the scrolling view.
    ASSERT_TRUE (f.list.getViewport().getHorizontalScrollBar().isVisible());
    EXPECT_FALSE (f.list.getViewport().keyPressed (juce::KeyPress (juce::KeyPress::rightKey)));
    EXPECT_FALSE (f.cell (640).keyPressed (juce::KeyPress (juce::KeyPress::rightKey)));
}

TEST (ScrollableList, ACellDrawsWhatItHoldsAfterEachChange)
{
    // A cell keeps its texts laid out between paints; after each change it
    // draws what a new cell in the same state draws. (Each state has its own
    // face, as a slanted one may not be installed.)
    const auto mono = juce::Font::getDefaultMonospacedFontName();
    const juce::Font number (14.0f), name (13.0f), bold (13.0f, juce::Font::bold), italic (mono, 13.0f, 0),
        italicBold (mono, 13.0f, juce::Font::bold), larger (17.0f);
    std::vector<std::function<void (ScrollableListCell&)>> steps{
        [&] (ScrollableListCell& c)
        {
            c.setSize (140, 20);
            c.setNumberFont (&number, ink, 14.0f);
            c.setNameFonts (&name, &bold, &italic, &italicBold, 13.0f, ink);
            c.setNumberAndName ("1-1 ", "Preset 1");
        },
        [] (ScrollableListCell& c) { c.setNumberAndName ("1-1 ", "Renamed"); },
        [] (ScrollableListCell& c) { c.setNumberAndName ("12-8 ", "Renamed"); },
        [] (ScrollableListCell& c) { c.setItalic (true); },
        [] (ScrollableListCell& c) { c.highlighted = true; },
        [] (ScrollableListCell& c) { c.setMarkerImage (solid (6, 6, accent), 12); },
        [] (ScrollableListCell& c) { c.setSize (90, 20); },
        [] (ScrollableListCell& c) { c.minimumHorizontalScale = 1.0f; },
        [&] (ScrollableListCell& c) { c.setNameFonts (&larger, &larger, &larger, &larger, 17.0f, ink); },
        [&] (ScrollableListCell& c) { c.setNumberFont (&larger, ink, 17.0f); },
    };

    auto differing = [] (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return -1;
        int count = 0;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                count += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;
        return count;
    };

    ScrollableListCell kept (0, 0);
    juce::Image before;
    for (size_t i = 0; i < steps.size(); ++i)
    {
        steps[i](kept);
        auto shown = snapshot (kept);
        ScrollableListCell fresh (0, 0);
        for (size_t j = 0; j <= i; ++j)
            steps[j](fresh);
        EXPECT_EQ (differing (shown, snapshot (fresh)), 0) << "after step " << i;
        if (i > 0)
        {
            EXPECT_NE (differing (shown, before), 0) << "step " << i << " shows no change";
        }
        before = shown;
    }
}
