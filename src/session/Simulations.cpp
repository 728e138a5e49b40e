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
    QString tag;
    if (!run([&] { tag = m_currentSet->asString(QStringLiteral("Q_SIM")); }))
        return;
    QDialog* window = nullptr;
    std::function<bool()> holdsKey;
    if (tag == QLatin1String("SIM2") && m_subnetMaskSimulation) {
        window = m_subnetMaskSimulation;
        holdsKey = [this] { return m_subnetMaskSimulation->targetsHoldKey(); };
    } else if (tag == QLatin1String("SIM1") && m_printingSimulation) {
        window = m_printingSimulation;
        holdsKey = [this] { return m_printingSimulation->targetsHoldKey(); };
    }

    if (mode != ModeExam) {
        if (window)
            m_services.runModal(window);
        return;
    }

    if (window) {
        const int item = m_currentSet->recNo();
        const bool confirmed = m_services.runModal(window) == QDialog::Accepted;
        // The outcome belongs to the item the window was opened for, in an
        // exam still being taken; anything else stores and says nothing.
        if (mode != ModeExam || m_graded || !m_currentSet->isOpen() ||
            m_currentSet->recNo() != item)
            return;
        const bool right = confirmed && holdsKey();
        if (store::ItemResponse* r = currentResponse()) {
            r->Choice[4] = confirmed && !right;
            r->Choice[5] = right;
        }
        m_services.message(this, platform::MsgKind::Information,
                           confirmed ? QStringLiteral("Your response has been saved.")
                                     : QStringLiteral("Your response is not complete."),
                           platform::Ok);
    }
    run([this] { checkItemAnswer(); });
}

} // namespace session
