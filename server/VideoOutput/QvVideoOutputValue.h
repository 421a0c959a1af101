#pragma once
#include <memory>
#include <string>

#include "QvExport.h"
#include "Values/QvValue.h"

class QvVideoOutputDevice;

// A video output (type "video_output"): appending a frame or image shows it there. The
// output is opened on first use: the one named by `name` or by the process-wide output
// settings, else a window where there is a display, else "null", which shows nothing.
// Pictures are scaled to the output's size (at least 1 x 1).
class QV_EXPORT QvVideoOutputValue : public QvValue {
public:
    static constexpr int kDefaultWidth = 320;
    static constexpr int kDefaultHeight = 240;

    QvVideoOutputValue();
    ~QvVideoOutputValue() override;

    // Shows the picture on the output.
    void Show(const QvValue& picture);

    QvValue* Clone() const override;
    QvTypeEnum GetType() const override { return QV_VIDEO_OUTPUT; }

    QvValue* GetProperty(QvPropertyId id) override;
    QvPropertyId PropertyId(const std::string& name) const override;
    void SetProperty(QvPropertyId id, QvValue* value) override;

    void Append(QvValue* value) override;
    std::string AsText() const override;

private:
    QvVideoOutputValue(const QvVideoOutputValue& other);
    // Opens the named output at the value's size, in place of the open one.
    void open(const std::string& name);

    std::shared_ptr<QvVideoOutputDevice> output_;
    std::string name_ = "unknown";
    int width_;
    int height_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};
