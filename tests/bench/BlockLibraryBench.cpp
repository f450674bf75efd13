#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/UserFolders.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

// The block library scan, as the preset manager steps it (one file per
// scanNext), over a library of 10, 100 and 1,000 files whose names are all
// different or all the same. The reference reads the same files into entries
// without the manager, in the same run: what the scan cannot do without.

namespace
{
enum Names
{
    distinct = 0,
    alike = 1
};

struct Library
{
    Library (int files, bool allAlike)
    {
        UserFolders::redirectTo (scratch.folder);
        config = std::make_unique<KestrelGlobalConfiguration>();
        manager = std::make_unique<KestrelBlockLibraryManager> (config.get());
        manager->addFirmwareRules (FirmwareRequirements);
        manager->addFirmwareRules (KestrelBlockLibraryManager::compatibleModelFirmwareRules);
        manager->setConnectedDevice (8, 6, 0);
        manager->checkLibraryDirectory();

        auto reverbs = manager->getLibraryFolder().getChildFile ("Reverb");
        reverbs.createDirectory();

        for (int i = 0; i < files; ++i)
        {
            BlockLibraryEntry entry (EFFECT_REVERB, 8, 6, 0);
            entry.name = allAlike ? juce::String ("Hall") : "Hall " + juce::String (i);
            entry.paramData.setSize (512, true);
            entry.writeToFile (
                reverbs.getChildFile ("hall_" + juce::String (i) + BlockLibraryManager::fileExtension()));
        }
    }

    ~Library()
    {
        manager.reset();
        config.reset();
        UserFolders::redirectTo ({});
    }

    ScratchFolder scratch{ "kestrel-bench-blocks" };
    std::unique_ptr<KestrelGlobalConfiguration> config;
    std::unique_ptr<KestrelBlockLibraryManager> manager;
};

void BM_BlockLibraryScan (benchmark::State& state)
{
    Library library ((int) state.range (0), state.range (1) == alike);
    int loaded = 0;

    for (auto _ : state)
    {
        library.manager->clearEntries();
        library.manager->startScan();
        juce::String fileName;
        int code = 0;

        while (library.manager->scanNext (fileName, code))
            ;

        loaded = library.manager->getNumEntries();
    }

    if (loaded != state.range (0))
        state.SkipWithError ("not every file was loaded");

    state.SetItemsProcessed (state.iterations() * state.range (0));
}

// Only walking the folder and reading each file into an entry.
void BM_BlockLibraryReadOnly (benchmark::State& state)
{
    Library library ((int) state.range (0), state.range (1) == alike);
    const auto folder = library.manager->getLibraryFolder();

    for (auto _ : state)
    {
        int read = 0;

        for (const auto& item : juce::RangedDirectoryIterator (folder, true, "*.blk", juce::File::findFiles,
                                                               juce::File::FollowSymlinks::noCycles))
        {
            BlockLibraryEntry entry;
            read += entry.read (item.getFile()) == BlockLibraryEntry::okay ? 1 : 0;
        }

        benchmark::DoNotOptimize (read);
    }

    state.SetItemsProcessed (state.iterations() * state.range (0));
}

void libraries (benchmark::internal::Benchmark* b)
{
    for (auto names : { distinct, alike })
        for (auto files : { 10, 100, 1000 })
            b->Args ({ files, names });

    b->ArgNames ({ "files", "alike" });
}

BENCHMARK (BM_BlockLibraryReadOnly)->Apply (libraries)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_BlockLibraryScan)->Apply (libraries)->Unit (benchmark::kMillisecond);
} // namespace
