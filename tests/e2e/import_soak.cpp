// Soak test of the test sampler's import and Save: a child process imports
// files of random size into the user set through the sampler's File menu
// (now and then pressing Cancel part-way) and edits and saves items, logging
// each action it begins and each the sampler has finished; the parent kills
// it with SIGKILL at a random moment and checks that the user set and its
// names open whole, that every finished import is in it with all its
// questions, that the import in flight is in it whole or not at all, and
// that every finished Save is there.
//
//   import_soak [runs] [seed]        (defaults: 100 runs, seed from the clock)
#include "BoundControls.h"
#include "ProgramDir.h"
#include "SamplerData.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TableFile.h"
#include "TestSampler.h"
#include "UserSetExchange.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QToolButton>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const kLog = "soak.log";
const char* const kImportFile = "import.gift";
constexpr int kSeeded = 6;

void logLine(int fd, const QByteArray& line)
{
    const QByteArray l = line + '\n';
    if (::write(fd, l.constData(), size_t(l.size())) != l.size())
        std::_Exit(3);
}

store::Session& tableSession()
{
    static store::Session s = [] {
        store::Session session(QString::fromLatin1(store::kSessionName));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        return session;
    }();
    return s;
}

QString summary(int n)
{
    return n == 1 ? QStringLiteral("1 question will be added.\rAdd it to the question set?")
                  : QStringLiteral("%1 questions will be added.\rAdd them to the question set?")
                        .arg(n);
}

// The child: imports and saves until killed. "B n" begins an import that
// adds n questions if it completes (0 for one that will be cancelled), "D n"
// says the sampler finished it having added n; "b ID TEXT" and "d ID TEXT"
// do the same for a Save of an item's question.
int child(std::uint64_t seed)
{
    const int log = ::open(kLog, O_WRONLY | O_APPEND | O_CREAT, 0600);
    testing::ScriptedServices services;
    sampler::SamplerData dm(tableSession());
    sampler::TestSampler form(services, dm);
    form.show();
    std::mt19937_64 rng(seed);
    const QString path = QString::fromLatin1(kImportFile);
    services.fileChooser = [path] { return path; };
    logLine(log, "R");
    for (int step = 0;; ++step) {
        if (rng() % 10 < 7) {
            const int n = 1 + int(rng() % 400);
            QByteArray gift;
            for (int i = 0; i < n; ++i)
                gift += "::N" + QByteArray::number(step) + "-" + QByteArray::number(i) +
                        ":: Imported " + QByteArray::number(seed % 100000) + "/" +
                        QByteArray::number(step) + "/" + QByteArray::number(i) +
                        "? {=yes ~no}\n\n";
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(gift) != gift.size())
                return 4;
            f.close();
            const bool cancel = rng() % 5 == 0;
            services.cancelProgressAt = cancel ? 1 + int(rng() % n) : -1;
            services.expectMessage(summary(n), platform::Yes);
            if (cancel)
                services.expectMessage(QStringLiteral("The import was cancelled. Nothing was "
                                                      "added to the question set."),
                                       platform::Ok);
            logLine(log, "B " + QByteArray::number(cancel ? 0 : n));
            form.m_importAction->trigger();
            if (!services.done())
                return 5;
            logLine(log, "D " + QByteArray::number(cancel ? 0 : n));
        } else {
            if (dm.userSet().isEmpty())
                continue;
            const QByteArray text = "Saved " + QByteArray::number(step);
            const QByteArray id = form.panelText(0).section(QLatin1Char(':'), 1).trimmed().toLatin1();
            form.m_editItemAction->trigger();
            form.m_questionEdit->setPlainText(QString::fromLatin1(text));
            logLine(log, "b " + id + ' ' + text);
            form.m_saveButton->click();
            logLine(log, "d " + id + ' ' + text);
            if (!services.done())
                return 6;
            form.m_navigator->button(int(rng() % 4))->click();
        }
    }
}

struct Expected {
    bool ready = false;
    int rows = kSeeded;
    int inFlight = -1; // questions of the import in flight; -1: none
    QHash<qint64, QString> saved;
    std::optional<std::pair<qint64, QString>> saving;
    int imports = 0;
    int saves = 0;
};

Expected replay()
{
    Expected e;
    QFile f(QString::fromLatin1(kLog));
    if (!f.open(QIODevice::ReadOnly))
        return e;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> p = line.split(' ');
        if (p.value(0) == "R") {
            e.ready = true;
        } else if (p.value(0) == "B") {
            e.inFlight = p.value(1).toInt();
        } else if (p.value(0) == "D") {
            e.rows += p.value(1).toInt();
            e.inFlight = -1;
            ++e.imports;
        } else if (p.value(0) == "b" && p.size() >= 3) {
            e.saving = std::make_pair(p[1].toLongLong(), QString::fromLatin1(line.mid(
                                                             p[0].size() + p[1].size() + 2)));
        } else if (p.value(0) == "d" && e.saving) {
            e.saved.insert(e.saving->first, e.saving->second);
            e.saving.reset();
            ++e.saves;
        }
    }
    return e;
}

