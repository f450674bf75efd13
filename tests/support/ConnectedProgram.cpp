#include "support/ConnectedProgram.h"

#include "app/editor/EffectEditorContent.h"
#include "app/grid/GridUnitContent.h"
#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/KestrelContentComponent.h"
#include "app/shell/MainAppWindow.h"
#include "device/engines/PresetManager.h"
#include "model/BlockLayoutDocument.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "skin/controls/KestrelControlManager.h"
#include "support/ForgetSingletons.h"
#include "support/CachedDefinitions.h"
#include "support/FastTicks.h"
#include "support/PumpMessages.h"

ConnectedProgram::ForgetManagers::ForgetManagers()
{
    // Fresh managers and the program's own texts, as the application sets
    // them up.
    forgetProgramSingletons();

    if (auto* language = LanguageStore::getInstance())
    {
        language->keyTable = PromptKeys;
        language->defaultTextTable = PromptDefaultTexts;
        language->setLanguage (1);
    }
}

ConnectedProgram::ConnectedProgram (const juce::String& folderPrefix)
    : scratch (folderPrefix)
{
}

ConnectedProgram::~ConnectedProgram()
{
    // The window goes, then the managers it used, while the unit and its
    // ports still exist.
    fastTicks.reset();
    window.reset();
    forgetProgramSingletons();

    if (&juce::LookAndFeel::getDefaultLookAndFeel() == &look)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

::testing::AssertionResult ConnectedProgram::open()
{
    if (cacheDefinitions && ! cacheDefinitionsOfTheSimulatedUnit())
        return ::testing::AssertionFailure() << "the unit's definitions were not cached";
    if (auto loaded = skin.loadBuiltInSkin(); loaded.failed())
        return ::testing::AssertionFailure() << "the skin did not load: " << loaded.getErrorMessage();

    // What the application loads before it opens the window.
    juce::String layoutError;
    if (! loadEffectLayouts (*KestrelEffectLayoutManager::getInstance(), layoutError))
        return ::testing::AssertionFailure() << "the effect layouts did not load: " << layoutError;
    look.loadFromSkin (&skin);
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    KestrelControlManager::getInstance()->loadFromSkin (&skin, skin.getSkinRoot());

    window = std::make_unique<MainAppWindow> ("Kestrel-Edit", &skin);
    window->setVisible (true);
    if (tickFast)
        fastTicks = std::make_unique<FastTicks> (*window);
    content = window->getContent();
    grid = content->getPaneAs<GridUnitContent> (ContentPane::grid);
    editor = content->getPaneAs<EffectEditorContent> (ContentPane::effectEditor);
    target = KestrelCommandTarget::getInstance();
    if (grid == nullptr || editor == nullptr || target == nullptr)
        return ::testing::AssertionFailure() << "the window lacks its grid, its editor or its command target";

    if (! pumpMessagesUntil ([this] { return window->isShowingConnected(); }))
        return ::testing::AssertionFailure() << "never connected: " << notices.lastMessage();
    presets = PresetManager::getInstanceWithoutCreating();
    if (! settle())
        return ::testing::AssertionFailure() << "the unit's preset never came in";
    return ::testing::AssertionSuccess();
}

void ConnectedProgram::close()
{
    fastTicks.reset();
    window.reset();
}

bool ConnectedProgram::settle()
{
    return pumpMessagesUntil ([this] { return ! presets->hasWork(); });
}
