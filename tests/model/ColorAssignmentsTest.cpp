#include "model/ColorAssignments.h"
#include "model/ByteWriter.h"
#include "model/Checksum.h"

#include <gtest/gtest.h>

namespace
{
std::vector<juce::uint8> bytesOf (const juce::MemoryBlock& block)
{
    auto* p = static_cast<const juce::uint8*> (block.getData());
    return std::vector<juce::uint8> (p, p + block.getSize());
}

juce::MemoryBlock serialise (const ColorAssignments& store)
{
    juce::MemoryBlock block;
    EXPECT_TRUE (store.writeTo (block));
    return block;
}

// Appends the check byte of everything in the block.
void seal (juce::MemoryBlock& block)
{
    ByteWriter (block).writeU8 (calcSysExChecksum (block.getData(), block.getSize()));
}

// A file with one group built by hand from (colour, names) entries.
juce::MemoryBlock fileWithGroup (juce::uint32 modelKey, std::vector<std::pair<juce::uint32, juce::StringArray>> entries)
{
    juce::MemoryBlock group;
    ByteWriter g (group);
    g.writeU32 (modelKey);
    g.writeU32 ((juce::uint32) entries.size());

    for (auto& [colour, names] : entries)
    {
        g.writeU32 (colour);
        g.writeU32 ((juce::uint32) names.size());
        for (auto& name : names)
            g.writeText (name);
    }
    seal (group);

    juce::MemoryBlock file;
    ByteWriter f (file);
    f.writeU16 (1);
    f.writeU32 (1);
    f.writeU32 ((juce::uint32) group.getSize());
    f.writeBytes (group.getData(), group.getSize());
    seal (file);
    return file;
}

void fillSample (ColorAssignments& store)
{
    auto& axe = store.findOrAddGroup (8);
    axe.assignColor (3, "Clean");
    axe.assignColor (3, "Crunch");
    axe.assignColor (7, "Lead");
    auto& other = store.findOrAddGroup (10);
    other.assignColor (2, "Clean");
}
} // namespace

TEST (ColorAssignments, FileFormMatchesTheKnownLayouts)
{
    ColorAssignments empty;
    EXPECT_EQ (bytesOf (serialise (empty)), (std::vector<juce::uint8>{ 1, 0, 0, 0, 0, 0, 1 }));

    ColorAssignments store;
    store.findOrAddGroup (8).assignColor (3, "abc");
    auto bytes = bytesOf (serialise (store));

    ASSERT_EQ (bytes.size(), 2u + 4 + 4 + 24 + 1);
    const std::vector<juce::uint8> expected{ 1,  0,       // header word
                                             1,  0, 0, 0, // one group
                                             24, 0, 0, 0, // its length, check byte included
                                             8,  0, 0, 0, // model 8
                                             1,  0, 0, 0, // one entry
                                             3,  0, 0, 0, // colour 3
                                             1,  0, 0, 0, // one name
                                             3,  0, 0, 0, 'a', 'b', 'c' };
    EXPECT_TRUE (std::equal (expected.begin(), expected.end(), bytes.begin()));
    EXPECT_EQ (bytes[34 - 1], calcSysExChecksum (bytes.data() + 10, 23)); // group check byte
    EXPECT_EQ (bytes.back(), calcSysExChecksum (bytes.data(), bytes.size() - 1));
}

TEST (ColorAssignments, AssignColorMovesRemovesAndKeepsEmptyEntries)
{
    ColorAssignmentGroup group (8);
    group.assignColor (3, "Clean");
    group.assignColor (3, "Clean");
    ASSERT_EQ (group.entries.size(), 1);
    EXPECT_EQ (group.entries[0]->names.size(), 1);

    group.assignColor (5, "Clean");
    EXPECT_EQ (group.getColorOfName ("Clean"), 5u);
    ASSERT_EQ (group.entries.size(), 2);
    EXPECT_TRUE (group.entries[0]->names.isEmpty()); // colour 3 stays, empty

    group.assignColor (0, "Clean");
    EXPECT_EQ (group.getColorOfName ("Clean"), 0u);
    EXPECT_EQ (group.entries.size(), 2);
    EXPECT_EQ (group.findByKey (0), nullptr);

    group.assignColor (5, "clean");
    EXPECT_EQ (group.getColorOfName ("Clean"), 0u); // case matters
    EXPECT_TRUE (group.removeName ("clean"));
    EXPECT_FALSE (group.removeName ("clean"));

    // Empty entries are written with a name count of 0 and read back fine.
    ColorAssignments store;
    store.groups.add (new ColorAssignmentGroup (8));
    store.groups[0]->assignColor (3, "x");
    store.groups[0]->assignColor (0, "x");
    ColorAssignments copy;
    EXPECT_TRUE (copy.readFrom (serialise (store)));
    EXPECT_EQ (copy.getColorOfName (8, "x"), 0u);
}

