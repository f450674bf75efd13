#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The box over the effect grid that tells the user, while no unit answers,
// why the editor is idle and where the MIDI ports are chosen. It takes no
// clicks: the panes under it are disabled meanwhile.
class UnitAbsenceNotice : public juce::Component
{
public:
    enum class State
    {
        connected,
        notFound, // no unit since the program started
        lost      // the unit answered once and is gone
    };

    static constexpr const char* notFoundText = "No Kestrel was found.";
    static constexpr const char* whereToChooseText =
        "Connect it by USB, or choose its MIDI ports under Settings > Preferences...\n"
        "(the gear button in the title bar).";

    UnitAbsenceNotice();

    void setState (State newState);
    State getState() const { return state; }
    juce::String getText() const;

    void paint (juce::Graphics& g) override;

private:
    State state = State::connected;
};
