#include "ShadowLabel.h"

#include <QPainter>

namespace widgets {

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ShadowLabel::setTextColour(const QColor& colour)
{
    m_colour = colour;
    update();
}

void ShadowLabel::setShadowColour(const QColor& colour)
{
    m_shadow = colour;
    update();
}

void ShadowLabel::setOutlined(bool on)
{
    m_outlined = on;
    update();
}

QSize ShadowLabel::sizeHint() const
{
    const QSize s = QLabel::sizeHint();
    return {s.width() + 1, s.height() + 1};
}

void ShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const QRect r = contentsRect().adjusted(0, 0, -1, -1);
    const int flags = static_cast<int>(alignment()) | Qt::TextShowMnemonic;
    p.setPen(m_shadow);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((dx == 1 && dy == 1) || (m_outlined && (dx || dy)))
                p.drawText(r.translated(dx, dy), flags, text());
    p.setPen(m_colour);
    p.drawText(r, flags, text());
}

} // namespace widgets
