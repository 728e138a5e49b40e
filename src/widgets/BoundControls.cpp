#include "BoundControls.h"

#include "DataSource.h"
#include "Table.h"

#include <QHBoxLayout>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolButton>

namespace widgets {

using store::Table;
using store::TableState;

void FieldLink::bind(DataSource* source, const QString& field)
{
    auto* self = dynamic_cast<QObject*>(this);
    if (m_source)
        QObject::disconnect(m_source, nullptr, self, nullptr);
    m_source = source;
    m_field = field;
    if (source) {
        QObject::connect(source, &DataSource::dataChanged, self, [this](int changed) {
            Table* t = m_source ? m_source->table() : nullptr;
            if (changed < 0 || (t && changed == t->fieldIndex(m_field)))
                showField();
        });
        QObject::connect(source, &DataSource::stateChanged, self, [this] { showField(); });
    }
    showField();
}

bool FieldLink::active() const
{
    return m_source && m_source->table() && m_source->table()->isOpen();
}

QVariant FieldLink::fieldValue() const
{
    if (!active())
        return {};
    return m_source->table()->value(m_field);
}

void FieldLink::run(const std::function<void()>& action)
{
    if (m_runner)
        m_runner(action);
    else
        action();
}

void FieldLink::store(const QVariant& value)
{
    if (!active())
        return;
    // Entering edit state notifies the control too; it must not reload the
    // old value over what the user is typing.
    const QScopedValueRollback<bool> guard(m_loading, true);
    run([&] {
        m_source->editFromControl();
        Table* t = m_source->table();
        if (t->state() == TableState::Edit || t->state() == TableState::Insert)
            t->setValue(m_field, value);
    });
}

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading)
            store(toPlainText());
    });
}

void DBMemo::showField()
{
    if (m_loading)
        return;
    const QString text = fieldValue().toString();
    setReadOnly(!active());
    if (text == toPlainText())
        return;
    m_loading = true;
    setPlainText(text);
    m_loading = false;
}

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_loading)
            store(text);
    });
}

void DBEdit::showField()
{
    if (m_loading)
        return;
    const QString value = fieldValue().toString();
    setReadOnly(!active());
    if (value == text())
        return;
    m_loading = true;
    setText(value);
    m_loading = false;
}

DBCheckBox::DBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent)
{
    setTristate(true);
    connect(this, &QCheckBox::stateChanged, this, [this](int state) {
        if (!m_loading && state != Qt::PartiallyChecked)
            store(state == Qt::Checked);
    });
}

void DBCheckBox::showField()
{
    if (m_loading)
        return;
    const QVariant v = fieldValue();
    m_loading = true;
    if (v.isNull())
        setCheckState(Qt::PartiallyChecked);
    else
        setCheckState(v.toBool() ? Qt::Checked : Qt::Unchecked);
    m_loading = false;
    setEnabled(active());
}

void DBCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const QStyle::StandardPixmap icons[4] = {
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward, QStyle::SP_MediaSeekForward,
        QStyle::SP_MediaSkipForward};
    const char* names[4] = {"nbFirst", "nbPrior", "nbNext", "nbLast"};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QToolButton(this);
        m_buttons[i]->setObjectName(QLatin1String(names[i]));
        m_buttons[i]->setIcon(style()->standardIcon(icons[i]));
        m_buttons[i]->setAutoRaise(false);
        row->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QToolButton::clicked, this, [this, i] {
            Table* t = m_source ? m_source->table() : nullptr;
            if (!t || !t->isOpen())
                return;
            auto act = [t, i] {
                switch (i) {
                case 0:
                    t->first();
                    break;
                case 1:
                    t->prior();
                    break;
                case 2:
                    t->next();
                    break;
                default:
                    t->last();
                    break;
                }
            };
            if (m_runner)
                m_runner(act);
            else
                act();
            refresh();
        });
    }
    setHints({QStringLiteral("First record"), QStringLiteral("Prior record"),
              QStringLiteral("Next record"), QStringLiteral("Last record")});
    refresh();
}

void DBNavigator::setHints(const QStringList& hints)
{
    for (int i = 0; i < 4 && i < hints.size(); ++i)
        m_buttons[i]->setToolTip(hints.at(i));
}

void DBNavigator::setDataSource(DataSource* source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::dataChanged, this, [this](int f) {
            if (f < 0)
                refresh();
        });
        connect(source, &DataSource::stateChanged, this, &DBNavigator::refresh);
    }
    refresh();
}

void DBNavigator::refresh()
{
    Table* t = m_source ? m_source->table() : nullptr;
    const bool open = t && t->isOpen() && !t->isEmpty();
    const int no = open ? t->recNo() : 0;
    const auto all =
        open ? t->visibleValues(QStringLiteral("Q_ID")) : std::vector<std::pair<int, QVariant>>{};
    const bool atFirst = !open || all.empty() || no <= all.front().first;
    const bool atLast = !open || all.empty() || no >= all.back().first;
    m_buttons[0]->setEnabled(!atFirst);
    m_buttons[1]->setEnabled(!atFirst);
    m_buttons[2]->setEnabled(!atLast);
    m_buttons[3]->setEnabled(!atLast);
}

DBList::DBList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_loading || row < 0 || !m_source || !m_source->table())
            return;
        Table* t = m_source->table();
        const int recNo = item(row)->data(Qt::UserRole).toInt();
        if (recNo == t->recNo())
            return;
        auto act = [t, recNo] { t->setRecNo(recNo); };
        if (m_runner)
            m_runner(act);
        else
            act();
    });
}

void DBList::bind(DataSource* source, const QString& displayField)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_field = displayField;
    if (source) {
        connect(source, &DataSource::dataChanged, this, [this](int f) {
            if (f < 0)
                refresh();
        });
        connect(source, &DataSource::stateChanged, this, &DBList::refresh);
    }
    refresh();
}

void DBList::refresh()
{
    m_loading = true;
    Table* t = m_source ? m_source->table() : nullptr;
    const auto values = t ? t->visibleValues(m_field) : std::vector<std::pair<int, QVariant>>{};
    if (count() != static_cast<int>(values.size())) {
        clear();
        for (const auto& [recNo, v] : values) {
            auto* it = new QListWidgetItem(v.toString(), this);
            it->setData(Qt::UserRole, recNo);
        }
    } else {
        for (int i = 0; i < count(); ++i) {
            item(i)->setText(values[static_cast<size_t>(i)].second.toString());
            item(i)->setData(Qt::UserRole, values[static_cast<size_t>(i)].first);
        }
    }
    const int current = t && t->isOpen() ? t->recNo() : 0;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(Qt::UserRole).toInt() == current) {
            setCurrentRow(i);
            break;
        }
    }
    m_loading = false;
}

} // namespace widgets
