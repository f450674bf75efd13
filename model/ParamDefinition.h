#pragma once

#include "model/ParamInfo.h"

class ByteReader;
class ByteWriter;

// What the unit reports about one parameter of an effect type: its info
// record (zero until SYSEX_GET_PARAM_INFO has been answered) and its value
// strings (SYSEX_GET_PARAM_STRINGS; index n is the text of value n).
class ParamDefinition
{
public:
    explicit ParamDefinition (juce::uint16 id = 0)
        : paramId (id)
    {
    }

    // The definitions cache form: u16 id, i32 descriptor, four float32, i32
    // string count, then each string as i32 byte length and its UTF-8 bytes.
    void writeTo (ByteWriter& writer) const;

    // Reads the cache form; false (contents then undefined) when any field or
    // string is missing or malformed.
    bool readFrom (ByteReader& reader);

    juce::uint16 paramId = 0;
    ParamInfo info;
    juce::StringArray valueStrings;

    JUCE_LEAK_DETECTOR (ParamDefinition)
};
