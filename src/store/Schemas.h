#pragma once

#include "TableFile.h"

#include <QString>
#include <array>
#include <vector>

namespace store {

using platform::RowValues;
using TableSchema = std::vector<platform::ColumnDef>;

inline constexpr const char* kSessionName = "Quizlark";
// The one password all three table files are encrypted with.
inline constexpr const char* kTablePassword = "Qz7lark4TcpIp";

inline constexpr const char* kBankFile = "tcpip.DAT";
inline constexpr const char* kCurrentSetFile = "ces.DAT";
inline constexpr const char* kUserSetFile = "tcpipusr.DAT";

// Field lists, in the order the tables hold them.
const TableSchema& bankSchema();
const TableSchema& currentSetSchema();
const TableSchema& userSetSchema();

inline constexpr int kSectionCount = 5;
// The exam sections, indexed by Q_SECT - 1.
const std::array<QString, kSectionCount>& sectionNames();
// The section's name, or an empty text outside 1..5.
QString sectionName(int qsect);

} // namespace store
