#include "app/presetlists/KestrelPresetPicker.h"
#include "app/shell/ControlUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/PreferencesDialogContent.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "support/ConnectedProgram.h"
#include "support/PumpMessages.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

// What the window says where a user could misread it: the preset list's
// empty search field says that Return searches, and the Preferences
// switches greyed for want of a behaviour say why.
TEST (HintsInMainWindow, TheEmptySearchFieldAndTheGreyedSwitchesSayWhatTheyDo)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-hints" };
    ASSERT_TRUE (program.open());

    // The front panel's LIST button opens the preset list.
    auto* list = program.content->getFrontPanel()->getButtonNamed ("bankButton");
    ASSERT_NE (list, nullptr);
    list->triggerClick();
    auto* picker = program.content->getPresetPicker();
    ASSERT_TRUE (pumpMessagesUntil ([&] { return picker->isShowing() && ! picker->getShownItemIds().isEmpty(); }));
    auto* search = picker->getSearchField();
    ASSERT_NE (search, nullptr);
    EXPECT_TRUE (search->getText().isEmpty());
    EXPECT_EQ (search->getHintText(), "Type, then Return to search");
    EXPECT_EQ (search->getEditor()->getTextToShowWhenEmpty(), search->getHintText()) << "also while typing starts";
    saveScreenshot (*program.window, "preset-list-search-hint");
    EXPECT_TRUE (picker->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    ASSERT_TRUE (pumpMessagesUntil ([&] { return ! picker->isVisible(); }));

    ASSERT_TRUE (program.window->getCommandManager().invokeDirectly (PreferencesDialogContent::preferencesCommandId, false));
    auto* preferences = program.content->getPaneAs<PreferencesDialogContent> (ContentPane::preferences);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return preferences->isShowing(); }));
    int greyed = 0;
    for (int i = 0; i < preferences->getSwitchCount(); ++i)
    {
        auto& box = preferences->getSwitch (i);
        EXPECT_EQ (box.getTooltip(), box.isEnabled() ? juce::String() : "Stored, but has no effect in this version.")
            << box.getButtonText();
        greyed += box.isEnabled() ? 0 : 1;
    }
    EXPECT_EQ (greyed, 4);
    preferences->showPage (PreferencesDialogContent::Page::prompts);
    saveScreenshot (*program.window, "preferences-prompts-greyed");
    preferences->closeDialog();
}
