#include "AttemptRecord.h"

#include "Scoring.h"

namespace exam {

store::Attempt makeAttempt(const QString& examTitle, const QString& candidateName, double when,
                           int secondsUsed, const store::Responses& responses,
                           const std::vector<int>& sourceIds, bool userItems)
{
    store::Attempt a;
    a.when = when;
    a.title = examTitle;
    a.candidate = candidateName;
    a.itemCount = static_cast<int>(responses.size());
    const TotalScore total = totalScore(countCorrect(responses), a.itemCount);
    a.score = total.shown;
    a.pass = total.pass;
    const auto tally = sectionScores(responses);
    for (size_t s = 0; s < tally.size(); ++s)
        a.sections[s] = {tally[s].correct, tally[s].total};
    a.secondsUsed = secondsUsed;
    a.items.reserve(responses.size());
    for (size_t k = 0; k < responses.size(); ++k)
        a.items.push_back({k < sourceIds.size() ? sourceIds[k] : 0, responses[k].Correct,
                           responses[k].Marked, userItems});
    return a;
}

} // namespace exam
