#include "skin/engine/SkinResourceCheck.h"

#include "model/ExternalXmlReader.h"

#include <zlib.h>

#include <algorithm>
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

juce::String checkPng (const juce::MemoryBlock& data, int maxSide, juce::Point<int>& announced)
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

    announced = { (int) width, (int) height };
    return checkImageData (compressed, rowRunsOf (width, height, bits, interlaced));
}

//==============================================================================
// JPEG: the whole stream, read the way the system's libjpeg reads it. The
// framework's error handler returns where libjpeg expects it never to return,
// and libjpeg then goes on with the table or state it found missing; so every
// error libjpeg can raise on the way must be ruled out here. Only what our
// skins need is let through: 8-bit baseline, extended or progressive Huffman
// pictures of one or three components, every table a scan uses defined
// before it, and segments, scans and the end marker in order to the last byte.

struct JpegComponent
{
    int id, h, v, quantTable;
};

struct JpegReader
{
    const juce::uint8* bytes;
    size_t size;
    int maxSide;
    juce::Point<int> announced;

    std::vector<JpegComponent> components;
    bool progressive = false, multipleScans = false;
    int scans = 0, maxH = 1, maxV = 1;
    bool quantTables[4] = {}, dcTables[4] = {}, acTables[4] = {};

    juce::String read()
    {
        size_t position = 2;

        for (;;)
        {
            // A marker: 0xFF, any number of fill bytes, its code.
            if (position >= size || bytes[position] != 0xff)
                return position >= size ? "it is cut short" : "it holds a damaged segment";

            while (position < size && bytes[position] == 0xff)
                ++position;

            if (position >= size)
                return "it is cut short";

            const auto marker = bytes[position++];

            if (marker == 0xd9)
            {
                if (scans == 0)
                    return "it holds no picture data";

                return position == size ? juce::String() : "it has bytes past its end";
            }

            if (size - position < 2)
                return "it is cut short";

            const size_t length = juce::ByteOrder::bigEndianShort (bytes + position);

            if (length < 2 || size - position < length)
                return "it is cut short";

            const auto* body = bytes + position + 2;
            const auto bodyLength = length - 2;
            juce::String problem;

            if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2)
                problem = frame (marker == 0xc2, body, bodyLength);
            else if (marker == 0xc4)
                problem = huffmanTables (body, bodyLength);
            else if (marker == 0xdb)
                problem = quantizationTables (body, bodyLength);
            else if (marker == 0xdd)
                problem = bodyLength == 2 ? juce::String() : "its restart interval is damaged";
            else if (marker == 0xda)
                problem = scan (body, bodyLength);
            else if ((marker >= 0xc3 && marker <= 0xcf) || marker == 0xdc || marker == 0xde || marker == 0xdf)
                problem = "it is coded in a way skins cannot use (baseline or progressive JPEG can)";
            else if (! ((marker >= 0xe0 && marker <= 0xef) || marker == 0xfe))
                problem = "it holds an unknown segment";

            if (problem.isNotEmpty())
                return problem;

            position += length;

            if (marker == 0xda)
            {
                // The coded data runs to the first marker that is neither a
                // stuffed 0xFF nor a restart marker.
                for (;; ++position)
                {
                    if (position >= size)
                        return "it is cut short";

                    if (bytes[position] != 0xff)
                        continue;

                    auto next = position + 1;
                    while (next < size && bytes[next] == 0xff)
                        ++next;

                    if (next >= size)
                        return "it is cut short";

                    if (bytes[next] != 0 && (bytes[next] < 0xd0 || bytes[next] > 0xd7))
                        break;

                    position = next;
                }
            }
        }
    }

    juce::String frame (bool isProgressive, const juce::uint8* body, size_t length)
    {
        if (! components.empty())
            return "it holds two frame headers";

        if (length < 6)
            return "its frame header is damaged";

        const int height = juce::ByteOrder::bigEndianShort (body + 1);
        const int width = juce::ByteOrder::bigEndianShort (body + 3);
        const int count = body[5];

        if (width <= 0 || height <= 0 || width > maxSide || height > maxSide)
            return "its size is out of range";

        if (body[0] != 8 || (count != 1 && count != 3) || length != 6 + 3 * (size_t) count)
            return "its frame header is damaged";

        for (int i = 0; i < count; ++i)
        {
            const auto* c = body + 6 + 3 * i;
            const JpegComponent component { c[0], c[1] >> 4, c[1] & 15, c[2] };

            for (auto& other : components)
                if (other.id == component.id)
                    return "its frame header is damaged";

            if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 || component.quantTable > 3)
                return "its frame header is damaged";

            maxH = std::max (maxH, component.h);
            maxV = std::max (maxV, component.v);
            components.push_back (component);
        }

        // libjpeg upsamples only by whole factors.
        for (auto& component : components)
            if (maxH % component.h != 0 || maxV % component.v != 0)
                return "its frame header is damaged";

        progressive = isProgressive;
        announced = { width, height };
        return {};
    }

    juce::String quantizationTables (const juce::uint8* body, size_t length)
    {
        for (size_t at = 0; at < length;)
        {
            const int precision = body[at] >> 4, id = body[at] & 15;
            const size_t tableLength = 1 + 64 * (size_t) (precision + 1);

            if (precision > 1 || id > 3 || length - at < tableLength)
                return "its quantization table is damaged";

            quantTables[id] = true;
            at += tableLength;
        }

        return {};
    }

    // A code of the lengths given, as libjpeg builds it: no code may be all
    // ones; DC tables hold sizes of at most 15 bits.
    juce::String huffmanTables (const juce::uint8* body, size_t length)
    {
        for (size_t at = 0; length - at > 16;)
        {
            const int tableClass = body[at] >> 4, id = body[at] & 15;
            const auto* counts = body + at + 1;
            size_t symbols = 0;

            for (int i = 0; i < 16; ++i)
                symbols += counts[i];

            at += 17;

            if (tableClass > 1 || id > 3 || symbols > 256 || symbols > length - at)
                return "its Huffman table is damaged";

            juce::uint32 code = 0;
            bool started = false;

            for (int bits = 1; bits <= 16; ++bits)
            {
                started = started || counts[bits - 1] > 0;

                if (! started)
                    continue;

                code += counts[bits - 1];

                if (code >= (1u << bits))
                    return "its Huffman table is damaged";

                code <<= 1;
            }

            for (size_t i = 0; i < symbols; ++i)
                if (tableClass == 0 && body[at + i] > 15)
                    return "its Huffman table is damaged";

            (tableClass == 0 ? dcTables : acTables)[id] = true;
            at += symbols;

            if (at == length)
                return {};
        }

        return "its Huffman table is damaged";
    }

    juce::String scan (const juce::uint8* body, size_t length)
    {
        if (components.empty())
            return "it has no frame header";

        if (length < 1)
            return "its scan header is damaged";

        const size_t count = body[0];

        if (count < 1 || count > 4 || length != 4 + 2 * count)
            return "its scan header is damaged";

        const int start = body[1 + 2 * count], end = body[2 + 2 * count];
        const int high = body[3 + 2 * count] >> 4, low = body[3 + 2 * count] & 15;

        // A second scan ends the picture for libjpeg unless the first left
        // components out or the picture is progressive.
        if (scans > 0 && ! multipleScans)
            return "its scans are out of order";

        if (progressive)
        {
            const bool dcBand = start == 0;
            if ((dcBand ? end != 0 : (start > end || end > 63 || count != 1)) || (high != 0 && low != high - 1)
                || low > 13)
                return "its scans are out of order";
        }

        std::vector<const JpegComponent*> inScan;
        int blocks = 0;

        for (size_t i = 0; i < count; ++i)
        {
            const int id = body[1 + 2 * i], dcTable = body[2 + 2 * i] >> 4, acTable = body[2 + 2 * i] & 15;
            const JpegComponent* component = nullptr;

            for (auto& c : components)
                if (c.id == id)
                    component = &c;

            if (component == nullptr || std::find (inScan.begin(), inScan.end(), component) != inScan.end())
                return "its scan header is damaged";

            inScan.push_back (component);
            blocks += component->h * component->v;

            if (! quantTables[component->quantTable])
                return "its quantization table is missing";

            const bool needsDc = ! progressive || (start == 0 && high == 0);
            const bool needsAc = ! progressive || start > 0;

            if ((needsDc && (dcTable > 3 || ! dcTables[dcTable])) || (needsAc && (acTable > 3 || ! acTables[acTable])))
                return "its Huffman table is missing";
        }

        if (count > 1 && blocks > 10)
            return "its scan header is damaged";

        if (scans++ == 0)
            multipleScans = progressive || count < components.size();

        return {};
    }
};

