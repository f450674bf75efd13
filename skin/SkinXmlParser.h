#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// Reads an XML document that came from outside the program (a skin file, the
// built-in skin document) into juce::XmlElements for the skin's readers. The
// text is parsed with pugixml; comments and processing instructions are
// dropped, text and CDATA become text elements. Returns nullptr with a reason
// in error when the text is not well-formed UTF-8 XML or nests absurdly deep.
std::unique_ptr<juce::XmlElement> parseSkinXml (const void* data, size_t size, juce::String& error);
