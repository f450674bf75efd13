#include "model/FileUtils.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinResourceCheck.h"
#include "support/FifoFeeder.h"
#include "support/HostileInputs.h"
#include "support/RedirectedUserFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <SkinArchive.h>

#include <functional>
#include <set>
#include <sys/resource.h>

namespace
{
juce::MemoryBlock textBlock (const juce::String& text)
{
    return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

// An SVG of count elements, the root and plain rectangles.
juce::MemoryBlock svgOfElements (juce::uint64 count)
{
    return textBlock ("<svg xmlns=\"http://www.w3.org/2000/svg\">"
                      + juce::String::repeatedString ("<rect/>", (int) count - 1) + "</svg>");
}

juce::String skinText (const juce::String& rootAttributes, const juce::String& body = {})
{
    return "<?xml version=\"1.0\"?><SKIN name=\"Test\" " + rootAttributes + ">" + body + "</SKIN>";
}

juce::MemoryBlock pngOf (int w, int h, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, w, h, true);
    image.clear (image.getBounds(), colour);
    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

juce::uint32 crc32Of (const juce::uint8* data, size_t size)
{
    juce::uint32 crc = 0xffffffff;
    for (size_t i = 0; i < size; ++i)
    {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small PNG whose header (with a correct checksum) announces another size.
juce::MemoryBlock pngWithAnnouncedSize (juce::uint32 w, juce::uint32 h)
{
    auto png = pngOf (2, 2, juce::Colours::blue);
    auto* bytes = static_cast<juce::uint8*> (png.getData());
    auto put = [bytes] (int at, juce::uint32 v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = (juce::uint8) (v >> (24 - 8 * i));
    };
    put (16, w);
    put (20, h);
    put (29, crc32Of (bytes + 12, 17));
    return png;
}

// A PNG of blank one-bit grey rows: a few kilobytes however large a size it
// announces, and whole by every check.
juce::MemoryBlock blankPng (juce::uint32 w, juce::uint32 h)
{
    juce::MemoryOutputStream png;
    auto chunk = [&png] (const char* type, const juce::MemoryBlock& body)
    {
        juce::MemoryBlock typed (type, 4);
        typed.append (body.getData(), body.getSize());
        png.writeIntBigEndian ((int) body.getSize());
        png.write (typed.getData(), typed.getSize());
        png.writeIntBigEndian ((int) crc32Of (static_cast<const juce::uint8*> (typed.getData()), typed.getSize()));
    };

    png.write ("\x89PNG\r\n\x1a\n", 8);
    juce::MemoryOutputStream header;
    header.writeIntBigEndian ((int) w);
    header.writeIntBigEndian ((int) h);
    for (int byte : { 1, 0, 0, 0, 0 }) // depth 1, grey, deflate, filter 0, not interlaced
        header.writeByte ((char) byte);
    chunk ("IHDR", header.getMemoryBlock());

    juce::MemoryOutputStream rows;
    {
        juce::GZIPCompressorOutputStream zlib (rows); // a zlib stream, as IDAT holds
        const juce::MemoryBlock row (1 + (w + 7) / 8, true);
        for (juce::uint32 y = 0; y < h; ++y)
            zlib.write (row.getData(), row.getSize());
    }
    chunk ("IDAT", rows.getMemoryBlock());
    chunk ("IEND", {});
    return png.getMemoryBlock();
}

// A JPEG as the framework writes it (baseline: its tables, one scan).
juce::MemoryBlock frameworkJpeg()
{
    juce::Image image (juce::Image::RGB, 16, 16, true);
    image.clear ({ 0, 0, 8, 16 }, juce::Colours::orange);
    juce::MemoryOutputStream out;
    juce::JPEGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

// The offset of the first segment with the marker, or -1.
int segmentOf (const juce::MemoryBlock& jpeg, juce::uint8 marker)
{
    const auto* bytes = static_cast<const juce::uint8*> (jpeg.getData());
    for (size_t at = 2; at + 4 <= jpeg.getSize(); at += 2 + juce::ByteOrder::bigEndianShort (bytes + at + 2))
        if (bytes[at] != 0xff || bytes[at + 1] == marker || bytes[at + 1] == 0xda)
            return bytes[at] == 0xff && bytes[at + 1] == marker ? (int) at : -1;
    return -1;
}

// A small JPEG whose frame header announces another size.
juce::MemoryBlock jpegWithAnnouncedSize (juce::uint16 w, juce::uint16 h)
{
    juce::Image image (juce::Image::RGB, 8, 8, true);
    juce::MemoryOutputStream out;
    juce::JPEGImageFormat().writeImageToStream (image, out);
    auto jpeg = out.getMemoryBlock();
    auto* bytes = static_cast<juce::uint8*> (jpeg.getData());
    for (size_t i = 2; i + 9 < jpeg.getSize(); ++i)
        if (bytes[i] == 0xff && bytes[i + 1] == 0xc0)
        {
            bytes[i + 5] = (juce::uint8) (h >> 8);
            bytes[i + 6] = (juce::uint8) h;
            bytes[i + 7] = (juce::uint8) (w >> 8);
            bytes[i + 8] = (juce::uint8) w;
            break;
        }
    return jpeg;
}

// The header of a GIF announcing the size, with one empty frame.
juce::MemoryBlock gifWithAnnouncedSize (juce::uint16 w, juce::uint16 h)
{
    const juce::uint8 lo = (juce::uint8) w, hi = (juce::uint8) (w >> 8), vlo = (juce::uint8) h,
                      vhi = (juce::uint8) (h >> 8);
    const juce::uint8 gif[] = { 'G', 'I', 'F', '8', '9', 'a', lo, hi, vlo, vhi, 0x80, 0, 0, 0,    0,    0, 255, 255,
                                255, ',', 0,   0,   0,   0,   lo, hi, vlo, vhi, 0,    2, 2, 0x4c, 0x01, 0, ';' };
    return juce::MemoryBlock (gif, sizeof (gif));
}

juce::MemoryBlock zipOf (const std::vector<std::pair<juce::String, juce::MemoryBlock>>& entries)
{
    juce::ZipFile::Builder builder;
    for (auto& [name, data] : entries)
        builder.addEntry (new juce::MemoryInputStream (data, true), 0, name, juce::Time (2026, 0, 1, 0, 0));
    juce::MemoryOutputStream out;
    builder.writeToStream (out, nullptr);
    return out.getMemoryBlock();
}

juce::Result loadZip (SkinManager& skin, const juce::MemoryBlock& zip)
{
    juce::ZipFile archive (new juce::MemoryInputStream (zip, false), true);
    return skin.loadResourceZip (archive);
}

juce::MemoryBlock builtInEntry (const juce::String& name)
{
    juce::ZipFile archive (
        new juce::MemoryInputStream (SkinArchive::resources_zip, (size_t) SkinArchive::resources_zipSize, false), true);
    std::unique_ptr<juce::InputStream> in (archive.createStreamForEntry (archive.getIndexOfFileName (name)));
    juce::MemoryBlock data;
    if (in != nullptr)
        in->readIntoMemoryBlock (data);
    return data;
}

void collectFileNames (const juce::XmlElement& element, std::set<juce::String>& names)
{
    for (int i = 0; i < element.getNumAttributes(); ++i)
    {
        auto value = element.getAttributeValue (i);
        if (value.endsWithIgnoreCase (".png") || value.endsWithIgnoreCase (".stf"))
            names.insert (value);
    }
    for (auto* child : element.getChildIterator())
        collectFileNames (*child, names);
}

// Caps the process's address space for the scope, so that a reader taking
// gigabytes for a picture fails the test instead of passing slowly. Under
// AddressSanitizer (which reserves far more address space, and refuses such
// allocations by itself) it does nothing.
struct AddressSpaceLimit
{
    explicit AddressSpaceLimit (rlim_t bytes)
    {
#if defined(__SANITIZE_ADDRESS__)
        active = false;
        return;
#endif
        getrlimit (RLIMIT_AS, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit (RLIMIT_AS, &limited);
    }
    ~AddressSpaceLimit()
    {
        if (active)
            setrlimit (RLIMIT_AS, &previous);
    }

    rlimit previous{};
    bool active = true;
};

struct NoSkinsFolder
{
    ScratchFolder scratch{ "kestrel-skins" };
    juce::File skins = scratch.folder.getChildFile ("Skins");
};

// A skin file in the folder whose archive, beside it, has the name given.
juce::Result loadSkinFileWith (SkinManager& skin, const juce::File& folder, const juce::String& archiveName)
{
    auto file = folder.getChildFile ("custom.sbraky");
    file.replaceWithText (skinText ("skinEngineVersion=\"2\" skin=\"" + archiveName + "\"", "<CustomSection/>"));
    return skin.loadDocument (file);
}
} // namespace

TEST (SkinManager, TheBuiltInSkinLoadsWithEveryImageAndFontItNames)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    auto result = skin.loadBuiltInSkin();
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_TRUE (skin.isLoaded());
    EXPECT_EQ (skin.getArchiveName(), "resources.zip");
    EXPECT_EQ (skin.getSkinVersion(), 2.0);
    ASSERT_NE (skin.getSkinRoot(), nullptr);
    EXPECT_EQ (skin.getSkinRoot()->getStringAttribute ("name"), "Kestrel-Edit Default");

    std::set<juce::String> names;
    collectFileNames (*skin.getSkinRoot(), names);
    EXPECT_GT (names.size(), 20u);
    for (auto& name : names)
    {
        if (name.endsWith (".png"))
            EXPECT_TRUE (skin.hasImage (name)) << name;
        else
            EXPECT_NE (skin.findTypeface (name), nullptr) << name;
    }
    EXPECT_TRUE (skin.hasImage (SkinManager::missingImageName));
    EXPECT_NE (skin.findTypeface (SkinManager::missingFontName), nullptr);

    // The symbol font carries the X/Y arrow at code 214.
    auto symbols = skin.findTypeface ("symbols.stf");
    ASSERT_NE (symbols, nullptr);
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    symbols->getGlyphPositions (juce::String::charToString ((juce::juce_wchar) 214), glyphs, offsets);
    ASSERT_EQ (glyphs.size(), 1);
    juce::Path arrow;
    EXPECT_TRUE (symbols->getOutlineForGlyph (glyphs[0], arrow));
    EXPECT_FALSE (arrow.isEmpty());
}

TEST (SkinManager, TheEngineVersionMustMatchExactlyAndIsCheckedBeforeTheArchiveName)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);

    for (auto version : { "2", "2.0", "2.00" })
    {
        auto data = textBlock (skinText ("skinEngineVersion=\"" + juce::String (version) + "\" skin=\"a.zip\""));
        EXPECT_TRUE (skin.loadFromXml (&data, 2.0).wasOk()) << version;
    }

    auto newer = textBlock (skinText ("skinEngineVersion=\"2.1\" skin=\"a.zip\""));
    EXPECT_EQ (skin.loadFromXml (&newer, 2.0).getErrorMessage(), "Wrong Skin Engine Version; 2.1 != 2");
    EXPECT_FALSE (skin.isLoaded());

    auto both = textBlock (skinText ("name2=\"x\""));
    EXPECT_EQ (skin.loadFromXml (&both, 2.0).getErrorMessage(), "Wrong Skin Engine Version; 0 != 2");

    auto noArchive = textBlock (skinText ("skinEngineVersion=\"2.0\""));
    EXPECT_EQ (skin.loadFromXml (&noArchive, 2.0).getErrorMessage(), SkinManager::notASkinText);
}

TEST (SkinManager, ARefusedDocumentKeepsTheOneHeldSoFar)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    auto good = textBlock (skinText ("skinEngineVersion=\"2.0\" skin=\"a.zip\"", "<PopupMenuSkin fontSize=\"15\"/>"));
    ASSERT_TRUE (skin.loadFromXml (&good, 2.0).wasOk());

    for (auto bad : { "not xml at all <", "<OTHER skinEngineVersion=\"2.0\" skin=\"a.zip\"/>", "",
                      "<Skin skinEngineVersion=\"2.0\" skin=\"a.zip\"/>",
                      "<SKIN skinEngineVersion=\"2.0\" skin=\"a\xc3.zip\"/>" })
    {
        juce::MemoryBlock data (bad, strlen (bad));
        EXPECT_EQ (skin.loadFromXml (&data, 2.0).getErrorMessage(), SkinManager::notASkinText) << bad;
        EXPECT_FALSE (skin.isLoaded());
        ASSERT_NE (skin.getSection ("PopupMenuSkin"), nullptr) << bad;
    }

    // No document at all is a failure too, never an empty success.
    EXPECT_EQ (skin.loadFromXml (nullptr, 2.0).getErrorMessage(), SkinManager::notASkinText);
    EXPECT_FALSE (skin.isLoaded());
    EXPECT_NE (skin.getSkinRoot(), nullptr);
}

TEST (SkinManager, SectionsAndWidgetsAreFoundByTheirExactTag)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    auto data = textBlock (skinText ("skinEngineVersion=\"2.0\" skin=\"a.zip\"",
                                     "<popupMenuSkin fontSize=\"9\"/><PopupMenuSkin fontSize=\"15\">"
                                     "<widget name=\"w\" at=\"1\"/><Widget name=\"w\" at=\"2\"/></PopupMenuSkin>"));
    ASSERT_TRUE (skin.loadFromXml (&data, 2.0).wasOk());

