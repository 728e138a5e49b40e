#include "TScoreForm.h"

namespace results {

TScoreForm::TScoreForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ScoreForm"));
    setWindowTitle(QStringLiteral("Quizlark - Score Report"));
}

} // namespace results
