#include "model/EffectLayoutManager.h"

namespace
{
void appendRows (juce::Array<NameIdEntry>& table, const IdNameRow* rows)
{
    if (rows == nullptr)
        return;

    for (auto* row = rows; row->id != idTableEnd; ++row)
        table.add ({ juce::String::fromUTF8 (row->name != nullptr ? row->name : ""), row->id });
}

int findIdForName (const juce::Array<NameIdEntry>& table, const juce::String& name)
{
    for (auto& entry : table)
        if (entry.name == name)
            return entry.id;

    return -1;
}
} // namespace

EffectLayoutManager::EffectLayoutManager() = default;
EffectLayoutManager::~EffectLayoutManager() = default;

//==============================================================================
void EffectLayoutManager::appendEffectTypeNames (const IdNameRow* rows)
{
    appendRows (effectTypeNames, rows);
}

void EffectLayoutManager::appendBlockIdentifiers (const IdNameRow* rows)
{
    appendRows (blockIdentifiers, rows);
}

void EffectLayoutManager::appendPageLayoutNames (const IdNameRow* rows)
{
    appendRows (pageLayoutNames, rows);
}

int EffectLayoutManager::findEffectTypeForName (const juce::String& name) const
{
    return findIdForName (effectTypeNames, name);
}

int EffectLayoutManager::findBlockIdForName (const juce::String& name) const
{
    return findIdForName (blockIdentifiers, name);
}

int EffectLayoutManager::findPageLayoutIdForName (const juce::String& name) const
{
    return findIdForName (pageLayoutNames, name);
}

//==============================================================================
void EffectLayoutManager::parseLayouts (const juce::XmlElement* root)
{
    if (root == nullptr)
        return;

    if (auto* layoutList = root->getChildByName ("EffectLayouts"))
    {
        for (auto* controlsElement : layoutList->getChildWithTagNameIterator ("EditorControls"))
        {
            auto layout = std::make_unique<EffectLayout>();
            const auto type = findEffectTypeForName (controlsElement->getStringAttribute ("name"));

            // An unknown name leaves an empty layout of type 0; it is offered
            // like any other, so only the first such element is kept.
            if (type != -1)
            {
                layout->effectType = type;

                for (auto* variantList : controlsElement->getChildWithTagNameIterator ("EffectVariants"))
                {
                    for (auto* variantElement : variantList->getChildWithTagNameIterator ("EffectVariant"))
                    {
                        auto variant = parseVariant (type, *variantElement);

                        // Names are unique ignoring case; an unnamed variant
                        // only counts while it is the first.
                        if (layout->findVariant (variant->name) == nullptr)
                            layout->variants.add (variant.release());
                    }
                }
            }

            if (findEffectLayout (layout->effectType) == nullptr)
                layouts.add (layout.release());
        }
    }

    if (auto* assignmentList = root->getChildByName ("ModifierAssignment"))
        parseModifierAssignments (*assignmentList);
}

std::unique_ptr<EffectVariant> EffectLayoutManager::parseVariant (int effectType, const juce::XmlElement& element) const
{
    auto variant = std::make_unique<EffectVariant>();
    variant->name = element.getStringAttribute ("name");

    parseControlList (effectType, element, 0, variant->controls);

    for (auto* pageElement : element.getChildWithTagNameIterator ("Page"))
        variant->pages.add (parsePage (effectType, *pageElement).release());

    return variant;
}

