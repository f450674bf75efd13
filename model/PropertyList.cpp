#include "model/PropertyList.h"

#include <sodium.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

namespace
{
// SipHash's key, drawn once per run from the system's random source.
const unsigned char* hashKey()
{
    static const auto key = []
    {
        std::vector<unsigned char> bytes (crypto_shorthash_KEYBYTES);

        if (sodium_init() < 0)
            std::abort(); // no random source: nothing here could be trusted

        randombytes_buf (bytes.data(), bytes.size());
        return bytes;
    }();

    return key.data();
}
} // namespace

size_t PropertyList::KeyHash::operator() (const juce::String& key) const noexcept
{
    const auto* utf8 = key.toRawUTF8();
    unsigned char hash[crypto_shorthash_BYTES];
    crypto_shorthash (hash, reinterpret_cast<const unsigned char*> (utf8), std::strlen (utf8), hashKey());

    size_t value = 0;
    std::memcpy (&value, hash, juce::jmin (sizeof (value), sizeof (hash)));
    return value;
}

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
