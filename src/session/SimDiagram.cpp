#include "SimDiagram.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace session {

namespace {

// The window lays its target tiles over the picture; every element keeps the
// side away from the network line free for its tile, with the label between
// tile and drawing.
constexpr int kLineY = 150;
constexpr int kLineLeft = 14;
constexpr int kLineRight = 559;
constexpr int kBox = 14;

const QColor kOutline(48, 48, 48);
const QColor kCable(64, 64, 64);
const QColor kCase(216, 208, 184);
const QColor kCaseDark(168, 160, 136);
const QColor kPrinterBody(200, 200, 200);
const QColor kPrinterTop(228, 228, 228);
const QColor kScreen(32, 96, 160);
const QColor kLabelBlue(0, 0, 255);

const QRect kPrinterA(80, 92, 100, 56);
const QRect kWorkstationB(360, 78, 104, 70);
const QRect kPrinterC(48, 180, 100, 56);
const QRect kPrinterD(328, 200, 100, 56);
const QRect kUnixHost(195, 172, 90, 68);
const QRect kServer(490, 172, 50, 90);

const QPoint kLabelA(43, 70);
const QPoint kLabelB(325, 56);
const QPoint kLabelC(32, 244);
const QPoint kLabelD(282, 266);
const int kHostLabelTop = 246;
const int kServerLabelTop = 268;

QFont labelFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

QFont letterFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    f.setBold(true);
    return f;
}

QRect letteredLabelRect(QPoint topLeft, const QString& text)
{
    const QFontMetrics fm(labelFont());
    return QRect(topLeft, QSize(kBox + 5 + fm.horizontalAdvance(text), kBox));
}

void drawLetteredLabel(QPainter& p, QPoint topLeft, QChar letter, const QString& text)
{
    const QRect box(topLeft, QSize(kBox, kBox));
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setFont(letterFont());
    p.drawText(box, Qt::AlignCenter, QString(letter));
    p.setFont(labelFont());
    p.setPen(kLabelBlue);
    const QRect all = letteredLabelRect(topLeft, text);
    p.drawText(all.adjusted(kBox + 5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

QRect hostLabelRect(const QRect& under, int top, const QString& text)
{
    const QFontMetrics fm(labelFont());
    const int w = fm.horizontalAdvance(text);
    return QRect(under.center().x() - w / 2, top, w, kBox);
}

void drawHostLabel(QPainter& p, const QRect& under, int top, const QString& text)
{
    p.setFont(labelFont());
    p.setPen(Qt::black);
    p.drawText(hostLabelRect(under, top, text), Qt::AlignCenter, text);
}

void shade(QPainter& p, const QRectF& r, const QColor& base, qreal radius = 2)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, base.lighter(112));
    g.setColorAt(1, base.darker(112));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void drawPrinter(QPainter& p, const QRect& r)
{
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    const QRectF sheet(x + w * 0.25, y, w * 0.5, h * 0.36);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 1; i <= 3; ++i)
        p.drawLine(QPointF(sheet.left() + 5, sheet.top() + 3.5 * i),
                   QPointF(sheet.right() - 5 - 6 * (i % 2), sheet.top() + 3.5 * i));
    const QRectF body(x, y + h * 0.3, w, h * 0.55);
    shade(p, body, kPrinterBody, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(kPrinterTop);
    p.drawRoundedRect(
        QRectF(body.left() + 2, body.top() + 2, body.width() - 4, body.height() * 0.3), 2, 2);
    p.setPen(QPen(kOutline, 2));
    p.drawLine(QPointF(body.left() + w * 0.15, body.top() + body.height() * 0.5),
               QPointF(body.right() - w * 0.3, body.top() + body.height() * 0.5));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(body.right() - w * 0.22, body.top() + body.height() * 0.42, w * 0.14,
                      body.height() * 0.3));
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(body.right() - w * 0.06, body.top() + body.height() * 0.57), 2.5, 2.5);
    QPainterPath tray;
    tray.moveTo(body.left() + w * 0.12, body.bottom());
    tray.lineTo(body.right() - w * 0.12, body.bottom());
    tray.lineTo(body.right() - w * 0.04, r.bottom());
    tray.lineTo(body.left() + w * 0.04, r.bottom());
    tray.closeSubpath();
    p.setBrush(QColor(176, 176, 176));
    p.drawPath(tray);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(body.left() + w * 0.25, body.bottom() + 1, w * 0.5, h * 0.08));
}