    auto* section = skin.getSection ("PopupMenuSkin");
    ASSERT_NE (section, nullptr);
    EXPECT_EQ (section->getIntAttribute ("fontSize"), 15);
    EXPECT_EQ (skin.getSection ("POPUPMENUSKIN"), nullptr);
    auto* widget = SkinAttributes::findWidget (*section, "w");
    ASSERT_NE (widget, nullptr);
    EXPECT_EQ (widget->getIntAttribute ("at"), 2);
}

TEST (SkinManager, ArchiveEntriesAreClassifiedByContentThenByName)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    auto font = builtInEntry ("sans.stf");
    ASSERT_GT (font.getSize(), 1000u);

    auto zip = zipOf ({ { "looks-like-a-font.ttf", pngOf (3, 2, juce::Colours::red) },
                        { "a.stf", font },
                        { "shape.svg", textBlock ("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">"
                                                  "<rect width=\"4\" height=\"4\"/></svg>") },
                        { "notes.xml", textBlock ("<x/>") } });
    ASSERT_TRUE (loadZip (skin, zip).wasOk());

    auto image = skin.getImage (juce::String ("looks-like-a-font.ttf").hashCode64());
    EXPECT_EQ (image.getWidth(), 3);
    EXPECT_EQ (image.getHeight(), 2);
    EXPECT_NE (skin.findTypeface ("a.stf"), nullptr);
    EXPECT_NE (skin.getDrawable ("shape.svg"), nullptr);
    EXPECT_FALSE (skin.hasImage ("notes.xml"));
    EXPECT_EQ (skin.findTypeface ("notes.xml"), nullptr);
}

