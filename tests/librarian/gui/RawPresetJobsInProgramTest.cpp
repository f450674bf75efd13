#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/wire/SysExFraming.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "librarian/SlotTexts.h"
#include "model/IdTables.h"
#include "model/PromptCatalogue.h"
#include "model/UnitIds.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "skin/window/GenericDialogContent.h"
#include "support/ConnectedProgram.h"
#include "support/FileSizeLimit.h"
#include "support/NoticeBoxes.h"
#include "support/PumpMessages.h"
#include "support/RawPresetJobsInProgram.h"
#include "support/ScriptedInteraction.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>

using namespace librarianRoad;

namespace
{
constexpr int bypassParam = 255; // set per scene, on either channel

juce::Label* findLabel (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->getText() == text)
            return label;
    return nullptr;
}

// Whether the label draws its whole text, as the framework's label lays it
// out (lines by its height, squeezed no further than it allows), nothing cut.
::testing::AssertionResult drawsWhole (const juce::Label& label)
{
    const auto font = label.getLookAndFeel().getLabelFont (const_cast<juce::Label&> (label));
    const auto area = label.getBorderSize().subtractedFrom (label.getLocalBounds());
    juce::GlyphArrangement glyphs;
    glyphs.addFittedText (font, label.getText(), (float) area.getX(), (float) area.getY(), (float) area.getWidth(),
                          (float) area.getHeight(), label.getJustificationType(),
                          juce::jmax (1, (int) ((float) area.getHeight() / font.getHeight())),
                          label.getMinimumHorizontalScale());
    juce::String drawn;
    for (int i = 0; i < glyphs.getNumGlyphs(); ++i)
        drawn << glyphs.getGlyph (i).getCharacter();
    if (drawn.removeCharacters (" \n") != label.getText().removeCharacters (" \n"))
        return ::testing::AssertionFailure() << "drawn: " << drawn;
    return ::testing::AssertionSuccess();
}

// Septets as the unit's messages carry them, lowest first.
int septets (const juce::MidiMessage& message, int offset, int count)
{
    int value = 0;
    for (int i = count; --i >= 0;)
        value = (value << 7) | (message.getRawData()[offset + i] & 0x7F);
    return value;
}

juce::uint32 littleEndian (const juce::MemoryBlock& bytes, size_t offset, int width)
{
    juce::uint32 value = 0;
    for (int i = width; --i >= 0;)
        value = (value << 8) | (juce::uint8) bytes[offset + (size_t) i];
    return value;
}

