#include "skin/engine/SkinManager.h"

#include "model/ExternalXmlReader.h"
#include "model/FileUtils.h"
#include "model/FolderWalk.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinResourceCheck.h"

#include <SkinArchive.h>

#include <cmath>
#include <cstring>

namespace
{
constexpr size_t maxTypefaceBytes = 16 * 1024 * 1024;
constexpr int maxTypefaceGlyphs = 0x20000;
constexpr int maxKerningPairs = 4 * 1024 * 1024;
// A skin archive on disk is read into memory whole before it is opened.
constexpr juce::int64 maxArchiveFileBytes = 128 * 1024 * 1024;

bool readWholeStream (juce::InputStream& in, juce::MemoryBlock& out, size_t limit)
{
    juce::MemoryOutputStream buffer (out, false);
    char chunk[16384];
    for (;;)
    {
        auto n = in.read (chunk, (int) sizeof (chunk));
        if (n <= 0)
            return true;
        if (buffer.getDataSize() + (size_t) n > limit)
            return false;
        buffer.write (chunk, (size_t) n);
    }
}

// Walks the uncompressed ".stf" layout (name, bold, italic, ascent, default
// character, glyphs with their paths, kerning pairs) and says whether it is
// complete. The framework's reader trusts its counts; this check keeps a
// damaged file from making it loop or allocate without end.
class TypefaceDataCheck
{
public:
    explicit TypefaceDataCheck (const juce::MemoryBlock& block)
        : data (block)
    {
    }

    // Every measure and coordinate must also be a finite number of sensible
    // size: the glyph rasteriser turns them into ints.
    bool isComplete()
    {
        if (! skipString() || ! skip (2) || ! skipFloats (1) || ! skipChar())
            return false;

        int glyphCount = 0;
        if (! readInt (glyphCount) || glyphCount < 0 || glyphCount > maxTypefaceGlyphs)
            return false;
        for (int i = 0; i < glyphCount; ++i)
            if (! skipChar() || ! skipFloats (1) || ! skipPath())
                return false;

        int pairCount = 0;
        if (! readInt (pairCount) || pairCount < 0 || pairCount > maxKerningPairs)
            return false;
        for (int i = 0; i < pairCount; ++i)
            if (! skipChar() || ! skipChar() || ! skipFloats (1))
                return false;
        return true;
    }

private:
    bool skip (size_t n)
    {
        if (data.getSize() - position < n)
            return false;
        position += n;
        return true;
    }

    bool skipFloats (int count)
    {
        for (int i = 0; i < count; ++i)
        {
            if (data.getSize() - position < 4)
                return false;

            const auto bits = juce::ByteOrder::littleEndianInt (static_cast<const char*> (data.getData()) + position);
            float value = 0.0f;
            std::memcpy (&value, &bits, sizeof (value));
            position += 4;

            if (! std::isfinite (value) || std::abs (value) > (float) SkinResourceCheck::maxCoordinate)
                return false;
        }
        return true;
    }

    bool readByte (juce::uint8& b)
    {
        if (position >= data.getSize())
            return false;
        b = static_cast<const juce::uint8*> (data.getData())[position++];
        return true;
    }

    bool readInt (int& value)
    {
        if (data.getSize() - position < 4)
            return false;
        value = (int) juce::ByteOrder::littleEndianInt (static_cast<const char*> (data.getData()) + position);
        position += 4;
        return true;
    }

    bool skipString()
    {
        juce::uint8 b = 0;
        do
            if (! readByte (b))
                return false;
        while (b != 0);
        return true;
    }

    bool skipChar()
    {
        if (data.getSize() - position < 2)
            return false;
        auto n =
            (juce::uint16) juce::ByteOrder::littleEndianShort (static_cast<const char*> (data.getData()) + position);
        position += 2;
        return (n >= 0xd800 && n <= 0xdfff) ? skip (2) : true;
    }

