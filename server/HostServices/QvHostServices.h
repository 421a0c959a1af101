#pragma once
#include <string>

#include "QvExport.h"

class QvGWorld;

// What the engine asks of the program hosting it: the clipboard, the bell, and showing
// how far long work has got. Hosts install their own; until then an in-process
// stand-in is used.
class QV_EXPORT QvHostServices {
public:
    virtual ~QvHostServices();
    virtual void setClipboardText(const std::string& text) = 0;
    virtual std::string clipboardText() = 0;
    // A new gworld of the picture on the clipboard, or null when it holds none. Hosts
    // without a picture clipboard keep this default.
    virtual QvGWorld* clipboardPicture() { return nullptr; }
    virtual void beep() = 0;
    // Long work (saving a movie, recording) says what it does and how much of it is
    // done, from 0 to 1; it ends with a report of 1. Called on the script's thread;
    // hosts that show nothing leave it as it is.
    virtual void reportProgress(const std::string& what, double fraction);
};

// Keeps the clipboard text in memory and rings the terminal bell on stderr.
class QV_EXPORT QvInProcessHostServices : public QvHostServices {
public:
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    void beep() override;

private:
    struct Clipboard;
    static Clipboard& clipboard();
};

// Installs the host's services (the host keeps ownership); null restores the stand-in.
QV_C_EXPORT void QvInstallHostServices(QvHostServices* services);
QV_C_EXPORT QvHostServices* QvGetHostServices();
