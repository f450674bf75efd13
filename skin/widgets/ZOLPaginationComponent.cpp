#include "skin/widgets/ZOLPaginationComponent.h"

#include "skin/engine/SkinAttributes.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/SkinWidgetReaders.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"

ZOLPaginationComponent::ZOLPaginationComponent (const SkinManager& skin, const juce::XmlElement& widget)
{
    auto bounds = SkinAttributes::rectangle (widget, "bounds");
    constexpr int gapLimit = 10000;
    pixelBufferBtnBounds = SkinAttributes::clampedInt (widget, "pixelBufferBtnBounds", gapLimit);
    pixelBufferDivider = SkinAttributes::clampedInt (widget, "pixelBufferDivider", gapLimit);
    pixelBufferBtnNext = SkinAttributes::clampedInt (widget, "pixelBufferBtnNext", gapLimit);
    pixelBufferBtnLast = SkinAttributes::clampedInt (widget, "pixelBufferBtnLast", gapLimit);

    for (auto* child : SkinAttributes::children (widget, "Widget"))
    {
        auto name = child->getStringAttribute ("name");
        juce::Component* made = nullptr;

        if (name == "searchHeader" || name.startsWith ("labelDivider"))
        {
            int index = name.getTrailingIntValue();
            bool divider = name != "searchHeader";
            if (divider && (name != "labelDivider" + juce::String (index) || index < 1 || index > 6))
                continue;
            auto label = skin.createLabelComponent (child, name);
            (divider ? dividers[(size_t) index - 1] : searchHeader) = label.get();
            made = label.get();
            owned.push_back (std::move (label));
        }
        else
        {
            ZOLPaintedButton** slot = nullptr;
            if (name == "btnFirst")
                slot = &btnFirst;
            else if (name == "btnPrev")
                slot = &btnPrev;
            else if (name == "btnNext")
                slot = &btnNext;
            else if (name == "btnLast")
                slot = &btnLast;
            else
                for (int i = 0; i < 5; ++i)
                    if (name == "btn" + juce::String (i + 1))
                        slot = &pageButtons[(size_t) i];
            if (slot == nullptr)
                continue;
            auto button = SkinWidgetReaders::createPaintedButton (skin, *child);
            button->addChangeListener (this);
            *slot = button.get();
            made = button.get();
            owned.push_back (std::move (button));
        }
        addAndMakeVisible (made);
    }

    setBounds (bounds);
    layoutPageButtons();
    refreshNavigation();
    if (pageButtons[0] != nullptr)
        selectButton (pageButtons[0]);
    setBounds (bounds);
    rememberUnscaledBounds (bounds);
}

ZOLPaginationComponent::~ZOLPaginationComponent()
{
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        it->reset();
}

int ZOLPaginationComponent::labelNumber (const ZOLPaintedButton* button)
{
    return button != nullptr ? button->getLabelText().getIntValue() : 0;
}

int ZOLPaginationComponent::getSelectedIndex() const
{
    for (int i = 0; i < 5; ++i)
        if (selected != nullptr && pageButtons[(size_t) i] == selected)
            return i;
    return -1;
}

void ZOLPaginationComponent::setItemCount (int totalItems, int itemsPerPage)
{
    total = totalItems;
    perPage = itemsPerPage;
    if (perPage == 0)
        pageCount = 1;
    else if (total <= 0 || perPage < 0)
        pageCount = 0;
    else
        pageCount = juce::jmin (maxPages, total / perPage + (total % perPage != 0 ? 1 : 0));

    if (pageCount > 1)
        setVisible (true);
    else
    {
        setVisible (false);
        currentPage = 1;
    }
    refreshNavigation();
}

void ZOLPaginationComponent::setCurrentPage (int page)
{
    // A page past the last one shows the last one.
    currentPage = juce::jlimit (1, pageCount >= 1 ? pageCount : maxPages, page);
    numberPageButtons();
    layoutPageButtons();
}

void ZOLPaginationComponent::postChangeCode (int code, int argument)
{
    {
        const juce::ScopedLock sl (codeLock);
        lastCode = code;
        lastArgument = argument;
    }
    sendChangeMessage();
}

int ZOLPaginationComponent::getChangeCode (int* argument) const
{
    const juce::ScopedLock sl (codeLock);
    if (argument != nullptr)
        *argument = lastArgument;
    return lastCode;
}

