#include "AppOwner.h"

#include "ProgressForm.h"
#include "Services.h"
#include "TAboutForm.h"
#include "TDM.h"
#include "TMainForm.h"
#include "TNameForm.h"
#include "TNoteForm.h"
#include "TOptionsForm.h"
#include "TPict1Form.h"
#include "TPict2Form.h"
#include "TReviewForm.h"
#include "TSamplerForm.h"
#include "TScoreForm.h"
#include "TSimForm1.h"
#include "TSimForm2.h"
#include "TTestForm.h"

#include <QApplication>

namespace app {

template <typename T> void AppOwner::made(const std::unique_ptr<T>& w)
{
    m_order << w->objectName();
}

AppOwner::AppOwner(platform::Services& services, const QString& programDir) : m_services(services)
{
    // The order matters: the start window sets the working directory, the
    // exam window creates the table session, and DM uses that session.
    m_main = std::make_unique<TMainForm>(programDir);
    made(m_main);
    m_test = std::make_unique<session::TTestForm>(services);
    made(m_test);
    m_progress = std::make_unique<store::TProgressForm>();
    made(m_progress);
    m_score = std::make_unique<results::TScoreForm>(services);
    made(m_score);
    m_name = std::make_unique<session::TNameForm>(services);
    made(m_name);
    m_review = std::make_unique<results::TReviewForm>(services);
    made(m_review);
    m_note = std::make_unique<results::TNoteForm>(services);
    made(m_note);
    m_options = std::make_unique<options::TOptionsForm>(services);
    made(m_options);
    m_dm = std::make_unique<sampler::TDM>(m_test->tableSession());
    made(m_dm);
    m_about = std::make_unique<TAboutForm>();
    made(m_about);
    m_sampler = std::make_unique<sampler::TSamplerForm>(services, *m_dm);
    made(m_sampler);
    m_pict1 = std::make_unique<session::TPict1Form>();
    made(m_pict1);
    m_pict2 = std::make_unique<session::TPict2Form>();
    made(m_pict2);
    m_sim1 = std::make_unique<session::TSimForm1>();
    made(m_sim1);
    m_sim2 = std::make_unique<session::TSimForm2>();
    made(m_sim2);

    m_test->setNameForm(m_name.get());
    m_test->setProgressForm(m_progress.get());
    m_test->setNoteForm(m_note.get());
    m_test->setScoreForm(m_score.get());
    m_test->setReviewForm(m_review.get());
    m_test->setOptionsForm(m_options.get());
    m_test->setExhibitWindows(m_pict1.get(), m_pict2.get());
    m_test->setSimulationWindows(m_sim1.get(), m_sim2.get());
    m_test->setResetSimulations([this] {
        m_sim1->ResetSimulations();
        m_sim2->ResetSimulations();
    });

    connect(m_main.get(), &TMainForm::startTestingRequested, this, &AppOwner::startTesting);
    connect(m_main.get(), &TMainForm::samplerRequested, this, &AppOwner::startSampler);
    connect(m_test.get(), &session::TTestForm::aboutRequested, this,
            [this] { m_services.runModal(m_about.get()); });
    connect(m_sampler.get(), &sampler::TSamplerForm::aboutRequested, this,
            [this] { m_services.runModal(m_about.get()); });
}

AppOwner::~AppOwner()
{
    // Windows go in the reverse order of their creation; DM before the exam
    // window whose session it uses.
    m_sim2.reset();
    m_sim1.reset();
    m_pict2.reset();
    m_pict1.reset();
    m_sampler.reset();
    m_about.reset();
    m_dm.reset();
    m_options.reset();
    m_note.reset();
    m_review.reset();
    m_name.reset();
    m_score.reset();
    m_progress.reset();
    m_test.reset();
    m_main.reset();
}

void AppOwner::startTesting()
{
    m_main->hide();
    m_services.runModal(m_test.get());
    m_main->show();
}

void AppOwner::startSampler()
{
    m_main->hide();
    m_services.runModal(m_sampler.get());
    m_main->show();
}

void AppOwner::bringForward()
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target || !target->isVisible() || !target->isEnabled())
        target = m_main.get();
    for (QWidget* w : {static_cast<QWidget*>(m_main.get()), target}) {
        if (w->isVisible() && w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    }
    target->raise();
    target->activateWindow();
}

} // namespace app
