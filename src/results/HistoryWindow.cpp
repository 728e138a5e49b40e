#include "HistoryWindow.h"

#include "Scoring.h"

#include "Decor.h"
#include "ScoreReport.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "TableError.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

namespace results {

using exam::kPassingScore;
using exam::kScaleMaximum;
using exam::sectionScore;

namespace {

const QColor kScoreColumn(0, 128, 0);
const QColor kPassLine(0, 0, 255);
const QColor kSectionColumn(255, 0, 0);

enum Column {
    NumberColumn,
    DateColumn,
    ExamColumn,
    NameColumn,
    ItemsColumn,
    ScoreColumn,
    GradeColumn,
    TimeColumn,
    ColumnCount
};

} // namespace

QString attemptDateText(double when)
{
    const qint64 seconds = std::llround(when * 86400.0);
    const qint64 day = seconds / 86400;
    const QDateTime dt(QDate(1899, 12, 30).addDays(day),
                       QTime(0, 0).addSecs(static_cast<int>(seconds - day * 86400)));
    return QLocale::system().toString(dt, QLocale::ShortFormat);
}

QString usedTimeText(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

HistoryWindow::HistoryWindow(platform::Services& services, QWidget* parent)
    : QDialog(parent), m_services(services),
      m_attemptReport(std::make_unique<ScoreReport>(services))
{
    setObjectName(QStringLiteral("historyWindow"));
    setWindowTitle(QStringLiteral("Quizlark - History"));
    resize(780, 640);
    setMinimumSize(640, 520);
    m_attemptReport->setObjectName(QStringLiteral("attemptReport"));
    m_attemptReport->setReadOnly(true);
    connect(m_attemptReport.get(), &ScoreReport::printReportRequested, this,
            [this] { emit printReportRequested(m_attemptReport.get(), m_reportWhen); });

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    m_bannerLabel = addBanner(this, v, QStringLiteral("Examination History"));

    auto* charts = new QWidget(this);
    charts->setObjectName(QStringLiteral("chartArea"));
    auto* grid = new QGridLayout(charts);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setSpacing(5);
    m_scoreChart = new widgets::ColumnChart(charts);
    m_scoreChart->setObjectName(QStringLiteral("scoreChart"));
    m_scoreChart->setTitleColour(QColor(0, 0, 128));
    m_scoreChart->setColumnColour(kScoreColumn);
    m_scoreChart->setAxis({0, kScaleMaximum, 100});
    widgets::ChartStyle scoreStyle;
    scoreStyle.barFraction = 0.8;
    m_scoreChart->setStyle(scoreStyle);
    m_scoreChart->setLine(
        widgets::ChartLine{static_cast<double>(kPassingScore), kPassLine,
                           QStringLiteral("Required score %1").arg(kPassingScore)});
    m_scoreChart->setMinimumHeight(180);
    grid->addWidget(m_scoreChart, 0, 0, 1, store::kSectionCount);
    widgets::ChartStyle sectionStyle;
    sectionStyle.background = palette().color(QPalette::Window);
    sectionStyle.border = false;
    sectionStyle.barFraction = 0.8;
    sectionStyle.titleFont = arial(8, false, true);
    sectionStyle.titleAlignment = Qt::AlignLeft;
    sectionStyle.titleFramed = true;
    sectionStyle.titleBackground = Qt::white;
    for (int s = 1; s <= store::kSectionCount; ++s) {
        auto* c = new widgets::ColumnChart(charts);
        c->setObjectName(QStringLiteral("sectionChart%1").arg(s));
        c->setStyle(sectionStyle);
        c->setTitle(QLatin1Char(' ') + store::sectionName(s) + QLatin1Char(' '));
        c->setToolTip(store::sectionName(s));
        c->setTitleColour(QColor(0, 0, 255));
        c->setColumnColour(kSectionColumn);
        c->setAxis({0, 100, 25});
        c->setMinimumHeight(120);
        m_sectionCharts[s - 1] = c;
        grid->addWidget(c, 1, s - 1);
    }
    v->addWidget(charts);

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setContentsMargins(8, 2, 8, 2);
    v->addWidget(m_summaryLabel);

    m_attemptList = new QTreeWidget(this);
    m_attemptList->setObjectName(QStringLiteral("attemptList"));
    m_attemptList->setRootIsDecorated(false);
    m_attemptList->setUniformRowHeights(true);
    m_attemptList->setAllColumnsShowFocus(true);
    m_attemptList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_attemptList->setHeaderLabels({QStringLiteral("No."), QStringLiteral("Date"),
                                    QStringLiteral("Exam"), QStringLiteral("Name"),
                                    QStringLiteral("Items"), QStringLiteral("Score"),
                                    QStringLiteral("Grade"), QStringLiteral("Time used")});
    m_attemptList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_attemptList->header()->setSectionResizeMode(ExamColumn, QHeaderView::Stretch);
    m_attemptList->header()->setStretchLastSection(false);
    v->addWidget(m_attemptList, 1);

    auto* strip = new ButtonStrip(this);
    strip->setFixedHeight(40);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 5);
    row->setSpacing(6);
    m_showReportButton = new QPushButton(QStringLiteral("&Score Report"), strip);
    m_showReportButton->setObjectName(QStringLiteral("showReportButton"));
    m_retakeMissedButton = new QPushButton(QStringLiteral("Retake &missed items"), strip);
    m_retakeMissedButton->setObjectName(QStringLiteral("retakeMissedButton"));
    m_retakeMarkedButton = new QPushButton(QStringLiteral("Retake m&arked items"), strip);
    m_retakeMarkedButton->setObjectName(QStringLiteral("retakeMarkedButton"));
    m_objectivesButton = new QPushButton(QStringLiteral("By &Objective"), strip);
    m_objectivesButton->setObjectName(QStringLiteral("objectivesButton"));
    m_objectivesButton->setAutoDefault(false);
    m_objectivesButton->setAccessibleName(QStringLiteral("Results by objective"));
    m_deleteButton = new QPushButton(QStringLiteral("&Delete"), strip);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_deleteAllButton = new QPushButton(QStringLiteral("Delete A&ll"), strip);
    m_deleteAllButton->setObjectName(QStringLiteral("deleteAllButton"));
    m_closeButton = new QPushButton(glyph(Glyph::Exit), QStringLiteral("&Close"), strip);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* b : {m_showReportButton, m_retakeMissedButton, m_retakeMarkedButton,
                           m_deleteButton, m_deleteAllButton, m_closeButton})
        b->setAutoDefault(false);
    m_showReportButton->setDefault(true);
    row->addWidget(m_showReportButton);
    row->addWidget(m_retakeMissedButton);
    row->addWidget(m_retakeMarkedButton);
    row->addWidget(m_objectivesButton);
    row->addStretch(1);
    row->addWidget(m_deleteButton);
    row->addWidget(m_deleteAllButton);
    row->addWidget(m_closeButton);
    v->addWidget(strip);