TEST (ColorAssignments, LookupsArePerModelAndRoundTripWhole)
{
    ColorAssignments store;
    fillSample (store);
    EXPECT_EQ (store.getColorOfName (8, "Clean"), 3u);
    EXPECT_EQ (store.getColorOfName (10, "Clean"), 2u);
    EXPECT_EQ (store.getColorOfName (9, "Clean"), 0u);
    EXPECT_EQ (store.getColorOfName (8, "Nope"), 0u);
    EXPECT_EQ (store.findByKey (9), nullptr);
    EXPECT_EQ (&store.findOrAddGroup (8), store.findByKey (8));

    // Names beyond ASCII survive: the length written is the UTF-8 byte count.
    store.findOrAddGroup (8).assignColor (9, juce::String::fromUTF8 ("Br\xc3\xbc"
                                                                     "cke \xe2\x82\xac"));

    auto file = serialise (store);
    ColorAssignments copy;
    copy.headerWord = 42;
    ASSERT_TRUE (copy.readFrom (file));
    EXPECT_EQ (copy.headerWord, 1);
    EXPECT_EQ (bytesOf (serialise (copy)), bytesOf (file));
    EXPECT_EQ (copy.getColorOfName (8, juce::String::fromUTF8 ("Br\xc3\xbc"
                                                               "cke \xe2\x82\xac")),
               9u);
}

TEST (ColorAssignments, HeaderWordOfAnotherVersionIsKeptAsRead)
{
    ColorAssignments store;
    fillSample (store);
    store.headerWord = 7;
    auto file = serialise (store);

    ColorAssignments copy;
    ASSERT_TRUE (copy.readFrom (file));
    EXPECT_EQ (copy.headerWord, 7);
    EXPECT_EQ (copy.getColorOfName (8, "Lead"), 7u);
    EXPECT_EQ (bytesOf (serialise (copy)), bytesOf (file));
}

TEST (ColorAssignments, ReadingGivesEachNameItsLastColour)
{
    auto file = fileWithGroup (8, { { 3, { "a", "b", "a" } }, { 0, { "b" } }, { 5, { "c", "a" } }, { 3, { "d" } } });

    // The same sequence of assignments, made one by one.
    ColorAssignmentGroup reference (8);
    for (auto [c, n] : std::vector<std::pair<juce::uint32, const char*>>{
             { 3, "a" }, { 3, "b" }, { 3, "a" }, { 0, "b" }, { 5, "c" }, { 5, "a" }, { 3, "d" } })
        reference.assignColor (c, n);

    ColorAssignments store;
    ASSERT_TRUE (store.readFrom (file));
    auto* group = store.findByKey (8);
    ASSERT_NE (group, nullptr);
    ASSERT_EQ (group->entries.size(), reference.entries.size());

    for (int i = 0; i < reference.entries.size(); ++i)
    {
        EXPECT_EQ (group->entries[i]->colorKey, reference.entries[i]->colorKey);
        EXPECT_EQ (group->entries[i]->names, reference.entries[i]->names);
    }

    EXPECT_EQ (store.getColorOfName (8, "a"), 5u);
    EXPECT_EQ (store.getColorOfName (8, "b"), 0u);
    EXPECT_EQ (store.getColorOfName (8, "d"), 3u);
}

TEST (ColorAssignments, AnyFlippedByteReadsAsEmpty)
{
    ColorAssignments sample;
    fillSample (sample);
    auto file = serialise (sample);

    for (size_t i = 0; i < file.getSize(); ++i)
    {
        auto damaged = file;
        static_cast<juce::uint8*> (damaged.getData())[i] ^= 0x01;

        ColorAssignments store;
        EXPECT_FALSE (store.readFrom (damaged)) << "byte " << i;
        EXPECT_TRUE (store.groups.isEmpty()) << "byte " << i;
    }

    ColorAssignments store;
    EXPECT_FALSE (store.readFrom (juce::MemoryBlock()));
    EXPECT_FALSE (store.readFrom (nullptr, 5));
}

