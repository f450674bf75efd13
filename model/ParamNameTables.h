#pragma once

#include "model/IdTables.h"

// One IdNameRow table per effect type naming its parameter numbers (COMP_TYPE,
// DISTORT_TYPE, ...). The layout document names parameters by these names, so
// the ids here must match the numbers the unit uses. The global table
// (GLOBAL_ names, e.g. GLOBAL_BYPCTRL) serves every effect type as a fallback.

// True when the effect type has a parameter name table of its own (the
// global, layout and modifier-dialog pseudo types included).
bool hasParamNameTable (int effectType);

// The effect type's table; the global table for a type without one.
const IdNameRow* getParamNameTable (int effectType);

// The parameter id of the name in the type's table, else in the global
// table; -1 when neither holds it. The comparison is exact.
int getParamIdForName (int effectType, const juce::String& name);

// The name of the parameter id in the type's table, else in the global
// table; empty when neither holds it.
juce::String getParamName (int effectType, int paramId);
