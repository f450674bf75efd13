#pragma once

#include "skin/lists/AutoVisibleLabel.h"
#include "skin/lists/ScrollableListItem.h"
#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <memory>
#include <utility>

class ZolScrollableListCtrl;

// One cell of the scrollable list: draws one entry (marker, number, name),
// turns mouse and key input into cell codes for its list, takes part in drag
// and drop as source and target, accepts dropped files and edits its name in
// place. It never decides selection itself; the list does, on its codes.
//
// Cell codes (argument in brackets): 1 pressed (on marker), 2 released after
// a single click (on marker), 3 multi-click or Return, 4 files dropped,
// 5 renamed, 6 right pressed (on marker), 7 right released (on marker),
// 8 number and name no longer fit.
class ScrollableListCell : public juce::Component,
                           public ZOLResizableComponent,
                           public juce::SettableTooltipClient,
                           public juce::ChangeBroadcaster,
                           public juce::DragAndDropTarget,
                           public juce::FileDragAndDropTarget,
                           public juce::Label::Listener
{
public:
    ScrollableListCell (int row, int column);
    ~ScrollableListCell() override;

    int row = 0, column = 0;
    int itemId = 0;
    bool showMarker = false;
    bool highlighted = false;
    bool searchMatch = false;
    bool dragEnabled = true;
    bool acceptsFiles = true;
    bool plainDropFlag = true, shiftDropFlag = true, positionalDropFlag = true;
    bool showDropPosition = false;
    bool renamable = false;
    bool hasBackground = false;
    juce::Colour background{ 0x00000000 };
    bool hasNumberBox = false;
    juce::Colour numberBoxColour{ 0x00000000 };
    juce::StringArray reservedNames;
    float minimumHorizontalScale = 0.7f;

    void setMarkerImage (const juce::Image& image, int width);
    void setNumberFont (const juce::Font* font, juce::Colour colour, float height);
    void setNameFonts (const juce::Font* normal, const juce::Font* bold, const juce::Font* italicFont,
                       const juce::Font* italicBold, float height, juce::Colour colour);
    void setCellColours (juce::Colour mouseOver, juce::Colour selection, juce::Colour overlapping);
    // The name editor's field and frame; its text and selection take the
    // cell's name and selection colours. A transparent frame is drawn in the
    // name colour.
    void setEditorColours (juce::Colour field, juce::Colour frame);
    void setNameRestrictions (int maxLength, const juce::String& allowedCharacters);

    void setNumberAndName (const juce::String& number, const juce::String& name);
    void getNumberAndName (juce::String& number, juce::String& name) const;
    const juce::String& getNameText() const { return nameText; }
    const juce::String& getNumberText() const { return numberText; }
    bool hasText() const { return numberText.isNotEmpty() || nameText.isNotEmpty(); }
    void setItalic (bool italic);
    bool isItalic() const { return italic; }
    void setSelected (bool selected);
    bool isSelected() const { return selected; }
    void setMouseOver (bool over);
    void setDropMark (bool mark);
    bool hasDropMark() const { return dropMark; }
    int getDropZone() const { return dropZone; }
    bool isDragging() const { return dragging; }

    // The last code posted and its argument.
    int getChangeCode (int* argument = nullptr) const;
    // Queues the code for the list and sends a change message; the list
    // takes every queued code, in order, when the message arrives (a press
    // and its release posted before the message loop runs both arrive).
    void postChangeCode (int code, int argument);
    // The oldest code not yet taken; false when none is left.
    bool takeChangeCode (int& code, int& argument);

    bool showNameEditor();
    bool isEditingName() const { return label != nullptr && label->isBeingEdited(); }
    // The name is being edited, or its editor has just closed and the list
    // has not yet taken what it gave, or is to open again after a refused name.
    bool isRenaming() const { return isEditingName() || closingEditor || reopenPending; }
    AutoVisibleLabel* getRenameLabel() const { return label.get(); }
    void getDroppedFiles (juce::StringArray& out) const;
    void getItemInfo (ScrollableListItem& item) const;
    bool isOnMarker (int x, int y) const;

    // The width number and name need: the number in the number font plus the
    // name with one "W" appended in the name font (the framework's font at
    // the name height when there is none), each rounded.
    static int measureText (const juce::Font* numberFont, const juce::Font* nameFont, float nameHeight,
                            const juce::String& number, const juce::String& name);

    // From the cell's drop flags and the keys held now: 0..3.
    int getDropAction() const;
    void updateDropZone (int mouseY);

    // Cells painted since the list was built (every cell, so a scroll can
    // be checked to draw only what shows).
    int paintCount = 0;

    // Cells are drawn inside their list's own scaling: they take its factor
    // (for their line widths) without being scaled again.
    void applyScale (bool) override { followOwnerScale (*this, scaleFactor); }
    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;

    bool isInterestedInDragSource (const SourceDetails& details) override;
    void itemDragEnter (const SourceDetails& details) override;
    void itemDragMove (const SourceDetails& details) override;
    void itemDragExit (const SourceDetails& details) override;
    void itemDropped (const SourceDetails& details) override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragMove (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    void labelTextChanged (juce::Label* source) override;
    void editorHidden (juce::Label* source, juce::TextEditor& editor) override;

private:
    ZolScrollableListCtrl* getList() const;
    juce::Font chosenNameFont() const;
    void showDragCursor();
    void reopenEditor();
    int getNumberWidth() const;

    // The number and the name laid out for the cell's size, fonts and texts,
    // kept from one paint to the next. The framework keeps laid-out text in
    // one small cache that everything drawn shares, which a list showing more
    // than a few dozen cells outgrows: it would lay every text out again, and
    // search its cache for it, on each paint. Made on the first paint after
    // something it depends on has changed, and made only for cells that are
    // drawn, so that filling a list pays nothing for it.
    struct TextLayout
    {
        juce::String number, name;
        int width = -1, height = -1, markerWidth = -1, nameFontChoice = -1;
        float minimumScale = 0.0f;
        int numberWidth = 0, nameX = 0;
        float nameWidth = 0.0f;
        juce::Font nameFont;
        juce::GlyphArrangement numberGlyphs, nameGlyphs;
    };
    const TextLayout& getTextLayout();
    int getNameFontChoice() const;

    juce::Image markerImage;
    int markerWidth = 0;
    juce::String numberText, nameText;
    bool italic = false, mouseOver = false, selected = false, dropMark = false;
    juce::Colour mouseOverColour{ 0xFFADD8E6 }, selectionColour{ 0xFF00008B }, overlappingColour{ 0xFFEE82EE };
    std::unique_ptr<juce::Font> numberFont, nameFont, boldFont, italicFont, italicBoldFont;
    float numberHeight = 12.0f, nameHeight = 12.0f;
    std::unique_ptr<TextLayout> textLayout;
    bool fontsChanged = true;
    juce::Colour numberColour{ 0xFF000000 }, nameColour{ 0xFF000000 };
    juce::Colour editorField{ 0xFFFFFFFF }, editorFrame;
    int dropZone = 0;
    bool dragging = false, dragAsked = false;
    int shownAction = -1;
    juce::StringArray droppedFiles;
    std::unique_ptr<AutoVisibleLabel> label;
    bool closingEditor = false, reopenPending = false;
    int changeCode = 0, changeArgument = 0;
    std::deque<std::pair<int, int>> pendingCodes;
    juce::CriticalSection codeLock;
};

// The first parent of the component that is a scrollable list, or nullptr.
ZolScrollableListCtrl* findParentScrollableListCtrl (const juce::Component* component);
