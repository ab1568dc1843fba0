// An application on the offscreen platform and a bounded wait for the browser control.
#pragma once

#include "HHCtrl.h"
#include "QtTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

// The browser's loads take longer than the other windows' waits allow.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000)
{
    return SpinUntil(done, timeoutMs);
}

// Waits until the control shows the page of this title and has finished loading.
inline bool WaitForPage(const wendo::ui::CHHCtrl& control, const QString& title)
{
    return WaitFor([&] { return control.Title() == title && !control.IsBusy(); });
}

// The application exists before the fixture's widgets.
struct WithBrowserTestApp
{
    WithBrowserTestApp() { TestApp(); }
};

class BrowserTest : public ::testing::Test, private WithBrowserTestApp
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_parent.resize(640, 480);
        ASSERT_TRUE(m_control.Create(&m_parent, m_parent.rect(), wendo::ui::CHHCtrl::kStylePlain));
        m_parent.show();
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
    QWidget m_parent;
    wendo::ui::CHHCtrl m_control;
};
