#include "app/KestrelContentComponent.h"
#include "librarian/BankManagerListContent.h"
#include "librarian/BrakChangeWindow.h"
#include "librarian/LibrarianWindows.h"
#include "librarian/RawPresetThreadDlg.h"
#include "skin/SkinManager.h"
#include "support/RecordingNotifier.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
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

    // The librarian asks for the raw preset dialog, which shows above it.
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::managePresetsCommand));
    librarian->onImportFromFiles (7);
    EXPECT_TRUE (rawPresets->isVisible());
    EXPECT_EQ (rawPresets->getMode(), RawPresetThreadDlg::importMode);
    saveScreenshot (content, "librarian-over-the-editor");

    ASSERT_TRUE (windows.performCommand (LibrarianWindows::exchangeCommand));
    EXPECT_TRUE (exchange->isVisible());
    saveScreenshot (*exchange, "librarian-exchange-window");

    content.closeAllDialogs();
    EXPECT_FALSE (librarian->isVisible());
    EXPECT_FALSE (rawPresets->isVisible());
    EXPECT_FALSE (exchange->isVisible());
    EXPECT_EQ (content.getShowingDialog(), nullptr);
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
}
} // namespace
