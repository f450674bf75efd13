#include "app/grid/GridUnitContent.h"
#include "app/grid/KestrelBlockComponent.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "device/wire/SysExFraming.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/LibrarianWindows.h"
#include "model/IdTables.h"
#include "model/PromptCatalogue.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "support/NoticeBoxes.h"
#include "support/ConnectedProgram.h"
#include "support/FastTicks.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/Screenshot.h"
#include "support/ScriptedInteraction.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

namespace
{
constexpr int pauseCommand = 1404;

// The program with the librarian's windows as it makes them, on a unit whose
// current preset, 1-1, is "Rich Tone"; the other slots hold factory presets.
class LibrarianLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTREL_REQUIRE_DISPLAY();
        LibrarianWindows::registerPanes();
        const auto showcase = SimulatedPreset::makeShowcase();
        program.unit.setPreset (0, showcase);
        program.unit.setEditBuffer (showcase);
        ASSERT_TRUE (program.open());
        windows = std::make_unique<LibrarianWindows> (*program.content);
        librarian = program.content->getPaneAs<BankManagerListContent> (ContentPane::librarian);
        panel = program.content->getFrontPanel();
        ASSERT_TRUE (librarian != nullptr && panel != nullptr);
        ASSERT_EQ (panel->getPresetName()->getText().trim(), "Rich Tone");
    }

    void TearDown() override
    {
        windows.reset();
        program.close();
        for (auto pane : { ContentPane::librarian, ContentPane::browserChooser, ContentPane::rawPreset,
                           ContentPane::exchangeWindow })
            KestrelContentComponent::setPaneCreator (pane, nullptr);
    }

    bool openLibrarian()
    {
        return program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false)
               && pumpMessagesUntil ([this] { return librarian->getUnitEntryText (7).contains ("Preset 7"); });
    }

    // The slot's row, scrolled into view, as the user clicks it.
    ScrollableListCell* cellOf (int slot)
    {
        for (auto* child : librarian->getChildren())
            if (auto* list = dynamic_cast<ZolScrollableListCtrl*> (child))
                if (auto* cell = list->findCellByItemId (slot + 1))
                {
                    list->scrollCellIntoView (cell);
                    return cell;
                }
        return nullptr;
    }

    void closeLibrarian()
    {
        for (auto* child : librarian->getChildren())
            if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == "Close")
                button->triggerClick();
        pumpPostedMessages();
    }

    // The window shows the slot's preset as the unit holds it, read through.
    ::testing::AssertionResult windowShows (int slot, const juce::String& name, int blockInFirstCell)
    {
        if (! pumpMessagesUntil ([&] { return program.presets->getCurrentPresetNumber() == slot && ! program.presets->hasWork(); }))
            return ::testing::AssertionFailure() << "the window is on " << program.presets->getCurrentPresetNumber();
        if (program.unit.getCurrentPresetNumber() != slot || panel->getPresetName()->getText().trim() != name
            || ! panel->getPresetButton (slot & 7)->getToggleState() || program.grid->getTile (0) == nullptr
            || program.grid->getTile (0)->getBlockId() != blockInFirstCell)
            return ::testing::AssertionFailure() << "the window shows \"" << panel->getPresetName()->getText() << "\"";
        return ::testing::AssertionSuccess();
    }

    SkippingClock clock; // the program's clock for as long as it runs
    ConnectedProgram program{ "kestrel-librarian-load" };
    std::unique_ptr<LibrarianWindows> windows;
    BankManagerListContent* librarian = nullptr;
    ControlUnitContent* panel = nullptr;
    ScriptedInteraction interaction;
};

