// Writes to the unit from the librarian's windows while the unit refuses
// them, falls silent or changes preset: nothing is stored over a slot the
// unit left, each write says how it ended, and the outputs are on at its end.
//
// Brak-Manage's send (a file sent to a slot; the unit recalls the slot, takes
// the pasted preset, saves it):
//   refused         ASendTheUnitRefusesLeavesOrTurnsUnderStoresOnlyWhatItSays (the recall, the paste's
//                   start, the save)
//   silent          ASend... (the recall, the save)
//   moved at start  LibrarianWindows.ASendOrRenameSavesNothingWhenTheUnitTurnsToAnotherPreset (right after
//                   the recall's answer); ASend... (turned as the recall reaches the unit: the recall
//                   takes it to the slot, no move)
//   moved middle    ASend... (right after the paste's start was answered)
//   moved at end    ASend... (as the save reaches the unit: the slot holds the preset turned to; right
//                   after the save's answer: the send is done)
// Brak-Manage's rename (the rename field; recall, rename, save):
//   refused         ARenameTheUnitRefusesLeavesOrTurnsUnderStoresOnlyWhatItSays (the recall, the
//                   rename, the save)
//   silent          LibrarianWindows.ANamesReadingThatTimesOutKeepsTheNamesShown (the recall);
//                   ARename... (the save)
//   moved at start  LibrarianWindows.ASendOrRename... (right after the recall's answer); ARename...
//                   (as the recall reaches the unit: no move)
//   moved middle    LibrarianWindows.ASendOrRename... (right after the rename's answer); ARename... (as
//                   the rename reaches the unit, which renames the preset turned to)
//   moved at end    LibrarianWindows.ASendOrRename... (as the save reaches the unit); ARename... (right
//                   after the save's answer: done)
// The raw preset dialog's Copy X to Y (two presets queued; the outputs are
// muted for the whole job):
//   refused         ACopyXToYTheUnitRefusesLeavesOrTurnsUnderStopsAndTurnsTheOutputsOn (a parameter of
//                   Y, the save; a scene set, the run before having met a reload; the readings of the
//                   name, the states, the amp's and the last block's parameters: asked once)
//   silent          ACopy... (the save)
//   moved at start  ACopy... (right after the recall's answer; as the recall reaches the unit: no move)
//   moved middle    ACopy... (right after a parameter of Y was answered)
//   moved at end    ACopy... (as the save reaches the unit; right after the save's answer: done; its
//                   own slot reported before the save's answer: done)
//   scene changed   ACopy... (right after the first scene set, after the first X/Y write; as the save
//                   is answered; right after the save's answer: done); a states report in the job's
//                   scene: done as undisturbed
//   reloaded        ACopy... (the slot reselected on the unit after the first scene set; reselected
//                   in the scene it stores, after the recall's own report trailed the first write)
// The raw preset dialog's import of ".dat" records (two records):
//   refused         AnImportTheUnitRefusesLeavesOrTurnsUnderStopsWhereItIs (a block's placement, the
//                   grid's reading, the save)
//   silent          AnImport... (the save)
//   moved at start  AnImport... (right after the recall's answer; as the recall reaches the unit: no
//                   move)
//   moved middle    AnImport... (right after the rename was answered)
//   moved at end    AnImport... (as the save reaches the unit; right after the save's answer: done; its
//                   own slot reported before the save's answer: done)
//   scene changed   AnImport... (right after the first scene set)
//   reloaded        AnImport... (the slot reselected after the rename, after the first scene set)
// The raw preset dialog's export to ".dat" (one preset; no file for a preset
// not read whole from its own slot and scene):
//   refused         AnExport... (the readings of the name, the states, the amp's parameters, the
//                   modifiers' settings and the last modifier: asked once)
//   scene changed   AnExport... (right after the first scene set; as the last reading is answered);
//                   a states report in the job's scene: the file as undisturbed
//   reloaded        AnExport... (the slot reselected after the first scene set)
// The raw preset dialog's export of blocks to ".blk":
//   refused         ABlocksExportTheUnitRefusesAReadingOfWritesNoFileOfThatBlock (the amp's
//                   parameters, its modifiers)

#include "device/wire/SysExFraming.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExParsers.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "support/FastTicks.h"
#include "support/LibrarianRoad.h"
#include "support/PresetDumpFile.h"
#include "support/RawPresetJobsInProgram.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <vector>

using namespace librarianRoad;

