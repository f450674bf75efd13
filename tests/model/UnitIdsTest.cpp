#include "model/UnitIds.h"

#include <gtest/gtest.h>

using juce::Array;
using juce::String;
using juce::StringArray;
using juce::uint16;

TEST (UnitIds, GridCellsRoundTripAndRefuseOutsidePositions)
{
    EXPECT_EQ (gridCellIndex (3, 11), 47);
    EXPECT_EQ (gridCellIndex (4, 0), -1);
    EXPECT_EQ (gridCellIndex (0, 12), -1);
    EXPECT_EQ (gridCellIndex (-1, 0), -1);
    EXPECT_EQ (gridCellIndex (0, -1), -1);

    for (int index = 0; index < gridCellCount; ++index)
    {
        int row = -1, column = -1;
        ASSERT_TRUE (gridCellPosition (index, row, column));
        EXPECT_EQ (gridCellIndex (row, column), index);
    }

    int row = 77, column = 77;
    EXPECT_FALSE (gridCellPosition (48, row, column));
    EXPECT_FALSE (gridCellPosition (-1, row, column));
    EXPECT_EQ (row, 77);
    EXPECT_EQ (column, 77);
}

TEST (UnitIds, FootswitchesBottomRowHoldsTheFirstFour)
{
    EXPECT_EQ (footswitchIndexAt (1, 0), 0);
    EXPECT_EQ (footswitchIndexAt (0, 0), 4);
    EXPECT_EQ (footswitchIndexAt (0, 3), 7);
    EXPECT_EQ (footswitchIndexAt (2, 0), -1);
    EXPECT_EQ (footswitchIndexAt (0, 4), -1);
    EXPECT_EQ (footswitchIndexAt (1, -1), -1);

    for (int index = 0; index < footswitchCount; ++index)
    {
        int row = -1, column = -1;
        ASSERT_TRUE (footswitchPosition (index, row, column));
        EXPECT_EQ (footswitchIndexAt (row, column), index);
    }

    int row = 77, column = 77;
    EXPECT_FALSE (footswitchPosition (8, row, column));
    EXPECT_FALSE (footswitchPosition (-1, row, column));
    EXPECT_EQ (row, 77);
    ASSERT_TRUE (footswitchPosition (4, row, column));
    EXPECT_EQ (row, 0);
    EXPECT_EQ (column, 0);
}

TEST (UnitIds, EffectTypesOfBlocks)
{
    EXPECT_EQ (effectTypeOfBlock (101), 0); // an instance this unit lacks
    EXPECT_EQ (effectTypeOfBlock (100), 2);
    EXPECT_EQ (effectTypeOfBlock (184), 45);
    EXPECT_EQ (effectTypeOfBlock (207), 65533);
    EXPECT_EQ (effectTypeOfBlock (300), 0);
    EXPECT_EQ (effectTypeOfBlock (1), 65534);
    EXPECT_EQ (effectTypeOfBlock (0), 0);
    EXPECT_EQ (effectTypeOfBlock (206), 0);

    // Every supported id has a type, and that type's id list holds it.
    int supported = 0;
    for (int blockId = 0; blockId < 400; ++blockId)
    {
        if (! isBlockIdSupported (blockId))
            continue;

        ++supported;
        const auto type = effectTypeOfBlock (blockId);
        EXPECT_NE (type, 0) << blockId;

        Array<uint16> ids;
        getBlockIdsOfType (type, ids);
        EXPECT_TRUE (ids.contains ((uint16) blockId)) << blockId;
    }
    EXPECT_EQ (supported, 65);

    Array<uint16> ids{ 999 };
    getBlockIdsOfType (3, ids); // appends, keeps table order, skips 160 and 161
    EXPECT_EQ (ids, (Array<uint16>{ 999, 102, 103 }));

    EXPECT_EQ (firstBlockIdOfType (40), -1); // 171 is not supported
    EXPECT_EQ (firstBlockIdOfType (2), 100);
    EXPECT_EQ (firstBlockIdOfType (34), 127);
    EXPECT_EQ (firstBlockIdOfType (65534), 1);
    EXPECT_EQ (firstBlockIdOfType (0), -1);
}

