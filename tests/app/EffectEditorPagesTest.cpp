#include "app/EffectEditorContent.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/UnitIds.h"
#include "skin/KestrelControlManager.h"
#include "skin/SkinManager.h"
#include "skin/ZOLDropDownEx.h"
#include "skin/ZOLEffectParam.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace
{
// The first block id of an effect type, 0 when the unit has none.
int blockOfType (int effectType)
{
    for (int id = 1; id <= lastShuntId; ++id)
        if (effectTypeOfBlock (id) == effectType)
            return id;

    return 0;
}

// The program's skin, layouts and templates around one effect editor that no
// unit feeds.
struct EditorOnItsOwn
{
    EditorOnItsOwn()
    {
        EXPECT_TRUE (skin.loadBuiltInSkin().wasOk());
        controls.loadFromSkin (&skin, skin.getSkinRoot());
        juce::String error;
        EXPECT_TRUE (loadEffectLayouts (layouts, error)) << error;
        int major = 0, minor = 0;
        getRequiredFirmware (8, major, minor);
        effects.setFirmware (major, minor);
        editor = std::make_unique<EffectEditorContent> (&skin, &presets, &effects, &layouts, &controls);
    }

    // Makes the block report the type name that picks a layout variant.
    void setTypeName (int blockId, const juce::String& name)
    {
        const int typeParam = getTypeParamId (blockId);

        if (typeParam < 0)
            return;

        EffectParamValue value;
        value.blockId = (juce::uint16) blockId;
        value.paramId = (juce::uint16) typeParam;
        value.text = name;
        effects.storeParamValue (0, value);
    }

    SkinManager skin;
    KestrelControlManager controls;
    KestrelEffectLayoutManager layouts;
    KestrelEffectManager effects;
    PresetManager presets{ nullptr, &effects, nullptr };
    std::unique_ptr<EffectEditorContent> editor;
};
} // namespace

TEST (EffectEditorPages, EveryPageOfEveryEffectTypeHasControlsAndEveryControlItsParameter)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    ASSERT_GT (rig.layouts.getNumLayouts(), 30);
    int pagesWalked = 0, controlsSeen = 0;

    for (int l = 0; l < rig.layouts.getNumLayouts(); ++l)
    {
        auto* layout = rig.layouts.getLayout (l);
        const int block = blockOfType (layout->effectType);

        if (block == 0)
            continue; // the modifier dialog's layout has no block of its own

        for (auto* variant : layout->variants)
        {
            rig.setTypeName (block, variant->name);
            editor.showBlock (0);
            editor.showBlock (block);
            const auto names = editor.getPageNames();
            EXPECT_FALSE (names.isEmpty()) << getNameForId (EffectTypeNames, (juce::uint32) layout->effectType);

            for (int p = 0; p < names.size(); ++p)
            {
                ASSERT_TRUE (editor.showPageByIndex (p));
                const auto where = juce::String (block) + " \"" + variant->name + "\" page \"" + names[p] + "\"";

                if (editor.isSpecialPage (names[p]))
                    continue;

                ++pagesWalked;
                EXPECT_GT (editor.getNumPageControls(), 0) << where << " has nothing on it";

                for (int c = 0; c < editor.getNumPageControls(); ++c)
                {
                    auto* control = editor.getPageControl (c);
                    auto* component = dynamic_cast<juce::Component*> (control);
                    ++controlsSeen;
                    ASSERT_NE (component, nullptr);
                    EXPECT_NE (control->paramId, 0xFFFF) << where << ": " << component->getName();
                    EXPECT_NE (control->paramId, KestrelEffectLayoutManager::unnamedParameterId)
                        << where << ": " << component->getName() << " names no parameter the unit knows";
                    EXPECT_TRUE (editor.getLocalBounds().contains (component->getBounds()))
                        << where << ": " << component->getName() << " lies outside the editor at "
                        << component->getBounds().toString();
                }
            }
        }
    }

    EXPECT_GT (pagesWalked, 60);
    EXPECT_GT (controlsSeen, 500);
}

TEST (EffectEditorPages, ChoicesAreNumberedAndTitleCasedAndPagesWrapAround)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;
    constexpr int ampBlock = 106;

    auto findInputSelect = [&editor]() -> ZOLDropDownEx*
    {
        for (int c = 0; c < editor.getNumPageControls(); ++c)
            if (auto* dropDown = dynamic_cast<ZOLDropDownEx*> (editor.getPageControl (c)))
                if (dropDown->getName() == "Input Select")
                    return dropDown;

        return nullptr;
    };

    editor.showBlock (ampBlock);
    auto* inputSelect = findInputSelect();
    ASSERT_NE (inputSelect, nullptr);
    EXPECT_EQ (inputSelect->getNumItems(), 0); // nothing known of the parameter yet

    // The unit's names of the choices, as the unit writes them.
    ParamInfo info;
    info.descriptor = B_INT << 4;
    info.maximum = 2.0f;
    info.displayMultiplier = 1.0f;
    const int paramId = inputSelect->paramId;
    ASSERT_TRUE (rig.effects.storeParamInfo (ampBlock, paramId, info));
    ASSERT_TRUE (rig.effects.storeParamStrings (ampBlock, paramId, { "LEFT", "STEREO", "INPUT 10", "INPUT 9" }));

    ASSERT_TRUE (editor.showPageByIndex (0));
    inputSelect = findInputSelect();
    ASSERT_NE (inputSelect, nullptr);
    ASSERT_EQ (inputSelect->getNumItems(), 4);
    EXPECT_EQ (inputSelect->getItem (0)->shortText, "1  ");
    EXPECT_EQ (inputSelect->getItem (0)->text, "Input 9");
    EXPECT_EQ (inputSelect->getItem (0)->value, 3);
    EXPECT_EQ (inputSelect->getItem (3)->text, "Stereo");
    EXPECT_EQ (inputSelect->getItem (3)->value, 1);

    const int pages = editor.getPageNames().size();
    ASSERT_GT (pages, 1);
    EXPECT_TRUE (editor.showPageByIndex (pages));
    EXPECT_EQ (editor.getCurrentPageIndex(), 0);
    EXPECT_TRUE (editor.showPageByIndex (-1));
    EXPECT_EQ (editor.getCurrentPageIndex(), pages - 1);
}

TEST (EffectEditorPages, ScreenshotsOfSeveralEffectTypes)
{
    EditorOnItsOwn rig;
    auto& editor = *rig.editor;

    for (auto [block, name] : { std::pair<int, const char*> (106, "amp"),
                                { 112, "delay" },
                                { 110, "reverb" },
                                { 141, "controllers" },
                                { 102, "graphic-eq" } })
    {
        editor.showBlock (block);
        const auto file = saveScreenshot (editor, juce::String ("effect-editor-") + name);
        EXPECT_TRUE (file.existsAsFile()) << name;
    }
}
