#include "AppOwner.h"

#include "AboutBox.h"
#include "ExamWindow.h"
#include "Exhibit1Window.h"
#include "Exhibit2Window.h"
#include "History.h"
#include "HistoryWindow.h"
#include "ItemsReview.h"
#include "NameDialog.h"
#include "NoteWindow.h"
#include "Objectives.h"
#include "OptionsDialog.h"
#include "PrintingSimulation.h"
#include "ProgressWindow.h"
#include "SamplerData.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "ScoreReport.h"
#include "Services.h"
#include "Session.h"
#include "StartWindow.h"
#include "SubnetMaskSimulation.h"
#include "Table.h"
#include "TableFile.h"
#include "TestSampler.h"
#include "WindowPlace.h"

#include <QApplication>
#include <QDir>
#include <QThreadPool>

namespace app {

template <typename T> void AppOwner::made(const std::unique_ptr<T>& w)
{
    m_order << w->objectName();
}

AppOwner::AppOwner(platform::Services& services, const QString& programDir) : m_services(services)
{
    // The order matters: the start window sets the working directory, the
    // exam window creates the table session, and samplerData uses that session.
    m_main = std::make_unique<StartWindow>(programDir);
    made(m_main);
    m_test = std::make_unique<session::ExamWindow>(services);
    made(m_test);
    m_progress = std::make_unique<widgets::ProgressWindow>();
    made(m_progress);
    m_score = std::make_unique<results::ScoreReport>(services);
    made(m_score);
    m_name = std::make_unique<session::NameDialog>(services);
    made(m_name);
    m_review = std::make_unique<results::ItemsReview>(services);
    made(m_review);
    m_note = std::make_unique<results::NoteWindow>(services);
    made(m_note);
    m_options = std::make_unique<options::OptionsDialog>(services);
    made(m_options);
    m_dm = std::make_unique<sampler::SamplerData>(m_test->tableSession());
    made(m_dm);
    m_about = std::make_unique<AboutBox>();
    made(m_about);
    m_sampler = std::make_unique<sampler::TestSampler>(services, *m_dm);
    made(m_sampler);
    m_exhibit1 = std::make_unique<session::Exhibit1Window>();
    made(m_exhibit1);
    m_exhibit2 = std::make_unique<session::Exhibit2Window>();
    made(m_exhibit2);
    m_printingSimulation = std::make_unique<session::PrintingSimulation>();
    made(m_printingSimulation);
    m_subnetMaskSimulation = std::make_unique<session::SubnetMaskSimulation>();
    made(m_subnetMaskSimulation);
    m_history = std::make_unique<results::HistoryWindow>(m_test->services());
    made(m_history);

    m_test->setNameDialog(m_name.get());
    m_test->setProgressWindow(m_progress.get());
    m_test->setNoteWindow(m_note.get());
    m_test->setScoreReport(m_score.get());
    m_test->setItemsReview(m_review.get());
    m_test->setOptionsDialog(m_options.get());
    m_test->setHistoryWindow(m_history.get());
    // The exports' objective column: the bank's tags and the user set's
    // sections, read when an export is written.
    m_history->setObjectiveSource([this]() -> results::ObjectiveLookup {
        try {
            auto objectives = std::make_shared<store::ItemObjectives>(
                store::ItemObjectives::read(m_test->tableSession()));
            return [objectives](int id, bool userItem) {
                return objectives->objectiveOf(id, userItem);
            };
        } catch (const std::exception&) {
            // An unreadable bank leaves the column empty; the export goes on.
            return {};
        }
    });
    m_test->setExhibitWindows(m_exhibit1.get(), m_exhibit2.get());
    m_test->setSimulationWindows(m_printingSimulation.get(), m_subnetMaskSimulation.get());
    m_test->setResetSimulations([this] {
        m_printingSimulation->resetTiles();
        m_subnetMaskSimulation->resetTiles();
    });

    // The high-contrast choice is the exam window's option; the reports and
    // the sampler follow it.
    const auto followContrast = [this] {
        const widgets::ColourScheme* scheme = m_test->colourScheme();
        m_score->setColourScheme(scheme);
        m_history->setColourScheme(scheme);
        m_sampler->setColourScheme(scheme);
    };
    if (m_test->highContrast())
        followContrast();
    connect(m_test.get(), &session::ExamWindow::highContrastChanged, this, followContrast);

    connect(m_main.get(), &StartWindow::startTestingRequested, this, &AppOwner::startTesting);
    connect(m_main.get(), &StartWindow::samplerRequested, this, &AppOwner::startSampler);
    connect(m_test.get(), &session::ExamWindow::aboutRequested, this,
            [this] { m_test->services().runModal(m_about.get()); });
    connect(m_sampler.get(), &sampler::TestSampler::aboutRequested, this,
            [this] { m_services.runModal(m_about.get()); });

    // The key derivation of each table file is the slow part of its first
    // open; it runs while the start window waits for the user, and an open
    // that comes sooner waits for it instead of deriving the key again.
    QStringList files;
    for (const char* name :
         {store::kBankFile, store::kCurrentSetFile, store::kUserSetFile, store::kHistoryFile,
          store::kHistoryAnswersFile, store::kSavedExamFile})
        files << QDir::current().absoluteFilePath(QString::fromLatin1(name));
    // Then the bank's first open, its check and the read of its numbers, is
    // done there too: an exam started later finds them done for the file as
    // it still is.
    QThreadPool::globalInstance()->start([files, passwords = m_test->tableSession().passwords()] {
        for (const QString& f : files)
            platform::TableFile::deriveKeysAhead(f, passwords);
        store::Table::readAhead(files.front(), passwords, store::bankSchema());
    });
}

AppOwner::~AppOwner()
{
    // Windows go in the reverse order of their creation; samplerData before the exam
    // window whose session it uses.
    m_history.reset();
    m_subnetMaskSimulation.reset();
    m_printingSimulation.reset();
    m_exhibit2.reset();
    m_exhibit1.reset();
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
    platform::keepPlace(m_main.get());
    m_main->hide();
    m_test->offerInterruptedExamWhenActive();
    m_services.runModal(m_test.get());
    platform::restorePlace(m_main.get());
    m_main->show();
}

void AppOwner::startSampler()
{
    platform::keepPlace(m_main.get());
    m_main->hide();
    m_services.runModal(m_sampler.get());
    platform::restorePlace(m_main.get());
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
