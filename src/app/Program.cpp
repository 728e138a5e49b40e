#include "Program.h"

#include "AppOwner.h"
#include "CommandLine.h"
#include "InstanceLock.h"
#include "RealServices.h"
#include "StartWindow.h"

#include <QApplication>
#include <QFont>
#include <QTextStream>

namespace app {

int runProgram(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (isCommand(args)) {
        // Import and export run without a window or a display, beside a
        // running instance: the table layer's locks keep them apart.
        QCoreApplication application(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return runCommand(QCoreApplication::arguments().mid(1),
                          QCoreApplication::applicationDirPath(), out, err);
    }
    QApplication application(argc, argv);
    const QString lockName =
        QStringLiteral("PREVINST:") + platform::defaultTitle(QApplication::applicationFilePath());
    platform::InstanceLock lock(lockName);
    if (!lock.isFirst()) {
        // A later start only brings the running instance forward.
        lock.signalFirst();
        return 0;
    }
    QApplication::setApplicationName(QStringLiteral("Quizlark TCP/IP 4.0"));
    // The design font of the windows; without this it would fall back to a
    // wider face than the layout was drawn for.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QApplication::setQuitOnLastWindowClosed(false);

    platform::RealServices services(QStringLiteral("Quizlark TCP/IP 4.0"));
    AppOwner owner(services, QApplication::applicationDirPath());
    QObject::connect(&lock, &platform::InstanceLock::raiseRequested, &owner,
                     &AppOwner::bringForward);
    QObject::connect(owner.startWindow(), &StartWindow::closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    owner.startWindow()->show();
    return QApplication::exec() == 0 ? 0 : 1;
}

} // namespace app
