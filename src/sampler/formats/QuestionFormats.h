#pragma once

#include "QuestionRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace formats {

enum class Format { Gift, MoodleXml, Aiken };

// Decodes a text file as UTF-8: a byte-order mark is dropped and Windows (or
// old Mac) line ends become "\n". Bytes that are not UTF-8 throw a
// FormatError at their line and column.
QString decodeText(const QByteArray& bytes);

// The format of a file to import: Moodle XML for a ".xml" name or content
// that starts with "<"; GIFT for a ".gift" name; Aiken when a choice line
// ("A." or "A)") is followed by an "ANSWER:" line; GIFT otherwise.
Format detectImportFormat(const QString& fileName, const QByteArray& bytes);
// The format to export to: ".xml" is Moodle XML, anything else GIFT.
Format exportFormatForName(const QString& fileName);
// "gift", "moodle" (or "xml") and "aiken"; nullopt for anything else.
std::optional<Format> formatFromName(const QString& name);
QString formatName(Format format);

ParseResult parse(Format format, const QByteArray& bytes);

// Why a record cannot be written faithfully by the exchange formats, or an
// empty text when it can.
QString exportProblem(const QuestionRecord& record);

// The category path written for a section, and the section a category path
// names (by its last part, without regard to case; 0 when none does).
QString categoryForSection(int section);
int sectionForCategory(const QString& path);

// "N questions will be added (M skipped: …)" and its parts, naming at most
// maxListed entries (all when negative) and counting the rest.
QString listSummary(const QStringList& entries, int maxListed);
QString skippedSummary(const std::vector<SkippedQuestion>& skipped, int maxListed = -1);
QString importSummary(const ParseResult& result, int maxListed = -1);

} // namespace formats
