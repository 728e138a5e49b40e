#pragma once

#include <QString>
#include <QStringList>

namespace store {

// The one table session: its name and the passwords every table file of the
// program is opened with.
class Session final {
public:
    explicit Session(const QString& name) : m_name(name) {}
    const QString& name() const { return m_name; }
    // Adding a password the session already holds changes nothing.
    void registerPassword(const QString& password)
    {
        if (!m_passwords.contains(password))
            m_passwords << password;
    }
    const QStringList& passwords() const { return m_passwords; }

private:
    QString m_name;
    QStringList m_passwords;
};

} // namespace store
