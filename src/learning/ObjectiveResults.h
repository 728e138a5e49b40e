#pragma once

#include "History.h"
#include "Objectives.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace learning {

// How a candidate did on one objective.
struct ObjectiveResult {
    QString objective; // the objective's name ("wins-server")
    int answered = 0;
    int correct = 0;
    // Share of correct answers, 0..1; 0 for none answered.
    double share() const { return answered > 0 ? double(correct) / answered : 0.0; }
    bool operator==(const ObjectiveResult&) const = default;
};

struct ObjectiveBreakdown {
    // Only objectives with an item answered, weakest first: the lower share,
    // then the more wrong answers, then the order of the exam's list.
    std::vector<ObjectiveResult> results;
    // Items whose objective is not known (a user item since deleted).
    int unattributed = 0;
};

ObjectiveBreakdown breakdownByObjective(const std::vector<store::Attempt>& attempts,
                                        const store::ItemObjectives& objectives);

// The names of the n weakest objectives of a breakdown.
QStringList weakestObjectives(const ObjectiveBreakdown& breakdown, int n = 3);

// "Drill: weakest objectives (WINS, routing, DNS)".
QString weakestObjectivesTitle(const QStringList& objectives);

} // namespace learning
