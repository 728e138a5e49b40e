#pragma once

#include "Services.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

namespace session {

// The exam window's way to the services: it knows how many windows and
// messages the exam window has open over itself, so that time running out
// never acts behind one of them, and says when the last of them has closed.
class CountingServices final : public platform::Services {
public:
    explicit CountingServices(platform::Services& inner) : m_inner(inner) {}

    // How many windows and messages opened through these services are open.
    int openWindows() const { return m_open; }
    // The latest window run modally through these services that is still
    // open, or null: a message that interrupts it belongs over it.
    QWidget* topWindow() const;
    // Called each time the last open window or message has closed.
    void setAllClosedHandler(std::function<void()> handler) { m_allClosed = std::move(handler); }

    platform::MsgButton message(QWidget* parent, platform::MsgKind kind, const QString& text,
                                int buttons) override;
    platform::MsgButton detailedMessage(QWidget* parent, platform::MsgKind kind,
                                        const QString& text, const QString& details,
                                        int buttons) override;
    int runModal(QWidget* window) override;
    double now() override { return m_inner.now(); }
    double monotonicNow() override { return m_inner.monotonicNow(); }
    std::unique_ptr<platform::Ticker> createTicker() override { return m_inner.createTicker(); }
    platform::KeyValueStore& settings() override { return m_inner.settings(); }
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    QString chooseOpenFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& dir,
                           const QString& filter) override;
    int startProgram(const QString& path) override { return m_inner.startProgram(path); }
    bool printDialog(QWidget* parent, QPrinter* printer) override;

private:
    template <typename F> auto counted(F&& f);

    platform::Services& m_inner;
    std::function<void()> m_allClosed;
    int m_open = 0;
    std::vector<QPointer<QWidget>> m_windows;
};

} // namespace session
