#include "model/FileUtils.h"

#include "model/SafeFileWrite.h"
#include "model/UserFolders.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int nameFieldSize = 32;
constexpr int shortNameFieldSize = 16;
constexpr int maxUniqueNameTries = 1000;

enum class CharClass
{
    letter,
    digit,
    blank,
    punctuation,
    other
};

bool isAsciiUpper (juce::juce_wchar c)
{
    return c >= 'A' && c <= 'Z';
}
bool isAsciiLower (juce::juce_wchar c)
{
    return c >= 'a' && c <= 'z';
}
bool isAsciiDigit (juce::juce_wchar c)
{
    return c >= '0' && c <= '9';
}

// Names from the unit are plain ASCII; anything else is left exactly as it is.
CharClass classify (juce::juce_wchar c)
{
    if (isAsciiUpper (c) || isAsciiLower (c))
        return CharClass::letter;
    if (isAsciiDigit (c))
        return CharClass::digit;
    if (c == ' ' || c == '\t')
        return CharClass::blank;
    if (c > 0x20 && c < 0x7f)
        return CharClass::punctuation;
    return CharClass::other;
}

juce::juce_wchar toAsciiUpper (juce::juce_wchar c)
{
    return isAsciiLower (c) ? c - 'a' + 'A' : c;
}
juce::juce_wchar toAsciiLower (juce::juce_wchar c)
{
    return isAsciiUpper (c) ? c - 'A' + 'a' : c;
}

bool isAllDigits (const juce::String& text)
{
    return isNumericText (text, false, false);
}

juce::String capitalised (const juce::String& piece)
{
    // The first letter goes up even behind a leading non-ASCII character
    // (such a character never ends a piece); every later letter goes down.
    juce::String result;
    result.preallocateBytes (piece.getNumBytesAsUTF8());
    bool sawLetter = false;

    for (auto p = piece.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        result += sawLetter ? toAsciiLower (c) : toAsciiUpper (c);
        sawLetter = sawLetter || classify (c) == CharClass::letter;
    }

    return result;
}

int digitCount (int value)
{
    int digits = 1;
    while (value >= 10)
    {
        value /= 10;
        ++digits;
    }
    return digits;
}

const char* const keptAbbreviations[] = {
    "AA",  "AB",  "AC",  "ACB", "ADSR", "AFS", "AQ",  "AT",  "VQ",  "BB",   "BBD", "BE",  "BF", "BG",
    "BS",  "BQ",  "CA",  "CCV", "CE",   "CJ",  "CS",  "DC",  "EC",  "ECC",  "EF",  "EL",  "EJ", "EV",
    "ZOL", "FET", "FT",  "FW",  "GB",   "HBE", "HRM", "HV",  "II",  "IIC",  "III", "IV",  "JJ", "JM",
    "JS",  "JVM", "KSM", "KT",  "LED",  "LD",  "LFO", "LV",  "ML",  "NR",   "OD",  "ODS", "OH", "PI",
    "PVH", "RCA", "RCB", "RMS", "RNR",  "RV",  "RW",  "SDD", "SE",  "SF",   "SLP", "SM",  "SV", "TAF",
    "TB",  "TV",  "TX",  "UR",  "US",   "USA", "USB", "VI",  "VII", "VIII", "IX",  "XTC",
};

static_assert (sizeof (keptAbbreviations) / sizeof (keptAbbreviations[0]) == 82, "82 kept abbreviations");

// One piece of a name in title case, given the piece before it (as already
// written) and the piece after it (as read).
juce::String titleCasePiece (const juce::String& piece, const juce::String& previous, const juce::String& next)
{
    if (isKeptAbbreviation (piece))
        return piece;

    if (piece == "W" && next == "/")
        return "w";

    if (piece == "S" && previous == "'")
        return "s";

    if (piece.equalsIgnoreCase ("X") && isAllDigits (previous) && isAllDigits (next))
        return "x";

    if (isAllDigits (previous))
        for (auto* suffix : { "st", "nd", "rd", "th", "us" })
            if (piece.equalsIgnoreCase (suffix))
                return suffix;

    if (piece == "DB")
        return "dB";

    if (piece == "0" && previous.equalsIgnoreCase ("stere"))
        return "o";

    if (piece.equalsIgnoreCase ("eigth"))
        return "Eighth";

    if (piece.equalsIgnoreCase ("densa"))
        return "Densa";

    if (piece.equalsIgnoreCase ("tarvel"))
        return "Tarvel";

    return capitalised (piece);
}
// True when something of that name is there: a file, a folder, or a link,
// even one whose target is gone (a new file written there would land
// wherever the link points). Only a name found missing is free.
bool isNameTaken (const juce::String& path)
{
    struct stat info {};
    return ::lstat (path.toRawUTF8(), &info) == 0 || errno != ENOENT;
}
} // namespace