// "Blocks to .blk" writes each block of the queued preset to a ".blk" file
// in a folder of the preset's own, below the folder the user chose. Then,
// on the same queue, "Copy X to Y" mutes the unit, sets every block's Y
// parameters to its X values, saves the preset where it was and unmutes
// the unit. (One session: the program's singletons serve one window per
// process.)
TEST_F (RawPresetJobsInProgram, BlocksGoToBlkFilesAndXIsCopiedToYForTheQueuedPresets)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    ASSERT_EQ (dialog->getNumItems(), 1);
    ASSERT_TRUE (click (*dialog, "Blocks to .blk"));
    EXPECT_EQ (dialog->getMode(), RawPresetThreadDlg::exportBlocksMode);

    const auto folder = program.scratch.folder.getChildFile ("blocks");
    ScriptedInteraction chooser;
    chooser.answerWithFile (folder);
    ASSERT_TRUE (click (*dialog, "Folder..."));
    ASSERT_EQ (dialog->getFolder(), folder);
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (runToEnd (*dialog));
    saveScreenshot (*dialog, "raw-preset-dialog-blocks-exported");

    EXPECT_EQ (dialog->getStatusText(), "Blocks exported: 1 of 1 presets");
    EXPECT_EQ (dialog->getItemState (0), RawPresetJobItem::stateDone) << dialog->getItemText (0);
    EXPECT_TRUE (dialog->getItemText (0).endsWith ("Done")) << dialog->getItemText (0);

    // The amp's file, read by the published layout.
    const auto file = folder.getChildFile (juce::String::formatted ("%.3d Rich Tone", slot + offset))
                          .getChildFile ("Rich Tone - Amp.blk");
    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes)) << file.getFullPathName();
    ASSERT_GT (bytes.getSize(), 47u);
    EXPECT_EQ (littleEndian (bytes, 0, 2), 1u) << "format";
    EXPECT_EQ (littleEndian (bytes, 2, 2), (juce::uint32) SimulatedKestrel::model);
    EXPECT_EQ (littleEndian (bytes, 4, 1), (juce::uint32) program.presets->getFirmware().major);
    EXPECT_EQ (littleEndian (bytes, 5, 1), (juce::uint32) program.presets->getFirmware().minor);
    EXPECT_EQ ((int) littleEndian (bytes, 22, 4), effectTypeOfBlock (ampBlock));
    EXPECT_EQ (littleEndian (bytes, 26, 4), 0u) << "X";

    const juce::String name = "Rich Tone - Amp";
    ASSERT_EQ (littleEndian (bytes, 30, 4), (juce::uint32) name.length());
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()) + 34, name.length()), name);
    size_t at = 34 + (size_t) name.length();
    at += 4 + littleEndian (bytes, at, 4); // the second text

    // The parameter data: the amp's X words, then its Y words, as the unit holds them.
    const auto& block = *showcase.findBlock (ampBlock);
    const auto dataSize = littleEndian (bytes, at, 4);
    ASSERT_EQ (dataSize, 2 * (block.values[0].size() + block.values[1].size()));
    at += 4;
    for (int channel = 0; channel < 2; ++channel)
        for (auto value : block.values[channel])
        {
            EXPECT_EQ (littleEndian (bytes, at, 2), (juce::uint32) value) << "channel " << channel << " at " << at;
            at += 2;
        }

    // Its one modifier, then the check byte.
    EXPECT_EQ (littleEndian (bytes, at, 4), 1u);
    at += 4 + 68;
    ASSERT_EQ (at + 1, bytes.getSize());
    juce::uint8 check = 0;
    for (size_t i = 0; i < at; ++i)
        check ^= (juce::uint8) bytes[i];
    EXPECT_EQ ((juce::uint8) bytes[at], check & 0x7F);

    // The same preset, copied.
    ASSERT_TRUE (click (*dialog, "Copy X to Y"));
    EXPECT_EQ (dialog->getMode(), RawPresetThreadDlg::copyXToYMode);
    ASSERT_EQ (dialog->getNumItems(), 1) << "the queue stays";
    EXPECT_FALSE (dialog->getItemText (0).endsWith ("Done")) << "not copied yet";
    EXPECT_FALSE (findButton (*dialog, "Folder...")->isVisible()) << "the copy writes no file";
    saveScreenshot (*dialog, "raw-preset-dialog-copy-x-to-y");

    EXPECT_TRUE (dialog->getStatusText().contains ("X settings are copied into its Y settings, and every chosen preset "
                                                   "is saved on the Kestrel."))
        << dialog->getStatusText();
    EXPECT_TRUE (drawsWhole (*findLabel (*dialog, dialog->getStatusText())));

    // The copy saves over the preset: asked first, and No sends nothing.
    program.unit.clearReceived();
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_EQ (program.notices.count(), 1);
    EXPECT_EQ (program.notices.lastMessage(), "Copy X to Y saves preset " + slotName (slot)
                                                  + " Rich Tone on the Kestrel: in it, every block's Y settings are "
                                                    "replaced by its X settings.\nGo on?");
    program.notices.answer (0, 0);
    EXPECT_FALSE (dialog->isTransferRunning());
    EXPECT_EQ (dialog->getStatusText(), RawPresetThreadDlg::nothingStartedText);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_MUTE) + program.unit.countReceived (SYSEX_SAVE_PATCH), 0);

    program.notices.clear();
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_EQ (program.notices.count(), 1);
    program.notices.answer (0, 1);
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_EQ (dialog->getStatusText(), "X copied to Y: 1 of 1 presets");
    EXPECT_TRUE (dialog->getItemText (0).endsWith ("Done")) << dialog->getItemText (0);

    // What the unit received, by the messages' layouts: the mutes, recalls,
    // saves, channel switches and parameter values.
    auto function = [] (const juce::MidiMessage& m) { return (int) m.getRawData()[sysExFunctionOffset]; };
    juce::Array<juce::MidiMessage> received;
    for (auto& message : program.unit.getReceived())
        if (message.getRawDataSize() > 8
            && juce::Array<int> ({ SYSEX_MUTE, SYSEX_RECALL_PATCH, SYSEX_SAVE_PATCH, SYSEX_XY, SYSEX_PARAM_SET })
                   .contains (function (message)))
            received.add (message);

    ASSERT_GE (received.size(), 4);
    EXPECT_EQ (function (received.getFirst()), SYSEX_MUTE);
    EXPECT_EQ (received.getFirst().getRawData()[6], 0) << "muted first";
    EXPECT_EQ (function (received.getLast()), SYSEX_MUTE);
    EXPECT_EQ (received.getLast().getRawData()[6], 1) << "unmuted last";

    int recalls = 0, saves = 0, channel = -1;
    std::map<int, int> ampY;
    for (auto& m : received)
    {
        const auto* raw = m.getRawData();
        if (function (m) == SYSEX_RECALL_PATCH || function (m) == SYSEX_SAVE_PATCH)
        {
            ++(function (m) == SYSEX_RECALL_PATCH ? recalls : saves);
            EXPECT_EQ (raw[6] * 128 + raw[7], slot) << "the preset's own location";
        }
        else if (function (m) == SYSEX_XY && septets (m, 6, 2) == ampBlock)
            channel = raw[8];
        else if (function (m) == SYSEX_PARAM_SET && septets (m, 6, 2) == ampBlock && septets (m, 8, 2) != bypassParam)
        {
            EXPECT_EQ (m.getRawDataSize(), 16);
            EXPECT_EQ (raw[13], 1) << "mode";
            EXPECT_EQ (channel, 1) << "set on Y";
            ampY[septets (m, 8, 2)] = septets (m, 10, 3);
        }
    }
    EXPECT_EQ (recalls, 1);
    EXPECT_EQ (saves, 1);

    const auto& x = showcase.findBlock (ampBlock)->values[0];
    ASSERT_EQ (ampY.size(), x.size());
    for (auto [param, value] : ampY)
        EXPECT_EQ (value, (int) x[(size_t) param]) << "parameter " << param;
    EXPECT_EQ (program.unit.getPreset (slot).findBlock (ampBlock)->onX, showcase.findBlock (ampBlock)->onX)
        << "every scene keeps the channel it had";
    EXPECT_EQ (program.notices.count(), 1) << program.notices.lastMessage();
}
} // namespace

