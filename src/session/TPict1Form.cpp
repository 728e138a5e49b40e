#include "TPict1Form.h"

namespace session {

TPict1Form::TPict1Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Pict1Form"));
    setWindowTitle(QStringLiteral("Exhibit 1"));
}

} // namespace session
