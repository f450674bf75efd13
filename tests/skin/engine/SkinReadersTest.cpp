#include "model/ExternalXmlReader.h"
#include "skin/knobs/BrakFxMeter.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/window/ZOLWindowSplitter.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace
{
// The built-in skin's images and fonts, and one Widget element of the test's own.
struct Reader
{
    Reader() { EXPECT_TRUE (skin.loadBuiltInSkin().wasOk()); }

    const juce::XmlElement* widget (const juce::String& attributes)
    {
        juce::String text = "<Widget " + attributes + "/>";
        juce::String error;
        element = ExternalXmlReader::parse (text.toRawUTF8(), text.getNumBytesAsUTF8(), error);
        EXPECT_NE (element, nullptr) << error;
        return element.get();
    }

    ScratchFolder scratch{ "kestrel-readers" };
    SkinManager skin{ scratch.folder };
    std::unique_ptr<juce::XmlElement> element;
};
} // namespace

TEST (SkinReaders, NoElementBuildsNothing)
{
    Reader r;
    EXPECT_EQ (r.skin.createLedComponent (nullptr, "led"), nullptr);
    EXPECT_EQ (r.skin.createFxReadout (nullptr, "readout"), nullptr);
    EXPECT_EQ (r.skin.createFxMeter (nullptr, "meter"), nullptr);
    EXPECT_EQ (r.skin.createTextEditor (nullptr, "field"), nullptr);
    EXPECT_EQ (r.skin.createLabelComponent (nullptr, "label"), nullptr);
    EXPECT_EQ (r.skin.createWindowSplitter (nullptr), nullptr);
}

TEST (SkinReaders, LedsMetersAndReadoutsArePlacedAndStyledFromTheirAttributes)
{
    Reader r;
    auto led = r.skin.createLedComponent (
        r.widget (
            "positionX=\"12\" positionY=\"30\" imageOn=\"status-connected.png\" imageOff=\"status-disconnected.png\" "
            "toolTip=\"MIDI In\""),
        "midiIn");
    EXPECT_EQ (led->getBounds(), juce::Rectangle<int> (12, 30, 14, 14));
    EXPECT_EQ (led->getName(), "midiIn");
    EXPECT_EQ (led->getTooltip(), "MIDI In");

    auto meter =
        r.skin.createFxMeter (r.widget ("positionX=\"5\" positionY=\"6\" imageOn=\"xy-x.png\" text=\"CPU\""), "cpu");
    EXPECT_EQ (meter->getBounds(), juce::Rectangle<int> (5, 6, 56, 30));
    EXPECT_EQ (meter->getText(), "CPU");

    struct Heard : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++count; }
        int count = 0;
    } heard;
    auto plain = r.skin.createFxReadout (r.widget ("positionX=\"1\" positionY=\"2\" width=\"60\" height=\"18\""),
                                         "tempo", &heard);
    EXPECT_FLOAT_EQ (plain->getMinimumHorizontalScale(), 1.0f);
    plain->postChangeCode (10);
    plain->dispatchPendingMessages();
    EXPECT_EQ (heard.count, 1);

    auto overlaid = r.skin.createFxReadout (
        r.widget ("width=\"60\" height=\"18\" overlay=\"logo.png\" overlayBounds=\"0,0,10,10\" minHorzScaling=\"0.5\" "
                  "toolTip=\"Tempo\""),
        "tempo");
    EXPECT_FLOAT_EQ (overlaid->getMinimumHorizontalScale(), 0.5f);
    EXPECT_EQ (overlaid->getTooltip(), "Tempo");
}

TEST (SkinReaders, TextEditorColoursPairWithTheirIdsAndAbsentOnesAreLeftAlone)
{
    Reader r;
    auto editor = r.skin.createTextEditor (
        r.widget (
            "bounds=\"10,20,200,24\" colorBackground=\"FF1C1D20\" colorFocusOutline=\"FFE8A33D\" font=\"sans.stf\" "
            "fontSize=\"15\""),
        "name");
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (10, 20, 200, 24));
    EXPECT_EQ (editor->findColour (juce::TextEditor::backgroundColourId), juce::Colour (0xff1c1d20));
    EXPECT_EQ (editor->findColour (juce::TextEditor::focusedOutlineColourId), juce::Colour (0xffe8a33d));
    EXPECT_FALSE (editor->isColourSpecified (juce::TextEditor::textColourId));
    EXPECT_FALSE (editor->isMultiLine());
    EXPECT_FLOAT_EQ (editor->getFont().getHeight(), 15.0f);
}

