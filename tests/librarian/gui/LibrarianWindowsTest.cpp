#include "app/dialogs/CabEasySetupDlg.h"
#include "app/grid/GridUnitContent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "bench/BenchRig.h"
#include "device/engines/PresetManager.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrakChangeWindow.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "librarian/SlotTexts.h"
#include "model/IdTables.h"
#include "model/PromptCatalogue.h"
#include "skin/engine/SkinManager.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/ConnectedProgram.h"
#include "support/LibrarianRoad.h"
#include "support/FastTicks.h"
#include "support/PresetDumpFile.h"
#include "support/PumpMessages.h"
#include "support/QuickClick.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedInteraction.h"
#include "support/Screenshot.h"
#include "support/SkippingClock.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

using namespace librarianRoad;

namespace
{
// A click on the librarian's button with that text, delivered as the user's is.
bool clickButton (BankManagerListContent& librarian, const juce::String& text)
{
    for (auto* child : librarian.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
            button->triggerClick();
    return pumpPostedMessages();
}

TEST (LibrarianWindows, TheCommandsOpenTheWindowsWhichCountAsDialogsAndCloseWithTheOthers)
{
    KESTREL_REQUIRE_DISPLAY();
    RecordingNotifier notices;
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelContentComponent content (nullptr, &skin);

    for (auto pane : { ContentPane::librarian, ContentPane::browserChooser, ContentPane::rawPreset,
                       ContentPane::exchangeWindow })
        content.setPane (pane, LibrarianWindows::createPane (pane, nullptr, &skin), false);

    LibrarianWindows windows (content);
    auto* librarian = content.getPaneAs<BankManagerListContent> (ContentPane::librarian);
    auto* rawPresets = content.getPaneAs<RawPresetThreadDlg> (ContentPane::rawPreset);
    auto* exchange = content.getPaneAs<BrakChangeWindow> (ContentPane::exchangeWindow);
    ASSERT_TRUE (librarian != nullptr && rawPresets != nullptr && exchange != nullptr);
    EXPECT_EQ (content.getShowingDialog(), nullptr);

    ASSERT_TRUE (windows.performCommand (LibrarianWindows::manageCabsCommand));
    EXPECT_TRUE (librarian->isCabMode());
    EXPECT_EQ (content.getShowingDialog(), librarian);

    // Its send button's caption reads unsqueezed, a line at a time, where the
    // framework draws a button's text (inside an indent of 0.6 font heights).
    content.setBounds (0, 0, 1024, 647);
    juce::TextButton* send = nullptr;
    for (auto* child : librarian->getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText().startsWith ("<<"))
            send = button;
    ASSERT_NE (send, nullptr);
    const auto font = send->getLookAndFeel().getTextButtonFont (*send, send->getHeight());
    const auto lines = juce::StringArray::fromLines (send->getButtonText());
    EXPECT_LE (lines.size(), 2);
    for (auto& line : lines)
        EXPECT_LE (font.getStringWidthFloat (line), (float) send->getWidth() - 2.0f * std::round (font.getHeight() * 0.6f))
            << line;
    saveScreenshot (*librarian, "librarian-cabs");

    // The librarian asks for the raw preset dialog, which shows above it.
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::managePresetsCommand));
    librarian->onImportFromFiles (7);
    EXPECT_TRUE (rawPresets->isVisible());
    EXPECT_EQ (rawPresets->getMode(), RawPresetThreadDlg::importMode);
    saveScreenshot (content, "librarian-over-the-editor");

    // The exchange opens over the main window, wherever that stands.
    juce::DocumentWindow host ("Kestrel-Edit", juce::Colours::black, 0);
    host.setContentNonOwned (&content, false);
    host.setBounds (20, 20, 1024, 647);
    host.setVisible (true);
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::exchangeCommand));
    EXPECT_TRUE (exchange->isVisible());
    EXPECT_LT (exchange->getScreenBounds().getCentre().getDistanceFrom (host.getScreenBounds().getCentre()), 20)
        << exchange->getScreenBounds().toString() << " over " << host.getScreenBounds().toString();
    saveScreenshot (*exchange, "librarian-exchange-window");

    content.closeAllDialogs();
    EXPECT_FALSE (librarian->isVisible());
    EXPECT_FALSE (rawPresets->isVisible());
    EXPECT_FALSE (exchange->isVisible());
    EXPECT_EQ (content.getShowingDialog(), nullptr);
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
}

