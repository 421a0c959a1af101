#include "Library/QvFileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "Errors/QvErrors.h"
#include "Files/QvFileDescriptor.h"

namespace {
constexpr size_t kChunkBytes = 1 << 20;

// A new, empty file in the destination's folder that is removed again unless it
// replaces the destination.
class TemporarySibling {
public:
    explicit TemporarySibling(const std::string& destination) {
        std::filesystem::path folder = std::filesystem::path(destination).parent_path();
        std::string pattern = (folder.empty() ? std::string(".") : folder.string()) + "/.qvcopy-XXXXXX";
        int fd = mkostemp(pattern.data(), O_CLOEXEC);
        if (fd >= 0) {
            fd_ = fd;
            path_ = pattern;
        }
    }
    ~TemporarySibling() {
        if (fd_ >= 0) close(fd_);
        if (!path_.empty()) unlink(path_.c_str());
    }
    TemporarySibling(const TemporarySibling&) = delete;
    TemporarySibling& operator=(const TemporarySibling&) = delete;

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Makes the file durable and renames it to `destination`.
    bool replace(const std::string& destination) {
        if (fsync(fd_) != 0 || close(fd_) != 0) return false;
        fd_ = -1;
        if (rename(path_.c_str(), destination.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string path_;
};

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

// In the kernel where the file systems allow it (no copy through user memory, and
// shared blocks where the file system offers them), else by reading and writing.
bool copyBytes(int from, int to) {
    for (;;) {
        QvYield();
        ssize_t count = copy_file_range(from, nullptr, to, nullptr, kChunkBytes, 0);
        if (count == 0) return true;
        if (count > 0 || errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
        return false;
    }
    std::vector<char> chunk(kChunkBytes);
    for (;;) {
        QvYield();
        ssize_t count = read(from, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) return true;
        if (!writeAll(to, chunk.data(), size_t(count))) return false;
    }
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }
}

bool QvCopyRegularFile(const std::string& source, const std::string& destination) {
    // Non-blocking, so that naming a pipe fails at once instead of waiting for a writer.
    QvFileDescriptor in(open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat from;
    if (!in.valid() || fstat(in.get(), &from) != 0 || !S_ISREG(from.st_mode)) return false;
    struct stat existing;
    if (stat(destination.c_str(), &existing) == 0 && sameFile(existing, from)) return false;
    TemporarySibling copy(destination);
    return copy.valid() && copyBytes(in.get(), copy.fd()) && fchmod(copy.fd(), from.st_mode & 0777) == 0 &&
           copy.replace(destination);
}
