#pragma once
#include <string>
#include <vector>

// What `quarvel batch` was asked to do.
struct QvBatchOptions {
    std::string scriptPath;
    std::vector<std::string> inputPatterns;  // globs, or @LISTFILE
    std::string outputPattern;               // empty: runs get no `output`
    std::vector<std::string> assignments;    // --set NAME=VALUE, checked, in order
    std::vector<std::string> pluginFolders;
    unsigned jobs = 0;                       // 0: one per core (local), no limit (Slurm)
    double timeoutSeconds = 0;               // 0: none
    bool resume = false;
    bool synchronous = false;                // runs take --sync
    std::string reportPath;

    bool slurm = false;
    std::string partition;
    std::string timeLimit;
    std::string memory;

    // Set for the work of one Slurm array task: the plan it reads.
    std::string slurmTaskPlan;

    bool help = false;
    std::string error;

    static QvBatchOptions parse(int argc, char** argv);
    static const char* usage();
    // The report's name when --report is not given: the script's stem + "-batch.json",
    // in the current folder.
    static std::string defaultReportPath(const std::string& scriptPath);
};
