#include "device/wire/SysExStreamReader.h"

#include "device/wire/SysExFraming.h"

#include <limits>

bool SysExStreamReader::setData (const void* bytes, size_t size, juce::uint8 model)
{
    data.reset();
    prefix.reset();
    messageCount = 0;
    position = 0;

    if (bytes == nullptr || size > (size_t) std::numeric_limits<int>::max())
        return false;

    if (model == sysExAnySysEx)
    {
        prefix.append (&sysExStartByte, 1);
    }
    else
    {
        prefix.append (sysExHeaderPrefix, sizeof (sysExHeaderPrefix));

        if (model != sysExAnyModel)
            prefix.append (&model, 1);
    }

    data.append (bytes, size);

    for (size_t i = 0; i < size;)
    {
        if (prefixAt (i))
        {
            ++messageCount;
            i += prefix.getSize();
        }
        else
        {
            ++i;
        }
    }

    return true;
}

bool SysExStreamReader::prefixAt (size_t index) const
{
    auto size = data.getSize();
    auto prefixSize = prefix.getSize();

    if (prefixSize == 0 || index > size || size - index < prefixSize)
        return false;

    return std::memcmp (static_cast<const char*> (data.getData()) + index, prefix.getData(), prefixSize) == 0;
}

bool SysExStreamReader::readNextMessage (juce::MidiMessage& message)
{
    auto size = data.getSize();
    auto start = position;

    while (start < size && ! prefixAt (start))
        ++start;

    if (start >= size)
    {
        position = size;
        return false;
    }

    auto* bytes = static_cast<const juce::uint8*> (data.getData());

    // A message runs up to the next prefix or to the end of the data. Inside
    // a message every byte but F0 and F7 is below 0x80, so a prefix always
    // starts the next message: one cut off before its F7 stays on its own
    // instead of running on into the one after it. Bytes after an F7 that no
    // prefix follows stay with the message before them.
    auto last = size - 1;

    for (auto i = start + prefix.getSize(); i < size; ++i)
    {
        if (prefixAt (i))
        {
            last = i - 1;
            break;
        }
    }

    setMidiMessageBytes (message, bytes + start, (int) (last - start + 1));
    position = last + 1;
    return true;
}
