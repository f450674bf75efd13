#include "SkinArt.h"

// The preset list window: a dimmed veil over the main window with one
// charcoal panel (a taller one with a status strip for the save mode), its
// small buttons, the pin and the search field.

namespace
{
juce::Image blankImage (int w, int h)
{
    return juce::Image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
}

juce::Image listBackground (juce::Rectangle<int> panel, juce::Rectangle<int> statusBar)
{
    using namespace SkinArt;
    auto image = blankImage (1024, 647);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::black.withAlpha (0.55f));

    auto r = panel.toFloat();
    g.setColour (Palette::panelDeep);
    g.fillRoundedRectangle (r, 6.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 6.0f, 1.0f);

    // The header strip that holds the tabs, the filter, the search and the pin.
    auto header = r.withHeight (38.0f).reduced (1.0f, 1.0f);
    g.setGradientFill (juce::ColourGradient (Palette::raised, header.getX(), header.getY(), Palette::panel,
                                             header.getX(), header.getBottom(), false));
    g.fillRoundedRectangle (header, 5.0f);
    g.setColour (Palette::edge);
    g.drawHorizontalLine ((int) header.getBottom(), header.getX(), header.getRight());

    if (! statusBar.isEmpty())
    {
        g.setColour (Palette::panel);
        g.fillRoundedRectangle (statusBar.toFloat(), 3.0f);
        g.setColour (Palette::edge);
        g.drawRoundedRectangle (statusBar.toFloat().reduced (0.5f), 3.0f, 1.0f);
    }

    return image;
}

juce::Image smallGlyphButton (int w, int h, bool over, bool down, bool cross)
{
    using namespace SkinArt;
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (down ? Palette::panelDeep : over ? Palette::raisedHigh : Palette::raised);
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);

    auto ink = over ? Palette::text : Palette::textQuiet;
    g.setColour (down ? Palette::accent : ink);
    auto glyph = r.withSizeKeepingCentre (8.0f, 8.0f);

    if (cross)
    {
        g.drawLine ({ glyph.getTopLeft(), glyph.getBottomRight() }, 1.6f);
        g.drawLine ({ glyph.getBottomLeft(), glyph.getTopRight() }, 1.6f);
    }

    return image;
}

juce::Image pin (bool on)
{
    using namespace SkinArt;
    auto image = blankImage (22, 22);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (on ? Palette::raisedHigh : Palette::raised);
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);

    const auto ink = on ? Palette::accent : Palette::textQuiet;
    g.setColour (ink);
    g.fillEllipse (7.0f, 4.0f, 8.0f, 8.0f);
    g.fillRect (9.5f, 11.0f, 3.0f, 3.0f);
    g.drawLine (11.0f, 13.0f, on ? 11.0f : 8.0f, 19.0f, 1.4f);
    return image;
}

juce::Image searchField (int w, int h)
{
    using namespace SkinArt;
    auto image = blankImage (w, h);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (Palette::panelDeep.darker (0.3f));
    g.fillRoundedRectangle (r, 3.0f);
    g.setColour (Palette::raisedHigh);
    g.drawRoundedRectangle (r.reduced (0.5f), 3.0f, 1.0f);
    return image;
}

juce::Image wideButton (bool down)
{
    using namespace SkinArt;
    auto image = blankImage (74, 26);
    juce::Graphics g (image);
    auto r = image.getBounds().toFloat();
    g.setColour (down ? Palette::panelDeep : Palette::raised);
    g.fillRoundedRectangle (r, 4.0f);
    g.setColour (Palette::edge);
    g.drawRoundedRectangle (r.reduced (0.5f), 4.0f, 1.0f);
    return image;
}
} // namespace

void SkinArt::drawPresetList (std::map<juce::String, juce::Image>& images)
{
    images["plist-bg.png"] = listBackground ({ 26, 45, 973, 559 }, {});
    images["plist-save-bg.png"] = listBackground ({ 26, 45, 973, 595 }, { 33, 607, 794, 31 });
    images["plist-close.png"] = smallGlyphButton (22, 20, false, false, true);
    images["plist-close-over.png"] = smallGlyphButton (22, 20, true, false, true);
    images["plist-close-down.png"] = smallGlyphButton (22, 20, true, true, true);
    images["plist-clear.png"] = smallGlyphButton (16, 16, false, false, true);
    images["plist-clear-over.png"] = smallGlyphButton (16, 16, true, false, true);
    images["plist-clear-down.png"] = smallGlyphButton (16, 16, true, true, true);
    images["plist-pin.png"] = pin (false);
    images["plist-pin-on.png"] = pin (true);
    images["plist-search.png"] = searchField (170, 22);
    images["plist-button.png"] = wideButton (false);
    images["plist-button-down.png"] = wideButton (true);
}
