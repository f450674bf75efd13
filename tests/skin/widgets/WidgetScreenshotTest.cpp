#include "support/WidgetTestKit.h"

#include "skin/knobs/BrakFxMeter.h"
#include "skin/window/GenericDialogContent.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/WidgetSupport.h"
#include "skin/widgets/ZOLBorderedImageComponent.h"
#include "skin/widgets/ZOLCheckBox.h"
#include "skin/widgets/ZOLDrawableButton.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLLedComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"
#include "skin/widgets/ZOLPaginationComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLProgressBar.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "skin/lists/ZolScrollableListCtrl.h"
#include "support/Screenshot.h"

#include <cmath>
#include <functional>
#include <map>

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

    // The picture as saved, for the checks of what it shows.
    juce::Image save (const juce::String& name)
    {
        auto file = saveScreenshot (*this, "skin-widgets-" + name);
        auto image = juce::ImageFileFormat::loadFrom (file);
        EXPECT_EQ (image.getWidth(), getWidth()) << name;
        return image;
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

// The pixels of an area that pass a test: how many, their centre and bounds.
struct Ink
{
    int count = 0;
    juce::Point<float> centre;
    juce::Rectangle<int> bounds;
};

Ink inkOf (const juce::Image& image, juce::Rectangle<int> area, const std::function<bool (juce::Colour)>& test)
{
    Ink ink;
    juce::Point<float> sum;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (test (image.getPixelAt (x, y)))
            {
                ++ink.count;
                sum += { (float) x, (float) y };
                ink.bounds = ink.count == 1 ? juce::Rectangle<int> (x, y, 1, 1) : ink.bounds.getUnion ({ x, y, 1, 1 });
            }
    if (ink.count > 0)
        ink.centre = sum / (float) ink.count;
    return ink;
}

std::function<bool (juce::Colour)> near (juce::Colour target, int tolerance = 12)
{
    return [=] (juce::Colour c)
    {
        return std::abs (c.getRed() - target.getRed()) <= tolerance
               && std::abs (c.getGreen() - target.getGreen()) <= tolerance
               && std::abs (c.getBlue() - target.getBlue()) <= tolerance;
    };
}

bool isBright (juce::Colour c)
{
    return c.getPerceivedBrightness() > 0.75f;
}

bool isLit (juce::Colour c)
{
    return c.getSaturation() > 0.3f && c.getBrightness() > 0.3f;
}

float luminance (juce::Colour c)
{
    auto channel = [] (juce::uint8 v)
    {
        const float f = (float) v / 255.0f;
        return f <= 0.03928f ? f / 12.92f : std::pow ((f + 0.055f) / 1.055f, 2.4f);
    };
    return 0.2126f * channel (c.getRed()) + 0.7152f * channel (c.getGreen()) + 0.0722f * channel (c.getBlue());
}

// The contrast ratio (1 to 21) between an area's commonest colour, its
// background, and the pixel that stands out most from it, its text.
float textContrast (const juce::Image& image, juce::Rectangle<int> area)
{
    std::map<juce::uint32, int> counts;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            ++counts[image.getPixelAt (x, y).getARGB()];
    if (counts.empty())
        return 1.0f;
    const auto background = luminance (juce::Colour (
        std::max_element (counts.begin(), counts.end(), [] (auto a, auto b) { return a.second < b.second; })->first));
    float best = 1.0f;
    for (auto& [argb, count] : counts)
    {
        const auto l = luminance (juce::Colour (argb));
        best = juce::jmax (best, (juce::jmax (l, background) + 0.05f) / (juce::jmin (l, background) + 0.05f));
    }
    return best;
}

// Text a user can read: at least the contrast asked of normal text.
constexpr float readableContrast = 4.5f;

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

// Pictures of each widget in its main states, for a person to look at; and
// what the pictures must show: a knob's pointer and a slider's thumb where
// the value puts them, meters and bars filled as far as their level, texts
// readable against their background.
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
        const auto picture = stage.save ("knobs");

        // Each enabled knob's pointer turns with its value, from its leftmost
        // turn at the minimum.
        for (int i = 0; i < 3; ++i)
        {
            auto& knob = static_cast<ZOLRotaryKnob&> (*stage.owned[(size_t) i]);
            const auto cap = juce::Rectangle<int> (6, 4, 48, 48) + knob.getPosition();
            const auto pointer = inkOf (picture, cap, isBright);
            ASSERT_GT (pointer.count, 8) << "knob " << i;
            const auto from = pointer.centre - cap.getCentre().toFloat();
            const float angle = std::atan2 (from.x, -from.y);
            const float expected = knob.angleMin + (knob.angleMax - knob.angleMin) * (float) (i * 42) / 127.0f;
            EXPECT_NEAR (angle, expected, 0.3f) << "knob " << i;
        }
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
        const auto picture = stage.save ("sliders");

        // A higher value stands the thumb higher.
        auto thumbY = [&] (int i)
        {
            auto& slider = *stage.owned[(size_t) i];
            return inkOf (picture, slider.getBounds().withHeight (120), near (juce::Colour (0xFF8A919B))).centre.y;
        };
        EXPECT_GT (thumbY (0), thumbY (1) + 20.0f);
        EXPECT_GT (thumbY (1), thumbY (3) + 40.0f);
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
        const auto picture = stage.save ("readouts");
        EXPECT_GE (textContrast (picture, stage.owned[0]->getBounds()), readableContrast);
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
        const auto picture = stage.save ("meters");

        // Each meter lights up as far as its level reaches.
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR (inkOf (picture, { 164 + 32 * i, 14, 16, 90 }, isLit).bounds.getHeight(), 90 * i * 33 / 100, 3)
                << "meter " << i;
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
        const auto picture = stage.save ("labels-and-leds");
        for (int i = 0; i < 3; ++i)
            EXPECT_GE (textContrast (picture, stage.owned[(size_t) i]->getBounds()), readableContrast) << texts[i];
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
        const auto saved = stage.save ("image-and-progress");

        // Each bar fills as far as its progress (seen above its text).
        for (int i = 0; i < 3; ++i)
        {
            const auto bar = stage.owned[(size_t) i + 1]->getBounds();
            EXPECT_NEAR (inkOf (saved, bar.withTrimmedTop (2).withHeight (2), near (juce::Colour (0xFF245468))).count / 2,
                         bar.getWidth() * i / 2, 8)
                << "bar " << i;
        }
    }
}

