#include "TPict2Form.h"

#include "Picture.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace session {

TPict2Form::TPict2Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Pict2Form"));
    setWindowTitle(QStringLiteral("Exhibit 2"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(105, 105);
    grid->addWidget(Image1, 0, 0);
    resize(105, 105);
}

void TPict2Form::showPicture(const QString& fileName)
{
    const QPixmap picture = platform::loadPicture(fileName);
    Image1->setPixmap(picture);
    Image1->setMinimumSize(picture.size());
    resize(picture.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace session
