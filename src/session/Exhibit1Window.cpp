#include "Exhibit1Window.h"

#include "Picture.h"
#include "WindowPlace.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace session {

Exhibit1Window::Exhibit1Window(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("exhibit1Window"));
    setWindowTitle(QStringLiteral("Exhibit 1"));
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setGeometry(0, 0, 105, 105);
    setFixedSize(105, 105);
}

void Exhibit1Window::showPicture(const QString& fileName)
{
    const QPixmap picture = platform::loadPicture(fileName);
    m_picture->setPixmap(picture);
    m_picture->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());
    // Centred at every showing, wherever the last one was closed.
    platform::centreOnScreen(this);
}

} // namespace session
