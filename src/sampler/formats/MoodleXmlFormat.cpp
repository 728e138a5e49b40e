#include "MoodleXmlFormat.h"

#include "HtmlText.h"
#include "QuestionFormats.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace formats {

namespace {

using Names = QLatin1StringView;

// A text element with its format, as questiontext, generalfeedback,
// answer and feedback hold it.
struct RichText {
    QString text;
    TextFormat format = TextFormat::Html;
    bool picture = false;
    // Beyond what one question may take of the file: not kept.
    bool oversized = false;
    // Where the text starts, as the reader counts (column from 0).
    qint64 line = 0;
    qint64 column = 0;

    bool showsPicture() const { return picture || hasPicture(text, format); }
};

struct Answer {
    double fraction = 0;
    RichText text;
    RichText feedback;
};

// What the file's type names a question that does not fit, for the reason
// it is skipped.
QString typeReason(const QString& type)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("shortanswer"), QStringLiteral("it is a short answer question")},
        {QStringLiteral("numerical"), QStringLiteral("it is a numerical question")},
        {QStringLiteral("essay"), QStringLiteral("it is an essay question")},
        {QStringLiteral("matching"), QStringLiteral("it is a matching question")},
        {QStringLiteral("description"), QStringLiteral("it has no answers (a description)")},
        {QStringLiteral("cloze"), QStringLiteral("it is an embedded answers (cloze) question")},
        {QStringLiteral("calculated"), QStringLiteral("it is a calculated question")},
        {QStringLiteral("calculatedsimple"), QStringLiteral("it is a calculated question")},
        {QStringLiteral("calculatedmulti"), QStringLiteral("it is a calculated question")},
        {QStringLiteral("randomsamatch"), QStringLiteral("it is a matching question")},
    };
    return names.value(type, QStringLiteral("it is a question of the type \"%1\"").arg(type));
}

// A place in the file as the reader counts it: line from 1, column from 0.
using Place = std::pair<qint64, qint64>;

// A reference to an entity the reader does not resolve, where it stands.
struct LostReference {
    Place place;
    QString name;
};

bool isPredefined(QStringView name)
{
    return name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot" || name == u"apos";
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes), m_x(bytes) {}

    ParseResult read()
    {
        while (!m_x.atEnd() && !m_x.isStartElement()) {
            m_x.readNext();
            if (m_x.isDTD())
                noteUnreadEntities();
        }
        if (!m_x.isStartElement())
            fail(QStringLiteral("the file holds no XML element"));
        if (m_x.name() != Names("quiz"))
            fail(QStringLiteral("the root element is <%1>, not <quiz>").arg(m_x.name()));
        while (m_x.readNextStartElement()) {
            if (m_x.name() == Names("question"))
                readQuestion();
            else
                m_x.skipCurrentElement();
        }
        checkReader();
        return std::move(m_result);
    }