    connect(m_showReportButton, &QPushButton::clicked, this, &HistoryWindow::showChosenReport);
    connect(m_retakeMissedButton, &QPushButton::clicked, this, &HistoryWindow::retakeMissed);
    connect(m_retakeMarkedButton, &QPushButton::clicked, this, &HistoryWindow::retakeMarked);
    connect(m_objectivesButton, &QPushButton::clicked, this, &HistoryWindow::showObjectiveResults);
    connect(m_deleteButton, &QPushButton::clicked, this, &HistoryWindow::deleteChosenAttempt);
    connect(m_deleteAllButton, &QPushButton::clicked, this, &HistoryWindow::deleteWholeHistory);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_attemptList, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::enableButtons);
    connect(m_attemptList, &QTreeWidget::itemActivated, this, &HistoryWindow::showChosenReport);
    enableButtons();
}

HistoryWindow::~HistoryWindow() = default;

bool HistoryWindow::reload(QWidget* messageParent)
{
    m_attempts.clear();
    m_unreadable = false;
    QStringList unreadable;
    QWidget* over = messageParent ? messageParent : this;
    try {
        if (m_file)
            m_attempts = m_file->readAll(&unreadable);
    } catch (const std::exception& e) {
        // The window still opens, empty, so that Delete All can clear it.
        const auto* table = dynamic_cast<const platform::TableError*>(&e);
        m_unreadable = true;
        m_services.message(over, platform::MsgKind::Warning,
                           QStringLiteral("The exam history cannot be read, so it cannot be "
                                          "shown.\r") +
                               (table ? table->text() : QString::fromUtf8(e.what())) +
                               QStringLiteral("\rDelete All removes it."),
                           platform::Ok);
    }
    if (!unreadable.isEmpty())
        m_services.message(over, platform::MsgKind::Warning,
                           QStringLiteral("Some graded exams of the history cannot be read and "
                                          "are not shown; the others are.\r") +
                               unreadable.join(QLatin1Char('\r')),
                           platform::Ok);
    fill();
    return true;
}

void HistoryWindow::fill()
{
    m_attemptList->clear();
    const int n = static_cast<int>(m_attempts.size());
    // Newest first; the number is the attempt's place counted from the oldest.
    for (int i = n - 1; i >= 0; --i) {
        const store::Attempt& a = m_attempts[static_cast<size_t>(i)];
        auto* item = new QTreeWidgetItem(m_attemptList);
        item->setText(NumberColumn, QString::number(i + 1));
        item->setText(DateColumn, attemptDateText(a.when));
        item->setText(ExamColumn,
                      a.userItems() ? a.title + QStringLiteral(" (user items)") : a.title);
        item->setText(NameColumn, a.candidate);
        item->setText(ItemsColumn, QString::number(a.itemCount));
        item->setText(ScoreColumn, QString::number(a.score));
        item->setText(GradeColumn, a.pass ? QStringLiteral("Pass") : QStringLiteral("Fail"));
        item->setText(TimeColumn, usedTimeText(a.secondsUsed));
        for (int c : {NumberColumn, ItemsColumn, ScoreColumn, TimeColumn})
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(NumberColumn, Qt::UserRole, i);
    }
    if (n > 0)
        m_attemptList->setCurrentItem(m_attemptList->topLevelItem(0));
    int passed = 0;
    for (const store::Attempt& a : m_attempts)
        passed += a.pass ? 1 : 0;
    m_summaryLabel->setText(n == 0 ? QStringLiteral("No graded exam yet.")
                            : n == 1
                                ? QStringLiteral("1 graded exam, %1 passed.").arg(passed)
                                : QStringLiteral("%1 graded exams, %2 passed.").arg(n).arg(passed));
    fillCharts();
    enableButtons();
}

