// A ".blk" file of the block library.
#include "model/BlockLibraryEntry.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    BlockLibraryEntry entry;
    entry.readFromData (data, size);
    return 0;
}
