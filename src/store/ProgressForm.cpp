#include "ProgressForm.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace store {

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Randomizing question set..."));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setMinimum(0);
    ProgressBar1->setTextVisible(false);
    layout->addWidget(ProgressBar1);
    setFixedSize(231, 15);
}

} // namespace store
