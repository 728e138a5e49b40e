#pragma once

#include "ItemMapper.h"
#include "Responses.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
class Services;
class Ticker;
} // namespace platform

namespace store {
struct Attempt;
struct BuildResult;
class BuildProgress;
class DataSource;
class ExamSetBuilder;
class HistoryFile;
class SavedExamFile;
struct SavedExamState;
class Session;
class Table;
} // namespace store

namespace exam {

class TimeCounter;

enum class Mode { Idle = 0, Exam = 1, Review = 3 };

using Seconds = std::chrono::seconds;

// What the window has settled before an exam is built.
struct ExamStart {
    QString title;
    QString candidate;
    Seconds timeLimit{0};
    bool userItems = false; // drawn from the user set, not the bank
};

// A simulation's tiles: for each of its eight tiles, 0 for an empty caption
// or k for the k-th starting caption. Empty when nothing was kept.
using TileArrangement = std::vector<int>;

// The running exam, without a window: the tables it is drawn from and
// written to, the current item, the responses and what is decided about
// them, the clock, the kept copy for resuming, and the history record.
//
// Every durable step follows one order: the file is written (and synced,
// for responses and attempts) before the call returns, so a caller may tell
// the user it happened; an attempt is in the history before the kept exam is
// dropped. Operations throw platform::TableError; a failure to keep the exam
// for resuming is not thrown but reported through keepingFailed, since the
// exam itself goes on.
class ExamSession final : public QObject {
    Q_OBJECT
public:
    // Writes of the time used happen every this many ticks.
    static constexpr int kTicksPerTimeWrite = 5;

    explicit ExamSession(platform::Services& services, QObject* parent = nullptr);
    ~ExamSession() override;

    // The tables and files it owns.
    store::Session& tableSession() { return *m_session; }
    store::Table& bank() { return *m_bank; }
    store::Table& currentSet() { return *m_currentSet; }
    store::Table& userSet() { return *m_userSet; }
    store::DataSource* currentSetSource() const { return m_currentSetSource; }
    store::ExamSetBuilder& builder() { return *m_builder; }
    store::HistoryFile& history() { return *m_history; }
    store::SavedExamFile& savedExam() { return *m_savedExam; }
    void setBuildProgress(store::BuildProgress* progress);
    // Seeds the shuffles of later builds; the clock when not set.
    void setSeedSource(std::function<std::uint64_t()> seed);
    platform::Ticker* keepTicker() const { return m_keepTicker.get(); }
    TimeCounter& clock() { return *m_clock; }

    // What the exam is.
    Mode mode() const { return m_mode; }
    const QString& title() const { return m_title; }
    const QString& candidate() const { return m_candidate; }
    int itemCount() const { return m_itemCount; }
    int firstItemNumber() const { return m_firstItem; }
    bool userItems() const { return m_userItems; }
    const store::Responses& responses() const { return m_responses; }
    bool isGraded() const { return m_graded; }
    // How long each item has been on screen in exam mode, in seconds on the
    // monotonic clock: element k - 1 for item k, the item shown now included.
    std::vector<double> secondsOnScreen() const;
    // The record of the exam graded last, kept also when the history could
    // not take it; null before grading.
    const store::Attempt* lastAttempt() const { return m_lastAttempt.get(); }

    // The current item: its number (0 when there is none), its content and
    // its response.
    int currentItemNumber() const;
    store::ExamItem currentItem() const;
    const store::ItemResponse* currentResponse() const;

    // Time.
    Seconds timeLimit() const { return m_timeLimit; }
    Seconds timeUsed() const;
    Seconds timeLeft() const;
    // The countdown runs: timed by the options, and not run out and gone on.
    bool countingDown() const;
    // The time ran out and the candidate went on: no further expiry.
    bool untimed() const { return m_untimed; }
    // Whether the options time exams; switching it on mid-exam starts the
    // countdown again from the full time.
    void setTimed(bool on);

    // Starts an exam: build fills the current set (it may throw). Returns
    // false when the build gave no items; the session is then idle.
    bool start(const ExamStart& exam, const std::function<store::BuildResult()>& build);
    // The exam the window was left in when the program stopped: none, or
    // its state. Throws when the file cannot be read.
    std::optional<store::SavedExamState> readKeptExam();
    // Whether that exam's items are still those of its source and of the
    // current set.
    bool keptExamFits(const store::SavedExamState& saved);
    // Takes the kept exam up where it stopped.
    void resume(const store::SavedExamState& saved);
    // The kept exam was offered and kept for later: a new exam would
    // replace it, so the window asks first.
    bool keptExamWaiting() const { return m_waiting; }
    const QString& waitingExamTitle() const { return m_waitingTitle; }
    void keepForLater(const QString& title);
    // Forgets the kept exam for good. Throws, leaving the file, when it
    // cannot be emptied for a reason other than damage (a full disk, a lock).
    void discardKeptExam();

