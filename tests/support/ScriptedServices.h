#pragma once

#include "Services.h"

#include <QMap>
#include <QStringList>
#include <deque>
#include <functional>

namespace testing {

class ScriptedTicker final : public platform::Ticker {
public:
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    // Delivers one tick, as the message loop would once a second.
    void fire()
    {
        if (m_active)
            emit tick();
    }

private:
    bool m_active = false;
};

class MemoryStore final : public platform::KeyValueStore {
public:
    bool contains(const QString& section, const QString& key) const override
    {
        return values.contains(section + QLatin1Char('/') + key);
    }
    QString read(const QString& section, const QString& key) const override
    {
        return values.value(section + QLatin1Char('/') + key);
    }
    void write(const QString& section, const QString& key, const QString& value) override
    {
        values.insert(section + QLatin1Char('/') + key, value);
    }
    QMap<QString, QString> values;
};

// Services driven by the test: every message box and modal run must have
// been scripted, in order, or the test fails.
class ScriptedServices final : public platform::Services {
public:
    ~ScriptedServices() override;

    // An answer of NoButton closes the message with Escape or its close box.
    void expectMessage(const QString& text, platform::MsgButton answer);
    // The handler gets the window, acts on it and returns its result.
    void expectModal(const QString& objectName, std::function<int(QWidget*)> handler);

    // True when every scripted step was used and nothing unscripted happened;
    // otherwise problems() says what went wrong.
    bool done() const { return m_problems.isEmpty() && m_messages.empty() && m_modals.empty(); }
    QStringList problems() const;
    void reset();

    QStringList shownMessages; // every message text, in order
    // What each message had behind "Show Details", in the same order (empty
    // for a message without details).
    QStringList shownDetails;
    // Every progress shown: its text and number of steps; the last position
    // it was advanced to. At cancelProgressAt (when not negative) the user
    // presses Cancel; onProgress sees every step as it is taken.
    QStringList shownProgress;
    QList<int> progressMaxima;
    int lastProgress = -1;
    int cancelProgressAt = -1;
    std::function<void(int)> onProgress;
    // Called as each message shows, before it is answered: what the program
    // has done by the time it tells the user something.
    std::function<void(const QString&)> onMessage;
    QList<platform::MsgKind> shownKinds;
    QList<QWidget*> shownParents; // the window each message was shown over
    // Time that passes, in days: both clocks follow it.
    double clock = 45000.0;
    // How far the system clock has been set away from the time that passed;
    // only the wall clock sees it.
    double wallClockShift = 0;
    MemoryStore store;
    std::function<std::optional<QFont>(const QFont&)> fontChooser;
    std::function<std::optional<QColor>(const QColor&)> colourChooser;
    std::function<QString()> fileChooser;
    std::function<QString()> saveFileChooser;
    QStringList chooserFilters; // the filter of every file chooser shown
    QStringList startedPrograms;
    int startError = 0; // what startProgram returns
    std::function<bool(QPrinter*)> printHandler;
    ScriptedTicker* lastTicker = nullptr;

    platform::MsgButton message(QWidget* parent, platform::MsgKind kind, const QString& text,
                                int buttons) override;
    platform::MsgButton detailedMessage(QWidget* parent, platform::MsgKind kind,
                                        const QString& text, const QString& details,
                                        int buttons) override;
    std::unique_ptr<platform::Progress> showProgress(QWidget* parent, const QString& text,
                                                     int maximum) override;
    int runModal(QWidget* window) override;
    double now() override { return clock + wallClockShift; }
    double monotonicNow() override { return clock; }
    std::unique_ptr<platform::Ticker> createTicker() override;
    platform::KeyValueStore& settings() override { return store; }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    int startProgram(const QString& path) override;
    bool printDialog(QWidget* parent, QPrinter* printer) override;

private:
    struct Message {
        QString text;
        platform::MsgButton answer;
    };
    struct Modal {
        QString objectName;
        std::function<int(QWidget*)> handler;
    };
    std::deque<Message> m_messages;
    std::deque<Modal> m_modals;
    QStringList m_problems;
    QString m_pendingDetails;
};

} // namespace testing