TEST (SkinReaders, LabelStateColoursFallBackToTheNormalOnesOnlyWhenAnyIsGiven)
{
    Reader r;
    auto stateless = r.skin.createLabelComponent (
        r.widget ("positionX=\"4\" positionY=\"5\" width=\"80\" height=\"16\" fontColor=\"FF909090\" text=\"Gain\""),
        "caption");
    EXPECT_EQ (stateless->getBounds(), juce::Rectangle<int> (4, 5, 80, 16));
    EXPECT_EQ (stateless->getText(), "Gain");
    EXPECT_EQ (stateless->findColour (juce::Label::textColourId), juce::Colour (0xff909090));
    EXPECT_FALSE (stateless->isColourSpecified (juce::Label::backgroundColourId));
    EXPECT_FLOAT_EQ (stateless->getMinimumHorizontalScale(), 0.7f);
    EXPECT_TRUE (stateless->getUseAlpha());
    EXPECT_FLOAT_EQ (stateless->getAlpha(), 1.0f);

    auto stated = r.skin.createLabelComponent (
        r.widget ("width=\"80\" height=\"16\" fontColor=\"FF909090\" normalTextColor=\"FFE8E6E3\" useAlpha=\"0\" "
                  "alpha=\"0.5\""),
        "caption");
    EXPECT_EQ (stated->findColour (juce::Label::textColourId), juce::Colour (0xffe8e6e3));
    EXPECT_EQ (stated->findColour (juce::Label::backgroundColourId), juce::Colours::transparentBlack);
    stated->selected = true;
    stated->applyStateColours();
    EXPECT_EQ (stated->findColour (juce::Label::textColourId), juce::Colour (0xffe8e6e3)) << "selected falls back";
    EXPECT_FALSE (stated->getUseAlpha());
    EXPECT_NEAR (stated->getAlpha(), 0.5f, 0.01f);
}

TEST (SkinReaders, SplitterValuesAreStoredWithTheDefaultPositionKeptInRange)
{
    Reader r;
    auto splitter = r.skin.createWindowSplitter (r.widget (
        "windowBounds=\"10,40,600,300\" width=\"11\" height=\"300\" centerStripeWidth=\"3\" centerDotWidth=\"6\" "
        "centerDotHeight=\"6\" vertical=\"1\" defaultPosition=\"1.5\" clrBackground=\"FF272824\""));
    EXPECT_EQ (splitter->getBounds(), juce::Rectangle<int> (10, 40, 11, 300));
    EXPECT_EQ (splitter->windowRect, juce::Rectangle<int> (10, 40, 600, 300));
    EXPECT_TRUE (splitter->vertical);
    EXPECT_EQ (splitter->stripeWidth, 3);
    EXPECT_EQ (splitter->backgroundColour, juce::Colour (0xff272824));
    EXPECT_EQ (splitter->stripeColour, juce::Colours::transparentBlack);
    EXPECT_EQ (splitter->defaultPosition, 1.0);

    EXPECT_EQ (r.skin.createWindowSplitter (r.widget ("defaultPosition=\"-0.2\""))->defaultPosition, 0.0);
}

TEST (SkinReaders, AbsurdSizesAndUnreadableNumbersAreKeptWithinBounds)
{
    Reader r;
    auto label = r.skin.createLabelComponent (
        r.widget (
            "positionX=\"-99999999999\" width=\"2147483647\" height=\"-40\" fontSize=\"1e30\" minHorzScale=\"nan\""),
        "caption");
    EXPECT_LE (label->getWidth(), 16384);
    EXPECT_EQ (label->getHeight(), 0);
    EXPECT_LE (label->getFont().getHeight(), 1000.0f);
    EXPECT_GE (label->getMinimumHorizontalScale(), 0.1f);

    auto splitter = r.skin.createWindowSplitter (r.widget ("windowBounds=\"0,0,99999999,x\" width=\"1e9\""));
    EXPECT_LE (splitter->windowRect.getWidth(), 100000);
    EXPECT_LE (splitter->getWidth(), 16384);
}
