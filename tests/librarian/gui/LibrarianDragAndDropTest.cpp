#include "app/shell/KestrelContentComponent.h"
#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/MainAppWindow.h"
#include "device/DumpTestData.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/LibrarianDiskEntry.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/IdTables.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/PromptCatalogue.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "skin/window/GenericDialogContent.h"
#include "support/ConnectedProgram.h"
#include "support/FileSizeLimit.h"
#include "support/NoticeBoxes.h"
#include "support/ForgetSingletons.h"
#include "support/PresetDumpFile.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <tuple>
#include <utility>

namespace
{
constexpr int ampBlock = 106;
constexpr int exportedSlot = 3;

juce::Button* findButton (juce::Component& parent, const juce::String& text)
{
    for (auto* child : parent.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            return button;
    return nullptr;
}

// The program's main window with the librarian's windows as the program
// makes them, connected to the simulated unit; the librarian opened with its
// command and the disk browser on a folder of preset files, both through
// their buttons.
class LibrarianDragAndDrop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTREL_REQUIRE_DISPLAY();
        LibrarianWindows::registerPanes();
        auto preset = SimulatedPreset::makeFactory (exportedSlot);
        preset.name = "Going Out";
        preset.setParam (ampBlock, 1, 3456);
        program.unit.setPreset (exportedSlot, preset);
        ASSERT_TRUE (program.open());
        windows = std::make_unique<LibrarianWindows> (*program.content);
        librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
        browser = program.content->getPaneAs<BrowserChooserDlg> (ContentPane::browserChooser);
        ASSERT_TRUE (librarian != nullptr && browser != nullptr);

        ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false));
        ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getUnitEntryText (1).contains ("Preset"); }))
            << "the unit's preset names are read when the librarian opens";
        ASSERT_TRUE (program.settle());

        writePresetFile ("Dropped In", 4321, false);
        writePresetFile ("Damaged", 1, true);
        openBrowserOn (folder);
        ASSERT_EQ (browser->getNumFound(), 2);
    }

    void TearDown() override
    {
        windows.reset();
        program.close();
        // The next program of this process starts with a unit link of its own.
        forgetSingletons();
        for (auto pane : { ContentPane::librarian, ContentPane::browserChooser, ContentPane::rawPreset,
                           ContentPane::exchangeWindow })
            KestrelContentComponent::setPaneCreator (pane, nullptr);
    }

    void writePresetFile (const juce::String& name, int ampValue, bool damaged)
    {
        auto preset = SimulatedPreset::makeFactory (2);
        preset.name = name;
        preset.setParam (ampBlock, 1, (juce::uint16) ampValue);
        auto dump = makePresetDumpFile (preset);
        if (damaged)
            static_cast<char*> (dump.getData())[300] ^= 0x01;
        folder.createDirectory();
        folder.getChildFile (name + ".syx").replaceWithData (dump.getData(), dump.getSize());
    }

    // Clicks as the user does: the click arrives through the message loop.
    void click (juce::Component& parent, const juce::String& text)
    {
        auto* button = findButton (parent, text);
        ASSERT_TRUE (button != nullptr && button->isShowing()) << text;
        button->triggerClick();
        pumpPostedMessages();
    }

    void openBrowserOn (const juce::File& shown)
    {
        ScriptedInteraction interaction;
        interaction.answerWithFile (shown);
        click (*librarian, "Browse Folder...");
        ASSERT_TRUE (pumpMessagesUntil ([this] { return browser->isVisible(); }));
        click (*browser, "Folder...");
        ASSERT_TRUE (pumpMessagesUntil ([&] { return browser->getFolder() == shown && ! browser->isScanning(); }));
    }

    ZolScrollableListCtrl* findList (juce::Component& parent, int index)
    {
        int seen = 0;
        for (auto* child : parent.getChildren())
            if (auto* list = dynamic_cast<ZolScrollableListCtrl*> (child); list != nullptr && seen++ == index)
                return list;
        return nullptr;
    }

    void mouse (juce::Point<int> at, int buttons)
    {
        program.window->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at.toFloat(),
                                                     juce::ModifierKeys (buttons),
                                                     juce::MouseInputSource::defaultPressure,
                                                     juce::MouseInputSource::defaultOrientation,
                                                     juce::Time::currentTimeMillis());
        pumpPostedMessages();
    }

    // Presses the mouse on a point of one component and lets go over a
    // point of another, moving in steps, as the user drags.
    void dragWithMouse (juce::Component& from, juce::Point<int> pointInSource, juce::Component& onto,
                        juce::Point<int> pointInTarget, std::function<void()> beforeRelease = {})
    {
        auto& window = *program.window;
        const auto start = window.getLocalPoint (&from, pointInSource);
        const auto end = window.getLocalPoint (&onto, pointInTarget);
        const int left = juce::ModifierKeys::leftButtonModifier;
        for (auto [component, at] : { std::pair (&from, start), std::pair (&onto, end) })
        {
            auto* hit = window.getComponentAt (at);
            ASSERT_TRUE (hit == component || component->isParentOf (hit)) << "covered: " << at.toString();
        }

        mouse (start, 0);
        mouse (start, left);
        for (int step = 1; step <= 10; ++step)
            mouse (start + (end - start) * step / 10, left);
        if (beforeRelease)
            beforeRelease();
        mouse (end, 0);
        ASSERT_TRUE (pumpMessagesUntil ([this] { return ! program.content->isDragAndDropActive(); }));
        pumpPostedMessages();
    }

    // Onto a unit slot's cell where the browser in front leaves it uncovered.
    void dragBrowserFileToSlot (const juce::String& fileName, int slot)
    {
        auto* unitList = findList (*librarian, 0);
        auto* files = findList (*browser, 0);
        ASSERT_TRUE (unitList != nullptr && files != nullptr);
        int index = 0;
        while (index < browser->getNumFound() && ! browser->getFoundText (index).startsWith (fileName))
            ++index;
        auto* cell = files->getCell (index);
        ASSERT_TRUE (cell != nullptr && unitList->getCell (slot) != nullptr) << fileName;
        dragWithMouse (*cell, cell->getLocalBounds().getCentre(), *unitList->getCell (slot), uncovered);
    }

    juce::File writtenFile (const juce::File& in)
    {
        auto found = in.findChildFiles (juce::File::findFiles, false, "*_Going Out.syx");
        return found.size() == 1 ? found.getFirst() : juce::File();
    }

    // The user's answer to the question just asked.
    void answerLast (bool ok)
    {
        program.notices.answer (program.notices.count() - 1, ok ? 1 : 0);
        pumpPostedMessages();
    }

    static constexpr juce::Point<int> uncovered{ 20, 10 }; // in a unit cell, left of the browser

    ConnectedProgram program{ "kestrel-librarian-drag" };
    juce::File folder = program.scratch.folder.getChildFile ("syx");
    std::unique_ptr<LibrarianWindows> windows;
    BankManagerListContent* librarian = nullptr;
    BrowserChooserDlg* browser = nullptr;
};

