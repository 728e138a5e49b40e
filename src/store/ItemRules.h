#pragma once

#include "Schemas.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>
#include <vector>

namespace store {

class Table;

// What decides how an item is shown and whether it can be answered right.
struct ItemContent {
    qint64 id = 0;
    int exam = 0;
    int section = 0;
    bool multiple = false;
    QString text;
    QString explanation;
    std::array<QString, 6> choices;
    std::array<bool, 6> key{};
    QString sim;
};

struct ItemProblem {
    QString field; // the stored field at fault: "Q_SECT", "A3", "A1-A6"
    QString what;
};

// The rules every bank item keeps to be shown and scored right. The bank
// compiler checks its source with them (and with editorial rules of its own:
// a question text, an explanation, two choices, Q_SIM "SIM1" or "SIM2"), and a bank file's rows are
// checked with them when it is opened.
QVector<ItemProblem> bankItemProblems(const ItemContent& item);

// The rules an item keeps to be answerable at all: a key, on choices that
// have text, and exactly one for a single-response item.
QVector<ItemProblem> answerProblems(const ItemContent& item);

// The content of one row of a bank or user-set table.
ItemContent itemFromRow(const TableSchema& schema, const RowValues& row);

// Checks rows just read from a table file. Bank rows (the schema has
// Q_EXAM_N) are held to nulls, the numbering 1..N and bankItemProblems; user-
// set rows to what the test sampler itself writes; the current set, rebuilt
// at every exam, to nothing. Throws the damaged-file error naming the first
// bad item's Q_ID and field.
void checkLoadedRows(const QString& fileName, const TableSchema& schema,
                     const std::vector<RowValues>& rows);
// A bank that holds no items is damaged, as an empty file is: no bank the
// compiler makes is empty. Other tables may hold none.
void checkLoadedCount(const QString& fileName, const TableSchema& schema, size_t count);
// The same for one record, the position-th (from 0) in key order.
void checkLoadedRow(const QString& fileName, const TableSchema& schema, const RowValues& row,
                    size_t position);

// What can be wrong with the answer key of an ordinary (not simulation)
// item. The bank compiler and the test sampler refuse the same things, each
// in its own words.
struct KeyProblem {
    enum Kind {
        KeyOnEmptyChoice,   // `choice` is marked correct but has no text
        NoKey,              // no choice is marked correct
        SeveralKeys,        // a single-response item with `keys` correct choices
        ChooseCountDiffers, // the question says "Choose `said`." but `keys` are marked
    };
    Kind kind;
    int choice = -1; // 0..5 for KeyOnEmptyChoice
    int keys = 0;
    int said = 0;
};

// The n of a "Choose n." in the question (n as a word one..six or a digit),
// or 0 when it says none.
int chooseCount(const QString& question);

// The problems of an item's key, in the order: choices a..f, then the count.
std::vector<KeyProblem> keyProblems(const QString& question, const std::array<QString, 6>& choices,
                                    const std::array<bool, 6>& key, bool multiple);

// One sentence for the user on what is wrong ("No choice is marked correct.").
QString keyProblemText(const KeyProblem& problem);

// A user-set item that no response can ever answer right, with the reasons.
struct UnanswerableItem {
    qint64 id = 0;
    QStringList reasons;
};

// The items of the open user set that can never be answered right, in key
// order; when `only` is not empty, just those of its Q_IDs. Such an item
// does not keep a user exam from starting: the test sampler saves unfinished
// items as drafts, and the exam names them instead. Leaves the handle on its
// first record.
std::vector<UnanswerableItem> unanswerableUserItems(Table& userSet,
                                                    const std::vector<qint64>& only = {});

} // namespace store
