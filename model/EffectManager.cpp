#include "model/EffectManager.h"

#include "model/ByteReader.h"
#include "model/ByteWriter.h"
#include "model/CopyBytes.h"
#include "model/EffectLayoutManager.h"
#include "model/FileUtils.h"
#include "model/IdTables.h"
#include "model/SafeFileWrite.h"
#include "model/UnitIds.h"
#include "model/UserNotifier.h"

namespace
{
// A cache written by this program stays far below this; a larger file is
// not read at all rather than loaded into memory.
constexpr juce::int64 maxCacheFileBytes = 64 * 1024 * 1024;

// The smallest definition in the cache form: type and a parameter count of 0.
constexpr size_t minDefinitionBytes = 8;

const char* const csvHeader = "Effect Name, Param Label, Param Value (X), Param Value (Y), Modifier Controller, "
                              "Auto-Engage, PC Reset, Min, Max, Start, Mid, End, Slope, Scale, Offset, Damping, "
                              "Off Val";

// The modifier setting shown in each modifier column, in header order.
// Settings 8 and 9 are not exported.
constexpr int csvModifierSettings[] = { 0, 10, 11, 1, 2, 3, 4, 5, 6, 13, 14, 7, 12 };
constexpr int csvLeadingFields = 4; // block name, label, X value, Y value
constexpr int csvFieldCount = csvLeadingFields + (int) std::size (csvModifierSettings);

// Texts come from the unit and may hold the separator; only such fields are
// quoted, so ordinary lines stay plain.
juce::String csvField (const juce::String& text)
{
    if (! text.containsAnyOf (",\"\r\n"))
        return text;

    return "\"" + text.replace ("\"", "\"\"") + "\"";
}
} // namespace

EffectManager::EffectManager()
{
    createModifiers();
}

EffectManager::~EffectManager()
{
    definitions.clear();
    records.clear();
    modifiers.clear();
    controllerNames.clear();
    queryStates.clear();
    modifierDumps.clear();
}

// Firmware ---------------------------------------------------------------------

void EffectManager::setFirmware (int major, int minor)
{
    firmwareMajor = major;
    firmwareMinor = minor;
}

bool EffectManager::matchDefinitionsToFirmware (int major, int minor)
{
    if (major == firmwareMajor && minor == firmwareMinor)
        return true;

    setFirmware (major, minor);
    clearDefinitions();
    return false;
}

// Definitions --------------------------------------------------------------------

void EffectManager::clearDefinitions()
{
    definitions.clear();
}

EffectDefinition* EffectManager::addDefinition (int effectType)
{
    return definitions.add (new EffectDefinition (effectType));
}

EffectDefinition* EffectManager::findDefinition (int effectType) const
{
    for (auto* definition : definitions)
        if (definition->effectType == effectType)
            return definition;

    return nullptr;
}

ParamDefinition* EffectManager::findParamDefinition (int blockId, int paramId) const
{
    if (blockId == 0)
        return nullptr;

    const auto type = effectTypeOfBlock (blockId);

    if (type == EFFECT_NULL || type == EFFECT_SHUNT)
        return nullptr;

    if (auto* definition = findDefinition (type))
        return definition->findParam (paramId);

    return nullptr;
}

ParamDefinition* EffectManager::findOrAddParamForBlock (int blockId, int paramId)
{
    const auto type = effectTypeOfBlock (blockId);

    if (type == EFFECT_NULL)
        return nullptr;

    auto* definition = findDefinition (type);

    if (definition == nullptr)
        definition = addDefinition (type);

    if (auto* param = definition->findParam (paramId))
        return param;

    return definition->addParam ((juce::uint16) paramId);
}

bool EffectManager::storeParamInfo (int blockId, int paramId, const ParamInfo& info)
{
    auto* param = findOrAddParamForBlock (blockId, paramId);

    if (param == nullptr)
        return false;

    param->info = info;
    return true;
}

bool EffectManager::storeParamStrings (int blockId, int paramId, const juce::StringArray& strings)
{
    auto* param = findOrAddParamForBlock (blockId, paramId);

    if (param == nullptr)
        return false;

    param->valueStrings = strings;
    return true;
}

