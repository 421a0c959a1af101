#pragma once
#include <memory>
#include <string>
#include <vector>

// An open video output device.
class QvMediaVideoOutput {
public:
    virtual ~QvMediaVideoOutput() = default;
    virtual void close() = 0;
};

class QvVideoOutputServices {
public:
    virtual ~QvVideoOutputServices() = default;

    virtual std::vector<std::string> outputNames() const = 0;
    // Raises when the output is in use elsewhere or cannot be opened.
    virtual std::unique_ptr<QvMediaVideoOutput> open(const std::string& name) = 0;
};
