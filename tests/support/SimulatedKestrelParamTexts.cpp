#include "tests/support/SimulatedKestrel.h"

#include "tests/support/SimulatedKestrelDetail.h"
#include "model/UnitIds.h"

#include <cstring>

// Parameter definitions and the texts the unit shows for parameter values.

using namespace SimulatedKestrelDetail;
using juce::uint16;
using juce::uint32;

namespace
{
uint32 floatBits (float value)
{
    uint32 bits = 0;
    std::memcpy (&bits, &value, sizeof (bits));
    return bits;
}

// The block and parameter a definition request asks about; false for a
// parameter the block does not have.
bool readDefinitionRequest (const juce::MidiMessage& message, int& blockId, int& paramId)
{
    blockId = (int) readField (message, blockAndParamRequestLayout, 0);
    paramId = (int) readField (message, blockAndParamRequestLayout, 1);
    return juce::isPositiveAndBelow (paramId, getParamCount (blockId));
}
} // namespace

juce::MidiMessage SimulatedKestrel::buildParamReply (int blockId, int paramId, uint16 value) const
{
    const auto param = SimulatedPreset::describeValue (blockId, paramId, value);
    juce::MidiMessage message;
    ::buildParamReply (message, SYSEX_PARAM_SET, param, reportedModel);
    return message;
}

void SimulatedKestrel::handleGetParamInfo (const juce::MidiMessage& message)
{
    int blockId = 0, paramId = 0;

    if (! readDefinitionRequest (message, blockId, paramId))
    {
        replyStatus (resultBadValue);
        return;
    }

    const auto info = SimulatedPreset::getParamInfo (blockId, paramId);

    reply (numbers (SYSEX_GET_PARAM_INFO, paramInfoReplyLayout,
                    { (uint32) info.descriptor, floatBits (info.minimum), floatBits (info.maximum),
                      floatBits (info.displayMultiplier), floatBits (info.fourth) },
                    reportedModel));
}

void SimulatedKestrel::handleGetParamStrings (const juce::MidiMessage& message)
{
    int blockId = 0, paramId = 0;

    if (! readDefinitionRequest (message, blockId, paramId))
    {
        replyStatus (resultBadValue);
        return;
    }

    const auto texts = SimulatedPreset::getValueTexts (blockId, paramId);

    // A parameter without texts: the status that means "none".
    if (texts.isEmpty())
    {
        replyStatus (statusNoStrings);
        return;
    }

    juce::MidiMessage out;
    buildParamStringsReply (out, texts, reportedModel);
    reply (out);
}
