#include "skin/lists/AutoVisibleLabel.h"

#include "skin/lists/ScrollableListCell.h"
#include "skin/lists/ZolScrollableListCtrl.h"

AutoVisibleLabel::AutoVisibleLabel()
    : juce::Label ({}, {})
{
}

void AutoVisibleLabel::editorShown (juce::TextEditor* textEditor)
{
    if (textEditor != nullptr)
        textEditor->setInputRestrictions (juce::jmax (0, maxTextLength), allowedCharacters);
    setVisible (true);
    juce::Label::editorShown (textEditor);
}

void AutoVisibleLabel::editorAboutToBeHidden (juce::TextEditor* textEditor)
{
    setVisible (false);
    juce::Label::editorAboutToBeHidden (textEditor);
    if (auto* list = findParentScrollableListCtrl (this))
        if (list->isShowing())
            list->grabKeyboardFocus();
}
