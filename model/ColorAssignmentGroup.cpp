#include "model/ColorAssignmentGroup.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"

#include <algorithm>
#include <map>
#include <vector>

ColorAssignment* ColorAssignmentGroup::findByKey (juce::uint32 colorKey) const
{
    for (auto* entry : entries)
        if (entry->colorKey == colorKey)
            return entry;

    return nullptr;
}

juce::uint32 ColorAssignmentGroup::getColorOfName (const juce::String& name) const
{
    for (auto* entry : entries)
        if (entry->names.contains (name))
            return entry->colorKey;

    return 0;
}

void ColorAssignmentGroup::assignColor (juce::uint32 colorKey, const juce::String& name)
{
    if (colorKey == 0)
    {
        removeName (name);
        return;
    }

    auto* target = findByKey (colorKey);

    if (target == nullptr)
    {
        target = new ColorAssignment();
        target->colorKey = colorKey;
        entries.add (target);
    }

    removeName (name);
    target->names.add (name);
}

bool ColorAssignmentGroup::removeName (const juce::String& name)
{
    bool removed = false;

    for (auto* entry : entries)
    {
        const int before = entry->names.size();
        entry->names.removeString (name);
        removed = removed || entry->names.size() != before;
    }

    return removed;
}

void ColorAssignmentGroup::clear()
{
    entries.clear();
}

bool ColorAssignmentGroup::writeTo (juce::MemoryBlock& block) const
{
    const auto start = block.getSize();
    ByteWriter writer (block);

    writer.writeU32 (key);
    writer.writeU32 ((juce::uint32) entries.size());

    for (auto* entry : entries)
    {
        writer.writeU32 (entry->colorKey);
        writer.writeU32 ((juce::uint32) entry->names.size());

        // The length is the UTF-8 byte count, so names outside ASCII read back whole.
        for (auto& name : entry->names)
            writer.writeText (name);
    }

    appendCheckByte (block, start);
    return true;
}

bool ColorAssignmentGroup::readFrom (const juce::MemoryBlock& block)
{
    return readFrom (block.getData(), block.getSize());
}

bool ColorAssignmentGroup::readFrom (const void* data, size_t size)
{
    clear();
    key = 0;

    if (! hasValidCheckByte (data, size))
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data);

    ByteReader reader (bytes, size - 1);
    const auto modelKey = reader.readU32();
    const auto entryCount = reader.readU32();

    // Each entry needs at least its colour and its name count.
    if (! reader.ok() || ! reader.canHold (entryCount, 8))
        return false;

    // Reading gives every name its colour in file order, exactly as
    // assignColor would one by one (so a name listed twice ends under the
    // last colour, and colour 0 drops it), but without the quadratic cost
    // that a long hostile list would make of it.
    struct LastColor
    {
        juce::uint32 colorKey;
        juce::uint64 order;
    };

    std::map<juce::String, LastColor> lastColorOfName;
    std::map<juce::uint32, ColorAssignment*> entryOfColor;
    juce::uint64 order = 0;

    for (juce::uint32 e = 0; e < entryCount; ++e)
    {
        const auto colorKey = reader.readU32();
        const auto nameCount = reader.readU32();

        if (! reader.ok() || ! reader.canHold (nameCount, 4))
        {
            clear();
            return false;
        }

        for (juce::uint32 n = 0; n < nameCount; ++n)
        {
            auto name = reader.readText ((juce::uint32) juce::jmin (reader.remaining(), (size_t) 0xffffffffu));

            if (! reader.ok())
            {
                clear();
                return false;
            }

            // An entry comes into being with its first name, as assignColor makes it.
            if (colorKey != 0 && entryOfColor.find (colorKey) == entryOfColor.end())
            {
                auto* entry = entries.add (new ColorAssignment());
                entry->colorKey = colorKey;
                entryOfColor[colorKey] = entry;
            }

            lastColorOfName[name] = { colorKey, order++ };
        }
    }

    std::vector<std::pair<juce::uint64, std::pair<juce::uint32, juce::String>>> placed;

    for (auto& [name, last] : lastColorOfName)
        if (last.colorKey != 0)
            placed.push_back ({ last.order, { last.colorKey, name } });

    std::sort (placed.begin(), placed.end(), [] (const auto& a, const auto& b) { return a.first < b.first; });

    for (auto& item : placed)
        entryOfColor[item.second.first]->names.add (item.second.second);

    key = modelKey;
    return true;
}