private:
    [[noreturn]] void fail(const QString& reason, qint64 line = -1, qint64 column = -1)
    {
        // The reader counts columns from 0.
        throw FormatError(int(line < 0 ? m_x.lineNumber() : line),
                          int(column < 0 ? m_x.columnNumber() : column) + 1, reason);
    }
    void checkReader()
    {
        if (m_x.hasError())
            fail(m_x.errorString());
    }

    // The entities the reader leaves out: those the file's declarations
    // take from outside it (which are never read), those whose text refers
    // to one of them, and, when the declarations name an outside part, the
    // ones they do not declare. Their references are looked up in the file,
    // so that each question that loses text can say so.
    void noteUnreadEntities()
    {
        const bool outsidePart = !m_x.dtdSystemId().isEmpty() || !m_x.dtdPublicId().isEmpty();
        QHash<QString, QString> internal;
        QSet<QString> unread;
        for (const QXmlStreamEntityDeclaration& d : m_x.entityDeclarations()) {
            if (!d.systemId().isEmpty() || !d.publicId().isEmpty())
                unread.insert(d.name().toString());
            else
                internal.insert(d.name().toString(), d.value().toString());
        }
        static const QRegularExpression reference(QStringLiteral("&([^\\s&;#]+);"));
        auto isUnread = [&](const QString& name) {
            if (isPredefined(name))
                return false;
            if (unread.contains(name))
                return true;
            return !internal.contains(name) && outsidePart;
        };
        for (bool grew = true; grew;) {
            grew = false;
            for (auto it = internal.cbegin(); it != internal.cend(); ++it) {
                if (unread.contains(it.key()))
                    continue;
                auto refs = reference.globalMatch(it.value());
                while (refs.hasNext()) {
                    if (isUnread(refs.next().captured(1))) {
                        unread.insert(it.key());
                        grew = true;
                        break;
                    }
                }
            }
        }
        if (unread.isEmpty() && !outsidePart)
            return;
        const auto encoding =
            QStringConverter::encodingForName(m_x.documentEncoding().toLatin1().constData());
        QStringDecoder decode(encoding.value_or(
            QStringConverter::encodingForData(m_bytes).value_or(QStringConverter::Utf8)));
        const QString source = decode(m_bytes);
        findReferences(source, isUnread);
    }

    // The references of the content (outside comments, character data
    // sections, instructions and the declarations) that isUnread picks.
    template <typename Pick> void findReferences(const QString& s, const Pick& isUnread)
    {
        qint64 line = 1;
        qsizetype lineStart = 0;
        auto skipTo = [&](qsizetype from, QStringView end) {
            const qsizetype at = s.indexOf(end, from);
            return at < 0 ? s.size() : at + end.size();
        };
        for (qsizetype i = 0; i < s.size();) {
            const QChar c = s[i];
            if (c == u'\n' || c == u'\r') {
                i += c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n' ? 2 : 1;
                ++line;
                lineStart = i;
                continue;
            }
            qsizetype next = i + 1;
            const QStringView rest = QStringView(s).mid(i);
            if (rest.startsWith(u"<!--"))
                next = skipTo(i + 4, u"-->");
            else if (rest.startsWith(u"<![CDATA["))
                next = skipTo(i + 9, u"]]>");
            else if (rest.startsWith(u"<?"))
                next = skipTo(i + 2, u"?>");
            else if (rest.startsWith(u"<!DOCTYPE")) {
                const qsizetype close = s.indexOf(u'>', i);
                const qsizetype open = s.indexOf(u'[', i);
                next = open >= 0 && (close < 0 || open < close) ? skipTo(skipTo(open, u"]"), u">")
                                                                : skipTo(i, u">");
            } else if (c == u'&') {
                const qsizetype end = s.indexOf(u';', i);
                if (end > i + 1 && end - i < 256) {
                    const QString name = s.mid(i + 1, end - i - 1);
                    if (!name.startsWith(u'#') && isUnread(name))
                        m_lostReferences.push_back({{line, i - lineStart}, name});
                }
            }
            // The lines of what is skipped still count.
            for (qsizetype k = i + 1; k < next; ++k) {
                if (s[k] == u'\n' || (s[k] == u'\r' && (k + 1 >= s.size() || s[k + 1] != u'\n'))) {
                    ++line;
                    lineStart = k + 1;
                }
            }
            i = next;
        }
    }

    // "the external entity &xxe; was left out" for the unread references
    // from start to end.
    QStringList lostText(const Place& start, const Place& end) const
    {
        QStringList names;
        for (const LostReference& r : m_lostReferences) {
            const QString name = u'&' + r.name + u';';
            if (start <= r.place && r.place < end && !names.contains(name))
                names << name;
        }
        if (names.isEmpty())
            return {};
        return {QStringLiteral("%1 left out of its text (entities from outside the file are "
                               "not read)")
                    .arg(names.size() == 1 ? QStringLiteral("the entity ") + names[0] + " was"
                                           : QStringLiteral("the entities ") +
                                                 names.join(QStringLiteral(", ")) + " were")};
    }

    // An answer's feedback comes back through feedback.
    RichText readRichText(RichText* feedback = nullptr)
    {
        RichText t;
        const QString format = m_x.attributes().value(Names("format")).toString();
        t.format = textFormatFromName(format).value_or(TextFormat::Html);
        while (m_x.readNextStartElement()) {
            if (m_x.name() == Names("text")) {
                t.line = m_x.lineNumber();
                t.column = m_x.columnNumber();
                t.text = m_x.readElementText();
                const ForbiddenAt bad = findForbidden(t.text);
                if (bad.index >= 0)
                    fail(QStringLiteral("the text here holds %1, which no text may hold")
                             .arg(bad.what),
                         t.line, t.column);
                if (t.text.size() > kMaxQuestionSource) {
                    t.oversized = true;
                    t.text = QString();
                }
            } else if (m_x.name() == Names("file")) {
                t.picture = true;
                m_x.skipCurrentElement();
            } else if (feedback && m_x.name() == Names("feedback"))
                *feedback = readRichText();
            else
                m_x.skipCurrentElement();
        }
        checkReader();
        return t;
    }

    // The plain text of a text, noting a conversion that changed it.
    QString plain(const RichText& t)
    {
        QString out;
        try {
            out = toPlain(t.text, t.format).trimmed();
        } catch (const BadReference& e) {
            fail(e.reason(), t.line, t.column);
        }
        if (out != t.text.trimmed()) {
            const TextFormat shown = t.format == TextFormat::Moodle ? TextFormat::Html : t.format;
            if (!m_converted.contains(shown)) {
                m_converted << shown;
                std::sort(m_converted.begin(), m_converted.end());
            }
        }
        return out;
    }

    void readQuestion()
    {
        const qint64 line = m_x.lineNumber();
        const qint64 column = m_x.columnNumber();
        const Place start{line, column};
        const QString type = m_x.attributes().value(Names("type")).toString();
        if (type.isEmpty())
            fail(QStringLiteral("a <question> without a type"), line, column);
        if (type == Names("category")) {
            while (m_x.readNextStartElement()) {
                if (m_x.name() == Names("category"))
                    m_section = sectionForCategory(readRichText().text.trimmed());
                else
                    m_x.skipCurrentElement();
            }
            checkReader();
            return;
        }
        const int number = ++m_number;
        auto skip = [&](const QString& reason) {
            m_result.skipped.push_back({number, int(line), reason});
        };
        const bool trueFalse = type == Names("truefalse");
        if (type != Names("multichoice") && !trueFalse) {
            m_x.skipCurrentElement();
            checkReader();
            skip(typeReason(type));
            return;
        }
        std::optional<RichText> question;
        RichText general;
        QString name;
        bool single = true;
        std::vector<Answer> answers;
        while (m_x.readNextStartElement()) {
            const auto element = m_x.name();
            if (element == Names("name")) {
                name = readRichText().text.trimmed();
            } else if (element == Names("questiontext")) {
                question = readRichText();
            } else if (element == Names("generalfeedback")) {
                general = readRichText();
            } else if (element == Names("single")) {
                const QString v = m_x.readElementText().trimmed().toLower();
                single = v != Names("false") && v != Names("0");
            } else if (element == Names("answer")) {
                Answer a;
                const QString f = m_x.attributes().value(Names("fraction")).toString();
                bool ok = true;
                if (!f.isEmpty())
                    a.fraction = f.toDouble(&ok);
                if (!ok || a.fraction < -100 || a.fraction > 100)
                    fail(QStringLiteral("the fraction \"%1\" is not a number from -100 to 100")
                             .arg(f));
                a.text = readRichText(&a.feedback);
                answers.push_back(std::move(a));
            } else {
                m_x.skipCurrentElement();
            }
        }
        checkReader();
        const Place end{m_x.lineNumber(), m_x.columnNumber()};
        if (!question)
            fail(QStringLiteral("a %1 question without <questiontext>").arg(type), line, column);
        bool oversized = question->oversized || general.oversized;
        for (const Answer& a : answers)
            oversized |= a.text.oversized || a.feedback.oversized;
        if (oversized)
            return skip(sourceSizeProblem());
        if (question->showsPicture() || general.showsPicture())
            return skip(QStringLiteral("it has a picture"));
        for (const Answer& a : answers) {
            if (a.text.showsPicture() || a.feedback.showsPicture())
                return skip(QStringLiteral("it has a picture"));
        }
        m_converted.clear();
        QuestionRecord r;
        std::array<QString, kMaxChoices> feedback;
        std::vector<double> weights;
        if (trueFalse) {
            // The answers "true" and "false", in either order.
            int trueAt = -1;
            int falseAt = -1;
            for (size_t n = 0; n < answers.size(); ++n) {
                const QString t = answers[n].text.text.trimmed().toLower();
                if (t == Names("true") && trueAt < 0)
                    trueAt = int(n);
                else if (t == Names("false") && falseAt < 0)
                    falseAt = int(n);
            }
            if (answers.size() != 2 || trueAt < 0 || falseAt < 0)
                return skip(QStringLiteral("its answers are not \"true\" and \"false\""));
            const double right = answers[size_t(trueAt)].fraction;
            if ((right > 0) == (answers[size_t(falseAt)].fraction > 0))
                return skip(QStringLiteral("its fractions do not mark one of \"true\" and "
                                           "\"false\" correct"));
            r = trueFalseRecord(right > 0);
            feedback[0] = plain(answers[size_t(trueAt)].feedback);
            feedback[1] = plain(answers[size_t(falseAt)].feedback);
        } else {
            if (answers.size() > size_t(kMaxChoices))
                return skip(
                    QStringLiteral("it has %1 choices (at most 6 fit)").arg(answers.size()));
            if (answers.size() < 2)
                return skip(QStringLiteral("it has fewer than two choices"));
            r.multiple = !single;
            double positive = 0;
            int full = 0;
            for (size_t n = 0; n < answers.size(); ++n) {
                r.choices[n] = plain(answers[n].text);
                if (r.choices[n].isEmpty())
                    return skip(QStringLiteral("choice %1 has no text").arg(n + 1));
                feedback[n] = plain(answers[n].feedback);
                const double f = answers[n].fraction;
                weights.push_back(f);
                const bool whole = f >= 100 - 1e-9;
                // One right answer of a single response question takes the
                // credit; a partial one counts as wrong, as the item is graded.
                r.key[n] = single ? whole : f > 0;
                if (f > 0)
                    positive += f;
                if (whole)
                    ++full;
            }
            if (positive == 0)
                return skip(QStringLiteral("no choice has a positive fraction"));
            if (single && full != 1)
                return skip(QStringLiteral(
                    "its fractions do not mark one correct choice of a single response question"));
            if (!single && std::abs(positive - 100) > 0.5)
                return skip(QStringLiteral("its positive fractions add up to %1%, not 100%")
                                .arg(weightText(positive)));
        }
        r.name = name;
        r.section = m_section;
        r.text = plain(*question);
        r.explanation = mergeFeedback(plain(general), feedback);

        QStringList changes;
        for (TextFormat f : m_converted)
            changes << textFormatName(f) + QStringLiteral(" turned into plain text");
        QStringList letters;
        for (int i = 0; i < kMaxChoices; ++i) {
            if (!feedback[size_t(i)].isEmpty())
                letters << choiceLetter(i);
        }
        if (!letters.isEmpty())
            changes << QStringLiteral("the feedback of %1 added to the explanation")
                           .arg(letters.join(QStringLiteral(", ")));
        changes << weightChanges(r, weights);
        changes << lostText(start, end);
        const QString tooLarge = sizeProblem(r);
        if (!tooLarge.isEmpty())
            return skip(tooLarge);
        if (!changes.isEmpty())
            m_result.changed.push_back({number, int(line), changes});
        m_result.questions.push_back(std::move(r));
    }

    const QByteArray& m_bytes;
    QXmlStreamReader m_x;
    std::vector<LostReference> m_lostReferences;
    ParseResult m_result;
    int m_section = 0;
    int m_number = 0;
    QList<TextFormat> m_converted;
};

