#include "QvSlurmBatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "QvBatchReport.h"
#include "QvBatchSignals.h"
#include "QvProcessPool.h"
#include "QvSubprocess.h"

using json = nlohmann::ordered_json;
namespace fs = std::filesystem;

namespace {
constexpr std::chrono::milliseconds kFollowPeriod{500};
// Result files written on one node may reach the submitting node's view of a shared
// file system a little later than the array's end.
constexpr int kLateResultChecks = 20;
// Slurm's default largest array: indexes 0 to 1000.
constexpr size_t kDefaultLargestArray = 1001;

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// sbatch --parsable prints "JOBID" or "JOBID;CLUSTER" once the job is queued.
std::string jobIdFrom(const std::string& sbatchOutput) {
    std::smatch match;
    if (std::regex_search(sbatchOutput, match, std::regex("^([0-9]+)"))) return match[1];
    return "";
}

std::string firstLines(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of(" \n\r\t") + 1);
    return trimmed.empty() ? "no message" : trimmed;
}

// One task's share of a plan: task k of n takes the runs k, k + n, k + 2n, ...
struct TaskShare {
    QvRunSetup setup;
    fs::path results;
    std::vector<QvBatchRun> runs;
    std::vector<size_t> slots;  // each run's place in the submitting batch
};

bool readShare(const std::string& planPath, size_t task, TaskShare& share) {
    std::ifstream file(planPath);
    json plan = json::parse(file, nullptr, false);
    if (plan.is_discarded()) return false;
    try {
        size_t tasks = plan.at("tasks").get<size_t>();
        const json& planned = plan.at("runs");
        share.results = plan.at("results").get<std::string>();
        if (tasks == 0 || !QvRunSetup::fromJson(plan.at("setup"), share.setup)) return false;
        for (size_t i = task; i < planned.size(); i += tasks) {
            QvBatchRun run;
            if (!QvBatchReport::runFromJson(planned[i].at("run"), run)) return false;
            share.runs.push_back(run);
            share.slots.push_back(planned[i].at("slot").get<size_t>());
        }
        return true;
    } catch (const json::exception&) {
        return false;
    }
}

bool readResult(const std::string& path, QvBatchRun& run) {
    std::ifstream file(path);
    if (!file) return false;
    json entry = json::parse(file, nullptr, false);
    return !entry.is_discarded() && QvBatchReport::runFromJson(entry, run);
}
}

std::string QvSlurmBatch::planPath() const { return (fs::path(workFolder_) / "plan.json").string(); }
std::string QvSlurmBatch::resultsFolder() const { return (fs::path(workFolder_) / "results").string(); }
std::string QvSlurmBatch::resultPath(size_t run) const {
    return (fs::path(resultsFolder()) / (std::to_string(run) + ".json")).string();
}

size_t QvSlurmBatch::largestArray() {
    std::string config;
    if (QvSubprocess::capture({"scontrol", "show", "config"}, config) != 0) return kDefaultLargestArray;
    std::smatch match;
    if (!std::regex_search(config, match, std::regex("MaxArraySize\\s*=\\s*([0-9]+)"))) return kDefaultLargestArray;
    size_t largest = std::strtoul(match[1].str().c_str(), nullptr, 10);
    return largest ? largest : kDefaultLargestArray;
}

bool QvSlurmBatch::writePlan(const std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, size_t tasks,
                             std::string& error) const {
    json planned = json::array();
    for (size_t slot : todo) planned.push_back({{"slot", slot}, {"run", QvBatchReport::runToJson(runs[slot])}});
    json plan = {{"setup", setup_.toJson()}, {"tasks", tasks}, {"results", resultsFolder()}, {"runs", planned}};
    return QvBatchReport::replaceFile(planPath(), QvBatchReport::jsonText(plan, 1), error);
}

bool QvSlurmBatch::writeJobScript(std::string& error) const {
    std::string path = (fs::path(workFolder_) / "job.sh").string();
    std::string script = "#!/bin/sh\n"
                         "# One task of a quarvel batch: runs its share of the plan's inputs.\n"
                         "exec " + shellQuoted(setup_.program) + " batch --slurm-task " + shellQuoted(planPath()) + "\n";
    if (!QvBatchReport::replaceFile(path, script, error)) return false;
    chmod(path.c_str(), 0755);
    return true;
}

std::vector<std::string> QvSlurmBatch::sbatchArguments(size_t tasks, const Request& request) const {
    std::string array = "--array=0-" + std::to_string(tasks - 1);
    if (request.jobs) array += "%" + std::to_string(request.jobs);
    std::vector<std::string> arguments{"sbatch", "--parsable", "--wait", array,
                                       "--job-name=" + request.jobName,
                                       "--output=" + (fs::path(workFolder_) / "slurm-%A_%a.out").string(),
                                       "--chdir=" + setup_.workFolder};
    if (!request.partition.empty()) arguments.push_back("--partition=" + request.partition);
    if (!request.timeLimit.empty()) arguments.push_back("--time=" + request.timeLimit);
    if (!request.memory.empty()) arguments.push_back("--mem=" + request.memory);
    arguments.push_back((fs::path(workFolder_) / "job.sh").string());
    return arguments;
}

