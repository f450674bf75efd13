#include "skin/DropDownLargeList.h"

DropDownLargeList::DropDownLargeList (const DropDownStyle& dropDownStyle, const juce::Font* label,
                                      const juce::Font* field, const juce::Font* italicField)
    : ZOLDropDownEx (dropDownStyle, label, field, italicField)
{
    updateLayout();
}

DropDownLargeList::~DropDownLargeList() = default;

void DropDownLargeList::showMenu()
{
    if (openLargeList != nullptr)
        openLargeList (*this);
    else
        ZOLDropDownEx::showMenu();
}
