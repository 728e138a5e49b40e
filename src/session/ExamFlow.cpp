// The exam window's controller: the exam actions, the start sequences, the
// modes and their controls, navigation, ending an exam and closing.
#include "ExamWindow.h"

#include "ErrorReport.h"
#include "ExamSetBuilder.h"
#include "ItemRules.h"
#include "NameDialog.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

namespace session {

namespace {

const char* const kExamLetters = "ABCDEFG";

} // namespace

bool ExamWindow::run(const std::function<void()>& action)
{
    return platform::reportErrors(m_services, this, action);
}

void ExamWindow::startPracticeExam(int exam)
{
    const QChar letter = QLatin1Char(kExamLetters[exam - 1]);
    examTitle.clear();
    run([&] {
        prepareNameDialog(false);
        m_nameDialog->setWindowTitle(QStringLiteral("Begin Practice Exam %1").arg(letter));
        examTitle = QStringLiteral("Practice Exam %1").arg(letter);
        m_qset->setFilter(QStringLiteral("Q_EXAM_N=%1").arg(exam));
    });
    beginExam();
}

void ExamWindow::startAllQuestions()
{
    examTitle.clear();
    run([&] {
        prepareNameDialog(false);
        m_nameDialog->setWindowTitle(QStringLiteral("Take All Questions"));
        examTitle = QStringLiteral("All Questions");
        m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    beginExam();
}

int ExamWindow::countUnderFilter()
{
    // Still open from preparing the name dialog: no second read of the file.
    m_qset->setFiltered(true);
    m_qset->open();
    return m_qset->recordCount();
}

void ExamWindow::startRandomExam()
{
    int candidates = 0;
    const bool ok = run([&] {
        m_nameDialog->setWindowTitle(QStringLiteral("Random Exam"));
        candidates = prepareNameDialog(true);
        examTitle = QStringLiteral("Random Exam");
        m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    if (!ok)
        return;
    // No bank item is in any exam: there is nothing to draw from.
    if (candidates == 0) {
        m_qset->close();
        showNoItemsMessage();
        return;
    }
    // The time box is not preset here: it shows what it showed last.
    startBankExam([&] {
        return m_builder->buildRandomSet(*m_qset, *m_currentSet, m_nameDialog->questionCount());
    });
}

void ExamWindow::startUserExam()
{
    bool empty = false;
    const bool ok = run([&] {
        m_userSet->open();
        if (m_userSet->isEmpty()) {
            m_userSet->close();
            empty = true;
            return;
        }
        try {
            store::checkUserItemsAnswerable(*m_userSet);
        } catch (...) {
            m_userSet->close();
            throw;
        }
    });
    if (!ok)
        return;
    if (empty) {
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("User defined question set is empty!"), platform::Ok);
        return;
    }
    if (!run([&] {
            prepareNameDialog(false);
            m_qset->close();
            m_nameDialog->setWindowTitle(QStringLiteral("User Exam"));
            examTitle = QStringLiteral("User Exam");
        }))
        return;
    beginUserExam();
}

int ExamWindow::prepareNameDialog(bool countEnabled)
{
    m_qset->setFilter(QStringLiteral("Q_EXAM_N<>0"));
    m_qset->setFiltered(true);
    m_qset->open();
    const int candidates = m_qset->recordCount();
    // The bank stays open for the count under the exam's filter and for the
    // build; it is closed when the exam is not taken after all.
    m_nameDialog->setQuestionCount(candidates, countEnabled);
    return candidates;
}

void ExamWindow::showNoItemsMessage()
{
    m_services.message(this, platform::MsgKind::Information,
                       QStringLiteral("This exam has no items."), platform::Ok);
}

void ExamWindow::beginExam()
{
    if (examTitle.isEmpty() || m_qset->filter().isEmpty())
        return; // preparing the name dialog failed and was reported
    int items = 0;
    if (!run([&] { items = countUnderFilter(); })) {
        m_qset->close();
        return;
    }
    if (items == 0) {
        // Never show item 1 of 0: say so before asking for a name.
        m_qset->close();
        showNoItemsMessage();
        m_qset->setFilter(QString());
        return;
    }
    m_nameDialog->setTimeMinutes(defaultTime);
    startBankExam([&] { return m_builder->buildExamSet(*m_qset, *m_currentSet); });
}

void ExamWindow::beginUserExam()
{
    m_nameDialog->setTimeMinutes(defaultTime);
    if (!takeNameDialog())
        return;
    // User items have no simulations, so the simulation windows keep theirs.
    buildAndStart(
        [&] {
            m_userSet->open();
            return m_builder->buildUserSet(*m_userSet, *m_currentSet);
        },
        true);
}

void ExamWindow::startBankExam(const std::function<store::BuildResult()>& build)
{
    if (!takeNameDialog()) {
        m_qset->close();
        return;
    }
    if (m_resetSimulations)
        m_resetSimulations();
    buildAndStart(
        [&] {
            m_qset->setFiltered(true);
            m_qset->open();
            return build();
        },
        false);
}

bool ExamWindow::takeNameDialog()
{
    if (m_services.runModal(m_nameDialog) != QDialog::Accepted)
        return false;
    candidateName = m_nameDialog->candidateName();
    timeLimit = m_nameDialog->timeMinutes() / 1440.0;
    return true;
}

void ExamWindow::buildAndStart(const std::function<store::BuildResult()>& build, bool userExam)
{
    m_examTitleLabel->setText(examTitle);
    // Idle while the set is written, so that no item is shown half-built.
    mode = ModeIdle;
    std::vector<qint64> prints;
    const bool built = run([&] {
        store::BuildResult r = build();
        firstItemNumber = r.firstItemNumber;
        itemCount = r.itemCount;
        prints = std::move(r.prints);
        store::ExamSetBuilder::resetResponses(*m_currentSet, responses);
        noteSourceItems(userExam);
    });
    if (!built || itemCount == 0) {
        if (built)
            showNoItemsMessage();
        closeCurrentExam();
        return;
    }
    keepNewExam(userExam, prints);
    mode = ModeExam;
    m_graded = false;
    m_endRequested = false;
    enterExamMode();
    if (userExam)
        m_noteButton->hide();
    run([&] { m_currentSet->first(); });
    startExamTimer();
}

void ExamWindow::enterExamMode()
{
    m_startPanel->hide();
    m_itemArea->show();
    m_itemArea->setEnabled(true);
    m_buttonStrip->show();
    m_productBanner->hide();
    m_itemCounterLabel->show();
    m_itemIdLabel->show();
    m_markBox->show();
    m_examTitleLabel->show();
    m_timeLabel->show();
    m_reviewLabel->hide();
    m_verdictLabel->hide();
    m_gradeButton->setText(QStringLiteral("Grade Now"));
    m_examsMenu->menuAction()->setEnabled(false);
    m_printItemAction->setEnabled(true);
    m_printExamAction->setEnabled(true);
    m_learnButton->setEnabled(true);
}

void ExamWindow::enterReviewMode()
{
    m_markBox->hide();
    m_timeLabel->hide();
    m_learnButton->setEnabled(false);
    m_verdictLabel->show();
    m_reviewLabel->show();
}

void ExamWindow::closeCurrentExam()
{
    mode = ModeIdle;
    m_graded = false;
    m_endRequested = false;
    m_qset->setFilter(QString());
    m_qset->setFiltered(false);
    m_qset->close();
    m_currentSet->close();
    m_userSet->close();
    m_buttonStrip->hide();
    m_productBanner->show();
    m_examsMenu->menuAction()->setEnabled(true);
    m_itemCounterLabel->hide();
    m_itemIdLabel->hide();
    m_verdictLabel->hide();
    m_markBox->hide();
    m_examTitleLabel->hide();
    m_timeLabel->hide();
    m_examTimer->setEnabled(false);
    m_reviewLabel->hide();
    m_printItemAction->setEnabled(false);
    m_printExamAction->setEnabled(false);
    m_itemArea->hide();
    m_startPanel->show();
    m_noteButton->show();
    arrangeStartButtons();
}

void ExamWindow::showPreviousItem()
{
    run([&] { m_currentSet->prior(); });
}

void ExamWindow::showNextItem()
{
    run([&] { m_currentSet->next(); });
}

void ExamWindow::exitExam()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure you wish to end this exam?"),
                           platform::Yes | platform::No) == platform::Yes) {
        dropKeptExam();
        closeCurrentExam();
    }
}

void ExamWindow::closeEvent(QCloseEvent* event)
{
    // Only a running exam asks before closing.
    if (mode == ModeExam &&
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("This exam is not completed.\rAre you shure ?"),
                           platform::Ok | platform::Cancel) != platform::Ok) {
        event->ignore();
        return;
    }
    // The window is only hidden, idle, for the next Start Testing.
    closeCurrentExam();
    event->accept();
}

} // namespace session
