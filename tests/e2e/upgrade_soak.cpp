// Soak test of the copy of the bank in an installed program's data folder: a
// child process readies the data folder (as each start does) while the
// installed bank alternates between two versions, and between runs the copy
// is sometimes damaged; the parent kills the child with SIGKILL at a random
// moment. After every kill the next start must succeed, leave a copy of the
// installed version, and carry every note the user had written (a damaged
// copy may lose the notes on its bad pages, and only those runs are allowed
// to lose notes, which the next run then writes again).
//
//   upgrade_soak [runs] [seed]        (defaults: 100 runs, seed from the clock)
#include "BankCompiler.h"
#include "DataFolder.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kItems = 3000;

store::Session& session()
{
    static store::Session s = [] {
        store::Session made(QString::fromLatin1(store::kSessionName));
        made.registerPassword(QString::fromLatin1(store::kTablePassword));
        return made;
    }();
    return s;
}

// A bank of kItems items made from the fixture bank's, item 1 saying which
// version it is.
void writeVersion(const QString& path, int version)
{
    QStringList errors;
    auto items = bank::readSource(testing::fixtureBankDir(), testing::fixturePicturesDir(), &errors);
    if (!errors.isEmpty() || items.isEmpty()) {
        std::fprintf(stderr, "cannot read the fixture bank\n");
        std::exit(1);
    }
    QVector<bank::SourceItem> many;
    for (int id = 1; id <= kItems; ++id) {
        bank::SourceItem it = items[(id - 1) % items.size()];
        it.id = id;
        many.push_back(it);
    }
    many[0].text = QStringLiteral("Version %1. ").arg(version) + many[0].text;
    QFile::remove(path);
    bank::writeBank(many, path);
}

QString itemOneText(const QString& bank)
{
    store::Table t(session(), bank, store::bankSchema());
    t.open();
    t.first();
    return t.asString(QStringLiteral("Q_TEXT"));
}

QHash<qint64, QString> notesOf(const QString& bank)
{
    return store::readNotes(session(), bank);
}

int child(const QString& program, const QString& data)
{
    store::prepareUserData(program, data);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10)
                                        : std::uint64_t(QDateTime::currentMSecsSinceEpoch());
    std::mt19937_64 rng(seed);
    QTemporaryDir tmp;
    const QString program = tmp.filePath(QStringLiteral("program"));
    const QString data = tmp.filePath(QStringLiteral("data"));
    QDir().mkpath(program);
    const QString versions[2] = {tmp.filePath(QStringLiteral("v0.DAT")),
                                 tmp.filePath(QStringLiteral("v1.DAT"))};
    writeVersion(versions[0], 0);
    writeVersion(versions[1], 1);
    const QString shipped = program + QStringLiteral("/tcpip.DAT");
    const QString copy = data + QStringLiteral("/tcpip.DAT");
    QFile::copy(versions[0], shipped);
    store::prepareUserData(program, data);

    // A note on every third item: the upgrade has many to carry.
    QHash<qint64, QString> notes;
    for (int id = 1; id <= kItems; id += 3)
        notes.insert(id, QStringLiteral("note %1").arg(id));
    store::writeNotes(session(), copy, notes);

    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    const QByteArray programArg = program.toLocal8Bit();
    const QByteArray dataArg = data.toLocal8Bit();
    auto spawn = [&] {
        const char* args[] = {self.constData(), "--child", programArg.constData(),
                              dataArg.constData(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, self.constData(), nullptr, nullptr, const_cast<char**>(args),
                        environ) != 0) {
            std::perror("posix_spawn");
            std::exit(1);
        }
        return pid;
    };
    // How long an uncut upgrade takes, start of the process included.
    QFile::remove(shipped);
    QFile::copy(versions[1], shipped);
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    ::waitpid(spawn(), &status, 0);
    const qint64 upgradeUs = clock.nsecsElapsed() / 1000;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || notesOf(copy) != notes) {
        std::fprintf(stderr, "an uncut upgrade failed\n");
        return 1;
    }
    std::printf("upgrade soak: %d runs, seed %llu, an upgrade of %d items with %lld notes takes "
                "%lld ms\n",
                runs, static_cast<unsigned long long>(seed), kItems,
                static_cast<long long>(notes.size()), static_cast<long long>(upgradeUs / 1000));
    std::fflush(stdout);

    int version = 1;
    int killed = 0, damagedRuns = 0, failures = 0;
    for (int run = 0; run < runs; ++run) {
        // The user writes a note, acknowledged: it is in the copy.
        const qint64 id = qint64(rng() % kItems) + 1;
        const QString note = QStringLiteral("run %1").arg(run);
        notes.insert(id, note);
        store::writeNotes(session(), copy, {{id, note}});

        // A new install, or the same one over a damaged copy.
        const bool damage = rng() % 4 == 0;
        if (damage) {
            QFile f(copy);
            f.open(QIODevice::ReadWrite);
            f.seek(qint64(rng() % quint64(f.size() - 1)));
            f.write("\xff", 1);
            ++damagedRuns;
        } else {
            version = 1 - version;
            QFile::remove(shipped + QStringLiteral(".tmp"));
            QFile::copy(versions[version], shipped + QStringLiteral(".tmp"));
            std::rename(QFile::encodeName(shipped + QStringLiteral(".tmp")).constData(),
                        QFile::encodeName(shipped).constData());
        }

        const pid_t pid = spawn();
        QThread::usleep(static_cast<unsigned long>(rng() % quint64(upgradeUs + 1)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        if (WIFSIGNALED(status))
            ++killed;

        // The next start.
        QString problem;
        try {
            platform::TableFile::forgetCheckedPages();
            store::Table::forgetReads();
            store::prepareUserData(program, data);
            if (!itemOneText(copy).startsWith(QStringLiteral("Version %1.").arg(version)))
                problem = QStringLiteral("the copy is not of the installed version");
            const QHash<qint64, QString> now = notesOf(copy);
            for (auto it = notes.cbegin(); it != notes.cend(); ++it)
                if (now.value(it.key()) != it.value() && !damage)
                    problem = QStringLiteral("the note on item %1 was lost").arg(it.key());
            for (auto it = now.cbegin(); it != now.cend(); ++it)
                if (notes.value(it.key()) != it.value())
                    problem = QStringLiteral("item %1 has a note never written").arg(it.key());
            if (damage) {
                // What the damage took is lost; the user writes it again.
                store::writeNotes(session(), copy, notes);
            }
        } catch (const std::exception& e) {
            problem = QString::fromUtf8(e.what());
        }
        if (!problem.isEmpty()) {
            ++failures;
            std::printf("run %d (%s): %s\n", run, damage ? "damaged copy" : "upgrade",
                        qPrintable(problem));
            std::fflush(stdout);
            if (failures >= 5)
                break;
        }
    }
    std::printf("%d runs, %d killed part-way, %d over a damaged copy: %d failures\n", runs, killed,
                damagedRuns, failures);
    return failures == 0 ? 0 : 1;
}
