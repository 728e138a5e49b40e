#pragma once

#include <QIcon>
#include <QWidget>

namespace results {

// The coloured strip behind a window's banner, with a rule along its foot.
class BannerStrip final : public QWidget {
    Q_OBJECT
public:
    explicit BannerStrip(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A strip of the window's colour with an etched rule along its top edge,
// where the buttons stand.
class ButtonStrip final : public QWidget {
    Q_OBJECT
public:
    explicit ButtonStrip(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

enum class Glyph { Answers, Printer, Exit, GoTo, Return };

// The small pictures beside the captions of our bitmap buttons.
QIcon glyph(Glyph kind);

} // namespace results
