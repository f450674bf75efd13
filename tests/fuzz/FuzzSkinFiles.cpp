// Skin files from outside: the same bytes as a skin document, as its resource
// archive, and as one picture, SVG drawing or ".stf" typeface of an archive,
// each decoded only when its check lets it through.
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinResourceCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    SkinManager skin ((juce::File()));

    juce::MemoryBlock document (data, size);
    skin.loadFromXml (&document, SkinManager::engineVersion);

    juce::ZipFile archive (new juce::MemoryInputStream (data, size, false), true);
    skin.loadResourceZip (archive);

    juce::MemoryInputStream typeface (data, size, false);
    if (auto loaded = SkinManager::loadTypeface (typeface))
        loaded->getStringWidth ("Kestrel");

    juce::MemoryInputStream picture (data, size, false);
    if (SkinResourceCheck::checkPicture (document, SkinManager::maxImageSide).isEmpty())
        if (auto* format = juce::ImageFileFormat::findImageFormatForStream (picture))
            format->decodeImage (picture);

    std::unique_ptr<juce::XmlElement> svg;
    if (SkinResourceCheck::checkSvg (document, svg).isEmpty())
        if (auto drawable = juce::Drawable::createFromSVG (*svg))
            drawable->getDrawableBounds();

    return 0;
}
