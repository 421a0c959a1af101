#pragma once
#include "Session/Qv_stringstream.h"

// The one warning console shared by every session of the process, with its own lock.
// acquire() takes the lock and returns the stream; release() gives the lock back.
namespace QvWarningConsole {
QV_EXPORT Qv_stringstream& acquire();
QV_EXPORT void release();
}
