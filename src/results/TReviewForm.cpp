#include "TReviewForm.h"

namespace results {

TReviewForm::TReviewForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReviewForm"));
    setWindowTitle(QStringLiteral("Items Review"));
}

} // namespace results
