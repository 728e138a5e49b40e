#include "TOptionsForm.h"

namespace options {

TOptionsForm::TOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
}

} // namespace options
