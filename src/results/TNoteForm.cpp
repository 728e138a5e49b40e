#include "TNoteForm.h"

namespace results {

TNoteForm::TNoteForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NoteForm"));
    setWindowTitle(QStringLiteral("Quizlark"));
}

} // namespace results
