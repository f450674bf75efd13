#include "device/engines/RawPresetThread.h"
#include "device/engines/DeviceManager.h"
#include "device/engines/RawPresetDlgItem.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/SysExCodec.h"
#include "model/BlockLibraryEntry.h"
#include "model/EffectManager.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "support/FileSizeLimit.h"
#include "support/ManualClock.h"
#include "support/ScratchFolder.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
const juce::String unitName ("1- Kestrel MIDI");
constexpr int sourceSlot = 5;
constexpr int targetSlot = 40;

// What the unit keeps of a preset that a record carries.
void expectSamePreset (const SimulatedPreset& expected, const SimulatedPreset& actual)
{
    EXPECT_EQ (expected.name, actual.name);

    for (int i = 0; i < gridCellCount; ++i)
    {
        EXPECT_EQ (expected.cells[(size_t) i].blockId, actual.cells[(size_t) i].blockId) << "cell " << i;
        EXPECT_EQ (expected.cells[(size_t) i].inputMask, actual.cells[(size_t) i].inputMask) << "cell " << i;
    }

    for (auto& [id, block] : expected.blocks)
    {
        if (id == blockIdGlobal)
            continue; // no part of a preset record

        auto* other = actual.findBlock (id);
        ASSERT_NE (other, nullptr) << "block " << id;
        EXPECT_EQ (block.values[0], other->values[0]) << "X of block " << id;

        if (hasXYChannels (id, 8))
        {
            EXPECT_EQ (block.values[1], other->values[1]) << "Y of block " << id;
        }

        if (expected.isInGrid (id))
        {
            EXPECT_EQ (block.engaged, other->engaged) << "bypass per scene of block " << id;
            EXPECT_EQ (block.onX, other->onX) << "X/Y per scene of block " << id;
        }
    }

    for (size_t m = 0; m < (size_t) SimulatedPreset::modifierCount; ++m)
    {
        EXPECT_EQ (expected.modifiers[m].blockId, actual.modifiers[m].blockId) << "modifier " << m;
        EXPECT_EQ (expected.modifiers[m].paramId, actual.modifiers[m].paramId) << "modifier " << m;
        EXPECT_EQ (expected.modifiers[m].settings, actual.modifiers[m].settings) << "modifier " << m;
    }
}

// The worker against the simulated unit through the real link thread.
class RawPresetThreadTest : public ::testing::Test
{
protected:
    RawPresetThreadTest()
        : backend (VirtualMidiBackend::Delivery::synchronous)
        , useBackend (backend)
        , unit (backend, unitName)
    {
    }

    ~RawPresetThreadTest() override
    {
        unit.stopAutoPump();
        link.stopProcessing();
    }

    void connect (juce::uint8 model = SimulatedKestrel::model)
    {
        unit.setReportedModel (model);
        description[7] = model;
        ASSERT_TRUE (link.getPorts().openInputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link.getPorts().openOutputByName ("Kestrel MIDI"));
        ASSERT_TRUE (link.startProcessing());
    }

    // Runs one job to its end; the items stay the test's.
    void run (int kind, const juce::Array<RawPresetJobItem*>& items, juce::uint16 base = 0)
    {
        worker = std::make_unique<RawPresetThread> (description, &link);
        ASSERT_TRUE (worker->startJob (kind, items, base, scratch.folder.getFullPathName()));
        ASSERT_TRUE (worker->waitForThreadToExit (60000));
    }

    std::unique_ptr<RawPresetJobItem> item (int presetIndex, const juce::MemoryBlock& data = {})
    {
        auto made = std::make_unique<RawPresetJobItem>();
        made->setPresetIndex ((juce::uint16) presetIndex);
        made->setRecordData (data);
        made->setState (1);
        return made;
    }

    juce::MemoryBlock exportSlot (int slot, const juce::String& expectedFile)
    {
        auto job = item (slot);
        run (RawPresetThread::jobExportPresets, { job.get() });
        EXPECT_EQ (job->getState(), RawPresetJobItem::stateDone);

        juce::MemoryBlock data;
        EXPECT_TRUE (scratch.folder.getChildFile (expectedFile).loadFileAsData (data)) << expectedFile;
        return data;
    }

