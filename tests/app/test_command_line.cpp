// The windowless commands: "--import FILE" and "--export FILE [--format F]"
// on the user set beside the program, their exit status and messages, in
// process and as a real program started beside a running instance; and the
// usage, the version and wrong arguments, answered by the real program
// without a display.
#include "CommandLine.h"
#include "InstanceLock.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "UserSetExchange.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QtTest>

namespace {

const QByteArray kGift("$CATEGORY: $course$/top/Planning\n\n"
                       "::A::First? {=yes ~no ####Because.}\n\n"
                       "Sky is blue {T}\n\n"
                       "Pick {~%50%a ~%50%b ~%-100%c}\n\n"
                       "::E::Write {}\n");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome run(const QStringList& args, const QString& dir)
{
    Outcome o;
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.status = app::runCommand(args, dir, out, err);
    return o;
}

std::vector<formats::NumberedRecord> stored(const QString& dir)
{
    store::Session session(QStringLiteral("Quizlark"));
    session.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::Table t(session, QDir(dir).filePath(QStringLiteral("tcpipusr.DAT")),
                   store::userSetSchema());
    t.open();
    return formats::readUserSet(t);
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void recognisesItsCommands()
    {
        QVERIFY(app::isCommand({"--import", "x.gift"}));
        QVERIFY(app::isCommand({"--format", "moodle", "--export=x"}));
        QVERIFY(!app::isCommand({}));
        QVERIFY(!app::isCommand({"-platform", "offscreen"}));
    }

    void importAddsAndReports()
    {
        testing::ProgramDir dir;
        writeFile(dir.file("q.txt"), kGift);
        const Outcome o = run({"--import", dir.file("q.txt")}, dir.path());
        QCOMPARE(o.err, QString());
        QCOMPARE(o.status, 0);
        QCOMPARE(o.out,
                 QStringLiteral("3 questions added (1 skipped: question 4 (line 9): it is an "
                                "essay question).\n"));
        const auto rows = stored(dir.path());
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0].record.section, 1);
        QCOMPARE(rows[0].record.name, QStringLiteral("A"));
        QVERIFY(formats::isTrueFalse(rows[1].record));
        QCOMPARE(rows[2].record.choices[1], QStringLiteral("b"));
    }

    void importFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("message");
        QTest::newRow("error with line and column")
            << QByteArray("Ok {=a ~b}\n\nBad {=a ~b") << QStringList{}
            << "quizlark: %1: line 3, column 5: the answer block has no closing \"}\"\n"
               "Nothing was imported.\n";
        QTest::newRow("forced format that does not match")
            << kGift << QStringList{"--format", "aiken"}
            << "quizlark: %1: line 10, column 1: the file ends before the \"ANSWER:\" line of "
               "the question at line 1\n"
               "Nothing was imported.\n";
        QTest::newRow("nothing fits")
            << QByteArray("Write {}\n") << QStringList{}
            << "quizlark: %1: 0 questions will be added (1 skipped: question 1 (line 1): it is "
               "an essay question). The file holds no question for this set; nothing was "
               "added.\n";
    }
    void importFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, extra);
        QFETCH(QString, message);
        testing::ProgramDir dir;
        const QString file = dir.file("q.txt");
        writeFile(file, content);
        const Outcome o = run(QStringList{"--import", file} + extra, dir.path());
        QCOMPARE(o.status, 1);
        QCOMPARE(o.err, message.arg(QDir::toNativeSeparators(file)));
        QCOMPARE(o.out, QString());
        QCOMPARE(stored(dir.path()).size(), size_t(0));
    }

    void importOfAMissingFile()
    {
        testing::ProgramDir dir;
        const Outcome o = run({"--import", dir.file("none.gift")}, dir.path());
        QCOMPARE(o.status, 1);
        QVERIFY2(o.err.startsWith(QStringLiteral("quizlark: ") +
                                  QDir::toNativeSeparators(dir.file("none.gift")) + ": "),
                 qPrintable(o.err));
        QVERIFY(o.err.endsWith(QStringLiteral("\nNothing was imported.\n")));
    }

    void withoutAUserSet()
    {
        testing::ProgramDir dir(false);
        writeFile(dir.file("q.gift"), kGift);
        const Outcome o = run({"--import", dir.file("q.gift")}, dir.path());
        QCOMPARE(o.status, 1);
        QVERIFY2(o.err.startsWith(QStringLiteral("quizlark: ")) &&
                     o.err.endsWith(QStringLiteral("\nNothing was imported.\n")),
                 qPrintable(o.err));
        QVERIFY(!QFile::exists(dir.file("tcpipusr.DAT")));
    }

    void exportByExtensionOrFormat_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("gift by default") << QStringList{"--export", "out.txt"} << "out.txt"
                                         << QByteArray("$CATEGORY: $course$/top/Planning\n");
        QTest::newRow("xml extension")
            << QStringList{"--export=out.xml"} << "out.xml" << QByteArray("<?xml");
        QTest::newRow("format before the command")
            << QStringList{"--format", "moodle", "--export", "out.gift"} << "out.gift"
            << QByteArray("<?xml");
        QTest::newRow("format gift") << QStringList{"--export", "out.xml", "--format=gift"}
                                     << "out.xml" << QByteArray("$CATEGORY");
    }
    void exportByExtensionOrFormat()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(QByteArray, starts);
        testing::ProgramDir dir;
        writeFile(dir.file("q.gift"), kGift);
        QCOMPARE(run({"--import", dir.file("q.gift")}, dir.path()).status, 0);
        const Outcome o = run(args, dir.path());
        QCOMPARE(o.err, QString());
        QCOMPARE(o.status, 0);
        QCOMPARE(o.out, QStringLiteral("3 questions written.\n"));
        const QByteArray content = readFile(dir.file(file));
        QVERIFY2(content.startsWith(starts), content.left(60).constData());
    }

    void wrongArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no file") << QStringList{"--import"} << "--import needs a file name";
        QTest::newRow("unknown format") << QStringList{"--export", "x", "--format", "csv"}
                                        << "unknown format \"csv\": use gift, moodle or aiken";
        QTest::newRow("aiken export") << QStringList{"--export", "x.txt", "--format", "aiken"}
                                      << "Aiken files can only be imported; export to gift or "
                                         "moodle";
        QTest::newRow("both") << QStringList{"--import", "a", "--export", "b"}
                              << "give either --import or --export, once";
        QTest::newRow("unknown argument")
            << QStringList{"--import", "a", "-v"} << "unknown argument \"-v\"";
        QTest::newRow("format alone")
            << QStringList{"--format", "gift"} << "give --import FILE or --export FILE";
    }
    void wrongArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, problem);
        testing::ProgramDir dir;
        const Outcome o = run(args, dir.path());
        QCOMPARE(o.status, 2);
        QCOMPARE(o.err, QStringLiteral("quizlark: ") + problem + u'\n' + app::usage());
        QCOMPARE(o.out, QString());
    }

    // The real program, in environments where a window could not open (no
    // display, or the X11 platform asked for without one) and where it could
    // (offscreen): it answers and ends on its own in each.
    void answersWithoutAWindow_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = app::usage();
        const QString version = QStringLiteral("Quizlark TCP/IP 4.0\n");
        const struct {
            const char* name;
            QStringList args;
            int status;
            QString out;
            QString err;
        } cases[] = {
            {"--help", {"--help"}, 0, usage, {}},
            {"-h", {"-h"}, 0, usage, {}},
            {"--version", {"--version"}, 0, version, {}},
            {"help beside a command", {"--import", "none.gift", "--help"}, 0, usage, {}},
            {"unknown long option",
             {"--verbose"},
             2,
             {},
             "quizlark: unknown argument \"--verbose\"\n" + usage},
            {"unknown short option", {"-x"}, 2, {}, "quizlark: unknown argument \"-x\"\n" + usage},
            {"a file without a command",
             {"q.gift"},
             2,
             {},
             "quizlark: unknown argument \"q.gift\"\n" + usage},
            {"toolkit option without its value",
             {"-platform"},
             2,
             {},
             "quizlark: unknown argument \"-platform\"\n" + usage},
            {"unknown option after a toolkit option",
             {"-style", "fusion", "--bogus"},
             2,
             {},
             "quizlark: unknown argument \"--bogus\"\n" + usage},
        };
        for (const char* platform : {"", "xcb", "offscreen"}) {
            for (const auto& c : cases) {
                QTest::addRow("%s, platform \"%s\"", c.name, platform)
                    << QString::fromLatin1(platform) << c.args << c.status << c.out << c.err;
            }
        }
    }
    void answersWithoutAWindow()
    {
        QFETCH(QString, platform);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!platform.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        testing::ProgramDir dir;
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QUIZLARK_PROGRAM), args);
        // A window that opened would never end on its own.
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            QFAIL("the program did not end: it opened its window");
        }
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()), err);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        QCOMPARE(p.exitCode(), status);
    }

    // The real program, copied beside a user set, with no display and while
    // another instance holds the single-instance lock.
    void realProgramBesideARunningInstance()
    {
        testing::ProgramDir dir;
        const QString program = dir.file(QStringLiteral("quizlark"));
        QVERIFY(QFile::copy(QStringLiteral(QUIZLARK_PROGRAM), program));
        platform::InstanceLock running(QStringLiteral("PREVINST:") +
                                       platform::defaultTitle(program));
        QVERIFY(running.isFirst());
        writeFile(dir.file("q.gift"), kGift);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        auto start = [&](const QStringList& args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(program, args);
            [&] { QVERIFY(p.waitForFinished(60000)); }();
            return std::tuple{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                              QString::fromUtf8(p.readAllStandardError())};
        };
        auto [status, out, err] = start({"--import", dir.file("q.gift")});
        QCOMPARE(err, QString());
        QCOMPARE(status, 0);
        QVERIFY(out.startsWith(QStringLiteral("3 questions added")));
        std::tie(status, out, err) = start({"--export", dir.file("back.xml")});
        QCOMPARE(status, 0);
        QCOMPARE(out, QStringLiteral("3 questions written.\n"));
        QVERIFY(readFile(dir.file("back.xml")).contains("<quiz>"));
        std::tie(status, out, err) = start({"--import", dir.file("none.gift")});
        QCOMPARE(status, 1);
        QVERIFY(err.contains(QStringLiteral("Nothing was imported.")));
        std::tie(status, out, err) = start({"--export"});
        QCOMPARE(status, 2);
        QVERIFY(err.startsWith(QStringLiteral("quizlark: --export needs a file name\n")));
        QCOMPARE(stored(dir.path()).size(), size_t(3));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
