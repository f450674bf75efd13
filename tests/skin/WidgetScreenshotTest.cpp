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
// A dark panel that holds the widgets of one picture.
struct Stage : juce::Component
{
    explicit Stage (int w, int h) { setSize (w, h); }
    void paint (juce::Graphics& g) override { g.fillAll (panel); }

    template <typename Widget>
    Widget& add (std::unique_ptr<Widget> widget)
    {
        addAndMakeVisible (*widget);
        auto& w = *widget;
        owned.push_back (std::move (widget));
        return w;
    }

    std::vector<std::unique_ptr<juce::Component>> owned;
};

juce::Image track (int w, int h)
{
    return makeImage (w, h, [] (juce::Graphics& g, juce::Rectangle<float> r) {
        g.setColour (juce::Colour (0xFF101214));
        g.fillRoundedRectangle (r.withSizeKeepingCentre (6.0f, r.getHeight()), 3.0f);
        g.setColour (rim);
        g.drawRoundedRectangle (r.withSizeKeepingCentre (6.0f, r.getHeight()).reduced (0.5f), 3.0f, 1.0f);
    });
}

juce::Image thumbImage()
{
    return makeImage (26, 12, [] (juce::Graphics& g, juce::Rectangle<float> r) {
        g.setColour (juce::Colour (0xFF8A919B));
        g.fillRoundedRectangle (r.reduced (0.5f), 2.5f);
        g.setColour (ink);
        g.fillRect (r.withSizeKeepingCentre (r.getWidth() - 6.0f, 2.0f));
    });
}

juce::Image bar (int w, int h, bool lit, bool vertical)
{
    return makeImage (w, h, [=] (juce::Graphics& g, juce::Rectangle<float> r) {
        if (! lit)
        {
            g.setColour (juce::Colour (0xFF111315));
            g.fillRoundedRectangle (r, 2.0f);
            return;
        }
        juce::ColourGradient gradient (juce::Colour (0xFF3E9E6E), vertical ? r.getBottomLeft() : r.getTopLeft(),
                                       juce::Colour (0xFFD9A441), vertical ? r.getTopLeft() : r.getTopRight(),
                                       false);
        g.setGradientFill (gradient);
        g.fillRoundedRectangle (r, 2.0f);
    });
}

juce::Image ledImage (bool on)
{
    return makeImage (12, 12, [on] (juce::Graphics& g, juce::Rectangle<float> r) {
        g.setColour (on ? juce::Colour (0xFF5FD38D) : juce::Colour (0xFF22362B));
        g.fillEllipse (r.reduced (1.5f));
        g.setColour (rim);
        g.drawEllipse (r.reduced (1.0f), 1.0f);
    });
}

std::unique_ptr<ZOLRotaryKnob> knob (const juce::String& name, int x, int position, const juce::String& text)
{
    auto k = std::make_unique<ZOLRotaryKnob> (juce::Rectangle<int> (x, 10, 60, 106), knobBase(),
                                              juce::Rectangle<int> (6, 4, 48, 48), knobTop(),
                                              juce::Rectangle<int> (6, 4, 48, 48));
    k->attachReadout ({ 4, 58, 52, 16 }, field(), nullptr, 12.0f, ink, juce::Justification::centred, {}, 0.8f);
    k->setLabelStyle ({ 0, 78, 60, 26 }, juce::Justification::centredTop, nullptr, juce::Colour (0xFFA9B0B8), 12.0f);
    k->setLabelText (name);
    k->setFromDevice (0, (juce::uint16) position, text);
    return k;
}

std::unique_ptr<ZOLSliderComponent> slider (int x, int position, const juce::String& text, bool withUnit)
{
    auto s = std::make_unique<ZOLSliderComponent> (juce::Rectangle<int> (x, 10, 56, 170),
                                                   juce::Rectangle<int> (x, 10, 48, 170), 18, 22, 11, 110, 22, 110,
                                                   "Level", true, track (12, 100), thumbImage(), thumbImage());
    s->setTopLeftPosition (x, 10);
    s->attachReadout ({ 0, 128, 48, 16 }, field (48, 16), nullptr, 11.0f, ink, juce::Justification::centred, {},
                      0.8f);
    s->setLabelStyle ({ 0, 0, 48, 18 }, juce::Justification::centred, nullptr, juce::Colour (0xFFA9B0B8), 12.0f);
    s->setLabelText ("Level");
    if (withUnit)
        s->setUnit (1);
    s->setFromDevice (0, (juce::uint16) position, text);
    return s;
}

