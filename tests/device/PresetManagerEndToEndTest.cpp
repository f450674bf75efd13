#include "device/engines/CommStep.h"
#include "device/engines/LinkTicker.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "device/wire/SysExCodec.h"
#include "model/IdTables.h"
#include "model/KestrelEffectManager.h"
#include "support/HostileInputs.h"
#include "support/ManualClock.h"
#include "support/PresetDumpFile.h"
#include "support/RecordingNotifier.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
const juce::String unitName ("1- Kestrel MIDI");

// How the program around the preset manager runs in a test:
// - byHand: synchronous virtual devices, the manual clock, and the link's
//   passes, the sender's ticks and the main window's ticks called in turn by
//   the test, 10 ms of clock per tick;
// - realThread: as in the program: the link on its own thread, the devices'
//   delivery thread, the real clock, the sender's own 1 ms timer and a 10 ms
//   timer for the main window's tick, all run by the message loop. Waits are
//   bounded by wall time; nothing is asserted about how long anything took.
enum class Drive
{
    byHand,
    realThread
};

void PrintTo (Drive drive, std::ostream* os)
{
    *os << (drive == Drive::byHand ? "by hand" : "real thread");
}

// The program around the preset manager, with the main window's tick: the
// real link over virtual devices, the simulated unit, and a listener that
// records every broadcast code the way a panel reads it.
class EndToEndRig : public ::testing::Test, private juce::ChangeListener, private juce::Timer
{
protected:
    explicit EndToEndRig (Drive driveToUse)
        : drive (driveToUse)
        , backend (driveToUse == Drive::byHand ? VirtualMidiBackend::Delivery::synchronous
                                               : VirtualMidiBackend::Delivery::onDeliveryThread)
        , useBackend (backend)
        , unit (backend, unitName)
        , previousModel (currentSysExModel.load())
    {
        if (byHand())
            useClock = std::make_unique<ManualClock::Installed> (clock);

        currentSysExModel.store (3);
        link = std::make_unique<ZOLMidiProcessing>();
        manager = std::make_unique<PresetManager> (link.get(), &effects, nullptr);
        manager->addSupportedModel ({ 8, 6, 0 });
        manager->addChangeListener (this);
        ticker = std::make_unique<LinkTicker> (*link, *manager, nullptr);

        if (byHand())
        {
            ticker->setLinkThreadRequired (false);
        }
        else
        {
            unit.startAutoPump();
            startTimer (10);
        }
    }

    ~EndToEndRig() override
    {
        stopTimer();
        manager->removeChangeListener (this);
        link->stopProcessing();
        manager->releaseLinkRequests();
        ticker.reset();
        manager.reset();
        link.reset();
        unit.stopAutoPump();
        currentSysExModel.store (previousModel);
    }

    bool byHand() const { return drive == Drive::byHand; }

    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        juce::uint8 a1 = 0, a2 = 0;
        codes.push_back (manager->getStatus (&a1, &a2));
    }

    // The main window's 10 ms timer, on the real clock.
    void timerCallback() override
    {
        ticker->tick();
        ++ticks;
    }

    // One 10 ms tick of the program, driven by hand.
    void tick()
    {
        jassert (byHand());
        link->processPass();
        unit.pump();
        manager->getMultiMessageSender().timerCallback();
        ticker->tick();
        link->processPass();
        clock.advance (10);
        ++ticks;
    }

    // Runs the program until done() holds, then two more ticks (a code
    // posted on the last step is broadcast on the next). Bounded by maxTicks
    // by hand, and by as much wall time (at least 5 s, at most a minute) on
    // the real clock.
    bool runUntil (const std::function<bool()>& done, int maxTicks = 20000)
    {
        if (byHand())
        {
            for (int i = 0; i < maxTicks; ++i)
            {
                if (done())
                {
                    tick();
                    tick();
                    return true;
                }

                tick();
            }

            return done();
        }

        auto* messages = juce::MessageManager::getInstance();
        const auto boundMs = (juce::uint32) juce::jlimit (5000, 60000, maxTicks * 10);
        const auto start = juce::Time::getMillisecondCounter();

        while (! done())
        {
            if (juce::Time::getMillisecondCounter() - start > boundMs)
                return false;

            messages->runDispatchLoopUntil (2);
        }

        for (const auto until = ticks + 2; ticks < until && juce::Time::getMillisecondCounter() - start <= boundMs + 1000;)
            messages->runDispatchLoopUntil (2);

        return true;
    }
    bool idle() const
    {
        for (int i = 0; i < manager->getNumRequests(); ++i)
            if (manager->getRequestAt (i)->isRunning())
                return false;

        return true;
    }

    bool sawCode (int code) const { return std::find (codes.begin(), codes.end(), code) != codes.end(); }

    bool finished (NamedRequest which) { return ! manager->getRequest (which).isRunning(); }

    // What the main window and command target do on connection.
    bool connect()
    {
        if (! runUntil ([this] { return link->isConnected(); }, 10))
            return false;

        manager->getRequest (queryDeviceVersion).start();

        if (! runUntil ([this] { return finished (queryDeviceVersion); }))
            return false;

        if (manager->getRequest (queryDeviceVersion).getResult() != ZolStateMachine::resultCompleted)
            return false;

        manager->getRequest (initialization).start();
        auto ok = runUntil ([this] { return idle() && sawCode (21); });
        if (! ok)
        {
            juce::String text;
            for (auto c : codes)
                text << c << " ";
            for (int i = 0; i < manager->getNumRequests(); ++i)
                if (manager->getRequestAt (i)->getResult() > 2)
                    text << "\n"
                         << manager->getRequestAt (i)->name << " result " << manager->getRequestAt (i)->getResult()
                         << " at " << manager->getRequestAt (i)->getLastState();
            text << "\nnotices " << notices.messages().joinIntoString ("|") << " ticks " << ticks;
            ADD_FAILURE() << text;
        }
        return ok;
    }

    const Drive drive;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend;
    ManualClock clock{ 100000 };
    std::unique_ptr<ManualClock::Installed> useClock;
    SimulatedKestrel unit;
    juce::uint8 previousModel;
    RecordingNotifier notices;
    KestrelEffectManager effects;
    std::unique_ptr<ZOLMidiProcessing> link;
    std::unique_ptr<PresetManager> manager;
    std::unique_ptr<LinkTicker> ticker;
    std::vector<int> codes;
    int ticks = 0;
};

