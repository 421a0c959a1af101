#pragma once
#include "QvExport.h"

class QvTextValue;

// Loads the module at `path` and runs its entry point. The error becomes 0 (loaded),
// 47 (not a loadable library), 48 (no entry point), 99 (registration failed) or the
// 16-bit code the entry point threw; the status tells the same in words. A relative
// path is taken from the current directory. Nothing is thrown.
QV_C_EXPORT void QvRegisterPlugin(QvTextValue* status, long* error, const char* path);
// The same for the file `fileName` in `directory` (the current directory when null);
// statuses name the file without its directory.
QV_C_EXPORT void QvRegisterPluginFile(QvTextValue* status, long* error, const char* directory,
                                      const char* fileName);