namespace
{
// Closing the dialog without a job leaves the unit's unsaved changes alone.
// A job loses them, so it asks first: No starts nothing, Yes runs it, and
// then closing recalls the preset the editor shows.
TEST_F (RawPresetJobsInProgram, WithoutAJobTheEditsStayAndAJobAsksBeforeItLosesThem)
{
    KESTREL_REQUIRE_DISPLAY();
    editCurrentPreset();
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.presets->isPresetModified(); }));

    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    program.unit.clearReceived();
    ASSERT_TRUE (click (*dialog, "Close"));
    ASSERT_TRUE (program.settle());
    EXPECT_FALSE (dialog->isVisible());
    EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 0);
    EXPECT_TRUE (unitKeepsTheEdits());

    dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    const auto folder = program.scratch.folder.getChildFile ("exports");
    ASSERT_TRUE (chooseFolder (*dialog, folder));
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_EQ (program.notices.count(), 1);
    EXPECT_EQ (program.notices.lastMessage(), promptText (PROMPT_PRESET_MODIFIED));
    program.notices.answer (0, 0);
    EXPECT_FALSE (dialog->isTransferRunning());
    EXPECT_EQ (dialog->getStatusText(), RawPresetThreadDlg::nothingStartedText);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 0);
    EXPECT_TRUE (unitKeepsTheEdits());
    EXPECT_FALSE (folder.getChildFile (slotName (slot) + "_Rich Tone.dat").exists());

    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_EQ (program.notices.count(), 2);
    program.notices.answer (1, 1);
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_TRUE (folder.getChildFile (slotName (slot) + "_Rich Tone.dat").existsAsFile());
    ASSERT_EQ (openDialog(), dialog) << "Export... again, while the dialog shows";
    ASSERT_TRUE (click (*dialog, "Close"));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 2) << "the job's, then the editor's own preset";
    EXPECT_EQ (program.unit.getCurrentPresetNumber(), 0);
}

