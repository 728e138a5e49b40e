#include "GiftFormat.h"

#include "HtmlText.h"
#include "QuestionFormats.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <variant>

namespace formats {

namespace {

struct Pos {
    int line = 0;
    int column = 0;
};

// One question block: its characters and where each came from.
struct Block {
    QString text;
    std::vector<Pos> pos;
    Pos at(qsizetype i) const
    {
        if (pos.empty())
            return {};
        return pos[static_cast<size_t>(std::min<qsizetype>(i, qsizetype(pos.size()) - 1))];
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
    bool weighted = false;
    QString text;
    qsizetype at = 0;
};

QString weightText(double w)
{
    return QString::number(w, 'g', 7);
}

class QuestionParser {
public:
    QuestionParser(const Block& b) : m_b(b), m_s(b.text) {}

    // Returns the record, or the reason it is skipped.
    std::variant<QuestionRecord, QString> parse(int section)
    {
        qsizetype i = skipSpace(0);
        if (QStringView(m_s).mid(i, 2) == u"::") {
            const qsizetype close = findUnescaped(m_s, u"::", i + 2);
            if (close < 0)
                m_b.fail(i, QStringLiteral("the title has no closing \"::\""));
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

        QString before = m_s.mid(i, open - i);
        const QString after = m_s.mid(close + 1).trimmed();
        bool html = false;
        static const QRegularExpression formatTag(
            QStringLiteral("^\\s*\\[(html|plain|moodle|markdown)\\]"));
        const auto fm = formatTag.match(before);
        if (fm.hasMatch()) {
            html = fm.captured(1) == QLatin1String("html");
            before = before.mid(fm.capturedEnd());
        }
        QString text = unescape(QStringView(before).trimmed());
        if (!after.isEmpty())
            text += QStringLiteral(" _____ ") + unescape(after);
        if (html) {
            if (hasPicture(text))
                return QStringLiteral("it has a picture");
            text = htmlToPlain(text);
        }

        QuestionRecord r;
        r.section = section;
        r.text = text.trimmed();
        const qsizetype bodyStart = open + 1;
        const QString body = m_s.mid(bodyStart, close - bodyStart);
        const QString trimmedBody = body.trimmed();
        if (trimmedBody.isEmpty())
            return QStringLiteral("it is an essay question");
        if (trimmedBody.startsWith(u'#'))
            return QStringLiteral("it is a numerical question");
        static const QRegularExpression trueFalse(
            QStringLiteral("^(T|F|TRUE|FALSE)\\s*(#.*)?$"),
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::DotMatchesEverythingOption);
        if (trueFalse.match(trimmedBody).hasMatch())
            return QStringLiteral("it is a true/false question");

        // General feedback ends the block.
        qsizetype bodyEnd = close;
        const qsizetype general = findUnescaped(m_s, u"####", bodyStart, close);
        if (general >= 0) {
            r.explanation =
                unescape(QStringView(m_s).mid(general + 4, close - general - 4).trimmed());
            bodyEnd = general;
        }
        if (html && hasPicture(r.explanation))
            return QStringLiteral("it has a picture");
        if (html)
            r.explanation = htmlToPlain(r.explanation).trimmed();

        std::vector<Answer> answers;
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
                a.weighted = true;
                k = end + 1;
            } else {
                a.weight = a.equals ? 100 : 0;
            }
            // The answer runs to the next unescaped marker; "#" starts its
            // own feedback, which the set has no field for.
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
            if (a.equals && findUnescaped(raw, u"->", 0) >= 0)
                return QStringLiteral("it is a matching question");
            a.text = unescape(QStringView(raw).trimmed());
            if (html) {
                if (hasPicture(a.text))
                    return QStringLiteral("it has a picture");
                a.text = htmlToPlain(a.text).trimmed();
            }
            if (a.text.isEmpty())
                m_b.fail(a.at, QStringLiteral("an answer without text"));
            answers.push_back(a);
            k = end;
        }

        bool anyTilde = false;
        bool anyEquals = false;
        for (const Answer& a : answers) {
            anyTilde |= !a.equals;
            anyEquals |= a.equals;
        }
        if (!anyTilde)
            return QStringLiteral("it is a short answer question");
        if (answers.size() > size_t(kMaxChoices))
            return QStringLiteral("it has %1 choices (at most 6 fit)").arg(answers.size());
        if (answers.size() < 2)
            return QStringLiteral("it has fewer than two choices");

