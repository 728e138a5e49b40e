#include "HistoryWindow.h"

#include "Scoring.h"

#include "Accessibility.h"
#include "Contrast.h"
#include "Decor.h"
#include "ItemTimes.h"
#include "Printing.h"
#include "ScoreReport.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "TableError.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace results {

using exam::kPassingScore;
using exam::kScaleMaximum;
using exam::sectionScore;

namespace {

const QColor kScoreColumn(0, 128, 0);
const QColor kPassLine(0, 0, 255);
const QColor kSectionColumn(255, 0, 0);
const QColor kBelowPassColumn(255, 0, 0);
const QColor kTrendColour(0, 0, 0);
// The share of a section that matches the required score.
const double kSectionPassPercent = 100.0 * kPassingScore / kScaleMaximum;

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

QDate dateOf(double when)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(when)));
}

// Under a column: the attempt's day, short enough for a narrow column.
QString columnDateText(double when)
{
    return QLocale::system().toString(dateOf(when), QStringLiteral("d MMM"));
}

QColor passColour(double value, double passMark)
{
    return value >= passMark ? kScoreColumn : kBelowPassColumn;
}

} // namespace

std::vector<std::optional<double>> movingAverage(const std::vector<std::optional<double>>& values,
                                                 int window)
{
    std::vector<std::optional<double>> out(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        double sum = 0;
        int n = 0;
        for (size_t j = i + 1 > static_cast<size_t>(window) ? i + 1 - window : 0; j <= i; ++j)
            if (values[j]) {
                sum += *values[j];
                ++n;
            }
        out[i] = sum / n;
    }
    return out;
}

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
    m_itemTimes = std::make_unique<ItemTimesWindow>();
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
    m_scoreChart->setMinimumHeight(190);
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
        c->setLine(widgets::ChartLine{kSectionPassPercent, kPassLine, QString()});
        c->setMinimumHeight(140);
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
    m_attemptList->setAccessibleName(QStringLiteral("Graded exams"));
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
    m_timesButton = new QPushButton(QStringLiteral("&Times..."), strip);
    m_timesButton->setObjectName(QStringLiteral("timesButton"));
    m_timesButton->setToolTip(QStringLiteral("Time per item: by section and the slowest items"));
    m_exportButton = new QPushButton(QStringLiteral("E&xport"), strip);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    auto* exportMenu = new QMenu(m_exportButton);
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    m_exportAnswersAction =
        exportMenu->addAction(QStringLiteral("&Answers of every exam (CSV)..."));
    m_exportAnswersAction->setObjectName(QStringLiteral("exportAnswersAction"));
    m_exportHistoryAction =
        exportMenu->addAction(QStringLiteral("&History charts and list (PDF)..."));
    m_exportHistoryAction->setObjectName(QStringLiteral("exportHistoryAction"));
    exportMenu->addSeparator();
    m_exportReportAction =
        exportMenu->addAction(QStringLiteral("&Score report of this exam (PDF)..."));
    m_exportReportAction->setObjectName(QStringLiteral("exportReportAction"));
    m_exportReviewAction =
        exportMenu->addAction(QStringLiteral("Answer &review of this exam (PDF)..."));
    m_exportReviewAction->setObjectName(QStringLiteral("exportReviewAction"));
    m_exportButton->setMenu(exportMenu);
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
    for (QPushButton* b :
         {m_showReportButton, m_retakeMissedButton, m_retakeMarkedButton, m_timesButton,
          m_exportButton, m_deleteButton, m_deleteAllButton, m_closeButton})
        b->setAutoDefault(false);
    m_showReportButton->setDefault(true);
    row->addWidget(m_showReportButton);
    row->addWidget(m_retakeMissedButton);
    row->addWidget(m_retakeMarkedButton);
    row->addWidget(m_timesButton);
    row->addWidget(m_exportButton);
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
    connect(m_timesButton, &QPushButton::clicked, this, &HistoryWindow::showItemTimes);
    connect(m_exportAnswersAction, &QAction::triggered, this, &HistoryWindow::exportAnswers);
    connect(m_exportHistoryAction, &QAction::triggered, this, &HistoryWindow::exportHistoryPdf);
    connect(m_exportReportAction, &QAction::triggered, this, &HistoryWindow::exportReportPdf);
    connect(m_exportReviewAction, &QAction::triggered, this, &HistoryWindow::exportReviewPdf);
    connect(m_attemptList, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::enableButtons);
    connect(m_attemptList, &QTreeWidget::itemActivated, this, &HistoryWindow::showChosenReport);
    // Every button shows its whole caption: the window is never narrower
    // than the strip needs, whatever the font.
    const QMargins around = layout() ? layout()->contentsMargins() : QMargins();
    const int needed = strip->sizeHint().width() + around.left() + around.right();
    setMinimumWidth(std::max(minimumWidth(), needed));
    resize(std::max(width(), needed), height());
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
    // The averages run over the whole history, so that the first column
    // charted still averages with the attempts before it.
    std::vector<std::optional<double>> scoreValues;
    std::array<std::vector<std::optional<double>>, store::kSectionCount> sectionValues;
    for (const store::Attempt& a : m_attempts) {
        scoreValues.push_back(static_cast<double>(a.score));
        for (size_t s = 0; s < sectionValues.size(); ++s) {
            const store::SectionTally& t = a.sections[s];
            // An attempt without items of the section leaves a gap, not a 0.
            sectionValues[s].push_back(
                t.total == 0 ? std::nullopt
                             : std::optional<double>(sectionScore(t.correct, t.total).shown));
        }
    }
    const auto charted = [from](std::vector<std::optional<double>> v) {
        v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(from));
        return v;
    };
    std::vector<widgets::ChartColumn> scores;
    std::array<std::vector<widgets::ChartColumn>, store::kSectionCount> sections;
    for (size_t i = from; i < n; ++i) {
        const store::Attempt& a = m_attempts[i];
        const QString label = columnDateText(a.when);
        scores.push_back(
            {label, static_cast<double>(a.score), a.pass ? kScoreColumn : kBelowPassColumn});
        for (size_t s = 0; s < sections.size(); ++s) {
            const std::optional<double> v = sectionValues[s][i];
            sections[s].push_back({label, v, v ? passColour(*v, kSectionPassPercent) : QColor()});
        }
    }
    widgets::ColumnExtras scoreExtras;
    scoreExtras.valuesShown = true;
    scoreExtras.trend = charted(movingAverage(scoreValues));
    scoreExtras.trendColour = kTrendColour;
    scoreExtras.trendLabel = QStringLiteral("Line: average of the last 3 attempts");
    m_scoreChart->setTitle(from > 0 ? QStringLiteral("Score of the last %1 attempts").arg(n - from)
                                    : QStringLiteral("Score of every attempt"));
    m_scoreChart->setColumns(std::move(scores));
    // What the drawn values say together, for a screen reader.
    const auto lastOf = [](const std::vector<std::optional<double>>& v) {
        return v.empty() ? std::nullopt : v.back();
    };
    const auto describe = [&](const std::vector<std::optional<double>>& values,
                              const QString& unit) {
        if (values.empty())
            return QStringLiteral("No graded exam yet.");
        const std::optional<double> last = lastOf(values);
        const std::optional<double> mean = lastOf(movingAverage(values));
        if (!last)
            return QStringLiteral("The latest exam had no item of this section.");
        return QStringLiteral("Latest %1%2; average of the last 3 attempts %3%2.")
            .arg(*last)
            .arg(unit)
            .arg(std::round(*mean));
    };
    m_scoreChart->setExtras(std::move(scoreExtras));
    for (size_t s = 0; s < sections.size(); ++s) {
        widgets::ColumnExtras extras;
        extras.valuesShown = true;
        // No item of the section in that attempt: a dash, never a 0.
        extras.emptyMark = QStringLiteral("\u2013");
        extras.trend = charted(movingAverage(sectionValues[s]));
        extras.trendColour = kTrendColour;
        m_sectionCharts[s]->setColumns(std::move(sections[s]));
        m_sectionCharts[s]->setExtras(std::move(extras));
    }
    QStringList sectionSummaries;
    for (size_t s = 0; s < sectionValues.size(); ++s)
        sectionSummaries << describe(sectionValues[s], QStringLiteral(" %"));
    describeCharts(static_cast<int>(from) + 1, describe(scoreValues, QString()),
                   sectionSummaries);
}

