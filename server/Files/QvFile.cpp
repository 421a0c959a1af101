#include "Files/QvFile.h"

#include <filesystem>

namespace fs = std::filesystem;

QvFile::QvFile(const std::string& path) {
    if (path.empty()) return;
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    path_ = (error ? fs::path(path) : absolute.lexically_normal()).string();
}

std::string QvFile::directory() const { return fs::path(path_).parent_path().string(); }

std::string QvFile::name() const { return fs::path(path_).filename().string(); }

QvFile* QvFileCreateFromPath(const char* path) { return new QvFile(path ? path : ""); }

void QvFileDelete(QvFile* file) { delete file; }
