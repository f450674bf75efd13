#include "model/ModelFirmwareText.h"

#include "model/IdTables.h"

bool getModelAndFirmwareText (int modelId, juce::uint32 major, juce::uint32 minor, juce::String& modelName,
                              juce::String& versionText)
{
    const auto name = getNameForId (ModelNames, (juce::uint32) modelId);

    if (name.isEmpty())
        return false;

    const bool calyx = (modelId == 3 || modelId == 6 || modelId == 7) && major >= 21;

    if (calyx)
        versionText = "Calyx" + juce::String::formatted (" %.2f", (double) (major - 20) + minor / 100.0);
    else
        versionText = juce::String::formatted ("%.2f", (double) major + minor / 100.0);

    modelName = name;
    return true;
}