TEST (SkinManager, EmptyCorruptedOrHostileArchivesGiveAClearFailureOrAreSkipped)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);

    EXPECT_EQ (loadZip (skin, zipOf ({})).getErrorMessage(), SkinManager::notASkinText);

    juce::MemoryBlock garbage (4096);
    for (size_t i = 0; i < garbage.getSize(); ++i)
        garbage[i] = (char) (i * 37 + 11);
    EXPECT_EQ (loadZip (skin, garbage).getErrorMessage(), SkinManager::notASkinText);

    // A truncated or count-corrupted font and a picture announcing absurd
    // dimensions are skipped; the rest of the archive still loads.
    auto font = builtInEntry ("sans.stf");
    juce::MemoryBlock truncated (font.getData(), font.getSize() / 2);
    juce::MemoryOutputStream hugeCount;
    {
        juce::GZIPCompressorOutputStream gz (hugeCount);
        gz.writeString ("X");
        gz.writeBool (false);
        gz.writeBool (false);
        gz.writeFloat (0.8f);
        gz.writeShort (32);
        gz.writeInt (0x7fffffff);
    }
    auto absurd = pngWithAnnouncedSize (60000, 60000);

    AddressSpaceLimit fourGigabytes ((rlim_t) 4 << 30);
    auto zip = zipOf ({ { "cut.stf", truncated },
                        { "count.stf", hugeCount.getMemoryBlock() },
                        { "huge.png", absurd },
                        { "huge.jpg", jpegWithAnnouncedSize (60000, 60000) },
                        { "huge.gif", gifWithAnnouncedSize (65000, 65000) },
                        { "fine.png", pngOf (5, 5, juce::Colours::green) } });
    ASSERT_TRUE (loadZip (skin, zip).wasOk());
    EXPECT_EQ (skin.findTypeface ("cut.stf"), nullptr);
    EXPECT_EQ (skin.findTypeface ("count.stf"), nullptr);
    EXPECT_FALSE (skin.hasImage ("huge.png"));
    EXPECT_FALSE (skin.hasImage ("huge.jpg"));
    EXPECT_FALSE (skin.hasImage ("huge.gif"));
    EXPECT_TRUE (skin.hasImage ("fine.png"));
}

