#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace widgets {

// Relative luminance and contrast ratio as the accessibility guidelines
// define them: 1:1 for equal colours up to 21:1 for black on white.
double relativeLuminance(const QColor& colour);
double contrastRatio(const QColor& a, const QColor& b);

// The least ratio every text must meet against its background.
inline constexpr double kReadableRatio = 4.5;

// The colours of the high-contrast choice. Taken from the desktop when its
// own palette is high-contrast (every text role against its ground at 7:1
// or more), otherwise a built-in scheme of dark text on white.
struct ColourScheme {
    QPalette palette;
    QColor headerBackground; // the exam window's header strip
    QColor headerText;
    QColor correctText;   // the verdict "Correct"
    QColor incorrectText; // the verdict "Incorrect"
    QColor keyBackground; // a correct choice shown in review
    QColor keyText;
    QColor bannerBackground; // the report windows' title strips
    QColor bannerText;
    bool fromDesktop = false;

    // colour when it is readable on background, else the scheme's text
    // colour for that ground.
    QColor readable(const QColor& colour, const QColor& background) const;
};

bool isHighContrastPalette(const QPalette& palette);
ColourScheme highContrastScheme(const QPalette& desktop);

// Gives window and every widget below it the scheme's palette, whatever
// the widgets had set for themselves; null puts back what they had before.
// The windows then set their accents (verdicts, highlights) again.
void applySchemePalette(QWidget* window, const ColourScheme* scheme);

} // namespace widgets
