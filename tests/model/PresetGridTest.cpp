#include "model/PresetGrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

juce::uint8 xorCheck (const Bytes& bytes)
{
    juce::uint8 sum = 0;
    for (auto b : bytes)
        sum ^= b;
    return (juce::uint8) (sum & 0x7f);
}

Bytes withCheckByte (Bytes body)
{
    body.push_back (xorCheck (body));
    return body;
}

Bytes toBytes (const juce::MemoryBlock& block)
{
    auto* p = static_cast<const juce::uint8*> (block.getData());
    return Bytes (p, p + block.getSize());
}

void fillFullGrid (PresetGrid& grid)
{
    for (int i = 0; i < PresetGrid::maxCells; ++i)
        grid.addCell ({ (juce::uint16) (100 + i), (juce::uint16) (i % 16) });
}

// A grid with recognisable content, to see whether a refused read left it alone.
void fillMarker (PresetGrid& grid)
{
    grid.clear();
    grid.addCell ({ 777, 3 });
    grid.getFixedBlocks().add (139);
}

void expectMarker (const PresetGrid& grid)
{
    ASSERT_EQ (grid.getNumCells(), 1);
    EXPECT_EQ (grid.getBlockIdAt (0), 777);
    EXPECT_EQ (grid.getCell (0)->inputMask, 3);
    EXPECT_EQ (grid.getFixedBlocks().size(), 1);
}
} // namespace

TEST (PresetGrid, WritesTheDocumentedByteLayout)
{
    PresetGrid grid;
    grid.addCell ({ 120, 0 });
    grid.addCell ({ 300, 5 });
    grid.addCell ({ 0, 0 });
    grid.getFixedBlocks().add (140); // never serialised

    juce::MemoryBlock form;
    grid.writeTo (form);

    const Bytes expected{ 3, 0, 0, 0, 0x78, 0x00, 0x00, 0x00, 0x2c, 0x01, 0x05, 0x00, 0, 0, 0, 0, 0x53 };
    EXPECT_EQ (toBytes (form), expected);

    PresetGrid read;
    ASSERT_TRUE (read.readFrom (expected.data(), expected.size()));
    ASSERT_EQ (read.getNumCells(), 3);
    EXPECT_EQ (read.getBlockIdAt (0), 120);
    EXPECT_EQ (read.getBlockIdAt (1), 300);
    EXPECT_EQ (read.getCell (1)->inputMask, 5);
    EXPECT_TRUE (read.getFixedBlocks().isEmpty());
}

TEST (PresetGrid, FullGridRoundTripsByteForByte)
{
    PresetGrid grid;
    fillFullGrid (grid);

    juce::MemoryBlock form;
    grid.writeTo (form);
    EXPECT_EQ (form.getSize(), 197u);

    PresetGrid read;
    read.getFixedBlocks().add (141);
    ASSERT_TRUE (read.readFrom (form));
    EXPECT_EQ (read.getNumCells(), 48);
    EXPECT_TRUE (read.getFixedBlocks().isEmpty());

    juce::MemoryBlock again;
    read.writeTo (again);
    EXPECT_EQ (again, form);

    // Appending to a non-empty block checks only the grid's own bytes.
    juce::MemoryBlock prefixed ("xyz", 3);
    grid.writeTo (prefixed);
    EXPECT_TRUE (read.readFrom (static_cast<const char*> (prefixed.getData()) + 3, prefixed.getSize() - 3));
}

