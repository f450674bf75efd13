#include "model/ExternalXmlReader.h"

#include "model/FileUtils.h"

#include <pugixml.hpp>

#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{
juce::String textOf (const char* utf8)
{
    return juce::String::fromUTF8 (utf8, (int) std::strlen (utf8));
}

bool isValidText (const char* utf8)
{
    return ExternalXmlReader::isValidUtf8 (utf8, std::strlen (utf8));
}

// The one road from a name in a document to the framework's pool of names
// (see the header): a known name is made once and kept, another only within
// the run's share. A look-up takes time with the name's length, never with
// the names met before.
class NameTable
{
public:
    static NameTable& get()
    {
        static NameTable table;
        return table;
    }

    // The name's framework form, or nullptr for an unknown name past the
    // run's share.
    const juce::Identifier* find (std::string_view name)
    {
        const std::lock_guard<std::mutex> hold (lock);

        if (auto found = names.find (name); found != names.end())
            return &found->second;

        if (unknownMade >= ExternalXmlReader::maxUnknownNamesPerRun)
            return nullptr;

        ++unknownMade;
        return add (name);
    }

    void know (std::string_view name)
    {
        const std::lock_guard<std::mutex> hold (lock);

        if (! name.empty() && names.find (name) == names.end())
            add (name);
    }

    const juce::Identifier& unknownTag() const { return placeholder; }

    size_t size()
    {
        const std::lock_guard<std::mutex> hold (lock);
        return names.size();
    }

    void renewShare()
    {
        const std::lock_guard<std::mutex> hold (lock);
        unknownMade = 0;
    }

private:
    NameTable()
    {
        know (ExternalXmlReader::unknownNameTag);
        placeholder = names.find (ExternalXmlReader::unknownNameTag)->second;
    }

    // The key looks at the identifier's own bytes, which live as long as it.
    const juce::Identifier* add (std::string_view name)
    {
        juce::Identifier made (juce::String::fromUTF8 (name.data(), (int) name.size()));
        const auto* bytes = made.getCharPointer().getAddress();
        auto& stored = names.emplace (std::string_view (bytes, name.size()), std::move (made)).first->second;
        return &stored;
    }

    std::mutex lock;
    std::unordered_map<std::string_view, juce::Identifier> names;
    int unknownMade = 0;
    juce::Identifier placeholder;
};

// Copies a pugixml element and everything below it into a juce::XmlElement.
// Escapes have been expanded by then, and a character reference may name
// what the file's bytes could not hold, so every string is checked again.
// The different names of the document are counted as the copy meets them.
class TreeCopier
{
public:
    std::unique_ptr<juce::XmlElement> copy (const pugi::xml_node& source, int depth)
    {
        if (depth > ExternalXmlReader::maxDepth)
            return fail ("the document is nested too deeply");

        const auto* tag = nameFor (source.name(), "an element has an invalid name");

        if (errorText.isNotEmpty())
            return nullptr;

        auto element = std::make_unique<juce::XmlElement> (tag != nullptr ? *tag : names.unknownTag());
        int attributeCount = 0;

        for (auto attribute : source.attributes())
        {
            if (++attributeCount > ExternalXmlReader::maxAttributesPerElement)
                return fail ("an element has too many attributes");

            const auto* name = nameFor (attribute.name(), "an attribute is not valid text");

            if (errorText.isNotEmpty())
                return nullptr;

            if (! isValidText (attribute.value()))
                return fail ("an attribute is not valid text");

            if (name != nullptr)
                element->setAttribute (*name, textOf (attribute.value()));
        }

        // The children are gathered first and linked in from the last one:
        // appending walks every earlier sibling, which a file with many of
        // them turns into a wait of minutes.
        std::vector<std::unique_ptr<juce::XmlElement>> children;
        // A text split by comments, processing instructions or CDATA comes in
        // pieces; they are gathered as bytes and made into one string once,
        // as a juce::String grown piece by piece is copied whole each time.
        std::string pendingText;

        for (auto child : source.children())
        {
            const auto type = child.type();

            if (type == pugi::node_pcdata || type == pugi::node_cdata)
            {
                if (! isValidText (child.value()))
                    return fail ("the text is not valid UTF-8");

                pendingText += child.value();
            }
            else if (type == pugi::node_element)
            {
                addText (children, pendingText);
                auto childElement = copy (child, depth + 1);

                if (childElement == nullptr)
                    return nullptr;

                children.push_back (std::move (childElement));
            }
        }

        addText (children, pendingText);

        for (auto it = children.rbegin(); it != children.rend(); ++it)
            element->prependChildElement (it->release());

        return element;
    }