int EffectManager::findValueStringIndex (int blockId, int paramId, double value) const
{
    auto* param = findParamDefinition (blockId, paramId);

    if (param == nullptr)
        return -1;

    double best = -2147483648.0;
    int bestIndex = -1;

    for (int i = 0; i < param->valueStrings.size(); ++i)
    {
        const auto& text = param->valueStrings.getReference (i);

        if (! isNumericText (text, true, true))
            continue;

        const auto number = text.getDoubleValue();

        if (number <= value && number >= best)
        {
            best = number;
            bestIndex = i;
        }
    }

    return bestIndex;
}

juce::File EffectManager::getDefinitionsCacheFile (const juce::File& folder, int modelId)
{
    return folder.getChildFile ("effectDefinitions" + juce::String::formatted ("_%.2x", modelId & 0xff) + ".cache");
}

bool EffectManager::loadDefinitionsCache (const juce::File& folder, int modelId)
{
    const auto file = getDefinitionsCacheFile (folder, modelId);

    juce::MemoryBlock data;

    if (readRegularFile (file, maxCacheFileBytes, data) != FileReadResult::read)
        return false;

    ByteReader reader (data);

    if (! reader.require (8))
        return false;

    firmwareMajor = reader.readI32();
    firmwareMinor = reader.readI32();

    if (! reader.require (2))
        return false;

    // A cache of another format is no use, but says nothing against the
    // definitions already held.
    if (reader.readU16() != cacheFormat)
        return true;

    definitions.clear();

    if (! reader.require (4))
        return false;

    const auto count = reader.readI32();

    if (count == 0)
        return true;

    if (count < 0 || ! reader.canHold ((juce::uint64) count, minDefinitionBytes))
        return false;

    // A definition that falls short means the file is cut off or damaged; the
    // ones before it would pass for a complete set, so none is kept.
    juce::OwnedArray<EffectDefinition> loaded;

    for (int i = 0; i < count; ++i)
    {
        auto definition = std::make_unique<EffectDefinition>();

        if (! definition->readFrom (reader))
            return false;

        loaded.add (definition.release());
    }

    definitions.swapWith (loaded);
    return true;
}

bool EffectManager::saveDefinitionsCache (const juce::File& folder, int modelId) const
{
    if (! folder.isDirectory())
    {
        const auto result = folder.createDirectory();

        if (result.failed())
        {
            UserNotifier::warn ("Unable to create default directory: " + folder.getFullPathName() + "\n" +
                                    result.getErrorMessage(),
                                "Effect Definitions");
            return false;
        }
    }

    juce::MemoryBlock data;
    ByteWriter writer (data);
    writer.writeI32 (firmwareMajor);
    writer.writeI32 (firmwareMinor);
    // Always the format written here: echoing a foreign word read from an
    // old file would make every later load pass the cache over.
    writer.writeU16 (cacheFormat);
    writer.writeI32 (definitions.size());

    for (auto* definition : definitions)
        definition->writeTo (writer);

    return writeFileSafely (getDefinitionsCacheFile (folder, modelId), data).isEmpty();
}

// Block records ---------------------------------------------------------------------

EffectRecord* EffectManager::findEffect (int blockId) const
{
    for (auto* record : records)
        if (record->blockId == blockId)
            return record;

    return nullptr;
}

EffectRecord* EffectManager::findOrAddEffect (int blockId)
{
    if (auto* record = findEffect (blockId))
        return record;

    return records.add (new EffectRecord ((juce::uint16) blockId));
}

bool EffectManager::storeParamValue (int xy, const EffectParamValue& value)
{
    if (value.blockId == 0 || isShuntBlockId (value.blockId))
        return false;

    findOrAddEffect (value.blockId)->setParam (xy, value);
    return true;
}

bool EffectManager::getParamValue (int blockId, int paramId, int xy, EffectParamValue& out) const
{
    auto* record = findEffect (blockId);
    return record != nullptr && record->getParam (paramId, xy, out) != 0;
}

bool EffectManager::storeAllParamsData (int blockId, const juce::MemoryBlock& data)
{
    if (blockId == 0)
        return false;

    copyBytes (findOrAddEffect (blockId)->allParamsData, data);
    return true;
}

