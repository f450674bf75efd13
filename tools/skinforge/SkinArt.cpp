#include "SkinArt.h"

#include <functional>

using namespace SkinArt;

namespace
{
enum class State
{
    up,
    over,
    down,
    on,
    onOver
};

using Glyph = std::function<void (juce::Graphics&, juce::Rectangle<float>, juce::Colour)>;

juce::Image blank (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

juce::Font fontOn (juce::Typeface::Ptr typeface, float height)
{
    return typeface != nullptr ? juce::Font (typeface).withHeight (height) : juce::Font (height);
}

// A flat rounded plate with a subtle top-to-bottom shade and a dark rim.
void plate (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour base, float corner)
{
    g.setGradientFill (juce::ColourGradient (base.brighter (0.12f), r.getX(), r.getY(), base.darker (0.18f), r.getX(),
                                             r.getBottom(), false));
    g.fillRoundedRectangle (r, corner);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), corner, 1.0f);
    g.setColour (juce::Colours::white.withAlpha (0.06f));
    g.drawHorizontalLine ((int) r.getY() + 1, r.getX() + corner, r.getRight() - corner);
}

juce::Colour plateFor (State s)
{
    switch (s)
    {
        case State::over: return Palette::raisedHigh;
        case State::down: return Palette::panelDeep;
        case State::on: return Palette::raised;
        case State::onOver: return Palette::raisedHigh;
        case State::up: break;
    }
    return Palette::raised;
}

// The accent marks a button that is on; a pressed one (which is also how a
// disabled window button shows) only sinks.
juce::Colour inkFor (State s)
{
    switch (s)
    {
        case State::over: return Palette::text;
        case State::down: return Palette::textQuiet.darker (0.2f);
        case State::on:
        case State::onOver: return Palette::accent;
        case State::up: break;
    }
    return Palette::textQuiet;
}

juce::Image titleButton (int w, int h, State s, const Glyph& glyph)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    plate (g, r, plateFor (s), 4.0f);
    glyph (g, r.reduced (5.0f, 4.0f), inkFor (s));
    return image;
}

void addStates (std::map<juce::String, juce::Image>& images, const juce::String& stem, int w, int h, const Glyph& glyph,
                bool withOnStates)
{
    images[stem + ".png"] = titleButton (w, h, State::up, glyph);
    images[stem + "-over.png"] = titleButton (w, h, State::over, glyph);
    images[stem + "-down.png"] = titleButton (w, h, State::down, glyph);
    if (withOnStates)
    {
        images[stem + "-on.png"] = titleButton (w, h, State::on, glyph);
        images[stem + "-on-over.png"] = titleButton (w, h, State::onOver, glyph);
    }
}

void pauseGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    g.setColour (ink);
    auto c = r.getCentre();
    auto barH = r.getHeight();
    g.fillRoundedRectangle (c.x - 4.0f, c.y - barH / 2, 3.0f, barH, 1.0f);
    g.fillRoundedRectangle (c.x + 1.0f, c.y - barH / 2, 3.0f, barH, 1.0f);
}

// A five-pin connector seen from the front.
void midiGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    auto d = juce::jmin (r.getWidth(), r.getHeight()) + 1.0f;
    auto ring = juce::Rectangle<float> (d, d).withCentre (r.getCentre());
    g.setColour (ink);
    g.drawEllipse (ring.reduced (0.6f), 1.2f);
    auto c = ring.getCentre();
    auto radius = d * 0.27f;
    for (int i = 0; i < 5; ++i)
    {
        auto angle = juce::MathConstants<float>::pi * (0.75f + 0.375f * (float) i);
        g.fillEllipse (c.x + radius * std::cos (angle) - 0.9f, c.y + radius * std::sin (angle) - 0.9f, 1.8f, 1.8f);
    }
    g.fillRect (c.x - 1.0f, ring.getY() + 0.5f, 2.0f, 1.6f);
}

