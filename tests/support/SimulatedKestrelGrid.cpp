#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"

// The edit buffer's grid: read, place, connect and move.

using namespace SimulatedKestrelDetail;
using juce::uint32;

void SimulatedKestrel::handleGetGrid (const juce::MidiMessage&)
{
    std::vector<uint32> pairs;

    for (auto& cell : editBuffer.cells)
    {
        pairs.push_back (cell.blockId);
        pairs.push_back (cell.inputMask);
    }

    reply (numberList (SYSEX_GET_GRID, gridReplyLayout, pairs, reportedModel));
}

void SimulatedKestrel::handlePlaceEffect (const juce::MidiMessage& message)
{
    const int blockId = (int) readField (message, placeEffectLayout, 0);
    const int cell = (int) readField (message, placeEffectLayout, 1);

    // A block placed while it sits in another cell moves here (a swap places
    // each block into the other's cell); the block it replaces is parked.
    int from = -1;
    if (blockId != blockIdNone && ! isShuntBlockId (blockId) && juce::isPositiveAndBelow (cell, gridCellCount) &&
        editBuffer.cells[(size_t) cell].blockId != blockId)
        for (int c = 0; c < gridCellCount; ++c)
            if (editBuffer.cells[(size_t) c].blockId == blockId)
                from = c;

    const int replaced = juce::isPositiveAndBelow (cell, gridCellCount) ? editBuffer.cells[(size_t) cell].blockId : 0;
    if (auto* block = editBuffer.findBlock (replaced))
        parkedBlocks[replaced] = *block;

    if (from >= 0)
        editBuffer.cells[(size_t) from] = GridCell{};

    if (! editBuffer.placeBlock (cell, blockId))
    {
        if (from >= 0)
            editBuffer.cells[(size_t) from].blockId = (juce::uint16) blockId;
        replyStatus (resultBadValue);
        return;
    }

    auto parked = parkedBlocks.find (blockId);
    if (parked != parkedBlocks.end() && from < 0)
    {
        if (auto* block = editBuffer.findBlock (blockId))
            *block = parked->second;
        parkedBlocks.erase (parked);
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleConnectEffect (const juce::MidiMessage& message)
{
    const int from = (int) readField (message, cellPairRequestLayout, 0);
    const int to = (int) readField (message, cellPairRequestLayout, 1);
    const bool connect = readField (message, cellPairRequestLayout, 2) != 0;

    if (! editBuffer.connectCells (from, to, connect))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}

void SimulatedKestrel::handleMoveEffect (const juce::MidiMessage& message)
{
    // The three bytes: direction, distance, cell.
    const int direction = (int) readField (message, cellPairRequestLayout, 0);
    const int distance = (int) readField (message, cellPairRequestLayout, 1);
    const int cell = (int) readField (message, cellPairRequestLayout, 2);

    if (! editBuffer.moveBlock (cell, direction, distance))
    {
        replyStatus (resultBadValue);
        return;
    }

    modified = true;
    replyStatus (resultOk);
}
