// Start-up: the windows and their order, the start window's look, and the
// three buttons with their mnemonics.
#include "AppOwner.h"
#include "ProgramDir.h"
#include "ScriptedServices.h"
#include "ShapeButton.h"
#include "TMainForm.h"
#include "TTestForm.h"

#include <QDir>
#include <QSignalSpy>
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
        m_owner->MainForm()->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner->MainForm()));
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_owner.reset();
        m_dir.reset();
    }

    void windowsAreCreatedOnceInStartUpOrder()
    {
        QCOMPARE(m_owner->creationOrder(),
                 QStringList({"MainForm", "TestForm", "ProgressForm", "ScoreForm", "NameForm",
                              "ReviewForm", "NoteForm", "OptionsForm", "DM", "AboutForm",
                              "SamplerForm", "Pict1Form", "Pict2Form", "SimForm1", "SimForm2"}));
        QCOMPARE(QString::fromLatin1(m_owner->TestForm()->metaObject()->className()),
                 QStringLiteral("session::TTestForm"));
        QCOMPARE(m_owner->TestForm()->windowTitle(), QStringLiteral("Quizlark TCP/IP 4.0"));
        QVERIFY(!m_owner->TestForm()->isVisible());
    }

    void startWindowSetsTheWorkingDirectory()
    {
        QCOMPARE(QDir::current().canonicalPath(), QDir(m_dir->path()).canonicalPath());
    }

    void startWindowLooksAsDrawn()
    {
        app::TMainForm* main = m_owner->MainForm();
        QCOMPARE(main->windowTitle(), QStringLiteral("Quizlark TCP/IP 4.0"));
        QCOMPARE(main->width(), 232 + 4);
        auto* banner = main->findChild<QWidget*>(QStringLiteral("Image1"));
        QVERIFY(banner);
        QCOMPARE(banner->size(), QSize(232, 48));
        const struct {
            platform::ShapeButton* button;
            const char* caption;
            QColor colour;
        } expected[] = {{main->StartTestBtn, "Start &Testing", QColor(0, 0, 128)},
                        {main->SamplerBtn, "Test &Sampler", QColor(128, 0, 128)},
                        {main->fcShapeBtn3, "E&xit", QColor(0, 128, 128)}};
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
        m_services.expectModal(QStringLiteral("TestForm"), [&](QWidget* w) {
            ran = true;
            mainHidden = !m_owner->MainForm()->isVisible();
            auto* test = static_cast<session::TTestForm*>(w);
            auto* panel = test->findChild<QWidget*>(QStringLiteral("Panel4"));
            return panel && panel->isVisible() && test->Mode == 0 ? 1 : -1;
        });
        if (mnemonic) {
            m_owner->MainForm()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_owner->MainForm()));
            QTest::keyClick(m_owner->MainForm()->windowHandle(), Qt::Key_T, Qt::AltModifier);
            // A mnemonic presses the button visibly, then clicks it.
            QTRY_VERIFY(ran);
        } else {
            m_owner->MainForm()->StartTestBtn->click();
        }
        QVERIFY(mainHidden);
        QVERIFY(m_owner->MainForm()->isVisible());
    }

    void samplerComesBackToTheStartWindow()
    {
        bool mainHidden = false;
        m_services.expectModal(QStringLiteral("SamplerForm"), [&](QWidget*) {
            mainHidden = !m_owner->MainForm()->isVisible();
            return 0;
        });
        m_owner->MainForm()->SamplerBtn->click();
        QVERIFY(mainHidden);
        QVERIFY(m_owner->MainForm()->isVisible());
    }

    void exitClosesTheStartWindow()
    {
        QSignalSpy closed(m_owner->MainForm(), &app::TMainForm::closed);
        m_owner->MainForm()->fcShapeBtn3->click();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!m_owner->MainForm()->isVisible());
    }

    void aboutBoxFromTheExamWindow()
    {
        m_services.expectModal(QStringLiteral("AboutForm"), [](QWidget* w) {
            return w->findChildren<QWidget*>().isEmpty() ? -1 : 1;
        });
        auto* about = m_owner->TestForm()->findChild<QAction*>(QStringLiteral("About1"));
        QVERIFY(about);
        about->trigger();
    }
};

QTEST_MAIN(TestStartWindow)
#include "test_start_window.moc"