void ZOLPaginationComponent::numberPageButtons()
{
    const int P = pageCount, c = currentPage;
    int first = 0, selectedIndex = -1;

    if (c >= 1 && c <= 5 && P <= 5)
        first = 1, selectedIndex = c - 1;
    else if (c == 1 || c == 2)
        first = 1, selectedIndex = c - 1;
    else if (c >= 3 && c <= P - 2)
        first = c - 2, selectedIndex = 2;
    else if (c == P - 1 && c >= 3)
        first = c - 3, selectedIndex = 3;
    else if (c == P && c >= 3)
        first = c - 4, selectedIndex = 4;
    else
        return;

    for (int i = 0; i < 5; ++i)
        if (auto* b = pageButtons[(size_t) i])
            b->setLabelText (juce::String (first + i));
    selectButton (pageButtons[(size_t) selectedIndex]);
}

void ZOLPaginationComponent::selectButton (ZOLPaintedButton* button)
{
    for (auto* b : pageButtons)
        if (b != nullptr)
            b->setOn (false);
    if (button != nullptr)
        button->setOn (true);
    selected = button;
    refreshNavigation();
}

void ZOLPaginationComponent::refreshNavigation()
{
    // Without pages there is no last-page button: nothing lies ahead.
    ZOLPaintedButton* lastPageButton = nullptr;
    if (pageCount >= 5)
        lastPageButton = pageButtons[4];
    else if (pageCount >= 1)
        lastPageButton = pageButtons[(size_t) pageCount - 1];

    if (selected != nullptr)
    {
        bool atStart = selected == pageButtons[0];
        bool atEnd = lastPageButton == nullptr || selected == lastPageButton;
        for (auto* b : { btnFirst, btnPrev })
            if (b != nullptr)
                b->setEnabled (! atStart);
        for (auto* b : { btnNext, btnLast })
            if (b != nullptr)
                b->setEnabled (! atEnd);
    }

    for (auto* b : pageButtons)
        if (b != nullptr)
            b->setEnabled (labelNumber (b) <= pageCount);
}

void ZOLPaginationComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (! isEnabled())
        return;

    if (source == btnFirst && btnFirst != nullptr)
    {
        currentPage = 1;
        postChangeCode (1, 1);
    }
    else if (source == btnPrev && btnPrev != nullptr)
    {
        if (currentPage > 1)
            --currentPage;
        postChangeCode (2, currentPage);
    }
    else if (source == btnNext && btnNext != nullptr)
    {
        if (currentPage < pageCount)
            ++currentPage;
        postChangeCode (4, currentPage);
    }
    else if (source == btnLast && btnLast != nullptr)
    {
        currentPage = juce::jmax (1, pageCount);
        postChangeCode (4, currentPage);
    }
    else
    {
        for (auto* b : pageButtons)
            if (b != nullptr && source == b && b != selected)
            {
                currentPage = juce::jlimit (1, maxPages, labelNumber (b));
                postChangeCode (3, currentPage);
            }
    }
    numberPageButtons();
    layoutPageButtons();
}

void ZOLPaginationComponent::layoutPageButtons()
{
    ZOLPaintedButton* previous = nullptr;
    for (size_t i = 0; i < pageButtons.size(); ++i)
    {
        auto* b = pageButtons[i];
        if (b == nullptr || b->getLabelText().isEmpty())
            continue;
        auto text = b->getLabelText();
        auto padded = text + juce::String::repeatedString (" ", text.length());
        auto width =
            juce::roundToInt (b->getLabelFont().withHeight (b->getLabelFontHeight()).getStringWidthFloat (padded));
        int x = previous != nullptr ? previous->getRight() + pixelBufferBtnBounds : b->getX();
        b->setBounds (x, b->getY(), width, b->getHeight());
        if (auto* divider = dividers[i + 1])
            divider->setTopLeftPosition (b->getRight() + pixelBufferDivider, divider->getY());
        previous = b;
    }

    if (btnNext != nullptr && pageButtons[4] != nullptr)
        btnNext->setTopLeftPosition (pageButtons[4]->getRight() + pixelBufferBtnNext, btnNext->getY());
    if (btnLast != nullptr && btnNext != nullptr)
        btnLast->setTopLeftPosition (btnNext->getRight() + pixelBufferBtnLast, btnLast->getY());

    if (btnLast != nullptr)
    {
        int newWidth = juce::jmax (0, btnLast->getRight());
        int right = getRight();
        setBounds (right - newWidth, getY(), newWidth, getHeight());
    }
}