juce::String getExecutableFolder()
{
    return UserFolders::getProgramFolder().getFullPathName();
}

juce::String saveDataToFile (const juce::String& path, const juce::MemoryBlock& data)
{
    // A relative path would silently land in whatever the working folder is.
    if (! juce::File::isAbsolutePath (path))
        return path.isEmpty() ? juce::String ("No file name given.") : "Unable to write " + path + ": not a full path.";

    return writeFileSafely (juce::File (path), data);
}

juce::String makeLegalFileName (const juce::String& text)
{
    juce::String kept;
    kept.preallocateBytes (text.getNumBytesAsUTF8());

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (const auto c = *p; c >= 0x20 && ! (c >= 0x7f && c < 0xa0))
            kept += c;

    return juce::File::createLegalFileName (kept.trim());
}

juce::String printableBytes (const char* bytes)
{
    juce::String text;

    for (auto* c = reinterpret_cast<const unsigned char*> (bytes); c != nullptr && *c != 0; ++c)
    {
        if (*c == '\n')
            text << "\\n";
        else if (*c == '\t')
            text << "\\t";
        else if (*c == '\\' || *c == '"')
            text << "\\" << juce::String::charToString ((juce::juce_wchar) *c);
        else if (*c < 0x20 || *c > 0x7e)
            text << "\\x" << juce::String::toHexString ((int) *c).paddedLeft ('0', 2);
        else
            text << juce::String::charToString ((juce::juce_wchar) *c);
    }

    return text;
}

bool isRegularFile (const juce::File& file)
{
    struct stat info {};
    return file.getFullPathName().isNotEmpty() && ::stat (file.getFullPathName().toRawUTF8(), &info) == 0
           && S_ISREG (info.st_mode);
}

