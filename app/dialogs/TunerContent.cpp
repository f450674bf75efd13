#include "app/dialogs/TunerContent.h"

#include "device/link/ZOLMidiProcessing.h"
#include "model/IdNameTable.h"
#include "model/IdTables.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLDrawableButton.h"

namespace
{
constexpr int maxSteps = 50;

juce::Point<int> pointOf (const juce::XmlElement& section, const char* name, juce::Point<int> fallback)
{
    if (section.getStringAttribute (name).isEmpty())
        return fallback;

    return SkinAttributes::rectangle (section, name).getPosition();
}
} // namespace

TunerContent::TunerContent (const SkinManager* skin, ZOLMidiProcessing* midiLink)
    : link (midiLink)
{
    readSkin (skin);
    setSize (background.getWidth(), background.getHeight());
    setVisible (false);
}

TunerContent::~TunerContent()
{
    // Requests the link may still hold are handed to it; it frees them.
    while (auto* request = queue.pop())
    {
        if (link != nullptr)
            link->releaseRequest (request);
        else
            delete request;
    }
}

void TunerContent::readSkin (const SkinManager* skin)
{
    auto* section = skin != nullptr ? skin->getSection ("TunerDialog") : nullptr;

    if (section == nullptr)
        return;

    auto& s = *section;
    auto rectangleOr = [&s] (const char* name, juce::Rectangle<int> fallback)
    { return s.getStringAttribute (name).isEmpty() ? fallback : SkinAttributes::rectangle (s, name); };

    auto readStyle = [&] (TextStyle& style, const char* boundsName, const juce::String& stem)
    {
        if (boundsName != nullptr)
            style.bounds = rectangleOr (boundsName, style.bounds);
        if (SkinAttributes::has (s, stem + "FontSize"))
            style.size = SkinAttributes::fontSize (s, stem + "FontSize");
        if (s.getStringAttribute (stem + "Font").isNotEmpty())
        {
            style.font = SkinAttributes::font (*skin, s, stem + "Font", style.size);
            style.hasFont = true;
        }
        style.colour = SkinAttributes::colourOr (s, stem + "FontColor", style.colour);
    };

    if (s.getStringAttribute ("background").isNotEmpty())
        background = SkinAttributes::image (*skin, s, "background");

    backgroundPosition = { SkinAttributes::clampedInt (s, "positionX", 100000),
                           SkinAttributes::clampedInt (s, "positionY", 100000) };
    dialogBounds = rectangleOr ("dlgBounds", dialogBounds);
    title.bounds = rectangleOr ("titleBarBounds", title.bounds);
    readStyle (title, nullptr, "title");
    titleText = s.getStringAttribute ("titleString");
    readStyle (noteStyle, "noteBoxBounds", "noteBox");
    readStyle (stringStyle, "stringBoxBounds", "stringBox");

    centreBox = rectangleOr ("centerBoxBounds", centreBox);
    centreColour = SkinAttributes::colourOr (s, "centerBoxColor", centreColour);
    centSpacing = SkinAttributes::clampedInt (s, "xSpacingBetweenCents", 1000);
    centY = SkinAttributes::clampedInt (s, "centY", 100000);
    centWidth = SkinAttributes::clampedInt (s, "centWidth", 1000);
    centHeight = SkinAttributes::clampedInt (s, "centHeight", 1000);
    centColour = SkinAttributes::colourOr (s, "centColor", centColour);

    const char* flatNames[] = { "flatMarkerTopLeft", "flatMarkerBtmLeft", "flatMarkerTopRight", "flatMarkerBtmRight" };
    const char* sharpNames[] = { "sharpMarkerTopLeft", "sharpMarkerBtmLeft", "sharpMarkerTopRight",
                                 "sharpMarkerBtmRight" };
    for (int i = 0; i < 4; ++i)
    {
        flatCorners[i] = pointOf (s, flatNames[i], flatCorners[i]);
        sharpCorners[i] = pointOf (s, sharpNames[i], sharpCorners[i]);
    }
    flatColour = SkinAttributes::colour (s, "flatColor");
    sharpColour = SkinAttributes::colour (s, "sharpColor");

    closeButton = SkinWidgetReaders::createDrawableButton (*skin, SkinAttributes::findWidget (s, "Close"), "Close", this,
                                                           false);
    if (closeButton != nullptr)
        addAndMakeVisible (*closeButton);
}

