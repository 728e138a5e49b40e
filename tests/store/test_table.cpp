// The table cursor: states, record numbers under filters, key search,
// emptying, notifications, and what reaches the file.
#include "DataSource.h"
#include "ProgramDir.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"

#include <QSignalSpy>
#include <QtTest>

using store::Table;
using store::TableState;

class TestTable : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;

    std::unique_ptr<Table> bank()
    {
        return std::make_unique<Table>(*m_session, QStringLiteral("tcpip.DAT"),
                                       store::bankSchema());
    }
    std::unique_ptr<Table> userSet()
    {
        return std::make_unique<Table>(*m_session, QStringLiteral("tcpipusr.DAT"),
                                       store::userSetSchema());
    }
    std::unique_ptr<Table> currentSet()
    {
        return std::make_unique<Table>(*m_session, QStringLiteral("ces.DAT"),
                                       store::currentSetSchema(), true);
    }
    static void addUserItem(Table& t, const QString& text)
    {
        t.append();
        t.setValue(QStringLiteral("Q_TEXT"), text);
        t.post();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
    }
    void cleanup()
    {
        m_session.reset();
        m_dir.reset();
    }

    void registeringAPasswordTwiceChangesNothing()
    {
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        QCOMPARE(m_session->passwords().size(), 1);
        QCOMPARE(QString::fromLatin1(store::kTablePassword).size(), 13);
    }

    void schemasHaveTheFieldsInOrder()
    {
        QStringList names;
        for (const auto& c : store::currentSetSchema())
            names << c.name;
        QCOMPARE(names.join(QLatin1Char(',')),
                 QStringLiteral("Q_ID,Q_EXAM_N,Q_SECT,Q_TEXT,Q_EXPL,Q_TYPE,Q1,Q2,Q3,Q4,Q5,Q6,A1,"
                                "A2,A3,A4,A5,A6,Q_SIM,PICT1,PICT2,Q_OR_NUMBER,U_MEMO"));
        names.clear();
        for (const auto& c : store::userSetSchema())
            names << c.name;
        QCOMPARE(names.join(QLatin1Char(',')),
                 QStringLiteral("Q_ID,Q_SECT,Q_TEXT,Q_EXPL,Q_TYPE,Q1,Q2,Q3,Q4,Q5,Q6,A1,A2,A3,A4,"
                                "A5,A6,U_MEMO"));
        QCOMPARE(store::bankSchema().size(), size_t(22));
        QCOMPARE(store::sectionName(1), QStringLiteral("Planning"));
        QCOMPARE(store::sectionName(5), QStringLiteral("Troubleshooting"));
        QCOMPARE(store::sectionName(0), QString());
    }

    void emptyTableReadsAsNothing()
    {
        auto t = userSet();
        t->open();
        QVERIFY(t->isEmpty());
        QCOMPARE(t->recordCount(), 0);
        t->first();
        QVERIFY(t->eof());
        QCOMPARE(t->asInteger(QStringLiteral("Q_SECT")), 0);
        QCOMPARE(t->asBoolean(QStringLiteral("A1")), false);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QString());
        t->edit();
        QCOMPARE(t->state(), TableState::Insert);
    }

    void filterSelectsAndKeepsRecordNumbers_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("firstRecNo");
        QTest::addColumn<int>("lastRecNo");
        QTest::newRow("exam A") << "Q_EXAM_N=1" << true << 2 << 1 << 2;
        QTest::newRow("exam C starts at its own number") << "Q_EXAM_N=3" << true << 2 << 5 << 6;
        QTest::newRow("exam G, name in mixed case") << "q_Exam_n=7" << true << 2 << 13 << 14;
        QTest::newRow("all questions") << "Q_EXAM_N<>0" << true << 14 << 1 << 14;
        QTest::newRow("no match") << "Q_EXAM_N=9" << true << 0 << 0 << 0;
        QTest::newRow("filter off") << "Q_EXAM_N=3" << false << 16 << 1 << 16;
        QTest::newRow("empty filter text") << "" << true << 16 << 1 << 16;
    }
    void filterSelectsAndKeepsRecordNumbers()
    {
        QFETCH(QString, filter);
        QFETCH(bool, filtered);
        QFETCH(int, count);
        QFETCH(int, firstRecNo);
        QFETCH(int, lastRecNo);
        auto t = bank();
        t->setFilter(filter);
        t->setFiltered(filtered);
        t->open();
        QCOMPARE(t->recordCount(), count);
        QCOMPARE(t->isEmpty(), count == 0);
        QCOMPARE(t->recNo(), firstRecNo);
        int last = 0, seen = 0;
        for (t->first(); !t->eof(); t->next()) {
            last = t->recNo();
            QCOMPARE(t->asInteger(QStringLiteral("Q_ID")), qint64(last));
            ++seen;
        }
        QCOMPARE(seen, count);
        QCOMPARE(last, lastRecNo);
    }

    void filterAppliesAtOnceOnAnOpenHandle()
    {
        auto t = bank();
        t->open();
        QCOMPARE(t->recordCount(), 16);
        t->setFilter(QStringLiteral("Q_EXAM_N=2"));
        QCOMPARE(t->recordCount(), 16);
        t->setFiltered(true);
        QCOMPARE(t->recordCount(), 2);
        QCOMPARE(t->recNo(), 3);
        t->setFilter(QStringLiteral("Q_EXAM_N=0"));
        QCOMPARE(t->recordCount(), 2);
        QCOMPARE(t->recNo(), 15);
        t->setFiltered(false);
        QCOMPARE(t->recordCount(), 16);
    }

    void illFormedFilterIsAClearError_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("spaces") << "Q_EXAM_N = 1";
        QTest::newRow("text value") << "Q_EXAM_N='1'";
        QTest::newRow("unknown field") << "Q_NOPE=1";
        QTest::newRow("other operator") << "Q_EXAM_N>1";
        QTest::newRow("injection") << "Q_EXAM_N=1;DROP TABLE items";
    }
    void illFormedFilterIsAClearError()
    {
        QFETCH(QString, filter);
        auto t = bank();
        try {
            t->setFilter(filter);
            QFAIL("no error");
        } catch (const platform::TableError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("filter")), qPrintable(e.text()));
        }
        QCOMPARE(t->filter(), QString());
    }

    void fieldsByNameIgnoreCase()
    {
        auto t = bank();
        t->open();
        QVERIFY(!t->asString(QStringLiteral("Q_TEXT")).isEmpty());
        QCOMPARE(t->asString(QStringLiteral("Q_Text")), t->asString(QStringLiteral("Q_TEXT")));
        QCOMPARE(t->asBoolean(QStringLiteral("a1")), true);
        QCOMPARE(t->asInteger(QStringLiteral("q_exam_n")), qint64(1));
        QVERIFY_THROWS_EXCEPTION(platform::TableError, t->value(QStringLiteral("Q_NOPE")));
    }

    void writingOutsideEditIsRefused()
    {
        auto t = bank();
        t->open();
        QVERIFY_THROWS_EXCEPTION(platform::TableError,
                                 t->setValue(QStringLiteral("U_MEMO"), QStringLiteral("x")));
    }

    void postGivesNewRecordsAKeyAndIsInTheFile()
    {
        auto t = currentSet();
        t->setExclusive(true);
        t->open();
        QVERIFY(t->isEmpty());
        for (int i = 0; i < 3; ++i) {
            t->append();
            t->setValue(QStringLiteral("Q_OR_NUMBER"), 10 + i);
            t->post();
            QCOMPARE(t->recNo(), i + 1);
            QVERIFY(t->asInteger(QStringLiteral("Q_ID")) > 0);
        }
        t->close();
        t->open();
        QCOMPARE(t->recordCount(), 3);
        QList<qint64> keys;
        for (t->first(); !t->eof(); t->next()) {
            keys << t->asInteger(QStringLiteral("Q_ID"));
            QCOMPARE(t->asInteger(QStringLiteral("Q_OR_NUMBER")), qint64(9 + t->recNo()));
        }
        QCOMPARE(QSet<qint64>(keys.begin(), keys.end()).size(), 3);
    }

    void cancelAfterInsertReturnsToTheEarlierRecord()
    {
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        addUserItem(*t, QStringLiteral("two"));
        t->first();
        t->insert();
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QString());
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("three"));
        t->cancel();
        QCOMPARE(t->state(), TableState::Browse);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("one"));
        QCOMPARE(t->recordCount(), 2);
    }

    void deleteMakesTheFollowingRecordCurrent_data()
    {
        QTest::addColumn<int>("deleteAt");
        QTest::addColumn<QString>("currentAfter");
        QTest::newRow("first") << 1 << "two";
        QTest::newRow("middle") << 2 << "three";
        QTest::newRow("last takes the one before") << 3 << "two";
    }
    void deleteMakesTheFollowingRecordCurrent()
    {
        QFETCH(int, deleteAt);
        QFETCH(QString, currentAfter);
        auto t = userSet();
        t->open();
        for (const char* s : {"one", "two", "three"})
            addUserItem(*t, QLatin1String(s));
        t->setRecNo(deleteAt);
        t->remove();
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), currentAfter);
        QCOMPARE(t->recordCount(), 2);
        t->close();
        t->open();
        QCOMPARE(t->recordCount(), 2);
    }

    void deleteInInsertOnlyCancels()
    {
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        t->insert();
        t->remove();
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("one"));
    }

    void closeDuringEditLosesTheChange_data()
    {
        QTest::addColumn<bool>("insert");
        QTest::newRow("edit") << false;
        QTest::newRow("insert") << true;
    }
    void closeDuringEditLosesTheChange()
    {
        QFETCH(bool, insert);
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("kept"));
        if (insert)
            t->insert();
        else
            t->edit();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("lost"));
        t->close();
        t->open();
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("kept"));
    }

    void movingLeavesEditingFirst_data()
    {
        QTest::addColumn<bool>("change");
        QTest::newRow("changed: posted") << true;
        QTest::newRow("unchanged: just ends the edit") << false;
    }
    void movingLeavesEditingFirst()
    {
        QFETCH(bool, change);
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        addUserItem(*t, QStringLiteral("two"));
        t->first();
        t->edit();
        if (change)
            t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("ONE"));
        t->next();
        QCOMPARE(t->state(), TableState::Browse);
        QCOMPARE(t->recNo(), 2);
        t->close();
        t->open();
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")),
                 change ? QStringLiteral("ONE") : QStringLiteral("one"));
    }

    void editInEditOrInsertDoesNothing()
    {
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        t->edit();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("typed"));
        t->edit();
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("typed"));
        t->post();
        t->insert();
        t->edit();
        QCOMPARE(t->state(), TableState::Insert);
    }

    void gotoKey_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("found");
        QTest::newRow("present") << "" << 7 << true;
        QTest::newRow("absent") << "" << 99 << false;
        QTest::newRow("inside the filter") << "Q_EXAM_N=4" << 8 << true;
        QTest::newRow("hidden by the filter") << "Q_EXAM_N=4" << 2 << false;
    }
    void gotoKey()
    {
        QFETCH(QString, filter);
        QFETCH(int, key);
        QFETCH(bool, found);
        auto t = bank();
        t->setFilter(filter);
        t->setFiltered(true);
        t->open();
        const int before = t->recNo();
        t->setKey();
        QCOMPARE(t->state(), TableState::SetKey);
        t->setValue(QStringLiteral("Q_ID"), key);
        QCOMPARE(t->gotoKey(), found);
        QCOMPARE(t->state(), TableState::Browse);
        QCOMPARE(t->recNo(), found ? key : before);
    }

    void exclusiveStaysOnUntilTurnedOff()
    {
        auto t = currentSet();
        t->setExclusive(true);
        t->open();
        auto other = currentSet();
        try {
            other->open();
            QFAIL("a second handle opened an exclusive file");
        } catch (const platform::TableError& e) {
            QCOMPARE(e.code(), 5);
        }
        t->close();
        t->open(); // still exclusive
        QVERIFY_THROWS_EXCEPTION(platform::TableError, other->open());
        t->close();
        t->setExclusive(false);
        t->open();
        other->open();
        QVERIFY(other->isOpen());
    }

    void emptyingOpenAndClosedHandles()
    {
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        addUserItem(*t, QStringLiteral("two"));
        store::DataSource ds(t.get());
        QSignalSpy data(&ds, &store::DataSource::dataChanged);
        t->emptyTable();
        QVERIFY(t->isOpen());
        QCOMPARE(t->state(), TableState::Browse);
        QVERIFY(t->isEmpty());
        QCOMPARE(data.size(), 1);
        addUserItem(*t, QStringLiteral("three"));
        t->close();
        t->emptyTable();
        QVERIFY(!t->isOpen());
        t->open();
        QVERIFY(t->isEmpty());
    }

    // A copy goes from file to file as stored: every field must arrive as it
    // was, whatever its kind, and a read of the copy must show it so.
    void copiedRecordsArriveFieldForField()
    {
        auto source = userSet();
        source->open();
        source->append();
        source->setValue(QStringLiteral("Q_TEXT"),
                         QStringLiteral("Which mask? \u03a9 \u00fc \u4f60"));
        source->setValue(QStringLiteral("Q_EXPL"),
                         QStringLiteral("A long explanation.\r\nTwo lines."));
        source->setValue(QStringLiteral("Q_SECT"), 3);
        source->setValue(QStringLiteral("Q_TYPE"), true);
        source->setValue(QStringLiteral("Q1"), QStringLiteral("255.255.0.0"));
        source->setValue(QStringLiteral("A1"), true);
        source->setValue(QStringLiteral("A2"), false);
        source->post(); // Q2 to Q6, A3 to A6 and U_MEMO stay null
        const auto copied = [&](const Table& to) {
            std::vector<std::pair<int, int>> pairs;
            for (const platform::ColumnDef& c : store::userSetSchema())
                if (c.name != QLatin1String("Q_ID"))
                    pairs.emplace_back(to.fieldIndex(c.name), source->fieldIndex(c.name));
            return pairs;
        };
        auto set = currentSet();
        set->openEmptied();
        const int original = set->fieldIndex(QStringLiteral("Q_OR_NUMBER"));
        platform::RowValues own(qsizetype(store::currentSetSchema().size()));
        own[original] = qlonglong(77);
        std::vector<bool> wanted(store::currentSetSchema().size(), false);
        wanted[size_t(set->fieldIndex(QStringLiteral("Q1")))] = true;
        const platform::RowValues row = set->appendCopy(*source, copied(*set), own, wanted);
        set->commitBatch();
        // What comes back: the key, the numbers and the texts asked for.
        QVERIFY(row[0].toLongLong() > 0);
        QCOMPARE(row[original], QVariant(qlonglong(77)));
        QCOMPARE(row[set->fieldIndex(QStringLiteral("Q_SECT"))], QVariant(qlonglong(3)));
        QCOMPARE(row[set->fieldIndex(QStringLiteral("A1"))], QVariant(true));
        QCOMPARE(row[set->fieldIndex(QStringLiteral("Q1"))],
                 QVariant(QStringLiteral("255.255.0.0")));
        QVERIFY(row[set->fieldIndex(QStringLiteral("Q_TEXT"))].isNull());
        QCOMPARE(set->recordCount(), 1);
        // What is in the file, read by another handle.
        set->close();
        Table::forgetReads();
        auto read = currentSet();
        read->open();
        for (const platform::ColumnDef& c : store::userSetSchema()) {
            if (c.name == QLatin1String("Q_ID"))
                continue;
            QCOMPARE(read->isNull(c.name), source->isNull(c.name));
            QCOMPARE(read->value(c.name), source->value(c.name));
        }
        QCOMPARE(read->asInteger(QStringLiteral("Q_OR_NUMBER")), qint64(77));
        QVERIFY(read->isNull(QStringLiteral("PICT1")));
    }

    void copyBetweenFieldsOfDifferentKindsIsRefused()
    {
        auto source = userSet();
        source->open();
        addUserItem(*source, QStringLiteral("one"));
        auto set = currentSet();
        set->openEmptied();
        // A text into a number would be stored as a text the next read refuses.
        QVERIFY_THROWS_EXCEPTION(platform::TableError,
                                 set->appendCopy(*source,
                                                 {{set->fieldIndex(QStringLiteral("Q_SECT")),
                                                   source->fieldIndex(QStringLiteral("Q_TEXT"))}},
                                                 platform::RowValues(), {}));
        set->rollbackBatch();
        QVERIFY(!set->isOpen());
        QVERIFY(!QFile::exists(QStringLiteral("ces.DAT.new")));
    }

    // An open keeps what it read of a file for the rest of the run; a later
    // open may use it only while the file is as it was then.
    void reopenSeesChangesMadeThroughAnotherHandle_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("changed");
        QTest::newRow("number") << "Q_SECT" << QVariant(qlonglong(4));
        QTest::newRow("text") << "Q_TEXT" << QVariant(QStringLiteral("changed elsewhere"));
        QTest::newRow("yes/no") << "A3" << QVariant(true);
    }
    void reopenSeesChangesMadeThroughAnotherHandle()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, changed);
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        addUserItem(*t, QStringLiteral("two"));
        t->close();
        t->open();
        auto other = userSet();
        other->open();
        other->setRecNo(2);
        other->edit();
        other->setValue(field, changed);
        other->post();
        other->close();
        t->close();
        t->open();
        t->setRecNo(2);
        QCOMPARE(t->value(field), changed);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")),
                 field == QLatin1String("Q_TEXT") ? changed.toString() : QStringLiteral("two"));
    }

    void reopenOfAReplacedFileReadsTheNewOne()
    {
        auto t = userSet();
        t->open();
        addUserItem(*t, QStringLiteral("one"));
        t->close();
        const QString path = m_dir->file(QStringLiteral("tcpipusr.DAT"));
        const QString aside = m_dir->file(QStringLiteral("aside.DAT"));
        QVERIFY(QFile::copy(path, aside));
        t->open();
        addUserItem(*t, QStringLiteral("two"));
        t->close();
        t->open();
        QCOMPARE(t->recordCount(), 2);
        t->close();
        // Put back as a program outside would: a new file under the old name.
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(aside, path));
        t->open();
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("one"));
    }

    void aFileDamagedAfterAnEarlierOpenIsStillRefused()
    {
        auto t = bank();
        t->open();
        t->close();
        const QString path = m_dir->file(QStringLiteral("tcpip.DAT"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QDateTime before = QFileInfo(path).lastModified();
        // One page in the middle, overwritten in place: the size stays.
        f.seek(f.size() / 2);
        f.write(QByteArray(64, '\x5a'));
        f.close();
        QFile(path).setFileTime(before.addSecs(60), QFileDevice::FileModificationTime);
        try {
            t->open();
            t->last(); // at the latest, reading every record shows it
            QFAIL("a damaged bank was read without a word");
        } catch (const platform::TableError& e) {
            QVERIFY2(e.text().contains(QLatin1String("tcpip.DAT")), qPrintable(e.text()));
        }
    }

    // What start-up reads ahead on its worker is only a head start: a file
    // changed or damaged since is read afresh, and a fault still reaches
    // the open that needs the file.
    void readAheadGivesWayToTheFileAsItIs_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("unchanged") << "";
        QTest::newRow("record changed") << "edit";
        QTest::newRow("damaged") << "damage";
        QTest::newRow("missing") << "remove";
    }
    void readAheadGivesWayToTheFileAsItIs()
    {
        QFETCH(QString, change);
        const QString path = m_dir->file(QStringLiteral("tcpip.DAT"));
        qint64 section = 0;
        {
            auto t = bank();
            t->open();
            section = t->asInteger(QStringLiteral("Q_SECT"));
        }
        Table::forgetReads();
        Table::readAhead(path, m_session->passwords(), store::bankSchema());
        if (change == QLatin1String("edit")) {
            QVERIFY(QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner));
            auto other = bank();
            other->open();
            other->edit();
            section = section % 6 + 1;
            other->setValue(QStringLiteral("Q_SECT"), section);
            other->post();
        } else if (change == QLatin1String("damage")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const QDateTime before = QFileInfo(path).lastModified();
            f.seek(f.size() / 2);
            f.write(QByteArray(64, '\x5a'));
            f.close();
            QFile(path).setFileTime(before.addSecs(60), QFileDevice::FileModificationTime);
        } else if (change == QLatin1String("remove")) {
            QVERIFY(QFile::remove(path));
        }
        auto t = bank();
        try {
            t->open();
            t->last();
            QVERIFY2(change != QLatin1String("damage") && change != QLatin1String("remove"),
                     "a fault was hidden by the read ahead");
            t->first();
            QCOMPARE(t->asInteger(QStringLiteral("Q_SECT")), section);
        } catch (const platform::TableError& e) {
            QVERIFY2(change == QLatin1String("damage") || change == QLatin1String("remove"),
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(QLatin1String("tcpip.DAT")), qPrintable(e.text()));
        }
        // A read ahead of a file that cannot be read says nothing itself.
        Table::readAhead(m_dir->file(QStringLiteral("none.DAT")), m_session->passwords(),
                         store::bankSchema());
    }

    void bookmarksReturnToTheRecord()
    {
        auto t = bank();
        t->open();
        t->setRecNo(5);
        store::Bookmark mark = t->bookmark();
        t->last();
        QCOMPARE(t->recNo(), 16);
        t->gotoBookmark(mark);
        QCOMPARE(t->recNo(), 5);
        t->freeBookmark(mark);
        QVERIFY(!mark.valid);
    }

    void notificationsAreRaisedWhenThePartSaysSo()
    {
        auto t = userSet();
        store::DataSource ds(t.get());
        QSignalSpy state(&ds, &store::DataSource::stateChanged);
        QSignalSpy data(&ds, &store::DataSource::dataChanged);
        t->open();
        QCOMPARE(state.size(), 1);
        QCOMPARE(data.size(), 1);
        t->append();
        QCOMPARE(state.size(), 2);
        data.clear();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("x"));
        QCOMPARE(data.size(), 1);
        QCOMPARE(data.at(0).at(0).toInt(), t->fieldIndex(QStringLiteral("Q_TEXT")));
        t->post();
        QCOMPARE(state.size(), 3);
        QCOMPARE(data.last().at(0).toInt(), -1);
        addUserItem(*t, QStringLiteral("y"));
        t->first();
        data.clear();
        t->prior(); // already on the first record: nothing changes
        QCOMPARE(data.size(), 0);
        t->next();
        QCOMPARE(data.size(), 1);
        t->next(); // past the last: end of table, no change
        QVERIFY(t->eof());
        QCOMPARE(data.size(), 1);
        state.clear();
        t->close();
        QCOMPARE(state.size(), 1);
    }

    void suspendedControlsHearNothingUntilResumed()
    {
        auto t = bank();
        store::DataSource ds(t.get());
        t->open();
        QSignalSpy data(&ds, &store::DataSource::dataChanged);
        t->disableControls();
        t->next();
        t->next();
        QCOMPARE(data.size(), 0);
        t->enableControls();
        QCOMPARE(data.size(), 1);
        QCOMPARE(t->recNo(), 3);
    }

    void missingFilesAreErrorsExceptTheCurrentSet()
    {
        QFile::remove(QStringLiteral("tcpip.DAT"));
        auto b = bank();
        try {
            b->open();
            QFAIL("a missing bank opened");
        } catch (const platform::TableError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("was not found")), qPrintable(e.text()));
        }
        QVERIFY(!QFile::exists(QStringLiteral("tcpip.DAT")));
        auto c = currentSet();
        c->open();
        QVERIFY(c->isEmpty());
        QVERIFY(QFile::exists(QStringLiteral("ces.DAT")));
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "test_table.moc"
