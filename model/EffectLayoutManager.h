#pragma once

#include "model/EffectLayout.h"
#include "model/IdNameTable.h"
#include "model/NameIdEntry.h"
#include "model/SkinPageLayout.h"

#include <memory>

// Holds the effect-page layouts read from the layout document: for every
// effect type, which widgets sit on which page, which parameter each edits
// and when a page or widget applies. The name tables are filled and the
// document parsed once at start-up on the message thread; afterwards the
// data is read-only. The unit-specific lookups are left to a subclass.
class EffectLayoutManager
{
public:
    // A parameter that may take a modifier; each pair is held once.
    struct ModifierAssignment
    {
        juce::int32 effectType;
        juce::uint16 parameterId;
        juce::uint8 flag; // always 1
    };

    EffectLayoutManager();
    virtual ~EffectLayoutManager();

    // The effect type of a block id.
    virtual int getEffectTypeOfBlock (int blockId) const = 0;

    // The parameter id of a parameter name for an effect type; -1 when unknown.
    virtual int getParamIdForName (int effectType, const juce::String& name) const = 0;

    // Builds one control from an EditorControl element; nullptr when the
    // element does not describe a usable control.
    virtual std::unique_ptr<EditorControl> parseEditorControl (int effectType,
                                                               const juce::XmlElement& element) const = 0;

    // Name tables --------------------------------------------------------------
    // Each call appends the rows of a table (in table order) to the manager's
    // copy. Lookups are exact and give the first row's id, or -1.
    void appendEffectTypeNames (const IdNameRow* rows);
    void appendBlockIdentifiers (const IdNameRow* rows);
    void appendPageLayoutNames (const IdNameRow* rows);

    int findEffectTypeForName (const juce::String& name) const;
    int findBlockIdForName (const juce::String& name) const;
    int findPageLayoutIdForName (const juce::String& name) const;

    // Reading the document ------------------------------------------------------
    // Builds every layout and the modifier assignments from the document's
    // root. Names no table holds drop the element concerned; nothing is fatal.
    void parseLayouts (const juce::XmlElement* root);

    // Queries -------------------------------------------------------------------
    // The first layout of the type, or nullptr.
    EffectLayout* findEffectLayout (int effectType) const;

    // The variant of the block's layout named like the type name, else the
    // layout's first variant; nullptr when the type has no layout.
    EffectVariant* findVariantForBlock (int blockId, const juce::String& typeName) const;

    bool isModifierAssignable (int effectType, int parameterId) const;

    int getNumLayouts() const { return layouts.size(); }
    EffectLayout* getLayout (int index) const { return layouts[index]; }
    const juce::Array<ModifierAssignment>& getModifierAssignments() const { return modifierAssignments; }

    // Skin page layouts ----------------------------------------------------------
    // Keeps the record unless one with the same layout id is held (a refused
    // or null record is deleted); true when it was kept.
    bool addPageLayout (std::unique_ptr<SkinPageLayout> record);

    // The first record with the layout id, or nullptr.
    SkinPageLayout* findPageLayout (int layoutId) const;

private:
    std::unique_ptr<EffectVariant> parseVariant (int effectType, const juce::XmlElement& element) const;
    std::unique_ptr<LayoutPage> parsePage (int effectType, const juce::XmlElement& element) const;
    void parseControlList (int effectType, const juce::XmlElement& parent, int rowIndex,
                           juce::OwnedArray<EditorControl>& destination) const;
    void parseRows (int effectType, const juce::XmlElement& section,
                    juce::OwnedArray<EditorControl>& destination) const;
    void parseModifierAssignments (const juce::XmlElement& list);

    juce::Array<NameIdEntry> effectTypeNames;
    juce::Array<NameIdEntry> blockIdentifiers;
    juce::Array<NameIdEntry> pageLayoutNames;
    juce::OwnedArray<SkinPageLayout> pageLayouts;
    juce::OwnedArray<EffectLayout> layouts;
    juce::Array<ModifierAssignment> modifierAssignments;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EffectLayoutManager)
};