namespace
{
// Runs the action right after the unit has answered the nth request of the
// function from now on (1: the next one), or, asItAnswers, just before that
// answer: what the action sends then reaches the program first.
void onNthAnswerTo (SimulatedKestrel& unit, int function, int nth, std::function<void()> action,
                    bool asItAnswers = false)
{
    if (nth > 1)
        unit.actAfterNextAnswerTo (function, [&unit, function, nth, action, asItAnswers]
                                   { onNthAnswerTo (unit, function, nth - 1, action, asItAnswers); });
    else if (asItAnswers)
        unit.actPartWayThroughNextAnswerTo (function, 0, std::move (action));
    else
        unit.actAfterNextAnswerTo (function, std::move (action));
}

// What the unit meets, at the first request of one function (or the nth).
struct Staged
{
    enum How
    {
        refuses,                // answers with an error status and does nothing (only for `block`, when given)
        isSilentAt,             // never answers it nor any retry
        turnsAfter,             // the user turns to another preset right after the answer
        turnsAsItComes,         // the user turns to another preset just as the request reaches the unit
        scenesAfter,            // the user selects another scene right after the answer
        scenesAsItAnswers,      // the user selects another scene as the unit answers the nth request
        statesAfter,            // the unit reports its states (a block switched on it), its scene kept
        reloadsAfter,           // the user selects the job's own slot again right after the answer
        reloadsAgainAfter,      // the recall's own report trails the first scene set, and the user
                                // selects the slot again right after the nth answer
        reportsSlotBeforeAnswer // the unit reports the preset it plays before its answer, as after a save
    } how;
    int function;
    int block = -1; // refuses: the block (or modifier) whose requests are refused
    int nth = 1;

    static constexpr int sceneTurnedTo = 5;

    void on (SimulatedKestrel& unit, int turnedTo, int own = -1) const
    {
        auto toScene = [&unit] { unit.selectSceneOnUnit (sceneTurnedTo); };
        switch (how)
        {
            case refuses:
                if (block < 0)
                    unit.setErrorStatusFor (function, SimulatedKestrel::resultBadValue);
                else
                    unit.setErrorStatusForBlock (function, block, SimulatedKestrel::resultBadValue);
                break;
            case isSilentAt: unit.setSilentFor (function); break;
            case turnsAfter: unit.selectPresetAfterNextAnswerTo (function, turnedTo); break;
            case turnsAsItComes: unit.selectPresetOnNextRequestOf (function, turnedTo); break;
            case scenesAfter: unit.actAfterNextAnswerTo (function, toScene); break;
            case scenesAsItAnswers: onNthAnswerTo (unit, function, nth, toScene, true); break;
            case statesAfter: unit.actAfterNextAnswerTo (function, [&unit] { unit.sendStatesChanged(); }); break;
            case reloadsAfter: unit.selectPresetAfterNextAnswerTo (function, own); break;
            case reloadsAgainAfter:
                unit.setPresetNumberAfterLoad (false);
                unit.actAfterNextAnswerTo (SYSEX_SET_SCENE, [&unit] { unit.sendPresetNumber(); });
                onNthAnswerTo (unit, function, nth, [&unit, own] { unit.selectPresetOnUnit (own); });
                break;
            case reportsSlotBeforeAnswer: unit.reportPresetBeforeNextAnswerTo (function); break;
        }
    }

    // A turn as the recall comes is undone by the recall; a turn or a scene
    // selected after the save's answer comes after the last write, and the
    // save's own slot reported before its answer is the save's; a states
    // report in the job's own scene changes nothing.
    bool leavesTheWriteDone() const
    {
        return (how == turnsAsItComes && function == SYSEX_RECALL_PATCH) ||
               ((how == turnsAfter || how == scenesAfter || how == reportsSlotBeforeAnswer) &&
                function == SYSEX_SAVE_PATCH) ||
               how == statesAfter;
    }

    bool storesTheTurnedTo() const { return how == turnsAsItComes && function == SYSEX_SAVE_PATCH; }

    // Another scene reported as the save's answer came: the unit saved there.
    bool savedInTheSceneTurnedTo() const { return how == scenesAsItAnswers && function == SYSEX_SAVE_PATCH; }