bool EffectManager::setGlobalBlockNumber (int blockId, int n)
{
    auto* record = findEffect (blockId);

    if (record == nullptr)
        return false;

    if (n >= 0 && n <= EffectRecord::maxGlobalBlocks)
        record->globalBlockNumber = (juce::uint16) n;

    return true;
}

void EffectManager::invalidateEffects()
{
    for (auto* record : records)
    {
        record->xRefresh = 1;
        record->yRefresh = 1;
        record->globalBlockNumber = EffectRecord::globalNumberUnknown;
        record->globalUsedMask = EffectRecord::globalMaskUnknown;
    }
}

bool EffectManager::getBlockTypeName (int blockId, int xy, juce::String& out) const
{
    out.clear();

    if (blockId == 0)
        return false;

    const auto type = effectTypeOfBlock (blockId);

    if (type == EFFECT_NULL || type == EFFECT_SHUNT)
        return false;

    // The delay's type name is that of parameter 1, not of its selector.
    const auto selector = type == EFFECT_DELAY ? 1 : getTypeParamId (blockId);

    if (selector < 0)
        return false;

    EffectParamValue value;

    if (getParamValue (blockId, selector, xy, value))
        out = value.text;

    return out.isNotEmpty();
}

bool EffectManager::getParamLabel (int blockId, int paramId, const EffectLayoutManager& layouts,
                                   juce::String& out) const
{
    juce::String typeName;
    getBlockTypeName (blockId, 0, typeName);

    auto* variant = layouts.findVariantForBlock (blockId, typeName);

    if (variant == nullptr)
        return false;

    for (auto* page : variant->pages)
    {
        if (! page->matchesVersion (firmwareMajor, firmwareMinor))
            continue;

        for (auto* list : { &page->pageControls, &page->parameterRows, &page->mixerRows })
        {
            for (auto* control : *list)
            {
                if (control->hasParameter && control->parameterId == paramId)
                {
                    out = control->name.replace ("\n", " ");
                    return true;
                }
            }
        }
    }

    return false;
}

// Modifiers -----------------------------------------------------------------------------

void EffectManager::createModifiers()
{
    if (modifiers.size() == numModifiers)
        return;

    modifiers.clear();

    for (int i = 0; i < numModifiers; ++i)
        modifiers.add (new ModifierRecord ((juce::uint16) (firstModifierId + i)))->reset();
}

ModifierRecord* EffectManager::getModifier (int modifierId) const
{
    if (modifierId < firstModifierId || modifierId > lastModifierId)
        return nullptr;

    return modifiers[modifierId - firstModifierId];
}

ModifierRecord* EffectManager::findModifierForParam (int blockId, int paramId) const
{
    if (blockId == 0)
        return nullptr;

    const auto kept = getModifierParamId (blockId, paramId);

    for (auto* modifier : modifiers)
        if (modifier->blockId == blockId && modifier->paramId == kept)
            return modifier;

    return nullptr;
}

int EffectManager::getModifierParamId (int blockId, int paramId)
{
    return isBypassModeParam (blockId, paramId) ? ModifierRecord::bypassModeParamId : paramId;
}

void EffectManager::getModifiersForBlock (int blockId, juce::Array<ModifierRecord*>& out) const
{
    if (blockId == 0)
        return;

    for (auto* modifier : modifiers)
        if (modifier->blockId == blockId)
            out.add (modifier);
}

void EffectManager::resetModifiersForBlock (int blockId)
{
    if (blockId == 0)
        return;

    for (auto* modifier : modifiers)
        if (modifier->blockId == blockId)
            modifier->reset();
}

void EffectManager::resetAllModifiers()
{
    for (auto* modifier : modifiers)
        modifier->reset();
}

bool EffectManager::hasModifierOnParam255() const
{
    for (auto* modifier : modifiers)
        if (modifier->getControllerId() != 0 && modifier->blockId != 0 &&
            modifier->paramId == ModifierRecord::bypassModeParamId)
            return true;

    return false;
}

void EffectManager::addModifierDump (const ModifierDumpRecord& record)
{
    modifierDumps.add (record);
}

bool EffectManager::getModifierDumpsForBlock (int blockId, juce::Array<ModifierDumpRecord>& out) const
{
    bool any = false;

    for (auto& dump : modifierDumps)
    {
        if (dump.getBlockId() == blockId)
        {
            out.add (dump);
            any = true;
        }
    }

    return any;
}

