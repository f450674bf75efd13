#include "app/shell/KestrelContentComponent.h"
#include "app/presetlists/KestrelPresetPicker.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/widgets/ZOLProgressBar.h"

#include "support/ForgetSingletons.h"

#include <gtest/gtest.h>

TEST (KestrelContentComponent, FitsTheProgressBarIntoAnAreaAndKeepsItsUnscaledBounds)
{
    KestrelContentComponent content (nullptr, nullptr);
    EXPECT_EQ (content.getDefaultProgressBarBounds(), juce::Rectangle<int> (128, 623, 768, 20));
    ASSERT_NE (content.getProgressBar(), nullptr);
    EXPECT_FALSE (content.getProgressBar()->isVisible());

    content.fitProgressBarInto ({ 10, 100, 300, 40 });
    EXPECT_EQ (content.getProgressBarBounds(), juce::Rectangle<int> (10, 110, 300, 20));
    content.fitProgressBarInto ({ 0, 0, 1000, 10 });
    EXPECT_EQ (content.getProgressBarBounds(), juce::Rectangle<int> (0, 0, 768, 10));
    // 21 high: (21 / 2 - 20 / 2) = 0.5 goes to the even neighbour, 0.
    content.fitProgressBarInto ({ 0, 50, 100, 21 });
    EXPECT_EQ (content.getProgressBarBounds(), juce::Rectangle<int> (0, 50, 100, 20));

    // Scaling the content rescales the bar from its unscaled bounds each time.
    content.setProgressBarBounds (content.getDefaultProgressBarBounds());
    for (auto width : { 1536, 777, 2048, 1024 })
        content.setSize (width, width * 647 / 1024);
    EXPECT_EQ (content.getProgressBar()->getBounds(), juce::Rectangle<int> (128, 623, 768, 20));
    content.setSize (2048, 1294);
    EXPECT_EQ (content.getProgressBar()->getBounds(), juce::Rectangle<int> (256, 1246, 1536, 40));
}

TEST (KestrelContentComponent, OwnsTheEffectEditorItIsGivenAndFindsNoDialogWhenNoneShows)
{
    KestrelContentComponent content (nullptr, nullptr);
    EXPECT_EQ (content.getShowingDialog(), nullptr);
    content.closeAllDialogs();

    juce::Component::SafePointer<juce::Component> editor (new juce::Component());
    content.setEffectEditor (std::unique_ptr<juce::Component> (editor.getComponent()));
    EXPECT_EQ (content.getEffectEditor(), editor.getComponent());
    EXPECT_EQ (editor->getParentComponent(), &content);

    content.setEffectEditor (nullptr);
    EXPECT_EQ (editor.getComponent(), nullptr) << "the replaced editor is deleted";
    EXPECT_EQ (content.getBubblePopTimeMs(), 2000);
}

namespace
{
struct FakeDialog : juce::Component, ContentDialog
{
    juce::Array<FakeDialog*>* closed = nullptr;
    void closeDialog() override
    {
        closed->add (this);
        setVisible (false);
    }
};
} // namespace

