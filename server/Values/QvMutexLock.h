#pragma once
#include <mutex>

#include "QvExport.h"

// A re-entrant lock (a thread may take it again while holding it); usable with
// std::lock_guard and std::unique_lock.
class QV_EXPORT QvMutexLock {
public:
    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    bool try_lock() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
};
