// Throughput and overhead per run of `quarvel batch`: a batch of small movies, each
// turned grey frame by frame by examples/batch-movie.qv, with --jobs 1 (also with --sync), --jobs 2 and through
// a Slurm job array, beside its peers: the same runs started by xargs one and two at a
// time.
//
//   BatchBench [INPUTS]   (100 by default)
//
// The Slurm row uses the cluster of SLURM_CONF when set; otherwise it starts a
// one-node cluster with tools/slurm-cluster.sh (root, slurm-wlm and munge) and stops it
// afterwards, or says why it cannot.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/QvSubprocess.h"

namespace fs = std::filesystem;

namespace {
// Each run: every frame of its movie turned grey and stretched to the full range of
// brightness, into a new PNG-compressed movie.
const char* const kScript = QV_SOURCE_DIR "/examples/batch-movie.qv";

struct Row {
    std::string runner;
    double seconds = -1;  // negative: not measured
    std::string note;
};

// Seconds the command takes, run in `folder` with its output thrown away; negative
// when it fails.
double timeCommand(const fs::path& folder, const std::vector<std::string>& command) {
    std::vector<std::string> inFolder{"sh", "-c", "cd \"$0\" && exec \"$@\" > /dev/null 2>&1", folder.string()};
    inFolder.insert(inFolder.end(), command.begin(), command.end());
    auto start = std::chrono::steady_clock::now();
    std::string ignored;
    int status = QvSubprocess::capture(inFolder, ignored);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// `count` small movies (eight 64x48 frames each, pieces of the shipped photo moving
// across it, PNG-compressed), listed by their absolute paths: the example script
// resolves relative ones against its own folder.
void makeInputs(const fs::path& folder, int count) {
    fs::create_directories(folder / "inputs");
    std::ofstream(folder / "make.qv") << "set photo to file \"" QV_SOURCE_DIR "/examples/photo.jpg\";\n"
                                         "set i to 0;\n"
                                         "repeat count times begin\n"
                                         "    set clip to movie;\n"
                                         "    set compression of clip to \"PNG\";\n"
                                         "    set frame_rate of clip to 10;\n"
                                         "    set x to i - floor(i / 25) * 25;\n"
                                         "    set f to 0;\n"
                                         "    repeat 8 times increment f begin\n"
                                         "        set corner to {x * 8 + f * 2, x * 6 + f};\n"
                                         "        append photo[corner, corner + {64, 48}] to clip;\n"
                                         "    end\n"
                                         "    set file \"inputs/clip\" + (i + 1000) + \".mov\" to clip;\n"
                                         "    add 1 to i;\n"
                                         "end\n";
    if (timeCommand(folder, {QV_QUARVEL, "--sync", "--set", "count=" + std::to_string(count), "make.qv"}) < 0)
        std::fprintf(stderr, "the inputs could not be made in %s\n", folder.c_str());
    std::ofstream list(folder / "inputs.txt");
    for (int i = 0; i < count; ++i) list << (folder / "inputs/clip").string() << i + 1000 << ".mov\n";
}

Row xargsRow(const fs::path& folder, int parallel) {
    double seconds = timeCommand(folder, {"xargs", "-a", "inputs.txt", "-d", "\\n", "-P", std::to_string(parallel),
                                          "-I{}", QV_QUARVEL, "--set", "input=\"{}\"", "--set",
                                          "output=\"{}-grey.mov\"", kScript});
    return {"xargs -P " + std::to_string(parallel) + " (peer)", seconds, ""};
}

Row batchRow(const fs::path& folder, const std::string& name, std::vector<std::string> more) {
    std::vector<std::string> command{QV_QUARVEL, "batch", kScript, "--inputs", "@inputs.txt", "--output",
                                     "results/{stem}-grey.mov", "--report", name + ".json"};
    command.insert(command.end(), more.begin(), more.end());
    std::string runner = "quarvel batch";
    for (const std::string& option : more) runner += " " + option;
    double seconds = timeCommand(folder, command);
    return {runner, seconds, seconds < 0 ? "failed (" + runner + ")" : ""};
}

// The Slurm row, on the cluster of SLURM_CONF or on one started here for it.
Row slurmRow(const fs::path& folder) {
    std::string cluster = (folder / "cluster").string(), output;
    bool started = false;
    if (!std::getenv("SLURM_CONF")) {
        int status = QvSubprocess::capture({"bash", QV_SOURCE_DIR "/tools/slurm-cluster.sh", "start", cluster}, output);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            output = output.substr(0, output.find('\n'));
            return {"quarvel batch --slurm", -1, "not measured: " + output};
        }
        setenv("SLURM_CONF", (cluster + "/slurm.conf").c_str(), 1);
        started = true;
    }
    Row row = batchRow(folder, "slurm", {"--slurm"});
    if (started) QvSubprocess::capture({"bash", QV_SOURCE_DIR "/tools/slurm-cluster.sh", "stop", cluster}, output);
    return row;
}
}

int main(int argc, char** argv) {
    int inputs = argc > 1 ? std::atoi(argv[1]) : 100;
    if (inputs < 1) inputs = 100;
    fs::path folder = fs::temp_directory_path() / ("quarvel-batchbench-" + std::to_string(getpid()));
    fs::remove_all(folder);
    makeInputs(folder, inputs);

    std::vector<Row> rows{xargsRow(folder, 1), batchRow(folder, "jobs1", {"--jobs", "1"}),
                          batchRow(folder, "sync", {"--jobs", "1", "--sync"}), xargsRow(folder, 2),
                          batchRow(folder, "jobs2", {"--jobs", "2"}), slurmRow(folder)};

    std::printf("%d runs of a small movie script (8 frames of 64x48, PNG, each turned grey), %u cores\n", inputs,
                static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN)));
    std::printf("%-30s %9s %9s %12s %22s\n", "runner", "seconds", "runs/s", "ms per run", "overhead per run (ms)");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        if (row.seconds < 0) {
            std::printf("%-30s %s\n", row.runner.c_str(), row.note.empty() ? "failed" : row.note.c_str());
            continue;
        }
        // Overhead against the peer that starts as many runs at once: xargs -P 1 for
        // one job, xargs -P 2 for two jobs and for Slurm (which runs one per core).
        const Row& peer = i < 3 ? rows[0] : rows[3];
        std::string overhead = "-";
        if (&peer != &row && peer.seconds > 0) {
            char text[32];
            std::snprintf(text, sizeof text, "%+.1f", (row.seconds - peer.seconds) * 1000 / inputs);
            overhead = text;
        }
        std::printf("%-30s %9.2f %9.1f %12.1f %22s\n", row.runner.c_str(), row.seconds, inputs / row.seconds,
                    row.seconds * 1000 / inputs, overhead.c_str());
    }
    fs::remove_all(folder);
    return 0;
}
