#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <stdexcept>
#include <vector>

namespace formats {

inline constexpr int kMaxChoices = 6;

// One item of the user set as the exchange formats carry it: every field the
// sampler edits except the key, which the table assigns, and the question's
// name in the exchange formats, which the user set keeps beside its items.
struct QuestionRecord {
    QString name;    // empty when the question has none
    int section = 0; // 1..5, or 0 for none
    bool multiple = false;
    QString text;
    QString explanation;
    std::array<QString, kMaxChoices> choices;
    std::array<bool, kMaxChoices> key{};

    bool operator==(const QuestionRecord&) const = default;
};

// A question of the file that does not fit the user set.
struct SkippedQuestion {
    int number = 0; // 1-based among the file's questions
    int line = 0;
    QString reason;
};

// A question of the file that is added, but not exactly as the file has it.
struct ChangedQuestion {
    int number = 0; // 1-based among the file's questions
    int line = 0;
    QStringList changes;
};

struct ParseResult {
    std::vector<QuestionRecord> questions;
    std::vector<SkippedQuestion> skipped;
    std::vector<ChangedQuestion> changed;
};

// A file that cannot be read as its format: nothing of it is imported.
class FormatError : public std::runtime_error {
public:
    FormatError(int line, int column, const QString& reason)
        : std::runtime_error(reason.toStdString()), m_line(line), m_column(column), m_reason(reason)
    {
    }
    int line() const { return m_line; }
    int column() const { return m_column; }
    const QString& reason() const { return m_reason; }
    // "line L, column C: reason"
    QString message() const
    {
        return QStringLiteral("line %1, column %2: %3").arg(m_line).arg(m_column).arg(m_reason);
    }

private:
    int m_line;
    int m_column;
    QString m_reason;
};

} // namespace formats
