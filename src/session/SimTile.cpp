#include "SimTile.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
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
    target->setText(source->text());
    source->setText(caption);
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

} // namespace session
