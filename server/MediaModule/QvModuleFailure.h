#pragma once
#include <string>

#include "Media/QvMediaModuleAbi.h"

// How the module's code reports a failure: thrown inside the module only, and turned
// into a result record at the boundary (QvMediaModuleEntry.cpp).
struct QvModuleFailure {
    QvMediaCode code;
    std::string message;
    int systemError = 0;
};

[[noreturn]] void QvModuleFail(QvMediaCode code, const std::string& message = std::string(), int systemError = 0);
// A failure for a library status: out of memory for ENOMEM, a stop for an interrupted
// call, else `code` with `what` and the library's text.
[[noreturn]] void QvModuleFailStatus(QvMediaCode code, const std::string& what, int status);

template <class T>
T* QvModuleCheckMemory(T* pointer) {
    if (!pointer) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    return pointer;
}