TEST (SkinManager, LookupsFallBackToTheStandInsAndNeverGiveNothing)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);

    // Nothing loaded: still a drawable image and a usable typeface.
    EXPECT_TRUE (skin.getImage ("nothing.png").isValid());
    EXPECT_NE (skin.getTypeface ("nothing.stf"), nullptr);

    auto font = builtInEntry ("sans.stf");
    auto other = builtInEntry ("sans-bold.stf");
    ASSERT_TRUE (loadZip (skin, zipOf ({ { SkinManager::missingImageName, pngOf (7, 7, juce::Colours::grey) },
                                         { "knob.png", pngOf (4, 4, juce::Colours::red) },
                                         { "label.stf", font } }))
                     .wasOk());

    EXPECT_EQ (skin.getImage ("unknown.png").getWidth(), 7);
    EXPECT_EQ (skin.findTypeface ("LABEL.STF"), nullptr);
    EXPECT_EQ (skin.getTypeface ("LABEL.STF"), juce::Font().getTypefacePtr()) << "no stand-in font yet";

    // A later archive replaces images of the same name but not typefaces.
    auto firstLabel = skin.findTypeface ("label.stf");
    ASSERT_TRUE (loadZip (skin, zipOf ({ { "knob.png", pngOf (9, 9, juce::Colours::red) },
                                         { "label.stf", other },
                                         { SkinManager::missingFontName, font } }))
                     .wasOk());
    EXPECT_EQ (skin.getImage ("knob.png").getWidth(), 9);
    EXPECT_EQ (skin.findTypeface ("label.stf"), firstLabel);
    EXPECT_EQ (skin.getTypeface ("LABEL.STF"), skin.findTypeface (SkinManager::missingFontName));
}

TEST (SkinManager, ASkinFileLoadsWithTheArchiveBesideItAndNeverReachesOutsideItsFolder)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());

    auto folder = folders.scratch.folder.getChildFile ("custom");
    folder.createDirectory();
    auto zip = zipOf ({ { "custom.png", pngOf (6, 6, juce::Colours::red) } });
    folder.getChildFile ("custom.zip").replaceWithData (zip.getData(), zip.getSize());
    folders.scratch.folder.getChildFile ("outside.zip").replaceWithData (zip.getData(), zip.getSize());

    auto write = [&] (const juce::String& name, const juce::String& attributes)
    {
        auto file = folder.getChildFile (name);
        file.replaceWithText (skinText (attributes, "<CustomSection/>"));
        return file;
    };

    // Refused: a newer engine, an archive outside the folder, a missing archive.
    EXPECT_TRUE (skin.loadDocument (write ("v.sbraky", "skinEngineVersion=\"3\" skin=\"custom.zip\"")).failed());
    EXPECT_TRUE (skin.loadDocument (write ("up.sbraky", "skinEngineVersion=\"2\" skin=\"../outside.zip\"")).failed());
    EXPECT_TRUE (skin.loadDocument (write ("gone.sbraky", "skinEngineVersion=\"2\" skin=\"gone.zip\"")).failed());
    EXPECT_NE (skin.getSection ("TitlebarSkin"), nullptr) << "the running skin stays in use";
    EXPECT_FALSE (skin.hasImage ("custom.png"));

    auto result = skin.loadDocument (write ("good.sbraky", "skinEngineVersion=\"2\" skin=\"custom.zip\""));
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
    EXPECT_NE (skin.getSection ("CustomSection"), nullptr);
    EXPECT_TRUE (skin.hasImage ("custom.png"));
    EXPECT_TRUE (skin.isLoaded());

    EXPECT_EQ (skin.saveDocument (folder.getChildFile ("x.sbraky")).getErrorMessage(), SkinManager::cannotSaveText);
    EXPECT_FALSE (folder.getChildFile ("x.sbraky").exists());
}