// A preset file dragged from the browser onto a slot is sent there once the
// user agrees to the send's question; a damaged one is refused.
TEST_F (LibrarianDragAndDrop, AFileDraggedFromTheBrowserOntoASlotIsSentThereAfterTheQuestion)
{
    constexpr int slot = 9;
    auto& notices = program.notices;
    const int before = notices.count();
    program.unit.clearReceived();

    {
        // The question stands over the window, wherever the window is.
        RecordedNoticesShown shown (notices, *program.window);
        moveToTheScreensCorner (*program.window);
        dragBrowserFileToSlot ("Dropped In.syx", slot);
        ASSERT_EQ (notices.count(), before + 1) << notices.lastMessage();
        EXPECT_TRUE (theBoxStandsCentredOver (*program.window));
    }
    EXPECT_EQ (notices.lastMessage(), "Replace preset " + librarian->getUnitEntryText (slot)
                                          + " on the Kestrel with \"Dropped In\" from Dropped In.syx?\n"
                                            "What it holds now is lost.");
    EXPECT_EQ (librarian->getNumDiskEntries(), 1) << "the file is listed on the disk side";
    saveScreenshot (*program.content, "librarian-file-dropped-on-a-slot");
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0) << "nothing is sent before the user agrees";

    notices.answer (notices.count() - 1, 1);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
    auto stored = program.unit.getPreset (slot);
    EXPECT_EQ (stored.name.trim(), "Dropped In");
    juce::uint16 value = 0;
    ASSERT_TRUE (stored.getParam (ampBlock, 1, value));
    EXPECT_EQ (value, 4321);
    EXPECT_EQ (notices.count(), before + 1) << notices.lastMessage();
    ASSERT_TRUE (program.settle());

    program.unit.clearReceived();
    dragBrowserFileToSlot ("Damaged.syx", slot + 1);
    ASSERT_EQ (notices.count(), before + 2) << notices.lastMessage();
    notices.answer (notices.count() - 1, 1);
    EXPECT_TRUE (notices.lastMessage().contains ("is damaged in the file Damaged.syx")) << notices.lastMessage();
    EXPECT_FALSE (librarian->isSending());
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0);

    // Files from the desktop dropped on the slots still go to the disk side.
    const int listed = librarian->getNumDiskEntries();
    findList (*librarian, 0)->filesDropped ({ folder.getChildFile ("Dropped In.syx").getFullPathName() }, 5, 5);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return librarian->getNumDiskEntries() == listed + 1; }));
}

