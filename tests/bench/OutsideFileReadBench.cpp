#include "model/ExternalPropertiesReader.h"
#include "model/ExternalXmlReader.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserFolders.h"
#include "support/HostileInputs.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <vector>

// Reading files from outside the program must take time in proportion to
// their size: the settings and language files (properties in XML and binary
// form) and a skin document with many sibling elements. Each is run at 10k,
// 40k and 160k elements and fitted to O(N); the first, a plain copy of the
// same bytes, is the reference for the machine's speed. Texts looked up in
// a language file of those sizes, one the file holds and one it lacks (the
// built-in text then), take the same time whatever the size.
//
// Two hostile shapes beside a harmless twin of the same size: keys that all
// share the framework's string hash beside keys of the same bytes whose
// hashes differ (8k, 32k and 128k keys), and a text split into pieces by
// processing instructions beside one whole text of as many bytes (100k,
// 400k and 1.6M pieces). Each pair must grow alike, in proportion to N.
//
// And settings of N different attribute names (10k, 40k and 160k), in
// descending order beside the same names ascending: the framework keeps every
// name it is given in one sorted pool that inserts in place, so descending
// names once took time with the square of N. The pool is emptied before each
// run (not timed) of every name nothing else holds.
//
// And skin documents whose names no document before them held, as the
// start's scan of the Skins folder reads them: N documents of 8,000 names
// (10, 20, 40), and one document of N names (2k, 4k, 8k) in descending order
// beside the same ascending. The pool lives for the whole run, so the
// documents of every run bring names of their own; each is fitted to O(N),
// and the first, a copy of the same bytes, is their reference. (The first
// documents of a process also make the reader's share of unknown names, once:
// the medians leave that out.)
namespace
{
// Documents of names never met before, those of each falling between the
// others': every run takes up where the last ended.
std::vector<juce::MemoryBlock> skinsOfNewNames (int documents, int names, bool descending)
{
    static int nextName = 0;
    std::vector<juce::MemoryBlock> skins;

    for (int i = 0; i < documents; ++i)
        skins.push_back (skinWithNewNames ("Skin " + juce::String (i), names, nextName + i, documents, descending));

    nextName += documents * names;
    return skins;
}

void readSkinsOfNewNames (benchmark::State& state, int documents, int names, bool descending)
{
    int unread = 0;
    size_t bytes = 0;

    for (auto _ : state)
    {
        state.PauseTiming();
        const auto skins = skinsOfNewNames (documents, names, descending);
        state.ResumeTiming();

        bytes = 0;
        for (const auto& skin : skins)
        {
            juce::String error;
            const auto root = ExternalXmlReader::parse (skin, error);
            unread += root == nullptr || ! root->hasTagName ("SKIN") ? 1 : 0;
            bytes += skin.getSize();
        }
    }

    if (unread > 0)
        state.SkipWithError ("a skin document was not read");

    state.SetComplexityN (state.range (0));
    state.counters["bytes"] = (double) bytes;
}

juce::MemoryBlock settingsXml (int values)
{
    juce::MemoryOutputStream out;
    out << "<PROPERTIES>";
    for (int i = 0; i < values; ++i)
        out << "<VALUE name=\"key" << i << "\" val=\"value " << i << "\"/>";
    out << "</PROPERTIES>";
    return out.getMemoryBlock();
}

// With a last key, one more pair: that key and "Okay".
juce::MemoryBlock binaryProperties (int values, const char* lastKey = nullptr)
{
    juce::MemoryOutputStream out;
    out.write ("PROP", 4);
    out.writeInt (lastKey != nullptr ? values + 1 : values);
    for (int i = 0; i < values; ++i)
    {
        out << "key" << i;
        out.writeByte (0);
        out << "value " << i;
        out.writeByte (0);
    }
    if (lastKey != nullptr)
    {
        out << lastKey;
        out.writeByte (0);
        out << "Okay";
        out.writeByte (0);
    }
    return out.getMemoryBlock();
}

juce::MemoryBlock skinWithSiblings (int elements)
{
    juce::MemoryOutputStream out;
    out << "<SKIN name=\"x\" skin=\"x.zip\" skinEngineVersion=\"2.0\">";
    for (int i = 0; i < elements; ++i)
        out << "<a/>";
    out << "</SKIN>";
    return out.getMemoryBlock();
}

void finish (benchmark::State& state, const juce::MemoryBlock& data)
{
    state.SetComplexityN (state.range (0));
    state.SetBytesProcessed ((int64_t) state.iterations() * (int64_t) data.getSize());
    state.counters["bytes"] = (double) data.getSize();
}
} // namespace

