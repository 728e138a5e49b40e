// The exchange formats of the user set: the GIFT, Aiken and Moodle XML
// readers on each construct, escape, comment, category, line end and error;
// the writers; and the shipped bank's items through each format and back.
#include "AikenFormat.h"
#include "BankCompiler.h"
#include "GiftFormat.h"
#include "HtmlText.h"
#include "MoodleXmlFormat.h"
#include "ProgramDir.h"
#include "QuestionFormats.h"
#include "Schemas.h"
#include "Session.h"
#include "Table.h"
#include "UserSetExchange.h"

#include <QTemporaryDir>
#include <QtTest>

using formats::Format;
using formats::FormatError;
using formats::ParseResult;
using formats::QuestionRecord;

namespace {

// A record from a compact description: "+" before a choice marks it correct.
QuestionRecord rec(const QString& text, const QStringList& choices, bool multiple = false,
                   int section = 0, const QString& explanation = QString())
{
    QuestionRecord r;
    r.text = text;
    r.multiple = multiple;
    r.section = section;
    r.explanation = explanation;
    for (int i = 0; i < choices.size(); ++i) {
        QString c = choices[i];
        if (c.startsWith(u'+')) {
            r.key[size_t(i)] = true;
            c.remove(0, 1);
        }
        r.choices[size_t(i)] = c;
    }
    return r;
}

QString describe(const QuestionRecord& r)
{
    QStringList parts;
    if (!r.name.isEmpty())
        parts << QStringLiteral("name=[%1]").arg(r.name);
    parts << QStringLiteral("section=%1").arg(r.section)
          << (r.multiple ? QStringLiteral("multiple") : QStringLiteral("single"))
          << QStringLiteral("text=[%1]").arg(r.text)
          << QStringLiteral("expl=[%1]").arg(r.explanation);
    for (int i = 0; i < 6; ++i) {
        if (!r.choices[size_t(i)].isEmpty() || r.key[size_t(i)])
            parts << QStringLiteral("%1[%2]").arg(
                r.key[size_t(i)] ? QStringLiteral("+") : QString(), r.choices[size_t(i)]);
    }
    return parts.join(u' ');
}

QStringList describeAll(const ParseResult& p)
{
    QStringList out;
    for (const auto& r : p.questions)
        out << describe(r);
    return out;
}

// What was skipped, then what was changed.
QStringList describeNotes(const ParseResult& p)
{
    QStringList out;
    for (const auto& s : p.skipped)
        out << QStringLiteral("%1@%2: %3").arg(s.number).arg(s.line).arg(s.reason);
    for (const auto& c : p.changed)
        out << QStringLiteral("%1@%2 changed: %3")
                   .arg(c.number)
                   .arg(c.line)
                   .arg(c.changes.join(QStringLiteral(", ")));
    return out;
}

struct ErrorAt {
    int line = 0;
    int column = 0;
    QString reason;
};

ErrorAt errorOf(Format format, const QByteArray& bytes)
{
    try {
        formats::parse(format, bytes);
    } catch (const FormatError& e) {
        return {e.line(), e.column(), e.reason()};
    }
    return {};
}

std::unique_ptr<store::Table> openSet(store::Session& session, const QString& path)
{
    bank::ensureUserSet(path);
    auto t = std::make_unique<store::Table>(session, path, store::userSetSchema());
    t->open();
    return t;
}

} // namespace

Q_DECLARE_METATYPE(formats::QuestionRecord)

const QString kEveryConstruct = QStringLiteral(QUIZLARK_SAMPLER_FIXTURES "/every_construct.gift");
const QString kExternalEntity = QStringLiteral(QUIZLARK_SAMPLER_FIXTURES "/external_entity.xml");

class QuestionFormatsTest : public QObject {
    Q_OBJECT

    void tableOfErrors()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("reason");
    }
    void checkError(Format format)
    {
        QFETCH(QByteArray, input);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, reason);
        const ErrorAt e = errorOf(format, input);
        QVERIFY2(!e.reason.isEmpty(), "the input was accepted");
        QCOMPARE(e.reason, reason);
        QCOMPARE(e.line, line);
        QCOMPARE(e.column, column);
    }
    void tableOfParses()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("notes");
    }
    void checkParse(Format format)
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, notes);
        ParseResult p;
        try {
            p = formats::parse(format, input);
        } catch (const FormatError& e) {
            QFAIL(qPrintable(e.message()));
        }
        QCOMPARE(describeAll(p), questions);
        QCOMPARE(describeNotes(p), notes);
    }

