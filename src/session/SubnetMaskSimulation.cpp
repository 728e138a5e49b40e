#include "SubnetMaskSimulation.h"

#include "SimTile.h"

#include <iterator>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace session {

namespace {

// Row A's mask borrows eight bits of a class A network: 2^8 - 2 = 254
// subnets, the least that gives 223. The class's own mask gives none.
const char* const kStart[4] = {"255.255.255.252", "255.255.252.0", "255.255.255.240",
                               "255.255.0.0"};
const char* const kKey[4] = {"255.255.0.0", "255.255.255.240", "255.255.252.0", "255.255.255.252"};

struct Row {
    const char* letter;
    const char* network;
    const char* subnets;
    int top;
};
const Row kRows[4] = {{"A", "90.0.0.0", "223", 42},
                      {"B", "200.165.6.0", "14", 78},
                      {"C", "142.109.222.0", "58", 114},
                      {"D", "221.201.64.0", "60", 150}};

QFont designFont()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    return f;
}

QLabel* cell(const QString& text, const QRect& geometry, Qt::Alignment align, const QColor& colour,
             QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setAlignment(align);
    l->setFont(designFont());
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

QFrame* hline(QWidget* parent, int top, int width)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, top, width, 2);
    return line;
}

} // namespace

SubnetMaskSimulation::SubnetMaskSimulation(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("subnetMaskSimulation"));
    setWindowTitle(QStringLiteral("Simulation"));
    setFixedSize(579, 291);
    const QColor blue(0, 0, 255);

    m_instructionBand = new QWidget(this);
    m_instructionBand->setObjectName(QStringLiteral("instructionBand"));
    m_instructionBand->setGeometry(0, 0, 579, 46);
    m_instructionLabel =
        cell(QStringLiteral("Match the subnet masks on the left to fit the network IDs on the "
                            "right so that the minimum number of subnets required is met."),
             QRect(3, 3, 573, 40), Qt::AlignCenter, Qt::black, m_instructionBand);
    m_instructionLabel->setObjectName(QStringLiteral("instructionLabel"));
    m_instructionLabel->setWordWrap(true);

    m_buttonBand = new QWidget(this);
    m_buttonBand->setObjectName(QStringLiteral("buttonBand"));
    m_buttonBand->setGeometry(0, 254, 579, 37);
    m_okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                 QStringLiteral("OK"), m_buttonBand);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(408, 4, 81, 29);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     QStringLiteral("Cancel"), m_buttonBand);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setGeometry(492, 4, 82, 29);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_maskColumn = new QWidget(this);
    m_maskColumn->setObjectName(QStringLiteral("maskColumn"));
    m_maskColumn->setGeometry(0, 46, 150, 208);
    hline(m_maskColumn, 0, 150);
    m_maskHeading = cell(QStringLiteral("Subnet Masks"), QRect(0, 7, 150, 18), Qt::AlignCenter,
                         blue, m_maskColumn);
    m_maskHeading->setObjectName(QStringLiteral("maskHeading"));
    const int sourceTops[4] = {29, 62, 94, 127};
    for (int i = 0; i < 4; ++i)
        m_tiles[i] =
            new SimTile(QStringLiteral("maskTile%1").arg(i + 1), QRect(3, sourceTops[i], 141, 30),
                        SimTile::Bevel::Raised, m_maskColumn);
    hline(m_maskColumn, 206, 150);

    m_networkTable = new QFrame(this);
    m_networkTable->setObjectName(QStringLiteral("networkTable"));
    m_networkTable->setGeometry(150, 46, 429, 208);
    m_networkTable->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_networkTable->setAutoFillBackground(true);
    QPalette white = m_networkTable->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_networkTable->setPalette(white);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    cell(QStringLiteral("Network ID"), QRect(176, 3, 118, 34), left, blue, m_networkTable);
    QLabel* required = cell(QStringLiteral("Minimum subnets required"), QRect(294, 3, 123, 34),
                            Qt::AlignCenter, blue, m_networkTable);
    required->setWordWrap(true);
    for (int i = 0; i < 4; ++i) {
        const Row& r = kRows[i];
        auto* row = new QFrame(m_networkTable);
        row->setObjectName(QStringLiteral("row%1").arg(QLatin1String(r.letter)));
        row->setGeometry(156, r.top, 258, 30);
        row->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cell(QLatin1String(r.letter), QRect(1, 1, 20, 28), Qt::AlignCenter, QColor(128, 0, 0), row);
        cell(QLatin1String(r.network), QRect(21, 1, 117, 28), left, Qt::black, row)->setIndent(2);
        cell(QLatin1String(r.subnets), QRect(138, 1, 117, 28), Qt::AlignCenter, Qt::black, row);
        m_tiles[i + 4] =
            new SimTile(QStringLiteral("maskTile%1").arg(i + 5), QRect(10, r.top, 140, 30),
                        SimTile::Bevel::Raised, m_networkTable);
    }
    for (SimTile* tile : m_tiles)
        tile->installEventFilter(this);

    for (int i = 0; i < 4; ++i) {
        m_tiles[i]->setRole(QStringLiteral("Mask tile %1").arg(i + 1));
        m_tiles[i + 4]->setRole(QStringLiteral("Row %1 mask").arg(QLatin1String(kRows[i].letter)));
    }
    resetTiles();
}

void SubnetMaskSimulation::resetTiles()
{
    SimTile::putBack(m_picked);
    for (int i = 0; i < 4; ++i) {
        m_tiles[i]->setCaption(QString::fromLatin1(kStart[i]));
        m_tiles[i + 4]->setCaption(QString());
    }
}

bool SubnetMaskSimulation::targetsHoldKey() const
{
    for (int i = 0; i < 4; ++i)
        if (m_tiles[i + 4]->text() != QLatin1String(kKey[i]))
            return false;
    return true;
}

bool SubnetMaskSimulation::acceptsDrag(SimTile* sender, const QMimeData*) const
{
    // Any drag is welcome over a tile; a drop that names no tile of this
    // window exchanges nothing.
    return sender != nullptr;
}

void SubnetMaskSimulation::dropTile(SimTile* sender, const QMimeData* data)
{
    dropOn(sender, SimTile::dragged(this, data));
}

void SubnetMaskSimulation::dropOn(SimTile* target, SimTile* source)
{
    SimTile::swapCaptions(target, source);
}

bool SubnetMaskSimulation::eventFilter(QObject* watched, QEvent* event)
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

void SubnetMaskSimulation::showEvent(QShowEvent* event)
{
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void SubnetMaskSimulation::hideEvent(QHideEvent* event)
{
    // A tile left picked up when the window closed is put back.
    SimTile::putBack(m_picked);
    QDialog::hideEvent(event);
}

exam::TileArrangement SubnetMaskSimulation::arrangement() const
{
    return SimTile::arrangementOf(m_tiles, kStart);
}

void SubnetMaskSimulation::setArrangement(const exam::TileArrangement& tiles)
{
    SimTile::arrange(m_tiles, kStart, tiles, m_picked);
}

} // namespace session
