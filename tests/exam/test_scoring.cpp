// Grading arithmetic: the total on the 0..1000 scale with its grade, the
// section percentages, and exams without items.
#include "Scoring.h"

using namespace exam;

#include <QtTest>

using exam::SectionScore;
using exam::TotalScore;

namespace {

store::Responses examOf(int total, int correct, int section)
{
    store::Responses r(static_cast<size_t>(total));
    for (int i = 0; i < total; ++i) {
        r[static_cast<size_t>(i)].Section = section;
        r[static_cast<size_t>(i)].Correct = i < correct;
    }
    return r;
}

} // namespace

class TestScoring : public QObject {
    Q_OBJECT

private slots:
    void gradesAnExamInOneSection_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<int>("sectionShown");

        QTest::newRow("all correct") << 7 << 7 << 1000 << true << 100;
        QTest::newRow("none correct") << 7 << 0 << 0 << false << 0;
        QTest::newRow("20/17 exactly the passing score") << 20 << 17 << 850 << true << 85;
        QTest::newRow("113/96 shown 850 yet Fail") << 113 << 96 << 850 << false << 85;
        QTest::newRow("60/51 quotient rounded first, Fail") << 60 << 51 << 850 << false << 85;
        QTest::newRow("16/1 half goes to even 62") << 16 << 1 << 62 << false << 6;
        QTest::newRow("16/3 half goes to even 188") << 16 << 3 << 188 << false << 19;
        QTest::newRow("section 8/1 is 12 %") << 8 << 1 << 125 << false << 12;
        QTest::newRow("section 8/3 is 38 %") << 8 << 3 << 375 << false << 38;
        QTest::newRow("0/0 divides by nothing") << 0 << 0 << 0 << false << 0;
    }
    void gradesAnExamInOneSection()
    {
        QFETCH(int, total);
        QFETCH(int, correct);
        QFETCH(int, shown);
        QFETCH(bool, pass);
        QFETCH(int, sectionShown);

        const store::Responses exam = examOf(total, correct, 3);
        QCOMPARE(exam::countCorrect(exam), correct);

        const TotalScore score = exam::totalScore(correct, total);
        QCOMPARE(score.shown, shown);
        QCOMPARE(score.pass, pass);
        // The grade is decided on the unrounded score.
        QCOMPARE(score.value >= 850.0L, pass);
        if (total > 0)
            QVERIFY(std::isfinite(static_cast<double>(score.value)));
        else
            QCOMPARE(score.value, 0.0L);

        const auto sections = exam::sectionScores(exam);
        for (int s = 1; s <= 5; ++s) {
            const SectionScore& t = sections[static_cast<size_t>(s - 1)];
            QCOMPARE(t.total, s == 3 ? total : 0);
            QCOMPARE(t.correct, s == 3 ? correct : 0);
            QCOMPARE(t.shown, s == 3 ? sectionShown : 0);
        }
    }

    void unroundedScoresOfTheBorderCases()
    {
        QCOMPARE(exam::totalScore(17, 20).value, 850.0L);
        // Short of 850 by less than one half, so it shows as 850.
        QVERIFY(exam::totalScore(96, 113).value < 850.0L);
        QVERIFY(exam::totalScore(96, 113).value > 849.5L);
        // (1000 / 60) rounded, times 51, falls just short; 1000 * 51 / 60
        // would be exactly 850.
        QVERIFY(exam::totalScore(51, 60).value < 850.0L);
        QCOMPARE(exam::totalScore(1, 16).value, 62.5L);
        QCOMPARE(exam::totalScore(3, 16).value, 187.5L);
    }

    void eachItemCountsInItsOwnSectionOnly()
    {
        store::Responses exam(6);
        exam[0] = {{}, false, true, 2};
        exam[1] = {{}, false, false, 2};
        exam[2] = {{}, true, true, 5};
        // A user item saved without a section, and values no bank holds: in
        // the total, in no section.
        exam[3] = {{}, false, true, 0};
        exam[4] = {{}, false, true, 6};
        exam[5] = {{}, false, false, -1};

        QCOMPARE(exam::countCorrect(exam), 4);
        const auto s = exam::sectionScores(exam);
        QCOMPARE(s[1].total, 2);
        QCOMPARE(s[1].correct, 1);
        QCOMPARE(s[1].shown, 50);
        QCOMPARE(s[4].total, 1);
        QCOMPARE(s[4].correct, 1);
        QCOMPARE(s[4].shown, 100);
        for (int i : {0, 2, 3}) {
            QCOMPARE(s[static_cast<size_t>(i)].total, 0);
            QCOMPARE(s[static_cast<size_t>(i)].shown, 0);
        }
        const TotalScore total =
            exam::totalScore(exam::countCorrect(exam), static_cast<int>(exam.size()));
        QCOMPARE(total.shown, 667);
    }

    void anUnansweredItemIsIncorrect()
    {
        store::Responses exam(2);
        exam[0].Section = 1;
        exam[0].Choice = {true, false, false, false, false, false};
        exam[0].Correct = true;
        exam[1].Section = 1; // never answered
        QCOMPARE(exam::countCorrect(exam), 1);
        QCOMPARE(exam::sectionScores(exam)[0].shown, 50);
    }
};

QTEST_APPLESS_MAIN(TestScoring)
#include "test_scoring.moc"
