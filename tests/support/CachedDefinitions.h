#pragma once

#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UnitIds.h"
#include "tests/support/SimulatedPreset.h"

#include <set>

// Stands for an earlier run that read the simulated unit's definitions: their
// cache lies in the configuration's definitions folder (call it after the
// user folders are redirected), so connecting takes them from there instead
// of reading them from the unit again, which takes a minute. It holds what the
// unit answers: every parameter of every effect type, with its texts.
inline bool cacheDefinitionsOfTheSimulatedUnit()
{
    KestrelGlobalConfiguration configuration;
    KestrelEffectManager earlier;
    earlier.setFirmware (6, 0);
    std::set<int> typesDone;

    for (int blockId = 1; blockId < 1024; ++blockId)
    {
        const int type = effectTypeOfBlock (blockId);

        if (type <= 1 || isShuntBlockId (blockId) || ! typesDone.insert (type).second)
            continue;

        for (int paramId = 0; paramId < getParamCount (blockId); ++paramId)
        {
            earlier.storeParamInfo (blockId, paramId, SimulatedPreset::getParamInfo (blockId, paramId));
            earlier.storeParamStrings (blockId, paramId, SimulatedPreset::getValueTexts (blockId, paramId));
        }
    }

    return earlier.saveDefinitionsCache (juce::File (configuration.EFFECT_DEFS_DIR), 8);
}