// An import names the slots it replaces and what they hold before anything
// is sent; No leaves the unit as it was, Yes imports. The folder line of
// either dialog, and the files the question names, show control characters
// escaped.
TEST_F (RawPresetJobsInProgram, AnImportAsksBeforeItReplacesSlots)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    const auto folder = program.scratch.folder.getChildFile ("records\x1b[2J\n");
    const auto folderLine = "Folder: " + program.scratch.folder.getFullPathName() + "/records\\x1B[2J\\x0A";
    ASSERT_TRUE (chooseFolder (*dialog, folder));
    EXPECT_NE (findLabel (*dialog, folderLine), nullptr);
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (runToEnd (*dialog));
    const auto record = folder.getChildFile (slotName (slot) + "_Rich Tone.dat");
    ASSERT_TRUE (record.existsAsFile());
    const auto oddRecord = folder.getChildFile ("Rich\x1b[2J\n.dat");
    ASSERT_TRUE (record.copyFileTo (oddRecord));
    ASSERT_TRUE (click (*dialog, "Close"));

    constexpr int target = 10;
    auto* librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
    librarian->selectUnitEntry (target);
    ASSERT_TRUE (click (*librarian, "Import..."));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->isVisible(); }));
    ASSERT_EQ (dialog->getMode(), RawPresetThreadDlg::importMode);
    EXPECT_NE (findLabel (*dialog, folderLine), nullptr);
    ScriptedInteraction chooser;
    chooser.answerWithFiles ({ record, oddRecord });
    ASSERT_TRUE (click (*dialog, "Add Files..."));
    ASSERT_EQ (dialog->getNumItems(), 2);
    EXPECT_EQ (dialog->getItemText (1), slotName (target + 1) + " Rich Tone");

    ASSERT_TRUE (program.settle());
    program.unit.clearReceived();
    {
        // The question stands over the dialog, wherever the window is.
        RecordedNoticesShown shown (program.notices, *program.window);
        moveToTheScreensCorner (*program.window);
        ASSERT_TRUE (click (*dialog, "Start"));
        ASSERT_EQ (program.notices.count(), 1);
        EXPECT_TRUE (theBoxStandsCentredOver (*dialog));
    }
    EXPECT_EQ (program.notices.lastMessage(),
               "Replace 2 presets on the Kestrel, from " + slotName (target) + " Preset " + juce::String (target) + " to "
                   + slotName (target + 1) + " Preset " + juce::String (target + 1) + ", with 2 presets from "
                   + record.getFileName() + ", Rich\\x1B[2J\\x0A.dat?\nWhat those slots hold now is lost.");
    saveScreenshot (*dialog, "raw-preset-dialog-import-asks");
    program.notices.answer (0, 0);
    ASSERT_TRUE (program.settle());
    EXPECT_FALSE (dialog->isTransferRunning());
    EXPECT_EQ (program.unit.getReceived().size(), 0) << "nothing was sent";
    EXPECT_EQ (program.unit.getPreset (target).name.trim(), "Preset " + juce::String (target));

    ASSERT_TRUE (click (*dialog, "Start"));
    program.notices.answer (1, 1);
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_EQ (dialog->getStatusText(), "Imported: 2 of 2");
    EXPECT_EQ (program.unit.getPreset (target).name.trim(), "Rich Tone");
    EXPECT_EQ (program.unit.getPreset (target + 1).name.trim(), "Rich Tone");
}

