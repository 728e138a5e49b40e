#pragma once

#include "History.h"
#include "Objectives.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace learning {

// One answer as the estimate weighs it.
struct WeighedAnswer {
    QString objective;
    bool correct = false;
    double weight = 1.0; // recent answers weigh more
};

struct ReadinessSettings {
    // Below this many answers with a known objective there is no estimate.
    int minimumAnswers = 50;
    // An answer this many exams older than the newest weighs half as much.
    double halfLifeAttempts = 5.0;
    // At most how many answers' worth the candidate's overall share counts
    // for in each objective: an objective seldom answered leans on the
    // others, the less the further the objectives are seen to lie apart.
    double priorAnswers = 20.0;
    // The least variance of the objectives' shares around the overall share
    // that is assumed, however alike the answers make them look.
    double minimumSpread = 0.0025;
    // Two-sided 90 %.
    double z = 1.6449;
};

struct ReadinessEstimate {
    bool enough = false;
    int answers = 0;  // answers with a known objective
    double score = 0; // expected score on a fresh practice exam, 0..1000
    double low = 0;   // the 90 % interval of that expectation
    double high = 0;
    // The objectives that cost the most points, most first (names).
    QStringList holdingBack;
};

// The answers of the attempts (oldest first), each weighed by its age in
// exams; items of no known objective are left out.
std::vector<WeighedAnswer> weighAnswers(const std::vector<store::Attempt>& attempts,
                                        const store::ItemObjectives& objectives,
                                        const ReadinessSettings& settings = {});

// The expected score on a fresh practice exam whose items are drawn from the
// objectives in proportion to shares (which sum to 1), with a 90 % interval.
// Each objective's share of right answers is estimated from its weighed
// answers, drawn towards the candidate's overall share where it has few (as
// far as the objectives are seen to differ); the interval is the normal one
// on the share-weighted sum of those estimates, with the variance of the
// answers and of what the drawing together may miss.
ReadinessEstimate estimateReadiness(const std::vector<WeighedAnswer>& answers,
                                    const QHash<QString, double>& shares,
                                    const ReadinessSettings& settings = {});

// "Estimated 790 (720–850) from 212 answers; weakest: WINS, routing", or why
// there is no estimate.
QString readinessText(const ReadinessEstimate& estimate, const ReadinessSettings& settings = {});

} // namespace learning
