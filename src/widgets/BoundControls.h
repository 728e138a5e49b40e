#pragma once

#include "DataSource.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>
#include <functional>

class QToolButton;

namespace widgets {

using store::DataSource;

// Runs an action that may throw a table error; the owner window routes it to
// the general error report.
using ActionRunner = std::function<void(const std::function<void()>&)>;

// What every bound control shares: the link to its data source and field, and
// the rule that typing into a browsing table starts editing it.
class FieldLink {
public:
    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_source; }
    const QString& dataField() const { return m_field; }
    void setRunner(ActionRunner runner) { m_runner = std::move(runner); }

protected:
    virtual ~FieldLink() = default;
    virtual void showField() = 0;
    bool active() const;
    QVariant fieldValue() const;
    // Puts the table into edit state if needed and stores the value.
    void store(const QVariant& value);
    void run(const std::function<void()>& action);
    bool m_loading = false;

private:
    QPointer<DataSource> m_source;
    QString m_field;
    ActionRunner m_runner;
    friend class FieldLinkConnector;
};

class DBMemo final : public QPlainTextEdit, public FieldLink {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

protected:
    void showField() override;
};

class DBEdit final : public QLineEdit, public FieldLink {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

protected:
    void showField() override;
};

// Undetermined while the field is null; the first click checks it, and later
// clicks alternate between unchecked and checked, never back to null.
class DBCheckBox final : public QCheckBox, public FieldLink {
    Q_OBJECT
public:
    explicit DBCheckBox(const QString& caption, QWidget* parent = nullptr);

protected:
    void showField() override;
    void nextCheckState() override;
};

class DBNavigator final : public QWidget {
    Q_OBJECT
public:
    explicit DBNavigator(QWidget* parent = nullptr);
    void setDataSource(DataSource* source);
    void setHints(const QStringList& hints);
    void setRunner(ActionRunner runner) { m_runner = std::move(runner); }
    QToolButton* button(int index) const { return m_buttons[index]; }
    void refresh();

private:
    QPointer<DataSource> m_source;
    QToolButton* m_buttons[4];
    ActionRunner m_runner;
};

// One entry per record that passes the filter, showing a display field;
// selecting an entry makes its record current.
class DBList final : public QListWidget {
    Q_OBJECT
public:
    explicit DBList(QWidget* parent = nullptr);
    void bind(DataSource* source, const QString& displayField);
    void setRunner(ActionRunner runner) { m_runner = std::move(runner); }
    void refresh();

private:
    QPointer<DataSource> m_source;
    QString m_field;
    ActionRunner m_runner;
    bool m_loading = false;
};

} // namespace widgets
