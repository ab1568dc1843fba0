// One running instance per user. The first instance holds a lock file and listens on a local
// socket, both in the user's private runtime folder; a later start sends the name of its file
// in an execute message, waits for the answer and ends.
//
// The message is service, topic and command separated by 0x1F and ended by one NUL:
// "WENDO" 0x1F "System" 0x1F "[open(\"<path>\")]" NUL. The listener accepts connections
// only from processes of its own user, reads at most kMaxMessage bytes within a few seconds,
// and ignores anything that is not exactly such a message. The answer is one byte: 0x06 when
// the file was opened, 0x15 otherwise.
//
// Threads: interface thread only.
#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace fw {

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxMessage = 8192;

    // name tells programs apart (the lock file and socket carry it).
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The user's private runtime folder: $XDG_RUNTIME_DIR when it is a folder of this user
    // that nobody else may enter, else a folder made for the purpose in the temporary
    // folder with the same checks. Empty when neither can be had.
    static QString RuntimeFolder();

    // Takes the lock; true when this is the first instance, which then listens (a socket
    // left by a crashed instance is replaced). False when another instance holds the lock,
    // or no private folder exists (then the caller runs on its own).
    bool Claim();
    bool IsOtherRunning() const { return m_otherRunning; }
    QString GetSocketPath() const { return m_socketPath; }

    // Called for each accepted open request; true when the file was opened.
    void SetOpenHandler(std::function<bool(const QString&)> handler)
    {
        m_openHandler = std::move(handler);
    }
    // The user whose connections are accepted (tests); the real user by default.
    void SetAllowedUser(unsigned uid) { m_allowedUid = uid; }

    // Sends an open request for path to the running instance; true when it answered that
    // the file was opened.
    bool SendOpen(const QString& path, int timeoutMs = 5000) const;

    static QByteArray EncodeOpen(const QString& path);
    // The path of an exact open message; none for anything else.
    static std::optional<QString> ParseOpen(const QByteArray& message);

Q_SIGNALS:
    // A connection was refused or its message ignored (tests and diagnostics).
    void requestRejected();

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    bool PeerAllowed(QLocalSocket* socket) const;

    QString m_name;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_otherRunning = false;
    unsigned m_allowedUid;
    std::function<bool(const QString&)> m_openHandler;
};

} // namespace fw