namespace
{
juce::Image arrow (bool up, juce::Colour c = juce::Colour (0xFF8A919B))
{
    return makeImage (14, 9,
                      [=] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          juce::Path p;
                          auto top = r.getY() + 1.5f, bottom = r.getBottom() - 1.5f;
                          p.addTriangle (r.getCentreX(), up ? top : bottom, r.getX() + 2.5f, up ? bottom : top,
                                         r.getRight() - 2.5f, up ? bottom : top);
                          g.setColour (c);
                          g.fillPath (p);
                      });
}

juce::Image glyphButton (juce::Colour c, bool plus)
{
    return makeImage (
        14, 11,
        [=] (juce::Graphics& g, juce::Rectangle<float> r)
        {
            g.setColour (bezel);
            g.fillRoundedRectangle (r.reduced (0.5f), 2.0f);
            g.setColour (c);
            g.drawLine (r.getCentreX() - 3.0f, r.getCentreY(), r.getCentreX() + 3.0f, r.getCentreY(), 1.5f);
            if (plus)
                g.drawLine (r.getCentreX(), r.getCentreY() - 3.0f, r.getCentreX(), r.getCentreY() + 3.0f, 1.5f);
        });
}

juce::Image rocker (bool on)
{
    return makeImage (34, 18,
                      [on] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (juce::Colour (0xFF111315));
                          g.fillRoundedRectangle (r.reduced (0.5f), 9.0f);
                          g.setColour (on ? accent : rim);
                          auto knob = r.reduced (3.0f).withWidth (12.0f);
                          g.fillEllipse (on ? knob.withX (r.getRight() - 15.0f) : knob);
                      });
}

juce::Image dialogIcon (juce::Colour c, const juce::String& glyph)
{
    return makeImage (40, 40,
                      [=] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (c);
                          g.fillEllipse (r.reduced (6.0f));
                          g.setColour (panel);
                          g.setFont (juce::Font (20.0f, juce::Font::bold));
                          g.drawText (glyph, r, juce::Justification::centred);
                      });
}

