#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// An error of the table engine, carrying both a text the user can act on and
// the engine's own code and text, so the general error report can show it.
class TableError : public std::runtime_error {
public:
    enum Code {
        Generic = 1,
        Busy = 5,
        Corrupt = 11,
        Full = 13,
        CantOpen = 14,
        NotADatabase = 26,
        Usage = 21
    };

    TableError(int code, const QString& text, int lockRetries = 0, const QString& details = {})
        : std::runtime_error(text.toStdString()), m_code(code), m_text(text),
          m_lockRetries(lockRetries), m_details(details)
    {
    }
    int code() const { return m_code; }
    // How many times the engine waited for a lock before giving up.
    int lockRetries() const { return m_lockRetries; }
    const QString& text() const { return m_text; }
    // The engine's own account, for a "Show Details" button: a damaged file
    // is reported with the list of every page that failed, which is no text
    // for a message box. Empty when the text says it all.
    const QString& details() const { return m_details; }

private:
    int m_code;
    QString m_text;
    int m_lockRetries;
    QString m_details;
};

} // namespace platform
