#pragma once

#include "BarChart.h"
#include "Drills.h"
#include "Responses.h"
#include "Scoring.h"

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QScrollArea;

namespace widgets {
class ShadowLabel;
} // namespace widgets

namespace platform {
class Services;
} // namespace platform

namespace widgets {
struct ColourScheme;
} // namespace widgets

namespace results {

using exam::SectionScore;
using exam::TotalScore;

inline constexpr const char* kProductName = "Quizlark TCP/IP 4.0";

// The score report. It grades nothing by itself: showResults() is handed the
// responses, and what the candidate chooses goes back through the signals.
class ScoreReport final : public QDialog {
    Q_OBJECT
public:
    explicit ScoreReport(platform::Services& services, QWidget* parent = nullptr);

    // Grades the responses and fills the charts and the score line.
    void showResults(const QString& candidateName, const QString& examTitle,
                     const store::Responses& responses);
    void computeTotalScore(const QString& candidateName, const QString& examTitle,
                           const store::Responses& responses);
    void computeSectionScores(const store::Responses& responses);
    // The figures of a graded exam from the history, as they were shown then.
    void showAttempt(const store::Attempt& attempt);

    // A report of an earlier exam: it can be printed and closed, nothing more.
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }

    const TotalScore& lastScore() const { return m_score; }
    // CandidateName,  product,  ExamTitle: the total chart's title and the
    // printed heading.
    static QString headingText(const QString& candidateName, const QString& examTitle);
    static QString scoreText(const TotalScore& score);
    // A section's result as a screen reader says it:
    // "Planning: 3 of 5 correct, 60 percent".
    static QString sectionResultText(int section, const SectionScore& score);

    // The high-contrast scheme, or null for the design's colours.
    void setColourScheme(const widgets::ColourScheme* scheme);

    widgets::ShadowLabel* m_bannerLabel;
    widgets::BarChart* m_totalChart;
    QLabel* m_totalLabel;
    QScrollArea* m_sectionArea;
    widgets::BarChart* m_sectionChart;
    QPushButton* m_viewAnswersButton;
    QPushButton* m_printReportButton;
    QPushButton* m_exitExamButton;
    // Drills on the exam just graded, offered as one button with a menu.
    QPushButton* m_drillsButton;
    QAction* m_retakeMissedAction;
    QAction* m_retakeMarkedAction;
    // Results by objective of the exam just graded, in the same menu, so that
    // the report itself looks as it always did.
    QAction* m_objectiveResultsAction;

public slots:
    void viewAnswers();
    void printReport();
    void exitExam();

signals:
    void viewAnswersRequested();
    void exitExamRequested();
    void printReportRequested();
    void drillRequested(store::DrillKind kind);
    void objectiveResultsRequested();

protected:
    // Without a Cancel button or a close box, Escape and a close request
    // from the desktop leave the report open; a report of the history closes.
    void reject() override
    {
        if (m_readOnly)
            QDialog::reject();
    }
    // Each report opens on its default button, whatever had the focus when
    // the last one closed.
    void showEvent(QShowEvent* event) override;

private:
    void showTotal(const QString& candidateName, const QString& examTitle);
    void showSections(const std::array<SectionScore, store::kSectionCount>& tally);

    platform::Services& m_services;
    TotalScore m_score{0.0L, 0, false};
    bool m_readOnly = false;
};

} // namespace results
