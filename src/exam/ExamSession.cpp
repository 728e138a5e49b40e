#include "ExamSession.h"

#include "AttemptRecord.h"
#include "DataSource.h"
#include "ExamSetBuilder.h"
#include "History.h"
#include "ReviewPool.h"
#include "SavedExam.h"
#include "Schemas.h"
#include "Services.h"
#include "Session.h"
#include "Table.h"
#include "TableError.h"
#include "TimeCounter.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace exam {

namespace {

constexpr double kSecondsPerDay = 86400.0;

double toDays(Seconds s)
{
    return static_cast<double>(s.count()) / kSecondsPerDay;
}

Seconds toSeconds(double days)
{
    return Seconds(std::llround(std::max(0.0, days) * kSecondsPerDay));
}

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

QString errorText(const std::exception& e)
{
    if (const auto* t = dynamic_cast<const platform::TableError*>(&e))
        return t->text();
    return QString::fromUtf8(e.what());
}

// Runs read with no display told of the moves and inside one read of the
// file: a walk over thousands of records then costs neither a repaint nor a
// transaction per record.
template <typename Read> void withinQuietRead(store::Table& t, const Read& read)
{
    t.disableControls();
    t.beginReading();
    try {
        read();
    } catch (...) {
        try {
            t.endReading();
        } catch (...) {
            // The first fault is the one to report.
        }
        t.enableControls();
        throw;
    }
    t.endReading();
    t.enableControls();
}

// Reads every record of t behind its display's back: no item is shown on
// the way, whatever the reader throws.
template <typename Read> void readQuietly(store::Table& t, const Read& read)
{
    withinQuietRead(t, [&] {
        for (t.first(); !t.eof(); t.next())
            read();
    });
}

} // namespace

ExamSession::ExamSession(platform::Services& services, QObject* parent)
    : QObject(parent), m_services(services)
{
    m_session = std::make_unique<store::Session>(QString::fromLatin1(store::kSessionName));
    m_session->registerPassword(QString::fromLatin1(store::kTablePassword));
    m_bank = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kBankFile),
                                            store::bankSchema());
    m_currentSet = std::make_unique<store::Table>(
        *m_session, QString::fromLatin1(store::kCurrentSetFile), store::currentSetSchema(), true);
    m_userSet = std::make_unique<store::Table>(*m_session, QString::fromLatin1(store::kUserSetFile),
                                               store::userSetSchema());
    m_bankSource = new store::DataSource(m_bank.get(), this);
    m_bankSource->setObjectName(QStringLiteral("dsQSet"));
    m_currentSetSource = new store::DataSource(m_currentSet.get(), this);
    m_currentSetSource->setObjectName(QStringLiteral("dsCurrentSet"));
    m_userSetSource = new store::DataSource(m_userSet.get(), this);
    m_userSetSource->setObjectName(QStringLiteral("dsUserSet"));
    m_builder = std::make_unique<store::ExamSetBuilder>(nullptr);
    m_history = std::make_unique<store::HistoryFile>(*m_session);
    m_savedExam = std::make_unique<store::SavedExamFile>(*m_session);

    m_keepTicker = m_services.createTicker();
    connect(m_keepTicker.get(), &platform::Ticker::tick, this, [this] {
        if (m_mode != Mode::Exam || !m_keeping)
            m_keepTicker->stop();
        else if (++m_ticksSinceKept >= kTicksPerTimeWrite)
            keepProgress(true);
    });
    // Made last, so that a scripted run's latest ticker is the countdown's.
    m_clock = new TimeCounter(m_services, this);
    connect(m_clock, &TimeCounter::ticked, this, &ExamSession::tick);
    // A move is kept once the item it leads to is current.
    connect(m_currentSetSource, &store::DataSource::dataChanged, this, [this](int field) {
        if (field < 0) {
            settleShownTime();
            keepProgress(false);
        }
    });
}

