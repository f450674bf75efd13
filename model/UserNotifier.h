#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <utility>

namespace juce
{
class Component;
}

// One user-facing message: what the program would show in a message box.
struct Notice
{
    enum class Icon
    {
        info,
        warning,
        question,
        error,
        logo // the program's logo above the message, no icon (About)
    };

    enum class Buttons
    {
        ok,         // result 1
        okCancel,   // 1 OK, 0 Cancel
        yesNo,      // 1 Yes, 0 No
        yesNoCancel // 1 Yes, 2 No, 0 Cancel
    };

    Icon icon = Icon::info;
    juce::String title;
    juce::String message;
    Buttons buttons = Buttons::ok;

    // Called on the message thread with the button's result; may be empty.
    std::function<void (int)> onResult;

    // The window or dialog the notice belongs to: its box stands centred over
    // it. Empty (or gone, or hidden) for the main window.
    juce::WeakReference<juce::Component> over;

    // Lets the one who asked take a question back once it no longer applies
    // (what it asks about has ended): its box closes and no answer comes.
    // On the message thread.
    class Withdrawal
    {
    public:
        void withdraw()
        {
            withdrawn = true;
            if (auto close = std::exchange (closeBox, nullptr))
                close();
        }
        bool isWithdrawn() const { return withdrawn; }
        // Set by whatever shows the notice: closes its box.
        void setCloser (std::function<void()> close) { closeBox = std::move (close); }

    private:
        bool withdrawn = false;
        std::function<void()> closeBox;
    };

    std::shared_ptr<Withdrawal> withdrawal;
};

// Every message box the program shows goes through here. It never blocks
// and may be called from any thread: the box appears asynchronously on the
// message thread. Tests install a sink that records and answers notices.
class UserNotifier
{
public:
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void show (Notice notice) = 0;
    };

    static void show (Notice notice);

    // Shorthands, titled "Kestrel-Edit" unless a title is given.
    static void inform (const juce::String& message, const juce::String& title = {});
    static void warn (const juce::String& message, const juce::String& title = {});
    static void askOkCancel (const juce::String& message, std::function<void (bool ok)> onAnswer,
                             const juce::String& title = {}, Notice::Icon icon = Notice::Icon::question);

    static const char* defaultTitle() { return "Kestrel-Edit"; }

    // Installs a sink (nullptr restores the program's own message boxes).
    // The caller keeps ownership and uninstalls it before deleting it.
    static void setSink (Sink* sink);
    static Sink* getSink();

    // The window that shows notices in the program's own dialogs installs a
    // presenter; it is asked on the message thread, only while no sink is
    // installed, and returns false for a notice it leaves to the message box,
    // after naming in its `over` the window the box then stands over.
    using Presenter = std::function<bool (Notice& notice)>;
    static void setPresenter (Presenter presenter);
};