static void BM_ReferenceCopyOfSettingsBytes (benchmark::State& state)
{
    const auto data = settingsXml ((int) state.range (0));
    for (auto _ : state)
    {
        juce::MemoryBlock copy (data);
        benchmark::DoNotOptimize (copy.getData());
    }
    finish (state, data);
}

static void BM_ReadSettingsXml (benchmark::State& state)
{
    const auto data = settingsXml ((int) state.range (0));
    for (auto _ : state)
    {
        PropertyList values;
        benchmark::DoNotOptimize (ExternalPropertiesReader::parse (data.getData(), data.getSize(), values));
    }
    finish (state, data);
}

static void BM_ReadBinaryLanguageFile (benchmark::State& state)
{
    const auto data = binaryProperties ((int) state.range (0));
    for (auto _ : state)
    {
        PropertyList values;
        benchmark::DoNotOptimize (ExternalPropertiesReader::parse (data.getData(), data.getSize(), values));
    }
    finish (state, data);
}

static void BM_ReadSkinWithSiblings (benchmark::State& state)
{
    const auto data = skinWithSiblings ((int) state.range (0));
    for (auto _ : state)
    {
        juce::String error;
        benchmark::DoNotOptimize (ExternalXmlReader::parse (data, error));
    }
    finish (state, data);
}

static void readSettings (benchmark::State& state, const juce::MemoryBlock& data, int expectedKeys)
{
    PropertyList values;
    if (! ExternalPropertiesReader::parse (data.getData(), data.getSize(), values) || values.size() != expectedKeys)
        state.SkipWithError ("the settings were not read");

    for (auto _ : state)
    {
        PropertyList read;
        benchmark::DoNotOptimize (ExternalPropertiesReader::parse (data.getData(), data.getSize(), read));
    }
    finish (state, data);
}

static void BM_ReadSettingsKeysOfOneHash (benchmark::State& state)
{
    const auto data = settingsWithBlockNamedKeys ((int) state.range (0), true);
    PropertyList values;
    ExternalPropertiesReader::parse (data.getData(), data.getSize(), values);
    if (values.getAllKeys()[0].hash() != values.getAllKeys()[values.size() - 1].hash())
        state.SkipWithError ("the keys do not share one hash");
    readSettings (state, data, (int) state.range (0));
}

static void BM_ReadSettingsKeysOfDistinctHashes (benchmark::State& state)
{
    readSettings (state, settingsWithBlockNamedKeys ((int) state.range (0), false), (int) state.range (0));
}

static void BM_ReadSettingsTextInPieces (benchmark::State& state)
{
    readSettings (state, settingsWithLongText ((int) state.range (0), true), 1);
}

static void BM_ReadSettingsWholeText (benchmark::State& state)
{
    readSettings (state, settingsWithLongText ((int) state.range (0), false), 1);
}

static void readAttributeNames (benchmark::State& state, bool descending)
{
    const auto data = settingsWithAttributeNames ((int) state.range (0), descending);
    for (auto _ : state)
    {
        state.PauseTiming();
        juce::StringPool::getGlobalPool().garbageCollect();
        state.ResumeTiming();
        PropertyList values;
        benchmark::DoNotOptimize (ExternalPropertiesReader::parse (data.getData(), data.getSize(), values));
    }
    finish (state, data);
}

static void BM_ReadSettingsAttributeNamesDescending (benchmark::State& state)
{
    readAttributeNames (state, true);
}

