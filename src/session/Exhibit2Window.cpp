#include "Exhibit2Window.h"

#include "Picture.h"
#include "WindowPlace.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace session {

Exhibit2Window::Exhibit2Window(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("exhibit2Window"));
    setWindowTitle(QStringLiteral("Exhibit 2"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(105, 105);
    grid->addWidget(m_picture, 0, 0);
    resize(105, 105);
}

void Exhibit2Window::showPicture(const QString& fileName)
{
    const QPixmap picture = platform::loadPicture(fileName);
    m_picture->setPixmap(picture);
    m_picture->setMinimumSize(picture.size());
    resize(picture.size());
    // Centred at every showing, wherever the last one was closed.
    platform::centreOnScreen(this);
}

} // namespace session