// Each window's bar, made from its skin, moves the border between its panes
// as far as each pane keeps its room, and a double-click puts it back.
TEST (LibrarianWindows, TheBarBetweenTheLibrarianAndExchangePanesMovesTheirBorder)
{
    KESTREL_REQUIRE_DISPLAY();
    RecordingNotifier notices;
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelContentComponent content (nullptr, &skin);

    for (auto pane : { ContentPane::librarian, ContentPane::exchangeWindow })
        content.setPane (pane, LibrarianWindows::createPane (pane, nullptr, &skin), false);

    LibrarianWindows windows (content);
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::managePresetsCommand));
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::exchangeCommand));
    auto* librarian = content.getPaneAs<BankManagerListContent> (ContentPane::librarian);
    auto* exchange = content.getPaneAs<BrakChangeWindow> (ContentPane::exchangeWindow);
    ASSERT_TRUE (librarian != nullptr && exchange != nullptr);
    auto& browser = exchange->getBrowser();

    struct Window
    {
        ZOLWindowSplitter* bar;
        std::function<juce::Rectangle<int>()> left, right;
        const char* name;
    };

    for (auto& w : { Window{ librarian->getSplitter(), [&] { return librarian->getUnitListBounds(); },
                             [&] { return librarian->getDiskListBounds(); }, "librarian" },
                     Window{ browser.getSplitter(), [&] { return browser.getListBounds(); },
                             [&] { return browser.getDetailsBounds(); },
                             "exchange" } })
    {
        SCOPED_TRACE (w.name);
        ASSERT_NE (w.bar, nullptr);
        EXPECT_TRUE (w.bar->isVisible());
        EXPECT_EQ (w.bar->stripeColour, juce::Colour (0xFF3A3E44)) << "the skin's bar";
        ASSERT_GT (w.bar->getHeight(), 100);
        EXPECT_LE (w.left().getRight(), w.bar->getX());

        const int startWidth = w.left().getWidth();
        w.bar->setProportionalPosition (true, 0.0);
        w.bar->dispatchPendingMessages();
        const int narrowest = w.left().getWidth();
        EXPECT_LT (narrowest, startWidth);
        EXPECT_GE (narrowest, 290);
        EXPECT_LE (w.left().getRight(), w.bar->getX());

        w.bar->setProportionalPosition (true, 1.0);
        w.bar->dispatchPendingMessages();
        EXPECT_GT (w.left().getWidth(), startWidth);
        EXPECT_LE (w.left().getRight(), w.bar->getX());
        EXPECT_GE (w.right().getX(), w.bar->getRight());
    }

    // The librarian's file list keeps its room on the right.
    EXPECT_GE (librarian->getDiskListBounds().getWidth(), 300);
    saveScreenshot (*librarian, "librarian-bar-moved-right");
    content.closeAllDialogs();
}

// The librarian's "Easy Setup..." fills the content's cab setup dialog from
// the current preset; what the user confirms points the preset's cab
// locations at the chosen scratchpads, and a cancel sends nothing.
TEST (LibrarianWindows, CabEasySetupShowsThePresetsCabsAndPointsThemAtTheConfirmedScratchpads)
{
    KESTREL_REQUIRE_DISPLAY();
    bench::ProgramRig rig;
    ASSERT_TRUE (rig.connectAndLoad());
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    KestrelContentComponent content (nullptr, &skin);
    content.setSize (1024, 646);
    content.setPane (ContentPane::librarian, LibrarianWindows::createPane (ContentPane::librarian, nullptr, &skin), false);
    content.setPane (ContentPane::cabEasySetup, std::make_unique<CabEasySetupDlg> (&skin), false);
    LibrarianWindows windows (content);
    auto* librarian = content.getPaneAs<BankManagerListContent> (ContentPane::librarian);
    auto* dialog = content.getPaneAs<CabEasySetupDlg> (ContentPane::cabEasySetup);
    ASSERT_TRUE (librarian != nullptr && dialog != nullptr);
    librarian->setPresetManager (rig.manager.get());
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::manageCabsCommand));

    juce::TextButton* easySetup = nullptr;
    for (auto* child : librarian->getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText() == "Easy Setup...")
            easySetup = button;
    ASSERT_NE (easySetup, nullptr);

    // The current preset uses Cab 1 L only.
    int left = -1, right = -1;
    ASSERT_TRUE (rig.manager->getCabBlockCabs (108, left, right, false));
    ASSERT_GE (left, 0);
    const int firstScratchpad = rig.manager->getFirstScratchpadCabIndex();
    ASSERT_GT (firstScratchpad, 0);
    const auto number = rig.manager->getCurrentPresetNumber();

    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return easySetup->isEnabled(); }, 20000))
        << "the cab names are read when the librarian opens";
    easySetup->triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return dialog->isVisible(); }, 10000));
    EXPECT_EQ (dialog->getSetupInfo().presetNumber, number + rig.manager->getDisplayOffset());
    EXPECT_TRUE (dialog->getSetupInfo().inUse[0]);
    EXPECT_EQ (dialog->getSetupInfo().targets[0], 0);
    saveScreenshot (content, "librarian-cab-easy-setup");

    // Cancelled: the cab stays.
    dialog->close (false);
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return ! rig.manager->hasWork(); }, 20000));
    bench::runMessageLoopFor (200); // idle: a change of the cab would have been under way
    juce::uint16 kept = 0;
    ASSERT_TRUE (rig.unit->getEditBuffer().getParam (108, 0, kept));
    EXPECT_EQ (kept, left);

    // Confirmed with Scratchpad 3 for Cab 1 L.
    ScriptedInteraction interaction;
    interaction.answerMenuWithItem ("Scratchpad 3");
    easySetup->triggerClick();
    ASSERT_TRUE (bench::runMessageLoopUntil ([&] { return dialog->isVisible(); }, 10000));
    dialog->chooseScratchpad (0);
    EXPECT_EQ (dialog->getSetupInfo().targets[0], 2);
    dialog->close (true);
    EXPECT_TRUE (bench::runMessageLoopUntil (
        [&] { juce::uint16 value = 0; return rig.unit->getEditBuffer().getParam (108, 0, value) && value == firstScratchpad + 2; },
        10000));
}

