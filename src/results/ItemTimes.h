#pragma once

#include "History.h"

#include <QDialog>
#include <array>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace results {

struct SectionTime {
    int items = 0;      // items with a known time
    double seconds = 0; // their time together

    double average() const { return items > 0 ? seconds / items : 0; }
};

// Element s - 1 for section s, over the items whose time was kept.
std::array<SectionTime, store::kSectionCount>
sectionTimes(const std::vector<store::Attempt>& attempts);
// The positions (0-based) of the attempt's items with a known time, the
// longest first; ties keep the exam's order. At most count of them.
std::vector<size_t> slowestItems(const store::Attempt& attempt, size_t count);

// How long the items took: per section the average time per item in the
// chosen attempt and over the whole history, and the chosen attempt's
// slowest items. Opened from the History window; it changes nothing.
class ItemTimesWindow final : public QDialog {
    Q_OBJECT
public:
    static constexpr size_t kSlowestShown = 10;

    explicit ItemTimesWindow(QWidget* parent = nullptr);

    // attempt: the chosen one, or null.
    void showTimes(const std::vector<store::Attempt>& attempts, const store::Attempt* attempt,
                   int attemptNumber);

    QLabel* m_headingLabel;
    QTreeWidget* m_sectionTimeList;
    QLabel* m_slowestLabel;
    QTreeWidget* m_slowestList;
    QPushButton* m_closeButton;
};

} // namespace results
