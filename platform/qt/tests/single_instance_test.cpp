#include "QtTestSupport.h"
#include "fw/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(OpenMessageTest, RoundTripsAPath)
{
    const QString path = QStringLiteral("/home/user/site files/été.wdo");
    EXPECT_EQ(fw::SingleInstance::ParseOpen(fw::SingleInstance::EncodeOpen(path)), path);
    const QByteArray expected = QByteArrayLiteral("WENDO\x1fSystem\x1f[open(\"/a.wdo\")]");
    EXPECT_EQ(fw::SingleInstance::EncodeOpen(QStringLiteral("/a.wdo")), expected + '\0');
}

TEST(OpenMessageTest, AnythingElseIsIgnored)
{
    const auto message = [](const char* text) { return QByteArray(text) + '\0'; };
    const QByteArray rows[] = {
        QByteArray("WENDO\x1fSystem\x1f[open(\"/a.wdo\")]"),              // no NUL
        message("WENDO\x1fSystem\x1f[open(\"/a.wdo\")]x"),                // trailing text
        message("wendo\x1fSystem\x1f[open(\"/a.wdo\")]"),                 // service case
        message("WENDO\x1fTopic\x1f[open(\"/a.wdo\")]"),                  // topic
        message("WENDO\x1fSystem\x1f[print(\"/a.wdo\")]"),                // other command
        message("WENDO\x1fSystem\x1f[open(\"\")]"),                       // empty name
        message("WENDO\x1fSystem\x1f[open(\"a.wdo\")]"),                  // relative
        message("WENDO\x1fSystem\x1f[open(\"/a\"b.wdo\")]"),              // quote inside
        message("WENDO\x1fSystem\x1f[open(\"/a\nb.wdo\")]"),              // control character
        message("WENDO\x1fSystem\x1f[open(\"/a\xff.wdo\")]"),             // not UTF-8
        message("WENDO\x1fSystem\x1f[open(\"/a.wdo\")]\x1fmore"),         // fourth field
        QByteArray("WENDO\x1fSystem\x1f[open(\"/a\0.wdo\")]", 29) + '\0', // NUL inside
        QByteArray(fw::SingleInstance::kMaxMessage + 1, 'a'),
    };
    for (const QByteArray& row : rows) {
        EXPECT_FALSE(fw::SingleInstance::ParseOpen(row).has_value()) << row.toStdString();
    }
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        ASSERT_TRUE(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner);
        m_saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", m_saved); }

    QTemporaryDir m_runtime;
    QByteArray m_saved;
};

TEST_F(SingleInstanceTest, TheSecondClaimSendsItsFileToTheFirst)
{
    fw::SingleInstance first(QStringLiteral("TEST_CLASS"));
    ASSERT_TRUE(first.Claim());
    QString opened;
    first.SetOpenHandler([&](const QString& path) {
        opened = path;
        return true;
    });
    fw::SingleInstance second(QStringLiteral("TEST_CLASS"));
    EXPECT_FALSE(second.Claim());
    EXPECT_TRUE(second.IsOtherRunning());
    // The client blocks; the listener answers from the event loop of another thread here.
    bool delivered = false;
    std::thread client([&] { delivered = second.SendOpen(QStringLiteral("/x/a.wdo"), 3000); });
    SpinUntil([&] { return !opened.isEmpty(); });
    client.join();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(opened, QStringLiteral("/x/a.wdo"));
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashIsReplaced)
{
    const QString socketPath = m_runtime.path() + QStringLiteral("/TEST_CLASS.socket");
    QFile stale(socketPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    fw::SingleInstance first(QStringLiteral("TEST_CLASS"));
    ASSERT_TRUE(first.Claim());
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    EXPECT_TRUE(probe.waitForConnected(1000));
}

TEST_F(SingleInstanceTest, AFolderOthersMayEnterIsNotUsed)
{
    QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ExeOther);
    EXPECT_NE(fw::SingleInstance::RuntimeFolder(), m_runtime.path());
}

TEST_F(SingleInstanceTest, AnotherUsersConnectionIsRefused)
{
    fw::SingleInstance first(QStringLiteral("TEST_CLASS"));
    ASSERT_TRUE(first.Claim());
    int opens = 0;
    first.SetOpenHandler([&](const QString&) { return ++opens > 0; });
    QSignalSpy rejected(&first, &fw::SingleInstance::requestRejected);

    if (::getuid() == 0) {
        // A real second user: the folder and socket are opened up so that only the
        // credential check stands in the way.
        ::chmod(m_runtime.path().toLocal8Bit().constData(), 0755);
        ::chmod(first.GetSocketPath().toLocal8Bit().constData(), 0777);
        const QByteArray path = first.GetSocketPath().toLocal8Bit();
        const QByteArray message = fw::SingleInstance::EncodeOpen(QStringLiteral("/x/a.wdo"));
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                ::_exit(2);
            }
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, path.constData(),
                        std::min<size_t>(path.size(), sizeof(address.sun_path) - 1));
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
                ::_exit(3);
            }
            [[maybe_unused]] const auto written =
                ::write(fd, message.constData(), static_cast<size_t>(message.size()));
            ::_exit(0);
        }
        ASSERT_GT(child, 0);
        ASSERT_TRUE(SpinUntil([&] { return rejected.count() > 0; }));
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    } else {
        first.SetAllowedUser(::getuid() + 1);
        fw::SingleInstance second(QStringLiteral("TEST_CLASS"));
        bool delivered = true;
        std::thread client([&] { delivered = second.SendOpen(QStringLiteral("/x/a.wdo"), 2000); });
        SpinUntil([&] { return rejected.count() > 0; });
        client.join();
        EXPECT_FALSE(delivered);
    }
    SpinUntil([] { return false; }, 200);
    EXPECT_EQ(opens, 0);
}

} // namespace
