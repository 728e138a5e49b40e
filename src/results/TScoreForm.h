#pragma once

#include "BarChart.h"
#include "Responses.h"
#include "Scoring.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollArea;

namespace platform {
class Services;
class ShadowLabel;
} // namespace platform

namespace results {

inline constexpr const char* kProductName = "Quizlark TCP/IP 4.0";

// The score report. It grades nothing by itself: showResults() is handed the
// responses, and what the candidate chooses goes back through the signals.
class TScoreForm final : public QDialog {
    Q_OBJECT
public:
    explicit TScoreForm(platform::Services& services, QWidget* parent = nullptr);

    // Grades the responses and fills the charts and the score line.
    void showResults(const QString& candidateName, const QString& examTitle,
                     const store::Responses& responses);
    void ComputeTotalScore(const QString& candidateName, const QString& examTitle,
                           const store::Responses& responses);
    void ComputeSectionScores(const store::Responses& responses);

    const TotalScore& lastScore() const { return m_score; }
    // CandidateName,  product,  ExamTitle: the total chart's title and the
    // printed heading.
    static QString headingText(const QString& candidateName, const QString& examTitle);
    static QString scoreText(const TotalScore& score);

    platform::ShadowLabel* Label1;
    platform::BarChart* TotalChart;
    QLabel* TotalLabel;
    QScrollArea* ScrollBox1;
    platform::BarChart* Chart1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

signals:
    void viewAnswersRequested();
    void exitExamRequested();
    void printReportRequested();

protected:
    // Without a Cancel button or a close box, Escape and a close request
    // from the desktop leave the report open.
    void reject() override {}

private:
    platform::Services& m_services;
    TotalScore m_score{0.0L, 0, false};
};

} // namespace results
