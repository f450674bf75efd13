#include "skin/engine/UserInteraction.h"

#include <atomic>
#include <memory>

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

// The choosers that are showing; each one is released when it answers.
std::vector<std::unique_ptr<juce::FileChooser>>& openChoosers()
{
    static std::vector<std::unique_ptr<juce::FileChooser>> choosers;
    return choosers;
}

void launchChooser (const FileRequest& request, UserInteraction::FilesChosen onChosen)
{
    auto title = request.title.isEmpty() ? juce::String ("Choose a file") : request.title;
    auto chooser = std::make_unique<juce::FileChooser> (title, request.initial, request.patterns);
    auto* raw = chooser.get();
    openChoosers().push_back (std::move (chooser));

    raw->launchAsync (chooserFlags (request.mode),
                      [raw, onChosen] (const juce::FileChooser& fc)
                      {
                          auto files = fc.getResults();
                          juce::MessageManager::callAsync (
                              [raw]
                              {
                                  auto& list = openChoosers();
                                  for (auto it = list.begin(); it != list.end(); ++it)
                                      if (it->get() == raw)
                                      {
                                          list.erase (it);
                                          break;
                                      }
                              });
                          if (onChosen)
                              onChosen (files);
                      });
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