void HistoryWindow::describeCharts(int firstNumber, const QString& scoreSummary,
                                   const QStringList& sectionSummaries)
{
    // The charts are painted: their values go to a screen reader in words,
    // each value under the attempt's number in the list and its date, then
    // what the columns say together.
    const auto said = [firstNumber](const widgets::ColumnChart* chart, const QString& unit,
                                    const QString& summary) {
        QStringList values;
        int number = firstNumber;
        for (const widgets::ChartColumn& c : chart->columns())
            values << QStringLiteral("attempt %1 (%2): %3")
                          .arg(number++)
                          .arg(c.label, c.value ? QString::number(*c.value) + unit
                                                : QStringLiteral("no items"));
        const QString listed =
            values.isEmpty() ? QStringLiteral("no attempts") : values.join(QStringLiteral("; "));
        return summary.isEmpty() ? listed : listed + QStringLiteral(". ") + summary;
    };
    widgets::describeChart(m_scoreChart, m_scoreChart->title().trimmed(),
                           said(m_scoreChart, QString(), scoreSummary));
    for (int s = 1; s <= store::kSectionCount; ++s) {
        widgets::ColumnChart* c = m_sectionCharts[s - 1];
        widgets::describeChart(c, store::sectionName(s) + QStringLiteral(" percent"),
                               said(c, QStringLiteral(" percent"),
                                    sectionSummaries.value(s - 1)));
    }
}

