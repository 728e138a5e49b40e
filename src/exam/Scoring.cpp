#include "Scoring.h"

#include <cmath>

namespace exam {

namespace {

// The default floating-point environment rounds to nearest, ties to even.
int roundHalfEven(long double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

TotalScore totalScore(int correct, int total)
{
    if (total <= 0)
        return {0.0L, 0, false};
    // Two separate statements keep the quotient rounded to long double before
    // it is multiplied, which decides cases such as 51 of 60.
    const long double perItem = static_cast<long double>(kScaleMaximum) / total;
    const long double value = perItem * correct;
    return {value, roundHalfEven(value), value >= kPassingScore};
}

std::array<SectionScore, store::kSectionCount> sectionScores(const store::Responses& responses)
{
    std::array<SectionScore, store::kSectionCount> tally{};
    for (const store::ItemResponse& r : responses) {
        if (r.Section < 1 || r.Section > store::kSectionCount)
            continue;
        SectionScore& s = tally[static_cast<size_t>(r.Section - 1)];
        ++s.total;
        if (r.Correct)
            ++s.correct;
    }
    for (SectionScore& s : tally)
        s = sectionScore(s.correct, s.total);
    return tally;
}

SectionScore sectionScore(int correct, int total)
{
    SectionScore s{correct, total, 0.0L, 0};
    if (total == 0 || correct == 0)
        return s;
    const long double share = static_cast<long double>(correct) / total;
    s.percent = share * 100;
    s.shown = roundHalfEven(s.percent);
    return s;
}

int countCorrect(const store::Responses& responses)
{
    int n = 0;
    for (const store::ItemResponse& r : responses)
        n += r.Correct ? 1 : 0;
    return n;
}

} // namespace exam
