#include "Images/QvPictureSaving.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "Errors/QvExceptions.h"

namespace {

[[noreturn]] void raiseCannotWrite(const std::string& path) {
    std::string detail = "Cannot open file \"" + path + "\" for writing.";
    throw new QvFileException(detail.c_str());
}

// Removes the temporary file unless it was put in place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) {
        std::string pattern = target + ".tmp-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int descriptor = mkstemp(name.data());
        if (descriptor < 0) raiseCannotWrite(target);
        // mkstemp makes the file private; the saved file gets the old file's
        // permissions, or those of a newly made file.
        struct stat existing;
        fchmod(descriptor, stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644);
        close(descriptor);
        path_ = name.data();
    }
    ~TemporaryFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void placeAt(const std::string& target) {
        std::error_code error;
        std::filesystem::rename(path_, target, error);
        if (error) raiseCannotWrite(target);
        path_.clear();
    }

private:
    std::string path_;
};

}  // namespace

void QvSavePictureFile(const std::string& path, const std::function<void(const std::string& temporary)>& write) {
    TemporaryFile temporary(path);
    write(temporary.path());
    temporary.placeAt(path);
}
