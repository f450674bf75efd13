#pragma once

#include "app/host/ContentPanes.h"
#include "librarian/LibrarianStyle.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include "model/UserNotifier.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class SkinManager;

// What the librarian's dialogs share: the frame from their skin section, the
// panel they paint, Escape asking them to close, and the change code they
// post under their own lock (read with getChangeCode after the change message).
// Closing every dialog of the main window closes them with requestClose.
class LibrarianDialog : public juce::Component,
                        public ZOLResizableComponent,
                        public juce::ChangeBroadcaster,
                        public ContentDialog
{
public:
    ~LibrarianDialog() override = default;

    // Closes in the dialog's own way; may ask the user first.
    virtual void requestClose() = 0;
    void closeDialog() override { requestClose(); }

    int getChangeCode() const;

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void applyScale (bool apply) override { applyCommonScale (*this, apply); }

protected:
    // Takes its bounds and colours from the skin section (the fallback bounds
    // without one).
    LibrarianDialog (const SkinManager* skin, const juce::String& section, juce::Rectangle<int> fallback);

    void postChangeCode (int code);

    // Asks over this dialog whether to stop what runs and close; the answer
    // (true for OK) reaches onAnswer. What runs ends by itself meanwhile:
    // runEnded takes the question back.
    void askToCloseWhileRunning (const juce::String& question, std::function<void (bool ok)> onAnswer);
    // What ran has ended. True when a question to stop it and close was
    // still open: it is taken back, and the dialog closes as its Close asked.
    bool runEnded();

    const LibrarianStyle::Frame frame;

private:
    std::shared_ptr<Notice::Withdrawal> closeQuestion;

    juce::CriticalSection codeLock;
    int changeCode = 0;

    JUCE_DECLARE_NON_COPYABLE (LibrarianDialog)
};
