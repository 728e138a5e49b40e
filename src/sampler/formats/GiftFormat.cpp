#include "GiftFormat.h"

#include "HtmlText.h"
#include "QuestionFormats.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <variant>

namespace formats {

namespace {

struct Pos {
    int line = 0;
    int column = 0;
};

// One question block: its lines without the comments between them, and
// where each line starts in the file. A position is kept per line, not per
// character, so that the block costs little more than its text.
struct Block {
    struct Line {
        qsizetype offset; // in text
        int line;
    };
    QString text;
    std::vector<Line> lines;
    // The characters of the file the block takes, beyond which its text is
    // not gathered.
    qsizetype length = 0;

    bool empty() const { return lines.empty(); }
    bool oversized() const { return length > kMaxQuestionSource; }
    void append(QStringView line, int lineNumber)
    {
        length += line.size() + (lines.empty() ? 0 : 1);
        if (oversized() && !lines.empty())
            return;
        if (!lines.empty())
            text += u'\n';
        lines.push_back({text.size(), lineNumber});
        text += line.left(kMaxQuestionSource + 1);
    }
    // Drops the block's first n characters, which end a line.
    void dropFront(qsizetype n)
    {
        text.remove(0, n);
        auto first =
            std::find_if(lines.begin(), lines.end(), [&](const Line& l) { return l.offset >= n; });
        lines.erase(lines.begin(), first);
        for (Line& l : lines)
            l.offset -= n;
    }
    // A line end within the block is at the end of its line.
    Pos at(qsizetype i) const
    {
        if (lines.empty())
            return {};
        i = std::clamp<qsizetype>(i, 0, std::max<qsizetype>(0, text.size() - 1));
        auto next = std::upper_bound(lines.begin(), lines.end(), i,
                                     [](qsizetype v, const Line& l) { return v < l.offset; });
        const Line& l = *(next - 1);
        return {l.line, int(i - l.offset) + 1};
    }
    [[noreturn]] void fail(qsizetype i, const QString& reason) const
    {
        const Pos p = at(i);
        throw FormatError(p.line, p.column, reason);
    }
};

bool isSpecial(QChar c)
{
    return c == u'~' || c == u'=' || c == u'#' || c == u'{' || c == u'}' || c == u':';
}

QString unescape(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar n = s[i + 1];
            if (isSpecial(n) || n == u'\\') {
                out += n;
                ++i;
                continue;
            }
            if (n == u'n') {
                out += u'\n';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Index of the first unescaped occurrence of what at or after from, or -1.
qsizetype findUnescaped(const QString& s, QStringView what, qsizetype from, qsizetype end = -1)
{
    if (end < 0)
        end = s.size();
    for (qsizetype i = from; i < end; ++i) {
        if (s[i] == u'\\') {
            ++i;
            continue;
        }
        if (QStringView(s).mid(i, what.size()) == what && i + what.size() <= end)
            return i;
    }
    return -1;
}

struct Answer {
    bool equals = false;
    double weight = 0;
    QString text;
    QString feedback;
    qsizetype at = 0;
};

const QRegularExpression& formatMarker()
{
    static const QRegularExpression marker(
        QStringLiteral("^\\s*\\[(html|plain|moodle|markdown)\\]"));
    return marker;
}

class QuestionParser {
public:
    QuestionParser(const Block& b) : m_b(b), m_s(b.text) {}

    // Returns the record, or the reason it is skipped; changes() then says
    // what was not taken over as the file has it.
    std::variant<QuestionRecord, QString> parse(int section)
    {
        QuestionRecord r;
        r.section = section;
        qsizetype i = skipSpace(0);
        if (QStringView(m_s).mid(i, 2) == u"::") {
            const qsizetype close = findUnescaped(m_s, u"::", i + 2);
            if (close < 0)
                m_b.fail(i, QStringLiteral("the title has no closing \"::\""));
            r.name = unescape(QStringView(m_s).mid(i + 2, close - i - 2)).trimmed();
            i = close + 2;
        }
        const qsizetype open = findUnescaped(m_s, u"{", i);
        const qsizetype stray = findUnescaped(m_s, u"}", i, open < 0 ? m_s.size() : open);
        if (stray >= 0)
            m_b.fail(stray, QStringLiteral("\"}\" without an opening \"{\""));
        if (open < 0)
            return QStringLiteral("it has no answers (a description)");
        const qsizetype close = findUnescaped(m_s, u"}", open + 1);
        const qsizetype nested = findUnescaped(m_s, u"{", open + 1, close < 0 ? m_s.size() : close);
        if (nested >= 0)
            m_b.fail(nested, QStringLiteral("\"{\" inside an answer block"));
        if (close < 0)
            m_b.fail(open, QStringLiteral("the answer block has no closing \"}\""));
        const qsizetype second = findUnescaped(m_s, u"{", close + 1);
        if (second >= 0)
            m_b.fail(second, QStringLiteral("a second answer block"));
        const qsizetype strayAfter = findUnescaped(m_s, u"}", close + 1);
        if (strayAfter >= 0)
            m_b.fail(strayAfter, QStringLiteral("\"}\" without an opening \"{\""));

        // The question's format is the one its other texts have unless they
        // name their own.
        QString before = m_s.mid(i, open - i);
        const auto fm = formatMarker().match(before);
        if (fm.hasMatch()) {
            m_format = *textFormatFromName(fm.captured(1));
            before = before.mid(fm.capturedEnd());
        }
        QString text = unescape(QStringView(before).trimmed());
        const QString after = m_s.mid(close + 1).trimmed();
        if (!after.isEmpty())
            text += QStringLiteral(" _____ ") + unescape(after);
        r.text = convert(text, m_format, QStringView(m_s).mid(i));

        const qsizetype bodyStart = open + 1;
        // General feedback ends the block.
        qsizetype bodyEnd = close;
        QString general;
        const qsizetype generalAt = findUnescaped(m_s, u"####", bodyStart, close);
        if (generalAt >= 0) {
            general = plainOf(QStringView(m_s).mid(generalAt + 4, close - generalAt - 4));
            bodyEnd = generalAt;
        }
        const QString answersText = m_s.mid(bodyStart, bodyEnd - bodyStart).trimmed();
        if (answersText.isEmpty())
            return QStringLiteral("it is an essay question");
        if (answersText.startsWith(u'#'))
            return QStringLiteral("it is a numerical question");
        static const QRegularExpression trueFalse(
            QStringLiteral("^(TRUE|FALSE|T|F)\\s*(#.*)?$"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        const auto tf = trueFalse.match(answersText);
        if (tf.hasMatch())
            return finishTrueFalse(r, tf.captured(1).at(0).toUpper() == u'T',
                                   skipSpace(bodyStart, bodyEnd) + tf.capturedLength(1), bodyEnd,
                                   general);

        std::vector<Answer> answers;
        bool arrow = false;
        qsizetype k = skipSpace(bodyStart, bodyEnd);
        if (k < bodyEnd && m_s[k] != u'~' && m_s[k] != u'=')
            m_b.fail(k, QStringLiteral("an answer must start with \"~\" or \"=\""));
        while (k < bodyEnd) {
            Answer a;
            a.at = k;
            a.equals = m_s[k] == u'=';
            ++k;
            if (k < bodyEnd && m_s[k] == u'%') {
                const qsizetype end = m_s.indexOf(u'%', k + 1);
                bool ok = false;
                double w = 0;
                if (end > 0 && end < bodyEnd)
                    w = m_s.mid(k + 1, end - k - 1).replace(u',', u'.').toDouble(&ok);
                if (!ok || w < -100 || w > 100)
                    m_b.fail(k, QStringLiteral("the weight is not a number from -100 to 100 "
                                               "between two \"%\""));
                a.weight = w;
                k = end + 1;
            } else {
                a.weight = a.equals ? 100 : 0;
            }
            // The answer runs to the next unescaped marker; "#" starts its
            // own feedback.
            qsizetype end = k;
            qsizetype feedback = -1;
            while (end < bodyEnd) {
                const QChar c = m_s[end];
                if (c == u'\\') {
                    end += 2;
                    continue;
                }
                if (c == u'~' || c == u'=')
                    break;
                if (c == u'#' && feedback < 0)
                    feedback = end;
                ++end;
            }
            end = std::min(end, bodyEnd);
            const qsizetype textEnd = feedback >= 0 ? feedback : end;
            const QString raw = m_s.mid(k, textEnd - k);
            arrow |= a.equals && findUnescaped(raw, u"->", 0) >= 0;
            a.text = plainOf(QStringView(m_s).mid(k, textEnd - k));
            if (a.text.isEmpty())
                m_b.fail(a.at, QStringLiteral("an answer without text"));
            if (feedback >= 0)
                a.feedback = plainOf(QStringView(m_s).mid(feedback + 1, end - feedback - 1));
            answers.push_back(a);
            k = end;
        }
        if (m_picture)
            return QStringLiteral("it has a picture");

        bool anyTilde = false;
        bool anyEquals = false;
        for (const Answer& a : answers) {
            anyTilde |= !a.equals;
            anyEquals |= a.equals;
        }
        // As Moodle reads it: a "~" makes a multiple-choice question, whose
        // right answer may hold "->"; without one, "->" makes a matching one.
        if (!anyTilde)
            return arrow ? QStringLiteral("it is a matching question")
                         : QStringLiteral("it is a short answer question");
        if (answers.size() > size_t(kMaxChoices))
            return QStringLiteral("it has %1 choices (at most 6 fit)").arg(answers.size());
        if (answers.size() < 2)
            return QStringLiteral("it has fewer than two choices");

        r.multiple = !anyEquals;
        double positive = 0;
        int full = 0;
        std::vector<double> weights;
        std::array<QString, kMaxChoices> feedback;
        for (size_t n = 0; n < answers.size(); ++n) {
            const double w = answers[n].weight;
            r.choices[n] = answers[n].text;
            feedback[n] = answers[n].feedback;
            weights.push_back(w);
            if (w > 0)
                positive += w;
            const bool whole = w >= 100 - 1e-9;
            if (whole)
                ++full;
            // One right answer of a single response question takes the
            // credit; a partial one counts as wrong, as the item is graded.
            r.key[n] = r.multiple ? w > 0 : whole;
        }
        if (positive == 0)
            return QStringLiteral("no choice has a positive weight");
        if (!r.multiple && full != 1)
            return QStringLiteral(
                "its weights do not mark one correct choice of a single response question");
        if (r.multiple && std::abs(positive - 100) > 0.5)
            return QStringLiteral("its positive weights add up to %1%, not 100%")
                .arg(weightText(positive));
        finish(r, general, feedback);
        m_changes << weightChanges(r, weights);
        return r;
    }

    const QStringList& changes() const { return m_changes; }

private:
    // {T}, {TRUE#for a wrong answer#for a right answer} and their kin.
    std::variant<QuestionRecord, QString> finishTrueFalse(QuestionRecord& r, bool answer,
                                                          qsizetype from, qsizetype bodyEnd,
                                                          const QString& general)
    {
        QuestionRecord tf = trueFalseRecord(answer);
        tf.name = r.name;
        tf.section = r.section;
        tf.text = r.text;
        QString wrong;
        QString right;
        const qsizetype first = findUnescaped(m_s, u"#", from, bodyEnd);
        if (first >= 0) {
            const qsizetype second = findUnescaped(m_s, u"#", first + 1, bodyEnd);
            const qsizetype wrongEnd = second < 0 ? bodyEnd : second;
            wrong = plainOf(QStringView(m_s).mid(first + 1, wrongEnd - first - 1));
            if (second >= 0)
                right = plainOf(QStringView(m_s).mid(second + 1, bodyEnd - second - 1));
        }
        if (m_picture)
            return QStringLiteral("it has a picture");
        std::array<QString, kMaxChoices> feedback;
        feedback[answer ? 0 : 1] = right;
        feedback[answer ? 1 : 0] = wrong;
        finish(tf, general, feedback);
        return tf;
    }

    void finish(QuestionRecord& r, const QString& general,
                const std::array<QString, kMaxChoices>& feedback)
    {
        r.explanation = mergeFeedback(general, feedback);
        for (TextFormat f : m_converted)
            m_changes << textFormatName(f) + QStringLiteral(" turned into plain text");
        QStringList letters;
        for (int i = 0; i < kMaxChoices; ++i) {
            if (!feedback[size_t(i)].isEmpty())
                letters << choiceLetter(i);
        }
        if (!letters.isEmpty())
            m_changes << QStringLiteral("the feedback of %1 added to the explanation")
                             .arg(letters.join(QStringLiteral(", ")));
    }

    // A text of the question (still escaped) in its own format or the
    // question's, as plain text.
    QString plainOf(QStringView raw)
    {
        TextFormat format = m_format;
        const QString trimmed = raw.trimmed().toString();
        const auto fm = formatMarker().match(trimmed);
        if (fm.hasMatch()) {
            format = *textFormatFromName(fm.captured(1));
            return convert(unescape(QStringView(trimmed).mid(fm.capturedEnd()).trimmed()), format,
                           raw);
        }
        return convert(unescape(trimmed), format, raw);
    }

    // raw is where the text stands in the block, for the position of an
    // error.
    QString convert(const QString& text, TextFormat format, QStringView raw)
    {
        if (hasPicture(text, format))
            m_picture = true;
        QString plain;
        try {
            plain = toPlain(text, format).trimmed();
        } catch (const BadReference& e) {
            m_b.fail(badReferenceAt(raw), e.reason());
        }
        if (plain != text.trimmed()) {
            const TextFormat shown = format == TextFormat::Moodle ? TextFormat::Html : format;
            if (!m_converted.contains(shown)) {
                m_converted << shown;
                std::sort(m_converted.begin(), m_converted.end());
            }
        }
        return plain;
    }

    // Where in the block raw holds a numeric reference to a code point no
    // text may hold ("&#0;", or "&\\#0;" with GIFT's escape), or where raw
    // starts when it holds none.
    qsizetype badReferenceAt(QStringView raw) const
    {
        static const QRegularExpression reference(
            QStringLiteral("&\\\\?#(?:([xX])([0-9A-Fa-f]+)|([0-9]+));"));
        const qsizetype start = std::clamp<qsizetype>(raw.data() - m_s.constData(), 0, m_s.size());
        auto it = reference.globalMatch(m_s.mid(start, raw.size()));
        while (it.hasNext()) {
            const auto m = it.next();
            bool ok = false;
            const uint code =
                m.hasCaptured(1) ? m.captured(2).toUInt(&ok, 16) : m.captured(3).toUInt(&ok, 10);
            if (!ok || !forbiddenCharacter(code).isEmpty())
                return start + m.capturedStart();
        }
        return start;
    }

    qsizetype skipSpace(qsizetype i, qsizetype end = -1) const
    {
        if (end < 0)
            end = m_s.size();
        while (i < end && m_s[i].isSpace())
            ++i;
        return i;
    }

    const Block& m_b;
    const QString& m_s;
    // Unmarked GIFT text is taken as it stands, as it was typed.
    TextFormat m_format = TextFormat::Plain;
    bool m_picture = false;
    QList<TextFormat> m_converted;
    QStringList m_changes;
};

} // namespace

ParseResult parseGift(const QString& text)
{
    ParseResult result;
    int section = 0;
    int number = 0;
    static const QRegularExpression category(QStringLiteral("^\\s*\\$CATEGORY:"));
    // Each block is read as soon as it ends: only one is held beside the text.
    auto take = [&](Block& b) {
        const auto cm = category.match(b.text);
        if (cm.hasMatch()) {
            const qsizetype eol = b.text.indexOf(u'\n');
            const QString path =
                b.text.mid(cm.capturedEnd(), eol < 0 ? -1 : eol - cm.capturedEnd()).trimmed();
            if (path.isEmpty())
                b.fail(cm.capturedEnd(), QStringLiteral("\"$CATEGORY:\" without a category"));
            section = sectionForCategory(path);
            if (eol < 0)
                return;
            // A question may follow its category line in the same block.
            b.length -= eol + 1;
            b.dropFront(eol + 1);
        }
        ++number;
        const int line = b.at(0).line;
        if (b.oversized()) {
            result.skipped.push_back({number, line, sourceSizeProblem()});
            return;
        }
        QuestionParser parser(b);
        auto outcome = parser.parse(section);
        if (auto* r = std::get_if<QuestionRecord>(&outcome)) {
            const QString tooLarge = sizeProblem(*r);
            if (!tooLarge.isEmpty())
                result.skipped.push_back({number, line, tooLarge});
            else {
                result.questions.push_back(std::move(*r));
                if (!parser.changes().isEmpty())
                    result.changed.push_back({number, line, parser.changes()});
            }
        } else
            result.skipped.push_back({number, line, std::get<QString>(outcome)});
    };
    Block current;
    auto flush = [&] {
        if (!current.empty())
            take(current);
        current = Block();
    };
    // The lines are taken one at a time, not split into a list beside the
    // text.
    int lineNumber = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        ++lineNumber;
        const QStringView line = QStringView(text).mid(start, end - start);
        start = end + 1;
        const QStringView t = line.trimmed();
        if (t.startsWith(QLatin1String("//")))
            continue;
        if (t.isEmpty()) {
            flush();
            continue;
        }
        current.append(line, lineNumber);
    }
    flush();
    return result;
}

QString giftEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'\\' || isSpecial(c))
            out += u'\\';
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        out += c;
    }
    return out;
}

namespace {

// A text as GIFT carries it to Moodle exactly: marked as plain text where
// Moodle's own format would read markup or a marker into it.
QString giftText(const QString& text)
{
    const bool markup =
        text.contains(u'<') || text.contains(u'&') || formatMarker().match(text).hasMatch();
    return (markup ? QStringLiteral("[plain]") : QString()) + giftEscape(text);
}

} // namespace

QString writeGift(const std::vector<NumberedRecord>& records)
{
    QString out;
    int section = -1;
    for (const NumberedRecord& nr : records) {
        const QuestionRecord& r = nr.record;
        if (r.section != section) {
            section = r.section;
            out += QStringLiteral("$CATEGORY: ") + categoryForSection(section) +
                   QStringLiteral("\n\n");
        }
        const SplitFeedback feedback = splitFeedback(r);
        const QString name = r.name.isEmpty() ? QStringLiteral("Item %1").arg(nr.id) : r.name;
        out += QStringLiteral("::") + giftEscape(name) + QStringLiteral("::") + giftText(r.text) +
               QStringLiteral(" {\n");
        if (isTrueFalse(r)) {
            const bool answer = r.key[0];
            const QString& right = feedback.perChoice[answer ? 0 : 1];
            const QString& wrong = feedback.perChoice[answer ? 1 : 0];
            out += answer ? QStringLiteral("\tTRUE") : QStringLiteral("\tFALSE");
            if (!wrong.isEmpty() || !right.isEmpty())
                out += u'#' + giftText(wrong);
            if (!right.isEmpty())
                out += u'#' + giftText(right);
            out += u'\n';
        } else {
            int correct = 0;
            for (bool k : r.key)
                correct += k ? 1 : 0;
            for (int i = 0; i < kMaxChoices; ++i) {
                if (r.choices[i].trimmed().isEmpty())
                    continue;
                QString marker;
                if (r.multiple)
                    marker = r.key[i] ? QStringLiteral("~%") + weightText(100.0 / correct) + u'%'
                                      : QStringLiteral("~%-100%");
                else
                    marker = r.key[i] ? QStringLiteral("=") : QStringLiteral("~");
                QString choice = giftText(r.choices[i]);
                // A choice that itself starts with "%" would read as a weight.
                if (!r.multiple && choice.startsWith(u'%'))
                    marker += r.key[i] ? QStringLiteral("%100%") : QStringLiteral("%0%");
                out += u'\t' + marker + choice;
                if (!feedback.perChoice[size_t(i)].isEmpty())
                    out += QStringLiteral(" #") + giftText(feedback.perChoice[size_t(i)]);
                out += u'\n';
            }
        }
        if (!feedback.general.isEmpty())
            out += QStringLiteral("\t####") + giftText(feedback.general) + u'\n';
        out += QStringLiteral("}\n\n");
    }
    return out;
}

} // namespace formats
