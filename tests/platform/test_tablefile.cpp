// The encrypted file wrapper: keys, damaged files, locks held by another
// process, durability of a post, keys kept for later opens, and files with
// the older 1 KB pages.
#include "Schemas.h"
#include "TableError.h"
#include "TableFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <future>
#include <optional>
#include <sys/stat.h>
#include <sqlite3.h>
#include <thread>

using platform::TableError;
using platform::TableFile;

class TestTableFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    const QStringList m_key{QString::fromLatin1(store::kTablePassword)};

    // Records with the given texts, one each, under new keys.
    static void insertTexts(TableFile& f, const QStringList& texts)
    {
        for (const QString& text : texts) {
            platform::RowValues row(static_cast<qsizetype>(store::userSetSchema().size()));
            row[2] = text;
            f.insert(row);
        }
    }

    QString makeFile(const QString& name, int records)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        TableFile f(path, m_key, false, TableFile::Missing::Create, store::userSetSchema());
        QStringList texts;
        for (int i = 0; i < records; ++i)
            texts << QStringLiteral("question %1").arg(i);
        insertTexts(f, texts);
        return path;
    }

    // A file as the engine alone writes it, with the password for a key and
    // its default 1 KB pages: a user set from before the 4 KB pages.
    QString makeEngineFile(const QString& name, const QStringList& texts)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.toUtf8().constData(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            qFatal("cannot create %s", qPrintable(path));
        const QByteArray pw = m_key.first().toUtf8();
        sqlite3_key(db, pw.constData(), int(pw.size()));
        QStringList cols;
        for (const platform::ColumnDef& c : store::userSetSchema())
            cols << (cols.isEmpty() ? c.name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")
                                    : c.name + (c.type == platform::ColumnType::Integer ||
                                                        c.type == platform::ColumnType::Boolean
                                                    ? QStringLiteral(" INTEGER")
                                                    : QStringLiteral(" TEXT")));
        QString sql =
            QStringLiteral("CREATE TABLE items (%1);").arg(cols.join(QStringLiteral(", ")));
        for (const QString& t : texts)
            sql += QStringLiteral("INSERT INTO items (%1) VALUES ('%2');")
                       .arg(store::userSetSchema()[2].name, t);
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            qFatal("cannot fill %s: %s", qPrintable(path), sqlite3_errmsg(db));
        sqlite3_close(db);
        return path;
    }

    // The records' texts as the engine alone reads them with the password and
    // the given page size; empty when it cannot read the file.
    QStringList engineTexts(const QString& path, int pageSize)
    {
        sqlite3* db = nullptr;
        QStringList texts;
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
            SQLITE_OK) {
            const QByteArray pw = m_key.first().toUtf8();
            sqlite3_key(db, pw.constData(), int(pw.size()));
            sqlite3_exec(
                db,
                QByteArray("PRAGMA cipher_page_size = " + QByteArray::number(pageSize)).constData(),
                nullptr, nullptr, nullptr);
            sqlite3_stmt* st = nullptr;
            const QByteArray sql =
                "SELECT " + store::userSetSchema()[2].name.toUtf8() + " FROM items ORDER BY Q_ID";
            if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK)
                while (sqlite3_step(st) == SQLITE_ROW)
                    texts << QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return texts;
    }

    // Starts the helper process in the given mode; its first line, once it
    // has done what the mode says, or nothing when it did not get that far.
    static QByteArray startHelper(QProcess& helper, const char* mode, const QString& path)
    {
        helper.start(QStringLiteral(TABLE_HOLDER), {QString::fromLatin1(mode), path});
        if (!helper.waitForStarted() || !helper.waitForReadyRead(30000))
            return {};
        return helper.readLine().trimmed();
    }
    static bool killHelper(QProcess& helper)
    {
        ::kill(static_cast<pid_t>(helper.processId()), SIGKILL);
        return helper.waitForFinished(30000);
    }

    static QStringList texts(const std::vector<platform::RowValues>& rows)
    {
        QStringList out;
        for (const auto& r : rows)
            out << r[2].toString();
        return out;
    }

    // Runs act on a thread of its own. False when it has not returned within
    // a minute: it is then left blocked, and only the failing run waits.
    static bool returnsPromptly(const std::function<void()>& act)
    {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> returned = done->get_future();
        std::thread([act, done] {
            act();
            done->set_value();
        }).detach();
        return returned.wait_for(std::chrono::minutes(1)) == std::future_status::ready;
    }