// "Files on disk" lists what a file held when it was added; a send reads it
// again. One deleted since says so and sends nothing; one written over since
// sends what it holds now, after the question names that (also when only a
// setting changed), and one written over while the question shows sends
// nothing until asked again.
TEST_F (LibrarianDragAndDrop, ASendReadsTheAddedFileAgain)
{
    constexpr int slot = 9;
    auto& notices = program.notices;
    const auto changing = folder.getChildFile ("Changing.syx");
    auto writeChanging = [&] (const juce::String& name, int ampValue)
    {
        auto preset = SimulatedPreset::makeFactory (2);
        preset.name = name;
        preset.setParam (ampBlock, 1, (juce::uint16) ampValue);
        const auto dump = makePresetDumpFile (preset);
        return changing.replaceWithData (dump.getData(), dump.getSize());
    };
    ASSERT_TRUE (writeChanging ("Changing", 1111));

    // Each picked in the browser with the mouse and added.
    for (auto name : { "Dropped In.syx", "Changing.syx" })
    {
        openBrowserOn (folder);
        auto* files = findList (*browser, 0);
        for (int i = 0; i < browser->getNumFound(); ++i)
            if (browser->getFoundText (i).startsWith (name))
            {
                const auto at = program.window->getLocalPoint (files->getCell (i), juce::Point<int> (40, 10));
                mouse (at, juce::ModifierKeys::leftButtonModifier);
                mouse (at, 0);
            }
        click (*browser, "Add to Brak-Manage");
    }
    ASSERT_EQ (librarian->getNumDiskEntries(), 2);
    ASSERT_TRUE (program.settle());

    auto send = [&] (const juce::String& fileName)
    {
        for (int i = 0; i < librarian->getNumDiskEntries(); ++i)
            if (librarian->getDiskEntry (i).file.getFileName() == fileName)
                librarian->selectDiskEntries ({ i });
        librarian->selectUnitEntry (slot);
        click (*librarian, "<< Send Presets\nto Kestrel");
    };
    auto answerAndWait = [&]
    {
        answerLast (true);
        return pumpMessagesUntil ([this] { return ! librarian->isSending(); }) && program.settle();
    };
    const auto stored = program.unit.getPreset (slot).toWords();
    program.unit.clearReceived();

    ASSERT_TRUE (folder.getChildFile ("Dropped In.syx").deleteFile());
    int before = notices.count();
    send ("Dropped In.syx");
    ASSERT_EQ (notices.count(), before + 1);
    EXPECT_TRUE (notices.lastMessage().contains ("The file Dropped In.syx is no longer there.")) << notices.lastMessage();
    ASSERT_TRUE (answerAndWait()); // whatever was asked
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0);
    EXPECT_TRUE (program.unit.getPreset (slot).toWords() == stored);

    ASSERT_TRUE (writeChanging ("Written Over", 2222));
    before = notices.count();
    send ("Changing.syx");
    ASSERT_EQ (notices.count(), before + 1);
    EXPECT_TRUE (notices.lastMessage().contains ("\"Written Over\" from Changing.syx?")) << notices.lastMessage();
    ASSERT_TRUE (writeChanging ("Third", 3333)); // while the question shows
    ASSERT_TRUE (answerAndWait());
    EXPECT_TRUE (notices.lastMessage().startsWith ("A file changed on disk after you were asked")) << notices.lastMessage();
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0);

    send ("Changing.syx");
    EXPECT_TRUE (notices.lastMessage().contains ("\"Third\" from Changing.syx?")) << notices.lastMessage();
    ASSERT_TRUE (answerAndWait());
    auto sent = program.unit.getPreset (slot);
    EXPECT_EQ (sent.name.trim(), "Third");
    juce::uint16 value = 0;
    ASSERT_TRUE (sent.getParam (ampBlock, 1, value));
    EXPECT_EQ (value, 3333);
    EXPECT_EQ (librarian->getStatusText(), "Sent to the Kestrel: 1");

    // Written over under the same name: only a setting tells it apart.
    ASSERT_TRUE (writeChanging ("Third", 3334));
    send ("Changing.syx");
    ASSERT_TRUE (answerAndWait());
    ASSERT_TRUE (program.unit.getPreset (slot).getParam (ampBlock, 1, value));
    EXPECT_EQ (value, 3334) << "the file as it was listed was sent";
}

// A send loads presets on the unit and then reads the edited one again as it
// is stored: with unsaved changes the question says so, and No keeps them.
TEST_F (LibrarianDragAndDrop, ASendWhileThePresetIsEditedSaysTheChangesGoAndNoKeepsThem)
{
    auto edited = SimulatedPreset::makeFactory (0);
    edited.name = "Unsaved Edit";
    program.unit.setEditBuffer (edited, true);
    program.unit.sendResync();
    ASSERT_TRUE (pumpMessagesUntil ([this] { return program.presets->isPresetModified(); }));
    ASSERT_TRUE (program.settle());
    program.unit.clearReceived();
    const int before = program.notices.count();

    dragBrowserFileToSlot ("Dropped In.syx", 9);
    ASSERT_EQ (program.notices.count(), before + 1);
    EXPECT_TRUE (program.notices.lastMessage().endsWith (promptText (PROMPT_PRESET_MODIFIED)))
        << program.notices.lastMessage();
    answerLast (false);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START), 0);
    EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 0);
    EXPECT_TRUE (program.unit.isModified());
    EXPECT_EQ (program.unit.getEditBuffer().name.trim(), "Unsaved Edit");
}

// Files whose names are not UTF-8 (written by a system in another encoding)
// cannot be held by the framework's text, which once dropped some without a
// word and garbled others: the browser lists the files it can and names the
// others in its status. A control character in a listed name is shown
// escaped: an escape sequence or a newline never acts on the list.
TEST_F (LibrarianDragAndDrop, FilesWhoseNamesAreNotUtf8AreNamedInTheBrowsersStatus)
{
    const auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (2));
    for (const char* name : { "/Caf\xe9 Lead.syx", "/\xff\xfe.syx", "/Esc\x1b[2J\nnl.syx" })
    {
        const auto path = folder.getFullPathName().toStdString() + name;
        const int fd = ::open (path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE (fd, 0);
        EXPECT_EQ (::write (fd, dump.getData(), dump.getSize()), (ssize_t) dump.getSize());
        ::close (fd);
    }

    openBrowserOn (folder);
    ASSERT_EQ (browser->getNumFound(), 3) << "the fixture's files and the escaped one";
    int escaped = 0;
    while (escaped < 2 && ! browser->getFoundText (escaped).startsWith ("Esc"))
        ++escaped;
    EXPECT_EQ (findList (*browser, 0)->getCell (escaped)->getNameText(), "Esc\\x1B[2J\\x0Anl.syx");
    juce::String status;
    for (auto* child : browser->getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->getText().contains ("found"))
            status = label->getText();
    EXPECT_TRUE (status.startsWith ("3 file(s) found; not listed, as their names are not UTF-8 (rename them to "
                                    "list them): "))
        << status;
    EXPECT_TRUE (status.contains ("Caf\\xe9 Lead.syx") && status.contains ("\\xff\\xfe.syx")) << status;
}