    // How many requests the unit got that the refusal was for.
    int countRefused (const SimulatedKestrel& unit) const
    {
        int count = 0;
        for (auto& message : unit.getReceived())
            if (message.getRawDataSize() > sysExFunctionOffset &&
                message.getRawData()[sysExFunctionOffset] == function &&
                (block < 0 || (int) readSysExField (message, singleWordLayout, 0) == block))
                ++count;
        return count;
    }

    juce::String describe() const
    {
        static const char* hows[] = { "refuses",
                                      "is silent at",
                                      "turns after the answer to",
                                      "turns as it gets",
                                      "changes scene after",
                                      "changes scene as it answers",
                                      "reports its states after",
                                      "reloads the slot after",
                                      "reports its recall late, then reloads the slot after",
                                      "reports its slot before it answers" };
        return juce::String (hows[how]) + " " + getNameForId (SysExFunctionNames, (juce::uint32) function) +
               (block >= 0 ? " of " + juce::String (block) : juce::String()) +
               (nth > 1 ? " #" + juce::String (nth) : juce::String());
    }
};

// The values of the SYSEX_MUTE messages the unit received, in order: 0 mutes.
juce::String muteValues (const SimulatedKestrel& unit)
{
    juce::StringArray values;
    for (auto& message : unit.getReceived())
        if (message.getRawDataSize() > sysExFunctionOffset + 1 &&
            message.getRawData()[sysExFunctionOffset] == SYSEX_MUTE)
            values.add (juce::String (message.getRawData()[sysExFunctionOffset + 1]));
    return values.joinIntoString (" ");
}

// The showcase on slot 3, the librarian's windows as the user reaches them,
// and a clock that lets the program through what it can only wait out.
class LibrarianWritesUnderTheUnit : public RawPresetJobsInProgram
{
protected:
    static constexpr int turnedTo = 6;
    std::unique_ptr<FastTicks> ticks;

    void SetUp() override
    {
        RawPresetJobsInProgram::SetUp();
        if (HasFatalFailure())
            return;
        clock.skipTimeOutsOf (program.unit);
        ticks = std::make_unique<FastTicks> (*program.window);
    }

