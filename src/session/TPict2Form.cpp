#include "TPict2Form.h"

namespace session {

TPict2Form::TPict2Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Pict2Form"));
    setWindowTitle(QStringLiteral("Exhibit 2"));
}

} // namespace session
