// The readiness estimate: none below its threshold, what it names as holding
// the candidate back, and whether its interval is honest on candidates of
// known skill (a fixed seed, so the figure is the same on every run).
#include "ReadinessSimulation.h"

#include <QtTest>

using learning::WeighedAnswer;

namespace {

std::vector<WeighedAnswer> answers(const QString& objective, int right, int wrong)
{
    std::vector<WeighedAnswer> list;
    for (int i = 0; i < right + wrong; ++i)
        list.push_back({objective, i < right, 1.0});
    return list;
}

void append(std::vector<WeighedAnswer>& to, const std::vector<WeighedAnswer>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace

class TestReadiness : public QObject {
    Q_OBJECT
private slots:
    void tooFewAnswersGiveNoEstimate()
    {
        const QHash<QString, double> shares{{QStringLiteral("snmp"), 1.0}};
        const auto est =
            learning::estimateReadiness(answers(QStringLiteral("snmp"), 30, 19), shares);
        QVERIFY(!est.enough);
        QCOMPARE(est.answers, 49);
        QCOMPARE(learning::readinessText(est),
                 QStringLiteral("Readiness: not enough answers yet (49 of the 50 needed)."));
        QVERIFY(
            learning::estimateReadiness(answers(QStringLiteral("snmp"), 30, 20), shares).enough);
    }

    // The objectives named are those that cost the most points: a weak but
    // small objective can cost less than a middling large one.
    void namesWhatCostsTheMostPoints()
    {
        const QHash<QString, double> shares{{QStringLiteral("wins-server"), 0.5},
                                            {QStringLiteral("ip-router"), 0.3},
                                            {QStringLiteral("snmp"), 0.2}};
        std::vector<WeighedAnswer> list = answers(QStringLiteral("wins-server"), 40, 20);
        append(list, answers(QStringLiteral("ip-router"), 20, 20));
        append(list, answers(QStringLiteral("snmp"), 38, 2));
        const auto est = learning::estimateReadiness(list, shares);
        QVERIFY(est.enough);
        QCOMPARE(est.holdingBack,
                 (QStringList{QStringLiteral("wins-server"), QStringLiteral("ip-router")}));
        QVERIFY(est.low < est.score && est.score < est.high);
        const QString text = learning::readinessText(est);
        QVERIFY2(text.startsWith(QStringLiteral("Estimated ")) &&
                     text.endsWith(QStringLiteral(" from 140 answers; weakest: WINS, routing")),
                 qPrintable(text));
    }

    // Recent answers count for more: the same answers, the wrong ones newest,
    // give a lower estimate than with the wrong ones oldest.
    void recentAnswersWeighMore()
    {
        const QHash<QString, double> shares{{QStringLiteral("snmp"), 1.0}};
        store::ItemObjectives lookup;
        QHash<int, store::ItemTag> tags;
        for (int id = 1; id <= 200; ++id)
            tags.insert(id, {QStringLiteral("snmp"), {}});
        lookup.setBankTags(tags);
        auto exam = [](int from, bool right) {
            store::Attempt a;
            for (int id = from; id < from + 50; ++id)
                a.items.push_back({id, right, false, false});
            return a;
        };
        const double improving =
            learning::estimateReadiness(
                learning::weighAnswers({exam(1, false), exam(51, true)}, lookup), shares)
                .score;
        const double slipping =
            learning::estimateReadiness(
                learning::weighAnswers({exam(1, true), exam(51, false)}, lookup), shares)
                .score;
        QVERIFY2(improving > slipping + 50,
                 qPrintable(QStringLiteral("%1 vs %2").arg(improving).arg(slipping)));
    }

    // Simulated candidates of known skill: the 90 % interval holds the score
    // they would be expected to make in at least 85 % of the cases.
    void intervalHoldsTheExpectedScore()
    {
        const readinesssim::Outcome o = readinesssim::simulate(20261211, 1500);
        QVERIFY(o.cases > 1000);
        qInfo("coverage %.3f, mean absolute error %.1f, mean width %.1f over %d candidates",
              o.coverage(), o.meanError(), o.meanWidth(), o.cases);
        QVERIFY2(o.coverage() >= 0.85, qPrintable(QString::number(o.coverage())));
    }
};

QTEST_GUILESS_MAIN(TestReadiness)
#include "test_readiness.moc"
