// The select-and-place button of the exam window: it opens the exercise an
// item names and, in exam mode, stores the outcome as choice flags e and f,
// so that correctness, grading and the review list need no rule of their own
// for simulations.
#include "TTestForm.h"

#include "Services.h"
#include "TSimForm1.h"
#include "TSimForm2.h"
#include "Table.h"

#include <QDialog>
#include <functional>

namespace session {

void TTestForm::setSimulationWindows(TSimForm1* one, TSimForm2* two)
{
    m_sim1 = one;
    m_sim2 = two;
}

void TTestForm::SimButtonClick()
{
    QString tag;
    if (!run([&] { tag = m_currentSet->asString(QStringLiteral("Q_SIM")); }))
        return;
    QDialog* window = nullptr;
    std::function<bool()> holdsKey;
    if (tag == QLatin1String("SIM2") && m_sim2) {
        window = m_sim2;
        holdsKey = [this] { return m_sim2->targetsHoldKey(); };
    } else if (tag == QLatin1String("SIM1") && m_sim1) {
        window = m_sim1;
        holdsKey = [this] { return m_sim1->targetsHoldKey(); };
    }

    if (Mode != ModeExam) {
        if (window)
            m_services.runModal(window);
        return;
    }

    if (window) {
        const bool confirmed = m_services.runModal(window) == QDialog::Accepted;
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
    run([this] { CheckItemAnswer(); });
}

} // namespace session
