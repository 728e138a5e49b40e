#include "PrintingSimulation.h"

#include "SimDiagram.h"
#include "SimTile.h"

#include <iterator>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace session {

namespace {

const char* const kStart[4] = {"TCP/IP Printing Service", "LPR", "LPQ", "LPD Service"};
const char* const kKey[4] = {"LPQ", "TCP/IP Printing Service", "LPR", "LPD Service"};

} // namespace

PrintingSimulation::PrintingSimulation(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("printingSimulation"));
    setWindowTitle(QStringLiteral("Select and Place"));
    setFixedSize(592, 431);

    m_diagramPanel = new QWidget(this);
    m_diagramPanel->setObjectName(QStringLiteral("diagramPanel"));
    m_diagramPanel->setGeometry(0, 0, 592, 361);
    m_diagramPanel->setAutoFillBackground(true);
    QPalette white = m_diagramPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_diagramPanel->setPalette(white);
    m_diagram = new QLabel(m_diagramPanel);
    m_diagram->setObjectName(QStringLiteral("diagram"));
    m_diagram->setGeometry(m_diagramPanel->rect());
    m_diagram->setAlignment(Qt::AlignCenter);
    m_diagram->setPixmap(printingServicesDiagram());
    // What the picture shows, for a screen reader; the places A to D are the
    // tiles' own names.
    m_diagram->setAccessibleName(QStringLiteral("Network diagram"));
    m_diagram->setAccessibleDescription(
        QStringLiteral("On the network: A, a TCP/IP printer, and B, an NT workstation. "
                       "Below it: a UNIX host with printer C cabled to it, and an NT server "
                       "with printer D cabled to it."));

    m_tileTray = new QWidget(this);
    m_tileTray->setObjectName(QStringLiteral("tileTray"));
    m_tileTray->setGeometry(0, 361, 592, 70);
    auto* line = new QFrame(m_tileTray);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 0, 592, 2);

    const QPoint sources[4] = {{4, 8}, {168, 8}, {4, 40}, {168, 40}};
    for (int i = 0; i < 4; ++i)
        m_tiles[i] =
            new SimTile(QStringLiteral("printingTile%1").arg(i + 1),
                        QRect(sources[i], QSize(158, 27)), SimTile::Bevel::Lowered, m_tileTray);
    const QPoint targets[4] = {{52, 46}, {334, 33}, {41, 275}, {291, 298}};
    for (int i = 0; i < 4; ++i)
        m_tiles[i + 4] =
            new SimTile(QStringLiteral("printingTile%1").arg(i + 5),
                        QRect(targets[i], QSize(157, 27)), SimTile::Bevel::None, m_diagramPanel);
    for (SimTile* tile : m_tiles)
        tile->installEventFilter(this);

    m_okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                 QStringLiteral("OK"), m_tileTray);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(399, 36, 91, 30);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     QStringLiteral("Cancel"), m_tileTray);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setGeometry(495, 36, 92, 30);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    for (int i = 0; i < 4; ++i) {
        m_tiles[i]->setRole(QStringLiteral("Service tile %1").arg(i + 1));
        m_tiles[i + 4]->setRole(QStringLiteral("Place %1").arg(QChar(u'A' + i)));
    }
    // The tiles come first in the focus chain; the window still opens with
    // the focus on OK, as it does for a mouse user.
    m_okButton->setFocus();
    resetTiles();
}

void PrintingSimulation::resetTiles()
{
    SimTile::putBack(m_picked);
    for (int i = 0; i < 4; ++i) {
        m_tiles[i]->setCaption(QString::fromLatin1(kStart[i]));
        m_tiles[i + 4]->setCaption(QString());
    }
}

bool PrintingSimulation::targetsHoldKey() const
{
    for (int i = 0; i < 4; ++i)
        if (m_tiles[i + 4]->text() != QLatin1String(kKey[i]))
            return false;
    return true;
}

bool PrintingSimulation::acceptsDrag(SimTile* sender, const QMimeData* data) const
{
    return sender && SimTile::dragged(this, data);
}

void PrintingSimulation::dropTile(SimTile* sender, const QMimeData* data)
{
    dropOn(sender, SimTile::dragged(this, data));
}

void PrintingSimulation::dropOn(SimTile* target, SimTile* source)
{
    SimTile::swapCaptions(target, source);
}

bool PrintingSimulation::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* tile = qobject_cast<SimTile*>(watched)) {
        if (SimTile::routeDragEvent(
                event, [&](const QMimeData* data) { return acceptsDrag(tile, data); },
                [&](const QMimeData* data) { dropTile(tile, data); }))
            return true;
        if (SimTile::routeKeyEvent(
                event, tile, m_picked, QList<SimTile*>(std::begin(m_tiles), std::end(m_tiles)),
                [this](SimTile* target, SimTile* source) { dropOn(target, source); }))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PrintingSimulation::showEvent(QShowEvent* event)
{
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void PrintingSimulation::hideEvent(QHideEvent* event)
{
    // A tile left picked up when the window closed is put back.
    SimTile::putBack(m_picked);
    QDialog::hideEvent(event);
}

exam::TileArrangement PrintingSimulation::arrangement() const
{
    return SimTile::arrangementOf(m_tiles, kStart);
}

void PrintingSimulation::setArrangement(const exam::TileArrangement& tiles)
{
    SimTile::arrange(m_tiles, kStart, tiles, m_picked);
}

} // namespace session
