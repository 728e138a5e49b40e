#include "QuestionFormats.h"

#include "AikenFormat.h"
#include "GiftFormat.h"
#include "HtmlText.h"
#include "MoodleXmlFormat.h"
#include "Schemas.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace formats {

namespace {

// Length of the UTF-8 sequence starting at i, or 0 when it is not one; the
// code point comes back through code.
int utf8Length(const char* b, qsizetype size, qsizetype i, char32_t* code)
{
    const auto c = static_cast<unsigned char>(b[i]);
    int len = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        *code = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > size)
        return 0;
    for (int k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(b[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *code = cp;
    return len;
}

QString holdsForbidden(const QString& field, const QString& text)
{
    const ForbiddenAt bad = findForbidden(text);
    if (bad.index < 0)
        return {};
    return QStringLiteral("%1 holds %2, which no exchange file can carry").arg(field, bad.what);
}

// Each text of a record with what the messages call it.
std::vector<std::pair<QString, const QString*>> fields(const QuestionRecord& r)
{
    std::vector<std::pair<QString, const QString*>> out{
        {QStringLiteral("its name"), &r.name},
        {QStringLiteral("its question text"), &r.text},
        {QStringLiteral("its explanation"), &r.explanation},
    };
    for (int i = 0; i < kMaxChoices; ++i)
        out.emplace_back(QStringLiteral("choice %1").arg(choiceLetter(i)), &r.choices[size_t(i)]);
    return out;
}

} // namespace

void refuseForbiddenUtf8(const QByteArray& bytes)
{
    const char* b = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int line = 1;
    int column = 1;
    while (i < size) {
        const char c = b[i];
        if (c == '\n' || c == '\r') {
            i += c == '\r' && i + 1 < size && b[i + 1] == '\n' ? 2 : 1;
            ++line;
            column = 1;
            continue;
        }
        char32_t code = 0;
        const int len = utf8Length(b, size, i, &code);
        if (len > 0 && (code == 0 || code >= 0xFDD0)) {
            const QString what = forbiddenCharacter(code);
            if (!what.isEmpty())
                throw FormatError(
                    line, column,
                    QStringLiteral("the file holds %1, which no text may hold").arg(what));
        }
        i += std::max(len, 1);
        ++column;
    }
}

QString decodeText(const QByteArray& bytes)
{
    const char* b = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // A UTF-8 sequence never takes fewer bytes than the UTF-16 it becomes.
    QString text(size - i, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    qsizetype o = 0;
    int line = 1;
    int column = 1;
    while (i < size) {
        const char c = b[i];
        if (c == '\n' || c == '\r') {
            out[o++] = u'\n';
            i += c == '\r' && i + 1 < size && b[i + 1] == '\n' ? 2 : 1;
            ++line;
            column = 1;
            continue;
        }
        char32_t code = 0;
        const int len = utf8Length(b, size, i, &code);
        if (len == 0)
            throw FormatError(line, column, QStringLiteral("the file is not UTF-8 text"));
        if (code == 0 || code >= 0xFDD0) {
            const QString what = forbiddenCharacter(code);
            if (!what.isEmpty())
                throw FormatError(
                    line, column,
                    QStringLiteral("the file holds %1, which no text may hold").arg(what));
        }
        if (code >= 0x10000) {
            out[o++] = QChar::highSurrogate(code);
            out[o++] = QChar::lowSurrogate(code);
        } else {
            out[o++] = char16_t(code);
        }
        i += len;
        ++column;
    }
    text.truncate(o);
    return text;
}

Format detectImportFormat(const QString& fileName, const QByteArray& bytes)
{
    QByteArray head = bytes.left(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const QByteArray trimmed = head.trimmed();
    if (trimmed.startsWith('<'))
        return Format::MoodleXml;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        return Format::MoodleXml;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("gift"), Qt::CaseInsensitive) == 0)
        return Format::Gift;
    // A GIFT text may hold "ANSWER:" or "A." anywhere, but not a choice line
    // right before an answer line.
    static const QRegularExpression aikenEnd(
        QStringLiteral("^[ \\t]*[A-Z][.)][ \\t][^\\n]*\\n(\\s*\\n)*[ \\t]*ANSWER[ \\t]*:"),
        QRegularExpression::MultilineOption);
    QString text = QString::fromUtf8(head);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (aikenEnd.match(text).hasMatch())
        return Format::Aiken;
    return Format::Gift;
}

Format exportFormatForName(const QString& fileName)
{
    if (QFileInfo(fileName).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        return Format::MoodleXml;
    return Format::Gift;
}

std::optional<Format> formatFromName(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("gift"))
        return Format::Gift;
    if (n == QLatin1String("moodle") || n == QLatin1String("xml"))
        return Format::MoodleXml;
    if (n == QLatin1String("aiken"))
        return Format::Aiken;
    return std::nullopt;
}

QString formatName(Format format)
{
    switch (format) {
    case Format::Gift:
        return QStringLiteral("GIFT");
    case Format::MoodleXml:
        return QStringLiteral("Moodle XML");
    case Format::Aiken:
        return QStringLiteral("Aiken");
    }
    return {};
}

ParseResult parse(Format format, const QByteArray& bytes)
{
    switch (format) {
    case Format::Gift:
        return parseGift(decodeText(bytes));
    case Format::MoodleXml:
        return parseMoodleXml(bytes);
    case Format::Aiken:
        return parseAiken(decodeText(bytes));
    }
    return {};
}

QString exportProblem(const QuestionRecord& r)
{
    static const char letters[] = "abcdef";
    if (r.text.trimmed().isEmpty())
        return QStringLiteral("it has no question text");
    for (const auto& [field, text] : fields(r)) {
        const QString problem = holdsForbidden(field, *text);
        if (!problem.isEmpty())
            return problem;
    }
    const QString size = sizeProblem(r);
    if (!size.isEmpty())
        return size;
    int count = 0;
    int correct = 0;
    for (int i = 0; i < kMaxChoices; ++i) {
        const bool has = !r.choices[i].trimmed().isEmpty();
        if (has && count < i)
            return QStringLiteral("choice %1 follows an empty choice").arg(QLatin1Char(letters[i]));
        if (has)
            ++count;
        if (r.key[i] && !has)
            return QStringLiteral("choice %1 is marked correct but has no text")
                .arg(QLatin1Char(letters[i]));
        if (r.key[i])
            ++correct;
    }
    if (count < 2)
        return QStringLiteral("it has fewer than two choices");
    if (correct == 0)
        return QStringLiteral("it has no correct choice");
    if (!r.multiple && correct > 1)
        return QStringLiteral("it is a single response item with more than one correct choice");
    return {};
}

QString countText(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

QString sizeProblem(const QuestionRecord& r)
{
    for (const auto& [field, text] : fields(r)) {
        const qsizetype most =
            text == &r.text || text == &r.explanation ? kMaxTextLength : kMaxChoiceLength;
        if (text->size() > most)
            return QStringLiteral("%1 has %2 characters (at most %3 fit)")
                .arg(field, countText(text->size()), countText(most));
    }
    return {};
}

QString sourceSizeProblem()
{
    return QStringLiteral("it takes more than %1 characters of the file")
        .arg(countText(kMaxQuestionSource));
}

QString categoryForSection(int section)
{
    const QString name = store::sectionName(section);
    if (name.isEmpty())
        return QStringLiteral("$course$/top");
    return QStringLiteral("$course$/top/") + name;
}

int sectionForCategory(const QString& path)
{
    const QString last = path.section(QLatin1Char('/'), -1).trimmed();
    for (int s = 1; s <= store::kSectionCount; ++s) {
        if (last.compare(store::sectionName(s), Qt::CaseInsensitive) == 0)
            return s;
    }
    return 0;
}

QString listSummary(const QStringList& entries, int maxListed)
{
    if (maxListed < 0 || entries.size() <= maxListed)
        return entries.join(QStringLiteral("; "));
    return (entries.mid(0, maxListed)
            << QStringLiteral("and %1 more").arg(entries.size() - maxListed))
        .join(QStringLiteral("; "));
}

QString skippedSummary(const std::vector<SkippedQuestion>& skipped, int maxListed)
{
    QStringList parts;
    for (const SkippedQuestion& s : skipped)
        parts
            << QStringLiteral("question %1 (line %2): %3").arg(s.number).arg(s.line).arg(s.reason);
    return listSummary(parts, maxListed);
}

QString changedSummary(const std::vector<ChangedQuestion>& changed, int maxListed)
{
    QStringList parts;
    for (const ChangedQuestion& c : changed)
        parts << QStringLiteral("question %1 (line %2): %3")
                     .arg(c.number)
                     .arg(c.line)
                     .arg(c.changes.join(QStringLiteral(", ")));
    return listSummary(parts, maxListed);
}

QString importSummary(const ParseResult& result, int maxListed)
{
    const auto n = result.questions.size();
    QString text = n == 1 ? QStringLiteral("1 question will be added")
                          : QStringLiteral("%1 questions will be added").arg(n);
    if (!result.skipped.empty())
        text += QStringLiteral(" (%1 skipped: %2)")
                    .arg(result.skipped.size())
                    .arg(skippedSummary(result.skipped, maxListed));
    text += QLatin1Char('.');
    if (!result.changed.empty())
        text += QStringLiteral(" %1 changed: %2.")
                    .arg(result.changed.size())
                    .arg(changedSummary(result.changed, maxListed));
    return text;
}

QChar choiceLetter(int i)
{
    return QChar(u'a' + i);
}

QString mergeFeedback(const QString& general, const std::array<QString, kMaxChoices>& perChoice)
{
    QStringList lines;
    if (!general.isEmpty())
        lines << general;
    for (int i = 0; i < kMaxChoices; ++i) {
        if (!perChoice[size_t(i)].isEmpty())
            lines << choiceLetter(i) + QStringLiteral(": ") + perChoice[size_t(i)];
    }
    return lines.join(u'\n');
}

SplitFeedback splitFeedback(const QuestionRecord& r)
{
    static const QRegularExpression choiceLine(QStringLiteral("^([a-f]): (.*)$"),
                                               QRegularExpression::DotMatchesEverythingOption);
    SplitFeedback out;
    const QStringList lines = r.explanation.split(u'\n');
    QStringList general;
    int current = -1;
    for (const QString& line : lines) {
        const auto m = choiceLine.match(line);
        if (m.hasMatch()) {
            const int i = m.captured(1).at(0).unicode() - u'a';
            if (i > current && !r.choices[size_t(i)].trimmed().isEmpty()) {
                current = i;
                out.perChoice[size_t(i)] = m.captured(2);
                continue;
            }
        }
        if (current < 0)
            general << line;
        else
            out.perChoice[size_t(current)] += u'\n' + line;
    }
    out.general = general.join(u'\n');
    return out;
}

QuestionRecord trueFalseRecord(bool answer)
{
    QuestionRecord r;
    r.choices[0] = QStringLiteral("True");
    r.choices[1] = QStringLiteral("False");
    r.key[0] = answer;
    r.key[1] = !answer;
    return r;
}

bool isTrueFalse(const QuestionRecord& r)
{
    if (r.multiple || r.choices[0] != QLatin1String("True") ||
        r.choices[1] != QLatin1String("False") || r.key[0] == r.key[1])
        return false;
    for (int i = 2; i < kMaxChoices; ++i) {
        if (!r.choices[size_t(i)].isEmpty() || r.key[size_t(i)])
            return false;
    }
    return true;
}

double writtenWeight(const QuestionRecord& r, int i)
{
    if (!r.multiple)
        return r.key[size_t(i)] ? 100 : 0;
    int correct = 0;
    for (bool k : r.key)
        correct += k ? 1 : 0;
    return r.key[size_t(i)] ? 100.0 / correct : -100;
}

QString weightText(double w)
{
    return QString::number(w, 'g', 7);
}

QStringList weightChanges(const QuestionRecord& r, const std::vector<double>& weights)
{
    QStringList allOrNothing;
    QStringList dropped;
    for (size_t i = 0; i < weights.size() && i < size_t(kMaxChoices); ++i) {
        const double w = weights[i];
        // The writers round a share to seven digits.
        if (std::abs(w - writtenWeight(r, int(i))) < 0.001)
            continue;
        const QString entry = choiceLetter(int(i)) + u' ' + weightText(w) + u'%';
        if (!r.multiple && w < 0)
            dropped << entry;
        else
            allOrNothing << entry;
    }
    QStringList changes;
    if (!allOrNothing.isEmpty())
        changes << QStringLiteral("weights turned into all-or-nothing (%1)")
                       .arg(allOrNothing.join(QStringLiteral(", ")));
    if (!dropped.isEmpty())
        changes << QStringLiteral("negative weights dropped (%1)")
                       .arg(dropped.join(QStringLiteral(", ")));
    return changes;
}

} // namespace formats
