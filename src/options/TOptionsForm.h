#pragma once

#include <QDialog>

namespace options {

class TOptionsForm final : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(QWidget* parent = nullptr);
};

} // namespace options