    // True once the link has answered a query queued now: whatever it still
    // held queued before has been sent by then.
    bool linkWentThroughItsQueue()
    {
        juce::MidiMessage query;
        buildSysExMessage (query, SYSEX_QUERY_VERSION, nullptr, 0, description[7]);
        auto* probe = new SysExRequest (query);

        if (! link.queueRequest (probe))
        {
            delete probe;
            return false;
        }

        for (int i = 0; i < 30000 && probe->getStatus() == 0; ++i)
            juce::Thread::sleep (1);

        const bool answered = probe->getStatus() == SysExRequest::stateComplete;
        link.releaseRequest (probe);
        return answered;
    }

    // Waits until the running job shows a progress text that contains the part.
    // The worker reads the program's clock as it queues a request, a little
    // after it shows the step: a test moves a manual clock on only once the
    // worker has looked at least once, or the time moved would not count.
    bool waitUntilTheWorkerWaits()
    {
        for (int i = 0; i < 30000 && worker->countWaitsRunOut() == 0; ++i)
            juce::Thread::sleep (1);

        return worker->countWaitsRunOut() > 0;
    }

    bool waitForProgress (const juce::String& part, juce::String& text, int& number)
    {
        for (int i = 0; i < 30000; ++i)
        {
            worker->getProgress (text, number);

            if (text.contains (part))
                return true;

            juce::Thread::sleep (1);
        }

        return false;
    }

    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    SimulatedKestrel unit;
    ZOLMidiProcessing link;
    RawPresetThread::DeviceDescription description{ 6, 0, 0, 0, 0, 0, 0, SimulatedKestrel::model };
    ScratchFolder scratch;
    std::unique_ptr<RawPresetThread> worker;
};

//==============================================================================
// Export, import and export again: the unit ends with the same preset in the
// other slot, and the second record equals the first byte for byte (but for
// the preset number it was read from).
class RawPresetRoundTrip : public RawPresetThreadTest, public ::testing::WithParamInterface<juce::uint8>
{
};

TEST_P (RawPresetRoundTrip, ExportImportExportGivesTheSameRecord)
{
    connect (GetParam());
    const auto original = SimulatedPreset::makeShowcase();
    unit.setPreset (sourceSlot, original);

    const auto first = exportSlot (sourceSlot, "005_Rich Tone.dat");

    RawPreset record;
    ASSERT_TRUE (record.readFrom (first));
    EXPECT_EQ (record.model, GetParam());
    EXPECT_EQ (record.getModifiers().size(), 2);
    ASSERT_NE (record.findBlock (106), nullptr);
    EXPECT_EQ (record.findBlock (106)->sceneStates.size(), getSceneCount (GetParam()));
    EXPECT_FALSE (record.findBlock (106)->yValues.isEmpty());

    auto job = item (targetSlot, first);
    run (RawPresetThread::jobImport, { job.get() });
    ASSERT_EQ (job->getState(), RawPresetJobItem::stateDone) << job->getFailureReason();
    expectSamePreset (original, unit.getPreset (targetSlot));

    const auto second = exportSlot (targetSlot, "040_Rich Tone.dat");
    RawPreset again;
    ASSERT_TRUE (again.readFrom (second));
    again.presetNumber = record.presetNumber;
    juce::MemoryBlock renumbered;
    again.writeTo (renumbered);
    EXPECT_TRUE (renumbered == first);
}

INSTANTIATE_TEST_SUITE_P (ModelsWithScenes, RawPresetRoundTrip, ::testing::Values ((juce::uint8) 3, (juce::uint8) 8));

