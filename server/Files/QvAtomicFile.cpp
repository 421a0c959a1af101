#include "Files/QvAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "Errors/QvExceptions.h"

namespace fs = std::filesystem;

namespace {
constexpr int kNameAttempts = 100;
std::atomic<unsigned> temporaryCount{0};

// Links lead to the file they name; a missing or dangling target stays as given.
std::string resolveLinks(const std::string& target) {
    std::error_code error;
    fs::path resolved = fs::canonical(target, error);
    return error ? target : resolved.string();
}

// A hidden sibling with the target's ending: ".photo~1234-5.jpg" for photo.jpg.
std::string temporaryName(const fs::path& target) {
    return (target.parent_path() / ("." + target.stem().string() + "~" + std::to_string(::getpid()) + "-" +
                                    std::to_string(temporaryCount++) + target.extension().string()))
        .string();
}
}  // namespace

QvAtomicFile::QvAtomicFile(const std::string& target) : given_(target), target_(resolveLinks(target)) {
    struct stat status;
    bool exists = ::stat(target_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) raiseCannotOpen();
    if (exists && ::access(target_.c_str(), W_OK) != 0) raiseCannotOpen();
    if (exists && !S_ISREG(status.st_mode)) {
        inPlace_ = true;
        temporary_ = target_;
        return;
    }
    createTemporary();
    if (temporary_.empty()) {
        if (!exists) raiseCannotOpen();
        inPlace_ = true;
        temporary_ = target_;
        return;
    }
    if (exists) ::chmod(temporary_.c_str(), status.st_mode & 07777);
}

QvAtomicFile::~QvAtomicFile() {
    if (committed_ || inPlace_) return;
    stream_.close();
    ::unlink(temporary_.c_str());
}

// Created exclusively with the permissions a new file gets (the process's mask applies).
void QvAtomicFile::createTemporary() {
    fs::path target(target_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temporaryName(target);
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            temporary_ = name;
            return;
        }
        if (errno != EEXIST) return;
    }
}

std::ostream& QvAtomicFile::stream() {
    if (!stream_.is_open()) {
        stream_.open(temporary_, std::ios::binary | std::ios::trunc);
        if (!stream_.is_open()) raiseCannotOpen();
    }
    return stream_;
}

void QvAtomicFile::commit() {
    if (stream_.is_open()) {
        stream_.close();
        if (stream_.fail()) raiseCannotWrite();
    }
    if (!inPlace_ && ::rename(temporary_.c_str(), target_.c_str()) != 0) raiseCannotWrite();
    committed_ = true;
}

void QvAtomicFile::write(const std::string& target, const std::function<void(std::ostream&)>& content) {
    QvAtomicFile file(target);
    content(file.stream());
    file.commit();
}

void QvAtomicFile::raiseCannotOpen() const {
    std::string detail = "Cannot open file \"" + given_ + "\" for writing.";
    throw new QvFileException(detail.c_str());
}

void QvAtomicFile::raiseCannotWrite() const {
    std::string detail = "Cannot write file \"" + given_ + "\".";
    throw new QvFileException(detail.c_str());
}
