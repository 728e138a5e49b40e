#pragma once

#include "Responses.h"

#include <cstdint>
#include <functional>

namespace store {

class Table;
class TProgressForm;

struct BuildResult {
    int FirstItemNo = 0;
    int ItemCount = 0;
};

// Builds the current exam set, the private working copy of an exam, from the
// bank or the user set, always in a freshly shuffled order.
class ExamSetBuilder final {
public:
    using SeedSource = std::function<std::uint64_t()>;

    // progress may be null (no feedback); seed defaults to the clock.
    explicit ExamSetBuilder(TProgressForm* progress, SeedSource seed = {});

    // Every bank item that passes the bank's filter, in a new order.
    BuildResult BuildExamSet(Table& bank, Table& current);
    // n distinct bank items of those passing the filter, n in 1..candidates.
    BuildResult BuildRandomSet(Table& bank, Table& current, int n);
    // Every user-set item, without exam number, simulation or exhibits.
    BuildResult BuildUserSet(Table& userSet, Table& current);

    // Sizes Responses to the current set and clears it.
    static void ResetResponses(Table& current, Responses& responses);

    static std::uint64_t clockSeed();

private:
    BuildResult build(Table& source, Table& current, bool fromBank, int take);

    TProgressForm* m_progress;
    SeedSource m_seed;
};

} // namespace store
