#pragma once

#include <QDialog>

namespace results {

class TNoteForm final : public QDialog {
    Q_OBJECT
public:
    explicit TNoteForm(QWidget* parent = nullptr);
};

} // namespace results
