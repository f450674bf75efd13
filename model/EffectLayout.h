#pragma once

#include "model/EffectVariant.h"

// The pages and controls of one effect type (an EditorControls element).
class EffectLayout
{
public:
    EffectLayout() = default;

    // With an empty name the first variant; otherwise the first whose name
    // equals it ignoring case. nullptr when nothing matches.
    EffectVariant* findVariant (const juce::String& variantName) const;

    juce::int32 effectType = 0;
    juce::OwnedArray<EffectVariant> variants;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EffectLayout)
};
