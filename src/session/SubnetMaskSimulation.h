#pragma once

#include "ExamSession.h"

#include <QDialog>

class QFrame;
class QLabel;
class QMimeData;
class QPushButton;

namespace session {

class SimTile;

// The subnet-mask exercise: four masks to be dragged in front of the network
// IDs they fit. Created once; the arrangement outlives each opening until
// resetTiles.
class SubnetMaskSimulation final : public QDialog {
    Q_OBJECT
public:
    explicit SubnetMaskSimulation(QWidget* parent = nullptr);

    // Back to the starting captions: the masks on DP1..DP4, DP5..DP8 empty.
    void resetTiles();
    // True when DP5..DP8 hold exactly their key texts.
    bool targetsHoldKey() const;
    // The tiles' captions as numbers (0 empty, k the k-th starting caption),
    // to be kept with the exam and put back when it is resumed; an
    // arrangement that no dragging could make is left alone.
    exam::TileArrangement arrangement() const;
    void setArrangement(const exam::TileArrangement& tiles);

    // The shared drag handlers of the eight tiles.
    bool acceptsDrag(SimTile* sender, const QMimeData* data) const;
    void dropTile(SimTile* sender, const QMimeData* data);
    // What a drop of source on target does.
    void dropOn(SimTile* target, SimTile* source);

    QWidget* m_instructionBand;
    QLabel* m_instructionLabel;
    QWidget* m_buttonBand;
    QWidget* m_maskColumn;
    QLabel* m_maskHeading;
    QFrame* m_networkTable;
    SimTile* m_tiles[8]; // DP1..DP8; the last four are the targets
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    SimTile* m_picked = nullptr;
};

} // namespace session
