#include "app/KestrelContentComponent.h"
#include "skin/ZOLProgressBar.h"

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
