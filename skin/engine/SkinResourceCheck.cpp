#include "skin/engine/SkinResourceCheck.h"

#include "model/ExternalXmlReader.h"

#include <zlib.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace
{
//==============================================================================
// PNG

juce::uint32 bigEndian32 (const juce::uint8* p)
{
    return juce::ByteOrder::bigEndianInt (p);
}

bool isChunkTypeLetter (juce::uint8 c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The bits a pixel takes for a colour type and depth, or 0 for a combination
// PNG does not allow.
int bitsPerPixel (int colourType, int depth)
{
    auto depthIn = [depth] (std::initializer_list<int> allowed)
    {
        for (auto d : allowed)
            if (d == depth)
                return true;
        return false;
    };

    switch (colourType)
    {
        case 0: return depthIn ({ 1, 2, 4, 8, 16 }) ? depth : 0;
        case 2: return depthIn ({ 8, 16 }) ? depth * 3 : 0;
        case 3: return depthIn ({ 1, 2, 4, 8 }) ? depth : 0;
        case 4: return depthIn ({ 8, 16 }) ? depth * 2 : 0;
        case 6: return depthIn ({ 8, 16 }) ? depth * 4 : 0;
        default: return 0;
    }
}

// The rows the compressed data must give, pass by pass: each row is a filter
// byte (0 to 4) and its pixels.
struct RowRun
{
    juce::uint64 rows;
    juce::uint64 length;
};

std::vector<RowRun> rowRunsOf (juce::uint32 width, juce::uint32 height, int bits, bool interlaced)
{
    auto rowLength = [bits] (juce::uint64 pixels) { return 1 + (pixels * (juce::uint64) bits + 7) / 8; };

    if (! interlaced)
        return { { height, rowLength (width) } };

    static const int passes[7][4] = { { 0, 0, 8, 8 }, { 4, 0, 8, 8 }, { 0, 4, 4, 8 }, { 2, 0, 4, 4 },
                                      { 0, 2, 2, 4 }, { 1, 0, 2, 2 }, { 0, 1, 1, 2 } };
    std::vector<RowRun> runs;

    for (auto& p : passes)
    {
        const juce::uint64 w = width > (juce::uint32) p[0] ? (width - (juce::uint32) p[0] + (juce::uint32) p[2] - 1) / (juce::uint32) p[2] : 0;
        const juce::uint64 h = height > (juce::uint32) p[1] ? (height - (juce::uint32) p[1] + (juce::uint32) p[3] - 1) / (juce::uint32) p[3] : 0;

        if (w > 0 && h > 0)
            runs.push_back ({ h, rowLength (w) });
    }

    return runs;
}

// Inflates the joined IDAT data and checks that it is one complete zlib
// stream giving exactly the rows expected, each with a known filter.
juce::String checkImageData (const juce::MemoryBlock& compressed, const std::vector<RowRun>& runs)
{
    z_stream stream{};

    if (inflateInit (&stream) != Z_OK)
        return "its picture data cannot be read";

    stream.next_in = static_cast<Bytef*> (const_cast<void*> (compressed.getData()));
    stream.avail_in = (uInt) compressed.getSize();

    size_t run = 0;
    juce::uint64 rowsLeft = runs.empty() ? 0 : runs[0].rows;
    juce::uint64 posInRow = 0;
    juce::String problem;
    int status = Z_OK;
    juce::uint8 buffer[65536];

    while (problem.isEmpty() && status != Z_STREAM_END)
    {
        stream.next_out = buffer;
        stream.avail_out = (uInt) sizeof (buffer);
        status = inflate (&stream, Z_NO_FLUSH);

        if (status != Z_OK && status != Z_STREAM_END)
        {
            problem = "its picture data is damaged or cut short";
            break;
        }

        const auto produced = sizeof (buffer) - stream.avail_out;

        for (size_t i = 0; i < produced;)
        {
            if (run >= runs.size())
            {
                problem = "its picture data is longer than its size";
                break;
            }

            if (posInRow == 0 && buffer[i] > 4)
            {
                problem = "its picture data is damaged";
                break;
            }

            const auto step = (size_t) std::min<juce::uint64> (runs[run].length - posInRow, produced - i);
            i += step;
            posInRow += step;

            if (posInRow == runs[run].length)
            {
                posInRow = 0;

                if (--rowsLeft == 0 && ++run < runs.size())
                    rowsLeft = runs[run].rows;
            }
        }

        if (status == Z_OK && produced == 0 && stream.avail_in == 0)
            problem = "its picture data is cut short";
    }

    inflateEnd (&stream);

    if (problem.isEmpty() && run < runs.size())
        problem = "its picture data is shorter than its size";

    if (problem.isEmpty() && stream.avail_in != 0)
        problem = "its picture data has bytes past its end";

    return problem;
}

juce::String checkPng (const juce::MemoryBlock& data, int maxSide)
{
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto size = data.getSize();
    size_t position = 8;
    bool sawHeader = false, sawPalette = false, sawEnd = false, idatEnded = false;
    int colourType = 0, bits = 0;
    juce::uint32 width = 0, height = 0;
    bool interlaced = false;
    juce::MemoryBlock compressed;

    while (! sawEnd)
    {
        if (size - position < 12)
            return "it is cut short";

        const auto length = bigEndian32 (bytes + position);
        const auto* type = bytes + position + 4;

        if (length > 0x7fffffffu || size - position - 12 < length)
            return "it is cut short";

        for (int i = 0; i < 4; ++i)
            if (! isChunkTypeLetter (type[i]))
                return "it holds a damaged chunk";

        const auto* body = type + 4;

        if ((juce::uint32) crc32 (0, type, (uInt) (4 + length)) != bigEndian32 (body + length))
            return "a checksum does not match";

        const juce::String name (reinterpret_cast<const char*> (type), 4);
        const bool critical = type[0] >= 'A' && type[0] <= 'Z';

        if (! sawHeader && name != "IHDR")
            return "it does not start with its header";

        if (name == "IHDR")
        {
            if (sawHeader || length != 13)
                return "its header is damaged";

            sawHeader = true;
            width = bigEndian32 (body);
            height = bigEndian32 (body + 4);
            colourType = body[9];
            bits = bitsPerPixel (colourType, body[8]);
            interlaced = body[12] == 1;

            if (width == 0 || height == 0 || width > (juce::uint32) maxSide || height > (juce::uint32) maxSide)
                return "its size is out of range";

            if (bits == 0 || body[10] != 0 || body[11] != 0 || body[12] > 1)
                return "its header is damaged";
        }
        else if (name == "PLTE")
        {
            if (sawPalette || compressed.getSize() > 0 || length == 0 || length % 3 != 0 || length > 3 * 256
                || colourType == 0 || colourType == 4)
                return "its palette is damaged";

            sawPalette = true;
        }
        else if (name == "IDAT")
        {
            if (idatEnded)
                return "its picture data is split";

            compressed.append (body, length);
        }
        else if (name == "IEND")
        {
            sawEnd = true;
        }
        else if (critical)
        {
            return "it holds an unknown essential chunk";
        }

        if (name != "IDAT" && compressed.getSize() > 0)
            idatEnded = true;

        position += 12 + length;
    }

    if (colourType == 3 && ! sawPalette)
        return "its palette is missing";

    if (compressed.isEmpty())
        return "it holds no picture data";

    return checkImageData (compressed, rowRunsOf (width, height, bits, interlaced));
}

//==============================================================================
// JPEG: the segments up to the scan, a frame header of sensible size, and the
// end marker.

juce::String checkJpeg (const juce::MemoryBlock& data, int maxSide)
{
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto size = data.getSize();
    size_t position = 2;
    bool sawFrame = false;

    for (;;)
    {
        if (size - position < 4)
            return "it is cut short";

        if (bytes[position] != 0xff)
            return "it holds a damaged segment";

        const auto marker = bytes[position + 1];

        if (marker == 0xff)
        {
            ++position;
            continue;
        }

        const auto length = (size_t) juce::ByteOrder::bigEndianShort (bytes + position + 2);

        if (length < 2 || size - position - 2 < length)
            return "it is cut short";

        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
        {
            if (length < 8)
                return "its frame header is damaged";

            const int height = juce::ByteOrder::bigEndianShort (bytes + position + 5);
            const int width = juce::ByteOrder::bigEndianShort (bytes + position + 7);
            const int components = bytes[position + 9];

            if (width <= 0 || height <= 0 || width > maxSide || height > maxSide)
                return "its size is out of range";

            if ((components != 1 && components != 3) || length != 8 + 3 * (size_t) components)
                return "its frame header is damaged";

            sawFrame = true;
        }

        if (marker == 0xda)
            break;

        position += 2 + length;
    }

    if (! sawFrame)
        return "it has no frame header";

    if (size < 4 || bytes[size - 2] != 0xff || bytes[size - 1] != 0xd9)
        return "it is cut short";

    return {};
}

//==============================================================================
// SVG

// Every number in a text, as the SVG reader would take it; false when one is
// not finite or lies past maxCoordinate. A '#' starts a colour or a
// reference, whose digits are no number. Letters end a number (path commands
// stand right before theirs), so digits inside a name count as one too.
bool numbersAreInRange (const juce::String& text)
{
    const auto utf8 = text.toStdString();
    const char* p = utf8.c_str();

    while (*p != 0)
    {
        if (*p == '#')
        {
            ++p;
            while (std::isalnum ((unsigned char) *p) || *p == '_' || *p == '-')
                ++p;
            continue;
        }

        if (std::isdigit ((unsigned char) *p) || (*p == '.' && std::isdigit ((unsigned char) p[1])))
        {
            char* end = nullptr;
            const auto value = std::strtod (p, &end);

            if (! std::isfinite (value) || std::abs (value) > SkinResourceCheck::maxCoordinate)
                return false;

            p = end > p ? end : p + 1;
            continue;
        }

        ++p;
    }

    return true;
}

// "#id" of an href, or the id inside "url(#id)"s of a value.
void collectReferences (const juce::String& value, bool isHref, juce::StringArray& into)
{
    if (isHref)
    {
        if (value.startsWithChar ('#'))
            into.add (value.substring (1).trim());
        return;
    }

    for (int at = value.indexOf ("url("); at >= 0; at = value.indexOf (at + 4, "url("))
    {
        auto inside = value.substring (at + 4).upToFirstOccurrenceOf (")", false, false).trim().unquoted().trim();
        if (inside.startsWithChar ('#'))
            into.add (inside.substring (1).trim());
    }
}

struct SvgGraph
{
    std::map<juce::String, const juce::XmlElement*> byId;
    // What each element with an id refers to, itself and everything below it.
    std::map<const juce::XmlElement*, juce::StringArray> references;
    std::map<const juce::XmlElement*, juce::uint64> ownSize;
};

// Text is drawn, and so read for numbers, only inside text and style elements;
// elsewhere (titles, an editor's metadata) it is never parsed.
bool textIsRead (const juce::XmlElement& element)
{
    for (auto* tag : { "text", "tspan", "textPath", "style" })
        if (element.hasTagNameIgnoringNamespace (tag))
            return true;

    return false;
}

juce::String walkSvg (const juce::XmlElement& element, SvgGraph& graph, juce::StringArray& references,
                      juce::uint64& count, bool textRead = false)
{
    ++count;

    if (element.isTextElement())
        return ! textRead || numbersAreInRange (element.getText()) ? juce::String()
                                                                   : "it holds a number out of range";

    if (element.hasTagNameIgnoringNamespace ("image"))
        return "it holds a picture of its own";

    juce::StringArray own;
    juce::uint64 below = 0;

    for (int i = 0; i < element.getNumAttributes(); ++i)
    {
        const auto name = element.getAttributeName (i);
        const auto value = element.getAttributeValue (i);
        const bool isHref = name == "href" || name.endsWith (":href");

        if (name == "id" || name.startsWith ("xmlns") || isHref)
        {
            collectReferences (value, isHref, own);
            continue;
        }

        // Attributes of another namespace (a drawing program's version, its
        // window size) are never drawn.
        if (name.containsChar (':'))
            continue;

        collectReferences (value, false, own);

        if (! numbersAreInRange (value))
            return "it holds a number out of range";
    }

    for (auto* child = element.getFirstChildElement(); child != nullptr; child = child->getNextElement())
    {
        auto problem = walkSvg (*child, graph, own, below, textIsRead (element));
        if (problem.isNotEmpty())
            return problem;
    }

    count += below;
    references.addArray (own);

    const auto id = element.getStringAttribute ("id");

    if (id.isNotEmpty())
    {
        if (graph.byId.count (id) == 0)
            graph.byId[id] = &element;

        graph.references[&element] = own;
        graph.ownSize[&element] = below + 1;
    }

    return {};
}

// The number of elements an element stands for once every reference below it
// is followed; zero for a reference that leads back to where it came from, or
// for a chain of references longer than any drawing needs (which would also
// take this walk too deep).
constexpr juce::uint64 maxExpandedElements = 200000;
constexpr size_t maxReferenceChain = 256;

juce::uint64 expandedSize (const juce::XmlElement* element, SvgGraph& graph, std::set<const juce::XmlElement*>& onPath,
                           std::map<const juce::XmlElement*, juce::uint64>& known)
{
    if (auto found = known.find (element); found != known.end())
        return found->second;

    if (onPath.size() >= maxReferenceChain || ! onPath.insert (element).second)
        return 0;

    juce::uint64 total = graph.ownSize[element];

    for (auto& reference : graph.references[element])
    {
        auto target = graph.byId.find (reference);
        if (target == graph.byId.end())
            continue;

        const auto size = expandedSize (target->second, graph, onPath, known);
        if (size == 0)
            return 0;

        total += size;
        if (total > maxExpandedElements)
            return 0;
    }

    onPath.erase (element);
    known[element] = total;
    return total;
}
} // namespace

juce::String SkinResourceCheck::checkPicture (const juce::MemoryBlock& data, int maxSide)
{
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto size = data.getSize();
    static const juce::uint8 pngSignature[8] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    if (size >= 8 && std::memcmp (bytes, pngSignature, 8) == 0)
        return checkPng (data, maxSide);

    // The framework's GIF reader reads before its buffer on every picture.
    if (size >= 3 && std::memcmp (bytes, "GIF", 3) == 0)
        return "it is a GIF picture, which a skin cannot hold (PNG can)";

    if (size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
        return checkJpeg (data, maxSide);

    return "it is not a PNG or JPEG picture";
}

juce::String SkinResourceCheck::checkSvg (const juce::MemoryBlock& data, std::unique_ptr<juce::XmlElement>& tree)
{
    tree.reset();
    juce::String error;
    auto root = ExternalXmlReader::parse (data, error);

    if (root == nullptr)
        return "it is not well-formed XML (" + error + ")";

    if (! root->hasTagNameIgnoringNamespace ("svg"))
        return "it is not an SVG document";

    SvgGraph graph;
    juce::StringArray references;
    juce::uint64 count = 0;
    auto problem = walkSvg (*root, graph, references, count);

    if (problem.isNotEmpty())
        return problem;

    // Every reference is followed as the drawing would follow it: none may
    // lead back to itself, and together they may not multiply the document
    // past any real drawing.
    std::map<const juce::XmlElement*, juce::uint64> known;
    juce::uint64 total = count;

    for (auto& reference : references)
    {
        auto target = graph.byId.find (reference);
        if (target == graph.byId.end())
            continue;

        std::set<const juce::XmlElement*> onPath;
        const auto size = expandedSize (target->second, graph, onPath, known);

        if (size == 0)
            return "a reference in it leads back to itself or grows without bound";

        total += size;
        if (total > maxExpandedElements)
            return "a reference in it leads back to itself or grows without bound";
    }

    tree = std::move (root);
    return {};
}