std::unique_ptr<LayoutPage> EffectLayoutManager::parsePage (int effectType, const juce::XmlElement& element) const
{
    auto page = std::make_unique<LayoutPage>();
    page->name = element.getStringAttribute ("name");
    page->typeContains = element.getStringAttribute ("typeContains");

    // A page may show another block than the layout's own (the controllers
    // block inside the global layout, for instance); its controls then name
    // parameters of that block's type.
    auto controlType = effectType;
    const auto effectName = element.getStringAttribute ("effectName");

    if (effectName.isNotEmpty())
    {
        const auto blockId = findBlockIdForName (effectName);

        if (blockId != -1)
        {
            page->blockId = (juce::uint16) blockId;
            controlType = getEffectTypeOfBlock (blockId);
        }
    }

    const auto layoutId = findPageLayoutIdForName (element.getStringAttribute ("layout"));

    // Without a known layout the page cannot be drawn: it stays as a bare
    // entry so that page indexes keep their document order.
    if (layoutId == -1)
        return page;

    page->layoutId = layoutId;

    parseControlList (controlType, element, 0, page->pageControls);

    for (auto* parameters : element.getChildWithTagNameIterator ("Parameters"))
        parseRows (controlType, *parameters, page->parameterRows);

    if (auto* mixer = element.getChildByName ("Mixer"))
        parseRows (controlType, *mixer, page->mixerRows);

    page->graphIndex = (juce::uint8) element.getIntAttribute ("graphIndex");
    page->version.setFromAttributes (element.getStringAttribute ("version_gtet"),
                                     element.getStringAttribute ("version_lt"));

    return page;
}

void EffectLayoutManager::parseRows (int effectType, const juce::XmlElement& section,
                                     juce::OwnedArray<EditorControl>& destination) const
{
    int rowIndex = 0;

    for (auto* row : section.getChildWithTagNameIterator ("Row"))
        parseControlList (effectType, *row, rowIndex++, destination);
}

void EffectLayoutManager::parseControlList (int effectType, const juce::XmlElement& parent, int rowIndex,
                                            juce::OwnedArray<EditorControl>& destination) const
{
    // Controls without a col attribute fill the columns from the left; a
    // control with one neither takes nor advances the running column.
    int nextColumn = 0;
    int carriedOffsetX = 0;

    for (auto* element : parent.getChildWithTagNameIterator ("EditorControl"))
    {
        auto control = parseEditorControl (effectType, *element);

        if (control == nullptr)
            continue;

        if (control->row == -1)
            control->row = rowIndex;

        if (control->column == -1)
            control->column = nextColumn++;

        // A horizontal offset holds for the rest of the list once given.
        if (control->offsetX != 0)
            carriedOffsetX = control->offsetX;
        else
            control->offsetX = carriedOffsetX;

        destination.add (control.release());
    }
}

void EffectLayoutManager::parseModifierAssignments (const juce::XmlElement& list)
{
    for (auto* parameter : list.getChildWithTagNameIterator ("EffectParameter"))
    {
        const auto type = findEffectTypeForName (parameter->getStringAttribute ("id"));

        if (type == -1)
            continue;

        const auto parameterId = getParamIdForName (type, parameter->getStringAttribute ("name"));

        if (parameterId == -1 || isModifierAssignable (type, parameterId))
            continue;

        modifierAssignments.add ({ type, (juce::uint16) parameterId, 1 });
    }
}

//==============================================================================
EffectLayout* EffectLayoutManager::findEffectLayout (int effectType) const
{
    for (auto* layout : layouts)
        if (layout->effectType == effectType)
            return layout;

    return nullptr;
}

EffectVariant* EffectLayoutManager::findVariantForBlock (int blockId, const juce::String& typeName) const
{
    auto* layout = findEffectLayout (getEffectTypeOfBlock (blockId));

    if (layout == nullptr)
        return nullptr;

    if (auto* variant = layout->findVariant (typeName))
        return variant;

    return layout->findVariant ({});
}

bool EffectLayoutManager::isModifierAssignable (int effectType, int parameterId) const
{
    for (auto& assignment : modifierAssignments)
        if (assignment.effectType == effectType && (int) assignment.parameterId == parameterId)
            return true;

    return false;
}

//==============================================================================
bool EffectLayoutManager::addPageLayout (std::unique_ptr<SkinPageLayout> record)
{
    if (record == nullptr || findPageLayout (record->layoutId) != nullptr)
        return false;

    pageLayouts.add (record.release());
    return true;
}

SkinPageLayout* EffectLayoutManager::findPageLayout (int layoutId) const
{
    for (auto* record : pageLayouts)
        if (record->layoutId == layoutId)
            return record;

    return nullptr;
}
