#pragma once

// `quarvel batch`: runs a script once per input, locally or as a Slurm job array.
class QvBatchCommand {
public:
    static constexpr int kExitAllSucceeded = 0;
    static constexpr int kExitSomeFailed = 1;
    static constexpr int kExitUsage = 64;
    static constexpr int kExitNoInput = 66;
    static constexpr int kExitUnavailable = 69;
    static constexpr int kExitCannotWrite = 73;
    static constexpr int kExitCancelled = 130;

    // argv[0] is "batch".
    static int main(int argc, char** argv);
};