TEST (PresetGrid, RefusesMissingOrDamagedData)
{
    PresetGrid grid;
    fillMarker (grid);

    EXPECT_FALSE (grid.readFrom (nullptr, 0));
    EXPECT_FALSE (grid.readFrom (juce::MemoryBlock()));
    expectMarker (grid);

    auto good = withCheckByte ({ 1, 0, 0, 0, 0x78, 0, 1, 0 });
    auto badCheck = good;
    badCheck.back() = (juce::uint8) (badCheck.back() + 1);
    EXPECT_FALSE (grid.readFrom (badCheck.data(), badCheck.size()));
    expectMarker (grid);

    auto badData = good;
    badData[4] ^= 0x01;
    EXPECT_FALSE (grid.readFrom (badData.data(), badData.size()));
    expectMarker (grid);

    // Counts above the grid's 48 cells are refused whatever data follows.
    for (juce::uint32 count : { 49u, 0x10000u, 0x40000000u, 0xffffffffu })
    {
        Bytes body{ (juce::uint8) count, (juce::uint8) (count >> 8), (juce::uint8) (count >> 16),
                    (juce::uint8) (count >> 24) };
        body.resize (4 + 4 * 49, 0x11);
        auto form = withCheckByte (body);
        EXPECT_FALSE (grid.readFrom (form.data(), form.size())) << count;
        expectMarker (grid);
    }
}

TEST (PresetGrid, ShortFormsWithAGoodCheckByteReadMissingFieldsAsZero)
{
    PresetGrid grid;

    auto emptyGrid = withCheckByte ({ 0, 0, 0, 0 });
    fillMarker (grid);
    EXPECT_TRUE (grid.readFrom (emptyGrid.data(), emptyGrid.size()));
    EXPECT_EQ (grid.getNumCells(), 0);
    EXPECT_TRUE (grid.getFixedBlocks().isEmpty());

    // Only a check byte: no count, so no cells.
    const Bytes onlyCheck{ 0 };
    fillMarker (grid);
    EXPECT_TRUE (grid.readFrom (onlyCheck.data(), onlyCheck.size()));
    EXPECT_EQ (grid.getNumCells(), 0);

    // Truncate a full grid at every length and re-seal it: the count of 48
    // survives, every field that still fits keeps its value, the rest are 0.
    PresetGrid full;
    fillFullGrid (full);
    juce::MemoryBlock block;
    full.writeTo (block);
    auto bytes = toBytes (block);

    for (size_t length = 0; length < bytes.size() - 1; ++length)
    {
        auto form = withCheckByte (Bytes (bytes.begin(), bytes.begin() + (long) length));
        ASSERT_TRUE (grid.readFrom (form.data(), form.size())) << length;
        ASSERT_EQ (grid.getNumCells(), length >= 4 ? 48 : 0) << length;

        for (int k = 0; k < grid.getNumCells(); ++k)
        {
            auto idFits = 4 + 4 * (size_t) k + 2 <= length;
            auto maskFits = 4 + 4 * (size_t) k + 4 <= length;
            EXPECT_EQ (grid.getCell (k)->blockId, idFits ? full.getBlockIdAt (k) : 0) << length << " " << k;
            EXPECT_EQ (grid.getCell (k)->inputMask, maskFits ? full.getCell (k)->inputMask : 0) << length;
        }
    }

    // Unsealed truncations fail unless the cut happens to leave a valid check byte.
    for (size_t length = 1; length < bytes.size(); ++length)
    {
        fillMarker (grid);
        Bytes cut (bytes.begin(), bytes.begin() + (long) length);
        if (! grid.readFrom (cut.data(), cut.size()))
            expectMarker (grid);
    }
}

