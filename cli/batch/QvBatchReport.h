#pragma once
#include <chrono>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "QvBatchRun.h"

// The JSON report of a batch: how it was run, the count of each ending, and one entry
// per input in input order (inputs not yet run are "pending"). It is rewritten while
// the batch goes on, always whole (a new file renamed over the old), so an
// interrupted batch leaves a report that --resume can read.
class QvBatchReport {
public:
    std::string script;
    std::string runner;     // "local" or "slurm"
    std::string slurmJob;   // the array's job id
    unsigned jobs = 0;      // 0: no limit
    double timeoutSeconds = 0;
    bool complete = false;  // false while running, and after a cancelled batch
    std::chrono::system_clock::time_point started = std::chrono::system_clock::now();
    std::vector<QvBatchRun> runs;

    // Answers false with a message when the file cannot be written.
    bool write(const std::string& path, std::string& error) const;
    // The runs of an earlier report; false with a message when the file is there but
    // is no report. A missing file reads as no runs.
    static bool readRuns(const std::string& path, std::vector<QvBatchRun>& runs, std::string& error);

    static nlohmann::ordered_json runToJson(const QvBatchRun& run);
    static bool runFromJson(const nlohmann::ordered_json& entry, QvBatchRun& run);

    // JSON text; names that are not UTF-8 get replacement characters rather than lost.
    static std::string jsonText(const nlohmann::ordered_json& value, int indent);
    // Replaces the file's content at once (a new file renamed over it); false with a
    // message when it cannot.
    static bool replaceFile(const std::string& path, const std::string& content, std::string& error);
};
