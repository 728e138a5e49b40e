#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;

namespace platform {

enum class MsgKind { Information, Warning, Confirmation, Error };

enum MsgButton : int { NoButton = 0, Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };

// Added to the buttons of a message: Escape and the close box answer Ok, for
// a message whose Ok changes nothing and whose other button acts.
constexpr int EscapeAnswersOk = 0x100;

// The answer of a message closed without a button (Escape, the close box):
// the cancelling button on offer, unless the message says otherwise.
inline MsgButton closedAnswer(int buttons)
{
    if (buttons & EscapeAnswersOk)
        return Ok;
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

// The once-a-second tick that drives the exam countdown.
class Ticker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
signals:
    void tick();
};

// The per-user key-value store; every value is text.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    virtual bool contains(const QString& section, const QString& key) const = 0;
    virtual QString read(const QString& section, const QString& key) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
};

// The feedback of a long task that the user may cancel; it goes away when
// the object is destroyed.
class Progress {
public:
    virtual ~Progress() = default;
    // Shows how far the task has come; false once the user has asked to
    // cancel it.
    virtual bool advance(int position) = 0;
};

// Everything that waits on a person, the clock or the operating system. The
// program gets the real implementation; tests script one.
class Services {
public:
    virtual ~Services() = default;

    // Shows a message box and returns the button the user chose.
    virtual MsgButton message(QWidget* parent, MsgKind kind, const QString& text, int buttons) = 0;
    // The same with more behind a "Show Details" button: the engine's own
    // account of a fault, too long or too technical for the message itself.
    virtual MsgButton detailedMessage(QWidget* parent, MsgKind kind, const QString& text,
                                      const QString& details, int buttons)
    {
        Q_UNUSED(details);
        return message(parent, kind, text, buttons);
    }
    // Shows the progress of a long task of maximum steps over parent, with a
    // Cancel button; null where there is nothing to show it with.
    virtual std::unique_ptr<Progress> showProgress(QWidget* parent, const QString& text,
                                                   int maximum)
    {
        Q_UNUSED(parent);
        Q_UNUSED(text);
        Q_UNUSED(maximum);
        return nullptr;
    }
    // Shows a window of ours modally and returns its result code once it is
    // hidden (QDialog::result() for dialogs, the "modalResult" property else).
    virtual int runModal(QWidget* window) = 0;
    // Local wall-clock date-time, in days. It jumps when the system clock is
    // set or daylight saving time ends, so it is for showing dates only.
    virtual double now() = 0;
    // A clock that never jumps, in days from an arbitrary start: durations are
    // measured on it.
    virtual double monotonicNow() = 0;
    virtual std::unique_ptr<Ticker> createTicker() = 0;
    virtual KeyValueStore& settings() = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
    virtual QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter) = 0;
    // The file to write to, or an empty text when the user cancels.
    virtual QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter)
    {
        Q_UNUSED(parent);
        Q_UNUSED(caption);
        Q_UNUSED(dir);
        Q_UNUSED(filter);
        return {};
    }
    // Starts a program and waits until it is ready for input. Returns 0, or
    // the system's error code when the program could not be started.
    virtual int startProgram(const QString& path) = 0;
    virtual bool printDialog(QWidget* parent, QPrinter* printer) = 0;
};

// Converts a message text of ours, where "\r" is a line break, for display.
QString displayText(const QString& text);

} // namespace platform
