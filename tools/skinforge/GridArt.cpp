#include "SkinArt.h"

#include <functional>

// The effect grid's pictures: one calm tile per kind of block (a muted hue per
// family, a short name in light ink) in four states and a small menu icon,
// the X/Y and warning badges, and the four drag cursors.

using namespace SkinArt;

namespace
{
juce::Image blankImage (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

juce::Font fontFor (juce::Typeface::Ptr typeface, float height)
{
    return typeface != nullptr ? juce::Font (typeface).withHeight (height) : juce::Font (height);
}

struct BlockKind
{
    const char* name;
    const char* label;
    juce::uint32 hue; // a muted family colour
};

// Families: drive and amps warm, time effects blue, modulation violet,
// filters and EQ green, dynamics teal, routing grey.
const BlockKind blockKinds[] = {
    { "shunt", "", 0xff3a3e44 },          { "Amp", "AMP", 0xff8a5a3c },        { "Cab", "CAB", 0xff7a5a48 },
    { "Chorus", "CHO", 0xff6a5a8a },      { "Compressor", "CMP", 0xff3f7272 }, { "Crossover", "XO", 0xff5a6068 },
    { "Delay", "DLY", 0xff46648c },       { "Drive", "DRV", 0xff94603a },      { "Enhancer", "ENH", 0xff4f7a5a },
    { "FeedbackSend", "SND", 0xff5a6068 }, { "FeedbackReturn", "RTN", 0xff5a6068 }, { "Filter", "FIL", 0xff4f7a5a },
    { "Flanger", "FLG", 0xff6a5a8a },     { "Formant", "FRM", 0xff6a5a8a },    { "GateExpander", "GTE", 0xff3f7272 },
    { "GraphicEQ", "GEQ", 0xff4f7a5a },   { "EffectsLoop", "LOOP", 0xff5a6068 }, { "MegaTap", "MTD", 0xff46648c },
    { "Mixer", "MIX", 0xff5a6068 },       { "MultibandComp", "MBC", 0xff3f7272 }, { "MultiDelay", "MDL", 0xff46648c },
    { "ParametricEQ", "PEQ", 0xff4f7a5a }, { "Phaser", "PHA", 0xff6a5a8a },    { "Pitch", "PIT", 0xff7a6a3c },
    { "QuadChorus", "QCH", 0xff6a5a8a },  { "Resonator", "RES", 0xff6a5a8a },  { "Reverb", "REV", 0xff3f5f8c },
    { "RingMod", "RNG", 0xff6a5a8a },     { "Rotary", "ROT", 0xff6a5a8a },     { "Synth", "SYN", 0xff7a6a3c },
    { "Vocoder", "VOC", 0xff7a6a3c },     { "VolPan", "VOL", 0xff5a6068 },     { "PanTrem", "TRM", 0xff6a5a8a },
    { "Wah", "WAH", 0xff4f7a5a },         { "Looper", "LPR", 0xff5a6068 },     { "Tone", "TONE", 0xff4f7a5a },
    { "Noisegate", "IN", 0xff4a4e55 },    { "Output", "OUT", 0xff4a4e55 },     { "Midi", "MIDI", 0xff4a4e55 },
    { "Controllers", "CTRL", 0xff4a4e55 },
};

// The footswitch functions: no block of the unit, but a switch may be given
// one. Each id has a tile of its own; the menu shows its kind's icon.
struct FunctionKind
{
    const char* set;   // the depot's image set
    const char* stem;  // the archive's file names
    const char* label; // on the tile
    const char* kind;  // on the menu icon
};

constexpr juce::uint32 functionHue = 0xff4f6678; // a muted slate, apart from the blocks' families

const FunctionKind functionKinds[] = {
    { "AMP X/Y Toggle", "fn-amp-xy", "AMP X/Y", "X/Y" },   { "Looper Control", "fn-looper", "LOOPER", "LOOP" },
    { "Preset 1", "fn-preset-1", "PRE 1", "P/B" },         { "Preset 2", "fn-preset-2", "PRE 2", "P/B" },
    { "Preset 3", "fn-preset-3", "PRE 3", "P/B" },         { "Preset 4", "fn-preset-4", "PRE 4", "P/B" },
    { "Preset 5", "fn-preset-5", "PRE 5", "P/B" },         { "Preset 6", "fn-preset-6", "PRE 6", "P/B" },
    { "Preset 7", "fn-preset-7", "PRE 7", "P/B" },         { "Preset 8", "fn-preset-8", "PRE 8", "P/B" },
    { "Bank Up", "fn-bank-up", "BANK +", "P/B" },          { "Bank Down", "fn-bank-down", "BANK -", "P/B" },
    { "Scene 1", "fn-scene-1", "SCN 1", "SCN" },           { "Scene 2", "fn-scene-2", "SCN 2", "SCN" },
    { "Scene 3", "fn-scene-3", "SCN 3", "SCN" },           { "Scene 4", "fn-scene-4", "SCN 4", "SCN" },
    { "Scene 5", "fn-scene-5", "SCN 5", "SCN" },           { "Scene 6", "fn-scene-6", "SCN 6", "SCN" },
    { "Scene 7", "fn-scene-7", "SCN 7", "SCN" },           { "Scene 8", "fn-scene-8", "SCN 8", "SCN" },
    { "Scene 1/2 Toggle", "fn-scene-toggle", "SCN 1/2", "SCN" },
    { "Ctrl Switch 1", "fn-ctrl-switch-1", "CS 1", "CS" }, { "Ctrl Switch 2", "fn-ctrl-switch-2", "CS 2", "CS" },
};

enum class TileState
{
    normal,
    over,
    down,
    bypassed
};

juce::Image blockTile (const BlockKind& kind, TileState state, int w, int h, juce::Typeface::Ptr bold)
{
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.0f);
    const bool shunt = juce::String (kind.label).isEmpty();
    auto base = juce::Colour (kind.hue);
    auto ink = Palette::text;

    switch (state)
    {
        case TileState::over: base = base.brighter (0.18f); break;
        case TileState::down: base = base.darker (0.15f); break;
        case TileState::bypassed:
            base = base.withSaturation (0.12f).darker (0.45f);
            ink = Palette::textQuiet.darker (0.35f);
            break;
        case TileState::normal: break;
    }

    if (shunt)
    {
        // A shunt is only a line through the cell.
        g.setColour (state == TileState::over ? Palette::textQuiet : Palette::raisedHigh.brighter (0.2f));
        g.fillRect (juce::Rectangle<float> (0.0f, (float) h / 2 - 1.5f, (float) w, 3.0f));
        return image;
    }

    g.setGradientFill (juce::ColourGradient (base.brighter (0.1f), 0, r.getY(), base.darker (0.2f), 0, r.getBottom(), false));
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);

