#pragma once

#include "model/ParamDefinition.h"

// The parameter definitions of one effect type, at most one per parameter id.
class EffectDefinition
{
public:
    explicit EffectDefinition (juce::int32 type = 0)
        : effectType (type)
    {
    }

    // The first definition with the id, or nullptr.
    ParamDefinition* findParam (int paramId) const;

    // Appends a definition with zero info and no strings and returns it.
    ParamDefinition* addParam (juce::uint16 paramId);

    int getNumParams() const { return params.size(); }
    ParamDefinition* getParam (int index) const { return params[index]; }

    // The definitions cache form: i32 effect type, i32 parameter count, then
    // each parameter (see ParamDefinition::writeTo).
    void writeTo (ByteWriter& writer) const;

    // Reads the cache form; false when anything falls short or is malformed.
    bool readFrom (ByteReader& reader);

    juce::int32 effectType = 0;
    juce::OwnedArray<ParamDefinition> params;

    JUCE_LEAK_DETECTOR (EffectDefinition)
};
