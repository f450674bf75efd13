#pragma once

#include "skin/engine/UserInteraction.h"

#include <deque>
#include <utility>
#include <vector>

// Stands in for the user at file choosers and menus. A test queues the
// answers (files to choose, menu item ids to pick); each request takes the
// next one and is answered at once, on the calling thread (a menu or a
// file chooser may be held open instead). A request with
// no queued answer is answered as cancelled. Every request is recorded:
// menus with their item texts so a test can find an item by name.
class ScriptedInteraction : public UserInteraction::Sink
{
public:
    struct MenuShown
    {
        juce::StringArray itemTexts; // flattened, submenus included
        juce::Array<int> itemIds;
    };

    ScriptedInteraction()
        : previous (UserInteraction::getSink())
    {
        UserInteraction::setSink (this);
    }
    ~ScriptedInteraction() override { UserInteraction::setSink (previous); }

    void answerWithFiles (juce::Array<juce::File> files) { fileAnswers.push_back (std::move (files)); }
    void answerWithFile (const juce::File& file) { answerWithFiles ({ file }); }
    void answerMenuWith (int itemId) { menuAnswers.push_back ([itemId] (const MenuShown&) { return itemId; }); }
    // Picks the first enabled item whose text is `text` (0 if none).
    void answerMenuWithItem (const juce::String& text)
    {
        menuAnswers.push_back (
            [text] (const MenuShown& shown)
            {
                auto index = shown.itemTexts.indexOf (text);
                return index < 0 ? 0 : shown.itemIds[index];
            });
    }

    void chooseFiles (const FileRequest& request, UserInteraction::FilesChosen onChosen) override
    {
        fileRequests.push_back (request);
        if (holdChoosers)
        {
            heldChooser = std::move (onChosen);
            return;
        }
        if (onChosen)
            onChosen (nextFileAnswer());
    }

    // While set, a file chooser stays open (as while the user looks for a
    // folder) until answerHeldChooser gives it its queued answer.
    bool holdChoosers = false;
    bool isChooserHeld() const { return heldChooser != nullptr; }
    void answerHeldChooser()
    {
        if (auto onChosen = std::exchange (heldChooser, nullptr))
            onChosen (nextFileAnswer());
    }

    // While set, a menu stays open (as while the user reads it) until
    // answerHeldMenu picks its queued answer.
    bool holdMenus = false;
    bool isMenuHeld() const { return heldMenu != nullptr; }
    void answerHeldMenu()
    {
        if (auto onChosen = std::exchange (heldMenu, nullptr))
            onChosen (nextMenuAnswer (menus.back()));
    }

    void showMenu (const juce::PopupMenu& menu, const juce::PopupMenu::Options&,
                   UserInteraction::MenuChosen onChosen) override
    {
        MenuShown shown;
        collect (menu, shown);
        menus.push_back (shown);
        if (holdMenus)
        {
            heldMenu = std::move (onChosen);
            return;
        }
        if (onChosen)
            onChosen (nextMenuAnswer (shown));
    }

    std::vector<FileRequest> fileRequests;
    std::vector<MenuShown> menus;

private:
    juce::Array<juce::File> nextFileAnswer()
    {
        juce::Array<juce::File> files;
        if (! fileAnswers.empty())
        {
            files = fileAnswers.front();
            fileAnswers.pop_front();
        }
        return files;
    }

    int nextMenuAnswer (const MenuShown& shown)
    {
        int result = 0;
        if (! menuAnswers.empty())
        {
            result = menuAnswers.front() (shown);
            menuAnswers.pop_front();
        }
        return result;
    }

    static void collect (const juce::PopupMenu& menu, MenuShown& shown)
    {
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            auto& item = it.getItem();
            if (item.subMenu != nullptr)
                collect (*item.subMenu, shown);
            else if (item.itemID != 0 && item.isEnabled)
            {
                shown.itemTexts.add (item.text);
                shown.itemIds.add (item.itemID);
            }
        }
    }

    UserInteraction::Sink* previous;
    std::deque<juce::Array<juce::File>> fileAnswers;
    std::deque<std::function<int (const MenuShown&)>> menuAnswers;
    UserInteraction::MenuChosen heldMenu;
    UserInteraction::FilesChosen heldChooser;
};