TEST (UnitIds, SupportAssignabilityXYAndBypass)
{
    EXPECT_TRUE (isBlockIdSupported (1));
    EXPECT_TRUE (isBlockIdSupported (205));
    EXPECT_FALSE (isBlockIdSupported (0));
    EXPECT_FALSE (isBlockIdSupported (99));
    EXPECT_FALSE (isBlockIdSupported (165));
    EXPECT_FALSE (isBlockIdSupported (207));

    EXPECT_FALSE (isAssignableBlockId (1));
    EXPECT_FALSE (isAssignableBlockId (140));
    EXPECT_FALSE (isAssignableBlockId (182));
    EXPECT_TRUE (isAssignableBlockId (183));
    EXPECT_TRUE (isAssignableBlockId (142));

    EXPECT_TRUE (hasXYChannels (106, 8));
    EXPECT_FALSE (hasXYChannels (106, 2));
    EXPECT_FALSE (hasXYChannels (107, 8)); // unsupported instance
    EXPECT_FALSE (hasXYChannels (135, 8)); // Enhancer

    EXPECT_TRUE (hasBypass (100, 3));
    EXPECT_FALSE (hasBypass (100, 7));
    EXPECT_FALSE (hasBypass (0, 8));
    EXPECT_FALSE (hasBypass (310, 8));
    EXPECT_FALSE (hasBypass (139, 8));
    EXPECT_FALSE (hasBypass (141, 8));
}

TEST (UnitIds, SpecialParameterNumbers)
{
    for (int blockId : { 0, 300, 335 })
    {
        EXPECT_EQ (getTypeParamId (blockId), -1);
        EXPECT_EQ (getBypassModeParamId (blockId), -1);
        EXPECT_EQ (getBypassParamId (blockId), -1);
        EXPECT_EQ (getGlobalMixParamId (blockId), -1);
        EXPECT_EQ (getMixParamId (blockId), -1);
    }

    EXPECT_EQ (getTypeParamId (100), 12);
    EXPECT_EQ (getTypeParamId (106), 0);
    EXPECT_EQ (getTypeParamId (101), -1);
    EXPECT_EQ (getBypassModeParamId (135), -1); // Enhancer: bypass but no bypass mode
    EXPECT_EQ (getBypassParamId (135), 5);
    EXPECT_EQ (getBypassParamId (127), 3);
    EXPECT_EQ (getGlobalMixParamId (106), -1);
    EXPECT_EQ (getGlobalMixParamId (112), 21);
    EXPECT_EQ (getMixParamId (169), 0); // a real parameter 0, not "none"

    EXPECT_TRUE (isBypassModeParam (100, 14));
    EXPECT_TRUE (isBypassModeParam (100, 14 + 0x10000)); // 16-bit compare
    EXPECT_FALSE (isBypassModeParam (100, 9));
    EXPECT_FALSE (isBypassModeParam (135, -1)); // no bypass mode never matches 0xFFFF
    EXPECT_FALSE (isBypassModeParam (0, -1));

    Array<uint16> params;
    EXPECT_TRUE (getTimeRateParamIds (112, params));
    EXPECT_TRUE (getTimeRateParamIds (114, params));
    EXPECT_EQ (params, (Array<uint16>{ 2, 26, 0, 1, 2, 3 }));
    EXPECT_FALSE (getTimeRateParamIds (106, params));
    EXPECT_FALSE (getTimeRateParamIds (0, params));
    EXPECT_FALSE (getTimeRateParamIds (300, params));
    EXPECT_EQ (params.size(), 6);

    EXPECT_EQ (getSceneOutputParamId (140, 3), 11);
    EXPECT_EQ (getSceneOutputParamId (140, 9), 8);
    EXPECT_EQ (getSceneOutputParamId (136, 7), 15);
    EXPECT_EQ (getSceneOutputParamId (100, 0), -1);
}

