#pragma once

#include "app/grid/BlockComponent.h"

class FootswitchGridPanel;

// One switch position of the footswitch grid: a block tile showing the block
// assigned to the switch. A click selects it (one tile at a time), a right
// click opens its block menu, Delete clears it. Blocks are dropped on it from
// the other switches or from the effect grid. A tile of a global switch on
// the per-preset page is locked: it shows the global block and takes no
// assignment.
class FootswitchBlockComponent : public BlockComponent
{
public:
    // Drop modes: the dragged block moves (its switch becomes empty), or the
    // two switches swap their blocks.
    static constexpr int dropMove = 1, dropSwap = 3;
    static constexpr juce::uint16 looperBlockId = 169, looperControlBlockId = 183;

    FootswitchBlockComponent (FootswitchGridPanel& owner, int row, int column, juce::Rectangle<int> cellArea,
                              int margin, const ImageDepot* depot);

    int getRow() const { return getPositionY(); }
    int getColumn() const { return getPositionX(); }

    bool isGlobalLocked = false;

    // The drop mode last shown as the drag cursor; 0 when none.
    int getShownDropMode() const { return shownDropMode; }

    // The block a drop of the source would assign: the effect grid's looper
    // stands for its footswitch control.
    static juce::uint16 assignedIdOf (const BlockComponent& source);

    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

protected:
    void showBlockMenu() override;
    void updateDragCursor() override;
    void dragEnteredTile() override;
    void dragLeftTile() override;
    void dragStarted() override;
    void paintOverlay (juce::Graphics& g, juce::Rectangle<int> iconArea) override;

private:
    FootswitchGridPanel& grid;
    int shownDropMode = 0;
};
