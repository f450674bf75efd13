#include "tests/support/SimulatedKestrel.h"

#include "device/wire/SysExParsers.h"
#include "tests/support/SimulatedKestrelDetail.h"

using namespace SimulatedKestrelDetail;

// A block's words written back, as a block paste sends them: SYSEX_EFFECT_START
// (block, word count), the SYSEX_EFFECT_DATA messages and SYSEX_EFFECT_END.
// The words are the X values then the Y values, as SYSEX_GET_ALL_PARAMS
// reports them. Each message is answered with a status; a message out of
// order ends the dump with resultBadSequence.
void SimulatedKestrel::handleEffectDump (const juce::MidiMessage& message)
{
    const int function = message.getRawData()[sysExFunctionOffset];

    if (function == SYSEX_EFFECT_START)
    {
        EffectStartRecord start;
        effectDumpWords.clear();
        effectDumpBlock = 0;

        if (! parseEffectStart (message, start) || editBuffer.findBlock ((int) start.blockId) == nullptr)
        {
            replyStatus (resultBadValue);
            return;
        }

        effectDumpBlock = (int) start.blockId;
        replyStatus (resultOk);
        return;
    }

    auto* block = effectDumpBlock != 0 ? editBuffer.findBlock (effectDumpBlock) : nullptr;

    if (block == nullptr)
    {
        replyStatus (resultBadSequence);
        return;
    }

    if (function == SYSEX_EFFECT_DATA)
    {
        juce::Array<juce::uint16> words;

        if (! parseEffectData (message, words))
        {
            effectDumpBlock = 0;
            replyStatus (resultBadSequence);
            return;
        }

        effectDumpWords.insert (effectDumpWords.end(), words.begin(), words.end());
        replyStatus (resultOk);
        return;
    }

    // The end: the words take the place of the block's values.
    auto& x = block->values[SimulatedPreset::channelX];
    auto& y = block->values[SimulatedPreset::channelY];

    if (effectDumpWords.size() != x.size() + y.size())
    {
        effectDumpBlock = 0;
        replyStatus (resultBadChecksum);
        return;
    }

    std::copy (effectDumpWords.begin(), effectDumpWords.begin() + (long) x.size(), x.begin());
    std::copy (effectDumpWords.begin() + (long) x.size(), effectDumpWords.end(), y.begin());
    effectDumpBlock = 0;
    modified = true;
    replyStatus (resultOk);
}
