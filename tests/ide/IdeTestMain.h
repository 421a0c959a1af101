#pragma once
// The main function of an IDE test program: the offscreen platform, a profile in a
// temporary config folder, and the engine's built-in functions registered once.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "Plugins/QvPluginRegistry.h"

#define QV_IDE_TEST_MAIN(TestClass)                                          \
    int main(int argc, char** argv) {                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                             \
        QTemporaryDir config;                                                \
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());             \
        QApplication application(argc, argv);                                \
        QvPluginRegistryInitInternal();                                      \
        TestClass test;                                                      \
        return QTest::qExec(&test, argc, argv);                              \
    }
