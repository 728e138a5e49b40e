#pragma once

#include <QDialog>

class QLabel;

namespace session {

// Exhibit 1: one picture, shown at its natural size.
class TPict1Form final : public QDialog {
    Q_OBJECT
public:
    explicit TPict1Form(QWidget* parent = nullptr);
    // Loads the picture and sizes the window to it; throws when the file
    // cannot be shown, before anything changes on screen.
    void showPicture(const QString& fileName);
    QLabel* Image1;
};

} // namespace session
