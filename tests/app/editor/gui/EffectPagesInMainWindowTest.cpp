#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/UnitIds.h"
#include "skin/knobs/BrakFxReadout.h"
#include "skin/lists/DropDownLargeList.h"
#include "skin/knobs/TriStateSlider.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "skin/widgets/ZOLToggleButton.h"
#include "support/ConnectedProgram.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// Whether any pixel of the area differs from the one at its top-left corner.
bool paintsSomething (const juce::Image& image, juce::Rectangle<int> area)
{
    area = area.getIntersection (image.getBounds());
    if (area.isEmpty())
        return false;

    const auto background = image.getPixelAt (area.getX(), area.getY());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y) != background)
                return true;
    return false;
}

// How many rows of the area carry something drawn brighter than its ground.
int inkRows (const juce::Image& image, juce::Rectangle<int> area)
{
    area = area.getIntersection (image.getBounds());
    if (area.isEmpty())
        return 0;

    const auto ground = image.getPixelAt (area.getX(), area.getY()).getBrightness();
    int rows = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getBrightness() > ground + 0.25f)
            {
                ++rows;
                break;
            }
    return rows;
}

// The text a drop-down shows for the unit's choice: the unit's own text,
// title-cased.
juce::String choiceName (int blockId, int paramId, juce::uint16 value)
{
    auto name = SimulatedPreset::getValueText (blockId, paramId, value);
    toTitleCaseName (name);
    return name;
}

// The widest of the drop-down's names, as drawn, in its field font.
float widestNameWidth (const ZOLDropDownEx& dropDown)
{
    float widest = 0.0f;
    for (int i = 0; i < dropDown.getNumItems(); ++i)
        widest = juce::jmax (
            widest,
            dropDown.getFieldFont (dropDown.getItem (i)->italic).getStringWidthFloat (dropDown.getFieldTextAt (i)));
    return widest;
}
} // namespace

