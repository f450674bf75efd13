#include "support/FakeDesktopOpener.h"
#include "support/PumpMessages.h"
#include "support/ScratchFolder.h"
#include "support/WidgetTestKit.h"

#include "skin/window/GenericDialogContent.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/LinkButton.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLPaginationComponent.h"
#include "skin/widgets/ZOLPaintedButton.h"
#include "skin/widgets/ZOLToggleButton.h"

using namespace WidgetTestKit;

namespace
{
std::unique_ptr<juce::XmlElement> paginationSkin()
{
    juce::String xml = R"(<Widget name="pagination" bounds="400,10,300,24" pixelBufferBtnBounds="4"
            pixelBufferDivider="1" pixelBufferBtnNext="10" pixelBufferBtnLast="6">
        <Widget name="btnFirst" positionX="0" width="30" height="20" labelText="|&lt;"/>
        <Widget name="btnPrev" positionX="34" width="30" height="20" labelText="&lt;"/>)";
    for (int i = 1; i <= 5; ++i)
        xml << "<Widget name=\"btn" << i << "\" positionX=\"70\" width=\"20\" height=\"20\" labelText=\"" << i
            << "\" labelFontSize=\"12\"/>";
    for (int i = 1; i <= 6; ++i)
        xml << "<Widget name=\"labelDivider" << i << "\" width=\"3\" height=\"20\" text=\"|\"/>";
    xml << R"(<Widget name="btnNext" width="30" height="20" labelText="&gt;"/>
        <Widget name="btnLast" width="30" height="20" labelText="&gt;|"/>
        <Widget name="searchHeader" width="100" height="20"/><Widget name="btn6"/></Widget>)";
    return juce::parseXML (xml);
}

std::vector<juce::String> labels (ZOLPaginationComponent& p)
{
    std::vector<juce::String> out;
    for (auto* b : p.pageButtons)
        out.push_back (b->getLabelText());
    return out;
}

struct Navigator : juce::ChangeListener
{
    Navigator()
        : xml (paginationSkin())
        , pages (skin, *xml)
    {
        pages.addChangeListener (this);
    }
    ~Navigator() override { pages.removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override
    {
        int argument = 0;
        int code = pages.getChangeCode (&argument);
        seen = { code, argument };
    }

    // Clicks a child button; the code and page the navigator posts, or 0, 0.
    std::pair<int, int> click (ZOLPaintedButton* button)
    {
        seen = { 0, 0 };
        button->click();
        button->dispatchPendingMessages();
        pages.dispatchPendingMessages();
        return seen;
    }

    SkinManager skin;
    std::unique_ptr<juce::XmlElement> xml;
    ZOLPaginationComponent pages;
    std::pair<int, int> seen;
};
} // namespace

TEST (Pagination, PageCountVisibilityAndEnabledButtons)
{
    Navigator n;
    auto& p = n.pages;
    EXPECT_EQ (p.getBounds().getRight(), 700);
    EXPECT_EQ (p.getSelectedIndex(), 0);

    p.setItemCount (0, 20);
    EXPECT_EQ (p.getPageCount(), 0);
    EXPECT_FALSE (p.isVisible());
    EXPECT_FALSE (p.btnNext->isEnabled()); // no pages: nothing lies ahead
    EXPECT_FALSE (p.btnLast->isEnabled());
    p.setItemCount (20, 20);
    EXPECT_EQ (p.getPageCount(), 1);
    EXPECT_FALSE (p.isVisible());
    p.setItemCount (21, 20);
    EXPECT_EQ (p.getPageCount(), 2);
    EXPECT_TRUE (p.isVisible());
    p.setItemCount (5, 0);
    EXPECT_EQ (p.getPageCount(), 1);

    p.setItemCount (60, 20);
    EXPECT_TRUE (p.pageButtons[2]->isEnabled());
    EXPECT_FALSE (p.pageButtons[3]->isEnabled());
    EXPECT_FALSE (p.pageButtons[4]->isEnabled());
    p.setCurrentPage (3);
    EXPECT_EQ (p.getSelectedIndex(), 2);
    EXPECT_FALSE (p.btnNext->isEnabled());
    EXPECT_FALSE (p.btnLast->isEnabled());
    EXPECT_TRUE (p.btnPrev->isEnabled());

    // Huge counts stay within range.
    p.setItemCount (std::numeric_limits<int>::max(), 1);
    EXPECT_LE (p.getPageCount(), ZOLPaginationComponent::maxPages);
    p.setCurrentPage (std::numeric_limits<int>::max());
    EXPECT_EQ (p.getSelectedIndex(), 4);
    EXPECT_EQ (labels (p).back(), juce::String (ZOLPaginationComponent::maxPages));
    p.setItemCount (-5, -1);
    EXPECT_EQ (p.getPageCount(), 0);
}

