#pragma once

#include "model/EffectManager.h"
#include "model/LayoutRecord.h"
#include "model/Singleton.h"

// The unit's effect manager: the common model plus the layout values the
// unit reports in SYSEX_LAYOUT_SET messages. Reached through getInstance();
// tests may build their own.
class KestrelEffectManager : public EffectManager, public Singleton<KestrelEffectManager>
{
public:
    KestrelEffectManager();
    ~KestrelEffectManager() override;

    // Keeps the record's value: keys 0 and 1 per layout, keys of 2 and more
    // for layout 0 only. An existing record of the same (layout, key) takes
    // the new operation, layout, key and value; otherwise a copy is added.
    void storeLayoutRecord (const LayoutRecord& record);

    // The held record of (layout, key), or nullptr.
    const LayoutRecord* findLayoutRecord (int layout, int key) const;

    int getNumLayoutRecords() const { return layoutRecords.size(); }
    const LayoutRecord& getLayoutRecord (int index) const { return layoutRecords.getReference (index); }

private:
    juce::Array<LayoutRecord> layoutRecords;
};