juce::String checkPictureData (const juce::MemoryBlock& data, int maxSide, juce::Point<int>& announced)
{
    const auto* bytes = static_cast<const juce::uint8*> (data.getData());
    const auto size = data.getSize();
    static const juce::uint8 pngSignature[8] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    if (size >= 8 && std::memcmp (bytes, pngSignature, 8) == 0)
        return checkPng (data, maxSide, announced);

    // The framework's GIF reader reads before its buffer on every picture.
    if (size >= 3 && std::memcmp (bytes, "GIF", 3) == 0)
        return "it is a GIF picture, which a skin cannot hold (PNG can)";

    if (size >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
    {
        JpegReader reader { bytes, size, maxSide, {} };
        auto problem = reader.read();
        announced = reader.announced;
        return problem;
    }

    return "it is not a PNG or JPEG picture";
}

//==============================================================================
// SVG

bool isSvgWhitespace (char c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

bool isDigit (char c)
{
    return c >= '0' && c <= '9';
}

// A number as the framework's reader (juce::CharacterFunctions::
// readDoubleValue) takes it from p: digits, a fraction, an exponent. Moves p
// past it; false when the value is not finite or lies past maxCoordinate, or
// when its exponent has more digits than the reader's int holds (it reads
// "0e9999999999" into an overflow).
bool readNumberInRange (const char*& p)
{
    std::string mantissa;

    while (isDigit (*p))
        mantissa += *p++;

    if (*p == '.')
        for (mantissa += *p++; isDigit (*p);)
            mantissa += *p++;

    long exponent = 0;

    if (*p == 'e' || *p == 'E')
    {
        const char* q = p + 1;
        const bool negative = *q == '-';

        if (*q == '-' || *q == '+')
            ++q;

        const char* digits = q;
        int significant = 0;

        for (; isDigit (*q); ++q)
        {
            if (significant == 0 && *q == '0')
                continue;

            if (++significant > 9)
                return false;

            exponent = exponent * 10 + (*q - '0');
        }

        if (q > digits)
        {
            p = q;
            exponent = negative ? -exponent : exponent;
        }
        else
        {
            exponent = 0;
        }
    }

    // Past this the reader gives infinity whatever the digits.
    if (exponent > 309)
        return false;

    if (mantissa.empty() || mantissa == ".")
        return true;

    const auto value = std::strtod ((mantissa + "e" + std::to_string (exponent)).c_str(), nullptr);
    return std::isfinite (value) && std::abs (value) <= SkinResourceCheck::maxCoordinate;
}

// Every number in a text, as the SVG reader would take it; false when one is
// out of range. A '#' starts a colour or a reference, whose digits the reader
// never takes for a number (path data aside, see checkPathData). Letters end
// a number (path commands stand right before theirs), so digits inside a name
// count as one too.
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

        if (isDigit (*p) || (*p == '.' && isDigit (p[1])))
        {
            if (! readNumberInRange (p))
                return false;
            continue;
        }

        ++p;
    }

    return true;
}