// A folder named "~" and a file "~x.syx" are the scanned folder's own, not
// the home folder (which holds other files) nor a name without its folder.
// The extension is matched in capitals too, with and without the subfolders.
TEST_F (LibrarianDragAndDrop, TheScanListsTheFoldersOwnFilesNamedWithATildeAndInCapitals)
{
    const auto home = program.scratch.folder.getChildFile ("home");
    const auto scanned = program.scratch.folder.getChildFile ("tilde");
    const auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (2));
    for (auto path : { home.getFullPathName() + "/Home.syx", scanned.getFullPathName() + "/~x.syx",
                       scanned.getFullPathName() + "/Loud.SYX", scanned.getFullPathName() + "/~/Inside.SYX" })
    {
        const juce::File file (path);
        ASSERT_TRUE (file.getParentDirectory().createDirectory().wasOk()) << path;
        ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize())) << path;
    }

    struct HomeFolder
    {
        explicit HomeFolder (const juce::File& f) { ::setenv ("HOME", f.getFullPathName().toRawUTF8(), 1); }
        ~HomeFolder() { ::setenv ("HOME", real.toRawUTF8(), 1); }
        const juce::String real = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    } homeFolder (home);
    auto listed = [this]
    {
        juce::StringArray rows;
        auto* files = findList (*browser, 0);
        for (int i = 0; files != nullptr && i < files->getNumCells(); ++i)
            rows.add (files->getCell (i)->getNumberText().trim() + " " + files->getCell (i)->getNameText());
        rows.sort (false);
        return rows.joinIntoString (", ");
    };

    openBrowserOn (scanned);
    EXPECT_EQ (listed(), "Preset Loud.SYX, Preset ~/Inside.SYX, Preset ~x.syx");
    auto& subfolders = browser->getSubfoldersToggle();
    subfolders.triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! subfolders.getToggleState() && ! browser->isScanning(); }));
    EXPECT_EQ (listed(), "Preset Loud.SYX, Preset ~x.syx");
}

// Add Files... starts where files were last imported from, the documents
// folder the first time, never the folder the program started in.
TEST_F (LibrarianDragAndDrop, AddFilesStartsInTheFolderOfTheLastImport)
{
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (LibrarianWindows::manageCabsCommand, false));
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->isCabMode() && librarian->isShowing(); }));
    ScriptedInteraction interaction;
    interaction.answerWithFile (folder.getChildFile ("Dropped In.syx"));
    click (*librarian, "Add Files...");
    click (*librarian, "Add Files...");

    juce::String documents;
    GlobalConfiguration::validateFolder (documents);
    ASSERT_EQ (interaction.fileRequests.size(), 2u);
    EXPECT_EQ (interaction.fileRequests[0].initial, juce::File (documents));
    EXPECT_EQ (interaction.fileRequests[1].initial, folder);
    EXPECT_TRUE (program.settle()) << "the cab names read as the window opened";
}

// Preset cells dragged onto the browser are written into its folder as
// preset files, which it lists at once and which go back onto a slot: onto
// a listed file, and onto a folder that lists none.
TEST_F (LibrarianDragAndDrop, PresetCellsDraggedOntoTheBrowserAreWrittenThereAndGoBackOntoASlot)
{
    auto* unitList = findList (*librarian, 0);
    auto* files = findList (*browser, 0);
    ASSERT_TRUE (unitList != nullptr && files != nullptr);
    const int before = program.notices.count();
    program.unit.clearReceived();

    // A plain drop copies: the dragged cell shows the skin's copy cursor.
    auto* copyCursor = KestrelImageDepot::getInstance()->getCursor (ImageDepot::copyCursor);
    ASSERT_NE (copyCursor, nullptr);
    auto& dragged = *unitList->getCell (exportedSlot);
    dragWithMouse (dragged, uncovered, *files->getCell (0), { 40, 10 },
                   [&] { EXPECT_TRUE (dragged.getMouseCursor() == *copyCursor); });
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending() && browser->getNumFound() == 3; }, 60000))
        << librarian->getStatusText();
    const auto written = writtenFile (folder);
    ASSERT_TRUE (written.existsAsFile());
    EXPECT_TRUE (written.getFileName().startsWith (librarian->getUnitEntryText (exportedSlot).substring (0, 3) + "_"));
    EXPECT_EQ (librarian->getStatusText(), "Written to syx: 1");
    EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 0) << "the slot is read where it is stored";
    saveScreenshot (*program.content, "librarian-cells-written-to-the-browser");
    ASSERT_TRUE (program.settle());

    // Dragged back onto another slot, it is sent there.
    constexpr int copySlot = 12;
    dragBrowserFileToSlot (written.getFileName(), copySlot);
    ASSERT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
    auto stored = program.unit.getPreset (copySlot);
    EXPECT_EQ (stored.name.trim(), "Going Out");
    juce::uint16 value = 0;
    ASSERT_TRUE (stored.getParam (ampBlock, 1, value));
    EXPECT_EQ (value, 3456);
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());

    const auto empty = program.scratch.folder.getChildFile ("empty");
    ASSERT_TRUE (empty.createDirectory());
    openBrowserOn (empty);
    ASSERT_EQ (files->getNumCells(), 0) << "the files of the folder before are gone";
    librarian->selectUnitEntry (exportedSlot);
    dragWithMouse (*unitList->getCell (exportedSlot), uncovered, *browser, browser->getLocalBounds().getCentre());
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending() && browser->getNumFound() == 1; }, 60000))
        << librarian->getStatusText();
    EXPECT_TRUE (writtenFile (empty).existsAsFile());
    EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
}

