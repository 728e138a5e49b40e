#pragma once

#include "History.h"
#include "Responses.h"

#include <vector>

namespace exam {

// The history record of the exam just graded, with the figures the score
// report shows. sourceIds holds, for item k at k - 1, the Q_ID of the bank or
// user-set item it was copied from, and itemSeconds the time item k was on
// screen (an item it does not reach has no known time).
store::Attempt makeAttempt(const QString& examTitle, const QString& candidateName, double when,
                           int secondsUsed, const store::Responses& responses,
                           const std::vector<int>& sourceIds, bool userItems,
                           const std::vector<int>& itemSeconds = {});

} // namespace exam