// The front panel's raw export fills the record from the model, the worker's
// from the unit's answers; for one preset both name each modifier's block and
// parameter alike, a bypass-mode modifier (kept under 255 in the model) by the
// id the unit's info reply names.
TEST_F (RawPresetThreadTest, TheFrontPanelsRawExportNamesTheModifiersAsTheWorkersExportDoes)
{
    struct PanelModel : DeviceManager
    {
        using DeviceManager::DeviceManager;
        bool requestAmpNames() override { return true; }
        bool handleReplyFirst (SysExRequest&) override { return false; }
    };

    connect();
    unit.setPreset (sourceSlot, SimulatedPreset::makeShowcase());
    RawPreset fromUnit;
    ASSERT_TRUE (fromUnit.readFrom (exportSlot (sourceSlot, "005_Rich Tone.dat")));

    // The recalled preset read into the model as a preset load reads it.
    const juce::ScopeGuard restoreModel{ [previous = currentSysExModel.exchange (SimulatedKestrel::model)]
                                         { currentSysExModel.store (previous); } };
    EffectManager effects;
    PanelModel panel (&link, &effects, nullptr);

    auto complete = [&panel] (SysExRequest* request)
    {
        for (int i = 0; i < 30000 && request != nullptr && ! DeviceManager::isRequestDone (request); ++i)
        {
            panel.handleNextReply();
            juce::Thread::sleep (1);
        }

        if (request == nullptr || ! DeviceManager::isRequestDone (request))
        {
            panel.abandonRequest (request);
            return false;
        }

        const bool answered = request->getStatus() == SysExRequest::stateComplete;
        delete request;
        return answered;
    };

    for (auto* request : { panel.requestGrid(), panel.requestParamDump (100), panel.requestParamDump (106) })
        ASSERT_TRUE (complete (request));

    for (int id = EffectManager::firstModifierId; id <= EffectManager::lastModifierId; ++id)
    {
        ASSERT_TRUE (complete (panel.requestModifierInfo ((juce::uint16) id)));
        const auto* modifier = effects.getModifier (id);

        for (int k = 0; modifier->blockId != 0 && k < ModifierRecord::numSettings; ++k)
            ASSERT_TRUE (
                complete (panel.requestSetModifier (modifier->blockId, modifier->paramId, (juce::uint16) k, 0, 0)));
    }

    RawPreset fromModel;
    panel.fillRawPreset (fromModel);
    ASSERT_EQ (fromModel.getModifiers().size(), fromUnit.getModifiers().size());

    // The panel lists them in grid order, the worker in slot order.
    for (auto* expected : fromUnit.getModifiers())
    {
        SCOPED_TRACE (expected->blockId);
        auto same = std::find_if (fromModel.getModifiers().begin(), fromModel.getModifiers().end(),
                                  [expected] (auto* entry) { return entry->blockId == expected->blockId; });
        ASSERT_NE (same, fromModel.getModifiers().end());
        EXPECT_EQ ((*same)->paramId, expected->paramId);
        EXPECT_EQ ((*same)->words, expected->words);
    }
}

//==============================================================================
// The file's bytes, read by the record's published layout (not by the
// program's own reader): where block 106's X word of parameter 1 lies.
struct DatLayout
{
    static juce::uint32 get (const juce::MemoryBlock& d, size_t p, int width)
    {
        juce::uint32 v = 0;
        for (int i = width; --i >= 0;)
            v = (v << 8) | (juce::uint8) d[p + (size_t) i];
        return v;
    }

    // Offsets of the X word of (block, param) and of that block's form, and the form's length.
    static bool findXWord (const juce::MemoryBlock& d, int block, int param, size_t& word, size_t& form,
                           size_t& length)
    {
        size_t p = 8;
        p += 4 + get (d, p, 4);                 // name
        p += 4 + get (d, p, 4);                 // grid form
        const auto blocks = get (d, p, 4);
        p += 4;
        for (juce::uint32 b = 0; b < blocks && p + 4 < d.getSize(); ++b)
        {
            length = get (d, p, 4);
            form = p + 4;
            p = form + length;
            if ((int) get (d, form, 2) != block)
                continue;
            size_t q = form + 3;
            q += 4 + 6 * get (d, q, 4);         // scene states
            const auto xCount = get (d, q, 4);
            for (juce::uint32 i = 0; i < xCount; ++i)
                if ((int) get (d, q + 4 + 4 * i, 2) == param)
                {
                    word = q + 4 + 4 * i;
                    return true;
                }
        }
        return false;
    }
};

