// The encrypted file wrapper: keys, damaged files, locks held by another
// process, and durability of a post.
#include "Schemas.h"
#include "TableError.h"
#include "TableFile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

using platform::TableError;
using platform::TableFile;

class TestTableFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    const QStringList m_key{QString::fromLatin1(store::kTablePassword)};

    QString makeFile(const QString& name, int records)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        TableFile f(path, m_key, false, TableFile::Missing::Create, store::userSetSchema());
        for (int i = 0; i < records; ++i) {
            platform::RowValues row(static_cast<qsizetype>(store::userSetSchema().size()));
            row[2] = QStringLiteral("question %1").arg(i);
            f.insert(row);
        }
        return path;
    }

private slots:
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

    void missingFileIsNotCreated()
    {
        const QString path = m_dir.filePath(QStringLiteral("none.DAT"));
        QVERIFY_THROWS_EXCEPTION(TableError, TableFile(path, m_key, false,
                                                       TableFile::Missing::Fail,
                                                       store::userSetSchema()));
        QVERIFY(!QFile::exists(path));
    }

    void lockHeldElsewhereFailsAfterTheRetries()
    {
        const QString path = makeFile(QStringLiteral("locked.DAT"), 1);
        QProcess holder;
        holder.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("hold"), path});
        QVERIFY(holder.waitForStarted());
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));
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
        writer.start(QStringLiteral(TABLE_HOLDER), {QStringLiteral("post"), path});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(30000));
        QVERIFY(writer.readLine().startsWith("posted"));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(30000));
        TableFile t(path, m_key, false, TableFile::Missing::Fail, store::userSetSchema());
        const auto rows = t.selectAll();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0][2].toString(), QStringLiteral("durable"));
    }
};

QTEST_GUILESS_MAIN(TestTableFile)
#include "test_tablefile.moc"
