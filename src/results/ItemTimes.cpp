#include "ItemTimes.h"

#include "HistoryWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace results {

namespace {

QString secondsText(double seconds)
{
    const long long s = std::llround(seconds);
    if (s < 60)
        return QStringLiteral("%1 s").arg(s);
    return QStringLiteral("%1:%2 min").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QTreeWidget* makeList(QWidget* parent, const QString& name, const QString& accessible,
                      const QStringList& headers)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessible);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(headers);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    return list;
}

} // namespace

std::array<SectionTime, store::kSectionCount>
sectionTimes(const std::vector<store::Attempt>& attempts)
{
    std::array<SectionTime, store::kSectionCount> times{};
    for (const store::Attempt& a : attempts)
        for (const store::AttemptItem& i : a.items) {
            if (!i.timeKnown() || i.section < 1 || i.section > store::kSectionCount)
                continue;
            SectionTime& t = times[static_cast<size_t>(i.section - 1)];
            ++t.items;
            t.seconds += i.seconds;
        }
    return times;
}

std::vector<size_t> slowestItems(const store::Attempt& attempt, size_t count)
{
    std::vector<size_t> order;
    for (size_t k = 0; k < attempt.items.size(); ++k)
        if (attempt.items[k].timeKnown())
            order.push_back(k);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return attempt.items[a].seconds > attempt.items[b].seconds;
    });
    if (order.size() > count)
        order.resize(count);
    return order;
}

ItemTimesWindow::ItemTimesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("itemTimesWindow"));
    setWindowTitle(QStringLiteral("Quizlark - Time per Item"));
    resize(560, 520);
    auto* v = new QVBoxLayout(this);

    m_headingLabel = new QLabel(this);
    m_headingLabel->setObjectName(QStringLiteral("headingLabel"));
    m_headingLabel->setWordWrap(true);
    v->addWidget(m_headingLabel);

    auto* sectionLabel = new QLabel(QStringLiteral("&Average time per item, by section:"), this);
    v->addWidget(sectionLabel);
    m_sectionTimeList = makeList(this, QStringLiteral("sectionTimeList"),
                                 QStringLiteral("Average time per item by section"),
                                 {QStringLiteral("Section"), QStringLiteral("This exam"),
                                  QStringLiteral("All exams"), QStringLiteral("Items timed")});
    sectionLabel->setBuddy(m_sectionTimeList);
    v->addWidget(m_sectionTimeList, 1);

    m_slowestLabel = new QLabel(QStringLiteral("S&lowest items of this exam:"), this);
    m_slowestLabel->setObjectName(QStringLiteral("slowestLabel"));
    v->addWidget(m_slowestLabel);
    m_slowestList =
        makeList(this, QStringLiteral("slowestList"), QStringLiteral("Slowest items of this exam"),
                 {QStringLiteral("Section"), QStringLiteral("Item"), QStringLiteral("ID"),
                  QStringLiteral("Time"), QStringLiteral("Result")});
    m_slowestLabel->setBuddy(m_slowestList);
    v->addWidget(m_slowestList, 2);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_closeButton = new QPushButton(QStringLiteral("&Close"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setDefault(true);
    row->addWidget(m_closeButton);
    v->addLayout(row);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ItemTimesWindow::showTimes(const std::vector<store::Attempt>& attempts,
                                const store::Attempt* attempt, int attemptNumber)
{
    const auto all = sectionTimes(attempts);
    const auto mine = attempt ? sectionTimes({*attempt}) : decltype(all){};
    const bool timed = attempt && attempt->detailed();
    m_headingLabel->setText(
        !attempt ? QStringLiteral("No exam is chosen.")
        : timed  ? QStringLiteral("Exam %1: %2, %3.")
                      .arg(attemptNumber)
                      .arg(attempt->title, attemptDateText(attempt->when))
                : QStringLiteral("Exam %1: %2, %3. The time per item was not kept for this "
                                 "exam.")
                      .arg(attemptNumber)
                      .arg(attempt->title, attemptDateText(attempt->when)));
    m_sectionTimeList->clear();
    for (int s = 1; s <= store::kSectionCount; ++s) {
        const SectionTime& a = all[static_cast<size_t>(s - 1)];
        const SectionTime& m = mine[static_cast<size_t>(s - 1)];
        auto* item = new QTreeWidgetItem(m_sectionTimeList);
        item->setText(0, store::sectionName(s));
        item->setText(1, m.items > 0 ? secondsText(m.average()) : QStringLiteral("-"));
        item->setText(2, a.items > 0 ? secondsText(a.average()) : QStringLiteral("-"));
        item->setText(3, QString::number(a.items));
        for (int c = 1; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_sectionTimeList->setCurrentItem(m_sectionTimeList->topLevelItem(0));
    m_slowestList->clear();
    if (attempt)
        for (const size_t k : slowestItems(*attempt, kSlowestShown)) {
            const store::AttemptItem& i = attempt->items[k];
            auto* item = new QTreeWidgetItem(m_slowestList);
            item->setText(0, store::sectionName(i.section));
            item->setText(1, QString::number(k + 1));
            item->setText(2,
                          (i.userItem ? QStringLiteral("U") : QString()) + QString::number(i.id));
            item->setText(3, secondsText(i.seconds));
            item->setText(4, i.correct ? QStringLiteral("Correct") : QStringLiteral("Incorrect"));
            for (int c = 1; c < 4; ++c)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
    if (m_slowestList->topLevelItemCount() > 0)
        m_slowestList->setCurrentItem(m_slowestList->topLevelItem(0));
    m_closeButton->setFocus();
}

} // namespace results