ExamSession::~ExamSession()
{
    // The tables go before the data sources that watch them.
    m_bank->close();
    m_currentSet->close();
    m_userSet->close();
    delete m_bankSource;
    delete m_currentSetSource;
    delete m_userSetSource;
    m_savedExam->close();
}

void ExamSession::setBuildProgress(store::BuildProgress* progress)
{
    m_progress = progress;
    m_builder = std::make_unique<store::ExamSetBuilder>(m_progress, m_seed);
}

void ExamSession::setSeedSource(std::function<std::uint64_t()> seed)
{
    m_seed = std::move(seed);
    m_builder = std::make_unique<store::ExamSetBuilder>(m_progress, m_seed);
}

void ExamSession::setMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    emit modeChanged(mode);
}

// --- The current item -------------------------------------------------------

int ExamSession::currentItemNumber() const
{
    return m_currentSet->isOpen() ? m_currentSet->recNo() : 0;
}

store::ExamItem ExamSession::currentItem() const
{
    if (currentItemNumber() == 0)
        return {};
    return store::readItem(*m_currentSet);
}

store::ItemResponse* ExamSession::responseOf(int item)
{
    if (item < 1 || static_cast<size_t>(item) > m_responses.size())
        return nullptr;
    return &m_responses[static_cast<size_t>(item - 1)];
}

const store::ItemResponse* ExamSession::currentResponse() const
{
    return const_cast<ExamSession*>(this)->responseOf(currentItemNumber());
}

// --- Time -------------------------------------------------------------------

void ExamSession::settleShownTime()
{
    const double now = m_services.monotonicNow();
    if (m_mode == Mode::Exam && !m_graded && m_shownItem >= 1 &&
        static_cast<size_t>(m_shownItem) <= m_daysOnScreen.size())
        m_daysOnScreen[static_cast<size_t>(m_shownItem - 1)] += std::max(0.0, now - m_shownSince);
    m_settledItem = m_shownItem;
    m_shownItem = currentItemNumber();
    m_shownSince = now;
}

std::vector<double> ExamSession::secondsOnScreen() const
{
    std::vector<double> seconds;
    seconds.reserve(m_daysOnScreen.size());
    const double since = m_mode == Mode::Exam && !m_graded
                             ? std::max(0.0, m_services.monotonicNow() - m_shownSince)
                             : 0.0;
    for (size_t k = 0; k < m_daysOnScreen.size(); ++k)
        seconds.push_back(
            (m_daysOnScreen[k] + (static_cast<int>(k) + 1 == m_shownItem ? since : 0.0)) *
            kSecondsPerDay);
    return seconds;
}

Seconds ExamSession::timeUsed() const
{
    return toSeconds(parseDuration(m_clock->elapsed()));
}

Seconds ExamSession::timeLeft() const
{
    return std::max(Seconds(0), m_timeLimit - timeUsed());
}

bool ExamSession::countingDown() const
{
    return m_clock->isEnabled();
}

void ExamSession::setTimed(bool on)
{
    m_timed = on;
    if (m_mode != Mode::Exam)
        return;
    // The options switch a countdown on from the full time, as a new exam.
    m_untimed = false;
    m_clock->reset();
    m_clock->setEnabled(on);
    if (on)
        emit timeLeftChanged(timeLeft());
}

void ExamSession::tick()
{
    const Seconds used = timeUsed();
    emit timeLeftChanged(std::max(Seconds(0), m_timeLimit - used));
    if (used >= m_timeLimit) {
        // Off before the question is asked, so that it never comes twice.
        m_clock->setEnabled(false);
        emit timeExpired();
    }
}

void ExamSession::continueUntimed()
{
    m_clock->setEnabled(false);
    m_untimed = true;
    keep([&] { m_savedExam->writeUntimed(toDays(timeUsed())); });
}

// --- Starting and resuming ----------------------------------------------------

