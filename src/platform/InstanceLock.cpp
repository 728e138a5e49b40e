#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace platform {

QString defaultTitle(const QString& programPath)
{
    const QString base = QFileInfo(programPath).completeBaseName();
    if (base.isEmpty())
        return base;
    return base.left(1) + base.mid(1).toLower();
}

InstanceLock::InstanceLock(const QString& lockName, QObject* parent)
    : QObject(parent), m_name(lockName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    // The lock name holds characters that do not belong in file names.
    const QByteArray hash =
        QCryptographicHash::hash(m_name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_base = dir + QStringLiteral("/quizlark-") + QString::fromLatin1(hash);

    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Never stale by age: only a dead owner makes the lock stale.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
    if (!m_first && m_lock->error() == QLockFile::LockFailedError) {
        // A killed owner leaves its file behind; take it over if it is dead.
        if (m_lock->removeStaleLockFile())
            m_first = m_lock->tryLock(0);
    }
    if (m_first) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(m_base + QStringLiteral(".sock"));
        if (m_server->listen(m_base + QStringLiteral(".sock"))) {
            connect(m_server, &QLocalServer::newConnection, this, [this] {
                while (QLocalSocket* s = m_server->nextPendingConnection()) {
                    connect(s, &QLocalSocket::readyRead, this, [this, s] {
                        if (s->readAll().contains("raise"))
                            emit raiseRequested();
                        s->disconnectFromServer();
                    });
                    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                }
            });
        }
    }
}

InstanceLock::~InstanceLock()
{
    if (m_server)
        m_server->close();
    if (m_lock && m_first)
        m_lock->unlock();
}

QString InstanceLock::lockFilePath() const
{
    return m_base + QStringLiteral(".lock");
}

bool InstanceLock::signalFirst(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_base + QStringLiteral(".sock"));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(timeoutMs);
    socket.waitForDisconnected(timeoutMs);
    return true;
}

} // namespace platform
