#pragma once

#include <QDialog>

class QLabel;

namespace session {

// Exhibit 2: one picture, shown at its natural size.
class Exhibit2Window final : public QDialog {
    Q_OBJECT
public:
    explicit Exhibit2Window(QWidget* parent = nullptr);
    // Loads the picture and sizes the window to it; throws when the file
    // cannot be shown, before anything changes on screen.
    void showPicture(const QString& fileName);
    QLabel* m_picture;
};

} // namespace session