bool ExamSession::start(const ExamStart& exam, const std::function<store::BuildResult()>& build)
{
    // Idle while the set is written, so that no item is shown half-built.
    setMode(Mode::Idle);
    m_title = exam.title;
    m_candidate = exam.candidate;
    m_timeLimit = exam.timeLimit;
    m_userItems = exam.userItems;
    store::BuildResult built = build();
    m_firstItem = built.firstItemNumber;
    m_itemCount = built.itemCount;
    store::ExamSetBuilder::resetResponses(*m_currentSet, m_responses);
    if (m_itemCount == 0) {
        close();
        return false;
    }
    noteSourceItems();
    m_tiles.assign(m_responses.size(), {});
    m_keptTiles.clear();
    m_untimed = false;
    m_graded = false;
    m_lastAttempt.reset();
    m_waiting = false;
    m_waitingTitle.clear();
    m_draftItem = 0;
    m_draft.clear();
    m_daysOnScreen.assign(m_responses.size(), 0.0);
    keepNewExam(built.prints);
    setMode(Mode::Exam);
    m_shownItem = currentItemNumber();
    m_shownSince = m_services.monotonicNow();
    m_settledItem = 0;
    m_clock->reset();
    m_clock->setEnabled(m_timed);
    return true;
}

void ExamSession::noteSourceItems()
{
    m_sourceIds.assign(m_responses.size(), 0);
    readQuietly(*m_currentSet, [&] {
        const int k = m_currentSet->recNo();
        if (k >= 1 && static_cast<size_t>(k) <= m_sourceIds.size())
            m_sourceIds[static_cast<size_t>(k - 1)] = store::readSourceId(*m_currentSet);
    });
}

std::optional<store::SavedExamState> ExamSession::readKeptExam()
{
    return m_savedExam->read();
}

bool ExamSession::keptExamFits(const store::SavedExamState& saved)
{
    const bool userExam = saved.kind == store::ExamKind::User;
    // Every item must still be in the table it was drawn from, with the same
    // content, and where a bank exam draws, under the exam's filter.
    store::Table& source = userExam ? *m_userSet : *m_bank;
    if (!userExam) {
        m_bank->close();
        m_bank->setFilter(saved.filter);
        m_bank->setFiltered(true);
    }
    source.open();
    const store::ItemPrinter sourcePrinter(source);
    const int key = source.fieldIndex(QStringLiteral("Q_ID"));
    bool fits = true;
    if (saved.items.size() * 4 < static_cast<size_t>(source.recordCount())) {
        // A few items of a large table: each is found by its key.
        withinQuietRead(source, [&] {
            for (const store::SavedItem& item : saved.items) {
                source.setKey();
                source.setValueAt(key, item.sourceId);
                if (!source.gotoKey() || sourcePrinter.print(source) != item.print) {
                    fits = false;
                    return;
                }
            }
        });
    } else {
        // Most of the table: one pass over it costs less than a look-up each.
        QHash<qint64, qint64> prints;
        prints.reserve(static_cast<qsizetype>(saved.items.size()));
        for (const store::SavedItem& item : saved.items)
            prints.insert(item.sourceId, -1);
        source.forEachVisibleRow([&](const platform::RowValues& row) {
            const auto it = prints.find(row.value(key).toLongLong());
            if (it != prints.end())
                *it = sourcePrinter.print(row);
        });
        for (const store::SavedItem& item : saved.items)
            if (prints.value(item.sourceId) != item.print)
                fits = false;
    }
    if (!fits)
        return false;
    if (userExam)
        m_bank->close();

    // The current set must still be the exam's, item for item.
    store::Table& t = *m_currentSet;
    if (!t.isOpen()) {
        t.setExclusive(true);
        t.open();
    }
    if (t.recordCount() != static_cast<int>(saved.items.size()))
        return false;
    const store::ItemPrinter printer(t);
    const int sourceId = t.fieldIndex(QStringLiteral("Q_OR_NUMBER"));
    size_t k = 0;
    bool same = true;
    // The set's records in key order are its items in exam order.
    t.forEachVisibleRow([&](const platform::RowValues& row) {
        if (same && k < saved.items.size())
            same = row.value(sourceId).toLongLong() == saved.items[k].sourceId &&
                   printer.print(row) == saved.items[k].print;
        ++k;
    });
    return same && k == saved.items.size();
}

