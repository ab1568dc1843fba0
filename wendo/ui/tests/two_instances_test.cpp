#include "UiTestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

// Starts the built program twice, the second time with a command file: the second start
// hands the file to the first and ends; the first keeps running with the file open.
TEST_F(UiTest, ASecondStartHandsItsFileToTheFirstAndEnds)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + "/config");
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + "/data");
    const QString program = QStringLiteral(WENDO_BIN_DIR "/wendo");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {QStringLiteral("-nologo")});
    ASSERT_TRUE(first.waitForStarted(5000));
    const QString socket = runtime.path() + QStringLiteral("/WENDO_CLASSAPP.socket");
    ASSERT_TRUE(SpinUntil([&] { return QFileInfo::exists(socket); }, 10000));

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {SitePath()});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << "the first instance opened the file";
    EXPECT_EQ(first.state(), QProcess::Running);

    // The same file again: the open document is activated, which also counts as opened.
    QProcess third;
    third.setProcessEnvironment(environment);
    third.start(program, {SitePath()});
    ASSERT_TRUE(third.waitForFinished(15000));
    EXPECT_EQ(third.exitCode(), 0);

    first.terminate();
    if (!first.waitForFinished(5000)) {
        first.kill();
        first.waitForFinished(5000);
    }
}

} // namespace
