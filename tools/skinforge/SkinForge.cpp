// skinforge: builds the program's own skin archive at build time.
//
//   skinforge <__components.xml> <folder with the DejaVu Sans .ttf files> <font licence> <output .zip>
//
// It draws every image (SkinArt), makes the ".stf" fonts from DejaVu Sans,
// checks that every image and font file the skin document names exists, and
// packs the document, the images, the fonts and the fonts' licence text into
// one flat zip archive. It
// needs no display.

#include "SkinArt.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <pugixml.hpp>

#include <iostream>
#include <set>

namespace
{
// The arrow of the X/Y toggle sits at this code in the symbol font.
constexpr juce::juce_wchar xyArrowCode = 214;

// Characters beyond Latin-1 that labels and fitted texts use.
const juce::juce_wchar extraCharacters[] = { 0x2013, 0x2014, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2026, 0x20ac };

struct FontSource
{
    const char* archiveName;
    const char* ttfName;
    const char* style;
};

const FontSource fontSources[] = {
    { "sans.stf", "DejaVuSans.ttf", "Regular" },
    { "sans-bold.stf", "DejaVuSans-Bold.ttf", "Bold" },
    { "sans-oblique.stf", "DejaVuSans-Oblique.ttf", "Italic" },
    { "sans-bold-oblique.stf", "DejaVuSans-BoldOblique.ttf", "Bold Italic" },
};

int fail (const juce::String& message)
{
    std::cerr << "skinforge: " << message << std::endl;
    return 1;
}

juce::Typeface::Ptr loadTtf (const juce::File& file)
{
    juce::MemoryBlock data;
    if (! file.loadFileAsData (data) || data.isEmpty())
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
}

// The down-pointing arrow in glyph units (height 1, baseline at 0).
juce::Path xyArrow()
{
    juce::Path p;
    p.addTriangle (0.14f, -0.56f, 0.72f, -0.56f, 0.43f, -0.2f);
    return p;
}

std::unique_ptr<juce::CustomTypeface> copyFont (juce::Typeface& source, const juce::String& style, bool withArrow)
{
    auto font = std::make_unique<juce::CustomTypeface>();
    font->setCharacteristics ("DejaVu Sans", style, source.getAscent(), ' ');

    if (withArrow)
    {
        font->addGlyphsFromOtherTypeface (source, 32, (int) xyArrowCode - 32);
        font->addGlyph (xyArrowCode, xyArrow(), 0.86f);
        font->addGlyphsFromOtherTypeface (source, xyArrowCode + 1, 255 - (int) xyArrowCode);
    }
    else
    {
        font->addGlyphsFromOtherTypeface (source, 32, 224);
    }

    for (auto c : extraCharacters)
        font->addGlyphsFromOtherTypeface (source, c, 1);

    return font;
}

juce::MemoryBlock serialise (juce::CustomTypeface& font)
{
    juce::MemoryOutputStream out;
    font.writeToStream (out);
    return out.getMemoryBlock();
}

// A contact sheet of every image at three times its size on the panel
// colour, written beside the archive for a person to look at.
juce::Image previewSheet (const std::map<juce::String, juce::Image>& images)
{
    const int zoom = 3, cell = 160, columns = 6;
    const int rows = ((int) images.size() + columns - 1) / columns;
    juce::Image sheet (juce::Image::ARGB, columns * cell, rows * cell, true, juce::SoftwareImageType());
    juce::Graphics g (sheet);
    g.fillAll (SkinArt::Palette::panel);
    int i = 0;
    for (auto& [name, image] : images)
    {
        auto area = juce::Rectangle<int> ((i % columns) * cell, (i / columns) * cell, cell, cell).reduced (4);
        auto picture = area.withTrimmedBottom (16);
        auto size = juce::Rectangle<int> (juce::jmin (picture.getWidth(), image.getWidth() * zoom),
                                          juce::jmin (picture.getHeight(), image.getHeight() * zoom));
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImage (image, size.withCentre (picture.getCentre()).toFloat(), juce::RectanglePlacement::centred);
        g.setColour (SkinArt::Palette::textQuiet);
        g.setFont (11.0f);
        g.drawText (name, area.removeFromBottom (16), juce::Justification::centred, true);
        ++i;
    }
    return sheet;
}

juce::MemoryBlock encodePng (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::PNGImageFormat png;
    png.writeImageToStream (image, out);
    return out.getMemoryBlock();
}

bool namesAFile (const juce::String& value)
{
    auto lower = value.trim().toLowerCase();
    return lower.endsWith (".png") || lower.endsWith (".stf") || lower.endsWith (".svg") || lower.endsWith (".jpg");
}

void collectFileNames (const pugi::xml_node& node, std::set<juce::String>& names)
{
    for (auto attribute : node.attributes())
    {
        auto value = juce::String::fromUTF8 (attribute.value());
        if (namesAFile (value))
            names.insert (value);
    }
    for (auto child : node.children())
        collectFileNames (child, names);
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 5)
        return fail ("usage: skinforge <__components.xml> <DejaVu font folder> <font licence> <output.zip>");

