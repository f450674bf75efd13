#pragma once

#include "model/VersionCondition.h"

// One widget of an effect page as the layout document describes it: its
// label, the unit parameter it edits, where it sits and when it applies.
// The page builder turns it into a live control.
class EditorControl
{
public:
    EditorControl() = default;

    bool matchesVersion (int firmwareMajor, int firmwareMinor) const
    {
        return version.matches (firmwareMajor, firmwareMinor);
    }

    juce::String name; // label shown with the widget

    bool hasParameter = false;
    juce::uint16 parameterId = 0;

    bool hasModifier = false;
    juce::uint16 modifierParameterId = 0;

    bool hasController = false;
    juce::uint16 controllerId = 0;

    bool hasScene = false;
    juce::uint16 sceneNumber = 0; // 0..8

    juce::int32 type = 0; // EditorControlType id

    juce::int32 row = -1; // -1 until placed
    juce::int32 column = -1;

    juce::int32 offsetX = 0;
    juce::int32 offsetY = 0;

    bool hasPosition = false;
    juce::int32 positionX = 0;
    juce::int32 positionY = 0;

    VersionCondition version;

    juce::int32 labelStyle = 1;  // LabelStyle id; the document reader gives 2 when none is named
    juce::uint16 labelWidth = 0; // 0 = the template's width

    bool hasControllingParameter = false;
    juce::uint16 controllingParameterId = 0;
    juce::Array<juce::int32> controllingValues;
    juce::StringArray controllingStringValues;

    juce::Array<juce::int32> lockParameterIds;

    JUCE_LEAK_DETECTOR (EditorControl)
};
