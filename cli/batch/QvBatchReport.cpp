#include "QvBatchReport.h"

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "Errors/QvException.h"
#include "Files/QvAtomicFile.h"

using json = nlohmann::ordered_json;
namespace fs = std::filesystem;

namespace {
constexpr QvBatchRun::Status kAllStatuses[] = {
    QvBatchRun::Status::Pending,   QvBatchRun::Status::Succeeded, QvBatchRun::Status::Failed,
    QvBatchRun::Status::TimedOut,  QvBatchRun::Status::Crashed,   QvBatchRun::Status::Cancelled};

std::string utcText(std::chrono::system_clock::time_point time) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

json nullable(const std::string& text) { return text.empty() ? json() : json(text); }

// Seconds to the millisecond, so reports stay readable.
double roundedSeconds(double seconds) { return std::round(seconds * 1000) / 1000; }

std::string textField(const json& entry, const char* key) {
    auto it = entry.find(key);
    return it != entry.end() && it->is_string() ? it->get<std::string>() : std::string();
}
}

const char* QvBatchRun::statusName(Status status) {
    switch (status) {
    case Status::Pending: return "pending";
    case Status::Succeeded: return "succeeded";
    case Status::Failed: return "failed";
    case Status::TimedOut: return "timed-out";
    case Status::Crashed: return "crashed";
    case Status::Cancelled: return "cancelled";
    }
    return "pending";
}

bool QvBatchRun::statusFromName(const std::string& name, Status& status) {
    for (Status candidate : kAllStatuses)
        if (name == statusName(candidate)) {
            status = candidate;
            return true;
        }
    return false;
}

json QvBatchReport::runToJson(const QvBatchRun& run) {
    json entry = {{"input", run.input},
                  {"output", nullable(run.output)},
                  {"log", run.log},
                  {"status", QvBatchRun::statusName(run.status)},
                  {"exit_status", run.exitStatus >= 0 ? json(run.exitStatus) : json()},
                  {"signal", nullable(run.signal)},
                  {"seconds", roundedSeconds(run.seconds)},
                  {"error", nullable(run.error)},
                  {"host", nullable(run.host)}};
    if (run.resumed) entry["resumed"] = true;
    return entry;
}

bool QvBatchReport::runFromJson(const json& entry, QvBatchRun& run) {
    if (!entry.is_object() || !entry.contains("input") || !entry["input"].is_string()) return false;
    if (!QvBatchRun::statusFromName(textField(entry, "status"), run.status)) return false;
    run.input = entry["input"].get<std::string>();
    run.output = textField(entry, "output");
    run.log = textField(entry, "log");
    run.signal = textField(entry, "signal");
    run.error = textField(entry, "error");
    run.host = textField(entry, "host");
    auto exitStatus = entry.find("exit_status");
    run.exitStatus = exitStatus != entry.end() && exitStatus->is_number_integer() ? exitStatus->get<int>() : -1;
    auto seconds = entry.find("seconds");
    run.seconds = seconds != entry.end() && seconds->is_number() ? seconds->get<double>() : 0;
    auto resumed = entry.find("resumed");
    run.resumed = resumed != entry.end() && resumed->is_boolean() && resumed->get<bool>();
    return true;
}

bool QvBatchReport::write(const std::string& path, std::string& error) const {
    json counts = {{"runs", runs.size()}, {"resumed", 0}};
    for (QvBatchRun::Status status : kAllStatuses) counts[QvBatchRun::statusName(status)] = 0;
    json entries = json::array();
    for (const QvBatchRun& run : runs) {
        counts[QvBatchRun::statusName(run.status)] = counts[QvBatchRun::statusName(run.status)].get<int>() + 1;
        if (run.resumed) counts["resumed"] = counts["resumed"].get<int>() + 1;
        entries.push_back(runToJson(run));
    }
    auto now = std::chrono::system_clock::now();
    json report = {{"script", script},
                   {"runner", runner},
                   {"jobs", jobs ? json(jobs) : json()},
                   {"timeout", timeoutSeconds > 0 ? json(timeoutSeconds) : json()},
                   {"started", utcText(started)},
                   {"updated", utcText(now)},
                   {"seconds", roundedSeconds(std::chrono::duration<double>(now - started).count())},
                   {"complete", complete},
                   {"counts", counts},
                   {"runs", entries}};
    if (!slurmJob.empty()) report["slurm_job"] = slurmJob;
    return replaceFile(path, jsonText(report, 2), error);
}

std::string QvBatchReport::jsonText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace) + "\n";
}

bool QvBatchReport::readRuns(const std::string& path, std::vector<QvBatchRun>& runs, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        std::error_code failed;
        if (!fs::exists(path, failed)) return true;
        error = "cannot read the report '" + path + "'";
        return false;
    }
    json report = json::parse(file, nullptr, false);
    if (report.is_discarded() || !report.is_object() || !report.contains("runs") || !report["runs"].is_array()) {
        error = "'" + path + "' is not a batch report";
        return false;
    }
    for (const json& entry : report["runs"]) {
        QvBatchRun run;
        if (!runFromJson(entry, run)) {
            error = "'" + path + "' holds a run entry that cannot be read";
            return false;
        }
        runs.push_back(run);
    }
    return true;
}

bool QvBatchReport::replaceFile(const std::string& path, const std::string& content, std::string& error) {
    try {
        QvAtomicFile::write(path, [&](std::ostream& file) { file << content; });
        return true;
    } catch (QvException* failure) {
        error = failure->message();
        delete failure;
        return false;
    }
}
