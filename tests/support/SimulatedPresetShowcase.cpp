#include "tests/support/SimulatedPreset.h"

SimulatedPreset SimulatedPreset::makeShowcase()
{
    SimulatedPreset preset;
    preset.name = "Rich Tone";
    preset.scene = 3;

    const std::pair<int, int> placed[] = { { 0, 100 }, { 1, 300 }, { 4, 106 }, { 5, 102 },
                                           { 8, 108 }, { 9, 301 }, { 12, 110 } };
    for (auto [cell, block] : placed)
        preset.placeBlock (cell, block);

    const std::pair<int, int> cables[] = { { 0, 4 }, { 1, 4 }, { 1, 5 },  { 4, 8 },
                                           { 5, 8 }, { 5, 9 }, { 8, 12 }, { 9, 12 } };
    for (auto [from, to] : cables)
        preset.connectCells (from, to, true);

    for (auto& [id, block] : preset.blocks)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (size_t i = 0; i < block.values[channel].size(); ++i)
                block.values[channel][i] = (juce::uint16) ((id * 7 + (int) i * 3 + channel * 500) % 65000);

        for (int s = 0; s < SimulatedPreset::sceneCount; ++s)
        {
            if (hasBypass (id, 8))
                block.engaged[(size_t) s] = (s + id) % 3 != 0;
            if (hasXYChannels (id, 8))
                block.onX[(size_t) s] = (s + id) % 2 == 0;
        }
    }

    auto* amp = preset.assignModifier (106, 3);
    auto* comp = preset.assignModifier (100, getBypassModeParamId (100));
    for (int k = 0; k < SimulatedPreset::modifierSettings; ++k)
    {
        amp->settings[(size_t) k] = (juce::uint16) (k == 0 ? 2 : k * 11);
        comp->settings[(size_t) k] = (juce::uint16) (k == 0 ? 5 : 1000 + k);
    }

    return preset;
}