void writeText(QXmlStreamWriter& w, const QString& element, const QString& text,
               const QString& fraction = QString(), const QString& feedback = QString())
{
    w.writeStartElement(element);
    if (!fraction.isNull())
        w.writeAttribute(QStringLiteral("fraction"), fraction);
    w.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
    w.writeTextElement(QStringLiteral("text"), text);
    if (!feedback.isEmpty())
        writeText(w, QStringLiteral("feedback"), feedback);
    w.writeEndElement();
}

} // namespace

namespace {

// Whether the file is UTF-8, as the reader takes it: no other byte-order
// mark, no zero byte in its first two (UTF-16 without a mark), and no other
// encoding declared.
bool isUtf8(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE") ||
        bytes.left(2).contains('\0'))
        return false;
    static const QRegularExpression declared(
        QStringLiteral("^(?:\\xEF\\xBB\\xBF)?\\s*<\\?xml[^>]*\\bencoding\\s*=\\s*[\"']([^\"']*)"));
    const auto m = declared.match(QString::fromLatin1(bytes.left(256)));
    if (!m.hasMatch())
        return true;
    const QString name = m.captured(1).toLower();
    return name == QLatin1String("utf-8") || name == QLatin1String("utf8");
}

} // namespace

ParseResult parseMoodleXml(const QByteArray& bytes)
{
    // The reader refuses a NUL or U+FFFF in the file only as an unexpected
    // end or character: said plainly first.
    if (isUtf8(bytes))
        refuseForbiddenUtf8(bytes);
    return Reader(bytes).read();
}

