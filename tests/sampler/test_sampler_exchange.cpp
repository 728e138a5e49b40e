// Import and export from the test sampler's File menu: the confirmation with
// what is skipped, all or nothing, the error with its line and column, the
// chooser filters and the export summary.
#include "BoundControls.h"
#include "DataSource.h"
#include "FullDisk.h"
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
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalSpy>
#include <QtTest>

using sampler::TestSampler;

namespace {

const QString kGift = QStringLiteral("$CATEGORY: $course$/top/Connectivity\n\n"
                                     "::A::First? {=yes ~no #not so ####Because.}\n\n"
                                     "Sky is blue {T}\n\n"
                                     "Pick {~%50%a ~%50%b ~%-100%c}\n\n"
                                     "Write {}\n");
const QString kSummary =
    QStringLiteral("3 questions will be added (1 skipped: question 4 (line 9): it is an essay "
                   "question). 1 changed: question 1 (line 3): the feedback of b added to the "
                   "explanation.\rAdd them to the question set?");

// n questions in GIFT, each with a text of `size` characters.
QByteArray manyQuestions(int n, int size = 20)
{
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        out += "::Q" + QByteArray::number(i) + ":: " + QByteArray(size, 'q') + " " +
               QByteArray::number(i) + "? {=right ~wrong}\n\n";
    return out;
}

QString manySummary(int n)
{
    return QStringLiteral("%1 questions will be added.\rAdd them to the question set?").arg(n);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class SamplerExchangeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    std::unique_ptr<store::Session> m_session;
    testing::ScriptedServices m_services;
    std::unique_ptr<sampler::SamplerData> m_dm;
    std::unique_ptr<TestSampler> m_form;

    std::vector<formats::NumberedRecord> stored()
    {
        store::Table t(*m_session, QString::fromLatin1(store::kUserSetFile),
                       store::userSetSchema());
        t.open();
        return formats::readUserSet(t);
    }

    void seedOne()
    {
        store::Table t(*m_session, QString::fromLatin1(store::kUserSetFile),
                       store::userSetSchema());
        t.open();
        formats::QuestionRecord r;
        r.text = QStringLiteral("Old {one}");
        r.section = 2;
        r.choices = {QStringLiteral("x"), QStringLiteral("y")};
        r.key[1] = true;
        formats::addToUserSet(t, {r});
    }

    void chooseFile(const QString& path)
    {
        m_services.fileChooser = [path] { return path; };
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_session = std::make_unique<store::Session>(QStringLiteral("Quizlark"));
        m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
        m_services.reset();
        m_services.fileChooser = nullptr;
        m_services.saveFileChooser = nullptr;
        m_services.chooserFilters.clear();
        m_dm = std::make_unique<sampler::SamplerData>(*m_session);
        m_form = std::make_unique<TestSampler>(m_services, *m_dm);
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_form->hide();
        m_form.reset();
        m_dm.reset();
        m_session.reset();
        m_dir.reset();
    }

    void importAddsAfterConfirmation()
    {
        seedOne();
        const QString path = m_dir->file(QStringLiteral("mine.txt"));
        writeFile(path, kGift.toUtf8());
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(kSummary, platform::Yes);
        m_form->m_importAction->trigger();
        QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Confirmation);
        QCOMPARE(m_services.chooserFilters,
                 QStringList{"GIFT files (*.gift *.txt);;Moodle XML files (*.xml);;Aiken files "
                             "(*.txt);;All files (*)"});
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 4"));
        const auto rows = stored();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows[0].record.text, QStringLiteral("Old {one}"));
        QCOMPARE(rows[0].record.name, QString());
        QCOMPARE(rows[1].record.name, QStringLiteral("A"));
        QCOMPARE(rows[1].record.text, QStringLiteral("First?"));
        QCOMPARE(rows[1].record.section, 3);
        QCOMPARE(rows[1].record.explanation, QStringLiteral("Because.\nb: not so"));
        QVERIFY(!rows[1].record.multiple);
        QVERIFY(formats::isTrueFalse(rows[2].record));
        QVERIFY(rows[2].record.key[0]);
        QVERIFY(rows[3].record.multiple);
        QCOMPARE(rows[3].record.key, (std::array<bool, 6>{true, true, false, false, false, false}));
        QVERIFY(rows[1].id > rows[0].id && rows[2].id > rows[1].id && rows[3].id > rows[2].id);
    }

    void importIntoAnEmptySetEnablesTheCommands()
    {
        const QString path = m_dir->file(QStringLiteral("mine.gift"));
        writeFile(path, kGift.toUtf8());
        m_form->show();
        QVERIFY(!m_form->m_editItemAction->isEnabled());
        chooseFile(path);
        m_services.expectMessage(kSummary, platform::Yes);
        m_form->m_importAction->trigger();
        QVERIFY(m_form->m_editItemAction->isEnabled());
        QVERIFY(m_form->m_deleteItemAction->isEnabled());
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Item ID: 3"));
        QCOMPARE(m_form->panelText(2), QStringLiteral("  Browsing"));
        QCOMPARE(m_form->panelText(3), QStringLiteral(" Saved"));
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 3"));
    }

    void importAnsweredNoAddsNothing()
    {
        seedOne();
        const QString path = m_dir->file(QStringLiteral("mine.gift"));
        writeFile(path, kGift.toUtf8());
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(kSummary, platform::No);
        m_form->m_importAction->trigger();
        QCOMPARE(stored().size(), size_t(1));
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 1"));
    }

    void importOfOneQuestionAsksForIt()
    {
        const QString path = m_dir->file(QStringLiteral("one.gift"));
        writeFile(path, "::Only::Sky is green {F#It is blue.}\n");
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(
            QStringLiteral("1 question will be added. 1 changed: question 1 (line 1): the "
                           "feedback of a added to the explanation.\rAdd it to the question "
                           "set?"),
            platform::Yes);
        m_form->m_importAction->trigger();
        const auto rows = stored();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].record.name, QStringLiteral("Only"));
        QCOMPARE(rows[0].record.explanation, QStringLiteral("a: It is blue."));
    }

    void importErrorShowsWhereAndAddsNothing()
    {
        seedOne();
        const QString path = m_dir->file(QStringLiteral("bad.gift"));
        writeFile(path, "Good {=a ~b}\r\n\r\nBad {=a ~%x%b}\r\n");
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(
            QStringLiteral("Nothing was imported.\r%1: line 3, column 10: the weight is not a "
                           "number from -100 to 100 between two \"%\"")
                .arg(QDir::toNativeSeparators(path)),
            platform::Ok);
        m_form->m_importAction->trigger();
        QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Error);
        QCOMPARE(stored().size(), size_t(1));
    }

    void importOfNothingThatFits()
    {
        const QString path = m_dir->file(QStringLiteral("essay.gift"));
        writeFile(path, "Write {}\n");
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(
            QStringLiteral("0 questions will be added (1 skipped: question 1 (line 1): it is an "
                           "essay question).\rThe file holds no question for this set."),
            platform::Ok);
        m_form->m_importAction->trigger();
        QCOMPARE(stored().size(), size_t(0));
    }

    void importWhileEditingAsksToFinish()
    {
        seedOne();
        m_form->show();
        m_form->m_editItemAction->trigger();
        m_services.expectMessage(QStringLiteral("Save or cancel the item being changed first."),
                                 platform::Ok);
        m_form->m_importAction->trigger();
        m_services.expectMessage(QStringLiteral("Save or cancel the item being changed first."),
                                 platform::Ok);
        m_form->m_exportAction->trigger();
    }

    void cancelledChooserDoesNothing()
    {
        m_form->show();
        chooseFile(QString());
        m_form->m_importAction->trigger();
        m_services.saveFileChooser = [] { return QString(); };
        m_form->m_exportAction->trigger();
        QCOMPARE(m_services.shownMessages, QStringList());
    }

    // Every post used to redraw the item list (twice), which made a large
    // import quadratic; the import now redraws once, at its end, and shows
    // its progress as it goes.
    void importShowsProgressAndRedrawsOnce()
    {
        seedOne();
        const QString path = m_dir->file(QStringLiteral("many.gift"));
        writeFile(path, manyQuestions(60));
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(manySummary(60), platform::Yes);
        QSignalSpy states(m_dm->userSetSource(), &store::DataSource::stateChanged);
        QSignalSpy records(m_dm->userSetSource(), &store::DataSource::dataChanged);
        m_form->m_importAction->trigger();
        QCOMPARE(m_services.shownProgress, QStringList{"Importing 60 questions..."});
        QCOMPARE(m_services.progressMaxima, QList<int>{60});
        QCOMPARE(m_services.lastProgress, 60);
        QVERIFY2(states.count() <= 2, qPrintable(QString::number(states.count())));
        QVERIFY2(records.count() <= 2, qPrintable(QString::number(records.count())));
        QCOMPARE(stored().size(), size_t(61));
        QCOMPARE(m_form->m_itemList->count(), 61);
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 61"));
    }

    // Cancel takes back every question already posted, and the sampler
    // shows the set as the file holds it.
    void cancelledImportAddsNothing_data()
    {
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("at the first question") << 1;
        QTest::newRow("part-way") << 25;
        QTest::newRow("at the last question") << 40;
    }
    void cancelledImportAddsNothing()
    {
        QFETCH(int, cancelAt);
        seedOne();
        const QString path = m_dir->file(QStringLiteral("many.gift"));
        writeFile(path, manyQuestions(40));
        m_form->show();
        chooseFile(path);
        m_services.expectMessage(manySummary(40), platform::Yes);
        m_services.cancelProgressAt = cancelAt;
        m_services.expectMessage(QStringLiteral("The import was cancelled. Nothing was added to "
                                                "the question set."),
                                 platform::Ok);
        m_form->m_importAction->trigger();
        QCOMPARE(m_services.lastProgress, cancelAt);
        QCOMPARE(stored().size(), size_t(1));
        QCOMPARE(m_form->m_itemList->count(), 1);
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 1"));
        QCOMPARE(m_form->headerText(), QStringLiteral("Item ID: 1"));
        // The one item shown is the file's, and an edit of it is saved.
        m_form->m_editItemAction->trigger();
        m_form->m_questionEdit->setPlainText(QStringLiteral("Mended {one}"));
        m_form->m_saveButton->click();
        QCOMPARE(stored()[0].record.text, QStringLiteral("Mended {one}"));
    }

    // A disk that fills during an import: the user is told the disk is full
    // and where, not that the set is damaged; the sampler shows what the
    // file holds, and an edit made next is saved.
    void importOnAFullDiskSaysSoAndShowsTheFile()
    {
        seedOne();
        const QString path = m_dir->file(QStringLiteral("big.gift"));
        writeFile(path, manyQuestions(1200, 3000));
        testing::FullDisk disk; // before the sampler opens the set
        m_form->show();
        disk.fillAfter(256 * 1024);
        chooseFile(path);
        m_services.expectMessage(manySummary(1200), platform::Yes);
        m_services.expectMessage(
            QStringLiteral("The disk is full: the table file \"tcpipusr.DAT\" in %1 could not be "
                           "written, and it was left as it was. Free some space on that disk and "
                           "try again.")
                .arg(QDir::toNativeSeparators(QDir(m_dir->path()).absolutePath())),
            platform::Ok);
        m_form->m_importAction->trigger();
        QVERIFY(disk.failedWrites() > 0);
        QCOMPARE(m_services.shownKinds.value(1), platform::MsgKind::Error);
        disk.free();
        QCOMPARE(m_form->m_itemList->count(), 1);
        QCOMPARE(m_form->panelText(1), QStringLiteral(" Items: 1"));
        m_form->m_editItemAction->trigger();
        m_form->m_questionEdit->setPlainText(QStringLiteral("Mended {one}"));
        m_form->m_saveButton->click();
        const auto rows = stored();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].record.text, QStringLiteral("Mended {one}"));
    }

    // Save on a full disk: the user hears the disk is full and where, the
    // edit stays on screen, and Save writes it once there is room.
    void saveOnAFullDiskKeepsTheEdit()
    {
        seedOne();
        testing::FullDisk disk;
        m_form->show();
        m_form->m_editItemAction->trigger();
        m_form->m_questionEdit->setPlainText(QStringLiteral("Kept {one}"));
        disk.fillAfter(0);
        m_services.expectMessage(
            QStringLiteral("The disk is full: the table file \"tcpipusr.DAT\" in %1 could not be "
                           "written, and it was left as it was. Free some space on that disk and "
                           "try again.")
                .arg(QDir::toNativeSeparators(QDir(m_dir->path()).absolutePath())),
            platform::Ok);
        m_form->m_saveButton->click();
        QVERIFY(m_form->m_saveButton->isEnabled());
        QCOMPARE(m_form->m_questionEdit->toPlainText(), QStringLiteral("Kept {one}"));
        QCOMPARE(stored()[0].record.text, QStringLiteral("Old {one}"));
        disk.free();
        m_form->m_saveButton->click();
        QCOMPARE(stored()[0].record.text, QStringLiteral("Kept {one}"));
    }

    // A damaged set is said in two lines with its path; what the engine
    // found is behind "Show Details".
    void aDamagedSetIsSaidShortlyWithDetails()
    {
        {
            store::Table t(*m_session, QString::fromLatin1(store::kUserSetFile),
                           store::userSetSchema());
            t.open();
            std::vector<formats::QuestionRecord> records(200);
            for (size_t i = 0; i < records.size(); ++i) {
                records[i].text = QString(1500, QChar(u'a' + int(i % 26)));
                records[i].choices = {QStringLiteral("x"), QStringLiteral("y")};
            }
            formats::addToUserSet(t, records);
        }
        const QString file = m_dir->file(QString::fromLatin1(store::kUserSetFile));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(4096 + 100);
            char c = 0;
            f.getChar(&c);
            f.seek(4096 + 100);
            f.putChar(char(c ^ 0x55));
        }
        platform::TableFile::forgetCheckedPages();
        store::Table::forgetReads();
        // The text is the engine's to vary; it is checked below, not scripted.
        m_services.expectMessage(QString(), platform::Ok);
        m_form->show();
        const QString shown = m_services.shownMessages.value(0);
        const QString details = m_services.shownDetails.value(0);
        QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Error);
        m_services.reset();
        QVERIFY(!details.isEmpty());
        QVERIFY2(shown.contains(QStringLiteral("damaged")), qPrintable(shown));
        QVERIFY2(shown.contains(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())),
                 qPrintable(shown));
        QVERIFY2(shown.count(QLatin1Char('\r')) <= 1, qPrintable(shown));
    }

    void exportWritesTheSetAndReports_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("gift") << "out.gift"
                              << "out.gift";
        QTest::newRow("moodle") << "out.xml"
                                << "out.xml";
        QTest::newRow("no extension is gift") << "out"
                                              << "out.gift";
    }
    void exportWritesTheSetAndReports()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        seedOne();
        {
            store::Table t(*m_session, QString::fromLatin1(store::kUserSetFile),
                           store::userSetSchema());
            t.open();
            formats::QuestionRecord r;
            r.text = QStringLiteral("No key");
            r.choices = {QStringLiteral("x"), QStringLiteral("y")};
            formats::addToUserSet(t, {r});
        }
        m_form->show();
        const QString path = m_dir->file(name);
        m_services.saveFileChooser = [path] { return path; };
        m_services.expectMessage(
            QStringLiteral("1 question written (1 skipped: item 2: it has no correct choice)."),
            platform::Ok);
        m_form->m_exportAction->trigger();
        QCOMPARE(m_services.chooserFilters,
                 QStringList{"GIFT files (*.gift);;Moodle XML files (*.xml)"});
        const auto plan = formats::readImportFile(m_dir->file(written));
        QCOMPARE(plan.result.questions.size(), size_t(1));
        // An item without a name goes out named by its key.
        formats::QuestionRecord expected = stored()[0].record;
        expected.name = QStringLiteral("Item 1");
        QCOMPARE(plan.result.questions[0], expected);
        // The sampler still shows the item it showed.
        QCOMPARE(m_form->panelText(0), QStringLiteral(" Item ID: 1"));
    }

    void exportToAFolderThatIsNotThere()
    {
        seedOne();
        m_form->show();
        const QString path = m_dir->file(QStringLiteral("missing/out.gift"));
        m_services.saveFileChooser = [path] { return path; };
        QSaveFile probe(path);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        m_services.expectMessage(QStringLiteral("Nothing was exported.\r%1: %2")
                                     .arg(QDir::toNativeSeparators(path), probe.errorString()),
                                 platform::Ok);
        m_form->m_exportAction->trigger();
        QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Error);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(SamplerExchangeTest)
#include "test_sampler_exchange.moc"
