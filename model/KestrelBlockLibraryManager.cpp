#include "model/KestrelBlockLibraryManager.h"

#include "model/IdTables.h"
#include "model/KestrelGlobalConfiguration.h"

const IdPairRow KestrelBlockLibraryManager::compatibleModelFirmwareRules[] = {
    { 3, 18, 4 }, { 6, 18, 4 }, { 7, 18, 4 }, { 5, 1, 0 }, { 10, 1, 0 }, { idTableEnd, 0, 0 },
};

KestrelBlockLibraryManager::KestrelBlockLibraryManager()
    : BlockLibraryManager (KestrelGlobalConfiguration::getInstance())
{
}

KestrelBlockLibraryManager::KestrelBlockLibraryManager (GlobalConfiguration* config)
    : BlockLibraryManager (config)
{
}

int KestrelBlockLibraryManager::checkFirmware (const FirmwareStamp* stamp, int effectType) const
{
    if (stamp != nullptr)
    {
        // A block of the connected model must not come from newer firmware.
        if (stamp->modelId == connectedModelId)
        {
            const bool newer =
                stamp->major > connectedMajor || (stamp->major == connectedMajor && stamp->minor > connectedMinor);
            return newer ? BlockLibraryEntry::firmwareIncompatible : BlockLibraryEntry::okay;
        }

        if (effectType == EFFECT_OUTPUT && stamp->modelId == 5)
            return BlockLibraryEntry::effectTypeIncompatible;
    }

    return BlockLibraryManager::checkFirmware (stamp, effectType);
}
