#include "QvRunSetup.h"

#include <filesystem>

#include <nlohmann/json.hpp>

#include "QvBatchInputs.h"
#include "QvScriptArgument.h"

using json = nlohmann::ordered_json;

std::string QvRunSetup::resolve(const std::string& path) const {
    if (!QvBatchInputs::isPath(path)) return path;
    return (std::filesystem::path(workFolder) / path).lexically_normal().string();
}

std::vector<std::string> QvRunSetup::arguments(const QvBatchRun& run) const {
    std::vector<std::string> arguments{program};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("--set");
    arguments.push_back(QvScriptArgument::textAssignment("input", resolve(run.input)));
    if (!run.output.empty()) {
        arguments.push_back("--set");
        arguments.push_back(QvScriptArgument::textAssignment("output", resolve(run.output)));
    }
    arguments.push_back(script);
    return arguments;
}

json QvRunSetup::toJson() const {
    return {{"program", program},
            {"options", options},
            {"script", script},
            {"work_folder", workFolder},
            {"timeout", timeoutSeconds}};
}

bool QvRunSetup::fromJson(const json& setup, QvRunSetup& parsed) {
    try {
        parsed.program = setup.at("program").get<std::string>();
        parsed.options = setup.at("options").get<std::vector<std::string>>();
        parsed.script = setup.at("script").get<std::string>();
        parsed.workFolder = setup.at("work_folder").get<std::string>();
        parsed.timeoutSeconds = setup.at("timeout").get<double>();
        return true;
    } catch (const json::exception&) {
        return false;
    }
}
