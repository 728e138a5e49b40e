#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QMimeData;
class QPushButton;

namespace session {

class SimTile;

// The subnet-mask exercise: four masks to be dragged in front of the network
// IDs they fit. Created once; the arrangement outlives each opening until
// ResetSimulations.
class TSimForm2 final : public QDialog {
    Q_OBJECT
public:
    explicit TSimForm2(QWidget* parent = nullptr);

    // Back to the starting captions: the masks on DP1..DP4, DP5..DP8 empty.
    void ResetSimulations();
    // True when DP5..DP8 hold exactly their key texts.
    bool targetsHoldKey() const;

    // The shared drag handlers of the eight tiles.
    bool DP1DragOver(SimTile* sender, const QMimeData* data) const;
    void DP1DragDrop(SimTile* sender, const QMimeData* data);
    // What a drop of source on target does.
    void dropOn(SimTile* target, SimTile* source);

    QWidget* Panel1;
    QLabel* Label1;
    QWidget* Panel2;
    QWidget* Panel4;
    QLabel* Label3;
    QFrame* Panel3;
    SimTile* DP[8]; // DP1..DP8; the last four are the targets
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace session