private slots:
    void gift_data()
    {
        tableOfParses();
        const QString a = describe(rec(QStringLiteral("What?"), {"+right", "wrong1", "wrong2"}));
        QuestionRecord titled = rec(QStringLiteral("What?"), {"+right", "wrong1", "wrong2"});
        titled.name = QStringLiteral("T1: first");
        QTest::newRow("single response, title")
            << QByteArray("::T1\\: first::What? {=right ~wrong1 ~wrong2}")
            << QStringList{describe(titled)} << QStringList{};
        QTest::newRow("answers on their own lines")
            << QByteArray("What?\n{\n\t=right\n\t~wrong1\n\t~wrong2\n}\n") << QStringList{a}
            << QStringList{};
        QTest::newRow("multiple response by weights")
            << QByteArray("Pick two {~%50%a ~%50%b ~%-100%c}")
            << QStringList{describe(rec(QStringLiteral("Pick two"), {"+a", "+b", "c"}, true))}
            << QStringList{};
        QTest::newRow("thirds and a single full weight")
            << QByteArray("Q1 {~%33.33333%a ~%33.33333%b ~%33.33333%c ~d}\n\nQ2 {~%100%a ~b}")
            << QStringList{describe(rec(QStringLiteral("Q1"), {"+a", "+b", "+c", "d"}, true)),
                           describe(rec(QStringLiteral("Q2"), {"+a", "b"}, true))}
            << QStringList{"1@1 changed: weights turned into all-or-nothing (d 0%)",
                           "2@3 changed: weights turned into all-or-nothing (b 0%)"};
        QTest::newRow("escapes")
            << QByteArray(
                   "a\\: b \\{c\\} \\~ \\= \\# \\\\ x\\ny {=\\=1 ~\\~2 ~C\\:\\\\dir ####w\\#x}")
            << QStringList{describe(rec(QStringLiteral("a: b {c} ~ = # \\ x\ny"),
                                        {"+=1", "~2", "C:\\dir"}, false, 0, QStringLiteral("w#x")))}
            << QStringList{};
        QTest::newRow("a backslash before another letter stays")
            << QByteArray("C:\\temp \\d {=a ~b}")
            << QStringList{describe(rec(QStringLiteral("C:\\temp \\d"), {"+a", "b"}))}
            << QStringList{};
        QTest::newRow("comments")
            << QByteArray("// a comment\n::T::Q {=a\n// inside\n~b}\n  // indented comment\n")
            << QStringList{QStringLiteral("name=[T] ") +
                           describe(rec(QStringLiteral("Q"), {"+a", "b"}))}
            << QStringList{};
        QTest::newRow("categories by section name")
            << QByteArray("$CATEGORY: $course$/top/Connectivity\n\nQ1 {=a ~b}\n\n"
                          "$CATEGORY: $course$/top/unknown\n\nQ2 {=a ~b}\n\n"
                          "$CATEGORY: troubleshooting\nQ3 {=a ~b}")
            << QStringList{describe(rec(QStringLiteral("Q1"), {"+a", "b"}, false, 3)),
                           describe(rec(QStringLiteral("Q2"), {"+a", "b"}, false, 0)),
                           describe(rec(QStringLiteral("Q3"), {"+a", "b"}, false, 5))}
            << QStringList{};
        QTest::newRow("blank lines and a text over two lines")
            << QByteArray("\n\n\nFirst\nline {=a ~b}\n\n\n\n   \nQ2 {~c =d}\n\n")
            << QStringList{describe(rec(QStringLiteral("First\nline"), {"+a", "b"})),
                           describe(rec(QStringLiteral("Q2"), {"c", "+d"}))}
            << QStringList{};
        QTest::newRow("Windows line ends and a byte-order mark")
            << QByteArray(
                   "\xEF\xBB\xBF// c\r\n::T::Q\r\n{=a\r\n~b\r\n####why\r\n}\r\n\r\nQ2 {=x ~y}\r\n")
            << QStringList{QStringLiteral("name=[T] ") +
                               describe(rec(QStringLiteral("Q"), {"+a", "b"}, false, 0,
                                            QStringLiteral("why"))),
                           describe(rec(QStringLiteral("Q2"), {"+x", "y"}))}
            << QStringList{};
        QTest::newRow("feedback of the answers goes into the explanation")
            << QByteArray("Q {=a#yes ~b ~c # no; \\# not c\n####general}")
            << QStringList{describe(rec(QStringLiteral("Q"), {"+a", "b", "c"}, false, 0,
                                        QStringLiteral("general\na: yes\nc: no; # not c")))}
            << QStringList{"1@1 changed: the feedback of a, c added to the explanation"};
        QTest::newRow("feedback without general feedback")
            << QByteArray("Q {=a ~b#[html]<i>not</i> b}")
            << QStringList{describe(
                   rec(QStringLiteral("Q"), {"+a", "b"}, false, 0, QStringLiteral("b: not b")))}
            << QStringList{"1@1 changed: HTML turned into plain text, the feedback of b added to "
                           "the explanation"};
        QTest::newRow("missing word")
            << QByteArray("The {=cat ~dog} sat.")
            << QStringList{describe(rec(QStringLiteral("The _____ sat."), {"+cat", "dog"}))}
            << QStringList{};
        QTest::newRow("html text")
            << QByteArray("[html]<p>A <b>bold</b> &amp; true</p>{=a&lt;b ~c}")
            << QStringList{describe(rec(QStringLiteral("A bold & true"), {"+a<b", "c"}))}
            << QStringList{"1@1 changed: HTML turned into plain text"};
        QTest::newRow("format markers on the question and on each answer")
            << QByteArray("[markdown]Is **this** bold? {~[plain]<b>no</b> =[html]<i>yes</i> "
                          "~[moodle]maybe\\nso ~blue}")
            << QStringList{describe(rec(QStringLiteral("Is this bold?"),
                                        {"<b>no</b>", "+yes", "maybe\nso", "blue"}))}
            << QStringList{"1@1 changed: HTML turned into plain text, Markdown turned into plain "
                           "text"};
        QTest::newRow("a marker only counts at the start")
            << QByteArray("Is [html] a marker? {=[plain][html]no ~ [plain]yes}")
            << QStringList{describe(
                   rec(QStringLiteral("Is [html] a marker?"), {"+[html]no", "yes"}))}
            << QStringList{};
        QTest::newRow("references above U+FFFF in an HTML text and raw in a plain one")
            << QByteArray("[html]Smile &#x1F600; &#128512; {=\xF0\x9F\x98\x80 ~[plain]&\\#x1F600;}")
            << QStringList{describe(rec(QString::fromUtf8("Smile \U0001F600 \U0001F600"),
                                        {QString::fromUtf8("+\U0001F600"), "&#x1F600;"}))}
            << QStringList{"1@1 changed: HTML turned into plain text"};
        QTest::newRow("UTF-8 text")
            << QByteArray("Qu\xC3\xA9 \xE2\x82\xAC {=\xC3\xBC ~b}")
            << QStringList{describe(rec(QString::fromUtf8("Qu\xC3\xA9 \xE2\x82\xAC"),
                                        {QString::fromUtf8("+\xC3\xBC"), "b"}))}
            << QStringList{};
        const QString ok = describe(rec(QStringLiteral("Ok"), {"+a", "b"}));
        const QByteArray first("Ok {=a ~b}\n\n");
        QuestionRecord isTrue = formats::trueFalseRecord(true);
        isTrue.text = QStringLiteral("Sky is blue");
        QuestionRecord isFalse = formats::trueFalseRecord(false);
        isFalse.text = QStringLiteral("Q");
        isFalse.explanation = QStringLiteral("a: no");
        QuestionRecord withBoth = formats::trueFalseRecord(true);
        withBoth.text = QStringLiteral("R");
        withBoth.explanation = QStringLiteral("all\na: right\nb: wrong");
        QTest::newRow("true/false in every spelling")
            << first + "// x\nSky is blue {T}\n\nQ {FALSE#no}\n\nR {TRUE#wrong#right####all}\n\n"
                       "S {F}\n\nT{true}"
            << QStringList{ok,
                           describe(isTrue),
                           describe(isFalse),
                           describe(withBoth),
                           describe([] {
                               QuestionRecord r = formats::trueFalseRecord(false);
                               r.text = QStringLiteral("S");
                               return r;
                           }()),
                           describe([] {
                               QuestionRecord r = formats::trueFalseRecord(true);
                               r.text = QStringLiteral("T");
                               return r;
                           }())}
            << QStringList{"3@6 changed: the feedback of a added to the explanation",
                           "4@8 changed: the feedback of a, b added to the explanation"};
        QTest::newRow("short answer") << first + "Name it {=a =b}" << QStringList{ok}
                                      << QStringList{"2@3: it is a short answer question"};
        QTest::newRow("essay") << first + "Write {}" << QStringList{ok}
                               << QStringList{"2@3: it is an essay question"};
        QTest::newRow("numerical") << first + "Pi {#3.14:0.01}" << QStringList{ok}
                                   << QStringList{"2@3: it is a numerical question"};
        QTest::newRow("matching") << first + "Match {=a -> 1 =b -> 2}" << QStringList{ok}
                                  << QStringList{"2@3: it is a matching question"};
        QTest::newRow("an arrow in the right answer of a multiple-choice question")
            << first + "Which way? {=left -> right ~right -> left}"
            << QStringList{ok, describe(rec(QStringLiteral("Which way?"),
                                            {"+left -> right", "right -> left"}))}
            << QStringList{};
        QTest::newRow("description") << first + "Only words here." << QStringList{ok}
                                     << QStringList{"2@3: it has no answers (a description)"};
        QTest::newRow("seven choices") << first + "Q {=a ~b ~c ~d ~e ~f ~g}" << QStringList{ok}
                                       << QStringList{"2@3: it has 7 choices (at most 6 fit)"};
        QTest::newRow("one choice") << first + "Q {~%100%a}" << QStringList{ok}
                                    << QStringList{"2@3: it has fewer than two choices"};
        QTest::newRow("partial credit and a negative weight in a single response")
            << first + "Q {=a ~%50%b ~%-50%c ~d}"
            << QStringList{ok, describe(rec(QStringLiteral("Q"), {"+a", "b", "c", "d"}))}
            << QStringList{"2@3 changed: weights turned into all-or-nothing (b 50%), negative "
                           "weights dropped (c -50%)"};
        QTest::newRow("uneven shares and a small penalty in a multiple response")
            << first + "Q {~%70%a ~%30%b ~%-50%c}"
            << QStringList{ok, describe(rec(QStringLiteral("Q"), {"+a", "+b", "c"}, true))}
            << QStringList{"2@3 changed: weights turned into all-or-nothing (a 70%, b 30%, c "
                           "-50%)"};
        QTest::newRow("two right answers in a single response")
            << first + "Q {=a =b ~c}" << QStringList{ok}
            << QStringList{"2@3: its weights do not mark one correct choice of a single "
                           "response question"};
        QTest::newRow("weights that add up to 80")
            << first + "Q {~%50%a ~%30%b ~c}" << QStringList{ok}
            << QStringList{"2@3: its positive weights add up to 80%, not 100%"};
        QTest::newRow("no positive weight") << first + "Q {~a ~b}" << QStringList{ok}
                                            << QStringList{"2@3: no choice has a positive weight"};
        QTest::newRow("picture") << first + "[html]See <img src=\"x.png\"> {=a ~b}"
                                 << QStringList{ok} << QStringList{"2@3: it has a picture"};
    }
    void gift() { checkParse(Format::Gift); }

    void giftErrors_data()
    {
        tableOfErrors();
        QTest::newRow("answer block not closed")
            << QByteArray("Ok {=a ~b}\n\nQ {=a ~b") << 3 << 3
            << QStringLiteral("the answer block has no closing \"}\"");
        QTest::newRow("closing brace without opening")
            << QByteArray("Q } {=a ~b}") << 1 << 3
            << QStringLiteral("\"}\" without an opening \"{\"");
        QTest::newRow("closing brace after the block")
            << QByteArray("Q {=a ~b} x}") << 1 << 12
            << QStringLiteral("\"}\" without an opening \"{\"");
        QTest::newRow("brace inside an answer block")
            << QByteArray("Q {=a\n~{b}") << 2 << 2
            << QStringLiteral("\"{\" inside an answer block");
        QTest::newRow("second answer block") << QByteArray("Q {=a ~b} and {=c ~d}") << 1 << 15
                                             << QStringLiteral("a second answer block");
        QTest::newRow("title not closed") << QByteArray("\n  ::Title Q {=a ~b}") << 2 << 3
                                          << QStringLiteral("the title has no closing \"::\"");
        QTest::newRow("weight not a number")
            << QByteArray("Q {~%abc%a ~b}") << 1 << 5
            << QStringLiteral("the weight is not a number from -100 to 100 between two \"%\"");
        QTest::newRow("weight above 100")
            << QByteArray("Q {~%150%a ~b}") << 1 << 5
            << QStringLiteral("the weight is not a number from -100 to 100 between two \"%\"");
        QTest::newRow("weight not closed")
            << QByteArray("Q {~%50 a ~b}") << 1 << 5
            << QStringLiteral("the weight is not a number from -100 to 100 between two \"%\"");
        QTest::newRow("answer without a marker")
            << QByteArray("Q {\n  a =b}") << 2 << 3
            << QStringLiteral("an answer must start with \"~\" or \"=\"");
        QTest::newRow("empty answer")
            << QByteArray("Q {=a ~ }") << 1 << 7 << QStringLiteral("an answer without text");
        QTest::newRow("category without a name")
            << QByteArray("$CATEGORY:   \n\nQ {=a ~b}") << 1 << 11
            << QStringLiteral("\"$CATEGORY:\" without a category");
        QTest::newRow("position after Windows line ends")
            << QByteArray("Q\r\n{=a\r\n~%x%c}") << 3 << 2
            << QStringLiteral("the weight is not a number from -100 to 100 between two \"%\"");
        QTest::newRow("position after a byte-order mark")
            << QByteArray("\xEF\xBB\xBFQ } {=a ~b}") << 1 << 3
            << QStringLiteral("\"}\" without an opening \"{\"");
        QTest::newRow("not UTF-8") << QByteArray("Ok {=a ~b}\nQ\xC3\xA9 {=a ~\xFF}") << 2 << 9
                                   << QStringLiteral("the file is not UTF-8 text");
        // What no text may hold, raw or as a reference of an HTML text, at
        // the character or the reference (an answer escapes its "#").
        QTest::newRow("NUL byte")
            << QByteArray("Ok {=a ~b}\n\nQ\xC3\xA9 {=a ~b\0c}", 25) << 3 << 10
            << QStringLiteral("the file holds a NUL character (U+0000), which no text may hold");
        QTest::newRow("raw U+FFFE")
            << QByteArray("Q {=a ~b\xEF\xBF\xBE}") << 1 << 9
            << QStringLiteral("the file holds the non-character U+FFFE, which no text may hold");
        QTest::newRow("raw U+10FFFF")
            << QByteArray("Q\xF4\x8F\xBF\xBF {=a ~b}") << 1 << 2
            << QStringLiteral("the file holds the non-character U+10FFFF, which no text may hold");
        QTest::newRow("reference to NUL in the question")
            << QByteArray("Ok {=a ~b}\n\n[html]Q &#0; {=a ~b}") << 3 << 9
            << QStringLiteral("the reference &#0; stands for a NUL character (U+0000), which no "
                              "text may hold");
        QTest::newRow("reference to a surrogate in an answer")
            << QByteArray("[html]Q {\n=a\n~b &\\#xD800;}") << 3 << 4
            << QStringLiteral("the reference &#xD800; stands for a surrogate (U+D800), which no "
                              "text may hold");
        QTest::newRow("reference to U+FFFF in feedback")
            << QByteArray("Q {=a ~b#[html]no&\\#65535;}") << 1 << 18
            << QStringLiteral("the reference &#65535; stands for the non-character U+FFFF, which "
                              "no text may hold");
        QTest::newRow("reference to U+FDD0 in general feedback")
            << QByteArray("Q {=a ~b ####[moodle]&\\#xfdd0;}") << 1 << 22
            << QStringLiteral("the reference &#xfdd0; stands for the non-character U+FDD0, which "
                              "no text may hold");
        QTest::newRow("reference to the end of plane 1")
            << QByteArray("[markdown]Q {=a ~[html]&\\#x1FFFE;}") << 1 << 24
            << QStringLiteral("the reference &#x1FFFE; stands for the non-character U+1FFFE, "
                              "which no text may hold");
        QTest::newRow("reference beyond U+10FFFF")
            << QByteArray("[html]&#x110000; {=a ~b}") << 1 << 7
            << QStringLiteral("the reference &#x110000; stands for no character (U+110000), "
                              "which no text may hold");
    }
    void giftErrors() { checkError(Format::Gift); }

    void aiken_data()
    {
        tableOfParses();
        QTest::newRow("dots, brackets and the answer")
            << QByteArray("What is it?\nA. one\nB) two\nC. three\nANSWER: B\n")
            << QStringList{describe(rec(QStringLiteral("What is it?"), {"one", "+two", "three"}))}
            << QStringList{};
        QTest::newRow("several questions, blank lines, a text over two lines")
            << QByteArray("\n\nFirst\nsecond line\n\nA. a\nB. b\nANSWER:A\n\n\n"
                          "Q2\nA. x\nB. y\nANSWER:   B\nQ3\nA. p\nB. q\nANSWER: A")
            << QStringList{describe(rec(QStringLiteral("First\nsecond line"), {"+a", "b"})),
                           describe(rec(QStringLiteral("Q2"), {"x", "+y"})),
                           describe(rec(QStringLiteral("Q3"), {"+p", "q"}))}
            << QStringList{};
        QTest::newRow("Windows line ends and a byte-order mark")
            << QByteArray("\xEF\xBB\xBFQ\xC3\xA9?\r\nA. a\r\nB. b\r\nANSWER: A\r\n")
            << QStringList{describe(rec(QString::fromUtf8("Q\xC3\xA9?"), {"+a", "b"}))}
            << QStringList{};
        QTest::newRow("a question whose text looks like a choice")
            << QByteArray("A. B. C. which?\nA. x\nB. y\nANSWER: A")
            << QStringList{describe(rec(QStringLiteral("A. B. C. which?"), {"+x", "y"}))}
            << QStringList{};
        QTest::newRow("seven choices and one choice are skipped")
            << QByteArray("Ok\nA. a\nB. b\nANSWER: A\n\nMany\nA. 1\nB. 2\nC. 3\nD. 4\nE. 5\n"
                          "F. 6\nG. 7\nANSWER: G\n\nOne\nA. only\nANSWER: A")
            << QStringList{describe(rec(QStringLiteral("Ok"), {"+a", "b"}))}
            << QStringList{"2@6: it has 7 choices (at most 6 fit)",
                           "3@16: it has fewer than two choices"};
    }
    void aiken() { checkParse(Format::Aiken); }

    void aikenErrors_data()
    {
        tableOfErrors();
        QTest::newRow("answer before any choice")
            << QByteArray("Q\n  ANSWER: A") << 2 << 3
            << QStringLiteral("\"ANSWER:\" before any choice");
        QTest::newRow("answer that names no choice")
            << QByteArray("Q\nA. a\nB. b\nANSWER: C") << 4 << 9
            << QStringLiteral("the answer \"C\" names no choice");
        QTest::newRow("two letters") << QByteArray("Q\nA. a\nB. b\nANSWER: A, B") << 4 << 9
                                     << QStringLiteral("the answer must be one capital letter");
        QTest::newRow("no letter") << QByteArray("Q\nA. a\nB. b\nANSWER:") << 4 << 8
                                   << QStringLiteral("the answer must be one capital letter");
        QTest::newRow("choice out of order")
            << QByteArray("Q\nA. a\n C. c\nANSWER: A") << 3 << 2
            << QStringLiteral("choice \"C\" where \"B\" was expected");
        QTest::newRow("choice without text") << QByteArray("Q\nA. a\nB.\nANSWER: A") << 3 << 1
                                             << QStringLiteral("choice \"B\" has no text");
        QTest::newRow("next question before the answer")
            << QByteArray("Q\nA. a\nB. b\n\n  Next question\nA. x\nANSWER: A") << 5 << 3
            << QStringLiteral("expected choice \"C.\" or the \"ANSWER:\" line");
        QTest::newRow("file ends before the answer")
            << QByteArray("Ok\nA. a\nB. b\nANSWER: B\nQ\nA. a\nB. b") << 7 << 5
            << QStringLiteral(
                   "the file ends before the \"ANSWER:\" line of the question at line 5");
        QTest::newRow("position after Windows line ends")
            << QByteArray("Q\r\nA. a\r\nB. b\r\nANSWER: Z\r\n") << 4 << 9
            << QStringLiteral("the answer \"Z\" names no choice");
        QTest::newRow("NUL byte") << QByteArray("Q\r\nA. a\0\r\nB. b\r\nANSWER: A", 25) << 2 << 5
                                  << QStringLiteral("the file holds a NUL character (U+0000), "
                                                    "which no text may hold");
        QTest::newRow("raw U+FFFF") << QByteArray("Q\xEF\xBF\xBF?\nA. a\nB. b\nANSWER: A") << 1 << 2
                                    << QStringLiteral("the file holds the non-character U+FFFF, "
                                                      "which no text may hold");
    }
    void aikenErrors() { checkError(Format::Aiken); }

    void moodle_data()
    {
        tableOfParses();
        QTest::newRow("single response, plain text, category, feedback")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n"
                          "<question type=\"category\"><category><text>$course$/top/Planning"
                          "</text></category></question>\n"
                          "<question type=\"multichoice\"><name><text>n</text></name>"
                          "<questiontext format=\"plain_text\"><text>What &lt;is&gt; it?</text>"
                          "</questiontext><generalfeedback format=\"plain_text\"><text>Because."
                          "</text></generalfeedback><single>true</single>"
                          "<answer fraction=\"0\" format=\"plain_text\"><text>one</text>"
                          "<feedback><text>no</text></feedback></answer>"
                          "<answer fraction=\"100\" format=\"plain_text\"><text>two</text></answer>"
                          "</question></quiz>")
            << QStringList{QStringLiteral("name=[n] ") +
                           describe(rec(QStringLiteral("What <is> it?"), {"one", "+two"}, false, 1,
                                        QStringLiteral("Because.\na: no")))}
            << QStringList{"1@4 changed: the feedback of a added to the explanation"};
        QTest::newRow("multiple response, html, CDATA, unknown category")
            << QByteArray("<quiz><question type=\"category\"><category><text>$course$/Mine"
                          "</text></category></question><question type=\"multichoice\">"
                          "<questiontext format=\"html\"><text><![CDATA[<p>Pick <b>two</b>"
                          "&nbsp;&amp; go</p>]]></text></questiontext><single>false</single>"
                          "<answer fraction=\"50\"><text>a</text></answer>"
                          "<answer fraction=\"-100\"><text>b</text></answer>"
                          "<answer fraction=\"50\"><text>c</text></answer></question></quiz>")
            << QStringList{describe(
                   rec(QStringLiteral("Pick two & go"), {"+a", "b", "+c"}, true, 0))}
            << QStringList{"1@1 changed: HTML turned into plain text"};
        QTest::newRow("byte-order mark and Windows line ends")
            << QByteArray(
                   "\xEF\xBB\xBF<quiz>\r\n<question type=\"multichoice\">\r\n"
                   "<questiontext format=\"plain_text\"><text>Line1\r\nLine2</text>"
                   "</questiontext>\r\n<answer fraction=\"100\"><text>a</text></answer>\r\n"
                   "<answer fraction=\"0\"><text>b</text></answer>\r\n</question>\r\n</quiz>\r\n")
            << QStringList{describe(rec(QStringLiteral("Line1\nLine2"), {"+a", "b"}))}
            << QStringList{};
        const QByteArray ok("<question type=\"multichoice\"><questiontext format=\"plain_text\">"
                            "<text>Ok</text></questiontext><answer fraction=\"100\"><text>a</text>"
                            "</answer><answer fraction=\"0\"><text>b</text></answer></question>\n");
        const QString okRec = describe(rec(QStringLiteral("Ok"), {"+a", "b"}));
        auto quiz = [&](const QByteArray& question) {
            return "<quiz>\n" + ok + question + "</quiz>";
        };
        QTest::newRow("other types")
            << quiz("<question type=\"essay\"><x/></question>\n"
                    "<question type=\"description\"/>\n<question type=\"ddwtos\"/>\n"
                    "<question type=\"shortanswer\"/>\n")
            << QStringList{okRec}
            << QStringList{"2@3: it is an essay question", "3@4: it has no answers (a description)",
                           "4@5: it is a question of the type \"ddwtos\"",
                           "5@6: it is a short answer question"};
        QuestionRecord tf = formats::trueFalseRecord(false);
        tf.name = QStringLiteral("Sky");
        tf.text = QStringLiteral("The sky is green.");
        tf.explanation = QStringLiteral("Look up.\na: No.\nb: Yes.");
        QTest::newRow("true/false, answers in either order, markdown feedback")
            << quiz("<question type=\"truefalse\"><name><text>Sky</text></name>"
                    "<questiontext format=\"moodle_auto_format\"><text>The sky is green."
                    "</text></questiontext><generalfeedback format=\"markdown\"><text>*Look* up."
                    "</text></generalfeedback><answer fraction=\"100\"><text>false</text>"
                    "<feedback><text>Yes.</text></feedback></answer><answer fraction=\"0\">"
                    "<text>true</text><feedback format=\"html\"><text>&lt;b&gt;No.&lt;/b&gt;"
                    "</text></feedback></answer></question>\n"
                    "<question type=\"truefalse\"><questiontext><text>Q</text></questiontext>"
                    "<answer fraction=\"100\"><text>yes</text></answer><answer fraction=\"0\">"
                    "<text>no</text></answer></question>\n")
            << QStringList{okRec, describe(tf)}
            << QStringList{"3@4: its answers are not \"true\" and \"false\"",
                           "2@3 changed: HTML turned into plain text, Markdown turned into plain "
                           "text, the feedback of a, b added to the explanation"};
        QByteArray seven(
            "<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>");
        for (int i = 0; i < 7; ++i)
            seven += "<answer fraction=\"" + QByteArray(i ? "0" : "100") + "\"><text>c" +
                     QByteArray::number(i) + "</text></answer>";
        QTest::newRow("seven choices") << quiz(seven + "</question>") << QStringList{okRec}
                                       << QStringList{"2@3: it has 7 choices (at most 6 fit)"};
        QTest::newRow("embedded file")
            << quiz("<question type=\"multichoice\"><questiontext><text>Q</text>"
                    "<file name=\"a.png\">AAAA</file></questiontext><answer fraction=\"100\">"
                    "<text>a</text></answer><answer><text>b</text></answer></question>")
            << QStringList{okRec} << QStringList{"2@3: it has a picture"};
        QTest::newRow("image in an answer")
            << quiz("<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>"
                    "<answer fraction=\"100\"><text>&lt;img src=\"@@PLUGINFILE@@/a.png\"&gt;"
                    "</text></answer><answer><text>b</text></answer></question>")
            << QStringList{okRec} << QStringList{"2@3: it has a picture"};
        QTest::newRow("partial credit in a single response")
            << quiz("<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>"
                    "<answer fraction=\"50\"><text>a</text></answer><answer fraction=\"100\">"
                    "<text>b</text></answer></question>")
            << QStringList{okRec, describe(rec(QStringLiteral("Q"), {"a", "+b"}))}
            << QStringList{"2@3 changed: weights turned into all-or-nothing (a 50%)"};
        QTest::newRow("references above U+FFFF, of the XML and of an HTML text")
            << quiz("<question type=\"multichoice\"><questiontext format=\"html\"><text>"
                    "&lt;b&gt;Smile&lt;/b&gt; &amp;#x1F600; &#128512;</text></questiontext>"
                    "<answer fraction=\"100\"><text>&#x1F600;</text></answer>"
                    "<answer fraction=\"0\"><text><![CDATA[&#x10FFFD;]]></text></answer>"
                    "</question>")
            << QStringList{okRec, describe(rec(QString::fromUtf8("Smile \U0001F600 \U0001F600"),
                                               {QString::fromUtf8("+\U0001F600"),
                                                QString::fromUtf8("\U0010FFFD")}))}
            << QStringList{"2@3 changed: HTML turned into plain text"};
        QTest::newRow("fractions that add up to 70")
            << quiz("<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>"
                    "<single>0</single><answer fraction=\"40\"><text>a</text></answer>"
                    "<answer fraction=\"30\"><text>b</text></answer></question>")
            << QStringList{okRec}
            << QStringList{"2@3: its positive fractions add up to 70%, not 100%"};
    }
    void moodle() { checkParse(Format::MoodleXml); }

    void moodleErrors_data()
    {
        tableOfErrors();
        QTest::newRow("not well formed")
            << QByteArray("<quiz>\n<question type=\"multichoice\">\n</quiz>") << 3 << 8
            << QStringLiteral("Opening and ending tag mismatch.");
        QTest::newRow("not a quiz") << QByteArray("<?xml version=\"1.0\"?>\n<html/>") << 2 << 8
                                    << QStringLiteral("the root element is <html>, not <quiz>");
        QTest::newRow("question without a type")
            << QByteArray("<quiz>\n  <question>\n</question></quiz>") << 2 << 13
            << QStringLiteral("a <question> without a type");
        QTest::newRow("fraction not a number")
            << QByteArray("<quiz><question type=\"multichoice\">\n<answer fraction=\"lots\">"
                          "<text>a</text></answer></question></quiz>")
            << 2 << 25 << QStringLiteral("the fraction \"lots\" is not a number from -100 to 100");
        QTest::newRow("multichoice without question text")
            << QByteArray("<quiz>\n<question type=\"multichoice\"><answer fraction=\"100\">"
                          "<text>a</text></answer></question></quiz>")
            << 2 << 30 << QStringLiteral("a multichoice question without <questiontext>");
        QTest::newRow("empty file")
            << QByteArray("") << 1 << 1 << QStringLiteral("the file holds no XML element");
        // What no text may hold: as a reference of the XML, the character
        // itself, or a reference of an HTML text; at the start of the text.
        auto question = [](const QByteArray& format, const QByteArray& text) {
            return "<quiz>\n<question type=\"multichoice\">\n  <questiontext format=\"" + format +
                   "\"><text>" + text +
                   "</text></questiontext>\n<answer fraction=\"100\"><text>a</text></answer>"
                   "<answer><text>b</text></answer></question></quiz>";
        };
        QTest::newRow("reference to a non-character of the XML")
            << question("plain_text", "Q&#xFDD0;") << 3 << 43
            << QStringLiteral("the text here holds the non-character U+FDD0, which no text may "
                              "hold");
        QTest::newRow("NUL byte")
            << question("plain_text", QByteArray("Q\0", 2)) << 3 << 44
            << QStringLiteral("the file holds a NUL character (U+0000), which no text may hold");
        QTest::newRow("raw U+FFFF")
            << question("plain_text", "Q\xEF\xBF\xBF") << 3 << 44
            << QStringLiteral("the file holds the non-character U+FFFF, which no text may hold");
        QTest::newRow("a non-character itself")
            << question("html", "Q \xF3\xBF\xBF\xBE") << 3 << 39
            << QStringLiteral("the file holds the non-character U+FFFFE, which no text may hold");
        QTest::newRow("reference to a surrogate in HTML")
            << question("html", "&lt;p&gt;Q&amp;#xD800;&lt;/p&gt;") << 3 << 37
            << QStringLiteral("the reference &#xD800; stands for a surrogate (U+D800), which no "
                              "text may hold");
        QTest::newRow("reference to NUL in HTML in character data")
            << question("moodle_auto_format", "<![CDATA[<p>Q&#0;</p>]]>") << 3 << 51
            << QStringLiteral("the reference &#0; stands for a NUL character (U+0000), which no "
                              "text may hold");
    }
    void moodleErrors()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, reason);
        const ErrorAt e = errorOf(Format::MoodleXml, input);
        QVERIFY2(!e.reason.isEmpty(), "the input was accepted");
        QCOMPARE(e.reason, reason);
        QCOMPARE(e.line, line);
        QCOMPARE(e.column, column);
    }

    void detectFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("format");
        QTest::newRow("xml content")
            << "q.txt" << QByteArray("\xEF\xBB\xBF  <quiz/>") << int(Format::MoodleXml);
        QTest::newRow("aiken in txt")
            << "q.txt" << QByteArray("Q\nA. a\nB. b\nANSWER: A") << int(Format::Aiken);
        QTest::newRow("gift in txt") << "q.txt" << QByteArray("Q {=a ~b}") << int(Format::Gift);
        QTest::newRow("gift extension")
            << "q.gift" << QByteArray("Q\nA. a\nANSWER: A") << int(Format::Gift);
        QTest::newRow("empty xml") << "q.xml" << QByteArray() << int(Format::MoodleXml);
        QTest::newRow("xml extension decides")
            << "q.xml" << QByteArray("Q {=a ~b}") << int(Format::MoodleXml);
        QTest::newRow("aiken with a brace and Windows line ends")
            << "q.txt" << QByteArray("Which {set}?\r\nA. a\r\nB) b\r\n\r\nANSWER: B\r\n")
            << int(Format::Aiken);
        QTest::newRow("gift that mentions ANSWER:")
            << "q.txt" << QByteArray("ANSWER: pick one {=a ~b}") << int(Format::Gift);
    }
    void detectFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, input);
        QFETCH(int, format);
        QCOMPARE(int(formats::detectImportFormat(name, input)), format);
    }

    // Text with every special character of both formats survives each writer
    // and its reader.
    void writersKeepEveryCharacter_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("gift") << int(Format::Gift);
        QTest::newRow("moodle") << int(Format::MoodleXml);
    }
    void writersKeepEveryCharacter()
    {
        QFETCH(int, format);
        std::vector<formats::NumberedRecord> in;
        in.push_back({1, rec(QStringLiteral("a:b ~c =d #e {f} \\n g\\ h\nnext line <b>&amp;"),
                             {"%50% off", "+=x", "~y", "+#z", "::t::", "{}"}, true, 2,
                             QStringLiteral("why: {because} ####\n\nend \\"))});
        in.push_back({2, rec(QStringLiteral("//not a comment\n$CATEGORY: x"),
                             {"%1%", "\\", "]]>", "+a->b"}, false, 0)});
        in.push_back({3, rec(QStringLiteral("Six"), {"+1", "2", "+3", "4", "+5", "+6"}, true, 5)});
        in[0].record.name = QStringLiteral("::Q1:: {odd} #name <x> & y");
        in[1].record.name = QStringLiteral("[html]looks marked");
        QuestionRecord tf = formats::trueFalseRecord(false);
        tf.name = QStringLiteral("tf");
        tf.text = QStringLiteral("RARP <old> is IP & MAC");
        tf.explanation = QStringLiteral("[markdown]**general**\na: #1 <wrong>\nb: ~right");
        in.push_back({4, tf});
        in.push_back({5, rec(QStringLiteral("[html]<i>as typed</i>"), {"+&amp;", "[plain]b", "c"},
                             false, 1, QStringLiteral("a: first\nsecond line\nc: {#c} <c>"))});
        QTemporaryDir dir;
        const QString path = dir.filePath(format == int(Format::Gift) ? QStringLiteral("x.gift")
                                                                      : QStringLiteral("x.xml"));
        const auto outcome = formats::writeExportFile(path, Format(format), in);
        QCOMPARE(outcome.written, 5);
        const auto plan = formats::readImportFile(path);
        QCOMPARE(int(plan.format), format);
        QVERIFY(plan.result.skipped.empty());
        QCOMPARE(plan.result.questions.size(), in.size());
        in[2].record.name = QStringLiteral("Item 3");
        in[4].record.name = QStringLiteral("Item 5");
        for (size_t i = 0; i < in.size(); ++i)
            QCOMPARE(describe(plan.result.questions[i]), describe(in[i].record));
        // What the writers wrote needs no conversion of weights or formats.
        QStringList changes;
        for (const auto& c : plan.result.changed)
            changes << QStringLiteral("%1: %2").arg(c.number).arg(c.changes.join(u','));
        QCOMPARE(changes, (QStringList{"4: the feedback of a, b added to the explanation",
                                       "5: the feedback of a, c added to the explanation"}));
    }

    // A table of tricky texts through each writer and its reader: every
    // record comes back as it was, skipped by neither.
    void everyExportReadsBack_data()
    {
        QTest::addColumn<QuestionRecord>("record");
        QTest::newRow("an arrow in the right choice")
            << rec(QStringLiteral("Which way?"), {"+a -> b", "c"});
        QTest::newRow("arrows in every choice of a multiple response")
            << rec(QStringLiteral("Pick"), {"+x->y", "+y->x", "z->"}, true);
        QTest::newRow("an arrow beside true and false")
            << rec(QStringLiteral("T or F?"), {"+TRUE ->", "FALSE"});
        QTest::newRow("markers at the start")
            << rec(QStringLiteral("[html]<b>x</b>"), {"+[markdown]**a**", "[plain]b", "[moodle]c"});
        QTest::newRow("the specials of GIFT")
            << rec(QStringLiteral("::x:: {a} ~b =c #d \\ e"), {"+%100%", "~", "=", "#"}, false, 3,
                   QStringLiteral("####"));
        QTest::newRow("a percent and a hash at the start")
            << rec(QStringLiteral("%50% of what?"), {"+%50%", "#1", "-%"});
        QTest::newRow("comment and category lookalikes")
            << rec(QStringLiteral("// not a comment\n$CATEGORY: x"), {"+//a", "$CATEGORY: b"});
        QTest::newRow("characters above U+FFFF")
            << rec(QString::fromUtf8("Smile \U0001F600"),
                   {QString::fromUtf8("+\U00010000"), QString::fromUtf8("\U0010FFFD x")});
        QTest::newRow("references written as text")
            << rec(QStringLiteral("&#x1F600; &amp; &#0; &xxe;"), {"+&lt;", "&#xD800;"});
        QTest::newRow("the specials of XML")
            << rec(QStringLiteral("]]> <![CDATA[ <?pi?> <!-- --> \"'"), {"+<quiz>", "</question>"});
        QTest::newRow("blanks inside and line ends")
            << rec(QStringLiteral("a\tb  c\nd\n\ne"), {"+x  y", "p\tq"}, false, 0,
                   QStringLiteral("line one\n\nline three"));
        QTest::newRow("feedback lines") << rec(QStringLiteral("Q"), {"+a", "b"}, false, 1,
                                               QStringLiteral("general\na: for a\nb: for b"));
        QTest::newRow("backslashes at the ends")
            << rec(QStringLiteral("C:\\"), {"+dir\\", "\\\\server\\share"});
        QTest::newRow("texts at the size limits")
            << rec(QString(formats::kMaxTextLength, u'q'),
                   {u'+' + QString(formats::kMaxChoiceLength, u'c'), "b"}, true, 2,
                   QString(formats::kMaxTextLength, u'e'));
        QuestionRecord named = rec(QStringLiteral("Q"), {"+a", "b"});
        named.name = QStringLiteral("::odd:: {name} #1 <x> & y");
        QTest::newRow("a name with specials") << named;
    }
    void everyExportReadsBack()
    {
        QFETCH(QuestionRecord, record);
        if (record.name.isEmpty())
            record.name = QStringLiteral("Item 7");
        QTemporaryDir dir;
        for (const Format format : {Format::Gift, Format::MoodleXml}) {
            const QString path = dir.filePath(format == Format::Gift ? QStringLiteral("x.gift")
                                                                     : QStringLiteral("x.xml"));
            const auto outcome = formats::writeExportFile(path, format, {{7, record}});
            QVERIFY2(outcome.skipped.isEmpty(), qPrintable(outcome.skipped.join(u'\n')));
            const auto plan = formats::readImportFile(path);
            QVERIFY2(plan.result.skipped.empty(),
                     qPrintable(formats::skippedSummary(plan.result.skipped)));
            QCOMPARE(plan.result.questions.size(), size_t(1));
            QCOMPARE(describe(plan.result.questions[0]), describe(record));
        }
    }

    // What an import refuses, the export check refuses too: no writer drops
    // a character or writes a question that would not come back.
    void exportRefusesWhatNoImportTakes_data()
    {
        QTest::addColumn<QuestionRecord>("record");
        QTest::addColumn<QString>("reason");
        QTest::newRow("NUL in the question text")
            << rec(QString::fromUtf8("a\0b", 3), {"+a", "b"})
            << "its question text holds a NUL character (U+0000), which no exchange file can carry";
        QTest::newRow("U+FFFE in a choice")
            << rec(QStringLiteral("Q"), {"+a", QString::fromUtf8("x\uFFFE")})
            << "choice b holds the non-character U+FFFE, which no exchange file can carry";
        QTest::newRow("U+FFFF in the explanation")
            << rec(QStringLiteral("Q"), {"+a", "b"}, false, 0, QString::fromUtf8("why\uFFFF"))
            << "its explanation holds the non-character U+FFFF, which no exchange file can carry";
        QTest::newRow("U+FDEF in a choice")
            << rec(QStringLiteral("Q"), {"+a", "b", QString::fromUtf8("\uFDEF")})
            << "choice c holds the non-character U+FDEF, which no exchange file can carry";
        QTest::newRow("the last code point")
            << rec(QString::fromUtf8("Q\U0010FFFF"), {"+a", "b"})
            << "its question text holds the non-character U+10FFFF, which no exchange file can "
               "carry";
        QuestionRecord named = rec(QStringLiteral("Q"), {"+a", "b"});
        named.name = QStringLiteral("half ") + QChar(0xD800) + QStringLiteral(" pair");
        QTest::newRow("a lone surrogate in the name")
            << named << "its name holds a surrogate (U+D800), which no exchange file can carry";
        QTest::newRow("a question text beyond the limit")
            << rec(QString(formats::kMaxTextLength + 1, u'q'), {"+a", "b"})
            << "its question text has 65,537 characters (at most 65,536 fit)";
        QTest::newRow("a choice beyond the limit")
            << rec(QStringLiteral("Q"), {"+a", QString(formats::kMaxChoiceLength + 1, u'c')})
            << "choice b has 4,097 characters (at most 4,096 fit)";
    }
    void exportRefusesWhatNoImportTakes()
    {
        QFETCH(QuestionRecord, record);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        for (const Format format : {Format::Gift, Format::MoodleXml}) {
            const QString path = dir.filePath(format == Format::Gift ? QStringLiteral("x.gift")
                                                                     : QStringLiteral("x.xml"));
            const std::vector<formats::NumberedRecord> in{
                {3, rec(QStringLiteral("Ok"), {"+a", "b"})}, {4, record}};
            const auto outcome = formats::writeExportFile(path, format, in);
            QCOMPARE(outcome.skipped, QStringList{QStringLiteral("item 4: ") + reason});
            QCOMPARE(outcome.written, 1);
            const auto plan = formats::readImportFile(path);
            QCOMPARE(plan.result.questions.size(), size_t(1));
        }
    }

    // A Moodle XML file whose declarations take entities from outside it:
    // they are not read, and each question that loses text by them says so
    // in the summary; text that only looks like a reference loses nothing.
    void externalEntitiesAreNotReadAndSaySo()
    {
        const auto plan = formats::readImportFile(kExternalEntity);
        QCOMPARE(int(plan.format), int(Format::MoodleXml));
        QCOMPARE(plan.result.questions.size(), size_t(4));
        QCOMPARE(plan.result.questions[0].text,
                 QStringLiteral("Which protocol resolves an IP address to a hardware address?"));
        QCOMPARE(plan.result.questions[0].choices[0], QStringLiteral("ARP at Example Networks"));
        QCOMPARE(plan.result.questions[1].text,
                 QStringLiteral("XXE[] Which port does Telnet use?"));
        QCOMPARE(plan.result.questions[1].choices[1], QStringLiteral("21"));
        QCOMPARE(plan.result.questions[2].explanation, QStringLiteral("a: Right, see [].\nb: No."));
        QCOMPARE(plan.result.questions[3].text, QStringLiteral("Is &xxe; read here?"));
        for (const QuestionRecord& r : plan.result.questions)
            QVERIFY2(!describe(r).contains(QLatin1String("root:")), qPrintable(describe(r)));
        QCOMPARE(describeNotes(plan.result),
                 (QStringList{
                     "1@17 changed: HTML turned into plain text",
                     "2@49 changed: the entities &xxe;, &rfc; were left out of its text "
                     "(entities from outside the file are not read)",
                     "3@66 changed: the feedback of a, b added to the explanation, the entity "
                     "&wrapped; was left out of its text (entities from outside the file are not "
                     "read)"}));
    }

    // Declarations kept outside the file leave its undeclared entities
    // unread: the question says so too.
    void undeclaredEntitiesOfAnOutsideDtdSaySo()
    {
        const QByteArray xml(
            "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!DOCTYPE quiz SYSTEM "
            "\"quiz.dtd\">\r\n<quiz>\r\n"
            "<question type=\"multichoice\"><questiontext format=\"plain_text\"><text>A &amp; B"
            "</text></questiontext><answer fraction=\"100\"><text>a</text></answer><answer>"
            "<text>b</text></answer></question>\r\n"
            "<question type=\"multichoice\"><questiontext format=\"plain_text\"><text>U[&undef;]"
            "</text></questiontext><answer fraction=\"100\"><text>a</text></answer><answer>"
            "<text>b</text></answer></question>\r\n</quiz>\r\n");
        const ParseResult p = formats::parse(Format::MoodleXml, xml);
        QCOMPARE(describeAll(p), (QStringList{describe(rec(QStringLiteral("A & B"), {"+a", "b"})),
                                              describe(rec(QStringLiteral("U[]"), {"+a", "b"}))}));
        QCOMPARE(describeNotes(p),
                 QStringList{"2@5 changed: the entity &undef; was left out of its text (entities "
                             "from outside the file are not read)"});
    }

    // Texts beyond the sizes a question may have are skipped with the limit;
    // a question that takes more of the file than any could is skipped
    // before its texts are converted.
    void questionsBeyondTheSizes_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("notes");
        const QByteArray longText(formats::kMaxTextLength + 1, 'q');
        const QByteArray longChoice(formats::kMaxChoiceLength + 1, 'c');
        const QByteArray huge(formats::kMaxQuestionSource + 1, 'h');
        const QStringList textNote{
            "2@3: its question text has 65,537 characters (at most 65,536 fit)"};
        const QStringList choiceNote{"2@3: choice b has 4,097 characters (at most 4,096 fit)"};
        const QStringList hugeNote{"2@3: it takes more than 1,048,576 characters of the file"};
        const int gift = int(Format::Gift);
        const int aiken = int(Format::Aiken);
        const int moodle = int(Format::MoodleXml);
        const QByteArray ok("Ok {=a ~b}\n\n");
        QTest::newRow("gift question text") << gift << ok + longText + " {=a ~b}" << textNote;
        QTest::newRow("gift choice") << gift << ok + "Q {=a ~" + longChoice + "}" << choiceNote;
        QTest::newRow("gift explanation")
            << gift << ok + "Q {=a ~b ####" + longText + "}"
            << QStringList{"2@3: its explanation has 65,537 characters (at most 65,536 fit)"};
        QTest::newRow("gift name") << gift << ok + "::" + longChoice + "::Q {=a ~b}"
                                   << QStringList{"2@3: its name has 4,097 characters (at most "
                                                  "4,096 fit)"};
        QTest::newRow("gift text over many lines")
            << gift << ok + QByteArray(32768, '\n').replace('\n', "x\n") + "Q {=a ~b}" << textNote;
        QTest::newRow("gift question beyond the file's share")
            << gift << ok + huge + " {=a ~b}" << hugeNote;
        QTest::newRow("gift HTML whose plain text fits")
            << gift
            << ok + "[html]" + QByteArray(30000, 'q') +
                   QByteArray(30000, ' ').replace(' ', "<b></b>") + " {=a ~b}"
            << QStringList{};
        const QByteArray okAiken("Ok\nA. a\nB. b\nANSWER: A\n\n");
        QTest::newRow("aiken question text")
            << aiken
            << okAiken + QByteArray(40000, 'q') + "\n" + QByteArray(25536, 'q') +
                   "\nA. a\nB. b\nANSWER: A"
            << QStringList{"2@6: its question text has 65,537 characters (at most 65,536 fit)"};
        QTest::newRow("aiken choice")
            << aiken << okAiken + "Q\nA. a\nB. " + longChoice + "\nANSWER: A"
            << QStringList{"2@6: choice b has 4,097 characters (at most 4,096 fit)"};
        auto quiz = [](const QByteArray& text, const QByteArray& choice) {
            return "<quiz>\n<question type=\"multichoice\"><questiontext format=\"plain_text\">"
                   "<text>Ok</text></questiontext><answer fraction=\"100\"><text>a</text></answer>"
                   "<answer><text>b</text></answer></question>\n<question type=\"multichoice\">"
                   "<questiontext format=\"plain_text\"><text>" +
                   text +
                   "</text></questiontext><answer fraction=\"100\"><text>a</text></answer>"
                   "<answer><text>" +
                   choice + "</text></answer></question></quiz>";
        };
        QTest::newRow("moodle question text") << moodle << quiz(longText, "b") << textNote;
        QTest::newRow("moodle choice") << moodle << quiz("Q", longChoice) << choiceNote;
        QTest::newRow("moodle question beyond the file's share")
            << moodle << quiz("Q", huge) << hugeNote;
    }
    void questionsBeyondTheSizes()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, notes);
        ParseResult p;
        try {
            p = formats::parse(Format(format), input);
        } catch (const FormatError& e) {
            QFAIL(qPrintable(e.message()));
        }
        QStringList skipped;
        for (const auto& sk : p.skipped)
            skipped << QStringLiteral("%1@%2: %3").arg(sk.number).arg(sk.line).arg(sk.reason);
        QCOMPARE(skipped, notes);
        QCOMPARE(p.questions.size(), size_t(notes.isEmpty() ? 2 : 1));
        QCOMPARE(p.questions[0].text, QStringLiteral("Ok"));
    }

    // A file beyond the size an import takes is refused before it is read.
    void fileBeyondTheLimitIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.gift"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("Q {=a ~b}\n") > 0);
        QVERIFY(file.resize(formats::kMaxImportBytes + 1));
        file.close();
        try {
            formats::readImportFile(path);
            QFAIL("the file was read");
        } catch (const formats::ExchangeError& e) {
            QCOMPARE(e.message(), QDir::toNativeSeparators(path) +
                                      QStringLiteral(": the file is larger than 64 MB, the most a "
                                                     "file to import may hold (it has 64.0 MB)."));
        }
    }

    void exportSkipsWhatDoesNotFit()
    {
        std::vector<formats::NumberedRecord> in;
        in.push_back({4, rec(QStringLiteral("Fine"), {"+a", "b"})});
        in.push_back({5, rec(QStringLiteral("No key"), {"a", "b"})});
        in.push_back({6, rec(QStringLiteral("Gap"), {"+a", "", "c"})});
        in.push_back({7, rec(QStringLiteral("Key on empty"), {"+a", "b", "+"})});
        in.push_back({8, rec(QString(), {"+a", "b"})});
        in.push_back({9, rec(QStringLiteral("Two keys, single"), {"+a", "+b"})});
        in.push_back({10, rec(QStringLiteral("One choice"), {"+a"})});
        QTemporaryDir dir;
        const auto outcome =
            formats::writeExportFile(dir.filePath(QStringLiteral("x.gift")), Format::Gift, in);
        QCOMPARE(outcome.written, 1);
        QCOMPARE(formats::exportSummary(outcome),
                 QStringLiteral("1 question written (6 skipped: item 5: it has no correct choice; "
                                "item 6: choice c follows an empty choice; item 7: choice c is "
                                "marked correct but has no text; item 8: it has no question "
                                "text; item 9: it is a single response item with more than one "
                                "correct choice; item 10: it has fewer than two choices)."));
    }

    void moodleSkipsControlCharacters()
    {
        std::vector<formats::NumberedRecord> in;
        in.push_back({1, rec(QStringLiteral("Bell\x07"), {"+a", "b"})});
        in.push_back({2, rec(QStringLiteral("Tab\tand line\nend"), {"+a", "b"})});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.xml"));
        const auto outcome = formats::writeExportFile(path, Format::MoodleXml, in);
        QCOMPARE(outcome.skipped,
                 QStringList{"item 1: it holds a control character that XML cannot carry"});
        const auto plan = formats::readImportFile(path);
        QCOMPARE(plan.result.questions.size(), size_t(1));
        in[1].record.name = QStringLiteral("Item 2");
        QCOMPARE(plan.result.questions[0], in[1].record);
    }

    void importSummary()
    {
        ParseResult p;
        p.questions.resize(3);
        QCOMPARE(formats::importSummary(p), QStringLiteral("3 questions will be added."));
        p.skipped.push_back({2, 7, QStringLiteral("it is a true/false question")});
        p.skipped.push_back({5, 19, QStringLiteral("it has a picture")});
        QCOMPARE(
            formats::importSummary(p),
            QStringLiteral("3 questions will be added (2 skipped: question 2 (line 7): it is a "
                           "true/false question; question 5 (line 19): it has a picture)."));
        for (int i = 0; i < 10; ++i)
            p.skipped.push_back({10 + i, 30 + i, QStringLiteral("it is an essay question")});
        QCOMPARE(formats::importSummary(p).count(QStringLiteral("question ")), 12);
        const QString shortened = formats::importSummary(p, 10);
        QVERIFY2(shortened.startsWith(
                     QStringLiteral("3 questions will be added (12 skipped: question 2 (line 7)")),
                 qPrintable(shortened));
        QVERIFY2(shortened.endsWith(QStringLiteral(
                     "question 17 (line 37): it is an essay question; and 2 more).")),
                 qPrintable(shortened));
    }

    // The plain text each format's markup shows.
    void plainText_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("plain");
        const int html = int(formats::TextFormat::Html);
        const int moodle = int(formats::TextFormat::Moodle);
        const int markdown = int(formats::TextFormat::Markdown);
        const int plain = int(formats::TextFormat::Plain);
        QTest::newRow("html paragraphs and entities")
            << html << "<p>One</p><P>Two&nbsp;&amp; &#x20AC;&#8364; &eacute;&mdash;&lt;b&gt;</P>"
            << QString::fromUtf8("One\nTwo & \u20AC\u20AC \u00E9\u2014<b>");
        QTest::newRow("html blanks gather, breaks stay") << html << "  a \n\t b<br/>\n   c<br>d  "
                                                         << "a b\nc\nd";
        QTest::newRow("html link, script, style and comment")
            << html
            << "See <a href=\"http://x.org/a\">the RFC</a><script>bad()</script>"
               "<style>p{}</style><!-- note -->."
            << "See the RFC (http://x.org/a).";
        QTest::newRow("html unknown entity and a bare ampersand")
            << html << "&bogus; & x" << QString::fromUtf8("&bogus; & x");
        QTest::newRow("html references above U+FFFF")
            << html << "&#x1F600;&#128512; &#x10FFFD;"
            << QString::fromUtf8("\U0001F600\U0001F600 \U0010FFFD");
        // The readers' own marks while they convert are no character a text
        // may hold, so a private-use character is taken as it stands.
        QTest::newRow("html private-use characters stay")
            << moodle << QString::fromUtf8("a\uE000b\n\uE041")
            << QString::fromUtf8("a\uE000b\n\uE041");
        QTest::newRow("markdown private-use characters stay")
            << markdown << QString::fromUtf8("\\* \uE041\uE000 \\_")
            << QString::fromUtf8("* \uE041\uE000 _");
        QTest::newRow("moodle: a line end is a break")
            << moodle << "line one\nline <b>two</b>\n\nend"
            << "line one\nline two\n\nend";
        QTest::newRow("markdown marks")
            << markdown
            << "# Title\n**bold**, __strong__, *it*, _it_, snake_case_name, `x*y`\n> quoted  \n"
               "[the RFC](http://x.org \"t\") and <http://y.org> \\*literal\\* 2*3*4"
            << "Title\nbold, strong, it, it, snake_case_name, x*y\nquoted\n"
               "the RFC (http://x.org) and http://y.org *literal* 2*3*4";
        QTest::newRow("plain stays") << plain << "<b>&amp;</b> **x**"
                                     << "<b>&amp;</b> **x**";
    }
    void plainText()
    {
        QFETCH(int, format);
        QFETCH(QString, input);
        QFETCH(QString, plain);
        QCOMPARE(formats::toPlain(input, formats::TextFormat(format)), plain);
    }

    // The explanation carries the choices' feedback as "a: …" lines and
    // gives it back to the writers, lines and all.
    void feedbackInTheExplanation_data()
    {
        QTest::addColumn<QString>("general");
        QTest::addColumn<QStringList>("perChoice");
        QTest::addColumn<QString>("explanation");
        QTest::newRow("general and two")
            << "Why.\n\nMore." << QStringList{"yes", "", "no"} << "Why.\n\nMore.\na: yes\nc: no";
        QTest::newRow("only feedback")
            << "" << QStringList{"", "over\ntwo lines"} << "b: over\ntwo lines";
        QTest::newRow("only general")
            << "a:b is no feedback line" << QStringList{} << "a:b is no feedback line";
        QTest::newRow("a feedback line that names itself again")
            << "" << QStringList{"one\na: two"} << "a: one\na: two";
    }
    void feedbackInTheExplanation()
    {
        QFETCH(QString, general);
        QFETCH(QStringList, perChoice);
        QFETCH(QString, explanation);
        std::array<QString, 6> feedback;
        for (int i = 0; i < perChoice.size(); ++i)
            feedback[size_t(i)] = perChoice[i];
        QCOMPARE(formats::mergeFeedback(general, feedback), explanation);
        QuestionRecord r = rec(QStringLiteral("Q"), {"+a", "b", "c"});
        r.explanation = explanation;
        const auto split = formats::splitFeedback(r);
        QCOMPARE(split.general, general);
        QCOMPARE(split.perChoice, feedback);
    }

    // A GIFT export marks as plain what Moodle's own format would read as
    // markup, and writes true/false and feedback in GIFT's own forms.
    void giftWriterMarksAndForms()
    {
        QuestionRecord tf = formats::trueFalseRecord(false);
        tf.name = QStringLiteral("Old");
        tf.text = QStringLiteral("RARP <old> maps IP & MAC");
        tf.explanation = QStringLiteral("[html] is text\nb: right");
        QuestionRecord mc = rec(QStringLiteral("Plain text"), {"+a<b", "b", "c"});
        mc.explanation = QStringLiteral("a: 1 & 2\nc: {x}");
        const QString gift = formats::writeGift({{7, tf}, {8, mc}});
        QCOMPARE(gift, QStringLiteral("$CATEGORY: $course$/top\n\n"
                                      "::Old::[plain]RARP <old> maps IP & MAC {\n"
                                      "\tFALSE##right\n"
                                      "\t####[plain][html] is text\n"
                                      "}\n\n"
                                      "::Item 8::Plain text {\n"
                                      "\t=[plain]a<b #[plain]1 & 2\n"
                                      "\t~b\n"
                                      "\t~c #\\{x\\}\n"
                                      "}\n\n"));
    }

    // Names are kept beside the user set, by key, for the file they were
    // given in: a user set made anew, whose keys start again, takes none.
    void namesStayWithTheirUserSet()
    {
        QTemporaryDir dir;
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        const QString path = dir.filePath(QStringLiteral("set.DAT"));
        QuestionRecord named = rec(QStringLiteral("A"), {"+x", "y"});
        named.name = QStringLiteral("first: {odd} name");
        const QuestionRecord unnamed = rec(QStringLiteral("B"), {"x", "+y"});
        {
            auto t = openSet(session, path);
            formats::addToUserSet(*t, {named, unnamed});
            const auto back = formats::readUserSet(*t);
            QCOMPARE(back.size(), size_t(2));
            QCOMPARE(back[0].record, named);
            QCOMPARE(back[1].record, unnamed);
        }
        QCOMPARE(formats::namesFilePath(path), dir.filePath(QStringLiteral("set-names.DAT")));
        QVERIFY(QFile::exists(formats::namesFilePath(path)));
        QVERIFY(QFile::remove(path));
        {
            auto t = openSet(session, path);
            formats::addToUserSet(*t, {unnamed});
            const auto back = formats::readUserSet(*t);
            QCOMPARE(back.size(), size_t(1));
            QCOMPARE(back[0].id, qint64(1));
            QCOMPARE(back[0].record, unnamed);
        }
    }

    // A file written by hand with every construct of the GIFT format: every
    // multiple-choice and true/false question comes in, as plain text with
    // every feedback in its explanation, and the summary names the rest.
    void everyConstructOfGift()
    {
        const auto plan = formats::readImportFile(kEveryConstruct);
        QCOMPARE(int(plan.format), int(Format::Gift));
        auto named = [](const QString& name, QuestionRecord r) {
            r.name = name;
            return describe(r);
        };
        auto trueFalse = [&](const QString& name, bool answer, const QString& text,
                             const QString& explanation) {
            QuestionRecord r = formats::trueFalseRecord(answer);
            r.section = 1;
            r.text = text;
            r.explanation = explanation;
            return named(name, r);
        };
        const QStringList expected{
            named("Colour between",
                  rec("Which colour lies between orange and green?", {"+yellow", "red", "blue"},
                      false, 1,
                      "The order is red, orange, yellow, green, blue.\n"
                      "a: right; that is the one!\nb: no, red comes before orange\n"
                      "c: no, blue comes after green")),
            named("Markers",
                  rec("Which protocol maps an IP address to a hardware address & "
                      "which does the reverse?",
                      {"+ARP <then> RARP", "DNS & WINS", "DHCP and BOOTP", "ICMP"}, false, 1,
                      "See RFC 826 (http://example.org/rfc826).\nThen RFC 903.")),
            named("Plain marker", rec("Is 10 < 11 & 12 > 11?", {"+yes", "no"}, false, 1)),
            named("Markdown question", rec("Is this bold, and is that in italics?",
                                           {"+Both are", "Neither is"}, false, 1)),
            named("Missing word", rec("The default TTL of a Windows NT 4.0 host is _____ hops.",
                                      {"64", "+128", "255"}, false, 1)),
            trueFalse("TF short true", true, "A class C network has 254 usable host addresses.",
                      ""),
            trueFalse("TF long true", true, "UDP is a connectionless protocol.",
                      "a: Right: no handshake, no state.\nb: No, UDP keeps no connection state."),
            trueFalse("TF short false", false, "Telnet uses UDP port 23.", "a: It uses TCP."),
            trueFalse("TF long false", false, "TCP port 21 carries FTP data.",
                      "Port 21 carries the control connection.\n"
                      "b: Right, port 20 carries the data."),
            named("Partial single",
                  rec("Which command shows the route table?",
                      {"+route print", "netstat -r", "ipconfig", "arp -a"}, false, 1,
                      "b: half: it shows the same table\nc: wrong, and it costs")),
            named("Two right",
                  rec("Which two are private address ranges?",
                      {"+10.0.0.0/8", "+192.168.0.0/16", "11.0.0.0/8", "193.168.0.0/16"}, true, 1)),
            named("Uneven shares", rec("Pick the protocols of the transport layer.",
                                       {"+TCP", "+UDP", "IP", "ARP"}, true, 1)),
            named("Escapes : and {braces}", rec("Which netmask has the prefix /24 = 24 bits?",
                                                {"+255.255.255.0", "255.255.0.0", "255.0.0.0"},
                                                false, 1, "a: ~ right # the usual one")),
            named("Two lines", rec("A host has the address 131.107.2.200/16.\n"
                                   "Which network is it on?",
                                   {"+131.107.0.0", "131.107.2.0", "131.0.0.0"}, false, 1)),
        };
        QCOMPARE(describeAll(plan.result), expected);
        static const QRegularExpression marker(
            QStringLiteral("\\[(html|plain|moodle|markdown)\\]|\\*\\*|</?[a-z]+>|&[a-z]+;"));
        for (const QuestionRecord& r : plan.result.questions) {
            QStringList texts{r.name, r.text, r.explanation};
            for (const QString& c : r.choices)
                texts << c;
            for (const QString& t : texts) {
                // The one text marked plain keeps its angle brackets.
                if (t != QLatin1String("ARP <then> RARP"))
                    QVERIFY2(!marker.match(t).hasMatch(), qPrintable(t));
            }
        }
        QCOMPARE(formats::importSummary(plan.result),
                 QStringLiteral(
                     "14 questions will be added (9 skipped: question 15 (line 84): it is a short "
                     "answer question; question 16 (line 86): it is a numerical question; "
                     "question 17 (line 88): it is a numerical question; question 18 (line 90): "
                     "it is a numerical question; question 19 (line 95): it is a matching "
                     "question; question 20 (line 101): it is an essay question; question 21 "
                     "(line 103): it is an essay question; question 22 (line 105): it has no "
                     "answers (a description); question 23 (line 107): it has 7 choices (at "
                     "most 6 fit)). 9 changed: question 1 (line 8): the feedback of a, b, c "
                     "added to the explanation; question 2 (line 17): HTML turned into plain "
                     "text, Markdown turned into plain text; question 4 (line 30): Markdown "
                     "turned into plain text; question 7 (line 42): the feedback of a, b added "
                     "to the explanation; question 8 (line 44): HTML turned into plain text, "
                     "the feedback of a added to the explanation; question 9 (line 46): the "
                     "feedback of b added to the explanation; question 10 (line 50): the "
                     "feedback of b, c added to the explanation, weights turned into "
                     "all-or-nothing (b 50%), negative weights dropped (c -25%); question 12 "
                     "(line 64): weights turned into all-or-nothing (a 60%, b 40%, c -50%, d "
                     "0%); question 13 (line 72): the feedback of a added to the explanation."));
    }

    // The file's questions, added to a user set, exported, imported into
    // another and exported again: names and texts come back unchanged, and
    // the second export is the first byte for byte.
    void everyConstructRoundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("gift") << int(Format::Gift);
        QTest::newRow("moodle") << int(Format::MoodleXml);
    }
    void everyConstructRoundTrip()
    {
        QFETCH(int, format);
        const auto source = formats::readImportFile(kEveryConstruct).result.questions;
        QTemporaryDir dir;
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        const QString suffix =
            format == int(Format::Gift) ? QStringLiteral(".gift") : QStringLiteral(".xml");
        QByteArray exports[2];
        std::vector<QuestionRecord> in = source;
        for (int round = 0; round < 2; ++round) {
            auto set = openSet(session, dir.filePath(QStringLiteral("set%1.DAT").arg(round)));
            // A question already there moves the keys of the new ones.
            formats::addToUserSet(*set, {rec(QStringLiteral("Before"), {"+a", "b"})});
            formats::addToUserSet(*set, in);
            auto stored = formats::readUserSet(*set);
            stored.erase(stored.begin());
            QCOMPARE(stored.size(), source.size());
            const QString path = dir.filePath(QStringLiteral("out%1").arg(round) + suffix);
            const auto outcome = formats::writeExportFile(path, Format(format), stored);
            QVERIFY(outcome.skipped.isEmpty());
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            exports[round] = file.readAll();
            const auto plan = formats::readImportFile(path);
            QVERIFY(plan.result.skipped.empty());
            QCOMPARE(describeAll(plan.result), describeAll({source, {}, {}}));
            in = plan.result.questions;
        }
        QCOMPARE(exports[1], exports[0]);
    }

    // The shipped bank's first hundred items, written into a user set, then
    // exported and imported into another, come back field by field.
    void bankRoundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("gift") << int(Format::Gift);
        QTest::newRow("moodle") << int(Format::MoodleXml);
    }
    void bankRoundTrip()
    {
        QFETCH(int, format);
        QStringList errors;
        const auto items = bank::readSource(QStringLiteral(QUIZLARK_DATA_DIR "/bank"),
                                            QStringLiteral(QUIZLARK_DATA_DIR "/pictures"), &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        QVERIFY(items.size() >= 104);
        // The simulations have no choices to carry and the user set has no
        // field for them; the first hundred of the other items go through.
        std::vector<QuestionRecord> source;
        std::vector<int> ids;
        for (const auto& it : items) {
            if (source.size() == 100)
                break;
            if (!it.sim.isEmpty())
                continue;
            ids.push_back(it.id);
            QuestionRecord r;
            r.section = it.section;
            r.multiple = it.multiple;
            r.text = it.text;
            r.explanation = it.explanation;
            r.choices = it.choices;
            r.key = it.key;
            source.push_back(r);
        }
        QTemporaryDir dir;
        store::Session session(QStringLiteral("Quizlark"));
        session.registerPassword(QString::fromLatin1(store::kTablePassword));
        auto first = openSet(session, dir.filePath(QStringLiteral("first.DAT")));
        formats::addToUserSet(*first, source);
        const auto stored = formats::readUserSet(*first);
        QCOMPARE(stored.size(), size_t(100));

        const QString path = dir.filePath(format == int(Format::Gift) ? QStringLiteral("bank.gift")
                                                                      : QStringLiteral("bank.xml"));
        const auto outcome = formats::writeExportFile(path, Format(format), stored);
        QVERIFY2(outcome.skipped.isEmpty(), qPrintable(outcome.skipped.join(u'\n')));
        const auto plan = formats::readImportFile(path);
        QVERIFY(plan.result.skipped.empty());
        auto second = openSet(session, dir.filePath(QStringLiteral("second.DAT")));
        formats::addToUserSet(*second, plan.result.questions);
        const auto back = formats::readUserSet(*second);
        QCOMPARE(back.size(), size_t(100));
        for (int i = 0; i < 100; ++i) {
            const QuestionRecord& a = source[size_t(i)];
            const QuestionRecord& b = back[size_t(i)].record;
            const QByteArray where = "bank item " + QByteArray::number(ids[size_t(i)]);
            QVERIFY2(a.section == b.section, where + " section");
            QVERIFY2(a.multiple == b.multiple, where + " type");
            QVERIFY2(a.text == b.text, where + " text: " + b.text.toUtf8());
            QVERIFY2(a.explanation == b.explanation, where + " explanation");
            for (int c = 0; c < 6; ++c) {
                QVERIFY2(a.choices[size_t(c)] == b.choices[size_t(c)],
                         where + " choice " + QByteArray::number(c + 1));
                QVERIFY2(a.key[size_t(c)] == b.key[size_t(c)],
                         where + " key " + QByteArray::number(c + 1));
            }
        }
    }
};

QTEST_GUILESS_MAIN(QuestionFormatsTest)
#include "test_question_formats.moc"
