#include "model/StringPairList.h"

void StringPairList::insertAtStart (const StringPair& pair)
{
    pairs.insert (0, pair);
}

StringPair StringPairList::getPair (int index) const
{
    if (! juce::isPositiveAndBelow (index, pairs.size()))
        return {};

    return pairs.getReference (index);
}

bool StringPairList::getSecond (int index, juce::String& second) const
{
    if (! juce::isPositiveAndBelow (index, pairs.size()))
        return false;

    second = pairs.getReference (index).second;
    return true;
}

StringPair StringPairList::removeAndReturn (int index)
{
    if (! juce::isPositiveAndBelow (index, pairs.size()))
        return {};

    return pairs.removeAndReturn (index);
}

void StringPairList::remove (int index)
{
    if (juce::isPositiveAndBelow (index, pairs.size()))
        pairs.remove (index);
}

void StringPairList::destroyElements()
{
    pairs.clearQuick();
}
