#pragma once

#include <juce_core/juce_core.h>

#include <unordered_map>

// The properties of a settings or language file: key and value texts in the
// order their keys first appear, a later value of a key replacing the
// earlier one in its place. Keys keep their case. Adding and looking up a
// key take constant time, so a file of any size is gathered in time
// proportional to its size (juce::StringPairArray searches every key). The
// keys are hashed with a key drawn afresh for each run: the framework's own
// string hash is a plain polynomial, and a file whose keys all share one
// value of it would put every key in one bucket.
class PropertyList
{
public:
    int size() const { return keys.size(); }
    bool isEmpty() const { return keys.isEmpty(); }

    void set (const juce::String& key, const juce::String& value);
    bool containsKey (const juce::String& key) const { return indexOf (key) >= 0; }

    // The key's value; the fallback when the key is absent.
    juce::String getValue (const juce::String& key, const juce::String& fallback = {}) const;
    juce::String operator[] (const juce::String& key) const { return getValue (key); }

    // The pairs in their order.
    const juce::StringArray& getAllKeys() const { return keys; }
    const juce::StringArray& getAllValues() const { return values; }

    // Room for this many pairs, so that gathering them never rehashes.
    void reserve (int pairs);

    // Puts the pairs in the order of their keys (case-sensitive).
    void sortByKey();
    void clear();

private:
    int indexOf (const juce::String& key) const;

    struct KeyHash
    {
        size_t operator() (const juce::String& key) const noexcept;
    };

    juce::StringArray keys, values;
    std::unordered_map<juce::String, int, KeyHash> index;
};
