#include "RealServices.h"

#include "WindowPlace.h"

#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

QString displayText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

double toDays(const QDateTime& local)
{
    static const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    const qint64 ms = base.msecsTo(QDateTime(local.date(), local.time()));
    return static_cast<double>(ms) / 86400000.0;
}

namespace {

// A progress dialog with Cancel. The task runs on this thread, so the
// dialog is kept live by the events it handles as it is advanced; it is
// redrawn at most every 50 ms, so that a task of many small steps does not
// spend its time drawing.
class DialogProgress final : public Progress {
public:
    DialogProgress(QWidget* parent, const QString& text, int maximum)
        : m_dialog(displayText(text), QStringLiteral("Cancel"), 0, maximum, parent)
    {
        m_dialog.setObjectName(QStringLiteral("progressDialog"));
        m_dialog.setWindowTitle(QApplication::applicationName());
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
        // Wide enough for the program's name in its title bar.
        m_dialog.setMinimumWidth(360);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
        m_sinceDrawn.start();
    }
    bool advance(int position) override
    {
        if (m_sinceDrawn.elapsed() >= 50 || position >= m_dialog.maximum()) {
            m_dialog.setValue(position);
            QCoreApplication::processEvents();
            m_sinceDrawn.restart();
        }
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceDrawn;
};

class TimerTicker final : public Ticker {
public:
    TimerTicker()
    {
        m_timer.setInterval(1000);
        connect(&m_timer, &QTimer::timeout, this, &Ticker::tick);
    }
    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

// Ends a local event loop when the watched window is hidden or destroyed.
// Minimising also hides a window, spontaneously and without making it
// invisible; the run goes on until the window is really closed.
class HideWatcher final : public QObject {
public:
    HideWatcher(QWidget* w, QEventLoop* loop) : m_loop(loop) { w->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Hide &&
            (!e->spontaneous() || !static_cast<QWidget*>(watched)->isVisible()))
            m_loop->quit();
        return false;
    }

private:
    QEventLoop* m_loop;
};

} // namespace

IniStore::IniStore(const QString& fileName) : m_fileName(fileName) {}

IniStore::~IniStore() = default;

namespace {

QByteArray settingsFileState(const QString& fileName)
{
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return QByteArrayLiteral("none");
    return QByteArray::number(qint64(st.st_size)) + ' ' +
           QByteArray::number(qint64(st.st_mtim.tv_sec)) + ' ' +
           QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(qint64(st.st_ino));
}

// The text after "key=" in the section, as the file holds it; the last such
// line counts.
// Every "key=" text of the file as it stands, by "section/key"; the last
// such line counts.
QHash<QString, QString> rawIniValues(const QString& fileName)
{
    QHash<QString, QString> values;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            values.insert(current + QLatin1Char('/') + line.left(eq).trimmed(),
                          line.mid(eq + 1).trimmed());
    }
    return values;
}

} // namespace

QSettings& IniStore::file() const
{
    const QByteArray state = settingsFileState(m_fileName);
    if (!m_file || state != m_fileState) {
        // Changed by hand or by another run since: read it afresh.
        m_file = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
        m_fileState = state;
        m_raw.reset();
    }
    return *m_file;
}

bool IniStore::contains(const QString& section, const QString& key) const
{
    return file().contains(section + QLatin1Char('/') + key);
}

QString IniStore::read(const QString& section, const QString& key) const
{
    const QVariant value = file().value(section + QLatin1Char('/') + key);
    // A hand-edited value with a comma and no quotes reads as a list, which
    // as text is empty; every value here is one text, commas and all.
    if (value.typeId() == QMetaType::QStringList) {
        if (!m_raw)
            m_raw = rawIniValues(m_fileName);
        return m_raw->value(section + QLatin1Char('/') + key);
    }
    return value.toString();
}

void IniStore::write(const QString& section, const QString& key, const QString& value)
{
    QSettings& s = file();
    s.setValue(section + QLatin1Char('/') + key, value);
    s.sync();
    m_fileState = settingsFileState(m_fileName);
    m_raw.reset();
    // A store that cannot be written must not look like a saved one. A
    // format error is about the old file as it was read: the file has just
    // been written whole, so it is no failure to save.
    if (s.status() == QSettings::AccessError) {
        // Read afresh next time: the kept copy holds a value the file lacks,
        // and would keep reporting this failure after the cause is gone.
        m_file.reset();
        throw std::runtime_error(
            QStringLiteral("The settings could not be saved to %1.").arg(m_fileName).toStdString());
    }
}

