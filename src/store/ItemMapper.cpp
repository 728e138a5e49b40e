#include "ItemMapper.h"

#include "Table.h"

namespace store {

namespace {

QString text(const Table& t, const char* name)
{
    const QString field = QString::fromLatin1(name);
    return t.fieldIndex(field) < 0 ? QString() : t.asString(field);
}

bool flag(const Table& t, const QString& field)
{
    return t.fieldIndex(field) >= 0 && t.asBoolean(field);
}

} // namespace

int ExamItem::choiceCount() const
{
    int n = 0;
    for (const QString& c : choices)
        if (!c.isEmpty())
            ++n;
    return n;
}

std::array<bool, 6> readKey(const Table& table)
{
    std::array<bool, 6> key{};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = flag(table, QStringLiteral("A%1").arg(i + 1));
    return key;
}

int readSourceId(const Table& currentSet)
{
    return static_cast<int>(currentSet.asInteger(QStringLiteral("Q_OR_NUMBER")));
}

int readId(const Table& table)
{
    return static_cast<int>(table.asInteger(QStringLiteral("Q_ID")));
}

ExamItem readItem(const Table& t)
{
    ExamItem item;
    item.number = t.recNo();
    const QString source = t.fieldIndex(QStringLiteral("Q_OR_NUMBER")) >= 0
                               ? QStringLiteral("Q_OR_NUMBER")
                               : QStringLiteral("Q_ID");
    item.sourceId = static_cast<int>(t.asInteger(source));
    item.section = t.fieldIndex(QStringLiteral("Q_SECT")) >= 0
                       ? static_cast<int>(t.asInteger(QStringLiteral("Q_SECT")))
                       : 0;
    item.text = text(t, "Q_TEXT");
    item.explanation = text(t, "Q_EXPL");
    item.multipleResponse = flag(t, QStringLiteral("Q_TYPE"));
    for (size_t i = 0; i < item.choices.size(); ++i)
        item.choices[i] = t.asString(QStringLiteral("Q%1").arg(i + 1));
    item.key = readKey(t);
    item.picture1 = text(t, "PICT1");
    item.picture2 = text(t, "PICT2");
    item.simulation = text(t, "Q_SIM");
    item.note = text(t, "U_MEMO");
    return item;
}

} // namespace store
