#include "TSamplerForm.h"

namespace sampler {

TSamplerForm::TSamplerForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SamplerForm"));
    setWindowTitle(QStringLiteral("Quizlark Test Sampler"));
}

} // namespace sampler