RealServices::RealServices(const QString& productKey)
    : m_settings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QStringLiteral("/Quizlark/") +
                 QString(productKey).replace(QLatin1Char('/'), QLatin1Char('_')) +
                 QStringLiteral(".ini"))
{
}

MsgButton RealServices::message(QWidget* parent, MsgKind kind, const QString& text, int buttons)
{
    return detailedMessage(parent, kind, text, QString(), buttons);
}

MsgButton RealServices::detailedMessage(QWidget* parent, MsgKind kind, const QString& text,
                                        const QString& details, int buttons)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case MsgKind::Information:
        icon = QMessageBox::Information;
        break;
    case MsgKind::Warning:
        icon = QMessageBox::Warning;
        break;
    case MsgKind::Confirmation:
        icon = QMessageBox::Question;
        break;
    case MsgKind::Error:
        icon = QMessageBox::Critical;
        break;
    }
    QMessageBox::StandardButtons std;
    if (buttons & Ok)
        std |= QMessageBox::Ok;
    if (buttons & Cancel)
        std |= QMessageBox::Cancel;
    if (buttons & Yes)
        std |= QMessageBox::Yes;
    if (buttons & No)
        std |= QMessageBox::No;
    if (!std)
        std = QMessageBox::Ok;
    QMessageBox box(icon, QApplication::applicationName(), displayText(text), std, parent);
    // Shown behind the box's "Show Details..." button, scrolled, so that a
    // long account never makes the box taller than the screen.
    if (!details.isEmpty())
        box.setDetailedText(details);
    if ((buttons & EscapeAnswersOk) && (buttons & Ok))
        box.setEscapeButton(QMessageBox::Ok);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    case QMessageBox::Cancel:
        return Cancel;
    default:
        break;
    }
    return closedAnswer(buttons);
}

std::unique_ptr<Progress> RealServices::showProgress(QWidget* parent, const QString& text,
                                                    int maximum)
{
    return std::make_unique<DialogProgress>(parent, text, maximum);
}

int RealServices::runModal(QWidget* window)
{
    QPointer<QWidget> guard(window);
    restorePlace(window);
    int result = 0;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        result = dialog->exec();
    } else {
        window->setWindowModality(Qt::ApplicationModal);
        window->setProperty("modalResult", 0);
        QEventLoop loop;
        HideWatcher watcher(window, &loop);
        window->show();
        if (window->isVisible())
            loop.exec(QEventLoop::DialogExec);
        if (!guard)
            return 0;
        window->removeEventFilter(&watcher);
        result = window->property("modalResult").toInt();
    }
    if (guard)
        keepPlace(window);
    return result;
}

double RealServices::now()
{
    return toDays(QDateTime::currentDateTime());
}

double RealServices::monotonicNow()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since).count() / 86400.0;
}

std::unique_ptr<Ticker> RealServices::createTicker()
{
    return std::make_unique<TimerTicker>();
}

std::optional<QFont> RealServices::chooseFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return f;
}

std::optional<QColor> RealServices::chooseColour(QWidget* parent, const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

QString RealServices::chooseOpenFile(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString RealServices::chooseSaveFile(QWidget* parent, const QString& caption, const QString& dir,
                                     const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

int RealServices::startProgram(const QString& path)
{
    // posix_spawn reports the system's own reason (ENOENT, EACCES, ENOEXEC,
    // ...) when the program cannot be started; QProcess says only that it
    // failed.
    QByteArray file = QFile::encodeName(path);
    char* argv[] = {file.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session: the calculator outlives the exam and its terminal.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int code = posix_spawn(&pid, file.constData(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (code != 0)
        return code;
    // The program runs on by itself; its exit status is collected so that it
    // leaves no zombie behind.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    // The desktop gives no "ready for input" signal; a short settle keeps a
    // double click from starting two copies at once.
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return 0;
}

bool RealServices::printDialog(QWidget* parent, QPrinter* printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace platform