TEST (Pagination, OurSkinMarksTheCurrentPageAndDimsTheButtonsThatCannotBeUsed)
{
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    auto* section = skin.getSection ("BrakChangeDlg");
    ASSERT_NE (section, nullptr);
    auto* element = section->getChildByAttribute ("name", "pagination");
    ASSERT_NE (element, nullptr);
    ZOLPaginationComponent p (skin, *element);
    p.setItemCount (60, 20); // page 1 of 3

    auto centre = [] (juce::Component& c)
    {
        juce::Image image (juce::Image::ARGB, c.getWidth(), c.getHeight(), true);
        juce::Graphics g (image);
        c.paintEntireComponent (g, true);
        return image.getPixelAt (c.getWidth() / 2, 3);
    };

    EXPECT_NE (centre (*p.pageButtons[0]), centre (*p.pageButtons[1])) << "the current page stands out";
    EXPECT_EQ (centre (*p.pageButtons[1]), centre (*p.pageButtons[2]));
    EXPECT_LT (p.pageButtons[3]->getAlpha(), 0.5f) << "page 4 of 3";
    EXPECT_LT (p.btnPrev->getAlpha(), 0.5f);
    EXPECT_EQ (p.btnNext->getAlpha(), 1.0f);

    // After a move the mark follows the page.
    p.setCurrentPage (2);
    EXPECT_EQ (centre (*p.pageButtons[0]), centre (*p.pageButtons[2]));
    EXPECT_NE (centre (*p.pageButtons[1]), centre (*p.pageButtons[0]));
    EXPECT_EQ (p.btnPrev->getAlpha(), 1.0f);
}

TEST (Pagination, WindowOfFivePagesAndTheCodesOfEachMove)
{
    Navigator n;
    auto& p = n.pages;
    p.setItemCount (240, 20); // 12 pages
    p.setCurrentPage (7);
    EXPECT_EQ (labels (p), std::vector<juce::String> ({ "5", "6", "7", "8", "9" }));
    EXPECT_EQ (p.getSelectedIndex(), 2);
    p.setCurrentPage (11);
    EXPECT_EQ (labels (p), std::vector<juce::String> ({ "8", "9", "10", "11", "12" }));
    EXPECT_EQ (p.getSelectedIndex(), 3);
    p.setCurrentPage (12);
    EXPECT_EQ (p.getSelectedIndex(), 4);
    p.setCurrentPage (50); // past the end: the last page
    EXPECT_EQ (p.getCurrentPage(), 12);
    EXPECT_EQ (labels (p), std::vector<juce::String> ({ "8", "9", "10", "11", "12" }));
    EXPECT_FALSE (p.btnNext->isEnabled());
    EXPECT_EQ (n.click (p.btnNext), std::make_pair (4, 12)); // never past the last page

    EXPECT_EQ (n.click (p.btnFirst), std::make_pair (1, 1));
    EXPECT_EQ (labels (p).front(), "1");
    EXPECT_EQ (n.click (p.btnNext), std::make_pair (4, 2));
    EXPECT_EQ (n.click (p.pageButtons[3]), std::make_pair (3, 4));
    EXPECT_EQ (n.click (p.btnPrev), std::make_pair (2, 3));
    EXPECT_EQ (n.click (p.btnLast), std::make_pair (4, 12));

    // The selected page's button posts nothing.
    EXPECT_EQ (p.getSelectedIndex(), 4);
    EXPECT_EQ (n.click (p.pageButtons[4]), std::make_pair (0, 0));
}