void ExamSession::resume(const store::SavedExamState& s)
{
    m_title = s.title;
    m_candidate = s.candidate;
    m_timeLimit = toSeconds(s.timeLimit);
    m_userItems = s.kind == store::ExamKind::User;
    store::Table& t = *m_currentSet;
    t.disableControls();
    try {
        t.first();
        m_firstItem = t.recNo();
        m_itemCount = t.recordCount();
    } catch (...) {
        t.enableControls();
        throw;
    }
    t.enableControls();
    store::ExamSetBuilder::resetResponses(t, m_responses);
    m_sourceIds.assign(m_responses.size(), 0);
    m_tiles.assign(m_responses.size(), {});
    m_keptTiles.clear();
    m_daysOnScreen.assign(m_responses.size(), 0.0);
    for (size_t k = 0; k < m_daysOnScreen.size() && k < s.items.size(); ++k)
        m_daysOnScreen[k] = static_cast<double>(s.items[k].msOnScreen) / (kSecondsPerDay * 1000);
    readQuietly(t, [&] {
        const size_t k = static_cast<size_t>(t.recNo() - 1);
        if (k >= m_responses.size() || k >= s.items.size())
            return;
        store::ItemResponse& r = m_responses[k];
        r.Choice = s.items[k].choice;
        r.Marked = s.items[k].marked;
        r.Correct = store::readKey(t) == r.Choice;
        // The history names the items the exam was drawn from, as it does
        // for an exam taken in one run.
        m_sourceIds[k] = static_cast<int>(s.items[k].sourceId);
        m_tiles[k] = s.items[k].tiles;
        // Items of one tag share one window: the last one with tiles speaks
        // for it.
        if (!m_tiles[k].empty())
            m_keptTiles.insert(store::readItem(t).simulation, m_tiles[k]);
    });
    m_untimed = s.untimed;
    m_graded = false;
    m_lastAttempt.reset();
    m_waiting = false;
    m_waitingTitle.clear();
    m_draftItem = s.draftItem;
    m_draft = s.draft;
    m_keeping = true;
    m_keptResponses = m_responses;
    m_keptItem = s.currentItem;
    m_ticksSinceKept = 0;
    setMode(Mode::Exam);
    // The time an item was on screen goes on from what was kept.
    m_shownItem = currentItemNumber();
    m_shownSince = m_services.monotonicNow();
    // Only the time the program ran counts: the clock goes on from the time
    // used that was written last.
    m_clock->resetTo(s.timeUsed);
    m_clock->setEnabled(m_timed && !m_untimed);
    m_keepTicker->start();
}

TileArrangement ExamSession::keptArrangement(const QString& simulation) const
{
    return m_keptTiles.value(simulation);
}

void ExamSession::keepForLater(const QString& title)
{
    m_waiting = true;
    m_waitingTitle = title;
    m_savedExam->close();
}

void ExamSession::discardKeptExam()
{
    m_waiting = false;
    m_waitingTitle.clear();
    m_keeping = false;
    m_keepTicker->stop();
    m_keptResponses.clear();
    m_savedExam->discard();
}

// --- Answers ----------------------------------------------------------------

void ExamSession::judge(int item)
{
    store::ItemResponse* r = responseOf(item);
    if (!r || item != currentItemNumber())
        return;
    r->Correct = store::readKey(*m_currentSet) == r->Choice;
}

