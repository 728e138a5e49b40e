#pragma once

#include <QString>
#include <optional>

namespace formats {

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
// lineEndsBreak, a line end of the source is a line break too.
QString htmlToPlain(const QString& html, bool lineEndsBreak = false);
// The text a Markdown text shows: emphasis, code and heading marks go, a
// link keeps its text and its address, escapes are resolved; lines stay.
QString markdownToPlain(const QString& markdown);
// The plain text of a text in the format; plain text stays as it is.
QString toPlain(const QString& text, TextFormat format);

} // namespace formats
