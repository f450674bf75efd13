#include "model/ParamDefinition.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"

namespace
{
// id, descriptor, four floats, string count
constexpr size_t fixedFieldBytes = 2 + 4 + 4 * 4 + 4;

// The unit's value texts are short; anything longer is not from a cache we wrote.
constexpr juce::uint32 maxValueStringBytes = 4096;
} // namespace

void ParamDefinition::writeTo (ByteWriter& writer) const
{
    writer.writeU16 (paramId);
    writer.writeI32 (info.descriptor);
    writer.writeFloat (info.minimum);
    writer.writeFloat (info.maximum);
    writer.writeFloat (info.displayMultiplier);
    writer.writeFloat (info.fourth);
    writer.writeI32 (valueStrings.size());

    for (auto& text : valueStrings)
        writer.writeText (text);
}

bool ParamDefinition::readFrom (ByteReader& reader)
{
    if (! reader.require (fixedFieldBytes))
        return false;

    paramId = reader.readU16();
    info.descriptor = reader.readI32();
    info.minimum = reader.readFloat();
    info.maximum = reader.readFloat();
    info.displayMultiplier = reader.readFloat();
    info.fourth = reader.readFloat();

    const auto count = reader.readI32();

    // Every string takes at least its 4-byte length, which bounds the count
    // by what the data can hold before anything is allocated.
    if (count < 0 || ! reader.canHold ((juce::uint64) count, 4))
    {
        reader.fail();
        return false;
    }

    valueStrings.clearQuick();
    valueStrings.ensureStorageAllocated (count);

    for (int i = 0; i < count; ++i)
    {
        auto text = reader.readText (maxValueStringBytes);

        if (! reader.ok())
            return false;

        valueStrings.add (text);
    }

    return reader.ok();
}
