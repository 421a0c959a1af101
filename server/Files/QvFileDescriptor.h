#pragma once
#include <unistd.h>

// An open file descriptor, closed however the code that opened it ends.
class QvFileDescriptor {
public:
    explicit QvFileDescriptor(int fd) : fd_(fd) {}
    ~QvFileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    QvFileDescriptor(const QvFileDescriptor&) = delete;
    QvFileDescriptor& operator=(const QvFileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};
