#pragma once

#include <QString>

namespace platform {

// What stands at path when it is not a plain file: "a named pipe", "a
// folder", "a device", "a socket", or with followLinks false "a link".
// Empty for a plain file and for nothing at all.
QString irregularKind(const QString& path, bool followLinks);

// Opens an existing file for reading without waiting on it: a named pipe or a
// device put in place of a file would block a plain open (or the first read)
// for good, and with it whoever waits for that thread. Returns the
// descriptor, in blocking mode again, or -1 when there is no such file
// (errno says why). Anything but a plain file is refused with a
// platform::TableError naming the file and what it is; tableFile chooses
// whether the text calls it a table file.
int openRegularFile(const QString& path, bool tableFile = true);

// Throws platform::TableError when path is a link: the data folder of an
// installed program is written by name, and a write through a link would land
// wherever the link points. Nothing at path is fine.
void refuseLink(const QString& path);

} // namespace platform
