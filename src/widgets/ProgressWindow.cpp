#include "ProgressWindow.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace widgets {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Randomizing question set..."));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setMinimum(0);
    m_progressBar->setTextVisible(false);
    layout->addWidget(m_progressBar);
    setFixedSize(231, 15);
}

void ProgressWindow::beginBuild()
{
    m_progressBar->setValue(0);
    show();
    raise();
}

void ProgressWindow::setBuildMaximum(int maximum)
{
    m_progressBar->setMaximum(maximum);
}

void ProgressWindow::setBuildPosition(int position)
{
    m_progressBar->setValue(position);
}

void ProgressWindow::endBuild()
{
    hide();
}

} // namespace widgets
