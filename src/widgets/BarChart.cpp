#include "BarChart.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace widgets {

namespace {

// One pixel of a 96-dpi screen on the device, so that lines and gaps keep
// their proportions on a printer.
double unitOf(const QPaintDevice* device)
{
    return device ? device->logicalDpiY() / 96.0 : 1.0;
}

QString axisNumber(double v)
{
    return QString::number(v, 'g', 12);
}

std::vector<double> gridValuesOf(const ChartAxis& axis)
{
    std::vector<double> values;
    if (!(axis.maximum > axis.minimum))
        return {axis.minimum};
    if (!(axis.step > 0) || (axis.maximum - axis.minimum) / axis.step > 1000)
        return {axis.minimum, axis.maximum};
    const double tolerance = axis.step * 1e-9;
    // Multiplying instead of summing keeps the last step from drifting past
    // the maximum.
    for (int i = 0;; ++i) {
        const double v = axis.minimum + i * axis.step;
        if (v > axis.maximum + tolerance)
            break;
        values.push_back(v);
    }
    return values;
}

constexpr int kWrapFlags = Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

QFont ChartStyle::defaultAxisFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8);
    return f;
}

BarChartGeometry layoutBarChart(const QPaintDevice* device, const QRectF& rect,
                                const QString& title, const std::vector<ChartBar>& bars,
                                const ChartAxis& axis, const ChartStyle& style)
{
    BarChartGeometry g;
    const double px = unitOf(device);
    const double pad = 4 * px;
    const QFontMetricsF fm(style.axisFont, device);
    const QRectF inner = rect.adjusted(pad, pad, -pad, -pad);

    double top = inner.top();
    if (!title.isEmpty()) {
        const QFontMetricsF tfm(style.titleFont, device);
        const double frame = style.titleFramed ? 3 * px : 0;
        // A title wider than the chart (a long name in it) keeps its two
        // ends and loses its middle, so it never runs past the chart.
        g.titleText = tfm.elidedText(title, Qt::ElideMiddle, inner.width() - 2 * frame);
        const double w = std::min(tfm.horizontalAdvance(g.titleText) + 2 * frame, inner.width());
        const double h = tfm.height() + 2 * frame;
        double x = inner.center().x() - w / 2;
        if (style.titleAlignment & Qt::AlignLeft)
            x = inner.left();
        else if (style.titleAlignment & Qt::AlignRight)
            x = inner.right() - w;
        g.titleRect = QRectF(x, top, w, h);
        top += h + pad;
    }

    g.gridValues = gridValuesOf(axis);
    const double firstNumber = fm.horizontalAdvance(axisNumber(g.gridValues.front()));
    const double lastNumber = fm.horizontalAdvance(axisNumber(g.gridValues.back()));
    const double tick = 3 * px;
    const double below = tick + fm.height();

    double natural = 0;
    double widestWord = 0;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const ChartBar& b : bars) {
        natural = std::max(natural, fm.horizontalAdvance(b.label));
        for (const QString& word : b.label.split(blanks, Qt::SkipEmptyParts))
            widestWord = std::max(widestWord, fm.horizontalAdvance(word));
    }
    double column = std::min(natural, inner.width() * 0.4);
    column = std::min(std::max(column, widestWord), inner.width() * 0.5);
    g.labelColumnWidth = std::max(0.0, std::ceil(column));

    const double plotLeft =
        std::max(inner.left() + g.labelColumnWidth + (g.labelColumnWidth > 0 ? pad : 0),
                 inner.left() + firstNumber / 2);
    const double plotRight = std::max(plotLeft, inner.right() - lastNumber / 2);
    const double plotBottom = std::max(top, inner.bottom() - below);
    g.plotRect = QRectF(QPointF(plotLeft, top), QPointF(plotRight, plotBottom));

    const double span = axis.maximum - axis.minimum;
    for (double v : g.gridValues) {
        const double share = span > 0 ? (v - axis.minimum) / span : 0;
        g.gridXs.push_back(g.plotRect.left() + share * g.plotRect.width());
    }

    const size_t n = bars.size();
    double tallestLabel = fm.height();
    if (n > 0) {
        const double slot = g.plotRect.height() / static_cast<double>(n);
        for (size_t i = 0; i < n; ++i) {
            const ChartBar& b = bars[i];
            const double slotTop = g.plotRect.bottom() - static_cast<double>(i + 1) * slot;
            const double h = slot * std::clamp(style.barFraction, 0.0, 1.0);
            const double share =
                span > 0 ? std::clamp((b.value - axis.minimum) / span, 0.0, 1.0) : 0.0;
            g.barRects.emplace_back(g.plotRect.left(), slotTop + (slot - h) / 2,
                                    share * g.plotRect.width(), h);
            const QRectF wrapped =
                fm.boundingRect(QRectF(0, 0, g.labelColumnWidth, 1e6), kWrapFlags, b.label);
            tallestLabel = std::max(tallestLabel, wrapped.height());
            g.labelRects.emplace_back(inner.left() + g.labelColumnWidth - wrapped.width(),
                                      slotTop + (slot - wrapped.height()) / 2, wrapped.width(),
                                      wrapped.height());
        }
    }
    const double fixed = (top - rect.top()) + below + pad;
    g.neededHeight = fixed + static_cast<double>(n) * (tallestLabel + 2 * px);
    return g;
}

