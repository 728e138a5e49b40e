#pragma once

#include "History.h"
#include "ItemMapper.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace store {
class Session;
} // namespace store

namespace results {

// The exam objective an item serves, by its id (userItem: a Q_ID of the user
// set); empty when it has none or nobody knows.
using ObjectiveLookup = std::function<QString(int itemId, bool userItem)>;

// One field of a CSV record: quoted, with quotes doubled, when it holds a
// comma, a quote or a line break.
QString csvField(const QString& text);

// Every answer of every attempt, one record per answer, with a header line:
// attempt (its number in the history, the oldest 1), date, exam, item id
// ("U" before a user item's), section, objective, response (the letters
// chosen), correct, seconds. Response and seconds are empty for an attempt
// kept without them. UTF-8, lines ended by CR LF.
QByteArray answersCsv(const std::vector<store::Attempt>& attempts,
                      const ObjectiveLookup& objective = {});

// An item of an attempt as the answer review shows it: what the bank or the
// user set holds for it now (found false when it is no longer there) and
// what the candidate answered.
struct ReviewEntry {
    int number = 0; // item k of the exam
    store::AttemptItem answer;
    bool found = false;
    store::ExamItem item;
};

// Reads the attempt's items from the bank or the user set. Throws
// platform::TableError when the table cannot be read.
std::vector<ReviewEntry> gatherReview(store::Session& session, const store::Attempt& attempt);

// The review as a rich-text document (HTML) for the PDF.
QString reviewHtml(const store::Attempt& attempt, const std::vector<ReviewEntry>& entries,
                   const ObjectiveLookup& objective = {});

// Writes a document to a PDF file beside its place and moves it there once it
// is whole; false with the reason in error when it cannot.
bool writePdf(const QString& path, const QString& title,
              const std::function<bool(QPagedPaintDevice&)>& paint, QString* error);
bool writeFile(const QString& path, const QByteArray& bytes, QString* error);

// Paints a rich-text document over as many pages as it needs.
bool paintDocument(QPagedPaintDevice& device, const QString& html);

} // namespace results
