// The bar chart painter: bar order and lengths, the value grid, wrapped
// category labels, and the same drawing on a high-resolution device.
#include "BarChart.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using widgets::BarChartGeometry;
using widgets::ChartAxis;
using widgets::ChartBar;
using widgets::ChartStyle;

namespace {

const ChartAxis kScore{0, 1000, 100};
const ChartAxis kPercent{0, 100, 10};

QImage canvas(int w, int h, double dpi = 96)
{
    QImage img(w, h, QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::magenta);
    return img;
}

std::vector<ChartBar> sections()
{
    return {{QStringLiteral("Troubleshooting (1/2) "), 50, Qt::red},
            {QStringLiteral("Monitoring and Optimization (0/0) "), 0, Qt::red},
            {QStringLiteral("Connectivity (7/9) "), 78, Qt::red},
            {QStringLiteral("Installation and Configuration (3/4) "), 75, Qt::red},
            {QStringLiteral("Planning (2/2) "), 100, Qt::red}};
}

} // namespace

class TestBarChart : public QObject {
    Q_OBJECT

private slots:
    void barsStackUpwardsWithLengthsOnTheAxis_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("share");
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("passing score") << 850.0 << 0.85;
        QTest::newRow("full") << 1000.0 << 1.0;
        QTest::newRow("below the axis is clipped") << -40.0 << 0.0;
        QTest::newRow("beyond the axis is clipped") << 1200.0 << 1.0;
    }
    void barsStackUpwardsWithLengthsOnTheAxis()
    {
        QFETCH(double, value);
        QFETCH(double, share);
        const QImage img = canvas(560, 150);
        const std::vector<ChartBar> bars = {{QStringLiteral("Your score"), value, Qt::green},
                                            {QStringLiteral("Required score"), 850, Qt::blue}};
        const BarChartGeometry g = widgets::layoutBarChart(&img, QRectF(0, 0, 560, 150),
                                                           QStringLiteral("t"), bars, kScore);
        QCOMPARE(g.barRects.size(), size_t(2));
        // The first bar added is the lowest.
        QVERIFY(g.barRects[0].top() > g.barRects[1].bottom());
        QCOMPARE(g.barRects[0].left(), g.plotRect.left());
        QVERIFY(qAbs(g.barRects[0].width() - share * g.plotRect.width()) < 0.01);
        QVERIFY(qAbs(g.barRects[1].width() - 0.85 * g.plotRect.width()) < 0.01);
        QVERIFY(g.titleRect.bottom() <= g.plotRect.top());
    }

    void longTitleStaysWithinTheChart()
    {
        const QImage img = canvas(560, 150);
        const std::vector<ChartBar> bars = {{QStringLiteral("Your score"), 500, Qt::green}};
        const QString title = QString(150, QLatin1Char('W')) +
                              QStringLiteral(",  Quizlark TCP/IP 4.0,  Practice Exam A");
        const BarChartGeometry g =
            widgets::layoutBarChart(&img, QRectF(0, 0, 560, 150), title, bars, kScore);
        QVERIFY2(
            g.titleRect.left() >= 0 && g.titleRect.right() <= 560,
            qPrintable(QStringLiteral("%1..%2").arg(g.titleRect.left()).arg(g.titleRect.right())));
        QVERIFY(g.titleText.startsWith(QStringLiteral("WWW")));
        QVERIFY(g.titleText.endsWith(QStringLiteral("Practice Exam A")));
        // A title that fits is drawn whole.
        const BarChartGeometry shortOne = widgets::layoutBarChart(
            &img, QRectF(0, 0, 560, 150), QStringLiteral("Pat,  Practice Exam A"), bars, kScore);
        QCOMPARE(shortOne.titleText, QStringLiteral("Pat,  Practice Exam A"));
    }

    void barsFillTheirShareOfTheSlot_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::newRow("total chart") << 0.9;
        QTest::newRow("section chart") << 0.8;
    }
    void barsFillTheirShareOfTheSlot()
    {
        QFETCH(double, fraction);
        const QImage img = canvas(560, 300);
        ChartStyle style;
        style.barFraction = fraction;
        const BarChartGeometry g =
            widgets::layoutBarChart(&img, QRectF(0, 0, 560, 300), {}, sections(), kPercent, style);
        const double slot = g.plotRect.height() / 5;
        for (const QRectF& r : g.barRects)
            QVERIFY(qAbs(r.height() - fraction * slot) < 0.01);
        QVERIFY(g.titleRect.isNull());
    }

    void gridHasALineAndANumberAtEveryStep_data()
    {
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("lines");
        QTest::newRow("score") << 1000.0 << 100.0 << 11;
        QTest::newRow("percent") << 100.0 << 10.0 << 11;
        QTest::newRow("step not dividing the range") << 100.0 << 30.0 << 4;
        QTest::newRow("no step: both ends") << 100.0 << 0.0 << 2;
    }
    void gridHasALineAndANumberAtEveryStep()
    {
        QFETCH(double, maximum);
        QFETCH(double, step);
        QFETCH(int, lines);
        const QImage img = canvas(400, 200);
        const BarChartGeometry g = widgets::layoutBarChart(&img, QRectF(0, 0, 400, 200), {},
                                                           sections(), ChartAxis{0, maximum, step});
        QCOMPARE(int(g.gridValues.size()), lines);
        QCOMPARE(g.gridXs.front(), g.plotRect.left());
        for (size_t i = 1; i < g.gridXs.size(); ++i)
            QVERIFY(g.gridXs[i] > g.gridXs[i - 1]);
        if (step > 0 && std::fmod(maximum, step) == 0)
            QVERIFY(qAbs(g.gridXs.back() - g.plotRect.right()) < 0.01);
    }

    void labelsWrapToTheirColumn_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("narrow chart") << 300 << true;
        QTest::newRow("wide chart") << 1400 << false;
    }
    void labelsWrapToTheirColumn()
    {
        QFETCH(int, width);
        QFETCH(bool, wraps);
        const QImage img = canvas(width, 400);
        const ChartStyle style;
        const BarChartGeometry g = widgets::layoutBarChart(&img, QRectF(0, 0, width, 400), {},
                                                           sections(), kPercent, style);
        const QFontMetricsF fm(style.axisFont, &img);
        const QRectF& longest = g.labelRects[3]; // Installation and Configuration
        QVERIFY(longest.width() <= g.labelColumnWidth + 0.5);
        QVERIFY(longest.right() <= g.plotRect.left());
        QCOMPARE(longest.height() > fm.height() * 1.5, wraps);
        // Every label is centred on its own bar.
        for (size_t i = 0; i < g.labelRects.size(); ++i)
            QVERIFY(qAbs(g.labelRects[i].center().y() - g.barRects[i].center().y()) < 0.51);
    }

    void paintsBarsTitleAndGround()
    {
        QImage img = canvas(560, 200);
        const std::vector<ChartBar> bars = {
            {QStringLiteral("Your score"), 600, QColor(0, 128, 0)},
            {QStringLiteral("Required score"), 850, QColor(0, 0, 255)}};
        const QString title = QStringLiteral("Your Name,  Quizlark TCP/IP 4.0,  Practice Exam A");
        {
            QPainter p(&img);
            widgets::paintBarChart(p, QRectF(0, 0, 560, 200), title, QColor(0, 0, 128), bars,
                                   kScore);
        }
        const BarChartGeometry g =
            widgets::layoutBarChart(&img, QRectF(0, 0, 560, 200), title, bars, kScore);
        for (size_t i = 0; i < 2; ++i) {
            // A point inside the bar, clear of the dotted grid lines.
            const QPoint inside((g.barRects[i].left() + g.gridXs[1]) / 2,
                                g.barRects[i].center().y());
            QCOMPARE(img.pixelColor(inside), bars[i].colour);
        }
        QCOMPARE(img.pixelColor(int(g.plotRect.right()) - 5, int(g.barRects[0].center().y())),
                 QColor(Qt::white));
        QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black)); // the border
        bool titleInk = false;
        const QRect t = g.titleRect.toAlignedRect();
        for (int y = t.top(); y <= t.bottom() && !titleInk; ++y)
            for (int x = t.left(); x <= t.right() && !titleInk; ++x)
                titleInk = img.pixelColor(x, y) == QColor(0, 0, 128);
        QVERIFY(titleInk);
    }

    void anInvalidGroundLeavesThePageAlone()
    {
        QImage img = canvas(300, 150);
        ChartStyle style;
        style.background = QColor();
        style.border = false;
        {
            QPainter p(&img);
            widgets::paintBarChart(p, QRectF(0, 0, 300, 150), {}, Qt::black, {}, kPercent, style);
        }
        QCOMPARE(img.pixelColor(1, 1), QColor(Qt::magenta));
    }

    void aPrinterPageScalesEverything()
    {
        // A 600-dpi page is 6.25 times a 96-dpi screen: fonts, gaps and
        // columns grow alike, so the chart keeps its proportions.
        const double k = 600.0 / 96.0;
        const QImage screen = canvas(560, 300);
        const QImage page = canvas(int(560 * k), int(300 * k), 600);
        const BarChartGeometry a = widgets::layoutBarChart(
            &screen, QRectF(0, 0, 560, 300), QStringLiteral(" Sections "), sections(), kPercent);
        const BarChartGeometry b =
            widgets::layoutBarChart(&page, QRectF(0, 0, 560 * k, 300 * k),
                                    QStringLiteral(" Sections "), sections(), kPercent);
        const double ratio = b.labelColumnWidth / a.labelColumnWidth;
        QVERIFY2(ratio > k * 0.85 && ratio < k * 1.15, qPrintable(QString::number(ratio)));
        const double plot = b.plotRect.width() / a.plotRect.width();
        QVERIFY2(plot > k * 0.9 && plot < k * 1.1, qPrintable(QString::number(plot)));
        QVERIFY(b.titleRect.height() > a.titleRect.height() * k * 0.8);
    }

    void widgetKeepsItsBarsAndAsksForRoomToWrap()
    {
        widgets::BarChart chart;
        chart.setAxis(kPercent);
        chart.setBars(sections());
        QCOMPARE(chart.bars().size(), size_t(5));
        chart.setBars({{QStringLiteral("one"), 10, Qt::red}});
        QCOMPARE(chart.bars().size(), size_t(1));
        chart.addBar({QStringLiteral("two"), 20, Qt::red});
        QCOMPARE(chart.bars().size(), size_t(2));
        QCOMPARE(chart.bars().back().label, QStringLiteral("two"));
        chart.clearBars();
        QVERIFY(chart.bars().empty());

        chart.setBars(sections());
        const int wide = chart.heightForWidth(1400);
        const int narrow = chart.heightForWidth(260);
        QVERIFY2(narrow > wide, qPrintable(QStringLiteral("%1 %2").arg(narrow).arg(wide)));
    }
};

QTEST_MAIN(TestBarChart)
#include "test_bar_chart.moc"
