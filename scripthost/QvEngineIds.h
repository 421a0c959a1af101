#pragma once
#include "com/QvGuid.h"

// The script engine's class, as hosts find it in the registry.
inline const CLSID CLSID_QuarvelEngine = {0x72B111C0, 0x6704, 0x4557, {0x8B, 0x98, 0x7D, 0xCF, 0xB9, 0x85, 0x10, 0xB5}};
inline const char* const kQuarvelEngineProgId = "Quarvel";
inline const char* const kQuarvelEngineDescription = "Quarvel Script Engine";
// The file type under which the IDE registers its script documents.
inline const char* const kQuarvelDocumentType = "Quarvel.Document";