// A right-click quicker than the message loop, on a preset of the unit's
// list in the librarian the main window opened: the preset is chosen and the
// list's menu offers what can be done with it.
TEST (LibrarianWindows, AQuickRightClickOnAPresetOffersItsCommands)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-quick-click" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    ScriptedInteraction interaction;
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);

    auto* cell = findLibrarianCell (*librarian, 0, 6);
    ASSERT_NE (cell, nullptr);

    ASSERT_TRUE (clickBackToBack (*cell, true));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! interaction.menus.empty(); }));
    EXPECT_EQ (librarian->getSelectedUnitSlots(), juce::Array<int> ({ 5 }));
    for (auto* text : { "Rename", "Export...", "Load" })
        EXPECT_TRUE (interaction.menus[0].itemTexts.contains (text)) << text << " in "
                                                                      << interaction.menus[0].itemTexts.joinIntoString (",");
    saveScreenshot (*program.window, "librarian-quick-right-click");
}

// With Brak-Manage over the window, the keys and menu commands meant for the
// preset behind it (Delete, X, Space, P) do nothing, whichever of its lists
// has the keyboard: the unit's preset keeps its amp on Y, engaged and unmodified.
TEST (LibrarianWindows, TheKeysAndCommandsOfTheHiddenPresetDoNothingWhileTheLibrarianShows)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-keys" };
    constexpr int ampCell = 0, ampBlock = 106;
    auto onY = program.unit.getEditBuffer();
    onY.findBlock (ampBlock)->onX.fill (false);
    program.unit.setEditBuffer (onY);
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    ASSERT_TRUE (program.grid->selectCell (ampCell));
    ASSERT_TRUE (program.settle());

    auto& commands = program.window->getCommandManager();
    auto* librarian = openPresetLibrarian (program);
    auto* picker = program.content->getPresetPicker();
    ASSERT_TRUE (librarian != nullptr && picker != nullptr);
    const auto file = program.scratch.folder.getChildFile ("Spare.syx");
    const auto dump = makePresetDumpFile (SimulatedPreset::makeFactory (9));
    ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize()));
    librarian->addFiles ({ file });
    ASSERT_EQ (librarian->getNumDiskEntries(), 1);
    ASSERT_TRUE (program.settle());

    const auto before = program.unit.getEditBuffer().toWords();
    program.unit.clearReceived();

    for (int list : { 0, 1 })
    {
        SCOPED_TRACE (list == 0 ? "a slot chosen" : "a file chosen");
        auto* cell = findLibrarianCell (*librarian, list, list == 0 ? 6 : 1);
        ASSERT_NE (cell, nullptr);
        ASSERT_TRUE (clickBackToBack (*cell));
        ASSERT_TRUE (pumpPostedMessages());

        // The librarian takes them: nothing behind it hears them.
        EXPECT_TRUE (pressKey (*program.window, juce::KeyPress::deleteKey));
        EXPECT_TRUE (pressKey (*program.window, 'X', 'x'));
        EXPECT_TRUE (pressKey (*program.window, ' ', ' '));
        EXPECT_TRUE (pressKey (*program.window, 'P', 'p'));
        ASSERT_TRUE (pumpPostedMessages());
    }

    // The same commands as the main menu runs them.
    for (int id : { 1203, 1207, 1206, 1117, 1100 })
        EXPECT_FALSE (commands.invokeDirectly (id, false)) << id;

    ASSERT_TRUE (pumpPostedMessages());
    ASSERT_TRUE (program.settle());
    EXPECT_TRUE (librarian->isVisible());
    EXPECT_FALSE (picker->isVisible()) << "the preset list opened over the librarian";
    EXPECT_TRUE (program.unit.getEditBuffer().toWords() == before) << "the unit's preset changed";
    EXPECT_FALSE (program.unit.isModified());
    EXPECT_EQ (program.unit.getReceived().size(), 0) << "the unit was sent something";

    // Closed, the same key reaches the grid again.
    ASSERT_TRUE (librarian->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (program.grid->selectCell (ampCell));
    ASSERT_TRUE (commands.invokeDirectly (1207, false));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getEditBuffer().findBlock (ampBlock)->onX[(size_t) program.unit.getCurrentScene()]; }));
}

