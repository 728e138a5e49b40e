#include "SimTile.h"

#include "Accessibility.h"

#include <algorithm>
#include <iterator>

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace session {

SimTile::SimTile(const QString& name, const QRect& geometry, Bevel bevel, QWidget* parent)
    : QLabel(parent), m_bevel(bevel)
{
    setObjectName(name);
    setGeometry(geometry);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setContentsMargins(3, 2, 3, 2);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setAcceptDrops(true);
    // Tab only: a mouse click never gives a tile the focus, so a mouse user
    // never sees the focus frame.
    setFocusPolicy(Qt::TabFocus);
    // It acts as a button (Space picks it up or drops on it), not as text.
    widgets::installAccessibleFactories();
    setProperty("accessibleRole", static_cast<int>(QAccessible::Button));
}

void SimTile::setRole(const QString& role)
{
    m_role = role;
    updateAccessibleText();
}

void SimTile::setCaption(const QString& caption)
{
    setText(caption);
    updateAccessibleText();
}

void SimTile::setPicked(bool picked)
{
    m_picked = picked;
    updateAccessibleText();
    update();
}

void SimTile::updateAccessibleText()
{
    setAccessibleName(text().isEmpty() ? m_role + QStringLiteral(", empty")
                                       : m_role + QStringLiteral(": ") + text());
    setAccessibleDescription(m_picked ? QStringLiteral("Picked up; Escape puts it back")
                                      : QStringLiteral("Space picks up, or drops here"));
}

void SimTile::putBack(SimTile*& picked)
{
    if (picked)
        picked->setPicked(false);
    picked = nullptr;
}

bool SimTile::routeKeyEvent(QEvent* event, SimTile* tile, SimTile*& picked,
                            const QList<SimTile*>& tiles,
                            const std::function<void(SimTile*, SimTile*)>& drop)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* e = static_cast<QKeyEvent*>(event);
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (e->key()) {
    case Qt::Key_Space:
        if (!picked) {
            picked = tile;
            tile->setPicked(true);
        } else {
            SimTile* source = picked;
            putBack(picked);
            drop(tile, source);
        }
        return true;
    case Qt::Key_Escape:
        if (!picked)
            return false;
        putBack(picked);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down: {
        const int n = int(tiles.size());
        const int at = int(tiles.indexOf(tile));
        if (n == 0 || at < 0)
            return false;
        const int step = e->key() == Qt::Key_Left || e->key() == Qt::Key_Up ? -1 : 1;
        tiles[(at + step + n) % n]->setFocus(Qt::TabFocusReason);
        return true;
    }
    default:
        return false;
    }
}

QString SimTile::mimeType()
{
    return QStringLiteral("application/x-quizlark-sim-tile");
}

SimTile* SimTile::dragged(const QWidget* window, const QMimeData* data)
{
    if (!data || !data->hasFormat(mimeType()))
        return nullptr;
    const QString name = QString::fromUtf8(data->data(mimeType()));
    if (name.isEmpty())
        return nullptr;
    return window->findChild<SimTile*>(name);
}

void SimTile::swapCaptions(SimTile* target, SimTile* source)
{
    if (!target || !source || target == source)
        return;
    const QString caption = target->text();
    target->setCaption(source->text());
    source->setCaption(caption);
}

bool SimTile::routeDragEvent(QEvent* event, const std::function<bool(const QMimeData*)>& dragOver,
                             const std::function<void(const QMimeData*)>& dragDrop)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (dragOver(e->mimeData()))
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        dragDrop(e->mimeData());
        e->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

void SimTile::paintEvent(QPaintEvent* event)
{
    {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (m_bevel != Bevel::None) {
            const QColor light(Qt::white);
            const QColor shadow(128, 128, 128);
            const QRect in = r.adjusted(1, 1, -2, -2);
            p.setPen(m_bevel == Bevel::Raised ? light : shadow);
            p.drawLine(in.topLeft(), in.topRight());
            p.drawLine(in.topLeft(), in.bottomLeft());
            p.setPen(m_bevel == Bevel::Raised ? shadow : light);
            p.drawLine(in.bottomLeft(), in.bottomRight());
            p.drawLine(in.topRight(), in.bottomRight());
        }
    }
    QLabel::paintEvent(event);
    if (m_picked || hasFocus()) {
        QPainter p(this);
        // Dark blue on white: well over 4.5:1, and unlike any other frame.
        const QColor mark(0, 0, 160);
        if (m_picked) {
            p.setPen(QPen(mark, 3));
            p.drawRect(rect().adjusted(1, 1, -2, -2));
        }
        if (hasFocus()) {
            p.setPen(QPen(mark, 1, Qt::DashLine));
            p.drawRect(rect().adjusted(4, 4, -5, -5));
        }
    }
}

void SimTile::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    m_pressPos = event->position().toPoint();
    QLabel::mousePressEvent(event);
}

void SimTile::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - m_pressPos).manhattanLength() <
            QApplication::startDragDistance()) {
        QLabel::mouseMoveEvent(event);
        return;
    }
    m_pressed = false;
    auto* data = new QMimeData;
    data->setData(mimeType(), objectName().toUtf8());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->setHotSpot(m_pressPos);
    drag->exec(Qt::MoveAction);
}

std::vector<int> SimTile::arrangementOf(SimTile* const (&tiles)[8], const char* const (&starts)[4])
{
    std::vector<int> numbers;
    for (const SimTile* tile : tiles) {
        int index = 0;
        for (int k = 0; k < 4; ++k)
            if (tile->text() == QLatin1String(starts[k]))
                index = k + 1;
        numbers.push_back(index);
    }
    return numbers;
}

void SimTile::arrange(SimTile* const (&tiles)[8], const char* const (&starts)[4],
                      const std::vector<int>& arrangement, SimTile*& picked)
{
    if (arrangement.size() != std::size(tiles))
        return;
    // Dragging only swaps captions: each starting caption is on one tile.
    for (int k = 1; k <= 4; ++k)
        if (std::count(arrangement.begin(), arrangement.end(), k) != 1)
            return;
    putBack(picked);
    for (size_t i = 0; i < arrangement.size(); ++i)
        tiles[i]->setCaption(arrangement[i] == 0 ? QString()
                                                 : QString::fromLatin1(starts[arrangement[i] - 1]));
}

} // namespace session