// Four corners pointing inwards: back to the window's normal size.
void normalSizeGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    g.setColour (ink);
    auto box = r.reduced (1.0f, 0.0f);
    const float arm = 3.5f;
    juce::Path p;
    auto corner = [&] (float x, float y, float dx, float dy)
    {
        p.startNewSubPath (x + dx * arm, y);
        p.lineTo (x, y);
        p.lineTo (x, y + dy * arm);
    };
    corner (box.getX() + arm, box.getY() + arm, -1.0f, -1.0f);
    corner (box.getRight() - arm, box.getY() + arm, 1.0f, -1.0f);
    corner (box.getX() + arm, box.getBottom() - arm, -1.0f, 1.0f);
    corner (box.getRight() - arm, box.getBottom() - arm, 1.0f, 1.0f);
    g.strokePath (p, juce::PathStrokeType (1.3f));
}

void closeGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    auto s = juce::Rectangle<float> (7.0f, 7.0f).withCentre (r.getCentre());
    g.setColour (ink);
    g.drawLine (s.getX(), s.getY(), s.getRight(), s.getBottom(), 1.4f);
    g.drawLine (s.getRight(), s.getY(), s.getX(), s.getBottom(), 1.4f);
}

void maximizeGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    auto s = juce::Rectangle<float> (9.0f, 7.0f).withCentre (r.getCentre());
    g.setColour (ink);
    g.drawRect (s, 1.2f);
    g.fillRect (s.withHeight (2.0f));
}

void restoreGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    auto s = juce::Rectangle<float> (7.0f, 5.0f).withCentre (r.getCentre()).translated (-1.0f, 1.0f);
    g.setColour (ink);
    g.drawRect (s.translated (2.0f, -2.0f), 1.0f);
    g.setColour (Palette::raised);
    g.fillRect (s);
    g.setColour (ink);
    g.drawRect (s, 1.2f);
}

void minimizeGlyph (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour ink)
{
    g.setColour (ink);
    auto c = r.getCentre();
    g.fillRect (c.x - 4.5f, c.y + 2.0f, 9.0f, 1.6f);
}

juce::Image statusLamp (bool connected)
{
    auto image = blank (14, 14);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.5f);
    if (connected)
    {
        g.setColour (Palette::accent.withAlpha (0.25f));
        g.fillEllipse (image.getBounds().toFloat());
        g.setGradientFill (juce::ColourGradient (Palette::accent.brighter (0.4f), r.getCentreX(), r.getY(),
                                                 Palette::accent.darker (0.2f), r.getCentreX(), r.getBottom(), false));
        g.fillEllipse (r.reduced (1.0f));
    }
    else
    {
        g.setColour (Palette::panelDeep);
        g.fillEllipse (r);
        g.setColour (Palette::textQuiet.withAlpha (0.7f));
        g.drawEllipse (r.reduced (0.5f), 1.2f);
    }
    return image;
}

// A round badge with a sign drawn in the bold typeface.
juce::Image badge (int size, juce::Colour colour, const juce::String& sign, juce::Typeface::Ptr bold, bool octagon)
{
    auto image = blank (size, size);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced ((float) size * 0.06f);
    juce::Path shape;
    if (octagon)
    {
        auto c = r.getCentre();
        auto radius = r.getWidth() / 2;
        for (int i = 0; i < 8; ++i)
        {
            auto a = juce::MathConstants<float>::pi * (0.125f + 0.25f * (float) i);
            juce::Point<float> p (c.x + radius * std::cos (a), c.y + radius * std::sin (a));
            if (i == 0)
                shape.startNewSubPath (p);
            else
                shape.lineTo (p);
        }
        shape.closeSubPath();
    }
    else
    {
        shape.addEllipse (r);
    }
    g.setGradientFill (juce::ColourGradient (colour.brighter (0.15f), r.getCentreX(), r.getY(), colour.darker (0.25f),
                                             r.getCentreX(), r.getBottom(), false));
    g.fillPath (shape);
    g.setColour (Palette::edge.withAlpha (0.8f));
    g.strokePath (shape, juce::PathStrokeType ((float) size / 32.0f));
    g.setColour (Palette::panelDeep);
    g.setFont (fontOn (bold, (float) size * 0.62f));
    g.drawText (sign, image.getBounds().translated (0, size / 32), juce::Justification::centred, false);
    return image;
}

