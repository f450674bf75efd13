#include "model/UserNotifier.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
std::atomic<UserNotifier::Sink*> installedSink{ nullptr };
UserNotifier::Presenter& presenterSlot()
{
    static UserNotifier::Presenter presenter; // message thread only
    return presenter;
}

juce::MessageBoxIconType toIconType (Notice::Icon icon)
{
    switch (icon)
    {
        case Notice::Icon::warning: return juce::MessageBoxIconType::WarningIcon;
        case Notice::Icon::question: return juce::MessageBoxIconType::QuestionIcon;
        case Notice::Icon::error: return juce::MessageBoxIconType::WarningIcon;
        case Notice::Icon::info:
        case Notice::Icon::logo: break;
    }
    return juce::MessageBoxIconType::InfoIcon;
}

void showAlertWindow (Notice notice)
{
    if (auto& presenter = presenterSlot(); presenter && presenter (notice))
        return;

    // A question taken back before its box came up is not shown.
    auto withdrawal = notice.withdrawal;
    if (withdrawal != nullptr && withdrawal->isWithdrawn())
        return;

    auto title = notice.title.isEmpty() ? juce::String (UserNotifier::defaultTitle()) : notice.title;
    auto icon = toIconType (notice.icon);
    auto callback = notice.onResult;
    auto* modalCallback = juce::ModalCallbackFunction::create (
        [callback, withdrawal] (int result)
        {
            if (callback && (withdrawal == nullptr || ! withdrawal->isWithdrawn()))
                callback (result);
        });
    // Centred over the window it belongs to; without one, over the active window.
    auto* over = notice.over != nullptr && notice.over->isShowing() ? notice.over.get() : nullptr;

    switch (notice.buttons)
    {
        case Notice::Buttons::ok:
            juce::AlertWindow::showMessageBoxAsync (icon, title, notice.message, {}, over, modalCallback);
            break;
        case Notice::Buttons::okCancel:
            juce::AlertWindow::showOkCancelBox (icon, title, notice.message, {}, {}, over, modalCallback);
            break;
        case Notice::Buttons::yesNo:
            juce::AlertWindow::showOkCancelBox (icon, title, notice.message, "Yes", "No", over, modalCallback);
            break;
        case Notice::Buttons::yesNoCancel:
            juce::AlertWindow::showYesNoCancelBox (icon, title, notice.message, {}, {}, {}, over, modalCallback);
            break;
    }

    // The box has just been made, and is the modal one now.
    if (withdrawal != nullptr)
        withdrawal->setCloser (
            [box = juce::Component::SafePointer<juce::Component> (juce::Component::getCurrentlyModalComponent())]
            {
                if (box != nullptr)
                    box->exitModalState (0);
            });
}
} // namespace

void UserNotifier::show (Notice notice)
{
    if (notice.title.isEmpty())
        notice.title = defaultTitle();

    if (auto* sink = installedSink.load (std::memory_order_acquire))
    {
        sink->show (std::move (notice));
        return;
    }

    if (juce::MessageManager::getInstanceWithoutCreating() == nullptr)
    {
        DBG ("Notice without a message thread: " << notice.message);
        return;
    }

    juce::MessageManager::callAsync ([notice = std::move (notice)]() mutable { showAlertWindow (std::move (notice)); });
}

void UserNotifier::inform (const juce::String& message, const juce::String& title)
{
    show ({ Notice::Icon::info, title, message, Notice::Buttons::ok, {} });
}

void UserNotifier::warn (const juce::String& message, const juce::String& title)
{
    show ({ Notice::Icon::warning, title, message, Notice::Buttons::ok, {} });
}

void UserNotifier::askOkCancel (const juce::String& message, std::function<void (bool)> onAnswer,
                                const juce::String& title, Notice::Icon icon)
{
    show ({ icon, title, message, Notice::Buttons::okCancel,
            [onAnswer] (int result)
            {
                if (onAnswer)
                    onAnswer (result != 0);
            } });
}

void UserNotifier::setSink (Sink* sink)
{
    installedSink.store (sink, std::memory_order_release);
}

void UserNotifier::setPresenter (Presenter presenter)
{
    presenterSlot() = std::move (presenter);
}

UserNotifier::Sink* UserNotifier::getSink()
{
    return installedSink.load (std::memory_order_acquire);
}
