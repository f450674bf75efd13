#include "model/KestrelEffectManager.h"

KestrelEffectManager::KestrelEffectManager() = default;

KestrelEffectManager::~KestrelEffectManager()
{
    layoutRecords.clear();
}

void KestrelEffectManager::storeLayoutRecord (const LayoutRecord& record)
{
    auto adjusted = record;

    // Keys from 2 on are the same for every layout.
    if (adjusted.key >= 2)
        adjusted.layout = 0;

    for (auto& held : layoutRecords)
    {
        if (held.layout == adjusted.layout && held.key == adjusted.key)
        {
            held = adjusted;
            return;
        }
    }

    layoutRecords.add (adjusted);
}

const LayoutRecord* KestrelEffectManager::findLayoutRecord (int layout, int key) const
{
    for (auto& held : layoutRecords)
        if (held.layout == layout && held.key == key)
            return &held;

    return nullptr;
}