// A Load from the librarian, by its menu or a double-click, is a preset
// change like the window's own: the window reads and shows the preset, and
// SAVE stores it in its own slot, never over the preset shown before. The
// menu's Load among several chosen rows loads the row right-clicked. With
// unsaved changes it asks first, and No changes nothing.
TEST_F (LibrarianLoad, TheWindowFollowsALoadAndSaveStoresThePresetInItsOwnSlot)
{
    constexpr int factoryFirstBlock = 106, showcaseFirstBlock = 100;
    ASSERT_TRUE (openLibrarian());
    ASSERT_TRUE (clickWithPause (*cellOf (4)));
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    ASSERT_TRUE (clickWithPause (*cellOf (5)) && pumpPostedMessages());
    juce::ModifierKeys::currentModifiers = {};
    ASSERT_EQ (librarian->getSelectedUnitSlots(), juce::Array<int> ({ 4, 5 }));
    interaction.answerMenuWithItem ("Load");
    ASSERT_TRUE (clickBackToBack (*cellOf (5), true));
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getStatusText() == "Loaded: " + librarian->getUnitEntryText (5); }))
        << librarian->getStatusText();
    closeLibrarian();
    EXPECT_TRUE (windowShows (5, "Preset 5", factoryFirstBlock));

    program.unit.clearReceived();
    panel->getButtonNamed ("saveButton")->triggerClick();
    ASSERT_TRUE (pumpMessagesUntil ([this] { return program.unit.countReceived (SYSEX_SAVE_PATCH) == 1 && ! program.presets->hasWork(); }));
    juce::MidiMessage save;
    for (auto& message : program.unit.getReceived())
        if (message.getRawData()[sysExFunctionOffset] == SYSEX_SAVE_PATCH)
            save = message;
    EXPECT_EQ (save.getRawData()[6], 0) << "bank";
    EXPECT_EQ (save.getRawData()[7], 5) << "program";
    EXPECT_EQ (program.unit.getPreset (0).name.trim(), "Rich Tone");
    EXPECT_NE (program.unit.getPreset (0).findBlock (showcaseFirstBlock), nullptr);

    // Back to "Rich Tone" by a double-click.
    ASSERT_TRUE (openLibrarian());
    ASSERT_TRUE (clickBackToBack (*cellOf (0)) && clickBackToBack (*cellOf (0)));
    ASSERT_TRUE (pumpMessagesUntil ([this] { return librarian->getStatusText() == "Loaded: " + librarian->getUnitEntryText (0); }))
        << librarian->getStatusText();
    EXPECT_TRUE (windowShows (0, "Rich Tone", showcaseFirstBlock));

    // Unsaved changes: the question first; No leaves the unit and the window as they are, Yes loads.
    auto edited = SimulatedPreset::makeShowcase();
    edited.name = "Unsaved Edit";
    program.unit.setEditBuffer (edited, true);
    program.unit.sendResync();
    ASSERT_TRUE (pumpMessagesUntil ([this] { return program.presets->isPresetModified() && ! program.presets->hasWork(); }));
    program.unit.clearReceived();
    for (bool yes : { false, true })
    {
        const int asked = program.notices.count();
        ASSERT_TRUE (clickBackToBack (*cellOf (6)) && clickBackToBack (*cellOf (6)));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() == asked + 1; }));
        EXPECT_EQ (program.notices.lastMessage(), promptText (PROMPT_PRESET_MODIFIED));
        program.notices.answer (asked, yes ? 1 : 0);
        pumpPostedMessages();
        ASSERT_TRUE (program.settle());
        if (! yes)
        {
            EXPECT_EQ (program.unit.countReceived (SYSEX_RECALL_PATCH), 0);
            EXPECT_TRUE (program.unit.isModified());
            EXPECT_TRUE (windowShows (0, "Unsaved Edit", showcaseFirstBlock));
        }
    }
    closeLibrarian();
    EXPECT_TRUE (windowShows (6, "Preset 6", factoryFirstBlock));
}