TEST_F (RawPresetThreadTest, AnExportedFileHoldsTheValueWordAtItsPlaceAndAnImportedOneSetsTheUnitsValue)
{
    connect();
    auto preset = SimulatedPreset::makeShowcase();
    const int channel = preset.getChannel (106);
    ASSERT_TRUE (preset.setChannel (106, 0)); // the X values
    ASSERT_TRUE (preset.setParam (106, 1, 0x1234));
    ASSERT_TRUE (preset.setChannel (106, channel));
    unit.setPreset (sourceSlot, preset);
    auto data = exportSlot (sourceSlot, "005_Rich Tone.dat");

    size_t word = 0, form = 0, length = 0;
    ASSERT_TRUE (DatLayout::findXWord (data, 106, 1, word, form, length));
    EXPECT_EQ (DatLayout::get (data, word, 4), 0x12340001u); // parameter low, value high

    // The same file with the value changed by hand and both check bytes made again.
    data[word + 2] = 0x78;
    data[word + 3] = 0x56;
    auto checkOver = [&data] (size_t from, size_t to)
    {
        juce::uint8 x = 0;
        for (size_t i = from; i < to; ++i)
            x ^= (juce::uint8) data[i];
        return (char) (x & 0x7f);
    };
    data[form + length - 1] = checkOver (form, form + length - 1);
    data[data.getSize() - 1] = checkOver (0, data.getSize() - 1);

    auto job = item (targetSlot, data);
    run (RawPresetThread::jobImport, { job.get() });
    ASSERT_EQ (job->getState(), RawPresetJobItem::stateDone) << job->getFailureReason();
    auto imported = unit.getPreset (targetSlot);
    ASSERT_TRUE (imported.setChannel (106, 0));
    juce::uint16 value = 0;
    ASSERT_TRUE (imported.getParam (106, 1, value));
    EXPECT_EQ (value, 0x5678);
}

TEST_F (RawPresetThreadTest, ExportNamesItsFileAfterTheShownNumberAndRecallsTheIndex)
{
    connect();
    unit.setReplyDelayFor (SYSEX_RECALL_PATCH, 300);
    unit.startAutoPump();

    auto job = item (sourceSlot);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (
        worker->startJob (RawPresetThread::jobExportPresets, { job.get() }, 1, scratch.folder.getFullPathName()));

    juce::String text;
    int number = -2;
    ASSERT_TRUE (waitForProgress ("Changing", text, number));
    EXPECT_EQ (text, "Exporting preset: 6 - Changing preset");
    EXPECT_EQ (number, 0);
    EXPECT_FALSE (worker->startJob (RawPresetThread::jobImport, {}, 0, {})) << "a second start while one runs";

    ASSERT_TRUE (worker->waitForThreadToExit (60000));
    worker->getProgress (text, number);
    EXPECT_EQ (text, "");
    EXPECT_EQ (number, -1);

    auto recalls = unit.getReceived();
    auto found = std::find_if (recalls.begin(), recalls.end(),
                               [] (const juce::MidiMessage& m) { return m.getRawData()[5] == SYSEX_RECALL_PATCH; });
    ASSERT_NE (found, recalls.end());
    EXPECT_EQ (found->getRawData()[6], 0);
    EXPECT_EQ (found->getRawData()[7], sourceSlot);

    unit.clearFaults();
    run (RawPresetThread::jobExportPresets, { job.get() }, 1);
    EXPECT_TRUE (scratch.folder.getChildFile ("006_Preset 5.dat").existsAsFile());
    EXPECT_TRUE (scratch.folder.getChildFile ("006_Preset 5(1).dat").existsAsFile());

    // Program 127 of a bank: the unit answers with the names of the whole bank.
    auto last = item (255);
    run (RawPresetThread::jobExportPresets, { last.get() });
    EXPECT_TRUE (scratch.folder.getChildFile ("255_Preset 255.dat").existsAsFile());
}

TEST_F (RawPresetThreadTest, AFileThatCannotBeWrittenFailsTheItem)
{
    connect();
    scratch.folder.getChildFile ("sub").replaceWithText ("a file where the folder should be");

    auto job = item (sourceSlot);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (worker->startJob (RawPresetThread::jobExportPresets, { job.get() }, 0,
                                   scratch.folder.getChildFile ("sub").getFullPathName()));
    ASSERT_TRUE (worker->waitForThreadToExit (60000));
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_TRUE (job->getFailureReason().isNotEmpty());

    // The same for a block export whose preset folder cannot be made.
    scratch.folder.getChildFile ("005 Preset 5").replaceWithText ("a file where the folder should be");
    auto blocks = item (sourceSlot);
    run (RawPresetThread::jobExportBlocks, { blocks.get() });
    EXPECT_EQ (blocks->getState(), RawPresetJobItem::stateFailed);
    EXPECT_TRUE (blocks->getFailureReason().isNotEmpty());
}

