#pragma once

#include "app/grid/BlockComponent.h"

class GridUnitContent;

// A tile of the effect grid. Its cell is its index in the grid; drops, the
// tile menu and the drag cursors are the grid's.
class KestrelBlockComponent : public BlockComponent
{
public:
    KestrelBlockComponent (GridUnitContent& grid, int cell, juce::Rectangle<int> cellArea, int tileMargin,
                           const ImageDepot* depot);

    int getCell() const { return cell; }

    // Only tiles of an effect grid: a footswitch tile dropped here does nothing.
    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    // The copy modifier of a drop (Ctrl, or Cmd on a Mac).
    static bool isCopyModifier (const juce::ModifierKeys& modifiers) { return modifiers.isCommandDown(); }

protected:
    void showBlockMenu() override;
    void updateDragCursor() override;
    void dragEnteredTile() override;
    void dragLeftTile() override;
    void dragStarted() override;

private:
    GridUnitContent& grid;
    int cell = 0;
};
