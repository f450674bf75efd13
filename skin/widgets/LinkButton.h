#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A line of text that opens a web address when clicked, darkened while the
// mouse is over it, drawn as the framework's hyperlink draws itself. The
// address goes to the desktop's opener as one argument, never through a
// command interpreter (the framework's hyperlink hands it to /bin/sh).
class LinkButton : public juce::Button
{
public:
    LinkButton (const juce::String& buttonText, const juce::String& linkAddress);

    void setFont (const juce::Font& newFont, juce::Justification newJustification);
    void setTextColour (juce::Colour newColour);
    const juce::String& getAddress() const { return address; }

protected:
    void clicked() override;
    void paintButton (juce::Graphics& g, bool isOver, bool isDown) override;

private:
    const juce::String address;
    juce::Font font;
    juce::Justification justification{ juce::Justification::centred };
    juce::Colour textColour{ 0xcc1111ee };
};
