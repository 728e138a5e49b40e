// The objective and fact of each bank item: written by the compiler beside the
// items table, which stays as the program reads it, and looked up again for
// the items of a graded exam.
#include "BankCompiler.h"
#include "DataFolder.h"
#include "Objectives.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableFile.h"

#include <QFile>
#include <QtTest>

namespace {

store::Session tableSession()
{
    store::Session s(QString::fromLatin1(store::kSessionName));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    return s;
}

} // namespace

class TestItemTags : public QObject {
    Q_OBJECT
private slots:
    // Every item's objective and fact come back by Q_ID, and the bank still
    // opens as a table of items with its fields unchanged.
    void compiledBankKeepsTagsBesideItsItems()
    {
        testing::ProgramDir dir;
        QStringList errors;
        QVector<bank::SourceItem> source =
            bank::readSource(testing::fixtureBankDir(), testing::fixturePicturesDir(), &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        bank::SourceItem& item = source[2];
        item.fact = QStringLiteral("name-res/b-node-order");
        bank::writeBank(source, dir.file(QString::fromLatin1(store::kBankFile)));

        store::Session session = tableSession();
        const QHash<int, store::ItemTag> tags =
            store::readItemTags(session, QString::fromLatin1(store::kBankFile));
        QCOMPARE(tags.size(), source.size());
        for (const bank::SourceItem& it : source)
            QCOMPARE(tags.value(it.id), (store::ItemTag{it.objective, it.fact}));

        store::Table t(session, QString::fromLatin1(store::kBankFile), store::bankSchema());
        t.open();
        QCOMPARE(t.recordCount(), source.size());
        t.close();

        // A rebuild replaces the tags rather than adding a second set.
        item.objective = QStringLiteral("snmp");
        item.section = 2;
        bank::writeBank(source, dir.file(QString::fromLatin1(store::kBankFile)));
        QCOMPARE(store::readItemTags(session, QString::fromLatin1(store::kBankFile))
                     .value(item.id)
                     .objective,
                 QStringLiteral("snmp"));
    }

    // A bank written before objectives were kept reads as one without them.
    void bankWithoutTagsHasNoObjectives()
    {
        testing::ProgramDir dir(false);
        store::Session session = tableSession();
        {
            store::Table t(session, QString::fromLatin1(store::kBankFile), store::bankSchema(),
                           true);
            t.open();
            t.append();
            for (const platform::ColumnDef& c : store::bankSchema())
                t.setValue(c.name, c.type == platform::ColumnType::Boolean   ? QVariant(false)
                                   : c.type == platform::ColumnType::Integer ? QVariant(0)
                                                                             : QVariant(QString()));
            t.setValue(QStringLiteral("Q_ID"), 1);
            t.setValue(QStringLiteral("Q_EXAM_N"), 1);
            t.setValue(QStringLiteral("Q_SECT"), 2);
            t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Which?"));
            t.setValue(QStringLiteral("Q_EXPL"), QStringLiteral("Because."));
            t.setValue(QStringLiteral("Q1"), QStringLiteral("a"));
            t.setValue(QStringLiteral("Q2"), QStringLiteral("b"));
            t.setValue(QStringLiteral("A1"), true);
            t.post();
            t.close();
        }
        store::ensureUserSet(QString::fromLatin1(store::kUserSetFile));
        const auto objectives = store::ItemObjectives::read(session);
        QVERIFY(objectives.bankTags().isEmpty());
        QCOMPARE(objectives.objectiveOf(1, false), QString());
        QVERIFY(objectives.examShares().isEmpty());
    }

    void itemObjectiveLookup_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("userItem");
        QTest::addColumn<QString>("objective");
        QTest::addColumn<QString>("wordingStart");
        // Bank items: the fixture's tags; a sub-objective counts for its
        // objective.
        QTest::newRow("bank item") << 1 << false << "dhcp-scopes"
                                   << "Configure scopes";
        QTest::newRow("sub-objective") << 14 << false << "wins-server"
                                       << "Install and configure a WINS";
        QTest::newRow("no such bank item") << 99 << false << ""
                                           << "";
        // The user's own items count under the first objective of their section.
        QTest::newRow("user item of section 1") << 1 << true << "plan-network-configuration"
                                                << "Given a scenario, identify valid";
        QTest::newRow("user item of section 5") << 2 << true << "ip-addressing-problems"
                                                << "Diagnose and resolve IP";
        QTest::newRow("user item of no section") << 3 << true << ""
                                                 << "";
        QTest::newRow("user item deleted") << 4 << true << ""
                                           << "";
    }
    void itemObjectiveLookup()
    {
        QFETCH(int, id);
        QFETCH(bool, userItem);
        QFETCH(QString, objective);
        QFETCH(QString, wordingStart);
        testing::ProgramDir dir;
        store::Session session = tableSession();
        {
            store::Table user(session, QString::fromLatin1(store::kUserSetFile),
                              store::userSetSchema());
            user.open();
            for (int sect : {1, 5, 0}) {
                user.append();
                user.setValue(QStringLiteral("Q_SECT"), sect);
                user.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("Mine?"));
                user.post();
            }
            user.close();
        }
        const auto objectives = store::ItemObjectives::read(session);
        QCOMPARE(objectives.objectiveOf(id, userItem), objective);
        QCOMPARE(store::ItemObjectives::wording(objective).left(wordingStart.size()), wordingStart);
    }

    // The shares a practice exam draws from leave out the items of no exam.
    void examSharesCountPracticeItemsOnly()
    {
        testing::ProgramDir dir;
        store::Session session = tableSession();
        const auto objectives = store::ItemObjectives::read(session);
        const QHash<QString, double> shares = objectives.examShares();
        double sum = 0;
        for (double s : shares)
            sum += s;
        QVERIFY(qAbs(sum - 1.0) < 1e-9);
        QVERIFY(!shares.contains(QStringLiteral("select-services"))); // retired only
        QCOMPARE(shares.value(QStringLiteral("diagnostic-utilities")), 2.0 / 14.0);
        QCOMPARE(objectives.practiceItemsOf(
                     {QStringLiteral("diagnostic-utilities"), QStringLiteral("wins-server")}),
                 (std::vector<int>{2, 13, 14}));
    }
};

QTEST_GUILESS_MAIN(TestItemTags)
#include "test_item_tags.moc"
