#include "fw/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace fw {

namespace {

constexpr char kSeparator = '\x1f';
constexpr char kAccepted = '\x06';
constexpr char kRefused = '\x15';
constexpr int kReadTimeoutMs = 3000;
const QByteArray kService = QByteArrayLiteral("WENDO");
const QByteArray kTopic = QByteArrayLiteral("System");
const QByteArray kOpenStart = QByteArrayLiteral("[open(\"");
const QByteArray kOpenEnd = QByteArrayLiteral("\")]");

// A folder only this user can enter: a real folder (not a link), owned by the user, with no
// rights for group or others.
bool IsPrivateFolder(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink() || !info.isDir() || info.ownerId() != ::getuid()) {
        return false;
    }
    const QFileDevice::Permissions open = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                          QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::WriteOther | QFileDevice::ExeOther;
    return (info.permissions() & open) == 0;
}

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_allowedUid(::getuid())
{
}

SingleInstance::~SingleInstance()
{
    if (m_server != nullptr) {
        m_server->close();
    }
}

QString SingleInstance::RuntimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString path = QString::fromLocal8Bit(runtime);
        if (QDir::isAbsolutePath(path) && IsPrivateFolder(path)) {
            return path;
        }
    }
    const QString fallback = QDir::tempPath() + QStringLiteral("/wendo-runtime-%1").arg(::getuid());
    if (!QFileInfo::exists(fallback)) {
        QDir().mkdir(fallback,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return IsPrivateFolder(fallback) ? fallback : QString();
}

bool SingleInstance::Claim()
{
    m_otherRunning = false;
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) {
        return false;
    }
    m_socketPath = folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    m_lock =
        std::make_unique<QLockFile>(folder + QLatin1Char('/') + m_name + QStringLiteral(".lock"));
    // A lock is stale only when its process is gone, never because it is old.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_otherRunning = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        return false;
    }
    // Holding the lock, any socket there was left by an instance that crashed.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        delete m_server;
        m_server = nullptr;
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    return true;
}

bool SingleInstance::PeerAllowed(QLocalSocket* socket) const
{
    struct ucred credentials = {};
    socklen_t size = sizeof(credentials);
    const auto descriptor = static_cast<int>(socket->socketDescriptor());
    if (descriptor < 0 ||
        ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
        return false;
    }
    return credentials.uid == m_allowedUid;
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerAllowed(socket)) {
            socket->abort();
            socket->deleteLater();
            Q_EMIT requestRejected();
            continue;
        }
        // A client that never finishes its message is cut off.
        QTimer::singleShot(kReadTimeoutMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        if (socket->bytesAvailable() > 0) {
            OnReadyRead(socket);
        }
    }
}

void SingleInstance::OnReadyRead(QLocalSocket* socket)
{
    QByteArray buffered = socket->property("wendoMessage").toByteArray();
    buffered += socket->read(kMaxMessage + 1 - buffered.size());
    const qsizetype end = buffered.indexOf('\0');
    if (end < 0 && buffered.size() <= kMaxMessage) {
        socket->setProperty("wendoMessage", buffered);
        return;
    }
    socket->setProperty("wendoMessage", QVariant());
    socket->disconnect(this);
    const std::optional<QString> path = ParseOpen(buffered);
    bool opened = false;
    if (path.has_value() && m_openHandler) {
        opened = m_openHandler(*path);
    } else {
        Q_EMIT requestRejected();
    }
    socket->write(QByteArray(1, opened ? kAccepted : kRefused));
    socket->flush();
    socket->disconnectFromServer();
}

bool SingleInstance::SendOpen(const QString& path, int timeoutMs) const
{
    const QString socketPath = m_socketPath.isEmpty() ? RuntimeFolder() + QLatin1Char('/') +
                                                            m_name + QStringLiteral(".socket")
                                                      : m_socketPath;
    QLocalSocket socket;
    // The running instance may hold the lock and not listen yet; try again for a while.
    QElapsedTimer clock;
    clock.start();
    while (true) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(500)) {
            break;
        }
        if (clock.elapsed() >= timeoutMs) {
            return false;
        }
        QThread::msleep(100);
    }
    socket.write(EncodeOpen(path));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kAccepted;
}

QByteArray SingleInstance::EncodeOpen(const QString& path)
{
    QByteArray message = kService;
    message += kSeparator;
    message += kTopic;
    message += kSeparator;
    message += kOpenStart + path.toUtf8() + kOpenEnd;
    message += '\0';
    return message;
}

std::optional<QString> SingleInstance::ParseOpen(const QByteArray& message)
{
    if (message.size() > kMaxMessage || !message.endsWith('\0')) {
        return std::nullopt;
    }
    const QByteArray body = message.left(message.size() - 1);
    if (body.contains('\0')) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = body.split(kSeparator);
    if (fields.size() != 3 || fields[0] != kService || fields[1] != kTopic) {
        return std::nullopt;
    }
    const QByteArray& command = fields[2];
    if (!command.startsWith(kOpenStart) || !command.endsWith(kOpenEnd) ||
        command.size() <= kOpenStart.size() + kOpenEnd.size()) {
        return std::nullopt;
    }
    const QByteArray name =
        command.mid(kOpenStart.size(), command.size() - kOpenStart.size() - kOpenEnd.size());
    for (const char c : name) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == '\x7f') {
            return std::nullopt;
        }
    }
    const QString path = QString::fromUtf8(name);
    // Invalid UTF-8 comes back with replacement characters; such a name is not a file.
    if (path.toUtf8() != name || !QDir::isAbsolutePath(path)) {
        return std::nullopt;
    }
    return path;
}

} // namespace fw
