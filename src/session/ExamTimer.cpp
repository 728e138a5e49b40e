// The exam countdown and grading's entry point.
#include "TTestForm.h"

#include "Services.h"
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
        ScrollBox1->hide();
        GradeButton->setText(QStringLiteral("Score Report"));
    }
    emit scoreReportRequested();
}

} // namespace session
