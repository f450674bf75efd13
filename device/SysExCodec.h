#pragma once

// The message codec in one include: the payload layouts, the request
// builders, the reply parsers and the unit-side reply builders.
#include "device/SysExBuilders.h"
#include "device/SysExLayouts.h"
#include "device/SysExParsers.h"
#include "device/SysExReplyBuilders.h"
