#pragma once

#include "History.h"

#include <QString>
#include <vector>

namespace store {

class Table;

enum class DrillKind { Missed, Marked };

// The items a drill on an attempt retakes, in the attempt's order: those
// answered wrongly, or those marked.
std::vector<int> drillItems(const Attempt& attempt, DrillKind kind);

// "Drill: missed items of Practice Exam C". A drill on a drill names the exam
// the first drill came from, not a chain of drills.
QString drillTitle(const QString& examTitle, DrillKind kind);
QString weakestSectionTitle(int section);

inline constexpr int kWeakestSectionWindow = 5;

struct WeakestSection {
    int section = 0; // 1..5; 0 when the attempts hold no item of any section
    int correct = 0; // over the attempts looked at
    int total = 0;
};

// The section with the lowest share of correct items over the newest `window`
// attempts (attempts are given oldest first, as the history reads them). The
// share pools the section's items of all those attempts; a section none of
// them holds is no candidate. Ties go to the section with more wrong answers,
// then to the lower section number (the order of the score report).
WeakestSection weakestSection(const std::vector<Attempt>& attempts,
                              int window = kWeakestSectionWindow);

// The Q_IDs of the bank items of a section that belong to some practice exam,
// the pool a random exam draws from. The bank must be open; its filter is
// left as it was.
std::vector<int> sectionItems(Table& bank, int section);

// The minutes a drill of `items` items gets by default: as long per item as
// a full exam of 50 items in fullExamMinutes, rounded up, at least 1.
inline constexpr int kFullExamItems = 50;
int drillMinutes(int items, int fullExamMinutes);

} // namespace store
