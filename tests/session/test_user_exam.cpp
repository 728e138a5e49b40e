// The user exam over a user set holding drafts: items the test sampler kept
// unfinished never keep the exam from starting, and the candidate is told
// which of them cannot be answered right.
#include "ExamWindow.h"
#include "NameDialog.h"
#include "ProgramDir.h"
#include "ProgressWindow.h"
#include "Schemas.h"
#include "ScriptedServices.h"
#include "Session.h"
#include "Table.h"

#include <QAction>
#include <QDialog>
#include <QtTest>

using session::ExamWindow;

namespace {

struct UserItem {
    bool multiple;
    QString keys;    // "0" or "1" for A1 to A6
    int choiceCount; // Q1.. with text
};

void writeUserSet(const QList<UserItem>& items)
{
    store::Session s(QStringLiteral("Quizlark"));
    s.registerPassword(QString::fromLatin1(store::kTablePassword));
    store::Table t(s, QString::fromLatin1(store::kUserSetFile), store::userSetSchema());
    t.open();
    int n = 0;
    for (const UserItem& item : items) {
        t.append();
        t.setValue(QStringLiteral("Q_SECT"), 2);
        t.setValue(QStringLiteral("Q_TEXT"), QStringLiteral("User question %1").arg(++n));
        t.setValue(QStringLiteral("Q_TYPE"), item.multiple);
        for (int i = 0; i < 6; ++i) {
            if (i < item.choiceCount)
                t.setValue(QStringLiteral("Q%1").arg(i + 1), QStringLiteral("choice %1").arg(i));
            t.setValue(QStringLiteral("A%1").arg(i + 1), item.keys.at(i) == QLatin1Char('1'));
        }
        t.post();
    }
}

} // namespace

Q_DECLARE_METATYPE(UserItem)

class TestUserExam : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;
    std::unique_ptr<widgets::ProgressWindow> m_progress;
    std::unique_ptr<session::NameDialog> m_nameDialog;
    std::unique_ptr<ExamWindow> m_window;

    void startUserExam()
    {
        m_services.expectModal(QStringLiteral("nameDialog"),
                               [](QWidget*) { return int(QDialog::Accepted); });
        m_window->findChild<QAction*>(QStringLiteral("userExamAction"))->trigger();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        m_services.reset();
        m_services.store.values.clear();
        m_progress = std::make_unique<widgets::ProgressWindow>();
        m_nameDialog = std::make_unique<session::NameDialog>(m_services);
        m_window = std::make_unique<ExamWindow>(m_services);
        m_window->setNameDialog(m_nameDialog.get());
        m_window->setProgressWindow(m_progress.get());
        m_window->setSeedSource([] { return std::uint64_t(7); });
        m_window->resize(1024, 700);
        m_window->show();
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_window.reset();
        m_nameDialog.reset();
        m_progress.reset();
        m_dir.reset();
    }

    void draftsDoNotKeepTheExamFromStarting_data()
    {
        QTest::addColumn<QList<UserItem>>("items");
        QTest::addColumn<QStringList>("named"); // the notice's lines for the drafts
        const UserItem sound{false, "100000", 2};
        QTest::newRow("no key") << QList<UserItem>{sound, {false, "000000", 2}, sound}
                                << QStringList{"Item ID: 2  No choice is marked correct."};
        QTest::newRow("no key, multiple response")
            << QList<UserItem>{sound, sound, {true, "000000", 3}}
            << QStringList{"Item ID: 3  No choice is marked correct."};
        QTest::newRow("two keys on a single-response item")
            << QList<UserItem>{{false, "110000", 2}, sound}
            << QStringList{"Item ID: 1  A single responce item has one correct choice; 2 are "
                           "marked."};
        QTest::newRow("key on a blank choice, and an empty item")
            << QList<UserItem>{sound, {true, "100100", 3}, {false, "000000", 0}}
            << QStringList{"Item ID: 2  Choice d. is marked correct but has no text.",
                           "Item ID: 3  No choice is marked correct."};
    }
    void draftsDoNotKeepTheExamFromStarting()
    {
        QFETCH(QList<UserItem>, items);
        QFETCH(QStringList, named);
        writeUserSet(items);
        bool startedFirst = false;
        m_services.onMessage = [&](const QString&) {
            startedFirst = m_window->mode() == ExamWindow::ModeExam;
        };
        m_services.expectMessage(
            (QStringList{"Some items of your question set cannot be answered correctly; they "
                         "count as incorrect:"} +
             named + QStringList{"Mend them in the test sampler."})
                .join(QLatin1Char('\r')),
            platform::Ok);
        startUserExam();
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        QCOMPARE(m_services.shownKinds.last(), platform::MsgKind::Information);
        QVERIFY(startedFirst);
        QCOMPARE(m_window->mode(), ExamWindow::ModeExam);
        QCOMPARE(m_window->examSession().itemCount(), int(items.size()));
    }

    void soundItemsStartWithoutANotice()
    {
        writeUserSet({{false, "010000", 2}, {true, "101000", 3}});
        startUserExam();
        QCOMPARE(m_window->mode(), ExamWindow::ModeExam);
        QVERIFY(m_services.shownMessages.isEmpty());
    }
};

QTEST_MAIN(TestUserExam)
#include "test_user_exam.moc"