#if JUCE_LINUX || JUCE_MAC
TEST_F (RawPresetThreadTest, AnExportOnAFullDiskFailsTheItemAndLeavesTheFolderAsItWas)
{
    connect();
    const auto older = scratch.folder.getChildFile ("005_Preset 5.dat");
    ASSERT_TRUE (older.replaceWithText ("an older export"));

    auto job = item (sourceSlot);
    {
        FileSizeLimit fullDisk (1000);
        ASSERT_TRUE (fullDisk.active);
        run (RawPresetThread::jobExportPresets, { job.get() });
    }

    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_TRUE (job->getFailureReason().startsWith ("Unable to write")) << job->getFailureReason();
    EXPECT_EQ (older.loadFileAsString(), "an older export");
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFiles, false, "*").size(), 1);
}
#endif

//==============================================================================
// Reading the unit: a part that could not be read fails the item instead of
// being exported as something else.

TEST_F (RawPresetThreadTest, ASceneThatCouldNotBeReadFailsTheExport)
{
    connect();
    unit.corruptNextReplies (SYSEX_SET_SCENE, 1); // scene 0 times out, the others answer

    auto job = item (sourceSlot);
    run (RawPresetThread::jobExportPresets, { job.get() });
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFiles), 0);
}

TEST_F (RawPresetThreadTest, AModifierWithAFieldMissingFailsTheExport)
{
    connect();
    unit.corruptNextReplies (SYSEX_MODIFIER_SET, 1); // field 0 of the first modifier times out

    auto job = item (sourceSlot);
    run (RawPresetThread::jobExportPresets, { job.get() });
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFiles), 0);
}

//==============================================================================
// Writing the unit: a refusal fails the item before anything is saved over
// the user's slot, and a record that cannot be imported sends nothing.

TEST_F (RawPresetThreadTest, ARefusedPlacementAnywhereStopsTheImportBeforeTheSave)
{
    connect();
    const auto data = exportSlot (sourceSlot, "005_Preset 5.dat");
    RawPreset record;
    ASSERT_TRUE (record.readFrom (data));
    record.grid.getCell (2)->blockId = 250; // a block the unit does not have, before the cab in cell 4
    juce::MemoryBlock changed;
    record.writeTo (changed);

    const auto before = unit.getPreset (targetSlot);
    unit.clearReceived();
    auto job = item (targetSlot, changed);
    run (RawPresetThread::jobImport, { job.get() });

    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
    EXPECT_EQ (unit.getPreset (targetSlot).cells[4].blockId, before.cells[4].blockId);
}

TEST_F (RawPresetThreadTest, ARefusedSaveFailsTheItem)
{
    connect();
    const auto data = exportSlot (sourceSlot, "005_Preset 5.dat");
    unit.setErrorStatusFor (SYSEX_SAVE_PATCH, SimulatedKestrel::resultBadValue);

    auto job = item (targetSlot, data);
    run (RawPresetThread::jobImport, { job.get() });
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
}

TEST_F (RawPresetThreadTest, ARecordThatCannotBeImportedFailsWithAReasonAndSendsNothing)
{
    connect();
    const auto good = exportSlot (sourceSlot, "005_Preset 5.dat");

    juce::MemoryBlock truncated (good.getData(), good.getSize() - 20);
    juce::MemoryBlock badCheck (good);
    static_cast<juce::uint8*> (badCheck.getData())[good.getSize() - 1] ^= 0x01;
    RawPreset foreign;
    ASSERT_TRUE (foreign.readFrom (good));
    const auto ownModel = foreign.model;
    foreign.model = 6;
    juce::MemoryBlock otherModel;
    foreign.writeTo (otherModel);
    foreign.model = ownModel; // a name the unit's name field cannot hold
    foreign.name = juce::String (juce::CharPointer_UTF8 ("Caf\xc3\xa9"));
    juce::MemoryBlock foreignName;
    foreign.writeTo (foreignName);

    for (auto* data : { &truncated, &badCheck, &otherModel, &foreignName })
    {
        unit.clearReceived();
        auto job = item (targetSlot, *data);
        run (RawPresetThread::jobImport, { job.get() });
        EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
        EXPECT_TRUE (job->getFailureReason().isNotEmpty());
        EXPECT_EQ (unit.getReceived().size(), 0);
    }
}

TEST_F (RawPresetThreadTest, ImportTextsShowThePresetIndexWithoutTheBase)
{
    connect();
    const auto data = exportSlot (sourceSlot, "005_Preset 5.dat");
    unit.setReplyDelayFor (SYSEX_SET_SCENE, 100);
    unit.startAutoPump();

    auto job = item (targetSlot, data);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (worker->startJob (RawPresetThread::jobImport, { job.get() }, 100, scratch.folder.getFullPathName()));

    juce::String text;
    int number = 0;
    ASSERT_TRUE (waitForProgress ("Scenes", text, number));
    EXPECT_EQ (text, "Importing preset: 40 - Settings Scenes");
    ASSERT_TRUE (worker->waitForThreadToExit (60000));
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateDone);
}