void EffectManager::clearModifierDumps()
{
    modifierDumps.clear();
}

void EffectManager::loadControllerNames()
{
    controllerNames.clear();

    for (auto* row = ModifierSourceNames; row->id != idTableEnd; ++row)
        controllerNames.add ({ row->id, row->name });
}

juce::String EffectManager::getControllerName (int controllerId) const
{
    for (auto& controller : controllerNames)
        if (controller.id == controllerId)
            return controller.name;

    return {};
}

bool EffectManager::describeModifier (int modifierId, const EffectLayoutManager& layouts, juce::String& out) const
{
    auto* modifier = getModifier (modifierId);

    if (modifier == nullptr)
        return false;

    out = juce::String (modifierId - (firstModifierId - 1)).paddedLeft ('0', 2) + " : ";

    const auto controller = modifier->getControllerId();

    if (controller == 0)
    {
        out << "Not Used";
        return true;
    }

    juce::String blockName, label;
    getBlockName (modifier->blockId, blockName);
    getParamLabel (modifier->blockId, modifier->paramId, layouts, label);

    out << getControllerName (controller) << " : " << blockName << " (" << label << ")";
    return true;
}

// Query states ------------------------------------------------------------------------------

void EffectManager::storeQueryStates (int id, const juce::Array<juce::int32>& states)
{
    for (auto* record : queryStates)
    {
        if (record->id == id)
        {
            record->states = states;
            return;
        }
    }

    auto* record = queryStates.add (new QueryStatesRecord());
    record->id = id;
    record->states = states;
}

void EffectManager::clearQueryStates()
{
    queryStates.clear();
}

const QueryStatesRecord* EffectManager::findQueryStates (int id) const
{
    for (auto* record : queryStates)
        if (record->id == id)
            return record;

    return nullptr;
}

// Export --------------------------------------------------------------------------------------

juce::String EffectManager::buildCsv (const EffectLayoutManager& layouts) const
{
    juce::String csv;
    csv << csvHeader << "\n";

    for (auto* record : records)
    {
        if (record->xRefresh == 1 && record->yRefresh == 1)
            continue;

        const int blockId = record->blockId;
        juce::String blockName;
        getBlockName (blockId, blockName);

        const auto typeParam = getTypeParamId (blockId);
        const auto bypassParam = getBypassParamId (blockId);
        const auto globalMixParam = getGlobalMixParamId (blockId);

        // Parameter ids are not dense (the global block uses 255), so the
        // ids actually held are walked, in ascending order.
        juce::SortedSet<int> paramIds;

        for (auto& value : record->xValues)
            paramIds.add (value.paramId);

        for (auto& value : record->yValues)
            paramIds.add (value.paramId);

        for (auto paramId : paramIds)
        {
            juce::String fields[csvFieldCount];

            auto& label = fields[1];

            if (paramId == typeParam)
                label = "Effect Type";
            else if (paramId == bypassParam)
                label = "Bypassed";
            else if (paramId == globalMixParam)
                label = "Global Mix";
            else
                getParamLabel (blockId, paramId, layouts, label);

            if (label.isEmpty())
                continue;

            fields[0] = blockName;

            EffectParamValue value;

            if (record->xRefresh == 0 && record->getParam (paramId, 0, value))
                fields[2] = value.text;

            if (record->yRefresh == 0 && record->getParam (paramId, 1, value))
                fields[3] = value.text;

            if (auto* modifier = findModifierForParam (blockId, paramId); modifier != nullptr && modifier->blockId != 0)
                for (int column = 0; column < (int) std::size (csvModifierSettings); ++column)
                    fields[csvLeadingFields + column] = modifier->settings[csvModifierSettings[column]].text;

            juce::StringArray line;

            for (auto& field : fields)
                line.add (csvField (field));

            csv << line.joinIntoString (",") << "\n";
        }
    }

    return csv;
}

juce::Result EffectManager::exportCsv (const EffectLayoutManager& layouts, const juce::File& path) const
{
    const auto error = writeFileSafely (path, buildCsv (layouts));

    if (error.isNotEmpty())
        return juce::Result::fail (error);

    return juce::Result::ok();
}