TEST (KestrelContentComponent, FindsTheShowingDialogInOrderAndClosesEachInItsOwnWay)
{
    KestrelContentComponent content (nullptr, nullptr);
    juce::Array<FakeDialog*> closed;
    auto add = [&] (ContentPane pane, bool visible)
    {
        auto dialog = std::make_unique<FakeDialog>();
        dialog->closed = &closed;
        auto* raw = dialog.get();
        content.setPane (pane, std::move (dialog), visible);
        return raw;
    };
    auto* tuner = add (ContentPane::tuner, true);
    auto* picker = add (ContentPane::presetPicker, true);
    add (ContentPane::sequencer, false);
    auto plain = std::make_unique<juce::Component>();
    auto* bundle = plain.get();
    content.setPane (ContentPane::bundleSave, std::move (plain), true);

    EXPECT_EQ (content.getShowingDialog(), picker) << "the picker is found before the tuner";
    content.closeAllDialogs();
    EXPECT_EQ (closed, juce::Array<FakeDialog*> ({ picker, tuner })) << "hidden dialogs are not asked";
    EXPECT_FALSE (bundle->isVisible()) << "a pane without its own close is hidden";
    EXPECT_EQ (content.getShowingDialog(), nullptr);

    // A dialog lent by the pane that owns it is found and closed too, and forgotten when it goes.
    auto lent = std::make_unique<FakeDialog>();
    lent->closed = &closed;
    content.addAndMakeVisible (*lent);
    content.lendPane (ContentPane::blockLibraryName, lent.get());
    EXPECT_EQ (content.getShowingDialog(), lent.get());
    content.closeAllDialogs();
    EXPECT_EQ (closed.getLast(), lent.get());
    lent.reset();
    EXPECT_EQ (content.getPane (ContentPane::blockLibraryName), nullptr);
}

namespace
{
struct Broadcaster : juce::Component, juce::ChangeBroadcaster
{
};
struct Listener : juce::Component, juce::ChangeListener
{
    int heard = 0;
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++heard; }
};
} // namespace

TEST (KestrelContentComponent, CreatesRegisteredPanesOnceInTheirPlaceAndWiresThem)
{
    int created = 0;
    KestrelContentComponent::setPaneCreator (ContentPane::librarian,
                                             [&] (MainAppWindow*, const SkinManager*)
                                             {
                                                 ++created;
                                                 return std::make_unique<juce::Component>();
                                             });
    {
        KestrelContentComponent content (nullptr, nullptr);
        auto grid = std::make_unique<Broadcaster>();
        auto front = std::make_unique<Listener>();
        auto* gridPane = grid.get();
        auto* frontPane = front.get();
        content.setPane (ContentPane::grid, std::move (grid), true);
        content.setPane (ContentPane::frontPanel, std::move (front), true);
        content.createPanes();
        content.createPanes(); // keeps what it has
        gridPane->sendSynchronousChangeMessage();
        EXPECT_EQ (frontPane->heard, 1) << "the front panel hears the grid";
        EXPECT_EQ (created, 1);
        ASSERT_NE (content.getPane (ContentPane::librarian), nullptr);
        EXPECT_FALSE (content.getPane (ContentPane::librarian)->isVisible()) << "dialogs start hidden";
        EXPECT_NE (content.getEffectEditor(), nullptr) << "the application's own panes need no creator";
    }
    KestrelContentComponent::setPaneCreator (ContentPane::librarian, nullptr);
    forgetSingletons();
}

TEST (KestrelContentComponent, ThePresetListIsTheDialogShowingAndTheLargeDropDownsPickList)
{
    auto content = std::make_unique<KestrelContentComponent> (nullptr, nullptr);
    DropDownLargeList dropDown (DropDownStyle(), nullptr, nullptr, nullptr);
    EXPECT_EQ (dropDown.getListPanel(), nullptr);

    content->setPane (ContentPane::presetPicker,
                      std::make_unique<KestrelPresetPicker> (nullptr, nullptr, nullptr, nullptr, nullptr), false);
    auto* picker = content->getPresetPicker();
    ASSERT_NE (picker, nullptr);
    EXPECT_EQ (dropDown.getListPanel(), picker);

    picker->openWithNames (nullptr, { "1" }, { "A" }, 0, {}, 0, 0, false, {});
    EXPECT_EQ (content->getShowingDialog(), picker);
    content->closeAllDialogs();
    EXPECT_FALSE (picker->isVisible());

    // Once the window's content is gone no drop-down finds a panel.
    content.reset();
    DropDownLargeList later (DropDownStyle(), nullptr, nullptr, nullptr);
    EXPECT_EQ (later.getListPanel(), nullptr);
    EXPECT_EQ (dropDown.getListPanel(), nullptr);
}
