#pragma once

#include <QObject>

namespace store {

class Table;

// The link through which a table's state and record changes reach windows and
// bound controls.
class DataSource final : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Table* table, QObject* parent = nullptr);
    ~DataSource() override;
    Table* table() const { return m_table; }
    void setAutoEdit(bool on) { m_autoEdit = on; }
    bool autoEdit() const { return m_autoEdit; }
    // Called by a bound control before it writes what the user typed: puts a
    // browsing table into edit state (insert on an empty table).
    void editFromControl();

signals:
    void stateChanged();
    // field is the changed field's index, or -1 when the record changed.
    void dataChanged(int field);
    // A record was written by post(), by whatever path the edit ended, and
    // is current; not raised while the controls are suspended.
    void recordPosted();

private:
    friend class Table;
    Table* m_table;
    bool m_autoEdit = true;
};

} // namespace store