    bool skipPath()
    {
        for (;;)
        {
            juce::uint8 marker = 0;
            if (! readByte (marker))
                return false;
            switch (marker)
            {
                case 'm':
                case 'l':
                    if (! skipFloats (2))
                        return false;
                    break;
                case 'q':
                    if (! skipFloats (4))
                        return false;
                    break;
                case 'b':
                    if (! skipFloats (6))
                        return false;
                    break;
                case 'c':
                case 'n':
                case 'z': break;
                case 'e': return true;
                default: return false;
            }
        }
    }

    const juce::MemoryBlock& data;
    size_t position = 0;
};

bool endsWithIgnoringCase (const juce::String& text, const char* ending)
{
    return text.endsWithIgnoreCase (ending);
}

// The skin document of an archive, its builtInDocumentName entry.
bool readDocumentEntry (juce::ZipFile& archive, juce::MemoryBlock& document)
{
    auto* entry = archive.getEntry (SkinManager::builtInDocumentName);
    std::unique_ptr<juce::InputStream> stream (entry != nullptr ? archive.createStreamForEntry (*entry) : nullptr);
    return stream != nullptr && readWholeStream (*stream, document, (size_t) SkinManager::maxEntryBytes);
}

// The names of the program's own skin document are the ones the skin's
// readers look for: they are read from every skin document, whatever other
// documents held before.
void knowSkinNames()
{
    static const bool known = []
    {
        juce::ZipFile archive (
            new juce::MemoryInputStream (SkinArchive::resources_zip, (size_t) SkinArchive::resources_zipSize, false),
            true);
        juce::MemoryBlock document;
        if (readDocumentEntry (archive, document))
            ExternalXmlReader::knowNamesOf (document.getData(), document.getSize());
        return true;
    }();
    juce::ignoreUnused (known);
}

} // namespace

SkinManager::SkinManager()
    : SkinManager (juce::File (getExecutableFolder()).getChildFile (skinFolderName))
{
}

SkinManager::SkinManager (const juce::File& skinsFolder)
    : juce::FileBasedDocument (".brakml", "*.brakml", "Load Skin", "Save Skin")
{
    knowSkinNames();
    scanSkinFolder (skinsFolder);
}

SkinManager::~SkinManager() = default;

juce::Result SkinManager::checkDocument (const void* data, size_t size, double version, Checked& out)
{
    knowSkinNames();
    juce::String parseError;
    auto root = data != nullptr ? ExternalXmlReader::parse (data, size, parseError) : nullptr;

    if (root == nullptr || root->getTagName() != rootTag)
        return juce::Result::fail (notASkinText);

    auto readVersion = root->getDoubleAttribute ("skinEngineVersion", 0.0);
    if (readVersion != version)
        return juce::Result::fail ("Wrong Skin Engine Version; " + juce::String (readVersion) +
                                   " != " + juce::String (version));

    auto archive = root->getStringAttribute ("skin");
    if (archive.isEmpty())
        return juce::Result::fail (notASkinText);

    out.root = std::move (root);
    out.archiveName = archive;
    out.skinVersion = readVersion;
    return juce::Result::ok();
}

void SkinManager::adopt (Checked& checked)
{
    skinRoot = std::move (checked.root);
    archiveName = checked.archiveName;
    skinVersion = checked.skinVersion;
}

juce::Result SkinManager::loadFromXml (const juce::MemoryBlock* data, double version)
{
    // A missing document is a failure, not an empty success.
    if (data == nullptr)
    {
        loaded = false;
        return juce::Result::fail (notASkinText);
    }

    currentEngineVersion = version;
    Checked checked;
    auto result = checkDocument (data->getData(), data->getSize(), version, checked);

    if (result.wasOk())
        adopt (checked);

    loaded = result.wasOk();
    return result;
}

juce::Result SkinManager::loadResourceZip (juce::ZipFile& archive)
{
    refusedResources.clear();

    if (archive.getNumEntries() <= 0)
        return juce::Result::fail (notASkinText);

    readEntries (archive, true);
    return budgetResult (archiveName);
}