// Path data, followed the way the framework's path parser reads it: the same
// numbers from the same places (it skips a character it cannot read and takes
// the number after it, so "M#1e30 0" draws at 1e30), and refused where that
// parser would read past the end of the text (a command letter, or an H or V,
// with nothing after it).
juce::String checkPathData (const juce::String& text)
{
    const auto utf8 = text.toStdString();

    // Whitespace beyond ASCII depends on the locale; path data never needs it.
    for (auto c : utf8)
        if ((unsigned char) c >= 0x80)
            return "its path data holds characters that are not ASCII";

    const char* p = utf8.c_str();
    bool inRange = true;

    auto skipSeparators = [&p]
    {
        while (isSvgWhitespace (*p) || *p == ',')
            ++p;
    };

    auto number = [&]
    {
        skipSeparators();
        const char* start = p;

        if (isDigit (*p) || *p == '-' || *p == '+')
            ++p;
        while (isDigit (*p))
            ++p;
        if (*p == '.')
            for (++p; isDigit (*p);)
                ++p;
        if ((*p == 'e' || *p == 'E') && (isDigit (p[1]) || p[1] == '-' || p[1] == '+'))
            for (p += 2; isDigit (*p);)
                ++p;

        if (p == start)
            return false;

        const std::string token (start + (*start == '-' || *start == '+' ? 1 : 0), p);
        const char* t = token.c_str();
        inRange = inRange && readNumberInRange (t);
        skipSeparators();
        return true;
    };

    auto coordsOrSkip = [&]
    {
        if (number() && number())
            return true;
        if (*p != 0)
            ++p;
        return false;
    };

    auto flag = [&]
    {
        skipSeparators();
        if (*p != '0' && *p != '1')
            return false;
        ++p;
        skipSeparators();
        return true;
    };

    while (isSvgWhitespace (*p))
        ++p;

    char command = 0;

    while (*p != 0 && inRange)
    {
        if (std::strchr ("MmLlHhVvCcSsQqTtAaZz", *p) != nullptr)
            command = *p++;

        switch (command)
        {
            case 'M': case 'm': case 'L': case 'l':
                if (coordsOrSkip() && (command == 'M' || command == 'm'))
                    command = 'l';
                break;

            case 'H': case 'h': case 'V': case 'v':
                if (! number())
                {
                    if (*p == 0)
                        return "its path data ends in a command without numbers";
                    ++p;
                }
                break;

            case 'C': case 'c':
                (void) (coordsOrSkip() && coordsOrSkip() && coordsOrSkip());
                break;

            case 'S': case 's': case 'Q': case 'q':
                (void) (coordsOrSkip() && coordsOrSkip());
                break;

            case 'T': case 't':
                coordsOrSkip();
                break;

            case 'A': case 'a':
                (void) (coordsOrSkip() && number() && flag() && flag() && coordsOrSkip());
                break;

            case 'Z': case 'z':
                while (isSvgWhitespace (*p))
                    ++p;
                command = 'M';
                break;

            default:
                return inRange ? juce::String() : "it holds a number out of range";
        }
    }

    return inRange ? juce::String() : "it holds a number out of range";
}

