// Offering the exam the program did not live to grade or exit: its state is
// kept by the exam session as it changes, and offered again, exactly where it
// stopped, at the next start of the window.
#include "ExamWindow.h"

#include "PrintingSimulation.h"
#include "SavedExam.h"
#include "Services.h"
#include "SubnetMaskSimulation.h"
#include "Table.h"
#include "TableError.h"
#include "TimeCounter.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace session {

void ExamWindow::showKeepingFailure(const QString& error)
{
    m_services.message(this, platform::MsgKind::Error, error, platform::Ok);
}

void ExamWindow::offerInterruptedExamWhenActive()
{
    m_offerPending = true;
    if (isVisible() && isActiveWindow()) {
        m_offerPending = false;
        QMetaObject::invokeMethod(this, &ExamWindow::offerInterruptedExam, Qt::QueuedConnection);
    }
}

void ExamWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_offerPending && isActiveWindow()) {
        m_offerPending = false;
        QMetaObject::invokeMethod(this, &ExamWindow::offerInterruptedExam, Qt::QueuedConnection);
    }
}

void ExamWindow::offerInterruptedExam()
{
    if (mode() != ModeIdle)
        return;
    std::optional<store::SavedExamState> saved;
    try {
        saved = m_exam->readKeptExam();
    } catch (const platform::TableError& e) {
        // Only a file that is damaged goes: a full disk, a lock or a read
        // error says nothing about the exam, which waits for a start that
        // can read it.
        const bool damaged = e.code() == platform::TableError::Corrupt ||
                             e.code() == platform::TableError::NotADatabase;
        if (damaged)
            run([&] { m_exam->discardKeptExam(); });
        else
            m_exam->keepForLater(QString());
        m_services.message(
            this, platform::MsgKind::Warning,
            (damaged ? QStringLiteral("The interrupted exam could not be read and has been "
                                      "discarded.\r%1")
                     : QStringLiteral("The interrupted exam could not be read now; it is kept "
                                      "and offered again at the next Start Testing.\r%1"))
                .arg(e.text()),
            platform::Ok);
        return;
    } catch (const std::exception& e) {
        run([&] { m_exam->discardKeptExam(); });
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("The interrupted exam could not be read and has been "
                                          "discarded.\r%1")
                               .arg(QString::fromUtf8(e.what())),
                           platform::Ok);
        return;
    }
    if (!saved)
        return;
    bool fits = false;
    if (!run([&] { fits = m_exam->keptExamFits(*saved); })) {
        // The bank or the set could not be read: the exam is kept for a
        // start that can read them.
        m_exam->keepForLater(saved->title);
        closeCurrentExam();
        return;
    }
    if (!fits) {
        run([&] { m_exam->discardKeptExam(); });
        closeCurrentExam();
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("The interrupted exam \"%1\" cannot be resumed: its "
                                          "items are no longer those of the question set.\rIt "
                                          "has been discarded.")
                               .arg(saved->title),
                           platform::Ok);
        return;
    }
    const store::SavedExamState& s = *saved;
    const QString question =
        QStringLiteral("Do you want to resume the interrupted exam \"%1\"?\rItem %2 of %3, %4 "
                       "left, answered %5.\rNo discards it for good; Cancel keeps it for later.")
            .arg(s.title)
            .arg(s.currentItem)
            .arg(s.items.size())
            .arg(exam::formatDuration(s.untimed ? 0.0 : std::max(0.0, s.timeLimit - s.timeUsed)))
            .arg(s.answered());
    // Only an explicit No throws the exam away: Escape or the close box (which
    // answer Cancel) keep it for the next start, so no slip of a key loses it.
    const int answer = m_services.message(this, platform::MsgKind::Confirmation, question,
                                          platform::Yes | platform::No | platform::Cancel);
    if (answer == platform::Cancel) {
        closeCurrentExam();
        m_exam->keepForLater(s.title);
        return;
    }
    if (answer != platform::Yes) {
        run([&] { m_exam->discardKeptExam(); });
        closeCurrentExam();
        return;
    }
    resumeExam(s);
}

void ExamWindow::resumeExam(const store::SavedExamState& s)
{
    const bool userExam = s.kind == store::ExamKind::User;
    m_examTitleLabel->setText(s.title);
    if (!run([&] {
            m_exam->setTimed(m_timerOn);
            m_exam->resume(s);
        })) {
        closeCurrentExam();
        return;
    }
    if (!userExam && m_resetSimulations)
        m_resetSimulations();
    // The tiles come back as they were left, as they would had the program
    // not stopped.
    if (!userExam) {
        if (m_printingSimulation)
            m_printingSimulation->setArrangement(m_exam->keptArrangement(QStringLiteral("SIM1")));
        if (m_subnetMaskSimulation)
            m_subnetMaskSimulation->setArrangement(m_exam->keptArrangement(QStringLiteral("SIM2")));
    }
    m_endRequested = false;
    enterExamMode();
    if (userExam)
        m_noteButton->hide();
    run([&] {
        currentSet().first();
        if (s.currentItem != currentSet().recNo())
            m_exam->goToItem(s.currentItem);
    });
    showTimeLeft(m_exam->timeLeft());
    m_timeLabel->setVisible(m_exam->countingDown());
    m_timeLabel->setAccessibleName(QStringLiteral("Time left"));
}

} // namespace session