juce::Image warningSign (int size, juce::Typeface::Ptr bold)
{
    auto image = blank (size, size);
    juce::Graphics g (image);
    auto s = (float) size;
    juce::Path triangle;
    triangle.addTriangle (s * 0.5f, s * 0.07f, s * 0.95f, s * 0.9f, s * 0.05f, s * 0.9f);
    triangle = triangle.createPathWithRoundedCorners (s * 0.08f);
    g.setGradientFill (
        juce::ColourGradient (Palette::accent.brighter (0.15f), 0, 0, Palette::accent.darker (0.2f), 0, s, false));
    g.fillPath (triangle);
    g.setColour (Palette::edge.withAlpha (0.8f));
    g.strokePath (triangle, juce::PathStrokeType (s / 32.0f));
    g.setColour (Palette::panelDeep);
    g.setFont (fontOn (bold, s * 0.56f));
    g.drawText ("!", juce::Rectangle<float> (0, s * 0.3f, s, s * 0.55f), juce::Justification::centred, false);
    return image;
}

// The message dialog draws its icon at its left edge, as large as the
// picture: the sign stands inside a margin of its own.
juce::Image dialogIcon (const juce::Image& sign, int margin)
{
    auto image = blank (sign.getWidth() + 2 * margin, sign.getHeight() + 2 * margin);
    juce::Graphics g (image);
    g.drawImageAt (sign, margin, margin);
    return image;
}

juce::Image dialogButton (bool down)
{
    auto image = blank (96, 28);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    plate (g, r, down ? Palette::panelDeep : Palette::raisedHigh, 5.0f);
    if (down)
    {
        g.setColour (Palette::accent.withAlpha (0.8f));
        g.fillRoundedRectangle (r.getX() + 12.0f, r.getBottom() - 4.0f, r.getWidth() - 24.0f, 2.0f, 1.0f);
    }
    return image;
}