DropDownStyle darkDropDown()
{
    DropDownStyle s;
    s.upNormal = s.upOver = arrow (true);
    s.upOn = arrow (true, accent);
    s.downNormal = s.downOver = arrow (false);
    s.downOn = arrow (false, accent);
    s.plusNormal = s.plusOver = glyphButton (ink, true);
    s.plusOn = glyphButton (accent, true);
    s.modifierNormal = s.modifierOver = glyphButton (ink, false);
    s.modifierOn = glyphButton (accent, false);
    s.fieldSmall = field (60, 18);
    s.fieldNormal = field (96, 18);
    s.fieldLarge = field (130, 18);
    s.fieldHuge = field (170, 36);
    s.labelFontHeight = 12.0f;
    s.labelColour = caption;
    s.labelAboveJustification = juce::Justification::centredLeft;
    s.labelBelowJustification = juce::Justification::centred;
    s.labelBesideJustification = juce::Justification::centredLeft;
    s.fieldColour = ink;
    s.fieldFontHeight = 12.0f;
    s.fieldJustification = juce::Justification::centred;
    s.xOffsetBtnFromField = 3;
    s.yOffsetLabel = 21;
    return s;
}

void paintButtonColours (ZOLPaintedButton& b)
{
    b.setBorderColours (rim, accent.darker (0.4f));
    b.setNormalGradient (juce::Colour (0xFF30353C), juce::Colour (0xFF23272C));
    b.setPressedGradient (juce::Colour (0xFF1E4A5A), juce::Colour (0xFF163944));
    b.setOverColours (accent.darker (0.2f), juce::Colour (0xFF353B43), juce::Colours::white);
    b.setOverGradient (juce::Colour (0xFF3A4048), juce::Colour (0xFF2A2F35));
    b.setLabelColours (ink, juce::Colours::white);
}
} // namespace

