#include "RunButton.h"

#include "Services.h"

#include <QFileInfo>
#include <QStyle>
#include <cstring>
#include <stdexcept>

namespace session {

RunButton::RunButton(platform::Services& services, QWidget* parent)
    : QToolButton(parent), m_services(services)
{
    setAutoRaise(true);
    resize(45, 45);
    setIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
}

void RunButton::setCommandLine(const QString& name)
{
    m_requested = name;
    const QFileInfo info(name);
    if (!info.exists())
        throw std::runtime_error(
            (QStringLiteral("The file: ") + name + QStringLiteral(" cannot be found."))
                .toStdString());
    // On this desktop a program is a file one may execute, whatever its name.
    if (!info.isFile() || !info.isExecutable())
        throw std::runtime_error(
            (name + QStringLiteral(" is not an executable file.")).toStdString());
    m_commandLine = name;
    // Desktop programs carry their icon in the icon theme, under their name.
    const QIcon fallback = QIcon::fromTheme(QStringLiteral("accessories-calculator"),
                                            style()->standardIcon(QStyle::SP_ComputerIcon));
    setIcon(QIcon::fromTheme(info.completeBaseName(), fallback));
    setToolTip(name);
}

void RunButton::run()
{
    // No program was ever assigned: the path asked for is checked again; it
    // may have been installed since, or the error says which file is wanting.
    if (m_commandLine.isEmpty())
        setCommandLine(m_requested);
    if (!QFileInfo::exists(m_commandLine))
        throw std::runtime_error(
            (QStringLiteral("The file: ") + m_commandLine + QStringLiteral(" cannot be found."))
                .toStdString());
    const int code = m_services.startProgram(m_commandLine);
    if (code != 0)
        // The system's code and, on a line of its own, its own words for it.
        throw std::runtime_error(QStringLiteral("Error executing program. Error Code:; %1\r%2")
                                     .arg(code & 0xffff)
                                     .arg(QString::fromLocal8Bit(std::strerror(code)))
                                     .toStdString());
}

} // namespace session
