#include "WindowPlace.h"

#include <QPoint>
#include <QRect>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

const char* const kPlace = "quizlarkPlace";
const char* const kCentred = "quizlarkCentred";

} // namespace

void keepPlace(QWidget* window)
{
    if (window->property(kCentred).toBool())
        return;
    // A maximised or minimised window has no place of its own to keep.
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    window->setProperty(kPlace, window->pos());
}

void restorePlace(QWidget* window)
{
    if (window->property(kCentred).toBool())
        return;
    const QVariant place = window->property(kPlace);
    if (place.isValid())
        window->move(place.toPoint());
}

void centreOnScreen(QWidget* window)
{
    window->setProperty(kCentred, true);
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame as the window manager drew it at the last showing; nothing
    // before the first.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QSize extra = window->isWindow() && frame.isValid() && inner.isValid()
                            ? frame.size() - inner.size()
                            : QSize(0, 0);
    const QSize outer = window->size() + extra;
    const QPoint topLeft(area.left() + std::max(0, (area.width() - outer.width()) / 2),
                         area.top() + std::max(0, (area.height() - outer.height()) / 2));
    window->move(topLeft);
}

} // namespace platform