TEST (Pagination, WiderNumbersGrowTheNavigatorToTheLeft)
{
    Navigator n;
    auto& p = n.pages;
    p.setItemCount (2000, 20); // 100 pages
    p.setCurrentPage (95);
    auto right = p.getRight();
    auto width = p.getWidth();
    auto next = p.btnNext->getX();
    p.setCurrentPage (98); // 96 .. 100
    EXPECT_EQ (labels (p).back(), "100");
    EXPECT_GT (p.pageButtons[4]->getWidth(), p.pageButtons[3]->getWidth());
    EXPECT_GT (p.btnNext->getX(), next);
    EXPECT_EQ (p.getRight(), right);
    EXPECT_GT (p.getWidth(), width);
    EXPECT_EQ (p.dividers[5]->getX(), p.pageButtons[4]->getRight() + 1);
}

namespace
{
GenericDialogStyle dialogStyle()
{
    GenericDialogStyle s;
    s.valid = true;
    s.warningIcon = solid (48, 48, juce::Colour (0xFFD9A441));
    s.stopIcon = solid (48, 48, juce::Colour (0xFFC0504D));
    s.questionIcon = solid (48, 48, accent);
    s.logo = solid (120, 30, accent);
    s.textFont = juce::Font (12.0f);
    s.textFontSize = 12.0f;
    s.textColour = ink;
    s.backgroundColour = panel;
    s.imageYOffset = 10;
    s.okButtonUp = solid (80, 24, bezel);
    s.okButtonDown = solid (80, 24, rim);
    s.labelFontSize = 12.0f;
    s.labelColourNormal = ink;
    s.labelJustification = juce::Justification::centred;
    return s;
}

struct ClosingWindow : juce::DocumentWindow
{
    ClosingWindow()
        : juce::DocumentWindow ("dialog", juce::Colours::black, 0, false)
    {
    }
    void closeButtonPressed() override { ++closed; }
    int closed = 0;
};
} // namespace

TEST (DialogFrame, LayoutFollowsTextIconLogoAndHyperlink)
{
    GenericDialogContent d (dialogStyle());
    d.message = "Saved.";
    d.updateLayout();
    EXPECT_EQ (d.getTextRect(), juce::Rectangle<int> (0, 10, 390, 36));
    EXPECT_EQ (d.getCloseButtonRect(), juce::Rectangle<int> (155, 46, 80, 24));
    EXPECT_EQ (d.getHeight(), 10 + 46 + 24);

    d.iconType = 5;
    d.updateLayout();
    EXPECT_EQ (d.getTextRect(), juce::Rectangle<int> (48, 10, 390 - 96, 36));
    for (int beyond : { 7, 8 })
    {
        d.iconType = beyond;
        d.updateLayout();
        EXPECT_EQ (d.getIcon(), nullptr) << beyond;
        EXPECT_EQ (d.getTextRect().getX(), 0) << beyond;
    }

    d.message = "One\nTwo\n" + juce::String::repeatedString ("wide ", 200);
    d.updateLayout();
    auto textWidth =
        juce::roundToInt (juce::Font (12.0f).getStringWidthFloat (juce::String::repeatedString ("wide ", 200)));
    EXPECT_EQ (d.getWidth(), textWidth + 10);
    EXPECT_EQ (d.getTextRect().getHeight(), 60);

    d.message = juce::String::repeatedString ("line\n", 5000);
    d.updateLayout();
    EXPECT_EQ (d.getHeight(), GenericDialogContent::sizeLimit);
    d.message = "One\nTwo\n" + juce::String::repeatedString ("wide ", 200);
    d.updateLayout();

    // Clicked, the link hands its address to the desktop's opener as it is:
    // no shell reads it.
    const juce::String address = "https://example.org/manual?q=$(touch x)";
    d.setHyperlink ("Open the manual", address);
    ASSERT_TRUE (d.getHyperlink()->isVisible());
    auto linked = d.getHeight();
    EXPECT_EQ (d.getHyperlinkRect().getY(), d.getTextRect().getBottom());
    EXPECT_EQ (d.getCloseButtonRect().getY(), d.getHyperlinkRect().getBottom() + 12);
    {
        ScratchFolder scratch;
        FakeDesktopOpener opener (scratch.folder);
        ASSERT_TRUE (opener.isReady());
        juce::Component& link = *d.getHyperlink();
        link.mouseDown (mouse (link, { 2, 2 }));
        link.mouseUp (mouse (link, { 2, 2 }));
        ASSERT_TRUE (pumpMessagesUntil ([&] { return opener.getRecord().existsAsFile(); }, 10000));
        EXPECT_EQ (opener.getRecord().loadFileAsString(), "1\n" + address + "\n");
        EXPECT_TRUE (opener.nothingNamed ("x"));
    }
    d.setHyperlink ({}, {});
    EXPECT_FALSE (d.getHyperlink()->isVisible());
    EXPECT_EQ (d.getHeight(), linked - 15 - 12);

    d.logoMode = true;
    d.iconType = 1;
    d.updateLayout();
    EXPECT_EQ (d.getTextRect().getY(), 10 + 30);
    EXPECT_EQ (d.getTextRect().getX(), 0);
}

