#include "app/DialogCommands.h"
#include "app/EffectEditorContent.h"
#include "app/GridUnitContent.h"
#include "app/KestrelBlockComponent.h"
#include "app/KestrelCommandTarget.h"
#include "app/KestrelContentComponent.h"
#include "app/MainAppWindow.h"
#include "app/ModifierDlgContent.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLayoutDocument.h"
#include "model/BlockLibraryEntry.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/UnitIds.h"
#include "model/UserFolders.h"
#include "skin/KestrelControlManager.h"
#include "skin/SkinManager.h"
#include "skin/XYToggleComponent.h"
#include "support/CachedDefinitions.h"
#include "support/PumpMessages.h"
#include "support/RecordingNotifier.h"
#include "support/RedirectedUserFolders.h"
#include "support/Screenshot.h"
#include "support/SimulatedKestrel.h"
#include "support/VirtualMidiBackend.h"

#include <gtest/gtest.h>

// The effect editor inside the main window, connected to the unit: its
// header, the grid's bypass gesture, the end of "Initialize Block" and the
// dialogs reach it the way the program wires them.
TEST (EditorInMainWindow, HeaderBypassInitialiseAndDialogsWorkAsTheWindowWiresThem)
{
    KESTREL_REQUIRE_DISPLAY();
    RedirectedUserFolders scratch{ "kestrel-editor-window" };

    // Undone however the test ends, so that later tests start clean.
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
    SkinManager skin;
    ASSERT_TRUE (skin.loadBuiltInSkin().wasOk());
    // What the application loads before it opens the window.
    juce::String layoutError;
    ASSERT_TRUE (loadEffectLayouts (*KestrelEffectLayoutManager::getInstance(), layoutError)) << layoutError;
    KestrelControlManager::getInstance()->loadFromSkin (&skin, skin.getSkinRoot());
    constexpr int ampCell = 0, cabCell = 4, ampBlock = 106, cabBlock = 108;

    {
        MainAppWindow window ("Kestrel-Edit", &skin);
        window.setVisible (true);
        auto* content = window.getContent();
        auto* grid = content->getPaneAs<GridUnitContent> (ContentPane::grid);
        auto* editor = content->getPaneAs<EffectEditorContent> (ContentPane::effectEditor);
        auto* target = KestrelCommandTarget::getInstance();
        ASSERT_TRUE (grid != nullptr && editor != nullptr && target != nullptr);
        ASSERT_TRUE (pumpMessagesUntil ([&] { return window.isShowingConnected(); }));
        auto* presets = PresetManager::getInstanceWithoutCreating();
        auto settle = [&] { return pumpMessagesUntil ([&] { return ! presets->hasWork(); }); };
        ASSERT_TRUE (settle());

        auto unitBlock = [&unit] (int blockId) { return *unit.getEditBuffer().findBlock (blockId); };
        const int scene = unit.getCurrentScene();

        // The header's X/Y switch toggles the shown block's channel on the unit.
        ASSERT_TRUE (grid->selectCell (ampCell));
        ASSERT_EQ (editor->getShownBlock(), ampBlock);
        ASSERT_TRUE (settle());
        ASSERT_NE (editor->getXYToggle(), nullptr);
        const bool onX = unitBlock (ampBlock).onX[(size_t) scene];
        editor->getXYToggle()->postChangeCode (2);
        EXPECT_TRUE (pumpMessagesUntil ([&] { return unitBlock (ampBlock).onX[(size_t) scene] != onX; }));
        ASSERT_TRUE (settle());

        // Showing a block the grid does not select, the switch changes nothing.
        editor->showBlock (cabBlock);
        ASSERT_TRUE (settle());
        const bool ampOnX = unitBlock (ampBlock).onX[(size_t) scene], cabOnX = unitBlock (cabBlock).onX[(size_t) scene];
        editor->getXYToggle()->postChangeCode (2);
        pumpMessagesFor (200);
        ASSERT_TRUE (settle());
        EXPECT_EQ (unitBlock (ampBlock).onX[(size_t) scene], ampOnX);
        EXPECT_EQ (unitBlock (cabBlock).onX[(size_t) scene], cabOnX);

        // Alt-click on a tile: the bypass toggles once; on a block with a
        // modifier only after the modifier's values are in.
        auto altClick = [&] (int cell)
        {
            juce::ModifierKeys::currentModifiers = juce::ModifierKeys (juce::ModifierKeys::altModifier);
            grid->buttonClicked (grid->getTile (cell));
            juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
        };

        for (int cell : { ampCell, cabCell })
        {
            const int block = cell == ampCell ? ampBlock : cabBlock;
            const bool engaged = unitBlock (block).engaged[(size_t) scene];
            const int sets = unit.countReceived (SYSEX_PARAM_SET);
            altClick (cell);
            EXPECT_EQ (editor->getShownBlock(), block);
            EXPECT_EQ (editor->isBypassPending(), block == ampBlock) << block;
            ASSERT_TRUE (settle());
            pumpMessagesFor (100);
            EXPECT_NE (unitBlock (block).engaged[(size_t) scene], engaged) << block;
            EXPECT_EQ (unit.countReceived (SYSEX_PARAM_SET) - sets, 1) << block;
            EXPECT_FALSE (editor->isBypassPending());
        }


        // "Initialize Block" works on the grid's selection, which the editor
        // shows once it ends, whatever it showed meanwhile.
        ASSERT_TRUE (grid->selectCell (ampCell));
        editor->showBlock (cabBlock);
        ASSERT_TRUE (settle());
        ASSERT_TRUE (target->invokeCommand (1204));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->getShownBlock() == ampBlock; }));
        ASSERT_TRUE (settle());

        // So do "Scene Paste" and "Scene Swap".
        SceneRecord copied;
        presets->captureScene (copied);
        presets->setSceneClipboard (copied);

        for (bool paste : { true, false })
        {
            editor->showBlock (cabBlock);
            ASSERT_TRUE (settle());
            ASSERT_TRUE (paste ? presets->requestScenePasteAll()
                               : presets->requestSceneSwap ((juce::uint16) (scene + 1)));
            EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->getShownBlock() == ampBlock; })) << paste;
            ASSERT_TRUE (settle());
        }

        // A dropped Controllers entry goes to the Controllers view, which the
        // grid selects first.
        BlockLibraryEntry controllers (EFFECT_CONTROL, 8, 6, 0);
        controllers.name = "Dropped";
        controllers.paramData.setSize (64, true);
        const auto blockFile = scratch.folder.getChildFile ("controllers.blk");
        ASSERT_TRUE (controllers.writeToFile (blockFile));
        editor->filesDropped ({ blockFile.getFullPathName() }, 10, 10);
        EXPECT_EQ (grid->getSelectionState(), GridUnitContent::controllersSelected);
        EXPECT_EQ (editor->getShownBlock(), blockIdControllers);
        EXPECT_GT (KestrelBlockLibraryManager::getInstance()->getLinkedEntryId (blockIdControllers), 0);
        ASSERT_TRUE (settle());

        // A dialog keeps the pages where they are.
        ASSERT_GT (editor->getPageNames().size(), 1);
        ASSERT_TRUE (target->invokeCommand (DialogCommands::tunerCommandId));
        EXPECT_FALSE (editor->showPageByIndex (1));
        content->closeAllDialogs();
        EXPECT_TRUE (editor->showPageByIndex (1));
        ASSERT_TRUE (settle());

        // The editor waits while the modifier dialog shows and is usable again once it closes.
        auto* modifierDialog = content->getPaneAs<ModifierDlgContent> (ContentPane::modifierDialog);
        ASSERT_NE (modifierDialog, nullptr);
        ASSERT_TRUE (editor->openModifierDialog (ampBlock, 1));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! editor->areControlsEnabled(); }));
        saveScreenshot (*content, "editor-waits-for-modifier-dialog");
        EXPECT_TRUE (modifierDialog->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        EXPECT_TRUE (pumpMessagesUntil ([&] { return editor->areControlsEnabled(); }));
        settle();
    }
}