// The queue: rows named as the librarian names presets, a preset queued once,
// ranges it cannot take told; the list follows the work; a stopped job, a
// unit that stopped answering and a file that could not be written each say so.
TEST_F (RawPresetJobsInProgram, TheQueueTellsWhatItTakesFollowsTheWorkAndEachEndSaysWhy)
{
    KESTREL_REQUIRE_DISPLAY();
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    auto* list = findChild<ZolScrollableListCtrl> (*dialog);
    ASSERT_NE (list, nullptr);
    ASSERT_NE (list->getCell (0), nullptr);
    EXPECT_EQ (list->getCell (0)->getNumberText().trim(), slotName (slot));
    EXPECT_EQ (list->getCell (0)->getNameText(), "Rich Tone");

    ASSERT_TRUE (addRange (*dialog, slot, slot));
    EXPECT_EQ (dialog->getNumItems(), 1) << "queued once";
    EXPECT_EQ (program.notices.count(), 0);

    ASSERT_TRUE (addRange (*dialog, 20, 10));
    ASSERT_TRUE (addRange (*dialog, 600, 610));
    ASSERT_EQ (program.notices.count(), 2);
    EXPECT_TRUE (program.notices.get (0).message.startsWith ("Nothing was added: the range runs down from "))
        << program.notices.get (0).message;
    EXPECT_TRUE (program.notices.get (1).message.startsWith ("Nothing was added: there is no preset " + slotName (600)))
        << program.notices.get (1).message;
    EXPECT_EQ (dialog->getNumItems(), 1);

    ASSERT_TRUE (addRange (*dialog, 505, 520));
    ASSERT_EQ (program.notices.count(), 3);
    EXPECT_TRUE (program.notices.lastMessage().startsWith ("The range was cut at the last preset, " + slotName (511)))
        << program.notices.lastMessage();
    ASSERT_EQ (dialog->getNumItems(), 8);
    EXPECT_EQ (dialog->getItemPresetNumber (7), 511);

    // Many presets: the list shows the one in progress, then the stop.
    ASSERT_TRUE (click (*dialog, "Clear"));
    ASSERT_TRUE (addRange (*dialog, 0, 40));
    ASSERT_TRUE (chooseFolder (*dialog, program.scratch.folder.getChildFile ("many")));
    program.unit.setReplyDelayFor (SYSEX_RECALL_PATCH, 150); // each preset takes a while
    program.unit.startAutoPump();
    ASSERT_TRUE (click (*dialog, "Start"));
    constexpr int farDown = 20;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return dialog->getItemText (farDown).endsWith ("Working..."); }, 60000))
        << dialog->getStatusText();
    ASSERT_TRUE (pumpMessagesUntil (
        [&]
        {
            auto* cell = list->getCell (farDown);
            const auto shown = list->getViewport().getViewArea();
            return cell != nullptr && cell->getY() >= shown.getY() && cell->getBottom() <= shown.getBottom();
        }));
    saveScreenshot (*dialog, "raw-preset-dialog-follows-the-work");
    ASSERT_TRUE (click (*dialog, "Stop"));
    ASSERT_TRUE (runToEnd (*dialog));
    int done = 0;
    for (int i = 0; i < dialog->getNumItems(); ++i)
        done += dialog->getItemState (i) == RawPresetJobItem::stateDone ? 1 : 0;
    EXPECT_GE (done, farDown);
    EXPECT_LT (done, 41);
    EXPECT_EQ (dialog->getStatusText(), "Stopped: " + juce::String (done) + " of 41 presets");
    program.unit.setReplyDelayFor (SYSEX_RECALL_PATCH, 0);

    // The unit stops answering.
    ASSERT_TRUE (click (*dialog, "Clear"));
    ASSERT_TRUE (addRange (*dialog, slot, slot));
    program.unit.setSilentFor (SYSEX_RECALL_PATCH);
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_EQ (dialog->getItemText (0),
               slotName (slot) + " Rich Tone  -  Failed: " + RawPresetThread::stoppedAnsweringText);
    program.unit.setSilentFor (SYSEX_RECALL_PATCH, false);

    // It falls silent part-way through an answer: still a silence. A write
    // it answers with a failure is told as refused.
    ASSERT_TRUE (click (*dialog, "Blocks to .blk"));
    program.unit.goSilentPartWayThrough (SYSEX_GET_ALL_PARAMS, 1);
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_TRUE (dialog->getItemText (0).endsWith ("Failed: " + juce::String (RawPresetThread::stoppedAnsweringText)))
        << dialog->getItemText (0);
    program.unit.setSilent (false);
    program.unit.setErrorStatusFor (SYSEX_RECALL_PATCH, SimulatedKestrel::resultBadValue);
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_TRUE (dialog->getItemText (0).endsWith (
        "Failed: " + juce::String::formatted (RawPresetThread::refusedText, (int) SimulatedKestrel::resultBadValue)))
        << dialog->getItemText (0);
    program.unit.setErrorStatusFor (SYSEX_RECALL_PATCH, 0);

