#include "WrapAnywhere.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace widgets {

QStringList wrapLines(const QString& text, const QFont& font, double width, QPaintDevice* device)
{
    QString t = text;
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(t, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList out;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString s = t.mid(line.textStart(), line.textLength());
        while (!s.isEmpty() && s.back().isSpace())
            s.chop(1);
        out << s;
    }
    layout.endLayout();
    return out;
}

bool hasOverlongWord(const QString& text, const QFont& font, double width, QPaintDevice* device)
{
    if (text.isEmpty() || width <= 0)
        return false;
    const QFontMetricsF fm = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    const QRectF r = fm.boundingRect(QRectF(0, 0, width, 1e7),
                                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return r.width() > width + 0.01;
}

namespace {

bool watchedWraps(const QLabel* label)
{
    return label->wordWrap() && label->textFormat() == Qt::PlainText;
}

} // namespace

int wrappedLabelHeight(const QLabel* label, int width)
{
    const int line = label->fontMetrics().height();
    if (label->text().isEmpty())
        return line;
    const QMargins m = label->contentsMargins();
    const int inner = width - m.left() - m.right() - 2 * label->margin();
    if (watchedWraps(label) && hasOverlongWord(label->text(), label->font(), inner)) {
        const int lines = static_cast<int>(wrapLines(label->text(), label->font(), inner).size());
        return lines * label->fontMetrics().lineSpacing() + m.top() + m.bottom() +
               2 * label->margin();
    }
    return qMax(label->heightForWidth(width), line);
}

void AnywhereWrap::watch(QLabel* label)
{
    label->installEventFilter(this);
}

bool AnywhereWrap::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return false;
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label || !watchedWraps(label))
        return false;
    const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    if (!hasOverlongWord(label->text(), label->font(), area.width()))
        return false;
    QPainter p(label);
    p.setFont(label->font());
    p.setPen(label->palette().color(label->foregroundRole()));
    const int step = label->fontMetrics().lineSpacing();
    int top = area.top();
    for (const QString& line : wrapLines(label->text(), label->font(), area.width())) {
        p.drawText(QRect(area.left(), top, area.width(), step),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        top += step;
    }
    return true;
}

} // namespace widgets
