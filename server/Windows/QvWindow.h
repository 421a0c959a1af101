#pragma once
#include <atomic>
#include <string>

#include "QvExport.h"
#include "Values/QvAutoObject.h"
#include "Values/QvValue.h"
#include "Values/qv_auto_value.h"
#include "Windows/QvGraphics.h"

class QvParser;

// One script window. The script thread refreshes it with a value (which records new
// graphics and raises the update flag) and may move it; the host thread polls the
// flag, takes the current graphics and replays them. The window lists itself in its
// session for as long as it lives.
class QV_EXPORT QvWindow : public QvAutoObject {
public:
    QvWindow(QvValueRef value, const std::string& title, QvParser* session);
    ~QvWindow() override;
    QvWindow(const QvWindow&) = delete;
    QvWindow& operator=(const QvWindow&) = delete;

    void refresh(const QvValueRef& value);
    // -1 leaves the placement to the host.
    void setPosition(short x, short y);

    // A handle of its own to the current graphics, so the snapshot outlives a refresh.
    qv_auto_value<QvGraphics> getQvGraphics() const;
    short getWidth() const { return width_; }
    short getHeight() const { return height_; }
    short getXPosition() const { return x_; }
    short getYPosition() const { return y_; }
    std::string getTitle() const { return title_; }
    bool getUpdateFlag() const { return update_; }
    void setUpdateFlag(bool value) { update_ = value; }

private:
    qv_auto_value<QvGraphics> graphics_;
    std::atomic<bool> update_{false};
    const std::string title_;
    std::atomic<short> width_{QvGraphics::kDefaultWidth};
    std::atomic<short> height_{QvGraphics::kDefaultHeight};
    std::atomic<short> x_{-1};
    std::atomic<short> y_{-1};
    QvParser* session_;
};
