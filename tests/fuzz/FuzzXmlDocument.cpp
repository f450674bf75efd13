// Any XML document from outside: settings and language files, skin files, the
// layout document's reader and the update feed all go through this reader.
#include "model/BlockLayoutDocument.h"
#include "model/ExternalXmlReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    juce::String error;

    if (auto root = ExternalXmlReader::parse (data, size, error))
    {
        checkBlockLayoutDocument (*root);
        ExternalXmlReader::toSingleLineText (*root); // the one writer of such trees
    }

    return 0;
}