// Right-click > Rename opens the slot's name for typing at once, even when
// the window gets the keyboard back from the menu only afterwards: typed
// keys edit the name, Return renames the preset on the unit, Escape leaves
// it as it was. The field shows framed over the whole cell, which draws
// nothing of its own meanwhile.
TEST (LibrarianWindows, TheRenameFieldTakesTheKeyboardWhenItOpens)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-rename" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    constexpr int slot = 4;
    ASSERT_EQ (librarian->getUnitEntryText (slot), "004 Preset 4");

    auto* cell = openRenameField (program, *librarian, slot);
    ASSERT_NE (cell, nullptr);
    auto* field = cell->getRenameLabel()->getCurrentTextEditor();
    ASSERT_NE (field, nullptr);
    EXPECT_TRUE (field->hasKeyboardFocus (true));
    EXPECT_EQ (field->getHighlightedText(), "Preset 4");
    EXPECT_EQ (cell->getRenameLabel()->getBounds(), cell->getLocalBounds()) << "the field covers the cell";
    auto* list = findParentScrollableListCtrl (cell);
    ASSERT_NE (list, nullptr);
    EXPECT_LE (cell->getRight(), list->getViewport().getViewWidth()) << "the field's frame reaches under the scroll bar";
    EXPECT_EQ (field->getBounds(), cell->getRenameLabel()->getLocalBounds());
    juce::Image drawn (juce::Image::ARGB, cell->getWidth(), cell->getHeight(), true);
    {
        juce::Graphics g (drawn);
        cell->paint (g);
    }
    int cellPixels = 0;
    for (int y = 0; y < drawn.getHeight(); ++y)
        for (int x = 0; x < drawn.getWidth(); ++x)
            cellPixels += drawn.getPixelAt (x, y).getAlpha() != 0 ? 1 : 0;
    EXPECT_EQ (cellPixels, 0) << "the cell draws its ground, number or marker under the field";
    const auto ground = field->findColour (juce::TextEditor::backgroundColourId);
    for (auto [colour, on] : { std::pair (juce::TextEditor::textColourId, ground),
                               std::pair (juce::TextEditor::highlightedTextColourId,
                                          ground.overlaidWith (field->findColour (juce::TextEditor::highlightColourId))) })
        EXPECT_GT (std::abs (field->findColour (colour).getPerceivedBrightness() - on.getPerceivedBrightness()), 0.5f)
            << "the name reads on its field";
    EXPECT_FALSE (field->findColour (juce::TextEditor::focusedOutlineColourId).isTransparent()) << "the field is framed";
    saveScreenshot (*librarian, "librarian-rename-field");
    typeText (*program.window, "expo twin");
    EXPECT_EQ (field->getText(), "expo twin");
    pressKey (*program.window, juce::KeyPress::returnKey);
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_FALSE (cell->isEditingName());
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (slot).name.trim() == "expo twin"; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
    ASSERT_TRUE (program.settle());

    cell = openRenameField (program, *librarian, slot);
    ASSERT_NE (cell, nullptr);
    typeText (*program.window, "gone");
    pressKey (*program.window, juce::KeyPress::escapeKey);
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_FALSE (cell->isEditingName());
    EXPECT_TRUE (librarian->isVisible()) << "Escape closes the field, not the librarian";
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.getPreset (slot).name.trim(), "expo twin");

    // 40 typed: the field keeps 31, as the window's name field does, and
    // the unit stores what the list shows once it is read back.
    cell = openRenameField (program, *librarian, slot);
    ASSERT_NE (cell, nullptr);
    typeText (*program.window, "Forty Characters Typed Into The Name Box");
    const juce::String kept ("Forty Characters Typed Into The");
    EXPECT_EQ (cell->getRenameLabel()->getCurrentTextEditor()->getText(), kept);
    pressKey (*program.window, juce::KeyPress::returnKey);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (slot).name.trim() == kept; }))
        << program.unit.getPreset (slot).name;
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (librarian->getUnitEntryText (slot), "004 " + kept);
}

// A rename types only what the unit stores in a name, and the row shows the
// name typed from then on: while the user is asked about unsaved edits (and
// names read meanwhile rebuild the list), and once the unit has taken it,
// before its names are read again. A No to the question gives the row its
// name back.
TEST (LibrarianWindows, ARenameTakesOnlyWhatTheUnitStoresAndItsRowShowsIt)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-rename-shown" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    ASSERT_TRUE (program.settle());
    auto& notices = program.notices;
    auto editOnUnit = [&]
    {
        auto edited = program.unit.getEditBuffer();
        edited.name = "Unsaved Edit";
        program.unit.setEditBuffer (edited, true);
        program.unit.sendResync();
        return pumpMessagesUntil ([&] { return program.presets->isPresetModified(); }) && program.settle();
    };
    auto shown = [&] (int slot) { return findLibrarianCell (*librarian, 0, slot + 1)->getNameText().trimEnd(); };

    // The names of a Refresh land while the question is open.
    ASSERT_TRUE (editOnUnit());
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
    ASSERT_TRUE (clickButton (*librarian, "Refresh"));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getNumHeldReplies() > 0; }));
    int before = notices.count();
    ASSERT_NE (openRenameField (program, *librarian, 8), nullptr);
    typeText (*program.window, "Gone");
    pressKey (*program.window, juce::KeyPress::returnKey);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == before + 1; }));
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
    program.unit.pump();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! program.presets->getRequest (refreshPresetNames).isRunning(); }));
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_EQ (shown (8), "Gone") << "the question is open";
    notices.answer (notices.count() - 1, 0);
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_EQ (shown (8), "Preset 8");
    EXPECT_EQ (program.unit.getPreset (8).name.trim(), "Preset 8");

    // The names asked for after the rename wait until the test lets them out.
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
    before = notices.count();
    constexpr int slot = 7;
    auto* cell = openRenameField (program, *librarian, slot);
    ASSERT_NE (cell, nullptr);
    typeText (*program.window, juce::CharPointer_UTF8 ("Caf\xc3\xa9 \xc3\xbc"));
    const auto typed = cell->getRenameLabel()->getCurrentTextEditor()->getText();
    EXPECT_EQ (typed, "Caf ");
    pressKey (*program.window, juce::KeyPress::returnKey);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == before + 1; }));
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_EQ (shown (slot), typed.trimEnd()) << "the question is open";
    notices.answer (notices.count() - 1, 1);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending() && program.unit.getNumHeldReplies() > 0; }));
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_EQ (program.unit.getPreset (slot).name, typed.trimEnd());
    EXPECT_EQ (librarian->getStatusText(), "Renamed on the Kestrel: 1");
    EXPECT_EQ (shown (slot), typed.trimEnd()) << "before the names are read again";
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
    program.unit.pump();
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());
    EXPECT_EQ (shown (slot), typed.trimEnd());
}

