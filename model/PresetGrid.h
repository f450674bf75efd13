#pragma once

#include "model/GridCell.h"
#include "model/UnitIds.h"

#include <juce_core/juce_core.h>

// The two parallel lists in which the unit reports a preset's grid: one block
// id and one input mask per cell, in cell-index order.
struct GridVectors
{
    juce::Array<juce::uint16> blockIds;
    juce::Array<juce::uint16> inputMasks;
};

// The blocks of one preset as the unit lays them out: up to 48 cells in
// cell-index order (row + 4 * column), plus the fixed blocks that belong to
// the preset but have no cell (grid input, grid output, controllers, global).
// Only the cells are serialised; the fixed-block list is rebuilt by its users.
//
// Serialised form (little-endian): u32 cell count n, n x (u16 block id,
// u16 input mask), then one check byte over everything before it.
class PresetGrid
{
public:
    static constexpr int maxCells = gridCellCount;

    PresetGrid() = default;
    PresetGrid (PresetGrid&&) = default;
    PresetGrid& operator= (PresetGrid&&) = default;

    // An id that stands for a real block: neither an empty cell nor a shunt.
    static bool isRealBlockId (int blockId) { return blockId != blockIdNone && ! isShuntBlockId (blockId); }

    // Removes every cell and every fixed block.
    void clear();

    // Rebuilds the cells from the unit's two lists (fixed blocks emptied too).
    // False, grid untouched, when the lists are absent, differ in length or
    // hold more cells than the grid has.
    bool setFromVectors (const GridVectors* vectors);

    // Appends a copy of the cell; false (nothing added) once the grid is full.
    bool addCell (const GridCell& cell);

    int getNumCells() const { return cells.size(); }

    // The cell at an index, or nullptr outside 0..getNumCells()-1.
    GridCell* getCell (int index);
    const GridCell* getCell (int index) const;

    // That cell's block id, 0 when there is no such cell.
    juce::uint16 getBlockIdAt (int index) const;

    // True when any cell holds the id; the fixed blocks are not searched.
    bool containsBlock (juce::uint16 blockId) const;

    // The number of real blocks: those of the cells, then of the fixed list.
    int countBlocks() const;

    // Lowest shunt id (300..335) used neither by a cell nor by the optional
    // extra list; -1 when all are taken.
    juce::int32 findFreeShuntId (const juce::Array<juce::uint16>* idsInUse = nullptr) const;

    // The blocks without a cell. Users add to it with addIfNotAlreadyThere.
    juce::Array<juce::uint16>& getFixedBlocks() { return fixedBlocks; }
    const juce::Array<juce::uint16>& getFixedBlocks() const { return fixedBlocks; }

    // Appends the serialised form to the block.
    void writeTo (juce::MemoryBlock& target) const;

    // Replaces the grid with a serialised form. False, grid untouched, for no
    // data, a wrong check byte or a cell count above maxCells. Cells whose
    // fields the data does not hold are read as empty cells.
    bool readFrom (const juce::MemoryBlock& source);
    bool readFrom (const void* data, size_t size);

private:
    juce::Array<GridCell> cells;
    juce::Array<juce::uint16> fixedBlocks;

    JUCE_DECLARE_NON_COPYABLE (PresetGrid)
};

// A cursor over the real blocks of a grid: the cells in index order and,
// unless cellsOnly is 1, the fixed blocks after them. Empty cells and shunts
// are passed over.
class PresetGridIterator
{
public:
    explicit PresetGridIterator (const PresetGrid* gridToWalk = nullptr, juce::uint8 cellsOnlyFlag = 1)
        : cellsOnly (cellsOnlyFlag)
        , grid (gridToWalk)
    {
    }

    // Moves to the next real block: true with its id, false at the end.
    bool next (juce::uint16& blockId);

    juce::uint8 cellsOnly = 1;
    juce::int32 position = 0;
    const PresetGrid* grid = nullptr;
};
