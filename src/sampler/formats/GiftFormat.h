#pragma once

#include "QuestionRecord.h"

namespace formats {

// Reads GIFT text (already decoded, "\n" line ends). Multiple-choice
// questions become records; other kinds are skipped with the reason; a text
// that is not GIFT throws a FormatError at the offending character.
ParseResult parseGift(const QString& text);

// Writes the records as GIFT, each under its section's category, titled
// "Item " plus its key. Every record must pass exportProblem().
struct NumberedRecord {
    qint64 id = 0;
    QuestionRecord record;
};
QString writeGift(const std::vector<NumberedRecord>& records);

// GIFT's escapes: "\" before ~ = # { } : and "\", "\n" for a line break.
QString giftEscape(const QString& text);

} // namespace formats
