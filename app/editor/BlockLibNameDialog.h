#pragma once

#include "app/host/ContentPanes.h"

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class BlockLibraryManager;
class SkinManager;
class ZOLDrawableButton;
class ZOLLabelComponent;

// Asks for the name of a block library entry when a block is saved, saved
// under a new name or renamed. It only collects the text and reports which
// button ended it; its owner checks the name, stores it and closes the
// dialog. It is an overlay inside the window, never a modal loop.
//
// Change codes (read back with getChangeCode after the change message):
// 1 opened, 2 save, 3 save as, 4 rename, 5 cancelled.
class BlockLibNameDialog : public juce::Component,
                           public ZOLResizableComponent,
                           public juce::Button::Listener,
                           public juce::ChangeBroadcaster,
                           public ContentDialog
{
public:
    // Closing it with the other dialogs cancels it (code 5).
    void closeDialog() override { close (5); }

    enum Mode
    {
        modeSave = 1,
        modeSaveAs = 2,
        modeRename = 3
    };

    static constexpr int maxNameLength = 31;
    static constexpr const char* sectionName = "BlockLibraryNameDialog";

    // Reads its skin section; hidden until opened.
    explicit BlockLibNameDialog (const SkinManager* skin);
    ~BlockLibNameDialog() override;

    // Shows the dialog for the entry with this uuid. With a library that
    // holds the entry, the edit box gets text, or else the entry's name, or
    // else the file name of its effect type, all selected.
    void open (int mode, const juce::Uuid& entry, const juce::String& text, const BlockLibraryManager* library);

    // Hides the dialog and posts the code (0 posts nothing).
    void close (int code);

    juce::String getText() const;
    void setText (const juce::String& text);
    // Selects the whole text again, for a name that was refused.
    void reselectText();

    int getMode() const { return mode; }
    const juce::Uuid& getEntry() const { return entry; }
    juce::String getShownTitle() const { return shownTitle; }
    int getChangeCode() const;

    // Posts the mode's code; the dialog stays open.
    void accept();

    juce::TextEditor* getEditBox() const { return editBox.get(); }
    juce::Button* getSaveButton() const;
    juce::Button* getCancelButton() const;

    void applyScale (bool apply) override;
    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void buttonClicked (juce::Button* button) override;

private:
    void readSkin();
    void post (int code);

    const SkinManager* skin = nullptr;
    juce::Point<int> backgroundPosition;
    juce::Rectangle<int> dialogBounds;
    juce::Rectangle<int> titleBarBounds;
    juce::Image background;
    juce::String skinTitle, shownTitle;
    juce::Font titleFont;
    bool hasTitleFont = false;
    juce::Colour titleColour{ 0xff909090 };

    int mode = modeSave;
    juce::Uuid entry = juce::Uuid::null();

    mutable juce::CriticalSection codeLock;
    int changeCode = 0;

    std::unique_ptr<ZOLDrawableButton> closeButton, saveButton, cancelButton;
    std::unique_ptr<ZOLLabelComponent> description;
    std::unique_ptr<juce::TextEditor> editBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BlockLibNameDialog)
};
