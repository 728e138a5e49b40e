#include "TNameForm.h"

namespace session {

TNameForm::TNameForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NameForm"));
    setWindowTitle(QStringLiteral(""));
}

} // namespace session
