#pragma once

#include "Schemas.h"

#include <QString>
#include <QVariant>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace store {

class Session;
class Table;

// The running exam's own file, beside the current set, so that an exam the
// program did not live to finish can be taken up again.
inline constexpr const char* kSavedExamFile = "cesrun.DAT";

const TableSchema& savedExamSchema();

// What identifies an item's content, for seeing that a saved exam still
// matches its items: the text, the choices, the key and the kind, never the
// note. The fields are looked up once per table; the print is a 64-bit
// FNV-1a over them, fast enough for every item of a large set at each start.
class ItemPrinter final {
public:
    explicit ItemPrinter(const Table& items);
    // The print of the current record.
    qint64 print(const Table& items) const;
    // The print of a record held in hand, in the table's field order.
    qint64 print(const platform::RowValues& row) const;
    // Per field of the table: whether the print reads it.
    std::vector<bool> fieldsRead(size_t fieldCount) const;

private:
    template <typename ValueAt> qint64 printOf(const ValueAt& valueAt) const;

    std::vector<std::pair<int, bool>> m_fields; // position, is yes/no
};

// How the exam was drawn, so that a resumed one draws on the same table.
enum class ExamKind { OtherBankExam = 0, Practice = 1, AllQuestions = 2, Random = 3, User = 4 };

struct SavedItem {
    qint64 sourceId = 0; // the Q_ID of the bank or user-set item it copies
    qint64 print = 0;
    std::array<bool, 6> choice{};
    bool marked = false;
    // A simulation's tiles as last confirmed or cancelled: per tile 0 for
    // empty or k for the k-th starting caption; empty when none was kept.
    std::vector<int> tiles;
    // How long the item has been on screen, in milliseconds; 0 in a file
    // written before this was kept.
    qint64 msOnScreen = 0;
};

struct SavedExamState {
    ExamKind kind = ExamKind::OtherBankExam;
    QString title;
    QString candidate;
    // The bank filter the exam was drawn under; empty for a user exam.
    QString filter;
    int currentItem = 1;
    // In days, as the exam window keeps them.
    double timeLimit = 0;
    double timeUsed = 0;
    // The time ran out and the candidate went on without a countdown.
    bool untimed = false;
    // A note typed but not saved, for item draftItem (0: none).
    int draftItem = 0;
    QString draft;
    std::vector<SavedItem> items; // in exam order: element k - 1 is item k

    int answered() const;
};

// The file of the running exam. Every write goes to the file before it
// returns; a response or a move rewrites one record only.
class SavedExamFile final {
public:
    explicit SavedExamFile(Session& session,
                           const QString& fileName = QString::fromLatin1(kSavedExamFile));
    ~SavedExamFile();

    // Replaces whatever the file held with a new exam, in one transaction.
    void start(const SavedExamState& state);
    // Item k's response, 1-based.
    void writeResponse(int item, const std::array<bool, 6>& choice, bool marked,
                       const std::vector<int>& tiles = {});
    void writeProgress(int currentItem, double timeUsed);
    // The same, with the time one item has been on screen, in one commit.
    void writeProgress(int currentItem, double timeUsed, int timedItem, qint64 msOnScreen);
    // The countdown ran out and the exam went on untimed; synced.
    void writeUntimed(double timeUsed);
    // The note being typed; not synced, as a move is not.
    void writeDraft(int item, const QString& text);
    // The exam the file holds, or none. Throws platform::TableError when the
    // file cannot be read.
    std::optional<SavedExamState> read();
    // Forgets the exam for good; a file that cannot even be opened goes.
    void discard();
    // True while an exam is being kept.
    bool holdsExam() const { return m_holds; }
    void close();

private:
    void openTable();
    // Edits one record; a synced write waits for the disk.
    void writeRecord(int record, bool sync,
                     const std::vector<std::pair<const char*, QVariant>>& values);

    Session& m_session;
    QString m_fileName;
    std::unique_ptr<Table> m_table;
    bool m_holds = false;
};

} // namespace store
