#include "model/EffectRecord.h"

#include "model/CopyBytes.h"
#include "model/UnitIds.h"

bool EffectRecord::setParam (int xy, const EffectParamValue& value)
{
    if (blockId == 0 || value.blockId != blockId)
        return false;

    auto& list = listFor (xy);

    for (auto& entry : list)
    {
        if (entry.paramId == value.paramId)
        {
            entry = value;
            return true;
        }
    }

    list.add (value);
    return true;
}

int EffectRecord::getParam (int paramId, int xy, EffectParamValue& out) const
{
    for (auto& entry : listFor (xy))
    {
        if (entry.paramId == paramId)
        {
            out = entry;
            return 1;
        }
    }

    return 0;
}

bool EffectRecord::getParamAt (int index, int xy, EffectParamValue& out) const
{
    auto& list = listFor (xy);

    if (! juce::isPositiveAndBelow (index, list.size()))
        return false;

    out = list.getReference (index);
    return true;
}

int EffectRecord::getNumParams (int xy) const
{
    return listFor (xy).size();
}

void EffectRecord::clearParams (int xy)
{
    listFor (xy).clear();
}

bool EffectRecord::hasAllParams (int xy) const
{
    if (blockId == 0)
        return false;

    return listFor (xy).size() >= getParamCount (blockId);
}

bool EffectRecord::setGlobalUsedBit (int n, bool on)
{
    if (n < 0 || n >= maxGlobalBlocks)
        return false;

    if (globalUsedMask == globalMaskUnknown)
        globalUsedMask = 0;

    if (on)
        globalUsedMask |= (1u << n);
    else
        globalUsedMask &= ~(1u << n);

    return true;
}

void EffectRecord::copyFrom (const EffectRecord& other)
{
    if (&other == this)
        return;

    blockId = other.blockId;
    globalBlockNumber = other.globalBlockNumber;
    globalUsedMask = other.globalUsedMask;
    copyBytes (allParamsData, other.allParamsData);
    xRefresh = other.xRefresh;
    yRefresh = other.yRefresh;
    xValues.clear();
    yValues.clear();

    for (auto& entry : other.xValues)
        setParam (0, entry);

    for (auto& entry : other.yValues)
        setParam (1, entry);
}