// A slot dragged onto the browser gets a file of its own: a file, or a link
// whose target is gone, of that name stays as it is, the characters of the
// preset's name a file name cannot hold are left out, and a write that fails
// says so once.
TEST_F (LibrarianDragAndDrop, ASlotDraggedOntoTheBrowserTakesAFreeNameAndAFailedWriteSaysWhy)
{
    constexpr int slot = 5;
    auto preset = SimulatedPreset::makeFactory (slot);
    preset.name = "Two\nLines\x1b";
    program.unit.setPreset (slot, preset);
    click (*librarian, "Refresh");
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getUnitEntryText (slot).contains ("Lines"); }));
    ASSERT_TRUE (program.settle());

    const auto baseName = librarian->getUnitEntryText (slot).substring (0, 3) + "_TwoLines";
    const auto old = folder.getChildFile (baseName + ".syx");
    const auto link = folder.getChildFile (baseName + "(1).syx");
    ASSERT_TRUE (old.replaceWithText ("kept as it was"));
    ASSERT_TRUE (program.scratch.folder.getChildFile ("gone").createSymbolicLink (link, false));

    auto* unitList = findList (*librarian, 0);
    auto* files = findList (*browser, 0);
    auto dragSlot = [&]
    {
        librarian->selectUnitEntry (slot);
        dragWithMouse (*unitList->getCell (slot), uncovered, *files->getCell (0), { 40, 10 });
        return pumpMessagesUntil ([this] { return ! librarian->isSending() && ! browser->isScanning(); }, 60000);
    };
    const auto written = folder.getChildFile (baseName + "(2).syx");
    ASSERT_TRUE (dragSlot()) << librarian->getStatusText();
    EXPECT_EQ (old.loadFileAsString(), "kept as it was");
    EXPECT_TRUE (link.isSymbolicLink() && ! link.exists()) << "the link is left alone";
    juce::MemoryBlock dump;
    ASSERT_TRUE (written.loadFileAsData (dump)) << librarian->getStatusText();
    EXPECT_EQ (getSysExFileType (dump), SYSEX_FILE_PRESET);

#if JUCE_LINUX || JUCE_MAC
    const int before = program.notices.count();
    {
        FileSizeLimit fullDisk (0);
        ASSERT_TRUE (fullDisk.active);
        ASSERT_TRUE (dragSlot());
    }
    ASSERT_EQ (program.notices.count(), before + 1) << librarian->getStatusText();
    const auto message = program.notices.lastMessage();
    const auto path = folder.getChildFile (baseName + "(3).syx").getFullPathName();
    EXPECT_TRUE (message.startsWith ("Unable to write " + path + ": ")) << message;
    EXPECT_EQ (message.indexOf (path), message.lastIndexOf (path)) << message;
    EXPECT_TRUE (message.endsWith (".\nWritten to syx: 0, not written: 1.")) << message;
#endif
}

