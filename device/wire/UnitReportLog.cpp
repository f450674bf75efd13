#include "device/wire/UnitReportLog.h"

juce::uint32 UnitReportLog::file (juce::int32 presetNumber)
{
    numbers[count % kept] = presetNumber;
    return ++count;
}

juce::int32 UnitReportLog::findRefused (juce::uint32 since, juce::uint32 until,
                                          const std::function<bool (juce::int32, juce::uint32)>& isAllowed) const
{
    until = juce::jmin (until, count);

    if (until <= since)
        return -1;

    // Whatever the lost ones named, the unit moved on from it.
    if (count - since > kept)
        return getLast();

    for (auto n = since + 1; n <= until; ++n)
        if (const auto preset = numbers[(n - 1) % kept]; ! isAllowed (preset, n))
            return preset;

    return -1;
}
