#include "Program.h"

#include "AppOwner.h"
#include "CommandLine.h"
#include "DataFolder.h"
#include "InstanceLock.h"
#include "ProgressWindow.h"
#include "RealServices.h"
#include "Schemas.h"
#include "StartWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QStandardPaths>
#include <QTextStream>

namespace app {

namespace {

// Asked before the application name is set, so that the folder is named after
// the program's file ("quizlark") rather than its title.
QString dataFolder()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    return store::chooseDataFolder(
        programDir, store::folderIsWritable(programDir),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// The progress window over the rebuild of the bank's copy, before any other
// window exists: nothing else runs the event loop meanwhile, so each step
// lets the window paint (and nothing else happen).
class StartProgress final : public store::BuildProgress {
public:
    StartProgress() { m_window.setWindowTitle(QStringLiteral("Updating the question bank...")); }
    void beginBuild() override
    {
        m_window.beginBuild();
        paint();
    }
    void setBuildMaximum(int maximum) override { m_window.setBuildMaximum(maximum); }
    void setBuildPosition(int position) override
    {
        m_window.setBuildPosition(position);
        paint();
    }
    void endBuild() override { m_window.endBuild(); }

private:
    static void paint() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
    widgets::ProgressWindow m_window;
};

} // namespace

bool readyDataFolder(platform::Services& services, const QString& programDir,
                     const QString& dataDir, store::BuildProgress* progress)
{
    try {
        const QString notice = store::prepareUserData(programDir, dataDir, progress);
        if (!notice.isEmpty())
            services.message(nullptr, platform::MsgKind::Warning, notice, platform::Ok);
        return true;
    } catch (const std::exception& e) {
        services.message(nullptr, platform::MsgKind::Error, QString::fromUtf8(e.what()),
                         platform::Ok);
        return false;
    }
}

int runProgram(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    {
        // Asked before any application object exists: a request for the
        // usage or the version, or a wrong argument, needs no display.
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (const auto status = answerAtOnce(args, out, err))
            return *status;
    }
    if (isCommand(args)) {
        // Import and export run without a window or a display, beside a
        // running instance: the table layer's locks keep them apart.
        QCoreApplication application(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        const QString dataDir = dataFolder();
        if (dataDir != QCoreApplication::applicationDirPath()) {
            try {
                store::readyUserFolder(dataDir);
                store::ensureUserSet(
                    QDir(dataDir).filePath(QString::fromLatin1(store::kUserSetFile)));
            } catch (const std::exception& e) {
                err << "quizlark: " << e.what() << Qt::endl;
                return 1;
            }
        }
        return runCommand(QCoreApplication::arguments().mid(1), dataDir, out, err);
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
    const QString dataDir = dataFolder();
    QApplication::setApplicationName(QStringLiteral("Quizlark TCP/IP 4.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quizlark.Quizlark"));
    // The design font of the windows; without this it would fall back to a
    // wider face than the layout was drawn for.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QApplication::setQuitOnLastWindowClosed(false);

    platform::RealServices services(QStringLiteral("Quizlark TCP/IP 4.0"));
    if (dataDir != QApplication::applicationDirPath()) {
        // An installed program keeps the user's tables in the user's data
        // folder, made current from the shipped bank before any table opens.
        StartProgress progress;
        if (!readyDataFolder(services, QApplication::applicationDirPath(), dataDir, &progress))
            return 1;
    }
    AppOwner owner(services, dataDir);
    QObject::connect(&lock, &platform::InstanceLock::raiseRequested, &owner,
                     &AppOwner::bringForward);
    QObject::connect(owner.startWindow(), &StartWindow::closed, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    owner.startWindow()->show();
    return QApplication::exec() == 0 ? 0 : 1;
}

} // namespace app