void HistoryWindow::setColourScheme(const widgets::ColourScheme* scheme)
{
    widgets::applySchemePalette(this, scheme);
    setBannerScheme(this, scheme);
    m_attemptReport->setColourScheme(scheme);
    // The section charts paint black text on their ground: white in high
    // contrast, the window's colour otherwise.
    for (widgets::ColumnChart* c : m_sectionCharts) {
        widgets::ChartStyle style = c->chartStyle();
        style.background = scheme ? QColor(Qt::white) : palette().color(QPalette::Window);
        c->setStyle(style);
    }
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
    m_timesButton->setEnabled(!m_attempts.empty());
    m_exportButton->setEnabled(!m_attempts.empty());
    m_exportReportAction->setEnabled(chosen);
    m_exportReviewAction->setEnabled(chosen);
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

int HistoryWindow::chosenNumber() const
{
    const store::Attempt* a = chosenAttempt();
    return a ? static_cast<int>(a - m_attempts.data()) + 1 : 0;
}

void HistoryWindow::showItemTimes()
{
    if (m_attempts.empty())
        return;
    m_itemTimes->showTimes(m_attempts, chosenAttempt(), chosenNumber());
    m_services.runModal(m_itemTimes.get());
}

QString HistoryWindow::chooseFile(const QString& caption, const QString& name,
                                  const QString& filter)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return m_services.chooseSaveFile(this, caption, QDir(folder).filePath(name), filter);
}

bool HistoryWindow::reportWriteError(const QString& path, const QString& error)
{
    m_services.message(this, platform::MsgKind::Error,
                       QStringLiteral("The file \"%1\" could not be written.\r%2")
                           .arg(QDir::toNativeSeparators(path), error),
                       platform::Ok);
    return false;
}

bool HistoryWindow::exportAnswers()
{
    if (m_attempts.empty())
        return false;
    const QString path =
        chooseFile(QStringLiteral("Export Answers"), QStringLiteral("quizlark-answers.csv"),
                   QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeFile(path, answersCsv(m_attempts, objectiveLookup()), &error))
        return reportWriteError(path, error);
    return true;
}

namespace {

// A column chart as the window shows it, on paper: on white, whatever the
// window's colour.
void paintChartOnPaper(QPainter& painter, const QRectF& rect, const widgets::ColumnChart& c,
                       widgets::ChartStyle style)
{
    style.background = Qt::white;
    if (style.titleFont.pointSizeF() < 9)
        style.titleFont.setPointSizeF(9);
    paintColumnChart(painter, rect, c.title(), QColor(0, 0, 128), c.columns(), c.columnColour(),
                     c.axis(), c.line(), style, c.extras());
}

QString historyTableHtml(const std::vector<store::Attempt>& attempts)
{
    QString h = QStringLiteral(
        "<html><body style=\"font-family: 'Liberation Sans'; font-size: 9pt;\">"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
        "<thead><tr><th>No.</th><th>Date</th><th>Exam</th><th>Name</th><th>Items</th>"
        "<th>Score</th><th>Grade</th><th>Time used</th></tr></thead>");
    for (size_t i = attempts.size(); i-- > 0;) {
        const store::Attempt& a = attempts[i];
        h += QStringLiteral("<tr><td align=\"right\">%1</td><td>%2</td><td>%3</td><td>%4</td>"
                            "<td align=\"right\">%5</td><td align=\"right\">%6</td><td>%7</td>"
                            "<td align=\"right\">%8</td></tr>")
                 .arg(i + 1)
                 .arg(attemptDateText(a.when).toHtmlEscaped(),
                      (a.userItems() ? a.title + QStringLiteral(" (user items)") : a.title)
                          .toHtmlEscaped(),
                      a.candidate.toHtmlEscaped())
                 .arg(a.itemCount)
                 .arg(a.score)
                 .arg(a.pass ? QStringLiteral("Pass") : QStringLiteral("Fail"),
                      usedTimeText(a.secondsUsed));
    }
    h += QStringLiteral("</table></body></html>");
    return h;
}

} // namespace

