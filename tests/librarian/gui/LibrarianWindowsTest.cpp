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
    LibrarianWindows windows (content, &skin);

    EXPECT_TRUE (windows.ownsCommand (LibrarianWindows::managePresetsCommand));
    EXPECT_FALSE (windows.ownsCommand (1301));
    EXPECT_EQ (content.getShowingDialog(), nullptr);
    EXPECT_EQ (content.getDialogRefusingExit(), nullptr);

    ASSERT_TRUE (windows.performCommand (LibrarianWindows::manageCabsCommand));
    auto& librarian = windows.getLibrarian();
    EXPECT_TRUE (librarian.isCabMode());
    EXPECT_EQ (content.getShowingDialog(), &librarian);
    EXPECT_EQ (content.getDialogRefusingExit(), &librarian) << "the program does not close over the librarian";

    // The librarian asks for the raw preset dialog, which shows above it.
    ASSERT_TRUE (windows.performCommand (LibrarianWindows::managePresetsCommand));
    librarian.onImportFromFiles (7);
    EXPECT_TRUE (windows.getRawPresetDialog().isVisible());
    EXPECT_EQ (windows.getRawPresetDialog().getMode(), RawPresetThreadDlg::importMode);
    saveScreenshot (content, "librarian-over-the-editor");

    ASSERT_TRUE (windows.performCommand (LibrarianWindows::exchangeCommand));
    auto& exchange = windows.getExchangeWindow();
    EXPECT_TRUE (exchange.isVisible());
    saveScreenshot (exchange, "librarian-exchange-window");

    content.closeAllDialogs();
    EXPECT_FALSE (librarian.isVisible());
    EXPECT_FALSE (windows.getRawPresetDialog().isVisible());
    EXPECT_FALSE (exchange.isVisible());
    EXPECT_EQ (content.getShowingDialog(), nullptr);
    EXPECT_EQ (notices.count(), 0) << notices.lastMessage();
}
} // namespace
