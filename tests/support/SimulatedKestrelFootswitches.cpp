#include "tests/support/SimulatedKestrel.h"

#include "device/wire/SysExCodec.h"

// The unit's footswitch grid: the assignment of each of its switches. A
// message with command word 1 stores the assignments it carries; every
// message is answered with the assignments the unit holds, under the
// command word it came with.

void SimulatedKestrel::handleFootswitchGrid (const juce::MidiMessage& message)
{
    FootswitchGrid grid;

    if (! parseFsGrid (message, grid))
    {
        replyStatus (resultBadValue);
        return;
    }

    if (grid.first == 1)
    {
        for (int i = 0; i < juce::jmin (grid.entries.size(), footswitchEntries.size()); ++i)
            footswitchEntries.set (i, grid.entries[i]);

        modified = true;
    }

    FootswitchGrid answer;
    answer.first = grid.first;
    answer.entries = footswitchEntries;

    juce::MidiMessage out;
    buildFsGrid (out, answer, reportedModel);
    reply (out);
}

void SimulatedKestrel::setFootswitchAssignments (const juce::Array<FootswitchGridEntry>& entries)
{
    const juce::ScopedLock state (stateLock);
    footswitchEntries = entries;
}

juce::Array<FootswitchGridEntry> SimulatedKestrel::getFootswitchAssignments() const
{
    const juce::ScopedLock state (stateLock);
    return footswitchEntries;
}
