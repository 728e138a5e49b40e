#pragma once

#include <QFont>
#include <QIcon>
#include <QWidget>

class QBoxLayout;

namespace widgets {
class ShadowLabel;
struct ColourScheme;
} // namespace widgets

namespace results {

QFont arial(double points, bool bold, bool italic);

// The coloured strip behind a window's banner, with a rule along its foot.
class BannerStrip final : public QWidget {
    Q_OBJECT
public:
    explicit BannerStrip(QWidget* parent = nullptr);
    // One colour instead of the gradient (an invalid colour: the gradient).
    void setSolidColour(const QColor& colour);
    QColor solidColour() const { return m_solid; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_solid;
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

// The banner of a report window (white italic title with a shadow on the
// strip), added to the top of its layout; returns the title.
widgets::ShadowLabel* addBanner(QWidget* window, QBoxLayout* layout, const QString& title);
// The banners of window in the high-contrast scheme (null: the design's).
void setBannerScheme(QWidget* window, const widgets::ColourScheme* scheme);

enum class Glyph { Answers, Printer, Exit, GoTo, Return };

// The small pictures beside the captions of our bitmap buttons.
QIcon glyph(Glyph kind);

} // namespace results
