// The exam countdown and grading's entry point.
#include "ExamWindow.h"

#include "CountingServices.h"

#include "ItemsReview.h"
#include "NoteWindow.h"
#include "ScoreReport.h"
#include "Services.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

namespace session {

namespace {

// Time is a fraction of a day; whole minutes, rounded up, so that the
// last seconds read as one minute left.
QString minutesLeftName(exam::Seconds left)
{
    const long long minutes = (std::max<long long>(0, left.count()) + 59) / 60;
    return QStringLiteral("Time left: %1 minutes").arg(minutes);
}

} // namespace

void ExamWindow::startExamTimer()
{
    const bool on = m_timerOn && mode() == ModeExam;
    m_exam->setTimed(m_timerOn);
    m_timeLabel->setVisible(on);
    m_timeLabel->setText(exam::formatDuration(m_exam->timeLimit().count() / 86400.0));
    m_timeLabel->setAccessibleName(minutesLeftName(m_exam->timeLimit()));
}

void ExamWindow::showTimeLeft(exam::Seconds left)
{
    m_timeLabel->setText(exam::formatDuration(left.count() / 86400.0));
    if (const QString name = minutesLeftName(left); name != m_timeLabel->accessibleName())
        m_timeLabel->setAccessibleName(name);
}

void ExamWindow::timeExpired()
{
    // Time running out never acts behind a window open over the exam window:
    // that window stays and finishes as it would (a simulation's OK, a note's
    // Save), and an end asked for here comes once the candidate is back.
    const bool overAnotherWindow = anotherWindowOpen();
    // Over the window it interrupts: a question of the exam window's own
    // would bring the exam window up and hide that window until answered.
    QWidget* over = m_countingServices->topWindow();
    const platform::MsgButton answer = m_services.message(
        over ? over : this, platform::MsgKind::Information,
        QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
        platform::No | platform::Ok | platform::EscapeAnswersOk);
    if (answer != platform::No) {
        m_timeLabel->hide();
        // Kept, so that a resumed exam does not run out a second time.
        m_exam->continueUntimed();
        return;
    }
    if (overAnotherWindow)
        m_endRequested = true;
    else
        gradeOrShowReport();
}

void ExamWindow::endExamAfterExpiry()
{
    if (!m_endRequested || m_countingServices->openWindows() > 0)
        return;
    m_endRequested = false;
    if (mode() == ModeExam)
        gradeOrShowReport();
}

void ExamWindow::gradeOrShowReport()
{
    if (anotherWindowOpen())
        return;
    if (mode() == ModeReview) {
        gradeExam();
        return;
    }
    if (mode() == ModeExam &&
        m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("This will end your practice exam.\rAre you sure to end "
                                          "this exam?"),
                           platform::Ok | platform::Cancel) == platform::Ok)
        gradeExam();
}

void ExamWindow::gradeExam()
{
    if (mode() == ModeExam) {
        m_endRequested = false;
        m_timeLabel->hide();
        // Recorded in the history before the report says anything; once per
        // exam, since asking for the grading again changes no answer.
        if (!m_exam->isGraded()) {
            const QString error = m_exam->grade();
            if (!error.isEmpty())
                m_services.message(this, platform::MsgKind::Warning,
                                   QStringLiteral("This exam could not be added to the history. "
                                                  "It is kept, and offered again at the next "
                                                  "Start Testing.\r") +
                                       error,
                                   platform::Ok);
        }
        if (m_scoreReport)
            m_scoreReport->showResults(m_exam->candidate(), m_exam->title(), m_exam->responses());
        m_itemArea->hide();
        m_gradeButton->setText(QStringLiteral("Score Report"));
    }
    if (m_scoreReport)
        m_services.runModal(m_scoreReport);
    // A drill chosen in the report starts once the report has closed.
    startPendingDrill();
}

void ExamWindow::setScoreReport(results::ScoreReport* form)
{
    m_scoreReport = form;
    connect(form, &results::ScoreReport::viewAnswersRequested, this, &ExamWindow::viewAnswers);
    connect(form, &results::ScoreReport::exitExamRequested, this, &ExamWindow::closeCurrentExam);
    connect(form, &results::ScoreReport::printReportRequested, this, &ExamWindow::printScoreReport);
    connect(form, &results::ScoreReport::drillRequested, this, [this](store::DrillKind kind) {
        if (m_exam->lastAttempt() && offerDrill(*m_exam->lastAttempt(), kind, m_scoreReport))
            m_scoreReport->done(QDialog::Accepted);
    });
    connect(form, &results::ScoreReport::objectiveResultsRequested, this,
            &ExamWindow::showAttemptObjectives);
}

void ExamWindow::viewAnswers()
{
    enterReviewMode();
    m_learnButton->setEnabled(false);
    run([&] { m_exam->enterReview(); });
}

void ExamWindow::setItemsReview(results::ItemsReview* form)
{
    m_itemsReview = form;
    connect(form, &results::ItemsReview::goToItemRequested, this,
            [this](int item) { run([&] { m_exam->goToItem(item); }); });
}

void ExamWindow::openItemsReview()
{
    if (!m_itemsReview || anotherWindowOpen())
        return;
    if (mode() == ModeExam)
        m_itemsReview->fillProgressList(m_exam->responses());
    else if (mode() == ModeReview)
        m_itemsReview->fillResultList(m_exam->responses());
    m_services.runModal(m_itemsReview);
}

void ExamWindow::setNoteWindow(results::NoteWindow* form)
{
    m_noteWindow = form;
    form->bindTables(&currentSet(), currentSetSource(), &bank());
    form->setDraftKeeper([this](const QString& text) { m_exam->keepNoteDraft(text); });
}

void ExamWindow::openNote()
{
    if (!m_noteWindow || !currentSet().isOpen() || anotherWindowOpen())
        return;
    m_noteWindow->prepare(m_exam->title(), m_exam->noteDraft());
    m_services.runModal(m_noteWindow);
}

} // namespace session
