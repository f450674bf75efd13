#pragma once

#include "model/PropertyList.h"

#include <juce_core/juce_core.h>

// The one reader of properties files (the settings file, the language file)
// in every form JUCE's PropertiesFile writes:
//   XML:               <PROPERTIES><VALUE name="key" val="value"/>...</PROPERTIES>,
//                      read through ExternalXmlReader; a VALUE holding an
//                      element has that element's one-line XML as its value;
//   binary:            "PROP", an int32 count, then count pairs of
//                      zero-terminated UTF-8 key and value;
//   compressed binary: "CPRP" and the binary body after it, zlib-compressed.
// JUCE's own reader of these forms never sees bytes from outside; writing
// stays with JUCE. A file that is damaged anywhere (also one whose XML is
// well-formed but holds loose text between the VALUEs) is refused as a whole.
class ExternalPropertiesReader
{
public:
    enum class Result
    {
        read,      // values holds the file's properties
        missing,   // there is no file; values is empty
        unreadable // a file is there that is not a readable properties file; values is empty
    };

    // Larger bodies (also once decompressed) are refused.
    static constexpr size_t maxBodySize = 16 * 1024 * 1024;

    // True and the properties when the bytes hold one properties file;
    // false and nothing otherwise. Keys keep their case; the pairs come in the
    // order their keys first appear, a later value of a key replacing an
    // earlier one. Takes time in proportion to the size.
    static bool parse (const void* data, size_t size, PropertyList& values);

    // Only a regular file of at most maxFileSize bytes (and maxBodySize) is
    // read; anything else there is unreadable.
    static Result readFile (const juce::File& file, PropertyList& values,
                            juce::int64 maxFileSize = (juce::int64) maxBodySize);
};
