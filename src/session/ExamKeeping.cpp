// Keeping the running exam: its state goes to a file of its own as it
// changes, so that an exam the program did not live to grade or exit is
// offered again, exactly where it stopped, at the next start of the window.
#include "ExamWindow.h"

#include "ExamSetBuilder.h"
#include "SavedExam.h"
#include "Services.h"
#include "Table.h"
#include "TimeCounter.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace session {

namespace {

store::ExamKind kindOf(const QString& title, bool userExam)
{
    if (userExam)
        return store::ExamKind::User;
    if (title.startsWith(QLatin1String("Practice Exam ")))
        return store::ExamKind::Practice;
    if (title == QLatin1String("All Questions"))
        return store::ExamKind::AllQuestions;
    if (title == QLatin1String("Random Exam"))
        return store::ExamKind::Random;
    return store::ExamKind::OtherBankExam;
}

bool sameResponse(const store::ItemResponse& a, const store::ItemResponse& b)
{
    return a.Choice == b.Choice && a.Marked == b.Marked;
}

} // namespace

void ExamWindow::keep(const std::function<void()>& write)
{
    if (!m_keeping)
        return;
    if (!run(write)) {
        m_keeping = false;
        m_keepTicker->stop();
    }
}

void ExamWindow::keepNewExam(bool userExam, const std::vector<qint64>& prints)
{
    m_keeping = true;
    keep([&] {
        store::SavedExamState s;
        s.kind = kindOf(examTitle, userExam);
        s.title = examTitle;
        s.candidate = candidateName;
        s.filter = userExam ? QString() : m_qset->filter();
        s.currentItem = firstItemNumber;
        s.timeLimit = timeLimit;
        store::Table& t = *m_currentSet;
        const store::ItemPrinter printer(t);
        // The build's prints spare a read of every item's texts.
        const bool printed = prints.size() == static_cast<size_t>(t.recordCount());
        // Read behind the display's back: no item is shown on the way.
        t.disableControls();
        try {
            for (t.first(); !t.eof(); t.next()) {
                store::SavedItem item;
                item.sourceId = t.asInteger(QStringLiteral("Q_OR_NUMBER"));
                item.print = printed ? prints[s.items.size()] : printer.print(t);
                s.items.push_back(item);
            }
        } catch (...) {
            t.enableControls();
            throw;
        }
        t.enableControls();
        m_savedExam->start(s);
    });
    m_keptResponses = responses;
    m_keptItem = firstItemNumber;
    m_ticksSinceKept = 0;
    if (m_keeping)
        m_keepTicker->start();
}

void ExamWindow::keepResponse()
{
    if (mode != ModeExam || !m_keeping)
        return;
    const int k = m_currentSet->recNo();
    if (k < 1 || static_cast<size_t>(k) > responses.size() ||
        responses.size() != m_keptResponses.size())
        return;
    const store::ItemResponse& now = responses[static_cast<size_t>(k - 1)];
    store::ItemResponse& kept = m_keptResponses[static_cast<size_t>(k - 1)];
    if (sameResponse(now, kept))
        return;
    keep([&] { m_savedExam->writeResponse(k, now.Choice, now.Marked); });
    kept = now;
}

void ExamWindow::keepProgress(bool timeOnly)
{
    if (mode != ModeExam || !m_keeping || !m_currentSet->isOpen())
        return;
    const int k = m_currentSet->recNo();
    if (k < 1 || (!timeOnly && k == m_keptItem))
        return;
    keep([&] { m_savedExam->writeProgress(k, parseDuration(m_examTimer->elapsed())); });
    m_keptItem = k;
    m_ticksSinceKept = 0;
}