//==============================================================================
// Stopping: no wait outlasts the link, and items are never marked done for
// work that was not done.

TEST_F (RawPresetThreadTest, AnExitRequestEndsTheJobSoonEvenWhenTheLinkSendsNothing)
{
    ManualClock clock (5000);
    ManualClock::Installed useClock (clock);
    connect();
    link.setHold (true);

    auto first = item (1), second = item (2);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (worker->startJob (RawPresetThread::jobExportPresets, { first.get(), second.get() }, 0,
                                   scratch.folder.getFullPathName()));

    juce::String text;
    int number = 0;
    ASSERT_TRUE (waitForProgress ("Changing", text, number));
    ASSERT_TRUE (waitUntilTheWorkerWaits());
    // Soon on the program's clock: after the exit's grace, long before the
    // limit of a request the link does not send.
    worker->signalThreadShouldExit();
    clock.advance (RawPresetThread::exitGraceMs + 1);
    ASSERT_TRUE (worker->waitForThreadToExit (30000));

    EXPECT_EQ (first->getState(), RawPresetJobItem::stateFailed);
    EXPECT_EQ (second->getState(), 1u);

    link.setHold (false);
    ASSERT_TRUE (linkWentThroughItsQueue());
    EXPECT_EQ (unit.countReceived (SYSEX_RECALL_PATCH), 0) << "the given-up request left the queue";
}

// The end of each request wakes the worker: three exports take some 190
// requests, which waiting out the 100 ms between looks would stretch past
// 19 s. Counted, not timed: every answer comes a little after the worker's
// first look, so a worker nobody wakes lets nearly every wait run out; only
// a machine too busy to answer within a look lets one run out otherwise.
TEST_F (RawPresetThreadTest, EachAnswerWakesTheWorkerAtOnce)
{
    connect();
    for (int function = 0; function < 0x80; ++function)
        unit.setReplyDelayFor (function, 5);
    unit.startAutoPump();
    auto first = item (1), second = item (2), third = item (3);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (worker->startJob (RawPresetThread::jobExportPresets, { first.get(), second.get(), third.get() }, 0,
                                   scratch.folder.getFullPathName()));
    ASSERT_TRUE (worker->waitForThreadToExit (60000));

    EXPECT_EQ (third->getState(), RawPresetJobItem::stateDone);
    EXPECT_GT (unit.getReceived().size(), 180);
    EXPECT_LT (worker->countWaitsRunOut(), unit.getReceived().size() / 4);
}

TEST_F (RawPresetThreadTest, AnExportItemRunsToItsEndAndTheNextOneIsLeftAsItWas)
{
    connect();
    unit.setReplyDelayFor (SYSEX_GET_GRID, 100);
    unit.startAutoPump();

    auto first = item (1), second = item (2);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (worker->startJob (RawPresetThread::jobExportPresets, { first.get(), second.get() }, 0,
                                   scratch.folder.getFullPathName()));

    juce::String text;
    int number = 0;
    ASSERT_TRUE (waitForProgress ("Querying Grid", text, number));
    worker->signalThreadShouldExit();
    ASSERT_TRUE (worker->waitForThreadToExit (10000));

    EXPECT_EQ (first->getState(), RawPresetJobItem::stateDone);
    EXPECT_TRUE (scratch.folder.getChildFile ("001_Preset 1.dat").existsAsFile());
    EXPECT_EQ (second->getState(), 1u) << "not exported, so not done";
    EXPECT_EQ (unit.countReceived (SYSEX_RECALL_PATCH), 1);
}