// A neutral mark: a rounded tile with a rising stroke, beside the program's name.
juce::Image logo (juce::Typeface::Ptr sans, juce::Typeface::Ptr bold)
{
    auto image = blank (180, 44);
    juce::Graphics g (image);
    auto tile = juce::Rectangle<float> (2.0f, 4.0f, 36.0f, 36.0f);
    plate (g, tile, Palette::raised, 8.0f);
    juce::Path stroke;
    stroke.startNewSubPath (10.0f, 30.0f);
    stroke.quadraticTo (18.0f, 26.0f, 21.0f, 18.0f);
    stroke.quadraticTo (24.0f, 12.0f, 31.0f, 11.0f);
    g.setColour (Palette::accent);
    g.strokePath (stroke, juce::PathStrokeType (3.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.fillEllipse (28.5f, 8.5f, 5.0f, 5.0f);
    g.setColour (Palette::text);
    g.setFont (fontOn (bold, 20.0f));
    g.drawText ("Kestrel", 46, 4, 90, 22, juce::Justification::centredLeft, false);
    g.setColour (Palette::textQuiet);
    g.setFont (fontOn (sans, 13.0f));
    g.drawText ("EDIT", 47, 24, 90, 16, juce::Justification::centredLeft, false);
    return image;
}

// The X/Y switch: two halves, the lit one in the accent colour.
juce::Image xySwitch (bool xLit, juce::Typeface::Ptr bold)
{
    auto image = blank (56, 30);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.0f);
    plate (g, r, Palette::panelDeep, 6.0f);
    auto half = r.reduced (3.0f);
    auto left = half.removeFromLeft (half.getWidth() / 2);
    auto lit = xLit ? left : half;
    plate (g, lit, Palette::raisedHigh, 4.0f);
    g.setFont (fontOn (bold, 15.0f));
    g.setColour (xLit ? Palette::accent : Palette::textQuiet.withAlpha (0.6f));
    g.drawText ("X", left, juce::Justification::centred, false);
    g.setColour (xLit ? Palette::textQuiet.withAlpha (0.6f) : Palette::accent);
    g.drawText ("Y", half, juce::Justification::centred, false);
    return image;
}

// A knob's fixed base: a dark well with a scale of ticks around it.
juce::Image knobBase (int size, bool modifierOn)
{
    auto image = blank (size, size);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.0f);
    g.setColour (Palette::panelDeep);
    g.fillEllipse (r);
    g.setColour (modifierOn ? Palette::accent : Palette::edge);
    g.drawEllipse (r.reduced (0.5f), modifierOn ? 2.0f : 1.0f);

    const auto centre = r.getCentre();
    g.setColour (Palette::textQuiet.withAlpha (0.5f));

    for (int i = 0; i <= 10; ++i)
    {
        const float angle = -2.4f + 4.8f * (float) i / 10.0f;
        const auto outer = centre.getPointOnCircumference (r.getWidth() * 0.5f - 2.0f, angle);
        const auto inner = centre.getPointOnCircumference (r.getWidth() * 0.5f - 5.0f, angle);
        g.drawLine ({ inner, outer }, 1.0f);
    }

    return image;
}

// The knob's turning cap: a raised disc with a light pointer at the top.
juce::Image knobTop (int size, bool modifier)
{
    auto image = blank (size, size);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (2.0f);
    g.setGradientFill (juce::ColourGradient (Palette::raisedHigh, r.getX(), r.getY(), Palette::raised.darker (0.3f),
                                             r.getX(), r.getBottom(), false));
    g.fillEllipse (r);
    g.setColour (Palette::edge);
    g.drawEllipse (r, 1.0f);
    g.setColour (modifier ? Palette::accent : Palette::text);
    g.drawLine (r.getCentreX(), r.getY() + 3.0f, r.getCentreX(), r.getCentreY() - 2.0f, 2.0f);
    return image;
}

// A value field: a sunken dark strip.
juce::Image field (int w, int h)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 2.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 2.0f, 1.0f);
    return image;
}

// The small arrow and modifier buttons beside a drop-down's field.
juce::Image smallButton (bool up, bool lit)
{
    auto image = blank (14, 8);
    juce::Graphics g (image);
    plate (g, image.getBounds().toFloat(), lit ? Palette::raisedHigh : Palette::raised, 2.0f);
    juce::Path arrow;
    if (up)
        arrow.addTriangle (3.5f, 6.0f, 10.5f, 6.0f, 7.0f, 2.0f);
    else
        arrow.addTriangle (3.5f, 2.0f, 10.5f, 2.0f, 7.0f, 6.0f);
    g.setColour (lit ? Palette::accent : Palette::textQuiet);
    g.fillPath (arrow);
    return image;
}

juce::Image modifierButton (bool on)
{
    auto image = blank (14, 8);
    juce::Graphics g (image);
    plate (g, image.getBounds().toFloat(), Palette::raised, 2.0f);
    g.setColour (on ? Palette::accent : Palette::textQuiet);
    g.fillEllipse (5.0f, 2.0f, 4.0f, 4.0f);
    return image;
}

// A rocker: a pill with the lit half on the side that is on.
juce::Image rocker (bool on)
{
    auto image = blank (34, 16);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (0.5f);
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 8.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r, 8.0f, 1.0f);
    auto thumb = on ? r.removeFromRight (16.0f).reduced (2.0f) : r.removeFromLeft (16.0f).reduced (2.0f);
    g.setColour (on ? Palette::accent : Palette::raisedHigh);
    g.fillEllipse (thumb);
    return image;
}

