#include "ColumnChart.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

double unitOf(const QPaintDevice* device)
{
    return device ? device->logicalDpiY() / 96.0 : 1.0;
}

QString axisNumber(double v)
{
    return QString::number(v, 'g', 12);
}

} // namespace

void paintColumnChart(QPainter& painter, const QRectF& rect, const QString& title,
                      const QColor& titleColour, const std::vector<ChartColumn>& columns,
                      const QColor& columnColour, const ChartAxis& axis,
                      const std::optional<ChartLine>& line, const ChartStyle& style,
                      const ColumnExtras& extras)
{
    const QPaintDevice* device = painter.device();
    const double px = unitOf(device);
    const double pad = 4 * px;
    const double tick = 3 * px;
    const QFontMetricsF fm(style.axisFont, device);
    const QRectF inner = rect.adjusted(pad, pad, -pad, -pad);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (style.background.isValid())
        painter.fillRect(rect, style.background);
    if (style.border) {
        painter.setPen(QPen(Qt::black, px));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(px / 2, px / 2, -px / 2, -px / 2));
    }

    double top = inner.top();
    if (!title.isEmpty()) {
        const QFontMetricsF tfm(style.titleFont, device);
        const double frame = style.titleFramed ? 3 * px : 0;
        // A title wider than the chart wraps onto further lines rather than
        // losing its end.
        const QString text = title;
        const QRectF need = tfm.boundingRect(QRectF(0, 0, inner.width() - 2 * frame, 1e6),
                                             Qt::TextWordWrap | Qt::AlignLeft, text);
        const double w = std::min(need.width() + 2 * frame, inner.width());
        const double h = std::max(tfm.height(), need.height()) + 2 * frame;
        double x = inner.center().x() - w / 2;
        if (style.titleAlignment & Qt::AlignLeft)
            x = inner.left();
        const QRectF titleRect(x, top, w, h);
        if (style.titleBackground.isValid())
            painter.fillRect(titleRect, style.titleBackground);
        if (style.titleFramed) {
            painter.setPen(QPen(Qt::black, px));
            painter.drawRect(titleRect.adjusted(px / 2, px / 2, -px / 2, -px / 2));
        }
        painter.setFont(style.titleFont);
        painter.setPen(titleColour);
        painter.drawText(titleRect, Qt::AlignCenter | Qt::TextWordWrap, text);
        top += h + pad;
    }

    // Numbers at the left of the value axis, column labels under the plot.
    std::vector<double> values;
    if (axis.maximum > axis.minimum && axis.step > 0 &&
        (axis.maximum - axis.minimum) / axis.step <= 1000)
        for (int i = 0;; ++i) {
            const double v = axis.minimum + i * axis.step;
            if (v > axis.maximum + axis.step * 1e-9)
                break;
            values.push_back(v);
        }
    double numberWidth = 0;
    for (double v : values)
        numberWidth = std::max(numberWidth, fm.horizontalAdvance(axisNumber(v)));
    const QRectF plot(QPointF(inner.left() + numberWidth + tick + px, top + fm.height() / 2),
                      QPointF(inner.right() - px, inner.bottom() - tick - fm.height()));
    const double span = axis.maximum - axis.minimum;
    const auto yOf = [&](double v) {
        const double share = span > 0 ? std::clamp((v - axis.minimum) / span, 0.0, 1.0) : 0.0;
        return plot.bottom() - share * plot.height();
    };

    painter.setFont(style.axisFont);
    const QPen grid(QColor(128, 128, 128), px, Qt::DotLine);
    for (double v : values) {
        const double y = yOf(v);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(QPen(Qt::black, px));
        painter.drawLine(QPointF(plot.left() - tick, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(inner.left(), y - fm.height() / 2, numberWidth, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, axisNumber(v));
    }

    const size_t n = columns.size();
    // Written last, over the lines, so that no line hides a value.
    std::vector<std::pair<QRectF, QString>> valueLabels;
    double valueLabelWidth = 0;
    if (n > 0) {
        const double slot = plot.width() / static_cast<double>(n);
        const double w = std::max(px, slot * std::clamp(style.barFraction, 0.0, 1.0));
        // Labels are thinned out so that they never run into each other.
        double widest = 0;
        for (const ChartColumn& c : columns)
            widest = std::max(widest, fm.horizontalAdvance(c.label));
        const size_t every =
            std::max<size_t>(1, static_cast<size_t>(std::ceil((widest + 2 * px) / slot)));
        painter.setPen(QPen(Qt::black, px));
        double widestValue = 0;
        for (const ChartColumn& c : columns)
            if (c.value)
                widestValue = std::max(widestValue, fm.horizontalAdvance(axisNumber(*c.value)));
        const bool valuesFit = extras.valuesShown && widestValue + px <= slot;
        valueLabelWidth = widestValue + 2 * px;
        for (size_t i = 0; i < n; ++i) {
            const double left = plot.left() + static_cast<double>(i) * slot;
            const QColor colour = columns[i].colour.isValid() ? columns[i].colour : columnColour;
            if (columns[i].value) {
                const double y = yOf(*columns[i].value);
                if (plot.bottom() - y > 0) {
                    painter.setBrush(colour);
                    painter.drawRect(QRectF(left + (slot - w) / 2, y, w, plot.bottom() - y));
                } else if (extras.valuesShown) {
                    // A zero still stands on the axis: a flat column.
                    painter.setPen(QPen(colour, 3 * px));
                    painter.drawLine(QPointF(left + (slot - w) / 2, plot.bottom() - px),
                                     QPointF(left + (slot + w) / 2, plot.bottom() - px));
                    painter.setPen(QPen(Qt::black, px));
                }
                if (valuesFit) {
                    const QRectF box(left, y - fm.height() - px, slot, fm.height());
                    valueLabels.emplace_back(box.top() < plot.top() - fm.height() / 2
                                                 ? box.translated(0, fm.height() + px)
                                                 : box,
                                             axisNumber(*columns[i].value));
                }
            } else if (!extras.emptyMark.isEmpty()) {
                painter.setPen(QPen(QColor(96, 96, 96), px));
                painter.drawText(QRectF(left, plot.bottom() - fm.height() - px, slot, fm.height()),
                                 Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip,
                                 extras.emptyMark);
                painter.setPen(QPen(Qt::black, px));
            }
            // The newest column is always labelled.
        }
        // Labels from the newest leftwards, each kept inside the chart (the
        // newest is never cut at its edge) and clear of the one after it.
        double freeRight = inner.right();
        for (size_t i = n; i-- > 0;) {
            if ((n - 1 - i) % every != 0)
                continue;
            const double left = plot.left() + static_cast<double>(i) * slot;
            const double lw = fm.horizontalAdvance(columns[i].label) + 2 * px;
            const double x = std::clamp(left + slot / 2 - lw / 2, inner.left(),
                                        std::max(inner.left(), freeRight - lw));
            if (x + lw > freeRight + 0.5)
                continue;
            painter.drawText(QRectF(x, plot.bottom() + tick, lw, fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, columns[i].label);
            freeRight = x - 2 * px;
        }
    }

    if (n > 0 && !extras.trend.empty()) {
        const double slot = plot.width() / static_cast<double>(n);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(extras.trendColour, 2 * px));
        painter.setBrush(extras.trendColour);
        std::optional<QPointF> last;
        for (size_t i = 0; i < n && i < extras.trend.size(); ++i) {
            if (!extras.trend[i])
                continue;
            const QPointF p(plot.left() + (static_cast<double>(i) + 0.5) * slot,
                            yOf(*extras.trend[i]));
            if (last)
                painter.drawLine(*last, p);
            painter.drawEllipse(p, 2 * px, 2 * px);
            last = p;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (!extras.trendLabel.isEmpty()) {
            const double lw = fm.horizontalAdvance(extras.trendLabel) + 4 * px;
            const QRectF box(plot.left() + 2 * px, plot.top() + px, lw, fm.height());
            painter.fillRect(box, style.background.isValid() ? style.background : Qt::white);
            painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, extras.trendLabel);
        }
    }

    if (line) {
        const double y = yOf(line->value);
        painter.setPen(QPen(line->colour, 2 * px));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        if (!line->label.isEmpty()) {
            // In the plot's top right corner, as a key, where no column's
            // value runs into it.
            const double lw = fm.horizontalAdvance(line->label) + 4 * px;
            const double sample = 12 * px;
            const QRectF box(plot.right() - lw - 2 * px, plot.top() + px, lw, fm.height());
            painter.fillRect(box.adjusted(-sample - 2 * px, 0, 0, 0),
                             style.background.isValid() ? style.background : Qt::white);
            painter.drawLine(QPointF(box.left() - sample, box.center().y()),
                             QPointF(box.left() - px, box.center().y()));
            painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, line->label);
        }
    }

    painter.setPen(QPen(Qt::black, px));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.setFont(style.axisFont);
    for (const auto& [box, text] : valueLabels) {
        const QRectF tight(box.center().x() - valueLabelWidth / 2, box.top(), valueLabelWidth,
                           box.height());
        painter.fillRect(tight, QColor(255, 255, 255, 200));
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, text);
    }
    painter.restore();
}

ColumnChart::ColumnChart(QWidget* parent) : QWidget(parent) {}

void ColumnChart::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void ColumnChart::setTitleColour(const QColor& colour)
{
    m_titleColour = colour;
    update();
}

void ColumnChart::setColumns(std::vector<ChartColumn> columns)
{
    m_columns = std::move(columns);
    update();
}

void ColumnChart::setColumnColour(const QColor& colour)
{
    m_columnColour = colour;
    update();
}

void ColumnChart::setAxis(const ChartAxis& axis)
{
    m_axis = axis;
    update();
}

void ColumnChart::setLine(std::optional<ChartLine> line)
{
    m_line = std::move(line);
    update();
}

void ColumnChart::setStyle(const ChartStyle& style)
{
    m_style = style;
    update();
}

void ColumnChart::setExtras(ColumnExtras extras)
{
    m_extras = std::move(extras);
    update();
}

void ColumnChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintColumnChart(painter, QRectF(rect()), m_title, m_titleColour, m_columns, m_columnColour,
                     m_axis, m_line, m_style, m_extras);
}

} // namespace widgets
