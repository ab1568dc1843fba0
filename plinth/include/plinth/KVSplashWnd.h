// The start-up splash window: the program's name, a line below it, a notice and a version,
// over the owner's icon. Owned by the program's main window while it exists.
//
// Threads: interface thread only.
#pragma once

#include "plinth/plinth_api.h"

#include <QPointer>
#include <QString>

class QWidget;

class PLINTH_API CKVSplashWnd
{
public:
    CKVSplashWnd();
    CKVSplashWnd(const CKVSplashWnd&) = delete;
    CKVSplashWnd& operator=(const CKVSplashWnd&) = delete;
    ~CKVSplashWnd();

    // Creates the window (hidden): title, subtitle and notice texts, the bitmap number (0:
    // the owner's icon), whether it has a border, the version text, the owner. False when it
    // already exists or there is no owner.
    bool Create(const QString& title, const QString& subtitle, const QString& notice, int bitmapId,
                bool border, const QString& version, QWidget* owner);
    void ShowWindow();
    void DestroyWindow();
    bool Exists() const { return !m_window.isNull(); }
    QWidget* GetWindow() const { return m_window.data(); }

private:
    QPointer<QWidget> m_window;
};