void paintBarChart(QPainter& painter, const QRectF& rect, const QString& title,
                   const QColor& titleColour, const std::vector<ChartBar>& bars,
                   const ChartAxis& axis, const ChartStyle& style)
{
    const QPaintDevice* device = painter.device();
    const BarChartGeometry g = layoutBarChart(device, rect, title, bars, axis, style);
    const double px = unitOf(device);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (style.background.isValid())
        painter.fillRect(rect, style.background);
    if (style.border) {
        painter.setPen(QPen(Qt::black, px));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(px / 2, px / 2, -px / 2, -px / 2));
    }

    if (!title.isEmpty()) {
        if (style.titleBackground.isValid())
            painter.fillRect(g.titleRect, style.titleBackground);
        if (style.titleFramed) {
            painter.setPen(QPen(Qt::black, px));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(g.titleRect.adjusted(px / 2, px / 2, -px / 2, -px / 2));
        }
        painter.setFont(style.titleFont);
        painter.setPen(titleColour);
        painter.drawText(g.titleRect, Qt::AlignCenter | Qt::TextDontClip, g.titleText);
    }

    const QRectF& plot = g.plotRect;
    const QFontMetricsF fm(style.axisFont, device);
    painter.setFont(style.axisFont);
    QPen grid(QColor(128, 128, 128), px, Qt::DotLine);
    const double tick = 3 * px;
    for (size_t i = 0; i < g.gridXs.size(); ++i) {
        const double x = g.gridXs[i];
        painter.setPen(grid);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(QPen(Qt::black, px));
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
        const QString number = axisNumber(g.gridValues[i]);
        const double w = fm.horizontalAdvance(number);
        painter.drawText(QRectF(x - w / 2 - px, plot.bottom() + tick, w + 2 * px, fm.height()),
                         Qt::AlignCenter | Qt::TextDontClip, number);
    }

    painter.setPen(QPen(Qt::black, px));
    for (size_t i = 0; i < bars.size(); ++i) {
        const QRectF& r = g.barRects[i];
        if (r.width() > 0) {
            painter.setBrush(bars[i].colour);
            painter.drawRect(r);
        }
        painter.drawText(g.labelRects[i], kWrapFlags | Qt::TextDontClip, bars[i].label);
    }
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.restore();
}

BarChart::BarChart(QWidget* parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void BarChart::changed()
{
    updateGeometry();
    update();
}

void BarChart::setTitle(const QString& title)
{
    m_title = title;
    changed();
}

void BarChart::setTitleColour(const QColor& colour)
{
    m_titleColour = colour;
    update();
}

void BarChart::setBars(std::vector<ChartBar> bars)
{
    m_bars = std::move(bars);
    changed();
}

void BarChart::addBar(const ChartBar& bar)
{
    m_bars.push_back(bar);
    changed();
}

void BarChart::setAxis(const ChartAxis& axis)
{
    m_axis = axis;
    changed();
}

void BarChart::setStyle(const ChartStyle& style)
{
    m_style = style;
    changed();
}

BarChartGeometry BarChart::geometryNow() const
{
    return layoutBarChart(this, QRectF(rect()), m_title, m_bars, m_axis, m_style);
}

QSize BarChart::minimumSizeHint() const
{
    return {120, 60};
}

int BarChart::heightForWidth(int width) const
{
    const BarChartGeometry g =
        layoutBarChart(this, QRectF(0, 0, width, 0), m_title, m_bars, m_axis, m_style);
    return static_cast<int>(std::ceil(g.neededHeight));
}

void BarChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintBarChart(p, QRectF(rect()), m_title, m_titleColour, m_bars, m_axis, m_style);
}

} // namespace widgets
