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

// The letter of choice i (0-based): a to f.
QChar choiceLetter(int i);

// The choices' own feedback as the explanation carries it: the general
// feedback, then one "a: …" line for each choice that has feedback.
QString mergeFeedback(const QString& general, const std::array<QString, kMaxChoices>& perChoice);
struct SplitFeedback {
    QString general;
    std::array<QString, kMaxChoices> perChoice;
};
// The explanation taken apart again: from the first line that starts with
// the letter of a choice with text and ": ", each such line with a later
// letter starts that choice's feedback and other lines go on with it.
SplitFeedback splitFeedback(const QuestionRecord& record);

// A true/false question as the user set holds it: single response, the
// choices "True" and "False" and no other.
QuestionRecord trueFalseRecord(bool answer);
bool isTrueFalse(const QuestionRecord& record);

// The weight (percent) the writers give choice i of the record: all or
// nothing, as the item is graded.
double writtenWeight(const QuestionRecord& record, int i);
// What reading a file's weights (percent, one per choice) into the record
// changed, each as a text for the import summary; none when the writers
// would give the same weights back.
QStringList weightChanges(const QuestionRecord& record, const std::vector<double>& weights);
QString weightText(double weight);

// "N questions will be added (M skipped: …). K changed: …." and its parts,
// naming at most maxListed entries of each list (all when negative) and
// counting the rest.
QString listSummary(const QStringList& entries, int maxListed);
QString skippedSummary(const std::vector<SkippedQuestion>& skipped, int maxListed = -1);
QString changedSummary(const std::vector<ChangedQuestion>& changed, int maxListed = -1);
QString importSummary(const ParseResult& result, int maxListed = -1);

} // namespace formats
