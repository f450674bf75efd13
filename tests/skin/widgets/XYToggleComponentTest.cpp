#include "skin/widgets/XYToggleComponent.h"
#include "support/WidgetTestKit.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "support/ScratchFolder.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
using WidgetTestKit::mouse;

struct XY
{
    XY()
    {
        EXPECT_TRUE (skin.loadBuiltInSkin().wasOk());
        control = std::make_unique<XYToggleComponent> (&skin, 300, 20);
        control->addChangeListener (&log);
    }

    struct Log : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster* source) override
        {
            codes.push_back (static_cast<XYToggleComponent*> (source)->getChangeCode());
        }
        std::vector<int> codes;
    };

    // Delivers what the parts and the control posted, as the message loop would.
    void deliver()
    {
        control->getToggle()->dispatchPendingMessages();
        control->getArrow()->dispatchPendingMessages();
        control->dispatchPendingMessages();
    }

    ScratchFolder scratch{ "kestrel-xy" };
    SkinManager skin{ scratch.folder };
    Log log;
    std::unique_ptr<XYToggleComponent> control;
};

const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
const juce::ModifierKeys right (juce::ModifierKeys::rightButtonModifier);
} // namespace

TEST (XYToggleComponent, IsBuiltFromTheSkinsSection)
{
    XY xy;
    auto& c = *xy.control;
    EXPECT_EQ (c.getBounds(), juce::Rectangle<int> (300, 20, 78, 33));
    ASSERT_NE (c.getToggle(), nullptr);
    ASSERT_NE (c.getArrow(), nullptr);

    // No "ctrlBounds": the toggle sits at 0,0 with the size of its off image.
    auto off = xy.skin.getImage ("xy-y.png");
    EXPECT_EQ (c.getToggle()->getBounds(), juce::Rectangle<int> (0, 0, off.getWidth(), off.getHeight()));
    EXPECT_FALSE (c.getToggle()->getUseAlpha());
    EXPECT_EQ (c.getToggle()->getName(), "XYToggle");

    EXPECT_EQ (c.getArrow()->getBounds(), juce::Rectangle<int> (58, 1, 26, 30));
    EXPECT_EQ (c.getArrow()->getText(), juce::String::charToString (XYToggleComponent::arrowCharacter));
    EXPECT_TRUE (c.getArrow()->isAlwaysOnTop());
    EXPECT_EQ (c.getArrow()->getFont().getTypefacePtr(), xy.skin.findTypeface ("symbols.stf"));

    c.getToggle()->setToggleState (true, false);
    EXPECT_TRUE (saveScreenshot (c, "skin-xy-toggle").existsAsFile());
}

TEST (XYToggleComponent, TheToggleFlipsOnClicksAndReturnAndTheArrowAsksForTheChoices)
{
    XY xy;
    auto& c = *xy.control;
    auto* toggle = c.getToggle();

    toggle->mouseDown (mouse (*toggle, { 10, 10 }, left));
    toggle->mouseUp (mouse (*toggle, { 10, 10 }));
    xy.deliver();
    EXPECT_TRUE (toggle->getToggleState());
    EXPECT_EQ (xy.log.codes, (std::vector<int>{ 2 }));

    // A right-click asks for the choices and does not flip.
    auto rightClick = mouse (*toggle, { 10, 10 }, right);
    toggle->mouseDown (rightClick);
    c.mouseDown (rightClick);
    xy.deliver();
    EXPECT_TRUE (toggle->getToggleState());
    EXPECT_EQ (xy.log.codes.back(), 3);

    // Space does nothing; Return flips.
    auto before = xy.log.codes.size();
    EXPECT_FALSE (toggle->keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    xy.deliver();
    EXPECT_EQ (xy.log.codes.size(), before);
    EXPECT_TRUE (toggle->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    xy.deliver();
    EXPECT_FALSE (toggle->getToggleState());
    EXPECT_EQ (xy.log.codes.back(), 2);

    // A click on the arrow, and Return on the control itself.
    c.getArrow()->mouseDown (mouse (*c.getArrow(), { 5, 5 }, left));
    xy.deliver();
    EXPECT_EQ (xy.log.codes.back(), 3);
    EXPECT_FALSE (c.keyPressed (juce::KeyPress (juce::KeyPress::returnKey))) << "the key is not used up";
    xy.deliver();
    EXPECT_EQ (xy.log.codes.back(), 3);
    EXPECT_EQ (xy.log.codes.size(), before + 3);
}

TEST (XYToggleComponent, FocusByClickOrTabIsReportedAndTheScaleReachesBothParts)
{
    XY xy;
    auto& c = *xy.control;
    c.focusGained (juce::Component::focusChangedDirectly);
    xy.deliver();
    EXPECT_TRUE (xy.log.codes.empty());
    c.focusGained (juce::Component::focusChangedByTabKey);
    xy.deliver();
    EXPECT_EQ (xy.log.codes, (std::vector<int>{ 1 }));

    c.scaleFactor = 1.5;
    c.applyScale (true);
    EXPECT_EQ (c.getToggle()->scaleFactor, 1.5);
    EXPECT_EQ (c.getArrow()->scaleFactor, 1.5);
    EXPECT_TRUE (c.getToggle()->getTransform().isIdentity()) << "drawn inside the control's own transform";
    EXPECT_FALSE (c.getTransform().isIdentity());
}

TEST (XYToggleComponent, WithoutItsSectionTheControlIsEmpty)
{
    XYToggleComponent bare (nullptr, 5, 6);
    EXPECT_EQ (bare.getBounds(), juce::Rectangle<int> (5, 6, 0, 0));
    EXPECT_EQ (bare.getToggle(), nullptr);
    bare.changeListenerCallback (nullptr);
    bare.mouseDown (mouse (bare, { 0, 0 }, right));
}
