#include "librarian/LibrarianDialog.h"

LibrarianDialog::LibrarianDialog (const SkinManager* skin, const juce::String& section, juce::Rectangle<int> fallback)
    : frame (LibrarianStyle::readFrame (skin, section, fallback))
{
    setWantsKeyboardFocus (true);
    setBounds (frame.bounds);
    rememberUnscaledBounds (frame.bounds);
}

int LibrarianDialog::getChangeCode() const
{
    const juce::ScopedLock sl (codeLock);
    return changeCode;
}

void LibrarianDialog::postChangeCode (int code)
{
    {
        const juce::ScopedLock sl (codeLock);
        changeCode = code;
    }
    sendChangeMessage();
}

void LibrarianDialog::paint (juce::Graphics& g)
{
    g.fillAll (frame.background);
    g.setColour (juce::Colour (LibrarianStyle::outline));
    g.drawRect (getLocalBounds(), 1);
}

bool LibrarianDialog::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey)
        return false;

    requestClose();
    return true;
}
