#include "RegularFile.h"

#include "TableError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISLNK(mode))
        return QStringLiteral("a link");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a file");
}

} // namespace

QString irregularKind(const QString& path, bool followLinks)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return {};
    return kindOf(st.st_mode);
}

int openRegularFile(const QString& path, bool tableFile)
{
    // O_NONBLOCK keeps the open of a pipe without a writer from waiting; it
    // is cleared again once the descriptor is known to be a plain file.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        const QString kind = S_ISREG(st.st_mode) ? QString() : kindOf(st.st_mode);
        ::close(fd);
        if (kind.isEmpty()) {
            errno = error;
            return -1;
        }
        throw TableError(TableError::CantOpen,
                         QStringLiteral("%1 \"%2\" cannot be opened: it is %3, not a file.")
                             .arg(tableFile ? QStringLiteral("The table file")
                                            : QStringLiteral("The file"),
                                  QFileInfo(path).absoluteFilePath(), kind));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

void refuseLink(const QString& path)
{
    if (irregularKind(path, false) != QLatin1String("a link"))
        return;
    throw TableError(TableError::CantOpen,
                     QStringLiteral("\"%1\" is a link to another place. Nothing in the data "
                                    "folder is written through a link: remove the link and "
                                    "start the program again.")
                         .arg(QFileInfo(path).absoluteFilePath()));
}

} // namespace platform
