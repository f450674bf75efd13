#include "tests/support/SimulatedKestrel.h"

#include "device/wire/CabIrBlock.h"
#include "device/wire/SysExFraming.h"
#include "model/IdTables.h"

// A cab uploaded to the unit: its messages are gathered from the start on,
// and at the end a dump that decodes whole is stored in the slot its start
// names (counted after the factory slots). Called with the state lock held.

void SimulatedKestrel::storeCabUpload (const juce::MidiMessage& message)
{
    const int function = message.getRawData()[sysExFunctionOffset];

    if (function == SYSEX_CABIR_START)
        cabUpload.reset();

    cabUpload.append (message.getRawData(), (size_t) message.getRawDataSize());

    if (function != SYSEX_CABIR_END)
        return;

    juce::MemoryBlock decoded;
    CabIrStartRecord start;
    juce::String name;
    juce::uint8 format = 0;

    if (decodeCabIrBlock (cabUpload.getData(), cabUpload.getSize(), decoded, &start) && getCabIrName (cabUpload, name)
        && getCabIrFormatByte (cabUpload, format))
    {
        const int flat = factoryCabs + start.cabNumber;

        if (juce::isPositiveAndBelow (flat, (int) cabs.size()))
            cabs[(size_t) flat] = { name, format };
    }

    cabUpload.reset();
}