FileReadResult readRegularFile (const juce::File& file, juce::int64 maxBytes, juce::MemoryBlock& data)
{
    data.reset();
    const auto path = file.getFullPathName();

    if (path.isEmpty())
        return FileReadResult::missing;

    struct stat info {};

    if (::stat (path.toRawUTF8(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::missing : FileReadResult::unreadable;

    if (! S_ISREG (info.st_mode))
        return FileReadResult::notAFile;

    if (info.st_size > maxBytes)
        return FileReadResult::tooLarge;

    // Not blocking: should the name have become a FIFO since, opening it
    // must not wait for a writer. The open file is checked again.
    const auto fd = ::open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);

    if (fd < 0)
        return FileReadResult::unreadable;

    auto result = FileReadResult::read;

    if (::fstat (fd, &info) != 0)
        result = FileReadResult::unreadable;
    else if (! S_ISREG (info.st_mode))
        result = FileReadResult::notAFile;

    char chunk[65536];

    while (result == FileReadResult::read)
    {
        const auto got = ::read (fd, chunk, sizeof (chunk));

        if (got < 0 && errno == EINTR)
            continue;

        if (got < 0)
            result = FileReadResult::unreadable;
        else if (got == 0)
            break;
        else if ((juce::int64) data.getSize() + got > maxBytes)
            result = FileReadResult::tooLarge;
        else
            data.append (chunk, (size_t) got);
    }

    ::close (fd);

    if (result != FileReadResult::read)
        data.reset();

    return result;
}

bool makeUniqueFilePath (const juce::File& folder, const juce::String& baseName, const juce::String& extension,
                         bool addTimestamp, juce::String& outPath)
{
    if (baseName.isEmpty() && extension.isEmpty())
        return false;

    if (folder == juce::File())
        return false;

    const auto stamp = addTimestamp ? juce::Time::getCurrentTime().formatted ("_%Y%m%d_%H%M%S") : juce::String();
    const auto start = folder.getFullPathName() + juce::File::getSeparatorString() + baseName + stamp;
    juce::String counter;

    for (int attempt = 0; attempt < maxUniqueNameTries; ++attempt)
    {
        const auto candidate = start + counter + extension;

        if (! isNameTaken (candidate))
        {
            outPath = candidate;
            return true;
        }

        counter = "(" + juce::String (attempt + 1) + ")";
    }

    return false;
}

bool isNumericText (const juce::String& text, bool allowSign, bool allowDecimalPoint)
{
    bool sawDigit = false;
    bool sawPoint = false;
    bool first = true;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p, first = false)
    {
        const auto c = *p;

        if (isAsciiDigit (c))
            sawDigit = true;
        else if (c == '.' && allowDecimalPoint && ! sawPoint)
            sawPoint = true;
        else if ((c == '+' || c == '-') && allowSign && first)
            continue;
        else
            return false;
    }

    return sawDigit;
}

bool copyNameToField (const juce::String& text, char* field)
{
    if (field == nullptr)
        return false;

    std::memset (field, ' ', nameFieldSize);

    int index = 0;
    for (auto p = text.getCharPointer(); ! p.isEmpty() && index < nameFieldSize; ++p)
        field[index++] = (char) (*p & 0x7f);

    return true;
}

namespace
{
bool isUnitNameCharacter (juce::juce_wchar c)
{
    return c >= 0x20 && c <= 0x7e;
}

bool isUnprintable (juce::juce_wchar c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0xfffe || c == 0xffff;
}
} // namespace

bool nameFieldKeepsCharacters (const juce::String& text)
{
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (! isUnitNameCharacter (*p))
            return false;

    return true;
}

juce::String unitNameCharacters()
{
    juce::String chars;

    for (juce::juce_wchar c = 0x20; c <= 0x7e; ++c)
        chars += juce::String::charToString (c);

    return chars;
}

juce::String printableName (const juce::String& name)
{
    juce::String text;

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (! isUnprintable (c))
            text += juce::String::charToString (c);
        else if (c < 0x100)
            text += "\\x" + juce::String::toHexString ((int) c).paddedLeft ('0', 2).toUpperCase();
        else
            text += "\\u" + juce::String::toHexString ((int) c).toUpperCase();
    }

    return text;
}

juce::String unstorableNameText (const juce::String& name)
{
    juce::StringArray foreign;

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
        if (! isUnitNameCharacter (*p))
            foreign.addIfNotAlreadyThere (printableName (juce::String::charToString (*p)));

    return "Its name holds characters the Kestrel cannot store in a name: " + foreign.joinIntoString (" ") + ".";
}

juce::String unsentPresetText (const juce::String& name, const juce::String& why)
{
    return "Unable to send \"" + printableName (name) + "\".\n" + why + "\nNothing was sent to the Kestrel.";
}

void clearName16 (char* field)
{
    if (field != nullptr)
        std::memset (field, 0, shortNameFieldSize);
}

void makeNumberedNames (int first, int count, const juce::String& prefix, const juce::String& suffix,
                        juce::StringArray& names)
{
    if (count <= 0)
        return;

    const int digits = digitCount (count);

    for (int i = 0; i < count; ++i)
        names.add (prefix + juce::String (first + i).paddedLeft ('0', digits) + suffix);
}

void splitAtCharClassChanges (const juce::String& text, juce::StringArray& pieces)
{
    auto p = text.getCharPointer();

    if (p.isEmpty())
        return;

    auto pieceStart = p;
    auto previousClass = classify (*p);
    ++p;

    for (; ! p.isEmpty(); ++p)
    {
        const auto currentClass = classify (*p);

        if (previousClass != CharClass::other && currentClass != previousClass)
        {
            pieces.add (juce::String (pieceStart, p));
            pieceStart = p;
        }

        previousClass = currentClass;
    }

    pieces.add (juce::String (pieceStart, p));
}

bool isKeptAbbreviation (const juce::String& word)
{
    for (auto* abbreviation : keptAbbreviations)
        if (word == abbreviation)
            return true;

    return false;
}

void toTitleCaseName (juce::String& name)
{
    juce::StringArray pieces;
    splitAtCharClassChanges (name, pieces);

    juce::String result;
    juce::String previous;

    for (int i = 0; i < pieces.size(); ++i)
    {
        previous = titleCasePiece (pieces[i], previous, pieces[i + 1]);
        result += previous;
    }

    name = result;
}
