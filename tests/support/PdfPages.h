#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QString>

namespace testing {

// The number of pages of a PDF file written by QPdfWriter, or -1.
inline int pdfPageCount(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

} // namespace testing
