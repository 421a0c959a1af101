#pragma once
#include <QDialog>
#include <QLabel>

#include "QvHostClient.h"

// The modeless window that tells how start-up goes: one status line, redrawn at once.
class QvStartupDialog : public QDialog, public QvLoadProgress {
public:
    explicit QvStartupDialog(QWidget* parent = nullptr);

    void showStatus(const std::string& text) override;
    QString status() const { return status_->text(); }

private:
    QLabel* status_;
};
