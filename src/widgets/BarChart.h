#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;
class QPaintDevice;

namespace widgets {

struct ChartBar {
    QString label;
    double value;
    QColor colour;
};

struct ChartAxis {
    double minimum, maximum, step;
};

// How a chart looks beyond its data. The defaults give a flat chart on white
// with a single-line border and a centred title.
struct ChartStyle {
    QColor background = Qt::white; // an invalid colour leaves the ground as it is
    bool border = true;
    double barFraction = 0.9; // share of its slot a bar fills
    QFont axisFont = defaultAxisFont();
    QFont titleFont = defaultAxisFont();
    Qt::Alignment titleAlignment = Qt::AlignHCenter;
    bool titleFramed = false;
    QColor titleBackground; // invalid: none

    static QFont defaultAxisFont();
};

// Where paintBarChart puts things, in the painter's coordinates. Bar 0 (the
// first added) is the lowest.
struct BarChartGeometry {
    QRectF titleRect;
    QString titleText; // the title as drawn, shortened to the chart's width
    QRectF plotRect;
    double labelColumnWidth = 0;
    std::vector<QRectF> barRects;
    std::vector<QRectF> labelRects; // the wrapped label's own extent
    std::vector<double> gridValues;
    std::vector<double> gridXs;
    // The height the chart needs so that no wrapped label is taller than its
    // slot.
    double neededHeight = 0;
};

// Fonts are resolved against the painter's device, so the same call draws on
// screen and on a printed page; `rect` is in device coordinates (no scaling
// transform on the painter).
BarChartGeometry layoutBarChart(const QPaintDevice* device, const QRectF& rect,
                                const QString& title, const std::vector<ChartBar>& bars,
                                const ChartAxis& axis, const ChartStyle& style = {});

// Horizontal bars along a value axis with grid lines and numbers at every
// step; category labels at the left wrap at word boundaries to fit their
// column; the title stands on top.
void paintBarChart(QPainter& painter, const QRectF& rect, const QString& title,
                   const QColor& titleColour, const std::vector<ChartBar>& bars,
                   const ChartAxis& axis, const ChartStyle& style = {});

class BarChart final : public QWidget {
    Q_OBJECT
public:
    explicit BarChart(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    const QString& title() const { return m_title; }
    void setTitleColour(const QColor& colour);
    const QColor& titleColour() const { return m_titleColour; }
    void setBars(std::vector<ChartBar> bars);
    const std::vector<ChartBar>& bars() const { return m_bars; }
    void clearBars() { setBars({}); }
    void addBar(const ChartBar& bar);
    void setAxis(const ChartAxis& axis);
    const ChartAxis& axis() const { return m_axis; }
    void setStyle(const ChartStyle& style);
    const ChartStyle& chartStyle() const { return m_style; }

    BarChartGeometry geometryNow() const;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    QString m_title;
    QColor m_titleColour = QColor(0, 0, 128);
    std::vector<ChartBar> m_bars;
    ChartAxis m_axis{0, 100, 10};
    ChartStyle m_style;
};

} // namespace widgets