TEST (SkinManager, ADamagedPictureDrawingOrFontRefusesTheSkinFileWithAMessage)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    auto folder = folders.scratch.folder;

    auto loadSkinWith = [&] (const juce::String& archiveName) { return loadSkinFileWith (skin, folder, archiveName); };
    auto svg = [] (const juce::String& body)
    {
        return textBlock (juce::String ("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                        "xmlns:xlink=\"http://www.w3.org/1999/xlink\">")
                          + body + "</svg>");
    };

    // The archive as it came, with its cut-off picture.
    ASSERT_TRUE (getHostileInput ("skin-archive-with-cut-off-png.zip").copyFileTo (folder.getChildFile ("cut.zip")));
    auto result = loadSkinWith ("cut.zip");
    ASSERT_TRUE (result.failed());
    EXPECT_TRUE (result.getErrorMessage().startsWith ("The skin archive \"cut.zip\" holds damaged files: "))
        << result.getErrorMessage();

    auto png = pngOf (4, 4, juce::Colours::red);
    auto badCrc = png;
    static_cast<char*> (badCrc.getData())[40] ^= 1;
    juce::MemoryBlock cutPng (png.getData(), png.getSize() - 12);
    juce::Image gradient (juce::Image::RGB, 64, 64, true);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixelAt (x, y, juce::Colour ((juce::uint8) (x * 4), (juce::uint8) (y * 4), (juce::uint8) (x ^ y)));
    juce::MemoryOutputStream jpegOut;
    juce::JPEGImageFormat().writeImageToStream (gradient, jpegOut);
    juce::MemoryBlock cutJpeg (jpegOut.getData(), jpegOut.getDataSize() / 2);
    auto gif = gifWithAnnouncedSize (4, 4);
    // The file holds the typeface's layout as it is before compression.
    juce::MemoryOutputStream hugeGlyphs;
    {
        const auto layout = loadHostileInput ("skin-font-huge-glyph-coordinates.stf");
        juce::GZIPCompressorOutputStream gz (hugeGlyphs);
        gz.write (layout.getData(), layout.getSize());
    }

    // Sheets at their cap, as 512 rules of four bytes, and one byte past it.
    auto sheetOf = [&svg] (const juce::String& rules)
    { return svg ("<style>" + rules + "</style><rect class=\"k\" width=\"1\" height=\"1\"/>"); };
    const auto rules = juce::String::repeatedString (".k{}", 511);

    // A chain of references longer than any drawing needs.
    juce::String chain;
    for (int i = 0; i < 300; ++i)
        chain << "<use id=\"u" << i << "\" href=\"#u" << (i + 1) << "\"/>";
    chain << "<rect id=\"u300\" width=\"1\" height=\"1\"/>";

    const std::vector<std::pair<juce::String, juce::MemoryBlock>> damaged {
        { "chain.svg", svg (chain) },
        { "cut.png", loadHostileInput ("skin-png-cut-off.png") },
        { "short.png", cutPng },
        { "checksum.png", badCrc },
        { "cut.jpg", cutJpeg },
        { "whole.gif", gif },
        { "itself.svg", loadHostileInput ("skin-svg-use-refers-to-itself.svg") },
        { "huge.svg", loadHostileInput ("skin-svg-huge-coordinates.svg") },
        { "cycle.svg", svg ("<use id=\"a\" xlink:href=\"#b\"/><use id=\"b\" href=\"#a\"/>") },
        { "ancestor.svg", svg ("<g id=\"g\"><rect width=\"1\" height=\"1\"/><use xlink:href=\"#g\"/></g>") },
        { "far.svg", svg ("<path d=\"M0 0L1e12 10Z\"/>") },
        { "scaled.svg", svg ("<rect width=\"1\" height=\"1\" transform=\"scale(3000000000)\"/>") },
        { "raw-glyphs.stf", loadHostileInput ("skin-font-huge-glyph-coordinates.stf") },
        { "glyphs.stf", hugeGlyphs.getMemoryBlock() },
        { "no-tables.jpg", loadHostileInput ("skin-jpeg-without-quantization-table.jpg") },
        // References resolved as the framework resolves them: the first
        // element of an id in document order, the id exactly as written.
        { "duplicate-id.svg", loadHostileInput ("skin-svg-use-cycle-through-duplicate-id.svg") },
        { "trailing-space.svg", loadHostileInput ("skin-svg-use-cycle-through-trailing-space.svg") },
        // A clip path reached through a style value its own content inherits.
        { "inherited-clip.svg", svg ("<g clip-path=\"url(#c)\"><clipPath id=\"c\"><g><rect width=\"1\" height=\"1\"/>"
                                     "</g></clipPath></g>") },
        { "sheet-clip.svg", svg ("<style>.k{fill:red} .c{clip-path:url(#c)}</style><clipPath id=\"c\"><g>"
                                 "<rect class=\"c\" width=\"1\" height=\"1\"/></g></clipPath>") },
        // Numbers read as the framework's path parser and number reader read them.
        { "command-letter.svg", loadHostileInput ("skin-svg-path-ends-in-command-letter.svg") },
        { "after-hash.svg", loadHostileInput ("skin-svg-number-after-hash.svg") },
        { "huge-exponent.svg", loadHostileInput ("skin-svg-zero-with-huge-exponent.svg") },
        { "huge-negative-exponent.svg", svg ("<path d=\"M0 0L1 1\" stroke-width=\"0e-9999999999\"/>") },
        // Plain elements, more than the framework draws in reasonable time.
        { "many.svg", svgOfElements (SkinResourceCheck::maxSvgElements + 1) },
        // Few elements, with a sheet the framework would search for every style value of each.
        { "big-sheet.svg", svg ("<style>" + juce::String::repeatedString (".k{fill:#123456}", 65536) + "</style>"
                                + juce::String::repeatedString ("<rect class=\"k\" width=\"1\" height=\"1\"/>", 1000)) },
        { "sheet-2049.svg", sheetOf (rules + ".kk{}") },
    };

    for (auto& [name, bytes] : damaged)
    {
        const auto zip = zipOf ({ { "fine.png", png }, { name, bytes } });
        folder.getChildFile ("one.zip").replaceWithData (zip.getData(), zip.getSize());
        result = loadSkinWith ("one.zip");
        ASSERT_TRUE (result.failed()) << name;
        EXPECT_TRUE (result.getErrorMessage().contains (": " + name + " (")) << result.getErrorMessage();
        EXPECT_FALSE (result.getErrorMessage().contains ("fine.png")) << name;
        EXPECT_FALSE (skin.hasImage ("fine.png")) << "nothing of a refused skin is taken: " << name;
        EXPECT_EQ (skin.getSection ("CustomSection"), nullptr) << name;
        EXPECT_NE (skin.getSection ("TitlebarSkin"), nullptr) << "the running skin stays in use";
    }

    // An entry that claims more than any skin file holds is named, not skipped.
    {
        auto zip = zipOf ({ { "fine.png", png }, { "big.png", png } });
        auto* bytes = static_cast<juce::uint8*> (zip.getData());
        for (size_t at = 0; at + 46 + 7 <= zip.getSize(); ++at)
            if (juce::ByteOrder::littleEndianInt (bytes + at) == 0x02014b50 && std::memcmp (bytes + at + 46, "big.png", 7) == 0)
                std::memset (bytes + at + 24, 0x7f, 4); // its uncompressed size
        folder.getChildFile ("one.zip").replaceWithData (zip.getData(), zip.getSize());
        result = loadSkinWith ("one.zip");
        EXPECT_TRUE (result.failed() && result.getErrorMessage().contains ("big.png (")) << result.getErrorMessage();
    }

    // Read as resources of an archive, the damaged ones are left out and named.
    std::vector<std::pair<juce::String, juce::MemoryBlock>> all (damaged);
    all.push_back ({ "fine.png", png });
    all.push_back ({ "fine.jpg", juce::MemoryBlock (jpegOut.getData(), jpegOut.getDataSize()) });
    // Well-formed: never given to the framework's XML reader, which loops on it.
    all.push_back ({ "instruction.svg", loadHostileInput ("skin-svg-processing-instruction.svg") });
    all.push_back ({ "fine.svg", svg ("<defs><rect id=\"r\" width=\"2\" height=\"2\"/></defs>"
                                      "<use xlink:href=\"#r\"/><use xlink:href=\"#r\" x=\"3\"/>") });
    all.push_back ({ "fine-paths.svg", svg ("<path d=\"M0 0H5 V5 h-1e0 v.5 z\" fill=\"#9e9e9e\"/>"
                                            "<path d=\"m1,1 l2,2 A1 1 0 0 1 3 3Z\" clip-path=\"url(#c)\"/>"
                                            "<defs><clipPath id=\"c\"><rect width=\"4\" height=\"4\"/></clipPath></defs>") });
    // As a drawing program saves it: its own attributes and metadata are not drawn.
    all.push_back ({ "saved.svg", svg ("<metadata><date>20231125093000</date></metadata>"
                                       "<g inkscape:version=\"1.3.2 (091e20e, 2023-11-25)\">"
                                       "<text x=\"1\" y=\"9\">Kestrel</text></g>") });
    all.push_back ({ "sheet-2048.svg", sheetOf (rules + ".k{}") });
    ASSERT_TRUE (loadZip (skin, zipOf (all)).wasOk());
    EXPECT_EQ (skin.getRefusedResources().size(), (int) damaged.size()) << skin.getRefusedResources().joinIntoString ("\n");
    EXPECT_TRUE (skin.hasImage ("fine.png"));
    EXPECT_TRUE (skin.hasImage ("fine.jpg"));
    EXPECT_FALSE (skin.hasImage ("whole.gif"));
    EXPECT_NE (skin.getDrawable ("fine.svg"), nullptr);
    EXPECT_NE (skin.getDrawable ("instruction.svg"), nullptr);
    EXPECT_NE (skin.getDrawable ("saved.svg"), nullptr);
    EXPECT_NE (skin.getDrawable ("fine-paths.svg"), nullptr);
    EXPECT_NE (skin.getDrawable ("sheet-2048.svg"), nullptr);
    EXPECT_FALSE (skin.hasImage ("cut.png"));
    EXPECT_EQ (skin.getDrawable ("itself.svg"), nullptr);
    EXPECT_EQ (skin.findTypeface ("glyphs.stf"), nullptr);
}

