// The bank compiler: every kind of bad source is refused with the file and
// item named, and a rebuild keeps the candidate's notes and the user set.
#include "BankCompiler.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString goodItem(int id, const QString& extra = QString())
{
    return QStringLiteral(R"({"id": %1, "section": 2, "objective": "subnet-masks",
        "text": "Question %1?", "choices": ["one", "two", "three", "four"], "key": "b",
        "explanation": "Because two."%2})")
        .arg(id)
        .arg(extra);
}

void writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

class TestBankCompiler : public QObject {
    Q_OBJECT
private slots:
    void badSourceIsRefused_data()
    {
        QTest::addColumn<QString>("exam");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("message");
        const QString one = goodItem(1);
        QTest::newRow("gap in ids")
            << "1" << one + "," + goodItem(3) << "exam.json: item 3: ids must run 1..N";
        QTest::newRow("repeated id") << "1" << one + "," + goodItem(1) << "item 1: id repeated";
        QTest::newRow("ids not from 1") << "1" << goodItem(2) << "item 2: ids must run 1..N";
        QTest::newRow("exam out of range") << "8" << one << "exam.json: \"exam\" must be 0 to 7";
        QTest::newRow("section 0")
            << "1" << QString(one).replace("\"section\": 2", "\"section\": 0")
            << "item 1: the section must be 1 to 5";
        QTest::newRow("section 6")
            << "1" << QString(one).replace("\"section\": 2", "\"section\": 6")
            << "item 1: the section must be 1 to 5";
        QTest::newRow("key names an empty choice")
            << "1" << QString(one).replace("\"key\": \"b\"", "\"key\": \"e\"")
            << "item 1: key letter \"e\" names a choice without text";
        QTest::newRow("key letter beyond f")
            << "1" << QString(one).replace("\"key\": \"b\"", "\"key\": \"g\"")
            << "item 1: key letter \"g\" is not one of a to f";
        QTest::newRow("single response with two keys")
            << "1" << QString(one).replace("\"key\": \"b\"", "\"key\": \"bc\"")
            << "item 1: a single-response item must have exactly one key letter";
        QTest::newRow("no key") << "1" << QString(one).replace("\"key\": \"b\"", "\"key\": \"\"")
                                << "item 1: \"key\" is missing or empty";
        QTest::newRow("Choose two. with three keys")
            << "1"
            << QString(one)
                   .replace("Question 1?", "Question 1? Choose two.")
                   .replace("\"key\": \"b\"", "\"key\": \"abc\", \"multiple\": true")
            << "item 1: the question says \"Choose 2.\" but the key has 3 letter(s)";
        QTest::newRow("Choose three. on a single-response item with one key")
            << "1" << QString(one).replace("Question 1?", "Question 1? Choose three.")
            << "item 1: the question says \"Choose 3.\" but the key has 1 letter(s)";
        QTest::newRow("simulation with another key")
            << "1"
            << R"({"id":1,"section":2,"objective":"tcpip-printing","sim":"SIM1","text":"Place.","key":"a","explanation":"x"})"
            << "item 1: a simulation item must have the key \"f\" alone";
        QTest::newRow("simulation with choices")
            << "1"
            << R"({"id":1,"section":2,"objective":"subnet-masks","sim":"SIM2","text":"Place.","choices":["x"],"key":"f","explanation":"x"})"
            << "item 1: a simulation item must have no choices";
        QTest::newRow("unknown simulation")
            << "1"
            << R"({"id":1,"section":2,"objective":"subnet-masks","sim":"SIM3","text":"Place.","key":"f","explanation":"x"})"
            << "item 1: \"sim\" must be \"SIM1\" or \"SIM2\"";
        QTest::newRow("missing picture") << "1" << goodItem(1, ", \"pict1\": \"nowhere.svg\"")
                                         << "item 1: picture \"nowhere.svg\" not found";
        QTest::newRow("picture outside the folder")
            << "1" << goodItem(1, ", \"pict2\": \"../x.svg\"")
            << "item 1: picture \"../x.svg\" must be a plain file name";
        QTest::newRow("fact without a topic")
            << "1" << goodItem(1, ", \"fact\": \"renewal-at-half-lease\"")
            << "item 1: \"fact\" must be a topic and a fact";
        QTest::newRow("fact in capitals")
            << "1" << goodItem(1, ", \"fact\": \"utilities/nbtstat-R\"")
            << "item 1: \"fact\" must be a topic and a fact";
        QTest::newRow("fact not a text")
            << "1" << goodItem(1, ", \"fact\": 7") << "item 1: \"fact\" must be a topic and a fact";
        QTest::newRow("misspelt member") << "1" << goodItem(1, ", \"explenation\": \"typo\"")
                                         << "item 1: unknown member \"explenation\"";
        QTest::newRow("empty text") << "1" << QString(one).replace("Question 1?", "  ")
                                    << "item 1: \"text\" is missing or empty";
        QTest::newRow("not JSON") << "1" << one + ",,"
                                  << "exam.json: not valid JSON";
        QTest::newRow("no objective")
            << "1" << QString(one).replace("\"objective\": \"subnet-masks\",", "")
            << "exam.json: item 1: \"objective\" is missing or empty";
        QTest::newRow("objective not a text")
            << "1" << QString(one).replace("\"subnet-masks\"", "10")
            << "item 1: \"objective\" is missing or empty";
        QTest::newRow("unknown objective")
            << "1" << QString(one).replace("subnet-masks", "subnetting")
            << "exam.json: item 1: unknown objective \"subnetting\"";
        QTest::newRow("sub-objective without its parent")
            << "1" << QString(one).replace("subnet-masks", "multihomed")
            << "item 1: unknown objective \"multihomed\"";
        QTest::newRow("sub-objective under another parent")
            << "1" << QString(one).replace("subnet-masks", "dns-server/multihomed")
            << "item 1: unknown objective \"dns-server/multihomed\"";
        // Choosing a mask alone is configuration even when the scenario
        // sounds like planning; the objective decides the section.
        QTest::newRow("objective of another section")
            << "1" << QString(one).replace("\"section\": 2", "\"section\": 1")
            << "exam.json: item 1: objective \"subnet-masks\" belongs to section 2, not 1";
        QTest::newRow("sub-objective of another section")
            << "2"
            << QString(one)
                   .replace("\"section\": 2", "\"section\": 5")
                   .replace("subnet-masks", "dns-server/roles")
            << "item 1: objective \"dns-server/roles\" belongs to section 2, not 5";
        QTest::newRow("simulation without objective")
            << "1"
            << R"({"id":1,"section":2,"sim":"SIM1","text":"Place.","key":"f","explanation":"x"})"
            << "item 1: \"objective\" is missing or empty";
    }
    void badSourceIsRefused()
    {
        QFETCH(QString, exam);
        QFETCH(QString, items);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("bank"));
        QDir(dir.path()).mkdir(QStringLiteral("pictures"));
        writeFile(dir.filePath(QStringLiteral("bank/exam.json")),
                  QStringLiteral(R"({"exam": %1, "items": [%2]})").arg(exam, items).toUtf8());
        QStringList errors;
        bank::readSource(dir.filePath(QStringLiteral("bank")),
                         dir.filePath(QStringLiteral("pictures")), &errors);
        QVERIFY2(!errors.isEmpty(), "the bad source was accepted");
        QVERIFY2(errors.join(QLatin1Char('\n')).contains(message),
                 qPrintable(errors.join(QLatin1Char('\n'))));
    }

    // The tag is for the bank's own checks: read when present, not required.
    void factIsReadWhenPresent()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("bank"));
        QDir(dir.path()).mkdir(QStringLiteral("pictures"));
        writeFile(dir.filePath(QStringLiteral("bank/exam.json")),
                  QStringLiteral(R"({"exam": 1, "items": [%1, %2]})")
                      .arg(goodItem(1, ", \"fact\": \"dhcp/renewal-at-half-lease\""), goodItem(2))
                      .toUtf8());
        QStringList errors;
        const auto items = bank::readSource(dir.filePath(QStringLiteral("bank")),
                                            dir.filePath(QStringLiteral("pictures")), &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0).fact, QStringLiteral("dhcp/renewal-at-half-lease"));
        QVERIFY(items.at(1).fact.isEmpty());
    }

    void goodSourceAcrossFilesIsAccepted()
    {
        QStringList errors;
        const auto items =
            bank::readSource(testing::fixtureBankDir(), testing::fixturePicturesDir(), &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        QCOMPARE(items.size(), 16);
        QCOMPARE(items.first().id, 1);
        QCOMPARE(items.last().id, 16);
        QCOMPARE(items.at(13).objective, QStringLiteral("wins-server/replication"));
    }

    void rebuildKeepsNotesAndTheUserSet()
    {
        testing::ProgramDir dir;
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        {
            store::Table bankTable(session, QStringLiteral("tcpip.DAT"), store::bankSchema());
            bankTable.open();
            bankTable.setRecNo(4);
            bankTable.edit();
            bankTable.setValue(QStringLiteral("U_MEMO"), QStringLiteral("remember tftp"));
            bankTable.post();
            store::Table user(session, QStringLiteral("tcpipusr.DAT"), store::userSetSchema());
            user.open();
            user.append();
            user.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("my own question"));
            user.post();
        }
        QStringList errors;
        const auto items =
            bank::readSource(testing::fixtureBankDir(), testing::fixturePicturesDir(), &errors);
        bank::writeBank(items, dir.file(QStringLiteral("tcpip.DAT")));
        bank::ensureUserSet(dir.file(QStringLiteral("tcpipusr.DAT")));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("tcpip.DAT.new"))));

        store::Table bankTable(session, QStringLiteral("tcpip.DAT"), store::bankSchema());
        bankTable.open();
        QCOMPARE(bankTable.recordCount(), 16);
        bankTable.setRecNo(4);
        QCOMPARE(bankTable.asString(QStringLiteral("U_MEMO")), QStringLiteral("remember tftp"));
        QCOMPARE(bankTable.asString(QStringLiteral("PICT2")),
                 QStringLiteral("pictures/fixture2.svg"));
        bankTable.setRecNo(7);
        QCOMPARE(bankTable.asString(QStringLiteral("Q_SIM")), QStringLiteral("SIM1"));
        QCOMPARE(bankTable.asBoolean(QStringLiteral("A6")), true);
        QCOMPARE(bankTable.asBoolean(QStringLiteral("A1")), false);
        store::Table user(session, QStringLiteral("tcpipusr.DAT"), store::userSetSchema());
        user.open();
        QCOMPARE(user.recordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBankCompiler)
#include "test_bank_compiler.moc"
