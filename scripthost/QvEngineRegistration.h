#pragma once
#include <string>

#include "com/QvComTypes.h"

// Enters the engine in the registry stand-in: its class with the module at
// `modulePath` as in-process server and "Quarvel" as programmatic identifier; the two
// scripting-engine categories, described and marked as implemented by the class; the
// OLEScript keys below the class and the programmatic identifier; and "Quarvel" as
// the script engine of the IDE's documents. Stops with SELFREG_E_CLASS at the first
// failure. Registering again changes nothing.
HRESULT QvRegisterEngine(const std::string& modulePath);
