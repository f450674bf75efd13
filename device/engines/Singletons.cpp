#include "device/engines/Singletons.h"

#include "device/engines/PresetManager.h"
#include "device/link/ZOLInterprocessConnection.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"

void createSingletons (const SingletonSteps& applicationSteps)
{
    ZOLMidiProcessing::getInstance();

    if (applicationSteps.imageDepot)
        applicationSteps.imageDepot();

    KestrelGlobalConfiguration::getInstance();
    PresetManager::getInstance(); // looks up the effect manager and block library only when it uses them
    KestrelEffectManager::getInstance();
    KestrelEffectLayoutManager::getInstance();
    KestrelBlockLibraryManager::getInstance();
    LanguageStore::getInstance();
    ZOLInterprocessConnection::getInstance(); // never opened here

    if (applicationSteps.later)
        applicationSteps.later();
}

void deleteSingletons (const SingletonSteps& applicationSteps)
{
    // The link goes first: stop it, and let the preset manager take back the
    // requests it handed over while the link still exists.
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->stopProcessing();

    if (auto* presetManager = PresetManager::getInstanceWithoutCreating())
        presetManager->releaseLinkRequests();

    ZOLMidiProcessing::deleteInstance();

    if (applicationSteps.imageDepot)
        applicationSteps.imageDepot();

    KestrelGlobalConfiguration::deleteInstance();
    PresetManager::deleteInstance();
    KestrelEffectManager::deleteInstance();
    KestrelEffectLayoutManager::deleteInstance();
    KestrelBlockLibraryManager::deleteInstance();
    LanguageStore::deleteInstance();
    ZOLInterprocessConnection::deleteInstance();

    if (applicationSteps.later)
        applicationSteps.later();
}
