#pragma once

#include "History.h"

#include <QString>
#include <array>
#include <vector>

namespace store {
class Session;
}

namespace learning {

// The review file of missed items, beside the history.
inline constexpr const char* kReviewFile = "tcpiprev.DAT";

// Days after which an item in box k (1..4) is due again; a right answer in
// the last box takes it out of the pool.
inline constexpr std::array<int, 4> kReviewIntervals{1, 3, 7, 21};
inline constexpr int kReviewBoxes = static_cast<int>(kReviewIntervals.size());

// The calendar day of a clock reading (days, as the clock service gives them).
qint64 dayOf(double when);

struct ReviewEntry {
    int id = 0;
    bool userItem = false;
    int box = 1;       // 1..kReviewBoxes
    qint64 dueDay = 0; // the day it is due from, dayOf()
    bool operator==(const ReviewEntry&) const = default;
};

// Missed items on their way to being known: every item answered wrongly
// joins (or goes back to) the first box; a right answer in a review moves it
// up a box, out of the pool after the last.
class ReviewPool final {
public:
    // Takes in a graded exam on day `today`; review tells whether it was a
    // review of the pool, where right answers count.
    void record(const store::Attempt& attempt, qint64 today, bool review);

    // Due on or before today, oldest due first, then in the order missed.
    std::vector<ReviewEntry> due(qint64 today) const;
    const std::vector<ReviewEntry>& entries() const { return m_entries; }
    void setEntries(std::vector<ReviewEntry> entries) { m_entries = std::move(entries); }
    bool operator==(const ReviewPool&) const = default;

private:
    std::vector<ReviewEntry> m_entries; // in the order they joined
};

// The title that marks an exam as a review of the pool.
QString reviewDrillTitle();

// The pool's file, opened for each read or write. Every call throws
// platform::TableError.
class ReviewPoolFile final {
public:
    ReviewPoolFile(store::Session& session, const QString& path = QString::fromLatin1(kReviewFile));
    // A missing or empty file is an empty pool. A record no pool could have
    // written refuses the file.
    ReviewPool read() const;
    // Replaces the whole pool in one transaction: a kill leaves the old pool
    // or the new one.
    void write(const ReviewPool& pool);

private:
    store::Session& m_session;
    QString m_path;
};

// Takes a graded exam into the pool in its file.
void recordInReviewPool(store::Session& session, const store::Attempt& attempt, double when,
                        const QString& path = QString::fromLatin1(kReviewFile));

} // namespace learning