TEST (SkinManager, AJpegIsReadToItsEndWithEveryTableItsScanUses)
{
    const auto jpeg = frameworkJpeg();
    juce::Point<int> size;
    ASSERT_EQ (SkinResourceCheck::checkPicture (jpeg, SkinManager::maxImageSide, &size), "");
    EXPECT_EQ (size, juce::Point<int> (16, 16));

    auto changed = [&jpeg] (std::function<void (juce::MemoryBlock&, juce::uint8*)> change)
    {
        auto copy = jpeg;
        change (copy, static_cast<juce::uint8*> (copy.getData()));
        return SkinResourceCheck::checkPicture (copy, SkinManager::maxImageSide);
    };
    const auto dht = segmentOf (jpeg, 0xc4), sof = segmentOf (jpeg, 0xc0);
    ASSERT_GT (dht, 0);
    ASSERT_GT (sof, 0);

    EXPECT_EQ (SkinResourceCheck::checkPicture (loadHostileInput ("skin-jpeg-without-quantization-table.jpg"), 8192),
               "its quantization table is missing");
    EXPECT_EQ (changed ([&] (juce::MemoryBlock& b, juce::uint8*) {
                   for (auto at = segmentOf (b, 0xc4); at > 0; at = segmentOf (b, 0xc4))
                       b.removeSection ((size_t) at, 2 + juce::ByteOrder::bigEndianShort (b.begin() + at + 2));
               }),
               "its Huffman table is missing");
    // Two codes of one bit leave none for the rest: libjpeg stops on it.
    EXPECT_EQ (changed ([&] (juce::MemoryBlock&, juce::uint8* b) {
                   b[dht + 5] = (juce::uint8) (b[dht + 5] + b[dht + 6]);
                   b[dht + 6] = 0;
               }),
               "its Huffman table is damaged");
    EXPECT_EQ (changed ([&] (juce::MemoryBlock&, juce::uint8* b) { b[sof + 1] = 0xc3; }),
               "it is coded in a way skins cannot use (baseline or progressive JPEG can)");
    EXPECT_EQ (changed ([&] (juce::MemoryBlock& b, juce::uint8*) { b.append ("\xff\xd9", 2); }),
               "it has bytes past its end");
}

