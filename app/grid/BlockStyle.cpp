#include "app/grid/BlockStyle.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

namespace
{
BlockStyle::Border readBorder (const juce::XmlElement& element, const juce::String& suffix)
{
    BlockStyle::Border border;
    // A border wider than a tile is a broken skin, not a look.
    border.width = SkinAttributes::clampedInt (element, "borderWidth" + suffix, 64);
    border.width = juce::jmax (0, border.width);
    border.colour = SkinAttributes::colour (element, "borderColor" + suffix);
    return border;
}
} // namespace

void BlockStyle::readFrom (const SkinManager& skin, const juce::XmlElement& element)
{
    normal = readBorder (element, "");
    over = readBorder (element, "Over");
    down = readBorder (element, "Down");
    bypassed = readBorder (element, "Bypassed");
    bypassIcon = SkinAttributes::image (skin, element, "bypassIcon");
    icon = SkinAttributes::image (skin, element, "icon");
    overlay1 = SkinAttributes::image (skin, element, "overlay1");
    overlay2 = SkinAttributes::image (skin, element, "overlay2");
    overlayAlphaActive = juce::jlimit (0.0f, 1.0f, (float) element.getDoubleAttribute ("overlayAlphaActive"));
    overlayAlphaInactive = juce::jlimit (0.0f, 1.0f, (float) element.getDoubleAttribute ("overlayAlphaInactive"));

    if (element.hasAttribute ("font"))
    {
        fontSize = SkinAttributes::fontSize (element, "fontSize");
        font = SkinAttributes::font (skin, element, "font", fontSize);
        hasFont = true;
    }

    fontColour = SkinAttributes::colour (element, "fontColor");
    fontColourOver = SkinAttributes::colour (element, "fontColorOver");
    text = element.getStringAttribute ("text");
    textOver = element.getStringAttribute ("textOver");
    justification = SkinAttributes::justification (element, "justify", 36);
}

void BlockStyle::readPair (const SkinManager& skin, const juce::XmlElement& section, BlockStyle& empty,
                           BlockStyle& effect)
{
    for (auto* element : SkinAttributes::children (section, "BlockProperty"))
    {
        auto name = element->getStringAttribute ("name");

        if (name == "empty-block")
            empty.readFrom (skin, *element);
        else if (name == "effect-block")
            effect.readFrom (skin, *element);
    }
}
