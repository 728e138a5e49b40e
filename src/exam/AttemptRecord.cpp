#include "AttemptRecord.h"

#include "Scoring.h"

#include <algorithm>

namespace exam {

store::Attempt makeAttempt(const QString& examTitle, const QString& candidateName, double when,
                           int secondsUsed, const store::Responses& responses,
                           const std::vector<int>& sourceIds, bool userItems,
                           const std::vector<int>& itemSeconds)
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
    for (size_t k = 0; k < responses.size(); ++k) {
        store::AttemptItem item{k < sourceIds.size() ? sourceIds[k] : 0, responses[k].Correct,
                                responses[k].Marked, userItems};
        item.choice = responses[k].Choice;
        item.section = responses[k].Section;
        item.seconds = k < itemSeconds.size() ? std::max(0, itemSeconds[k]) : -1;
        a.items.push_back(item);
    }
    return a;
}

} // namespace exam
