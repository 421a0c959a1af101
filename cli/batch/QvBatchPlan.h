#pragma once
#include <string>
#include <vector>

#include "QvBatchRun.h"
#include "QvOutputPattern.h"
#include "QvRunSetup.h"

// The runs of a batch, one per input in input order, before any has run: each one's
// output from the pattern and its log in the logs folder ("0007-clip.log": its place
// in the batch and the input's name).
class QvBatchPlan {
public:
    // Answers false with a message when two runs would write the same output, or a
    // run would write over an input.
    static bool make(const std::vector<std::string>& inputs, const QvOutputPattern* outputs,
                     const std::string& logFolder, const QvRunSetup& setup, std::vector<QvBatchRun>& runs,
                     std::string& error);
    // Takes over the entries of an earlier report for the runs that succeeded there
    // with the same output, when that output exists; answers how many.
    static size_t resume(std::vector<QvBatchRun>& runs, const std::vector<QvBatchRun>& earlier,
                         const QvRunSetup& setup);
    // A file or folder that goes with a report: the report's path without ".json",
    // then the suffix ("-logs" for the logs).
    static std::string besideReport(const std::string& reportPath, const std::string& suffix);

private:
    static std::string logName(size_t index, size_t count, const std::string& input);
};
