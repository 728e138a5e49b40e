#include "CountingServices.h"

namespace session {

template <typename F> auto CountingServices::counted(F&& f)
{
    struct Open {
        CountingServices& s;
        explicit Open(CountingServices& s) : s(s) { ++s.m_open; }
        ~Open()
        {
            if (--s.m_open == 0 && s.m_allClosed)
                s.m_allClosed();
        }
    } open(*this);
    return f();
}

platform::MsgButton CountingServices::message(QWidget* parent, platform::MsgKind kind,
                                              const QString& text, int buttons)
{
    return counted([&] { return m_inner.message(parent, kind, text, buttons); });
}

platform::MsgButton CountingServices::detailedMessage(QWidget* parent, platform::MsgKind kind,
                                                      const QString& text, const QString& details,
                                                      int buttons)
{
    return counted([&] { return m_inner.detailedMessage(parent, kind, text, details, buttons); });
}

int CountingServices::runModal(QWidget* window)
{
    m_windows.emplace_back(window);
    struct Pop {
        std::vector<QPointer<QWidget>>& windows;
        ~Pop() { windows.pop_back(); }
    } pop{m_windows};
    return counted([&] { return m_inner.runModal(window); });
}

QWidget* CountingServices::topWindow() const
{
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if (*it)
            return *it;
    return nullptr;
}

std::optional<QFont> CountingServices::chooseFont(QWidget* parent, const QFont& initial)
{
    return counted([&] { return m_inner.chooseFont(parent, initial); });
}

QString CountingServices::chooseOpenFile(QWidget* parent, const QString& caption,
                                         const QString& dir, const QString& filter)
{
    return counted([&] { return m_inner.chooseOpenFile(parent, caption, dir, filter); });
}

std::optional<QColor> CountingServices::chooseColour(QWidget* parent, const QColor& initial)
{
    return counted([&] { return m_inner.chooseColour(parent, initial); });
}

QString CountingServices::chooseSaveFile(QWidget* parent, const QString& caption,
                                         const QString& dir, const QString& filter)
{
    return counted([&] { return m_inner.chooseSaveFile(parent, caption, dir, filter); });
}

bool CountingServices::printDialog(QWidget* parent, QPrinter* printer)
{
    return counted([&] { return m_inner.printDialog(parent, printer); });
}

} // namespace session
