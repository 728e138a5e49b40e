// The exam window's controller: the exam actions, the start sequences, the
// modes and their controls, navigation, ending an exam and closing.
#include "ExamWindow.h"

#include "CountingServices.h"
#include "ErrorReport.h"
#include "ExamSetBuilder.h"
#include "ItemRules.h"
#include "NameDialog.h"
#include "Services.h"
#include "ShadowLabel.h"
#include "ShapeButton.h"
#include "Table.h"
#include "TimeCounter.h"
#include "UnanswerableNotice.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStringList>

namespace session {

namespace {

const char* const kExamLetters = "ABCDEFG";

} // namespace

void showUnanswerableNotice(QWidget* parent, platform::Services& services, bool started,
                            const std::vector<store::UnanswerableItem>& items)
{
    if (!started || items.empty())
        return;
    QStringList lines{QStringLiteral("Some items of your question set cannot be answered "
                                     "correctly; they count as incorrect:")};
    for (const store::UnanswerableItem& item : items)
        lines << QStringLiteral("Item ID: %1  %2").arg(item.id).arg(item.reasons.join(u' '));
    lines << QStringLiteral("Mend them in the test sampler.");
    services.message(parent, platform::MsgKind::Information, lines.join(QLatin1Char('\r')),
                     platform::Ok);
}

bool ExamWindow::run(const std::function<void()>& action)
{
    return platform::reportErrors(m_services, this, action);
}

bool ExamWindow::anotherWindowOpen() const
{
    return m_countingServices->openWindows() > 0;
}

bool ExamWindow::mayReplaceKeptExam()
{
    if (!m_exam->keptExamWaiting())
        return true;
    const QString title = m_exam->waitingExamTitle();
    const QString question =
        title.isEmpty() ? QStringLiteral("An interrupted exam is kept for later.\rA new exam "
                                         "replaces it for good. Start the new exam?")
                        : QStringLiteral("The interrupted exam \"%1\" is kept for later.\rA new "
                                         "exam replaces it for good. Start the new exam?")
                              .arg(title);
    if (m_services.message(this, platform::MsgKind::Confirmation, question,
                           platform::Yes | platform::No) != platform::Yes)
        return false;
    return run([&] { m_exam->discardKeptExam(); });
}

void ExamWindow::startPracticeExam(int exam)
{
    if (!mayReplaceKeptExam())
        return;
    const QChar letter = QLatin1Char(kExamLetters[exam - 1]);
    m_pendingTitle.clear();
    run([&] {
        prepareNameDialog(false);
        m_nameDialog->setWindowTitle(QStringLiteral("Begin Practice Exam %1").arg(letter));
        m_pendingTitle = QStringLiteral("Practice Exam %1").arg(letter);
        bank().setFilter(QStringLiteral("Q_EXAM_N=%1").arg(exam));
    });
    beginExam();
}

void ExamWindow::startAllQuestions()
{
    if (!mayReplaceKeptExam())
        return;
    m_pendingTitle.clear();
    run([&] {
        prepareNameDialog(false);
        m_nameDialog->setWindowTitle(QStringLiteral("Take All Questions"));
        m_pendingTitle = QStringLiteral("All Questions");
        bank().setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    beginExam();
}

int ExamWindow::countUnderFilter()
{
    // Still open from preparing the name dialog: no second read of the file.
    bank().setFiltered(true);
    bank().open();
    return bank().recordCount();
}

void ExamWindow::startRandomExam()
{
    if (!mayReplaceKeptExam())
        return;
    int candidates = 0;
    const bool ok = run([&] {
        m_nameDialog->setWindowTitle(QStringLiteral("Random Exam"));
        candidates = prepareNameDialog(true);
        m_pendingTitle = QStringLiteral("Random Exam");
        bank().setFilter(QStringLiteral("Q_EXAM_N<>0"));
    });
    if (!ok)
        return;
    // No bank item is in any exam: there is nothing to draw from.
    if (candidates == 0) {
        bank().close();
        showNoItemsMessage();
        return;
    }
    // The time box is not preset here: it shows what it showed last.
    startBankExam([&] {
        return m_exam->builder().buildRandomSet(bank(), currentSet(),
                                                m_nameDialog->questionCount());
    });
}

void ExamWindow::startUserExam()
{
    if (!mayReplaceKeptExam())
        return;
    bool empty = false;
    std::vector<store::UnanswerableItem> unanswerable;
    const bool ok = run([&] {
        userSet().open();
        if (userSet().isEmpty()) {
            userSet().close();
            empty = true;
            return;
        }
        try {
            unanswerable = store::unanswerableUserItems(userSet());
        } catch (...) {
            userSet().close();
            throw;
        }
    });
    if (!ok)
        return;
    if (empty) {
        m_services.message(this, platform::MsgKind::Information,
                           QStringLiteral("User defined question set is empty!"), platform::Ok);
        return;
    }
    if (!run([&] {
            prepareNameDialog(false);
            bank().close();
            m_nameDialog->setWindowTitle(QStringLiteral("User Exam"));
            m_pendingTitle = QStringLiteral("User Exam");
        }))
        return;
    beginUserExam();
    showUnanswerableNotice(this, m_services, mode() == ModeExam, unanswerable);
}

int ExamWindow::prepareNameDialog(bool countEnabled)
{
    bank().setFilter(QStringLiteral("Q_EXAM_N<>0"));
    bank().setFiltered(true);
    bank().open();
    const int candidates = bank().recordCount();
    // The bank stays open for the count under the exam's filter and for the
    // build; it is closed when the exam is not taken after all.
    m_nameDialog->setQuestionCount(candidates, countEnabled);
    return candidates;
}

void ExamWindow::showNoItemsMessage()
{
    m_services.message(this, platform::MsgKind::Information,
                       QStringLiteral("This exam has no items."), platform::Ok);
}

void ExamWindow::beginExam()
{
    if (m_pendingTitle.isEmpty() || bank().filter().isEmpty())
        return; // preparing the name dialog failed and was reported
    int items = 0;
    if (!run([&] { items = countUnderFilter(); })) {
        bank().close();
        return;
    }
    if (items == 0) {
        // Never show item 1 of 0: say so before asking for a name.
        bank().close();
        showNoItemsMessage();
        bank().setFilter(QString());
        return;
    }
    m_nameDialog->setTimeMinutes(m_defaultTime);
    startBankExam([&] { return m_exam->builder().buildExamSet(bank(), currentSet()); });
}

void ExamWindow::beginUserExam()
{
    m_nameDialog->setTimeMinutes(m_defaultTime);
    if (!takeNameDialog())
        return;
    // User items have no simulations, so the simulation windows keep theirs.
    buildAndStart(
        [&] {
            userSet().open();
            return m_exam->builder().buildUserSet(userSet(), currentSet());
        },
        true, m_pendingTitle);
}

void ExamWindow::startBankExam(const std::function<store::BuildResult()>& build)
{
    if (!takeNameDialog()) {
        bank().close();
        return;
    }
    if (m_resetSimulations)
        m_resetSimulations();
    buildAndStart(
        [&] {
            bank().setFiltered(true);
            bank().open();
            return build();
        },
        false, m_pendingTitle);
}

bool ExamWindow::takeNameDialog()
{
    if (m_services.runModal(m_nameDialog) != QDialog::Accepted)
        return false;
    m_pendingCandidate = m_nameDialog->candidateName();
    m_pendingLimit = exam::Seconds(m_nameDialog->timeMinutes() * 60);
    return true;
}

void ExamWindow::buildAndStart(const std::function<store::BuildResult()>& build, bool userExam,
                               const QString& title)
{
    m_examTitleLabel->setText(title);
    m_endRequested = false;
    exam::ExamStart start;
    start.title = title;
    start.candidate = m_pendingCandidate;
    start.timeLimit = m_pendingLimit;
    start.userItems = userExam;
    bool started = false;
    const bool built = run([&] {
        m_exam->setTimed(m_timerOn);
        started = m_exam->start(start, build);
    });
    if (!built || !started) {
        if (built)
            showNoItemsMessage();
        closeCurrentExam();
        return;
    }
    enterExamMode();
    if (userExam)
        m_noteButton->hide();
    run([&] { currentSet().first(); });
    startExamTimer();
}

void ExamWindow::enterExamMode()
{
    m_startPanel->hide();
    m_itemArea->show();
    m_itemArea->setEnabled(true);
    m_buttonStrip->show();
    m_productBanner->hide();
    m_itemCounterLabel->show();
    m_itemIdLabel->show();
    m_markBox->show();
    m_examTitleLabel->show();
    m_timeLabel->show();
    m_reviewLabel->hide();
    m_verdictLabel->hide();
    m_gradeButton->setText(QStringLiteral("Grade Now"));
    m_examsMenu->menuAction()->setEnabled(false);
    m_printItemAction->setEnabled(true);
    m_printExamAction->setEnabled(true);
    m_learnButton->setEnabled(true);
}

void ExamWindow::enterReviewMode()
{
    m_markBox->hide();
    m_timeLabel->hide();
    m_learnButton->setEnabled(false);
    m_verdictLabel->show();
    m_reviewLabel->show();
}

void ExamWindow::closeCurrentExam()
{
    m_endRequested = false;
    m_revealed = false;
    m_revealedItem = 0;
    m_exam->close();
    m_buttonStrip->hide();
    m_productBanner->show();
    m_examsMenu->menuAction()->setEnabled(true);
    m_itemCounterLabel->hide();
    m_itemIdLabel->hide();
    m_verdictLabel->hide();
    m_markBox->hide();
    m_examTitleLabel->hide();
    m_timeLabel->hide();
    m_reviewLabel->hide();
    m_printItemAction->setEnabled(false);
    m_printExamAction->setEnabled(false);
    m_itemArea->hide();
    m_startPanel->show();
    m_noteButton->show();
    arrangeStartButtons();
}

void ExamWindow::showPreviousItem()
{
    run([&] { m_exam->showPrevious(); });
}

void ExamWindow::showNextItem()
{
    run([&] { m_exam->showNext(); });
}

void ExamWindow::exitExam()
{
    if (m_services.message(this, platform::MsgKind::Confirmation,
                           QStringLiteral("Are you sure you wish to end this exam?"),
                           platform::Yes | platform::No) == platform::Yes) {
        run([&] { m_exam->endExam(); });
        closeCurrentExam();
    }
}

void ExamWindow::closeEvent(QCloseEvent* event)
{
    // Only a running exam asks before closing.
    if (mode() == ModeExam &&
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("This exam is not completed.\rAre you shure ?"),
                           platform::Ok | platform::Cancel) != platform::Ok) {
        event->ignore();
        return;
    }
    // Closing ends the exam: nothing of it is offered again.
    if (mode() == ModeExam)
        run([&] { m_exam->endExam(); });
    // The window is only hidden, idle, for the next Start Testing.
    closeCurrentExam();
    event->accept();
}

} // namespace session
