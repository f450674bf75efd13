#include "support/WidgetTestKit.h"

#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/SkinManager.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "support/ScriptedInteraction.h"

using namespace WidgetTestKit;

namespace
{
DropDownStyle makeStyle()
{
    DropDownStyle s;
    auto arrow = solid (12, 9, rim);
    s.upNormal = s.upOver = s.upOn = arrow;
    s.downNormal = s.downOver = s.downOn = arrow;
    s.plusNormal = s.plusOver = s.plusOn = solid (12, 10, accent);
    s.modifierNormal = s.modifierOver = s.modifierOn = solid (12, 10, accent);
    s.fieldSmall = field (40, 16);
    s.fieldNormal = field (60, 18);
    s.fieldLarge = field (90, 18);
    s.fieldHuge = field (120, 36);
    s.labelFontHeight = 11.6f; // lh = 12
    s.labelColour = ink;
    s.fieldColour = ink;
    s.fieldFontHeight = 12.0f;
    s.fieldJustification = juce::Justification::centred;
    s.xOffsetBtnFromField = 2;
    s.yOffsetField = 3;
    s.yOffsetLabel = 20;
    return s;
}

struct DropDown : ZOLDropDownEx
{
    DropDown()
        : ZOLDropDownEx (makeStyle(), nullptr, nullptr, nullptr)
    {
    }
};

void fill (ZOLDropDownEx& d, int selected = 0)
{
    ASSERT_TRUE (d.setItems ({ "A", " B ", "", "  ", "E" }, { "Amp", "Bass", "Cab", "Drive", "Echo" },
                             { 10, 20, 30, 40, 50 }, { 0, 1 }, selected));
}
} // namespace

TEST (DropDown, ItemsSelectionAndStepping)
{
    DropDown d;
    CodeRecorder codes (d);
    EXPECT_FALSE (d.getUpButton().isEnabled());
    EXPECT_FALSE (d.setItems ({}, { "a", "b" }, { 1 }, {}, 0));
    EXPECT_EQ (d.getNumItems(), 0);
    d.setChildEnabled (&d.getUpButton(), true);
    d.stepUp(); // empty: nothing, no division by zero
    d.setFromDevice (5, 0, {});
    EXPECT_EQ (d.getSelectedIndex(), -1);
    EXPECT_EQ (d.getDisplayText(), "");

    fill (d, 7);
    EXPECT_EQ (d.getSelectedIndex(), 0);
    EXPECT_TRUE (d.getUpButton().isEnabled());
    fill (d, -1);
    EXPECT_EQ (d.getSelectedIndex(), -1);
    EXPECT_EQ (d.getUnitValue(), 0);
    d.stepDown();
    EXPECT_EQ (d.getSelectedIndex(), 0);
    d.stepUp();
    EXPECT_EQ (d.getSelectedIndex(), 4);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 4 }));
    d.stepDown();
    EXPECT_EQ (d.getSelectedIndex(), 0);

    d.setFromDevice (40, 0, {});
    EXPECT_EQ (d.getUnitValue(), 40);
    // A value none of the items has shows the unit's text, never another entry.
    d.setFromDevice (41, 0, " Newer ");
    EXPECT_EQ (d.getSelectedIndex(), -1);
    EXPECT_EQ (d.getFieldText(), "Newer");
    EXPECT_EQ (d.getUnitValue(), 41);
    EXPECT_TRUE (d.getItem (1)->italic);
    EXPECT_FALSE (d.getItem (4)->italic); // flags fewer than items

    d.showShortText = true;
    d.setFromDevice (20, 0, {});
    EXPECT_EQ (d.getFieldText(), "B: Bass");
    d.setFromDevice (40, 0, {});
    EXPECT_EQ (d.getFieldText(), "Drive");
}

TEST (DropDown, ItsMenuGoesThroughTheInteractionSeam)
{
    DropDown d;
    fill (d, 0);
    ScriptedInteraction user;
    user.answerMenuWithItem ("Drive");
    d.showMenu();
    ASSERT_EQ (user.menus.size(), 1u);
    EXPECT_EQ (user.menus[0].itemTexts, juce::StringArray ({ "Amp", "Bass", "Cab", "Drive", "Echo" }));
    EXPECT_EQ (d.getSelectedIndex(), 3);
    d.showMenu(); // dismissed: nothing changes
    EXPECT_EQ (d.getSelectedIndex(), 3);
}

