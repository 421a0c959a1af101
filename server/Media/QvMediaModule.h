#pragma once
#include <string>

#include "Media/QvMediaModuleAbi.h"

// The media module (quarvel-media.so, everything that uses FFmpeg), opened by name on
// first use from the engine's folder (a build) or the "quarvel" folder beside the engine
// (an installed prefix), or from QUARVEL_MEDIA_MODULE when that is set.
// Scripts that touch no media never load it; without it, media fails with a clear
// message and everything else works.
class QvMediaModule {
public:
    static constexpr const char* kFileName = "quarvel-media.so";
    static constexpr const char* kInstalledFolder = "quarvel";

    // The module's table, loading and starting the module on first use. Raises
    // "QuickTime not available." and the reason when it cannot be had.
    static const QvMediaModuleFunctions& functions();
    // Whether the module has been loaded (never loads it).
    static bool loaded();
    // Where the module is looked for; empty goes back to the default. A table loaded
    // before stays valid for what was made with it, but later calls load afresh.
    static void setPath(const std::string& path);

    // Raises a failed call's result as a run-time error: a stop as the evaluator stops,
    // a lack of memory as such, anything else with the module's message, or `fallback`
    // when it has none.
    [[noreturn]] static void raise(const QvMediaResult& result, const char* fallback);
};