// A names reading the unit never answers leaves the names the list shows,
// and the status line says that they could not be read: a Refresh, and the
// opening after the unit was found again, whose name table starts empty;
// there a rename not made leaves its row the name it showed.
TEST (LibrarianWindows, ANamesReadingThatTimesOutKeepsTheNamesShown)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    SkippingClock clock;
    ConnectedProgram program{ "kestrel-librarian-names-time-out" };
    ASSERT_TRUE (program.open());
    clock.skipTimeOutsOf (program.unit);
    FastTicks ticks{ *program.window };
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    ASSERT_TRUE (program.settle());
    const std::array<int, 3> slots{ 0, 5, 511 };
    juce::StringArray listed;
    for (int slot : slots)
        listed.add (librarian->getUnitEntryText (slot));
    ASSERT_TRUE (listed[2].endsWith (" Preset 511")) << listed[2];

    auto namesTimeOut = [&]
    {
        auto& names = program.presets->getRequest (refreshPresetNames);
        return pumpMessagesUntil ([&] { return program.unit.countReceived (SYSEX_QUERY_NAME_BY_NUM) > 0; })
               && pumpMessagesUntil ([&] { return ! names.isRunning(); }, 120000)
               && names.getResult() == ZolStateMachine::resultTimedOut && pumpPostedMessages();
    };
    auto expectNamesShown = [&]
    {
        for (size_t i = 0; i < slots.size(); ++i)
        {
            EXPECT_EQ (librarian->getUnitEntryText (slots[i]), listed[(int) i]);
            EXPECT_EQ (findLibrarianCell (*librarian, 0, slots[i] + 1)->getNameText().trim(),
                       "Preset " + juce::String (slots[i]));
        }
    };

    program.unit.setSilentFor (SYSEX_QUERY_NAME_BY_NUM);
    program.unit.clearReceived();
    ASSERT_TRUE (clickButton (*librarian, "Refresh"));
    ASSERT_TRUE (namesTimeOut());
    expectNamesShown();
    const juce::String told ("The preset names could not be read from the Kestrel; the list shows those it had.");
    EXPECT_TRUE (pumpMessagesUntil ([&] { return librarian->getStatusText() == told; })) << librarian->getStatusText();

    ASSERT_TRUE (clickButton (*librarian, "Close"));
    program.unit.vanish();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! program.window->isShowingConnected(); }));
    program.unit.reappear();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.window->isShowingConnected(); }));
    ASSERT_TRUE (program.settle());
    ASSERT_FALSE (program.presets->arePresetNamesLoaded (5, 1));
    program.unit.clearReceived();
    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (LibrarianWindows::managePresetsCommand, false));
    ASSERT_TRUE (namesTimeOut());
    expectNamesShown();

    // A rename not made gives its row back the name it showed, which only
    // the list still knows: answered No when asked about unsaved edits, and
    // failed because the unit never answers a recall. The failure is told by
    // the boxes of the requests that timed out, the recall back to the
    // window's preset included, and the status line says what was renamed.
    program.unit.setSilentFor (SYSEX_QUERY_NAME_BY_NUM, false);
    auto shown = [&] (int slot) { return findLibrarianCell (*librarian, 0, slot + 1)->getNameText().trimEnd(); };
    auto edited = program.unit.getEditBuffer();
    edited.name = "Unsaved Edit";
    program.unit.setEditBuffer (edited, true);
    program.unit.sendResync();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.presets->isPresetModified(); }) && program.settle());
    auto& notices = program.notices;
    auto timedOut = [] (const juce::String& request)
    {
        return "Communication time-out:\n\nKestrel-Edit was unable to complete the following communication request: "
               + request + " : preset_recall";
    };
    for (bool yes : { false, true })
    {
        SCOPED_TRACE (yes ? "failed" : "No");
        const int slot = yes ? 6 : 8, before = notices.count();
        ASSERT_FALSE (program.presets->arePresetNamesLoaded (slot, 1));
        program.unit.setUnansweredFor (SYSEX_RECALL_PATCH, yes);
        program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
        ASSERT_NE (openRenameField (program, *librarian, slot), nullptr);
        typeText (*program.window, "Box Count");
        pressKey (*program.window, juce::KeyPress::returnKey);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return notices.count() == before + 1; }));
        notices.answer (before, yes ? 1 : 0);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }, 60000));
        EXPECT_EQ (shown (slot), "Preset " + juce::String (slot));
        program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
        program.unit.pump();
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.unit.getPreset (slot).name.trim(), "Preset " + juce::String (slot));
        juce::StringArray boxes{ promptText (PROMPT_PRESET_MODIFIED) };
        if (yes)
            boxes.addArray ({ timedOut ("Manage Preset"), timedOut ("Recall Preset") });
        EXPECT_EQ (notices.messages().joinIntoString ("\n--\n", before), boxes.joinIntoString ("\n--\n"));
    }
    EXPECT_EQ (librarian->getStatusText(), "The Kestrel did not answer. Renamed on the Kestrel: 0, not renamed: 1");
}

