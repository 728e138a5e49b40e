// The exam countdown and grading's entry point.
#include "TTestForm.h"

#include "Services.h"
#include "TNoteForm.h"
#include "TReviewForm.h"
#include "TScoreForm.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <cmath>

namespace session {

void TTestForm::StartExamTimer()
{
    const bool on = TimerOn && Mode == ModeExam;
    TimeLabel->setVisible(on);
    TimeLabel->setText(formatDuration(TimeLimit));
    Timer1->setEnabled(on);
    Timer1->Reset();
}

void TTestForm::Timer1Timer()
{
    ElapsedTime = parseDuration(Timer1->Elapsed());
    TimeLabel->setText(formatDuration(TimeLimit - ElapsedTime));
    // Compared at whole seconds, as the text shows them.
    if (std::llround(ElapsedTime * 86400.0) >= std::llround(TimeLimit * 86400.0)) {
        Timer1->Reset();
        Timer1->setEnabled(false);
        TimeExpired();
    }
}

void TTestForm::TimeExpired()
{
    const platform::MsgButton answer = m_services.message(
        this, platform::MsgKind::Information,
        QStringLiteral("Your time has expired.\rDo you want continue the exam anyway?"),
        platform::No | platform::Ok);
    if (answer == platform::No)
        GradeButtonClick();
    else
        TimeLabel->hide();
}

void TTestForm::GradeButtonClick()
{
    if (Mode == ModeReview) {
        GradeExam();
        return;
    }
    if (Mode == ModeExam &&
        m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("This will end your practice exam.\rAre you sure to end "
                                          "this exam?"),
                           platform::Ok | platform::Cancel) == platform::Ok)
        GradeExam();
}

void TTestForm::GradeExam()
{
    if (Mode == ModeExam) {
        TimeLabel->hide();
        Timer1->setEnabled(false);
        // ComputeTotalScore and ComputeSectionScores fill the report.
        if (m_scoreForm)
            m_scoreForm->showResults(CandidateName, ExamTitle, Responses);
        ScrollBox1->hide();
        GradeButton->setText(QStringLiteral("Score Report"));
    }
    if (m_scoreForm)
        m_services.runModal(m_scoreForm);
}

void TTestForm::setScoreForm(results::TScoreForm* form)
{
    m_scoreForm = form;
    connect(form, &results::TScoreForm::viewAnswersRequested, this, &TTestForm::viewAnswers);
    connect(form, &results::TScoreForm::exitExamRequested, this, &TTestForm::CloseCurrentExam);
    connect(form, &results::TScoreForm::printReportRequested, this, &TTestForm::ScorePrintClick);
}

void TTestForm::viewAnswers()
{
    Mode = ModeReview;
    ReviewControls();
    LearnButton->setEnabled(false);
    run([&] { m_currentSet->first(); });
}

void TTestForm::setReviewForm(results::TReviewForm* form)
{
    m_reviewForm = form;
    connect(form, &results::TReviewForm::goToItemRequested, this,
            [this](int item) { run([&] { m_currentSet->setRecNo(item); }); });
}

void TTestForm::Button1Click()
{
    if (!m_reviewForm)
        return;
    if (Mode == ModeExam)
        m_reviewForm->FillProgressList(Responses);
    else if (Mode == ModeReview)
        m_reviewForm->FillResultList(Responses);
    m_services.runModal(m_reviewForm);
}

void TTestForm::setNoteForm(results::TNoteForm* form)
{
    m_noteForm = form;
    m_noteWindow = form;
    form->bindTables(m_currentSet.get(), m_dsCurrentSet, m_qset.get());
}

void TTestForm::NoteButtonClick()
{
    if (!m_noteForm || !m_currentSet->isOpen())
        return;
    m_noteForm->prepare(ExamTitle);
    m_services.runModal(m_noteForm);
}

} // namespace session