    juce::ScopedJuceInitialiser_GUI juce;

    const juce::File componentsFile (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File fontFolder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    const juce::File licenceFile (juce::File::getCurrentWorkingDirectory().getChildFile (argv[3]));
    const juce::File outputFile (juce::File::getCurrentWorkingDirectory().getChildFile (argv[4]));

    juce::MemoryBlock componentsXml;
    if (! componentsFile.loadFileAsData (componentsXml))
        return fail ("cannot read " + componentsFile.getFullPathName());

    pugi::xml_document document;
    auto parsed = document.load_buffer (componentsXml.getData(), componentsXml.getSize());
    if (! parsed)
        return fail (componentsFile.getFileName() + ": " + parsed.description() + " at byte " +
                     juce::String ((juce::int64) parsed.offset));

    auto root = document.child ("SKIN");
    if (root.empty() || juce::String (root.attribute ("skin").value()) != "resources.zip" ||
        juce::String (root.attribute ("skinEngineVersion").value()).getDoubleValue() != 2.0)
        return fail ("the root must be SKIN with skinEngineVersion 2.0 and skin \"resources.zip\"");

    // Fonts.
    std::map<juce::String, juce::MemoryBlock> files;
    juce::Typeface::Ptr sans, sansBold;

    for (auto& source : fontSources)
    {
        auto ttf = loadTtf (fontFolder.getChildFile (source.ttfName));
        if (ttf == nullptr)
            return fail ("cannot load " + fontFolder.getChildFile (source.ttfName).getFullPathName() +
                         " (package fonts-dejavu-core)");

        auto font = copyFont (*ttf, source.style, false);
        files[source.archiveName] = serialise (*font);

        if (juce::String (source.archiveName) == "sans.stf")
        {
            sans = ttf;
            files["symbols.stf"] = serialise (*copyFont (*ttf, source.style, true));
            files["_missing_font.stf"] = files[source.archiveName];
        }
        else if (juce::String (source.archiveName) == "sans-bold.stf")
        {
            sansBold = ttf;
        }
    }

    // Images.
    auto images = SkinArt::drawAll (sans, sansBold);
    for (auto& [name, image] : images)
        files[name] = encodePng (image);

    // The fonts are DejaVu's, so their licence travels with them.
    juce::MemoryBlock licence;
    if (! licenceFile.loadFileAsData (licence) || licence.isEmpty())
        return fail ("cannot read " + licenceFile.getFullPathName());
    files[licenceFile.getFileName()] = licence;

    // Every file the document names must exist.
    std::set<juce::String> named;
    collectFileNames (root, named);
    juce::StringArray missing;
    for (auto& name : named)
        if (files.count (name) == 0)
            missing.add (name);
    if (! missing.isEmpty())
        return fail (componentsFile.getFileName() +
                     " names files that are not drawn or built: " + missing.joinIntoString (", "));

    for (auto& [name, data] : files)
        if (named.count (name) == 0 && name.endsWith (".png") && name != "missing_image_release.png")
            std::cerr << "skinforge: note: " << name << " is not named by the skin document" << std::endl;

    // The archive: the document first, then every file by name. Entries carry
    // a fixed time so that equal inputs give an equal archive.
    const juce::Time fixedTime (2026, 0, 1, 0, 0);
    juce::ZipFile::Builder builder;
    builder.addEntry (new juce::MemoryInputStream (componentsXml, true), 9, "__components.xml", fixedTime);
    for (auto& [name, data] : files)
        builder.addEntry (new juce::MemoryInputStream (data, true), 9, name, fixedTime);

    outputFile.getParentDirectory().createDirectory();
    juce::TemporaryFile temporary (outputFile);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (! out.openedOk() || ! builder.writeToStream (out, nullptr))
            return fail ("cannot write " + outputFile.getFullPathName());
    }
    if (! temporary.overwriteTargetFileWithTemporary())
        return fail ("cannot replace " + outputFile.getFullPathName());

    auto preview = encodePng (previewSheet (images));
    outputFile.getSiblingFile ("skin-preview.png").replaceWithData (preview.getData(), preview.getSize());

    std::cout << "skinforge: " << outputFile.getFileName() << " with " << (int) files.size() + 1 << " entries"
              << std::endl;
    return 0;
}
