#include "model/VersionCondition.h"

#include <juce_graphics/juce_graphics.h>

bool VersionCondition::matches (int firmwareMajor, int firmwareMinor) const
{
    if (! hasCondition)
        return true;

    const bool isAtLeast = firmwareMajor > major || (firmwareMajor == major && firmwareMinor >= minor);

    if (kind == atLeast)
        return isAtLeast;

    if (kind == below)
        return ! isAtLeast;

    return false;
}

void VersionCondition::setFromAttributes (const juce::String& atLeastText, const juce::String& belowText)
{
    if (atLeastText.isNotEmpty())
    {
        hasCondition = true;
        kind = atLeast;
        parseNumberPair (atLeastText, major, minor);
    }
    else if (belowText.isNotEmpty())
    {
        hasCondition = true;
        kind = below;
        parseNumberPair (belowText, major, minor);
    }
}

void parseNumberPair (const juce::String& text, juce::int32& first, juce::int32& second)
{
    // The rectangle reader splits at exactly the separators the document uses.
    const auto numbers = juce::Rectangle<int>::fromString (text);
    first = numbers.getX();
    second = numbers.getY();
}
