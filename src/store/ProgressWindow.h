#pragma once

#include <QDialog>

class QProgressBar;

namespace store {

// "Randomizing question set...": the only feedback while an exam set is built.
class ProgressWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    QProgressBar* m_progressBar;
};

} // namespace store
