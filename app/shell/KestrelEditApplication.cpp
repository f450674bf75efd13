#include "app/shell/KestrelEditApplication.h"

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/MainAppWindow.h"
#include "app/shell/SnapshotList.h"
#include "app/shell/TooltipsOnDemand.h"
#include "app/update/ProgramUpdateCheck.h"
#include "device/engines/PresetManager.h"
#include "device/engines/Singletons.h"
#include "device/link/ZOLMidiProcessing.h"
#include "device/wire/ModelRules.h"
#include "model/BlockLayoutDocument.h"
#include "model/IdTables.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "model/PromptCatalogue.h"
#include "model/UserNotifier.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"
#include "skin/engine/SkinManager.h"
#include "skin/window/ZolLookAndFeel.h"

#include <cstdio>
#include <cstdlib>

namespace
{
// The application's own singletons in their places of the fixed order: the
// image depot second; after the interprocess link the command target, the
// control templates and, last, the snapshot list.
SingletonSteps applicationSingletons (bool create)
{
    SingletonSteps steps;
    steps.imageDepot = [create]
    {
        if (create)
            KestrelImageDepot::getInstance();
        else
            KestrelImageDepot::deleteInstance();
    };
    steps.later = [create]
    {
        if (create)
        {
            KestrelCommandTarget::getInstance();
            KestrelControlManager::getInstance();
            SnapshotList::getInstance();
        }
        else
        {
            KestrelCommandTarget::deleteInstance();
            KestrelControlManager::deleteInstance();
            SnapshotList::deleteInstance();
        }
    };
    return steps;
}
} // namespace

KestrelEditApplication::KestrelEditApplication()
    : lookAndFeel (std::make_unique<ZolLookAndFeel>())
    , commandManager (std::make_unique<juce::ApplicationCommandManager>())
    , skin (std::make_unique<SkinManager>())
{
    createSingletons (applicationSingletons (true));

    if (auto* language = LanguageStore::getInstance())
    {
        language->keyTable = PromptKeys;
        language->defaultTextTable = PromptDefaultTexts;
        language->setLanguage (1);
    }

    if (auto* library = KestrelBlockLibraryManager::getInstance())
    {
        library->addFirmwareRules (FirmwareRequirements);
        library->addFirmwareRules (KestrelBlockLibraryManager::compatibleModelFirmwareRules);
    }

    if (auto* presetManager = PresetManager::getInstance())
        for (auto* row = FirmwareRequirements; row->id != idTableEnd; ++row)
            presetManager->addSupportedModel ({ row->id, row->a, row->b });

    // ALLOW_MORE_THAN_ONE must be known before the framework's single-instance
    // check, which runs before initialise().
    if (auto* configuration = KestrelGlobalConfiguration::getInstance())
        settingsReadable = configuration->load();
}

KestrelEditApplication::~KestrelEditApplication()
{
    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
        presetManager->setWaitCursorFlag (nullptr);

    deleteSingletons (applicationSingletons (false));
    skin.reset();
    commandManager.reset();

    if (&juce::LookAndFeel::getDefaultLookAndFeel() == lookAndFeel.get())
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    lookAndFeel.reset();
}

const juce::String KestrelEditApplication::getApplicationName()
{
    return "Kestrel-Edit";
}

const juce::String KestrelEditApplication::getApplicationVersion()
{
    return ProgramUpdateCheck::installedVersionText();
}

bool KestrelEditApplication::moreThanOneInstanceAllowed()
{
    auto* configuration = KestrelGlobalConfiguration::getInstance();
    return configuration != nullptr && configuration->ALLOW_MORE_THAN_ONE;
}

juce::Result KestrelEditApplication::loadSkin (SkinManager& skinDocument)
{
    return skinDocument.loadBuiltInSkin();
}

bool KestrelEditApplication::loadLayouts (juce::String& errorText)
{
    auto* layouts = KestrelEffectLayoutManager::getInstance();

    if (layouts == nullptr)
    {
        errorText = blockLayoutErrorIntro;
        return false;
    }

    return loadEffectLayouts (*layouts, errorText);
}

void KestrelEditApplication::initialise (const juce::String&)
{
    // The display passed the check before the start, yet should the
    // framework find no screen on it (or one of no size, as it reports a
    // display it could not take), no window could be placed: the program
    // says so as that check does and ends.
    const auto* screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();

    if (screen == nullptr || screen->totalArea.isEmpty())
    {
        const auto* name = std::getenv ("DISPLAY");
        std::fprintf (stderr, "%s\n", unopenedDisplayText (name != nullptr ? name : "").toRawUTF8());
        setApplicationReturnValue (1);
        quit();
        return;
    }

    // The skin is built in; without it nothing can be drawn.
    if (loadSkin (*skin).failed())
    {
        UserNotifier::show (
            { Notice::Icon::error, {}, unloadableResourcesText, Notice::Buttons::ok, [] (int) { quit(); } });
        return;
    }

    // The layout document is built in; should it ever be refused, the program
    // cannot edit anything. It ends once the user has read why.
    juce::String layoutError;

    if (! loadLayouts (layoutError))
    {
        UserNotifier::show ({ Notice::Icon::warning, {}, layoutError, Notice::Buttons::ok, [] (int) { quit(); } });
        return;
    }

    lookAndFeel->loadFromSkin (skin.get());
    juce::LookAndFeel::setDefaultLookAndFeel (lookAndFeel.get());
    if (auto* controls = KestrelControlManager::getInstance())
        controls->loadFromSkin (skin.get(), skin->getSkinRoot());
    if (auto* presetManager = PresetManager::getInstance())
        presetManager->setWaitCursorFlag (lookAndFeel.get());

    // A damaged settings or colour file leaves the defaults in place; the user
    // is told, and the file is kept aside (".bad") before it is replaced.
    if (! settingsReadable)
        UserNotifier::warn (unreadableSettingsText, "Settings");

    if (auto* library = KestrelBlockLibraryManager::getInstance())
        library->checkLibraryDirectory();

    mainWindow = std::make_unique<MainAppWindow> (getApplicationName(), skin.get());
    mainWindow->setVisible (true);

    // After the main window: the tooltips watch the pointer over our windows.
    if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
        showTooltips (configuration->SHOW_TOOLTIPS);
    started = true;
}

void KestrelEditApplication::shutdown()
{
    mainWindow.reset();
    tooltips.reset();

    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->closePorts();

    if (started)
        if (auto* configuration = KestrelGlobalConfiguration::getInstanceWithoutCreating())
            configuration->save();
}

void KestrelEditApplication::systemRequestedQuit()
{
    quit();
}

juce::String KestrelEditApplication::anotherInstanceText (const juce::String& applicationName)
{
    return "Another instance of " + applicationName + " was trying to start.\nOnly one instance can execute at a time.";
}

void KestrelEditApplication::anotherInstanceStarted (const juce::String&)
{
    // The running instance tells the user why nothing new opened.
    UserNotifier::inform (anotherInstanceText (getApplicationName()));
}

void KestrelEditApplication::showTooltips (bool show)
{
    if (! show)
        tooltips.reset();
    else if (tooltips == nullptr)
        tooltips = std::make_unique<TooltipsOnDemand> (1250);
}

KestrelEditApplication* KestrelEditApplication::getApp()
{
    return dynamic_cast<KestrelEditApplication*> (juce::JUCEApplicationBase::getInstance());
}
