#pragma once

#include "Services.h"

#include <QString>
#include <QHash>
#include <memory>
#include <optional>

class QSettings;

namespace platform {

// The settings store of a real user: an INI file in the user's configuration
// folder, named after the product key.
// The file is read once and kept; it is read again only when it has changed
// on the disk since (a settings file of megabytes costs a second to read).
class IniStore final : public KeyValueStore {
public:
    explicit IniStore(const QString& fileName);
    ~IniStore() override;
    bool contains(const QString& section, const QString& key) const override;
    QString read(const QString& section, const QString& key) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    const QString& fileName() const { return m_fileName; }

private:
    QSettings& file() const;

    QString m_fileName;
    mutable std::unique_ptr<QSettings> m_file;
    // The size, time and identity of the file when m_file last read or wrote it.
    mutable QByteArray m_fileState;
    // The file's texts as written, for values the settings class reads as
    // lists; read at the first such value.
    mutable std::optional<QHash<QString, QString>> m_raw;
};

class RealServices final : public Services {
public:
    explicit RealServices(const QString& productKey);
    MsgButton message(QWidget* parent, MsgKind kind, const QString& text, int buttons) override;
    MsgButton detailedMessage(QWidget* parent, MsgKind kind, const QString& text,
                              const QString& details, int buttons) override;
    std::unique_ptr<Progress> showProgress(QWidget* parent, const QString& text,
                                           int maximum) override;
    int runModal(QWidget* window) override;
    double now() override;
    double monotonicNow() override;
    std::unique_ptr<Ticker> createTicker() override;
    KeyValueStore& settings() override { return m_settings; }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    int startProgram(const QString& path) override;
    bool printDialog(QWidget* parent, QPrinter* printer) override;

private:
    IniStore m_settings;
};

// Days since 30 Dec 1899, the date-time base the exam timer counts in.
double toDays(const class QDateTime& local);

} // namespace platform
