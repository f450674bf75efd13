// The program's own record formats, read back from disk or from another
// process: colour assignments, raw preset records (".dat"), the preset grid
// record, the interprocess command and the effect definitions cache.
#include "device/link/InterprocessCommand.h"
#include "model/ColorAssignments.h"
#include "model/KestrelEffectManager.h"
#include "model/PresetGrid.h"
#include "model/RawPreset.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    ColorAssignments colors;
    colors.readFrom (data, size);

    RawPreset preset;
    preset.readFrom (data, size);

    PresetGrid grid;
    grid.readFrom (data, size);

    InterprocessCommand command;
    command.readFrom (data, size);

    // The cache is only ever read from its file.
    static const auto folder = juce::File::createTempFile ("kestrel-fuzz-cache");
    folder.createDirectory();
    constexpr int model = 8;
    EffectManager::getDefinitionsCacheFile (folder, model).replaceWithData (data, size);
    KestrelEffectManager effects;
    effects.loadDefinitionsCache (folder, model);
    return 0;
}
