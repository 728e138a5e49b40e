#pragma once

#include "BarChart.h"

#include <QWidget>
#include <optional>
#include <vector>

namespace widgets {

struct ChartColumn {
    QString label;               // under the column
    std::optional<double> value; // none: an empty slot
    QColor colour = QColor();    // invalid: the chart's column colour
};

// What a column chart may show beyond its columns.
struct ColumnExtras {
    // Each column's value written above it, where the slot is wide enough.
    bool valuesShown = false;
    // Drawn in an empty slot, so that "nothing" never looks like a 0.
    QString emptyMark;
    // A line through one point per column (none: no point there), such as a
    // moving average, with its name in the plot's top left corner.
    std::vector<std::optional<double>> trend;
    QColor trendColour = QColor(0, 0, 0);
    QString trendLabel;
};

// A line across the plot at a value, such as a pass mark.
struct ChartLine {
    double value;
    QColor colour;
    QString label; // drawn at the line's right end, above it
};

// Upright columns along a value axis that runs upwards, in the look of the
// bar charts: flat, grid lines at every step, black-edged columns, the title
// on top. Column 0 is the leftmost.
void paintColumnChart(QPainter& painter, const QRectF& rect, const QString& title,
                      const QColor& titleColour, const std::vector<ChartColumn>& columns,
                      const QColor& columnColour, const ChartAxis& axis,
                      const std::optional<ChartLine>& line, const ChartStyle& style = {},
                      const ColumnExtras& extras = {});

class ColumnChart final : public QWidget {
    Q_OBJECT
public:
    explicit ColumnChart(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    const QString& title() const { return m_title; }
    void setTitleColour(const QColor& colour);
    const QColor& titleColour() const { return m_titleColour; }
    void setColumns(std::vector<ChartColumn> columns);
    const std::vector<ChartColumn>& columns() const { return m_columns; }
    void setColumnColour(const QColor& colour);
    const QColor& columnColour() const { return m_columnColour; }
    void setAxis(const ChartAxis& axis);
    const ChartAxis& axis() const { return m_axis; }
    void setLine(std::optional<ChartLine> line);
    const std::optional<ChartLine>& line() const { return m_line; }
    void setStyle(const ChartStyle& style);
    const ChartStyle& chartStyle() const { return m_style; }
    void setExtras(ColumnExtras extras);
    const ColumnExtras& extras() const { return m_extras; }

    QSize minimumSizeHint() const override { return {120, 90}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QColor m_titleColour = QColor(0, 0, 128);
    std::vector<ChartColumn> m_columns;
    QColor m_columnColour = Qt::red;
    ChartAxis m_axis{0, 100, 10};
    std::optional<ChartLine> m_line;
    ChartStyle m_style;
    ColumnExtras m_extras;
};

} // namespace widgets
