// A library whose entry point has the name of another contract version.
#include "QvExport.h"

extern "C" QV_EXPORT void PluginRegisterVersion002() {}