TEST (PresetGrid, CellAccessAndVectors)
{
    PresetGrid grid;
    EXPECT_EQ (grid.getCell (0), nullptr);
    EXPECT_EQ (grid.getBlockIdAt (-1), 0);

    fillFullGrid (grid);
    EXPECT_FALSE (grid.addCell ({ 200, 0 }));
    EXPECT_EQ (grid.getNumCells(), 48);
    EXPECT_EQ (grid.getCell (48), nullptr);
    EXPECT_EQ (grid.getCell (-1), nullptr);
    EXPECT_EQ (grid.getBlockIdAt (47), 147);

    fillMarker (grid);
    EXPECT_FALSE (grid.setFromVectors (nullptr));
    GridVectors uneven;
    uneven.blockIds = { 1, 2 };
    uneven.inputMasks = { 1 };
    EXPECT_FALSE (grid.setFromVectors (&uneven));
    GridVectors tooMany;
    for (int i = 0; i < 49; ++i)
    {
        tooMany.blockIds.add (100);
        tooMany.inputMasks.add (0);
    }
    EXPECT_FALSE (grid.setFromVectors (&tooMany));
    expectMarker (grid);

    GridVectors vectors;
    vectors.blockIds = { 106, 300 };
    vectors.inputMasks = { 0, 9 };
    EXPECT_TRUE (grid.setFromVectors (&vectors));
    ASSERT_EQ (grid.getNumCells(), 2);
    EXPECT_EQ (grid.getCell (1)->blockId, 300);
    EXPECT_EQ (grid.getCell (1)->inputMask, 9);
    EXPECT_TRUE (grid.getFixedBlocks().isEmpty());

    grid.getFixedBlocks().add (139);
    GridVectors none;
    EXPECT_TRUE (grid.setFromVectors (&none));
    EXPECT_EQ (grid.getNumCells(), 0);
    EXPECT_TRUE (grid.getFixedBlocks().isEmpty());
}

TEST (PresetGrid, FreeShuntSearch)
{
    PresetGrid grid;
    EXPECT_EQ (grid.findFreeShuntId(), 300);

    grid.addCell ({ 300, 0 });
    grid.addCell ({ 302, 0 });
    grid.addCell ({ 336, 0 }); // outside the shunt range: ignored
    EXPECT_EQ (grid.findFreeShuntId(), 301);

    juce::Array<juce::uint16> inUse{ 301, 299, 303 };
    EXPECT_EQ (grid.findFreeShuntId (&inUse), 304);

    // All 36 taken, split between the cells and the extra list.
    juce::Array<juce::uint16> rest;
    for (juce::uint16 id = 303; id <= 335; ++id)
        rest.add (id);
    rest.add (301);
    EXPECT_EQ (grid.findFreeShuntId (&rest), -1);
    rest.removeFirstMatchingValue (335);
    EXPECT_EQ (grid.findFreeShuntId (&rest), 335);
}

TEST (PresetGrid, CountingAndIterationSkipEmptyCellsAndShunts)
{
    PresetGrid grid;
    grid.addCell ({ 0, 0 });
    grid.addCell ({ 106, 1 });
    grid.addCell ({ 300, 1 });
    grid.addCell ({ 335, 1 });
    grid.addCell ({ 120, 2 });
    grid.addCell ({ 299, 0 });
    grid.addCell ({ 336, 0 });

    for (juce::uint16 id : { 139, 140, 141, 140 })
        grid.getFixedBlocks().addIfNotAlreadyThere (id);

    EXPECT_EQ (grid.getFixedBlocks().size(), 3);
    EXPECT_EQ (grid.countBlocks(), 7);
    EXPECT_FALSE (grid.containsBlock (140));
    EXPECT_TRUE (grid.containsBlock (120));
    EXPECT_TRUE (grid.containsBlock (0));

    auto walk = [&grid] (juce::uint8 flag)
    {
        juce::Array<juce::uint16> ids;
        PresetGridIterator it (&grid, flag);
        for (juce::uint16 id; it.next (id);)
            ids.add (id);
        return ids;
    };

    EXPECT_EQ (walk (1), (juce::Array<juce::uint16>{ 106, 120, 299, 336 }));
    EXPECT_EQ (walk (0), (juce::Array<juce::uint16>{ 106, 120, 299, 336, 139, 140, 141 }));
    EXPECT_EQ (walk (2), walk (0));

    PresetGridIterator finished (&grid, 1);
    for (juce::uint16 id; finished.next (id);)
    {
    }
    juce::uint16 id = 55;
    EXPECT_FALSE (finished.next (id));
    EXPECT_EQ (id, 55);

    PresetGridIterator noGrid;
    EXPECT_FALSE (noGrid.next (id));
}
