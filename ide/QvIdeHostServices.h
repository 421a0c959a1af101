#pragma once
#include <QObject>

#include "HostServices/QvHostServices.h"

// The clipboard (text and pictures) and the bell for scripts run by the IDE. Scripts
// call them on their own threads; the work is handed to the user-interface thread,
// which the IDE never blocks while a script runs, so the call cannot deadlock.
class QvIdeHostServices : public QObject, public QvHostServices {
public:
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    QvGWorld* clipboardPicture() override;
    void beep() override;

private:
    template <class Work>
    void onInterfaceThread(Work work);
};