void ExamSession::setChoices(const std::array<bool, 6>& choice)
{
    const int k = currentItemNumber();
    store::ItemResponse* r = responseOf(k);
    if (m_mode != Mode::Exam || !r)
        return;
    r->Choice = choice;
    judge(k);
    keepResponse(k);
    emit responseChanged(k);
}

void ExamSession::setMarked(bool marked)
{
    const int k = currentItemNumber();
    store::ItemResponse* r = responseOf(k);
    if (m_mode != Mode::Exam || !r)
        return;
    r->Marked = marked;
    keepResponse(k);
    emit responseChanged(k);
}

void ExamSession::setSimulationOutcome(bool confirmed, bool right, const TileArrangement& tiles)
{
    const int k = currentItemNumber();
    store::ItemResponse* r = responseOf(k);
    if (m_mode != Mode::Exam || !r)
        return;
    r->Choice[4] = confirmed && !right;
    r->Choice[5] = confirmed && right;
    m_tiles[static_cast<size_t>(k - 1)] = tiles;
    judge(k);
    // Written whether or not the flags changed: the tiles are part of it.
    keep([&] { m_savedExam->writeResponse(k, r->Choice, r->Marked, tiles); });
    m_keptResponses.resize(m_responses.size());
    m_keptResponses[static_cast<size_t>(k - 1)] = *r;
    emit responseChanged(k);
}

void ExamSession::recheckCurrentItem()
{
    const int k = currentItemNumber();
    if (m_mode != Mode::Exam || !responseOf(k))
        return;
    judge(k);
}

void ExamSession::keepNoteDraft(const QString& text)
{
    const int k = currentItemNumber();
    if (m_mode != Mode::Exam || k == 0 || (text == m_draft && k == m_draftItem))
        return;
    m_draftItem = text.isEmpty() ? 0 : k;
    m_draft = text;
    keep([&] { m_savedExam->writeDraft(k, text); });
}

QString ExamSession::noteDraft() const
{
    return m_draftItem != 0 && m_draftItem == currentItemNumber() ? m_draft : QString();
}

// --- Moves ------------------------------------------------------------------

void ExamSession::goToItem(int number)
{
    m_currentSet->setRecNo(number);
}

void ExamSession::showNext()
{
    m_currentSet->next();
}

void ExamSession::showPrevious()
{
    m_currentSet->prior();
}

// --- Ending -----------------------------------------------------------------

QString ExamSession::grade()
{
    if (m_mode != Mode::Exam || m_graded)
        return {};
    std::vector<int> itemSeconds;
    for (const double s : secondsOnScreen())
        itemSeconds.push_back(static_cast<int>(std::min<long long>(std::llround(s), INT32_MAX)));
    m_graded = true;
    m_clock->setEnabled(false);
    m_keepTicker->stop();
    const int seconds = static_cast<int>(timeUsed().count());
    m_lastAttempt = std::make_unique<store::Attempt>(
        makeAttempt(m_title, m_candidate, m_services.now(), std::max(0, seconds), m_responses,
                    m_sourceIds, m_userItems, itemSeconds));
    QString error;
    try {
        m_lastAttempt->key = m_history->add(*m_lastAttempt);
    } catch (const std::exception& e) {
        error = errorText(e);
    }
    if (error.isEmpty()) {
        try {
            learning::recordInReviewPool(*m_session, *m_lastAttempt, m_lastAttempt->when);
        } catch (const std::exception&) {
            // The review pool is a study aid; the history holds the answers.
        }
        // Recorded: only now may the kept copy go. A copy that cannot be
        // emptied now (a full disk) is offered again rather than lost.
        try {
            discardKeptExam();
        } catch (const platform::TableError&) {
            m_savedExam->close();
        }
    } else {
        // Not recorded: the kept copy stays, so the exam is offered again
        // and can be graded into the history then.
        m_keeping = false;
        m_savedExam->close();
    }
    emit graded();
    return error;
}

