#pragma once

#include "model/LayoutPage.h"

// One set of pages of an effect layout, picked by the block's type name
// (an EffectVariant element).
class EffectVariant
{
public:
    EffectVariant() = default;

    // The page at the index; nullptr when out of range.
    LayoutPage* getPage (int index) const { return pages[index]; }
    int getNumPages() const { return pages.size(); }

    // Pages offered for this firmware and type name.
    int countMatchingPages (int firmwareMajor, int firmwareMinor, const juce::String& typeName) const;

    juce::OwnedArray<EditorControl> controls; // standing directly in the variant
    juce::String name;
    juce::OwnedArray<LayoutPage> pages;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EffectVariant)
};
