#pragma once

#include <QToolButton>

namespace platform {
class Services;
}

namespace session {

// A flat button that starts a program and shows that program's icon.
class RunButton final : public QToolButton {
    Q_OBJECT
public:
    explicit RunButton(platform::Services& services, QWidget* parent = nullptr);

    const QString& commandLine() const { return m_commandLine; }
    // Checks and stores the program; throws, keeping the previous program
    // and picture, when the file is no program or does not exist.
    void setCommandLine(const QString& name);
    // Starts another copy of the program; throws when it cannot start, and
    // names the file when the program last asked for is missing or no
    // program: the button may be shown for a path that failed its checks.
    void run();

private:
    platform::Services& m_services;
    QString m_commandLine;
    QString m_requested;
};

} // namespace session
