#include "SkinArt.h"

// The pictures of the front panel strip: its background with the quiet
// captions, text buttons in every state, LEDs, the CPU meter and the fields.
namespace
{
using namespace SkinArt;

juce::Image blankImage (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

juce::Font fontFor (juce::Typeface::Ptr typeface, float height)
{
    return typeface != nullptr ? juce::Font (typeface).withHeight (height) : juce::Font (height);
}

enum class Look
{
    up,
    over,
    down,
    disabled,
    on,
    onOver
};

using Sign = std::function<void (juce::Graphics&, juce::Rectangle<float>)>;

juce::Image panelButton (int w, int h, Look look, const juce::String& text, juce::Typeface::Ptr bold, const Sign& sign)
{
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (0.5f);

    auto base = look == Look::over || look == Look::onOver ? Palette::raisedHigh
              : look == Look::down                         ? Palette::panelDeep
                                                           : Palette::raised;
    g.setGradientFill (juce::ColourGradient (base.brighter (0.10f), 0.0f, r.getY(), base.darker (0.15f), 0.0f,
                                             r.getBottom(), false));
    g.fillRoundedRectangle (r, 3.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r, 3.0f, 1.0f);

    auto ink = look == Look::on || look == Look::onOver ? Palette::accent
             : look == Look::disabled                   ? Palette::textQuiet.withAlpha (0.35f)
             : look == Look::over                       ? Palette::text
                                                        : Palette::textQuiet;

    if (look == Look::on || look == Look::onOver)
    {
        // A lit bar along the bottom edge marks the active preset or scene.
        g.setColour (Palette::accent);
        g.fillRoundedRectangle (r.getX() + 4.0f, r.getBottom() - 4.0f, r.getWidth() - 8.0f, 2.0f, 1.0f);
    }

    g.setColour (ink);

    if (sign)
        sign (g, r);
    else
    {
        g.setFont (fontFor (bold, 12.0f));
        g.drawText (text, r.toNearestInt().withTrimmedBottom (2), juce::Justification::centred, false);
    }

    return image;
}

void addButton (std::map<juce::String, juce::Image>& images, const juce::String& stem, int w, int h,
                const juce::String& text, juce::Typeface::Ptr bold, bool toggles, const Sign& sign = {})
{
    images[stem + ".png"] = panelButton (w, h, Look::up, text, bold, sign);
    images[stem + "-over.png"] = panelButton (w, h, Look::over, text, bold, sign);
    images[stem + "-down.png"] = panelButton (w, h, Look::down, text, bold, sign);
    images[stem + "-off.png"] = panelButton (w, h, Look::disabled, text, bold, sign);

    if (toggles)
    {
        images[stem + "-on.png"] = panelButton (w, h, Look::on, text, bold, sign);
        images[stem + "-on-over.png"] = panelButton (w, h, Look::onOver, text, bold, sign);
    }
}

Sign triangle (float direction)
{
    // direction: -1 left, 1 right, 0 down.
    return [direction] (juce::Graphics& g, juce::Rectangle<float> r)
    {
        auto c = r.getCentre();
        juce::Path p;
        if (direction == 0.0f)
            p.addTriangle (c.x - 4.0f, c.y - 2.0f, c.x + 4.0f, c.y - 2.0f, c.x, c.y + 3.0f);
        else
            p.addTriangle (c.x - 3.0f * direction, c.y - 5.0f, c.x - 3.0f * direction, c.y + 5.0f,
                           c.x + 3.0f * direction, c.y);
        g.fillPath (p);
    };
}

juce::Image led (juce::Colour colour, bool on)
{
    auto image = blankImage (10, 10);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.0f);
    g.setColour (on ? colour : colour.darker (0.8f).withMultipliedSaturation (0.3f));
    g.fillEllipse (r);
    if (on)
    {
        g.setColour (juce::Colours::white.withAlpha (0.35f));
        g.fillEllipse (r.getX() + 2.0f, r.getY() + 1.5f, 3.0f, 2.5f);
    }
    g.setColour (Palette::edge);
    g.drawEllipse (r, 1.0f);
    return image;
}

juce::Image meter (int w, int h, bool lit)
{
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    if (lit)
    {
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff6a9f58), 0.0f, 0.0f, Palette::alarm, r.getRight(),
                                                 0.0f, false));
        g.fillRect (r.reduced (1.0f));
    }
    else
    {
        g.setColour (Palette::panelDeep);
        g.fillRect (r);
        g.setColour (Palette::edge);
        g.drawRect (r, 1.0f);
    }
    return image;
}

