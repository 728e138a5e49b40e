// Runs SQL on a table file behind the program's back, keyed as it is, for
// tests that need a file the program itself would never write. A test that
// includes this links the engine and defines SQLITE_HAS_CODEC.
#pragma once

#include "Schemas.h"

#include <QString>
#include <sqlite3.h>

namespace testing {

// Empty when the SQL ran; otherwise what the engine said.
inline QString tamper(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open");
    }
    const QByteArray key(store::kTablePassword);
    sqlite3_key(db, key.constData(), key.size());
    // New files have 4 KB pages, older ones 1 KB: the first that reads wins.
    for (const char* pages : {"PRAGMA cipher_page_size = 4096", "PRAGMA cipher_page_size = 1024"}) {
        sqlite3_exec(db, pages, nullptr, nullptr, nullptr);
        if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) ==
            SQLITE_OK)
            break;
    }
    char* err = nullptr;
    QString problem;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK)
        problem = QString::fromUtf8(err ? err : "error");
    sqlite3_free(err);
    sqlite3_close(db);
    return problem;
}

} // namespace testing
