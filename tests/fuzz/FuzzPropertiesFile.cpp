// The settings file and the language file, in every properties form.
#include "model/ExternalPropertiesReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    PropertyList values;
    ExternalPropertiesReader::parse (data, size, values);
    return 0;
}
