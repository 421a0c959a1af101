#pragma once
#include <functional>
#include <string>
#include <vector>

#include "QvBatchRun.h"
#include "QvRunSetup.h"

// A batch as one Slurm job array. The submitting command writes a plan (how runs
// start, and every run's input, output and log) and a job script into a work folder,
// submits the array with `sbatch --array --wait`, and follows the results as tasks
// write them. Each task runs its share of the plan with `quarvel batch --slurm-task
// PLAN`, through the same process pool as a local batch, and writes one result file
// per run; the submitting command gathers them into the report when the array ends.
// One task per run, unless there are more runs than the cluster's largest array
// (MaxArraySize): then task k runs the runs k, k + tasks, k + 2 tasks, ...
class QvSlurmBatch {
public:
    struct Request {
        std::string partition, timeLimit, memory;
        unsigned jobs = 0;  // tasks at once; 0: no limit
        std::string jobName;
    };
    using Listener = std::function<void(const std::string& jobId)>;

    // The work folder is kept by absolute path: the tasks may start anywhere, and
    // sbatch must never read a path as an option.
    QvSlurmBatch(const QvRunSetup& setup, const std::string& workFolder)
        : setup_(setup), workFolder_(setup.resolve(workFolder)) {}

    // Runs runs[i] for every i of `todo`; fills in their results. Answers false with a
    // message when Slurm is missing or refuses the job; `cancelled` tells whether a
    // stop request (Ctrl-C) cancelled the array.
    bool run(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, const Request& request,
             const Listener& listener, std::string& jobId, bool& cancelled, std::string& error);

    // Adds the results that the tasks of an earlier array wrote after its command had
    // stopped waiting (they are newer than that command's report).
    void takeLateResults(std::vector<QvBatchRun>& earlier) const;

    // The work of one array task; answers the task's exit status.
    static int runTask(const std::string& planPath);

private:
    std::string planPath() const;
    std::string resultsFolder() const;
    std::string resultPath(size_t run) const;
    bool writePlan(const std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, size_t tasks,
                   std::string& error) const;
    bool writeJobScript(std::string& error) const;
    std::vector<std::string> sbatchArguments(size_t tasks, const Request& request) const;
    // Takes in the result files that arrived; answers whether any did.
    bool collect(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo,
                 std::vector<bool>& collected) const;
    static size_t largestArray();

    const QvRunSetup& setup_;
    std::string workFolder_;
};
