// The select-and-place button of the exam window: it opens the exercise an
// item names and, in exam mode, stores the outcome as choice flags e and f,
// so that correctness, grading and the review list need no rule of their own
// for simulations.
#include "ExamWindow.h"

#include "PrintingSimulation.h"
#include "Services.h"
#include "SubnetMaskSimulation.h"
#include "Table.h"

#include <QDialog>
#include <functional>

namespace session {

void ExamWindow::setSimulationWindows(PrintingSimulation* one, SubnetMaskSimulation* two)
{
    m_printingSimulation = one;
    m_subnetMaskSimulation = two;
}

void ExamWindow::openSimulation()
{
    if (anotherWindowOpen())
        return;
    QString tag;
    if (!run([&] { tag = m_exam->currentItem().simulation; }))
        return;
    PrintingSimulation* printing = tag == QLatin1String("SIM1") ? m_printingSimulation : nullptr;
    SubnetMaskSimulation* subnets = tag == QLatin1String("SIM2") ? m_subnetMaskSimulation : nullptr;
    QDialog* window = printing ? static_cast<QDialog*>(printing) : subnets;

    if (mode() != ModeExam) {
        if (window)
            m_services.runModal(window);
        return;
    }

    if (window) {
        const int item = m_exam->currentItemNumber();
        const bool confirmed = m_services.runModal(window) == QDialog::Accepted;
        // The outcome belongs to the item the window was opened for, in an
        // exam still being taken; anything else stores and says nothing.
        if (mode() != ModeExam || m_exam->isGraded() || m_exam->currentItemNumber() != item)
            return;
        const bool right =
            confirmed && (printing ? printing->targetsHoldKey() : subnets->targetsHoldKey());
        const exam::TileArrangement tiles =
            printing ? printing->arrangement() : subnets->arrangement();
        // In the file before the candidate is told so.
        if (!run([&] { m_exam->setSimulationOutcome(confirmed, right, tiles); }))
            return;
        m_services.message(this, platform::MsgKind::Information,
                           confirmed ? QStringLiteral("Your response has been saved.")
                                     : QStringLiteral("Your response is not complete."),
                           platform::Ok);
        return;
    }
    run([this] { m_exam->recheckCurrentItem(); });
}

} // namespace session