// Files that cannot be sent are refused, naming the file and why, before
// any question: a file of no known kind, one too large to read, one deleted
// since the browser listed it, a preset named with characters the unit has
// not, a cab of another model. A bank sent from the
// last slot tells what it left out; a cab sent to an empty slot loses nothing.
// The presets and cabs windows each keep their own selection and status.
TEST_F (LibrarianDragAndDrop, WhatCannotBeSentIsRefusedBeforeTheQuestionAndEachWindowKeepsItsStatus)
{
    auto foreignCab = dumptest::blockOf (dumptest::makeCabDump (3, 0, "Foreign Cab", 0));
    ASSERT_TRUE (folder.getChildFile ("Model 3 Cab.syx").replaceWithData (foreignCab.getData(), foreignCab.getSize()));
    ASSERT_TRUE (folder.getChildFile ("junk.syx").replaceWithText ("hello"));
    {
        juce::FileOutputStream big (folder.getChildFile ("big.syx"));
        ASSERT_TRUE (big.openedOk() && big.setPosition (LibrarianDiskEntry::largestFileBytes) && big.writeByte (0));
    }
    juce::MemoryBlock bank;
    for (auto name : { "Bank One", "Bank Two", "Bank Three" })
    {
        auto preset = SimulatedPreset::makeFactory (2);
        preset.name = name;
        bank.append (makePresetDumpFile (preset).getData(), makePresetDumpFile (preset).getSize());
    }
    const auto bankFile = folder.getChildFile ("Bank.syx");
    ASSERT_TRUE (bankFile.replaceWithData (bank.getData(), bank.getSize()));
    const auto gone = folder.getChildFile ("gone.syx");
    ASSERT_TRUE (folder.getChildFile ("Dropped In.syx").copyFileTo (gone));
    auto diskCab = dumptest::blockOf (dumptest::makeCabDump (8, 0, "Disk\x1b[2J\nCab", 0));
    ASSERT_TRUE (folder.getChildFile ("Disk\x1b[2J\nCab.syx").replaceWithData (diskCab.getData(), diskCab.getSize()));
    auto accented = SimulatedPreset::makeFactory (2);
    accented.name = juce::CharPointer_UTF8 ("Caf\xc3\xa9 \xc3\xbc \xe2\x82\xac"); // the euro a place of 0x20AC
    const auto accentedDump = makePresetDumpFile (accented);
    ASSERT_TRUE (folder.getChildFile ("accented.syx").replaceWithData (accentedDump.getData(), accentedDump.getSize()));
    browser->rescan();
    ASSERT_TRUE (pumpMessagesUntil ([this] { return browser->getNumFound() == 9 && ! browser->isScanning(); }));

    // The kind column has a word for what it cannot read.
    auto* files = findList (*browser, 0);
    for (auto [name, kind] : { std::pair ("junk.syx", "Unknown"), std::pair ("big.syx", "Too large") })
        for (int i = 0; i < browser->getNumFound(); ++i)
            if (browser->getFoundText (i).startsWith (name))
            {
                EXPECT_EQ (files->getCell (i)->getNumberText().trim(), kind);
            }
    saveScreenshot (*browser, "librarian-browser-kinds");

    auto& notices = program.notices;
    program.unit.clearReceived();
    ASSERT_TRUE (gone.deleteFile()); // after the browser listed it
    for (auto [name, why] : std::initializer_list<std::pair<const char*, juce::String>> {
             { "junk.syx", "The file junk.syx is a <unknown file type>, not a preset." },
             { "big.syx", "The file big.syx is too large to read (more than 64 MB)." },
             { "gone.syx", "The file gone.syx is no longer there." },
             { "accented.syx", juce::CharPointer_UTF8 ("Its name holds characters the Kestrel cannot store in a name: "
                                                       "\xc3\xa9 \xc3\xbc \xe2\x82\xac.") } })
    {
        const int before = notices.count();
        dragBrowserFileToSlot (name, 9);
        ASSERT_EQ (notices.count(), before + 1) << "no question first: " << notices.lastMessage();
        EXPECT_TRUE (notices.lastMessage().contains (why)) << notices.lastMessage();
    }

    // A bank sent from the last slot: the question and the status tell what is left out.
    const int last = librarian->getNumUnitEntries() - 1;
    librarian->addFiles ({ bankFile });
    const int bankEntry = librarian->getNumDiskEntries() - 3;
    librarian->selectDiskEntries ({ bankEntry, bankEntry + 1, bankEntry + 2 });
    librarian->selectUnitEntry (last);
    click (*librarian, "<< Send Presets\nto Kestrel");
    EXPECT_TRUE (notices.lastMessage().contains ("\n2 preset(s) after the last slot are left out.")) << notices.lastMessage();
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
    EXPECT_EQ (program.unit.getPreset (last).name.trim(), "Bank One");
    const auto presetsStatus = librarian->getStatusText();
    EXPECT_EQ (presetsStatus, "Sent to the Kestrel: 1, left out: 2");
    ASSERT_TRUE (program.settle());

    // A cab of another model: nothing goes to the unit, nothing is reported sent.
    program.unit.setCabName (program.unit.getNumFactoryCabs() + 1, {}); // U002 holds nothing
    program.unit.setCabName (program.unit.getNumFactoryCabs() + 2, "Unit\x1b[2J\nCab");
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (LibrarianWindows::manageCabsCommand, false));
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getUnitEntryText (1).startsWith ("U002"); }));
    // The unit's cab names are listed with their control characters escaped.
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getUnitEntryText (2).startsWith ("U003 Unit"); }));
    EXPECT_EQ (findList (*librarian, 0)->getCell (2)->getNameText(), "Unit\\x1B[2J\\x0ACab");
    EXPECT_TRUE (librarian->getSelectedUnitSlots().isEmpty()) << "the presets window's selection is its own";
    EXPECT_NE (librarian->getStatusText(), presetsStatus);
    const int before = notices.count();
    program.unit.clearReceived();
    openBrowserOn (folder);
    dragBrowserFileToSlot ("Model 3 Cab.syx", 1);
    ASSERT_EQ (notices.count(), before + 1) << notices.lastMessage();
    EXPECT_TRUE (notices.lastMessage().contains ("Model 3 Cab.syx holds a cab for the Model 3")) << notices.lastMessage();
    answerLast (true); // whatever was asked
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
    // Onto the empty slot: nothing there is said to be lost, and the cab's
    // and its file's control characters are shown escaped; No sends nothing.
    dragBrowserFileToSlot ("Disk\x1b[2J\nCab.syx", 1);
    ASSERT_EQ (notices.count(), before + 2) << notices.lastMessage();
    EXPECT_EQ (notices.lastMessage(), "Send \"Disk\\x1B[2J\\x0ACab\" from Disk\\x1B[2J\\x0ACab.syx to the empty user "
                                      "cab U002 on the Kestrel?");
    answerLast (false);
    // Onto a cab the unit holds: its name is quoted and escaped too.
    dragBrowserFileToSlot ("Disk\x1b[2J\nCab.syx", 2);
    ASSERT_EQ (notices.count(), before + 3) << notices.lastMessage();
    EXPECT_EQ (notices.lastMessage(), "Replace user cab U003 \"Unit\\x1B[2J\\x0ACab\" on the Kestrel with "
                                      "\"Disk\\x1B[2J\\x0ACab\" from Disk\\x1B[2J\\x0ACab.syx?\nWhat it holds now is lost.");
    answerLast (false);
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_CABIR_START), 0);
    for (int flat = 0; flat < program.unit.getNumFactoryCabs() + program.unit.getNumUserCabs(); ++flat)
        EXPECT_FALSE (program.unit.getCabName (flat).name.startsWith ("Foreign")) << flat;
    EXPECT_FALSE (librarian->getStatusText().startsWith ("Sent")) << librarian->getStatusText();

    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return librarian->getSelectedUnitSlots() == juce::Array<int> ({ last }); }));
    EXPECT_EQ (librarian->getStatusText(), presetsStatus);
}

