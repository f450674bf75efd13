#pragma once

#include "model/BlockLibraryManager.h"
#include "model/Singleton.h"

// The unit's block library. Files of the connected model are accepted up to
// the connected firmware; Output Mixer blocks of model 5 never; everything
// else by the firmware rules. Reached through getInstance(), which reads the
// library folder from the program's configuration store.
class KestrelBlockLibraryManager : public BlockLibraryManager, public Singleton<KestrelBlockLibraryManager>
{
public:
    KestrelBlockLibraryManager();
    explicit KestrelBlockLibraryManager (GlobalConfiguration* config);

    int checkFirmware (const FirmwareStamp* stamp, int effectType) const override;

    // The rules the program adds at start-up, in this order: the unit itself
    // (FirmwareRequirements, model/IdTables.h), then the models whose blocks
    // it can take.
    static const IdPairRow compatibleModelFirmwareRules[];
};
