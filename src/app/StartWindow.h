#pragma once

#include <QDialog>

namespace widgets {
class ShapeButton;
} // namespace widgets

namespace app {

// The start window: the application's main window, with its three buttons.
class StartWindow final : public QDialog {
    Q_OBJECT
public:
    // Sets the process's working directory to programDir, against which every
    // table file and picture name resolves.
    explicit StartWindow(const QString& programDir, QWidget* parent = nullptr);

    widgets::ShapeButton* m_startTestingButton;
    widgets::ShapeButton* m_samplerButton;
    widgets::ShapeButton* m_exitButton;

signals:
    void startTestingRequested();
    void samplerRequested();
    // The start window closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startTesting();
    void openSampler();
    void exitProgram();
};

// The 232 x 48 product banner at the top of the start window.
QPixmap productBanner();

} // namespace app
