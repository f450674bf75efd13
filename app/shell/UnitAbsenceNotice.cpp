#include "app/shell/UnitAbsenceNotice.h"

#include "model/LanguageStore.h"

UnitAbsenceNotice::UnitAbsenceNotice()
{
    setInterceptsMouseClicks (false, false);
    setVisible (false);
}

void UnitAbsenceNotice::setState (State newState)
{
    state = newState;
    setVisible (state != State::connected);
    repaint();
}

juce::String UnitAbsenceNotice::getText() const
{
    switch (state)
    {
        case State::notFound: return juce::String (notFoundText) + "\n" + whereToChooseText;
        case State::lost: return LanguageStore::textOr (9, "Communication lost.") + "\n" + whereToChooseText;
        case State::connected: break;
    }
    return {};
}

void UnitAbsenceNotice::paint (juce::Graphics& g)
{
    auto area = getLocalBounds().toFloat().reduced (1.0f);
    const auto corner = area.getHeight() * 0.08f;
    g.setColour (juce::Colour (0xe0202226));
    g.fillRoundedRectangle (area, corner);
    g.setColour (juce::Colour (0xffe8a33d));
    g.drawRoundedRectangle (area, corner, 1.5f);

    auto lines = juce::StringArray::fromLines (getText());
    auto text = area.reduced (area.getWidth() * 0.04f, area.getHeight() * 0.12f);
    const auto lineHeight = text.getHeight() / 4.0f;

    g.setColour (juce::Colour (0xffe8e6e3));
    g.setFont (juce::Font (lineHeight * 0.9f, juce::Font::bold));
    g.drawFittedText (lines[0], text.removeFromTop (lineHeight * 1.4f).toNearestInt(), juce::Justification::centred, 1);

    lines.remove (0);
    g.setColour (juce::Colour (0xffb8b6b3));
    g.setFont (juce::Font (lineHeight * 0.62f));
    g.drawFittedText (lines.joinIntoString ("\n"), text.toNearestInt(), juce::Justification::centred, 3);
}