// References as the framework resolves them. "xlink:href" names the id after
// its '#' exactly, nothing trimmed. A style value (an attribute, an entry of
// a "style" list, a rule of a <style> sheet) that starts with "url" names the
// text between its first '#' and its last ')', trimmed; every place such a
// value could start or end is taken, so no reading of it is missed.
void collectHref (const juce::String& value, juce::StringArray& into)
{
    if (value.length() > 1 && value.startsWithChar ('#'))
        into.add (value.substring (1));
}

void collectUrls (const juce::String& value, juce::StringArray& into)
{
    for (int at = value.indexOfIgnoreCase ("url"); at >= 0; at = value.indexOfIgnoreCase (at + 3, "url"))
    {
        for (auto end : { value.indexOfChar (at, ';'), value.indexOfChar (at, '}'), value.length() })
        {
            if (end < 0)
                continue;

            const auto id = value.substring (at, end).fromFirstOccurrenceOf ("#", false, false)
                                .upToLastOccurrenceOf (")", false, false).trim();
            if (id.isNotEmpty())
                into.addIfNotAlreadyThere (id);
        }
    }
}

// Elements the framework turns into drawables: each looks its style values
// up through its ancestors, and so follows a url() any of them holds.
bool isDrawn (const juce::XmlElement& element)
{
    static const juce::StringArray drawn { "path", "rect", "circle", "ellipse", "line", "polyline", "polygon", "use",
                                           "g", "svg", "text", "tspan", "switch", "a", "image" };
    return drawn.contains (element.getTagNameWithoutNamespace(), true);
}

