#pragma once

#include <juce_core/juce_core.h>

// The damaged and crafted files in tests/data/hostile (its README says what
// each once did to the program); every one is replayed by a regular test.
inline juce::File getHostileInput (const char* name)
{
    return juce::File (KESTREL_TEST_DATA_DIR).getChildFile ("hostile").getChildFile (name);
}

inline juce::MemoryBlock loadHostileInput (const char* name)
{
    juce::MemoryBlock data;
    getHostileInput (name).loadFileAsData (data);
    return data;
}

// The shapes of two hostile settings files, at any size.
//
// count VALUEs whose names are twenty two-character blocks. With oneHash the
// blocks are "a" U+01A0 and "b" U+013B, which add the same to juce::String's
// hash (97 * 101 + 416 == 98 * 101 + 315), so every name hashes alike;
// otherwise "b" U+013D takes the second's place: names of the same length
// and bytes whose hashes differ.
inline juce::MemoryBlock settingsWithBlockNamedKeys (int count, bool oneHash)
{
    const auto first = juce::String::fromUTF8 ("a\xC6\xA0");
    const auto second = juce::String::fromUTF8 (oneHash ? "b\xC4\xBB" : "b\xC4\xBD");
    juce::MemoryOutputStream out;
    out << "<PROPERTIES>";

    for (int i = 0; i < count; ++i)
    {
        out << "<VALUE name=\"";
        for (int bit = 19; bit >= 0; --bit)
            out << (((i >> bit) & 1) != 0 ? second : first);
        out << "\" val=\"" << i << "\"/>";
    }

    out << "</PROPERTIES>";
    return out.getMemoryBlock();
}

// One VALUE whose element's text is count "x"s, each followed by a
// processing instruction when split, or by five more "x"s when whole (the
// same number of bytes).
inline juce::MemoryBlock settingsWithLongText (int count, bool split)
{
    juce::MemoryOutputStream out;
    out << "<PROPERTIES><VALUE name=\"a\"><t>";
    for (int i = 0; i < count; ++i)
        out << (split ? "x<?a?>" : "xxxxxx");
    out << "</t></VALUE></PROPERTIES>";
    return out.getMemoryBlock();
}

// Elements "e" holding count different attribute names, a thousand to an
// element, in descending or ascending order: the names number first,
// first + step, ... first + (count - 1) * step, written with letters in the
// given width ("aaaaa" is 0).
inline void writeAttributeNames (juce::MemoryOutputStream& out, int count, bool descending, int first = 0, int step = 1,
                                 int width = 5)
{
    for (int i = 0; i < count; ++i)
    {
        if (i % 1000 == 0)
            out << (i > 0 ? "/>" : "") << "<e";

        char name[16] = {};
        for (int k = width - 1, n = first + step * (descending ? count - 1 - i : i); k >= 0; --k, n /= 26)
            name[k] = (char) ('a' + n % 26);
        out << " " << name << "=\"\"";
    }

    out << (count > 0 ? "/>" : "");
}

// Settings holding count different attribute names of five letters ("aaaaa",
// "aaaab", ...), a thousand to an element, in descending or ascending order.
inline juce::MemoryBlock settingsWithAttributeNames (int count, bool descending)
{
    juce::MemoryOutputStream out;
    out << "<PROPERTIES>";
    writeAttributeNames (out, count, descending);
    out << "<VALUE name=\"a\" val=\"b\"/></PROPERTIES>";
    return out.getMemoryBlock();
}

// A skin document the Skins folder's scan lists (as "name"), holding count
// attribute names of six letters numbered first, first + step, ..., a
// thousand to an element. Document i of n given first i and step n meets
// only names no other holds, and they fall between the names of the others.
inline juce::MemoryBlock skinWithNewNames (const juce::String& name, int count, int first, int step, bool descending)
{
    juce::MemoryOutputStream out;
    out << "<SKIN name=\"" << name << "\" skin=\"x.zip\" skinEngineVersion=\"2.0\">";
    writeAttributeNames (out, count, descending, first, step, 6);
    out << "</SKIN>";
    return out.getMemoryBlock();
}
