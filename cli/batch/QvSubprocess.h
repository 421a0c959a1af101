#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

// Child processes of a batch: standard input from /dev/null, output and errors where
// the caller says, the default handling of every signal, and an end when the batch
// ends (so a killed batch leaves nothing running behind it).
class QvSubprocess {
public:
    // Starts arguments[0] (a path, or a name looked up in PATH), in a process group of
    // its own when asked. Answers the process id, or -1 with errno set. A program that
    // cannot be started exits with status 127 after saying why on `errors`.
    static pid_t spawn(const std::vector<std::string>& arguments, int output, int errors, bool ownGroup);
    // Runs to the end, collecting output and errors together; answers the wait status,
    // or -1 when the program could not be started.
    static int capture(const std::vector<std::string>& arguments, std::string& output);
    // Waits for the child, through interruptions; -1 when it cannot be waited for.
    static int waitFor(pid_t pid);
    // The program's path when it is on PATH; empty otherwise.
    static std::string findProgram(const std::string& name);
};