static void BM_ReadSettingsAttributeNamesAscending (benchmark::State& state)
{
    readAttributeNames (state, false);
}

static void BM_LookUpInLanguageFile (benchmark::State& state)
{
    ScratchFolder scratch{ "kestrel-bench-language" };
    UserFolders::redirectTo (scratch.folder);
    const auto data = binaryProperties ((int) state.range (0), "PROMPT_OK");
    UserFolders::getProgramFolder().createDirectory();
    UserFolders::getProgramFolder().getChildFile ("english.lbrakml").replaceWithData (data.getData(), data.getSize());
    LanguageStore::resetForTests();
    auto* language = LanguageStore::getInstance();
    language->keyTable = PromptKeys;
    language->defaultTextTable = PromptDefaultTexts;

    if (language->getText (PROMPT_OK) != "Okay" || language->getText (PROMPT_YES) != "Yes")
        state.SkipWithError ("the language file was not read");

    for (auto _ : state)
    {
        benchmark::DoNotOptimize (language->getText (PROMPT_OK));
        benchmark::DoNotOptimize (language->getText (PROMPT_YES));
    }

    state.SetComplexityN (state.range (0));
    state.counters["bytes"] = (double) data.getSize();
    LanguageStore::resetForTests();
    UserFolders::redirectTo ({});
}

static void BM_ReferenceCopyOfSkinsOfNewNames (benchmark::State& state)
{
    const auto skins = skinsOfNewNames ((int) state.range (0), 8000, true);
    for (auto _ : state)
        for (const auto& skin : skins)
        {
            juce::MemoryBlock copy (skin);
            benchmark::DoNotOptimize (copy.getData());
        }
    state.SetComplexityN (state.range (0));
}

static void BM_ReadSkinsOfNewNames (benchmark::State& state)
{
    readSkinsOfNewNames (state, (int) state.range (0), 8000, true);
}

static void BM_ReadSkinOfNewNamesDescending (benchmark::State& state)
{
    readSkinsOfNewNames (state, 1, (int) state.range (0), true);
}

static void BM_ReadSkinOfNewNamesAscending (benchmark::State& state)
{
    readSkinsOfNewNames (state, 1, (int) state.range (0), false);
}

BENCHMARK (BM_ReferenceCopyOfSettingsBytes)->Arg (10000)->Arg (40000)->Arg (160000)->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsXml)
    ->Arg (10000)
    ->Arg (40000)
    ->Arg (160000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadBinaryLanguageFile)
    ->Arg (10000)
    ->Arg (40000)
    ->Arg (160000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSkinWithSiblings)
    ->Arg (10000)
    ->Arg (40000)
    ->Arg (160000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_LookUpInLanguageFile)->Arg (10000)->Arg (40000)->Arg (160000)->Complexity (benchmark::o1);
BENCHMARK (BM_ReadSettingsKeysOfOneHash)
    ->Arg (8192)
    ->Arg (32768)
    ->Arg (131072)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsKeysOfDistinctHashes)
    ->Arg (8192)
    ->Arg (32768)
    ->Arg (131072)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsTextInPieces)
    ->Arg (100000)
    ->Arg (400000)
    ->Arg (1600000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsWholeText)
    ->Arg (100000)
    ->Arg (400000)
    ->Arg (1600000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsAttributeNamesDescending)
    ->Arg (10000)
    ->Arg (40000)
    ->Arg (160000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSettingsAttributeNamesAscending)
    ->Arg (10000)
    ->Arg (40000)
    ->Arg (160000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReferenceCopyOfSkinsOfNewNames)
    ->Arg (10)
    ->Arg (20)
    ->Arg (40)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSkinsOfNewNames)
    ->Arg (10)
    ->Arg (20)
    ->Arg (40)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSkinOfNewNamesDescending)
    ->Arg (2000)
    ->Arg (4000)
    ->Arg (8000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
BENCHMARK (BM_ReadSkinOfNewNamesAscending)
    ->Arg (2000)
    ->Arg (4000)
    ->Arg (8000)
    ->Unit (benchmark::kMillisecond)
    ->Complexity (benchmark::oN);
