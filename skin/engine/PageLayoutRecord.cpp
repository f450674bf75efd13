#include "skin/engine/PageLayoutRecord.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

namespace SA = SkinAttributes;

namespace
{
constexpr int limit = 100000;
}

void PageLayoutRecord::readFrom (const SkinManager& skin, const juce::XmlElement& e)
{
    if (SA::has (e, "background"))
        background = SA::image (skin, e, "background");

    backgroundX = SA::clampedInt (e, "backgroundX", limit);
    backgroundY = SA::clampedInt (e, "backgroundY", limit);
    parametersX = SA::clampedInt (e, "parametersX", limit);
    parametersY = SA::clampedInt (e, "parametersY", limit);
    parametersSpacingX = SA::clampedInt (e, "parametersSpacingX", limit);
    parametersSpacingY = SA::clampedInt (e, "parametersSpacingY", limit);
    mixerX = SA::clampedInt (e, "mixerX", limit);
    mixerY = SA::clampedInt (e, "mixerY", limit);
    mixerSpacingX = SA::clampedInt (e, "mixerSpacingX", limit);
    mixerSpacingY = SA::clampedInt (e, "mixerSpacingY", limit);

    if (SA::has (e, "monitor"))
    {
        monitor = SA::image (skin, e, "monitor");
        hasMonitor = monitor.isValid();
        monitorX = SA::clampedInt (e, "monitorX", limit);
        monitorY = SA::clampedInt (e, "monitorY", limit);
        graphGridRect = SA::rectangle (e, "graphGridRect");
        graphGridLineColour = SA::colour (e, "graphGridLineColor");
        graphLineColour = SA::colour (e, "graphLineColor");
        graphLineThickness = (float) juce::jlimit (0.0, 100.0, e.getDoubleAttribute ("graphLineThickness"));
        graphCenterYZero = e.getStringAttribute ("graphCenterYZero", "true") == "true";
    }
}
