#pragma once

#include "Responses.h"

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <vector>

namespace store {

class Table;

// What a long build reports its progress to; a window shows it, a test or
// the command line may ignore it.
class BuildProgress {
public:
    virtual ~BuildProgress() = default;
    virtual void beginBuild() = 0;
    virtual void setBuildMaximum(int maximum) = 0;
    virtual void setBuildPosition(int position) = 0;
    virtual void endBuild() = 0;
};

struct BuildResult {
    int firstItemNumber = 0;
    int itemCount = 0;
    // Each item's print (see ItemPrinter), in exam order, taken as it was
    // written: keeping the new exam then needs no second read of the set.
    std::vector<qint64> prints;
};

// Builds the current exam set, the private working copy of an exam, from the
// bank or the user set, always in a freshly shuffled order.
class ExamSetBuilder final {
public:
    using SeedSource = std::function<std::uint64_t()>;

    // progress may be null (no feedback); seed defaults to the clock.
    explicit ExamSetBuilder(BuildProgress* progress, SeedSource seed = {});

    // Every bank item that passes the bank's filter, in a new order.
    BuildResult buildExamSet(Table& bank, Table& current);
    // n distinct bank items of those passing the filter, n in 1..candidates.
    BuildResult buildRandomSet(Table& bank, Table& current, int n);
    // Every user-set item, without exam number, simulation or exhibits.
    BuildResult buildUserSet(Table& userSet, Table& current);

    // The items of ids (Q_IDs of the source) that the source still holds, in
    // a new order; take >= 0 keeps only that many of them.
    BuildResult buildChosenSet(Table& source, Table& current, bool fromBank,
                               const std::vector<int>& ids, int take = -1);
    // Those of ids that the open source holds, in the order given.
    static std::vector<int> presentItems(Table& source, const std::vector<int>& ids);

    // Sizes Responses to the current set and clears it.
    static void resetResponses(Table& current, Responses& responses);

    static std::uint64_t clockSeed();

private:
    BuildResult build(Table& source, Table& current, bool fromBank, int take);
    BuildResult write(Table& source, Table& current, bool fromBank, std::vector<int> candidates,
                      int take);

    BuildProgress* m_progress;
    SeedSource m_seed;
};

} // namespace store
