#include "skin/engine/UserInteraction.h"

#include "skin/engine/PaintOnceBeforeShown.h"

#include <atomic>
#include <memory>
#include <variant>

namespace
{
std::atomic<UserInteraction::Sink*> installedSink{ nullptr };

int chooserFlags (FileRequest::Mode mode)
{
    using B = juce::FileBrowserComponent;
    switch (mode)
    {
        case FileRequest::Mode::openMultiple: return B::openMode | B::canSelectFiles | B::canSelectMultipleItems;
        case FileRequest::Mode::save: return B::saveMode | B::canSelectFiles | B::warnAboutOverwriting;
        case FileRequest::Mode::folder: return B::openMode | B::canSelectDirectories;
        case FileRequest::Mode::open: break;
    }
    return B::openMode | B::canSelectFiles;
}

// The program's own chooser window: the framework's chooser box, made a
// native window only once it is sized and centred over the window it belongs
// to, as the program's message boxes are. A window manager takes the place a
// window first comes with, and may keep it whatever is asked later; the
// framework's own chooser makes its window at the screen's corner and moves
// it afterwards.
struct OwnChooser
{
    OwnChooser (const FileRequest& request, const juce::String& title, int flags)
        : filter ((flags & juce::FileBrowserComponent::canSelectFiles) != 0
                      ? (request.patterns.containsNonWhitespaceChars() ? request.patterns : juce::String ("*"))
                      : juce::String(),
                  (flags & juce::FileBrowserComponent::canSelectDirectories) != 0 ? "*" : juce::String(), {})
        , browser (flags, request.initial, &filter, nullptr)
        // Made inside a holder, so that the framework makes no native window for it yet.
        , box (title, {}, browser, (flags & juce::FileBrowserComponent::warnAboutOverwriting) != 0,
               browser.findColour (juce::AlertWindow::backgroundColourId), &holder)
    {
        holder.removeChildComponent (&box);
        box.setVisible (false);
    }

    juce::Array<juce::File> chosen() const
    {
        juce::Array<juce::File> files;
        for (int i = 0; i < browser.getNumSelectedFiles(); ++i)
            files.add (browser.getSelectedFile (i));
        return files;
    }

    juce::Component holder;
    juce::WildcardFileFilter filter;
    juce::FileBrowserComponent browser;
    juce::FileChooserDialogBox box;
};

// The window a chooser belongs to: the active one, else the one shown last.
juce::Component* chooserOwner()
{
    if (auto* active = juce::TopLevelWindow::getActiveTopLevelWindow())
        return active;

    auto& desktop = juce::Desktop::getInstance();
    for (int i = desktop.getNumComponents(); --i >= 0;)
        if (auto* window = dynamic_cast<juce::TopLevelWindow*> (desktop.getComponent (i)); window != nullptr && window->isVisible())
            return window;

    return nullptr;
}

// The choosers that are showing; each one is released when it answers, and
// those still open when the program ends are released with the framework's
// other objects, while their windows can still be taken down.
using ShownChooser = std::variant<std::unique_ptr<juce::FileChooser>, std::unique_ptr<OwnChooser>>;

struct OpenChoosers : juce::DeletedAtShutdown
{
    ~OpenChoosers() override { instance = nullptr; }

    std::vector<ShownChooser> list;
    static inline OpenChoosers* instance = nullptr;
};

std::vector<ShownChooser>& openChoosers()
{
    if (OpenChoosers::instance == nullptr)
        OpenChoosers::instance = new OpenChoosers();
    return OpenChoosers::instance->list;
}

template <typename Chooser>
void release (const Chooser* chooser)
{
    auto& list = openChoosers();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (auto* shown = std::get_if<std::unique_ptr<Chooser>> (&*it); shown != nullptr && shown->get() == chooser)
        {
            list.erase (it);
            break;
        }
}

void launchChooser (const FileRequest& request, UserInteraction::FilesChosen onChosen)
{
    auto title = request.title.isEmpty() ? juce::String ("Choose a file") : request.title;
    const auto flags = chooserFlags (request.mode);

    // The desktop's own chooser (another program) where there is one.
    if (juce::FileChooser::isPlatformDialogAvailable())
    {
        auto chooser = std::make_unique<juce::FileChooser> (title, request.initial, request.patterns);
        auto* raw = chooser.get();
        openChoosers().push_back (std::move (chooser));

        raw->launchAsync (flags,
                          [raw, onChosen] (const juce::FileChooser& fc)
                          {
                              auto files = fc.getResults();
                              // Released once its own call has returned.
                              juce::MessageManager::callAsync ([raw] { release (raw); });
                              if (onChosen)
                                  onChosen (files);
                          });
        return;
    }

    auto chooser = std::make_unique<OwnChooser> (request, title, flags);
    auto* raw = chooser.get();
    openChoosers().push_back (std::move (chooser));

    auto& box = raw->box;
    // The framework's own chooser size.
    box.centreAroundComponent (chooserOwner(), 600, 500);
    box.addToDesktop();
    paintOnceBeforeShown (box);
    box.enterModalState (true,
                         juce::ModalCallbackFunction::create (
                             [raw, onChosen] (int result)
                             {
                                 auto files = result != 0 ? raw->chosen() : juce::Array<juce::File>();
                                 release (raw);
                                 if (onChosen)
                                     onChosen (files);
                             }),
                         false);
}
} // namespace

void UserInteraction::chooseFiles (const FileRequest& request, FilesChosen onChosen)
{
    if (auto* sink = installedSink.load (std::memory_order_acquire))
    {
        sink->chooseFiles (request, std::move (onChosen));
        return;
    }
    launchChooser (request, std::move (onChosen));
}

void UserInteraction::chooseFile (const FileRequest& request, std::function<void (juce::File)> onChosen)
{
    chooseFiles (request,
                 [onChosen = std::move (onChosen)] (juce::Array<juce::File> files)
                 {
                     if (onChosen)
                         onChosen (files.isEmpty() ? juce::File() : files.getFirst());
                 });
}

void UserInteraction::showMenu (const juce::PopupMenu& menu, const juce::PopupMenu::Options& options,
                                MenuChosen onChosen)
{
    if (auto* sink = installedSink.load (std::memory_order_acquire))
    {
        sink->showMenu (menu, options, std::move (onChosen));
        return;
    }
    juce::PopupMenu shown (menu);
    shown.showMenuAsync (options,
                        [onChosen = std::move (onChosen)] (int result)
                        {
                            if (onChosen)
                                onChosen (result);
                        });
}

void UserInteraction::setSink (Sink* sink)
{
    installedSink.store (sink, std::memory_order_release);
}

UserInteraction::Sink* UserInteraction::getSink()
{
    return installedSink.load (std::memory_order_acquire);
}
