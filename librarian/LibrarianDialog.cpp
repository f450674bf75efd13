#include "librarian/LibrarianDialog.h"

#include "app/host/PaneHost.h"

namespace
{
// Whether the window's key mappings give the key only to commands that
// cannot run now (those of the home screen this dialog hides, say).
bool isKeyOfIdleCommands (const juce::KeyPress& key)
{
    auto* host = PaneHost::find();
    auto* commands = host != nullptr ? host->getCommandManager() : nullptr;
    auto* mappings = commands != nullptr ? commands->getKeyMappings() : nullptr;

    if (mappings == nullptr)
        return false;

    bool mapped = false;

    for (int i = 0; i < commands->getNumCommands(); ++i)
    {
        const auto id = commands->getCommandForIndex (i)->commandID;

        if (! mappings->containsMapping (id, key))
            continue;

        mapped = true;
        juce::ApplicationCommandInfo info (id);

        if (commands->getTargetForCommand (id, info) != nullptr
            && (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0)
            return false;
    }

    return mapped;
}
} // namespace

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

void LibrarianDialog::askToCloseWhileRunning (const juce::String& question, std::function<void (bool)> onAnswer)
{
    Notice notice{ Notice::Icon::question, {}, question, Notice::Buttons::okCancel, {} };
    notice.over = this;
    notice.withdrawal = closeQuestion = std::make_shared<Notice::Withdrawal>();
    notice.onResult = [self = juce::Component::SafePointer<LibrarianDialog> (this), asked = closeQuestion,
                       onAnswer] (int result)
    {
        if (self == nullptr || asked->isWithdrawn())
            return;

        if (self->closeQuestion == asked)
            self->closeQuestion.reset();
        onAnswer (result != 0);
    };
    UserNotifier::show (std::move (notice));
}

bool LibrarianDialog::runEnded()
{
    auto asked = std::exchange (closeQuestion, nullptr);

    if (asked == nullptr || asked->isWithdrawn())
        return false;

    asked->withdraw();
    return true;
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
        // A key that nothing here took stays here when it would only reach
        // commands of the window behind that cannot run now; keys of
        // commands that work anywhere (Ctrl+M, the tuner...) go on.
        return isKeyOfIdleCommands (key);

    requestClose();
    return true;
}
