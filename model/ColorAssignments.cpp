#include "model/ColorAssignments.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"

juce::uint32 ColorAssignments::getColorOfName (juce::uint32 modelKey, const juce::String& name) const
{
    if (auto* group = findByKey (modelKey))
        return group->getColorOfName (name);

    return 0;
}

ColorAssignmentGroup* ColorAssignments::findByKey (juce::uint32 modelKey) const
{
    for (auto* group : groups)
        if (group->key == modelKey)
            return group;

    return nullptr;
}

ColorAssignmentGroup& ColorAssignments::findOrAddGroup (juce::uint32 modelKey)
{
    if (auto* group = findByKey (modelKey))
        return *group;

    return *groups.add (new ColorAssignmentGroup (modelKey));
}

void ColorAssignments::clear()
{
    groups.clear();
}

bool ColorAssignments::writeTo (juce::MemoryBlock& block) const
{
    const auto start = block.getSize();
    ByteWriter writer (block);

    writer.writeU16 (headerWord);
    writer.writeU32 ((juce::uint32) groups.size());

    for (auto* group : groups)
    {
        juce::MemoryBlock groupBlock;
        group->writeTo (groupBlock);
        writer.writeU32 ((juce::uint32) groupBlock.getSize());
        writer.writeBytes (groupBlock.getData(), groupBlock.getSize());
    }

    appendCheckByte (block, start);
    return true;
}

bool ColorAssignments::readFrom (const juce::MemoryBlock& block)
{
    return readFrom (block.getData(), block.getSize());
}

bool ColorAssignments::readFrom (const void* data, size_t size)
{
    clear();

    if (! hasValidCheckByte (data, size))
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data);

    ByteReader reader (bytes, size - 1);
    const auto header = reader.readU16();

    if (! reader.ok())
        return false;

    headerWord = header;
    const auto groupCount = reader.readU32();

    if (! reader.ok())
        return false;

    // Every group consumes at least its length word, so a hostile count
    // ends with the data rather than looping on.
    for (juce::uint32 g = 0; g < groupCount; ++g)
    {
        const auto length = reader.readU32();

        if (! reader.ok() || ! reader.require (length))
            return false;

        auto* group = groups.add (new ColorAssignmentGroup());
        const bool read = group->readFrom (reader.current(), length);
        reader.skip (length);

        if (! read)
            return false;
    }

    return true;
}