void drawDesktop(QPainter& p, const QRect& r)
{
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    const QRectF monitor(x + w * 0.18, y, w * 0.64, h * 0.56);
    shade(p, monitor, kCase, 3);
    const QRectF screen = monitor.adjusted(6, 5, -6, -7);
    QLinearGradient g(screen.topLeft(), screen.bottomRight());
    g.setColorAt(0, kScreen.lighter(150));
    g.setColorAt(1, kScreen);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(g);
    p.drawRect(screen);
    p.setBrush(kCaseDark);
    p.drawRect(QRectF(x + w * 0.4, monitor.bottom(), w * 0.2, h * 0.06));
    const QRectF box(x + w * 0.04, y + h * 0.62, w * 0.92, h * 0.22);
    shade(p, box, kCase, 2);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(box.left() + w * 0.08, box.center().y() - 1.5, w * 0.28, 3));
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(box.right() - w * 0.08, box.center().y()), 2, 2);
    QPainterPath kb;
    kb.moveTo(x + w * 0.12, y + h * 0.88);
    kb.lineTo(x + w * 0.88, y + h * 0.88);
    kb.lineTo(x + w, r.bottom());
    kb.lineTo(x, r.bottom());
    kb.closeSubpath();
    p.setBrush(QColor(200, 196, 184));
    p.drawPath(kb);
    p.setPen(QPen(QColor(140, 136, 124), 1));
    for (int i = 1; i < 8; ++i) {
        const qreal kx = x + w * 0.06 + (w * 0.88) * i / 8;
        p.drawLine(QPointF(kx, y + h * 0.9), QPointF(kx, r.bottom() - 1));
    }
}

void drawTower(QPainter& p, const QRect& r)
{
    const qreal x = r.x(), y = r.y(), w = r.width(), h = r.height();
    shade(p, QRectF(r), kCase, 3);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kCaseDark);
    for (int i = 0; i < 2; ++i)
        p.drawRect(QRectF(x + w * 0.14, y + h * (0.08 + 0.1 * i), w * 0.72, h * 0.07));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(x + w * 0.3, y + h * 0.32, w * 0.4, h * 0.025));
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(x + w * 0.25, y + h * 0.45), 2, 2);
    p.setPen(QPen(kCaseDark, 1));
    for (int i = 0; i < 6; ++i) {
        const qreal vy = y + h * (0.62 + 0.05 * i);
        p.drawLine(QPointF(x + w * 0.2, vy), QPointF(x + w * 0.8, vy));
    }
}

void drawCable(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(kCable, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
}

} // namespace

DiagramElement printingServicesElement(int index)
{
    switch (index) {
    case 0:
        return {kPrinterA, letteredLabelRect(kLabelA, QStringLiteral("TCP/IP PRINTER"))};
    case 1:
        return {kWorkstationB, letteredLabelRect(kLabelB, QStringLiteral("NT WORKSTATION"))};
    case 2:
        return {kPrinterC, letteredLabelRect(kLabelC, QStringLiteral("PRINTER"))};
    default:
        return {kPrinterD, letteredLabelRect(kLabelD, QStringLiteral("PRINTER"))};
    }
}

DiagramElement printingServicesHost(int index)
{
    if (index == 0)
        return {kUnixHost, hostLabelRect(kUnixHost, kHostLabelTop, QStringLiteral("UNIX HOST"))};
    return {kServer, hostLabelRect(kServer, kServerLabelTop, QStringLiteral("NT SERVER"))};
}

QPixmap printingServicesDiagram()
{
    QPixmap pm(573, 339);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.setPen(QPen(kCable, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(kLineLeft, kLineY), QPointF(kLineRight, kLineY));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(96, 96, 96));
    p.drawRect(QRectF(kLineLeft - 6, kLineY - 5, 6, 10));
    p.drawRect(QRectF(kLineRight, kLineY - 5, 6, 10));

    drawCable(p, QPointF(kUnixHost.center().x(), kLineY),
              QPointF(kUnixHost.center().x(), kUnixHost.top()));
    drawCable(p, QPointF(kServer.center().x(), kLineY),
              QPointF(kServer.center().x(), kServer.top()));
    const qreal cY = kUnixHost.top() + kUnixHost.height() * 0.73;
    drawCable(p, QPointF(kPrinterC.right() - 4, cY), QPointF(kUnixHost.left() + 4, cY));
    const qreal dY = kPrinterD.top() + kPrinterD.height() * 0.55;
    drawCable(p, QPointF(kPrinterD.right() - 2, dY), QPointF(kServer.left() + 1, dY));

    drawPrinter(p, kPrinterA);
    drawDesktop(p, kWorkstationB);
    drawDesktop(p, kUnixHost);
    drawPrinter(p, kPrinterC);
    drawTower(p, kServer);
    drawPrinter(p, kPrinterD);

    drawLetteredLabel(p, kLabelA, QLatin1Char('A'), QStringLiteral("TCP/IP PRINTER"));
    drawLetteredLabel(p, kLabelB, QLatin1Char('B'), QStringLiteral("NT WORKSTATION"));
    drawLetteredLabel(p, kLabelC, QLatin1Char('C'), QStringLiteral("PRINTER"));
    drawLetteredLabel(p, kLabelD, QLatin1Char('D'), QStringLiteral("PRINTER"));
    drawHostLabel(p, kUnixHost, kHostLabelTop, QStringLiteral("UNIX HOST"));
    drawHostLabel(p, kServer, kServerLabelTop, QStringLiteral("NT SERVER"));
    return pm;
}

} // namespace session
