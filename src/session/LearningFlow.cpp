// What the candidate's answers teach, offered from the exam window: results
// by objective, the review of missed items that are due, and a drill on the
// weakest objectives. The figures come from the learning library; this only
// reads the files, asks and shows.
#include "ExamWindow.h"

#include "ExamSession.h"
#include "History.h"
#include "HistoryWindow.h"
#include "ObjectiveReport.h"
#include "ObjectiveResults.h"
#include "Objectives.h"
#include "Readiness.h"
#include "ReviewPool.h"
#include "ScoreReport.h"
#include "Services.h"
#include "TableError.h"

#include <QAction>
#include <QDate>
#include <QLocale>
#include <QMenu>

namespace session {

namespace {

QString errorText(const std::exception& e)
{
    if (const auto* t = dynamic_cast<const platform::TableError*>(&e))
        return t->text();
    return QString::fromUtf8(e.what());
}

QString dayText(qint64 day)
{
    return QLocale::system().toString(QDate(1899, 12, 30).addDays(day), QLocale::ShortFormat);
}

} // namespace

void ExamWindow::buildLearningMenu()
{
    m_weakestObjectivesAction = m_examsMenu->addAction(QStringLiteral("Weakest &Objectives"));
    m_weakestObjectivesAction->setObjectName(QStringLiteral("weakestObjectivesAction"));
    connect(m_weakestObjectivesAction, &QAction::triggered, this,
            &ExamWindow::startWeakestObjectivesDrill);
    m_reviewAction = m_examsMenu->addAction(QStringLiteral("Review Missed &Items"));
    m_reviewAction->setObjectName(QStringLiteral("reviewAction"));
    connect(m_reviewAction, &QAction::triggered, this, &ExamWindow::startReviewDrill);
}

void ExamWindow::showObjectives(const QString& heading, const std::vector<store::Attempt>& attempts,
                                bool withReadiness, QWidget* over)
{
    store::ItemObjectives objectives;
    try {
        objectives = store::ItemObjectives::read(tableSession());
    } catch (const std::exception& e) {
        m_services.message(over, platform::MsgKind::Warning,
                           QStringLiteral("The objectives of the items cannot be read.\r") +
                               errorText(e),
                           platform::Ok);
        return;
    }
    // Made over the window it is opened from, so that it stands above that
    // window and not only above this one; objectiveReport() is it while open.
    results::ObjectiveReport report(over ? over : this);
    m_objectiveReport = &report;
    QString readiness;
    if (withReadiness)
        readiness = learning::readinessText(learning::estimateReadiness(
            learning::weighAnswers(attempts, objectives), objectives.examShares()));
    report.showBreakdown(heading, learning::breakdownByObjective(attempts, objectives),
                         readiness);
    m_services.runModal(&report);
    m_objectiveReport = nullptr;
}

void ExamWindow::showAttemptObjectives()
{
    const store::Attempt* attempt = m_exam->lastAttempt();
    if (!attempt)
        return;
    showObjectives(QStringLiteral("%1: %2 items").arg(attempt->title).arg(attempt->items.size()),
                   {*attempt}, false, m_scoreReport);
}

void ExamWindow::showHistoryObjectives()
{
    if (!m_historyWindow)
        return;
    const std::vector<store::Attempt>& attempts = m_historyWindow->attempts();
    size_t items = 0;
    for (const store::Attempt& a : attempts)
        items += a.items.size();
    showObjectives(
        QStringLiteral("All %1 graded exam(s): %2 items").arg(attempts.size()).arg(items), attempts,
        true, m_historyWindow);
}

void ExamWindow::startReviewDrill()
{
    if (mode() != ModeIdle)
        return;
    learning::ReviewPool pool;
    try {
        pool = learning::ReviewPoolFile(tableSession()).read();
    } catch (const std::exception& e) {
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("The missed items cannot be read.\r") + errorText(e),
                           platform::Ok);
        return;
    }
    const qint64 today = learning::dayOf(m_services.now());
    const std::vector<learning::ReviewEntry> due = pool.due(today);
    if (due.empty()) {
        QString text = QStringLiteral("No missed item is due for review today.");
        if (!pool.entries().empty()) {
            qint64 next = pool.entries().front().dueDay;
            for (const learning::ReviewEntry& e : pool.entries())
                next = std::min(next, e.dueDay);
            text += QStringLiteral("\r%1 item(s) wait for a later day; the next is due on %2.")
                        .arg(pool.entries().size())
                        .arg(dayText(next));
        }
        m_services.message(this, platform::MsgKind::Information, text, platform::Ok);
        return;
    }
    // A drill draws from one source: the bank's items first, the user's own
    // items once no bank item is due.
    DrillPlan plan;
    plan.title = learning::reviewDrillTitle();
    int bankDue = 0;
    for (const learning::ReviewEntry& e : due)
        bankDue += e.userItem ? 0 : 1;
    plan.userItems = bankDue == 0;
    for (const learning::ReviewEntry& e : due)
        if (e.userItem == plan.userItems)
            plan.ids.push_back(e.id);
    QString text = QStringLiteral("%1 missed item(s) are due for review today.").arg(due.size());
    if (static_cast<size_t>(bankDue) != due.size() && bankDue > 0)
        text += QStringLiteral("\rThis review takes the %1 from the question bank; the %2 of "
                               "your own set follow in the next one.")
                    .arg(bankDue)
                    .arg(due.size() - static_cast<size_t>(bankDue));
    text += QStringLiteral("\rStart the review?");
    if (m_services.message(this, platform::MsgKind::Confirmation, text,
                           platform::Ok | platform::Cancel) != platform::Ok)
        return;
    if (prepareDrill(std::move(plan), this, 0))
        startPendingDrill();
}

void ExamWindow::startWeakestObjectivesDrill()
{
    if (mode() != ModeIdle)
        return;
    std::vector<store::Attempt> attempts;
    store::ItemObjectives objectives;
    try {
        attempts = history().readAll();
        objectives = store::ItemObjectives::read(tableSession());
    } catch (const std::exception& e) {
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("The exam history or the objectives of the items "
                                          "cannot be read, so there are no weakest objectives "
                                          "to drill.\r") +
                               errorText(e),
                           platform::Ok);
        return;
    }
    const QStringList weakest =
        learning::weakestObjectives(learning::breakdownByObjective(attempts, objectives), 3);
    if (weakest.isEmpty()) {
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("No graded exam in the history has items of a known "
                                          "objective yet, so there are no weakest objectives."),
                           platform::Ok);
        return;
    }
    DrillPlan plan;
    plan.title = learning::weakestObjectivesTitle(weakest);
    plan.ids = objectives.practiceItemsOf(weakest);
    const int pool = static_cast<int>(plan.ids.size());
    if (prepareDrill(std::move(plan), this, pool))
        startPendingDrill();
}

} // namespace session