class PresetManagerEndToEnd : public EndToEndRig
{
protected:
    PresetManagerEndToEnd()
        : EndToEndRig (Drive::byHand)
    {
    }
};

// The cases that must also hold with the link on its own thread and the real clock.
class PresetManagerBothWays : public EndToEndRig, public ::testing::WithParamInterface<Drive>
{
protected:
    PresetManagerBothWays()
        : EndToEndRig (GetParam())
    {
    }
};

INSTANTIATE_TEST_SUITE_P (Drives, PresetManagerBothWays, ::testing::Values (Drive::byHand, Drive::realThread),
                          [] (const auto& test) { return test.param == Drive::byHand ? "ByHand" : "RealThread"; });
} // namespace

TEST_F (PresetManagerEndToEnd, ConnectionSequenceFillsTheModel)
{
    unit.selectPresetOnUnit (5);
    unit.clearReceived();
    ASSERT_TRUE (connect());

    EXPECT_TRUE (manager->isFirmwareValid());
    EXPECT_EQ (manager->getFirmware().model, 8);
    EXPECT_EQ (manager->getFirmware().major, 6u);
    EXPECT_EQ (currentSysExModel.load(), 8);
    EXPECT_EQ (manager->getCurrentPresetNumber(), 5);
    EXPECT_EQ (manager->getCurrentPresetName(), unit.getEditBuffer().name);
    EXPECT_TRUE (manager->getPresetGrid().containsBlock (106));
    EXPECT_FALSE (manager->getBlockStates().isEmpty());
    EXPECT_EQ (manager->getTempo(), SimulatedPreset::defaultTempo);
    EXPECT_NE (effects.getModifier (100), nullptr);
    EXPECT_EQ (effects.getNumLayoutRecords() > 0, true);
    EXPECT_EQ (unit.countReceived (SYSEX_GET_MODIFIER_INFO), 16);

    // Begin and end codes in order, each seen by the panels.
    std::vector<int> expected{ 8, 9, 10, 11, 20, 21 };
    std::vector<int> seen;
    for (auto c : codes)
        if (std::find (expected.begin(), expected.end(), c) != expected.end())
            seen.push_back (c);
    EXPECT_EQ (seen, expected);
    EXPECT_EQ (notices.count(), 0);
    EXPECT_EQ (manager->getRequest (loadPreset).getResult(), ZolStateMachine::resultCompleted);
}

TEST_F (PresetManagerEndToEnd, SetParamChangesTheUnitAndRefusesBadCalls)
{
    ASSERT_TRUE (connect());
    codes.clear();

    EXPECT_FALSE (manager->requestSetParam (0, 1, 100));
    EXPECT_FALSE (manager->requestSetParam (300, 1, 100));
    ASSERT_TRUE (manager->requestSetParam (106, 1, 1234));
    EXPECT_FALSE (manager->requestSetParam (106, 1, 4321)) << "a value is still being sent";

    ASSERT_TRUE (runUntil ([this] { return finished (setParam); }));
    EXPECT_EQ (manager->getRequest (setParam).getResult(), ZolStateMachine::resultCompleted);
    juce::uint16 value = 0;
    ASSERT_TRUE (unit.getParam (106, 1, value));
    EXPECT_EQ (value, 1234);
    EXPECT_TRUE (sawCode (68));
    EXPECT_TRUE (sawCode (69));
    EXPECT_TRUE (manager->isPresetModified());

    // Now the held value goes out.
    ASSERT_TRUE (manager->requestSetParam (106, 1, 4321));
    ASSERT_TRUE (runUntil ([this] { return finished (setParam); }));
    unit.getParam (106, 1, value);
    EXPECT_EQ (value, 4321);
}

