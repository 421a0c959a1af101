// File: listing, sizing, copying and deleting the files a script names. Relative
// paths resolve against the running script's folder; the process's current directory
// is never changed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "Errors/QvException.h"
#include "Files/QvFile.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Library/QvFileCopy.h"
#include "Plugins/QvParameterBlock.h"

namespace {
// The path a text argument names; the empty path names the script's folder itself.
std::string pathArgument(QvParameterBlock* parameters, const char* name) {
    std::string path = parameters->resolvePath(QvParameterBlockGetTextValue(parameters, name));
    return path.empty() ? std::string(".") : path;
}

// The size of a regular file that can be opened for reading; -1 for anything else.
double regularFileSize(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status;
    bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    close(fd);
    return regular ? double(status.st_size) : -1;
}
}

namespace QvFileNamespace {
QvValue* DirectoryList(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    QvFile folder(pathArgument(parameters, "path"));
    try {
        return QvBuiltinTextList(folder.listDirectory(QvParameterBlockGetTextValue(parameters, "filter")));
    } catch (QvException* failure) {
        delete failure;
        return QvBuiltinFailure(error, "Could not list directory.");
    }
}

QvValue* Size(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    double size = regularFileSize(pathArgument(parameters, "path"));
    return size < 0 ? QvBuiltinFailure(error, "Could not open file.") : QvNumberCreate(size);
}

QvValue* CreateDirectory(QvPluginErrorBlock* error, QvParameterBlock*) {
    return QvBuiltinFailure(error, "File.CreateDirectory() not implemented on x86.");
}

QvValue* Copy(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    if (!QvCopyRegularFile(pathArgument(parameters, "old_path"), pathArgument(parameters, "new_path")))
        return QvBuiltinFailure(error, "Could not copy file.");
    return QvNoValueCreate();
}

// Removes a file or a link (never a folder, never a link's target); a file that is not
// there is no failure.
QvValue* Delete(QvPluginErrorBlock* error, QvParameterBlock* parameters) {
    if (unlink(pathArgument(parameters, "path").c_str()) != 0 && errno != ENOENT && errno != ENOTDIR)
        return QvBuiltinFailure(error, "Could not delete file.");
    return QvNoValueCreate();
}
}