private slots:
    // A named pipe without a writer blocks an open, or the engine's first
    // read, for good; the key derivation ahead of the first open then held
    // the program's exit. Nothing but a plain file is taken for a table.
    void whatIsNotAPlainFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("how");
        for (const char* kind : {"named pipe", "folder"})
            for (const char* how : {"open", "create", "replacement", "keys ahead"})
                QTest::addRow("%s, %s", kind, how) << kind << how;
    }
    void whatIsNotAPlainFileIsRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, how);
        const QString path = m_dir.filePath(QStringLiteral("odd %1 %2.DAT").arg(kind, how));
        if (kind == QLatin1String("named pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(path));
        auto error = std::make_shared<std::optional<TableError>>();
        const QStringList keys = m_key;
        QVERIFY2(returnsPromptly([=] {
                     try {
                         if (how == QLatin1String("keys ahead"))
                             TableFile::deriveKeysAhead(path, keys);
                         else if (how == QLatin1String("replacement"))
                             TableFile::replacement(path, keys, true, TableFile::Missing::Create,
                                                    store::userSetSchema());
                         else
                             TableFile(path, keys, false,
                                       how == QLatin1String("create") ? TableFile::Missing::Create
                                                                      : TableFile::Missing::Fail,
                                       store::userSetSchema());
                     } catch (const TableError& e) {
                         *error = e;
                     }
                 }),
                 "the open waits on what is in the file's place");
        if (how == QLatin1String("keys ahead")) {
            QVERIFY(!error->has_value());
            return;
        }
        QVERIFY(error->has_value());
        QCOMPARE((*error)->code(), int(TableError::CantOpen));
        QCOMPARE((*error)->text(),
                 QStringLiteral("The table file \"%1\" cannot be opened: it is a %2, not a file.")
                     .arg(path, kind));
        QCOMPARE(QFileInfo(path).isDir(), kind == QLatin1String("folder"));
    }

    void roundTripAndNoPlainReader()
    {
        const QString path = makeFile(QStringLiteral("plain.DAT"), 3);
        TableFile f(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        const auto rows = f.selectAll();
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[1][2].toString(), QStringLiteral("question 1"));
        QFile raw(path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains("question 1"));
    }

    void unreadableFilesGiveAClearError_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("wrong password") << "password";
        QTest::newRow("truncated") << "truncate";
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("plain text") << "text";
    }
    void unreadableFilesGiveAClearError()
    {
        QFETCH(QString, damage);
        QString path = makeFile(QStringLiteral("bad.DAT"), 20);
        QStringList keys = m_key;
        QFile f(path);
        if (damage == QLatin1String("password")) {
            keys = {QStringLiteral("Wrong0Passwd1")};
        } else if (damage == QLatin1String("truncate")) {
            QVERIFY(f.resize(1500));
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (damage == QLatin1String("garbage")) {
                QByteArray junk(8192, '\0');
                for (int i = 0; i < junk.size(); ++i)
                    junk[i] = static_cast<char>((i * 7919) % 251);
                f.write(junk);
            } else {
                f.write("Q_ID,Q_TEXT\n1,hello\n");
            }
            f.close();
        }
        try {
            TableFile t(path, keys, false, TableFile::Missing::Fail, store::userSetSchema());
            t.selectAll();
            QFAIL("a damaged file opened");
        } catch (const TableError& e) {
            // A cut file may be found out as damaged before the key is tried.
            QVERIFY2(e.code() == 26 || (damage == QLatin1String("truncate") && e.code() == 11),
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("damaged")), qPrintable(e.text()));
            if (damage == QLatin1String("password"))
                QVERIFY(e.text().contains(QStringLiteral("password is wrong")));
        }
    }

    void laterOpensReuseTheKeyAndReadRight()
    {
        const QString path = makeFile(QStringLiteral("again.DAT"), 2);
        TableFile::forgetKeys();
        const int before = TableFile::keyDerivations();
        {
            TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(texts(t.selectAll()), QStringList({"question 0", "question 1"}));
            platform::RowValues row(qsizetype(store::userSetSchema().size()));
            row[2] = QStringLiteral("added");
            t.insert(row);
        }
        QCOMPARE(TableFile::keyDerivations(), before + 1);
        for (bool exclusive : {false, true}) {
            TableFile t(path, m_key, exclusive, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(texts(t.selectAll()), QStringList({"question 0", "question 1", "added"}));
        }
        TableFile::emptyFile(path, m_key, store::userSetSchema());
        QCOMPARE(TableFile::keyDerivations(), before + 1);

        // Another file under the same name has its own salt, so its own key.
        QFile::remove(path);
        makeFile(QStringLiteral("again.DAT"), 1);
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(texts(t.selectAll()), QStringList({"question 0"}));
    }

    void keyDerivedAheadOnAWorkerIsDerivedOnce()
    {
        const QString path = makeFile(QStringLiteral("ahead.DAT"), 1);
        TableFile::forgetKeys();
        const int before = TableFile::keyDerivations();
        // However the two meet, the open takes the worker's key.
        std::thread worker([&] { TableFile::deriveKeysAhead(path, m_key); });
        {
            TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(texts(t.selectAll()), QStringList({"question 0"}));
        }
        worker.join();
        QCOMPARE(TableFile::keyDerivations(), before + 1);
    }

    void wrongPasswordIsRefusedAfterTheRightOneWasKept()
    {
        const QString path = makeFile(QStringLiteral("kept.DAT"), 1);
        const QStringList wrong{QStringLiteral("Wrong0Passwd1")};
        TableFile(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                TableFile t(path, wrong, false, TableFile::Missing::Fail, store::userSetSchema());
                QFAIL("a wrong password opened the file");
            } catch (const TableError& e) {
                QCOMPARE(e.code(), 26);
            }
        }
        TableFile t(path, wrong + m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(texts(t.selectAll()), QStringList({"question 0"}));
    }

    void newFilesKeepTheEnginesKeyAndHave4KbPages()
    {
        const QString path = makeFile(QStringLiteral("fresh.DAT"), 30);
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(t.pageSize(), TableFile::PageSize);
        QCOMPARE(QFileInfo(path).size() % TableFile::PageSize, 0);
        // The engine derives the same key from the password alone.
        QCOMPARE(engineTexts(path, TableFile::PageSize).size(), 30);
        QCOMPARE(engineTexts(path, TableFile::PageSize).last(), QStringLiteral("question 29"));
        QVERIFY(engineTexts(path, TableFile::LegacyPageSize).isEmpty());
    }

    void oneKilobyteFileKeepsWorkingWithNothingLost()
    {
        const QString path =
            makeEngineFile(QStringLiteral("tcpipusr.DAT"), {"first", "second", "third"});
        QCOMPARE(engineTexts(path, TableFile::LegacyPageSize).size(), 3);
        for (int run = 0; run < 2; ++run) {
            // The first pass derives the key, the second uses the kept one.
            TableFile t(path, m_key, true, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(t.pageSize(), TableFile::LegacyPageSize);
            auto rows = t.selectAll();
            if (run == 0) {
                QCOMPARE(texts(rows), QStringList({"first", "second", "third"}));
                rows[1][2] = QStringLiteral("second, changed");
                t.update(rows[1][0].toLongLong(), rows[1]);
                t.remove(rows[2][0].toLongLong());
                platform::RowValues row(qsizetype(store::userSetSchema().size()));
                row[2] = QStringLiteral("fourth");
                t.insert(row);
            } else {
                QCOMPARE(texts(rows), QStringList({"first", "second, changed", "fourth"}));
            }
        }
        // Still the engine's own 1 KB file, readable without this program.
        QCOMPARE(engineTexts(path, TableFile::LegacyPageSize),
                 QStringList({"first", "second, changed", "fourth"}));
        TableFile::forgetKeys();
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(texts(t.selectAll()), QStringList({"first", "second, changed", "fourth"}));
    }

    void missingFileIsNotCreated()
    {
        const QString path = m_dir.filePath(QStringLiteral("none.DAT"));
        QVERIFY_THROWS_EXCEPTION(TableError, TableFile(path, m_key, false, TableFile::Missing::Fail,
                                                       store::userSetSchema()));
        QVERIFY(!QFile::exists(path));
    }

    void lockHeldElsewhereFailsAfterTheRetries()
    {
        const QString path = makeFile(QStringLiteral("locked.DAT"), 1);
        QProcess holder;
        QCOMPARE(startHelper(holder, "hold", path), QByteArray("ready"));
        try {
            TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
            QFAIL("opened a file another process holds exclusively");
        } catch (const TableError& e) {
            QCOMPARE(e.code(), 5);
            QCOMPARE(e.lockRetries(), TableFile::LockRetryCount);
            QVERIFY2(e.text().contains(QStringLiteral("locked")), qPrintable(e.text()));
        }
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        // Once the holder is gone the file opens at once.
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(t.selectAll().size(), size_t(1));
        QCOMPARE(t.lastLockRetries(), 0);
    }

    void postedRecordSurvivesAKill()
    {
        const QString path = makeFile(QStringLiteral("durable.DAT"), 0);
        QProcess writer;
        QVERIFY(startHelper(writer, "post", path).startsWith("posted"));
        QVERIFY(killHelper(writer));
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        const auto rows = t.selectAll();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0][2].toString(), QStringLiteral("durable"));
    }

    // A whole new content, written beside the file and moved into its place.
    void replacementTakesTheFilesPlaceInOneStep()
    {
        const QString path = makeFile(QStringLiteral("set.DAT"), 5);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        TableFile(path, m_key, true, TableFile::Missing::Fail, store::userSetSchema());
        const int derivations = TableFile::keyDerivations();
        auto file = TableFile::replacement(path, m_key, true, TableFile::Missing::Fail,
                                           store::userSetSchema());
        insertTexts(*file, {"new 1", "new 2"});
        // Until the commit the file holds its old content, whole.
        QCOMPARE(engineTexts(path, TableFile::PageSize).size(), 5);
        file->commitReplacement();
        QVERIFY(!file->replacing());
        QCOMPARE(file->path(), path);
        QCOMPARE(texts(file->selectAll()), QStringList({"new 1", "new 2"}));
        // The handle goes on as an ordinary one on the file.
        insertTexts(*file, {"new 3"});
        file.reset();
        // The key the process held was used again, not derived anew, and the
        // engine reads the file with the password alone.
        QCOMPARE(TableFile::keyDerivations(), derivations);
        QCOMPARE(engineTexts(path, TableFile::PageSize), QStringList({"new 1", "new 2", "new 3"}));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        QCOMPARE(QFileInfo(path).permissions() & 0x0077, QFile::Permissions());
    }

    void abandonedReplacementLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("legacy");
        QTest::addColumn<bool>("explicitly");
        QTest::newRow("4 KB pages, abandoned") << false << true;
        QTest::newRow("4 KB pages, handle dropped") << false << false;
        QTest::newRow("1 KB pages, abandoned") << true << true;
    }

    void abandonedReplacementLeavesTheFileAsItWas()
    {
        QFETCH(bool, legacy);
        QFETCH(bool, explicitly);
        const QStringList old{"old 1", "old 2", "old 3"};
        const QString path = legacy ? makeEngineFile(QStringLiteral("kept.DAT"), old)
                                    : m_dir.filePath(QStringLiteral("kept.DAT"));
        if (!legacy) {
            QFile::remove(path);
            TableFile f(path, m_key, false, TableFile::Missing::Create, store::userSetSchema());
            insertTexts(f, old);
        }
        // Opened once, so that its key and page size are held.
        TableFile(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            auto r = TableFile::replacement(path, m_key, true, TableFile::Missing::Fail,
                                            store::userSetSchema());
            insertTexts(*r, {"never"});
            if (explicitly)
                r->abandonReplacement();
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        // Still opens with its own page size, held from before.
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        QCOMPARE(t.pageSize(), legacy ? TableFile::LegacyPageSize : TableFile::PageSize);
        QCOMPARE(texts(t.selectAll()), old);
    }

    void oneKilobyteFileIsReplacedByOneWith4KbPages()
    {
        const QString path = makeEngineFile(QStringLiteral("old.DAT"), {"a", "b"});
        TableFile(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        auto r = TableFile::replacement(path, m_key, false, TableFile::Missing::Fail,
                                        store::userSetSchema());
        insertTexts(*r, {"c"});
        r->commitReplacement();
        QCOMPARE(r->pageSize(), TableFile::PageSize);
        r.reset();
        for (int pass = 0; pass < 2; ++pass) {
            // With the key held, then derived again.
            TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(t.pageSize(), TableFile::PageSize);
            QCOMPARE(texts(t.selectAll()), QStringList({"c"}));
            TableFile::forgetKeys();
        }
    }

    void replacementOfAMissingFile_data()
    {
        QTest::addColumn<bool>("create");
        QTest::newRow("created") << true;
        QTest::newRow("refused") << false;
    }

    void replacementOfAMissingFile()
    {
        QFETCH(bool, create);
        const QString path = m_dir.filePath(QStringLiteral("absent.DAT"));
        QFile::remove(path);
        const auto make = [&] {
            return TableFile::replacement(
                path, m_key, false, create ? TableFile::Missing::Create : TableFile::Missing::Fail,
                store::userSetSchema());
        };
        if (!create) {
            QVERIFY_THROWS_EXCEPTION(TableError, make());
            QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
            return;
        }
        auto r = make();
        insertTexts(*r, {"first"});
        r->commitReplacement();
        QCOMPARE(texts(r->selectAll()), QStringList({"first"}));
    }

    void replacementOfAFileHeldElsewhereIsRefused()
    {
        const QString path = makeFile(QStringLiteral("held.DAT"), 2);
        QProcess holder;
        QCOMPARE(startHelper(holder, "hold", path), QByteArray("ready"));
        try {
            TableFile::replacement(path, m_key, true, TableFile::Missing::Fail,
                                   store::userSetSchema());
            QFAIL("replaced a file another process holds");
        } catch (const TableError& e) {
            QCOMPARE(e.code(), 5);
            QVERIFY2(e.text().contains(QStringLiteral("\"held.DAT\" is locked")),
                     qPrintable(e.text()));
        }
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(30000));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        QCOMPARE(engineTexts(path, TableFile::PageSize).size(), 2);
    }

    void replacementKilledPartWayLeavesTheOldContent()
    {
        const QString path = makeFile(QStringLiteral("rewrite.DAT"), 3);
        QProcess writer;
        QCOMPARE(startHelper(writer, "rewrite", path), QByteArray("written"));
        QVERIFY(killHelper(writer));
        {
            TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
            QCOMPARE(texts(t.selectAll()), QStringList({"question 0", "question 1", "question 2"}));
        }
        // What the dead process left beside the file is cleared by the next
        // replacement.
        auto r = TableFile::replacement(path, m_key, false, TableFile::Missing::Fail,
                                        store::userSetSchema());
        insertTexts(*r, {"after"});
        r->commitReplacement();
        QCOMPARE(texts(r->selectAll()), QStringList({"after"}));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new")));
        QVERIFY(!QFile::exists(path + QStringLiteral(".new-journal")));
    }
};

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_tablefile.moc"