QByteArray writeMoodleXml(const std::vector<NumberedRecord>& records)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("quiz"));
    int section = -1;
    for (const NumberedRecord& nr : records) {
        const QuestionRecord& r = nr.record;
        if (r.section != section) {
            section = r.section;
            w.writeStartElement(QStringLiteral("question"));
            w.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            w.writeStartElement(QStringLiteral("category"));
            w.writeTextElement(QStringLiteral("text"), categoryForSection(section));
            w.writeEndElement();
            w.writeEndElement();
        }
        const bool trueFalse = isTrueFalse(r);
        const SplitFeedback feedback = splitFeedback(r);
        w.writeStartElement(QStringLiteral("question"));
        w.writeAttribute(QStringLiteral("type"),
                         trueFalse ? QStringLiteral("truefalse") : QStringLiteral("multichoice"));
        w.writeStartElement(QStringLiteral("name"));
        w.writeTextElement(QStringLiteral("text"),
                           r.name.isEmpty() ? QStringLiteral("Item %1").arg(nr.id) : r.name);
        w.writeEndElement();
        writeText(w, QStringLiteral("questiontext"), r.text);
        writeText(w, QStringLiteral("generalfeedback"), feedback.general);
        w.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        if (trueFalse) {
            writeText(w, QStringLiteral("answer"), QStringLiteral("true"),
                      r.key[0] ? QStringLiteral("100") : QStringLiteral("0"),
                      feedback.perChoice[0]);
            writeText(w, QStringLiteral("answer"), QStringLiteral("false"),
                      r.key[1] ? QStringLiteral("100") : QStringLiteral("0"),
                      feedback.perChoice[1]);
            w.writeEndElement();
            continue;
        }
        w.writeTextElement(QStringLiteral("single"),
                           r.multiple ? QStringLiteral("false") : QStringLiteral("true"));
        w.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        w.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("abc"));
        for (int i = 0; i < kMaxChoices; ++i) {
            if (r.choices[i].trimmed().isEmpty())
                continue;
            writeText(w, QStringLiteral("answer"), r.choices[i], weightText(writtenWeight(r, i)),
                      feedback.perChoice[size_t(i)]);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace formats
