#include "BoundedSpinBox.h"

#include <algorithm>

namespace widgets {

BoundedSpinBox::BoundedSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const
{
    const QString digits = input.trimmed();
    if (!digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); })) {
        bool ok = false;
        const qlonglong n = digits.toLongLong(&ok);
        if (ok && n >= minimum() && n <= maximum())
            return QValidator::Acceptable;
        return QValidator::Intermediate;
    }
    return QSpinBox::validate(input, pos);
}

void BoundedSpinBox::fixup(QString& input) const
{
    bool ok = false;
    const qlonglong n = input.trimmed().toLongLong(&ok);
    if (ok)
        input = QString::number(std::clamp<qlonglong>(n, minimum(), maximum()));
    else if (input.trimmed().size() > 9 &&
             std::all_of(input.begin(), input.end(), [](QChar c) { return c.isDigit(); }))
        input = QString::number(maximum());
}

} // namespace widgets
