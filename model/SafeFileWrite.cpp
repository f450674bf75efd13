#include "model/SafeFileWrite.h"

juce::String writeFileSafely (const juce::File& target, const void* data, size_t size)
{
    if (target == juce::File())
        return "No file name given.";

    if (target.isDirectory())
        return "Unable to write " + target.getFullPathName() + ": a folder of that name exists.";

    auto parent = target.getParentDirectory();

    if (! parent.isDirectory())
    {
        auto created = parent.createDirectory();

        if (created.failed())
            return "Unable to create the folder " + parent.getFullPathName() + ": " + created.getErrorMessage();
    }

    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temporary.getFile(), 16384);

        if (out.failedToOpen())
            return "Unable to write " + target.getFullPathName() + ": " + out.getStatus().getErrorMessage();

        if (size > 0 && data != nullptr && ! out.write (data, size))
            return "Unable to write " + target.getFullPathName() + ": " + out.getStatus().getErrorMessage();

        out.flush();

        if (out.getStatus().failed())
            return "Unable to write " + target.getFullPathName() + ": " + out.getStatus().getErrorMessage();
    }

    if ((size_t) temporary.getFile().getSize() != size)
        return "Unable to write " + target.getFullPathName() + ": the data was not written completely.";

    if (! temporary.overwriteTargetFileWithTemporary())
        return "Unable to replace " + target.getFullPathName() + ".";

    return {};
}

juce::String writeFileSafely (const juce::File& target, const juce::MemoryBlock& data)
{
    return writeFileSafely (target, data.getData(), data.getSize());
}

juce::String writeFileSafely (const juce::File& target, const juce::String& text)
{
    auto utf8 = text.toUTF8();
    return writeFileSafely (target, utf8.getAddress(), utf8.sizeInBytes() - 1);
}
