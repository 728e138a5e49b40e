#pragma once

#include <QString>
#include <array>

namespace store {

class Table;

// One item of the current set (or of the bank or user set, which share its
// fields), as the exam and its windows use it. Only store/ knows the field
// names behind these members.
struct ExamItem {
    int number = 0;   // the record number in the set: item k of the exam
    int sourceId = 0; // Q_OR_NUMBER in the current set, Q_ID elsewhere
    int section = 0;  // 1..5
    QString text;
    QString explanation;
    bool multipleResponse = false;
    std::array<QString, 6> choices;
    std::array<bool, 6> key{};
    QString picture1;
    QString picture2;
    QString simulation; // "SIM1", "SIM2" or empty
    QString note;

    int choiceCount() const;
    bool isSimulation() const { return !simulation.isEmpty(); }
    // Whether a set of choices is exactly the key.
    bool isAnsweredBy(const std::array<bool, 6>& choice) const { return choice == key; }
};

// Reads the current record of a table that has the item fields. A field the
// table does not have reads as empty.
ExamItem readItem(const Table& table);
// Only the key of the current record, for judging without the texts.
std::array<bool, 6> readKey(const Table& table);
// The id the exam knows an item by: Q_OR_NUMBER of the current set.
int readSourceId(const Table& currentSet);
// The key of a record of the bank or the user set (Q_ID).
int readId(const Table& table);

} // namespace store
