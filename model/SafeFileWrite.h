#pragma once

#include <juce_core/juce_core.h>

// Writes data to a file without ever losing what was there before: the data
// goes to a temporary file beside the target, which then replaces the
// target. Missing parent folders are created. Returns an error text, empty
// on success; on failure the previous file is untouched.
juce::String writeFileSafely (const juce::File& target, const void* data, size_t size);
juce::String writeFileSafely (const juce::File& target, const juce::MemoryBlock& data);
juce::String writeFileSafely (const juce::File& target, const juce::String& text);
