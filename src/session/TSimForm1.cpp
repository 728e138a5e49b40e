#include "TSimForm1.h"

namespace session {

TSimForm1::TSimForm1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SimForm1"));
    setWindowTitle(QStringLiteral("Select and Place"));
}

} // namespace session
