// The engine's version as plug-ins ask for it.
#include "Plugins/QvPluginInterface.h"

namespace {
constexpr long kMajor = 3;
constexpr long kMinor = 0;
constexpr long kBuild = 1;
}

void QvGetVersion(long* major, long* minor, long* build) {
    if (major) *major = kMajor;
    if (minor) *minor = kMinor;
    if (build) *build = kBuild;
}

const char* QvGetVersionString() { return "3.0a"; }

int QvIsCompatibleVersion(long major) { return major == kMajor; }

// The vector unit of another processor family; never present here.
int QvIsAltiVecAvailable() { return 0; }
