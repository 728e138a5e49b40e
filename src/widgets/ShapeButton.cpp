#include "ShapeButton.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace widgets {

ShapeButton::ShapeButton(const QString& caption, const QColor& colour, QWidget* parent)
    : QPushButton(caption, parent), m_colour(colour)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
}

bool ShapeButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous()) {
            // A menu title that shares the Alt key wins, as on other
            // desktops; otherwise the press still clicks the button.
            if (auto* main = qobject_cast<QMainWindow*>(window())) {
                QMenuBar* bar = main->menuBar();
                for (QAction* a : bar->actions()) {
                    if (a->isEnabled() && QKeySequence::mnemonic(a->text()) == shortcut->key()) {
                        bar->setActiveAction(a);
                        return true;
                    }
                }
            }
            animateClick();
            return true;
        }
    }
    return QPushButton::event(event);
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

} // namespace widgets
