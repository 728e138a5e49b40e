#pragma once

#include <QString>

namespace formats {

// Whether an HTML text shows a picture (an image tag or an embedded file).
bool hasPicture(const QString& html);
// The text an HTML fragment shows: paragraph and line breaks become "\n",
// other tags go, entities are decoded.
QString htmlToPlain(const QString& html);

} // namespace formats