// What the user set holds now, read as a fresh start of the program would:
// every page checked again.
QString check(const Expected& e)
{
    try {
        platform::TableFile::forgetCheckedPages();
        store::Table::forgetReads();
        store::Table t(tableSession(), QString::fromLatin1(store::kUserSetFile),
                       store::userSetSchema());
        t.open();
        const std::vector<formats::NumberedRecord> records = formats::readUserSet(t);
        const int rows = int(records.size());
        if (rows != e.rows && !(e.inFlight >= 0 && rows == e.rows + e.inFlight))
            return QStringLiteral("%1 questions stored, expected %2%3")
                .arg(rows)
                .arg(e.rows)
                .arg(e.inFlight > 0 ? QStringLiteral(" or %1").arg(e.rows + e.inFlight)
                                    : QString());
        for (const formats::NumberedRecord& r : records) {
            const auto it = e.saved.constFind(r.id);
            if (it == e.saved.constEnd())
                continue;
            const bool inFlight = e.saving && e.saving->first == r.id;
            if (r.record.text != *it && !(inFlight && r.record.text == e.saving->second))
                return QStringLiteral("item %1 holds \"%2\", saved as \"%3\"")
                    .arg(r.id)
                    .arg(r.record.text, *it);
        }
    } catch (const std::exception& ex) {
        return QStringLiteral("the user set does not open: %1").arg(QString::fromUtf8(ex.what()));
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]) == "--child")
        return child(std::strtoull(argv[2], nullptr, 10));
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10)
                                        : std::uint64_t(QDateTime::currentMSecsSinceEpoch());
    std::mt19937_64 rng(seed);
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    testing::ProgramDir dir;
    std::printf("import soak: %d runs, seed %llu, in %s\n", runs, (unsigned long long)seed,
                qPrintable(dir.path()));
    QElapsedTimer clock;
    clock.start();
    int failures = 0, imports = 0, inFlightKept = 0, saves = 0;
    for (int run = 0; run < runs; ++run) {
        // A fresh set now and then, so that the runs stay quick.
        if (run % 20 == 0) {
            for (const QString& f : {QString::fromLatin1(store::kUserSetFile),
                                     formats::namesFilePath(QString::fromLatin1(
                                         store::kUserSetFile))})
                QFile::remove(f);
            store::Table t(tableSession(), QString::fromLatin1(store::kUserSetFile),
                           store::userSetSchema(), true);
            t.open();
            for (int i = 0; i < kSeeded; ++i) {
                t.append();
                t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Seeded %1").arg(i + 1));
                t.setValue(QStringLiteral("Q1"), QStringLiteral("yes"));
                t.setValue(QStringLiteral("Q2"), QStringLiteral("no"));
                t.setValue(QStringLiteral("A1"), true);
                t.post();
            }
        }
        // What earlier runs left: the rows are counted from what is there.
        Expected before;
        {
            store::Table t(tableSession(), QString::fromLatin1(store::kUserSetFile),
                           store::userSetSchema());
            t.open();
            before.rows = t.recordCount();
            for (const formats::NumberedRecord& r : formats::readUserSet(t))
                before.saved.insert(r.id, r.record.text);
        }
        QFile::remove(QString::fromLatin1(kLog));
        const QByteArray childSeed = QByteArray::number(qulonglong(rng()));
        const char* args[] = {self.constData(), "--child", childSeed.constData(), nullptr};
        pid_t pid = 0;
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid, self.constData(), &quiet, nullptr, const_cast<char**>(args),
                        environ) != 0) {
            std::perror("posix_spawn");
            return 1;
        }
        posix_spawn_file_actions_destroy(&quiet);
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 20000) {
            QFile f(QString::fromLatin1(kLog));
            if (f.open(QIODevice::ReadOnly) && f.readAll().startsWith("R"))
                break;
            QThread::msleep(2);
        }
        QThread::usleep(static_cast<unsigned long>(rng() % 1500000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        Expected e = replay();
        e.rows += before.rows - kSeeded;
        for (auto it = before.saved.constBegin(); it != before.saved.constEnd(); ++it)
            if (!e.saved.contains(it.key()) && !(e.saving && e.saving->first == it.key()))
                e.saved.insert(it.key(), it.value());
        QString problem;
        if (!killed)
            problem = QStringLiteral("the child ended by itself (status %1)").arg(status);
        if (problem.isEmpty())
            problem = check(e);
        if (problem.isEmpty() && e.inFlight > 0) {
            store::Table t(tableSession(), QString::fromLatin1(store::kUserSetFile),
                           store::userSetSchema());
            t.open();
            inFlightKept += t.recordCount() != e.rows ? 1 : 0;
        }
        imports += e.imports;
        saves += e.saves;
        if (!problem.isEmpty()) {
            ++failures;
            std::printf("run %d: FAIL: %s\n", run + 1, qPrintable(problem));
        }
    }
    std::printf("import soak: %d runs, %d failures, %d imports and %d saves finished before the "
                "kills, %d kills with the import in flight already in the set, %.1f s\n",
                runs, failures, imports, saves, inFlightKept, clock.elapsed() / 1000.0);
    return failures == 0 ? 0 : 1;
}