TEST_F (PresetManagerEndToEnd, SavePresetStoresTheEditBuffer)
{
    ASSERT_TRUE (connect());
    ASSERT_TRUE (manager->requestSetParam (106, 2, 777));
    ASSERT_TRUE (runUntil ([this] { return finished (setParam); }));
    ASSERT_TRUE (unit.isModified());

    manager->resetPresetList();
    EXPECT_FALSE (manager->requestSavePreset (4, 0)) << "the unit has 512 presets";
    EXPECT_FALSE (manager->requestSavePreset (0, 128));
    ASSERT_TRUE (manager->requestSavePreset (0, 40));
    ASSERT_TRUE (runUntil ([this] { return finished (savePreset); }));
    EXPECT_EQ (manager->getRequest (savePreset).getResult(), ZolStateMachine::resultCompleted);

    juce::uint16 stored = 0;
    auto slot = unit.getPreset (40);
    ASSERT_TRUE (slot.getParam (106, 2, stored));
    EXPECT_EQ (stored, 777);
    EXPECT_FALSE (unit.isModified());
    juce::String name;
    ASSERT_TRUE (manager->getPresetName (40, name));
    EXPECT_EQ (name, unit.getEditBuffer().name) << "preset_store_name";

    // Turned to another preset right after the save's answer, the unit names
    // that preset live: the location's own name is read back.
    auto buffer = unit.getEditBuffer();
    buffer.name = "Saved Twice";
    unit.setEditBuffer (buffer, true);
    unit.selectPresetAfterNextAnswerTo (SYSEX_SAVE_PATCH, 7);
    ASSERT_TRUE (manager->requestSavePreset (0, 41));
    ASSERT_TRUE (runUntil ([this] { return finished (savePreset); }));
    ASSERT_TRUE (manager->getPresetName (41, name));
    EXPECT_EQ (name, "Saved Twice");
}

