#include "DataSource.h"

#include "Table.h"

namespace store {

DataSource::DataSource(Table* table, QObject* parent) : QObject(parent), m_table(table)
{
    if (m_table)
        m_table->attach(this);
}

DataSource::~DataSource()
{
    if (m_table)
        m_table->detach(this);
}

void DataSource::editFromControl()
{
    if (!m_table || !m_autoEdit || !m_table->isOpen())
        return;
    if (m_table->state() == TableState::Browse)
        m_table->edit();
}

} // namespace store