// A slider's slot and its head.
juce::Image sliderSlot (int w, int h)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    auto slot = w < h ? r.withSizeKeepingCentre (4.0f, r.getHeight()) : r.withSizeKeepingCentre (r.getWidth(), 4.0f);
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (slot, 2.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (slot, 2.0f, 1.0f);
    return image;
}

juce::Image sliderHead (int w, int h, bool modifier)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    plate (g, image.getBounds().toFloat(), Palette::raisedHigh, 2.0f);
    g.setColour (modifier ? Palette::accent : Palette::text);
    if (w > h)
        g.drawHorizontalLine (h / 2, 3.0f, (float) w - 3.0f);
    else
        g.drawVerticalLine (w / 2, 3.0f, (float) h - 3.0f);
    return image;
}

juce::Image pushButtonImage (bool on)
{
    auto image = blank (44, 20);
    juce::Graphics g (image);
    plate (g, image.getBounds().toFloat(), on ? Palette::panelDeep : Palette::raised, 3.0f);
    g.setColour (on ? Palette::accent : Palette::textQuiet.withAlpha (0.5f));
    g.fillRoundedRectangle (juce::Rectangle<float> (6.0f, 8.0f, 6.0f, 4.0f), 1.0f);
    return image;
}

juce::Image pageTab (bool down)
{
    auto image = blank (92, 20);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    plate (g, r, down ? Palette::panelDeep : Palette::raised, 3.0f);
    if (down)
    {
        g.setColour (Palette::accent);
        g.fillRect (r.removeFromBottom (2.0f).reduced (6.0f, 0.0f));
    }
    return image;
}

// The effect editor's panel: a deep background with a header band.
juce::Image editorBackground (int w, int h)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    g.fillAll (Palette::panel);
    g.setColour (Palette::panelDeep);
    g.fillRect (0, 0, w, 32);
    g.setColour (Palette::edge);
    g.drawHorizontalLine (32, 0.0f, (float) w);
    g.drawRect (image.getBounds(), 1);
    return image;
}

// The effect pages' meters, sequencer steps and monitor graph.
void addEffectPageArt (std::map<juce::String, juce::Image>& images)
{
    for (bool lit : { false, true })
    {
        auto meter = blank (12, 56);
        juce::Graphics g (meter);
        g.setColour (Palette::panelDeep);
        g.fillRoundedRectangle (meter.getBounds().toFloat(), 2.0f);

        for (int y = 2; y + 3 <= 54; y += 4)
        {
            const auto segment = y < 12 ? Palette::alarm : (y < 22 ? Palette::accent : Palette::accent.darker (0.35f));
            g.setColour (lit ? segment : Palette::raised);
            g.fillRect (2, y, 8, 3);
        }

        images[lit ? "meter-on.png" : "meter-off.png"] = meter;
    }

    images["seq-slot.png"] = sliderSlot (14, 60);
    images["seq-head.png"] = sliderHead (18, 10, false);
    images["seq-field.png"] = field (44, 16);

    auto monitor = blank (440, 250);
    juce::Graphics g (monitor);
    auto r = monitor.getBounds().toFloat();
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);
    const juce::Rectangle<float> grid (8.0f, 8.0f, 424.0f, 234.0f);
    g.setColour (Palette::raisedHigh.withAlpha (0.6f));

    for (int i = 0; i <= 8; ++i)
        g.drawVerticalLine ((int) (grid.getX() + grid.getWidth() * (float) i / 8.0f), grid.getY(), grid.getBottom());

    for (int i = 0; i <= 4; ++i)
        g.drawHorizontalLine ((int) (grid.getY() + grid.getHeight() * (float) i / 4.0f), grid.getX(),
                              grid.getRight());

    images["monitor.png"] = monitor;
}

