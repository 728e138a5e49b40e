#include "Decor.h"

#include "Contrast.h"
#include "ShadowLabel.h"

#include <QBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

namespace results {

QFont arial(double points, bool bold, bool italic)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

widgets::ShadowLabel* addBanner(QWidget* window, QBoxLayout* layout, const QString& title)
{
    auto* banner = new BannerStrip(window);
    banner->setObjectName(QStringLiteral("titleStrip"));
    banner->setFixedHeight(33);
    auto* bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(0, 0, 0, 2);
    auto* label = new widgets::ShadowLabel(title, banner);
    label->setObjectName(QStringLiteral("bannerLabel"));
    label->setFont(arial(14, true, true));
    label->setTextColour(Qt::white);
    label->setShadowColour(Qt::black);
    label->setAlignment(Qt::AlignCenter);
    bannerRow->addWidget(label);
    layout->addWidget(banner);
    return label;
}

void setBannerScheme(QWidget* window, const widgets::ColourScheme* scheme)
{
    for (BannerStrip* strip : window->findChildren<BannerStrip*>()) {
        strip->setSolidColour(scheme ? scheme->bannerBackground : QColor());
        for (widgets::ShadowLabel* l : strip->findChildren<widgets::ShadowLabel*>()) {
            l->setTextColour(scheme ? scheme->bannerText : QColor(Qt::white));
            l->setShadowColour(scheme ? QColor(Qt::transparent) : QColor(Qt::black));
        }
    }
}

BannerStrip::BannerStrip(QWidget* parent) : QWidget(parent) {}

void BannerStrip::setSolidColour(const QColor& colour)
{
    m_solid = colour;
    update();
}

void BannerStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_solid.isValid()) {
        p.fillRect(rect(), m_solid);
        return;
    }
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0.0, QColor(0, 0, 128));
    g.setColorAt(0.6, QColor(64, 0, 128));
    g.setColorAt(1.0, QColor(0, 128, 128));
    p.fillRect(rect(), g);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, height() - 2, width(), height() - 2);
    p.setPen(Qt::white);
    p.drawLine(0, height() - 1, width(), height() - 1);
}

ButtonStrip::ButtonStrip(QWidget* parent) : QWidget(parent) {}

void ButtonStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, width(), 0);
    p.setPen(Qt::white);
    p.drawLine(0, 1, width(), 1);
}

QIcon glyph(Glyph kind)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Glyph::Answers: {
        p.setPen(QPen(QColor(0, 128, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(2.5, 8.5);
        tick.lineTo(6.5, 12.5);
        tick.lineTo(13.5, 3.5);
        p.drawPath(tick);
        break;
    }
    case Glyph::Printer:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(QColor(0, 160, 0));
        p.drawPoint(QPointF(12.5, 8.5));
        break;
    case Glyph::Exit:
        p.setPen(QPen(QColor(128, 0, 0), 1));
        p.setBrush(QColor(160, 96, 48));
        p.drawRect(QRectF(3.5, 1.5, 8, 13));
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QPointF(9.5, 8.5), 1, 1);
        break;
    case Glyph::GoTo:
    case Glyph::Return: {
        const bool forward = kind == Glyph::GoTo;
        p.setPen(Qt::NoPen);
        p.setBrush(forward ? QColor(0, 0, 160) : QColor(0, 128, 0));
        QPainterPath arrow;
        arrow.moveTo(2, 6);
        arrow.lineTo(8, 6);
        arrow.lineTo(8, 2);
        arrow.lineTo(14, 8);
        arrow.lineTo(8, 14);
        arrow.lineTo(8, 10);
        arrow.lineTo(2, 10);
        arrow.closeSubpath();
        // Return points back: the same arrow mirrored about the glyph's middle.
        p.drawPath(forward ? arrow : QTransform(-1, 0, 0, 1, 16, 0).map(arrow));
        break;
    }
    }
    return QIcon(pm);
}

} // namespace results