TEST_P (PresetManagerBothWays, PastePresetSendsTheWholeDump)
{
    ASSERT_TRUE (connect());
    auto source = SimulatedPreset::makeFactory (77);
    source.name = "Pasted";
    unit.clearReceived();
    codes.clear();

    ASSERT_TRUE (manager->requestPastePreset (makePresetDumpFile (source), true));
    ASSERT_TRUE (runUntil ([this] { return idle(); }));

    EXPECT_EQ (manager->getRequest (pastePreset).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_EQ (unit.countReceived (SYSEX_PATCH_START), 1);
    EXPECT_EQ (unit.countReceived (SYSEX_PATCH_DATA), 64);
    EXPECT_EQ (unit.countReceived (SYSEX_PATCH_END), 1);
    EXPECT_EQ (unit.getEditBuffer().name, "Pasted");
    EXPECT_TRUE (sawCode (50));
    EXPECT_TRUE (sawCode (51));
    EXPECT_EQ (notices.count(), 0);
}

TEST_P (PresetManagerBothWays, ManagePresetMovesAPresetAndTheReportEndsTheWait)
{
    ASSERT_TRUE (connect());
    auto source = SimulatedPreset::makeFactory (3);
    source.setParam (106, 3, 4444);
    auto dump = makePresetDumpFile (source);
    juce::String name ("Moved Here");

    auto start = clock.nowMs();
    ASSERT_TRUE (manager->requestManagePreset (9, &dump, &name));
    ASSERT_TRUE (runUntil ([this] { return finished (managePreset); }));
    EXPECT_EQ (manager->getRequest (managePreset).getResult(), ZolStateMachine::resultCompleted);
    if (byHand())
    {
        EXPECT_LT (clock.nowMs() - start, 2000u) << "both waits ended by the unit's preset reports";
    }

    auto stored = unit.getPreset (9);
    EXPECT_EQ (stored.name.trim(), "Moved Here");
    juce::uint16 value = 0;
    ASSERT_TRUE (stored.getParam (106, 3, value));
    EXPECT_EQ (value, 4444);
    EXPECT_TRUE (sawCode (113));
    EXPECT_GE (manager->getDeferredPresetChanges(), 1u);
}

TEST_F (PresetManagerEndToEnd, DamagedPresetFileIsRefusedBeforeAnythingIsSent)
{
    ASSERT_TRUE (connect());
    const auto storedBefore = unit.getPreset (9).name;
    unit.clearReceived();
    codes.clear();

    // A dump cut off in its 21st message, and a whole one that lost its end.
    auto cutOff = loadHostileInput ("preset-cut-off.syx");
    ASSERT_GT (cutOff.getSize(), 0u);
    auto whole = makePresetDumpFile (SimulatedPreset::makeFactory (4));
    auto lastStart = whole.getSize() - 1;
    while (lastStart > 0 && whole[lastStart] != (char) 0xF0)
        --lastStart;
    juce::MemoryBlock noEnd (whole.getData(), lastStart);
    juce::String name ("Damaged");

    for (auto* data : { &cutOff, &noEnd })
    {
        notices.clear();
        EXPECT_FALSE (manager->requestPastePreset (*data, true));
        EXPECT_FALSE (manager->requestManagePreset (9, data, &name));
        EXPECT_FALSE (manager->requestImportPresetCabBundle (0, { *data }));

        ASSERT_EQ (notices.count(), 3);
        EXPECT_EQ (notices.get (0).title, "Paste Preset");
        EXPECT_EQ (notices.get (1).title, "Manage Preset");
        EXPECT_EQ (notices.get (2).title, "Import Preset-Cab Bundle");

        for (auto& message : notices.messages())
            EXPECT_EQ (message, PresetManager::damagedPresetText);
    }

    ASSERT_TRUE (runUntil ([this] { return idle(); }, 300));
    EXPECT_TRUE (unit.getReceived().isEmpty()) << "nothing reaches the unit";
    EXPECT_TRUE (codes.empty());
    EXPECT_EQ (unit.getPreset (9).name, storedBefore);
}

TEST_F (PresetManagerEndToEnd, RefusedTransferIsNeverSaved)
{
    ASSERT_TRUE (connect());
    auto before = unit.getPreset (9);
    auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (3));
    juce::String name ("Half Sent");
    unit.setErrorStatusFor (SYSEX_PATCH_DATA, SimulatedKestrel::resultBadChecksum);
    unit.clearReceived();
    codes.clear();

    ASSERT_TRUE (manager->requestManagePreset (9, &dump, &name));
    ASSERT_TRUE (runUntil ([this] { return finished (managePreset); }));

    EXPECT_EQ (manager->getRequest (managePreset).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_EQ (unit.countReceived (SYSEX_SET_NAME), 0);
    EXPECT_EQ (unit.countReceived (SYSEX_SAVE_PATCH), 0);
    EXPECT_EQ (unit.getPreset (9).name, before.name);
    EXPECT_TRUE (sawCode (1));
    EXPECT_FALSE (sawCode (113));
    // The librarian, which sends presets this way, tells the refusal itself.
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
    EXPECT_EQ (manager->getRequest (managePreset).writeStop.stop, WriteGuard::Stop::refused);
    EXPECT_EQ (manager->getRequest (managePreset).writeStop.refusal, SimulatedKestrel::resultBadChecksum);
}

TEST_F (PresetManagerEndToEnd, TransferLeftByAStoppedRunIsNoLaterRunsFailure)
{
    ASSERT_TRUE (connect());
    unit.setErrorStatusFor (SYSEX_PATCH_DATA, SimulatedKestrel::resultBadChecksum);

    // The paste is stopped while its transfer is under way; the transfer fails.
    auto& paste = manager->getRequest (pastePreset);
    ASSERT_TRUE (manager->requestPastePreset (makePresetDumpFile (SimulatedPreset::makeFactory (3)), false));
    ASSERT_TRUE (runUntil ([&] { return paste.getCurrentState() == stepPresetPasteCheck; }, 100));
    paste.stop (ZolStateMachine::resultCancelled);
    auto& sender = manager->getMultiMessageSender();
    ASSERT_TRUE (runUntil ([&] { return sender.getState() == SysExMultiMsgTimer::stateError; }, 100));
    unit.clearFaults();
    notices.clear();

    // A later import that has no cab to send is not blamed for it: it fails
    // for its own missing data only.
    ASSERT_TRUE (manager->requestImportUserCab (3, {}));
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (manager->getRequest (importUserCab).getResult(), ZolStateMachine::resultTimedOut);
    ASSERT_EQ (notices.count(), 1);
    EXPECT_EQ (notices.get (0).title, "Import Cab Ir");
    EXPECT_EQ (notices.lastMessage(), "Error: Unable to set destination cab slot for import operation.");
    EXPECT_EQ (unit.countReceived (SYSEX_CABIR_START), 0);
}

TEST_F (PresetManagerEndToEnd, IncompatibleFirmwareIsDetected)
{
    unit.setFirmware (5, 10);
    ASSERT_TRUE (runUntil ([this] { return link->isConnected(); }, 10));
    manager->getRequest (queryDeviceVersion).start();
    ASSERT_TRUE (runUntil ([this] { return finished (queryDeviceVersion); }));
    ASSERT_TRUE (manager->isFirmwareValid());
    EXPECT_FALSE (isFirmwareAtLeast (manager->getFirmware(), 6, 0));
}

TEST_F (PresetManagerEndToEnd, PresetChangedOnTheUnitLoadsIt)
{
    ASSERT_TRUE (connect());
    codes.clear();

    unit.selectPresetOnUnit (12);
    ASSERT_TRUE (runUntil ([this] { return sawCode (21) && idle(); }));
    EXPECT_EQ (manager->getCurrentPresetNumber(), 12);
    EXPECT_EQ (manager->getCurrentPresetName(), unit.getEditBuffer().name);
    EXPECT_TRUE (sawCode (20));

    // With the preset change hold set the report is only counted.
    manager->setPresetChangeHold (true);
    codes.clear();
    unit.selectPresetOnUnit (13);
    for (int i = 0; i < 50; ++i)
        tick();
    EXPECT_FALSE (sawCode (20));
    EXPECT_EQ (manager->getCurrentPresetNumber(), 12);
    EXPECT_EQ (manager->getDeferredPresetChanges(), 1u);
}

// Refresh Preset asks the unit which preset it plays: a report that was lost
// is made good; the number held found again reloads the preset and keeps
// what belongs to it here (the scene clipboard).
TEST_F (PresetManagerEndToEnd, RefreshAsksWhichPresetTheUnitPlays)
{
    ASSERT_TRUE (connect());
    SceneRecord copied;
    copied.sceneNumber = 3;
    manager->setSceneClipboard (copied);

    codes.clear();
    unit.clearReceived();
    ASSERT_TRUE (manager->requestRefreshPreset());
    ASSERT_TRUE (runUntil ([this] { return sawCode (21) && idle(); }));
    EXPECT_EQ (unit.countReceived (SYSEX_PATCHNUM), 1);
    EXPECT_EQ (manager->getSceneClipboard().sceneNumber, 3);

    unit.setSilent (true);
    unit.selectPresetOnUnit (13);
    unit.setSilent (false);
    codes.clear();
    ASSERT_TRUE (manager->requestRefreshPreset());
    ASSERT_TRUE (runUntil ([this] { return sawCode (21) && idle(); }));
    EXPECT_EQ (manager->getCurrentPresetNumber(), 13);
    EXPECT_EQ (manager->getCurrentPresetName(), unit.getEditBuffer().name);
    EXPECT_EQ (manager->getSceneClipboard().sceneNumber, -1) << "another preset: the clipboard is not its";
}

// A change the unit carried out without a word back leaves the number in
// doubt: the unit is asked at once, quietly, and what waits for the number
// learns whether it came.
TEST_F (PresetManagerEndToEnd, AnUnansweredChangeIsAskedAboutAndWhatWaitsIsTold)
{
    ASSERT_TRUE (connect());
    const auto before = manager->getCurrentPresetNumber();
    unit.setSilent (true);
    unit.clearReceived();
    ASSERT_TRUE (manager->requestChangePreset ((juce::uint16) (before + 3), false));
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (unit.getCurrentPresetNumber(), before + 3);
    EXPECT_TRUE (manager->isPresetNumberInDoubt());
    EXPECT_EQ (unit.countReceived (SYSEX_PATCHNUM), 3) << "asked three times";
    EXPECT_EQ (notices.count(), 1) << "the change's failure, told once";

    std::vector<bool> told;
    manager->whenPresetNumberConfirmed ([&told] (bool confirmed) { told.push_back (confirmed); });
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (told, std::vector<bool> { false });
    EXPECT_EQ (notices.count(), 1);

    unit.setSilent (false);
    manager->whenPresetNumberConfirmed ([&told] (bool confirmed) { told.push_back (confirmed); });
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (told, (std::vector<bool> { false, true }));
    EXPECT_EQ (manager->getCurrentPresetNumber(), before + 3);
    EXPECT_FALSE (manager->isPresetNumberInDoubt());

    // Two commands given before the answer (an export, then a save) both hear it.
    using Kind = PresetManager::PresetNumberAnswer::Kind;
    std::vector<Kind> answers;
    auto record = [&answers] (const PresetManager::PresetNumberAnswer& answer) { answers.push_back (answer.kind); };
    manager->checkPresetNumber (record);
    manager->checkPresetNumber (record);
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (answers, (std::vector<Kind> { Kind::same, Kind::same }));
}

TEST_F (PresetManagerEndToEnd, EditorDisconnectEndsCleanlyEvenUnanswered)
{
    ASSERT_TRUE (connect());
    manager->getRequest (editorDisconnect).start();
    ASSERT_TRUE (runUntil ([this] { return finished (editorDisconnect); }));
    EXPECT_EQ (manager->getRequest (editorDisconnect).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_TRUE (sawCode (123));

    unit.setSilentFor (SYSEX_EDITOR_DISCONNECT);
    unit.clearReceived();
    manager->getRequest (editorDisconnect).start();
    ASSERT_TRUE (runUntil ([this] { return finished (editorDisconnect); }));
    EXPECT_EQ (manager->getRequest (editorDisconnect).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_EQ (unit.countReceived (SYSEX_EDITOR_DISCONNECT), 3) << "three attempts, then the optional step is skipped";
    EXPECT_EQ (notices.count(), 0);
}

TEST_F (PresetManagerEndToEnd, RequiredStepTimesOutWithANamedAlert)
{
    ASSERT_TRUE (connect());
    unit.setSilentFor (SYSEX_CPU_LOAD);
    unit.clearReceived();
    codes.clear();

    ASSERT_TRUE (manager->requestBlockStates());
    ASSERT_TRUE (runUntil ([this] { return finished (queryBlockStates); }));
    EXPECT_EQ (manager->getRequest (queryBlockStates).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_EQ (unit.countReceived (SYSEX_CPU_LOAD), 3);
    EXPECT_EQ (unit.countReceived (SYSEX_QUERY_STATES), 0);
    ASSERT_EQ (notices.count(), 1);
    EXPECT_EQ (notices.get (0).title, "Kestrel-Edit");
    EXPECT_EQ (notices.lastMessage(), "Communication time-out:\n\nKestrel-Edit was unable to complete the following "
                                      "communication request: Query Block States : preset_query_cpu_usage");
    EXPECT_TRUE (sawCode (1));
    EXPECT_FALSE (sawCode (111));

    // Without the alert option: ends silently, no code 1.
    notices.clear();
    codes.clear();
    manager->getRequest (queryBlockStates).alertOnTimeOut = 0;
    ASSERT_TRUE (manager->requestBlockStates());
    ASSERT_TRUE (runUntil ([this] { return finished (queryBlockStates); }));
    EXPECT_EQ (manager->getRequest (queryBlockStates).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_EQ (notices.count(), 0);
    EXPECT_FALSE (sawCode (1));
}

// A request that muted the outputs and then times out turns them on again
// before it ends, timed out on the step that failed; so does one whose mute
// the unit never answered.
TEST_F (PresetManagerEndToEnd, ARequestThatMutedTheOutputsTurnsThemOnBeforeItEndsTimedOut)
{
    ASSERT_TRUE (connect());

    for (auto [function, unansweredStep] : { std::pair (SYSEX_PLACE_EFFECT, "effect_insert"),
                                             std::pair (SYSEX_MUTE, "mute_enable") })
    {
        SCOPED_TRACE (unansweredStep);
        unit.clearFaults();
        unit.setUnansweredFor (function);
        unit.clearReceived();
        notices.clear();
        codes.clear();

        ASSERT_TRUE (manager->requestSwapBlocks (0, 1));
        ASSERT_TRUE (runUntil ([this] { return finished (blockSwap); }));
        EXPECT_EQ (manager->getRequest (blockSwap).getResult(), ZolStateMachine::resultTimedOut);
        EXPECT_EQ (notices.lastMessage(), juce::String ("Communication time-out:\n\nKestrel-Edit was unable to complete the "
                                                        "following communication request: Block Swap : ")
                                              + unansweredStep);
        EXPECT_EQ (notices.count(), 1);
        EXPECT_TRUE (sawCode (1));
        EXPECT_FALSE (sawCode (41));
        EXPECT_EQ (unit.countReceived (SYSEX_CONNECT_EFFECT), 0);

        const auto received = unit.getReceived();
        ASSERT_FALSE (received.isEmpty());
        EXPECT_EQ (received.getLast().getRawData()[5], SYSEX_MUTE);
        EXPECT_EQ (received.getLast().getRawData()[6], 1) << "the outputs left muted";
    }
}

TEST_F (PresetManagerEndToEnd, ListEntryWhoseReplyWasLostIsSentAgain)
{
    ASSERT_TRUE (connect());
    unit.ignoreNextRequests (SYSEX_PARAM_SET, 1); // the first write is lost on its way
    unit.clearReceived();

    juce::Array<ParamWrite> writes;
    writes.add ({ 106, 5, 111, 1 });
    writes.add ({ 106, 6, 222, 1 });
    writes.add ({ 106, 7, 333, 1 });
    ASSERT_TRUE (manager->requestSetMultipleParams (writes));
    ASSERT_TRUE (runUntil ([this] { return finished (setMultipleParams); }));
    EXPECT_EQ (manager->getRequest (setMultipleParams).getResult(), ZolStateMachine::resultCompleted);

    for (auto& w : writes)
    {
        juce::uint16 value = 0;
        ASSERT_TRUE (unit.getParam (w.blockId, w.paramId, value));
        EXPECT_EQ (value, w.value) << "parameter " << w.paramId;
    }

    EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET), 4) << "the lost write once more, then the others";
}

TEST_F (PresetManagerEndToEnd, MovedBlockChangesTheGridOnBothSides)
{
    ASSERT_TRUE (connect());
    ASSERT_EQ (manager->getPresetGrid().getBlockIdAt (4), 108) << "the cab in row 0, column 1";

    ASSERT_TRUE (manager->requestMoveBlock (4, 0, 2)); // two columns towards the output
    ASSERT_TRUE (runUntil ([this] { return finished (moveBlock); }));
    EXPECT_EQ (manager->getRequest (moveBlock).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_EQ (unit.getEditBuffer().cells[12].blockId, 108);
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (12), 108) << "the grid read back after the move";
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (4), 0);

    // Down one row, then a move onto the amp, which the unit refuses.
    ASSERT_TRUE (manager->requestMoveBlock (12, 2, 1));
    ASSERT_TRUE (runUntil ([this] { return finished (moveBlock); }));
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (13), 108);
    ASSERT_TRUE (manager->requestMoveBlock (0, 2, 1));
    ASSERT_TRUE (runUntil ([this] { return finished (moveBlock); }));
    ASSERT_TRUE (manager->requestMoveBlock (13, 1, 3));
    ASSERT_TRUE (runUntil ([this] { return finished (moveBlock); }));
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (1), 106);
    EXPECT_EQ (manager->getPresetGrid().getBlockIdAt (13), 108);
}

