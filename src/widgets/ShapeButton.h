#pragma once

#include <QColor>
#include <QPushButton>

namespace widgets {

// A rounded-rectangle push button in a solid colour with a white caption.
// Being a QPushButton, it keeps the caption's mnemonic working.
class ShapeButton final : public QPushButton {
    Q_OBJECT
public:
    ShapeButton(const QString& caption, const QColor& colour, QWidget* parent = nullptr);
    const QColor& colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QColor m_colour;
};

} // namespace widgets
