// Start-up: the windows and their order, the start window's look, and the
// three buttons with their mnemonics.
#include "AppOwner.h"
#include "ExamWindow.h"
#include "ProgramDir.h"
#include "ScriptedServices.h"
#include "ShapeButton.h"
#include "StartWindow.h"

#include <QDir>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

class TestStartWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<testing::ProgramDir> m_dir;
    testing::ScriptedServices m_services;
    std::unique_ptr<app::AppOwner> m_owner;

private slots:
    void init()
    {
        m_dir = std::make_unique<testing::ProgramDir>();
        QDir::setCurrent(QDir::tempPath());
        m_services.reset();
        m_owner = std::make_unique<app::AppOwner>(m_services, m_dir->path());
        m_owner->startWindow()->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner->startWindow()));
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_owner.reset();
        m_dir.reset();
    }

    void windowsAreCreatedOnceInStartUpOrder()
    {
        QCOMPARE(
            m_owner->creationOrder(),
            QStringList({"startWindow", "examWindow", "progressWindow", "scoreReport", "nameDialog",
                         "itemsReview", "noteWindow", "optionsDialog", "samplerData", "aboutBox",
                         "testSampler", "exhibit1Window", "exhibit2Window", "printingSimulation",
                         "subnetMaskSimulation", "historyWindow"}));
        QCOMPARE(QString::fromLatin1(m_owner->examWindow()->metaObject()->className()),
                 QStringLiteral("session::ExamWindow"));
        QCOMPARE(m_owner->examWindow()->windowTitle(), QStringLiteral("Quizlark TCP/IP 4.0"));
        QVERIFY(!m_owner->examWindow()->isVisible());
    }

    void startWindowSetsTheWorkingDirectory()
    {
        QCOMPARE(QDir::current().canonicalPath(), QDir(m_dir->path()).canonicalPath());
    }

    void startWindowLooksAsDrawn()
    {
        app::StartWindow* main = m_owner->startWindow();
        QCOMPARE(main->windowTitle(), QStringLiteral("Quizlark TCP/IP 4.0"));
        QCOMPARE(main->width(), 232 + 4);
        auto* banner = main->findChild<QWidget*>(QStringLiteral("banner"));
        QVERIFY(banner);
        QCOMPARE(banner->size(), QSize(232, 48));
        const struct {
            widgets::ShapeButton* button;
            const char* caption;
            QColor colour;
        } expected[] = {{main->m_startTestingButton, "Start &Testing", QColor(0, 0, 128)},
                        {main->m_samplerButton, "Test &Sampler", QColor(128, 0, 128)},
                        {main->m_exitButton, "E&xit", QColor(0, 128, 128)}};
        for (const auto& e : expected) {
            QCOMPARE(e.button->text(), QString::fromLatin1(e.caption));
            QCOMPARE(e.button->size(), QSize(138, 34));
            QCOMPARE(e.button->colour(), e.colour);
            QVERIFY(e.button->isVisible());
        }
    }

    void startTestingShowsTheExamWindowAndComesBack_data()
    {
        QTest::addColumn<bool>("mnemonic");
        QTest::newRow("click") << false;
        QTest::newRow("Alt+T") << true;
    }
    void startTestingShowsTheExamWindowAndComesBack()
    {
        QFETCH(bool, mnemonic);
        bool mainHidden = false;
        bool ran = false;
        m_services.expectModal(QStringLiteral("examWindow"), [&](QWidget* w) {
            ran = true;
            mainHidden = !m_owner->startWindow()->isVisible();
            auto* test = static_cast<session::ExamWindow*>(w);
            auto* panel = test->findChild<QWidget*>(QStringLiteral("startPanel"));
            return panel && panel->isVisible() && test->mode() == session::ExamWindow::ModeIdle
                       ? 1
                       : -1;
        });
        if (mnemonic) {
            m_owner->startWindow()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_owner->startWindow()));
            QTest::keyClick(m_owner->startWindow()->windowHandle(), Qt::Key_T, Qt::AltModifier);
            // A mnemonic presses the button visibly, then clicks it.
            QTRY_VERIFY(ran);
        } else {
            m_owner->startWindow()->m_startTestingButton->click();
        }
        QVERIFY(mainHidden);
        QVERIFY(m_owner->startWindow()->isVisible());
    }

    void samplerComesBackToTheStartWindow()
    {
        bool mainHidden = false;
        m_services.expectModal(QStringLiteral("testSampler"), [&](QWidget*) {
            mainHidden = !m_owner->startWindow()->isVisible();
            return 0;
        });
        m_owner->startWindow()->m_samplerButton->click();
        QVERIFY(mainHidden);
        QVERIFY(m_owner->startWindow()->isVisible());
    }

    void exitClosesTheStartWindow()
    {
        QSignalSpy closed(m_owner->startWindow(), &app::StartWindow::closed);
        m_owner->startWindow()->m_exitButton->click();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!m_owner->startWindow()->isVisible());
    }

    // Only Exit and the close command end the program.
    void escapeLeavesTheStartWindowOpen_data()
    {
        QTest::addColumn<bool>("escape"); // else the close command
        QTest::newRow("Escape") << true;
        QTest::newRow("close command") << false;
    }
    void escapeLeavesTheStartWindowOpen()
    {
        QFETCH(bool, escape);
        app::StartWindow* start = m_owner->startWindow();
        start->show();
        QSignalSpy closed(start, &app::StartWindow::closed);
        if (escape)
            QTest::keyClick(start->m_samplerButton, Qt::Key_Escape);
        else
            start->close();
        QCOMPARE(closed.size(), escape ? 0 : 1);
        QCOMPARE(start->isVisible(), escape);
    }

    // After the exam window the start window reappears where the user left
    // it, not centred anew.
    void startWindowComesBackWhereItWas()
    {
        app::StartWindow* start = m_owner->startWindow();
        start->show();
        const QPoint centred = start->pos();
        start->windowHandle()->setPosition(centred + QPoint(-60, 45));
        QCoreApplication::processEvents();
        const QPoint left = start->pos();
        QVERIFY(left != centred);
        m_services.expectModal(QStringLiteral("examWindow"), [](QWidget*) { return 0; });
        start->m_startTestingButton->click();
        QCOMPARE(start->pos(), left);
    }

    void aboutBoxFromTheExamWindow()
    {
        m_services.expectModal(QStringLiteral("aboutBox"), [](QWidget* w) {
            return w->findChildren<QWidget*>().isEmpty() ? -1 : 1;
        });
        auto* about = m_owner->examWindow()->findChild<QAction*>(QStringLiteral("aboutAction"));
        QVERIFY(about);
        about->trigger();
    }
};

QTEST_MAIN(TestStartWindow)
#include "test_start_window.moc"
