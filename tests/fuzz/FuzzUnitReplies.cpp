// Replies and unsolicited messages from the unit: every message of the input
// goes through every reply parser.
#include "device/wire/SysExCodec.h"
#include "device/wire/SysExStreamReader.h"

#include <cstdint>

namespace
{
template <typename Record>
void offer (bool (*parser) (const juce::MidiMessage&, Record&), const juce::MidiMessage& message)
{
    Record record{};
    parser (message, record);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    SysExStreamReader reader;
    reader.setData (data, size, sysExAnySysEx);
    juce::MidiMessage m;

    while (reader.readNextMessage (m))
    {
        offer (parseParamDump, m);
        offer (parseParamSet, m);
        offer (parseSetParamDirect, m);
        offer (parseModifierSet, m);
        offer (parseSetModParamDirect, m);
        offer (parseQueryVersion, m);
        offer (parseTuner, m);
        offer (parseQueryStates, m);
        offer (parseXY, m);
        offer (parseCabName, m);
        offer (parseCpuLoad, m);
        offer (parsePatchNum, m);
        offer (parseQueryNameByNum, m);
        offer (parseGetParamInfo, m);
        offer (parseGetMidiChannel, m);
        offer (parseGetModifierInfo, m);
        offer (parseGetGrid, m);
        offer (parseLooperState, m);
        offer (parseGetParamStrings, m);
        offer (parseSetScene, m);
        offer (parseGetFlags, m);
        offer (parseModifier, m);
        offer (parseBpm, m);
        offer (parseGetGraph, m);
        offer (parseGetGraphN, m);
        offer (parseMultiMsgStart, m);
        offer (parseGetConfig, m);
        offer (parseBroadcastKnob, m);
        offer (parseBroadcastModifier, m);
        offer (parseGetPosition, m);
        offer (parseLayoutSet, m);
        offer (parsePatchPlusCabDump, m);
        offer (parseFsGrid, m);
        offer (parseSystemDataStart, m);
        offer (parseStatusMessage, m);
        offer (parseStatusModel, m);
        offer (parseRawIrStart, m);
        offer (parseRawIrData, m);
        offer (parseRawIrEnd, m);
        offer (parseEffectStart, m);
        offer (parseEffectData, m);
        offer (parsePatchStart, m);
        offer (parsePatchData, m);
        offer (parsePatchEnd, m);
        offer (parseCabIrStart, m);
        offer (parseCabIrData, m);
        offer (parseCabIrEnd, m);
        parseMultiMsgEnd (m);

        juce::uint16 blockId = 0;
        juce::uint8 cell = 0;
        parsePlaceEffect (m, blockId, cell);
        char name[32] = {};
        parseQueryName (m, name);
        SystemInfo info{};
        StatusReply status{};
        parseGetSysInfo (m, info, &status);
    }

    return 0;
}
