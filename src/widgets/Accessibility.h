#pragma once

#include <QString>

class QWidget;

namespace widgets {

// Installs, once per process, what the standard accessible interfaces lack:
// menu entries named without their mnemonic ampersands (Qt strips only the
// first), and widgets whose "accessibleRole" property (a QAccessible::Role)
// says what they act as, such as a tile that acts as a button.
void installAccessibleFactories();

// A caption as a screen reader should say it: every mnemonic ampersand
// removed, a doubled one kept as one.
QString withoutMnemonics(const QString& caption);

// Names a painted chart for a screen reader: its title (or the fallback)
// as the name, its values as the description.
void describeChart(QWidget* chart, const QString& name, const QString& values);

} // namespace widgets
