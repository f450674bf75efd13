#pragma once

#include <functional>

// The process-wide managers, created at start-up in one fixed order and
// deleted at shutdown in the same order:
//
//   ZOLMidiProcessing, KestrelImageDepot, KestrelGlobalConfiguration,
//   PresetManager, KestrelEffectManager, KestrelEffectLayoutManager,
//   KestrelBlockLibraryManager, LanguageStore, ZOLInterprocessConnection,
//   KestrelCommandTarget, KestrelControlManager, the application's list.
//
// The classes of the lower layers are handled here. The application passes
// what its own layers add: the image depot's step (second in the order) and
// the steps of the classes after the interprocess connection.
//
// Deleting first stops the link and takes back every request it still holds,
// so that no manager deleted after the link touches it.
struct SingletonSteps
{
    std::function<void()> imageDepot;
    std::function<void()> later;
};

void createSingletons (const SingletonSteps& applicationSteps = {});
void deleteSingletons (const SingletonSteps& applicationSteps = {});
