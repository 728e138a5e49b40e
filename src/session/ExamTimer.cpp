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
QString minutesLeftName(double daysLeft)
{
    const long long minutes = (std::llround(std::max(0.0, daysLeft) * 86400.0) + 59) / 60;
    return QStringLiteral("Time left: %1 minutes").arg(minutes);
}

} // namespace

void ExamWindow::startExamTimer()
{
    const bool on = timerOn && mode == ModeExam;
    m_timeLabel->setVisible(on);
    m_timeLabel->setText(formatDuration(timeLimit));
    m_timeLabel->setAccessibleName(minutesLeftName(timeLimit));
    m_examTimer->setEnabled(on);
    m_examTimer->reset();
}

void ExamWindow::countDown()
{
    elapsedTime = parseDuration(m_examTimer->elapsed());
    m_timeLabel->setText(formatDuration(timeLimit - elapsedTime));
    if (const QString name = minutesLeftName(timeLimit - elapsedTime);
        name != m_timeLabel->accessibleName())
        m_timeLabel->setAccessibleName(name);
    // Compared at whole seconds, as the text shows them.
    if (std::llround(elapsedTime * 86400.0) >= std::llround(timeLimit * 86400.0)) {
        m_examTimer->reset();
        m_examTimer->setEnabled(false);
        timeExpired();
    }
}

void ExamWindow::timeExpired()
{
    // Time running out never acts behind a window open over the exam window:
    // that window stays and finishes as it would (a simulation's OK, a note's
    // Save), and an end asked for here comes once the candidate is back.
    const bool overAnotherWindow = m_countingServices->openWindows() > 0;
    const platform::MsgButton answer = m_services.message(
        this, platform::MsgKind::Information,
        QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
        platform::No | platform::Ok | platform::EscapeAnswersOk);
    if (answer != platform::No) {
        m_timeLabel->hide();
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
    if (mode == ModeExam)
        gradeOrShowReport();
}

void ExamWindow::gradeOrShowReport()
{
    if (mode == ModeReview) {
        gradeExam();
        return;
    }
    if (mode == ModeExam &&
        m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("This will end your practice exam.\rAre you sure to end "
                                          "this exam?"),
                           platform::Ok | platform::Cancel) == platform::Ok)
        gradeExam();
}

void ExamWindow::gradeExam()
{
    if (mode == ModeExam) {
        const bool firstGrading = !m_graded;
        m_graded = true;
        m_endRequested = false;
        dropKeptExam();
        m_timeLabel->hide();
        m_examTimer->setEnabled(false);
        // ComputeTotalScore and ComputeSectionScores fill the report.
        if (m_scoreReport)
            m_scoreReport->showResults(candidateName, examTitle, responses);
        m_itemArea->hide();
        m_gradeButton->setText(QStringLiteral("Score Report"));
        // Once per exam: asking for the grading again changes no answer.
        if (firstGrading)
            recordAttempt();
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
        if (m_lastAttempt && offerDrill(*m_lastAttempt, kind, m_scoreReport))
            m_scoreReport->done(QDialog::Accepted);
    });
}

void ExamWindow::viewAnswers()
{
    mode = ModeReview;
    enterReviewMode();
    m_learnButton->setEnabled(false);
    run([&] { m_currentSet->first(); });
}

void ExamWindow::setItemsReview(results::ItemsReview* form)
{
    m_itemsReview = form;
    connect(form, &results::ItemsReview::goToItemRequested, this,
            [this](int item) { run([&] { m_currentSet->setRecNo(item); }); });
}

void ExamWindow::openItemsReview()
{
    if (!m_itemsReview)
        return;
    if (mode == ModeExam)
        m_itemsReview->fillProgressList(responses);
    else if (mode == ModeReview)
        m_itemsReview->fillResultList(responses);
    m_services.runModal(m_itemsReview);
}

void ExamWindow::setNoteWindow(results::NoteWindow* form)
{
    m_noteWindow = form;
    form->bindTables(m_currentSet.get(), m_dsCurrentSet, m_qset.get());
}

void ExamWindow::openNote()
{
    if (!m_noteWindow || !m_currentSet->isOpen())
        return;
    m_noteWindow->prepare(examTitle);
    m_services.runModal(m_noteWindow);
}

} // namespace session
