#include "MediaModule/QvModuleFailure.h"

extern "C" {
#include <libavutil/error.h>
}

void QvModuleFail(QvMediaCode code, const std::string& message, int systemError) {
    throw QvModuleFailure{code, message, systemError};
}

void QvModuleFailStatus(QvMediaCode code, const std::string& what, int status) {
    if (status == AVERROR(ENOMEM)) QvModuleFail(QV_MEDIA_OUT_OF_MEMORY);
    if (status == AVERROR_EXIT) QvModuleFail(QV_MEDIA_STOPPED);
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(status, text, sizeof text);
    QvModuleFail(code, what + ": " + text);
}
