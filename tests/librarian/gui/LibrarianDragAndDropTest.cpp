#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrowserChooserDlg.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "model/IdTables.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/RawPreset.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/ConnectedProgram.h"
#include "support/ForgetSingletons.h"
#include "support/PresetDumpFile.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

#include <functional>
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
        rawPresets = program.content->getPaneAs<RawPresetThreadDlg> (ContentPane::rawPreset);
        ASSERT_TRUE (librarian != nullptr && browser != nullptr && rawPresets != nullptr);

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

    void openBrowserOn (const juce::File& shown)
    {
        ScriptedInteraction interaction;
        interaction.answerWithFile (shown);
        ASSERT_NE (findButton (*librarian, "Browse Folder..."), nullptr);
        findButton (*librarian, "Browse Folder...")->triggerClick();
        ASSERT_TRUE (pumpMessagesUntil ([this] { return browser->isVisible(); }));
        findButton (*browser, "Folder...")->triggerClick();
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

    juce::File exportedFile (const juce::File& in)
    {
        auto found = in.findChildFiles (juce::File::findFiles, false, "*.dat");
        return found.size() == 1 ? found.getFirst() : juce::File();
    }

    // The record Export writes: the slot's preset with its name and values.
    void expectExportOfTheSlot (const juce::File& file)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes)) << file.getFullPathName();
        EXPECT_TRUE (file.getFileName().endsWith ("_Going Out.dat")) << file.getFileName();
        RawPreset record;
        ASSERT_TRUE (record.readFrom (bytes));
        EXPECT_EQ (record.name.trim(), "Going Out");
        auto* amp = record.findBlock (ampBlock);
        ASSERT_NE (amp, nullptr);
        bool found = false;
        for (auto word : amp->xValues)
            if ((word & 0xFFFF) == 1)
                found = (word >> 16) == 3456;
        EXPECT_TRUE (found) << "the amp's parameter 1 as the unit holds it";
    }

    static constexpr juce::Point<int> uncovered{ 20, 10 }; // in a unit cell, left of the browser

    ConnectedProgram program{ "kestrel-librarian-drag" };
    juce::File folder = program.scratch.folder.getChildFile ("syx");
    std::unique_ptr<LibrarianWindows> windows;
    BankManagerListContent* librarian = nullptr;
    BrowserChooserDlg* browser = nullptr;
    RawPresetThreadDlg* rawPresets = nullptr;
};

// A preset file dragged from the browser onto a slot is sent there once the
// user agrees to the send's question; a damaged one is refused.
TEST_F (LibrarianDragAndDrop, AFileDraggedFromTheBrowserOntoASlotIsSentThereAfterTheQuestion)
{
    constexpr int slot = 9;
    auto& notices = program.notices;
    const int before = notices.count();
    program.unit.clearReceived();

    dragBrowserFileToSlot ("Dropped In.syx", slot);
    ASSERT_EQ (notices.count(), before + 1) << notices.lastMessage();
    EXPECT_TRUE (notices.lastMessage().startsWith ("Replace 1 preset(s) on the Kestrel, from "
                                                   + librarian->getUnitEntryText (slot)))
        << notices.lastMessage();
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

// Preset cells dragged onto the browser are exported into its folder, as
// Export writes them: onto a listed file, and onto a folder that lists none.
TEST_F (LibrarianDragAndDrop, PresetCellsDraggedOntoTheBrowserAreExportedIntoItsFolder)
{
    auto* unitList = findList (*librarian, 0);
    auto* files = findList (*browser, 0);
    ASSERT_TRUE (unitList != nullptr && files != nullptr);
    const int before = program.notices.count();

    // A plain drop copies: the dragged cell shows the skin's copy cursor.
    auto* copyCursor = KestrelImageDepot::getInstance()->getCursor (ImageDepot::copyCursor);
    ASSERT_NE (copyCursor, nullptr);
    auto& dragged = *unitList->getCell (exportedSlot);
    dragWithMouse (dragged, uncovered, *files->getCell (0), { 40, 10 },
                   [&] { EXPECT_TRUE (dragged.getMouseCursor() == *copyCursor); });
    ASSERT_TRUE (pumpMessagesUntil ([this] { return exportedFile (folder).existsAsFile() && ! rawPresets->isTransferRunning(); }, 60000))
        << rawPresets->getStatusText() << " / " << rawPresets->getItemText (0);
    expectExportOfTheSlot (exportedFile (folder));
    saveScreenshot (*program.content, "librarian-cells-exported-to-the-browser");
    // Closed, the dialog has the names read again, which rebuilds the slots: a drag waits for that.
    rawPresets->requestClose();
    ASSERT_TRUE (pumpPostedMessages());
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());

    const auto empty = program.scratch.folder.getChildFile ("empty");
    ASSERT_TRUE (empty.createDirectory());
    openBrowserOn (empty);
    ASSERT_EQ (files->getNumCells(), 0) << "the files of the folder before are gone";
    // The last transfer went elsewhere since the browser scanned (an Export to another folder, say).
    ASSERT_NE (KestrelGlobalConfiguration::getInstanceWithoutCreating(), nullptr);
    KestrelGlobalConfiguration::getInstanceWithoutCreating()->MRU_DIRECTORY = folder.getFullPathName();
    dragWithMouse (*unitList->getCell (exportedSlot), uncovered, *browser, browser->getLocalBounds().getCentre());
    ASSERT_TRUE (pumpMessagesUntil ([&] { return exportedFile (empty).existsAsFile() && ! rawPresets->isTransferRunning(); }, 60000))
        << rawPresets->getStatusText() << " / " << rawPresets->getItemText (0);
    expectExportOfTheSlot (exportedFile (empty));
    EXPECT_EQ (program.notices.count(), before) << program.notices.lastMessage();
}
} // namespace