    if (state == TileState::down)
    {
        g.setColour (Palette::accent.withAlpha (0.8f));
        g.drawRoundedRectangle (r.reduced (1.5f), 3.0f, 1.5f);
    }

    g.setColour (ink);
    g.setFont (fontFor (bold, juce::jmin (12.0f, (float) h * 0.55f)));
    g.drawFittedText (kind.label, image.getBounds().reduced (1, 0), juce::Justification::centred, 1, 0.75f);
    return image;
}

juce::Image letterBadge (const juce::String& letter, juce::Colour colour, juce::Typeface::Ptr bold)
{
    auto image = blankImage (12, 12);
    juce::Graphics g (image);
    g.setColour (colour);
    g.fillRoundedRectangle (image.getBounds().toFloat(), 2.5f);
    g.setColour (Palette::panelDeep);
    g.setFont (fontFor (bold, 10.5f));
    g.drawText (letter, image.getBounds(), juce::Justification::centred, false);
    return image;
}

juce::Image warningBadge()
{
    auto image = blankImage (14, 13);
    juce::Graphics g (image);
    juce::Path triangle;
    triangle.addTriangle (7.0f, 0.5f, 13.5f, 12.5f, 0.5f, 12.5f);
    g.setColour (Palette::alarm);
    g.fillPath (triangle);
    g.setColour (Palette::text);
    g.fillRect (6.3f, 4.0f, 1.4f, 4.8f);
    g.fillRect (6.3f, 9.8f, 1.4f, 1.4f);
    return image;
}

