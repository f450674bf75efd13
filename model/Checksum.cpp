#include "model/Checksum.h"

juce::uint8 calcSysExChecksum (const void* bytes, size_t count)
{
    if (bytes == nullptr)
        return 0;

    auto* b = static_cast<const juce::uint8*> (bytes);
    juce::uint8 sum = 0;

    for (size_t i = 0; i < count; ++i)
        sum ^= b[i];

    return (juce::uint8) (sum & 0x7f);
}

void appendCheckByte (juce::MemoryBlock& block, size_t start)
{
    jassert (start <= block.getSize());
    const auto* bytes = static_cast<const juce::uint8*> (block.getData()) + start;
    const auto check = calcSysExChecksum (bytes, block.getSize() - start);
    block.append (&check, 1);
}

bool hasValidCheckByte (const void* record, size_t size)
{
    if (record == nullptr || size == 0)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (record);
    return calcSysExChecksum (bytes, size - 1) == bytes[size - 1];
}

juce::uint16 xorWords16 (const juce::uint16* words, size_t count)
{
    juce::uint16 sum = 0;
    if (words != nullptr)
        for (size_t i = 0; i < count; ++i)
            sum ^= words[i];
    return sum;
}

juce::uint32 xorWords32 (const juce::uint32* words, size_t count)
{
    juce::uint32 sum = 0;
    if (words != nullptr)
        for (size_t i = 0; i < count; ++i)
            sum ^= words[i];
    return sum;
}
