#pragma once

#include "ExamSession.h"

#include <QDialog>

class QLabel;
class QMimeData;
class QPushButton;

namespace session {

class SimTile;

// The printing-services exercise: four service names to be dragged onto the
// elements of a network diagram. Created once; the arrangement outlives each
// opening until resetTiles.
class PrintingSimulation final : public QDialog {
    Q_OBJECT
public:
    explicit PrintingSimulation(QWidget* parent = nullptr);

    // Back to the starting captions: the names on LP1..LP4, LP5..LP8 empty.
    void resetTiles();
    // True when LP5..LP8 hold exactly their key texts.
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

    QWidget* m_tileTray;
    QWidget* m_diagramPanel;
    QLabel* m_diagram;
    SimTile* m_tiles[8]; // LP1..LP8; the last four are the targets
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
