#pragma once

#include "GiftFormat.h"
#include "QuestionFormats.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace store {
class Table;
}

namespace formats {

// A file that cannot be read or written, or a format that does not apply.
class ExchangeError : public std::runtime_error {
public:
    explicit ExchangeError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

struct ImportPlan {
    Format format = Format::Gift;
    ParseResult result;
};

// Reads and parses a file to import, in the given format or the one its
// name and content show. A file that is not of its format throws an
// ExchangeError naming the file, line, column and reason.
ImportPlan readImportFile(const QString& path, std::optional<Format> format = std::nullopt);

// The records of an open user set, in key order, with their names.
std::vector<NumberedRecord> readUserSet(store::Table& table);
QuestionRecord currentRecord(const store::Table& table);

// Appends the records to an open user set in one transaction, and their
// names to the names file beside it before that transaction ends: on any
// failure none of them stays and the error goes on. progress, when given,
// is told how many records are posted after each; what it throws (a
// cancel) undoes the whole import the same way.
void addToUserSet(store::Table& table, const std::vector<QuestionRecord>& records,
                  const std::function<void(int)>& progress = {});

// The table file beside a user set that holds its questions' names, keyed by
// Q_ID: "tcpipusr.DAT" keeps them in "tcpipusr-names.DAT". The user set's
// own file holds its one table of items and nothing else, as the table layer
// requires of every table file.
QString namesFilePath(const QString& userSetPath);

struct ExportOutcome {
    int written = 0;
    QStringList skipped; // "item ID: reason"
};

// Writes the records that fit to path (replacing it only once the whole
// file is written). Aiken is not written.
ExportOutcome writeExportFile(const QString& path, Format format,
                              const std::vector<NumberedRecord>& records);

// "N questions written (M skipped: …)."
QString exportSummary(const ExportOutcome& outcome, int maxListed = -1);

} // namespace formats
