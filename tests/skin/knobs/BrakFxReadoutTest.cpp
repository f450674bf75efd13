#include "support/WidgetTestKit.h"

#include "skin/knobs/BrakFxReadout.h"
#include "support/ManualClock.h"
#include "support/PumpMessages.h"

using namespace WidgetTestKit;

namespace
{
struct ReadoutTest : ::testing::Test
{
    ReadoutTest()
    {
        window.setSize (200, 100);
        window.addAndMakeVisible (readout);
        window.addAndMakeVisible (elsewhere);
        elsewhere.setBounds (100, 50, 40, 20);
    }

    void typeAndPress (const juce::String& text, int keyCode)
    {
        readout.getEditor()->setText (text, false);
        readout.keyPressed (juce::KeyPress (keyCode), readout.getEditor());
    }

    ManualClock clock;
    ManualClock::Installed installed{ clock };
    juce::Component window, elsewhere;
    BrakFxReadout readout{ 10, 10, 60, 16, "value", field (60, 16), nullptr, 12.0f, ink, juce::Justification::centred,
                           {} };
    CodeRecorder codes{ readout };
};
} // namespace

TEST_F (ReadoutTest, ShowsTheUnitOnceAndEditsTheBareNumber)
{
    readout.setUnit (1);
    readout.setText ("12.5");
    EXPECT_EQ (readout.getText(), "12.5 dB");
    readout.setText ("12.5 dB");
    EXPECT_EQ (readout.getText(), "12.5 dB");
    EXPECT_DOUBLE_EQ (readout.getValueAsDouble(), 12.5);

    readout.mouseDown (mouse (readout, { 5, 5 }));
    ASSERT_TRUE (readout.isEditorVisible());
    EXPECT_EQ (readout.getEditor()->getText(), "12.5");
    EXPECT_EQ (codes.take(), std::vector<int>{ 1 });

    readout.hideEditor();
    readout.setText ("Off");
    readout.showEditor();
    EXPECT_EQ (readout.getEditor()->getText(), "Off dB");
}

TEST_F (ReadoutTest, RefusesTextThatIsNoNumberAndClampsToTheRange)
{
    readout.setValidation (true, false, false, 0.0f, 0.0f);
    for (auto bad : { "", "1.2.3", "1-2", "--1", "-3", "-", ".", "abc", "1e5" })
    {
        juce::String text (bad);
        EXPECT_FALSE (readout.validateEntry (text)) << bad;
    }
    juce::String huge = juce::String::repeatedString ("9", 101);
    EXPECT_FALSE (readout.validateEntry (huge));
    juce::String tooBig = juce::String::repeatedString ("9", 60);
    EXPECT_FALSE (readout.validateEntry (tooBig));

    readout.setValidation (true, true, true, 0.0f, 10.0f);
    juce::String high ("15"), low ("-2"), inside ("2.5"), enormous (tooBig);
    ASSERT_TRUE (readout.validateEntry (high));
    ASSERT_TRUE (readout.validateEntry (low));
    ASSERT_TRUE (readout.validateEntry (inside));
    ASSERT_TRUE (readout.validateEntry (enormous));
    EXPECT_EQ (high, "10");
    EXPECT_EQ (low, "0");
    EXPECT_EQ (inside, "2.5");
    EXPECT_EQ (enormous, "10");
}

TEST_F (ReadoutTest, ReturnAcceptsValidEntriesAndEscapeCancels)
{
    readout.setValidation (true, true, true, -5.0f, 5.0f);
    readout.setText ("1");
    readout.showEditor();
    typeAndPress ("1..", juce::KeyPress::returnKey);
    EXPECT_TRUE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "1");
    EXPECT_TRUE (codes.take().empty());

    typeAndPress ("7", juce::KeyPress::returnKey);
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "5");
    EXPECT_EQ (codes.take(), std::vector<int>{ 10 });

    readout.showEditor();
    typeAndPress ("3", juce::KeyPress::escapeKey);
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "5");
    EXPECT_EQ (codes.take(), std::vector<int>{ 0 });
}

TEST_F (ReadoutTest, APressElsewhereCommitsOnlyAfterTheOpeningPress)
{
    readout.setValidation (true, false, false, 0.0f, 0.0f);
    readout.mouseDown (mouse (readout, { 5, 5 }));
    readout.getEditor()->setText ("42", false);
    codes.take();

    // The press that opened the editor may still arrive through the window.
    clock.advance (10);
    readout.mouseDown (mouse (elsewhere, { 2, 2 }));
    EXPECT_TRUE (readout.isEditorVisible());

    clock.advance (1);
    readout.mouseDown (mouse (*readout.getEditor(), { 2, 2 }));
    EXPECT_TRUE (readout.isEditorVisible());
    readout.mouseDown (mouse (elsewhere, { 2, 2 }));
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "42");
    EXPECT_EQ (codes.take(), std::vector<int>{ 10 });

    readout.showEditor();
    readout.getEditor()->setText ("4x", false);
    clock.advance (50);
    readout.mouseDown (mouse (elsewhere, { 2, 2 }));
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "42");
    EXPECT_TRUE (codes.take().empty());
}

TEST_F (ReadoutTest, LosingFocusAppliesTheEntryOnlyWhenAClickTookIt)
{
    auto loseFocus = [this] (int mouseButtons)
    {
        HeldKeys held (mouseButtons);
        readout.getEditor()->focusLost (juce::Component::focusChangedDirectly);
        pumpPostedMessages(); // the edit box tells of the focus it lost by a message
    };
    readout.setValidation (true, false, false, 0.0f, 0.0f);
    readout.showEditor();
    readout.getEditor()->setText ("7", false);
    clock.advance (20);
    loseFocus (0);
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "");

    readout.showEditor();
    readout.getEditor()->setText ("8", false);
    clock.advance (20);
    loseFocus (juce::ModifierKeys::leftButtonModifier);
    EXPECT_FALSE (readout.isEditorVisible());
    EXPECT_EQ (readout.getText(), "8");
    EXPECT_EQ (codes.take(), std::vector<int>{ 10 });
}
