// The results-by-objective window: rows as handed, the bar's text for screen
// readers, the readiness line only where there is one, and a Tab cycle that
// reaches everything.
#include "ObjectiveReport.h"
#include "TabOrder.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using results::ObjectiveReport;

class TestObjectiveReport : public QObject {
    Q_OBJECT
private slots:
    void showsWhatItIsHanded()
    {
        ObjectiveReport r;
        learning::ObjectiveBreakdown b;
        b.results = {{QStringLiteral("snmp"), 3, 1}, {QStringLiteral("ras"), 2, 2}};
        b.unattributed = 2;
        r.showBreakdown(QStringLiteral("Practice Exam C: 50 items"), b,
                        QStringLiteral("Estimated 790"));
        QCOMPARE(r.m_objectiveList->topLevelItemCount(), 2);
        const QTreeWidgetItem* first = r.m_objectiveList->topLevelItem(0);
        QCOMPARE(first->text(ObjectiveReport::ObjectiveColumn), QStringLiteral("Configure SNMP."));
        QCOMPARE(first->text(ObjectiveReport::CorrectColumn), QStringLiteral("33 %"));
        QCOMPARE(first->text(ObjectiveReport::BarColumn), QStringLiteral("1 of 3 correct"));
        QVERIFY(!r.m_readinessLabel->isHidden());
        QVERIFY(r.m_noteLabel->text().startsWith(QStringLiteral("2 answered item(s)")));
        QVERIFY(!r.m_objectiveList->accessibleName().isEmpty());
        QVERIFY(!r.m_readinessLabel->accessibleName().isEmpty());

        // Shown again for an attempt: no readiness line, no stale rows.
        b.results.pop_back();
        b.unattributed = 0;
        r.showBreakdown(QStringLiteral("Drill"), b);
        QCOMPARE(r.m_objectiveList->topLevelItemCount(), 1);
        QVERIFY(r.m_readinessLabel->isHidden());
        QVERIFY(r.m_noteLabel->isHidden());
    }

    void tabReachesEverything()
    {
        ObjectiveReport r;
        learning::ObjectiveBreakdown b;
        b.results = {{QStringLiteral("snmp"), 3, 1}};
        r.showBreakdown(QStringLiteral("All"), b, QStringLiteral("Readiness: not enough"));
        testing::checkTabOrder(&r, {"closeButton", "readinessLabel", "objectiveList"});
    }
};

QTEST_MAIN(TestObjectiveReport)
#include "test_objective_report.moc"
