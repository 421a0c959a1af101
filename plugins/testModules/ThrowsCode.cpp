// An entry point that fails with the 16-bit error code 7.
#include <cstdint>

#include "QvExport.h"

extern "C" QV_EXPORT void PluginRegisterVersion001() { throw int16_t(7); }
