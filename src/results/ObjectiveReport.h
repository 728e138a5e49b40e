#pragma once

#include "ObjectiveResults.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace widgets {
class ShadowLabel;
} // namespace widgets

namespace results {

// Results by objective: per objective, the items answered, the share right
// and a bar, weakest first, with the objective's wording; over one attempt
// or over the whole history, which also shows the readiness estimate. It
// only shows what it is handed.
class ObjectiveReport final : public QDialog {
    Q_OBJECT
public:
    enum Column { ObjectiveColumn, AnsweredColumn, CorrectColumn, BarColumn, ColumnCount };

    explicit ObjectiveReport(QWidget* parent = nullptr);

    // heading: what the figures are of ("Practice Exam C", "All 12 graded
    // exams"); readiness: a line above the list, none when empty.
    void showBreakdown(const QString& heading, const learning::ObjectiveBreakdown& breakdown,
                       const QString& readiness = {});

    widgets::ShadowLabel* m_bannerLabel;
    QLabel* m_headingLabel;
    QLabel* m_readinessLabel;
    QTreeWidget* m_objectiveList;
    QLabel* m_noteLabel;
    QPushButton* m_closeButton;
};

} // namespace results
