#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace formats {

// What a code point is when no text of a question may hold it: "a NUL
// character (U+0000)", "a surrogate (U+D800)", "the non-character U+FFFE",
// "no character (U+110000)"; an empty text when a text may hold it. The
// non-characters are U+FDD0..U+FDEF and the last two code points of each
// plane: files would drop them or refuse them, and the readers keep some of
// them for their own marks.
QString forbiddenCharacter(char32_t code);

struct ForbiddenAt {
    qsizetype index = -1; // -1 when the text holds none
    QString what;         // as forbiddenCharacter() says it
};
// The first character of a text that no question may hold; a surrogate
// that is not half of a pair counts as one.
ForbiddenAt findForbidden(QStringView text);

// A character reference of an HTML text that stands for a code point no
// question may hold: thrown by htmlToPlain() and toPlain().
class BadReference : public std::runtime_error {
public:
    BadReference(const QString& reference, const QString& what)
        : std::runtime_error(reference.toStdString()), reference(reference), what(what)
    {
    }
    // "the reference &#xD800; stands for a surrogate (U+D800)"
    QString reason() const
    {
        return QStringLiteral("the reference %1 stands for %2, which no text may hold")
            .arg(reference, what);
    }
    QString reference;
    QString what;
};

// The text formats of the exchange formats: Moodle's own (HTML in which a
// line end is a line break), HTML, plain text and Markdown.
enum class TextFormat { Moodle, Html, Plain, Markdown };

// The format a marker or attribute names ("moodle", "html", "plain",
// "markdown", and the XML names "moodle_auto_format" and "plain_text").
std::optional<TextFormat> textFormatFromName(const QString& name);
QString textFormatName(TextFormat format);

// Whether an HTML text shows a picture (an image tag or an embedded file).
bool hasPicture(const QString& html);
// Whether a text of the format shows a picture.
bool hasPicture(const QString& text, TextFormat format);
// The text an HTML fragment shows: paragraph and line breaks become "\n",
// other tags go, entities are decoded, runs of blanks become one. With
// lineEndsBreak, a line end of the source is a line break too. A numeric
// reference to a code point no text may hold throws a BadReference.
QString htmlToPlain(const QString& html, bool lineEndsBreak = false);
// The text a Markdown text shows: emphasis, code and heading marks go, a
// link keeps its text and its address, escapes are resolved; lines stay.
QString markdownToPlain(const QString& markdown);
// The plain text of a text in the format; plain text stays as it is.
QString toPlain(const QString& text, TextFormat format);

} // namespace formats
