#pragma once
#include <memory>
#include <string>

class QvPixelBuffer;

// A video input (camera or test source) delivering pictures into a target buffer.
class QvMediaCapture {
public:
    virtual ~QvMediaCapture() = default;

    // Pictures arrive in the target at its size, within the bounds given.
    virtual void setTarget(QvPixelBuffer& target, int left, int top, int width, int height) = 0;
    virtual void startPreview() = 0;
    // Lets the input deliver what has arrived since the last call.
    virtual void idle() = 0;
    virtual void stop() = 0;
    // Grabs one picture into the target.
    virtual void grab() = 0;
};

class QvCaptureServices {
public:
    virtual ~QvCaptureServices() = default;

    // The default video input, configured by a settings blob (empty for the defaults).
    virtual std::unique_ptr<QvMediaCapture> openDefaultInput(const std::string& settings) = 0;
};
