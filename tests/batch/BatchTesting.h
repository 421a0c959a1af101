#pragma once
// Running the quarvel command in a scratch folder, as a user would, and reading what
// a batch leaves behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "batch/QvSubprocess.h"

namespace batchtest {
namespace fs = std::filesystem;
using json = nlohmann::json;

struct Outcome {
    int status = -1;  // exit status; -1 when the command did not exit by itself
    std::string output;
    std::string errors;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline json readJson(const fs::path& path) { return json::parse(readFile(path)); }

// A fresh folder for one test, removed afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(fs::temp_directory_path() / ("quarvel-" + name + "-" + std::to_string(getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// Runs quarvel with the arguments in `folder`.
inline Outcome quarvel(const fs::path& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{QV_QUARVEL};
    command.insert(command.end(), arguments.begin(), arguments.end());
    fs::path out = folder / ".quarvel-out", err = folder / ".quarvel-err";
    int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    fs::path previous = fs::current_path();
    fs::current_path(folder);
    pid_t pid = QvSubprocess::spawn(command, outFd, errFd, false);
    fs::current_path(previous);
    close(outFd);
    close(errFd);
    int status = QvSubprocess::waitFor(pid);
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.output = readFile(out);
    outcome.errors = readFile(err);
    fs::remove(out);
    fs::remove(err);
    return outcome;
}

// Runs `maker`, a script that makes `count` files in `folder` (it sees `count` and
// `photo`, the shipped photo), and removes it.
inline void makeFiles(const fs::path& folder, int count, const std::string& maker) {
    fs::create_directories(folder);
    writeFile(folder / "make.qv", "set photo to file \"" QV_SOURCE_DIR "/examples/photo.jpg\";\n" + maker);
    Outcome made = quarvel(folder, {"--sync", "--set", "count=" + std::to_string(count), "make.qv"});
    ASSERT_EQ(made.status, 0) << made.output << made.errors;
    fs::remove(folder / "make.qv");
}

// `count` small PNG pictures named pic10.png, pic11.png, ... in `folder`, each a
// different 64x48 piece of the shipped photo.
inline void makePictures(const fs::path& folder, int count) {
    makeFiles(folder, count,
              "set i to 0;\n"
              "repeat count times begin\n"
              "    set piece to photo[{i * 7, i * 5}, {i * 7 + 64, i * 5 + 48}];\n"
              "    set compression of piece to \"PNG\";\n"
              "    set file \"pic\" + (i + 10) + \".png\" to piece;\n"
              "    add 1 to i;\n"
              "end\n");
}

// The per-input work of the tests: the picture turned grey and saved as PNG, with a
// line that depends on the picture's content.
inline const char* greyScript() {
    return "set photo to file input;\n"
           "set grey to photo as frame_mono;\n"
           "print \"brightest \" + max(grey);\n"
           "set compression of grey to \"PNG\";\n"
           "set file output to grey;\n";
}

// `count` small movies named clip10.mov, clip11.mov, ... in `folder`: four 32x24 frames
// each, pieces of the shipped photo moving across it, compressed as PNG so that every
// frame reads back exactly as it was written.
inline void makeMovies(const fs::path& folder, int count) {
    makeFiles(folder, count,
              "set i to 0;\n"
              "repeat count times begin\n"
              "    set clip to movie;\n"
              "    set compression of clip to \"PNG\";\n"
              "    set frame_rate of clip to 10;\n"
              "    set f to 0;\n"
              "    repeat 4 times increment f begin\n"
              "        set x to i * 7 + f * 3;\n"
              "        set y to i * 5 + f * 2;\n"
              "        append photo[{x, y}, {x + 32, y + 24}] to clip;\n"
              "    end\n"
              "    set file \"clip\" + (i + 10) + \".mov\" to clip;\n"
              "    add 1 to i;\n"
              "end\n");
}

// The per-frame work of the movie tests: every frame of the movie turned grey and
// stretched to the full range of brightness, into a PNG-compressed movie, with a line
// that depends on the frames' content.
inline const char* movieScript() {
    return "set clip to file input;\n"
           "set result to movie;\n"
           "set compression of result to \"PNG\";\n"
           "set frame_rate of result to 10;\n"
           "repeat length of clip times increment i begin\n"
           "    set grey to clip[i] as frame_mono;\n"
           "    print \"frame \" + i + \", mean \" + (Math.Average(grey) as number);\n"
           "    append Filter.Normalize(grey, 0, 1) to result;\n"
           "end\n"
           "set file output to result;\n";
}

inline const json* runFor(const json& report, const std::string& input) {
    for (const json& run : report["runs"])
        if (run["input"] == input) return &run;
    return nullptr;
}
}  // namespace batchtest