TEST (UnitIds, NamesUnitsCounts)
{
    String name;
    EXPECT_TRUE (getBlockName (300, name));
    EXPECT_EQ (name, "Shunt");
    EXPECT_TRUE (getBlockName (100, name));
    EXPECT_EQ (name, "Compressor");
    EXPECT_TRUE (getBlockName (140, name));
    EXPECT_EQ (name, "Output");
    EXPECT_FALSE (getBlockName (1, name));
    EXPECT_FALSE (getBlockName (-5, name));

    EXPECT_EQ (getUnitIdFromText ("100 msec"), 3);
    EXPECT_EQ (getUnitIdFromText ("100 ms"), 4);
    EXPECT_EQ (getUnitIdFromText ("-6.0 dB"), 1);
    EXPECT_EQ (getUnitIdFromText ("-6.0 db"), 0);
    EXPECT_EQ (getUnitIdFromText (""), 0);

    EXPECT_EQ (getParamCount (1), 65);
    EXPECT_EQ (getParamCount (114), 118);
    EXPECT_EQ (getParamCount (141), 108);
    EXPECT_EQ (getParamCount (173), 20);
    EXPECT_EQ (getParamCount (176), 0);
    EXPECT_EQ (getParamCount (300), 0);

    EXPECT_EQ (getSceneCount (8), 8);
    EXPECT_EQ (getSceneCount (3), 8);
    EXPECT_EQ (getSceneCount (2), -1);
}

TEST (UnitIds, PresetAndSlotTextsStayInRange)
{
    String text = "x", part1 = "y", part2 = "z";
    ASSERT_TRUE (formatPresetNumber (511, " ", text, part1, part2));
    EXPECT_EQ (text, "64-8 ");
    EXPECT_EQ (part1, "64 ");
    EXPECT_EQ (part2, "8 ");
    EXPECT_FALSE (formatPresetNumber (512, "", text, part1, part2));
    EXPECT_FALSE (formatPresetNumber (-1, "", text, part1, part2));
    EXPECT_EQ (text, "64-8 ");

    ASSERT_TRUE (formatSlotName (127, "", text, part1, part2));
    EXPECT_EQ (text, "P8");
    EXPECT_EQ (part1, "P");
    EXPECT_EQ (part2, "8");
    EXPECT_FALSE (formatSlotName (128, "", text, part1, part2));
    EXPECT_FALSE (formatSlotName (-1, "", text, part1, part2));
    EXPECT_FALSE (formatSlotName (-8, "", text, part1, part2));
    EXPECT_EQ (text, "P8");

    StringArray list{ "keep" };
    buildPresetNumberList ("  ", list);
    ASSERT_EQ (list.size(), 513);
    EXPECT_EQ (list[1], "1-1  ");
    EXPECT_EQ (list[512], "64-8  ");

    list.clear();
    buildSlotNameList ("", list);
    ASSERT_EQ (list.size(), 128);
    EXPECT_EQ (list[0], "A1");
    EXPECT_EQ (list[9], "B2");
}

TEST (UnitIds, ParsePresetNumberText)
{
    const std::pair<const char*, int> good[] = { { "5", 4 },      { "12", 88 },  { "3-7", 22 }, { "12-8", 95 },
                                                 { " 3-7 ", 22 }, { "3x7", 22 }, { "64", 504 }, { "1", 0 },
                                                 { "64 8", 511 }, { "01-1", 0 } };

    for (auto& [text, expected] : good)
    {
        uint16 n = 9999;
        EXPECT_TRUE (parsePresetNumberText (text, n)) << text;
        EXPECT_EQ (n, expected) << text;
    }

    for (auto* text : { "00", "65", "0-1", "3-9", "123", "", "9", "0", "3--", "65-1", "1-0", "a", "12345" })
    {
        uint16 n = 9999;
        EXPECT_FALSE (parsePresetNumberText (text, n)) << text;
        EXPECT_EQ (n, 9999) << text;
    }
}
