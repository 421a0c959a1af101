#include "Files/QvRegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "Files/QvFileDescriptor.h"

namespace {
constexpr size_t kChunkBytes = 1 << 16;

// Reads to the end through a small buffer, so a file that grows while it is read, or
// one whose stated size is wrong (as in /proc), still stops at the limit, and a file
// whose size was known fills exactly the memory reserved for it.
QvRegularFile::Status readAll(int fd, size_t limit, std::string& content) {
    char chunk[kChunkBytes];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return QvRegularFile::ReadFailed;
        if (got == 0) return QvRegularFile::Read;
        if (size_t(got) > limit - content.size()) return QvRegularFile::TooLarge;
        content.append(chunk, size_t(got));
    }
}
}  // namespace

// Opening does not block: a pipe without a writer opens at once and is then refused
// as not regular.
QvRegularFile::Status QvRegularFile::read(const std::string& path, size_t limit, std::string& content) {
    QvFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return NotFound;
    if (status.st_size > 0 && size_t(status.st_size) > limit) return TooLarge;
    content.clear();
    try {
        content.reserve(size_t(status.st_size));
        return readAll(file.get(), limit, content);
    } catch (const std::bad_alloc&) {
        content.clear();
        return ReadFailed;
    }
}
