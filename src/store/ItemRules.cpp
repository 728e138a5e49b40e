#include "ItemRules.h"

#include <QRegularExpression>
#include <algorithm>

namespace store {

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