void SkinManager::readEntries (juce::ZipFile& archive, bool add)
{
    archivePixels = 0;
    pictureBudgetPassedAt.clear();
    archiveSvgElements = 0;
    archiveSvgStyleBytes = 0;
    drawingBudgetPassedAt.clear();

    for (int i = 0; i < archive.getNumEntries(); ++i)
    {
        if (pictureBudgetPassedAt.isNotEmpty() || drawingBudgetPassedAt.isNotEmpty())
            break;
        readEntry (archive, i, add);
    }
}

juce::Result SkinManager::budgetResult (const juce::String& archiveFileName) const
{
    if (pictureBudgetPassedAt.isNotEmpty())
        return juce::Result::fail (tooManyPixelsText (archiveFileName, pictureBudgetPassedAt));
    if (drawingBudgetPassedAt.isNotEmpty())
        return juce::Result::fail (tooManyDrawingsText (archiveFileName, drawingBudgetPassedAt));
    return juce::Result::ok();
}

juce::String SkinManager::damagedResourcesText (const juce::String& archiveName, const juce::StringArray& refused)
{
    return "The skin archive \"" + archiveName + "\" holds damaged files: " + refused.joinIntoString ("; ");
}

namespace
{
juce::String theSkinArchive (const juce::String& archiveName)
{
    return archiveName.isEmpty() ? juce::String ("The skin archive") : "The skin archive \"" + archiveName + "\"";
}
} // namespace

juce::String SkinManager::tooManyPixelsText (const juce::String& archiveName, const juce::String& entryName)
{
    return theSkinArchive (archiveName) + " holds more pictures than a skin may: with \"" + entryName
           + "\" they would take more than " + juce::String (maxArchivePixels / 1000000)
           + " million pixels once decoded";
}

juce::String SkinManager::tooManyDrawingsText (const juce::String& archiveName, const juce::String& entryName)
{
    return theSkinArchive (archiveName) + " holds more drawings than a skin may: with \"" + entryName
           + "\" they would hold more than " + juce::String (maxArchiveSvgElements) + " elements or "
           + juce::String (maxArchiveSvgStyleBytes) + " bytes of style sheets";
}

void SkinManager::readEntry (juce::ZipFile& archive, int index, bool add)
{
    auto* entry = archive.getEntry (index);
    if (entry == nullptr)
        return;

    const auto& name = entry->filename;
    auto refuse = [this, &name] (const juce::String& why) { refusedResources.add (name + " (" + why + ")"); };

    if (entry->isSymbolicLink)
        return refuse ("it is a link");
    if (entry->uncompressedSize > maxEntryBytes)
        return refuse ("it is larger than any skin file");

    std::unique_ptr<juce::InputStream> stream (archive.createStreamForEntry (index));
    juce::MemoryBlock bytes;

    if (stream == nullptr || ! readWholeStream (*stream, bytes, (size_t) maxEntryBytes))
        return refuse ("it could not be read");
    juce::MemoryInputStream content (bytes, false);

    // Every picture, drawing and typeface is checked by our own code before
    // the framework decodes it: its decoders trust what they are given.
    if (auto* format = juce::ImageFileFormat::findImageFormatForStream (content))
    {
        juce::Point<int> size;
        const auto problem = SkinResourceCheck::checkPicture (bytes, maxImageSide, &size);
        if (problem.isNotEmpty())
            return refuse (problem);

        archivePixels += (juce::int64) size.x * size.y;
        if (archivePixels > maxArchivePixels)
        {
            pictureBudgetPassedAt = name;
            return;
        }
        if (! add)
            return;

        content.setPosition (0);
        auto image = format->decodeImage (content);
        if (image.isValid() && image.getWidth() <= maxImageSide && image.getHeight() <= maxImageSide)
            addImage (name, image);
        else
            refuse ("it could not be decoded");
        return;
    }

    if (endsWithIgnoringCase (name, ".svg"))
    {
        std::unique_ptr<juce::XmlElement> svg;
        juce::uint64 elements = 0, styleBytes = 0;
        const auto problem = SkinResourceCheck::checkSvg (bytes, svg, &elements, &styleBytes);
        if (problem.isNotEmpty())
            return refuse (problem);

        archiveSvgElements += elements;
        archiveSvgStyleBytes += styleBytes;
        if (archiveSvgElements > maxArchiveSvgElements || archiveSvgStyleBytes > maxArchiveSvgStyleBytes)
        {
            drawingBudgetPassedAt = name;
            return;
        }
        if (! add)
            return;

        drawableNames.add (name);
        drawables.push_back (juce::Drawable::createFromSVG (*svg));
        return;
    }

    if (endsWithIgnoringCase (name, ".stf"))
    {
        content.setPosition (0);
        auto typeface = loadTypeface (content);
        if (typeface == nullptr)
            return refuse ("it is not a complete typeface, or its glyphs are out of range");
        if (add)
            addTypeface (name, typeface);
        return;
    }

    // ".ttf" entries only ever served to make ".stf" files; the program's
    // fonts are made when it is built, and nothing an archive names is ever
    // written to disk. Other entries (the XML documents) are not resources.
}