    juce::String errorText;

private:
    // The framework name for a name met in the document, or nullptr for one
    // left out; errorText is set (to invalidReason for a name that is not
    // valid text) when the document is refused.
    const juce::Identifier* nameFor (const char* name, const char* invalidReason)
    {
        const std::string_view text (name);

        if (auto found = seen.find (text); found != seen.end())
            return found->second;

        if (text.empty() || ! ExternalXmlReader::isValidUtf8 (text.data(), text.size()))
        {
            fail (invalidReason);
            return nullptr;
        }

        if (seen.size() >= (size_t) ExternalXmlReader::maxDistinctNames)
        {
            fail ("the document has too many different names");
            return nullptr;
        }

        const auto* made = names.find (text);
        seen.emplace (text, made);
        return made;
    }

    NameTable& names = NameTable::get();
    std::unordered_map<std::string_view, const juce::Identifier*> seen;

    static void addText (std::vector<std::unique_ptr<juce::XmlElement>>& children, std::string& text)
    {
        if (! text.empty())
        {
            const auto joined = juce::String::fromUTF8 (text.data(), (int) text.size());

            if (joined.containsNonWhitespaceChars())
                children.emplace_back (juce::XmlElement::createTextElement (joined));
        }

        text.clear();
    }

    std::unique_ptr<juce::XmlElement> fail (const char* reason)
    {
        errorText = reason;
        return nullptr;
    }
};
void writeEscaped (juce::MemoryOutputStream& out, const juce::String& text, bool inAttribute)
{
    for (auto t = text.getCharPointer(); ! t.isEmpty();)
    {
        const auto c = (juce::uint32) t.getAndAdvance();

        switch (c)
        {
            case '&': out << "&amp;"; break;
            case '"': out << "&quot;"; break;
            case '<': out << "&lt;"; break;
            case '>': out << "&gt;"; break;
            default:
                if ((c >= 32 && c < 127) || (! inAttribute && (c == '\n' || c == '\r')))
                    out << (char) c;
                else
                    out << "&#" << (int) c << ';';
                break;
        }
    }
}

void writeElement (juce::MemoryOutputStream& out, const juce::XmlElement& element)
{
    if (element.isTextElement())
    {
        writeEscaped (out, element.getText(), false);
        return;
    }

    out << '<' << element.getTagName();

    for (int i = 0; i < element.getNumAttributes(); ++i)
    {
        out << ' ' << element.getAttributeName (i) << "=\"";
        writeEscaped (out, element.getAttributeValue (i), true);
        out << '"';
    }

    if (element.getFirstChildElement() == nullptr)
    {
        out << "/>";
        return;
    }

    out << '>';

    for (auto* child = element.getFirstChildElement(); child != nullptr; child = child->getNextElement())
        writeElement (out, *child);

    out << "</" << element.getTagName() << '>';
}
} // namespace

juce::String ExternalXmlReader::toSingleLineText (const juce::XmlElement& element)
{
    juce::MemoryOutputStream out;
    writeElement (out, element);
    return out.toUTF8();
}

size_t ExternalXmlReader::byteOrderMarkSize (const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*> (data);
    return (data != nullptr && size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ? 3 : 0;
}

bool ExternalXmlReader::isValidUtf8 (const void* data, size_t size)
{
    if (size == 0)
        return true;

    if (data == nullptr)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data);
    size_t i = 0;

    while (i < size)
    {
        const auto lead = bytes[i];

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        size_t length = 0;
        juce::uint32 lowest = 0;
        juce::uint32 code = 0;

        if (lead >= 0xC2 && lead <= 0xDF)
        {
            length = 2;
            lowest = 0x80;
            code = lead & 0x1F;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            length = 3;
            lowest = 0x800;
            code = lead & 0x0F;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            length = 4;
            lowest = 0x10000;
            code = lead & 0x07;
        }
        else
        {
            return false; // a continuation byte, an overlong lead (C0, C1) or F5..FF
        }

        if (size - i < length)
            return false;

        for (size_t k = 1; k < length; ++k)
        {
            const auto next = bytes[i + k];

            if ((next & 0xC0) != 0x80)
                return false;

            code = (code << 6) | (next & 0x3F);
        }

        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;

        i += length;
    }

    return true;
}

