#pragma once

#include <QLabel>
#include <QPoint>
#include <functional>
#include <vector>

class QMimeData;

namespace session {

// A tile of a select-and-place window: a white panel with a one-line border
// and a centred caption that can be dragged onto another tile of its window.
// What a drop over it means is decided by the window, which watches the
// tile's drag and drop events.
class SimTile final : public QLabel {
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    SimTile(const QString& name, const QRect& geometry, Bevel bevel, QWidget* parent);

    // The mime type of a tile in flight; its data is the tile's objectName.
    static QString mimeType();
    // The tile of window that the drag data names, or null.
    static SimTile* dragged(const QWidget* window, const QMimeData* data);
    // The exchange every drop performs; a tile dropped on itself keeps its
    // caption.
    static void swapCaptions(SimTile* target, SimTile* source);
    // Hands a drag event that reached a tile to the window's shared
    // handlers: dragOver decides acceptance, dragDrop acts on the drop.
    // False when the event is not a drag event.
    static bool routeDragEvent(QEvent* event, const std::function<bool(const QMimeData*)>& dragOver,
                               const std::function<void(const QMimeData*)>& dragDrop);

    // Keyboard use: what the tile is called (a tile or a place) and whether
    // it is the tile picked up to be dropped. A tile's accessible name is its
    // role and its caption.
    void setRole(const QString& role);
    void setCaption(const QString& caption);
    void setPicked(bool picked);
    bool isPicked() const { return m_picked; }
    // Space picks up the tile with the focus, or drops the picked one on it
    // through drop(target, source); arrows move the focus over tiles;
    // Escape puts the picked tile back. False when the event is none of
    // these, so that Escape with nothing picked still closes the window.
    static bool routeKeyEvent(QEvent* event, SimTile* tile, SimTile*& picked,
                              const QList<SimTile*>& tiles,
                              const std::function<void(SimTile*, SimTile*)>& drop);
    // Puts the picked tile, if any, back.
    static void putBack(SimTile*& picked);
    // A window's eight tiles as numbers (0 empty, k the k-th of its four
    // starting captions), and back; an arrangement that no dragging could
    // make is left alone.
    static std::vector<int> arrangementOf(SimTile* const (&tiles)[8],
                                          const char* const (&starts)[4]);
    static void arrange(SimTile* const (&tiles)[8], const char* const (&starts)[4],
                        const std::vector<int>& arrangement, SimTile*& picked);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Bevel m_bevel;
    QPoint m_pressPos;
    bool m_pressed = false;
    bool m_picked = false;
    QString m_role;
    void updateAccessibleText();
};

} // namespace session