// An arrow pointer with its tip at (2, 2) and a sign at its lower right.
juce::Image cursor (const std::function<void (juce::Graphics&)>& sign)
{
    auto image = blankImage (24, 24);
    juce::Graphics g (image);
    juce::Path arrow;
    arrow.startNewSubPath (2, 2);
    arrow.lineTo (2, 16);
    arrow.lineTo (6, 12.5f);
    arrow.lineTo (9, 18);
    arrow.lineTo (11, 17);
    arrow.lineTo (8.5f, 11.5f);
    arrow.lineTo (13, 11.5f);
    arrow.closeSubPath();
    g.setColour (Palette::text);
    g.fillPath (arrow);
    g.setColour (Palette::edge);
    g.strokePath (arrow, juce::PathStrokeType (1.0f));

    if (sign)
        sign (g);

    return image;
}

void signPlate (juce::Graphics& g)
{
    g.setColour (Palette::raised);
    g.fillRoundedRectangle (13.0f, 13.0f, 10.0f, 10.0f, 2.0f);
}
} // namespace

void SkinArt::addGridArt (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr, juce::Typeface::Ptr bold)
{
    // The grid's cell less its margin on each side, so tiles are drawn unscaled.
    constexpr int tileWidth = 48, tileHeight = 20;

    for (auto& kind : blockKinds)
    {
        auto stem = "block-" + juce::String (kind.name).toLowerCase();
        images[stem + ".png"] = blockTile (kind, TileState::normal, tileWidth, tileHeight, bold);
        images[stem + "-over.png"] = blockTile (kind, TileState::over, tileWidth, tileHeight, bold);
        images[stem + "-down.png"] = blockTile (kind, TileState::down, tileWidth, tileHeight, bold);
        images[stem + "-bypassed.png"] = blockTile (kind, TileState::bypassed, tileWidth, tileHeight, bold);
        images[stem + "-menu.png"] = blockTile (kind, TileState::normal, 28, 17, bold);
    }

    for (auto& function : functionKinds)
    {
        const juce::String stem (function.stem);
        const BlockKind tile{ function.set, function.label, functionHue };
        images[stem + ".png"] = blockTile (tile, TileState::normal, tileWidth, tileHeight, bold);
        images[stem + "-over.png"] = blockTile (tile, TileState::over, tileWidth, tileHeight, bold);
        images[stem + "-down.png"] = blockTile (tile, TileState::down, tileWidth, tileHeight, bold);
        images[stem + "-bypassed.png"] = blockTile (tile, TileState::bypassed, tileWidth, tileHeight, bold);
        images[stem + "-menu.png"] = blockTile ({ function.set, function.kind, functionHue }, TileState::normal, 28, 17, bold);
    }

    images["overlay-x.png"] = letterBadge ("X", Palette::textQuiet, bold);
    images["overlay-y.png"] = letterBadge ("Y", Palette::accent, bold);
    images["overlay-warning.png"] = warningBadge();

    images["cursor-move.png"] = cursor (nullptr);
    images["cursor-copy.png"] = cursor (
        [] (juce::Graphics& g)
        {
            signPlate (g);
            g.setColour (Palette::accent);
            g.fillRect (17.2f, 15.0f, 1.6f, 6.0f);
            g.fillRect (15.0f, 17.2f, 6.0f, 1.6f);
        });
    images["cursor-swap.png"] = cursor (
        [] (juce::Graphics& g)
        {
            signPlate (g);
            g.setColour (Palette::accent);
            juce::Path p;
            p.addArrow ({ 14.5f, 16.0f, 21.5f, 16.0f }, 1.3f, 3.5f, 2.5f);
            p.addArrow ({ 21.5f, 20.0f, 14.5f, 20.0f }, 1.3f, 3.5f, 2.5f);
            g.fillPath (p);
        });

    auto notAllowed = blankImage (24, 24);
    {
        juce::Graphics g (notAllowed);
        auto r = notAllowed.getBounds().toFloat().reduced (3.0f);
        g.setColour (Palette::edge);
        g.drawEllipse (r, 4.5f);
        g.setColour (Palette::alarm);
        g.drawEllipse (r, 2.5f);
        g.drawLine (r.getX() + 3.0f, r.getY() + 3.0f, r.getRight() - 3.0f, r.getBottom() - 3.0f, 2.5f);
    }
    images["cursor-not-allowed.png"] = notAllowed;
}
