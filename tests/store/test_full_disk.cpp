// Table writes on a full disk, and damage said plainly: what the user is told
// names the disk as full and the folder, never a file of our own making or
// the engine's words; the file stays as it was; a batch the engine has
// already undone keeps its first error; a damaged file is said in two lines
// with its path, the engine's account behind the details.
#include "FullDisk.h"
#include "History.h"
#include "ProgramDir.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TableFile.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using platform::TableError;
using store::Table;

class TestFullDisk : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;

    std::unique_ptr<Table> userSet()
    {
        return std::make_unique<Table>(*m_session, QStringLiteral("tcpipusr.DAT"),
                                       store::userSetSchema());
    }
    static void addUserItem(Table& t, const QString& text)
    {
        t.append();
        t.setValue(QStringLiteral("Q_TEXT"), text);
        t.post();
    }
    int storedUserItems()
    {
        auto t = userSet();
        t->open();
        return t->recordCount();
    }
    QString folder() const { return QDir::toNativeSeparators(QDir(m_dir->path()).absolutePath()); }

    // What the user reads for a full disk (a table opened while a FullDisk
    // lives writes through it): the disk, the file as they know
    // it and its folder; nothing of the engine or of a temporary file.
    void verifyFullDiskText(const TableError& e, const QString& file)
    {
        QCOMPARE(e.code(), int(TableError::Full));
        QCOMPARE(e.text(), QStringLiteral("The disk is full: the table file \"%1\" in %2 could "
                                          "not be written, and it was left as it was. Free some "
                                          "space on that disk and try again.")
                               .arg(file, folder()));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        Table::forgetReads();
        auto t = userSet();
        t->open();
        for (const char* text : {"one", "two", "three"})
            addUserItem(*t, QString::fromLatin1(text));
    }
    void cleanup()
    {
        m_session.reset();
        m_dir.reset();
    }

    void aSaveOnAFullDiskSaysSoAndWhere_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::newRow("new item") << false;
        QTest::newRow("changed item") << true;
    }
    void aSaveOnAFullDiskSaysSoAndWhere()
    {
        QFETCH(bool, edit);
        // A connection keeps the file layer it was opened with.
        testing::FullDisk disk;
        auto t = userSet();
        t->open();
        const int before = t->recordCount();
        QVERIFY(before > 0);
        disk.fillAfter(0);
        if (edit)
            t->edit();
        else
            t->append();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("kept on screen"));
        try {
            t->post();
            QFAIL("a post on a full disk succeeded");
        } catch (const TableError& e) {
            verifyFullDiskText(e, QStringLiteral("tcpipusr.DAT"));
        }
        QVERIFY(disk.failedWrites() > 0);
        // What was typed is still there to save once there is room.
        QCOMPARE(t->asString(QStringLiteral("Q_TEXT")), QStringLiteral("kept on screen"));
        disk.free();
        t->post();
        t->close();
        QCOMPARE(storedUserItems(), edit ? before : before + 1);
    }

    // An exam start writes the new set beside the old one: the user hears of
    // the current set, not of the file it was being written to.
    void anExamSetBuiltOnAFullDiskNamesTheSetAndLeavesTheOldOne()
    {
        Table current(*m_session, QStringLiteral("ces.DAT"), store::currentSetSchema(), true);
        current.openEmptied();
        for (int i = 0; i < 3; ++i)
            addUserItem(current, QStringLiteral("old %1").arg(i));
        current.commitBatch();
        current.close();

        testing::FullDisk disk;
        disk.fillAfter(0);
        try {
            current.openEmptied();
            for (int i = 0; i < 50; ++i)
                addUserItem(current, QString(3000, QLatin1Char('n')));
            current.commitBatch();
            QFAIL("a new set was written on a full disk");
        } catch (const TableError& e) {
            verifyFullDiskText(e, QStringLiteral("ces.DAT"));
        }
        current.close();
        disk.free();
        QVERIFY(!QFile::exists(m_dir->file(QStringLiteral("ces.DAT.new"))));
        current.open();
        QCOMPARE(current.recordCount(), 3);
        QCOMPARE(current.asString(QStringLiteral("Q_TEXT")), QStringLiteral("old 0"));
    }

    void aGradingRecordedOnAFullDiskSaysSoAndWhere()
    {
        store::HistoryFile history(*m_session);
        store::Attempt a;
        a.when = 45000;
        a.title = QStringLiteral("Practice Exam A");
        a.itemCount = 1;
        a.items = {{1, true, false, false}};
        a.sections[1] = {1, 1};
        testing::FullDisk disk;
        disk.fillAfter(0);
        try {
            history.add(a);
            QFAIL("a grading was recorded on a full disk");
        } catch (const TableError& e) {
            verifyFullDiskText(e, QStringLiteral("tcpiphst.DAT"));
        }
        disk.free();
        history.add(a);
        QCOMPARE(history.readAll().size(), size_t(1));
    }

    // The kept exam: a response that finds no room says so, and what was
    // kept before stays.
    void aResponseKeptOnAFullDiskSaysSoAndWhere()
    {
        testing::FullDisk disk;
        store::SavedExamFile kept(*m_session);
        store::SavedExamState state;
        state.kind = store::ExamKind::Practice;
        state.title = QStringLiteral("Practice Exam A");
        state.timeLimit = 0.1;
        state.items.resize(3);
        for (size_t i = 0; i < state.items.size(); ++i)
            state.items[i].sourceId = qint64(i) + 1;
        kept.start(state);
        kept.writeResponse(1, {true, false, false, false, false, false}, false);
        disk.fillAfter(0);
        try {
            kept.writeResponse(2, {false, true, false, false, false, false}, true);
            QFAIL("a response was kept on a full disk");
        } catch (const TableError& e) {
            verifyFullDiskText(e, QString::fromLatin1(store::kSavedExamFile));
        }
        disk.free();
        kept.close();
        const std::optional<store::SavedExamState> read = kept.read();
        QVERIFY(read.has_value());
        QCOMPARE(read->items.size(), size_t(3));
        QVERIFY(read->items[0].choice[0]);
    }

    // The engine undoes a transaction itself when the disk fills part-way;
    // a second rollback would fail ("no transaction is active") and read as
    // damage. The first error stands, and the set is whole.
    void aLargeBatchOnAFullDiskKeepsTheFirstError()
    {
        testing::FullDisk disk;
        auto t = userSet();
        t->open();
        const int before = t->recordCount();
        t->disableControls();
        t->beginBatch();
        disk.fillAfter(64 * 1024);
        try {
            // More than the engine's page cache holds, so that it writes
            // part-way through the batch.
            for (int i = 0; i < 1500; ++i)
                addUserItem(*t, QString(3000, QLatin1Char('x')));
            QFAIL("4.5 MB fitted in 64 KB");
        } catch (const TableError& e) {
            verifyFullDiskText(e, QStringLiteral("tcpipusr.DAT"));
            t->cancel();
            t->rollbackBatch();
        }
        t->enableControls();
        disk.free();
        // The handle knows no record the file does not hold.
        QVERIFY(!t->isOpen() || t->recordCount() == before);
        t->close();
        QCOMPARE(storedUserItems(), before);
    }

    // A handle that knows a record the file no longer holds must not take an
    // edit of it as saved.
    void anEditOfARecordGoneFromTheFileIsRefused()
    {
        auto t = userSet();
        t->open();
        t->last();
        const qint64 key = t->asInteger(QStringLiteral("Q_ID"));
        {
            auto other = userSet();
            other->open();
            other->last();
            other->remove();
        }
        t->edit();
        t->setValue(QStringLiteral("Q_TEXT"), QStringLiteral("saved nowhere"));
        try {
            t->post();
            QFAIL("an edit of a deleted record was taken as saved");
        } catch (const TableError& e) {
            QCOMPARE(e.text(), QStringLiteral("The record with Q_ID %1 is no longer in the table "
                                              "file \"tcpipusr.DAT\", so the change was not "
                                              "saved.")
                                   .arg(key));
        }
    }

    // One flipped byte in a large file: the engine lists every page that
    // failed. The message says "damaged" and where, in two lines; the list
    // is behind the details.
    void aDamagedFileIsSaidInTwoLinesWithItsPath()
    {
        {
            auto t = userSet();
            t->open();
            t->disableControls();
            t->beginBatch();
            for (int i = 0; i < 300; ++i)
                addUserItem(*t, QString(1500, QChar(u'a' + i % 26)));
            t->commitBatch();
            t->enableControls();
        }
        const QString path = m_dir->file(QStringLiteral("tcpipusr.DAT"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            // The root page of the items table, whose loss leaves every page
            // below it unreachable.
            f.seek(4096 + 100);
            char c = 0;
            f.getChar(&c);
            f.seek(4096 + 100);
            f.putChar(char(c ^ 0x55));
        }
        platform::TableFile::forgetCheckedPages();
        Table::forgetReads();
        auto t = userSet();
        try {
            t->open();
            QFAIL("a damaged file opened");
        } catch (const TableError& e) {
            QVERIFY2(e.code() == TableError::Corrupt || e.code() == TableError::NotADatabase ||
                         e.code() == TableError::Generic,
                     qPrintable(e.text()));
            QVERIFY2(e.text().contains(QStringLiteral("damaged")), qPrintable(e.text()));
            QVERIFY2(e.text().contains(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())),
                     qPrintable(e.text()));
            QVERIFY2(e.text().count(QLatin1Char('\r')) <= 1 && !e.text().contains(u'\n'),
                     qPrintable(e.text()));
            QVERIFY(!e.details().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "test_full_disk.moc"