    // Answers for the current item; they are judged here and kept, synced,
    // before the call returns. Ignored outside exam mode.
    void setChoices(const std::array<bool, 6>& choice);
    void setMarked(bool marked);
    // A simulation window closed: confirmed or not, its arrangement judged
    // right or not, and the arrangement itself for a resumed exam.
    void setSimulationOutcome(bool confirmed, bool right, const TileArrangement& tiles);
    // The arrangement a resumed exam kept for a simulation, by its tag.
    TileArrangement keptArrangement(const QString& simulation) const;
    // Judges the current item again, as a simulation of an unknown tag asks.
    void recheckCurrentItem();

    // The note being typed, kept unsynced so that a crash does not lose
    // it; cleared by an empty text.
    void keepNoteDraft(const QString& text);
    // The draft kept for the current item, if any.
    QString noteDraft() const;

    // Moves.
    void goToItem(int number);
    void showNext();
    void showPrevious();

    // The countdown ran out and the candidate went on untimed.
    void continueUntimed();
    // Grades the exam: records the attempt, then drops the kept exam.
    // Returns the history's error text when the attempt could not be
    // recorded (the exam is then kept, to be offered again), else empty.
    QString grade();
    // After grading: the answers with their verdicts, from item 1.
    void enterReview();
    // Ends the exam without grading; nothing of it is offered again.
    void endExam();
    // Back to idle, the tables closed; a kept exam stays.
    void close();

signals:
    void responseChanged(int item);
    void timeLeftChanged(exam::Seconds left);
    void timeExpired();
    void graded();
    void modeChanged(exam::Mode mode);
    // Keeping the exam for resuming failed; the exam goes on unkept.
    void keepingFailed(const QString& error);

private:
    store::ItemResponse* responseOf(int item);
    void judge(int item);
    void tick();
    void keep(const std::function<void()>& write);
    void keepNewExam(const std::vector<qint64>& prints);
    void keepResponse(int item);
    void keepProgress(bool timeOnly);
    void noteSourceItems();
    void setMode(Mode mode);
    void settleShownTime();
    std::vector<qint64> printsOfCurrentSet();

    platform::Services& m_services;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<store::Table> m_bank;
    std::unique_ptr<store::Table> m_currentSet;
    std::unique_ptr<store::Table> m_userSet;
    store::DataSource* m_bankSource = nullptr;
    store::DataSource* m_currentSetSource = nullptr;
    store::DataSource* m_userSetSource = nullptr;
    store::BuildProgress* m_progress = nullptr;
    std::function<std::uint64_t()> m_seed;
    std::unique_ptr<store::ExamSetBuilder> m_builder;
    std::unique_ptr<store::HistoryFile> m_history;
    std::unique_ptr<store::SavedExamFile> m_savedExam;
    std::unique_ptr<platform::Ticker> m_keepTicker;
    TimeCounter* m_clock = nullptr;

    Mode m_mode = Mode::Idle;
    QString m_title;
    QString m_candidate;
    int m_itemCount = 0;
    int m_firstItem = 0;
    bool m_userItems = false;
    store::Responses m_responses;
    std::vector<int> m_sourceIds;                // Q_OR_NUMBER of item k at k - 1
    std::vector<TileArrangement> m_tiles;        // item k's simulation at k - 1
    QHash<QString, TileArrangement> m_keptTiles; // by tag, as a resume found them
    Seconds m_timeLimit{0};
    bool m_timed = true;
    bool m_untimed = false;
    bool m_graded = false;
    std::unique_ptr<store::Attempt> m_lastAttempt;
    // Time on screen: the days each item was shown, the item shown now and
    // since when, and the item whose time was last brought up to date.
    std::vector<double> m_daysOnScreen;
    int m_shownItem = 0;
    double m_shownSince = 0;
    int m_settledItem = 0;

    // Keeping.
    bool m_keeping = false;
    store::Responses m_keptResponses;
    int m_keptItem = 0;
    int m_ticksSinceKept = 0;
    int m_draftItem = 0;
    QString m_draft;
    QString m_waitingTitle;
    bool m_waiting = false;
};

} // namespace exam