// The field a modifier's curve is drawn on: a dark well with a quiet grid.
juce::Image curveMonitor (int w, int h)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    g.fillAll (Palette::panelDeep);
    g.setColour (Palette::edge.brighter (0.3f));

    for (int i = 1; i < 4; ++i)
    {
        g.drawHorizontalLine (h * i / 4, 0.0f, (float) w);
        g.drawVerticalLine (w * i / 4, 0.0f, (float) h);
    }

    g.setColour (Palette::edge);
    g.drawRect (image.getBounds(), 1);
    return image;
}

// A dialog's box with its title bar, on a picture of the given size that is
// dimmed around the box (or, when the box fills it, is the box alone).
juce::Image dialogBox (int w, int h, juce::Rectangle<int> box)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::black.withAlpha (0.55f));
    g.setColour (Palette::panel);
    g.fillRect (box);
    g.setColour (Palette::panelDeep);
    g.fillRect (box.withHeight (30));
    g.setColour (Palette::edge);
    g.drawRect (box, 1);
    g.drawHorizontalLine (box.getY() + 30, (float) box.getX(), (float) box.getRight());
    return image;
}

// Shown wherever the skin names a picture it does not have.
// The block library name dialog: the window dimmed, a box with a title bar.
juce::Image blockLibraryDialog (int w, int h, juce::Rectangle<float> box, float titleHeight)
{
    auto image = blank (w, h);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::black.withAlpha (0.55f));
    plate (g, box, Palette::panel, 6.0f);
    auto bar = box.reduced (1.0f).removeFromTop (titleHeight);
    g.setColour (Palette::raised);
    g.fillRoundedRectangle (bar, 5.0f);
    g.setColour (Palette::edge);
    g.drawHorizontalLine ((int) bar.getBottom(), bar.getX(), bar.getRight());
    return image;
}

juce::Image missingImage()
{
    auto image = blank (16, 16);
    juce::Graphics g (image);
    g.fillAll (Palette::raised);
    g.setColour (Palette::textQuiet.withAlpha (0.5f));
    g.drawRect (image.getBounds(), 1);
    g.drawLine (3.0f, 3.0f, 13.0f, 13.0f, 1.0f);
    g.drawLine (13.0f, 3.0f, 3.0f, 13.0f, 1.0f);
    return image;
}
} // namespace

static juce::Image tunerBackground (int w, int h)
{
    // The dimmed window with the tuner's box, title bar and a quiet cent scale.
    auto image = blank (w, h);
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xA0000000));

    const juce::Rectangle<float> box (141.0f, 115.0f, 744.0f, 240.0f);
    g.setColour (Palette::panel);
    g.fillRoundedRectangle (box, 6.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (box.reduced (0.5f), 6.0f, 1.0f);
    g.setColour (Palette::raised);
    g.fillRoundedRectangle ({ 143.0f, 117.0f, 738.0f, 26.0f }, 4.0f);

    // Every tenth cent step on either side of the centre box (534..544).
    g.setColour (Palette::raisedHigh);
    for (int step = -50; step <= 50; step += 10)
    {
        const float x = step < 0 ? 534.0f + (float) step * 6.0f + 2.0f
                      : step > 0 ? 544.0f + (float) step * 2.0f + (float) (step - 1) * 4.0f + 2.0f
                                 : 539.0f;
        g.fillRect (x - 0.5f, step == 0 ? 212.0f : 220.0f, 1.0f, step == 0 ? 8.0f : 6.0f);
    }
    g.fillRect (230.0f, 250.0f, 618.0f, 1.0f);
    return image;
}

