#pragma once

#include <QDialog>

namespace session {

class TNameForm final : public QDialog {
    Q_OBJECT
public:
    explicit TNameForm(QWidget* parent = nullptr);
};

} // namespace session
