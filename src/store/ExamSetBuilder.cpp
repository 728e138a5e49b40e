#include "ExamSetBuilder.h"

#include "SavedExam.h"
#include "Table.h"
#include "TableError.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <unordered_set>
#include <vector>

namespace store {

namespace {

const char* const kCopied[] = {"Q_SECT", "Q_TEXT", "Q_EXPL", "Q_TYPE", "Q1",    "Q2",
                               "Q3",     "Q4",     "Q5",     "Q6",     "A1",    "A2",
                               "A3",     "A4",     "A5",     "A6",     "U_MEMO"};
const char* const kBankOnly[] = {"Q_EXAM_N", "Q_SIM", "PICT1", "PICT2"};

// Hides the progress window however the build ends.
class ProgressScope {
public:
    explicit ProgressScope(BuildProgress* form) : m_form(form)
    {
        if (m_form)
            m_form->beginBuild();
    }
    ~ProgressScope()
    {
        if (m_form)
            m_form->endBuild();
    }
    void setMaximum(int max)
    {
        if (m_form)
            m_form->setBuildMaximum(max);
    }
    void setPosition(int pos)
    {
        if (m_form)
            m_form->setBuildPosition(pos);
    }

private:
    BuildProgress* m_form;
};

} // namespace

ExamSetBuilder::ExamSetBuilder(BuildProgress* progress, SeedSource seed)
    : m_progress(progress), m_seed(seed ? std::move(seed) : SeedSource(&ExamSetBuilder::clockSeed))
{
}

std::uint64_t ExamSetBuilder::clockSeed()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

BuildResult ExamSetBuilder::buildExamSet(Table& bank, Table& current)
{
    return build(bank, current, true, -1);
}

BuildResult ExamSetBuilder::buildRandomSet(Table& bank, Table& current, int n)
{
    return build(bank, current, true, n);
}

BuildResult ExamSetBuilder::buildUserSet(Table& userSet, Table& current)
{
    return build(userSet, current, false, -1);
}

BuildResult ExamSetBuilder::buildChosenSet(Table& source, Table& current, bool fromBank,
                                           const std::vector<int>& ids, int take)
{
    return write(source, current, fromBank, presentItems(source, ids), take);
}

std::vector<int> ExamSetBuilder::presentItems(Table& source, const std::vector<int>& ids)
{
    std::vector<int> present;
    // A drill may name an item more than once (missed and marked); a set
    // keeps the look-up constant however long the list grows.
    std::unordered_set<int> seen;
    seen.reserve(ids.size());
    const int key = source.fieldIndex(QStringLiteral("Q_ID"));
    for (int id : ids) {
        if (!seen.insert(id).second)
            continue;
        source.setKey();
        source.setValueAt(key, id);
        if (source.gotoKey())
            present.push_back(id);
    }
    return present;
}

BuildResult ExamSetBuilder::build(Table& source, Table& current, bool fromBank, int take)
{
    std::vector<int> candidates;
    candidates.reserve(static_cast<size_t>(source.recordCount()));
    for (source.first(); !source.eof(); source.next())
        candidates.push_back(fromBank ? source.recNo()
                                      : static_cast<int>(source.asInteger(QStringLiteral("Q_ID"))));
    return write(source, current, fromBank, std::move(candidates), take);
}

BuildResult ExamSetBuilder::write(Table& source, Table& current, bool fromBank,
                                  std::vector<int> candidates, int take)
{
    ProgressScope progress(m_progress);

    // A uniform shuffle; for the random exam its first n entries are a
    // uniform sample of n distinct items in random order.
    std::mt19937_64 rng(m_seed());
    std::shuffle(candidates.begin(), candidates.end(), rng);
    if (take >= 0) {
        take = std::clamp(take, 0, static_cast<int>(candidates.size()));
        candidates.resize(static_cast<size_t>(take));
    }

    current.close();
    current.setExclusive(true);
    // Each copied field's position in both tables, looked up once per build:
    // (field of the set, field of the source).
    std::vector<std::pair<int, int>> copied;
    const auto copy = [&](const char* f) {
        const QString name = QLatin1String(f);
        const int from = source.fieldIndex(name);
        const int to = current.fieldIndex(name);
        if (from < 0 || to < 0)
            throw platform::TableError(
                platform::TableError::Usage,
                QStringLiteral("Field \"%1\" not found in \"%2\".")
                    .arg(name, from < 0 ? source.fileName() : current.fileName()));
        copied.emplace_back(to, from);
    };
    for (const char* f : kCopied)
        copy(f);
    if (fromBank)
        for (const char* f : kBankOnly)
            copy(f);
    const int sourceKey = source.fieldIndex(QStringLiteral("Q_ID"));
    const int originalNumber = current.fieldIndex(QStringLiteral("Q_OR_NUMBER"));
    const ItemPrinter printer(current);
    // Of the texts, only those the print reads are read.
    const std::vector<bool> printed = printer.fieldsRead(current.schema().size());
    RowValues own(static_cast<qsizetype>(current.schema().size()));
    BuildResult result;
    result.prints.reserve(candidates.size());
    try {
        // The new set is written beside the old one in one transaction and
        // takes its place in one step at the commit: one write to the disk,
        // never half a set in the file, and the old set is never read.
        current.openEmptied();
        progress.setMaximum(static_cast<int>(candidates.size()));
        // Nobody looks at the records while they are written.
        current.disableControls();
        // Every item is read in one look at the source, not one each.
        source.beginReading();
        for (size_t i = 0; i < candidates.size(); ++i) {
            source.setKey();
            source.setValueAt(sourceKey, candidates[i]);
            if (!source.gotoKey())
                throw platform::TableError(
                    platform::TableError::Usage,
                    QStringLiteral("Item %1 is missing from the question table \"%2\".")
                        .arg(candidates[i])
                        .arg(source.fileName()));
            progress.setPosition(static_cast<int>(i));
            own[originalNumber] = source.valueAt(sourceKey).toLongLong();
            const RowValues written = current.appendCopy(source, copied, own, printed);
            result.prints.push_back(printer.print(written));
        }
        source.endReading();
        current.commitBatch();
        current.enableControls();
    } catch (...) {
        try {
            source.endReading();
        } catch (...) {
            // The first fault is the one to report.
        }
        // Nothing half-built may stay behind.
        if (current.controlsDisabled())
            current.enableControls();
        current.rollbackBatch();
        current.close();
        throw;
    }
    current.first();
    result.firstItemNumber = current.recNo();
    result.itemCount = current.recordCount();
    return result;
}

void ExamSetBuilder::resetResponses(Table& current, Responses& responses)
{
    // Only numbers are read here; a display told of every move would read
    // every item's texts.
    current.disableControls();
    try {
        current.first();
        responses.assign(static_cast<size_t>(current.recordCount()), ItemResponse());
        const int section = current.fieldIndex(QStringLiteral("Q_SECT"));
        for (; !current.eof(); current.next()) {
            const int k = current.recNo();
            if (k >= 1 && static_cast<size_t>(k) <= responses.size())
                responses[static_cast<size_t>(k - 1)].Section =
                    static_cast<std::int32_t>(current.valueAt(section).toLongLong());
        }
    } catch (...) {
        current.enableControls();
        throw;
    }
    current.enableControls();
}

} // namespace store
