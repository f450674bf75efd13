#include "device/wire/PresetReportLog.h"

juce::uint32 PresetReportLog::file (juce::int32 presetNumber)
{
    numbers[count % kept] = presetNumber;
    return ++count;
}

bool PresetReportLog::getReport (juce::uint32 n, juce::int32& presetNumber) const
{
    if (n == 0 || n > count || count - n >= kept)
        return false;

    presetNumber = numbers[(n - 1) % kept];
    return true;
}

juce::int32 PresetReportLog::findOutside (juce::uint32 since, juce::uint32 until,
                                          const juce::Array<juce::int32>& allowed) const
{
    until = juce::jmin (until, count);

    if (until <= since)
        return -1;

    // Whatever the lost ones named, the unit moved on from it.
    if (count - since > kept)
        return getLast();

    for (auto n = since + 1; n <= until; ++n)
        if (const auto preset = numbers[(n - 1) % kept]; ! allowed.contains (preset))
            return preset;

    return -1;
}