std::unique_ptr<juce::XmlElement> ExternalXmlReader::parse (const void* data, size_t size, juce::String& errorText)
{
    errorText.clear();

    if (data == nullptr || size == 0)
    {
        errorText = "the document is empty";
        return nullptr;
    }

    const auto skip = byteOrderMarkSize (data, size);
    const auto* bytes = static_cast<const char*> (data) + skip;
    size -= skip;

    if (! isValidUtf8 (bytes, size))
    {
        errorText = "the document is not valid UTF-8";
        return nullptr;
    }

    // XML has no place for a zero byte, and pugixml would take it for the end.
    if (std::memchr (bytes, 0, size) != nullptr)
    {
        errorText = "the document holds a zero byte";
        return nullptr;
    }

    pugi::xml_document document;
    const auto result = document.load_buffer (bytes, size, pugi::parse_default, pugi::encoding_utf8);

    if (! result)
    {
        errorText = juce::String (result.description()) + " at byte " + juce::String ((juce::int64) result.offset);
        return nullptr;
    }

    pugi::xml_node root;
    int elementCount = 0;

    for (auto node : document.children())
    {
        if (node.type() == pugi::node_element)
        {
            root = node;
            ++elementCount;
        }
    }

    if (elementCount != 1)
    {
        errorText = elementCount == 0 ? "the document has no element" : "the document has more than one root element";
        return nullptr;
    }

    TreeCopier copier;
    auto tree = copier.copy (root, 1);

    if (tree == nullptr)
        errorText = copier.errorText;

    return tree;
}

std::unique_ptr<juce::XmlElement> ExternalXmlReader::parse (const juce::MemoryBlock& data, juce::String& errorText)
{
    return parse (data.getData(), data.getSize(), errorText);
}

std::unique_ptr<juce::XmlElement> ExternalXmlReader::readFile (const juce::File& file, juce::int64 maxFileSize,
                                                               juce::String& errorText)
{
    juce::MemoryBlock data;

    switch (readRegularFile (file, maxFileSize, data))
    {
        case FileReadResult::read: return parse (data, errorText);
        case FileReadResult::missing: errorText = "the file does not exist"; break;
        case FileReadResult::notAFile: errorText = "the file is not a regular file"; break;
        case FileReadResult::tooLarge: errorText = "the file is too large"; break;
        case FileReadResult::unreadable: errorText = "the file could not be read"; break;
    }

    return nullptr;
}

void ExternalXmlReader::resetForTests()
{
    NameTable::get().renewShare();
}

size_t ExternalXmlReader::countNamesMade()
{
    return NameTable::get().size();
}

void ExternalXmlReader::knowNames (const juce::StringArray& names)
{
    auto& table = NameTable::get();

    for (const auto& name : names)
        table.know (std::string_view (name.toRawUTF8(), name.getNumBytesAsUTF8()));
}

void ExternalXmlReader::knowNamesOf (const void* ownDocument, size_t size)
{
    pugi::xml_document document;

    if (ownDocument == nullptr || size == 0 || ! isValidUtf8 (ownDocument, size) ||
        ! document.load_buffer (ownDocument, size, pugi::parse_default, pugi::encoding_utf8))
        return;

    auto& table = NameTable::get();

    // Without a stack of its own, so that no depth of nesting can exhaust it.
    for (auto node = document.first_child(); node;)
    {
        if (node.type() == pugi::node_element)
        {
            table.know (node.name());

            for (auto attribute : node.attributes())
                table.know (attribute.name());
        }

        if (auto child = node.first_child())
        {
            node = child;
            continue;
        }

        while (node && ! node.next_sibling())
            node = node.parent();

        if (node)
            node = node.next_sibling();
    }
}
