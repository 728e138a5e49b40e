#pragma once

#include "QuestionRecord.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace formats {

enum class Format { Gift, MoodleXml, Aiken };

// How much an import takes. The shipped bank's longest question text has
// 1,394 characters, its longest explanation 1,332 and its longest choice 203;
// an item averages 1,200 characters. A file of 64 MB holds some 50,000 such
// questions, more than any exam's bank, and is read in a few hundred MB of
// memory; a question text or explanation of 65,536 characters is some 30
// printed pages, a choice (a single line of the item window) or a name of
// 4,096 characters some 50 lines.
inline constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;
inline constexpr qsizetype kMaxTextLength = 65536;
inline constexpr qsizetype kMaxChoiceLength = 4096;
// What one question may take of the file, markup and all: a question beyond
// it is skipped before its texts are converted, so that one huge question
// costs no more memory than the file.
inline constexpr qsizetype kMaxQuestionSource = 1024 * 1024;

// Decodes a text file as UTF-8: a byte-order mark is dropped and Windows (or
// old Mac) line ends become "\n". Bytes that are not UTF-8, a NUL and the
// non-characters throw a FormatError at their line and column.
QString decodeText(const QByteArray& bytes);
// Throws a FormatError at the first NUL or non-character of UTF-8 bytes;
// bytes that are not UTF-8 are left to the caller.
void refuseForbiddenUtf8(const QByteArray& bytes);

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
// empty text when it can: besides what the item window needs, a character
// no text may hold (forbiddenCharacter()) or a text beyond the sizes an
// import takes.
QString exportProblem(const QuestionRecord& record);

// Why a question read from a file is too large for the user set
// ("its question text has 70,000 characters (at most 65,536 fit)"), or an
// empty text.
QString sizeProblem(const QuestionRecord& record);
// "it takes more than 1,048,576 characters of the file"
QString sourceSizeProblem();
// A count as the messages write it: "65,536".
QString countText(qint64 n);

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
