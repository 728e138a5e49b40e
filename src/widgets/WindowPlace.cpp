#include "WindowPlace.h"

#include <QPoint>
#include <QVariant>
#include <QWidget>

namespace platform {

namespace {

const char* const kPlace = "quizlarkPlace";

} // namespace

void keepPlace(QWidget* window)
{
    // A maximised or minimised window has no place of its own to keep.
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))
        return;
    window->setProperty(kPlace, window->pos());
}

void restorePlace(QWidget* window)
{
    const QVariant place = window->property(kPlace);
    if (place.isValid())
        window->move(place.toPoint());
}

} // namespace platform
