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

    if (! editBuffer.placeBlock (cell, blockId))
    {
        replyStatus (resultBadValue);
        return;
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
