#include "Files/QvFileStatus.h"

#include <cerrno>

#include "Errors/QvErrors.h"
#include "Errors/QvSystemErrors.h"

namespace {
constexpr long kStatusCheckSourceLine = 442;
const char* const kSourceFile = "server/CppSrc/QvFile";
}

QvFileError QvFileStatusFromError(const std::error_code& error) {
    if (!error) return QV_FILE_OK;
    if (error.category() != std::generic_category() && error.category() != std::system_category())
        return QV_FILE_IO_ERROR;
    switch (error.value()) {
    case ENOENT: return QV_FILE_NOT_FOUND;
    case ENOTDIR: return QV_FILE_DIRECTORY_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return QV_FILE_ACCESS_DENIED;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ: return QV_FILE_BAD_NAME;
    case ENOSPC:
    case EDQUOT: return QV_FILE_DISK_FULL;
    case ENOMEM: return QV_FILE_OUT_OF_MEMORY;
    case EBUSY:
    case ETXTBSY: return QV_FILE_BUSY;
    case ENODEV:
    case ENXIO: return QV_FILE_NO_SUCH_VOLUME;
    default: return QV_FILE_IO_ERROR;
    }
}

void QvCheckFileStatus(long status) {
    switch (status) {
    case QV_FILE_OK: return;
    case QV_FILE_IO_ERROR: QvError("I/O error.");
    case QV_FILE_NO_SUCH_VOLUME: QvError("No such volume.");
    case QV_FILE_BAD_NAME: QvError("Bad filename.");
    case QV_FILE_INCOMPLETE_PATH: QvError("AppleTalk: Directory not found or incomplete pathname.");
    case QV_FILE_ACCESS_DENIED: QvError("User does not have the correct access priveleges.");
    case QV_FILE_DIRECTORY_NOT_FOUND: QvError("Directory not found.");
    default: QvCheckSystemError(status, kStatusCheckSourceLine, kSourceFile);
    }
}
