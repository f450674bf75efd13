#pragma once

#include "model/SkinPageLayout.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinManager;

// Where the sections of an effect page start and how far apart their
// controls stand, the page's background and its monitor graph: one
// "PageLayout" element of the skin's "PageLayouts".
class PageLayoutRecord : public SkinPageLayout
{
public:
    explicit PageLayoutRecord (juce::int32 pageLayoutId = 0)
        : SkinPageLayout (pageLayoutId)
    {
    }

    // Reads one "PageLayout" element; the layout id comes from its "name",
    // looked up by the caller.
    void readFrom (const SkinManager& skin, const juce::XmlElement& element);

    juce::Image background;
    int backgroundX = 0, backgroundY = 0;
    int parametersX = 0, parametersY = 0, parametersSpacingX = 0, parametersSpacingY = 0;
    int mixerX = 0, mixerY = 0, mixerSpacingX = 0, mixerSpacingY = 0;
    bool hasMonitor = false;
    juce::Image monitor;
    int monitorX = 0, monitorY = 0;
    juce::Rectangle<int> graphGridRect;
    juce::Colour graphGridLineColour, graphLineColour;
    float graphLineThickness = 0.0f;
    bool graphCenterYZero = true;
};
