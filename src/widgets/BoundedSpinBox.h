#pragma once

#include <QSpinBox>

namespace widgets {

// A number box whose typed value, when out of range, goes to the nearest
// bound: 0 becomes the lowest, anything too high the highest. A plain box
// refuses the keystroke that leaves the range, or falls back to its previous
// value, and the number the user meant is silently another.
class BoundedSpinBox final : public QSpinBox {
    Q_OBJECT
public:
    explicit BoundedSpinBox(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

} // namespace widgets
