#include "MediaModule/QvModuleWork.h"

#include "MediaModule/QvModuleFailure.h"

void QvModuleWork::checkStop() const {
    if (stopRequested()) QvModuleFail(QV_MEDIA_STOPPED);
}
