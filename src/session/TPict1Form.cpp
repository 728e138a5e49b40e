#include "TPict1Form.h"

#include "Picture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace session {

TPict1Form::TPict1Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Pict1Form"));
    setWindowTitle(QStringLiteral("Exhibit 1"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setGeometry(0, 0, 105, 105);
    setFixedSize(105, 105);
}

void TPict1Form::showPicture(const QString& fileName)
{
    const QPixmap picture = platform::loadPicture(fileName);
    Image1->setPixmap(picture);
    Image1->setGeometry(0, 0, picture.width(), picture.height());
    setFixedSize(picture.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace session
