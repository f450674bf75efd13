#pragma once

#include "model/EditorControl.h"

// One page of the effect editor (a Page element): its tab name, the skin page
// layout that gives its geometry, the conditions under which it is offered,
// and its controls in three lists.
class LayoutPage
{
public:
    LayoutPage() = default;

    bool matchesVersion (int firmwareMajor, int firmwareMinor) const
    {
        return version.matches (firmwareMajor, firmwareMinor);
    }

    // True without a typeContains text, else when the block's type name
    // contains it (case-sensitive).
    bool matchesType (const juce::String& typeName) const;

    juce::String name;
    juce::int32 layoutId = 0; // PageLayoutId; 0 when the document names an unknown layout
    juce::String typeContains;
    juce::uint16 blockId = 0; // from effectName; 0 = the shown block
    juce::uint8 graphIndex = 0;

    juce::OwnedArray<EditorControl> pageControls;  // standing directly in the page
    juce::OwnedArray<EditorControl> parameterRows; // every Row of every Parameters element
    juce::OwnedArray<EditorControl> mixerRows;     // the Rows of the first Mixer element

    VersionCondition version;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LayoutPage)
};
