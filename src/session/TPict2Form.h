#pragma once

#include <QDialog>

namespace session {

class TPict2Form final : public QDialog {
    Q_OBJECT
public:
    explicit TPict2Form(QWidget* parent = nullptr);
};

} // namespace session
