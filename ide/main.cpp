// The Quarvel IDE: edit, check, run and stop scripts, and see their output.
#include <QApplication>

#include "QvIdeApplication.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QvIdeApplication ide;
    QStringList files = QApplication::arguments().mid(1);
    if (!ide.start(files)) return 1;
    return QApplication::exec();
}
