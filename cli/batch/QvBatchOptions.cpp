#include "QvBatchOptions.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "QvScriptArgument.h"

namespace {
bool isOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// The variables the batch gives each run itself.
bool namesBatchVariable(const QvScriptArgument& argument) {
    return argument.name() == "input" || argument.name() == "output";
}

class ArgumentReader {
public:
    ArgumentReader(int argc, char** argv) : argc_(argc), argv_(argv) {}

    bool more() const { return next_ < argc_; }
    std::string take() { return argv_[next_++]; }
    bool nextIsValue() const { return more() && !isOption(argv_[next_]); }

    // The value after an option; false (with the error set) when there is none.
    bool value(const std::string& option, std::string& value, std::string& error) {
        if (!more()) {
            error = "option '" + option + "' needs a value";
            return false;
        }
        value = take();
        return true;
    }

private:
    int argc_;
    char** argv_;
    int next_ = 1;
};

bool readPositiveNumber(const std::string& option, const std::string& text, double& number, std::string& error) {
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end != text.data() + text.size() || !(number > 0) || !std::isfinite(number)) {
        error = "option '" + option + "' needs a positive number, not '" + text + "'";
        return false;
    }
    return true;
}

bool readJobs(const std::string& text, unsigned& jobs, std::string& error) {
    auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (failure != std::errc() || end != text.data() + text.size() || jobs == 0) {
        error = "option '--jobs' needs a whole number of at least 1, not '" + text + "'";
        return false;
    }
    return true;
}

// Options that take one value, and where it goes.
std::string* stringOption(QvBatchOptions& options, const std::string& arg) {
    if (arg == "--output") return &options.outputPattern;
    if (arg == "--report") return &options.reportPath;
    if (arg == "--partition") return &options.partition;
    if (arg == "--time") return &options.timeLimit;
    if (arg == "--mem") return &options.memory;
    if (arg == "--slurm-task") return &options.slurmTaskPlan;
    return nullptr;
}

bool readOption(ArgumentReader& reader, const std::string& arg, QvBatchOptions& options, std::string& error) {
    std::string value;
    if (arg == "--inputs") {
        if (!reader.nextIsValue()) {
            error = "option '--inputs' needs a pattern or @LISTFILE";
            return false;
        }
        while (reader.nextIsValue()) options.inputPatterns.push_back(reader.take());
    } else if (std::string* target = stringOption(options, arg)) {
        if (!reader.value(arg, *target, error)) return false;
        if (target->empty()) {
            error = "option '" + arg + "' needs a value that is not empty";
            return false;
        }
    } else if (arg == "--jobs") {
        if (!reader.value(arg, value, error) || !readJobs(value, options.jobs, error)) return false;
    } else if (arg == "--timeout") {
        if (!reader.value(arg, value, error) || !readPositiveNumber(arg, value, options.timeoutSeconds, error))
            return false;
    } else if (arg == "--set") {
        if (!reader.value(arg, value, error)) return false;
        options.assignments.push_back(value);
    } else if (arg == "--plugins") {
        if (!reader.value(arg, value, error)) return false;
        std::error_code failed;
        if (!std::filesystem::is_directory(value, failed)) {
            error = "no plug-in folder '" + value + "'";
            return false;
        }
        options.pluginFolders.push_back(std::filesystem::absolute(value).lexically_normal().string());
    } else if (arg == "--resume") {
        options.resume = true;
    } else if (arg == "--sync") {
        options.synchronous = true;
    } else if (arg == "--slurm") {
        options.slurm = true;
    } else {
        error = "unknown option '" + arg + "'";
        return false;
    }
    return true;
}

// Everything the options cannot say on their own.
std::string checkCombination(const QvBatchOptions& options) {
    if (options.scriptPath.empty()) return "no script given";
    if (options.inputPatterns.empty()) return "no inputs given (--inputs GLOB|@LISTFILE)";
    if (!options.slurm && (!options.partition.empty() || !options.timeLimit.empty() || !options.memory.empty()))
        return "--partition, --time and --mem go with --slurm";
    std::vector<QvScriptArgument> arguments;
    std::string error;
    if (!QvScriptArgument::parseAll(options.assignments, arguments, error)) return error;
    for (const QvScriptArgument& argument : arguments)
        if (namesBatchVariable(argument))
            return "--set " + argument.name() + ": the batch sets 'input' and 'output' for each run itself";
    return "";
}
}

QvBatchOptions QvBatchOptions::parse(int argc, char** argv) {
    QvBatchOptions options;
    ArgumentReader reader(argc, argv);
    while (reader.more()) {
        std::string arg = reader.take();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (isOption(arg)) {
            if (!readOption(reader, arg, options, options.error)) return options;
        } else if (options.scriptPath.empty()) {
            options.scriptPath = arg;
        } else {
            options.error = "unexpected argument '" + arg + "' (one script; inputs follow --inputs)";
            return options;
        }
    }
    if (options.slurmTaskPlan.empty()) options.error = checkCombination(options);
    if (options.reportPath.empty() && !options.scriptPath.empty())
        options.reportPath = defaultReportPath(options.scriptPath);
    return options;
}

std::string QvBatchOptions::defaultReportPath(const std::string& scriptPath) {
    return std::filesystem::path(scriptPath).stem().string() + "-batch.json";
}

const char* QvBatchOptions::usage() {
    return "usage: quarvel batch SCRIPT.qv --inputs GLOB|@LISTFILE... [--output PATTERN]\n"
           "                     [--jobs N] [--timeout SECONDS] [--resume] [--report FILE]\n"
           "                     [--set NAME=VALUE]... [--plugins DIR]... [--sync]\n"
           "                     [--slurm [--partition P] [--time T] [--mem M]]\n"
           "\n"
           "Runs the script once per input, each run in its own process, with the global\n"
           "variables `input` (the input's absolute path) and `output` (from PATTERN).\n"
           "  --inputs   glob patterns (quoted or expanded by the shell) and @FILE lists\n"
           "             (one input per line); every input runs once, in the order given\n"
           "  --output   the output of each run: {stem}, {name}, {ext} and {dir} stand for\n"
           "             the input's name without ending, name, ending and folder\n"
           "             (e.g. 'results/{stem}-result.png'); folders are made as needed\n"
           "  --jobs N   runs at once (default: one per core; with --slurm: no limit)\n"
           "  --timeout SECONDS\n"
           "             stops a run that takes longer and counts it as failed\n"
           "  --resume   skips the inputs that succeeded in the report of an earlier batch\n"
           "             and whose output exists\n"
           "  --report FILE\n"
           "             the JSON report (default SCRIPT-batch.json here); each run's console\n"
           "             goes to a log in FILE's name + \"-logs/\"\n"
           "  --set, --plugins, --sync\n"
           "             handed to every run (see quarvel --help)\n"
           "  --slurm    runs the batch as one Slurm job array (sbatch --array --wait);\n"
           "             --partition, --time and --mem go to sbatch\n"
           "\n"
           "A summary table goes to standard output; a progress line to a terminal.\n"
           "Exit status: 0 every run succeeded, 1 some run failed, 64 bad arguments,\n"
           "66 no inputs or unreadable script or report, 69 Slurm unavailable,\n"
           "73 the report cannot be written, 130 cancelled (docs/batch.md).\n";
}