juce::Result SkinManager::loadBuiltInSkin()
{
    return loadFromArchiveData (SkinArchive::resources_zip, (size_t) SkinArchive::resources_zipSize);
}

juce::Result SkinManager::loadFromArchiveData (const void* zipData, size_t zipSize)
{
    auto* stream = new juce::MemoryInputStream (zipData, zipSize, false);
    juce::ZipFile archive (stream, true);

    juce::MemoryBlock document;
    if (! readDocumentEntry (archive, document))
        return loadFromXml (nullptr, engineVersion);

    auto result = loadFromXml (&document, engineVersion);
    if (result.failed())
        return result;

    result = loadResourceZip (archive);
    loaded = result.wasOk();
    return result;
}

const juce::XmlElement* SkinManager::getSection (const juce::String& tag) const
{
    return skinRoot != nullptr ? SkinAttributes::child (*skinRoot, tag) : nullptr;
}

juce::Image SkinManager::getImage (juce::int64 hash) const
{
    auto found = images.find (hash);
    if (found != images.end())
        return found->second;

    found = images.find (hashOf (missingImageName));
    if (found != images.end())
        return found->second;

    // Even a skin without its stand-in gives something drawable.
    return juce::Image (juce::Image::ARGB, 1, 1, true);
}

juce::Image SkinManager::getImage (const juce::String& fileName) const
{
    return getImage (hashOf (fileName));
}

bool SkinManager::hasImage (const juce::String& fileName) const
{
    return images.count (hashOf (fileName)) > 0;
}

void SkinManager::addImage (const juce::String& fileName, const juce::Image& image)
{
    if (image.isValid())
        images[hashOf (fileName)] = image;
}

juce::Typeface::Ptr SkinManager::findTypeface (const juce::String& fileName) const
{
    auto index = typefaceNames.indexOf (fileName, false);
    return index >= 0 ? typefaces[index] : nullptr;
}

juce::Typeface::Ptr SkinManager::getTypeface (const juce::String& fileName) const
{
    if (auto typeface = findTypeface (fileName))
        return typeface;
    if (auto typeface = findTypeface (missingFontName))
        return typeface;
    return juce::Font().getTypefacePtr();
}

void SkinManager::addTypeface (const juce::String& fileName, juce::Typeface::Ptr typeface)
{
    // The first typeface filed under a name stays in use.
    if (typeface != nullptr && ! typefaceNames.contains (fileName, false))
    {
        typefaceNames.add (fileName);
        typefaces.add (typeface);
    }
}