TEST (DropDown, MenuChoicesKeysAndExtraButtons)
{
    DropDown d;
    fill (d, 1);
    CodeRecorder codes (d);
    d.handleMenuResult (2); // the current entry
    EXPECT_TRUE (codes.take().empty());
    d.alwaysNotify = true;
    d.handleMenuResult (2);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 4 }));
    d.handleMenuResult (0);
    d.handleMenuResult (99);
    EXPECT_TRUE (codes.take().empty());
    d.handleMenuResult (5);
    EXPECT_EQ (d.getSelectedIndex(), 4);

    EXPECT_TRUE (d.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
    EXPECT_EQ (d.getSelectedIndex(), 0);
    codes.take();
    EXPECT_TRUE (d.keyPressed (juce::KeyPress ('m')));
    EXPECT_TRUE (codes.take().empty()); // the modifier button is disabled until shown
    d.setExtraButton (1);
    EXPECT_TRUE (d.getModifierButton().isVisible());
    EXPECT_FALSE (d.keyPressed (juce::KeyPress ('m', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_TRUE (d.keyPressed (juce::KeyPress ('m')));
    EXPECT_EQ (codes.take(), std::vector<int> ({ 3 }));

    // The plus button is usable once shown; its menu reports the choice.
    d.setExtraButton (2);
    EXPECT_TRUE (d.getPlusButton().isEnabled());
    d.plusTexts = { "Add", "Remove" };
    d.plusValues = { 7 };
    d.showPlusMenu();
    EXPECT_EQ (codes.take(), std::vector<int> ({ 1 })); // lists differ in length
    d.plusValues.add (9);
    d.handlePlusMenuResult (2);
    EXPECT_EQ (d.getSecondaryValue(), 9);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 11 }));
    d.handlePlusMenuResult (0);
    EXPECT_EQ (codes.take(), std::vector<int> ({ 1 }));

    d.mouseDown (mouse (d, { d.getWidth() - 1, d.getHeight() - 1 }, {}, 2));
    EXPECT_EQ (codes.take(), std::vector<int> ({ 9 }));
    d.setEnabled (false);
    EXPECT_FALSE (d.keyPressed (juce::KeyPress (juce::KeyPress::downKey)));
}

TEST (DropDown, LayoutPerLabelPlacement)
{
    DropDown d; // field 60 x 18, arrows 12 x 9 (column 18 high), gap 2, lh 12
    d.setLabel (1, "Type");
    EXPECT_EQ (d.getLabelRect(), juce::Rectangle<int> (0, 0, 60, 17));
    EXPECT_EQ (d.getFieldRect(), juce::Rectangle<int> (0, 17, 60, 18));
    EXPECT_EQ (d.getUpButton().getPosition(), juce::Point<int> (62, 17));
    EXPECT_EQ (d.getBounds().getWidth(), 74);
    EXPECT_EQ (d.getHeight(), 35);

    d.setExtraButton (1); // column 28: yc = 9 - 14 = -5
    d.setLabel (3, "Type");
    EXPECT_EQ (d.getFieldRect().getPosition(), juce::Point<int> (0, 5));
    EXPECT_EQ (d.getUpButton().getY(), 0);
    EXPECT_EQ (d.getModifierButton().getY(), 9);
    EXPECT_EQ (d.getLabelRect(), juce::Rectangle<int> (0, 23, 74, 12));
    EXPECT_EQ (d.getHeight(), 35);

    d.besideLabelWidth = 30;
    d.setLabel (4, "Type");
    EXPECT_EQ (d.getLabelRect(), juce::Rectangle<int> (0, 5, 30, 18));
    EXPECT_EQ (d.getFieldRect().getPosition(), juce::Point<int> (30, 5));
    EXPECT_EQ (d.getUpButton().getX(), 92);
    EXPECT_EQ (d.getWidth(), 104);
    EXPECT_EQ (d.getHeight(), 28);

    d.setLabel (2, "Two lines");
    EXPECT_EQ (d.getLabelLineCount(), 2);
    EXPECT_EQ (d.getFieldRect().getPosition(), juce::Point<int> (0, 3));
    EXPECT_EQ (d.getUpButton().getY(), -2);
    EXPECT_EQ (d.getLabelRect(), juce::Rectangle<int> (0, 20, 74, 24));

    d.setLabel (0, "ignored");
    d.fieldSize = 3;
    d.updateLayout();
    EXPECT_EQ (d.getFieldRect(), juce::Rectangle<int> (0, 0, 120, 36));
    d.fieldSize = 9; // outside 0..3 keeps the last field and draws none
    d.updateLayout();
    EXPECT_EQ (d.getFieldRect(), juce::Rectangle<int> (0, 0, 120, 36));
    snapshot (d);
}