TEST (WidgetScreenshots, ListsButtonsDropDownsPaginationAndDialogs)
{
    {
        Stage stage (420, 150);
        auto& list = stage.add<ZolScrollableListCtrl> (10, 10, 400, 130);
        list.layoutMode = 0;
        list.minCellWidth = 120;
        list.minCellHeight = 18;
        list.columnSpacer = 14;
        list.multipleSelection = true;
        list.markerImage = makeImage (10, 10,
                                      [] (juce::Graphics& g, juce::Rectangle<float> r)
                                      {
                                          juce::Path star;
                                          star.addStar (r.getCentre(), 5, 2.0f, 5.0f);
                                          g.setColour (juce::Colour (0xFFD9A441));
                                          g.fillPath (star);
                                      });
        juce::Font number (12.0f, juce::Font::bold), name (12.0f), bold (12.0f, juce::Font::bold),
            italic (12.0f, juce::Font::italic);
        list.setNumberFont (&number, caption, 12.0f);
        list.setNameFonts (&name, &bold, &italic, &bold, 12.0f, ink);
        list.setCellColours (juce::Colour (0xFF2A3038), juce::Colour (0xFF1E4A5A), juce::Colour (0xFF2B5F72));
        list.backgroundFill = true;
        list.backgroundColour = juce::Colour (0xFF15171A);
        std::vector<ScrollableListItem> records (64);
        juce::Array<ScrollableListItem*> items;
        const char* names[] = { "Clean Room", "Crunch", "Plexi Lead", "Ambient Pad",
                                "Funk Wah",   "Doom",   "Jazz Box",   "Shimmer" };
        for (int i = 0; i < 20; ++i)
        {
            auto& r = records[(size_t) i];
            r.number = juce::String::formatted ("%d-%d ", i / 8 + 1, i % 8 + 1);
            r.name = names[i % 8];
            r.itemId = i;
            r.showMarker = i % 7 == 2;
            r.italic = i == 5;
            r.hasNumberBox = i == 9;
            r.numberBoxColour = juce::Colour (0xFF5A3D1E);
            items.add (&r);
        }
        list.setItems (items);
        list.selectCell (3, true, false, false);
        list.selectCell (4, true, false, false);
        list.highlightItemId (11);
        list.getCell (12)->setMouseOver (true);
        list.getCell (15)->setDropMark (true);
        auto* renamed = list.getCell (7);
        renamed->renamable = true;
        renamed->showNameEditor();
        if (auto* editor = renamed->getRenameLabel()->getCurrentTextEditor())
        {
            editor->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xFF0E1012));
            editor->setColour (juce::TextEditor::textColourId, juce::Colours::white);
            editor->setColour (juce::TextEditor::outlineColourId, accent);
            editor->setColour (juce::TextEditor::focusedOutlineColourId, accent);
            editor->applyColourToAllText (juce::Colours::white);
        }
        stage.save ("list");
    }
    {
        Stage stage (470, 150);
        int x = 10;
        for (int i = 0; i < 6; ++i)
        {
            auto& b = stage.add<ZOLPaintedButton> (x, 10, 70, 24);
            paintButtonColours (b);
            b.setLabelText (
                juce::StringArray ({ "Save", "Over", "Pressed", "Toggle on", "Toggle off", "Disabled" })[i]);
            b.useAlpha = true;
            b.alphaDisabledState = 0.4f;
            b.toggleMode = i == 3 || i == 4;
            b.setOn (i == 3);
            if (i == 1)
                b.mouseEnter (mouse (b, { 2, 2 }));
            if (i == 2)
                b.mouseDown (mouse (b, { 2, 2 }));
            b.setEnabled (i != 5);
            x += 76;
        }
        for (int i = 0; i < 4; ++i)
        {
            auto& t = stage.add<ZOLToggleButton> (juce::Rectangle<int> (10 + 80 * i, 48, 70, 44), 18, 4, rocker (false),
                                                  rocker (true));
            t.setLabel ({ 0, 24, 70, 18 }, juce::Justification::centred, nullptr, caption, 12.0f,
                        juce::StringArray ({ "Bypass", "Engaged", "Modifier", "Disabled" })[i]);
            t.setToggleState (i == 1 || i == 2, false);
            t.setModifierImages (2, 6, led (true), led (false));
            t.setHasModifier (i == 2);
            t.modifierActive = i == 2;
            t.setEnabled (i != 3);
        }
        for (int i = 0; i < 3; ++i)
        {
            auto& c = stage.add<ZOLCheckBox> (juce::StringArray ({ "Show tooltips", "Auto-connect", "Disabled" })[i]);
            c.font = juce::Font (13.0f);
            c.fontSize = 13;
            c.setColour (juce::ToggleButton::textColourId, ink);
            c.setColour (juce::ToggleButton::tickColourId, accent);
            c.setColour (juce::ToggleButton::tickDisabledColourId, rim);
            c.setBounds (10 + 130 * i, 100, 10, 20);
            c.fitWidthToText();
            c.setToggleState (i != 0, juce::dontSendNotification);
            c.setEnabled (i != 2);
        }
        for (int i = 0; i < 2; ++i)
        {
            auto& d = stage.add<ZOLDrawableButton> ("block");
            d.setBounds (360 + 50 * i, 52, 44, 30);
            WidgetSupport::setButtonImages (d, rounded (44, 30, bezel, 4.0f), rounded (44, 30, rim, 4.0f),
                                            rounded (44, 30, juce::Colour (0xFF1E4A5A), 4.0f), {}, {});
            d.setLabel ({}, juce::Justification::centred, nullptr, ink, 11.0f);
            d.setLabelText (i == 0 ? "Amp 1" : "Delay");
            d.setFromDevice ((juce::uint16) i, 0, {});
        }
        stage.save ("buttons");
    }
    {
        Stage stage (460, 120);
        const int placements[] = { 1, 3, 4, 2 };
        const char* texts[] = { "Amp Type", "Cab", "Mode", "Input Select (two lines)" };
        for (int i = 0; i < 4; ++i)
        {
            auto& d = stage.add<ZOLDropDownEx> (darkDropDown(), nullptr, nullptr, nullptr);
            d.setItems ({ "", "", "" }, { "Plexi 100W", "Brit 800", "USA Clean" }, { 0, 1, 2 }, { 0, 1, 0 }, i % 3);
            d.setLabel (placements[i], texts[i]);
            d.setExtraButton (i == 1 ? 1 : i == 3 ? 2 : 0);
            d.setTopLeftPosition (i % 2 == 0 ? 10 : 240, i < 2 ? 10 : 64);
            if (i == 2)
                d.setEnabled (false);
        }
        stage.save ("dropdowns");
    }
    {
        Stage stage (440, 50);
        juce::String xml = R"(<Widget bounds="10,12,420,24" pixelBufferBtnBounds="12" pixelBufferDivider="0"
                                      pixelBufferBtnNext="8" pixelBufferBtnLast="4">)";
        auto common = juce::String (R"(height="22" buttonCornerSize="4" borderThickness="1"
            borderNormalColor="ff434851" borderOverColor="ff5fb3d3" labelNormalColor="ffd6dbe1"
            labelDownColor="ffffffff" labelFontSize="12")");
        auto buttonAttributes = common + R"( fillNormalColor1="ff2c3036" fillDownColor1="ff1e4a5a")";
        // Page buttons are toggles: the selected page is "on" and drawn in the normal set.
        auto pageAttributes = common + R"( toggleMode="1" fillNormalColor1="ff1e4a5a" fillDownColor1="ff2c3036")";
        xml << "<Widget name=\"btnFirst\" positionX=\"0\" width=\"34\" labelText=\"First\" " << buttonAttributes << "/>"
            << "<Widget name=\"btnPrev\" positionX=\"38\" width=\"34\" labelText=\"Prev\" " << buttonAttributes << "/>";
        for (int i = 1; i <= 5; ++i)
            xml << "<Widget name=\"btn" << i << "\" positionX=\"80\" width=\"20\" labelText=\"" << i << "\" "
                << pageAttributes << "/>"
                << "<Widget name=\"labelDivider" << i + 1 << "\" positionY=\"2\" width=\"12\" height=\"18\" "
                << R"(text="|" fontColor="ff5c626b" fontSize="12" textJustify="36"/>)";
        xml << "<Widget name=\"btnNext\" width=\"34\" labelText=\"Next\" " << buttonAttributes << "/>"
            << "<Widget name=\"btnLast\" width=\"34\" labelText=\"Last\" " << buttonAttributes << "/></Widget>";
        auto element = juce::parseXML (xml);
        SkinManager skin;
        auto& pages = stage.add<ZOLPaginationComponent> (skin, *element);
        pages.setItemCount (2400, 20);
        pages.setCurrentPage (98);
        stage.save ("pagination");
    }
    {
        GenericDialogStyle style;
        style.valid = true;
        style.warningIcon = dialogIcon (juce::Colour (0xFFD9A441), "!");
        style.questionIcon = dialogIcon (accent, "?");
        style.logo = makeImage (140, 28,
                                [] (juce::Graphics& g, juce::Rectangle<float> r)
                                {
                                    g.setColour (accent);
                                    g.setFont (juce::Font (22.0f, juce::Font::bold));
                                    g.drawText ("Kestrel-Edit", r, juce::Justification::centred);
                                });
        style.textFont = juce::Font (13.0f);
        style.textFontSize = 13.0f;
        style.textColour = ink;
        style.backgroundColour = panel;
        style.imageYOffset = 14;
        style.okButtonUp = rounded (90, 26, bezel, 4.0f);
        style.okButtonDown = rounded (90, 26, juce::Colour (0xFF1E4A5A), 4.0f);
        style.labelFont = juce::Font (13.0f);
        style.labelFontSize = 13.0f;
        style.labelColourNormal = ink;
        style.labelColourActive = juce::Colours::white;
        style.labelJustification = juce::Justification::centred;

        GenericDialogContent warning (style);
        warning.message = "Unable to import.\nThe selected file is a User Cab.";
        warning.iconType = 5;
        warning.updateLayout();
        auto file = saveScreenshot (warning, "skin-widgets-dialog-warning");
        EXPECT_TRUE (file.existsAsFile());

        GenericDialogContent about (style);
        about.logoMode = true;
        about.message = "Version 1.0.0";
        about.setHyperlink ("Release notes", "https://example.org/notes");
        about.updateLayout();
        file = saveScreenshot (about, "skin-widgets-dialog-logo");
        EXPECT_TRUE (file.existsAsFile());
    }
}
