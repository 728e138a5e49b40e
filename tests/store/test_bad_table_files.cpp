// Hand-made bad table files: each is keyed right, so only the checks made
// after the key show it. Every one must end in a message that names the
// file and what is wrong, and must leave the file as it was.
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "Tamper.h"

#include <QCryptographicHash>
#include <QtTest>

using store::Table;

namespace {

using testing::tamper;

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The bank's own columns with a view over an endless sequence behind them.
QString endlessView()
{
    QStringList cols;
    for (const auto& c : store::bankSchema())
        cols << (c.name == QLatin1String("Q_ID") ? QStringLiteral("x AS Q_ID")
                                                 : QStringLiteral("1 AS %1").arg(c.name));
    return QStringLiteral("DROP TABLE items; CREATE VIEW items AS WITH RECURSIVE n(x) AS "
                          "(SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT %1 FROM n;")
        .arg(cols.join(QStringLiteral(", ")));
}

// The bank's table made again with one field of another declared type.
QString retypedSection()
{
    QStringList cols;
    for (const auto& c : store::bankSchema()) {
        QString type =
            c.type == platform::ColumnType::Integer || c.type == platform::ColumnType::Boolean
                ? QStringLiteral("INTEGER")
                : QStringLiteral("TEXT");
        if (c.name == QLatin1String("Q_SECT"))
            type = QStringLiteral("TEXT");
        cols << (c.name == QLatin1String("Q_ID")
                     ? QStringLiteral("Q_ID INTEGER PRIMARY KEY AUTOINCREMENT")
                     : QStringLiteral("%1 %2").arg(c.name, type));
    }
    return QStringLiteral("CREATE TABLE items2 (%1); INSERT INTO items2 SELECT * FROM items; "
                          "DROP TABLE items; ALTER TABLE items2 RENAME TO items;")
        .arg(cols.join(QStringLiteral(", ")));
}

} // namespace

class TestBadTableFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;

    std::unique_ptr<Table> table(const QString& file)
    {
        return std::make_unique<Table>(*m_session, file,
                                       file == QLatin1String("tcpip.DAT") ? store::bankSchema()
                                                                          : store::userSetSchema());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        // A user set as the test sampler leaves it: a null key box and a
        // null text are what an untouched field holds.
        auto user = table(QStringLiteral("tcpipusr.DAT"));
        user->open();
        for (int i = 0; i < 3; ++i) {
            user->append();
            user->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("user question %1").arg(i));
            user->setValue(QStringLiteral("Q1"), QStringLiteral("yes"));
            user->setValue(QStringLiteral("Q2"), QStringLiteral("no"));
            user->setValue(QStringLiteral("A1"), true);
            user->setValue(QStringLiteral("Q_SECT"), i);
            user->post();
        }
        user->close();
    }
    void cleanup()
    {
        m_session.reset();
        m_dir.reset();
    }

    void badFilesAreRefusedByName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sql"); // "" leaves the file empty
        QTest::addColumn<QString>("message");
        const QString bank = QStringLiteral("tcpip.DAT");
        const QString user = QStringLiteral("tcpipusr.DAT");
        QTest::newRow("empty bank") << bank << ""
                                    << "\"tcpip.DAT\" is damaged: it is empty";
        QTest::newRow("empty user set") << user << ""
                                        << "\"tcpipusr.DAT\" is damaged: it is empty";
        QTest::newRow("endless view named items")
            << bank << endlessView() << "\"tcpip.DAT\" is damaged or was altered: it holds a view";
        QTest::newRow("trigger on the note save")
            << bank
            << "CREATE TRIGGER wipe AFTER UPDATE OF U_MEMO ON items BEGIN "
               "DELETE FROM items WHERE Q_ID <> NEW.Q_ID; END;"
            << "it holds a trigger named \"wipe\"";
        QTest::newRow("trigger in the user set")
            << user << "CREATE TRIGGER t AFTER INSERT ON items BEGIN SELECT 1; END;"
            << "\"tcpipusr.DAT\" is damaged or was altered: it holds a trigger";
        QTest::newRow("another table") << bank << "CREATE TABLE other (x);"
                                       << "it holds a table named \"other\"";
        // The bank's tags may stand beside the items only as plain data.
        QTest::newRow("view in place of the tags")
            << bank << "DROP TABLE item_tags; CREATE VIEW item_tags AS SELECT * FROM items;"
            << "it holds a view named \"item_tags\"";
        QTest::newRow("trigger on the tags")
            << bank
            << "CREATE TRIGGER retag AFTER UPDATE ON item_tags BEGIN DELETE FROM items; END;"
            << "it holds a trigger named \"retag\"";
        QTest::newRow("field of another type")
            << bank << retypedSection()
            << "the field Q_SECT has the type \"TEXT\" instead of \"INTEGER\"";
        QTest::newRow("text in a number field")
            << bank << "UPDATE items SET Q_SECT = 'two' WHERE Q_ID = 3;"
            << "record with Q_ID 3, the field Q_SECT does not hold a whole number";
        QTest::newRow("real in a number field")
            << user << "UPDATE items SET Q_SECT = 2.5 WHERE Q_ID = 2;"
            << "record with Q_ID 2, the field Q_SECT does not hold a whole number";
        QTest::newRow("blob in a text field")
            << bank << "UPDATE items SET Q_TEXT = x'00ff' WHERE Q_ID = 1;"
            << "record with Q_ID 1, the field Q_TEXT does not hold a text";
        QTest::newRow("yes/no of 2") << bank << "UPDATE items SET A2 = 2 WHERE Q_ID = 1;"
                                     << "the field A2 does not hold a yes/no value";
        QTest::newRow("id beyond 2^31")
            << bank << "UPDATE items SET Q_ID = 4294967296 WHERE Q_ID = 16;"
            << "Q_ID 4294967296, the field Q_ID holds 4294967296, beyond the range";
        QTest::newRow("user id beyond 2^31")
            << user << "UPDATE items SET Q_ID = 2147483648 WHERE Q_ID = 3;"
            << "\"tcpipusr.DAT\" is damaged: in the record with Q_ID 2147483648";
        QTest::newRow("gap in the bank's numbers") << bank << "DELETE FROM items WHERE Q_ID = 7;"
                                                   << "Q_ID 8 has a bad field Q_ID";
        QTest::newRow("null exam number")
            << bank << "UPDATE items SET Q_EXAM_N = NULL WHERE Q_ID = 4;"
            << "Q_ID 4 has a bad field Q_EXAM_N: it is empty (null)";
        QTest::newRow("null key flag") << bank << "UPDATE items SET A1 = NULL WHERE Q_ID = 2;"
                                       << "Q_ID 2 has a bad field A1: it is empty (null)";
        QTest::newRow("exam 8") << bank << "UPDATE items SET Q_EXAM_N = 8 WHERE Q_ID = 5;"
                                << "Q_ID 5 has a bad field Q_EXAM_N: the exam must be 0 to 7";
        QTest::newRow("section 0 in the bank")
            << bank << "UPDATE items SET Q_SECT = 0 WHERE Q_ID = 6;"
            << "Q_ID 6 has a bad field Q_SECT: the section must be 1 to 5";
        QTest::newRow("section 6 in the user set")
            << user << "UPDATE items SET Q_SECT = 6 WHERE Q_ID = 1;"
            << "Q_ID 1 has a bad field Q_SECT: the section must be 0 to 5";
        QTest::newRow("key on a blank choice")
            << bank << "UPDATE items SET A1 = 0, A6 = 1 WHERE Q_ID = 1;"
            << "Q_ID 1 has a bad field A6: key letter \"f\" names a choice without text";
        QTest::newRow("no key") << bank
                                << "UPDATE items SET Q_TYPE = 1, A1 = 0, A2 = 0, A3 = 0, A4 = 0, "
                                   "A5 = 0, A6 = 0 WHERE Q_ID = 1;"
                                << "Q_ID 1 has a bad field A1-A6: the item has no key letter";
        QTest::newRow("two keys on a single-response item")
            << bank << "UPDATE items SET Q_TYPE = 0, A1 = 1, A2 = 1 WHERE Q_ID = 1;"
            << "Q_ID 1 has a bad field A1-A6: a single-response item must have exactly one";
    }
    void badFilesAreRefusedByName()
    {
        QFETCH(QString, file);
        QFETCH(QString, sql);
        QFETCH(QString, message);
        if (sql.isEmpty()) {
            QFile f(file);
            QVERIFY(f.resize(0));
        } else {
            const QString problem = tamper(m_dir->file(file), sql);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        const QByteArray before = digest(m_dir->file(file));
        auto t = table(file);
        try {
            t->open();
            QFAIL("the bad file was opened");
        } catch (const platform::TableError& e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QVERIFY(!t->isOpen());
        // Nothing is written into a file that was refused.
        QCOMPARE(digest(m_dir->file(file)), before);
        QCOMPARE(QFileInfo(m_dir->file(file)).size() == 0, sql.isEmpty());
    }

    void wellFormedFilesStillOpen()
    {
        // Sections 0..2 and null fields are what the sampler writes; an index
        // on the table is harmless.
        QVERIFY(tamper(m_dir->file(QStringLiteral("tcpip.DAT")),
                       QStringLiteral("CREATE INDEX byExam ON items (Q_EXAM_N);"))
                    .isEmpty());
        for (const QString& file : {QStringLiteral("tcpip.DAT"), QStringLiteral("tcpipusr.DAT")}) {
            auto t = table(file);
            t->open();
            QVERIFY(!t->isEmpty());
        }
    }

    void usedUpRecordNumbersAreSaidPlainly_data()
    {
        QTest::addColumn<QString>("counter");
        QTest::newRow("counter at the 64-bit end") << "9223372036854775807";
        QTest::newRow("counter at the 32-bit end") << "2147483647";
    }
    void usedUpRecordNumbersAreSaidPlainly()
    {
        QFETCH(QString, counter);
        const QString path = m_dir->file(QStringLiteral("tcpipusr.DAT"));
        QVERIFY(tamper(path, QStringLiteral("UPDATE sqlite_sequence SET seq = %1 WHERE name = "
                                            "'items';")
                                 .arg(counter))
                    .isEmpty());
        auto t = table(QStringLiteral("tcpipusr.DAT"));
        t->open();
        t->append();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("one too many"));
        try {
            t->post();
            QFAIL("a record was added beyond the record numbers");
        } catch (const platform::TableError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("\"tcpipusr.DAT\" has used up its record "
                                                      "numbers")),
                     qPrintable(e.text()));
            QVERIFY(!e.text().contains(QStringLiteral("disk is full")));
        }
        t->cancel();
        t->close();
        // The set is as it was and still opens.
        t->open();
        QCOMPARE(t->recordCount(), 3);
    }
};

QTEST_GUILESS_MAIN(TestBadTableFiles)
#include "test_bad_table_files.moc"
