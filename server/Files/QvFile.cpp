#include "Files/QvFile.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "Errors/QvErrors.h"
#include "Errors/QvException.h"
#include "Errors/QvSystemErrors.h"
#include "Media/QvMediaLayer.h"

namespace fs = std::filesystem;

namespace {
constexpr long kFileSpecSourceLine = 213;
const char* const kSourceFile = "server/CppSrc/QvFile";

std::string normalAbsolute(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute.lexically_normal()).string();
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
}

QvFile::QvFile(const std::string& path) {
    if (!path.empty()) path_ = normalAbsolute(path);
}

QvFile QvFile::currentDirectory() {
    std::error_code error;
    fs::path current = fs::current_path(error);
    if (error) QvError("Internal Error: Could not get current directory.s");
    return QvFile(current.string());
}

std::string QvFile::directory() const { return fs::path(path_).parent_path().string(); }

std::string QvFile::name() const { return fs::path(path_).filename().string(); }

QvFile QvFile::resolve(const std::string& relative) const {
    QvFile file;
    if (!relative.empty()) file.path_ = (fs::path(path_) / relative).lexically_normal().string();
    return file;
}

QvFileError QvFile::getFSSpec(QvMediaFileLocation* fileSpec) const {
    if (empty()) QvError("Internal Error: Could not make file specification.");
    long status = QvTheMediaLayer().makeFileSpec(path_, fileSpec);
    if (status == QV_FILE_NOT_FOUND) return QV_FILE_NOT_FOUND;
    QvCheckSystemError(status, kFileSpecSourceLine, kSourceFile);
    return QV_FILE_OK;
}

QvFileError QvFile::deleteFile() const {
    return !empty() && ::unlink(path_.c_str()) == 0 ? QV_FILE_OK : QV_FILE_NOT_FOUND;
}

bool QvFile::isFolder() const {
    std::error_code error;
    return !empty() && fs::is_directory(fs::symlink_status(path_, error));
}

double QvFile::size() const {
    std::error_code error;
    std::uintmax_t bytes = fs::file_size(path_, error);
    QvCheckFileStatus(QvFileStatusFromError(error));
    return static_cast<double>(bytes);
}

bool QvFile::makeCurrent() const {
    std::error_code error;
    fs::current_path(path_, error);
    return !error;
}

std::vector<std::string> QvFile::listDirectory(const std::string& suffix) const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(path_, error), end; !error && entry != end; entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (endsWith(name, suffix)) names.push_back(name);
    }
    QvCheckFileStatus(QvFileStatusFromError(error));
    std::sort(names.begin(), names.end());
    for (const char* link : {"..", "."})
        if (endsWith(link, suffix)) names.insert(names.begin(), link);
    return names;
}

// Hosts get no exceptions: null when the working directory cannot be read.
QvFile* QvFileCreate() {
    try {
        return new QvFile(QvFile::currentDirectory());
    } catch (QvException* error) {
        delete error;
        return nullptr;
    }
}

QvFile* QvFileCreateFromPath(const char* path) { return new QvFile(path ? path : ""); }

void QvFileDelete(QvFile* file) { delete file; }