// A Load the unit never carries out ends the status line with its failure,
// told once, also when the librarian was closed meanwhile, and the window
// stays on its preset; reaching that preset later by another road is not
// told as the Load's.
TEST_F (LibrarianLoad, ALoadTheUnitNeverCarriesOutEndsWithItsFailure)
{
    FastTicks ticks{ *program.window };
    ASSERT_TRUE (openLibrarian());
    ASSERT_TRUE (program.settle());
    const int before = program.notices.count();
    const auto failed = "Not loaded: " + librarian->getUnitEntryText (20) + ". The Kestrel did not answer.";
    program.unit.setSilentFor (SYSEX_RECALL_PATCH);
    {
        // The time-out's box stands over the window, wherever the window is,
        // and the failure is told with the librarian closed while it waits.
        RecordedNoticesShown shown (program.notices, *program.window);
        moveToTheScreensCorner (*program.window);
        ASSERT_TRUE (clickBackToBack (*cellOf (20)) && clickBackToBack (*cellOf (20)));
        closeLibrarian();
        ASSERT_FALSE (librarian->isVisible());
        // Closed while the Load waits: from here its waits pass quickly, the
        // one under way included.
        clock.skipTimeOutsOf (program.unit);
        if (program.unit.countReceived (SYSEX_RECALL_PATCH) > 0)
            clock.skip (SysExRequest::defaultTimeoutMs + 1);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.notices.count() == before + 1; }, 60000));
        EXPECT_TRUE (theBoxStandsCentredOver (*program.window));
    }
    ASSERT_TRUE (program.settle());
    program.unit.setSilentFor (SYSEX_RECALL_PATCH, false);
    ASSERT_TRUE (openLibrarian());
    EXPECT_EQ (librarian->getStatusText(), failed);
    EXPECT_EQ (program.notices.count(), before + 1) << program.notices.lastMessage();
    EXPECT_TRUE (windowShows (0, "Rich Tone", 100));

    program.unit.selectPresetOnUnit (20);
    EXPECT_TRUE (windowShows (20, "Preset 20", 106));
    EXPECT_EQ (librarian->getStatusText(), failed);
}

// Paused, the window offers only to resume: Brak-Manage does not open, the
// user is told how to resume, and nothing reaches the unit then or after.
TEST_F (LibrarianLoad, WhilePausedBrakManageSaysHowToResumeAndNothingRunsAtResume)
{
    auto& commands = program.window->getCommandManager();
    ASSERT_TRUE (program.grid->selectCell (0));
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (commands.invokeDirectly (pauseCommand, false));
    ASSERT_TRUE (program.window->isCommunicationPaused());
    program.unit.clearReceived();
    const int before = program.notices.count();

    commands.invokeDirectly (LibrarianWindows::managePresetsCommand, false);
    pumpPostedMessages();
    EXPECT_FALSE (librarian->isVisible());
    ASSERT_EQ (program.notices.count(), before + 1);
    EXPECT_EQ (program.notices.lastMessage(), KestrelCommandTarget::communicationsPausedText());
    EXPECT_TRUE (program.notices.lastMessage().contains ("press F8")) << program.notices.lastMessage();

    // Nor do the window's keys and menus reach the unit, then or at resume:
    // with a block selected behind the pause, Delete, X, Ctrl+S and a preset button
    // (Space is the pause panel's own key to resume).
    const auto words = program.unit.getEditBuffer().toWords();
    auto* peer = program.window->getPeer();
    ASSERT_NE (peer, nullptr);
    for (auto key : { juce::KeyPress (juce::KeyPress::deleteKey), juce::KeyPress ('X', 0, 'x'),
                      juce::KeyPress ('S', juce::ModifierKeys::ctrlModifier, 's') })
        peer->handleKeyPress (key);
    for (int id : { 1118, 2405, 1203, 1207 })
        EXPECT_FALSE (commands.invokeDirectly (id, false)) << id;
    pumpPostedMessages();
    EXPECT_EQ (program.notices.count(), before + 8) << "each is told why nothing happens";
    EXPECT_EQ (program.notices.lastMessage(), KestrelCommandTarget::communicationsPausedText());

    ASSERT_TRUE (commands.invokeDirectly (pauseCommand, false));
    ASSERT_TRUE (program.settle());
    for (int function : { SYSEX_RECALL_PATCH, SYSEX_SAVE_PATCH })
        EXPECT_EQ (program.unit.countReceived (function), 0) << function;
    EXPECT_FALSE (program.unit.isModified());
    EXPECT_TRUE (program.unit.getEditBuffer().toWords() == words) << "the unit's preset changed";
    EXPECT_TRUE (windowShows (0, "Rich Tone", 100));
}
} // namespace
