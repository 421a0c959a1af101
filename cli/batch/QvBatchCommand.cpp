#include "QvBatchCommand.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "QvBatchInputs.h"
#include "QvBatchOptions.h"
#include "QvBatchPlan.h"
#include "QvBatchProgress.h"
#include "QvBatchReport.h"
#include "QvBatchSignals.h"
#include "QvOutputPattern.h"
#include "QvProcessPool.h"
#include "QvRunSetup.h"
#include "QvSlurmBatch.h"

namespace fs = std::filesystem;

namespace {
// The report is rewritten at most this often while runs end.
constexpr std::chrono::seconds kReportPeriod{2};

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "quarvel batch: %s\n", message.c_str());
    return status;
}

std::string thisProgram() {
    std::error_code failed;
    fs::path program = fs::read_symlink("/proc/self/exe", failed);
    return failed ? std::string("quarvel") : program.string();
}

bool isReadableFile(const std::string& path) {
    std::error_code failed;
    return fs::is_regular_file(path, failed) && std::ifstream(path).good();
}

QvRunSetup setupFor(const QvBatchOptions& options) {
    QvRunSetup setup;
    setup.program = thisProgram();
    if (options.synchronous) setup.options.push_back("--sync");
    for (const std::string& folder : options.pluginFolders) {
        setup.options.push_back("--plugins");
        setup.options.push_back(folder);
    }
    for (const std::string& assignment : options.assignments) {
        setup.options.push_back("--set");
        setup.options.push_back(assignment);
    }
    setup.script = fs::absolute(options.scriptPath).lexically_normal().string();
    setup.workFolder = fs::current_path().string();
    setup.timeoutSeconds = options.timeoutSeconds;
    return setup;
}

// Writes the report now and then while the batch goes on, and whenever asked to.
class ReportWriter {
public:
    ReportWriter(QvBatchReport& report, const std::string& path) : report_(report), path_(path) {}

    bool write(std::string& error) {
        lastWrite_ = std::chrono::steady_clock::now();
        return report_.write(path_, error);
    }
    void writeNowAndThen() {
        if (std::chrono::steady_clock::now() - lastWrite_ < kReportPeriod) return;
        std::string error;
        if (!write(error) && !warned_) {
            std::fprintf(stderr, "\nquarvel batch: %s\n", error.c_str());
            warned_ = true;
        }
    }

private:
    QvBatchReport& report_;
    std::string path_;
    std::chrono::steady_clock::time_point lastWrite_;
    bool warned_ = false;
};

int exitStatus(const std::vector<QvBatchRun>& runs, bool cancelled) {
    if (cancelled) return QvBatchCommand::kExitCancelled;
    bool allSucceeded = std::all_of(runs.begin(), runs.end(), [](const QvBatchRun& run) { return run.succeeded(); });
    return allSucceeded ? QvBatchCommand::kExitAllSucceeded : QvBatchCommand::kExitSomeFailed;
}

std::vector<size_t> runsToDo(const std::vector<QvBatchRun>& runs) {
    std::vector<size_t> todo;
    for (size_t i = 0; i < runs.size(); ++i)
        if (!runs[i].resumed) todo.push_back(i);
    return todo;
}
}

int QvBatchCommand::main(int argc, char** argv) {
    QvBatchOptions options = QvBatchOptions::parse(argc, argv);
    if (options.help) {
        std::fputs(QvBatchOptions::usage(), stdout);
        return kExitAllSucceeded;
    }
    if (!options.slurmTaskPlan.empty()) return QvSlurmBatch::runTask(options.slurmTaskPlan);
    if (!options.error.empty()) {
        std::fprintf(stderr, "quarvel batch: %s\n%s", options.error.c_str(), QvBatchOptions::usage());
        return kExitUsage;
    }
    if (!isReadableFile(options.scriptPath)) return fail(kExitNoInput, "cannot read the script '" + options.scriptPath + "'");

    std::string error;
    std::vector<std::string> inputs;
    if (!QvBatchInputs::expand(options.inputPatterns, inputs, error)) return fail(kExitNoInput, error);
    QvOutputPattern outputs;
    if (!options.outputPattern.empty() && !QvOutputPattern::parse(options.outputPattern, outputs, error))
        return fail(kExitUsage, error);

    QvRunSetup setup = setupFor(options);
    QvBatchReport report;
    if (!QvBatchPlan::make(inputs, options.outputPattern.empty() ? nullptr : &outputs,
                           QvBatchPlan::besideReport(options.reportPath, "-logs"), setup, report.runs, error))
        return fail(kExitUsage, error);
    if (options.resume) {
        std::vector<QvBatchRun> earlier;
        if (!QvBatchReport::readRuns(options.reportPath, earlier, error)) return fail(kExitNoInput, error);
        QvSlurmBatch(setup, QvBatchPlan::besideReport(options.reportPath, "-slurm")).takeLateResults(earlier);
        QvBatchPlan::resume(report.runs, earlier, setup);
    }

    report.script = setup.script;
    report.runner = options.slurm ? "slurm" : "local";
    report.jobs = options.jobs || options.slurm ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    report.timeoutSeconds = options.timeoutSeconds;
    std::error_code failed;
    fs::path reportFolder = fs::path(options.reportPath).parent_path();
    if (!reportFolder.empty()) fs::create_directories(reportFolder, failed);
    ReportWriter writer(report, options.reportPath);
    if (!writer.write(error)) return fail(kExitCannotWrite, error);

    QvBatchSignals::install();
    QvBatchProgress progress;
    std::vector<size_t> todo = runsToDo(report.runs);
    bool cancelled = false;
    if (!todo.empty() && options.slurm) {
        QvSlurmBatch slurm(setup, QvBatchPlan::besideReport(options.reportPath, "-slurm"));
        QvSlurmBatch::Request request{options.partition, options.timeLimit, options.memory, options.jobs,
                                      "quarvel-" + fs::path(options.scriptPath).stem().string()};
        auto follow = [&](const std::string& jobId) {
            report.slurmJob = jobId;
            progress.show("slurm job " + (jobId.empty() ? std::string("(queued)") : jobId), report.runs, 0);
            writer.writeNowAndThen();
        };
        if (!slurm.run(report.runs, todo, request, follow, report.slurmJob, cancelled, error)) {
            progress.clear();
            return fail(kExitUnavailable, error);
        }
    } else if (!todo.empty()) {
        QvProcessPool pool(setup, report.jobs);
        cancelled = !pool.run(report.runs, todo, [&] {
            progress.show("batch", report.runs, pool.running());
            writer.writeNowAndThen();
        });
    }
    progress.clear();

    report.complete = !cancelled;
    bool written = writer.write(error);
    QvBatchSummary::print(stdout, report.runs, options.reportPath);
    if (!written) return fail(kExitCannotWrite, error);
    return exitStatus(report.runs, cancelled);
}
