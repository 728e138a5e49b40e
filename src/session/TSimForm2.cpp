#include "TSimForm2.h"

#include "SimTile.h"

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

TSimForm2::TSimForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SimForm2"));
    setWindowTitle(QStringLiteral("Simulation"));
    setFixedSize(579, 291);
    const QColor blue(0, 0, 255);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 579, 46);
    Label1 = cell(QStringLiteral("Match the subnet masks on the left to fit the network IDs on the "
                                 "right so that the minimum number of subnets required is met."),
                  QRect(3, 3, 573, 40), Qt::AlignCenter, Qt::black, Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 254, 579, 37);
    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"),
                            Panel2);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(408, 4, 81, 29);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                QStringLiteral("Cancel"), Panel2);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(492, 4, 82, 29);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setGeometry(0, 46, 150, 208);
    hline(Panel4, 0, 150);
    Label3 =
        cell(QStringLiteral("Subnet Masks"), QRect(0, 7, 150, 18), Qt::AlignCenter, blue, Panel4);
    Label3->setObjectName(QStringLiteral("Label3"));
    const int sourceTops[4] = {29, 62, 94, 127};
    for (int i = 0; i < 4; ++i)
        DP[i] = new SimTile(QStringLiteral("DP%1").arg(i + 1), QRect(3, sourceTops[i], 141, 30),
                            SimTile::Bevel::Raised, Panel4);
    hline(Panel4, 206, 150);

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(150, 46, 429, 208);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3->setAutoFillBackground(true);
    QPalette white = Panel3->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel3->setPalette(white);

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    cell(QStringLiteral("Network ID"), QRect(176, 3, 118, 34), left, blue, Panel3);
    QLabel* required = cell(QStringLiteral("Minimum subnets required"), QRect(294, 3, 123, 34),
                            Qt::AlignCenter, blue, Panel3);
    required->setWordWrap(true);
    for (int i = 0; i < 4; ++i) {
        const Row& r = kRows[i];
        auto* row = new QFrame(Panel3);
        row->setObjectName(QStringLiteral("Row%1").arg(QLatin1String(r.letter)));
        row->setGeometry(156, r.top, 258, 30);
        row->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cell(QLatin1String(r.letter), QRect(1, 1, 20, 28), Qt::AlignCenter, QColor(128, 0, 0), row);
        cell(QLatin1String(r.network), QRect(21, 1, 117, 28), left, Qt::black, row)->setIndent(2);
        cell(QLatin1String(r.subnets), QRect(138, 1, 117, 28), Qt::AlignCenter, Qt::black, row);
        DP[i + 4] = new SimTile(QStringLiteral("DP%1").arg(i + 5), QRect(10, r.top, 140, 30),
                                SimTile::Bevel::Raised, Panel3);
    }
    for (SimTile* tile : DP)
        tile->installEventFilter(this);

    ResetSimulations();
}

void TSimForm2::ResetSimulations()
{
    for (int i = 0; i < 4; ++i) {
        DP[i]->setText(QString::fromLatin1(kStart[i]));
        DP[i + 4]->clear();
    }
}

bool TSimForm2::targetsHoldKey() const
{
    for (int i = 0; i < 4; ++i)
        if (DP[i + 4]->text() != QLatin1String(kKey[i]))
            return false;
    return true;
}

bool TSimForm2::DP1DragOver(SimTile* sender, const QMimeData*) const
{
    // Any drag is welcome over a tile; a drop that names no tile of this
    // window exchanges nothing.
    return sender != nullptr;
}

void TSimForm2::DP1DragDrop(SimTile* sender, const QMimeData* data)
{
    dropOn(sender, SimTile::dragged(this, data));
}

void TSimForm2::dropOn(SimTile* target, SimTile* source)
{
    SimTile::swapCaptions(target, source);
}

bool TSimForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* tile = qobject_cast<SimTile*>(watched);
        tile && SimTile::routeDragEvent(
                    event, [&](const QMimeData* data) { return DP1DragOver(tile, data); },
                    [&](const QMimeData* data) { DP1DragDrop(tile, data); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TSimForm2::showEvent(QShowEvent* event)
{
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace session
