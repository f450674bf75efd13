#include "device/link/MidiPortBackend.h"

#include "device/link/JuceMidiPortBackend.h"

namespace
{
std::atomic<MidiPortBackend*> installedBackend{ nullptr };
}

MidiPortBackend& MidiPortBackend::get()
{
    if (auto* backend = installedBackend.load (std::memory_order_acquire))
        return *backend;

    static JuceMidiPortBackend systemBackend;
    return systemBackend;
}

void MidiPortBackend::install (MidiPortBackend* backend)
{
    installedBackend.store (backend, std::memory_order_release);
}