void ExamWindow::dropKeptExam()
{
    m_keeping = false;
    m_keepTicker->stop();
    m_keptResponses.clear();
    // Graded or exited: never offered again, whatever the file's state.
    m_savedExam->discard();
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
    if (mode != ModeIdle)
        return;
    std::optional<store::SavedExamState> saved;
    QString damage;
    try {
        saved = m_savedExam->read();
    } catch (const std::exception& e) {
        damage = QString::fromUtf8(e.what());
    }
    if (!damage.isEmpty()) {
        m_savedExam->discard();
        m_services.message(this, platform::MsgKind::Warning,
                           QStringLiteral("The interrupted exam could not be read and has been "
                                          "discarded.\r%1")
                               .arg(damage),
                           platform::Ok);
        return;
    }
    if (!saved)
        return;
    bool fits = false;
    if (!run([&] { fits = savedExamFits(*saved); })) {
        // The bank or the set could not be read: the exam is kept for a
        // start that can read them.
        m_savedExam->close();
        closeCurrentExam();
        return;
    }
    if (!fits) {
        m_savedExam->discard();
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
            .arg(formatDuration(std::max(0.0, s.timeLimit - s.timeUsed)))
            .arg(s.answered());
    // Only an explicit No throws the exam away: Escape or the close box (which
    // answer Cancel) keep it for the next start, so no slip of a key loses it.
    const int answer = m_services.message(this, platform::MsgKind::Confirmation, question,
                                          platform::Yes | platform::No | platform::Cancel);
    if (answer == platform::Cancel) {
        closeCurrentExam();
        return;
    }
    if (answer != platform::Yes) {
        m_savedExam->discard();
        closeCurrentExam();
        return;
    }
    resumeExam(s);
}

bool ExamWindow::savedExamFits(const store::SavedExamState& saved)
{
    const bool userExam = saved.kind == store::ExamKind::User;
    // Every item must still be in the table it was drawn from, with the same
    // content, and where a bank exam draws, under the exam's filter.
    store::Table& source = userExam ? *m_userSet : *m_qset;
    if (!userExam) {
        m_qset->close();
        m_qset->setFilter(saved.filter);
        m_qset->setFiltered(true);
    }
    source.open();
    const store::ItemPrinter sourcePrinter(source);
    QHash<qint64, qint64> prints;
    for (const store::SavedItem& item : saved.items)
        prints.insert(item.sourceId, 0);
    for (source.first(); !source.eof(); source.next()) {
        const auto it = prints.find(source.asInteger(QStringLiteral("Q_ID")));
        if (it != prints.end())
            *it = sourcePrinter.print(source);
    }
    for (const store::SavedItem& item : saved.items)
        if (prints.value(item.sourceId) != item.print)
            return false;
    if (userExam)
        m_qset->close();

    // The current set must still be the exam's, item for item.
    store::Table& t = *m_currentSet;
    if (!t.isOpen()) {
        t.setExclusive(true);
        t.open();
    }
    if (t.recordCount() != static_cast<int>(saved.items.size()))
        return false;
    const store::ItemPrinter printer(t);
    size_t k = 0;
    t.disableControls();
    bool same = true;
    try {
        for (t.first(); !t.eof() && same; t.next(), ++k)
            same = t.asInteger(QStringLiteral("Q_OR_NUMBER")) == saved.items[k].sourceId &&
                   printer.print(t) == saved.items[k].print;
    } catch (...) {
        t.enableControls();
        throw;
    }
    t.enableControls();
    return same;
}

void ExamWindow::resumeExam(const store::SavedExamState& s)
{
    const bool userExam = s.kind == store::ExamKind::User;
    examTitle = s.title;
    candidateName = s.candidate;
    timeLimit = s.timeLimit;
    m_examTitleLabel->setText(examTitle);
    const bool restored = run([&] {
        store::Table& t = *m_currentSet;
        t.disableControls();
        try {
            t.first();
            firstItemNumber = t.recNo();
            itemCount = t.recordCount();
            store::ExamSetBuilder::resetResponses(t, responses);
            for (t.first(); !t.eof(); t.next()) {
                const size_t k = static_cast<size_t>(t.recNo() - 1);
                store::ItemResponse& r = responses[k];
                r.Choice = s.items[k].choice;
                r.Marked = s.items[k].marked;
                bool correct = true;
                for (int i = 0; i < 6 && correct; ++i)
                    correct = t.asBoolean(QStringLiteral("A%1").arg(i + 1)) ==
                              r.Choice[static_cast<size_t>(i)];
                r.Correct = correct;
            }
        } catch (...) {
            t.enableControls();
            throw;
        }
        t.enableControls();
    });
    if (!restored) {
        closeCurrentExam();
        return;
    }
    if (!userExam && m_resetSimulations)
        m_resetSimulations();
    mode = ModeExam;
    m_graded = false;
    m_endRequested = false;
    m_keeping = true;
    m_keptResponses = responses;
    m_keptItem = s.currentItem;
    m_ticksSinceKept = 0;
    enterExamMode();
    if (userExam)
        m_noteButton->hide();
    run([&] { m_currentSet->setRecNo(s.currentItem); });
    startExamTimer();
    // Only the time the program ran counts: the clock goes on from the
    // time used that was written last.
    m_examTimer->resetTo(s.timeUsed);
    m_keepTicker->start();
    if (m_examTimer->isEnabled())
        countDown();
}

} // namespace session
