#pragma once
#include "Media/QvMediaModuleAbi.h"

extern "C" {
#include <libavformat/avio.h>
}

// The caller's stop check and progress report for one call; either may be absent.
class QvModuleWork {
public:
    explicit QvModuleWork(const QvMediaWork* work) : work_(work) {}

    bool stopRequested() const { return work_ && work_->shouldStop && work_->shouldStop(work_->context); }
    // Ends the call with QV_MEDIA_STOPPED when a stop was asked for.
    void checkStop() const;
    void progress(double fraction) const {
        if (work_ && work_->progress) work_->progress(work_->context, fraction);
    }

private:
    const QvMediaWork* work_;
};

// Lets the libraries' blocking input (network reads above all) end when the work of the
// current call is to stop. The callback reads whichever work is installed at the time.
class QvInterruptHook {
public:
    QvInterruptHook() : callback_{&QvInterruptHook::interrupted, this} {}
    QvInterruptHook(const QvInterruptHook&) = delete;
    QvInterruptHook& operator=(const QvInterruptHook&) = delete;
    const AVIOInterruptCB& callback() const { return callback_; }

    // Installs `work` for the life of the guard.
    class Scope {
    public:
        Scope(QvInterruptHook& hook, const QvModuleWork& work) : hook_(hook), previous_(hook.work_) { hook.work_ = &work; }
        ~Scope() { hook_.work_ = previous_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        QvInterruptHook& hook_;
        const QvModuleWork* previous_;
    };

private:
    static int interrupted(void* opaque) {
        const QvModuleWork* work = static_cast<QvInterruptHook*>(opaque)->work_;
        return work && work->stopRequested() ? 1 : 0;
    }

    const QvModuleWork* work_ = nullptr;
    AVIOInterruptCB callback_;
};
