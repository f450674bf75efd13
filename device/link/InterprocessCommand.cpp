#include "device/link/InterprocessCommand.h"

#include "model/Checksum.h"

juce::uint32 InterprocessCommand::computeCheck() const
{
    // The 16-bit words of bytes 0 to 47 as the little-endian wire has them.
    juce::uint16 halves[24];

    for (int i = 0; i < 12; ++i)
    {
        halves[2 * i] = (juce::uint16) (words[i] & 0xFFFF);
        halves[2 * i + 1] = (juce::uint16) (words[i] >> 16);
    }

    return xorWords16 (halves, 24);
}

bool InterprocessCommand::readFrom (const void* data, size_t size)
{
    if (data == nullptr || size != sizeInBytes)
        return false;

    auto* bytes = static_cast<const juce::uint8*> (data);

    for (int i = 0; i < numWords; ++i)
        words[i] = juce::ByteOrder::littleEndianInt (bytes + 4 * i);

    return true;
}

juce::MemoryBlock InterprocessCommand::toBytes() const
{
    juce::MemoryBlock block (sizeInBytes, true);
    auto* bytes = static_cast<juce::uint8*> (block.getData());

    for (int i = 0; i < numWords; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = (juce::uint8) (words[i] >> (8 * b));

    return block;
}

void clearInterprocessCommand (InterprocessCommand& record)
{
    for (auto& word : record.words)
        word = 0;
}
