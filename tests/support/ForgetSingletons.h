#pragma once

#include "app/shell/KestrelCommandTarget.h"
#include "app/shell/SnapshotList.h"
#include "device/engines/PresetManager.h"
#include "device/link/ZOLInterprocessConnection.h"
#include "device/link/ZOLMidiProcessing.h"
#include "model/KestrelBlockLibraryManager.h"
#include "model/KestrelEffectLayoutManager.h"
#include "model/KestrelEffectManager.h"
#include "model/ExternalXmlReader.h"
#include "model/KestrelGlobalConfiguration.h"
#include "model/LanguageStore.h"
#include "skin/controls/KestrelControlManager.h"
#include "skin/engine/KestrelImageDepot.h"

// Deletes whatever process-wide managers a test left and lets the next test
// of the same process create them afresh.
inline void forgetSingletons()
{
    // As at the program's end: the link stops first, and the preset manager
    // takes back the requests it handed over.
    if (auto* link = ZOLMidiProcessing::getInstanceWithoutCreating())
        link->stopProcessing();
    if (auto* presets = PresetManager::getInstanceWithoutCreating())
        presets->releaseLinkRequests();

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
    ExternalXmlReader::resetForTests();
}

// Besides those, the application's own managers, for a test that runs a
// whole program: the next program of the process (or the next test) starts
// afresh, whatever an earlier one left. A program closed by its user quit the
// message loop; the next one runs on a fresh one.
inline void forgetProgramSingletons()
{
    forgetSingletons();
    KestrelCommandTarget::resetForTests();
    SnapshotList::resetForTests();

    if (juce::MessageManager::getInstance()->hasStopMessageBeenSent())
    {
        juce::MessageManager::deleteInstance();
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
    }
}
