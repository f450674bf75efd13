#include "SkinArt.h"

// The footswitch grid: the empty switch slot, the instance badges of a
// block, the "Global" button in its three states and the latch/momentary
// switch.

namespace
{
juce::Image blankImage (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

juce::Font fontOn (juce::Typeface::Ptr typeface, float height)
{
    return typeface != nullptr ? juce::Font (typeface).withHeight (height) : juce::Font (height);
}

// A recessed slot: darker than the panel, with a faint dashed outline.
juce::Image emptySwitchSlot (int w, int h)
{
    using namespace SkinArt;
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (1.5f);
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 4.0f);

    juce::Path outline;
    outline.addRoundedRectangle (r, 4.0f);
    const float dashes[] = { 3.0f, 3.0f };
    juce::PathStrokeType stroke (1.0f);
    juce::Path dashed;
    stroke.createDashedStroke (dashed, outline, dashes, 2);
    g.setColour (Palette::raisedHigh);
    g.fillPath (dashed);
    return image;
}

// A small tab with the instance number, hung from the top of a block.
juce::Image instanceBadge (const juce::String& number, juce::Typeface::Ptr bold)
{
    using namespace SkinArt;
    auto image = blankImage (20, 11);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (Palette::panelDeep.withAlpha (0.85f));
    g.fillRoundedRectangle (r, 3.0f);
    g.setColour (Palette::text);
    g.setFont (fontOn (bold, 10.0f));
    g.drawText (number, image.getBounds(), juce::Justification::centred, false);
    return image;
}

enum class Look
{
    normal,
    over,
    on
};

juce::Image globalButton (Look look, juce::Typeface::Ptr bold)
{
    using namespace SkinArt;
    auto image = blankImage (64, 20);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat().reduced (0.5f);
    const auto fill = look == Look::on ? Palette::panelDeep : look == Look::over ? Palette::raisedHigh : Palette::raised;
    g.setColour (fill);
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (look == Look::on ? Palette::accent : Palette::edge);
    g.drawRoundedRectangle (r, 4.0f, 1.0f);

    if (look == Look::on)
    {
        // A lamp at the left, lit.
        g.fillEllipse (7.0f, 7.0f, 6.0f, 6.0f);
    }
    else
    {
        g.setColour (Palette::raisedHigh.brighter (0.1f));
        g.drawEllipse (7.0f, 7.0f, 6.0f, 6.0f, 1.0f);
    }

    g.setColour (look == Look::on ? Palette::accent : look == Look::over ? Palette::text : Palette::textQuiet);
    g.setFont (fontOn (bold, 11.0f));
    g.drawText ("Global", image.getBounds().withTrimmedLeft (14), juce::Justification::centred, false);
    return image;
}

// A slide switch: the knob right and lit when on (latching), left when off.
juce::Image slideSwitch (bool on)
{
    using namespace SkinArt;
    auto image = blankImage (28, 14);
    juce::Graphics g (image);
    auto track = image.getBounds().toFloat().reduced (0.5f);
    g.setColour (on ? Palette::accent.withAlpha (0.35f) : Palette::panelDeep);
    g.fillRoundedRectangle (track, 7.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (track, 7.0f, 1.0f);

    auto knob = juce::Rectangle<float> (2.0f, 2.0f, 10.0f, 10.0f);

    if (on)
        knob.setX (16.0f);

    g.setColour (on ? Palette::accent : Palette::textQuiet);
    g.fillEllipse (knob);
    return image;
}
} // namespace

void SkinArt::addFootswitchArt (std::map<juce::String, juce::Image>& images, juce::Typeface::Ptr sansBold)
{
    // The tile less one pixel each side: 102 x 46 tiles.
    images["fs-empty.png"] = emptySwitchSlot (100, 44);
    images["fs-overlay-1.png"] = instanceBadge ("1", sansBold);
    images["fs-overlay-2.png"] = instanceBadge ("2", sansBold);
    images["fs-global.png"] = globalButton (Look::normal, sansBold);
    images["fs-global-over.png"] = globalButton (Look::over, sansBold);
    images["fs-global-down.png"] = globalButton (Look::on, sansBold);
    images["fs-switch-on.png"] = slideSwitch (true);
    images["fs-switch-off.png"] = slideSwitch (false);
}