    // Puts the unit back as each case finds it: no faults, the slots as
    // they were, preset 0 playing unedited, the window following it.
    void putBack (const std::vector<std::pair<int, SimulatedPreset>>& slots)
    {
        program.unit.clearFaults();
        program.unit.setPresetNumberAfterLoad (true);
        for (auto& [number, preset] : slots)
            program.unit.setPreset (number, preset);
        program.unit.selectPresetOnUnit (0);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.presets->getCurrentPresetNumber() == 0; }));
        ASSERT_TRUE (program.settle());
        program.unit.clearReceived();
    }

    // Start, and Yes to each question it asks, until the job ends.
    ::testing::AssertionResult runJob (RawPresetThreadDlg& dialog)
    {
        auto asked = program.notices.count();
        auto clicked = click (dialog, "Start");
        if (! clicked)
            return clicked;
        while (asked < program.notices.count())
        {
            program.notices.answer (asked++, 1);
            pumpPostedMessages();
        }
        if (! runToEnd (dialog) || ! program.settle())
            return ::testing::AssertionFailure() << "the job did not end";
        return ::testing::AssertionSuccess();
    }

    // "<< Send" of the file to the slot, or the slot renamed in its field,
    // until the librarian is done; the boxes it showed (not the send's question).
    ::testing::AssertionResult sendOrRename (BankManagerListContent& librarian, bool send, int target,
                                             const juce::String& name, juce::StringArray& told)
    {
        const int before = program.notices.count();
        if (send)
        {
            auto* file = findLibrarianCell (librarian, 1, 1);
            auto* cell = findLibrarianCell (librarian, 0, target + 1);
            if (file == nullptr || cell == nullptr || ! clickBackToBack (*file) || ! clickBackToBack (*cell) ||
                ! pumpPostedMessages() || ! click (librarian, "<< Send Presets\nto Kestrel") ||
                program.notices.count() != before + 1)
                return ::testing::AssertionFailure() << "no send asked for";
            program.notices.answer (before, 1);
        }
        else
        {
            if (openRenameField (program, librarian, target) == nullptr)
                return ::testing::AssertionFailure() << "no rename field";
            typeText (*program.window, name);
            pressKey (*program.window, juce::KeyPress::returnKey);
        }
        if (! pumpMessagesUntil ([&] { return program.unit.countReceived (SYSEX_RECALL_PATCH) > 0; }) ||
            ! pumpMessagesUntil ([&] { return ! librarian.isSending(); }, 120000) || ! program.settle() ||
            ! pumpPostedMessages())
            return ::testing::AssertionFailure() << "the librarian sent nothing, or did not end";
        told = program.notices.messages();
        told.removeRange (0, before + (send ? 1 : 0));
        return ::testing::AssertionSuccess();
    }

    // Each case of the send or the rename of slot 5, staged, then what the
    // unit stores, the librarian's status and boxes, and the outputs.
    void sendOrRenameUnder (bool send, const std::vector<Staged>& cases)
    {
        constexpr int target = 5;
        const auto file = program.scratch.folder.getChildFile ("Incoming.syx");
        auto incoming = SimulatedPreset::makeFactory (9);
        incoming.name = "Incoming";
        const auto dump = makePresetDumpFile (incoming);
        ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize()));

        auto* librarian = openPresetLibrarian (program);
        ASSERT_NE (librarian, nullptr);
        if (send)
        {
            ScriptedInteraction chooser;
            chooser.answerWithFile (file);
            ASSERT_TRUE (click (*librarian, "Add Files..."));
            ASSERT_EQ (librarian->getNumDiskEntries(), 1);
        }

        const auto kept = program.unit.getPreset (target), other = program.unit.getPreset (turnedTo);
        const auto summary = juce::String (send ? "Sent to the Kestrel: " : "Renamed on the Kestrel: ");
        const auto notDone = summary + "0, " + (send ? "not sent: 1" : "not renamed: 1");
        const auto timedOut = juce::String ("Communication time-out:");

        for (const auto& c : cases)
        {
            SCOPED_TRACE ((send ? "send: the unit " : "rename: the unit ") + c.describe());
            // A name of its own each time: the list shows the last one typed.
            const auto name = send ? juce::String ("Incoming") : "Renamed " + juce::String ((int) (&c - cases.data()));
            ASSERT_NO_FATAL_FAILURE (putBack ({ { target, kept }, { turnedTo, other } }));
            c.on (program.unit, turnedTo);
            juce::StringArray told;
            ASSERT_TRUE (sendOrRename (*librarian, send, target, name, told));
            const auto stored = program.unit.getPreset (target);

            if (c.leavesTheWriteDone())
            {
                EXPECT_EQ (stored.name.trim(), name);
                if (send)
                {
                    EXPECT_TRUE (stored.toWords() == incoming.toWords()) << "the preset sent is stored";
                }
                EXPECT_EQ (librarian->getStatusText(), summary + "1");
                EXPECT_EQ (told.joinIntoString ("\n--\n"), "");
            }
            else if (c.storesTheTurnedTo())
            {
                EXPECT_TRUE (stored.toWords() == other.toWords()) << stored.name;
                EXPECT_EQ (librarian->getStatusText(),
                           "The Kestrel changed to " + slotName (turnedTo) + " as the save went out. " + notDone);
                // The preset manager's box names presets as the window does.
                EXPECT_EQ (told.joinIntoString ("\n--\n"),
                           "The Kestrel changed to 1-7 \"Preset 6\" as the save went out: 1-6 now holds \"Preset 6\"; "
                           "the edit was not saved.");
            }
            else
            {
                EXPECT_TRUE (stored.toWords() == kept.toWords()) << stored.name;
                const auto leftAsItWas = ": preset " + slotName (target) + " was left as it was.\n" + notDone + ".";
                if (c.how == Staged::refuses)
                {
                    EXPECT_EQ (told.joinIntoString ("\n--\n"), "The Kestrel refused \"" + name + "\" for preset " +
                                                                   slotName (target) + " (error 1)" + leftAsItWas);
                    EXPECT_EQ (librarian->getStatusText(), notDone);
                }
                else if (c.how == Staged::isSilentAt)
                {
                    EXPECT_EQ (librarian->getStatusText(), "The Kestrel did not answer. " + notDone);
                    EXPECT_FALSE (told.isEmpty());
                    for (auto& box : told)
                        EXPECT_TRUE (box.startsWith (timedOut)) << box;
                }
                else
                {
                    EXPECT_EQ (told.joinIntoString ("\n--\n"), "The Kestrel changed to " + slotName (turnedTo) +
                                                                   " \"Preset 6\" before \"" + name + "\" was saved" +
                                                                   leftAsItWas);
                    EXPECT_EQ (program.unit.countReceived (SYSEX_SAVE_PATCH), 0);
                }
            }
            EXPECT_TRUE (program.unit.getPreset (turnedTo).toWords() == other.toWords())
                << "the preset turned to was stored";
            EXPECT_EQ (muteValues (program.unit), "");
            EXPECT_FALSE (program.unit.areOutputsMuted());
        }
    }

    // The dialog's row of the first item, as it reads when the unit turned
    // under it.
    juce::String turnedRow (const juce::String& item, int slotNumber, bool asSaved)
    {
        return item + "  -  Failed: The Kestrel changed to " + slotName (turnedTo) + " \"Preset 6\"" +
               (asSaved ? " as it was saved: " + slotName (slotNumber) + " now holds that preset"
                        : " before it was saved: " + slotName (slotNumber) + " was left as it was");
    }

    // Each case of a raw preset job on two slots from `first` on, staged:
    // what the rows say (the second one untouched once the first failed),
    // what the slots hold (every scene of them: a job done stores exactly
    // what it stores undisturbed), and the outputs, on at the end after the
    // mutes expected.
    void jobUnder (RawPresetThreadDlg& dialog, int first, const std::vector<Staged>& cases,
                   const std::function<juce::String (int)>& itemText,
                   const std::function<bool (const SimulatedPreset&)>& done, const juce::String& mutes)
    {
        const auto kept = program.unit.getPreset (first), other = program.unit.getPreset (turnedTo);
        const auto keptNext = program.unit.getPreset (first + 1);
        const auto what = dialog.getMode() == RawPresetThreadDlg::copyXToYMode ? juce::String ("X copied to Y: ")
                                                                               : juce::String ("Imported: ");
        const auto presets = dialog.getMode() == RawPresetThreadDlg::copyXToYMode ? " presets" : "";
        ASSERT_EQ (dialog.getNumItems(), 2);

        ASSERT_NO_FATAL_FAILURE (putBack ({}));
        ASSERT_TRUE (runJob (dialog));
        ASSERT_EQ (dialog.getStatusText(), what + "2 of 2" + presets);
        const auto undisturbed = program.unit.getPreset (first);
        ASSERT_TRUE (done (undisturbed));

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.describe());
            ASSERT_NO_FATAL_FAILURE (putBack ({ { first, kept }, { first + 1, keptNext }, { turnedTo, other } }));
            c.on (program.unit, turnedTo, first);
            ASSERT_TRUE (runJob (dialog));
            const auto stored = program.unit.getPreset (first);

            if (c.leavesTheWriteDone())
            {
                EXPECT_EQ (dialog.getStatusText(), what + "2 of 2" + presets);
                EXPECT_TRUE (done (stored)) << stored.name;
                EXPECT_TRUE (stored.toWords() == undisturbed.toWords()) << "stored otherwise than undisturbed";
            }
            else
            {
                auto row = itemText (first) + "  -  Failed: ";
                const auto leftAsItWas = " before it was saved: " + slotName (first) + " was left as it was";
                const auto scene = "Scene " + juce::String (Staged::sceneTurnedTo + 1);
                if (c.how == Staged::refuses)
                    row << "The unit refused it (error 1).";
                else if (c.how == Staged::isSilentAt)
                    row << RawPresetThread::stoppedAnsweringText;
                else if (c.savedInTheSceneTurnedTo())
                    row << "The Kestrel changed to " << scene << " as it was saved: " << slotName (first)
                        << " was saved in " << scene;
                else if (c.how == Staged::scenesAfter || c.how == Staged::scenesAsItAnswers)
                    row << "The Kestrel changed to " << scene << leftAsItWas;
                else if (c.how == Staged::reloadsAfter || c.how == Staged::reloadsAgainAfter)
                    row << "The Kestrel reloaded " << slotName (first) << " \"" << kept.name.trim() << "\"" << leftAsItWas;
                else
                    row = turnedRow (itemText (first), first, c.storesTheTurnedTo());
                EXPECT_EQ (dialog.getItemText (0), row);
                EXPECT_EQ (dialog.getItemText (1), itemText (first + 1)) << "the job went on";
                EXPECT_EQ (dialog.getStatusText(), what + "0 of 2" + presets + ", failed: 1");
                // Saved as the scene changed, the slot holds what the unit saved.
                const auto& expected = c.storesTheTurnedTo() ? other : c.savedInTheSceneTurnedTo() ? undisturbed : kept;
                EXPECT_TRUE (stored.toWords() == expected.toWords()) << stored.name;
                EXPECT_TRUE (program.unit.getPreset (first + 1).toWords() == keptNext.toWords());
                if (! c.storesTheTurnedTo())
                {
                    EXPECT_EQ (program.unit.countReceived (SYSEX_SAVE_PATCH), c.function == SYSEX_SAVE_PATCH ? 1 : 0);
                }
                if (c.how == Staged::refuses)
                {
                    EXPECT_EQ (c.countRefused (program.unit), 1) << "asked again after the refusal";
                }
            }
            EXPECT_TRUE (program.unit.getPreset (turnedTo).toWords() == other.toWords())
                << "the preset turned to was stored";
            EXPECT_EQ (muteValues (program.unit), mutes);
            EXPECT_FALSE (program.unit.areOutputsMuted());
        }
    }
};

