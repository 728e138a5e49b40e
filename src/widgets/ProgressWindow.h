#pragma once

#include "ExamSetBuilder.h"

#include <QDialog>

class QProgressBar;

namespace widgets {

// "Randomizing question set...": the only feedback while an exam set is built.
class ProgressWindow final : public QDialog, public store::BuildProgress {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    QProgressBar* m_progressBar;

    void beginBuild() override;
    void setBuildMaximum(int maximum) override;
    void setBuildPosition(int position) override;
    void endBuild() override;
};

} // namespace widgets