//==============================================================================
void TunerContent::show (int unitMidiChannel)
{
    midiChannel = unitMidiChannel;
    sendTunerSwitch (tunerOnValue);

    note = stringIndex = tuning = 0;
    noteText.clear();
    stringText.clear();

    setVisible (true);
    setWantsKeyboardFocus (true);
    toFront (false);
    if (isShowing())
        grabKeyboardFocus();

    postChangeCode (1);
}

void TunerContent::hide()
{
    sendTunerSwitch (tunerOffValue);
    setVisible (false);
    setWantsKeyboardFocus (false);
    postChangeCode (2);
}

void TunerContent::sendTunerSwitch (int value)
{
    if (link == nullptr || midiChannel < 1 || midiChannel > 16)
        return;

    auto request = std::make_unique<SysExRequest> (requestTimeoutMs);

    if (! request->setControllerMessage (midiChannel, tunerController, value))
        return;

    // Only a request the link took can ever finish; one it refused is dropped.
    if (link->queueRequest (request.get()))
        queue.push (request.release());
}

void TunerContent::update()
{
    if (link != nullptr && ! link->isHeld() && isVisible())
    {
        TunerReading reading;

        if (link->takeTunerData (&reading))
        {
            note = reading.values[0];
            stringIndex = reading.values[1];
            tuning = reading.values[2];
            noteText = note >= 0 ? getNameForId (TunerNoteNames, (juce::uint32) note) : juce::String();
            stringText = stringIndex >= 0 ? getNameForId (TunerStringNames, (juce::uint32) stringIndex) : juce::String();
            repaint();
        }
    }

    auto* head = queue.front();

    if (head == nullptr)
        return;

    if (head->getStatus() != 0)
    {
        delete queue.pop();
    }
    else if (link == nullptr || ! link->isConnected())
    {
        // Nothing will send it now: the link frees it when it lets go of it.
        queue.pop();
        if (link != nullptr)
            link->releaseRequest (head);
    }
}

//==============================================================================
juce::Rectangle<int> TunerContent::getCentMarker (int tuningValue) const
{
    const int d = juce::jlimit (-maxSteps, maxSteps, tuningValue - inTuneValue);

    if (d == 0)
        return centreBox;

    const int x = d < 0 ? centreBox.getX() + d * (centSpacing + centWidth)
                        : centreBox.getRight() + d * centSpacing + (d - 1) * centWidth;
    return { x, centY, centWidth, centHeight };
}

void TunerContent::drawText (juce::Graphics& g, const juce::String& text, const TextStyle& style,
                             juce::Justification justification)
{
    if (text.isEmpty())
        return;

    g.setColour (style.colour);
    if (style.hasFont)
        g.setFont (style.font.withHeight (style.size));
    g.drawText (text, style.bounds, justification, false);
}

void TunerContent::paint (juce::Graphics& g)
{
    if (! isVisible())
        return;

    if (background.isValid())
        g.drawImageAt (background, backgroundPosition.x, backgroundPosition.y);

    drawText (g, titleText, title, juce::Justification::centred);
    drawText (g, noteText, noteStyle, juce::Justification::centredLeft);
    drawText (g, stringText, stringStyle, juce::Justification::centred);

    g.setColour (tuning == inTuneValue ? centreColour : centColour);
    g.fillRect (getCentMarker (tuning));

    auto arrow = [] (const juce::Point<int> (&c)[4])
    {
        juce::Path path;
        path.startNewSubPath (c[0].toFloat());
        path.lineTo (c[2].toFloat());
        path.lineTo (c[3].toFloat());
        path.lineTo (c[1].toFloat());
        path.closeSubPath();
        return path;
    };

    if (isFlatLit (tuning))
    {
        g.setColour (flatColour);
        g.fillPath (arrow (flatCorners));
    }
    if (isSharpLit (tuning))
    {
        g.setColour (sharpColour);
        g.fillPath (arrow (sharpCorners));
    }
}

void TunerContent::applyScale (bool apply)
{
    applyCommonScale (*this, apply);

    if (closeButton != nullptr)
    {
        closeButton->scaleFactor = scaleFactor;
        closeButton->applyScale (false);
    }
}

void TunerContent::mouseDown (const juce::MouseEvent& e)
{
    if (! dialogBounds.contains (e.getPosition()))
        hide();
}

bool TunerContent::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey)
        return false;

    hide();
    return true;
}

void TunerContent::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
        hide();
}

void TunerContent::postChangeCode (int code)
{
    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

int TunerContent::getChangeCode() const
{
    const juce::ScopedLock sl (codeLock);
    return changeCode;
}
