#include "WidgetTestKit.h"

#include "skin/BrakFxMeter.h"
#include "skin/ZOLBorderedImageComponent.h"
#include "skin/ZOLGraphComponent.h"
#include "skin/ZOLLabelComponent.h"
#include "skin/ZOLLedComponent.h"
#include "skin/ZOLMeterComponent.h"
#include "skin/ZOLProgressBar.h"
#include "skin/ZOLRotaryKnob.h"
#include "skin/ZOLSliderComponent.h"
#include "support/Screenshot.h"

#include <cmath>

using namespace WidgetTestKit;

namespace
{
const juce::Colour caption{ 0xFFA9B0B8 };

// A dark panel holding the widgets of one picture.
struct Stage : juce::Component
{
    Stage (int w, int h) { setSize (w, h); }
    void paint (juce::Graphics& g) override { g.fillAll (panel); }

    template <typename Widget, typename... Args>
    Widget& add (Args&&... args)
    {
        owned.push_back (std::make_unique<Widget> (std::forward<Args> (args)...));
        addAndMakeVisible (*owned.back());
        return static_cast<Widget&> (*owned.back());
    }

    template <typename Widget>
    Widget& adopt (std::unique_ptr<Widget> widget)
    {
        owned.push_back (std::move (widget));
        addAndMakeVisible (*owned.back());
        return static_cast<Widget&> (*owned.back());
    }

    void save (const juce::String& name)
    {
        auto file = saveScreenshot (*this, "skin-widgets-" + name);
        ASSERT_TRUE (file.existsAsFile()) << name;
        EXPECT_EQ (juce::ImageFileFormat::loadFrom (file).getWidth(), getWidth()) << name;
    }

    std::vector<std::unique_ptr<juce::Component>> owned;
};

juce::Image rounded (int w, int h, juce::Colour fill, float corner = 2.0f)
{
    return makeImage (w, h,
                      [=] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (fill);
                          g.fillRoundedRectangle (r, corner);
                      });
}

juce::Image litBar (int w, int h, bool vertical)
{
    return makeImage (w, h,
                      [=] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setGradientFill ({ juce::Colour (0xFF3E9E6E), vertical ? r.getBottomLeft() : r.getTopLeft(),
                                               juce::Colour (0xFFD9A441), r.getTopRight(), false });
                          g.fillRoundedRectangle (r, 2.0f);
                      });
}

juce::Image led (bool on)
{
    return makeImage (12, 12,
                      [on] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (on ? juce::Colour (0xFF5FD38D) : juce::Colour (0xFF22362B));
                          g.fillEllipse (r.reduced (1.5f));
                      });
}
} // namespace