TEST (DialogFrame, KeysAndTheCloseButtonCloseTheWindowWithoutAStyleOnlyKeys)
{
    ClosingWindow window;
    auto* d = new GenericDialogContent (dialogStyle());
    window.setContentOwned (d, false);
    EXPECT_TRUE (d->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (d->keyPressed (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_TRUE (d->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_FALSE (d->keyPressed (juce::KeyPress ('x')));
    EXPECT_EQ (window.closed, 3);
    auto* close = d->getCloseButton();
    close->mouseDown (mouse (*close, { 5, 5 }));
    close->dispatchPendingMessages();
    EXPECT_EQ (window.closed, 4);

    GenericDialogContent plain ({});
    plain.message = "No skin";
    plain.updateLayout();
    EXPECT_EQ (plain.getCloseButton(), nullptr);
    EXPECT_EQ (plain.getWidth(), 390);
    EXPECT_EQ (plain.getHeight(), 245);
    EXPECT_EQ (snapshot (plain).getPixelAt (2, 2), juce::Colour (GenericDialogContent::unstyledBackground));
    EXPECT_FALSE (plain.keyPressed (juce::KeyPress ('x'))); // no window: nothing happens
    EXPECT_TRUE (plain.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
}

TEST (DialogFrame, AQuestionOffersItsAnswersInOneRowAndEndsWithTheChosenResult)
{
    for (int way : { 0, 1, 2 }) // Return, a click on the second answer, Escape
    {
        ClosingWindow window;
        auto* d = new GenericDialogContent (dialogStyle());
        window.setContentOwned (d, false);
        d->message = "Save the changes?";
        d->iconType = 3;
        d->setAnswers ({ { "Yes", 1 }, { "No", 2 }, { "Cancel", 0 } });
        ASSERT_EQ (d->getNumAnswers(), 3);
        EXPECT_FALSE (d->getCloseButton()->isVisible());
        for (int i = 0; i < 3; ++i)
        {
            auto bounds = d->getAnswerButton (i)->getBounds();
            EXPECT_TRUE (d->getLocalBounds().contains (bounds)) << i;
            EXPECT_GE (bounds.getY(), d->getTextRect().getBottom()) << i;
            if (i > 0)
            {
                EXPECT_GT (bounds.getX(), d->getAnswerButton (i - 1)->getRight()) << i;
            }
        }

        int result = -1;
        window.enterModalState (false, juce::ModalCallbackFunction::create ([&result] (int r) { result = r; }));
        if (way == 0)
            EXPECT_TRUE (d->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
        else if (way == 1)
        {
            auto* no = d->getAnswerButton (1);
            no->mouseDown (mouse (*no, { 5, 5 }));
            no->dispatchPendingMessages();
        }
        else
            EXPECT_TRUE (d->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        for (int i = 0; i < 100 && result < 0; ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        EXPECT_EQ (result, way == 0 ? 1 : way == 1 ? 2 : 0) << way;
        EXPECT_EQ (window.closed, 1);
    }
}
