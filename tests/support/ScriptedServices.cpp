#include "ScriptedServices.h"

#ifdef QUIZLARK_TEST_WIDGETS
#include <QDialog>
#include <QWidget>
#endif

namespace testing {

ScriptedServices::~ScriptedServices() = default;

void ScriptedServices::expectMessage(const QString& text, platform::MsgButton answer)
{
    m_messages.push_back({text, answer});
}

void ScriptedServices::expectModal(const QString& objectName, std::function<int(QWidget*)> handler)
{
    m_modals.push_back({objectName, std::move(handler)});
}

QStringList ScriptedServices::problems() const
{
    QStringList all = m_problems;
    for (const Message& m : m_messages)
        all << QStringLiteral("message never asked: \"%1\"").arg(m.text);
    for (const Modal& m : m_modals)
        all << QStringLiteral("window never shown modally: %1").arg(m.objectName);
    return all;
}

void ScriptedServices::reset()
{
    onMessage = nullptr;
    m_messages.clear();
    m_modals.clear();
    m_problems.clear();
    shownMessages.clear();
    shownKinds.clear();
    shownParents.clear();
    shownDetails.clear();
    shownProgress.clear();
    progressMaxima.clear();
    lastProgress = -1;
    cancelProgressAt = -1;
    onProgress = nullptr;
}

platform::MsgButton ScriptedServices::detailedMessage(QWidget* parent, platform::MsgKind kind,
                                                      const QString& text, const QString& details,
                                                      int buttons)
{
    m_pendingDetails = details;
    return message(parent, kind, text, buttons);
}

namespace {

class ScriptedProgress final : public platform::Progress {
public:
    explicit ScriptedProgress(ScriptedServices& s) : m_s(s) {}
    bool advance(int position) override
    {
        m_s.lastProgress = position;
        if (m_s.onProgress)
            m_s.onProgress(position);
        return m_s.cancelProgressAt < 0 || position < m_s.cancelProgressAt;
    }

private:
    ScriptedServices& m_s;
};

} // namespace

std::unique_ptr<platform::Progress> ScriptedServices::showProgress(QWidget* parent,
                                                                   const QString& text,
                                                                   int maximum)
{
    Q_UNUSED(parent);
    shownProgress << text;
    progressMaxima << maximum;
    lastProgress = 0;
    return std::make_unique<ScriptedProgress>(*this);
}

platform::MsgButton ScriptedServices::message(QWidget* parent, platform::MsgKind kind,
                                              const QString& text, int buttons)
{
    shownParents << parent;
    shownMessages << text;
    shownKinds << kind;
    shownDetails << m_pendingDetails;
    m_pendingDetails.clear();
    if (onMessage)
        onMessage(text);
    if (m_messages.empty()) {
        m_problems << QStringLiteral("unexpected message: \"%1\"").arg(text);
        return platform::Cancel;
    }
    const Message m = m_messages.front();
    m_messages.pop_front();
    if (m.text != text)
        m_problems << QStringLiteral("expected message \"%1\" but got \"%2\"").arg(m.text, text);
    // NoButton scripts Escape or the close box.
    if (m.answer == platform::NoButton)
        return platform::closedAnswer(buttons);
    return m.answer;
}

#ifdef QUIZLARK_TEST_WIDGETS
int ScriptedServices::runModal(QWidget* window)
{
    if (m_modals.empty()) {
        m_problems << QStringLiteral("unexpected modal window: %1").arg(window->objectName());
        return 0;
    }
    Modal m = m_modals.front();
    m_modals.pop_front();
    if (m.objectName != window->objectName())
        m_problems << QStringLiteral("expected modal window %1 but got %2")
                          .arg(m.objectName, window->objectName());
    // The window is really shown, as a modal run would, so that what the
    // handler inspects is what the user would see.
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->setResult(0);
    window->show();
    const int result = m.handler ? m.handler(window) : 0;
    window->hide();
    return result;
}
#else
// A test without widgets has no window to run.
int ScriptedServices::runModal(QWidget*)
{
    m_problems << QStringLiteral("unexpected modal window in a test without widgets");
    return 0;
}
#endif

std::unique_ptr<platform::Ticker> ScriptedServices::createTicker()
{
    auto t = std::make_unique<ScriptedTicker>();
    lastTicker = t.get();
    return t;
}

std::optional<QFont> ScriptedServices::chooseFont(QWidget*, const QFont& initial)
{
    if (!fontChooser) {
        m_problems << QStringLiteral("unexpected font chooser");
        return std::nullopt;
    }
    return fontChooser(initial);
}

std::optional<QColor> ScriptedServices::chooseColour(QWidget*, const QColor& initial)
{
    if (!colourChooser) {
        m_problems << QStringLiteral("unexpected colour chooser");
        return std::nullopt;
    }
    return colourChooser(initial);
}

QString ScriptedServices::chooseOpenFile(QWidget*, const QString&, const QString&,
                                         const QString& filter)
{
    chooserFilters << filter;
    if (!fileChooser) {
        m_problems << QStringLiteral("unexpected file chooser");
        return {};
    }
    return fileChooser();
}

QString ScriptedServices::chooseSaveFile(QWidget*, const QString&, const QString&,
                                         const QString& filter)
{
    chooserFilters << filter;
    if (!saveFileChooser) {
        m_problems << QStringLiteral("unexpected save file chooser");
        return {};
    }
    return saveFileChooser();
}

int ScriptedServices::startProgram(const QString& path)
{
    startedPrograms << path;
    return startError;
}

bool ScriptedServices::printDialog(QWidget*, QPrinter* printer)
{
    if (!printHandler) {
        m_problems << QStringLiteral("unexpected print dialog");
        return false;
    }
    return printHandler(printer);
}

} // namespace testing
