#include "device/wire/CabIrBlock.h"

#include "device/wire/SysExCodec.h"
#include "device/wire/SysExFraming.h"
#include "device/wire/SysExStreamReader.h"
#include "model/Checksum.h"
#include "model/IdTables.h"

#include <vector>

bool decodeCabIrBlock (const void* bytes, size_t size, juce::MemoryBlock& decoded, CabIrStartRecord* start,
                       juce::uint8* model)
{
    juce::uint8 blockModel = 0;

    if (bytes == nullptr || ! getSysExModel (bytes, size, blockModel))
        return false;

    SysExStreamReader reader;
    if (! reader.setData (bytes, size, blockModel))
        return false;

    std::vector<juce::uint32> values ((size_t) cabIrValueCount, 0);
    CabIrStartRecord header;
    bool startSeen = false, endSeen = false;
    int dataMessages = 0;
    juce::MidiMessage message;
    juce::Array<juce::uint32> chunk;

    while (reader.readNextMessage (message))
    {
        if (endSeen || ! hasValidFrameChecksum (message))
            return false;

        switch (message.getRawData()[sysExFunctionOffset])
        {
            case SYSEX_CABIR_START:
                if (startSeen || ! parseCabIrStart (message, header))
                    return false;
                startSeen = true;
                break;

            case SYSEX_CABIR_DATA:
                if (! startSeen || dataMessages >= cabIrDataMessages || ! parseCabIrData (message, chunk) ||
                    chunk.size() != cabIrDataValues)
                    return false;

                for (int i = 0; i < chunk.size(); ++i)
                    values[(size_t) (dataMessages * chunk.size() + i)] = chunk.getUnchecked (i);

                ++dataMessages;
                break;

            case SYSEX_CABIR_END:
            {
                juce::uint32 check = 0;
                if (! startSeen || ! parseCabIrEnd (message, check))
                    return false;

                if (check != xorWords32 (values.data(), values.size()))
                    return false;

                endSeen = true;
                break;
            }

            default: return false;
        }
    }

    if (! endSeen)
        return false;

    decoded.setSize (values.size() * 4);
    auto* out = static_cast<juce::uint8*> (decoded.getData());

    for (size_t i = 0; i < values.size(); ++i)
        for (size_t b = 0; b < 4; ++b)
            out[4 * i + b] = (juce::uint8) (values[i] >> (8 * b));

    if (start != nullptr)
        *start = header;

    if (model != nullptr)
        *model = blockModel;

    return true;
}

bool getCabIrFormatByte (const juce::MemoryBlock& block, juce::uint8& format)
{
    juce::MemoryBlock decoded;

    if (! decodeCabIrBlock (block.getData(), block.getSize(), decoded))
        return false;

    format = static_cast<const juce::uint8*> (decoded.getData())[cabIrFormatOffset];
    return true;
}

bool getCabIrName (const juce::MemoryBlock& block, juce::String& name)
{
    juce::MemoryBlock decoded;

    if (! decodeCabIrBlock (block.getData(), block.getSize(), decoded))
        return false;

    auto* header = static_cast<const juce::uint8*> (decoded.getData());
    juce::String text;

    // Each byte is the character of that code, as in every name the unit sends.
    for (int i = 0; i < cabIrNameLength && header[i] != 0; ++i)
        text += juce::String::charToString ((juce::juce_wchar) header[i]);

    text = text.trimEnd();

    if (text.isEmpty())
        return false;

    name = text;
    return true;
}
