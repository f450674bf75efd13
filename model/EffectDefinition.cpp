#include "model/EffectDefinition.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"

namespace
{
// The smallest parameter in the cache form: id, descriptor, four floats and
// a string count of 0.
constexpr size_t minParamBytes = 2 + 4 + 4 * 4 + 4;
} // namespace

ParamDefinition* EffectDefinition::findParam (int paramId) const
{
    for (auto* param : params)
        if (param->paramId == paramId)
            return param;

    return nullptr;
}

ParamDefinition* EffectDefinition::addParam (juce::uint16 paramId)
{
    return params.add (new ParamDefinition (paramId));
}

void EffectDefinition::writeTo (ByteWriter& writer) const
{
    writer.writeI32 (effectType);
    writer.writeI32 (params.size());

    for (auto* param : params)
        param->writeTo (writer);
}

bool EffectDefinition::readFrom (ByteReader& reader)
{
    if (! reader.require (8))
        return false;

    effectType = reader.readI32();
    const auto count = reader.readI32();

    if (count < 0 || ! reader.canHold ((juce::uint64) count, minParamBytes))
    {
        reader.fail();
        return false;
    }

    params.clear();

    for (int i = 0; i < count; ++i)
    {
        auto param = std::make_unique<ParamDefinition>();

        if (! param->readFrom (reader))
            return false;

        params.add (param.release());
    }

    return true;
}