#if JUCE_LINUX || JUCE_MAC
    // A disk that takes nothing: each kind of file names what the writer found.
    const juce::String cause (std::strerror (EFBIG));
    for (auto job : { "Presets to .dat", "Blocks to .blk" })
    {
        ASSERT_TRUE (click (*dialog, job));
        {
            FileSizeLimit fullDisk (0);
            ASSERT_TRUE (fullDisk.active);
            ASSERT_TRUE (click (*dialog, "Start"));
            ASSERT_TRUE (runToEnd (*dialog));
        }
        const auto text = dialog->getItemText (0);
        EXPECT_TRUE (text.contains ("Failed: Unable to write " + program.scratch.folder.getChildFile ("many").getFullPathName()))
            << text;
        EXPECT_TRUE (text.endsWith (": " + cause)) << text;
    }
#endif
    EXPECT_EQ (program.notices.count(), 3) << program.notices.lastMessage();
}
} // namespace

// Close while an export runs asks over the dialog, wherever the window is.
// The export ends before anyone answers: the question goes with it, and the
// dialog closes as its Close asked, every preset exported.
TEST_F (RawPresetJobsInProgram, TheQuestionToStopATransferStandsOverTheDialogAndGoesWhenTheTransferEnds)
{
    KESTREL_REQUIRE_DISPLAY();
    moveToTheScreensCorner (*program.window);
    auto* dialog = openDialog();
    ASSERT_NE (dialog, nullptr);
    ASSERT_TRUE (addRange (*dialog, slot, slot + 2));
    ASSERT_TRUE (chooseFolder (*dialog, program.scratch.folder.getChildFile ("asked")));
    program.unit.setReplyDelayFor (SYSEX_RECALL_PATCH, 500); // the export is still running when Close is pressed
    program.unit.startAutoPump();

    ShownNotices shown;
    ASSERT_TRUE (click (*dialog, "Start"));
    ASSERT_TRUE (click (*dialog, "Close"));
    ASSERT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().size() == 1; }));
    auto* box = dynamic_cast<juce::DialogWindow*> (shownNoticeBoxes().getFirst());
    ASSERT_NE (box, nullptr);
    auto* question = dynamic_cast<GenericDialogContent*> (box->getContentComponent());
    ASSERT_NE (question, nullptr);
    EXPECT_EQ (question->message, RawPresetThreadDlg::closeWhileRunningText);
    EXPECT_TRUE (standsCentredOver (*box, *dialog));
    EXPECT_TRUE (dialog->isTransferRunning()) << "the question came before the end";

    ASSERT_TRUE (runToEnd (*dialog));
    EXPECT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().isEmpty(); })) << "the question is still open";
    EXPECT_FALSE (dialog->isVisible());
    for (int i = 0; i < dialog->getNumItems(); ++i)
        EXPECT_EQ (dialog->getItemState (i), RawPresetJobItem::stateDone) << dialog->getItemText (i);
    EXPECT_EQ (program.scratch.folder.getChildFile ("asked").findChildFiles (juce::File::findFiles, false, "*.dat").size(), 3);
    program.unit.setReplyDelayFor (SYSEX_RECALL_PATCH, 0);
}
