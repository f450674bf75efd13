// Runs a fuzz harness over given files, or over every file in given folders,
// once each: for builds without libFuzzer, and to replay a corpus or a crash.
#include <juce_core/juce_core.h>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

int main (int argc, char** argv)
{
    int replayed = 0;

    for (int i = 1; i < argc; ++i)
    {
        const juce::File path (juce::File::getCurrentWorkingDirectory().getChildFile (argv[i]));
        juce::Array<juce::File> files;

        if (path.isDirectory())
            files = path.findChildFiles (juce::File::findFiles, false);
        else
            files.add (path);

        files.sort();

        for (auto& file : files)
        {
            juce::MemoryBlock data;

            if (! file.loadFileAsData (data))
            {
                std::fprintf (stderr, "cannot read %s\n", file.getFullPathName().toRawUTF8());
                return 1;
            }

            LLVMFuzzerTestOneInput (static_cast<const std::uint8_t*> (data.getData()), data.getSize());
            ++replayed;
        }
    }

    std::printf ("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