// Banks that mix models list each preset they hold, each read for its own
// model. Only those of the unit's model reach it: a selection that holds
// another model's preset is refused before anything is sent.
TEST_F (LibrarianDragAndDrop, ABankOfMixedModelsListsEachPresetAndSendsOnlyTheUnitsOwn)
{
    auto writeBank = [this] (const juce::String& fileName, std::initializer_list<std::pair<const char*, int>> presets)
    {
        juce::MemoryBlock bank;
        for (auto [name, model] : presets)
        {
            auto preset = SimulatedPreset::makeFactory (2);
            preset.name = name;
            const auto dump = makePresetDumpFile (preset, (juce::uint8) model);
            bank.append (dump.getData(), dump.getSize());
        }
        const auto file = folder.getChildFile (fileName);
        EXPECT_TRUE (file.replaceWithData (bank.getData(), bank.getSize()));
        return file;
    };
    const auto mixed = writeBank ("Mixed.syx", { { "Eight A", 8 }, { "Three", 3 }, { "Eight B", 8 } });
    const auto threeFirst = writeBank ("Three First.syx", { { "Three Too", 3 }, { "Eight C", 8 } });

    ScriptedInteraction interaction;
    interaction.answerWithFiles ({ mixed, threeFirst });
    click (*librarian, "Add Files...");
    auto* diskList = findList (*librarian, 1);
    ASSERT_EQ (diskList->getNumCells(), 5);
    juce::StringArray listed;
    for (int i = 0; i < diskList->getNumCells(); ++i)
        listed.add (diskList->getCell (i)->getNameText());
    EXPECT_EQ (listed.joinIntoString (","), "Eight A,Three,Eight B,Three Too,Eight C");

    constexpr int first = 20;
    auto send = [&] (const juce::Array<int>& entries)
    {
        librarian->selectDiskEntries (entries);
        librarian->selectUnitEntry (first);
        click (*librarian, "<< Send Presets\nto Kestrel");
    };
    program.unit.clearReceived();
    const int before = program.notices.count();
    send ({ 0, 1, 2 });
    ASSERT_EQ (program.notices.count(), before + 1);
    EXPECT_TRUE (program.notices.lastMessage().contains ("Mixed.syx holds a preset for the Model 3"))
        << program.notices.lastMessage();
    EXPECT_FALSE (librarian->isSending());

    send ({ 0, 2, 4 });
    ASSERT_EQ (program.notices.count(), before + 2);
    EXPECT_TRUE (program.notices.lastMessage().contains ("3 presets from Mixed.syx, Three First.syx?"))
        << program.notices.lastMessage();
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }, 60000));
    EXPECT_EQ (librarian->getStatusText(), "Sent to the Kestrel: 3");
    int slot = first;
    for (auto name : { "Eight A", "Eight B", "Eight C", "Preset 23" })
        EXPECT_EQ (program.unit.getPreset (slot++).name.trim(), name);
    for (auto& message : program.unit.getReceived())
        EXPECT_TRUE (message.getRawDataSize() > 4 && message.getRawData()[4] != 3) << "a message for the Model 3";
}

// The unit pads a name with empty places (0x00FF or 0xFFFF) as well as
// blanks. "Files on disk" lists and sends such a preset under its name; a
// preset that holds no name is listed under its file's name, said to have
// none, and sent without one (a bank with one is sent whole); a longer name
// is asked about as the unit stores it. A name with control characters or
// DEL is listed escaped, refused naming them, and nothing is sent; one that
// begins with a control character is listed as "EMPTY" and refused alike.
// Control characters in the names of files (the rows' tooltips) and folders
// (the browser's folder line) are shown escaped too.
TEST_F (LibrarianDragAndDrop, NamesPaddedWithEmptyPlacesAreSentAndControlCharactersRefused)
{
    const auto odd = folder.getChildFile ("Odd\x1b[2J\nFolder");
    ASSERT_TRUE (odd.createDirectory());
    auto writeFile = [odd] (const juce::String& fileName,
                            std::initializer_list<std::tuple<juce::String, juce::uint16, int>> presets)
    {
        juce::MemoryBlock bytes;
        for (auto& [name, padding, ampValue] : presets)
        {
            auto preset = SimulatedPreset::makeFactory (2);
            preset.name = name;
            preset.namePadding = padding;
            preset.setParam (ampBlock, 1, (juce::uint16) ampValue);
            const auto dump = makePresetDumpFile (preset);
            bytes.append (dump.getData(), dump.getSize());
        }
        const auto file = odd.getChildFile (fileName);
        EXPECT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
        return file;
    };
    const juce::Array<juce::File> files{
        writeFile ("padded.syx", { { " Clean", 0x00FF, 1111 } }),
        writeFile ("bank.syx", { { "Bank A", 0xFFFF, 2221 }, { "", 0x00FF, 2222 }, { "Bank C", ' ', 2223 } }),
        writeFile ("control\x1b[2J\n.syx", { { "Bell\x07" "Esc\x1b[2J\nnl", ' ', 1 } }),
        writeFile ("delete.syx", { { "Del\x7f" "ete", 0xFFFF, 1 } }),
        writeFile ("escape.syx", { { "\x1b[2J Esc", ' ', 1 } }),
        writeFile ("long.syx", { { "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", ' ', 1 } }),
    };
    ScriptedInteraction interaction;
    interaction.answerWithFiles (files);
    click (*librarian, "Add Files...");
    auto* diskList = findList (*librarian, 1);
    ASSERT_EQ (diskList->getNumCells(), 8);
    const juce::String rows[] = { "Clean", "Bank A", "bank 2", "Bank C", "Bell\\x07Esc\\x1B[2J\\x0Anl",
                                  "Del\\x7Fete", "EMPTY" };
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ (diskList->getCell (row)->getNameText(), rows[row]);
    EXPECT_EQ (diskList->getCell (4)->getTooltip(), "Preset File - control\\x1B[2J\\x0A.syx");
    openBrowserOn (odd);
    juce::StringArray labels;
    for (auto* child : browser->getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            labels.add (label->getText());
    EXPECT_TRUE (labels.contains ("Folder: " + folder.getFullPathName() + "/Odd\\x1B[2J\\x0AFolder"))
        << labels.joinIntoString ("|");

    auto& notices = program.notices;
    auto send = [&] (const juce::Array<int>& entries, int slot)
    {
        librarian->selectDiskEntries (entries);
        librarian->selectUnitEntry (slot);
        click (*librarian, "<< Send Presets\nto Kestrel");
    };
    auto stores = [this] (int slot, const juce::String& name, int ampValue)
    {
        const auto stored = program.unit.getPreset (slot);
        juce::uint16 value = 0;
        if (stored.name.trim() == name && stored.getParam (ampBlock, 1, value) && value == ampValue)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << slot << " holds \"" << stored.name << "\", amp " << value;
    };

    const int before = notices.count();
    send ({ 0 }, 9);
    ASSERT_EQ (notices.count(), before + 1);
    EXPECT_TRUE (notices.lastMessage().contains (" with \"Clean\" from padded.syx?")) << notices.lastMessage();
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }) && program.settle());
    EXPECT_TRUE (stores (9, "Clean", 1111));

    for (auto [entry, sent] : { std::pair (2, " with a preset without a name from bank.syx?"),
                                std::pair (7, " with \"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234\" from long.syx?") })
    {
        send ({ entry }, 9);
        EXPECT_TRUE (notices.lastMessage().contains (sent)) << notices.lastMessage();
        answerLast (false);
    }

    program.unit.clearReceived();
    send ({ 1, 2, 3 }, 20);
    ASSERT_EQ (notices.count(), before + 4) << notices.lastMessage();
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }, 60000) && program.settle());
    EXPECT_EQ (librarian->getStatusText(), "Sent to the Kestrel: 3");
    EXPECT_TRUE (stores (20, "Bank A", 2221));
    EXPECT_TRUE (stores (21, "", 2222)) << "no name the file does not hold";
    EXPECT_TRUE (stores (22, "Bank C", 2223));
    EXPECT_EQ (program.unit.countReceived (SYSEX_SET_NAME), 2) << "the nameless preset is not renamed";

    program.unit.clearReceived();
    const auto stored = program.unit.getPreset (9).toWords();
    const char* const refusals[] = {
        "Unable to send \"Bell\\x07Esc\\x1B[2J\\x0Anl\".\nIts name holds characters the Kestrel cannot store in a "
        "name: \\x07 \\x1B \\x0A.\nNothing was sent to the Kestrel.",
        "Unable to send \"Del\\x7Fete\".\nIts name holds characters the Kestrel cannot store in a name: \\x7F.\n"
        "Nothing was sent to the Kestrel.",
        "Unable to send \"\\x1B[2J Esc\".\nIts name holds characters the Kestrel cannot store in a name: \\x1B.\n"
        "Nothing was sent to the Kestrel.",
    };
    for (int entry : { 4, 5, 6 })
    {
        const int count = notices.count();
        send ({ entry }, 9);
        ASSERT_EQ (notices.count(), count + 1) << "no question first: " << notices.lastMessage();
        EXPECT_EQ (notices.lastMessage(), refusals[entry - 4]);
    }
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.countReceived (SYSEX_PATCH_START) + program.unit.countReceived (SYSEX_SET_NAME), 0);
    EXPECT_TRUE (program.unit.getPreset (9).toWords() == stored);
}

