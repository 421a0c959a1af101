#include "Session/QvWarningConsole.h"

#include <mutex>

namespace {
std::recursive_mutex& warningLock() {
    static std::recursive_mutex lock;
    return lock;
}
Qv_stringstream& warningStream() {
    static Qv_stringstream stream;
    return stream;
}
}

namespace QvWarningConsole {
Qv_stringstream& acquire() {
    warningLock().lock();
    return warningStream();
}
void release() { warningLock().unlock(); }
}
