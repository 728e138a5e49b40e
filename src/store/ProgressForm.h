#pragma once

#include <QDialog>

class QProgressBar;

namespace store {

// "Randomizing question set...": the only feedback while an exam set is built.
class TProgressForm final : public QDialog {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);
    QProgressBar* ProgressBar1;
};

} // namespace store
