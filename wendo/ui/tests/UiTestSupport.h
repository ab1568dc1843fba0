// A started application on the offscreen platform with private settings folders, and the
// example command file copied into a scratch folder.
#pragma once

#include "MainFrame.h"
#include "WendoApp.h"
#include "fw/MessageBox.h"
#include "model/WendoDoc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

inline QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Never destroyed: Qt's own statics may be gone by the time exit handlers run.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        // Windows closed with deleteLater go here too, as they would in the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

class UiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        ASSERT_TRUE(m_home.isValid());
        for (const char* name : {"config", "data", "runtime"}) {
            QDir(m_home.path()).mkdir(QString::fromLatin1(name));
        }
        setenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toLocal8Bit().constData(), 1);
        setenv("XDG_DATA_HOME", (m_home.path() + "/data").toLocal8Bit().constData(), 1);
        fw::SetMessageBoxHook([this](const QString& text, core::PromptButtons, core::PromptIcon) {
            m_boxes.push_back(text);
            return core::PromptAnswer::No;
        });
        ASSERT_TRUE(QFile::copy(
            QDir::cleanPath(QStringLiteral(WENDO_TEST_DATA "/../../../../examples/site.wdo")),
            SitePath()));
    }
    void TearDown() override
    {
        // The files a test opened must not reach the recent file lists of later tests.
        if (fw::RecentFileList* recent = m_app ? m_app->GetRecentFileList() : nullptr) {
            while (!recent->GetEntries().isEmpty()) {
                recent->Remove(0);
            }
            recent->WriteList();
        }
        m_app.reset();
        fw::SetMessageBoxHook({});
    }

    void Start(QStringList arguments = {QStringLiteral("wendo"), QStringLiteral("-nologo")})
    {
        m_app = std::make_unique<wendo::ui::CWendoApp>();
        m_app->SetSingleInstance(false);
        m_app->SetArguments(std::move(arguments));
        ASSERT_TRUE(m_app->InitInstance());
    }
    QString SitePath() const { return m_home.path() + QStringLiteral("/site.wdo"); }
    wendo::ui::CMainFrame& Frame() const { return *m_app->GetMainFrame(); }
    wendo::CWendoDoc* OpenSite()
    {
        return dynamic_cast<wendo::CWendoDoc*>(m_app->OpenDocumentFile(SitePath()));
    }

    QTemporaryDir m_home;
    std::unique_ptr<wendo::ui::CWendoApp> m_app;
    std::vector<QString> m_boxes;
};