juce::Typeface::Ptr SkinManager::loadTypeface (juce::InputStream& stream)
{
    juce::MemoryBlock compressed;
    if (! readWholeStream (stream, compressed, maxTypefaceBytes) || compressed.isEmpty())
        return nullptr;

    juce::MemoryBlock plain;
    {
        juce::MemoryInputStream source (compressed, false);
        juce::GZIPDecompressorInputStream unzipped (source);
        if (! readWholeStream (unzipped, plain, maxTypefaceBytes) || ! unzipped.isExhausted())
            return nullptr;
    }

    if (! TypefaceDataCheck (plain).isComplete())
        return nullptr;

    juce::MemoryInputStream source (compressed, false);
    return new juce::CustomTypeface (source);
}

const juce::Drawable* SkinManager::getDrawable (const juce::String& entryName) const
{
    auto index = drawableNames.indexOf (entryName, false);
    return index >= 0 ? drawables[(size_t) index].get() : nullptr;
}

void SkinManager::scanSkinFolder (const juce::File& skinsFolder)
{
    currentEngineVersion = 0.0;
    foundSkinNames.clear();
    foundSkinPaths.clear();

    // Linked folders are followed, but none is walked twice: a link back to
    // the Skins folder would otherwise be walked again at every level.
    FolderWalk walk (skinsFolder, "*.sbraky");

    for (juce::File file; walk.next (file);)
    {
        juce::MemoryBlock data;
        juce::String error;
        if (readRegularFile (file, maxEntryBytes, data) != FileReadResult::read)
            continue;

        auto root = ExternalXmlReader::parse (data, error);
        if (root != nullptr && root->getTagName() == rootTag)
        {
            foundSkinNames.add (root->getStringAttribute ("name"));
            foundSkinPaths.add (file.getRelativePathFrom (skinsFolder));
        }
    }
}

juce::String SkinManager::getDocumentTitle()
{
    auto file = getFile();
    return file.existsAsFile() ? file.getFileNameWithoutExtension() : juce::String ("Unnamed");
}

juce::Result SkinManager::loadDocument (const juce::File& file)
{
    // The document held so far stays in use until the new one and its
    // archive have both been read.
    juce::MemoryBlock data;
    if (readRegularFile (file, maxEntryBytes, data) != FileReadResult::read)
        return juce::Result::fail (notASkinText);

    Checked checked;
    auto result = checkDocument (data.getData(), data.getSize(), currentEngineVersion, checked);
    if (result.failed())
        return result;

    // Only the archive's file name counts: it lies beside the skin file.
    auto archiveFile = file.getParentDirectory().getChildFile (
        juce::File::createLegalFileName (checked.archiveName.substring (0, 256)
                                             .fromLastOccurrenceOf ("/", false, false)
                                             .fromLastOccurrenceOf ("\\", false, false)));

    // Read whole, and only when it is a regular file: a FIFO or device there
    // would keep the archive reader waiting.
    juce::MemoryBlock archiveBytes;
    if (readRegularFile (archiveFile, maxArchiveFileBytes, archiveBytes) != FileReadResult::read)
        return juce::Result::fail (notASkinText);

    juce::ZipFile archive (new juce::MemoryInputStream (archiveBytes, false), true);
    if (archive.getNumEntries() <= 0)
        return juce::Result::fail (notASkinText);

    // A skin with a damaged resource, or with more pictures than memory
    // should hold, is refused before any of it is taken.
    refusedResources.clear();
    readEntries (archive, false);

    if (result = budgetResult (archiveFile.getFileName()); result.failed())
        return result;

    if (! refusedResources.isEmpty())
        return juce::Result::fail (damagedResourcesText (archiveFile.getFileName(), refusedResources));

    result = loadResourceZip (archive);
    if (result.wasOk())
        adopt (checked);
    return result;
}

juce::Result SkinManager::saveDocument (const juce::File&)
{
    return juce::Result::fail (cannotSaveText);
}
