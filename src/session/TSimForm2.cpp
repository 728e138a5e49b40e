#include "TSimForm2.h"

namespace session {

TSimForm2::TSimForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SimForm2"));
    setWindowTitle(QStringLiteral("Simulation"));
}

} // namespace session