        r.multiple = !anyEquals;
        double positive = 0;
        int full = 0;
        for (size_t n = 0; n < answers.size(); ++n) {
            r.choices[n] = answers[n].text;
            r.key[n] = answers[n].weight > 0;
            if (answers[n].weight > 0)
                positive += answers[n].weight;
            if (answers[n].weight >= 100 - 1e-9)
                ++full;
        }
        if (positive == 0)
            return QStringLiteral("no choice has a positive weight");
        if (!r.multiple) {
            bool partial = false;
            for (const Answer& a : answers)
                partial |= a.weight > 0 && a.weight < 100 - 1e-9;
            if (full != 1 || partial)
                return QStringLiteral(
                    "its weights do not mark one correct choice of a single response question");
        } else if (std::abs(positive - 100) > 0.5) {
            return QStringLiteral("its positive weights add up to %1%, not 100%")
                .arg(weightText(positive));
        }
        return r;
    }

private:
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
};

} // namespace

ParseResult parseGift(const QString& text)
{
    ParseResult result;
    const QStringList lines = text.split(u'\n');
    std::vector<Block> blocks;
    Block current;
    auto flush = [&] {
        if (!current.text.isEmpty())
            blocks.push_back(std::move(current));
        current = Block();
    };
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("//")))
            continue;
        if (t.isEmpty()) {
            flush();
            continue;
        }
        if (!current.text.isEmpty()) {
            current.text += u'\n';
            current.pos.push_back({int(n), int(lines[n - 1].size()) + 1});
        }
        for (qsizetype c = 0; c < line.size(); ++c) {
            current.text += line[c];
            current.pos.push_back({int(n + 1), int(c + 1)});
        }
    }
    flush();

    int section = 0;
    int number = 0;
    static const QRegularExpression category(QStringLiteral("^\\s*\\$CATEGORY:"));
    for (Block& b : blocks) {
        const auto cm = category.match(b.text);
        if (cm.hasMatch()) {
            const qsizetype eol = b.text.indexOf(u'\n');
            const QString path =
                b.text.mid(cm.capturedEnd(), eol < 0 ? -1 : eol - cm.capturedEnd()).trimmed();
            if (path.isEmpty())
                b.fail(cm.capturedEnd(), QStringLiteral("\"$CATEGORY:\" without a category"));
            section = sectionForCategory(path);
            if (eol < 0)
                continue;
            // A question may follow its category line in the same block.
            b.text = b.text.mid(eol + 1);
            b.pos.erase(b.pos.begin(), b.pos.begin() + eol + 1);
        }
        ++number;
        const int line = b.at(0).line;
        QuestionParser parser(b);
        auto outcome = parser.parse(section);
        if (auto* r = std::get_if<QuestionRecord>(&outcome))
            result.questions.push_back(std::move(*r));
        else
            result.skipped.push_back({number, line, std::get<QString>(outcome)});
    }
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
        int correct = 0;
        for (bool k : r.key)
            correct += k ? 1 : 0;
        out +=
            QStringLiteral("::Item %1::").arg(nr.id) + giftEscape(r.text) + QStringLiteral(" {\n");
        for (int i = 0; i < kMaxChoices; ++i) {
            if (r.choices[i].trimmed().isEmpty())
                continue;
            QString marker;
            if (r.multiple)
                marker = r.key[i] ? QStringLiteral("~%") + weightText(100.0 / correct) + u'%'
                                  : QStringLiteral("~%-100%");
            else
                marker = r.key[i] ? QStringLiteral("=") : QStringLiteral("~");
            QString choice = giftEscape(r.choices[i]);
            // A choice that itself starts with "%" would read as a weight.
            if (!r.multiple && choice.startsWith(u'%'))
                marker += r.key[i] ? QStringLiteral("%100%") : QStringLiteral("%0%");
            out += u'\t' + marker + choice + u'\n';
        }
        if (!r.explanation.isEmpty())
            out += QStringLiteral("\t####") + giftEscape(r.explanation) + u'\n';
        out += QStringLiteral("}\n\n");
    }
    return out;
}

} // namespace formats
