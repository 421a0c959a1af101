#pragma once
#include <system_error>

// Statuses of file operations, in the numbering the rest of the engine reports.
enum QvFileError : long {
    QV_FILE_OK = 0,
    QV_FILE_DISK_FULL = -34,
    QV_FILE_NO_SUCH_VOLUME = -35,
    QV_FILE_IO_ERROR = -36,
    QV_FILE_BAD_NAME = -37,
    QV_FILE_NOT_FOUND = -43,
    QV_FILE_BUSY = -47,
    QV_FILE_OUT_OF_MEMORY = -108,
    QV_FILE_DIRECTORY_NOT_FOUND = -120,
    QV_FILE_ACCESS_DENIED = -5000,
    QV_FILE_INCOMPLETE_PATH = -5025,
};

// The status for an operating-system error.
QvFileError QvFileStatusFromError(const std::error_code& error);

// Returns for status 0; raises the file texts for the statuses that have one, and
// any other status as a system error.
void QvCheckFileStatus(long status);
