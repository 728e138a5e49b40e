#pragma once

#include "Schemas.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace store {

class Session;

// The file of graded exams, beside the user set; it only ever grows unless
// the candidate deletes attempts.
inline constexpr const char* kHistoryFile = "tcpiphst.DAT";

// Beside the history, what it has no field for: each attempt's responses,
// sections and times per item. A file of its own, so that a program that
// knows only the history file reads and writes that file as before.
inline constexpr const char* kHistoryAnswersFile = "tcpiphst-answers.DAT";

// One item of a graded exam. userItem: the id is a Q_ID of the user set, not
// of the bank. The response, section and time come from the answers file;
// an attempt recorded without them (by an older release, or when that file
// could not be written) has seconds < 0 and no response.
struct AttemptItem {
    int id = 0;
    bool correct = false;
    bool marked = false;
    bool userItem = false;
    std::array<bool, 6> choice{}; // a..f
    int section = 0;
    int seconds = -1; // time on screen, whole seconds; < 0: not known

    bool timeKnown() const { return seconds >= 0; }

    bool operator==(const AttemptItem&) const = default;
};

struct SectionTally {
    int correct = 0;
    int total = 0;

    bool operator==(const SectionTally&) const = default;
};

// One graded exam as the history keeps it.
struct Attempt {
    qint64 key = 0;    // Q_ID in the history file; 0 until it is added
    double when = 0;   // local date-time in days, as the clock gives it
    QString title;     // ExamTitle
    QString candidate; // CandidateName
    int itemCount = 0;
    int score = 0;     // 0..1000, as shown
    bool pass = false; // decided on the unrounded score, as the report does
    std::array<SectionTally, kSectionCount> sections{}; // element s - 1 for section s
    int secondsUsed = 0;
    std::vector<AttemptItem> items; // in the exam's order

    bool userItems() const { return !items.empty() && items.front().userItem; }
    // Whether the responses and times of the items were kept.
    bool detailed() const { return !items.empty() && items.front().timeKnown(); }
    bool operator==(const Attempt&) const = default;
};

const TableSchema& historySchema();

// The per-item field: one token per item, "<id><+|-><m?>" with a leading "U"
// for a user item, e.g. "12+ 7-m U3+".
QString encodeItems(const std::vector<AttemptItem>& items);
// Throws std::invalid_argument for a text that is not such a list.
std::vector<AttemptItem> decodeItems(const QString& text);

// The answers field: one token per item, "<choices>/<section>/<seconds>",
// the choices as letters or "-" for none, e.g. "ac/3/12 -/1/4".
QString encodeAnswers(const std::vector<AttemptItem>& items);
// Fills choice, section and seconds of items from such a text; false, with
// items unchanged, for a text that is not one or lists another item count.
bool decodeAnswers(const QString& text, std::vector<AttemptItem>& items);
// The response as the answers field writes it: "ac", or "-" for none.
QString choiceLetters(const std::array<bool, 6>& choice);

// Days counted as the clock counts them, as "yyyy-MM-dd hh:mm:ss".
QString formatWhen(double days);
// Reads formatWhen's text back; a text it did not write gives a negative value.
double parseWhen(const QString& text);

// The history file, opened for each operation and closed again, so that no
// handle on it stays open between exams. Every call throws
// platform::TableError, also for a record that is not a history record.
class HistoryFile final {
public:
    // path resolves against the working directory, as the other tables do.
    // The answers file lies beside path, named after it.
    HistoryFile(Session& session, const QString& path = QString::fromLatin1(kHistoryFile));

    const QString& path() const { return m_path; }
    QString answersPath() const;
    Session& session() const { return m_session; }
    // Oldest first; a missing or empty file is an empty history. A record
    // that no graded exam could have left is passed over, and its error text
    // goes to unreadable when given: one bad record never hides the rest.
    // Throws when the file as a whole cannot be read.
    std::vector<Attempt> readAll(QStringList* unreadable = nullptr) const;
    // Returns the new record's key; creates the file when it is missing.
    // The items' answers go to the answers file after the record is in the
    // history: an attempt is never lost for want of them, and a failure to
    // keep them only leaves its times unknown.
    qint64 add(const Attempt& attempt);
    void remove(qint64 key);
    // Empties the file; one that cannot be read at all is deleted, so that
    // the candidate can always start over.
    void removeAll();

private:
    Session& m_session;
    QString m_path;
};

// Creates an empty history file unless one exists.
void ensureHistoryFile(const QString& path);

} // namespace store
