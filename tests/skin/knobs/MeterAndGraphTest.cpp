#include "support/WidgetTestKit.h"

#include "skin/knobs/BrakFxMeter.h"
#include "skin/knobs/ZOLGraphComponent.h"
#include "skin/knobs/ZOLMeterComponent.h"

#include <cmath>
#include <limits>

using namespace WidgetTestKit;

namespace
{
struct ScriptedLevel : BrakFxMeter::LevelSource
{
    std::vector<double> levels;
    size_t next = 0;
    double getLevel() override { return next < levels.size() ? levels[next++] : 0.0; }
};

std::vector<float> constant (float v)
{
    return std::vector<float> ((size_t) ZOLGraphDisplay::valueCount, v);
}

// Rows of the image with any visible ink in column x.
std::vector<int> inkedRows (const juce::Image& image, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < image.getHeight(); ++y)
        if (image.getPixelAt (x, y).getAlpha() > 100)
            rows.push_back (y);
    return rows;
}
} // namespace

TEST (Meters, LevelMeterHoldsPeaksAndDecays)
{
    BrakFxMeter meter (0, 0, "In", "Input", solid (100, 8, accent), solid (100, 8, bezel));
    auto source = std::make_unique<ScriptedLevel>();
    source->levels = { 0.05, 0.02, 0.02, 0.2, std::nan (""), 0.0 };
    meter.setLevelSource (std::move (source));

    std::vector<double> shown;
    for (int i = 0; i < 4; ++i)
    {
        meter.timerCallback();
        shown.push_back (meter.getShownFraction());
    }
    EXPECT_NEAR (shown[0], 0.5, 1.0e-9);
    EXPECT_NEAR (shown[1], 0.45, 1.0e-9);
    EXPECT_NEAR (shown[2], 0.405, 1.0e-9);
    EXPECT_EQ (shown[3], 1.0);
    EXPECT_TRUE (meter.isTimerRunning());
    meter.stopTimer();

    // A level that is not a number decays like silence.
    meter.timerCallback();
    EXPECT_NEAR (meter.getLevel(), 0.18, 1.0e-9);
    meter.stopTimer();

    meter.setLevel (0.0);
    for (int i = 0; i < 100 && meter.getLevel() > 0.001; ++i)
        meter.setLevel (0.0);
    meter.setLevel (0.0);
    EXPECT_EQ (meter.getLevel(), 0.0);

    meter.setLevelSource (nullptr);
    meter.setLevel (0.03);
    meter.timerCallback();
    meter.stopTimer();
    auto image = snapshot (meter);
    EXPECT_EQ (countNear (image, { 0, 0, 30, 8 }, accent), 240);
    EXPECT_EQ (countNear (image, { 30, 0, 70, 8 }, bezel), 560);
}

TEST (Meters, ParameterMeterLightsItsFractionInItsDirection)
{
    ZOLMeterComponent meter ({ 0, 0, 30, 110 }, 5, 5, solid (20, 100, accent), solid (20, 100, bezel), true);
    meter.rangeMax = 100.0f;
    meter.setFromDevice (50, 0, {});
    EXPECT_EQ (meter.getLitArea(), juce::Rectangle<int> (5, 55, 20, 50));
    auto image = snapshot (meter);
    EXPECT_EQ (countNear (image, { 5, 55, 20, 50 }, accent), 1000);
    EXPECT_EQ (countNear (image, { 5, 5, 20, 50 }, bezel), 1000);

    meter.fillDirection = ZOLMeterComponent::fillLeft;
    meter.rangeMin = 20.0f;
    meter.rangeChanged();
    EXPECT_EQ (meter.getLitSource(), juce::Rectangle<int> (13, 0, 7, 100));

    meter.setFromDevice (10, 0, {});
    EXPECT_TRUE (meter.getLitArea().isEmpty());
    meter.setFromDevice (500, 0, {});
    EXPECT_EQ (meter.getFraction(), 1.0);
    meter.rangeMin = meter.rangeMax = 0.0f;
    meter.rangeChanged();
    EXPECT_EQ (meter.getFraction(), 0.0);
    meter.rangeMax = std::numeric_limits<float>::infinity();
    meter.rangeChanged();
    EXPECT_EQ (meter.getFraction(), 0.0);
    EXPECT_EQ (meter.getUnitValue(), 500);

    CodeRecorder codes (meter);
    meter.mouseDown (mouse (meter, { 3, 3 }));
    EXPECT_EQ (codes.take(), std::vector<int>{ 1 });
}

TEST (Graph, DrawsTheCurveAroundItsBaseLineAndClampsItToTheHeight)
{
    ZOLGraphComponent graph ({}, { 0, 0, 128, 41 }, ink, 1.0f, true);
    auto& display = graph.getDisplay();
    auto zeros = constant (0.0f);
    graph.setValues (zeros.data());
    auto rows = inkedRows (snapshot (graph), 64);
    ASSERT_FALSE (rows.empty());
    EXPECT_LE (rows.front(), 20);
    EXPECT_GE (rows.back(), 20);
    EXPECT_LE (rows.back() - rows.front(), 1);

    display.bipolar = false;
    EXPECT_EQ (display.valueToY (0.0f), 41.0f);
    EXPECT_EQ (display.valueToY (2.0f), 0.0f);
    EXPECT_EQ (display.valueToY (-std::numeric_limits<float>::infinity()), 41.0f);
    EXPECT_EQ (display.valueToY (std::nanf ("")), 41.0f);

    // Above the range the line runs along the top edge.
    auto high = constant (7.5f);
    graph.setValues (high.data());
    rows = inkedRows (snapshot (graph), 64);
    ASSERT_FALSE (rows.empty());
    EXPECT_EQ (rows.front(), 0);

    auto* before = display.getValues();
    graph.setValues (nullptr);
    EXPECT_EQ (display.getValues(), before);
    EXPECT_EQ (display.getValues()[5], 7.5f);
}

TEST (Graph, MarkerRingStaysOnTheGraph)
{
    ZOLGraphComponent graph (solid (140, 60, panel), { 6, 6, 128, 48 }, accent, 2.0f, false);
    auto ramp = constant (0.0f);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = (float) i / 127.0f;
    graph.setValues (ramp.data());
    EXPECT_EQ (graph.getBounds(), juce::Rectangle<int> (0, 0, 140, 60));

    auto& display = graph.getDisplay();
    display.markerOn = true;
    snapshot (graph);
    EXPECT_EQ (display.getMarkerPosition(), juce::Point<float> (0.0f, 48.0f));
    graph.setMarkerIndex (127);
    snapshot (graph);
    EXPECT_EQ (display.getMarkerPosition(), juce::Point<float> (128.0f, 0.0f));

    graph.setMarkerIndex (500); // past the curve: no ring, no fault
    snapshot (graph);
}