void save (juce::Component& c, const juce::String& name)
{
    auto file = saveScreenshot (c, "skin-widgets-" + name);
    ASSERT_TRUE (file.existsAsFile()) << name;
    auto image = juce::ImageFileFormat::loadFrom (file);
    EXPECT_EQ (image.getWidth(), c.getWidth()) << name;
}
} // namespace

TEST (WidgetScreenshots, EachWidgetInItsMainStates)
{
    {
        Stage stage (340, 126);
        stage.add (knob ("Drive", 10, 0, "0.00"));
        stage.add (knob ("Tone", 90, 64, "5.04"));
        auto& modulated = stage.add (knob ("Level", 170, 127, "10.00 dB"));
        modulated.modifierOnImage = makeImage (48, 48, [] (juce::Graphics& g, juce::Rectangle<float> r) {
            g.setColour (accent);
            g.fillEllipse (r.reduced (2.0f));
            g.setColour (bezel);
            g.fillEllipse (r.reduced (5.0f));
        });
        modulated.modifierRect = { 6, 4, 48, 48 };
        modulated.setHasModifier (true);
        modulated.modifierActive = true;
        auto& disabled = stage.add (knob ("Bias", 250, 40, "3.10"));
        disabled.createGlobalMixButton (ledImage (false), ledImage (true), ledImage (false), { 46, 40, 12, 12 });
        disabled.setEnabled (false);
        save (stage, "knobs");
    }
    {
        Stage stage (260, 190);
        stage.add (slider (10, 0, "-80.0", false));
        stage.add (slider (70, 64, "-6.0 dB", true));
        auto& top = stage.add (slider (140, 127, "12.0", false));
        top.setEnabled (false);
        auto& editing = stage.add (slider (200, 90, "3.5", false));
        editing.getReadout()->showEditor();
        save (stage, "sliders");
    }
    {
        Stage stage (260, 60);
        auto& plain = stage.add (std::make_unique<BrakFxReadout> (10, 10, 70, 18, "plain", field (70, 18), nullptr,
                                                                  13.0f, ink, juce::Justification::centred,
                                                                  juce::Rectangle<int>()));
        plain.setText ("440.0 Hz");
        auto& editing = stage.add (std::make_unique<BrakFxReadout> (
            95, 10, 70, 18, "editing", field (70, 18), nullptr, 13.0f, ink, juce::Justification::centred,
            juce::Rectangle<int>()));
        editing.setText ("12.5");
        editing.showEditor();
        auto& off = stage.add (std::make_unique<BrakFxReadout> (180, 10, 70, 18, "off", field (70, 18), nullptr,
                                                                13.0f, ink, juce::Justification::centred,
                                                                juce::Rectangle<int>()));
        off.setText ("Off");
        off.setEnabled (false);
        save (stage, "readouts");
    }
    {
        Stage stage (300, 130);
        int y = 12;
        for (auto level : { 0.0, 0.02, 0.06, 0.2 })
        {
            auto& m = stage.add (std::make_unique<BrakFxMeter> (10, y, "level", "Level", bar (120, 8, true, false),
                                                                bar (120, 8, false, false)));
            m.setLevel (level);
            m.timerCallback();
            m.stopTimer();
            y += 16;
        }
        int x = 160;
        for (auto value : { 0, 30, 70, 100 })
        {
            auto& m = stage.add (std::make_unique<ZOLMeterComponent> (
                juce::Rectangle<int> (x, 10, 24, 110), 4, 4, bar (16, 90, true, true), bar (16, 90, false, true),
                true));
            m.rangeMax = 100.0f;
            m.setLabelStyle ({ 0, 96, 24, 14 }, juce::Justification::centred, nullptr, juce::Colour (0xFFA9B0B8),
                             11.0f);
            m.setLabelText (juce::String (value));
            m.setFromDevice ((juce::uint16) value, 0, {});
            x += 32;
        }
        save (stage, "meters");
    }
    {
        Stage stage (320, 90);
        auto background = makeImage (140, 70, [] (juce::Graphics& g, juce::Rectangle<float> r) {
            g.fillAll (juce::Colour (0xFF131518));
            g.setColour (juce::Colour (0xFF262A2F));
            for (float x = 6.0f; x < r.getWidth(); x += 16.0f)
                g.drawVerticalLine ((int) x, 6.0f, r.getHeight() - 6.0f);
            g.drawHorizontalLine ((int) r.getCentreY(), 6.0f, r.getWidth() - 6.0f);
        });
        std::vector<float> sine ((size_t) ZOLGraphDisplay::valueCount), ramp (sine.size());
        for (size_t i = 0; i < sine.size(); ++i)
        {
            sine[i] = 0.8f * (float) std::sin ((double) i / 127.0 * juce::MathConstants<double>::twoPi);
            ramp[i] = std::pow ((float) i / 127.0f, 2.0f);
        }
        auto& bipolar = stage.add (
            std::make_unique<ZOLGraphComponent> (background, juce::Rectangle<int> (6, 6, 128, 58), accent, 1.5f, true));
        bipolar.setValues (sine.data());
        bipolar.setTopLeftPosition (10, 10);
        auto& curve = stage.add (
            std::make_unique<ZOLGraphComponent> (background, juce::Rectangle<int> (6, 6, 128, 58), ink, 1.5f, false));
        curve.setValues (ramp.data());
        curve.getDisplay().markerOn = true;
        curve.setMarkerIndex (90);
        curve.setTopLeftPosition (165, 10);
        save (stage, "graphs");
    }
    {
        Stage stage (300, 130);
        auto caption = [&] (int y, const juce::String& text) -> ZOLLabelComponent& {
            auto& l = stage.add (std::make_unique<ZOLLabelComponent> (
                10, y, 280, 20, juce::Font(), 14.0f, juce::Colour (0xFFC9CFD6), juce::Justification::centred));
            l.setText (text, juce::dontSendNotification);
            return l;
        };
        auto& title = caption (8, "Delay");
        title.sideLines = true;
        title.sideLineColour = rim;
        caption (34, "Feedback");
        auto& selected = caption (60, "Selected");
        selected.setStateColours (juce::Colour (0xFFC9CFD6), juce::Colours::transparentBlack, juce::Colours::white,
                                  juce::Colour (0xFF2E4A57),
                                  juce::Colours::white, bezel);
        selected.selected = true;
        selected.applyStateColours();
        caption (86, "Disabled").setEnabled (false);

        stage.add (std::make_unique<ZOLLedComponent> (20, 112, "on", ledImage (true), ledImage (false)));
        stage.add (std::make_unique<ZOLLedComponent> (40, 112, "off", ledImage (true), ledImage (false)))
            .setEnabled (false);
        save (stage, "labels-and-leds");
    }
    {
        Stage stage (300, 70);
        auto& picture = stage.add (std::make_unique<ZOLBorderedImageComponent>());
        picture.setBounds (10, 10, 60, 48);
        picture.setImage (makeImage (56, 44, [] (juce::Graphics& g, juce::Rectangle<float> r) {
            g.setGradientFill (juce::ColourGradient (bezel, r.getTopLeft(), accent.darker (0.6f), r.getBottomRight(),
                                                     false));
            g.fillAll();
        }));
        picture.borderWidth = 2;
        picture.borderColour = rim;
        int y = 10;
        for (auto done : { 0.0, 0.4, 1.0 })
        {
            auto& progress = stage.add (std::make_unique<ZOLProgressBar>());
            progress.setBounds (90, y, 200, 14);
            progress.progress = done;
            progress.setColour (juce::ProgressBar::backgroundColourId, juce::Colour (0xFF111315));
            progress.setColour (juce::ProgressBar::foregroundColourId, juce::Colour (0xFF245468));
            y += 20;
        }
        save (stage, "image-and-progress");
    }
}
