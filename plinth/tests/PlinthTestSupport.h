// One QApplication on the offscreen platform for the widget tests, with the per-user settings
// in a private folder.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

inline QApplication& PlinthTestApp()
{
    static int argc = 1;
    static char name[] = "plinth_tests";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QTemporaryDir* settings = [] {
        auto* dir = new QTemporaryDir();
        setenv("XDG_CONFIG_HOME", dir->path().toLocal8Bit().constData(), 1);
        return dir;
    }();
    (void)settings;
    // Never destroyed: Qt's own statics may be gone by the time exit handlers run.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
