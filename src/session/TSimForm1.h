#pragma once

#include <QDialog>

namespace session {

class TSimForm1 final : public QDialog {
    Q_OBJECT
public:
    explicit TSimForm1(QWidget* parent = nullptr);
};

} // namespace session