TEST (SkinManager, PicturesThatTogetherPassTheBudgetRefuseTheArchiveByName)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    auto folder = folders.scratch.folder;

    // Each well inside the budget, together past it.
    const auto large = blankPng (6000, 6000);
    const auto pair = zipOf ({ { "fine.png", pngOf (4, 4, juce::Colours::red) }, { "a.png", large }, { "b.png", large } });
    folder.getChildFile ("pair.zip").replaceWithData (pair.getData(), pair.getSize());
    auto result = loadSkinFileWith (skin, folder, "pair.zip");
    ASSERT_TRUE (result.failed());
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyPixelsText ("pair.zip", "b.png"));
    EXPECT_TRUE (result.getErrorMessage().startsWith ("The skin archive \"pair.zip\" holds more pictures"));

    // The archive as it came: a few kilobytes that decode into gigabytes.
    ASSERT_TRUE (getHostileInput ("skin-archive-twelve-8192px-pictures.zip").copyFileTo (folder.getChildFile ("twelve.zip")));
    result = loadSkinFileWith (skin, folder, "twelve.zip");
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyPixelsText ("twelve.zip", "pic0.png"));
    EXPECT_EQ (skin.getSection ("CustomSection"), nullptr);
    EXPECT_NE (skin.getSection ("TitlebarSkin"), nullptr) << "the running skin stays in use";
    EXPECT_FALSE (skin.hasImage ("fine.png"));

    // Read as a resource archive it stops there too, before decoding.
    AddressSpaceLimit fourGigabytes ((rlim_t) 4 << 30);
    result = loadZip (skin, loadHostileInput ("skin-archive-twelve-8192px-pictures.zip"));
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyPixelsText ("resources.zip", "pic0.png"));
    EXPECT_FALSE (skin.hasImage ("pic0.png"));
}

