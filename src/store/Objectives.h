#pragma once

#include "Schemas.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace store {

class Session;

// One objective of the exam as its objective list words it. A sub-objective's
// name is its objective's name, a slash and its own ("wins-server/multihomed");
// it lies in its objective's section.
struct ExamObjective {
    QString name;
    int section = 0;
    QString wording;   // as the exam's objective list says it
    QString shortName; // a few words, for a line that names several
};

// Every objective, in the order of the exam's list, each followed by its
// sub-objectives.
const std::vector<ExamObjective>& examObjectives();
// The objectives without their sub-objectives: what results are counted by.
std::vector<const ExamObjective*> mainObjectives();
// The objective of that name, or nullptr.
const ExamObjective* findExamObjective(const QString& name);
// The objective a sub-objective belongs to; an objective is its own.
QString mainObjectiveOf(const QString& name);
// What an item of the user's own set is counted under: the first objective of
// its section; empty outside 1..5.
QString sectionObjective(int section);

// What the bank keeps of an item beside its fields: the objective it tests and
// the fact tag.
struct ItemTag {
    QString objective;
    QString fact;
    bool operator==(const ItemTag&) const = default;
};

// Writes the tags into the bank file at bankPath beside its items table, whose
// fields stay as they are; replaces any tags it held.
void writeItemTags(Session& session, const QString& bankPath, const QHash<int, ItemTag>& tags);
// The tags of the bank at bankPath by Q_ID; none for a bank written without.
QHash<int, ItemTag> readItemTags(Session& session, const QString& bankPath);

// Which objective each item of a graded exam tested, without a window: the
// bank's tags, and for the user's own items the objective of their section.
class ItemObjectives final {
public:
    ItemObjectives() = default;
    // Throws platform::TableError when the bank cannot be read. A user set
    // that cannot be read leaves its items without an objective.
    static ItemObjectives read(Session& session,
                               const QString& bankPath = QString::fromLatin1(kBankFile),
                               const QString& userSetPath = QString::fromLatin1(kUserSetFile));

    // The objective (never a sub-objective) item id tested; empty when it is
    // not known (an item gone from the user set, a bank without tags).
    QString objectiveOf(int id, bool userItem) const;
    // The objective or sub-objective the bank names for item id.
    QString detailedObjectiveOf(int id) const;
    QString factOf(int id) const;
    // The wording of an objective; empty for a name that is none.
    static QString wording(const QString& objective);

    // Each objective's share of a practice exam: its part of the bank items
    // that belong to a practice exam. Empty for a bank without tags.
    QHash<QString, double> examShares() const;
    // The bank items of a practice exam that test one of objectives, by Q_ID.
    std::vector<int> practiceItemsOf(const QStringList& objectives) const;

    void setBankTags(QHash<int, ItemTag> tags) { m_bank = std::move(tags); }
    // Q_ID -> Q_EXAM_N; 0 for an item of no practice exam.
    void setBankExams(QHash<int, int> exams) { m_bankExams = std::move(exams); }
    void setUserSections(QHash<int, int> sections) { m_userSections = std::move(sections); }
    const QHash<int, ItemTag>& bankTags() const { return m_bank; }

private:
    QHash<int, ItemTag> m_bank;
    QHash<int, int> m_bankExams;
    QHash<int, int> m_userSections; // Q_ID -> Q_SECT of the user set
};

} // namespace store