TEST (ControlTemplates, UnitTemplatesAreReadByExactNameAndTheLargeListNeedsASkin)
{
    SkinManager skin;
    skin.addImage ("on.png", solid (30, 14, accent));
    skin.addImage ("field.png", field (70, 20));
    auto root = juce::parseXML (R"(<SKIN><GenericControls>
        <Widget name="DropDownMenu" fieldBackground="field.png" offsetXBtnsFromField="3" fieldFontSize="13"/>
        <Widget name="toggle" imageOn="on.png" controlWidth="40" labelFont="x.stf" labelFontColor="ff112233"
                labelFontColorDown="ff445566" onLabelText="ON"/>
        <Widget name="Toggle" controlWidth="99"/>
        <Widget name="tristate_slider" trackMinPosition="3"/>
        <Widget name="tristate_slider" knobCenter="15,14" trackMinPosition="5"/>
        <Widget controlWidth="1"/>
      </GenericControls></SKIN>)");
    ASSERT_NE (root, nullptr);

    KestrelControlManager manager;
    EXPECT_EQ (manager.createDropDownLargeList (1, 2, 1, nullptr, "Preset"), nullptr);
    manager.loadFromSkin (&skin, root.get());

    auto& toggle = manager.getToggleStyle();
    EXPECT_TRUE (toggle.loaded);
    EXPECT_EQ (toggle.controlWidth, 40);
    EXPECT_EQ (toggle.imageRect, juce::Rectangle<int> (0, 0, 30, 14));
    EXPECT_EQ (toggle.labels[0].over, juce::Colour (0xFF112233));
    EXPECT_EQ (toggle.labels[0].down, juce::Colour (0xFF445566));
    EXPECT_EQ (toggle.labels[2].text, "ON");
    EXPECT_FALSE (manager.getToggleSingleLineStyle().loaded);
    EXPECT_EQ (manager.getToggleSingleLineStyle().labels[0].fontSize, 12.0f);
    EXPECT_TRUE (manager.getTriStateSliderStyle().loaded);
    EXPECT_EQ (manager.getTriStateSliderStyle().trackMinPosition, 5);
    EXPECT_EQ (manager.getTriStateSliderStyle().knobCenter, juce::Point<int> (15, 14));
    EXPECT_FALSE (manager.getBiStateSliderStyle().loaded);

    auto large = manager.createDropDownLargeList (1, 2, 1, nullptr, "Preset");
    ASSERT_NE (large, nullptr);
    EXPECT_EQ (large->getFieldRect().getWidth(), 70);
    EXPECT_EQ (large->getUpButton().getX(), 73);
    EXPECT_TRUE (large->getPlusButton().isVisible());
    // A click on the field opens its list (the popup, with no large list about).
    ScriptedInteraction user;
    large->mouseDown (mouse (*large, large->getFieldRect().getCentre()));
    EXPECT_EQ (user.menus.size(), 1u);

    // No section: nothing loaded, nothing crashes.
    KestrelControlManager bare;
    bare.loadFromSkin (&skin, nullptr);
    EXPECT_FALSE (bare.getToggleStyle().loaded);
}
