#include "Contrast.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace widgets {

namespace {

double channel(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ColourScheme::readable(const QColor& colour, const QColor& background) const
{
    if (contrastRatio(colour, background) >= kReadableRatio)
        return colour;
    const QColor text = palette.color(QPalette::WindowText);
    if (contrastRatio(text, background) >= kReadableRatio)
        return text;
    // A ground the scheme did not choose: whichever of black and white reads.
    return relativeLuminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
}

bool isHighContrastPalette(const QPalette& p)
{
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::HighlightedText, QPalette::Highlight}};
    for (const auto& [fore, back] : pairs)
        if (contrastRatio(p.color(QPalette::Active, fore), p.color(QPalette::Active, back)) < 7.0)
            return false;
    return true;
}

ColourScheme highContrastScheme(const QPalette& desktop)
{
    ColourScheme s;
    if (isHighContrastPalette(desktop)) {
        s.fromDesktop = true;
        s.palette = desktop;
        const QColor ground = desktop.color(QPalette::Window);
        const QColor text = desktop.color(QPalette::WindowText);
        s.headerBackground = ground;
        s.headerText = text;
        s.correctText = text;
        s.incorrectText = text;
        s.keyBackground = desktop.color(QPalette::Highlight);
        s.keyText = desktop.color(QPalette::HighlightedText);
        s.bannerBackground = ground;
        s.bannerText = text;
    } else {
        QPalette p;
        const QColor white(Qt::white), black(Qt::black), grey(0x59, 0x59, 0x59);
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const bool disabled = g == QPalette::Disabled;
            p.setColor(g, QPalette::Window, white);
            p.setColor(g, QPalette::Base, white);
            p.setColor(g, QPalette::AlternateBase, QColor(0xf0, 0xf0, 0xf0));
            p.setColor(g, QPalette::Button, QColor(0xf0, 0xf0, 0xf0));
            p.setColor(g, QPalette::WindowText, disabled ? grey : black);
            p.setColor(g, QPalette::Text, disabled ? grey : black);
            p.setColor(g, QPalette::ButtonText, disabled ? grey : black);
            p.setColor(g, QPalette::PlaceholderText, grey);
            p.setColor(g, QPalette::BrightText, white);
            p.setColor(g, QPalette::Highlight, QColor(0, 0, 128));
            p.setColor(g, QPalette::HighlightedText, white);
            p.setColor(g, QPalette::ToolTipBase, white);
            p.setColor(g, QPalette::ToolTipText, black);
            p.setColor(g, QPalette::Link, QColor(0, 0, 160));
            p.setColor(g, QPalette::LinkVisited, QColor(85, 0, 128));
            p.setColor(g, QPalette::Light, white);
            p.setColor(g, QPalette::Midlight, QColor(0xe0, 0xe0, 0xe0));
            p.setColor(g, QPalette::Mid, QColor(0x80, 0x80, 0x80));
            p.setColor(g, QPalette::Dark, QColor(0x40, 0x40, 0x40));
            p.setColor(g, QPalette::Shadow, black);
        }
        s.palette = p;
        // A light band, so that the header still stands apart from the item.
        s.headerBackground = QColor(0xe8, 0xe8, 0xe8);
        s.headerText = black;
        s.correctText = QColor(0, 0, 160);
        s.incorrectText = QColor(160, 0, 0);
        s.keyBackground = QColor(0, 255, 255);
        s.keyText = black;
        s.bannerBackground = QColor(0, 0, 128);
        s.bannerText = white;
    }
    return s;
}

namespace {
const char* const kOwnPalette = "quizlarkOwnPalette";
} // namespace

void applySchemePalette(QWidget* window, const ColourScheme* scheme)
{
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        const QVariant own = w->property(kOwnPalette);
        if (scheme) {
            // What the widget had before the first switch is kept, so that
            // switching back gives the design's colours again.
            if (!own.isValid())
                w->setProperty(kOwnPalette, w->testAttribute(Qt::WA_SetPalette)
                                                ? QVariant::fromValue(w->palette())
                                                : QVariant::fromValue(QPalette()));
            w->setPalette(scheme->palette);
        } else if (own.isValid()) {
            w->setPalette(own.value<QPalette>());
            w->setProperty(kOwnPalette, QVariant());
        }
    }
}

} // namespace widgets
