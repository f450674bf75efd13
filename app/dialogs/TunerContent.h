#pragma once

#include "app/host/ContentPanes.h"
#include "device/link/SysExRequestQueue.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class SkinManager;
class ZOLDrawableButton;
class ZOLMidiProcessing;

// The tuner: a full-window overlay whose box shows the note and string the
// unit's tuner detects and how far the pitch is from the note, as a cent
// marker beside a centre box, with a flat and a sharp arrow.
//
// Opening it switches the unit's tuner on (control change 15, value 127, on
// the unit's MIDI channel), closing it switches the tuner off (value 1). The
// unit then sends SYSEX_TUNER readings, which the link keeps; the main
// window's timer calls update() on every tick to take the latest one and to
// service the dialog's own request queue.
//
// Its queue never jams: a request goes into it only once the link took it,
// and a request still waiting when the link is not connected is handed back
// to the link (which frees it when it lets go of it) and leaves the queue.
//
// Skin section "TunerDialog". Posts change code 1 when opened, 2 when closed.
class TunerContent : public juce::Component,
                     public ZOLResizableComponent,
                     public juce::Button::Listener,
                     public juce::ChangeBroadcaster,
                     public ContentDialog
{
public:
    static constexpr int tunerController = 15;
    static constexpr int tunerOnValue = 127;
    static constexpr int tunerOffValue = 1;
    static constexpr int inTuneValue = 63;
    static constexpr juce::uint32 requestTimeoutMs = 3000;

    // The link may be null (the dialog then sends and takes nothing).
    TunerContent (const SkinManager* skin, ZOLMidiProcessing* link);
    ~TunerContent() override;

    // The unit's MIDI channel as the device model holds it, 1..16; outside
    // that range the tuner is shown but nothing is sent.
    void show (int unitMidiChannel);
    void hide();
    void closeDialog() override { hide(); }

    // One timer tick: the latest reading (not while the link is paused or the
    // dialog hidden), then at most one finished request off the queue.
    void update();

    int getChangeCode() const;
    juce::String getNoteText() const { return noteText; }
    juce::String getStringText() const { return stringText; }
    int getTuningValue() const { return tuning; }
    int getQueuedRequestCount() const { return queue.size(); }

    // Where the cent marker is drawn for a tuning value: the centre box when
    // in tune, else one cent-sized rectangle beside it (at most 50 steps).
    juce::Rectangle<int> getCentMarker (int tuningValue) const;
    // Which arrows light for a tuning value.
    static bool isFlatLit (int tuningValue) { return tuningValue < inTuneValue + 3; }
    static bool isSharpLit (int tuningValue) { return tuningValue > inTuneValue - 3; }

    ZOLDrawableButton* getCloseButton() const { return closeButton.get(); }
    juce::Rectangle<int> getDialogBounds() const { return dialogBounds; }

    void applyScale (bool apply) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void buttonClicked (juce::Button* button) override;

private:
    struct TextStyle
    {
        juce::Rectangle<int> bounds;
        juce::Font font;
        bool hasFont = false;
        juce::Colour colour{ 0xFFFFFF00 };
        float size = 12.0f;
    };

    void readSkin (const SkinManager* skin);
    void sendTunerSwitch (int value);
    void postChangeCode (int code);
    static void drawText (juce::Graphics& g, const juce::String& text, const TextStyle& style,
                          juce::Justification justification);

    ZOLMidiProcessing* link;
    SysExRequestQueue queue;
    int midiChannel = -1;

    juce::Point<int> backgroundPosition;
    juce::Image background;
    juce::Rectangle<int> dialogBounds;

    int note = 0, stringIndex = 0, tuning = 0;
    juce::String noteText, stringText;

    juce::String titleText;
    TextStyle title, noteStyle, stringStyle;

    juce::Rectangle<int> centreBox;
    juce::Colour centreColour{ 0xFFFFFF00 }, centColour{ 0xFFFFFF00 };
    int centY = 0, centWidth = 0, centHeight = 0, centSpacing = 0;
    juce::Point<int> flatCorners[4], sharpCorners[4]; // top-left, bottom-left, top-right, bottom-right
    juce::Colour flatColour, sharpColour;

    std::unique_ptr<ZOLDrawableButton> closeButton;

    mutable juce::CriticalSection codeLock;
    int changeCode = 0;

    JUCE_DECLARE_NON_COPYABLE (TunerContent)
};
