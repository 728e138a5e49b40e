#pragma once

#include <QDialog>

namespace results {

class TScoreForm final : public QDialog {
    Q_OBJECT
public:
    explicit TScoreForm(QWidget* parent = nullptr);
};

} // namespace results