TEST (SkinManager, DrawingsThatTogetherPassTheBudgetRefuseTheArchiveByName)
{
    NoSkinsFolder folders;
    SkinManager skin (folders.skins);
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());

    // Each at its own limit; four together at the budget, five past it.
    const auto full = svgOfElements (SkinResourceCheck::maxSvgElements);
    static_assert (4 * SkinResourceCheck::maxSvgElements == SkinManager::maxArchiveSvgElements);
    std::vector<std::pair<juce::String, juce::MemoryBlock>> entries { { "fine.png", pngOf (4, 4, juce::Colours::red) } };
    for (int i = 0; i < 5; ++i)
        entries.push_back ({ "d" + juce::String (i) + ".svg", full });
    const auto zip = zipOf (entries);
    folders.scratch.folder.getChildFile ("drawings.zip").replaceWithData (zip.getData(), zip.getSize());

    auto result = loadSkinFileWith (skin, folders.scratch.folder, "drawings.zip");
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyDrawingsText ("drawings.zip", "d4.svg"));
    EXPECT_TRUE (result.getErrorMessage().startsWith ("The skin archive \"drawings.zip\" holds more drawings"));
    EXPECT_EQ (skin.getSection ("CustomSection"), nullptr);
    EXPECT_FALSE (skin.hasImage ("fine.png"));

    // Read as a resource archive it stops there too, before drawing it.
    result = loadZip (skin, zip);
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyDrawingsText ("resources.zip", "d4.svg"));
    EXPECT_NE (skin.getDrawable ("d3.svg"), nullptr);
    EXPECT_EQ (skin.getDrawable ("d4.svg"), nullptr);

    // Their style sheets alike.
    static_assert (4 * SkinResourceCheck::maxSvgStyleBytes == SkinManager::maxArchiveSvgStyleBytes);
    const auto sheet = textBlock ("<svg xmlns=\"http://www.w3.org/2000/svg\"><style>"
                                  + juce::String::repeatedString (".k{}", (int) SkinResourceCheck::maxSvgStyleBytes / 4)
                                  + "</style><rect class=\"k\"/></svg>");
    std::vector<std::pair<juce::String, juce::MemoryBlock>> sheets;
    for (int i = 0; i < 5; ++i)
        sheets.push_back ({ "s" + juce::String (i) + ".svg", sheet });
    result = loadZip (skin, zipOf (sheets));
    EXPECT_EQ (result.getErrorMessage(), SkinManager::tooManyDrawingsText ("resources.zip", "s4.svg"));
    EXPECT_NE (skin.getDrawable ("s3.svg"), nullptr);
}

TEST (SkinManager, TheFolderScanListsSkinFilesByNameAndRelativePath)
{
    NoSkinsFolder folders;
    EXPECT_TRUE (SkinManager (folders.skins).foundSkinNames.isEmpty()) << "missing folder";

    auto nested = folders.skins.getChildFile ("dark");
    nested.createDirectory();
    nested.getChildFile ("night.sbraky").replaceWithText (skinText ("name2=\"\"").replace ("Test", "Night"));
    folders.skins.getChildFile ("other.sbraky").replaceWithText ("<NOTSKIN name=\"x\"/>");
    folders.skins.getChildFile ("broken.sbraky").replaceWithText ("<SKIN name=");
    folders.skins.getChildFile ("skin.xml").replaceWithText (skinText ({}));

    SkinManager skin (folders.skins);
    ASSERT_EQ (skin.foundSkinNames.size(), 1);
    EXPECT_EQ (skin.foundSkinNames[0], "Night");
    EXPECT_EQ (skin.foundSkinPaths[0], juce::String ("dark") + juce::File::getSeparatorString() + "night.sbraky");
}

#if JUCE_LINUX || JUCE_MAC
// Links back to the Skins folder beside the program: each doubled the paths
// the start-up scan walked at every level until the system's limit of forty
// links, 2^40 paths for two. A FIFO named like a skin file is not opened.
TEST (SkinManager, TheStartUpScanEntersEachFolderOnceAndReadsOnlyRegularFiles)
{
    RedirectedUserFolders folders ("kestrel-skins");
    const auto skins = juce::File (getExecutableFolder()).getChildFile ("Skins");
    ASSERT_TRUE (skins.createDirectory());
    ASSERT_TRUE (skins.getChildFile ("one.sbraky").replaceWithText (skinText ({})));
    FifoFeeder fifo (skins.getChildFile ("pipe.sbraky"), textBlock (skinText ({})));
    ASSERT_TRUE (fifo.made);

    // The second link names the folder through a link outside it.
    const auto link = [&] (const juce::File& at, const juce::String& target)
    { return juce::File::createSymbolicLink (at, target, false); };
    ASSERT_TRUE (link (skins.getChildFile ("loop1"), "."));
    ASSERT_EQ (SkinManager().foundSkinPaths, juce::StringArray ("one.sbraky"));
    const auto alias = folders.folder.getChildFile ("alias");
    ASSERT_TRUE (link (alias, skins.getFullPathName()));
    ASSERT_TRUE (link (skins.getChildFile ("loop2"), alias.getFullPathName()));
    ASSERT_EQ (SkinManager().foundSkinPaths, juce::StringArray ("one.sbraky"));
    EXPECT_EQ (fifo.readersFed, 0);
}
#endif

TEST (SkinManager, TheFolderScanReadsADocumentOfManyThousandElements)
{
    NoSkinsFolder folders;
    folders.skins.createDirectory();
    ASSERT_TRUE (getHostileInput ("skin-50k-siblings.xml").copyFileTo (folders.skins.getChildFile ("many.sbraky")));
    SkinManager skin (folders.skins);
    ASSERT_EQ (skin.foundSkinNames.size(), 1);
    EXPECT_EQ (skin.foundSkinNames[0], "x");
}
