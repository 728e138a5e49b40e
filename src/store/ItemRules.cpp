#include "ItemRules.h"

#include "Table.h"
#include "TableError.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace store {

namespace {

QString letter(size_t i)
{
    return QString(QChar(u'a' + static_cast<char16_t>(i)));
}

QString keyField(size_t i)
{
    return QStringLiteral("A%1").arg(i + 1);
}

int fieldOf(const TableSchema& schema, const char* name)
{
    for (size_t i = 0; i < schema.size(); ++i)
        if (schema[i].name == QLatin1String(name))
            return static_cast<int>(i);
    return -1;
}

[[noreturn]] void refuse(const QString& fileName, qint64 id, const QString& field,
                         const QString& what)
{
    throw platform::TableError(
        platform::TableError::Corrupt,
        QStringLiteral("The table file \"%1\" is damaged: the item with Q_ID %2 has a bad "
                       "field %3: %4.")
            .arg(QFileInfo(fileName).fileName())
            .arg(id)
            .arg(field, what));
}

} // namespace

QVector<ItemProblem> answerProblems(const ItemContent& item)
{
    QVector<ItemProblem> problems;
    if (!item.sim.isEmpty())
        return problems;
    for (size_t i = 0; i < 6; ++i)
        if (item.key[i] && item.choices[i].trimmed().isEmpty())
            problems.push_back(
                {keyField(i),
                 QStringLiteral("key letter \"%1\" names a choice without text").arg(letter(i))});
    const auto keys = std::count(item.key.begin(), item.key.end(), true);
    if (!item.multiple && keys != 1)
        problems.push_back({QStringLiteral("A1-A6"),
                            QStringLiteral("a single-response item must have exactly one key "
                                           "letter")});
    else if (keys == 0)
        problems.push_back({QStringLiteral("A1-A6"), QStringLiteral("the item has no key letter")});
    return problems;
}

QVector<ItemProblem> bankItemProblems(const ItemContent& item)
{
    QVector<ItemProblem> problems;
    if (item.exam < 0 || item.exam > 7)
        problems.push_back({QStringLiteral("Q_EXAM_N"), QStringLiteral("the exam must be 0 to 7")});
    if (item.section < 1 || item.section > kSectionCount)
        problems.push_back(
            {QStringLiteral("Q_SECT"), QStringLiteral("the section must be 1 to 5")});
    if (!item.sim.isEmpty()) {
        for (size_t i = 0; i < 6; ++i) {
            if (item.key[i] != (i == 5)) {
                problems.push_back({keyField(i), QStringLiteral("a simulation item must have the "
                                                                "key \"f\" alone")});
                break;
            }
        }
        for (size_t i = 0; i < 6; ++i) {
            if (!item.choices[i].isEmpty()) {
                problems.push_back({QStringLiteral("Q%1").arg(i + 1),
                                    QStringLiteral("a simulation item must have no choices")});
                break;
            }
        }
        return problems;
    }
    problems += answerProblems(item);
    return problems;
}

ItemContent itemFromRow(const TableSchema& schema, const RowValues& row)
{
    auto value = [&](const char* name) {
        const int i = fieldOf(schema, name);
        return i < 0 || i >= row.size() ? QVariant() : row.at(i);
    };
    ItemContent item;
    item.id = value("Q_ID").toLongLong();
    item.exam = value("Q_EXAM_N").toInt();
    item.section = value("Q_SECT").toInt();
    item.multiple = value("Q_TYPE").toBool();
    item.text = value("Q_TEXT").toString();
    item.explanation = value("Q_EXPL").toString();
    for (size_t i = 0; i < 6; ++i) {
        item.choices[i] = value(QStringLiteral("Q%1").arg(i + 1).toLatin1().constData()).toString();
        item.key[i] = value(QStringLiteral("A%1").arg(i + 1).toLatin1().constData()).toBool();
    }
    item.sim = value("Q_SIM").toString();
    return item;
}

void checkLoadedRows(const QString& fileName, const TableSchema& schema,
                     const std::vector<RowValues>& rows)
{
    for (size_t r = 0; r < rows.size(); ++r)
        checkLoadedRow(fileName, schema, rows[r], r);
}

void checkLoadedCount(const QString& fileName, const TableSchema& schema, size_t count)
{
    const bool bank = fieldOf(schema, "Q_EXAM_N") >= 0 && fieldOf(schema, "Q_OR_NUMBER") < 0;
    if (count > 0 || !bank)
        return;
    throw platform::TableError(
        platform::TableError::Corrupt,
        QStringLiteral("The table file \"%1\" is damaged: it holds no items. It was left as it "
                       "is.")
            .arg(QFileInfo(fileName).fileName()));
}

