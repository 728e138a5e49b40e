#pragma once

#include "GiftFormat.h"
#include "QuestionRecord.h"

#include <QByteArray>

namespace formats {

// Reads a Moodle XML quiz. Multiple-choice questions become records; other
// kinds are skipped with the reason; XML that is not well formed, or not a
// quiz, throws a FormatError with the reader's line and column.
ParseResult parseMoodleXml(const QByteArray& bytes);

// Writes the records as a Moodle XML quiz in UTF-8, each multiple-choice
// question after a category entry for its section. Every record must pass
// exportProblem().
QByteArray writeMoodleXml(const std::vector<NumberedRecord>& records);

} // namespace formats
