#include "QvComRegistry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
std::string configFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) return configHome;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config";
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? std::string(user->pw_dir) + "/.config" : std::string(".");
}

// Holds an exclusive lock on the file for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

HRESULT writeFault(int error) { return error == ENOSPC || error == EDQUOT ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT; }

bool writeAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// Writes the text to a new file beside `path` and renames it over `path`.
HRESULT replaceFile(const std::string& path, const std::string& text, mode_t mode) {
    std::string temporary = path + ".XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return writeFault(errno);
    bool written = writeAll(fd, text) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) written = false, error = errno;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        if (written) error = errno;
        unlink(temporary.c_str());
        return writeFault(error);
    }
    int folder = open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return S_OK;
}

bool isReadOnly(const std::string& path, const struct stat& status) {
    return (status.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}
}

std::string QvComRegistry::path() {
    const char* chosen = std::getenv("QV_COM_REGISTRY");
    if (chosen && *chosen) return chosen;
    return configFolder() + "/quarvel/com-registry";
}

HRESULT QvComRegistry::read(QvRegistryKeys& keys) {
    std::string file = path();
    struct stat status;
    if (stat(file.c_str(), &status) != 0) {
        if (errno != ENOENT) return STG_E_READFAULT;
        keys = QvRegistryKeys();
        return S_OK;
    }
    if (!S_ISREG(status.st_mode) || static_cast<uintmax_t>(status.st_size) > kMaxFileBytes) return STG_E_READFAULT;
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open() || text.size() > kMaxFileBytes) return STG_E_READFAULT;
    return keys.parse(text) ? S_OK : STG_E_READFAULT;
}

HRESULT QvComRegistry::update(const std::function<HRESULT(QvRegistryKeys&)>& change) {
    std::string file = path();
    std::error_code failed;
    fs::path folder = fs::absolute(file, failed).parent_path();
    if (!failed) fs::create_directories(folder, failed);
    if (failed) return STG_E_WRITEFAULT;
    FileLock lock(file + ".lock");
    if (!lock.held()) return STG_E_WRITEFAULT;

    struct stat status;
    bool exists = stat(file.c_str(), &status) == 0;
    if (exists && isReadOnly(file, status)) return STG_E_WRITEFAULT;
    QvRegistryKeys keys;
    HRESULT result = read(keys);
    if (FAILED(result)) return result;
    QvRegistryKeys before = keys;
    result = change(keys);
    if (FAILED(result) || keys == before) return result;
    HRESULT written = replaceFile(file, keys.text(), exists ? status.st_mode & 07777 : 0644);
    return FAILED(written) ? written : result;
}

HRESULT QvComRegistry::setValue(const std::string& key, const std::string& name, const std::string& value) {
    if (!QvRegistryKeys::isValidKey(key) || !QvRegistryKeys::isValidText(name) ||
        value.find('\0') != std::string::npos)
        return E_INVALIDARG;
    return update([&](QvRegistryKeys& keys) {
        keys.setValue(key, name, value);
        return S_OK;
    });
}

HRESULT QvComRegistry::createKey(const std::string& key) {
    if (!QvRegistryKeys::isValidKey(key)) return E_INVALIDARG;
    return update([&](QvRegistryKeys& keys) {
        keys.createKey(key);
        return S_OK;
    });
}

HRESULT QvComRegistry::deleteKey(const std::string& key) {
    if (!QvRegistryKeys::isValidKey(key)) return E_INVALIDARG;
    return update([&](QvRegistryKeys& keys) { return keys.deleteKey(key) ? S_OK : S_FALSE; });
}

std::optional<std::string> QvComRegistry::value(const std::string& key, const std::string& name) {
    QvRegistryKeys keys;
    if (FAILED(read(keys))) return std::nullopt;
    const QvRegistryKeys::Values* values = keys.values(key);
    if (!values) return std::nullopt;
    auto found = values->find(name);
    if (found == values->end()) return std::nullopt;
    return found->second;
}