// A file sent from Brak-Manage to slot 005 while the unit refuses, falls
// silent or is turned to 006 on the way: the slot holds the file's preset
// only when the send says it was sent, keeps what it held when the send
// says so, and holds 006 when the unit saved it there as the save went out.
TEST_F (LibrarianWritesUnderTheUnit, ASendTheUnitRefusesLeavesOrTurnsUnderStoresOnlyWhatItSays)
{
    KESTREL_REQUIRE_DISPLAY();
    sendOrRenameUnder (true, { { Staged::refuses, SYSEX_RECALL_PATCH },
                               { Staged::refuses, SYSEX_PATCH_START },
                               { Staged::refuses, SYSEX_SAVE_PATCH },
                               { Staged::isSilentAt, SYSEX_RECALL_PATCH },
                               { Staged::isSilentAt, SYSEX_SAVE_PATCH },
                               { Staged::turnsAsItComes, SYSEX_RECALL_PATCH },
                               { Staged::turnsAfter, SYSEX_PATCH_START },
                               { Staged::turnsAsItComes, SYSEX_SAVE_PATCH },
                               { Staged::turnsAfter, SYSEX_SAVE_PATCH } });
}

// The same for a rename typed into slot 005's field.
TEST_F (LibrarianWritesUnderTheUnit, ARenameTheUnitRefusesLeavesOrTurnsUnderStoresOnlyWhatItSays)
{
    KESTREL_REQUIRE_DISPLAY();
    sendOrRenameUnder (false, { { Staged::refuses, SYSEX_RECALL_PATCH },
                                { Staged::refuses, SYSEX_SET_NAME },
                                { Staged::refuses, SYSEX_SAVE_PATCH },
                                { Staged::isSilentAt, SYSEX_SAVE_PATCH },
                                { Staged::turnsAsItComes, SYSEX_RECALL_PATCH },
                                { Staged::turnsAsItComes, SYSEX_SET_NAME },
                                { Staged::turnsAfter, SYSEX_SAVE_PATCH } });
}

