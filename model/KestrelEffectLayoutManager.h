#pragma once

#include "model/EffectLayoutManager.h"
#include "model/Singleton.h"

// The unit's layout manager: block ids map to the unit's effect types,
// parameter names to the unit's parameter numbers (one name table per effect
// type, with the global names as fallback), and EditorControl elements to
// controls. Reached through getInstance(); tests may build their own.
class KestrelEffectLayoutManager : public EffectLayoutManager, public Singleton<KestrelEffectLayoutManager>
{
public:
    // What every name resolves to for an effect type without a name table.
    static constexpr int unnamedParameterId = 666;

    KestrelEffectLayoutManager();
    ~KestrelEffectLayoutManager() override;

    int getEffectTypeOfBlock (int blockId) const override;

    // The id from the type's own name table, else from the global names; -1
    // when neither holds the name. A type without a table gives 666 for any
    // name, so controls of such layouts stay (bound to parameter 666).
    int getParamIdForName (int effectType, const juce::String& name) const override;

    std::unique_ptr<EditorControl> parseEditorControl (int effectType, const juce::XmlElement& element) const override;
};
