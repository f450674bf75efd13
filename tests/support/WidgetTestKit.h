#pragma once

#include "skin/widgets/ZOLEffectParam.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/knobs/ZOLSliderComponent.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// Shared pieces of the widget tests: hand-drawn skin images, synthesised
// mouse events, a recorder of posted change codes and pixel probes.
namespace WidgetTestKit
{
// Dark, quiet colours for the stand-in skin.
inline const juce::Colour panel{ 0xFF1B1D20 };
inline const juce::Colour bezel{ 0xFF2C3036 };
inline const juce::Colour rim{ 0xFF434851 };
inline const juce::Colour ink{ 0xFFD6DBE1 };
inline const juce::Colour accent{ 0xFF5FB3D3 };

inline juce::Image makeImage (int w, int h, std::function<void (juce::Graphics&, juce::Rectangle<float>)> draw)
{
    juce::Image image (juce::Image::ARGB, w, h, true);
    juce::Graphics g (image);
    draw (g, image.getBounds().toFloat());
    return image;
}

inline juce::Image solid (int w, int h, juce::Colour c)
{
    return makeImage (w, h, [c] (juce::Graphics& g, juce::Rectangle<float>) { g.fillAll (c); });
}

inline juce::Image knobBase (juce::Colour ring = rim)
{
    return makeImage (48, 48,
                      [ring] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (ring);
                          g.fillEllipse (r.reduced (2.0f));
                          g.setColour (bezel);
                          g.fillEllipse (r.reduced (5.0f));
                      });
}

inline juce::Image knobTop()
{
    return makeImage (48, 48,
                      [] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (ink);
                          g.drawLine (r.getCentreX(), r.getCentreY() - 4.0f, r.getCentreX(), 9.0f, 3.0f);
                      });
}

inline juce::Image field (int w = 52, int h = 16)
{
    return makeImage (w, h,
                      [] (juce::Graphics& g, juce::Rectangle<float> r)
                      {
                          g.setColour (juce::Colour (0xFF121417));
                          g.fillRoundedRectangle (r.reduced (0.5f), 3.0f);
                          g.setColour (rim);
                          g.drawRoundedRectangle (r.reduced (0.5f), 3.0f, 1.0f);
                      });
}

// A knob of the shipped size (60 x 106) with its value field under the cap.
inline std::unique_ptr<ZOLRotaryKnob> makeKnob (int x = 0, int y = 0)
{
    auto knob = std::make_unique<ZOLRotaryKnob> (juce::Rectangle<int> (x, y, 60, 106), knobBase(),
                                                 juce::Rectangle<int> (6, 4, 48, 48), knobTop(),
                                                 juce::Rectangle<int> (6, 4, 48, 48));
    knob->attachReadout ({ 4, 58, 52, 16 }, field(), nullptr, 12.0f, ink, juce::Justification::centred, {}, 1.0f);
    return knob;
}

// A vertical slider, 40 x 140 (56 wide with a unit): track 12 x 100 at
// (14, 20), the thumb's top travelling from 20 (top) to 108, field at the foot.
inline std::unique_ptr<ZOLSliderComponent> makeSlider (int x = 0, int y = 0)
{
    auto thumb = makeImage (24, 12, [] (juce::Graphics& g, juce::Rectangle<float> r) {
        g.setColour (juce::Colour (0xFF8A919B));
        g.fillRoundedRectangle (r, 2.0f);
    });
    auto slider = std::make_unique<ZOLSliderComponent> (
        juce::Rectangle<int> (0, 0, 56, 140), juce::Rectangle<int> (0, 0, 40, 140), 14, 20, 8, 108, 20, 108, "Level",
        true, solid (12, 100, juce::Colour (0xFF101214)), thumb, thumb);
    slider->attachReadout ({ 0, 124, 40, 16 }, field (40, 16), nullptr, 11.0f, ink, juce::Justification::centred, {},
                           1.0f);
    slider->setTopLeftPosition (x, y);
    return slider;
}

inline juce::MouseEvent mouse (juce::Component& c, juce::Point<int> at, juce::ModifierKeys mods = {}, int clicks = 1)
{
    auto now = juce::Time::getCurrentTime();
    auto p = at.toFloat();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p, mods,
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, p, now,
                             clicks, false);
}

inline juce::MouseWheelDetails wheel (float deltaY)
{
    juce::MouseWheelDetails details{};
    details.deltaY = deltaY;
    return details;
}

// Sets the keys the widgets see as held, and clears them again.
struct HeldKeys
{
    explicit HeldKeys (int flags) { juce::ModifierKeys::currentModifiers = juce::ModifierKeys (flags); }
    ~HeldKeys() { juce::ModifierKeys::currentModifiers = juce::ModifierKeys(); }
};

// Every change message a widget delivers, with the binding as the owner sees it.
struct CodeRecorder : juce::ChangeListener
{
    struct Seen
    {
        int code, blockId, paramId;
    };

    explicit CodeRecorder (ZOLEffectParam& p)
        : param (p)
    {
        param.addChangeListener (this);
    }
    ~CodeRecorder() override { param.removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        seen.push_back ({ param.getChangeCode(), param.blockId, param.paramId });
    }

    // Delivers what is pending and gives the codes seen so far, then forgets them.
    std::vector<int> take()
    {
        param.dispatchPendingMessages();
        std::vector<int> codes;
        for (auto& s : seen)
            codes.push_back (s.code);
        seen.clear();
        return codes;
    }

    ZOLEffectParam& param;
    std::vector<Seen> seen;
};

inline juce::Image snapshot (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}

// Pixels in the rectangle whose colour is close to c.
inline int countNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour c, int tolerance = 24)
{
    int count = 0;
    area = area.getIntersection (image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            auto p = image.getPixelAt (x, y);
            if (std::abs (p.getRed() - c.getRed()) <= tolerance &&
                std::abs (p.getGreen() - c.getGreen()) <= tolerance &&
                std::abs (p.getBlue() - c.getBlue()) <= tolerance && p.getAlpha() > 128)
                ++count;
        }
    return count;
}

} // namespace WidgetTestKit
