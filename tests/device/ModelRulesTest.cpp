#include "device/wire/ModelRules.h"
#include "model/IdTables.h"

#include <gtest/gtest.h>

namespace
{
FirmwareInfo firmware (juce::uint8 model, juce::uint32 major, juce::uint32 minor)
{
    FirmwareInfo info;
    info.model = model;
    info.major = major;
    info.minor = minor;
    info.version = (float) major + (float) minor / 100.0f;
    return info;
}
} // namespace

TEST (ModelRules, PresetAndCabCounts)
{
    EXPECT_EQ (getPresetCount (firmware (3, 10, 0)), 384);
    EXPECT_EQ (getPresetCount (firmware (5, 1, 0)), 128);
    EXPECT_EQ (getPresetCount (firmware (10, 1, 0)), 128);
    EXPECT_EQ (getPresetCount (firmware (8, 6, 0)), 512);
    EXPECT_EQ (getPresetCount (firmware (7, 15, 3)), 512);
    EXPECT_EQ (getPresetCount (firmware (7, 15, 4)), 768);
    EXPECT_EQ (getPresetCount (firmware (6, 16, 0)), 768);
    EXPECT_EQ (getPresetCount (firmware (4, 1, 0)), -1);

    SystemInfo info{ 1, 100, 300, 4 };
    EXPECT_EQ (getUserCabCount (firmware (8, 6, 0), nullptr), 512); // until the system information arrives
    EXPECT_EQ (getUserCabCount (firmware (8, 6, 0), &info), 300);
    EXPECT_EQ (getUserCabCount (firmware (3, 19, 9), &info), 100);
    EXPECT_EQ (getUserCabCount (firmware (3, 20, 0), nullptr), 0);
    EXPECT_EQ (getUserCabCount (firmware (6, 19, 0), nullptr), 512);
    EXPECT_EQ (getUserCabCount (firmware (7, 20, 0), &info), 300);
    EXPECT_EQ (getUserCabCount (firmware (5, 20, 0), &info), 0);

    EXPECT_TRUE (hasCabSlots (3) && hasCabSlots (6) && hasCabSlots (7) && hasCabSlots (8));
    EXPECT_FALSE (hasCabSlots (5) || hasCabSlots (10) || hasCabSlots (0));
}

TEST (ModelRules, DumpSizesFollowTheModel)
{
    for (juce::uint8 model : { 3, 5, 10 })
    {
        EXPECT_EQ (getPatchDumpMessageCount (model), 34);
        EXPECT_EQ (getPresetDataSize (model), 4096);
    }

    for (juce::uint8 model : { 6, 7, 8 })
    {
        EXPECT_EQ (getPatchDumpMessageCount (model), 66);
        EXPECT_EQ (getPresetDataSize (model), 8192);
    }

    EXPECT_EQ (getPatchDumpMessageCount (4), -1);
    EXPECT_EQ (getPresetDataSize (0x7F), -1);

    // Without a model, the process-wide one counts.
    auto saved = currentSysExModel.load();
    currentSysExModel = 8;
    EXPECT_EQ (getPatchDumpMessageCount(), 66);
    currentSysExModel = 3;
    EXPECT_EQ (getPatchDumpMessageCount(), 34);
    currentSysExModel = saved;
}

TEST (ModelRules, FirmwareRequirementOfTheUnit)
{
    ASSERT_EQ (getTableRowCount (FirmwareRequirements), 1);
    juce::int32 major = 0, minor = 0;
    ASSERT_TRUE (getPairForId (FirmwareRequirements, 8, major, minor));
    EXPECT_EQ (major, 6);
    EXPECT_EQ (minor, 0);
    EXPECT_FALSE (getPairForId (FirmwareRequirements, 7, major, minor));

    EXPECT_TRUE (isFirmwareAtLeast (firmware (8, 6, 0), 6, 0));
    EXPECT_TRUE (isFirmwareAtLeast (firmware (8, 7, 0), 6, 50));
    EXPECT_FALSE (isFirmwareAtLeast (firmware (8, 5, 99), 6, 0));
}

TEST (ModelRules, PresetNumbersSplitOnlyWhenAddressable)
{
    int bank = -1, program = -1;
    ASSERT_TRUE (presetNumberToBankAndProgram (511, bank, program));
    EXPECT_EQ (bank, 3);
    EXPECT_EQ (program, 127);
    ASSERT_TRUE (presetNumberToBankAndProgram (300, bank, program, 512));
    EXPECT_EQ (bank, 2);
    EXPECT_EQ (program, 44);

    bank = program = -7;
    EXPECT_FALSE (presetNumberToBankAndProgram (-1, bank, program));
    // Two septets cannot carry it: bank 128 would reach the unit as bank 0.
    EXPECT_FALSE (presetNumberToBankAndProgram (16384, bank, program));
    // Beyond the unit's slots.
    EXPECT_FALSE (presetNumberToBankAndProgram (512, bank, program, 512));
    EXPECT_EQ (bank, -7);
    EXPECT_EQ (program, -7);
    EXPECT_TRUE (presetNumberToBankAndProgram (16383, bank, program));
    EXPECT_EQ (bank, 127);
}

TEST (ModelRules, TransferCompatibility)
{
    struct Case
    {
        int unit, data;
        bool preset, presetConversion, cab, cabConversion;
    };

    const Case cases[] = {
        { 8, 8, true, false, true, false },  { 6, 3, true, true, true, true },     { 6, 7, true, true, true, true },
        { 7, 3, true, true, true, true },    { 7, 6, true, true, true, true },     { 3, 6, false, false, true, true },
        { 8, 3, false, false, true, true },  { 8, 6, false, false, true, true },   { 5, 10, true, true, false, false },
        { 10, 5, true, true, false, false }, { 5, 3, false, false, false, false }, { 8, 5, false, false, false, false },
        { 4, 4, true, false, true, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.unit) + " <- " + juce::String (c.data));
        bool conversion = ! c.presetConversion;
        EXPECT_EQ (isPresetTransferable (c.unit, c.data, conversion), c.preset);
        if (c.preset)
        {
            EXPECT_EQ (conversion, c.presetConversion);
        }

        conversion = ! c.cabConversion;
        EXPECT_EQ (isCabTransferable (c.unit, c.data, conversion), c.cab);
        if (c.cab)
        {
            EXPECT_EQ (conversion, c.cabConversion);
        }
    }
}

TEST (ModelRules, ModelAndFirmwareText)
{
    juce::String name, version;

    ASSERT_TRUE (getModelAndFirmwareText (firmware (6, 21, 5), name, version));
    EXPECT_EQ (version, "Calyx 1.05");
    EXPECT_EQ (name, getNameForId (ModelNames, 6));

    ASSERT_TRUE (getModelAndFirmwareText (firmware (8, 21, 5), name, version));
    EXPECT_EQ (version, "21.05");
    EXPECT_EQ (name, "Kestrel");

    ASSERT_TRUE (getModelAndFirmwareText (firmware (8, 6, 0), name, version));
    EXPECT_EQ (version, "6.00");
    ASSERT_TRUE (getModelAndFirmwareText (firmware (3, 20, 99), name, version));
    EXPECT_EQ (version, "20.99");

    name = version = "kept";
    EXPECT_FALSE (getModelAndFirmwareText (firmware (42, 1, 0), name, version));
    EXPECT_EQ (name, "kept");
    EXPECT_EQ (version, "kept");
}
