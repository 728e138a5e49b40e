#pragma once

#include <QDialog>

class QLabel;
class QMimeData;
class QPushButton;

namespace session {

class SimTile;

// The printing-services exercise: four service names to be dragged onto the
// elements of a network diagram. Created once; the arrangement outlives each
// opening until ResetSimulations.
class TSimForm1 final : public QDialog {
    Q_OBJECT
public:
    explicit TSimForm1(QWidget* parent = nullptr);

    // Back to the starting captions: the names on LP1..LP4, LP5..LP8 empty.
    void ResetSimulations();
    // True when LP5..LP8 hold exactly their key texts.
    bool targetsHoldKey() const;

    // The shared drag handlers of the eight tiles.
    bool LP1DragOver(SimTile* sender, const QMimeData* data) const;
    void LP1DragDrop(SimTile* sender, const QMimeData* data);
    // What a drop of source on target does.
    void dropOn(SimTile* target, SimTile* source);

    QWidget* Panel1;
    QWidget* Panel2;
    QLabel* Image1;
    SimTile* LP[8]; // LP1..LP8; the last four are the targets
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace session
