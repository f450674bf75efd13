#include "model/PropertyList.h"

#include <algorithm>
#include <numeric>
#include <vector>

void PropertyList::set (const juce::String& key, const juce::String& value)
{
    const auto [found, added] = index.emplace (key, keys.size());

    if (! added)
    {
        values.set (found->second, value);
        return;
    }

    keys.add (key);
    values.add (value);
}

juce::String PropertyList::getValue (const juce::String& key, const juce::String& fallback) const
{
    const auto i = indexOf (key);
    return i >= 0 ? values[i] : fallback;
}

int PropertyList::indexOf (const juce::String& key) const
{
    const auto found = index.find (key);
    return found != index.end() ? found->second : -1;
}

void PropertyList::reserve (int pairs)
{
    keys.ensureStorageAllocated (pairs);
    values.ensureStorageAllocated (pairs);
    index.reserve ((size_t) juce::jmax (0, pairs));
}

void PropertyList::sortByKey()
{
    std::vector<int> order ((size_t) keys.size());
    std::iota (order.begin(), order.end(), 0);
    std::sort (order.begin(), order.end(), [this] (int a, int b) { return keys[a] < keys[b]; });

    juce::StringArray sortedKeys, sortedValues;
    index.clear();

    for (auto i : order)
    {
        index.emplace (keys[i], sortedKeys.size());
        sortedKeys.add (keys[i]);
        sortedValues.add (values[i]);
    }

    keys.swapWith (sortedKeys);
    values.swapWith (sortedValues);
}

void PropertyList::clear()
{
    keys.clear();
    values.clear();
    index.clear();
}
