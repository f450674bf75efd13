#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <functional>

// What the unit reported of its own accord that a run of writes must look at:
// - its reports of a change of preset (SYSEX_PATCHNUM sent unasked),
//   numbered 1, 2, ... in the order they were filed, with the preset each
//   named; the latest `kept` are kept, so that a run can look at every
//   report made since it began;
// - its reports of its block states (SYSEX_QUERY_STATES sent unasked), which
//   it sends when the scene changes on it, and also when a block's state
//   changes there: counted, since they do not say which.
//
// Not locked: its owner (the link) guards it.
class UnitReportLog
{
public:
    static constexpr juce::uint32 kept = 256;

    // Files a report of a change of preset; gives its number.
    juce::uint32 file (juce::int32 presetNumber);

    // How many reports of a change of preset were filed, and the preset of
    // the last (-1: none yet).
    juce::uint32 getCount() const { return count; }
    juce::int32 getLast() const { return count == 0 ? -1 : numbers[(count - 1) % kept]; }

    // The preset of the first report after `since`, up to and including
    // report `until`, that isAllowed (preset, report number) refuses; -1 when
    // it allows every one. Reports no longer kept cannot be looked at: then
    // the last one stands for them.
    juce::int32 findRefused (juce::uint32 since, juce::uint32 until,
                             const std::function<bool (juce::int32 preset, juce::uint32 n)>& isAllowed) const;

    // Files a report of the unit's states; how many were filed.
    void fileStates() { ++statesCount; }
    juce::uint32 getStatesCount() const { return statesCount; }

private:
    std::array<juce::int32, kept> numbers{};
    juce::uint32 count = 0;
    juce::uint32 statesCount = 0;
};
