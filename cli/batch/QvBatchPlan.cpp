#include "QvBatchPlan.h"

#include <cctype>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

std::string QvBatchPlan::besideReport(const std::string& reportPath, const std::string& suffix) {
    fs::path report(reportPath);
    std::string stem = report.extension() == ".json" ? report.stem().string() : report.filename().string();
    return (report.parent_path() / (stem + suffix)).string();
}

std::string QvBatchPlan::logName(size_t index, size_t count, const std::string& input) {
    std::string stem = fs::path(input).stem().string();
    for (char& c : stem)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') c = '_';
    std::string number = std::to_string(index + 1);
    size_t width = std::max<size_t>(4, std::to_string(count).size());
    return std::string(width - number.size(), '0') + number + "-" + stem + ".log";
}

bool QvBatchPlan::make(const std::vector<std::string>& inputs, const QvOutputPattern* outputs,
                       const std::string& logFolder, const QvRunSetup& setup, std::vector<QvBatchRun>& runs,
                       std::string& error) {
    std::map<std::string, const std::string*> inputsByPath;
    for (const std::string& input : inputs) inputsByPath[setup.resolve(input)] = &input;
    std::map<std::string, const std::string*> writers;
    for (size_t i = 0; i < inputs.size(); ++i) {
        QvBatchRun run;
        run.input = inputs[i];
        run.log = (fs::path(logFolder) / logName(i, inputs.size(), inputs[i])).string();
        if (outputs) {
            run.output = outputs->expand(run.input);
            std::string target = setup.resolve(run.output);
            auto overwritten = inputsByPath.find(target);
            if (overwritten != inputsByPath.end()) {
                error = "the output of '" + run.input + "' would overwrite the input '" + *overwritten->second + "'";
                return false;
            }
            auto [writer, added] = writers.emplace(target, &inputs[i]);
            if (!added) {
                error = "'" + *writer->second + "' and '" + run.input + "' would both write '" + run.output + "'";
                return false;
            }
        }
        runs.push_back(run);
    }
    return true;
}

size_t QvBatchPlan::resume(std::vector<QvBatchRun>& runs, const std::vector<QvBatchRun>& earlier,
                           const QvRunSetup& setup) {
    std::map<std::string, const QvBatchRun*> done;
    for (const QvBatchRun& run : earlier)
        if (run.succeeded()) done[run.input] = &run;
    size_t kept = 0;
    for (QvBatchRun& run : runs) {
        auto entry = done.find(run.input);
        if (entry == done.end() || entry->second->output != run.output) continue;
        std::error_code failed;
        if (!run.output.empty() && !fs::exists(setup.resolve(run.output), failed)) continue;
        run = *entry->second;
        run.resumed = true;
        ++kept;
    }
    return kept;
}
