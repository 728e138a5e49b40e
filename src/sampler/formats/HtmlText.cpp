#include "HtmlText.h"

#include <QRegularExpression>

namespace formats {

namespace {

// The named entities of Latin-1, in code order from U+00A0.
const char* const kLatin1Entities[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// The readers' own marks, set into a text while it is converted: the first
// non-characters, which no text read holds.
constexpr char16_t kFirstMark = 0xFDD0;
// The characters a Markdown backslash escapes, each marked by kFirstMark
// plus its place here.
const QString kMarkdownEscapes = QStringLiteral("\\`*_{}[]()#+-.!>~|");

struct NamedEntity {
    const char* name;
    char32_t code;
};
// The others that editors write into question texts.
const NamedEntity kOtherEntities[] = {
    {"amp", U'&'},         {"lt", U'<'},         {"gt", U'>'},         {"quot", U'"'},
    {"apos", U'\''},       {"ndash", U'\u2013'}, {"mdash", U'\u2014'}, {"hellip", U'\u2026'},
    {"lsquo", U'\u2018'},  {"rsquo", U'\u2019'}, {"ldquo", U'\u201C'}, {"rdquo", U'\u201D'},
    {"bull", U'\u2022'},   {"euro", U'\u20AC'},  {"trade", U'\u2122'}, {"larr", U'\u2190'},
    {"rarr", U'\u2192'},   {"uarr", U'\u2191'},  {"darr", U'\u2193'},  {"harr", U'\u2194'},
    {"le", U'\u2264'},     {"ge", U'\u2265'},    {"ne", U'\u2260'},    {"minus", U'\u2212'},
    {"thinsp", U'\u2009'}, {"ensp", U'\u2002'},  {"emsp", U'\u2003'},
};

QString fromCode(char32_t code, const QString& reference)
{
    const QString what = forbiddenCharacter(code);
    if (!what.isEmpty())
        throw BadReference(reference, what);
    return QString::fromUcs4(&code, 1);
}

// A number of a reference beyond this names no character, however long.
constexpr char32_t kBeyond = 0x110000;

char32_t referenceCode(QStringView digits, int base)
{
    if (digits.size() > 8)
        return kBeyond;
    bool ok = false;
    const uint code = digits.toUInt(&ok, base);
    return ok && code < kBeyond ? char32_t(code) : kBeyond;
}

// The text of an entity (from "&" to ";"), or a null text when it names
// nothing known.
QString entityText(const QString& reference)
{
    const QStringView name = QStringView(reference).mid(1, reference.size() - 2);
    if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
        return fromCode(referenceCode(name.mid(2), 16), reference);
    if (name.startsWith(u'#'))
        return fromCode(referenceCode(name.mid(1), 10), reference);
    // A no-break space shows as a blank and is one in a plain text.
    if (name == QLatin1String("nbsp"))
        return QStringLiteral(" ");
    for (size_t i = 0; i < std::size(kLatin1Entities); ++i) {
        if (name == QLatin1String(kLatin1Entities[i]))
            return fromCode(char32_t(0xA0 + i), reference);
    }
    for (const NamedEntity& e : kOtherEntities) {
        if (name == QLatin1String(e.name))
            return fromCode(e.code, reference);
    }
    return {};
}

QString decodeEntities(const QString& s)
{
    static const QRegularExpression entity(
        QStringLiteral("&(#[xX][0-9A-Fa-f]+|#[0-9]+|[A-Za-z][A-Za-z0-9]*);"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(s).mid(last, m.capturedStart() - last);
        const QString value = entityText(m.captured(0));
        out += value.isNull() ? m.captured(0) : value;
        last = m.capturedEnd();
    }
    out += QStringView(s).mid(last);
    return out;
}

} // namespace

QString forbiddenCharacter(char32_t code)
{
    if (code == 0)
        return QStringLiteral("a NUL character (U+0000)");
    const QString hex = QString::number(uint(code), 16).toUpper().rightJustified(4, u'0');
    if (code >= 0xD800 && code <= 0xDFFF)
        return QStringLiteral("a surrogate (U+%1)").arg(hex);
    if (code >= kBeyond)
        return QStringLiteral("no character (U+%1)").arg(hex);
    if ((code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE)
        return QStringLiteral("the non-character U+%1").arg(hex);
    return {};
}

ForbiddenAt findForbidden(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char32_t code = c;
        // Most characters are plainly allowed.
        if (c != 0 && c < 0xD800)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            const QString what = forbiddenCharacter(code);
            if (!what.isEmpty())
                return {i, what};
            ++i;
            continue;
        }
        const QString what = forbiddenCharacter(code);
        if (!what.isEmpty())
            return {i, what};
    }
    return {};
}

std::optional<TextFormat> textFormatFromName(const QString& name)
{
    if (name == QLatin1String("moodle") || name == QLatin1String("moodle_auto_format"))
        return TextFormat::Moodle;
    if (name == QLatin1String("html"))
        return TextFormat::Html;
    if (name == QLatin1String("plain") || name == QLatin1String("plain_text"))
        return TextFormat::Plain;
    if (name == QLatin1String("markdown"))
        return TextFormat::Markdown;
    return std::nullopt;
}

QString textFormatName(TextFormat format)
{
    switch (format) {
    case TextFormat::Moodle:
    case TextFormat::Html:
        return QStringLiteral("HTML");
    case TextFormat::Plain:
        return QStringLiteral("plain text");
    case TextFormat::Markdown:
        return QStringLiteral("Markdown");
    }
    return {};
}

bool hasPicture(const QString& html)
{
    static const QRegularExpression img(QStringLiteral("<\\s*img\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return img.match(html).hasMatch() || html.contains(QLatin1String("@@PLUGINFILE@@"));
}

bool hasPicture(const QString& text, TextFormat format)
{
    static const QRegularExpression image(QStringLiteral("!\\[[^\\]]*\\]\\("));
    switch (format) {
    case TextFormat::Plain:
        return false;
    case TextFormat::Markdown:
        return hasPicture(text) || image.match(text).hasMatch();
    case TextFormat::Moodle:
    case TextFormat::Html:
        break;
    }
    return hasPicture(text);
}

QString htmlToPlain(const QString& html, bool lineEndsBreak)
{
    static const QRegularExpression hidden(
        QStringLiteral("<\\s*(script|style)\\b.*?<\\s*/\\s*\\1\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression breaks(
        QStringLiteral("<\\s*br\\s*/?\\s*>|</\\s*(p|div|li|tr|h[1-6])\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression link(
        QStringLiteral(
            "<\\s*a\\b[^>]*\\bhref\\s*=\\s*[\"']([^\"']+)[\"'][^>]*>(.*?)<\\s*/\\s*a\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\f\\r]+"));
    static const QRegularExpression blanksAroundBreaks(QStringLiteral(" *\\n *"));
    // The line ends of the source are marked apart from the breaks of the
    // tags until the blanks are gathered, by a non-character, which no text
    // read holds.
    const QChar sourceBreak(kFirstMark);
    QString s = html;
    s.remove(hidden);
    s.remove(comment);
    s.replace(QLatin1Char('\n'), lineEndsBreak ? sourceBreak : QLatin1Char(' '));
    s.replace(breaks, QStringLiteral("\n"));
    // A link keeps its address after its text, as a Markdown link does.
    s.replace(link, QStringLiteral("\\2 (\\1)"));
    s.remove(tags);
    s.replace(blanks, QStringLiteral(" "));
    s.replace(sourceBreak, QLatin1Char('\n'));
    s.replace(blanksAroundBreaks, QStringLiteral("\n"));
    return decodeEntities(s).trimmed();
}

QString markdownToPlain(const QString& markdown)
{
    static const QRegularExpression escape(QStringLiteral("\\\\([\\\\`*_{}\\[\\]()#+\\-.!>~|])"));
    static const QRegularExpression heading(QStringLiteral("^[ ]{0,3}#{1,6}[ \\t]+"),
                                            QRegularExpression::MultilineOption);
    static const QRegularExpression quote(QStringLiteral("^[ ]{0,3}>[ ]?"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression code(QStringLiteral("`+([^`]+?)`+"));
    static const QRegularExpression link(
        QStringLiteral("\\[([^\\]]*)\\]\\(\\s*<?([^)\\s>]*)>?(?:\\s+\"[^\"]*\")?\\s*\\)"));
    static const QRegularExpression autoLink(QStringLiteral("<((?:https?|ftp|mailto):[^>\\s]+)>"));
    static const QRegularExpression strong(QStringLiteral("(\\*\\*|__)(?=\\S)(.+?)(?<=\\S)\\1"));
    static const QRegularExpression starEmphasis(
        QStringLiteral("(?<![\\w*])\\*(?=\\S)(.+?)(?<=\\S)\\*(?![\\w*])"));
    static const QRegularExpression lineEmphasis(
        QStringLiteral("(?<![\\w_])_(?=\\S)(.+?)(?<=\\S)_(?![\\w_])"));
    static const QRegularExpression trailing(QStringLiteral("[ \\t]+$"),
                                             QRegularExpression::MultilineOption);

    // An escaped character is set aside as a non-character, which no text
    // read holds, so that no rule below reads it as a mark, and put back at
    // the end.
    QString s;
    {
        qsizetype last = 0;
        auto it = escape.globalMatch(markdown);
        while (it.hasNext()) {
            const auto m = it.next();
            s += QStringView(markdown).mid(last, m.capturedStart() - last);
            s += QChar(char16_t(kFirstMark + kMarkdownEscapes.indexOf(m.captured(1).at(0))));
            last = m.capturedEnd();
        }
        s += QStringView(markdown).mid(last);
    }
    s.replace(heading, QString());
    s.replace(quote, QString());
    s.replace(code, QStringLiteral("\\1"));
    {
        QString out;
        qsizetype last = 0;
        auto it = link.globalMatch(s);
        while (it.hasNext()) {
            const auto m = it.next();
            out += QStringView(s).mid(last, m.capturedStart() - last);
            const QString text = m.captured(1);
            const QString address = m.captured(2);
            if (address.isEmpty() || text == address)
                out += text.isEmpty() ? address : text;
            else if (text.isEmpty())
                out += address;
            else
                out += text + QStringLiteral(" (") + address + u')';
            last = m.capturedEnd();
        }
        out += QStringView(s).mid(last);
        s = out;
    }
    s.replace(autoLink, QStringLiteral("\\1"));
    s.replace(strong, QStringLiteral("\\2"));
    s.replace(starEmphasis, QStringLiteral("\\1"));
    s.replace(lineEmphasis, QStringLiteral("\\1"));
    s.replace(trailing, QString());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c >= kFirstMark && c < kFirstMark + kMarkdownEscapes.size())
            s[i] = kMarkdownEscapes[c - kFirstMark];
    }
    return s.trimmed();
}

QString toPlain(const QString& text, TextFormat format)
{
    switch (format) {
    case TextFormat::Plain:
        return text;
    case TextFormat::Html:
        return htmlToPlain(text);
    case TextFormat::Moodle:
        return htmlToPlain(text, true);
    case TextFormat::Markdown:
        return markdownToPlain(text);
    }
    return text;
}

} // namespace formats