// With the unit slow to give its names, as over MIDI: a name typed while the
// names asked for after an earlier rename are on their way stays open and
// whole when they arrive (and when the window is resized meanwhile), and its
// Return renames that preset rather than loads it.
TEST (LibrarianWindows, ANameTypedWhileTheNamesArriveIsKeptAndItsReturnRenames)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-rename-late-names" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    const int playing = program.unit.getCurrentPresetNumber();
    ASSERT_NE (playing, 13);

    // The names answer waits until the test lets it out.
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
    ASSERT_NE (openRenameField (program, *librarian, 12), nullptr);
    typeText (*program.window, "Verse");
    pressKey (*program.window, juce::KeyPress::returnKey);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending() && program.unit.getNumHeldReplies() > 0; }));
    EXPECT_EQ (program.unit.getPreset (12).name.trim(), "Verse");

    juce::Component::SafePointer<ScrollableListCell> chorus (openRenameField (program, *librarian, 13));
    ASSERT_NE (chorus, nullptr);
    typeText (*program.window, "Chorus");
    program.window->setSize (program.window->getWidth() + 40, program.window->getHeight());
    ASSERT_TRUE (pumpPostedMessages());
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
    program.unit.pump();
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());
    ASSERT_TRUE (chorus != nullptr && chorus->isEditingName()) << "the names closed the field";
    EXPECT_EQ (chorus->getRenameLabel()->getCurrentTextEditor()->getText(), "Chorus");

    pressKey (*program.window, juce::KeyPress::returnKey);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (13).name.trim() == "Chorus"; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_EQ (program.unit.getPreset (12).name.trim(), "Verse");
    EXPECT_EQ (program.unit.getCurrentPresetNumber(), playing) << "the Return loaded a preset";
    EXPECT_EQ (librarian->getUnitEntryText (13), "013 Chorus");
}

// The rename field has the keyboard however it opened: when the names land
// while the row's menu is open (the rows are built anew under it), and on
// the row right-clicked while every row is chosen. What is typed shows in
// it, and its Return renames that preset on the unit and loads none. Names
// that land while a field is open show when Escape closes it.
TEST (LibrarianWindows, AnOpenRenameFieldHasTheKeyboardWhateverLandsOrIsChosenMeanwhile)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-rename-keyboard" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    const int playing = program.unit.getCurrentPresetNumber();
    auto* refresh = findButton (*librarian, "Refresh");
    ASSERT_NE (refresh, nullptr);
    auto letNamesIn = [&]
    {
        program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
        program.unit.pump();
        ASSERT_TRUE (program.settle());
        ASSERT_TRUE (pumpPostedMessages());
    };
    auto typeAndReturn = [&] (ScrollableListCell* cell, int slot, const juce::String& name)
    {
        SCOPED_TRACE (name);
        ASSERT_NE (cell, nullptr) << "no field opened on " << slot;
        auto* field = cell->getRenameLabel()->getCurrentTextEditor();
        ASSERT_NE (field, nullptr);
        EXPECT_TRUE (field->hasKeyboardFocus (true));
        typeText (*program.window, name);
        EXPECT_EQ (field->getText(), name);
        pressKey (*program.window, juce::KeyPress::returnKey);
        EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (slot).name.trim() == name; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
        ASSERT_TRUE (program.settle());
        EXPECT_EQ (program.unit.getCurrentPresetNumber(), playing) << "the Return loaded a preset";
    };

    // Refresh, and the names land while 005's menu is open.
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
    ASSERT_TRUE (clickBackToBack (*refresh));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getNumHeldReplies() > 0; }));
    juce::Component::SafePointer<ScrollableListCell> before (findLibrarianCell (*librarian, 0, 6));
    bool rebuilt = false;
    auto* cell = openRenameField (program, *librarian, 5,
                                  [&]
                                  {
                                      letNamesIn();
                                      rebuilt = findLibrarianCell (*librarian, 0, 6) != before.getComponent();
                                  });
    EXPECT_TRUE (rebuilt) << "the names landed after the menu";
    typeAndReturn (cell, 5, "Late Five");

    // A field closed by Escape shows the names that landed meanwhile.
    auto outside = program.unit.getPreset (20);
    outside.name = "Outside";
    program.unit.setPreset (20, outside);
    program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
    ASSERT_TRUE (clickBackToBack (*refresh));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getNumHeldReplies() > 0; }));
    juce::Component::SafePointer<ScrollableListCell> open (openRenameField (program, *librarian, 6));
    ASSERT_NE (open, nullptr);
    letNamesIn();
    ASSERT_TRUE (open != nullptr && open->isEditingName()) << "the names closed the field";
    pressKey (*program.window, juce::KeyPress::escapeKey);
    ASSERT_TRUE (pumpPostedMessages());
    ASSERT_NE (findLibrarianCell (*librarian, 0, 21), nullptr);
    EXPECT_EQ (findLibrarianCell (*librarian, 0, 21)->getNameText().trim(), juce::String ("Outside"));
    EXPECT_EQ (program.unit.getPreset (6).name.trim(), "Preset 6");

    // The keyboard given to another row's cell directly, as a window's focus
    // restore gives it, goes on to the open field.
    auto* nine = openRenameField (program, *librarian, 9);
    ASSERT_NE (nine, nullptr);
    findLibrarianCell (*librarian, 0, 12)->grabKeyboardFocus();
    typeAndReturn (nine, 9, "Handed On");
    EXPECT_EQ (program.unit.getPreset (11).name.trim(), "Preset 11");

    // Every row chosen (Select All), then 015 right-clicked.
    {
        ScriptedInteraction interaction;
        interaction.answerMenuWithItem ("Select All");
        ASSERT_TRUE (clickBackToBack (*findLibrarianCell (*librarian, 0, 3), true));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! interaction.menus.empty(); }));
        ASSERT_TRUE (pumpPostedMessages());
    }
    ASSERT_GT (librarian->getSelectedUnitSlots().size(), 100);
    const auto first = program.unit.getPreset (0).name;
    typeAndReturn (openRenameField (program, *librarian, 15), 15, "Two");
    EXPECT_EQ (program.unit.getPreset (0).name, first);
}

