#pragma once

#include <QDialog>

namespace results {

class TReviewForm final : public QDialog {
    Q_OBJECT
public:
    explicit TReviewForm(QWidget* parent = nullptr);
};

} // namespace results
