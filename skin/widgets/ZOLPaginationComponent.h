#pragma once

#include "skin/widgets/ZOLResizableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class SkinManager;
class ZOLLabelComponent;
class ZOLPaintedButton;

// The page navigator of search results: First, Previous, a window of five
// numbered page buttons around the current page, Next and Last, with divider
// labels between the numbers. Each move is reported as a change code with
// the new page: 1 First, 2 Previous, 3 a numbered button, 4 Next or Last.
class ZOLPaginationComponent : public juce::Component,
                               public ZOLResizableComponent,
                               public juce::ChangeListener,
                               public juce::ChangeBroadcaster
{
public:
    // Reads the geometry and the child widgets from the widget's element.
    ZOLPaginationComponent (const SkinManager& skin, const juce::XmlElement& widget);
    ~ZOLPaginationComponent() override;

    // Page count = total / per page rounded up (1 for 0 per page); shown only
    // with more than one page.
    void setItemCount (int total, int perPage);
    // Shows the page (1-based, at most the page count once that is known)
    // without reporting it.
    void setCurrentPage (int page);

    void postChangeCode (int code, int argument);
    int getChangeCode (int* argument = nullptr) const;

    int getPageCount() const { return pageCount; }
    int getCurrentPage() const { return currentPage; }
    // 0..4 for btn1..btn5, -1 when none is selected.
    int getSelectedIndex() const;

    ZOLPaintedButton* btnFirst = nullptr;
    ZOLPaintedButton* btnPrev = nullptr;
    ZOLPaintedButton* btnNext = nullptr;
    ZOLPaintedButton* btnLast = nullptr;
    std::array<ZOLPaintedButton*, 5> pageButtons{};
    std::array<ZOLLabelComponent*, 6> dividers{};
    ZOLLabelComponent* searchHeader = nullptr;

    int pixelBufferBtnBounds = 0, pixelBufferDivider = 0, pixelBufferBtnNext = 0, pixelBufferBtnLast = 0;

    void applyScale (bool apply) override { applyCommonScale (*this, apply); }
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

    // Pages beyond this are not numbered (keeps the arithmetic in range).
    static constexpr int maxPages = 100000000;

private:
    void numberPageButtons();
    void selectButton (ZOLPaintedButton* button);
    void refreshNavigation();
    void layoutPageButtons();
    static int labelNumber (const ZOLPaintedButton* button);

    std::vector<std::unique_ptr<juce::Component>> owned;
    int total = 0, perPage = 0, pageCount = 0, currentPage = 1;
    ZOLPaintedButton* selected = nullptr;
    int lastCode = 0, lastArgument = 0;
    juce::CriticalSection codeLock;
};
