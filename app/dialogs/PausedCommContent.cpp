#include "app/dialogs/PausedCommContent.h"

#include "model/LanguageStore.h"
#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"

PausedCommContent::PausedCommContent (const SkinManager* skin)
{
    setWantsKeyboardFocus (true);

    if (auto* section = skin != nullptr ? skin->getSection ("PauseCommunicationMode") : nullptr)
    {
        if (section->getStringAttribute ("backgroudBounds").isNotEmpty())
            backgroundBounds = SkinAttributes::rectangle (*section, "backgroudBounds");
        if (section->getStringAttribute ("dlgBounds").isNotEmpty())
            boxBounds = SkinAttributes::rectangle (*section, "dlgBounds");

        backgroundColour = SkinAttributes::colourOr (*section, "backgroundColor", backgroundColour);
        boxColour = SkinAttributes::colourOr (*section, "dlgColor", boxColour);
        textColour = SkinAttributes::colourOr (*section, "textFontColor", textColour);

        if (section->getStringAttribute ("textFont").isNotEmpty())
            textTypeface = skin->getTypeface (section->getStringAttribute ("textFont"));
    }

    if (boxBounds.getX() == 0 && boxBounds.getY() == 0)
        boxBounds.setPosition (juce::roundToInt (backgroundBounds.getWidth() / 2.0 - boxBounds.getWidth() / 2.0),
                               juce::roundToInt (backgroundBounds.getHeight() / 2.0 - boxBounds.getHeight() / 2.0));

    setBounds (backgroundBounds);
}

bool PausedCommContent::resume()
{
    if (commandManager == nullptr)
        return false;

    return commandManager->invokeDirectly (pauseCommandId, true);
}

void PausedCommContent::paint (juce::Graphics& g)
{
    if (! isVisible())
        return;

    g.fillAll (backgroundColour);
    g.setColour (boxColour);
    g.fillRect (boxBounds);

    const float h = (float) boxBounds.getHeight() / 5.0f;
    const auto box = boxBounds.toFloat();

    if (textTypeface != nullptr)
        g.setFont (juce::Font (textTypeface).withHeight (h));

    const auto headline = LanguageStore::textOr (headlineMessageId);
    const auto headlineArea = juce::Rectangle<float> (box.getX(), box.getY() + h, box.getWidth(), box.getHeight() - h);
    g.setColour (juce::Colours::black);
    g.drawFittedText (headline, headlineArea.translated (1.0f, 1.0f).toNearestInt(), juce::Justification (12), 2, 0.7f);
    g.setColour (textColour);
    g.drawFittedText (headline, headlineArea.toNearestInt(), juce::Justification (12), 2, 0.7f);

    if (textTypeface != nullptr)
        g.setFont (juce::Font (textTypeface).withHeight (h / 3.0f));

    g.drawFittedText (
        LanguageStore::textOr (explanationMessageId),
        juce::Rectangle<float> (box.getX(), box.getY(), box.getWidth(), box.getHeight() - h / 3.0f).toNearestInt(),
        juce::Justification (20), 3, 0.7f);
}

void PausedCommContent::mouseDown (const juce::MouseEvent& e)
{
    if (boxBounds.contains (e.getPosition()))
        resume();
}

bool PausedCommContent::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() != juce::KeyPress::spaceKey)
        return false;

    resume();
    return true;
}