TEST_F (RawPresetThreadTest, ARequestTheHeldLinkNeverSendsIsGivenUpAndNeverSentLater)
{
    ManualClock clock (5000);
    ManualClock::Installed useClock (clock);
    connect();
    link.setHold (true);

    auto job = item (1);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (
        worker->startJob (RawPresetThread::jobExportPresets, { job.get() }, 0, scratch.folder.getFullPathName()));

    juce::String text;
    int number = 0;
    ASSERT_TRUE (waitForProgress ("Changing", text, number));
    ASSERT_TRUE (waitUntilTheWorkerWaits()); // the limit runs on the manual clock: only a wrong end could come now
    EXPECT_TRUE (worker->isThreadRunning()) << "still waiting within the limit";

    clock.advance (RawPresetThread::unsentLimitMs + 1);
    ASSERT_TRUE (worker->waitForThreadToExit (30000));
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);

    link.setHold (false);
    ASSERT_TRUE (linkWentThroughItsQueue());
    EXPECT_EQ (unit.countReceived (SYSEX_RECALL_PATCH), 0) << "the given-up request left the queue";
}

TEST_F (RawPresetThreadTest, ALinkThatStopsEndsTheJob)
{
    ManualClock clock (5000);
    ManualClock::Installed useClock (clock);
    connect();
    unit.setSilentFor (SYSEX_RECALL_PATCH);

    auto job = item (1);
    worker = std::make_unique<RawPresetThread> (description, &link);
    ASSERT_TRUE (
        worker->startJob (RawPresetThread::jobExportPresets, { job.get() }, 0, scratch.folder.getFullPathName()));

    juce::String text;
    int number = 0;
    ASSERT_TRUE (waitForProgress ("Changing", text, number));
    ASSERT_TRUE (waitUntilTheWorkerWaits());
    // After the grace a stopped link is given, long before the request's
    // own time-out, on the program's clock.
    link.stopProcessing();
    clock.advance (RawPresetThread::linkStoppedGraceMs + 1);
    ASSERT_TRUE (worker->waitForThreadToExit (30000));
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
}

TEST_F (RawPresetThreadTest, WithoutARunningLinkTheFirstItemSaysSo)
{
    auto first = item (1), second = item (2);
    run (RawPresetThread::jobExportPresets, { first.get(), second.get() });
    EXPECT_EQ (first->getState(), RawPresetJobItem::stateFailed);
    EXPECT_TRUE (first->getFailureReason().isNotEmpty());
    EXPECT_EQ (second->getState(), 1u);
}

//==============================================================================
TEST_F (RawPresetThreadTest, ExportBlocksWritesOneReadableFilePerBlockWithItsOwnModifiers)
{
    connect();
    unit.setPreset (sourceSlot, SimulatedPreset::makeShowcase());

    auto job = item (sourceSlot);
    run (RawPresetThread::jobExportBlocks, { job.get() }, 1);
    ASSERT_EQ (job->getState(), RawPresetJobItem::stateDone);

    const auto presetFolder = scratch.folder.getChildFile ("006 Rich Tone");
    BlockLibraryEntry amp, eq;
    ASSERT_EQ (amp.read (presetFolder.getChildFile ("Rich Tone - Amp.blk")), BlockLibraryEntry::okay);
    EXPECT_EQ (amp.name, "Rich Tone - Amp");
    EXPECT_EQ (amp.modelId, SimulatedKestrel::model);
    EXPECT_EQ (amp.modifierRecords.size(), 1);
    EXPECT_GT (amp.paramData.getSize(), 0u);

    // Read after the amp's dump, which had a modifier.
    ASSERT_EQ (eq.read (presetFolder.getChildFile ("Rich Tone - Graphic EQ 1.blk")), BlockLibraryEntry::okay);
    EXPECT_EQ (eq.modifierRecords.size(), 0);

    // Every block of the grid and the three fixed blocks, each a file.
    EXPECT_EQ (presetFolder.getNumberOfChildFiles (juce::File::findFiles, "*.blk"), 5 + 3);
}