TEST (ColorAssignments, TruncatedFilesWithAValidCheckByteFailCleanly)
{
    ColorAssignments sample;
    fillSample (sample);
    auto file = serialise (sample);

    // Every prefix, resealed so that the parser itself meets the short data.
    for (size_t length = 0; length + 1 < file.getSize(); ++length)
    {
        juce::MemoryBlock cut (file.getData(), length);
        seal (cut);

        ColorAssignments store;
        EXPECT_FALSE (store.readFrom (cut)) << "length " << length;

        for (auto* group : store.groups)
            for (auto* entry : group->entries)
                EXPECT_NE (entry->colorKey, 0u);
    }
}

TEST (ColorAssignments, HostileCountsAndLengthsEndWithTheData)
{
    auto build = [] (std::function<void (ByteWriter&)> body)
    {
        juce::MemoryBlock block;
        ByteWriter w (block);
        body (w);
        seal (block);
        return block;
    };

    ColorAssignments store;

    // Four billion groups announced, none there.
    EXPECT_FALSE (store.readFrom (build (
        [] (ByteWriter& w)
        {
            w.writeU16 (1);
            w.writeU32 (0xffffffffu);
        })));
    EXPECT_TRUE (store.groups.isEmpty());

    // A group length far past the data.
    EXPECT_FALSE (store.readFrom (build (
        [] (ByteWriter& w)
        {
            w.writeU16 (1);
            w.writeU32 (1);
            w.writeU32 (0xfffffff0u);
            w.writeU32 (8);
        })));
    EXPECT_TRUE (store.groups.isEmpty());

    // Inside a sealed group: a huge entry count, a huge name count, a huge name length.
    auto groupFile = [&] (std::function<void (ByteWriter&)> groupBody)
    {
        juce::MemoryBlock group;
        ByteWriter g (group);
        groupBody (g);
        seal (group);
        return build (
            [&] (ByteWriter& w)
            {
                w.writeU16 (1);
                w.writeU32 (1);
                w.writeU32 ((juce::uint32) group.getSize());
                w.writeBytes (group.getData(), group.getSize());
            });
    };

    for (auto& hostile : { groupFile (
                               [] (ByteWriter& g)
                               {
                                   g.writeU32 (8);
                                   g.writeU32 (0xffffffffu);
                               }),
                           groupFile (
                               [] (ByteWriter& g)
                               {
                                   g.writeU32 (8);
                                   g.writeU32 (1);
                                   g.writeU32 (3);
                                   g.writeU32 (0x7fffffffu);
                               }),
                           groupFile (
                               [] (ByteWriter& g)
                               {
                                   g.writeU32 (8);
                                   g.writeU32 (1);
                                   g.writeU32 (3);
                                   g.writeU32 (1);
                                   g.writeU32 (0xfffffffcu);
                                   g.writeBytes ("abc", 3);
                               }) })
    {
        EXPECT_FALSE (store.readFrom (hostile));
        ASSERT_EQ (store.groups.size(), 1); // appended, but left empty
        EXPECT_TRUE (store.groups[0]->entries.isEmpty());
        EXPECT_EQ (store.groups[0]->key, 0u);
    }

    // A damaged second group leaves the first one readable.
    ColorAssignments sample;
    fillSample (sample);
    auto good = serialise (sample);
    auto bytes = bytesOf (good);
    const auto firstLength = (size_t) bytes[6] | ((size_t) bytes[7] << 8);
    const auto secondAt = 6 + 4 + firstLength;
    const auto secondLength = (size_t) bytes[secondAt] | ((size_t) bytes[secondAt + 1] << 8);
    const auto secondGroupCheck = secondAt + 4 + secondLength - 1;
    ASSERT_LT (secondGroupCheck, bytes.size() - 1);
    bytes[secondGroupCheck] ^= 0x01;
    juce::MemoryBlock damaged (bytes.data(), bytes.size() - 1);
    seal (damaged);
    EXPECT_FALSE (store.readFrom (damaged));
    EXPECT_EQ (store.getColorOfName (8, "Lead"), 7u);
    EXPECT_EQ (store.getColorOfName (10, "Clean"), 0u);
}
