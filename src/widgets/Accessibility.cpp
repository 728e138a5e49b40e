#include "Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace widgets {

QString withoutMnemonics(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            out += u'&';
            ++i;
        }
    }
    return out;
}

namespace {

int mnemonicCount(const QString& caption)
{
    int n = 0;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            ++n;
        ++i;
    }
    return n;
}

} // namespace

void describeChart(QWidget* chart, const QString& name, const QString& values)
{
    if (chart->accessibleName() != name)
        chart->setAccessibleName(name);
    if (chart->accessibleDescription() != values)
        chart->setAccessibleDescription(values);
}

namespace {

QMenu* menuOf(QAction* action)
{
    for (QObject* o : action->associatedObjects())
        if (auto* m = qobject_cast<QMenu*>(o))
            return m;
    return nullptr;
}

// A menu entry, as the standard one, named by its caption without any
// mnemonic ampersand.
class MenuEntryAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuEntryAccessible(QAction* action) : m_action(action) {}

    bool isValid() const override { return m_action && menuOf(m_action); }
    QObject* object() const override { return m_action; }
    QWindow* window() const override
    {
        QMenu* m = menuOf(m_action);
        return m ? m->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(menuOf(m_action));
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return withoutMnemonics(m_action->text());
        case QAccessible::Description:
            return m_action->statusTip();
        case QAccessible::Accelerator:
            return m_action->shortcut().toString(QKeySequence::NativeText);
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        QMenu* m = menuOf(m_action);
        if (!m)
            return {};
        const QRect r = m->actionGeometry(m_action);
        return QRect(m->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        QMenu* m = menuOf(m_action);
        if (!m || !m_action->isVisible() || !m->isVisible())
            s.invisible = true;
        if (m && m->activeAction() == m_action)
            s.focused = true;
        s.focusable = true;
        s.disabled = !m_action->isEnabled();
        if (m_action->isCheckable()) {
            s.checkable = true;
            s.checked = m_action->isChecked();
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && m_action->isEnabled())
            m_action->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAction> m_action;
};

// A widget that acts as another role; a button presses as Space does.
class RoleAccessible final : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (role() == QAccessible::Button)
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && role() == QAccessible::Button) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                              QStringLiteral(" "));
            QCoreApplication::sendEvent(widget(), &press);
            QCoreApplication::sendEvent(widget(), &release);
            return;
        }
        QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object)
{
    if (auto* action = qobject_cast<QAction*>(object)) {
        // Only where Qt's own stripping leaves an ampersand behind.
        if (!action->menu() && !action->isSeparator() && mnemonicCount(action->text()) > 1 &&
            menuOf(action))
            return new MenuEntryAccessible(action);
        return nullptr;
    }
    if (object && object->isWidgetType()) {
        const QVariant role = object->property("accessibleRole");
        if (role.isValid())
            return new RoleAccessible(static_cast<QWidget*>(object),
                                      static_cast<QAccessible::Role>(role.toInt()));
    }
    return nullptr;
}

} // namespace

void installAccessibleFactories()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(accessibleFactory);
}

} // namespace widgets
