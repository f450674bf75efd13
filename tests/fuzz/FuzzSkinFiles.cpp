// Skin files from outside: the same bytes as a skin document, as its resource
// archive and as one ".stf" typeface of an archive.
#include "skin/SkinManager.h"

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

    return 0;
}
