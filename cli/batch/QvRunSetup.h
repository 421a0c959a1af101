#pragma once
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "QvBatchRun.h"

// How every run of a batch is started: the quarvel command with the batch's options,
// `input` and `output` set for the run, the script; its console goes to the run's
// log, and a run past the time limit is stopped. A local batch and each Slurm task
// start runs the same way, so both give the same results.
struct QvRunSetup {
    std::string program;               // the quarvel command, by absolute path
    std::vector<std::string> options;  // --sync, --plugins DIR, --set NAME=VALUE
    std::string script;                // absolute
    std::string workFolder;            // where relative inputs, outputs and logs lie
    double timeoutSeconds = 0;         // 0: none

    std::vector<std::string> arguments(const QvBatchRun& run) const;
    // A path of the run (input, output, log) as the run's process sees it.
    std::string resolve(const std::string& path) const;

    nlohmann::ordered_json toJson() const;
    static bool fromJson(const nlohmann::ordered_json& setup, QvRunSetup& parsed);
};
