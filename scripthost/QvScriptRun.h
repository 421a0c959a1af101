#pragma once
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "QvScriptError.h"

// One run of a script text on the calling thread, as the engine does it: the media
// layer started, the built-in functions and the plug-in modules registered (those
// beside the host program, then those of QUARVEL_PLUGIN_PATH), the text checked and
// executed through a QvScriptEngineClient, then all of it undone. The function
// registry that a run fills and deletes is process-wide, so runs of every engine
// object in the module take turns.
class QvScriptRun {
public:
    static constexpr const char* kMediaUnavailable = "QuickTime not available.";

    // How a run starts and stops the media layer (counted starts; 0 is success).
    struct Media {
        std::function<long()> start;
        std::function<void()> stop;
        static Media layer();
    };

    struct Outcome {
        std::optional<QvScriptError> error;
        // The media layer would not start: the script did not run, the message box
        // was shown, and `error` carries its text.
        bool mediaUnavailable = false;
    };

    // `executing` is true exactly while the script runs. An empty text does nothing.
    static Outcome run(const std::string& text, std::atomic<bool>& executing, const Media& media = Media::layer());
};
