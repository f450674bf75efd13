#pragma once

#include "device/engines/PresetManager.h"
#include "device/link/ZOLInterprocessConnection.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"

// Deletes whatever process-wide managers a test left and lets the next test
// of the same process create them afresh.
inline void forgetSingletons()
{
    ZOLMidiProcessing::resetForTests();
    KestrelImageDepot::resetForTests();
    KestrelGlobalConfiguration::resetForTests();
    PresetManager::resetForTests();
    KestrelEffectManager::resetForTests();
    KestrelEffectLayoutManager::resetForTests();
    KestrelBlockLibraryManager::resetForTests();
    LanguageStore::resetForTests();
    ZOLInterprocessConnection::resetForTests();
    KestrelControlManager::resetForTests();
}
