#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

// The pictures of one kind of block: its name (the key the skin gives it),
// the block ids it serves, and its images in the order icon, over, down,
// bypassed, menu, and a sixth the skin leaves empty.
struct BlockImageSet
{
    enum Which
    {
        icon,
        iconOver,
        iconDown,
        iconBypassed,
        iconMenu,
        extra,
        numImages
    };

    juce::String name;
    juce::Array<juce::uint16> blockIds;
    std::array<juce::Image, numImages> images;
};
