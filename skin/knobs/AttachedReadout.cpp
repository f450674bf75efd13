#include "skin/knobs/AttachedReadout.h"

AttachedReadout::AttachedReadout (juce::Component& ownerComponent, juce::ChangeListener& changeListener)
    : owner (ownerComponent)
    , listener (changeListener)
{
}

AttachedReadout::~AttachedReadout()
{
    if (readout != nullptr)
        readout->removeChangeListener (&listener);
}

void AttachedReadout::attach (juce::Rectangle<int> fieldRect, const juce::Image& fieldBackground,
                              juce::Typeface::Ptr fieldTypeface, float fieldFontSize, juce::Colour fieldColour,
                              juce::Justification fieldJustification, juce::Rectangle<int> fieldTextRect,
                              float minimumHorizontalScale)
{
    if (readout != nullptr)
        readout->removeChangeListener (&listener);
    readout = BrakFxReadout::createForControl (fieldRect, fieldBackground, fieldTypeface, fieldFontSize, fieldColour,
                                               fieldJustification, fieldTextRect, minimumHorizontalScale);
    readout->addChangeListener (&listener);
    owner.addAndMakeVisible (*readout);
}

void AttachedReadout::cancelEntry()
{
    if (readout != nullptr)
        readout->hideEditor();
}

void AttachedReadout::showText (const juce::String& text)
{
    if (readout != nullptr)
        readout->setText (text);
}

void AttachedReadout::followUnit (const ZOLEffectParam& binding)
{
    if (readout != nullptr)
    {
        readout->setUnitText (binding.unitText);
        readout->setHasUnit (binding.unitText.isNotEmpty());
        readout->repaint();
    }
}

void AttachedReadout::followRange (const ZOLEffectParam& binding)
{
    if (readout != nullptr)
        readout->setValidation (true, true, binding.clampEntries, binding.rangeMin, binding.rangeMax);
}

void AttachedReadout::followScale (double ownerFactor)
{
    if (readout != nullptr)
        readout->followOwner (ownerFactor);
}

int AttachedReadout::codeToPassOn (juce::ChangeBroadcaster* source) const
{
    if (readout == nullptr || source != static_cast<juce::ChangeBroadcaster*> (readout.get()))
        return -1;
    auto code = readout->getChangeCode();
    return code == 1 || code == 10 ? code : -1;
}