// Copy X to Y on the showcase (003) and 004: a refusal, a silence or a turn
// to 006 stops the job at the first preset, which keeps what it held (or
// holds 006, saved there as the save went out); the second is not touched.
// The outputs are muted once and on again at the end, whatever happened.
TEST_F (LibrarianWritesUnderTheUnit, ACopyXToYTheUnitRefusesLeavesOrTurnsUnderStopsAndTurnsTheOutputsOn)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    ASSERT_TRUE (addRange (*dialog, slot, slot + 1));
    ASSERT_TRUE (click (*dialog, "Copy X to Y"));

    // Copied, the amp's Y settings are its X settings.
    const auto copied = [this] (const SimulatedPreset& stored)
    { return stored.findBlock (ampBlock)->values[1] == showcase.findBlock (ampBlock)->values[0]; };

    const juce::String names[] = { "Rich Tone", "Preset 4" };
    jobUnder (
        *dialog, slot,
        { { Staged::refuses, SYSEX_PARAM_SET },
          { Staged::refuses, SYSEX_SAVE_PATCH },
          { Staged::isSilentAt, SYSEX_SAVE_PATCH },
          { Staged::turnsAfter, SYSEX_RECALL_PATCH },
          { Staged::turnsAsItComes, SYSEX_RECALL_PATCH },
          { Staged::turnsAfter, SYSEX_PARAM_SET },
          { Staged::turnsAsItComes, SYSEX_SAVE_PATCH },
          { Staged::turnsAfter, SYSEX_SAVE_PATCH },
          { Staged::scenesAfter, SYSEX_SET_SCENE },
          { Staged::scenesAfter, SYSEX_XY },
          { Staged::scenesAfter, SYSEX_SAVE_PATCH },
          { Staged::reloadsAfter, SYSEX_SET_SCENE },
          { Staged::statesAfter, SYSEX_SET_SCENE },
          { Staged::refuses, SYSEX_SET_SCENE },
          { Staged::refuses, SYSEX_QUERY_NAME_BY_NUM },
          { Staged::refuses, SYSEX_QUERY_STATES },
          { Staged::refuses, SYSEX_PARAM_DUMP, ampBlock },
          { Staged::refuses, SYSEX_PARAM_DUMP, blockIdControllers },
          { Staged::reportsSlotBeforeAnswer, SYSEX_SAVE_PATCH },
          { Staged::scenesAsItAnswers, SYSEX_SAVE_PATCH },
          { Staged::reloadsAgainAfter, SYSEX_QUERY_STATES, -1, 3 } },
        [&] (int number) { return slotName (number) + " " + names[number - slot]; }, copied, "0 1");
}

