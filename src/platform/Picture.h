#pragma once

#include <QPixmap>
#include <QString>

namespace platform {

// Loads a picture file, its format chosen by the file name's extension. A
// file that cannot be opened, or whose extension names no format we read,
// throws an error whose text says so.
QPixmap loadPicture(const QString& fileName);

} // namespace platform
