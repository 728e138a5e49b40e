#include "HtmlText.h"

#include <QRegularExpression>

namespace formats {

bool hasPicture(const QString& html)
{
    static const QRegularExpression img(QStringLiteral("<\\s*img\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return img.match(html).hasMatch() || html.contains(QLatin1String("@@PLUGINFILE@@"));
}

QString htmlToPlain(const QString& html)
{
    static const QRegularExpression breaks(
        QStringLiteral("<\\s*br\\s*/?\\s*>|</\\s*(p|div|li|h[1-6])\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9A-Fa-f]+|#[0-9]+|[A-Za-z]+);"));
    QString s = html;
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(breaks, QStringLiteral("\n"));
    s.remove(tags);
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(s);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(s).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString value;
        if (name.startsWith(QLatin1String("#x")))
            value = QString(QChar(name.mid(2).toUInt(nullptr, 16)));
        else if (name.startsWith(u'#'))
            value = QString(QChar(name.mid(1).toUInt()));
        else if (name == QLatin1String("amp"))
            value = QStringLiteral("&");
        else if (name == QLatin1String("lt"))
            value = QStringLiteral("<");
        else if (name == QLatin1String("gt"))
            value = QStringLiteral(">");
        else if (name == QLatin1String("quot"))
            value = QStringLiteral("\"");
        else if (name == QLatin1String("apos"))
            value = QStringLiteral("'");
        else if (name == QLatin1String("nbsp"))
            value = QStringLiteral(" ");
        else
            value = m.captured(0);
        out += value;
        last = m.capturedEnd();
    }
    out += QStringView(s).mid(last);
    return out.trimmed();
}

} // namespace formats
