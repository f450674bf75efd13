#include "model/PresetGrid.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"

void PresetGrid::clear()
{
    cells.clearQuick();
    cells.minimiseStorageOverheads();
    fixedBlocks.clearQuick();
}

bool PresetGrid::setFromVectors (const GridVectors* vectors)
{
    if (vectors == nullptr || vectors->blockIds.size() != vectors->inputMasks.size() ||
        vectors->blockIds.size() > maxCells)
        return false;

    clear();

    for (int i = 0; i < vectors->blockIds.size(); ++i)
        cells.add ({ vectors->blockIds.getUnchecked (i), vectors->inputMasks.getUnchecked (i) });

    return true;
}

bool PresetGrid::addCell (const GridCell& cell)
{
    // Keeping the grid within the unit's 48 cells keeps every written form readable.
    if (cells.size() >= maxCells)
        return false;

    cells.add (cell);
    return true;
}

GridCell* PresetGrid::getCell (int index)
{
    return juce::isPositiveAndBelow (index, cells.size()) ? &cells.getReference (index) : nullptr;
}

const GridCell* PresetGrid::getCell (int index) const
{
    return juce::isPositiveAndBelow (index, cells.size()) ? &cells.getReference (index) : nullptr;
}

juce::uint16 PresetGrid::getBlockIdAt (int index) const
{
    auto* cell = getCell (index);
    return cell != nullptr ? cell->blockId : (juce::uint16) 0;
}

bool PresetGrid::containsBlock (juce::uint16 blockId) const
{
    for (auto& cell : cells)
        if (cell.blockId == blockId)
            return true;

    return false;
}

int PresetGrid::countBlocks() const
{
    PresetGridIterator it (this, 0);
    int count = 0;

    for (juce::uint16 id; it.next (id);)
        ++count;

    return count;
}

juce::int32 PresetGrid::findFreeShuntId (const juce::Array<juce::uint16>* idsInUse) const
{
    bool used[shuntCount] = {};

    auto mark = [&used] (juce::uint16 id)
    {
        if (isShuntBlockId (id))
            used[id - firstShuntId] = true;
    };

    for (auto& cell : cells)
        mark (cell.blockId);

    if (idsInUse != nullptr)
        for (auto id : *idsInUse)
            mark (id);

    for (int i = 0; i < shuntCount; ++i)
        if (! used[i])
            return firstShuntId + i;

    return -1;
}

void PresetGrid::writeTo (juce::MemoryBlock& target) const
{
    auto start = target.getSize();
    ByteWriter writer (target);

    writer.writeU32 ((juce::uint32) cells.size());

    for (auto& cell : cells)
    {
        writer.writeU16 (cell.blockId);
        writer.writeU16 (cell.inputMask);
    }

    appendCheckByte (target, start);
}

bool PresetGrid::readFrom (const juce::MemoryBlock& source)
{
    return readFrom (source.getData(), source.getSize());
}

bool PresetGrid::readFrom (const void* data, size_t size)
{
    if (! hasValidCheckByte (data, size))
        return false;

    // Everything before the check byte; a field that does not fit there reads as 0.
    ByteReader reader (data, size - 1);
    const auto count = reader.readU32IfPresent();

    // The form allows any count, but no grid of the unit has more than 48
    // cells; anything larger is damage, not a grid.
    if (count > (juce::uint32) maxCells)
        return false;

    clear();

    for (juce::uint32 k = 0; k < count; ++k)
    {
        GridCell cell;
        cell.blockId = reader.readU16IfPresent();
        cell.inputMask = reader.readU16IfPresent();
        cells.add (cell);
    }

    return true;
}

bool PresetGridIterator::next (juce::uint16& blockId)
{
    if (grid == nullptr)
        return false;

    const auto numCells = grid->getNumCells();
    const auto& fixed = grid->getFixedBlocks();
    const auto end = cellsOnly == 1 ? numCells : numCells + fixed.size();

    if (position < 0)
        position = 0;

    while (position < end)
    {
        auto id = position < numCells ? grid->getBlockIdAt (position) : fixed.getUnchecked (position - numCells);
        ++position;

        if (PresetGrid::isRealBlockId (id))
        {
            blockId = id;
            return true;
        }
    }

    return false;
}