void checkLoadedRow(const QString& fileName, const TableSchema& schema, const RowValues& row,
                    size_t position)
{
    if (fieldOf(schema, "Q_OR_NUMBER") >= 0)
        return;
    const bool bank = fieldOf(schema, "Q_EXAM_N") >= 0;
    // The engine has already refused values of the wrong kind and beyond 32
    // bits; what is left are the rules of the items themselves.
    const qint64 id = row.value(0).toLongLong();
    if (row.value(0).isNull() || id < 1)
        refuse(fileName, id, QStringLiteral("Q_ID"),
               QStringLiteral("an item number must be "
                              "positive"));
    // The bank is positioned by record number, which must equal Q_ID.
    if (bank && id != static_cast<qint64>(position) + 1)
        refuse(fileName, id, QStringLiteral("Q_ID"),
               QStringLiteral("the item numbers must run 1, 2, 3 ... without gaps; %1 was "
                              "expected")
                   .arg(position + 1));
    if (bank) {
        // Every field but the note is written by the bank compiler.
        for (size_t f = 0; f < schema.size(); ++f)
            if (schema[f].type != platform::ColumnType::String &&
                schema[f].type != platform::ColumnType::Memo &&
                row.value(static_cast<qsizetype>(f)).isNull())
                refuse(fileName, id, schema[f].name, QStringLiteral("it is empty (null)"));
        const QVector<ItemProblem> problems = bankItemProblems(itemFromRow(schema, row));
        if (!problems.isEmpty())
            refuse(fileName, id, problems.first().field, problems.first().what);
    } else {
        // A user item saved without a section carries 0.
        const int section = itemFromRow(schema, row).section;
        if (section < 0 || section > kSectionCount)
            refuse(fileName, id, QStringLiteral("Q_SECT"),
                   QStringLiteral("the section must be 0 to 5"));
    }
}

std::vector<UnanswerableItem> unanswerableUserItems(Table& userSet, const std::vector<qint64>& only)
{
    std::vector<UnanswerableItem> found;
    for (userSet.first(); !userSet.eof(); userSet.next()) {
        const qint64 id = userSet.asInteger(QStringLiteral("Q_ID"));
        if (!only.empty() && std::find(only.begin(), only.end(), id) == only.end())
            continue;
        std::array<QString, 6> choices;
        std::array<bool, 6> key{};
        for (size_t i = 0; i < 6; ++i) {
            choices[i] = userSet.asString(QStringLiteral("Q%1").arg(i + 1));
            key[i] = userSet.asBoolean(keyField(i));
        }
        UnanswerableItem item{id, {}};
        // A "Choose n." that disagrees with the key misleads but can still
        // be answered right by ticking the key.
        for (const KeyProblem& p :
             keyProblems(QString(), choices, key, userSet.asBoolean(QStringLiteral("Q_TYPE"))))
            if (p.kind != KeyProblem::ChooseCountDiffers)
                item.reasons << keyProblemText(p);
        if (!item.reasons.isEmpty())
            found.push_back(std::move(item));
    }
    userSet.first();
    return found;
}

QString keyProblemText(const KeyProblem& problem)
{
    static const QStringList words = {QStringLiteral("one"),   QStringLiteral("two"),
                                      QStringLiteral("three"), QStringLiteral("four"),
                                      QStringLiteral("five"),  QStringLiteral("six")};
    switch (problem.kind) {
    case KeyProblem::KeyOnEmptyChoice:
        return QStringLiteral("Choice %1. is marked correct but has no text.")
            .arg(letter(static_cast<size_t>(problem.choice)));
    case KeyProblem::NoKey:
        return QStringLiteral("No choice is marked correct.");
    case KeyProblem::SeveralKeys:
        return QStringLiteral("A single responce item has one correct choice; %1 are marked.")
            .arg(problem.keys);
    case KeyProblem::ChooseCountDiffers:
        return QStringLiteral("The question says \"Choose %1.\" but %2 choices are marked "
                              "correct.")
            .arg(words.value(problem.said - 1), QString::number(problem.keys));
    }
    return QString();
}

int chooseCount(const QString& question)
{
    static const QRegularExpression choose(
        QStringLiteral("\\bChoose (one|two|three|four|five|six|[1-6])\\."));
    const QRegularExpressionMatch m = choose.match(question);
    if (!m.hasMatch())
        return 0;
    static const QStringList words = {QStringLiteral("one"),   QStringLiteral("two"),
                                      QStringLiteral("three"), QStringLiteral("four"),
                                      QStringLiteral("five"),  QStringLiteral("six")};
    const QString n = m.captured(1);
    const int word = static_cast<int>(words.indexOf(n));
    return word >= 0 ? word + 1 : n.toInt();
}

std::vector<KeyProblem> keyProblems(const QString& question, const std::array<QString, 6>& choices,
                                    const std::array<bool, 6>& key, bool multiple)
{
    std::vector<KeyProblem> problems;
    // Such a key can never be answered right: the exam shows no button for
    // a choice without text.
    for (int i = 0; i < 6; ++i)
        if (key[static_cast<size_t>(i)] && choices[static_cast<size_t>(i)].trimmed().isEmpty())
            problems.push_back({KeyProblem::KeyOnEmptyChoice, i, 0, 0});
    const int keys = static_cast<int>(std::count(key.begin(), key.end(), true));
    if (keys == 0)
        problems.push_back({KeyProblem::NoKey, -1, 0, 0});
    else if (!multiple && keys > 1)
        problems.push_back({KeyProblem::SeveralKeys, -1, keys, 0});
    const int said = chooseCount(question);
    if (said > 0 && keys > 0 && said != keys)
        problems.push_back({KeyProblem::ChooseCountDiffers, -1, keys, said});
    return problems;
}

} // namespace store