void HistoryWindow::fillCharts()
{
    const size_t n = m_attempts.size();
    const size_t from = n > static_cast<size_t>(kChartedAttempts) ? n - kChartedAttempts : 0;
    std::vector<widgets::ChartColumn> scores;
    std::array<std::vector<widgets::ChartColumn>, store::kSectionCount> sections;
    for (size_t i = from; i < n; ++i) {
        const store::Attempt& a = m_attempts[i];
        const QString label = QString::number(i + 1);
        scores.push_back({label, static_cast<double>(a.score)});
        for (size_t s = 0; s < sections.size(); ++s) {
            const store::SectionTally& t = a.sections[s];
            // An attempt without items of the section leaves a gap, not a 0.
            if (t.total == 0)
                sections[s].push_back({label, std::nullopt});
            else
                sections[s].push_back(
                    {label, static_cast<double>(sectionScore(t.correct, t.total).shown)});
        }
    }
    m_scoreChart->setTitle(from > 0 ? QStringLiteral("Score of the last %1 attempts").arg(n - from)
                                    : QStringLiteral("Score of every attempt"));
    m_scoreChart->setColumns(std::move(scores));
    for (size_t s = 0; s < sections.size(); ++s)
        m_sectionCharts[s]->setColumns(std::move(sections[s]));
}

const store::Attempt* HistoryWindow::chosenAttempt() const
{
    const QTreeWidgetItem* item = m_attemptList->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    const int i = item->data(NumberColumn, Qt::UserRole).toInt();
    if (i < 0 || static_cast<size_t>(i) >= m_attempts.size())
        return nullptr;
    return &m_attempts[static_cast<size_t>(i)];
}

void HistoryWindow::chooseRow(int row)
{
    QTreeWidgetItem* item = m_attemptList->topLevelItem(row);
    m_attemptList->setCurrentItem(item);
    if (item)
        item->setSelected(true);
}

void HistoryWindow::enableButtons()
{
    const bool chosen = chosenAttempt() != nullptr;
    for (QPushButton* b :
         {m_showReportButton, m_retakeMissedButton, m_retakeMarkedButton, m_deleteButton})
        b->setEnabled(chosen);
    m_deleteAllButton->setEnabled(!m_attempts.empty() || m_unreadable);
    m_objectivesButton->setEnabled(!m_attempts.empty());
}

void HistoryWindow::showObjectiveResults()
{
    if (!m_attempts.empty())
        emit objectiveResultsRequested();
}

void HistoryWindow::showChosenReport()
{
    const store::Attempt* a = chosenAttempt();
    if (!a)
        return;
    m_attemptReport->showAttempt(*a);
    m_reportWhen = a->when;
    m_services.runModal(m_attemptReport.get());
}

void HistoryWindow::retakeMissed()
{
    if (const store::Attempt* a = chosenAttempt())
        emit drillRequested(*a, store::DrillKind::Missed);
}

void HistoryWindow::retakeMarked()
{
    if (const store::Attempt* a = chosenAttempt())
        emit drillRequested(*a, store::DrillKind::Marked);
}

void HistoryWindow::deleteChosenAttempt()
{
    const store::Attempt* a = chosenAttempt();
    if (!a || !m_file)
        return;
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Delete this attempt from the history?\r%1, %2, score %3")
                               .arg(attemptDateText(a->when), a->title)
                               .arg(a->score),
                           platform::Yes | platform::No) != platform::Yes)
        return;
    const qint64 key = a->key;
    const int row = m_attemptList->indexOfTopLevelItem(m_attemptList->currentItem());
    try {
        m_file->remove(key);
    } catch (const platform::TableError& e) {
        m_services.message(this, platform::MsgKind::Error, e.text(), platform::Ok);
    }
    reload();
    chooseRow(std::min(row, m_attemptList->topLevelItemCount() - 1));
}

void HistoryWindow::deleteWholeHistory()
{
    if (!m_file || (m_attempts.empty() && !m_unreadable))
        return;
    const QString question =
        m_unreadable
            ? QStringLiteral("Delete the whole history?\rIt cannot be read; deleting it starts "
                             "a new one.")
            : QStringLiteral("Delete the whole history?\rThe %1 graded exams in it will be lost.")
                  .arg(m_attempts.size());
    if (m_services.message(this, platform::MsgKind::Confirmation, question,
                           platform::Yes | platform::No) != platform::Yes)
        return;
    try {
        m_file->removeAll();
    } catch (const platform::TableError& e) {
        m_services.message(this, platform::MsgKind::Error, e.text(), platform::Ok);
    }
    reload();
}

} // namespace results
