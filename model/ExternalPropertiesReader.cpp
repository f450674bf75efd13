#include "model/ExternalPropertiesReader.h"

#include "model/ExternalXmlReader.h"
#include "model/FileUtils.h"

#include <cstring>

namespace
{
const char binaryMagic[4] = { 'P', 'R', 'O', 'P' };
const char compressedMagic[4] = { 'C', 'P', 'R', 'P' };

bool startsWith (const void* data, size_t size, const char (&magic)[4])
{
    return size >= 4 && std::memcmp (data, magic, 4) == 0;
}

// One zero-terminated UTF-8 text at position; false when it runs off the end
// or is not valid UTF-8.
bool readText (const juce::uint8* bytes, size_t size, size_t& position, juce::String& text)
{
    const auto* start = bytes + position;
    const auto* end = static_cast<const juce::uint8*> (std::memchr (start, 0, size - position));

    if (end == nullptr)
        return false;

    const auto length = (size_t) (end - start);

    if (! ExternalXmlReader::isValidUtf8 (start, length))
        return false;

    text = juce::String::fromUTF8 (reinterpret_cast<const char*> (start), (int) length);
    position += length + 1;
    return true;
}

// The body after the magic: an int32 count (little-endian), then the pairs.
// Every pair the count announces must be there.
bool parseBinaryBody (const juce::uint8* bytes, size_t size, PropertyList& values)
{
    if (size < 4 || size > ExternalPropertiesReader::maxBodySize)
        return false;

    const auto count = (juce::int32) juce::ByteOrder::littleEndianInt (bytes);

    // Each pair takes at least its two terminators.
    if (count < 0 || (size_t) count > (size - 4) / 2)
        return false;

    size_t position = 4;
    // Room for the pairs of a real file; a count that only terminators
    // follow gets no more than a fraction of the size.
    values.reserve (juce::jmin (count, (juce::int32) (size / 8)));

    for (juce::int32 i = 0; i < count; ++i)
    {
        juce::String key, value;

        if (! readText (bytes, size, position, key) || ! readText (bytes, size, position, value))
            return false;

        if (key.isNotEmpty())
            values.set (key, value);
    }

    return true;
}

bool parseCompressedBody (const void* data, size_t size, PropertyList& values)
{
    juce::MemoryInputStream compressed (data, size, false);
    juce::GZIPDecompressorInputStream unzipped (compressed);
    juce::MemoryBlock body;
    char chunk[8192];

    for (;;)
    {
        const auto got = unzipped.read (chunk, (int) sizeof (chunk));

        if (got <= 0)
            break;

        if (body.getSize() + (size_t) got > ExternalPropertiesReader::maxBodySize)
            return false;

        body.append (chunk, (size_t) got);
    }

    // A stream cut short by damage gives a shorter body, which the count and
    // the terminators then refuse.
    return parseBinaryBody (static_cast<const juce::uint8*> (body.getData()), body.getSize(), values);
}

bool parseXmlBody (const void* data, size_t size, PropertyList& values)
{
    static const bool namesKnown = []
    {
        ExternalXmlReader::knowNames ({ "PROPERTIES", "VALUE", "name", "val" });
        return true;
    }();
    juce::ignoreUnused (namesKnown);

    juce::String errorText;
    auto document = ExternalXmlReader::parse (data, size, errorText);

    if (document == nullptr || ! document->hasTagName ("PROPERTIES"))
        return false;

    values.reserve (document->getNumChildElements());

    // Only elements stand between the VALUEs of a properties file; loose
    // text there means the file is not one.
    for (auto* e : document->getChildIterator())
    {
        if (e->isTextElement())
            return false;

        if (! e->hasTagName ("VALUE"))
            continue;

        const auto name = e->getStringAttribute ("name");

        if (name.isEmpty())
            continue;

        if (auto* child = e->getFirstChildElement())
            values.set (name, ExternalXmlReader::toSingleLineText (*child));
        else
            values.set (name, e->getStringAttribute ("val"));
    }

    return true;
}
} // namespace

bool ExternalPropertiesReader::parse (const void* data, size_t size, PropertyList& values)
{
    values.clear();

    if (data == nullptr || size == 0 || size > maxBodySize)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (data);
    bool read = false;

    if (startsWith (data, size, binaryMagic))
        read = parseBinaryBody (bytes + 4, size - 4, values);
    else if (startsWith (data, size, compressedMagic))
        read = parseCompressedBody (bytes + 4, size - 4, values);
    else
        read = parseXmlBody (data, size, values);

    // A damaged file gives nothing, not the pairs before the damage.
    if (! read)
        values.clear();

    return read;
}

ExternalPropertiesReader::Result ExternalPropertiesReader::readFile (const juce::File& file, PropertyList& values,
                                                                    juce::int64 maxFileSize)
{
    values.clear();

    if (! file.exists())
        return Result::missing;

    juce::MemoryBlock data;

    if (readRegularFile (file, juce::jmin (maxFileSize, (juce::int64) maxBodySize), data) != FileReadResult::read)
        return Result::unreadable;

    return parse (data.getData(), data.getSize(), values) ? Result::read : Result::unreadable;
}
