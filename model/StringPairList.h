#pragma once

#include "model/StringPair.h"

// An ordered, growable list of text pairs. The main window keeps its
// snapshots here, newest first; the exchange browser keeps column pairs.
// Every index outside the list is answered safely (empty pair, false, or
// nothing done) because callers pass indices taken from menu results.
class StringPairList
{
public:
    StringPairList() = default;

    int size() const { return pairs.size(); }
    bool isEmpty() const { return pairs.isEmpty(); }

    // Puts a copy of the pair before the first element.
    void insertAtStart (const StringPair& pair);

    // A copy of the element, or two empty texts when the index is outside the list.
    StringPair getPair (int index) const;

    // Copies the element's second text out; false (and the text unchanged)
    // when the index is outside the list.
    bool getSecond (int index, juce::String& second) const;

    // Removes the element and gives it back; two empty texts when the index
    // is outside the list.
    StringPair removeAndReturn (int index);

    // Removes the element, moving the later ones down; does nothing for an
    // index outside the list.
    void remove (int index);

    // Drops every element; the storage is kept for reuse.
    void destroyElements();

private:
    juce::Array<StringPair> pairs;
};