TEST_F (PresetManagerEndToEnd, ValueTextsComeThroughTheLink)
{
    ASSERT_TRUE (connect());
    juce::String first, second;
    manager->getAmpNames (first, second);
    EXPECT_EQ (first, "Recto Red") << "the amp's type as the unit displays it";

    ASSERT_TRUE (manager->requestSetParam (106, 0, 5));
    ASSERT_TRUE (runUntil ([this] { return finished (setParam); }));
    manager->getAmpNames (first, second);
    EXPECT_EQ (first, "Jazz 120");

    ASSERT_TRUE (manager->requestParamDefinitions());
    ASSERT_TRUE (runUntil ([this] { return finished (queryParamDefinitions); }));
    EXPECT_EQ (manager->getRequest (queryParamDefinitions).getResult(), ZolStateMachine::resultCompleted);

    for (auto [blockId, paramId] : { std::pair (106, 0), std::pair (110, 0) })
    {
        auto* type = effects.findParamDefinition (blockId, paramId);
        ASSERT_NE (type, nullptr) << blockId;
        EXPECT_EQ (type->valueStrings, SimulatedPreset::getValueTexts (blockId, paramId)) << blockId;
        EXPECT_EQ (type->info.maximum, (float) (type->valueStrings.size() - 1)) << blockId;
    }

    // A level: no texts, 0 to 10 on the display.
    auto* plain = effects.findParamDefinition (106, 1);
    ASSERT_NE (plain, nullptr);
    EXPECT_TRUE (plain->valueStrings.isEmpty());
    EXPECT_EQ (plain->info.getKind(), B_LIN);
    EXPECT_EQ (plain->info.maximum * plain->info.displayMultiplier, 10.0f);
}

