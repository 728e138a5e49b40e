#pragma once

#include <QDialog>

namespace session {

class TPict1Form final : public QDialog {
    Q_OBJECT
public:
    explicit TPict1Form(QWidget* parent = nullptr);
};

} // namespace session
