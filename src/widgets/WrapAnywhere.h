#pragma once

#include <QObject>
#include <QStringList>

class QFont;
class QLabel;
class QPaintDevice;

namespace widgets {

// The lines a text takes at `width` device pixels: broken between words, and
// inside a word only where the word alone is wider than the line. '\n'
// starts a new line; trailing blanks are dropped.
QStringList wrapLines(const QString& text, const QFont& font, double width,
                      QPaintDevice* device = nullptr);

// True when wrapping between words alone would leave a word sticking out of
// `width`: only then does a text need wrapLines.
bool hasOverlongWord(const QString& text, const QFont& font, double width,
                     QPaintDevice* device = nullptr);

// The height a word-wrapped plain-text label needs at `width`, overlong
// words broken as wrapLines breaks them; at least one line.
int wrappedLabelHeight(const QLabel* label, int width);

// Installed on word-wrapped plain-text labels: paints a text with an
// overlong word in the lines of wrapLines, where the label would cut the
// word off at its right edge. Any other text the label paints itself.
class AnywhereWrap final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void watch(QLabel* label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace widgets