TEST_F (PresetManagerEndToEnd, BlankPaddedNamesArriveTrimmed)
{
    unit.setCabCounts (10, 20);
    unit.setCabName (30, "Scratch One");
    ASSERT_TRUE (connect());
    EXPECT_EQ (manager->getCurrentPresetName(), "Preset 0");

    manager->resetPresetList();
    ASSERT_TRUE (manager->requestPresetNames (0));
    ASSERT_TRUE (runUntil ([this] { return finished (refreshPresetNames); }));
    juce::String name;
    ASSERT_TRUE (manager->getPresetName (3, name));
    EXPECT_EQ (name, "Preset 3");

    ASSERT_TRUE (manager->requestCabNames (false, true, true));
    ASSERT_TRUE (runUntil ([this] { return finished (refreshCabNames); }));
    juce::StringArray names;
    juce::Array<juce::uint16> slots;
    juce::Array<juce::uint8> formats;
    manager->getCabNames (true, names, slots);
    ASSERT_EQ (names.size(), 20);
    EXPECT_EQ (names[0], "User Cab 1");
    EXPECT_EQ (names[2], "User Cab 3");
    names.clear();
    slots.clear();
    manager->getScratchpadCabs (names, slots, formats);
    ASSERT_EQ (names.size(), 4);
    EXPECT_EQ (names[0], "Scratch One");
}

