#pragma once

#include "device/wire/SysExFraming.h"
#include "device/wire/UnitReplies.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"

// The rules that differ between the unit's models: how many presets and cabs
// they store, how big a preset is, and which data may move between them.
// Everything else asks here instead of testing model numbers itself.

// The firmware each supported model needs is FirmwareRequirements (model/IdTables.h).

// The number of preset slots; -1 for a model without presets here.
int getPresetCount (const FirmwareInfo& firmware);

// The number of user cab slots; systemInfo is the unit's system information,
// or nullptr while it has not arrived.
int getUserCabCount (const FirmwareInfo& firmware, const SystemInfo* systemInfo);

// Messages per preset dump (start, data messages, end): 34 for models 3, 5
// and 10, 66 for models 6, 7 and 8, -1 for any other model.
int getPatchDumpMessageCount (juce::uint8 model = currentSysExModel.load());

// Messages per cab dump (start, 64 data messages, end), on every model.
constexpr int cabDumpMessageCount = 66;

// Bytes of one preset's data: 4096 or 8192; -1 for any other model.
int getPresetDataSize (juce::uint8 model);

// True for the models with cab slots (3, 6, 7 and 8).
bool hasCabSlots (juce::uint8 model);

// Splits a preset number into the two septets every preset-addressing
// message carries: bank = number / 128, program = number % 128. False
// (outputs untouched) for a negative number, for one that two septets cannot
// carry (16384 and above, which would address another slot), and for one at
// or above presetCount when that is known (above 0).
bool presetNumberToBankAndProgram (int presetNumber, int& bank, int& program, int presetCount = -1);

// Whether a preset (or cab) of dataModel may be sent to a unit of unitModel,
// and whether its data must be converted on the way.
bool isPresetTransferable (int unitModel, int dataModel, bool& needsConversion);
bool isCabTransferable (int unitModel, int dataModel, bool& needsConversion);

// The model's display name and the firmware version text ("%.2f"; for models
// 3, 6 and 7 from major 21 on, "Calyx" and the version counted from 20).
// False (outputs untouched) when the model has no name.
bool getModelAndFirmwareText (const FirmwareInfo& firmware, juce::String& modelName, juce::String& versionText);

// True when the firmware is at least major.minor.
bool isFirmwareAtLeast (const FirmwareInfo& firmware, juce::uint32 major, juce::uint32 minor);