// A click elsewhere while a name is typed takes the name, as Return does,
// also when names asked for before have landed meanwhile: a click on another
// row renames the preset and chooses the row clicked, and Close renames it
// and closes the window.
TEST (LibrarianWindows, AClickOnAnotherRowOrOnCloseTakesTheTypedName)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-rename-click-away" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    auto* refresh = findButton (*librarian, "Refresh");
    auto* close = findButton (*librarian, "Close");
    ASSERT_TRUE (refresh != nullptr && close != nullptr);
    auto typeWhileTheNamesLand = [&] (int slot, const juce::String& name)
    {
        program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 1);
        ASSERT_TRUE (clickWithPause (*refresh));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.getNumHeldReplies() > 0; }));
        auto* cell = openRenameField (program, *librarian, slot);
        ASSERT_NE (cell, nullptr);
        typeText (*program.window, name);
        program.unit.setReplyDelayFor (SYSEX_QUERY_NAME_BY_NUM, 0);
        program.unit.pump();
        ASSERT_TRUE (program.settle());
        ASSERT_TRUE (pumpPostedMessages());
        ASSERT_TRUE (cell->isEditingName());
    };

    typeWhileTheNamesLand (17, "Tag Y");
    ASSERT_TRUE (clickWithPause (*findLibrarianCell (*librarian, 0, 20)));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (17).name.trim() == "Tag Y"; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
    ASSERT_TRUE (program.settle());
    ASSERT_TRUE (pumpPostedMessages());
    const auto chosen = librarian->getSelectedUnitSlots();
    EXPECT_TRUE (chosen == juce::Array<int> ({ 19 })) << chosen.size() << " chosen, the first " << chosen.getFirst();

    typeWhileTheNamesLand (5, "Keep Me");
    ASSERT_TRUE (clickWithPause (*close));
    EXPECT_TRUE (pumpMessagesUntil ([&] { return program.unit.getPreset (5).name.trim() == "Keep Me"; }));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
    ASSERT_TRUE (program.settle());
    EXPECT_FALSE (librarian->isVisible());
}

