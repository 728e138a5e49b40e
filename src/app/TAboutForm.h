#pragma once

#include <QDialog>

namespace app {

class TAboutForm final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

} // namespace app
