#pragma once
#include <string>
#include <vector>

#include "Files/QvFileStatus.h"
#include "Media/QvMediaFileLocation.h"
#include "QvExport.h"

// A file: the absolute path of a file or folder that may or may not
// exist, with the few operations the engine needs on it. A default-made QvFile is
// empty and names nothing; currentDirectory() names the working directory.
class QV_EXPORT QvFile {
public:
    QvFile() = default;
    // A relative path is made absolute against the process's current directory.
    explicit QvFile(const std::string& path);
    static QvFile currentDirectory();

    const std::string& path() const { return path_; }
    bool empty() const { return path_.empty(); }
    // The folder that holds the file (relative paths of scripts resolve against it).
    std::string directory() const;
    std::string name() const;
    // The file that `relative` names when read from this folder; an absolute path
    // stays as it is.
    QvFile resolve(const std::string& relative) const;

    // The media layer's description of the file: QV_FILE_NOT_FOUND when the file does not exist
    // (the record is filled all the same), QV_FILE_OK when it does.
    QvFileError getFSSpec(QvMediaFileLocation* fileSpec) const;
    // Removes a file or a link (never a folder): QV_FILE_OK, or QV_FILE_NOT_FOUND when
    // it could not be removed.
    QvFileError deleteFile() const;
    // True for a folder itself, not for a link to one.
    bool isFolder() const;
    // Size in bytes.
    double size() const;
    // Makes this folder the process's working directory; true on success.
    bool makeCurrent() const;
    // Names of the folder's entries that end in `suffix` (all when it is empty): "."
    // and ".." first, then the others in byte order. The working directory is not
    // touched.
    std::vector<std::string> listDirectory(const std::string& suffix) const;

private:
    std::string path_;
};

QV_C_EXPORT QvFile* QvFileCreate();
QV_C_EXPORT QvFile* QvFileCreateFromPath(const char* path);
QV_C_EXPORT void QvFileDelete(QvFile* file);
