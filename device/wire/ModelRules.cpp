#include "device/wire/ModelRules.h"

#include "model/ModelFirmwareText.h"

#include "model/IdTables.h"

namespace
{
constexpr int maxSeptetPair = 128 * 128;

bool isCabModel (int model)
{
    return model == 3 || model == 6 || model == 7 || model == 8;
}
} // namespace

bool isFirmwareAtLeast (const FirmwareInfo& firmware, juce::uint32 major, juce::uint32 minor)
{
    return firmware.major > major || (firmware.major == major && firmware.minor >= minor);
}

int getPresetCount (const FirmwareInfo& firmware)
{
    switch (firmware.model)
    {
        case 3: return 384;
        case 5:
        case 10: return 128;
        case 6:
        case 7: return isFirmwareAtLeast (firmware, 15, 4) ? 768 : 512;
        case 8: return 512;
        default: return -1;
    }
}

int getUserCabCount (const FirmwareInfo& firmware, const SystemInfo* systemInfo)
{
    auto fromSystemInfo = systemInfo != nullptr ? (int) systemInfo->userCabs : 0;

    switch (firmware.model)
    {
        case 3: return firmware.major < 20 ? 100 : fromSystemInfo;
        case 6:
        case 7: return firmware.major < 20 ? 512 : fromSystemInfo;
        case 8: return systemInfo != nullptr ? fromSystemInfo : 512;
        default: return 0;
    }
}

int getPatchDumpMessageCount (juce::uint8 model)
{
    switch (model)
    {
        case 3:
        case 5:
        case 10: return 34;
        case 6:
        case 7:
        case 8: return 66;
        default: return -1;
    }
}

int getPresetDataSize (juce::uint8 model)
{
    switch (getPatchDumpMessageCount (model))
    {
        case 34: return 4096;
        case 66: return 8192;
        default: return -1;
    }
}

bool hasCabSlots (juce::uint8 model)
{
    return isCabModel (model);
}

bool presetNumberToBankAndProgram (int presetNumber, int& bank, int& program, int presetCount)
{
    if (presetNumber < 0 || presetNumber >= maxSeptetPair || (presetCount > 0 && presetNumber >= presetCount))
        return false;

    bank = presetNumber / 128;
    program = presetNumber % 128;
    return true;
}

bool isPresetTransferable (int unitModel, int dataModel, bool& needsConversion)
{
    if (unitModel == dataModel)
    {
        needsConversion = false;
        return true;
    }

    auto accepted = (unitModel == 6 && (dataModel == 3 || dataModel == 7)) ||
                    (unitModel == 7 && (dataModel == 3 || dataModel == 6)) || (unitModel == 5 && dataModel == 10) ||
                    (unitModel == 10 && dataModel == 5);

    if (accepted)
        needsConversion = true;

    return accepted;
}

bool isCabTransferable (int unitModel, int dataModel, bool& needsConversion)
{
    if (unitModel == dataModel)
    {
        needsConversion = false;
        return true;
    }

    if (isCabModel (unitModel) && isCabModel (dataModel))
    {
        needsConversion = true;
        return true;
    }

    return false;
}

bool getModelAndFirmwareText (const FirmwareInfo& firmware, juce::String& modelName, juce::String& versionText)
{
    return getModelAndFirmwareText ((int) firmware.model, (juce::uint32) firmware.major, (juce::uint32) firmware.minor,
                                    modelName, versionText);
}