TEST_F (RawPresetThreadTest, CopyXToYLeavesYEqualToXAndAlwaysUnmutes)
{
    connect();
    // In scene 2 the checked blocks are on X: the copy switches them to Y to
    // write there, so their scene states must be read before that.
    auto preset = SimulatedPreset::makeShowcase();
    preset.scene = 2;
    for (auto id : { 100, 102, 106, 108, 110 })
        ASSERT_EQ (preset.getChannel (id), SimulatedPreset::channelX) << "block " << id;
    unit.setPreset (sourceSlot, preset);

    auto job = item (sourceSlot);
    run (RawPresetThread::jobCopyXToY, { job.get() });
    ASSERT_EQ (job->getState(), RawPresetJobItem::stateDone);

    const auto copied = unit.getPreset (sourceSlot);
    for (auto id : { 100, 106, 108, 110 })
        EXPECT_EQ (copied.findBlock (id)->values[1], preset.findBlock (id)->values[0]) << "block " << id;
    for (auto id : { 100, 102, 106, 108, 110 })
    {
        EXPECT_EQ (copied.findBlock (id)->engaged, preset.findBlock (id)->engaged) << "block " << id;
        EXPECT_EQ (copied.findBlock (id)->onX, preset.findBlock (id)->onX) << "block " << id;
    }

    auto received = unit.getReceived();
    EXPECT_EQ (received.getFirst().getRawData()[5], SYSEX_MUTE);
    EXPECT_EQ (received.getFirst().getRawData()[6], 0);
    EXPECT_EQ (received.getLast().getRawData()[5], SYSEX_MUTE);
    EXPECT_EQ (received.getLast().getRawData()[6], 1);

    unit.clearReceived();
    unit.setErrorStatusFor (SYSEX_RECALL_PATCH, SimulatedKestrel::resultBadValue);
    run (RawPresetThread::jobCopyXToY, { job.get() });
    EXPECT_EQ (job->getState(), RawPresetJobItem::stateFailed);
    EXPECT_EQ (unit.getReceived().getLast().getRawData()[5], SYSEX_MUTE);
    EXPECT_EQ (unit.getReceived().getLast().getRawData()[6], 1);
}

//==============================================================================
TEST (RawPresetImportPlan, RenumbersShuntsAndCablesEachInputAndAddressesBypassModeModifiersAs255)
{
    RawPresetThread worker ({});
    RawPreset record;
    GridVectors vectors;

    for (int i = 0; i < gridCellCount; ++i)
    {
        vectors.blockIds.add (0);
        vectors.inputMasks.add (0);
    }

    vectors.blockIds.set (0, 305);
    vectors.inputMasks.set (0, 0x0F); // column 0: no cables whatever the mask
    vectors.blockIds.set (9, 300);
    vectors.inputMasks.set (9, 0x09); // rows 0 and 3 of column 1
    vectors.blockIds.set (20, 331);
    ASSERT_TRUE (record.grid.setFromVectors (&vectors));

    RawPresetModifier modifier;
    modifier.blockId = 100;
    modifier.paramId = (juce::uint16) getBypassModeParamId (100);
    modifier.words.add (0 | (7u << 16));
    record.addModifier (modifier);

    ASSERT_TRUE (worker.planImport (record));

    std::vector<std::pair<int, int>> placements;
    for (auto& p : worker.getPlacementQueue())
        placements.push_back ({ p.cell, p.blockId });
    EXPECT_EQ (placements, (std::vector<std::pair<int, int>>{ { 0, 300 }, { 9, 301 }, { 20, 302 } }));

    ASSERT_EQ (worker.getConnectionQueue().size(), 2u);
    EXPECT_EQ (worker.getConnectionQueue()[0].sourceCell, 4);
    EXPECT_EQ (worker.getConnectionQueue()[1].sourceCell, 7);
    EXPECT_EQ (worker.getConnectionQueue()[1].destinationCell, 9);

    ASSERT_EQ (worker.getModifierQueue().size(), 1u);
    EXPECT_EQ (worker.getModifierQueue()[0].selector1, 255);
    EXPECT_EQ (worker.getModifierQueue()[0].value, 7);

    for (int i = 0; i < gridCellCount; ++i)
        vectors.blockIds.set (i, 300);
    ASSERT_TRUE (record.grid.setFromVectors (&vectors));
    EXPECT_FALSE (worker.planImport (record)) << "48 shunts, 36 ids";
}

TEST (RawPresetDlgItem, KeepsTheDataNumberAndNameItWasGiven)
{
    RawPresetDlgItem dlgItem;
    EXPECT_FALSE (dlgItem.isFilled());

    const char bytes[] = { 1, 2, 3 };
    dlgItem.setPresetData (17, juce::MemoryBlock (bytes, sizeof (bytes)));
    dlgItem.setName ("Lead");
    EXPECT_TRUE (dlgItem.isFilled());
    EXPECT_EQ (dlgItem.getPresetNumber(), 17);
    EXPECT_EQ (dlgItem.getPresetData(), juce::MemoryBlock (bytes, sizeof (bytes)));
    EXPECT_EQ (dlgItem.getName(), "Lead");
}
} // namespace
