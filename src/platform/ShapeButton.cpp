#include "ShapeButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace platform {

ShapeButton::ShapeButton(const QString& caption, const QColor& colour, QWidget* parent)
    : QPushButton(caption, parent), m_colour(colour)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
}

void ShapeButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = m_colour;
    if (!isEnabled())
        fill = QColor(160, 160, 160);
    else if (isDown())
        fill = m_colour.darker(140);
    else if (underMouse())
        fill = m_colour.lighter(125);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = qMin(r.height() / 2.5, 12.0);
    p.setPen(QPen(fill.darker(150), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    QRect textRect = rect();
    if (isDown())
        textRect.translate(1, 1);
    p.setPen(Qt::white);
    p.setFont(font());
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), radius - 2, radius - 2);
    }
}

} // namespace platform
