#pragma once
#include <string>

#include "QvExport.h"

// A file specification: the absolute path of a file that may or may not exist.
class QV_EXPORT QvFile {
public:
    QvFile() = default;
    // A relative path is made absolute against the process's current directory.
    explicit QvFile(const std::string& path);

    const std::string& path() const { return path_; }
    bool empty() const { return path_.empty(); }
    // The folder that holds the file (relative paths of scripts resolve against it).
    std::string directory() const;
    std::string name() const;

private:
    std::string path_;
};

QV_C_EXPORT QvFile* QvFileCreateFromPath(const char* path);
QV_C_EXPORT void QvFileDelete(QvFile* file);