// The Amp, Cab, Pitch and Global pages as a user sees them in the main window
// with the unit connected: every page is saved as a screenshot and checked for
// the layout faults a user would notice.
TEST (EffectPagesInMainWindow, AmpCabPitchAndGlobalPagesAreLaidOutReadably)
{
    KESTREL_REQUIRE_DISPLAY();
    ConnectedProgram program{ "kestrel-effect-pages" };
    auto& unit = program.unit;
    constexpr int ampCell = 0, pitchCell = 1, cabCell = 4, pitchBlock = 130;
    auto preset = unit.getEditBuffer();
    ASSERT_TRUE (preset.placeBlock (pitchCell, pitchBlock));
    unit.setEditBuffer (preset);

    ASSERT_TRUE (program.open());
    auto* grid = program.grid;
    auto* editor = program.editor;
    auto settle = [&] { return program.settle(); };

    int triStates = 0, plainChoices = 0, levels = 0, wholeNumbers = 0;

    struct Shown
    {
        int cell, blockId;
        const char* name;
    };

    for (auto [cell, blockId, name] : { Shown{ ampCell, 106, "amp" }, Shown{ cabCell, 108, "cab" },
                                        Shown{ pitchCell, pitchBlock, "pitch" }, Shown{ -1, blockIdGlobal, "global" } })
    {
        if (cell >= 0)
            ASSERT_TRUE (grid->selectCell (cell)) << name;
        else
            editor->showBlock (blockIdGlobal);
        ASSERT_TRUE (settle()) << name;

        // The header names the block's type as the unit does, in a field wide
        // enough for every type it offers.
        if (const int typeParam = getTypeParamId (blockId); typeParam >= 0)
        {
            auto* types = editor->getEffectTypeDropDown();
            juce::uint16 type = 0;
            ASSERT_TRUE (unit.getParam (blockId, typeParam, type)) << name;
            EXPECT_EQ (types->getFieldText(), choiceName (blockId, typeParam, type)) << name;
            EXPECT_GT (types->getNumItems(), 1) << name;
            EXPECT_LE (widestNameWidth (*types), (float) types->getFieldRect().getWidth()) << name;
        }

        const int pages = editor->getPageNames().size();
        ASSERT_GT (pages, 0) << name;

        for (int page = 0; page < pages; ++page)
        {
            ASSERT_TRUE (editor->showPageByIndex (page)) << name << page;
            ASSERT_TRUE (settle());
            const auto where = juce::String (name) + " page " + juce::String (page + 1);
            EXPECT_TRUE (saveScreenshot (*editor, "effect-page-" + juce::String (name) + "-" + juce::String (page + 1))
                             .existsAsFile());
            auto shot = editor->createComponentSnapshot (editor->getLocalBounds());

            for (int c = 0; c < editor->getNumPageControls(); ++c)
            {
                auto* component = dynamic_cast<juce::Component*> (editor->getPageControl (c));
                if (component == nullptr || ! component->isShowing())
                    continue;

                auto* binding = editor->getPageControl (c);
                const int controlBlock = binding->blockId != 0 ? binding->blockId : blockId;
                juce::uint16 value = 0;
                const bool unitHasIt = unit.getParam (controlBlock, binding->paramId, value);

                if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (component); knob != nullptr && unitHasIt)
                {
                    // The readout shows the unit's text for the value, and the
                    // knob points where the unit places the value in its range.
                    const auto reported = SimulatedPreset::describeValue (controlBlock, binding->paramId, value);
                    const auto text = knob->getReadout()->getText();
                    const auto turned = (knob->getAngle() - knob->angleMin) / (knob->angleMax - knob->angleMin);
                    EXPECT_EQ (text, reported.text) << where << " " << knob->getName();
                    EXPECT_NEAR (turned * 127.0f, (float) reported.flag, 1.0f) << where << " " << knob->getName();

                    // A level reads from 0.00 to its top (10.00, the amp's
                    // master 100.00), as far round as the knob is.
                    if (const auto info = SimulatedPreset::getParamInfo (controlBlock, binding->paramId);
                        info.getKind() == B_LIN)
                    {
                        ++levels;
                        EXPECT_TRUE (text.containsOnly ("0123456789.") && text.getDoubleValue() <= info.maximum)
                            << where << " " << knob->getName() << " " << text;
                        EXPECT_NEAR (turned * info.maximum, text.getDoubleValue(), info.maximum / 100.0)
                            << where << " " << knob->getName();
                    }
                    else
                    {
                        ++wholeNumbers;
                    }
                }

                if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (component))
                {
                    // The caption reads in full at its size: one too long for
                    // a line is drawn on two, never squeezed onto one.
                    const auto& caption = knob->getCaption();
                    const auto words = juce::StringArray::fromTokens (caption.text, false);
                    for (auto& word : words)
                        EXPECT_LE (caption.font.getStringWidthFloat (word), (float) caption.rect.getWidth())
                            << where << " " << caption.text;
                    if (caption.font.getStringWidthFloat (caption.text) > (float) caption.rect.getWidth())
                    {
                        EXPECT_GT ((float) inkRows (shot, editor->getLocalArea (knob, caption.rect)),
                                   1.1f * caption.font.getHeight())
                            << where << " " << caption.text;
                    }
                }

                if (auto* toggle = dynamic_cast<ZOLToggleButton*> (component))
                {
                    // A switch's caption is drawn unsqueezed: it must fit its line.
                    const auto& caption = toggle->mainLabel;
                    EXPECT_LE (caption.font.withHeight (caption.height).getStringWidthFloat (caption.text),
                               (float) caption.rect.getWidth())
                        << where << " " << caption.text;
                }

                if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (component))
                {
                    // It shows a choice; where the list is the unit's own, the
                    // unit's current one. The unit's names may be long: each
                    // fits its field squeezed no more than the field allows.
                    EXPECT_TRUE (dropDown->getFieldText().isNotEmpty()) << where << " " << dropDown->getName();
                    const auto unitsChoice = choiceName (controlBlock, binding->paramId, value);
                    bool listsTheUnitsNames = false;
                    for (int i = 0; i < dropDown->getNumItems(); ++i)
                        listsTheUnitsNames |= dropDown->getItem (i)->text == unitsChoice;
                    if (unitHasIt && listsTheUnitsNames)
                    {
                        ++plainChoices;
                        EXPECT_EQ (dropDown->getFieldText(), unitsChoice) << where << " " << dropDown->getName();
                    }
                    EXPECT_LE (widestNameWidth (*dropDown) * ZOLDropDownEx::minimumFieldTextScale,
                               (float) dropDown->getFieldRect().getWidth())
                        << where << " " << dropDown->getName();

                    // The caption stands clear of the field.
                    EXPECT_FALSE (dropDown->getLabelRect().intersects (dropDown->getFieldRect()))
                        << where << " " << dropDown->getName();

                    // A large list's long names read unsqueezed, and its arrows
                    // stay off the next control.
                    if (dynamic_cast<DropDownLargeList*> (dropDown) != nullptr)
                    {
                        EXPECT_LE (widestNameWidth (*dropDown), (float) dropDown->getFieldRect().getWidth())
                            << where << " " << dropDown->getName();
                        for (int other = 0; other < editor->getNumPageControls(); ++other)
                        {
                            auto* next = dynamic_cast<juce::Component*> (editor->getPageControl (other));
                            if (next != nullptr && next != component && next->isShowing())
                            {
                                EXPECT_FALSE (next->getBounds().intersects (component->getBounds()))
                                    << where << " " << dropDown->getName() << " covers " << next->getName();
                            }
                        }
                    }
                    // Arrow buttons big enough to hit.
                    EXPECT_GE (dropDown->getUpButton().getWidth(), 14) << where;
                    EXPECT_GE (dropDown->getDownButton().getWidth(), 14) << where;
                }

                if (auto* slider = dynamic_cast<TriStateSlider*> (component))
                {
                    ++triStates;
                    // A short vertical slot, its position names beside it, one
                    // under the other, each readable in full.
                    const auto slot = slider->getBackgroundRect();
                    EXPECT_GT (slot.getHeight(), slot.getWidth()) << where;
                    EXPECT_TRUE (paintsSomething (shot, editor->getLocalArea (slider, slot))) << where;

                    for (int i = 0; i < TriStateSlider::maxPositions; ++i)
                    {
                        auto* label = slider->getPositionLabel (i);
                        if (label == nullptr || label->getText().isEmpty())
                            continue;

                        EXPECT_GE (label->getX(), slot.getRight()) << where << " " << label->getText();
                        EXPECT_LE (label->getRight(), slider->getWidth()) << where << " " << label->getText();
                        EXPECT_GE (label->getWidth(), label->getFont().getStringWidth (label->getText()))
                            << where << " " << label->getText();

                        auto* next = slider->getPositionLabel (i + 1);
                        if (next != nullptr && next->getText().isNotEmpty())
                        {
                            EXPECT_GE (next->getY(), label->getBottom() - 1) << where;
                        }
                    }
                }
            }
        }
    }

    EXPECT_GT (triStates, 0);
    EXPECT_GT (plainChoices, 5);
    EXPECT_GT (levels, 20);
    EXPECT_GT (wholeNumbers, 0);
}