// The knob turned on the unit while a preset is sent or renamed: right after
// the unit answers the recall, or the rename, it plays another preset. The
// slot keeps what it held word for word, one box says so and how many were
// done, the list shows the names the unit holds, and the window follows the
// unit. Without a turn both store as before.
TEST (LibrarianWindows, ASendOrRenameSavesNothingWhenTheUnitTurnsToAnotherPreset)
{
    KESTREL_REQUIRE_DISPLAY();
    LibrarianWindows::registerPanes();
    ConnectedProgram program{ "kestrel-librarian-turn-before-save" };
    ASSERT_TRUE (program.open());
    LibrarianWindows windows (*program.content);
    auto* librarian = openPresetLibrarian (program);
    ASSERT_NE (librarian, nullptr);
    const auto file = program.scratch.folder.getChildFile ("Incoming.syx");
    auto incoming = SimulatedPreset::makeFactory (9);
    incoming.name = "Incoming";
    const auto dump = makePresetDumpFile (incoming);
    ASSERT_TRUE (file.replaceWithData (dump.getData(), dump.getSize()));
    librarian->addFiles ({ file });
    ASSERT_EQ (librarian->getNumDiskEntries(), 1);
    ASSERT_TRUE (program.settle());

    constexpr int slot = 5, turnedTo = 6;
    auto& notices = program.notices;
    const auto number = [&] (int preset) { return presetSlotNumber (preset, program.presets->getDisplayOffset()); };
    auto sendOrRename = [&] (bool send)
    {
        const int before = notices.count(), recalls = program.unit.countReceived (SYSEX_RECALL_PATCH);
        if (send)
        {
            librarian->selectDiskEntries ({ 0 });
            librarian->selectUnitEntry (slot);
            ASSERT_TRUE (clickButton (*librarian, "<< Send Presets\nto Kestrel"));
            ASSERT_EQ (notices.count(), before + 1) << "the send's question";
            notices.answer (before, 1);
        }
        else
        {
            ASSERT_NE (openRenameField (program, *librarian, slot), nullptr);
            typeText (*program.window, "Renamed");
            pressKey (*program.window, juce::KeyPress::returnKey);
        }
        ASSERT_TRUE (pumpMessagesUntil ([&] { return program.unit.countReceived (SYSEX_RECALL_PATCH) > recalls; }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return ! librarian->isSending(); }));
        ASSERT_TRUE (program.settle());
        ASSERT_TRUE (pumpPostedMessages());
    };

    for (const bool send : { true, false })
        for (const int turnAfter : { SYSEX_RECALL_PATCH, SYSEX_SET_NAME })
        {
            SCOPED_TRACE (juce::String (send ? "send" : "rename") + ", turned after the answer to "
                          + (turnAfter == SYSEX_RECALL_PATCH ? "the recall" : "the rename"));
            const auto stored = program.unit.getPreset (slot).toWords();
            const int saves = program.unit.countReceived (SYSEX_SAVE_PATCH);
            const int before = notices.count();
            program.unit.selectPresetAfterNextAnswerTo (turnAfter, turnedTo);
            sendOrRename (send);

            EXPECT_TRUE (program.unit.getPreset (slot).toWords() == stored) << program.unit.getPreset (slot).name;
            EXPECT_EQ (program.unit.countReceived (SYSEX_SAVE_PATCH), saves);
            EXPECT_EQ (notices.count(), before + (send ? 2 : 1)) << notices.lastMessage();
            EXPECT_EQ (notices.lastMessage(),
                       "The Kestrel changed to " + number (turnedTo) + " \"Preset 6\" before \""
                           + (send ? "Incoming" : "Renamed") + "\" was saved: preset " + number (slot)
                           + " was left as it was.\n"
                           + (send ? "Sent to the Kestrel: 0, not sent: 1." : "Renamed on the Kestrel: 0, not renamed: 1."));
            EXPECT_EQ (librarian->getUnitEntryText (slot), number (slot) + " Preset 5");
            EXPECT_EQ (findLibrarianCell (*librarian, 0, slot + 1)->getNameText().trimEnd(), "Preset 5");
            EXPECT_EQ (librarian->getUnitEntryText (turnedTo), number (turnedTo) + " Preset 6");
            EXPECT_EQ (program.unit.getCurrentPresetNumber(), turnedTo) << "the unit stays where it was turned";
            EXPECT_TRUE (pumpMessagesUntil ([&] { return program.presets->getCurrentPresetNumber() == turnedTo; }));
            ASSERT_TRUE (program.settle());
        }

    // Turned as the save reaches the unit: the slot holds the preset turned
    // to, and the list and the one box say so.
    {
        const auto turned = program.unit.getPreset (turnedTo).toWords();
        const int before = notices.count();
        program.unit.selectPresetOnNextRequestOf (SYSEX_SAVE_PATCH, turnedTo);
        sendOrRename (false);
        EXPECT_TRUE (program.unit.getPreset (slot).toWords() == turned) << program.unit.getPreset (slot).name;
        EXPECT_EQ (notices.count(), before + 1) << notices.lastMessage();
        EXPECT_TRUE (notices.lastMessage().startsWith ("The Kestrel changed to ")) << notices.lastMessage();
        EXPECT_TRUE (pumpMessagesUntil ([&] { return librarian->getUnitEntryText (slot) == number (slot) + " Preset 6"; }))
            << librarian->getUnitEntryText (slot);
        EXPECT_EQ (librarian->getStatusText(), "The Kestrel changed to " + number (turnedTo)
                                                   + " as the save went out. Renamed on the Kestrel: 0, not renamed: 1");
        EXPECT_TRUE (pumpMessagesUntil (
            [&] { return program.presets->getCurrentPresetNumber() == program.unit.getCurrentPresetNumber(); }))
            << "the window follows the unit";
        ASSERT_TRUE (program.settle());
        program.unit.setPreset (slot, SimulatedPreset::makeFactory (slot));
    }

    for (const bool send : { true, false })
    {
        sendOrRename (send);
        EXPECT_EQ (program.unit.getPreset (slot).name.trim(), send ? "Incoming" : "Renamed");
        EXPECT_EQ (librarian->getStatusText(), send ? "Sent to the Kestrel: 1" : "Renamed on the Kestrel: 1");
    }
}
} // namespace
