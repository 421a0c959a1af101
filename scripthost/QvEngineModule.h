#pragma once
#include <atomic>

// What keeps the engine module loaded: its live objects, and the locks hosts take on it
// (LockServer, or a reference to its class factory).
class QvEngineModule {
public:
    static void objectCreated() { objects_.fetch_add(1); }
    static void objectDestroyed() { objects_.fetch_sub(1); }
    static void lock() { locks_.fetch_add(1); }
    // A lock that was never taken is ignored.
    static void unlock() {
        long locks = locks_.load();
        while (locks > 0 && !locks_.compare_exchange_weak(locks, locks - 1)) {
        }
    }
    static bool canUnload() { return objects_.load() == 0 && locks_.load() == 0; }

private:
    static inline std::atomic<long> objects_{0};
    static inline std::atomic<long> locks_{0};
};