// The showcase (003) exported to ".dat" while the user selects Scene 6 or
// reselects 003 on the unit once the export has set its first scene: no file
// is written and the row says why; so too when the scene changes as its last
// reading is answered, or when the unit refuses a reading (asked once). A
// states report that keeps the scene costs a question only: the file holds
// what an undisturbed export writes.
TEST_F (LibrarianWritesUnderTheUnit, AnExportTheUnitChangesSceneUnderWritesNoFileOfAnotherScene)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    const auto fileName = slotName (slot) + "_Rich Tone.dat";
    const auto undisturbed = program.scratch.folder.getChildFile ("undisturbed");
    ASSERT_TRUE (chooseFolder (*dialog, undisturbed));
    ASSERT_TRUE (runJob (*dialog));
    juce::MemoryBlock expected;
    ASSERT_TRUE (undisturbed.getChildFile (fileName).loadFileAsData (expected));

    const auto whileRead = " while it was read: no file was written for it";
    const juce::String refused = "The unit refused it (error 1).";
    const struct
    {
        Staged staged;
        juce::String failure; // empty: exported
    } cases[] = {
        { { Staged::scenesAfter, SYSEX_SET_SCENE }, "The Kestrel changed to Scene 6" + juce::String (whileRead) },
        { { Staged::reloadsAfter, SYSEX_SET_SCENE },
          "The Kestrel reloaded " + slotName (slot) + " \"Rich Tone\"" + whileRead },
        { { Staged::statesAfter, SYSEX_SET_SCENE }, {} },
        // The last answer read, of the last modifier.
        { { Staged::scenesAsItAnswers, SYSEX_GET_MODIFIER_INFO, -1, 16 },
          "The Kestrel changed to Scene 6" + juce::String (whileRead) },
        { { Staged::refuses, SYSEX_QUERY_NAME_BY_NUM }, refused },
        { { Staged::refuses, SYSEX_QUERY_STATES }, refused },
        { { Staged::refuses, SYSEX_PARAM_DUMP, ampBlock }, refused },
        { { Staged::refuses, SYSEX_MODIFIER_SET }, refused },
        { { Staged::refuses, SYSEX_GET_MODIFIER_INFO, 115 }, refused },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.staged.describe());
        const auto folder = program.scratch.folder.getChildFile ("export " + juce::String ((int) (&c - cases)));
        ASSERT_TRUE (chooseFolder (*dialog, folder));
        ASSERT_NO_FATAL_FAILURE (putBack ({}));
        c.staged.on (program.unit, turnedTo, slot);
        ASSERT_TRUE (runJob (*dialog));
        juce::MemoryBlock written;
        if (c.failure.isEmpty())
        {
            EXPECT_EQ (dialog->getStatusText(), juce::String ("Exported: 1 of 1"));
            ASSERT_TRUE (folder.getChildFile (fileName).loadFileAsData (written));
            EXPECT_TRUE (written == expected) << "written otherwise than undisturbed";
        }
        else
        {
            EXPECT_EQ (dialog->getItemText (0), slotName (slot) + " Rich Tone  -  Failed: " + c.failure);
            EXPECT_EQ (dialog->getStatusText(), juce::String ("Exported: 0 of 1, failed: 1"));
            EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false, "*").size(), 0);
            if (c.staged.how == Staged::refuses)
            {
                EXPECT_EQ (c.staged.countRefused (program.unit), 1) << "asked again after the refusal";
            }
        }
        EXPECT_EQ (muteValues (program.unit), "");
        EXPECT_FALSE (program.unit.areOutputsMuted());
    }
}

