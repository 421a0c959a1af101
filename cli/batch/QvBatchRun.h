#pragma once
#include <string>

// One run of a batch: the input it works on, where its output and its console go,
// and how it ended.
struct QvBatchRun {
    enum class Status { Pending, Succeeded, Failed, TimedOut, Crashed, Cancelled };

    std::string input;   // as given
    std::string output;  // from the output pattern; empty without one
    std::string log;     // the run's console output (standard output and errors)

    Status status = Status::Pending;
    int exitStatus = -1;  // -1 when the run did not exit by itself
    std::string signal;   // the signal that ended it ("SIGSEGV"), if one did
    double seconds = 0;
    std::string error;    // the first error line of a run that did not succeed
    std::string host;
    bool resumed = false;  // done by an earlier batch and kept by --resume

    bool succeeded() const { return status == Status::Succeeded; }
    bool finished() const { return status != Status::Pending; }

    static const char* statusName(Status status);
    // False for a name that is none of statusName's.
    static bool statusFromName(const std::string& name, Status& status);
};
