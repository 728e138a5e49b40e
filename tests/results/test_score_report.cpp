// The score report: its look, the figures it shows after grading, the order
// of the section bars, grading twice, and what its three buttons ask for.
#include "ScoreReport.h"
#include "ScriptedServices.h"
#include "ShadowLabel.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QtTest>

using results::ScoreReport;

namespace {

store::Responses examOf(std::initializer_list<std::pair<int, std::pair<int, int>>> perSection)
{
    // {section, {items, correct}}
    store::Responses r;
    for (const auto& [section, counts] : perSection)
        for (int i = 0; i < counts.first; ++i) {
            store::ItemResponse item;
            item.Section = section;
            item.Correct = i < counts.second;
            r.push_back(item);
        }
    return r;
}

} // namespace

class TestScoreForm : public QObject {
    Q_OBJECT
    testing::ScriptedServices m_services;
    std::unique_ptr<ScoreReport> m_form;

private slots:
    void init()
    {
        m_services.reset();
        m_form = std::make_unique<ScoreReport>(m_services);
    }
    void cleanup()
    {
        QVERIFY2(m_services.done(), qPrintable(m_services.problems().join(QLatin1Char('\n'))));
        m_form.reset();
    }

    void looksAsDrawn()
    {
        ScoreReport& f = *m_form;
        QCOMPARE(f.objectName(), QStringLiteral("scoreReport"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Quizlark - Score Report"));
        QCOMPARE(f.size(), QSize(582, 426));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(f.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(f.m_bannerLabel->text(), QStringLiteral("Examination Score Report"));
        QVERIFY(f.m_bannerLabel->font().bold() && f.m_bannerLabel->font().italic());
        QCOMPARE(QFontInfo(f.m_bannerLabel->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(f.m_bannerLabel->textColour(), QColor(Qt::white));
        QCOMPARE(f.m_sectionChart->title(), QStringLiteral(" Sections "));
        QCOMPARE(f.m_sectionChart->titleColour(), QColor(0, 0, 255));
        QVERIFY(f.m_sectionChart->chartStyle().titleFont.italic());
        QVERIFY(f.m_sectionChart->chartStyle().titleFramed);
        QCOMPARE(f.m_totalChart->titleColour(), QColor(0, 0, 128));
        QCOMPARE(f.m_totalChart->chartStyle().barFraction, 0.9);
        QCOMPARE(f.m_sectionChart->chartStyle().barFraction, 0.8);
        QCOMPARE(f.m_totalChart->axis().maximum, 1000.0);
        QCOMPARE(f.m_totalChart->axis().step, 100.0);
        QCOMPARE(f.m_sectionChart->axis().maximum, 100.0);
        QCOMPARE(f.m_sectionChart->axis().step, 10.0);
        QVERIFY(f.m_totalLabel->font().bold());
        const struct {
            QPushButton* button;
            const char* name;
            const char* caption;
        } buttons[] = {{f.m_viewAnswersButton, "viewAnswersButton", "&View Answers"},
                       {f.m_printReportButton, "printReportButton", "&Print Report"},
                       {f.m_exitExamButton, "exitExamButton", "E&xit Exam"}};
        for (const auto& b : buttons) {
            QCOMPARE(b.button->objectName(), QLatin1String(b.name));
            QCOMPARE(b.button->text(), QLatin1String(b.caption));
        }
        QVERIFY(f.m_viewAnswersButton->isDefault());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(f.m_viewAnswersButton->x() < f.m_printReportButton->x());
        QVERIFY(f.m_printReportButton->geometry().right() < f.m_exitExamButton->x());
        QVERIFY(f.m_totalChart->geometry().bottom() < f.m_totalLabel->y());
        // The one button the drills added stands between Print and Exit,
        // with the strip's height and the buttons' width as they were.
        QVERIFY(f.m_printReportButton->geometry().right() < f.m_drillsButton->x());
        QVERIFY(f.m_drillsButton->geometry().right() < f.m_exitExamButton->x());
        QCOMPARE(f.m_drillsButton->width(), f.m_printReportButton->width());
        QCOMPARE(f.m_drillsButton->geometry(),
                 f.m_printReportButton->geometry().translated(
                     f.m_drillsButton->x() - f.m_printReportButton->x(), 0));
        QCOMPARE(f.m_exitExamButton->geometry().right(), f.width() - 1 - 8);
    }

    // A report of the history prints and closes, nothing else; Escape closes it.
    void aReadOnlyReportShowsAnAttempt()
    {
        ScoreReport& f = *m_form;
        f.setReadOnly(true);
        store::Attempt a;
        a.title = QStringLiteral("Practice Exam C");
        a.candidate = QStringLiteral("Grace");
        a.itemCount = 3;
        a.items = {{5, true, false, false}, {6, true, false, false}, {9, false, false, false}};
        a.sections[1] = {1, 2}; // 50 %
        a.sections[3] = {1, 1};
        f.showAttempt(a);
        QCOMPARE(f.m_totalLabel->text(),
                 QStringLiteral("Passing Score: 850   Your Score: 667   Grade: Fail"));
        QCOMPARE(f.m_sectionChart->bars().size(), size_t(5));
        QCOMPARE(f.m_sectionChart->bars()[3].label,
                 QStringLiteral("Installation and Configuration (1/2) "));
        QCOMPARE(f.m_sectionChart->bars()[3].value, 50.0);
        QCOMPARE(f.m_sectionChart->bars()[1].value, 100.0);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(!f.m_viewAnswersButton->isVisible());
        QVERIFY(!f.m_drillsButton->isVisible());
        QVERIFY(f.m_printReportButton->isDefault());
        QTest::keyClick(&f, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
    }

    void showsTheTotalScore_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("correct");
        QTest::addColumn<QString>("line");
        QTest::addColumn<double>("barValue");
        QTest::newRow("all correct")
            << 14 << 14 << QStringLiteral("Passing Score: 850   Your Score: 1000   Grade: Pass")
            << 1000.0;
        QTest::newRow("none correct")
            << 14 << 0 << QStringLiteral("Passing Score: 850   Your Score: 0   Grade: Fail") << 0.0;
        QTest::newRow("20/17") << 20 << 17
                               << QStringLiteral(
                                      "Passing Score: 850   Your Score: 850   Grade: Pass")
                               << 850.0;
        QTest::newRow("113/96") << 113 << 96
                                << QStringLiteral(
                                       "Passing Score: 850   Your Score: 850   Grade: Fail")
                                << double(1000.0L / 113 * 96);
        QTest::newRow("15/14 shows 933")
            << 15 << 14 << QStringLiteral("Passing Score: 850   Your Score: 933   Grade: Pass")
            << double(1000.0L / 15 * 14);
        QTest::newRow("no items") << 0 << 0
                                  << QStringLiteral(
                                         "Passing Score: 850   Your Score: 0   Grade: Fail")
                                  << 0.0;
    }
    void showsTheTotalScore()
    {
        QFETCH(int, items);
        QFETCH(int, correct);
        QFETCH(QString, line);
        QFETCH(double, barValue);
        m_form->showResults(QStringLiteral("Your Name"), QStringLiteral("Practice Exam A"),
                            examOf({{1, {items, correct}}}));
        QCOMPARE(m_form->m_totalLabel->text(), line);
        QCOMPARE(m_form->m_totalChart->title(),
                 QStringLiteral("Your Name,  Quizlark TCP/IP 4.0,  Practice Exam A"));
        const auto& bars = m_form->m_totalChart->bars();
        QCOMPARE(bars.size(), size_t(2));
        // First added, so lowest: "Your score" under "Required score".
        QCOMPARE(bars[0].label, QStringLiteral("Your score"));
        QCOMPARE(bars[0].value, barValue);
        QCOMPARE(bars[0].colour, QColor(0, 128, 0));
        QCOMPARE(bars[1].label, QStringLiteral("Required score"));
        QCOMPARE(bars[1].value, 850.0);
        QCOMPARE(bars[1].colour, QColor(0, 0, 255));
    }

    void sectionBarsStandPlanningOnTop()
    {
        // Section 2 has one item; section 4 none; a user item without a
        // section counts in the total only.
        store::Responses exam =
            examOf({{3, {9, 7}}, {1, {8, 1}}, {2, {1, 1}}, {5, {8, 3}}, {0, {1, 1}}});
        m_form->showResults(QStringLiteral("Ann"), QStringLiteral("Random Exam"), exam);
        const auto& bars = m_form->m_sectionChart->bars();
        QCOMPARE(bars.size(), size_t(5));
        const QStringList labels = {QStringLiteral("Troubleshooting (3/8) "),
                                    QStringLiteral("Monitoring and Optimization (0/0) "),
                                    QStringLiteral("Connectivity (7/9) "),
                                    QStringLiteral("Installation and Configuration (1/1) "),
                                    QStringLiteral("Planning (1/8) ")};
        const QList<double> values = {38, 0, 78, 100, 12};
        for (size_t i = 0; i < 5; ++i) {
            QCOMPARE(bars[i].label, labels.at(int(i)));
            QCOMPARE(bars[i].value, values.at(int(i)));
            QCOMPARE(bars[i].colour, QColor(255, 0, 0));
        }
        // 13 of 27 items correct, the sectionless one included.
        QCOMPARE(m_form->lastScore().shown, 481);
        QCOMPARE(m_form->m_totalLabel->text(),
                 QStringLiteral("Passing Score: 850   Your Score: 481   Grade: Fail"));

        // On screen too the last bar added stands at the top.
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const auto g = m_form->m_sectionChart->geometryNow();
        QVERIFY(g.barRects[4].top() < g.barRects[0].top());
    }

    // The painted charts in words, as a screen reader reads them; a second
    // grading replaces what the first said.
    void resultsAreReadableText()
    {
        m_form->showResults(QStringLiteral("Ann"), QStringLiteral("Random Exam"),
                            examOf({{1, {5, 5}}}));
        m_form->showResults(QStringLiteral("Ann"), QStringLiteral("Random Exam"),
                            examOf({{3, {9, 7}}, {1, {5, 3}}, {2, {1, 1}}, {5, {8, 0}}}));
        const auto said = [](QObject* o, QAccessible::Text t) {
            return QAccessible::queryAccessibleInterface(o)->text(t);
        };
        const QString sections =
            QStringLiteral("Planning: 3 of 5 correct, 60 percent; "
                           "Installation and Configuration: 1 of 1 correct, 100 percent; "
                           "Connectivity: 7 of 9 correct, 78 percent; "
                           "Monitoring and Optimization: 0 of 0 correct, 0 percent; "
                           "Troubleshooting: 0 of 8 correct, 0 percent");
        QCOMPARE(said(m_form->m_sectionChart, QAccessible::Description), sections);
        // The Tab stop over the chart, which a screen reader lands on.
        QCOMPARE(said(m_form->m_sectionArea, QAccessible::Name), QStringLiteral("Sections"));
        QCOMPARE(said(m_form->m_sectionArea, QAccessible::Description), sections);
        QCOMPARE(said(m_form->m_totalChart, QAccessible::Name),
                 QStringLiteral("Ann,  Quizlark TCP/IP 4.0,  Random Exam"));
        QCOMPARE(said(m_form->m_totalChart, QAccessible::Description),
                 QStringLiteral("Your score: 478 of 1000; Required score: 850"));
    }

    void gradingAgainReplacesTheFigures()
    {
        m_form->showResults(QStringLiteral("A"), QStringLiteral("Practice Exam B"),
                            examOf({{2, {4, 4}}}));
        m_form->showResults(QStringLiteral("B"), QStringLiteral("Practice Exam C"),
                            examOf({{2, {4, 1}}}));
        QCOMPARE(m_form->m_totalChart->bars().size(), size_t(2));
        QCOMPARE(m_form->m_sectionChart->bars().size(), size_t(5));
        QCOMPARE(m_form->m_totalChart->bars()[0].value, 250.0);
        QCOMPARE(m_form->m_sectionChart->bars()[3].label,
                 QStringLiteral("Installation and Configuration (1/4) "));
        QCOMPARE(m_form->m_totalChart->title(),
                 QStringLiteral("B,  Quizlark TCP/IP 4.0,  Practice Exam C"));
    }

    void buttonsReportTheChoice_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answer"); // to the exit question; 0: not asked
        QTest::addColumn<int>("viewAnswers");
        QTest::addColumn<int>("print");
        QTest::addColumn<int>("exitExam");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("result");
        QTest::newRow("view answers")
            << "viewAnswersButton" << 0 << 1 << 0 << 0 << false << int(QDialog::Accepted);
        QTest::newRow("print report") << "printReportButton" << 0 << 0 << 1 << 0 << true << 0;
        QTest::newRow("exit exam, Yes") << "exitExamButton" << int(platform::Yes) << 0 << 0 << 1
                                        << false << int(QDialog::Rejected);
        QTest::newRow("exit exam, No")
            << "exitExamButton" << int(platform::No) << 0 << 0 << 0 << true << 0;
    }
    void buttonsReportTheChoice()
    {
        QFETCH(QString, button);
        QFETCH(int, answer);
        QFETCH(int, viewAnswers);
        QFETCH(int, print);
        QFETCH(int, exitExam);
        QFETCH(bool, staysOpen);
        QFETCH(int, result);
        QSignalSpy view(m_form.get(), &ScoreReport::viewAnswersRequested);
        QSignalSpy printing(m_form.get(), &ScoreReport::printReportRequested);
        QSignalSpy exit(m_form.get(), &ScoreReport::exitExamRequested);
        // What the report still shows when the signal arrives.
        bool visibleAtSignal = false;
        const auto note = [&] { visibleAtSignal = m_form->isVisible(); };
        connect(m_form.get(), &ScoreReport::viewAnswersRequested, this, note);
        connect(m_form.get(), &ScoreReport::exitExamRequested, this, note);
        if (answer)
            m_services.expectMessage(QStringLiteral("Are you sure you wish to end this exam?"),
                                     platform::MsgButton(answer));
        bool openAfterClick = false;
        m_services.expectModal(QStringLiteral("scoreReport"), [&](QWidget* w) {
            auto* form = static_cast<ScoreReport*>(w);
            QTest::mouseClick(form->findChild<QPushButton*>(button), Qt::LeftButton);
            openAfterClick = form->isVisible();
            return form->result();
        });
        const int got = m_services.runModal(m_form.get());
        QCOMPARE(got, result);
        QCOMPARE(openAfterClick, staysOpen);
        QCOMPARE(view.count(), viewAnswers);
        QCOMPARE(printing.count(), print);
        QCOMPARE(exit.count(), exitExam);
        if (viewAnswers || exitExam)
            QVERIFY(visibleAtSignal);
        if (answer) {
            QCOMPARE(m_services.shownKinds.value(0), platform::MsgKind::Confirmation);
        }
    }

    void enterViewsTheAnswersAndEscapeIsNoWayOut()
    {
        QSignalSpy view(m_form.get(), &ScoreReport::viewAnswersRequested);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
        m_form->close();
        QVERIFY(m_form->isVisible());
        QCOMPARE(view.count(), 0);
        QTest::keyClick(m_form.get(), Qt::Key_Return);
        QCOMPARE(view.count(), 1);
        QVERIFY(!m_form->isVisible());
    }
};

QTEST_MAIN(TestScoreForm)
#include "test_score_report.moc"