bool QvSlurmBatch::collect(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo,
                           std::vector<bool>& collected) const {
    bool any = false;
    for (size_t i = 0; i < todo.size(); ++i) {
        if (collected[i]) continue;
        QvBatchRun result;
        if (!readResult(resultPath(todo[i]), result)) continue;
        runs[todo[i]] = result;
        collected[i] = true;
        any = true;
    }
    return any;
}

bool QvSlurmBatch::run(std::vector<QvBatchRun>& runs, const std::vector<size_t>& todo, const Request& request,
                       const Listener& listener, std::string& jobId, bool& cancelled, std::string& error) {
    cancelled = false;
    if (QvSubprocess::findProgram("sbatch").empty()) {
        error = "Slurm's sbatch is not on the PATH";
        return false;
    }
    std::error_code failed;
    fs::remove_all(resultsFolder(), failed);
    fs::create_directories(resultsFolder(), failed);
    if (failed) {
        error = "cannot make the folder '" + resultsFolder() + "': " + failed.message();
        return false;
    }
    size_t tasks = std::min(todo.size(), largestArray());
    if (!writePlan(runs, todo, tasks, error) || !writeJobScript(error)) return false;

    std::string outPath = (fs::path(workFolder_) / "sbatch.out").string();
    std::string errPath = (fs::path(workFolder_) / "sbatch.err").string();
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t sbatch = out >= 0 && err >= 0 ? QvSubprocess::spawn(sbatchArguments(tasks, request), out, err, true) : -1;
    if (out >= 0) close(out);
    if (err >= 0) close(err);
    if (sbatch < 0) {
        error = "cannot start sbatch";
        return false;
    }

    // Until sbatch returns or every result is in: follow the results; the first stop
    // request cancels the array (its tasks stop their runs and write what they got),
    // a second one stops waiting for it.
    std::vector<bool> collected(todo.size(), false);
    int handledStops = 0;
    for (;;) {
        QvBatchSignals::wait(kFollowPeriod);
        if (jobId.empty()) jobId = jobIdFrom(readText(outPath));
        int stops = QvBatchSignals::stopRequests();
        if (stops > handledStops) {
            handledStops = stops;
            cancelled = true;
            std::string ignored;
            if (stops == 1 && !jobId.empty()) QvSubprocess::capture({"scancel", jobId}, ignored);
            if (stops >= 2) kill(-sbatch, SIGTERM);
        }
        collect(runs, todo, collected);
        listener(jobId);
        if (waitpid(sbatch, nullptr, WNOHANG) == sbatch) break;
        // sbatch --wait looks at the job only every few seconds, and less often as
        // time goes on; once every run has its result there is nothing left to wait for.
        if (!jobId.empty() && std::find(collected.begin(), collected.end(), false) == collected.end()) {
            kill(-sbatch, SIGTERM);
            QvSubprocess::waitFor(sbatch);
            break;
        }
    }
    if (jobId.empty()) jobId = jobIdFrom(readText(outPath));
    if (jobId.empty()) {
        error = "sbatch refused the job array: " + firstLines(readText(errPath));
        return false;
    }

    for (int check = 0; check < kLateResultChecks; ++check) {
        collect(runs, todo, collected);
        if (cancelled || std::find(collected.begin(), collected.end(), false) == collected.end()) break;
        std::this_thread::sleep_for(kFollowPeriod);
    }
    for (size_t i = 0; i < todo.size(); ++i) {
        if (collected[i] || runs[todo[i]].finished()) continue;
        QvBatchRun& run = runs[todo[i]];
        run.status = cancelled ? QvBatchRun::Status::Cancelled : QvBatchRun::Status::Failed;
        run.error = cancelled ? "cancelled" : "its Slurm task left no result (see " + workFolder_ + "/slurm-" + jobId +
                                                  "_" + std::to_string(i % tasks) + ".out)";
    }
    return true;
}

void QvSlurmBatch::takeLateResults(std::vector<QvBatchRun>& earlier) const {
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(resultsFolder(), failed)) {
        QvBatchRun result;
        if (entry.path().extension() == ".json" && readResult(entry.path().string(), result))
            earlier.push_back(result);
    }
}

int QvSlurmBatch::runTask(const std::string& planPath) {
    const char* taskText = std::getenv("SLURM_ARRAY_TASK_ID");
    TaskShare share;
    if (!taskText || !readShare(planPath, std::strtoul(taskText, nullptr, 10), share)) {
        std::fprintf(stderr, "quarvel batch: '%s' is no batch plan, or this is no Slurm array task\n", planPath.c_str());
        return 1;
    }
    std::vector<size_t> todo(share.runs.size());
    for (size_t i = 0; i < todo.size(); ++i) todo[i] = i;

    QvBatchSignals::install();
    QvProcessPool pool(share.setup, 1);
    std::vector<bool> written(share.runs.size(), false);
    bool writeFailed = false;
    auto writeResults = [&] {
        for (size_t i : todo) {
            if (written[i] || !share.runs[i].finished()) continue;
            std::string error;
            std::string path = (share.results / (std::to_string(share.slots[i]) + ".json")).string();
            if (!QvBatchReport::replaceFile(path, QvBatchReport::jsonText(QvBatchReport::runToJson(share.runs[i]), -1),
                                            error)) {
                std::fprintf(stderr, "quarvel batch: %s\n", error.c_str());
                writeFailed = true;
            }
            written[i] = true;
        }
    };
    bool finished = pool.run(share.runs, todo, writeResults);
    writeResults();
    if (!finished) return 130;
    return writeFailed ? 1 : 0;
}
