// The history of graded exams and the drills on it: what the exam window
// records at grading, the History window, and the start of a drill, which is
// an exam like any other drawn from chosen items of the bank or the user set.
#include "ExamWindow.h"

#include "AttemptRecord.h"
#include "Drills.h"
#include "ExamSetBuilder.h"
#include "HistoryWindow.h"
#include "ItemRules.h"
#include "NameDialog.h"
#include "ScoreReport.h"
#include "Services.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "UnanswerableNotice.h"

#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <cmath>
#include <memory>

namespace session {

namespace {

QString errorText(const std::exception& e)
{
    if (const auto* t = dynamic_cast<const platform::TableError*>(&e))
        return t->text();
    return QString::fromUtf8(e.what());
}

} // namespace

void ExamWindow::buildHistoryMenu()
{
    // In the exam menu, so that both are reached only while no exam runs.
    m_examsMenu->addSeparator();
    m_historyAction = m_examsMenu->addAction(QStringLiteral("&History..."));
    m_historyAction->setObjectName(QStringLiteral("historyAction"));
    connect(m_historyAction, &QAction::triggered, this, &ExamWindow::openHistory);
    m_weakestSectionAction = m_examsMenu->addAction(QStringLiteral("&Weakest Section"));
    m_weakestSectionAction->setObjectName(QStringLiteral("weakestSectionAction"));
    connect(m_weakestSectionAction, &QAction::triggered, this,
            &ExamWindow::startWeakestSectionDrill);
    buildLearningMenu();
}

void ExamWindow::setHistoryWindow(results::HistoryWindow* form)
{
    m_historyWindow = form;
    form->setHistoryFile(&history());
    connect(form, &results::HistoryWindow::drillRequested, this,
            [this](const store::Attempt& attempt, store::DrillKind kind) {
                // A copy: choosing the drill may reload the window's list.
                const store::Attempt chosen = attempt;
                if (offerDrill(chosen, kind, m_historyWindow))
                    m_historyWindow->done(QDialog::Accepted);
            });
    connect(form, &results::HistoryWindow::printReportRequested, this, &ExamWindow::printReport);
    connect(form, &results::HistoryWindow::objectiveResultsRequested, this,
            &ExamWindow::showHistoryObjectives);
}

void ExamWindow::openHistory()
{
    if (!m_historyWindow || mode() != ModeIdle)
        return;
    if (!m_historyWindow->reload(this))
        return;
    m_services.runModal(m_historyWindow);
    startPendingDrill();
}

bool ExamWindow::offerDrill(const store::Attempt& attempt, store::DrillKind kind, QWidget* over)
{
    DrillPlan plan;
    plan.title = store::drillTitle(attempt.title, kind);
    plan.ids = store::drillItems(attempt, kind);
    plan.userItems = attempt.userItems();
    plan.candidate = attempt.candidate;
    return prepareDrill(std::move(plan), over, 0);
}

void ExamWindow::startWeakestSectionDrill()
{
    if (mode() != ModeIdle)
        return;
    std::vector<store::Attempt> attempts;
    try {
        // A record that cannot be read counts for nothing here; the History
        // window names it.
        attempts = history().readAll();
    } catch (const std::exception& e) {
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("The exam history cannot be read, so there is no "
                                          "weakest section to drill.\r") +
                               errorText(e),
                           platform::Ok);
        return;
    }
    const store::WeakestSection weakest = store::weakestSection(attempts);
    if (weakest.section == 0) {
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("No graded exam in the history has items of a "
                                          "section yet, so there is no weakest section."),
                           platform::Ok);
        return;
    }
    DrillPlan plan;
    plan.title = store::weakestSectionTitle(weakest.section);
    if (!run([&] {
            store::Table bank(tableSession(), QString::fromLatin1(store::kBankFile),
                              store::bankSchema());
            bank.open();
            plan.ids = store::sectionItems(bank, weakest.section);
        }))
        return;
    const int pool = static_cast<int>(plan.ids.size());
    if (prepareDrill(std::move(plan), this, pool))
        startPendingDrill();
}

bool ExamWindow::prepareDrill(DrillPlan plan, QWidget* over, int poolForCount)
{
    // Items may have gone since the attempt (a user item deleted in the
    // sampler): the drill holds those still there.
    if (!plan.ids.empty() && poolForCount == 0 && !run([&] {
            store::Table source(
                tableSession(),
                QString::fromLatin1(plan.userItems ? store::kUserSetFile : store::kBankFile),
                plan.userItems ? store::userSetSchema() : store::bankSchema());
            source.open();
            plan.ids = store::ExamSetBuilder::presentItems(source, plan.ids);
        }))
        return false;
    if (plan.ids.empty()) {
        m_services.message(over, platform::MsgKind::Information,
                           QStringLiteral("This drill has no items."), platform::Ok);
        return false;
    }
    m_nameDialog->setWindowTitle(plan.title);
    if (!plan.candidate.isEmpty())
        m_nameDialog->m_nameEdit->setText(plan.candidate);
    // A drill's time is in proportion to its items; where the count is
    // asked, the time follows it until the candidate sets a time.
    QMetaObject::Connection follow;
    const auto following = std::make_shared<bool>(false);
    if (poolForCount > 0) {
        m_nameDialog->setQuestionCount(poolForCount, true);
        m_nameDialog->setTimeMinutes(store::drillMinutes(poolForCount, m_defaultTime));
        follow =
            connect(m_nameDialog->m_questionCountBox, &QSpinBox::valueChanged, this,
                    [this, following](int count) {
                        *following = true;
                        m_nameDialog->setTimeMinutes(store::drillMinutes(count, m_defaultTime));
                        *following = false;
                    });
    } else {
        const int items = static_cast<int>(plan.ids.size());
        m_nameDialog->setQuestionCount(items, false);
        m_nameDialog->setTimeMinutes(store::drillMinutes(items, m_defaultTime));
    }
    QMetaObject::Connection stop;
    if (follow)
        stop = connect(m_nameDialog->m_timeBox, &QSpinBox::valueChanged, this, [follow, following] {
            if (!*following)
                QObject::disconnect(follow);
        });
    const bool taken = takeNameDialog();
    QObject::disconnect(follow);
    QObject::disconnect(stop);
    if (!taken)
        return false;
    if (poolForCount > 0)
        plan.take = m_nameDialog->questionCount();
    m_pendingDrill = std::make_unique<DrillPlan>(std::move(plan));
    return true;
}

void ExamWindow::startPendingDrill()
{
    if (!m_pendingDrill)
        return;
    const DrillPlan plan = std::move(*m_pendingDrill);
    m_pendingDrill.reset();
    // The graded exam the drill may come from ends here.
    closeCurrentExam();
    if (!mayReplaceKeptExam())
        return;
    if (!plan.userItems && m_resetSimulations)
        m_resetSimulations();
    std::vector<store::UnanswerableItem> unanswerable;
    buildAndStart(
        [&] {
            store::Table& source = plan.userItems ? userSet() : bank();
            if (plan.userItems) {
                source.open();
                std::vector<qint64> ids(plan.ids.begin(), plan.ids.end());
                unanswerable = store::unanswerableUserItems(source, ids);
            } else {
                bank().setFilter(QString());
                bank().setFiltered(false);
                bank().open();
            }
            return m_exam->builder().buildChosenSet(source, currentSet(), !plan.userItems, plan.ids,
                                                    plan.take);
        },
        plan.userItems, plan.title);
    showUnanswerableNotice(this, m_services, mode() == ModeExam, unanswerable);
}

} // namespace session