std::map<juce::String, juce::Image> SkinArt::drawAll (juce::Typeface::Ptr sans, juce::Typeface::Ptr sansBold)
{
    std::map<juce::String, juce::Image> images;

    images["status-connected.png"] = statusLamp (true);
    images["status-disconnected.png"] = statusLamp (false);
    addStates (images, "tb-pause", 22, 18, pauseGlyph, true);
    addStates (images, "tb-midi", 22, 18, midiGlyph, false);
    addStates (images, "tb-normal-size", 22, 16, normalSizeGlyph, false);
    addStates (images, "win-close", 22, 16, closeGlyph, false);
    addStates (images, "win-maximize", 22, 16, maximizeGlyph, false);
    addStates (images, "win-restore", 22, 16, restoreGlyph, false);
    addStates (images, "win-minimize", 22, 16, minimizeGlyph, false);

    images["dlg-stop.png"] = dialogIcon (badge (44, Palette::alarm, "X", sansBold, true), 8);
    images["dlg-stop-small.png"] = badge (24, Palette::alarm, "X", sansBold, true);
    images["dlg-question.png"] = dialogIcon (badge (44, Palette::textQuiet, "?", sansBold, false), 8);
    images["dlg-question-small.png"] = badge (24, Palette::textQuiet, "?", sansBold, false);
    images["dlg-warning.png"] = dialogIcon (warningSign (44, sansBold), 8);
    images["dlg-warning-small.png"] = warningSign (24, sansBold);
    images["logo.png"] = logo (sans, sansBold);
    images["btn-dialog.png"] = dialogButton (false);
    images["btn-dialog-down.png"] = dialogButton (true);

    images["xy-x.png"] = xySwitch (true, sansBold);
    images["xy-y.png"] = xySwitch (false, sansBold);

    images["knob-base.png"] = knobBase (40, false);
    images["knob-base-mod-on.png"] = knobBase (40, true);
    images["knob-top.png"] = knobTop (40, false);
    images["knob-top-mod.png"] = knobTop (40, true);
    images["field.png"] = field (64, 16);
    images["field-small.png"] = field (44, 16);
    images["field-large.png"] = field (100, 16); // the long names of a large list read unsqueezed
    images["field-huge.png"] = field (128, 32);
    images["dd-up.png"] = smallButton (true, false);
    images["dd-up-over.png"] = smallButton (true, true);
    images["dd-down.png"] = smallButton (false, false);
    images["dd-down-over.png"] = smallButton (false, true);
    images["dd-mod.png"] = modifierButton (false);
    images["dd-mod-on.png"] = modifierButton (true);
    images["toggle-on.png"] = rocker (true);
    images["toggle-off.png"] = rocker (false);
    images["slider-slot.png"] = sliderSlot (20, 50);
    images["slider-head.png"] = sliderHead (20, 10, false);
    images["track-slot.png"] = sliderSlot (18, 50);
    images["track-head.png"] = sliderHead (18, 10, false);
    images["track-head-mod.png"] = sliderHead (18, 10, true);
    images["push-on.png"] = pushButtonImage (true);
    images["push-off.png"] = pushButtonImage (false);
    images["tab-up.png"] = pageTab (false);
    images["tab-down.png"] = pageTab (true);
    images["editor-bg.png"] = editorBackground (1024, 427);
    images["modifier-curve.png"] = curveMonitor (220, 150);
    images["modifier-dlg-bg.png"] = dialogBox (1024, 647, { 100, 90, 800, 248 });
    images["sequencer-dlg-bg.png"] = dialogBox (928, 300, { 0, 0, 928, 300 });
    addEffectPageArt (images);
    images["bg-tuner-fullscreen.png"] = tunerBackground (1024, 646);

    drawFrontPanel (images, sans, sansBold);

    images["bg-blocklib-dialog.png"] = blockLibraryDialog (1024, 647, { 272.0f, 116.0f, 477.0f, 238.0f }, 26.0f);
    drawPresetList (images);

    images["missing_image_release.png"] = missingImage();
    addGridArt (images, sans, sansBold);
    addFootswitchArt (images, sansBold);
    return images;
}