TEST_F (PresetManagerEndToEnd, RestartedRequestDoesNotInheritItsOldStep)
{
    ASSERT_TRUE (connect());
    codes.clear();
    unit.setReplyDelayFor (SYSEX_SET_SCENE, 500);

    ASSERT_TRUE (manager->requestChangeScene (1));
    ASSERT_TRUE (runUntil ([this] { return unit.countReceived (SYSEX_SET_SCENE) > 0; }, 100));
    auto before = std::count (codes.begin(), codes.end(), 24);

    ASSERT_TRUE (manager->requestChangeScene (2)); // restarted while its scene change waits
    unit.clearFaults();
    ASSERT_TRUE (runUntil ([this] { return idle(); }));

    EXPECT_EQ (std::count (codes.begin(), codes.end(), 24), before + 1) << "the new run posts its own begin code";
    EXPECT_EQ (manager->getRequest (changeScene).getResult(), ZolStateMachine::resultCompleted);
    EXPECT_EQ (unit.getCurrentScene(), 2);
}

TEST_F (PresetManagerEndToEnd, PriorityHoldAndCodeGate)
{
    ASSERT_TRUE (connect());
    codes.clear();

    // Started in the same tick: the one earlier in the list goes first.
    ASSERT_TRUE (manager->requestSetTempo (140));
    manager->getRequest (muteOutputs).start();
    manager->getRequest (muteOutputs).muteValue = 1;
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    auto mute = std::find (codes.begin(), codes.end(), 121);
    auto tempo = std::find (codes.begin(), codes.end(), 92);
    ASSERT_NE (mute, codes.end());
    ASSERT_NE (tempo, codes.end());
    EXPECT_LT (mute - codes.begin(), tempo - codes.begin());

    // A request that is under way keeps going while held; a new one waits.
    codes.clear();
    ASSERT_TRUE (manager->requestBlockStates());
    tick();
    tick(); // step 0 has run; its begin code has been broadcast
    ticker->setPaused (true);
    ASSERT_TRUE (manager->requestSetTempo (150));
    for (int i = 0; i < 30; ++i)
        tick();
    EXPECT_FALSE (sawCode (92)) << "a new request waits while the link is held";
    EXPECT_TRUE (manager->getRequest (setTempo).isRunning());
    ticker->setPaused (false);
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_TRUE (sawCode (111));
    EXPECT_TRUE (sawCode (93));
}

TEST_F (PresetManagerEndToEnd, LinkGoingDownCancelsWithoutEndCodes)
{
    ASSERT_TRUE (connect());
    codes.clear();
    ASSERT_TRUE (manager->requestSavePreset (0, 3));
    ASSERT_TRUE (manager->requestBlockStates());
    tick();
    tick();

    link->closePorts();
    unit.vanish();

    for (int i = 0; i < 20; ++i)
        tick();

    EXPECT_TRUE (idle());
    auto r1 = manager->getRequest (savePreset).getResult();
    auto r2 = manager->getRequest (queryBlockStates).getResult();
    EXPECT_TRUE (r1 == ZolStateMachine::resultLinkClosed || r1 == ZolStateMachine::resultCancelled);
    EXPECT_TRUE (r2 == ZolStateMachine::resultLinkClosed || r2 == ZolStateMachine::resultCancelled);
    EXPECT_FALSE (sawCode (27));
    EXPECT_FALSE (sawCode (111));
}

