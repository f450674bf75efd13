#include "model/ModifierRecord.h"

void ModifierRecord::reset()
{
    blockId = 0;
    paramId = 0;
    reportedParamId = 0;
    flag = 0;

    for (auto& setting : settings)
        setting = ModifierValueEntry();
}

bool ModifierRecord::setSlot (const ModifierValueEntry& entry)
{
    if (entry.settingIndex >= numSettings)
        return false;

    settings[entry.settingIndex] = entry;
    return true;
}

bool ModifierRecord::getSlot (int n, ModifierValueEntry& out) const
{
    if (n < 0 || n >= numSettings)
        return false;

    out = settings[n];
    return true;
}