// The block being edited stays in view through what the librarian does on
// the unit: a send to a slot, a raw preset job and closing the windows. The
// presets window's status then tells how the job ended. A Close pressed
// while a send runs asks first; the send ends before anyone answers, and the
// question goes with it as the librarian closes.
TEST_F (LibrarianDragAndDrop, TheEditedBlockStaysInViewThroughASendAJobAndClosing)
{
    ASSERT_TRUE (program.grid->selectBlockById (ampBlock));
    auto ampShown = [this]
    { return program.settle() && pumpPostedMessages() && program.editor->getShownBlock() == ampBlock; };
    ASSERT_TRUE (ampShown());
    const int editing = program.unit.getCurrentPresetNumber();

    dragBrowserFileToSlot ("Dropped In.syx", 9);
    answerLast (true);
    ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
    EXPECT_TRUE (ampShown()) << "after a send";
    EXPECT_EQ (program.unit.getCurrentPresetNumber(), editing) << "the unit is back on the preset being edited";

    auto* rawPresets = program.content->getPaneAs<RawPresetThreadDlg> (ContentPane::rawPreset);
    ASSERT_NE (rawPresets, nullptr);
    librarian->selectUnitEntry (exportedSlot);
    click (*librarian, "Export...");
    ASSERT_TRUE (pumpMessagesUntil ([&] { return rawPresets->isVisible(); }));
    ScriptedInteraction chooser;
    chooser.answerWithFile (program.scratch.folder.getChildFile ("records"));
    click (*rawPresets, "Folder...");
    click (*rawPresets, "Start");
    ASSERT_TRUE (pumpMessagesUntil ([&] { return rawPresets->getStatusText().startsWith ("Exported"); }, 60000));
    const auto jobStatus = rawPresets->getStatusText();
    click (*rawPresets, "Close");
    EXPECT_TRUE (ampShown()) << "after a job";
    EXPECT_EQ (librarian->getStatusText(), jobStatus);

    program.unit.setReplyDelayFor (SYSEX_SAVE_PATCH, 1000); // still sending when Close is pressed
    program.unit.startAutoPump();
    dragBrowserFileToSlot ("Dropped In.syx", 10);
    answerLast (true);
    {
        ShownNotices shown;
        click (*librarian, "Close");
        ASSERT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().size() == 1; }));
        auto* box = dynamic_cast<juce::DialogWindow*> (shownNoticeBoxes().getFirst());
        auto* question = box != nullptr ? dynamic_cast<GenericDialogContent*> (box->getContentComponent()) : nullptr;
        ASSERT_NE (question, nullptr);
        EXPECT_EQ (question->message, BankManagerListContent::closeWhileSendingText);
        EXPECT_TRUE (librarian->isSending()) << "the question came before the end";
        ASSERT_TRUE (pumpMessagesUntil ([this] { return ! librarian->isSending(); }));
        EXPECT_TRUE (pumpMessagesUntil ([] { return shownNoticeBoxes().isEmpty(); })) << "the question is still open";
    }
    program.unit.setReplyDelayFor (SYSEX_SAVE_PATCH, 0);
    EXPECT_FALSE (librarian->isVisible());
    EXPECT_EQ (program.unit.getPreset (10).name.trim(), "Dropped In");
    EXPECT_TRUE (ampShown()) << "after closing";
    saveScreenshot (*program.content, "librarian-closed-block-still-shown");
}
} // namespace
