#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

namespace bank {

// One of the exam's objectives. A sub-objective's name is its parent's name,
// a slash and its own ("wins-server/multihomed"); it lies in its parent's
// section.
struct Objective {
    QString name;
    int section = 0;
};

// Every objective an item may name, in the order of the exam's list.
const QVector<Objective>& objectives();

// The objective of that short name, or nullptr.
const Objective* findObjective(const QString& name);

struct SourceItem {
    QString file;
    int id = 0;
    int exam = 0;
    int section = 0;
    // Stored beside the items table (store::writeItemTags), which has no
    // field for it.
    QString objective;
    // The one fact or skill the item tests ("dhcp/lease-renewal-times"),
    // stored with the objective; it lets the bank's checks see a fact asked
    // twice.
    QString fact;
    bool multiple = false;
    QString text;
    QString explanation;
    std::array<QString, 6> choices;
    std::array<bool, 6> key{};
    QString sim;
    QString pict1;
    QString pict2;
};

// Reads and checks every *.json file of sourceDir. Each problem is reported
// as "file: item N: what is wrong"; the items come back sorted by id.
QVector<SourceItem> readSource(const QString& sourceDir, const QString& picturesDir,
                               QStringList* errors);

// Writes the items to bankPath through the program's own table code. The new
// bank is written beside the old one and renamed into place; the notes of an
// existing bank are carried over by Q_ID.
void writeBank(const QVector<SourceItem>& items, const QString& bankPath);

// Creates an empty user question set unless the file already exists.
void ensureUserSet(const QString& path);

} // namespace bank
