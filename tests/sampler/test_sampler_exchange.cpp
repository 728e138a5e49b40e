// Import and export from the test sampler's File menu: the confirmation with
// what is skipped, all or nothing, the error with its line and column, the
// chooser filters and the export summary.
#include "BoundControls.h"
#include "ProgramDir.h"
#include "SamplerData.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"
#include "TestSampler.h"
#include "UserSetExchange.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSaveFile>
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