bool HistoryWindow::exportHistoryPdf()
{
    if (m_attempts.empty())
        return false;
    const QString path =
        chooseFile(QStringLiteral("Export History"), QStringLiteral("quizlark-history.pdf"),
                   QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (path.isEmpty())
        return false;
    QString error;
    const QString table = historyTableHtml(m_attempts);
    const QString summary = m_summaryLabel->text();
    const auto paint = [&](QPagedPaintDevice& device) {
        QPainter painter;
        if (!painter.begin(&device))
            return false;
        const double w = device.width();
        const double h = device.height();
        const double mm = device.logicalDpiY() / 25.4;
        painter.setFont(arial(14, true, false));
        painter.setPen(QColor(0, 0, 128));
        const QRectF head(0, 0, w, 10 * mm);
        painter.drawText(
            head, Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("%1 - Examination History").arg(QLatin1String(kProductName)));
        painter.setFont(arial(9, false, false));
        painter.setPen(Qt::black);
        painter.drawText(
            QRectF(0, 10 * mm, w, 6 * mm), Qt::AlignLeft | Qt::AlignVCenter,
            summary + QStringLiteral("  Printed %1.").arg(attemptDateText(m_services.now())));
        widgets::ChartStyle scoreStyle;
        scoreStyle.barFraction = 0.8;
        paintChartOnPaper(painter, QRectF(0, 18 * mm, w, 85 * mm), *m_scoreChart, scoreStyle);
        widgets::ChartStyle sectionStyle;
        sectionStyle.barFraction = 0.8;
        sectionStyle.titleFont = arial(9, false, true);
        sectionStyle.titleAlignment = Qt::AlignLeft;
        sectionStyle.titleFramed = true;
        // Two rows on paper, so that each section chart has room.
        const double gap = 3 * mm;
        const double cw = (w - 2 * gap) / 3;
        for (int s = 0; s < store::kSectionCount; ++s) {
            const QRectF r((s % 3) * (cw + gap), 108 * mm + (s / 3) * 68 * mm, cw, 64 * mm);
            paintChartOnPaper(painter, r, *m_sectionCharts[s], sectionStyle);
        }
        // The list of attempts, on as many further pages as it takes.
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&device);
        doc.setHtml(table);
        doc.setPageSize(QSizeF(w, h));
        const int pages = doc.pageCount();
        for (int p = 0; p < pages; ++p) {
            if (!device.newPage())
                return false;
            painter.save();
            painter.translate(0, -p * h);
            doc.drawContents(&painter, QRectF(0, p * h, w, h));
            painter.restore();
        }
        return painter.end();
    };
    if (!writePdf(path, QStringLiteral("Examination History"), paint, &error))
        return reportWriteError(path, error);
    return true;
}

bool HistoryWindow::exportReportPdf()
{
    const store::Attempt* a = chosenAttempt();
    if (!a)
        return false;
    const QString path =
        chooseFile(QStringLiteral("Export Score Report"),
                   QStringLiteral("quizlark-score-report-%1.pdf").arg(chosenNumber()),
                   QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (path.isEmpty())
        return false;
    m_attemptReport->showAttempt(*a);
    const ScorePrintout data = gatherScore(
        *m_attemptReport, QLocale::system().toString(dateOf(a->when), QLocale::ShortFormat));
    QString error;
    if (!writePdf(
            path, QStringLiteral("Score Report"),
            [&](QPagedPaintDevice& device) { return printScore(device, data); }, &error))
        return reportWriteError(path, error);
    return true;
}

bool HistoryWindow::exportReviewPdf()
{
    const store::Attempt* a = chosenAttempt();
    if (!a || !m_file)
        return false;
    const QString path =
        chooseFile(QStringLiteral("Export Answer Review"),
                   QStringLiteral("quizlark-answer-review-%1.pdf").arg(chosenNumber()),
                   QStringLiteral("PDF files (*.pdf);;All files (*)"));
    if (path.isEmpty())
        return false;
    QString text;
    try {
        text = reviewHtml(*a, gatherReview(m_file->session(), *a), objectiveLookup());
    } catch (const platform::TableError& e) {
        m_services.message(this, platform::MsgKind::Error, e.text(), platform::Ok);
        return false;
    }
    QString error;
    if (!writePdf(
            path, QStringLiteral("Answer Review"),
            [&](QPagedPaintDevice& device) { return paintDocument(device, text); }, &error))
        return reportWriteError(path, error);
    return true;
}

} // namespace results
