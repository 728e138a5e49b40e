#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace platform {

// The title an application has before it is given its product title: the
// program file's name without folder and extension, the first character as
// stored and the rest in lower case.
QString defaultTitle(const QString& programPath);

// A per-user lock that marks the first running instance, plus a local socket
// through which a later instance asks it to come forward. A lock left behind
// by a killed process is taken over.
class InstanceLock final : public QObject {
    Q_OBJECT
public:
    explicit InstanceLock(const QString& lockName, QObject* parent = nullptr);
    ~InstanceLock() override;

    // True when this process holds the lock (it is the first instance).
    bool isFirst() const { return m_first; }
    // Second instance: asks the first to come forward. False when no first
    // instance answered.
    bool signalFirst(int timeoutMs = 2000);
    const QString& lockName() const { return m_name; }
    QString lockFilePath() const;

signals:
    void raiseRequested();

private:
    QString m_name;
    QString m_base;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_first = false;
};

} // namespace platform