//==============================================================================
// A lossy or dying unit: every request ends, completed or with a named time-out.
TEST_P (PresetManagerBothWays, OneReplyInTenLostNeverHangs)
{
    auto source = SimulatedPreset::makeFactory (2);
    source.setParam (106, 3, 4444);
    const auto before = unit.getPreset (20).toWords();

    // By hand the loss starts with the connection. On the real clock, where
    // every lost reply costs a whole time-out, it starts with the transfer.
    if (byHand())
        unit.dropEveryNthMessage (10);

    ASSERT_TRUE (runUntil ([this] { return link->isConnected(); }, 10));

    for (auto which : { queryDeviceVersion, initialization })
    {
        manager->getRequest (which).start();
        ASSERT_TRUE (runUntil ([this] { return idle(); })) << "never hangs";
    }

    if (! byHand())
        unit.dropEveryNthMessage (10);

    auto dump = makePresetDumpFile (source);
    juce::String name ("Lossy");
    ASSERT_TRUE (manager->requestManagePreset (20, &dump, &name));
    ASSERT_TRUE (runUntil ([this] { return idle(); })) << "never hangs";

    // Every request that ran completed, or timed out and said so by name.
    for (int i = 0; i < manager->getNumRequests(); ++i)
    {
        auto& request = *manager->getRequestAt (i);
        const auto result = request.getResult();
        EXPECT_TRUE (result == ZolStateMachine::resultIdle || result == ZolStateMachine::resultCompleted ||
                     result == ZolStateMachine::resultTimedOut)
            << request.name << " ended with " << result;

        if (result == ZolStateMachine::resultTimedOut && request.name != "Manage Preset")
        {
            EXPECT_TRUE (notices.messages().joinIntoString ("\n").contains ("request: " + request.name + " : "))
                << request.name;
        }
    }

    for (int i = 0; i < notices.count(); ++i)
        EXPECT_TRUE (notices.get (i).message.startsWith ("Communication time-out:") ||
                     notices.get (i).title == "Paste Preset")
            << notices.get (i).message;

    // The user's slot holds the whole new preset, or what it held before.
    const auto stored = unit.getPreset (20);

    if (manager->getRequest (managePreset).getResult() == ZolStateMachine::resultCompleted)
    {
        EXPECT_EQ (stored.name, "Lossy");
        juce::uint16 value = 0;
        EXPECT_TRUE (stored.getParam (106, 3, value));
        EXPECT_EQ (value, 4444);
    }
    else
    {
        ASSERT_EQ (manager->getRequest (managePreset).getResult(), ZolStateMachine::resultTimedOut);
        EXPECT_TRUE (sawCode (1));
        ASSERT_GT (notices.count(), 0);
        const auto last = notices.get (notices.count() - 1);
        EXPECT_TRUE (last.title == "Paste Preset" || last.message.contains ("request: Manage Preset : ")) << last.message;
        EXPECT_TRUE (stored.toWords() == before) << "the user's slot was not half-stored";
    }
}

TEST_P (PresetManagerBothWays, UnitGoingSilentMidTransferEndsWithANamedFailure)
{
    ASSERT_TRUE (connect());
    notices.clear();
    codes.clear();
    unit.goSilentAfterMessages (20);

    ASSERT_TRUE (manager->requestPastePreset (makePresetDumpFile (SimulatedPreset::makeFactory (4)), true));
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (manager->getRequest (pastePreset).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_TRUE (sawCode (1));
    EXPECT_FALSE (sawCode (51));
    ASSERT_EQ (notices.count(), 1);
    EXPECT_EQ (notices.get (0).title, "Paste Preset");

    // Everything after it times out by name too.
    ASSERT_TRUE (manager->requestSavePreset (0, 1));
    ASSERT_TRUE (runUntil ([this] { return idle(); }));
    EXPECT_EQ (manager->getRequest (savePreset).getResult(), ZolStateMachine::resultTimedOut);
    EXPECT_TRUE (notices.lastMessage().endsWith ("Save Preset : preset_save"));
}

//==============================================================================
// The link on its own thread and the real clock, as in the program.
TEST (PresetManagerRealThread, ConnectsAndSetsAParameter)
{
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend, unitName);
    RecordingNotifier notices;
    KestrelEffectManager effects;
    auto previousModel = currentSysExModel.load();

    {
        ZOLMidiProcessing link;
        PresetManager manager (&link, &effects, nullptr);
        manager.addSupportedModel ({ 8, 6, 0 });
        LinkTicker ticker (link, manager, nullptr);

        auto runUntil = [&] (const std::function<bool()>& done)
        {
            for (int i = 0; i < 30000 && ! done(); ++i)
            {
                ticker.tick();
                juce::Thread::sleep (1);
            }
            return done();
        };

        ASSERT_TRUE (runUntil ([&] { return ticker.isLinkUp(); }));
        manager.getRequest (queryDeviceVersion).start();
        ASSERT_TRUE (runUntil ([&] { return ! manager.getRequest (queryDeviceVersion).isRunning(); }));
        manager.getRequest (initialization).start();
        ASSERT_TRUE (runUntil (
            [&] {
                return ! manager.getRequest (initialization).isRunning() &&
                       manager.getRequest (loadPreset).getResult() == 2;
            }));
        EXPECT_TRUE (manager.isFirmwareValid());

        ASSERT_TRUE (manager.requestSetParam (106, 1, 2024));
        ASSERT_TRUE (runUntil ([&] { return ! manager.getRequest (setParam).isRunning(); }));
        juce::uint16 value = 0;
        unit.getParam (106, 1, value);
        EXPECT_EQ (value, 2024);
        EXPECT_EQ (notices.count(), 0);

        link.stopProcessing();
        manager.releaseLinkRequests();
    }

    currentSysExModel.store (previousModel);
}