juce::Image field (int w, int h)
{
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (0.5f);
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 3.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r, 3.0f, 1.0f);
    return image;
}

// The program's mark at the strip's top-left corner, one line high.
juce::Image logo (juce::Typeface::Ptr sans, juce::Typeface::Ptr bold)
{
    auto image = blankImage (180, 28);
    juce::Graphics g (image);
    auto tile = juce::Rectangle<float> (1.0f, 2.0f, 24.0f, 24.0f);
    g.setColour (Palette::raised);
    g.fillRoundedRectangle (tile, 5.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (tile.reduced (0.5f), 5.0f, 1.0f);
    juce::Path stroke;
    stroke.startNewSubPath (6.0f, 21.0f);
    stroke.quadraticTo (11.0f, 18.0f, 13.0f, 13.0f);
    stroke.quadraticTo (15.0f, 9.0f, 20.0f, 8.0f);
    g.setColour (Palette::accent);
    g.strokePath (stroke, juce::PathStrokeType (2.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour (Palette::text);
    g.setFont (fontFor (bold, 16.0f));
    g.drawText ("Kestrel", 32, 4, 70, 20, juce::Justification::centredLeft, false);
    g.setColour (Palette::textQuiet);
    g.setFont (fontFor (sans, 12.0f));
    g.drawText ("EDIT", 98, 6, 40, 18, juce::Justification::centredLeft, false);
    return image;
}

juce::Image strip (juce::Typeface::Ptr sans)
{
    auto image = blankImage (1024, 100);
    juce::Graphics g (image);
    g.setGradientFill (juce::ColourGradient (Palette::panel, 0.0f, 0.0f, Palette::panelDeep, 0.0f, 100.0f, false));
    g.fillAll();
    g.setColour (Palette::edge);
    g.drawHorizontalLine (99, 0.0f, 1024.0f);
    g.setColour (juce::Colours::white.withAlpha (0.04f));
    g.drawHorizontalLine (28, 0.0f, 1024.0f);

    g.setColour (Palette::textQuiet.withAlpha (0.8f));
    g.setFont (fontFor (sans, 10.0f));
    auto caption = [&g] (const juce::String& text, int x, int y, int w)
    { g.drawText (text, x, y, w, 12, juce::Justification::centredLeft, false); };

    caption ("IN", 22, 35, 24);
    caption ("OUT", 22, 49, 24);
    caption ("SCENE", 446, 76, 50);
    caption ("EDITED", 872, 40, 44);
    return image;
}
} // namespace

void SkinArt::drawFrontPanel (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr sans,
                              juce::Typeface::Ptr bold)
{
    images["fp-bg.png"] = strip (sans);
    images["fp-logo.png"] = logo (sans, bold);

    addButton (images, "fp-tuner", 52, 26, "TUNER", bold, false);
    addButton (images, "fp-tap", 40, 26, "TAP", bold, false);
    addButton (images, "fp-import", 60, 26, "IMPORT", bold, false);
    addButton (images, "fp-list", 44, 26, "LIST", bold, false);
    addButton (images, "fp-save", 52, 26, "SAVE", bold, false);
    addButton (images, "fp-snapshot", 96, 26, "SNAPSHOT", bold, false);
    addButton (images, "fp-bank-down", 22, 26, {}, bold, false, triangle (-1.0f));
    addButton (images, "fp-bank-up", 22, 26, {}, bold, false, triangle (1.0f));
    addButton (images, "fp-more", 16, 26, {}, bold, false, triangle (0.0f));

    for (int i = 1; i <= 8; ++i)
    {
        addButton (images, "fp-preset-" + juce::String (i), 30, 26, juce::String (i), bold, true);
        addButton (images, "fp-scene-" + juce::String (i), 30, 26, juce::String (i), bold, true);
    }

    images["fp-led-on.png"] = led (juce::Colour (0xff7cc46a), true);
    images["fp-led-off.png"] = led (juce::Colour (0xff7cc46a), false);
    images["fp-led-edit-on.png"] = led (Palette::accent, true);
    images["fp-led-edit-off.png"] = led (Palette::accent, false);
    images["fp-meter-on.png"] = meter (56, 8, true);
    images["fp-meter-off.png"] = meter (56, 8, false);
    images["fp-field-tempo.png"] = field (44, 26);
    images["fp-field-bank.png"] = field (52, 26);
    images["fp-field-cpu.png"] = field (56, 16);
    images["fp-field-name.png"] = field (430, 30);
}
