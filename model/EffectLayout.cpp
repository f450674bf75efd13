#include "model/EffectLayout.h"

EffectVariant* EffectLayout::findVariant (const juce::String& variantName) const
{
    if (variantName.isEmpty())
        return variants.getFirst();

    for (auto* variant : variants)
        if (variant->name.equalsIgnoreCase (variantName))
            return variant;

    return nullptr;
}
