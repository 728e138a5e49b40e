#pragma once

#include "Responses.h"
#include "Schemas.h"

#include <array>

namespace exam {

inline constexpr int kScaleMaximum = 1000;
inline constexpr int kPassingScore = 850;

struct TotalScore {
    long double value; // unrounded; the grade is decided on this
    int shown;         // value rounded half to even
    bool pass;
};

// (1000 / total) * correct, quotient rounded before the product. An exam
// without items scores 0 and fails instead of dividing by zero.
TotalScore totalScore(int correct, int total);

struct SectionScore {
    int correct;         // K
    int total;           // T
    long double percent; // (K / T) * 100, unrounded; 0 when K or T is 0
    int shown;           // percent rounded half to even
};

// One section's figures from its counts.
SectionScore sectionScore(int correct, int total);

// Element s - 1 for section s. Items whose section lies outside 1..5 are left
// out here; they still count in the total.
std::array<SectionScore, store::kSectionCount> sectionScores(const store::Responses& responses);

int countCorrect(const store::Responses& responses);

} // namespace exam