void ExamSession::enterReview()
{
    setMode(Mode::Review);
    m_currentSet->first();
}

void ExamSession::endExam()
{
    if (m_mode == Mode::Exam && !m_graded)
        discardKeptExam();
    close();
}

void ExamSession::close()
{
    setMode(Mode::Idle);
    m_graded = false;
    m_clock->setEnabled(false);
    m_keepTicker->stop();
    m_keeping = false;
    m_bank->setFilter(QString());
    m_bank->setFiltered(false);
    m_bank->close();
    m_currentSet->close();
    m_userSet->close();
}

// --- Keeping ----------------------------------------------------------------

void ExamSession::keep(const std::function<void()>& write)
{
    if (!m_keeping)
        return;
    try {
        write();
    } catch (const std::exception& e) {
        // The exam goes on; only its copy for resuming ends here.
        m_keeping = false;
        m_keepTicker->stop();
        emit keepingFailed(errorText(e));
    }
}

std::vector<qint64> ExamSession::printsOfCurrentSet()
{
    std::vector<qint64> prints;
    const store::ItemPrinter printer(*m_currentSet);
    readQuietly(*m_currentSet, [&] { prints.push_back(printer.print(*m_currentSet)); });
    return prints;
}

void ExamSession::keepNewExam(const std::vector<qint64>& prints)
{
    m_keeping = true;
    keep([&] {
        store::SavedExamState s;
        s.kind = kindOf(m_title, m_userItems);
        s.title = m_title;
        s.candidate = m_candidate;
        s.filter = m_userItems ? QString() : m_bank->filter();
        s.currentItem = m_firstItem;
        s.timeLimit = toDays(m_timeLimit);
        // The build's prints spare a read of every item's texts.
        const std::vector<qint64> all =
            prints.size() == m_sourceIds.size() ? prints : printsOfCurrentSet();
        for (size_t k = 0; k < m_sourceIds.size(); ++k) {
            store::SavedItem item;
            item.sourceId = m_sourceIds[k];
            item.print = k < all.size() ? all[k] : 0;
            item.msOnScreen = k < m_daysOnScreen.size()
                                  ? std::llround(m_daysOnScreen[k] * kSecondsPerDay * 1000)
                                  : 0;
            s.items.push_back(item);
        }
        m_savedExam->start(s);
    });
    m_keptResponses = m_responses;
    m_keptItem = m_firstItem;
    m_ticksSinceKept = 0;
    if (m_keeping)
        m_keepTicker->start();
}

void ExamSession::keepResponse(int item)
{
    if (m_mode != Mode::Exam || !m_keeping || m_responses.size() != m_keptResponses.size())
        return;
    const store::ItemResponse* now = responseOf(item);
    if (!now)
        return;
    store::ItemResponse& kept = m_keptResponses[static_cast<size_t>(item - 1)];
    if (now->Choice == kept.Choice && now->Marked == kept.Marked)
        return;
    keep([&] {
        m_savedExam->writeResponse(item, now->Choice, now->Marked,
                                   m_tiles[static_cast<size_t>(item - 1)]);
    });
    kept = *now;
}

void ExamSession::keepProgress(bool timeOnly)
{
    if (m_mode != Mode::Exam || !m_keeping || !m_currentSet->isOpen())
        return;
    const int k = m_currentSet->recNo();
    if (timeOnly)
        settleShownTime();
    if (k < 1 || (!timeOnly && k == m_keptItem))
        return;
    const int timed = m_settledItem;
    const qint64 ms =
        timed >= 1 && static_cast<size_t>(timed) <= m_daysOnScreen.size()
            ? std::llround(m_daysOnScreen[static_cast<size_t>(timed - 1)] * kSecondsPerDay * 1000)
            : 0;
    keep([&] { m_savedExam->writeProgress(k, toDays(timeUsed()), timed, ms); });
    m_keptItem = k;
    m_ticksSinceKept = 0;
}

} // namespace exam
