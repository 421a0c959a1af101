#pragma once
#include <QIcon>
#include <QStringList>
#include <memory>

#include "QvIdeHostServices.h"
#include "QvMainWindow.h"

// Brings the IDE up in its fixed order: the main window (placed as the profile
// remembers it), the start-up window, the media layer and the media settings the
// profile keeps for it, the built-in functions, the plug-in modules (beside the program, then in the folders of QUARVEL_PLUGIN_PATH),
// then the files named on the command line.
class QvIdeApplication {
public:
    static constexpr const char* kMediaUnavailable = "QuickTime not available.";

    QvIdeApplication() = default;
    ~QvIdeApplication();
    QvIdeApplication(const QvIdeApplication&) = delete;
    QvIdeApplication& operator=(const QvIdeApplication&) = delete;

    // False when the IDE cannot run (the user has been told why).
    bool start(const QStringList& files);
    QvMainWindow* mainWindow() const { return mainWindow_.get(); }
    // The program's icon: a "Q" on a blue square.
    static QIcon icon();

private:
    std::unique_ptr<QvMainWindow> mainWindow_;
    QvIdeHostServices hostServices_;
    bool mediaStarted_ = false;
};
