#include "device/wire/PresetCabBundle.h"

#include "device/wire/CabIrBlock.h"
#include "device/wire/PatchDump.h"
#include "device/wire/SysExCodec.h"
#include "device/wire/SysExCollectors.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExRequest.h"

bool parsePresetCabBundle (const juce::MemoryBlock& buffer, juce::uint8 model, PatchPlusCabHeader& header,
                           juce::OwnedArray<juce::MemoryBlock>& blocks)
{
    return parsePresetCabBundle (buffer.getData(), buffer.getSize(), model, header, blocks);
}

bool parsePresetCabBundle (const void* bytes, size_t size, juce::uint8 model, PatchPlusCabHeader& header,
                           juce::OwnedArray<juce::MemoryBlock>& blocks)
{
    blocks.clear();

    if (bytes == nullptr || size == 0)
        return false;

    // The bundle is read as if the unit had just answered a request for it,
    // so that it passes the same checks as a live transfer.
    juce::MidiMessage requestMessage;
    if (! buildPatchPlusCabDump (requestMessage, PatchDump::currentPresetLocation, PatchDump::currentPresetLocation,
                                 model))
        return false;

    SysExRequest request (SysExRequest::defaultTimeoutMs);
    request.setMessage (requestMessage);

    juce::OwnedArray<juce::MemoryBlock> pieces;
    splitSysExAtHeaders (bytes, size, sysExAnyFunction, model, pieces);

    if (pieces.isEmpty())
        return false;

    request.setExpectedCount (pieces.size());

    for (auto* piece : pieces)
    {
        juce::MidiMessage reply;
        setMidiMessageBytes (reply, piece->getData(), (int) piece->getSize());
        request.addReply (reply);
    }

    pieces.clear();

    PatchPlusCabHeader decodedHeader;
    juce::OwnedArray<juce::MemoryBlock> decoded;

    if (! collectPatchPlusCabDump (request, decodedHeader, decoded))
        return false;

    // One preset and exactly the cabs the flags announce, each of them whole.
    if (decoded.size() != 1 + decodedHeader.countCabs())
        return false;

    PatchDump preset;
    if (! preset.parse (*decoded.getFirst(), model))
        return false;

    for (int i = 1; i < decoded.size(); ++i)
    {
        juce::MemoryBlock cab;
        if (! decodeCabIrBlock (decoded[i]->getData(), decoded[i]->getSize(), cab))
            return false;
    }

    header = decodedHeader;

    while (! decoded.isEmpty())
        blocks.add (decoded.removeAndReturn (0));

    return true;
}
