#pragma once

#include "skin/window/GenericDialogStyle.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class LinkButton;
class ZOLToggleButton;

// The body of the program's own message dialogs: a message with an optional
// icon or logo, an optional hyperlink and one skinned "Close" button, sized
// to its text. The caller sets message, iconType and logoMode, optionally
// the hyperlink, then calls updateLayout. The close button, Space, Return
// and Escape close the enclosing dialog window.
//
// The message is drawn fitted into the text rectangle, each line centred
// horizontally and the lines centred vertically (textJustification).
//
// A question offers its answers instead of the close button (setAnswers),
// each a button of the same look in one row. Choosing one ends the enclosing
// window's modal state with the answer's result and closes it; Escape gives
// 0, Space and Return the first answer unless a button has the focus. The
// keys work while the window around the content holds the focus too.
class GenericDialogContent : public juce::Component, public juce::ChangeListener
{
public:
    explicit GenericDialogContent (const GenericDialogStyle& style);
    ~GenericDialogContent() override;

    bool logoMode = false;
    juce::String message;
    // 0 none, 1 stop, 2 stop small, 3 question, 4 question small, 5 warning,
    // 6 warning small; other values show no icon.
    int iconType = 0;

    struct Answer
    {
        juce::String text;
        int result = 0;
    };
    // Replaces the close button by these answers, left to right; an empty
    // list brings the close button back. Lays out again.
    void setAnswers (const std::vector<Answer>& answers);
    int getNumAnswers() const { return (int) answerButtons.size(); }
    ZOLToggleButton* getAnswerButton (int index) const;

    void setHyperlink (const juce::String& text, const juce::String& url);
    void updateLayout();

    const juce::Image* getIcon() const;
    juce::Rectangle<int> getLogoRect() const { return logoRect; }
    juce::Rectangle<int> getIconRect() const { return iconRect; }
    juce::Rectangle<int> getTextRect() const { return textRect; }
    juce::Rectangle<int> getHyperlinkRect() const { return hyperlinkRect; }
    juce::Rectangle<int> getCloseButtonRect() const { return closeRect; }
    ZOLToggleButton* getCloseButton() const { return closeButton.get(); }
    LinkButton* getHyperlink() const { return hyperlink.get(); }

    static constexpr int textJustification = 0x24; // centred horizontally and vertically

    void paint (juce::Graphics& g) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void parentHierarchyChanged() override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    static constexpr juce::uint32 unstyledBackground = 0xFF828384;
    // A message of absurd length leaves the dialog no larger than this.
    static constexpr int sizeLimit = 16384;

private:
    void closeDialog (int result = 0);
    std::unique_ptr<ZOLToggleButton> makeButton (const juce::String& text);
    void makeHyperlink (const juce::String& text, const juce::String& url);

    GenericDialogStyle style;
    juce::String hyperlinkText;
    const juce::String closeText{ "Close" };
    juce::Rectangle<int> logoRect, iconRect, textRect, hyperlinkRect, closeRect;
    std::unique_ptr<ZOLToggleButton> closeButton;
    std::unique_ptr<LinkButton> hyperlink;
    std::vector<Answer> answers;
    std::vector<std::unique_ptr<ZOLToggleButton>> answerButtons;
    static constexpr int answerGap = 10;

    // The window that shows this may be given the focus itself once it is on
    // screen (its system does so, taking it from this): the keys that close
    // the dialog reach this through that window too.
    struct WindowKeys : juce::KeyListener
    {
        explicit WindowKeys (GenericDialogContent& c) : content (c) {}
        bool keyPressed (const juce::KeyPress& key, juce::Component*) override { return content.keyPressed (key); }
        GenericDialogContent& content;
    } windowKeys{ *this };
    juce::Component::SafePointer<juce::Component> keysWindow;
};
