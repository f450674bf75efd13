#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// The one reader of XML documents that come from outside the program's own
// binary: the settings file, the language file, skin files loaded from disk
// and anything fetched over the network. The bytes must be well-formed UTF-8
// (a leading byte-order mark is allowed); anything else is refused before a
// parser sees it. The document is parsed with pugixml and handed over as the
// juce::XmlElement tree the rest of the program works with: elements,
// attributes and text (character data and CDATA joined, blank-only runs
// dropped); comments, processing instructions and the document type are left
// out. A tree read here is turned back into text only by toSingleLineText:
// the framework's writer fails on some trees the reader accepts.
//
// Documents nested deeper than maxDepth, with an element of more than
// maxAttributesPerElement attributes, or with more than maxDistinctNames
// different element and attribute names, are refused: no file of ours comes
// near any of them (the skin document, the largest, uses some 420 names), and
// the tree's own recursion must stay bounded.
//
// Every element and attribute name of the tree is one of the framework's
// names, which it keeps for the whole run in one sorted pool where each new
// name costs more than the last. So that reading costs time with the bytes
// read, over all the documents of a run, names reach that pool only through
// one table of this reader: the names the program knows (each reader tells
// its own through knowNames or knowNamesOf before it reads) are always made;
// of any other names, the run makes maxUnknownNamesPerRun at most. Past that
// share an unknown attribute is left out of the tree and an unknown element
// is kept, with its text, children and known attributes, under the tag
// unknownNameTag. The program asks for neither by name, so every document
// that uses the names it knows reads exactly as it always did.
class ExternalXmlReader
{
public:
    static constexpr int maxDepth = 200;
    static constexpr int maxAttributesPerElement = 1024;
    static constexpr int maxDistinctNames = 8192;
    static constexpr int maxUnknownNamesPerRun = 2 * maxDistinctNames;
    // Names beginning with "xml" are kept for the standard's own use, so no
    // document the program reads holds this tag.
    static constexpr const char* unknownNameTag = "xml-unknown-name";

    // The root element, or nullptr with errorText saying why.
    static std::unique_ptr<juce::XmlElement> parse (const void* data, size_t size, juce::String& errorText);
    static std::unique_ptr<juce::XmlElement> parse (const juce::MemoryBlock& data, juce::String& errorText);

    // Names a reader of the program looks for: from now on they are read
    // from every document, whatever came before. Names already known cost
    // nothing more.
    static void knowNames (const juce::StringArray& names);
    // Every element and attribute name in one of the program's own documents
    // (UTF-8 XML); nothing for bytes that are not such a document.
    static void knowNamesOf (const void* ownDocument, size_t size);

    // Gives the run a whole share of unknown names again, so that a test
    // which spends it leaves the next test of the process reading as a fresh
    // run does. The names already made stay made.
    static void resetForTests();

    // How many framework names the documents of this run have made, known or
    // not. Each costs more than the last, so this is the reading's work that
    // must stay bounded.
    static size_t countNamesMade();

    // Reads a whole regular file of at most maxFileSize bytes and parses it.
    static std::unique_ptr<juce::XmlElement> readFile (const juce::File& file, juce::int64 maxFileSize,
                                                       juce::String& errorText);

    // One line of XML for an element and everything below it (no header).
    // Safe for any tree parse gives; depth is bounded by maxDepth.
    static juce::String toSingleLineText (const juce::XmlElement& element);

    // True when the bytes are well-formed UTF-8: no overlong forms, no
    // surrogates, nothing above U+10FFFF, no cut-off sequence.
    static bool isValidUtf8 (const void* data, size_t size);

    // Skips a leading UTF-8 byte-order mark; gives the number of bytes skipped.
    static size_t byteOrderMarkSize (const void* data, size_t size);
};