// The showcase's blocks exported to ".blk" while the unit refuses to read
// the amp, or its modifiers: the amp gets no file, and the row and the count
// say why; the reading is not asked again.
TEST_F (LibrarianWritesUnderTheUnit, ABlocksExportTheUnitRefusesAReadingOfWritesNoFileOfThatBlock)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    ASSERT_TRUE (click (*dialog, "Blocks to .blk"));

    for (const Staged c : { Staged{ Staged::refuses, SYSEX_GET_ALL_PARAMS, ampBlock },
                            Staged{ Staged::refuses, SYSEX_MODIFIER_DUMP, ampBlock } })
    {
        SCOPED_TRACE (c.describe());
        const auto folder = program.scratch.folder.getChildFile ("blocks " + juce::String (c.function));
        ASSERT_TRUE (chooseFolder (*dialog, folder));
        ASSERT_NO_FATAL_FAILURE (putBack ({}));
        c.on (program.unit, turnedTo, slot);
        ASSERT_TRUE (runJob (*dialog));
        EXPECT_EQ (dialog->getItemText (0), slotName (slot) + " Rich Tone  -  Failed: The unit refused it (error 1).");
        EXPECT_EQ (dialog->getStatusText(), juce::String ("Blocks exported: 0 of 1 presets, failed: 1"));
        EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, true, "*Amp.blk").size(), 0);
        EXPECT_EQ (c.countRefused (program.unit), 1) << "asked again after the refusal";
        EXPECT_FALSE (program.unit.areOutputsMuted());
    }
}

// ".dat" records of the showcase imported into 010 and 011: a refusal, a
// silence or a turn to 006 stops the import at 010, which keeps what it held
// (or holds 006, saved there as the save went out); 011 is not touched.
TEST_F (LibrarianWritesUnderTheUnit, AnImportTheUnitRefusesLeavesOrTurnsUnderStopsWhereItIs)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    const auto folder = program.scratch.folder.getChildFile ("records");
    ASSERT_TRUE (chooseFolder (*dialog, folder));
    ASSERT_TRUE (runJob (*dialog));
    const auto record = folder.getChildFile (slotName (slot) + "_Rich Tone.dat");
    const auto again = folder.getChildFile ("Again.dat");
    ASSERT_TRUE (record.copyFileTo (again));
    ASSERT_TRUE (click (*dialog, "Close"));

    constexpr int target = 10;
    auto* librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
    ASSERT_TRUE (clickBackToBack (*findLibrarianCell (*librarian, 0, target + 1)));
    ASSERT_TRUE (pumpPostedMessages());
    ASSERT_TRUE (click (*librarian, "Import..."));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->isVisible(); }));
    ScriptedInteraction chooser;
    chooser.answerWithFiles ({ record, again });
    ASSERT_TRUE (click (*dialog, "Add Files..."));

    const auto imported = [this] (const SimulatedPreset& stored)
    {
        return stored.name.trim() == "Rich Tone" && stored.findBlock (ampBlock) != nullptr &&
               stored.findBlock (ampBlock)->values[1] == showcase.findBlock (ampBlock)->values[1];
    };
    jobUnder (
        *dialog, target,
        { { Staged::refuses, SYSEX_PLACE_EFFECT },
          { Staged::refuses, SYSEX_SAVE_PATCH },
          { Staged::isSilentAt, SYSEX_SAVE_PATCH },
          { Staged::turnsAfter, SYSEX_RECALL_PATCH },
          { Staged::turnsAsItComes, SYSEX_RECALL_PATCH },
          { Staged::turnsAfter, SYSEX_SET_NAME },
          { Staged::turnsAsItComes, SYSEX_SAVE_PATCH },
          { Staged::turnsAfter, SYSEX_SAVE_PATCH },
          { Staged::scenesAfter, SYSEX_SET_SCENE },
          { Staged::reloadsAfter, SYSEX_SET_NAME },
          { Staged::reloadsAfter, SYSEX_SET_SCENE },
          { Staged::refuses, SYSEX_GET_GRID },
          { Staged::reportsSlotBeforeAnswer, SYSEX_SAVE_PATCH } },
        [&] (int number) { return slotName (number) + " Rich Tone"; }, imported, "");
}
} // namespace
