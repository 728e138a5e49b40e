#pragma once

#include "ColumnChart.h"
#include "Drills.h"
#include "History.h"
#include "HistoryExport.h"

#include <QDialog>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace widgets {
class ShadowLabel;
struct ColourScheme;
} // namespace widgets

namespace platform {
class Services;
} // namespace platform

namespace results {

class ScoreReport;
class ItemTimesWindow;

// The record of every graded exam: the trend of the score and of each
// section over the attempts, the attempts newest first, and from a chosen
// attempt its score report again and the drills on it. It starts no exam: a
// drill goes out through drillRequested(), and the exam window acts.
class HistoryWindow final : public QDialog {
    Q_OBJECT
public:
    // The charts show this many of the newest attempts.
    static constexpr int kChartedAttempts = 30;

    explicit HistoryWindow(platform::Services& services, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    void setHistoryFile(store::HistoryFile* file) { m_file = file; }
    // Where the exports find each item's objective; none: the column is empty.
    void setObjectiveLookup(ObjectiveLookup lookup) { m_objective = std::move(lookup); }
    // Or a source asked afresh at each export, so that the user set's items
    // are looked up as they stand then.
    void setObjectiveSource(std::function<ObjectiveLookup()> source)
    {
        m_objectiveSource = std::move(source);
    }
    // Reads the history again. A file that cannot be read is reported over
    // messageParent (this window when null), and the window then has nothing
    // to show: false.
    bool reload(QWidget* messageParent = nullptr);
    // The high-contrast scheme, or null for the design's colours.
    void setColourScheme(const widgets::ColourScheme* scheme);
    // Oldest first, as the file holds them.
    const std::vector<store::Attempt>& attempts() const { return m_attempts; }
    // The attempt of the chosen row, or null.
    const store::Attempt* chosenAttempt() const;
    // Row 0 is the newest attempt.
    void chooseRow(int row);

    // The score report of an earlier attempt, read only.
    ScoreReport* attemptReport() const { return m_attemptReport.get(); }
    ItemTimesWindow* itemTimesWindow() const { return m_itemTimes.get(); }

    widgets::ShadowLabel* m_bannerLabel;
    widgets::ColumnChart* m_scoreChart;
    widgets::ColumnChart* m_sectionCharts[store::kSectionCount];
    QTreeWidget* m_attemptList;
    QLabel* m_summaryLabel;
    QPushButton* m_showReportButton;
    QPushButton* m_retakeMissedButton;
    QPushButton* m_retakeMarkedButton;
    QPushButton* m_timesButton;
    QPushButton* m_exportButton;
    QAction* m_exportAnswersAction;
    QAction* m_exportHistoryAction;
    QAction* m_exportReportAction;
    QAction* m_exportReviewAction;
    QPushButton* m_objectivesButton;
    QPushButton* m_deleteButton;
    QPushButton* m_deleteAllButton;
    QPushButton* m_closeButton;

public slots:
    void showChosenReport();
    void retakeMissed();
    void retakeMarked();
    void showObjectiveResults();
    void deleteChosenAttempt();
    void deleteWholeHistory();
    void showItemTimes();
    // Each asks for a file name and writes the file; false when nothing was
    // written (cancelled, or failed and said so).
    bool exportAnswers();
    bool exportHistoryPdf();
    bool exportReportPdf();
    bool exportReviewPdf();

signals:
    void drillRequested(const store::Attempt& attempt, store::DrillKind kind);
    // Results by objective over the whole history.
    void objectiveResultsRequested();
    // `when` is the attempt's date, for the printed page.
    void printReportRequested(results::ScoreReport* report, double when);

private:
    void describeCharts(int firstNumber, const QString& scoreSummary,
                        const QStringList& sectionSummaries);
    void fill();
    void fillCharts();
    void enableButtons();
    QString chooseFile(const QString& caption, const QString& name, const QString& filter);
    bool reportWriteError(const QString& path, const QString& error);
    int chosenNumber() const;

    platform::Services& m_services;
    store::HistoryFile* m_file = nullptr;
    std::vector<store::Attempt> m_attempts;
    // The file could not be read at all: only Delete All is offered.
    bool m_unreadable = false;
    std::unique_ptr<ScoreReport> m_attemptReport;
    double m_reportWhen = 0;
    std::unique_ptr<ItemTimesWindow> m_itemTimes;
    ObjectiveLookup m_objective;
    std::function<ObjectiveLookup()> m_objectiveSource;
    ObjectiveLookup objectiveLookup() const
    {
        return m_objectiveSource ? m_objectiveSource() : m_objective;
    }
};

// Per value, the mean of the values present among it and the window - 1
// before it; none where the value itself is none.
std::vector<std::optional<double>> movingAverage(const std::vector<std::optional<double>>& values,
                                                 int window = 3);

// The date and time of an attempt in the user's short format.
QString attemptDateText(double when);
// A duration in seconds as h:mm:ss.
QString usedTimeText(int seconds);

} // namespace results
