#include "Schemas.h"

namespace store {

using platform::ColumnDef;
using platform::ColumnType;

namespace {

std::vector<ColumnDef> itemFields(bool exam, bool sim, bool orNumber)
{
    std::vector<ColumnDef> f;
    f.push_back({QStringLiteral("Q_ID"), ColumnType::Integer});
    if (exam)
        f.push_back({QStringLiteral("Q_EXAM_N"), ColumnType::Integer});
    f.push_back({QStringLiteral("Q_SECT"), ColumnType::Integer});
    f.push_back({QStringLiteral("Q_TEXT"), ColumnType::Memo});
    f.push_back({QStringLiteral("Q_EXPL"), ColumnType::Memo});
    f.push_back({QStringLiteral("Q_TYPE"), ColumnType::Boolean});
    for (int i = 1; i <= 6; ++i)
        f.push_back({QStringLiteral("Q%1").arg(i), ColumnType::String});
    for (int i = 1; i <= 6; ++i)
        f.push_back({QStringLiteral("A%1").arg(i), ColumnType::Boolean});
    if (sim) {
        f.push_back({QStringLiteral("Q_SIM"), ColumnType::String});
        f.push_back({QStringLiteral("PICT1"), ColumnType::String});
        f.push_back({QStringLiteral("PICT2"), ColumnType::String});
    }
    if (orNumber)
        f.push_back({QStringLiteral("Q_OR_NUMBER"), ColumnType::Integer});
    f.push_back({QStringLiteral("U_MEMO"), ColumnType::Memo});
    return f;
}

} // namespace

const TableSchema& bankSchema()
{
    static const TableSchema s = itemFields(true, true, false);
    return s;
}

const TableSchema& currentSetSchema()
{
    static const TableSchema s = itemFields(true, true, true);
    return s;
}

const TableSchema& userSetSchema()
{
    static const TableSchema s = itemFields(false, false, false);
    return s;
}

const std::array<QString, kSectionCount>& sectionNames()
{
    static const std::array<QString, kSectionCount> names = {
        QStringLiteral("Planning"),        QStringLiteral("Installation and Configuration"),
        QStringLiteral("Connectivity"),    QStringLiteral("Monitoring and Optimization"),
        QStringLiteral("Troubleshooting"),
    };
    return names;
}

QString sectionName(int qsect)
{
    if (qsect < 1 || qsect > kSectionCount)
        return {};
    return sectionNames()[static_cast<size_t>(qsect - 1)];
}

} // namespace store
