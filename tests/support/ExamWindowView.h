#pragma once

// The exam window's controls as a test reaches them: by objectName, as a
// screen reader or a user would find them, never through the window's
// members.
#include "ExamWindow.h"
#include "RunButton.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"

#include <QAction>
#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <stdexcept>

namespace testing {

struct ExamWindowView {
    explicit ExamWindowView(const QObject* w)
    {
        find(w, m_headerPanel, "headerPanel");
        find(w, m_productBanner, "productBanner");
        find(w, m_itemCounterLabel, "itemCounterLabel");
        find(w, m_itemIdLabel, "itemIdLabel");
        find(w, m_markBox, "markBox");
        find(w, m_verdictLabel, "verdictLabel");
        find(w, m_examTitleLabel, "examTitleLabel");
        find(w, m_timeLabel, "timeLabel");
        find(w, m_reviewLabel, "reviewLabel");
        find(w, m_startPanel, "startPanel");
        find(w, m_allQuestionsButton, "allQuestionsButton");
        find(w, m_randomExamButton, "randomExamButton");
        find(w, m_userExamButton, "userExamButton");
        find(w, m_itemArea, "itemArea");
        find(w, m_itemContent, "itemContent");
        find(w, m_questionPanel, "questionPanel");
        find(w, m_questionText, "questionText");
        find(w, m_exhibit1Button, "exhibit1Button");
        find(w, m_exhibit2Button, "exhibit2Button");
        find(w, m_simulationButton, "simulationButton");
        find(w, m_calculatorButton, "calculatorButton");
        find(w, m_explanationText, "explanationText");
        find(w, m_buttonStrip, "buttonStrip");
        find(w, m_previousButton, "previousButton");
        find(w, m_nextButton, "nextButton");
        find(w, m_learnButton, "learnButton");
        find(w, m_itemsReviewButton, "itemsReviewButton");
        find(w, m_noteButton, "noteButton");
        find(w, m_gradeButton, "gradeButton");
        find(w, m_exitExamButton, "exitExamButton");
        find(w, m_examsMenu, "examsMenu");
        find(w, m_optionsAction, "optionsAction");
        find(w, m_printItemAction, "printItemAction");
        find(w, m_printExamAction, "printExamAction");
        find(w, m_exitAction, "exitAction");
        find(w, m_aboutAction, "aboutAction");
        find(w, m_allQuestionsAction, "allQuestionsAction");
        find(w, m_randomExamAction, "randomExamAction");
        find(w, m_userExamAction, "userExamAction");
        find(w, m_historyAction, "historyAction");
        find(w, m_weakestSectionAction, "weakestSectionAction");
        for (int i = 0; i < 6; ++i) {
            find(w, m_choiceRadios[i], QStringLiteral("choiceRadios%1").arg(i + 1));
            find(w, m_choiceBoxes[i], QStringLiteral("choiceBoxes%1").arg(i + 1));
            find(w, m_choiceLabels[i], QStringLiteral("choiceLabels%1").arg(i + 1));
        }
        for (int i = 0; i < 7; ++i) {
            const QChar letter(u'A' + i);
            find(w, m_practiceExamActions[i], QStringLiteral("practiceExam%1").arg(letter));
            find(w, m_practiceExamButtons[i], QStringLiteral("practiceExam%1Button").arg(letter));
        }
    }

    QWidget* m_headerPanel = nullptr;
    widgets::ShadowLabel* m_productBanner = nullptr;
    widgets::ShadowLabel* m_itemCounterLabel = nullptr;
    QLabel* m_itemIdLabel = nullptr;
    QCheckBox* m_markBox = nullptr;
    widgets::ShadowLabel* m_verdictLabel = nullptr;
    QLabel* m_examTitleLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_reviewLabel = nullptr;
    QWidget* m_startPanel = nullptr;
    widgets::ShapeButton* m_practiceExamButtons[7] = {};
    widgets::ShapeButton* m_allQuestionsButton = nullptr;
    widgets::ShapeButton* m_randomExamButton = nullptr;
    widgets::ShapeButton* m_userExamButton = nullptr;
    QScrollArea* m_itemArea = nullptr;
    QWidget* m_itemContent = nullptr;
    QWidget* m_questionPanel = nullptr;
    QLabel* m_questionText = nullptr;
    QPushButton* m_exhibit1Button = nullptr;
    QPushButton* m_exhibit2Button = nullptr;
    QPushButton* m_simulationButton = nullptr;
    session::RunButton* m_calculatorButton = nullptr;
    QRadioButton* m_choiceRadios[6] = {};
    QCheckBox* m_choiceBoxes[6] = {};
    session::ClickLabel* m_choiceLabels[6] = {};
    QLabel* m_explanationText = nullptr;
    QWidget* m_buttonStrip = nullptr;
    QPushButton* m_previousButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_learnButton = nullptr;
    QPushButton* m_itemsReviewButton = nullptr;
    QPushButton* m_noteButton = nullptr;
    QPushButton* m_gradeButton = nullptr;
    QPushButton* m_exitExamButton = nullptr;
    QMenu* m_examsMenu = nullptr;
    QAction* m_optionsAction = nullptr;
    QAction* m_printItemAction = nullptr;
    QAction* m_printExamAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_practiceExamActions[7] = {};
    QAction* m_allQuestionsAction = nullptr;
    QAction* m_randomExamAction = nullptr;
    QAction* m_userExamAction = nullptr;
    QAction* m_historyAction = nullptr;
    QAction* m_weakestSectionAction = nullptr;

private:
    template <typename T> static void find(const QObject* w, T*& control, const QString& name)
    {
        control = w->findChild<T*>(name);
        if (!control)
            throw std::logic_error(("no control named " + name).toStdString());
    }
    template <typename T> static void find(const QObject* w, T*& control, const char* name)
    {
        find(w, control, QString::fromLatin1(name));
    }
};

// The view of a window, found once and kept while the window lives.
inline const ExamWindowView& view(const session::ExamWindow& w)
{
    static QHash<const QObject*, ExamWindowView*> views;
    if (ExamWindowView* v = views.value(&w))
        return *v;
    auto* v = new ExamWindowView(&w);
    views.insert(&w, v);
    QObject::connect(&w, &QObject::destroyed,
                     [p = static_cast<const QObject*>(&w)] { delete views.take(p); });
    return *v;
}

} // namespace testing
