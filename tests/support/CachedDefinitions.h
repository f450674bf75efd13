#pragma once

#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"

// Stands for an earlier run that read the simulated unit's definitions: their
// cache lies in the configuration's definitions folder (call it after the
// user folders are redirected), so connecting takes them from there instead
// of reading them from the unit again, which takes a minute.
inline bool cacheDefinitionsOfTheSimulatedUnit()
{
    KestrelGlobalConfiguration configuration;
    KestrelEffectManager earlier;
    ParamInfo info;
    info.maximum = 65535.0f;
    earlier.setFirmware (6, 0);
    earlier.storeParamInfo (106, 1, info);
    return earlier.saveDefinitionsCache (juce::File (configuration.EFFECT_DEFS_DIR), 8);
}