using ReferenceCounts = std::map<juce::String, juce::uint64>;

struct SvgGraph
{
    // The element each id leads to: the first in document order, the root and
    // "defs" elements aside, as the framework searches.
    std::map<juce::String, const juce::XmlElement*> byId;
    // What an element and everything below it refer to once drawn.
    std::map<const juce::XmlElement*, ReferenceCounts> references;
    std::map<const juce::XmlElement*, juce::uint64> ownSize;
    // The url()s of the document's style sheets; any element with a class
    // may take them.
    juce::StringArray sheetUrls;
    // The bytes of its style sheets' text, all together.
    juce::uint64 sheetBytes = 0;
};

void findTargetsAndSheets (const juce::XmlElement& element, SvgGraph& graph)
{
    for (auto* child = element.getFirstChildElement(); child != nullptr; child = child->getNextElement())
    {
        if (child->isTextElement())
            continue;

        const auto id = child->getStringAttribute ("id");

        if (id.isNotEmpty() && ! child->getTagName().equalsIgnoreCase ("defs") && graph.byId.count (id) == 0)
            graph.byId[id] = child;

        if (child->getTagNameWithoutNamespace().equalsIgnoreCase ("style"))
        {
            const auto sheet = child->getAllSubText();
            graph.sheetBytes += sheet.getNumBytesAsUTF8();

            // Read whole only while the sheets stay within bounds.
            if (graph.sheetBytes <= SkinResourceCheck::maxSvgStyleBytes)
                collectUrls (sheet, graph.sheetUrls);
        }

        findTargetsAndSheets (*child, graph);
    }
}

// Text is drawn, and so read for numbers, only inside text and style elements;
// elsewhere (titles, an editor's metadata) it is never parsed.
bool textIsRead (const juce::XmlElement& element)
{
    for (auto* tag : { "text", "tspan", "textPath", "style" })
        if (element.hasTagNameIgnoringNamespace (tag))
            return true;

    return false;
}

juce::String walkSvg (const juce::XmlElement& element, SvgGraph& graph, ReferenceCounts& references,
                      juce::uint64& count, const juce::StringArray& inheritedUrls, bool textRead = false)
{
    ++count;

    if (element.isTextElement())
        return ! textRead || numbersAreInRange (element.getText()) ? juce::String()
                                                                   : "it holds a number out of range";

    if (element.hasTagNameIgnoringNamespace ("image"))
        return "it holds a picture of its own";

    juce::StringArray hrefs, urls;

    for (int i = 0; i < element.getNumAttributes(); ++i)
    {
        const auto name = element.getAttributeName (i);
        const auto value = element.getAttributeValue (i);

        if (name == "href" || name.endsWith (":href"))
        {
            collectHref (value, hrefs);
            continue;
        }

        // Attributes of another namespace (a drawing program's version, its
        // window size) are never drawn.
        if (name == "id" || name.startsWith ("xmlns") || name.containsChar (':'))
            continue;

        collectUrls (value, urls);

        if (name == "class")
            urls.addArray (graph.sheetUrls);

        if (! numbersAreInRange (value))
            return "it holds a number out of range";

        if (name == "d")
            if (auto problem = checkPathData (value); problem.isNotEmpty())
                return problem;
    }

    // Style values are inherited: a drawn element follows its ancestors' url()s too.
    auto effectiveUrls = inheritedUrls;
    effectiveUrls.addArray (urls);

    ReferenceCounts own;
    for (auto& id : hrefs)
        ++own[id];
    for (auto& id : isDrawn (element) ? effectiveUrls : urls)
        ++own[id];

    juce::uint64 below = 0;

    for (auto* child = element.getFirstChildElement(); child != nullptr; child = child->getNextElement())
    {
        auto problem = walkSvg (*child, graph, own, below, effectiveUrls, textIsRead (element));
        if (problem.isNotEmpty())
            return problem;
    }

    count += below;

    for (auto& [id, times] : own)
        references[id] += times;

    if (auto target = graph.byId.find (element.getStringAttribute ("id"));
        target != graph.byId.end() && target->second == &element)
    {
        graph.references[&element] = std::move (own);
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

    for (auto& [reference, times] : graph.references[element])
    {
        auto target = graph.byId.find (reference);
        if (target == graph.byId.end())
            continue;

        const auto size = expandedSize (target->second, graph, onPath, known);
        if (size == 0)
            return 0;

        total += size * times;
        if (total > maxExpandedElements)
            return 0;
    }

    onPath.erase (element);
    known[element] = total;
    return total;
}
} // namespace

