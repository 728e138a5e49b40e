#include "MoodleXmlFormat.h"

#include "HtmlText.h"
#include "QuestionFormats.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

namespace formats {

namespace {

using Names = QLatin1StringView;

// A text element with its format, as questiontext, generalfeedback and
// answer hold it.
struct RichText {
    QString text;
    QString format;
    bool picture = false;

    QString plain() const { return format == Names("html") ? htmlToPlain(text) : text; }
    bool showsPicture() const { return picture || (format == Names("html") && hasPicture(text)); }
};

struct Answer {
    double fraction = 0;
    RichText text;
};

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_x(bytes) {}

    ParseResult read()
    {
        if (!m_x.readNextStartElement())
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

    RichText readRichText()
    {
        RichText t;
        t.format = m_x.attributes().value(Names("format")).toString();
        if (t.format.isEmpty())
            t.format = QStringLiteral("html");
        while (m_x.readNextStartElement()) {
            if (m_x.name() == Names("text"))
                t.text = m_x.readElementText();
            else if (m_x.name() == Names("file")) {
                t.picture = true;
                m_x.skipCurrentElement();
            } else
                m_x.skipCurrentElement();
        }
        checkReader();
        return t;
    }

    void readQuestion()
    {
        const qint64 line = m_x.lineNumber();
        const qint64 column = m_x.columnNumber();
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
        if (type != Names("multichoice")) {
            m_x.skipCurrentElement();
            checkReader();
            skip(QStringLiteral("it is a %1 question").arg(type));
            return;
        }
        std::optional<RichText> question;
        RichText feedback;
        bool single = true;
        std::vector<Answer> answers;
        while (m_x.readNextStartElement()) {
            const auto name = m_x.name();
            if (name == Names("questiontext")) {
                question = readRichText();
            } else if (name == Names("generalfeedback")) {
                feedback = readRichText();
            } else if (name == Names("single")) {
                const QString v = m_x.readElementText().trimmed().toLower();
                single = v != Names("false") && v != Names("0");
            } else if (name == Names("answer")) {
                Answer a;
                const QString f = m_x.attributes().value(Names("fraction")).toString();
                bool ok = true;
                if (!f.isEmpty())
                    a.fraction = f.toDouble(&ok);
                if (!ok || a.fraction < -100 || a.fraction > 100)
                    fail(QStringLiteral("the fraction \"%1\" is not a number from -100 to 100")
                             .arg(f));
                a.text = readRichText();
                answers.push_back(std::move(a));
            } else {
                m_x.skipCurrentElement();
            }
        }
        checkReader();
        if (!question)
            fail(QStringLiteral("a multichoice question without <questiontext>"), line, column);
        if (question->showsPicture() || feedback.showsPicture())
            return skip(QStringLiteral("it has a picture"));
        for (const Answer& a : answers) {
            if (a.text.showsPicture())
                return skip(QStringLiteral("it has a picture"));
        }
        if (answers.size() > size_t(kMaxChoices))
            return skip(QStringLiteral("it has %1 choices (at most 6 fit)").arg(answers.size()));
        if (answers.size() < 2)
            return skip(QStringLiteral("it has fewer than two choices"));

        QuestionRecord r;
        r.section = m_section;
        r.multiple = !single;
        r.text = question->plain();
        r.explanation = feedback.plain();
        double positive = 0;
        int full = 0;
        bool partial = false;
        for (size_t n = 0; n < answers.size(); ++n) {
            r.choices[n] = answers[n].text.plain();
            if (r.choices[n].isEmpty())
                return skip(QStringLiteral("choice %1 has no text").arg(n + 1));
            const double f = answers[n].fraction;
            r.key[n] = f > 0;
            if (f > 0)
                positive += f;
            if (f >= 100 - 1e-9)
                ++full;
            else if (f > 0)
                partial = true;
        }
        if (positive == 0)
            return skip(QStringLiteral("no choice has a positive fraction"));
        if (single && (full != 1 || partial))
            return skip(QStringLiteral(
                "its fractions do not mark one correct choice of a single response question"));
        if (!single && std::abs(positive - 100) > 0.5)
            return skip(QStringLiteral("its positive fractions add up to %1%, not 100%")
                            .arg(QString::number(positive, 'g', 7)));
        m_result.questions.push_back(std::move(r));
    }

    QXmlStreamReader m_x;
    ParseResult m_result;
    int m_section = 0;
    int m_number = 0;
};

void writeText(QXmlStreamWriter& w, const QString& element, const QString& text,
               const QString& fraction = QString())
{
    w.writeStartElement(element);
    if (!fraction.isNull())
        w.writeAttribute(QStringLiteral("fraction"), fraction);
    w.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
    w.writeTextElement(QStringLiteral("text"), text);
    w.writeEndElement();
}

} // namespace

ParseResult parseMoodleXml(const QByteArray& bytes)
{
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
        int correct = 0;
        for (bool k : r.key)
            correct += k ? 1 : 0;
        w.writeStartElement(QStringLiteral("question"));
        w.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
        w.writeStartElement(QStringLiteral("name"));
        w.writeTextElement(QStringLiteral("text"), QStringLiteral("Item %1").arg(nr.id));
        w.writeEndElement();
        writeText(w, QStringLiteral("questiontext"), r.text);
        writeText(w, QStringLiteral("generalfeedback"), r.explanation);
        w.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        w.writeTextElement(QStringLiteral("single"),
                           r.multiple ? QStringLiteral("false") : QStringLiteral("true"));
        w.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        w.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("abc"));
        for (int i = 0; i < kMaxChoices; ++i) {
            if (r.choices[i].trimmed().isEmpty())
                continue;
            QString fraction;
            if (!r.key[i])
                fraction = r.multiple ? QStringLiteral("-100") : QStringLiteral("0");
            else
                fraction = QString::number(100.0 / correct, 'g', 7);
            writeText(w, QStringLiteral("answer"), r.choices[i], fraction);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace formats
