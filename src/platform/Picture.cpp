#include "Picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <stdexcept>

namespace platform {

QPixmap loadPicture(const QString& fileName)
{
    const QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (format.isEmpty() || !QImageReader::supportedImageFormats().contains(format))
        throw std::runtime_error(
            QStringLiteral("Cannot show the picture \"%1\": unknown picture file extension.")
                .arg(fileName)
                .toStdString());
    QImageReader reader(fileName, format);
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(QStringLiteral("Cannot show the picture \"%1\": %2.")
                                     .arg(fileName, reader.errorString())
                                     .toStdString());
    return QPixmap::fromImage(image);
}

} // namespace platform