TEST (WidgetScreenshots, EachWidgetInItsMainStates)
{
    {
        Stage stage (340, 126);
        const char* names[] = { "Drive", "Tone", "Level", "Bias" };
        const char* texts[] = { "0.00", "5.04", "10.00 dB", "3.10" };
        for (int i = 0; i < 4; ++i)
        {
            auto& k = stage.adopt (makeKnob (10 + 80 * i, 10));
            k.setLabelStyle ({ 0, 78, 60, 26 }, juce::Justification::centredTop, nullptr, caption, 12.0f);
            k.setLabelText (names[i]);
            k.setFromDevice (0, (juce::uint16) (i * 42), texts[i]);
            if (i == 2)
            {
                k.modifierOnImage = knobBase (accent);
                k.modifierRect = { 6, 4, 48, 48 };
                k.setHasModifier (true);
                k.modifierActive = true;
            }
            if (i == 3)
            {
                k.createGlobalMixButton (led (false), led (true), led (false), { 46, 40, 12, 12 });
                k.setEnabled (false);
            }
        }
        stage.save ("knobs");
    }
    {
        Stage stage (260, 150);
        for (int i = 0; i < 4; ++i)
        {
            auto& s = stage.adopt (makeSlider (10 + 62 * i, 4));
            s.setLabelStyle ({ 0, 0, 40, 18 }, juce::Justification::centred, nullptr, caption, 12.0f);
            s.setLabelText ("Level");
            s.setUnit (i == 1 ? 1 : 0);
            s.setFromDevice (0, (juce::uint16) (i * 42), juce::String (-80 + i * 30) + ".0");
            s.setEnabled (i != 2);
            if (i == 3)
                s.getReadout()->showEditor();
        }
        stage.save ("sliders");
    }
    {
        Stage stage (260, 40);
        for (int i = 0; i < 3; ++i)
        {
            auto& r = stage.add<BrakFxReadout> (10 + 85 * i, 10, 70, 18, "value", field (70, 18), nullptr, 13.0f, ink,
                                                juce::Justification::centred, juce::Rectangle<int>());
            r.setText (i == 2 ? "Off" : "440.0 Hz");
            r.setEnabled (i != 2);
            if (i == 1)
                r.showEditor();
        }
        stage.save ("readouts");
    }
    {
        Stage stage (300, 130);
        for (int i = 0; i < 4; ++i)
        {
            auto& level = stage.add<BrakFxMeter> (10, 12 + 16 * i, "level", "Level", litBar (120, 8, false),
                                                  rounded (120, 8, juce::Colour (0xFF111315)));
            level.setLevel (i * 0.03);
            level.timerCallback();
            level.stopTimer();

            auto& meter =
                stage.add<ZOLMeterComponent> (juce::Rectangle<int> (160 + 32 * i, 10, 24, 110), 4, 4,
                                              litBar (16, 90, true), rounded (16, 90, juce::Colour (0xFF111315)), true);
            meter.rangeMax = 100.0f;
            meter.setLabelStyle ({ 0, 96, 24, 14 }, juce::Justification::centred, nullptr, caption, 11.0f);
            meter.setLabelText (juce::String (i * 33));
            meter.setFromDevice ((juce::uint16) (i * 33), 0, {});
        }
        stage.save ("meters");
    }
    {
        Stage stage (320, 90);
        auto background = rounded (140, 70, juce::Colour (0xFF131518));
        std::vector<float> sine ((size_t) ZOLGraphDisplay::valueCount), ramp (sine.size());
        for (size_t i = 0; i < sine.size(); ++i)
        {
            sine[i] = 0.8f * (float) std::sin ((double) i / 127.0 * juce::MathConstants<double>::twoPi);
            ramp[i] = std::pow ((float) i / 127.0f, 2.0f);
        }
        auto& bipolar =
            stage.add<ZOLGraphComponent> (background, juce::Rectangle<int> (6, 6, 128, 58), accent, 1.5f, true);
        bipolar.setValues (sine.data());
        bipolar.setTopLeftPosition (10, 10);
        auto& curve = stage.add<ZOLGraphComponent> (background, juce::Rectangle<int> (6, 6, 128, 58), ink, 1.5f, false);
        curve.setValues (ramp.data());
        curve.getDisplay().markerOn = true;
        curve.setMarkerIndex (90);
        curve.setTopLeftPosition (165, 10);
        stage.save ("graphs");
    }
    {
        Stage stage (300, 130);
        const char* texts[] = { "Delay", "Feedback", "Selected", "Disabled" };
        for (int i = 0; i < 4; ++i)
        {
            auto& l = stage.add<ZOLLabelComponent> (10, 8 + 26 * i, 280, 20, juce::Font(), 14.0f,
                                                    juce::Colour (0xFFC9CFD6), juce::Justification::centred);
            l.setText (texts[i], juce::dontSendNotification);
            l.sideLines = i == 0;
            l.sideLineColour = rim;
            l.setStateColours (l.findColour (juce::Label::textColourId), juce::Colours::transparentBlack,
                               juce::Colours::white, juce::Colour (0xFF2E4A57), juce::Colours::white, bezel);
            l.selected = i == 2;
            l.applyStateColours();
            l.setEnabled (i != 3);
        }
        stage.add<ZOLLedComponent> (20, 112, "on", led (true), led (false));
        stage.add<ZOLLedComponent> (40, 112, "off", led (true), led (false)).setEnabled (false);
        stage.save ("labels-and-leds");
    }
    {
        Stage stage (300, 70);
        auto& picture = stage.add<ZOLBorderedImageComponent>();
        picture.setBounds (10, 10, 60, 48);
        picture.setImage (rounded (56, 44, accent.darker (0.8f), 0.0f));
        picture.borderWidth = 2;
        picture.borderColour = rim;
        for (int i = 0; i < 3; ++i)
        {
            auto& progress = stage.add<ZOLProgressBar>();
            progress.setBounds (90, 10 + 20 * i, 200, 14);
            progress.progress = i * 0.5;
            progress.setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xFF111315));
            progress.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xFF245468));
        }
        stage.save ("image-and-progress");
    }
}
