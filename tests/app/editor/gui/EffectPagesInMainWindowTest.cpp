#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLayoutDocument.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/UnitIds.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/SkinManager.h"
#include "skin/knobs/TriStateSlider.h"
#include "skin/knobs/ZOLRotaryKnob.h"
#include "skin/widgets/ZOLDropDownEx.h"
#include "skin/widgets/ZOLLabelComponent.h"
#include "support/CachedDefinitions.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

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
} // namespace

// The Amp, Cab, Pitch and Global pages as a user sees them in the main window
// with the unit connected: every page is saved as a screenshot and checked for
// the layout faults a user would notice.
TEST (EffectPagesInMainWindow, AmpCabPitchAndGlobalPagesAreLaidOutReadably)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-effect-pages" };

    struct Cleanup
    {
        ~Cleanup()
        {
            KestrelControlManager::deleteInstance();
            KestrelEffectLayoutManager::deleteInstance();
        }
    } cleanup;

    ASSERT_TRUE (cacheDefinitionsOfTheSimulatedUnit());
    RecordingNotifier notices;
    VirtualMidiBackend backend;
    VirtualMidiBackend::Installed useBackend (backend);
    SimulatedKestrel unit (backend);
    constexpr int ampCell = 0, pitchCell = 1, cabCell = 4, pitchBlock = 130;
    auto preset = unit.getEditBuffer();
    ASSERT_TRUE (preset.placeBlock (pitchCell, pitchBlock));
    unit.setEditBuffer (preset);

    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    juce::String layoutError;
    ASSERT_TRUE (loadEffectLayouts (*KestrelEffectLayoutManager::getInstance(), layoutError)) << layoutError;
    KestrelControlManager::getInstance()->loadFromSkin (&skin, skin.getSkinRoot());

    MainAppWindow window ("Kestrel-Edit", &skin);
    window.setVisible (true);
    auto* content = window.getContent();
    auto* grid = content->getPaneAs<GridUnitContent> (ContentPane::grid);
    auto* editor = content->getPaneAs<EffectEditorContent> (ContentPane::effectEditor);
    ASSERT_TRUE (grid != nullptr && editor != nullptr);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return window.isShowingConnected(); }));
    auto* presets = PresetManager::getInstanceWithoutCreating();
    auto settle = [&] { return pumpMessagesUntil ([&] { return ! presets->hasWork(); }); };
    ASSERT_TRUE (settle());

    int triStates = 0;

    for (auto [cell, name] : { std::pair<int, const char*> (ampCell, "amp"),
                               { cabCell, "cab" },
                               { pitchCell, "pitch" },
                               { -1, "global" } })
    {
        if (cell >= 0)
            ASSERT_TRUE (grid->selectCell (cell)) << name;
        else
            editor->showBlock (blockIdGlobal);
        ASSERT_TRUE (settle()) << name;

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

                if (auto* knob = dynamic_cast<ZOLRotaryKnob*> (component))
                {
                    // The caption reads in full, squeezed no more than a little.
                    const auto& caption = knob->getCaption();
                    EXPECT_LE (caption.font.getStringWidthFloat (caption.text) * WidgetLabel::minimumHorizontalScale,
                               (float) caption.rect.getWidth())
                        << where << " " << caption.text;
                }

                if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (component))
                {
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
                            EXPECT_GE (next->getY(), label->getBottom() - 1) << where;
                    }
                }
            }
        }
    }

    EXPECT_GT (triStates, 0);
}
