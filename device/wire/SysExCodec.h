#pragma once

// The message codec in one include: the payload layouts, the request
// builders, the reply parsers and the unit-side reply builders.
#include "device/wire/SysExBuilders.h"
#include "device/wire/SysExLayouts.h"
#include "device/wire/SysExParsers.h"
#include "device/wire/SysExReplyBuilders.h"
