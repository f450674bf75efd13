#include "skin/SkinXmlParser.h"

#include <pugixml.hpp>

#include <cstring>
#include <limits>

namespace
{
// Deeper than any skin needs; guards the copy below against a stack overflow.
constexpr int maxDepth = 64;

bool copyChildren (const pugi::xml_node& from, juce::XmlElement& to, int depth)
{
    if (depth > maxDepth)
        return false;

    for (auto attribute : from.attributes())
        to.setAttribute (juce::Identifier (juce::String::fromUTF8 (attribute.name())),
                         juce::String::fromUTF8 (attribute.value()));

    for (auto child : from.children())
    {
        switch (child.type())
        {
            case pugi::node_element:
            {
                auto* element = to.createNewChildElement (juce::String::fromUTF8 (child.name()));
                if (! copyChildren (child, *element, depth + 1))
                    return false;
                break;
            }
            case pugi::node_pcdata:
            case pugi::node_cdata: to.addTextElement (juce::String::fromUTF8 (child.value())); break;
            default: break;
        }
    }
    return true;
}
} // namespace

std::unique_ptr<juce::XmlElement> parseSkinXml (const void* data, size_t size, juce::String& error)
{
    error.clear();

    // Only whole, well-formed UTF-8 text reaches the parser: the strings it
    // hands out are read up to their terminator, so a cut-off sequence could
    // otherwise be read past.
    const auto* text = static_cast<const char*> (data);
    if (data == nullptr || size > (size_t) std::numeric_limits<int>::max() || std::memchr (text, 0, size) != nullptr ||
        ! juce::CharPointer_UTF8::isValidString (text, (int) size))
    {
        error = "not UTF-8 text";
        return nullptr;
    }

    pugi::xml_document document;
    auto result = document.load_buffer (data, size, pugi::parse_default, pugi::encoding_utf8);

    if (! result)
    {
        error = juce::String (result.description()) + " at byte " + juce::String ((juce::int64) result.offset);
        return nullptr;
    }

    auto rootNode = document.document_element();
    if (rootNode.empty())
    {
        error = "no root element";
        return nullptr;
    }

    auto root = std::make_unique<juce::XmlElement> (juce::String::fromUTF8 (rootNode.name()));
    if (! copyChildren (rootNode, *root, 1))
    {
        error = "elements nested too deeply";
        return nullptr;
    }
    return root;
}
