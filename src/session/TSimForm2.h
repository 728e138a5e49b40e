#pragma once

#include <QDialog>

namespace session {

class TSimForm2 final : public QDialog {
    Q_OBJECT
public:
    explicit TSimForm2(QWidget* parent = nullptr);
};

} // namespace session
