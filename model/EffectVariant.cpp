#include "model/EffectVariant.h"

int EffectVariant::countMatchingPages (int firmwareMajor, int firmwareMinor, const juce::String& typeName) const
{
    int count = 0;

    for (auto* page : pages)
        if (page->matchesVersion (firmwareMajor, firmwareMinor) && page->matchesType (typeName))
            ++count;

    return count;
}