juce::String SkinResourceCheck::checkPicture (const juce::MemoryBlock& data, int maxSide,
                                              juce::Point<int>* announcedSize)
{
    juce::Point<int> announced;
    auto problem = checkPictureData (data, maxSide, announced);

    if (announcedSize != nullptr)
        *announcedSize = problem.isEmpty() ? announced : juce::Point<int>();

    return problem;
}


juce::String SkinResourceCheck::checkSvg (const juce::MemoryBlock& data, std::unique_ptr<juce::XmlElement>& tree,
                                          juce::uint64* elements, juce::uint64* styleBytes)
{
    tree.reset();
    // The names this check and the framework's drawing of an SVG look for.
    static const bool namesKnown = []
    {
        ExternalXmlReader::knowNames (
            { "svg", "g", "defs", "use", "switch", "a", "path", "rect", "circle", "ellipse", "line", "polyline",
              "polygon", "text", "tspan", "textPath", "image", "style", "clipPath", "linearGradient",
              "radialGradient", "stop", "id", "class", "xmlns", "href", "xlink:href", "d", "x", "y", "x1", "y1",
              "x2", "y2", "cx", "cy", "r", "rx", "ry", "dx", "dy", "width", "height", "points", "viewBox",
              "preserveAspectRatio", "transform", "display", "opacity", "fill", "fill-opacity", "fill-rule", "stroke",
              "stroke-width", "stroke-opacity", "stroke-linecap", "stroke-linejoin", "stroke-dasharray",
              "clip-path", "offset", "stop-color", "stop-opacity", "gradientTransform", "gradientUnits",
              "font-family", "font-size", "font-style", "font-weight", "text-anchor" });
        return true;
    }();
    juce::ignoreUnused (namesKnown);

    juce::String error;
    auto root = ExternalXmlReader::parse (data, error);

    if (root == nullptr)
        return "it is not well-formed XML (" + error + ")";

    if (! root->hasTagNameIgnoringNamespace ("svg"))
        return "it is not an SVG document";

    SvgGraph graph;
    findTargetsAndSheets (*root, graph);

    if (graph.sheetBytes > maxSvgStyleBytes)
        return "its style sheets hold more than " + juce::String (maxSvgStyleBytes) + " bytes, more than any skin drawing";

    ReferenceCounts references;
    juce::uint64 count = 0;
    auto problem = walkSvg (*root, graph, references, count, {});

    if (problem.isNotEmpty())
        return problem;

    // Every reference is followed as the drawing would follow it: none may
    // lead back to itself, and together they may not multiply the document
    // past any real drawing.
    std::map<const juce::XmlElement*, juce::uint64> known;
    juce::uint64 total = count;

    for (auto& [reference, times] : references)
    {
        auto target = graph.byId.find (reference);
        if (target == graph.byId.end())
            continue;

        std::set<const juce::XmlElement*> onPath;
        const auto size = expandedSize (target->second, graph, onPath, known);

        if (size == 0)
            return "a reference in it leads back to itself or grows without bound";

        total += size * times;
        if (total > maxExpandedElements)
            return "a reference in it leads back to itself or grows without bound";
    }

    if (total > maxSvgElements)
        return "it holds more than " + juce::String (maxSvgElements) + " elements, more than any skin drawing";

    if (elements != nullptr)
        *elements = total;
    if (styleBytes != nullptr)
        *styleBytes = graph.sheetBytes;
    tree = std::move (root);
    return {};
}
