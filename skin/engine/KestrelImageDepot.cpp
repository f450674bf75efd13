#include "skin/engine/KestrelImageDepot.h"

namespace
{
struct IdRange
{
    const char* name;
    std::initializer_list<int> ids; // single ids
    int first = 0, last = -1;       // or a range first..last
};

const IdRange setIds[] = {
    { "shunt", {}, 300, 335 },
    { "Amp", { 106, 107 } },
    { "Cab", { 108, 109 } },
    { "Chorus", { 116, 117 } },
    { "Compressor", { 100, 101 } },
    { "Crossover", { 148, 149 } },
    { "Delay", { 112, 113 } },
    { "Drive", { 133, 134 } },
    { "Enhancer", { 135 } },
    { "FeedbackSend", { 142 } },
    { "FeedbackReturn", { 143 } },
    { "Filter", { 131, 132, 164, 165 } },
    { "Flanger", { 118, 119 } },
    { "Formant", { 126 } },
    { "GateExpander", { 150, 151 } },
    { "GraphicEQ", { 102, 103, 160, 161 } },
    { "EffectsLoop", { 136 } },
    { "MegaTap", { 147 } },
    { "Mixer", { 137, 138 } },
    { "MultibandComp", { 154, 155 } },
    { "MultiDelay", { 114, 115 } },
    { "ParametricEQ", { 104, 105, 162, 163 } },
    { "Phaser", { 122, 123 } },
    { "Pitch", { 130, 153 } },
    { "QuadChorus", { 156, 157 } },
    { "Resonator", { 158, 159 } },
    { "Reverb", { 110, 111 } },
    { "RingMod", { 152 } },
    { "Rotary", { 120, 121 } },
    { "Synth", { 144, 145 } },
    { "Vocoder", { 146 } },
    { "VolPan", { 127, 166, 167, 168 } },
    { "PanTrem", { 128, 129 } },
    { "Wah", { 124, 125 } },
    { "Looper", { 169 } },
    { "Tone", { 170 } },
    { "Noisegate", { 139 } },
    { "Output", { 140, 173 } },
    { "Midi", { 171, 172 } },
    { "Relay1", { 174 } },
    { "Relay2", { 175 } },
    { "Controllers", { 141 } },
    { "Scene 1", { 184 } },
    { "Scene 2", { 185 } },
    { "Scene 3", { 186 } },
    { "Scene 4", { 187 } },
    { "Scene 5", { 188 } },
    { "Scene 6", { 189 } },
    { "Scene 7", { 190 } },
    { "Scene 8", { 191 } },
    { "Scene 1/2 Toggle", { 202 } },
    { "AMP X/Y Toggle", { 203 } },
    { "Preset 1", { 192 } },
    { "Preset 2", { 193 } },
    { "Preset 3", { 194 } },
    { "Preset 4", { 195 } },
    { "Preset 5", { 196 } },
    { "Preset 6", { 197 } },
    { "Preset 7", { 198 } },
    { "Preset 8", { 199 } },
    { "Bank Up", { 200 } },
    { "Bank Down", { 201 } },
    { "Looper Control", {}, 176, 183 },
    { "Ctrl Switch 1", { 204 } },
    { "Ctrl Switch 2", { 205 } },
};
} // namespace

juce::Array<juce::uint16> KestrelImageDepot::blockIdsForName (const juce::String& name)
{
    juce::Array<juce::uint16> ids;
    for (auto& entry : setIds)
        if (name == entry.name)
        {
            for (auto id : entry.ids)
                ids.add ((juce::uint16) id);
            for (int id = entry.first; id <= entry.last; ++id)
                ids.add ((juce::uint16) id);
            break;
        }
    return ids;
}

juce::StringArray KestrelImageDepot::getSetNames()
{
    juce::StringArray names;
    for (auto& entry : setIds)
        names.add (entry.name);
    return names;
}

void KestrelImageDepot::assignBlockIds()
{
    for (int i = 0; i < getNumImageSets(); ++i)
    {
        auto* set = getImageSet (i);
        set->blockIds.addArray (blockIdsForName (set->name));
    }
}
